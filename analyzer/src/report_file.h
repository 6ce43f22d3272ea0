/* The lock that keeps runs extending one report file apart (the new report
 * is written beside the old one: see file_beside.h). */
#ifndef QEN_REPORT_FILE_H
#define QEN_REPORT_FILE_H

#include <sys/stat.h>
#include <sys/types.h>

#include "file_beside.h"

enum report_lock_result {
  REPORT_LOCKED,
  REPORT_CANNOT_OPEN,   /* errno tells why */
  REPORT_NOT_REGULAR,   /* exists and is a folder, a device, a FIFO ... */
  REPORT_CANNOT_LOCK,   /* the lock failed */
  REPORT_HELD_BY_THREAD, /* the calling thread holds it already */
  REPORT_NO_FILE_BESIDE  /* its folder takes no new file */
};

/* Whether the calling thread already holds the lock of the file (device,
 * inode): waiting for it would never end. */
typedef bool (*report_held_fn)(dev_t dev, ino_t ino);

struct report_lock {
  int fd;            /* the locked file, open for reading and writing */
  struct stat st;    /* its status once locked */
  /* The file did not exist and this lock made it (empty); pending removal
   * until the run completes. NULL otherwise. */
  struct pending_file* placeholder;
};

/* Opens the regular file at target, creating it empty when it does not
 * exist, and takes its exclusive lock, waiting while another run holds it.
 * The lock belongs to the file: when the file was replaced by the time the
 * lock is taken, it starts over with the new one. Nothing is left open or
 * made unless the result is REPORT_LOCKED. */
enum report_lock_result report_lock_open(const char* target, report_held_fn held, struct report_lock* lock);

#endif

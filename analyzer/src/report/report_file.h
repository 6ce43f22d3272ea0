/* The lock that keeps runs extending one report file apart (the new report
 * is written beside the old one: see file_beside.h). */
#ifndef QEN_REPORT_FILE_H
#define QEN_REPORT_FILE_H

#include <sys/stat.h>
#include <sys/types.h>

#include "file_beside.h"

enum report_lock_result {
  REPORT_LOCKED,
  REPORT_CANNOT_OPEN,    /* errno tells why */
  REPORT_NOT_REGULAR,    /* exists and is a folder, a device, a FIFO ... */
  REPORT_CANNOT_LOCK,    /* the lock failed; errno tells why */
  REPORT_HELD_BY_THREAD, /* the calling thread holds it already */
  REPORT_DEADLOCK,       /* its holder waits, directly or not, for a report
                            that the caller holds (errno EDEADLK) */
  REPORT_NO_FILE_BESIDE, /* its folder takes no new file; errno tells why */
  REPORT_IS_INPUT,       /* it is the file that the run reads */
  REPORT_NOT_A_REPORT,   /* not empty, and not a whole report */
  REPORT_CANNOT_READ,    /* the old report cannot be read; errno tells why */
  REPORT_CANNOT_COPY     /* the old report cannot be copied; errno tells why */
};

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
 * lock is taken, it starts over with the new one.
 *
 * Three locks are taken. The threads of this process take turns through a
 * registry of the files they hold, which refuses a wait that would close a
 * circle of threads waiting for each other. Processes take turns through
 * the kernel's record lock (fcntl) and the flock of the descriptor, which
 * keeps the runs apart even when a close of the file in the process drops
 * the record lock. A thread that holds another report waits for the record
 * lock, a wait that the kernel refuses with EDEADLK when it would close a
 * circle of processes, one such wait of the process at a time; a thread
 * that holds none cannot close a circle and waits for the flock, which the
 * kernel does not count as a wait of the process. Nothing is left open or
 * made unless the result is REPORT_LOCKED. */
enum report_lock_result report_lock_open(const char* target, struct report_lock* lock);

/* Releases the locks of the file (dev, ino) taken through fd, and closes
 * fd. */
void report_lock_close(int fd, dev_t dev, ino_t ino);

#endif

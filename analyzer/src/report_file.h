/* Report files on disk: the path a report is written to, the lock that keeps
 * runs extending one report apart, and the files a run makes before its
 * report is complete, which a signal may have to remove. */
#ifndef QEN_REPORT_FILE_H
#define QEN_REPORT_FILE_H

#include <sys/stat.h>
#include <sys/types.h>

/* A file made by a run that is not complete yet: removed by
 * report_discard_unfinished until it is released. A placeholder is a report
 * that did not exist before the run; it is removed only while it is still
 * the empty file (device, inode) that the run made. */
struct report_pending;
/* Makes a fresh file beside target, named after it, the process and a
 * serial number, that only this process can read so far; pending until
 * released. Its descriptor, open for reading and writing, with its
 * malloc'd name in *name; -1 when no file can be made there. */
int report_create_beside(const char* target, char** name, struct report_pending** pending);
/* Forgets the file, which stays. */
void report_pending_release(struct report_pending* pending);
/* Removes the file now (a placeholder only when it is still the run's
 * empty file) and forgets it. */
void report_pending_discard(struct report_pending* pending);

/* Removes the unfinished files of this process. Async-signal-safe. */
void report_discard_unfinished(void);

/* The path with every symbolic link in its last component followed, to a
 * target that need not exist yet (a dangling link names the file to create).
 * malloc'd; NULL with errno set when the links loop or memory runs out. */
char* report_resolve_links(const char* path);

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
  struct report_pending* placeholder;
};

/* Opens the regular file at target, creating it empty when it does not
 * exist, and takes its exclusive lock, waiting while another run holds it.
 * The lock belongs to the file: when the file was replaced by the time the
 * lock is taken, it starts over with the new one. Nothing is left open or
 * made unless the result is REPORT_LOCKED. */
enum report_lock_result report_lock_open(const char* target, report_held_fn held, struct report_lock* lock);

#endif

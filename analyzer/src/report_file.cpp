// The lock of a report file, and the report it makes when there is none.
#include "report_file.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

report_lock_result report_lock_open(const char* target, report_held_fn held, report_lock* lock) {
  lock->fd = -1;
  lock->placeholder = nullptr;
  // Each pass either takes the lock or finds that another run replaced the
  // report meanwhile, so the loop ends once the runs ahead have finished.
  for (;;) {
    struct stat st;
    // Neither opened nor locked: opening a FIFO or a device may block or
    // act on the device.
    if (stat(target, &st) == 0 && !S_ISREG(st.st_mode)) return REPORT_NOT_REGULAR;
    pending_file* placeholder = nullptr;
    int fd = open(target, O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0 && errno == ENOENT) {
      fd = create_pending(target, 1, 0666, &placeholder);
      if (fd < 0 && errno == EEXIST) continue;
    }
    if (fd < 0) return REPORT_CANNOT_OPEN;
    report_lock_result refused = REPORT_LOCKED;
    if (fstat(fd, &st) != 0) refused = REPORT_CANNOT_OPEN;
    else if (!S_ISREG(st.st_mode)) refused = REPORT_NOT_REGULAR;
    else if (held != nullptr && held(st.st_dev, st.st_ino)) refused = REPORT_HELD_BY_THREAD;
    else {
      int r;
      while ((r = flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
      }
      if (r != 0) refused = REPORT_CANNOT_LOCK;
    }
    if (refused != REPORT_LOCKED) {
      int error = errno;
      pending_file_discard(placeholder);
      close(fd);
      errno = error;
      return refused;
    }
    struct stat now;
    if (stat(target, &now) == 0 && now.st_dev == st.st_dev && now.st_ino == st.st_ino && fstat(fd, &st) == 0) {
      lock->fd = fd;
      lock->st = st;
      lock->placeholder = placeholder;
      return REPORT_LOCKED;
    }
    // The run ahead renamed its new report over this one.
    pending_file_discard(placeholder);
    close(fd);
  }
}

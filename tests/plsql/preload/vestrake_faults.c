/* Preloaded into vestrake to make the faults and the moments a test needs:
 *   READ_FAILS_PATH, READ_FAILS_AFTER: reads of that file deliver its first
 *     READ_FAILS_AFTER bytes, then fail with EIO, as on a failing disk;
 *   HOLD_CALL (flock or rename), HOLD_MARK: the first such call makes the
 *     file HOLD_MARK, then waits until it is gone (a minute at most), so
 *     that another run can act in that moment;
 *   FLOCK_ERRNO: every flock fails with that errno, as on a file system
 *     without locks. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

__attribute__((visibility("default"))) ssize_t read(int fd, void* buffer, size_t count) {
  static ssize_t (*next)(int, void*, size_t);
  if (!next) next = (ssize_t(*)(int, void*, size_t))dlsym(RTLD_NEXT, "read");
  const char* failing = getenv("READ_FAILS_PATH");
  if (failing) {
    char link[64], target[PATH_MAX];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    ssize_t n = readlink(link, target, sizeof target - 1);
    if (n > 0) {
      target[n] = '\0';
      if (strcmp(target, failing) == 0) {
        off_t at = lseek(fd, 0, SEEK_CUR);
        off_t after = atol(getenv("READ_FAILS_AFTER") ? getenv("READ_FAILS_AFTER") : "0");
        if (at >= after) {
          errno = EIO;
          return -1;
        }
        if ((off_t)count > after - at) count = (size_t)(after - at);
      }
    }
  }
  return next(fd, buffer, count);
}

static void hold(const char* call) {
  static int held;
  const char* which = getenv("HOLD_CALL");
  const char* mark = getenv("HOLD_MARK");
  if (held || !which || !mark || strcmp(which, call) != 0) return;
  held = 1;
  int error = errno;
  close(open(mark, O_WRONLY | O_CREAT | O_CLOEXEC, 0600));
  struct timespec pause = {0, 10000000};
  for (int i = 0; i < 6000 && access(mark, F_OK) == 0; ++i) nanosleep(&pause, NULL);
  errno = error;
}

__attribute__((visibility("default"))) int flock(int fd, int operation) {
  hold("flock");
  if (getenv("FLOCK_ERRNO")) {
    errno = atoi(getenv("FLOCK_ERRNO"));
    return -1;
  }
  int (*next)(int, int) = (int (*)(int, int))dlsym(RTLD_NEXT, "flock");
  return next(fd, operation);
}

__attribute__((visibility("default"))) int rename(const char* from, const char* to) {
  hold("rename");
  int (*next)(const char*, const char*) = (int (*)(const char*, const char*))dlsym(RTLD_NEXT, "rename");
  return next(from, to);
}

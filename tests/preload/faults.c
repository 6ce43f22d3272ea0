/* Preloaded into a program by the tests to make the faults and the moments
 * they need:
 *   QEN_FAULT_CALL (pread, write, rename, flock or fstat), QEN_FAULT_ERRNO
 *     (a number), QEN_FAULT_PATH: that call fails with that errno on the
 *     files whose path holds the text (for rename: in the new name); with
 *     QEN_FAULT_NTH (a number) only the NTH such call fails, as a passing
 *     fault of the disk would;
 *   READ_FAILS_PATH, READ_FAILS_AFTER: reads of that file deliver its first
 *     READ_FAILS_AFTER bytes, then fail with EIO, as on a failing disk;
 *   HOLD_CALL (flock or rename), HOLD_MARK: the first such call makes the
 *     file HOLD_MARK, then waits until it is gone (a minute at most), so
 *     that another run can act in that moment.
 * Only calls made through the dynamic linker are reached; the C library's
 * own stdio calls are not. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

/* The path the descriptor was opened by, into path; 0 when it has none. */
static int fd_path(int fd, char* path, size_t size) {
  char link[64];
  snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  ssize_t n = readlink(link, path, size - 1);
  if (n <= 0) return 0;
  path[n] = '\0';
  return 1;
}

static int fails(const char* call, const char* path) {
  static int matched;
  const char* which = getenv("QEN_FAULT_CALL");
  const char* text = getenv("QEN_FAULT_PATH");
  const char* error = getenv("QEN_FAULT_ERRNO");
  const char* nth = getenv("QEN_FAULT_NTH");
  if (which == NULL || strcmp(which, call) != 0 || text == NULL || error == NULL || path == NULL) return 0;
  if (strstr(path, text) == NULL) return 0;
  if (nth != NULL && ++matched != atoi(nth)) return 0;
  errno = atoi(error);
  return 1;
}

static int fd_fails(const char* call, int fd) {
  char path[PATH_MAX];
  return fd_path(fd, path, sizeof path) && fails(call, path);
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

__attribute__((visibility("default"))) ssize_t read(int fd, void* buffer, size_t count) {
  static ssize_t (*next)(int, void*, size_t);
  if (!next) next = (ssize_t(*)(int, void*, size_t))dlsym(RTLD_NEXT, "read");
  const char* failing = getenv("READ_FAILS_PATH");
  char target[PATH_MAX];
  if (failing && fd_path(fd, target, sizeof target) && strcmp(target, failing) == 0) {
    off_t at = lseek(fd, 0, SEEK_CUR);
    off_t after = atol(getenv("READ_FAILS_AFTER") ? getenv("READ_FAILS_AFTER") : "0");
    if (at >= after) {
      errno = EIO;
      return -1;
    }
    if ((off_t)count > after - at) count = (size_t)(after - at);
  }
  return next(fd, buffer, count);
}

__attribute__((visibility("default"))) ssize_t pread64(int fd, void* buf, size_t count, off_t offset) {
  if (fd_fails("pread", fd)) return -1;
  ssize_t (*next)(int, void*, size_t, off_t) = (ssize_t(*)(int, void*, size_t, off_t))dlsym(RTLD_NEXT, "pread64");
  return next(fd, buf, count, offset);
}

__attribute__((visibility("default"))) ssize_t pread(int fd, void* buf, size_t count, off_t offset) {
  return pread64(fd, buf, count, offset);
}

__attribute__((visibility("default"))) ssize_t write(int fd, const void* buf, size_t count) {
  if (fd > 2 && fd_fails("write", fd)) return -1;
  ssize_t (*next)(int, const void*, size_t) = (ssize_t(*)(int, const void*, size_t))dlsym(RTLD_NEXT, "write");
  return next(fd, buf, count);
}

__attribute__((visibility("default"))) int rename(const char* from, const char* to) {
  hold("rename");
  if (fails("rename", to)) return -1;
  int (*next)(const char*, const char*) = (int (*)(const char*, const char*))dlsym(RTLD_NEXT, "rename");
  return next(from, to);
}

__attribute__((visibility("default"))) int flock(int fd, int operation) {
  hold("flock");
  if (fd_fails("flock", fd)) return -1;
  int (*next)(int, int) = (int (*)(int, int))dlsym(RTLD_NEXT, "flock");
  return next(fd, operation);
}

__attribute__((visibility("default"))) int fstat(int fd, struct stat* st) {
  if (fd_fails("fstat", fd)) return -1;
  int (*next)(int, struct stat*) = (int (*)(int, struct stat*))dlsym(RTLD_NEXT, "fstat");
  return next(fd, st);
}

__attribute__((visibility("default"))) int fstat64(int fd, struct stat64* st) {
  if (fd_fails("fstat", fd)) return -1;
  int (*next)(int, struct stat64*) = (int (*)(int, struct stat64*))dlsym(RTLD_NEXT, "fstat64");
  return next(fd, st);
}

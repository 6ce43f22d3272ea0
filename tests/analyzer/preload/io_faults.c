/* Preloaded into a program so that one kind of call fails with a chosen
 * errno on the files whose path holds a chosen text:
 *   QEN_FAULT_CALL  pread, write, rename or flock
 *   QEN_FAULT_ERRNO the errno, as a number
 *   QEN_FAULT_PATH  the text (for rename: in the new name)
 * Only calls made through the dynamic linker are reached; the C library's
 * own stdio calls are not. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <sys/file.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static int fails(const char* call, const char* path) {
  const char* which = getenv("QEN_FAULT_CALL");
  const char* text = getenv("QEN_FAULT_PATH");
  const char* error = getenv("QEN_FAULT_ERRNO");
  if (which == NULL || strcmp(which, call) != 0 || text == NULL || error == NULL || path == NULL) return 0;
  if (strstr(path, text) == NULL) return 0;
  errno = atoi(error);
  return 1;
}

static int fd_fails(const char* call, int fd) {
  char link[64], path[4096];
  snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  ssize_t n = readlink(link, path, sizeof path - 1);
  if (n < 0) return 0;
  path[n] = '\0';
  return fails(call, path);
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
  if (fails("rename", to)) return -1;
  int (*next)(const char*, const char*) = (int (*)(const char*, const char*))dlsym(RTLD_NEXT, "rename");
  return next(from, to);
}

__attribute__((visibility("default"))) int flock(int fd, int operation) {
  if (fd_fails("flock", fd)) return -1;
  int (*next)(int, int) = (int (*)(int, int))dlsym(RTLD_NEXT, "flock");
  return next(fd, operation);
}

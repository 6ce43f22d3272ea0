/* Preloaded into a program so that reading one file fails midway, as on a
 * failing disk: reads of the file named by READ_FAILS_PATH deliver its
 * first READ_FAILS_AFTER bytes, then fail with EIO. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
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

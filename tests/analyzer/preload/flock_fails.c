/* Preloaded into a program so that every flock fails, as on a file system
 * that has no locks. */
#include <errno.h>

__attribute__((visibility("default"))) int flock(int fd, int operation) {
  (void)fd;
  (void)operation;
  errno = ENOLCK;
  return -1;
}

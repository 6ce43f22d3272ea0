#include "standard_descriptors.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

int hold_standard_descriptors(void) {
  int held_streams = 0;
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // A path descriptor reads and writes nothing (EBADF), and reopened
    // through /dev/stdin or /proc it is a folder, which no program reads
    // as its input or replaces as its output.
    int held = open("/", O_PATH | O_DIRECTORY);
    if (held < 0) continue;
    if (held != fd) {
      int taken = dup2(held, fd);
      close(held);
      if (taken != fd) continue;
    }
    held_streams |= 1 << fd;
  }
  return held_streams;
}

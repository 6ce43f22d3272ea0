#include "standard_descriptors.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <unistd.h>

#include <atomic>
#include <string>

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

int standard_stream_named(const char* path) {
  const std::string own = "/proc/" + std::to_string(getpid()) + "/fd/";
  std::string current = path;
  // The kernel's own limit on links followed in one lookup.
  for (int links = 0; links < 40; ++links) {
    for (const std::string& folder : {std::string("/dev/fd/"), std::string("/proc/self/fd/"), own})
      if (current.size() == folder.size() + 1 && current.compare(0, folder.size(), folder) == 0 &&
          current.back() >= '0' && current.back() <= '2')
        return current.back() - '0';
    char link[PATH_MAX];
    ssize_t n = readlink(current.c_str(), link, sizeof link - 1);
    if (n <= 0) break;
    link[n] = '\0';
    current = link[0] == '/' ? std::string(link) : current.substr(0, current.rfind('/') + 1) + link;
  }
  return -1;
}

namespace {

// Threads that dump at once print progress lines to the one stream.
std::atomic<int> g_output_failure{0};

}  // namespace

int flush_standard_output(void) {
  // A write that failed just before set the error flag and errno.
  int error = errno;
  bool failed = ferror(stdout) != 0;
  if (fflush(stdout) != 0) {
    error = errno;
    failed = true;
  }
  int none = 0;
  if (failed) g_output_failure.compare_exchange_strong(none, error != 0 ? error : EIO);
  return g_output_failure.load();
}

// Output files written beside their target: the path behind symbolic links,
// the new file, the owner and mode it keeps, and the files a run has made
// but not yet completed.
#include "file_beside.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <atomic>
#include <new>

struct pending_file {
  // Set to the file's name once the fields below are filled, taken back by
  // whoever removes or forgets the file: an exchange, so that a signal
  // handler and the run never both act on it.
  std::atomic<char*> path{nullptr};
  std::atomic<bool> in_use{false};
  // Records are linked once and never unlinked.
  pending_file* next = nullptr;
  pid_t owner = 0;
  bool placeholder = false;
  dev_t dev = 0;
  ino_t ino = 0;
};

namespace {

// Every record ever made. They are reused, never freed, so that a signal
// handler may walk the list at any moment.
std::atomic<pending_file*> g_pending{nullptr};

pending_file* take_record() {
  for (pending_file* r = g_pending.load(std::memory_order_acquire); r != nullptr; r = r->next) {
    bool in_use = false;
    if (r->in_use.compare_exchange_strong(in_use, true, std::memory_order_acquire)) return r;
  }
  pending_file* r = new (std::nothrow) pending_file;
  if (r == nullptr) return nullptr;
  r->in_use.store(true, std::memory_order_relaxed);
  r->next = g_pending.load(std::memory_order_relaxed);
  while (!g_pending.compare_exchange_weak(r->next, r, std::memory_order_release, std::memory_order_relaxed)) {
  }
  return r;
}

// Only system calls that a signal handler may make.
void remove_pending_file(const pending_file* r, const char* path) {
  if (r->placeholder) {
    // Another run may have completed the file meanwhile.
    struct stat st;
    if (stat(path, &st) != 0 || st.st_dev != r->dev || st.st_ino != r->ino || st.st_size != 0) return;
  }
  unlink(path);
}

// The text of the symbolic link at path, malloc'd.
char* read_link(const char* path, off_t size_hint) {
  size_t size = size_hint > 0 ? (size_t)size_hint + 1 : 256;
  for (;;) {
    char* text = (char*)malloc(size);
    if (text == nullptr) return nullptr;
    ssize_t n = readlink(path, text, size);
    if (n >= 0 && (size_t)n < size) {
      text[n] = '\0';
      return text;
    }
    free(text);
    if (n < 0) return nullptr;
    size *= 2;
  }
}

}  // namespace

pending_file* pending_file_add(const char* path, int placeholder, dev_t dev, ino_t ino) {
  char* copy = strdup(path);
  if (copy == nullptr) return nullptr;
  pending_file* r = take_record();
  if (r == nullptr) {
    free(copy);
    errno = ENOMEM;
    return nullptr;
  }
  r->owner = getpid();
  r->placeholder = placeholder != 0;
  r->dev = dev;
  r->ino = ino;
  r->path.store(copy, std::memory_order_release);
  return r;
}

void pending_file_release(pending_file* pending) {
  if (pending == nullptr) return;
  free(pending->path.exchange(nullptr, std::memory_order_acq_rel));
  pending->in_use.store(false, std::memory_order_release);
}

void pending_file_discard(pending_file* pending) {
  if (pending == nullptr) return;
  char* path = pending->path.exchange(nullptr, std::memory_order_acq_rel);
  if (path != nullptr) remove_pending_file(pending, path);
  free(path);
  pending->in_use.store(false, std::memory_order_release);
}

void pending_files_discard(void) {
  pid_t self = getpid();
  for (pending_file* r = g_pending.load(std::memory_order_acquire); r != nullptr; r = r->next) {
    // Taken and not freed: the handler may have interrupted the allocator.
    char* path = r->path.exchange(nullptr, std::memory_order_acq_rel);
    // A forked child leaves its parent's files alone.
    if (path != nullptr && r->owner == self) remove_pending_file(r, path);
  }
}

char* resolve_links(const char* path) {
  // The kernel's own limit on links followed in one lookup.
  const int kMaxLinks = 40;
  char* current = strdup(path);
  for (int links = 0; current != nullptr; ++links) {
    struct stat st;
    if (lstat(current, &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    if (links == kMaxLinks) {
      free(current);
      errno = ELOOP;
      return nullptr;
    }
    char* link = read_link(current, st.st_size);
    if (link == nullptr) break;
    // A relative link counts from the folder that holds it.
    const char* slash = strrchr(current, '/');
    char* next = link;
    if (link[0] != '/' && slash != nullptr) {
      size_t folder = (size_t)(slash - current) + 1;
      next = (char*)malloc(folder + strlen(link) + 1);
      if (next != nullptr) {
        memcpy(next, current, folder);
        strcpy(next + folder, link);
      }
      free(link);
    }
    free(current);
    current = next;
  }
  free(current);
  return nullptr;
}

int create_pending(const char* path, int placeholder, mode_t mode, pending_file** pending) {
  sigset_t all, before;
  sigfillset(&all);
  pthread_sigmask(SIG_BLOCK, &all, &before);
  *pending = nullptr;
  int fd = open(path, O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, mode);
  if (fd >= 0) {
    struct stat st;
    if (fstat(fd, &st) == 0) *pending = pending_file_add(path, placeholder, st.st_dev, st.st_ino);
    if (*pending == nullptr) {
      int error = errno;
      unlink(path);
      close(fd);
      fd = -1;
      errno = error;
    }
  }
  int error = errno;
  pthread_sigmask(SIG_SETMASK, &before, nullptr);
  errno = error;
  return fd;
}

int create_beside(const char* target, mode_t mode, char** name, pending_file** pending) {
  // Process-wide, like the process number in the name: the names of one
  // process's files differ.
  static std::atomic<unsigned> serial{0};
  *name = nullptr;
  *pending = nullptr;
  size_t size = strlen(target) + 64;
  char* candidate = (char*)malloc(size);
  if (candidate == nullptr) return -1;
  for (int attempt = 0; attempt < 100; ++attempt) {
    snprintf(candidate, size, "%s.%ld.%u.part", target, (long)getpid(), serial.fetch_add(1));
    int fd = create_pending(candidate, 0, mode, pending);
    if (fd >= 0) {
      *name = candidate;
      return fd;
    }
    if (errno != EEXIST) break;
  }
  free(candidate);
  return -1;
}

void keep_owner_and_mode(int fd, const struct stat* old) {
  if (fchown(fd, old->st_uid, old->st_gid) != 0 && fchown(fd, (uid_t)-1, old->st_gid) != 0) {
    // Owned by whoever runs; the mode below still holds.
  }
  fchmod(fd, old->st_mode & 07777);
}

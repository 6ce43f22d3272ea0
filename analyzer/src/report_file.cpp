// Report files on disk: the path behind symbolic links, the lock of a report
// and the files a run has made but not yet completed.
#include "report_file.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>
#include <new>

struct report_pending {
  // Set to the file's name once the fields below are filled, taken back by
  // whoever removes or forgets the file: an exchange, so that a signal
  // handler and the run never both act on it.
  std::atomic<char*> path{nullptr};
  std::atomic<bool> in_use{false};
  // Records are linked once and never unlinked.
  report_pending* next = nullptr;
  pid_t owner = 0;
  bool placeholder = false;
  dev_t dev = 0;
  ino_t ino = 0;
};

namespace {

// Every record ever made. They are reused, never freed, so that a signal
// handler may walk the list at any moment.
std::atomic<report_pending*> g_pending{nullptr};

report_pending* take_record() {
  for (report_pending* r = g_pending.load(std::memory_order_acquire); r != nullptr; r = r->next) {
    bool in_use = false;
    if (r->in_use.compare_exchange_strong(in_use, true, std::memory_order_acquire)) return r;
  }
  report_pending* r = new (std::nothrow) report_pending;
  if (r == nullptr) return nullptr;
  r->in_use.store(true, std::memory_order_relaxed);
  r->next = g_pending.load(std::memory_order_relaxed);
  while (!g_pending.compare_exchange_weak(r->next, r, std::memory_order_release, std::memory_order_relaxed)) {
  }
  return r;
}

// Only system calls that a signal handler may make.
void remove_pending_file(const report_pending* r, const char* path) {
  if (r->placeholder) {
    // Another run may have completed the report meanwhile.
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

report_pending* add_pending(const char* path, bool placeholder, dev_t dev, ino_t ino) {
  char* copy = strdup(path);
  if (copy == nullptr) return nullptr;
  report_pending* r = take_record();
  if (r == nullptr) {
    free(copy);
    errno = ENOMEM;
    return nullptr;
  }
  r->owner = getpid();
  r->placeholder = placeholder;
  r->dev = dev;
  r->ino = ino;
  r->path.store(copy, std::memory_order_release);
  return r;
}

// Makes the file at path, which must not exist yet, and marks it pending,
// with signals held off so that no handler finds the file made but not
// yet marked. Its descriptor, open for reading and writing, or -1 with
// errno set.
int create_pending(const char* path, bool placeholder, mode_t mode, report_pending** pending) {
  sigset_t all, before;
  sigfillset(&all);
  pthread_sigmask(SIG_BLOCK, &all, &before);
  *pending = nullptr;
  int fd = open(path, O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, mode);
  if (fd >= 0) {
    struct stat st;
    if (fstat(fd, &st) == 0) *pending = add_pending(path, placeholder, st.st_dev, st.st_ino);
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

}  // namespace

int report_create_beside(const char* target, char** name, report_pending** pending) {
  static std::atomic<unsigned> serial{0};
  size_t size = strlen(target) + 64;
  char* path = (char*)malloc(size);
  if (path == nullptr) return -1;
  for (int attempt = 0; attempt < 100; ++attempt) {
    snprintf(path, size, "%s.%ld.%u.part", target, (long)getpid(), serial.fetch_add(1));
    int fd = create_pending(path, false, 0600, pending);
    if (fd >= 0) {
      *name = path;
      return fd;
    }
    if (errno != EEXIST) break;
  }
  free(path);
  return -1;
}

void report_pending_release(report_pending* pending) {
  if (pending == nullptr) return;
  free(pending->path.exchange(nullptr, std::memory_order_acq_rel));
  pending->in_use.store(false, std::memory_order_release);
}

void report_pending_discard(report_pending* pending) {
  if (pending == nullptr) return;
  char* path = pending->path.exchange(nullptr, std::memory_order_acq_rel);
  if (path != nullptr) remove_pending_file(pending, path);
  free(path);
  pending->in_use.store(false, std::memory_order_release);
}

void report_discard_unfinished(void) {
  pid_t self = getpid();
  for (report_pending* r = g_pending.load(std::memory_order_acquire); r != nullptr; r = r->next) {
    // Taken and not freed: the handler may have interrupted the allocator.
    char* path = r->path.exchange(nullptr, std::memory_order_acq_rel);
    // A forked child leaves its parent's files alone.
    if (path != nullptr && r->owner == self) remove_pending_file(r, path);
  }
}

char* report_resolve_links(const char* path) {
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
    report_pending* placeholder = nullptr;
    int fd = open(target, O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0 && errno == ENOENT) {
      // The report did not exist: this run makes it, empty.
      fd = create_pending(target, true, 0666, &placeholder);
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
      report_pending_discard(placeholder);
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
    report_pending_discard(placeholder);
    close(fd);
  }
}

// Output files written beside their target: the path behind symbolic links,
// the new file, the owner and mode it keeps, and the files a run has made
// but not yet completed.
#include "file_beside.h"

#include <errno.h>
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>
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
    // A link of /proc/PID/fd names an open file by a text that is not its
    // path ("pipe:[123]", "/tmp/a (deleted)"): when the text leads elsewhere
    // than the link does, the link itself is the way to the file.
    struct stat named, behind;
    if (next != nullptr && stat(current, &named) == 0 &&
        (stat(next, &behind) != 0 || behind.st_dev != named.st_dev || behind.st_ino != named.st_ino)) {
      free(next);
      return current;
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

namespace {

// FNV-1a of the text: tells shortened names of different targets apart.
unsigned name_hash(const char* text) {
  unsigned h = 2166136261u;
  for (const unsigned char* p = (const unsigned char*)text; *p; ++p) h = (h ^ *p) * 16777619u;
  return h;
}

// Whether name is stem.PID.N.part; the PID in *pid.
bool is_part_of(const char* name, const char* stem, size_t stem_length, long* pid) {
  if (strncmp(name, stem, stem_length) != 0 || name[stem_length] != '.') return false;
  const char* p = name + stem_length + 1;
  char* end = nullptr;
  errno = 0;
  long value = strtol(p, &end, 10);
  if (end == p || *end != '.' || errno != 0 || value <= 0 || *p < '0' || *p > '9') return false;
  p = end + 1;
  if (*p < '0' || *p > '9') return false;
  while (*p >= '0' && *p <= '9') ++p;
  if (strcmp(p, ".part") != 0) return false;
  *pid = value;
  return true;
}

// Removes the files that runs killed before they could (SIGKILL, a power
// cut) left beside a target. The process named in the file must be gone
// and this process must get the file's lock: a live run in another PID
// namespace, or one whose PID was reused, keeps its file locked, and a file
// whose lock cannot be tested (a file system without locks) is never taken
// for a dead run's on its process number alone.
void remove_stale_parts(const char* folder, const char* stem) {
  DIR* dir = opendir(folder);
  if (dir == nullptr) return;
  size_t stem_length = strlen(stem);
  pid_t self = getpid();
  while (struct dirent* e = readdir(dir)) {
    long pid = 0;
    if (!is_part_of(e->d_name, stem, stem_length, &pid) || pid == (long)self) continue;
    if (kill((pid_t)pid, 0) == 0 || errno != ESRCH) continue;
    int fd = openat(dirfd(dir), e->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) continue;
    struct stat st, now;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
        flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        fstatat(dirfd(dir), e->d_name, &now, AT_SYMLINK_NOFOLLOW) == 0 && now.st_dev == st.st_dev &&
        now.st_ino == st.st_ino)
      unlinkat(dirfd(dir), e->d_name, 0);
    close(fd);
  }
  closedir(dir);
}

// Takes the lock of a file just made, held until its last descriptor is
// closed: the sign of a live run to those who clear away the files of dead
// ones. False when the file was removed before the lock was taken (another
// run judged it in that moment), and when that cannot be told (errno set).
// On a file system without locks the file stays unlocked, and no run
// removes it.
bool lock_new_file(int fd) {
  int locked;
  while ((locked = flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
  }
  if (locked != 0) return true;
  struct stat st;
  if (fstat(fd, &st) != 0) return false;
  errno = EEXIST;
  return st.st_nlink > 0;
}

}  // namespace

int create_beside(const char* target, mode_t mode, char** name, pending_file** pending) {
  // Process-wide, like the process number in the name: the names of one
  // process's files differ.
  static std::atomic<unsigned> serial{0};
  *name = nullptr;
  *pending = nullptr;
  const char* slash = strrchr(target, '/');
  const char* base = slash != nullptr ? slash + 1 : target;
  size_t folder_length = (size_t)(base - target);
  size_t size = strlen(target) + 64;
  char* candidate = (char*)malloc(size);
  char* folder = (char*)malloc(folder_length + 2);
  if (candidate == nullptr || folder == nullptr) {
    free(candidate);
    free(folder);
    errno = ENOMEM;
    return -1;
  }
  memcpy(folder, target, folder_length);
  strcpy(folder + folder_length, folder_length == 0 ? "." : "");
  long name_max = pathconf(folder, _PC_NAME_MAX);
  if (name_max <= 0) name_max = NAME_MAX;
  // The longest ".PID.N.part" this process may append, and room for the
  // ".partial" that a dump cut short keeps.
  char longest[64];
  size_t suffix_length = (size_t)snprintf(longest, sizeof longest, ".%ld.%u.partial", (long)getpid(), ~0u);
  // A name too long for the suffix is shortened, at a whole UTF-8
  // character, and followed by a hash of the full name.
  size_t stem_length = strlen(base);
  char hash[16] = "";
  if (stem_length + suffix_length > (size_t)name_max) {
    size_t hash_length = (size_t)snprintf(hash, sizeof hash, "~%08x", name_hash(base));
    long keep = name_max - (long)suffix_length - (long)hash_length;
    while (keep > 0 && ((unsigned char)base[keep] & 0xC0) == 0x80) --keep;
    if (keep <= 0) {
      free(candidate);
      free(folder);
      errno = ENAMETOOLONG;
      return -1;
    }
    stem_length = (size_t)keep;
  }
  memcpy(candidate, target, folder_length + stem_length);
  strcpy(candidate + folder_length + stem_length, hash);
  size_t prefix_length = strlen(candidate);
  remove_stale_parts(folder, candidate + folder_length);
  free(folder);
  int fd = -1;
  for (int attempt = 0; attempt < 100; ++attempt) {
    snprintf(candidate + prefix_length, size - prefix_length, ".%ld.%u.part", (long)getpid(), serial.fetch_add(1));
    fd = create_pending(candidate, 0, mode, pending);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      break;
    }
    if (lock_new_file(fd)) break;
    // A run that clears away dead runs' files took it between its making
    // and its lock, and removed it, or whether it did cannot be told: the
    // name is this process's own, so whatever still bears it goes.
    int error = errno;
    pending_file_discard(*pending);
    *pending = nullptr;
    close(fd);
    fd = -1;
    errno = error;
  }
  if (fd < 0) {
    int error = errno;
    free(candidate);
    errno = error;
    return -1;
  }
  *name = candidate;
  return fd;
}

void keep_owner_and_mode(int fd, const struct stat* old) {
  if (fchown(fd, old->st_uid, old->st_gid) != 0 && fchown(fd, (uid_t)-1, old->st_gid) != 0) {
    // Owned by whoever runs; the mode below still holds.
  }
  fchmod(fd, old->st_mode & 07777);
}

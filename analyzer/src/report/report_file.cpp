// The lock of a report file, and the report it makes when there is none.
#include "report_file.h"

#include <errno.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace {

// ---- the report files that the threads of this process hold ----

struct held_file {
  // A child made by fork finds its parent's files here; they are not its.
  pid_t process;
  dev_t dev;
  ino_t ino;
  pthread_t holder;
  // Descriptors of the file that other threads are done with: closing them
  // would drop the holder's record lock, which belongs to the process.
  std::vector<int> to_close;
};

struct waiting_thread {
  pid_t process;
  pthread_t thread;
  dev_t dev;
  ino_t ino;
};

std::mutex g_mutex;
std::condition_variable g_released;
std::vector<held_file> g_held;
std::vector<waiting_thread> g_waiting;
// The process whose thread waits in the kernel for a record lock (see
// lock_holding); any other value, a parent's after fork included, is none.
pid_t g_kernel_waiter = 0;
std::condition_variable g_kernel_wait_over;

held_file* find_held(dev_t dev, ino_t ino) {
  pid_t self = getpid();
  for (held_file& h : g_held)
    if (h.process == self && h.dev == dev && h.ino == ino) return &h;
  return nullptr;
}

const waiting_thread* find_waiting(pthread_t thread) {
  pid_t self = getpid();
  for (const waiting_thread& w : g_waiting)
    if (w.process == self && pthread_equal(w.thread, thread)) return &w;
  return nullptr;
}

// Whether the calling thread, by waiting for the holder of a file, would
// close a circle: the holder waits for a file whose holder waits ... for a
// file that the calling thread holds.
bool wait_closes_circle(pthread_t holder) {
  pthread_t self = pthread_self();
  for (size_t steps = 0; steps <= g_waiting.size(); ++steps) {
    const waiting_thread* w = find_waiting(holder);
    if (w == nullptr) return false;
    const held_file* next = find_held(w->dev, w->ino);
    if (next == nullptr) return false;
    if (pthread_equal(next->holder, self)) return true;
    holder = next->holder;
  }
  return false;
}

// Takes the file for the calling thread, waiting while another thread of
// the process holds it; *holds_other tells whether the thread holds another
// report as well.
report_lock_result take_in_process(dev_t dev, ino_t ino, bool* holds_other) {
  std::unique_lock<std::mutex> lock(g_mutex);
  pthread_t self = pthread_self();
  held_file* h = find_held(dev, ino);
  if (h != nullptr) {
    if (pthread_equal(h->holder, self)) return REPORT_HELD_BY_THREAD;
    if (wait_closes_circle(h->holder)) {
      errno = EDEADLK;
      return REPORT_DEADLOCK;
    }
    g_waiting.push_back({getpid(), self, dev, ino});
    g_released.wait(lock, [&] { return find_held(dev, ino) == nullptr; });
    // Its own entry, which only it removes.
    g_waiting.erase(g_waiting.begin() + (find_waiting(self) - g_waiting.data()));
  }
  *holds_other = false;
  for (const held_file& other : g_held)
    *holds_other = *holds_other || (other.process == getpid() && pthread_equal(other.holder, self));
  g_held.push_back({getpid(), dev, ino, self, {}});
  return REPORT_LOCKED;
}

// Closes fd, a descriptor of the file (dev, ino); released when the
// calling thread held the file.
void close_in_process(int fd, dev_t dev, ino_t ino, bool held) {
  std::lock_guard<std::mutex> lock(g_mutex);
  for (size_t i = 0; i < g_held.size(); ++i) {
    held_file& h = g_held[i];
    if (h.process != getpid() || h.dev != dev || h.ino != ino) continue;
    if (!held) {
      h.to_close.push_back(fd);
      return;
    }
    close(fd);
    for (int other : h.to_close) close(other);
    g_held.erase(g_held.begin() + (long)i);
    g_released.notify_all();
    return;
  }
  close(fd);
}

// The record lock of the whole file, for this process: with F_SETLK taken
// only when free (else EAGAIN or EACCES), with F_SETLKW waited for.
int lock_records(int fd, int command) {
  struct flock range;
  range.l_type = F_WRLCK;
  range.l_whence = SEEK_SET;
  range.l_start = 0;
  range.l_len = 0;
  int r;
  while ((r = fcntl(fd, command, &range)) != 0 && errno == EINTR) {
  }
  return r;
}

int lock_flock(int fd, int operation) {
  int r;
  while ((r = flock(fd, operation)) != 0 && errno == EINTR) {
  }
  return r;
}

bool held_elsewhere(int error) { return error == EAGAIN || error == EACCES; }

// A thread that holds no other report cannot close a circle of waits: it
// waits as long as it takes, out of the kernel's sight. The kernel counts
// a wait of the process against the reports of all its threads, so such a
// wait would refuse others for circles that are not there. It waits for
// the flock, which the kernel's search leaves out, then takes the record
// lock when free; a holder between its record lock and its flock, or a
// program that takes only the record lock, has it try again.
int lock_alone(int fd) {
  for (useconds_t pause = 1000;; pause = std::min<useconds_t>(pause * 2, 64000)) {
    if (lock_flock(fd, LOCK_EX) != 0) return -1;
    if (lock_records(fd, F_SETLK) == 0) return 0;
    int error = errno;
    lock_flock(fd, LOCK_UN);
    errno = error;
    if (!held_elsewhere(error)) return -1;
    usleep(pause);
  }
}

// A thread that holds another report waits in the kernel for the record
// lock, which is refused with EDEADLK when the wait would close a circle of
// processes; then for the flock. The kernel's search follows one wait of
// each process, so the process's threads take turns in that wait: a report
// that comes free meanwhile is taken without one.
int lock_holding(int fd) {
  for (;;) {
    if (lock_records(fd, F_SETLK) == 0) break;
    if (!held_elsewhere(errno)) return -1;
    std::unique_lock<std::mutex> lock(g_mutex);
    if (g_kernel_waiter == getpid()) {
      g_kernel_wait_over.wait_for(lock, std::chrono::milliseconds(10));
      continue;
    }
    g_kernel_waiter = getpid();
    lock.unlock();
    int r = lock_records(fd, F_SETLKW);
    int error = errno;
    lock.lock();
    g_kernel_waiter = 0;
    g_kernel_wait_over.notify_all();
    errno = error;
    if (r != 0) return -1;
    break;
  }
  return lock_flock(fd, LOCK_EX);
}

}  // namespace

report_lock_result report_lock_open(const char* target, report_lock* lock) {
  lock->fd = -1;
  lock->placeholder = nullptr;
  // Each pass either takes the lock or finds that another run replaced the
  // report meanwhile, so the loop ends once the runs ahead have finished.
  for (;;) {
    struct stat st;
    // Neither opened nor locked: opening a FIFO or a device may block or
    // act on the device.
    if (stat(target, &st) == 0 && !S_ISREG(st.st_mode)) return REPORT_NOT_REGULAR;
    pending_file* placeholder = nullptr;
    int fd = open(target, O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0 && errno == ENOENT) {
      fd = create_pending(target, 1, 0666, &placeholder);
      if (fd < 0 && errno == EEXIST) continue;
    }
    if (fd < 0) return REPORT_CANNOT_OPEN;
    bool known = fstat(fd, &st) == 0;
    if (!known || !S_ISREG(st.st_mode)) {
      report_lock_result refused = known ? REPORT_NOT_REGULAR : REPORT_CANNOT_OPEN;
      int error = errno;
      pending_file_discard(placeholder);
      close(fd);
      errno = error;
      return refused;
    }
    bool holds_other = false;
    report_lock_result refused = take_in_process(st.st_dev, st.st_ino, &holds_other);
    bool taken = refused == REPORT_LOCKED;
    if (taken && (holds_other ? lock_holding(fd) : lock_alone(fd)) != 0)
      refused = errno == EDEADLK ? REPORT_DEADLOCK : REPORT_CANNOT_LOCK;
    if (refused != REPORT_LOCKED) {
      int error = errno;
      pending_file_discard(placeholder);
      close_in_process(fd, st.st_dev, st.st_ino, taken);
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
    pending_file_discard(placeholder);
    close_in_process(fd, st.st_dev, st.st_ino, true);
  }
}

void report_lock_close(int fd, dev_t dev, ino_t ino) {
  if (fd >= 0) close_in_process(fd, dev, ino, true);
}

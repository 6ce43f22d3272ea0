// The stack that deep walks run on: switching to it and back, the sanitizer
// announcements of that switch, the depth limit and the trimming after a
// deep walk.
#include "deep_walk.h"

#include <pthread.h>
#include <stddef.h>
#include <stdint.h>
#include <sys/mman.h>

#include <atomic>
#include <exception>
#if !defined(__x86_64__)
#include <ucontext.h>
#endif

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#define DEEP_WALK_ASAN_FIBERS 1
#endif
#if defined(__SANITIZE_THREAD__)
#include <sanitizer/tsan_interface.h>
#define DEEP_WALK_TSAN_FIBERS 1
#endif

namespace {

// Address space reserved for one walk; pages are committed only as the walk
// reaches them.
constexpr size_t kWalkStackBytes = size_t(1) << 30;
constexpr size_t kGuardBytes = 64 * 1024;

// Thrown from the deepest level when the walk reaches its stack limit and
// caught where the walk began.
struct WalkTooDeep {};

// Room kept below the limit for what a level calls (report writing, string
// flattening, text building).
constexpr size_t kStackMargin = 128 * 1024;

#if defined(__x86_64__)
// Saves the callee-saved registers on the current stack, stores the stack
// pointer in *from and resumes the stack saved in to. Unlike swapcontext it
// leaves the signal mask alone, which spares two system calls per walk.
extern "C" void walk_stack_switch(void** from, void* to);
asm(R"(
  .pushsection .text
  .p2align 4
  .hidden walk_stack_switch
  .type walk_stack_switch, @function
walk_stack_switch:
  pushq %rbp
  pushq %rbx
  pushq %r12
  pushq %r13
  pushq %r14
  pushq %r15
  movq %rsp, (%rdi)
  movq %rsi, %rsp
  popq %r15
  popq %r14
  popq %r13
  popq %r12
  popq %rbx
  popq %rbp
  ret
  .size walk_stack_switch, .-walk_stack_switch
  .popsection
)");
#endif

struct Walk {
  void (*fn)(void*);
  void* arg;
  bool too_deep = false;
  // What else the walk threw, handed on once the caller's stack is back.
  std::exception_ptr failure;
#if defined(__x86_64__)
  void* caller_sp = nullptr;
  void* callee_sp = nullptr;
#else
  ucontext_t caller;
  ucontext_t callee;
#endif
#ifdef DEEP_WALK_ASAN_FIBERS
  const void* caller_bottom = nullptr;
  size_t caller_size = 0;
#endif
#ifdef DEEP_WALK_TSAN_FIBERS
  // The thread sanitizer keeps a call stack per fiber: the walk gets one
  // of its own, made for this walk (walk_entry never returns, so a reused
  // one would keep its frame).
  void* caller_fiber = nullptr;
  void* walk_fiber = nullptr;
#endif
};

thread_local Walk* t_walk = nullptr;

// Runs the walk; true when it stopped at the depth limit. Every other
// exception is kept for the caller: none may leave the walk's own stack.
bool run_caught(Walk* w) {
  try {
    w->fn(w->arg);
  } catch (const WalkTooDeep&) {
    return true;
  } catch (...) {
    w->failure = std::current_exception();
  }
  return false;
}

void walk_entry() {
  Walk* w = t_walk;
#ifdef DEEP_WALK_ASAN_FIBERS
  __sanitizer_finish_switch_fiber(nullptr, &w->caller_bottom, &w->caller_size);
#endif
  w->too_deep = run_caught(w);
#ifdef DEEP_WALK_ASAN_FIBERS
  // This stack is left for good: no fake stack to keep.
  __sanitizer_start_switch_fiber(nullptr, w->caller_bottom, w->caller_size);
#endif
#ifdef DEEP_WALK_TSAN_FIBERS
  __tsan_switch_to_fiber(w->caller_fiber, 0);
#endif
#if defined(__x86_64__)
  walk_stack_switch(&w->callee_sp, w->caller_sp);
  __builtin_unreachable();
#endif
  // Returning resumes w->caller through uc_link.
}

// The walk's stack is mapped once per thread and kept for the next walks (a
// file may hold many batches); after a walk that went deeper than its
// shallow top the pages beyond are handed back.
constexpr size_t kKeptBytes = size_t(1) << 20;
// Smallest stack worth mapping for a walk.
constexpr size_t kMinWalkStackBytes = size_t(1) << 20;
// How far a walk on the thread's own stack may go: under an address-space
// limit the stack may not grow as far as its size says.
constexpr size_t kOwnStackBudget = 256 * 1024;
// The pages just below the shallow top read as zeros until a walk reaches
// them: every call deeper down leaves a return address there, as no frame of
// a walk comes near this size.
constexpr size_t kProbeBytes = 4 * 1024;

struct WalkStack {
  void* base = nullptr;
  size_t bytes = 0;
  ~WalkStack() {
    // A fatal exit from inside a walk runs this destructor on the very
    // stack it would unmap; the process is ending anyway.
    if (base && !t_walk) munmap(base, bytes);
  }
  // Not inlined into the caller of getcontext, whose locals may not live
  // across it in registers.
  __attribute__((noinline)) void* get() {
    if (!base) {
      // Under an address-space limit a smaller stack still serves all but
      // the deepest walks; those stop at the limit instead of crashing.
      for (size_t size = kWalkStackBytes; size >= kMinWalkStackBytes; size /= 2) {
        void* p = mmap(nullptr, size, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        if (p == MAP_FAILED) continue;
        // A walk that runs over the end faults instead of writing elsewhere.
        mprotect(p, kGuardBytes, PROT_NONE);
        base = p;
        bytes = size;
        break;
      }
    }
    return base;
  }
  // Reads what the walk left behind, beneath the frames the sanitizer knows.
#if defined(__SANITIZE_ADDRESS__)
  __attribute__((no_sanitize_address))
#endif
  bool went_deep() const {
    // A stack no larger than its kept top has nothing to hand back.
    if (bytes < kGuardBytes + kKeptBytes + kProbeBytes) return false;
    // Four independent 16-byte lanes: this runs after every walk.
    typedef uint64_t lane __attribute__((vector_size(16)));
    const lane* probe =
        reinterpret_cast<const lane*>(static_cast<char*>(base) + bytes - kKeptBytes - kProbeBytes);
    lane a = {}, b = {}, c = {}, d = {};
    for (size_t i = 0; i < kProbeBytes / sizeof *probe; i += 4) {
      a |= probe[i];
      b |= probe[i + 1];
      c |= probe[i + 2];
      d |= probe[i + 3];
    }
    a |= b | c | d;
    return (a[0] | a[1]) != 0;
  }
  void trim() {
    if (!went_deep()) return;
    madvise(static_cast<char*>(base) + kGuardBytes, bytes - kGuardBytes - kKeptBytes, MADV_DONTNEED);
  }
};

thread_local WalkStack t_stack;

// The room set for tests; 0: the whole stack.
std::atomic<size_t> g_room{0};

// The limit of a walk whose stack ends at top and may go down to lowest.
const char* limit_below(const char* top, const char* lowest) {
  size_t room = g_room.load(std::memory_order_relaxed);
  if (room != 0 && size_t(top - lowest) > room) return top - room;
  return lowest;
}

// Lowest address a walk on the calling thread's own stack may use.
const char* own_stack_limit() {
  const char* here = static_cast<const char*>(__builtin_frame_address(0));
  const char* budget = here - kOwnStackBudget;
  pthread_attr_t attr;
  if (pthread_getattr_np(pthread_self(), &attr) != 0) return budget;
  void* low = nullptr;
  size_t size = 0;
  size_t guard = 0;
  const char* limit = nullptr;
  if (pthread_attr_getstack(&attr, &low, &size) == 0 && size > 2 * kStackMargin) {
    pthread_attr_getguardsize(&attr, &guard);
    limit = static_cast<const char*>(low) + guard + kStackMargin;
  }
  pthread_attr_destroy(&attr);
  return limit_below(here, limit != nullptr && limit > budget ? limit : budget);
}

// No stack of its own could be mapped: the walk runs on the thread's stack,
// as deep as that goes.
bool walk_on_own_stack(void (*fn)(void*), void* arg) {
  Walk w{};
  w.fn = fn;
  w.arg = arg;
  deep_walk_limit = own_stack_limit();
  bool too_deep = run_caught(&w);
  deep_walk_limit = nullptr;
  if (w.failure) std::rethrow_exception(w.failure);
  return too_deep;
}

}  // namespace

__thread const char* deep_walk_limit = nullptr;

void deep_walk_stop() { throw WalkTooDeep{}; }

void deep_walk_set_room(size_t bytes) { g_room.store(bytes, std::memory_order_relaxed); }

bool deep_walk(void (*fn)(void*), void* arg) {
  // A walk started from inside a walk already has the room it needs; its
  // stop unwinds to where the outer walk began.
  if (deep_walk_limit) {
    fn(arg);
    return false;
  }
  void* base = t_stack.get();
  if (base == nullptr) return walk_on_own_stack(fn, arg);
  Walk w{};
  w.fn = fn;
  w.arg = arg;
  t_walk = &w;
  char* stack_low = static_cast<char*>(base) + kGuardBytes;
  const size_t stack_size = t_stack.bytes - kGuardBytes;
  deep_walk_limit = limit_below(stack_low + stack_size, stack_low + kStackMargin);
#if defined(__x86_64__)
  // The first switch pops six zero registers and "returns" into walk_entry,
  // which then sees the stack as just called (a null return address ends
  // any unwinding there).
  void** top = reinterpret_cast<void**>(stack_low + stack_size);
  top[-1] = nullptr;
  top[-2] = reinterpret_cast<void*>(&walk_entry);
  for (int i = 3; i <= 8; ++i) top[-i] = nullptr;
  w.callee_sp = top - 8;
#else
  getcontext(&w.callee);
  w.callee.uc_stack.ss_sp = stack_low;
  w.callee.uc_stack.ss_size = stack_size;
  w.callee.uc_link = &w.caller;
  makecontext(&w.callee, walk_entry, 0);
#endif
#ifdef DEEP_WALK_ASAN_FIBERS
  void* fake_stack = nullptr;
  __sanitizer_start_switch_fiber(&fake_stack, stack_low, stack_size);
#endif
#ifdef DEEP_WALK_TSAN_FIBERS
  w.caller_fiber = __tsan_get_current_fiber();
  w.walk_fiber = __tsan_create_fiber(0);
  __tsan_switch_to_fiber(w.walk_fiber, 0);
#endif
#if defined(__x86_64__)
  walk_stack_switch(&w.caller_sp, w.callee_sp);
#else
  swapcontext(&w.caller, &w.callee);
#endif
#ifdef DEEP_WALK_ASAN_FIBERS
  __sanitizer_finish_switch_fiber(fake_stack, nullptr, nullptr);
#endif
#ifdef DEEP_WALK_TSAN_FIBERS
  __tsan_destroy_fiber(w.walk_fiber);
#endif
  deep_walk_limit = nullptr;
  t_walk = nullptr;
  t_stack.trim();
  if (w.failure) std::rethrow_exception(w.failure);
  return w.too_deep;
}

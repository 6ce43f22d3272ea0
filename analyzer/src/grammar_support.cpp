// Grammar set-up, the default leaf constructors and the evaluation stack.
#include "grammar_support.h"

#include <sys/mman.h>
#include <ucontext.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#define GN_ASAN_FIBERS 1
#endif

extern "C" {

gn_dproc_fn gn_dproc_table[GN_DPROC_TABLE_SIZE];

void gn_dproc_NONE(st_context* ctx, st_node** value) {
  (void)ctx;
  (void)value;
  context_fatal("Should never happen- gn_dproc_NONE called\n");
}

void gn_dproc_end_of_input(st_context* ctx, st_node** value) {
  (void)ctx;
  *value = nullptr;
}

// The descriptors are constant data; only the leaf table is filled here.
void grammar_init(void) { gn_dproc_table_init(); }

}  // extern "C"

namespace {

// Address space reserved for one evaluation walk; pages are committed only
// as the walk reaches them.
constexpr size_t kWalkStackBytes = size_t(1) << 30;
constexpr size_t kGuardBytes = 64 * 1024;

struct Walk {
  void (*fn)(void*);
  void* arg;
  ucontext_t caller;
  ucontext_t callee;
#ifdef GN_ASAN_FIBERS
  const void* caller_bottom = nullptr;
  size_t caller_size = 0;
#endif
};

thread_local Walk* t_walk = nullptr;

void walk_entry() {
  Walk* w = t_walk;
#ifdef GN_ASAN_FIBERS
  __sanitizer_finish_switch_fiber(nullptr, &w->caller_bottom, &w->caller_size);
#endif
  w->fn(w->arg);
#ifdef GN_ASAN_FIBERS
  // This stack is left for good: no fake stack to keep.
  __sanitizer_start_switch_fiber(nullptr, w->caller_bottom, w->caller_size);
#endif
  // Returning resumes w->caller through uc_link.
}

}  // namespace

namespace {
gn_goal_observer g_goal_observer = nullptr;
void* g_goal_observer_user = nullptr;
}  // namespace

void gn_set_goal_observer(gn_goal_observer fn, void* user) {
  g_goal_observer = fn;
  g_goal_observer_user = user;
}

void gn_goal_reduced(st_node* goal) {
  if (g_goal_observer) g_goal_observer(g_goal_observer_user, goal);
}

namespace {

// The walk's stack is mapped once per thread and kept for the next batches
// (a file may reduce the start production many times); after each walk the
// pages beyond its shallow top are handed back.
constexpr size_t kKeptBytes = size_t(1) << 20;

struct WalkStack {
  void* base = nullptr;
  ~WalkStack() {
    if (base) munmap(base, kWalkStackBytes);
  }
  void* get() {
    if (!base) {
      void* p = mmap(nullptr, kWalkStackBytes, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
      if (p == MAP_FAILED) return nullptr;
      // A walk that runs over the end faults instead of writing elsewhere.
      mprotect(p, kGuardBytes, PROT_NONE);
      base = p;
    }
    return base;
  }
  void trim() {
    madvise(static_cast<char*>(base) + kGuardBytes, kWalkStackBytes - kGuardBytes - kKeptBytes, MADV_DONTNEED);
  }
};

thread_local WalkStack t_stack;

}  // namespace

void gn_on_large_stack(void (*fn)(void*), void* arg) {
  // A walk started from inside a walk already has the room it needs.
  void* base = t_walk ? nullptr : t_stack.get();
  if (base == nullptr) {
    fn(arg);
    return;
  }
  Walk w{fn, arg, {}, {}};
  t_walk = &w;
  getcontext(&w.callee);
  w.callee.uc_stack.ss_sp = static_cast<char*>(base) + kGuardBytes;
  w.callee.uc_stack.ss_size = kWalkStackBytes - kGuardBytes;
  w.callee.uc_link = &w.caller;
  makecontext(&w.callee, walk_entry, 0);
#ifdef GN_ASAN_FIBERS
  void* fake_stack = nullptr;
  __sanitizer_start_switch_fiber(&fake_stack, w.callee.uc_stack.ss_sp, w.callee.uc_stack.ss_size);
#endif
  swapcontext(&w.caller, &w.callee);
#ifdef GN_ASAN_FIBERS
  __sanitizer_finish_switch_fiber(fake_stack, nullptr, nullptr);
#endif
  t_walk = nullptr;
  t_stack.trim();
}

// Thread layer, current context, levelled logging and the fatal exits.
#include "ag_thread.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <new>

namespace qen_ag {

struct ag_mutex_impl {
  std::mutex m;
};

namespace {

thread_local st_context *t_current = nullptr;
std::atomic<bool> g_key_created{false};
std::atomic<int> g_injected{0};

void default_log_printer(int level, const char *text) {
  const char *word;
  switch (level) {
    case AG_LOG_DEBUG: word = "DEBUG"; break;
    case AG_LOG_WARN: word = "WARN "; break;
    case AG_LOG_ERROR: word = "ERROR"; break;
    case AG_LOG_FATAL: word = "FATAL"; break;
    default: word = "INFO "; break;
  }
  fputs(word, stdout);
  fputc(' ', stdout);
  fputs(text, stdout);
  fflush(stdout);
}

std::atomic<context_log_callback> g_default_callback{&default_log_printer};
std::atomic<int> g_default_level{AG_LOG_INFO};

bool take_injected(fail_next what) {
  int expected = static_cast<int>(what);
  return g_injected.compare_exchange_strong(expected, 0);
}

void shim_error(const char *format, ...) __attribute__((format(printf, 1, 2)));
void shim_error(const char *format, ...) {
  if (log_level_in_effect() > AG_LOG_ERROR) return;
  va_list ap;
  va_start(ap, format);
  context_vlog(AG_LOG_ERROR, format, ap);
  va_end(ap);
}

context_log_callback callback_in_effect() {
  st_context *c = t_current;
  if (c && c->log_callback) return c->log_callback;
  return g_default_callback.load(std::memory_order_relaxed);
}

}  // namespace

context_log_callback default_log_callback() {
  return g_default_callback.load(std::memory_order_relaxed);
}

void inject_failure(fail_next what) { g_injected.store(static_cast<int>(what)); }

int mutex_init(ag_mutex *m) {
  ag_mutex made = nullptr;
  if (m && !take_injected(fail_next::mutex_init)) made = new (std::nothrow) ag_mutex_impl;
  if (m) *m = made;
  if (!made) {
    shim_error("pthread_mutex_init(WINDOWS): Failed to create new mutex");
    return 22;
  }
  return 0;
}

int mutex_lock(ag_mutex m) {
  if (!m) {
    shim_error("pthread_mutex_lock(WINDOWS): Failed to lock mutex");
    return 22;
  }
  m->m.lock();
  return 0;
}

int mutex_unlock(ag_mutex m) {
  if (!m) {
    shim_error("pthread_mutex_unlock(WINDOWS): Failed to unlock mutex");
    return 22;
  }
  m->m.unlock();
  return 0;
}

int mutex_destroy(ag_mutex *m) {
  if (!m || !*m) {
    shim_error("pthread_mutex_destroy(WINDOWS): Failed to destroy mutex");
    return 22;
  }
  delete *m;
  *m = nullptr;
  return 0;
}

int key_create() {
  if (take_injected(fail_next::key_create)) {
    shim_error("pthread_key_create(WINDOWS): Unable to allocate Thread Local Storage (TLS) key");
    return 12;
  }
  g_key_created.store(true);
  return 0;
}

bool key_created() { return g_key_created.load(); }

int set_current_context(st_context *c) {
  if (take_injected(fail_next::set_specific)) {
    shim_error("pthread_setspecific(WINDOWS): Failed to set value for key %d", 0);
    return 22;
  }
  t_current = c;
  return 0;
}

st_context *current_context() { return t_current; }

int log_level_in_effect() {
  st_context *c = t_current;
  return c ? c->log_level : g_default_level.load(std::memory_order_relaxed);
}

void context_vlog(int level, const char *format, va_list ap) {
  char text[4096];
  if (!format) format = "";
  int n = vsnprintf(text, sizeof text, format, ap);
  if (n < 0) text[0] = '\0';
  text[sizeof text - 1] = '\0';
  callback_in_effect()(level, text);
}

}  // namespace qen_ag

using namespace qen_ag;

extern "C" {

QEN_AG_API st_context *context_get(void) { return current_context(); }
QEN_AG_API st_context *context_getnull(void) { return current_context(); }
QEN_AG_API int context_remember(st_context *context) { return set_current_context(context); }

QEN_AG_API void context_set_default_log(context_log_callback callback, int level) {
  g_default_callback.store(callback ? callback : &default_log_printer, std::memory_order_relaxed);
  g_default_level.store(level, std::memory_order_relaxed);
}

QEN_AG_API int context_get_default_loglevel(void) {
  return g_default_level.load(std::memory_order_relaxed);
}

#define QEN_AG_LOG_AT(name, level)              \
  QEN_AG_API void name(const char *format, ...) { \
    va_list ap;                                 \
    va_start(ap, format);                       \
    context_vlog(level, format, ap);            \
    va_end(ap);                                 \
  }
QEN_AG_LOG_AT(context_debug, AG_LOG_DEBUG)
QEN_AG_LOG_AT(context_info, AG_LOG_INFO)
QEN_AG_LOG_AT(context_warn, AG_LOG_WARN)
QEN_AG_LOG_AT(context_error, AG_LOG_ERROR)
QEN_AG_LOG_AT(context_fatal, AG_LOG_FATAL)
#undef QEN_AG_LOG_AT

QEN_AG_API void context_log(int level, const char *format, ...) {
  va_list ap;
  va_start(ap, format);
  context_vlog(level, format, ap);
  va_end(ap);
}

QEN_AG_API void context_assert(const char *a, const char *file, const char *b, int line) {
  char text[4096];
  snprintf(text, sizeof text, "Assertion failure: File %s, line %u: %s: %s.", file ? file : "(null)",
           static_cast<unsigned>(line), b ? b : "(null)", a ? a : "(null)");
  callback_in_effect()(AG_LOG_FATAL, text);
  fflush(stdout);
  abort();
}

QEN_AG_API void report_prod_assert(const char *file, int line) {
  fflush(stdout);
  printf("fatal error: file %s, line %d\n", file ? file : "(null)", line);
  fflush(stdout);
  exit(1);
}

}  // extern "C"

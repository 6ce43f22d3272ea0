#ifndef QEN_AG_THREAD_H
#define QEN_AG_THREAD_H

/* Internal thread layer of qen_ag: the current-context slot and the mutexes
 * of the pools and the chunk registry. Nothing here is exported. Every
 * failure is logged at level 4 (when the level in effect lets it through)
 * and answered with an error number (12 ENOMEM, 22 EINVAL). */
#include <stdarg.h>

#include "ag_context.h"

namespace qen_ag {

/* A mutex handle; null = no mutex (never created or already destroyed). */
struct ag_mutex_impl;
typedef ag_mutex_impl *ag_mutex;

int mutex_init(ag_mutex *m);
int mutex_lock(ag_mutex m);
int mutex_unlock(ag_mutex m);
int mutex_destroy(ag_mutex *m);

/* The process-wide key of the current-context slot. */
int key_create();
bool key_created();
int set_current_context(st_context *c);
st_context *current_context();

/* The process-wide default callback (the built-in printer unless set). */
context_log_callback default_log_callback();

/* The level in effect: the current context's, else the default level. */
int log_level_in_effect();
/* Formats into 4096 bytes and hands the text to the callback in effect. */
void context_vlog(int level, const char *format, va_list ap);

/* Test hook: makes the next key_create / set_current_context /
 * mutex_init fail once (simulates an exhausted system resource). */
enum class fail_next { none, key_create, set_specific, mutex_init };
void inject_failure(fail_next what);

}  // namespace qen_ag

#endif

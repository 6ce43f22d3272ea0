#ifndef QEN_COMMON_DEEP_WALK_H
#define QEN_COMMON_DEEP_WALK_H

#include <stddef.h>

/* Tree walks that recurse once per nesting level (the analyzer's evaluation
 * pass, the translator's rewriting and emission) run behind deep_walk: on a
 * stack of their own, far larger than a thread's usual stack, with a check
 * at each level that stops the walk before it would overflow that stack.
 * Compiled into each program or library that walks this way. */

/* Runs fn(arg) on a stack of its own on the calling thread, so that the
 * thread's other state (its current context, its pool) stays in force.
 * Returns true when the walk stopped because it went deeper than its stack
 * allows (deep_walk_check found no room left), false when fn returned. What
 * the walk leaves half done is the caller's to discard. Any other exception
 * that fn throws reaches the caller as thrown. A walk started inside a walk
 * runs on the same stack, and its stop ends the outer walk. */
bool deep_walk(void (*fn)(void*), void* arg);

/* Lowest frame address the running walk may reach on the calling thread;
 * null when no walk runs (then the check never stops anything). */
extern __thread const char* deep_walk_limit;

/* Ends the running walk; deep_walk then returns true. */
[[noreturn]] void deep_walk_stop();

/* For tests of the limit: walks started from now on, on any thread, stop
 * once they use more than about `bytes` of their stack; 0 gives them their
 * whole stack again. */
void deep_walk_set_room(size_t bytes);

/* Called at each level of a walk's recursion. */
inline void deep_walk_check() {
  if (static_cast<const char*>(__builtin_frame_address(0)) < deep_walk_limit) [[unlikely]]
    deep_walk_stop();
}

#endif

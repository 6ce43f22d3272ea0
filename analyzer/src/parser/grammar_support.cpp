// Grammar set-up, the default leaf constructors, the check of int words
// and the evaluation-pass observer.
#include "grammar_support.h"

#include <stdio.h>

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

// A grammar error, not an input error: a word declared int was given a
// pointer or another value wider than 32 bits.
void gn_int_too_wide(ag_word value) {
  char text[64];
  snprintf(text, sizeof text, "%ld fits 32 bits", static_cast<long>(value));
  context_assert(text, "analyzer/src/grammar_support.cpp", "int word", __LINE__);
}

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

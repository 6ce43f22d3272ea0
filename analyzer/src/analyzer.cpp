// One-time set-up and the parse of one batch.
#include "analysis_runtime.h"
#include "analyzer_internal.h"

// The grammar tables, the scanner and the parser are built separately; until
// they are linked in, the set-up does nothing and no batch is accepted.
extern "C" {
void grammar_init(void) __attribute__((weak));
void scanner_setup(ag_word* block) __attribute__((weak));
int yyparse(st_context* ctx) __attribute__((weak));
}

namespace {
bool g_initialised = false;
}

extern "C" {

void analyzer_init(void) {
  if (g_initialised) return;
  g_initialised = true;
  if (grammar_init) grammar_init();
}

int analyzer_parse(st_context* ctx, int quoted_identifier) {
  if (scanner_setup == nullptr || yyparse == nullptr) return 1;
  ag_word b[3] = {ag_from_int(quoted_identifier), 0, 0};
  scanner_setup(b);
  return yyparse(ctx);
}

}  // extern "C"

// One-time set-up and the parse of one batch. The parser builds the tree
// bottom up; the evaluation pass that writes the report starts in the
// constructor of the start production "Real_Goal Batch_Input ;"
// (grammar/batches.ag), each time the parser reduces it.
#include "analysis_runtime.h"
#include "analyzer_internal.h"
#include "parser_glue.h"
#include "scanner.h"

namespace {
bool g_initialised = false;
}

extern "C" {

void analyzer_init(void) {
  if (g_initialised) return;
  g_initialised = true;
  grammar_init();
}

int analyzer_parse(st_context* ctx, int quoted_identifier) {
  ag_word b[3] = {ag_from_int(quoted_identifier), 0, 0};
  scanner_setup(b);
  return yyparse(ctx);
}

}  // extern "C"

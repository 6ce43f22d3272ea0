// One-time set-up and the parse of one batch. The parser builds the tree
// bottom up; the evaluation pass that writes the report starts in the
// constructor of the start production "Real_Goal Batch_Input ;"
// (grammar/batches.ag), each time the parser reduces it.
#include <atomic>
#include <mutex>

#include "analysis_runtime.h"
#include "analyzer_internal.h"
#include "grammar_support.h"
#include "parser_glue.h"
#include "scanner.h"

namespace {
std::once_flag g_init_once;
std::atomic<bool> g_initialised{false};
}

extern "C" {

void analyzer_init(void) {
  std::call_once(g_init_once, [] {
    grammar_init();
    g_initialised.store(true);
  });
}

int analyzer_parse(st_context* ctx, int quoted_identifier) {
  // Without the tables, an input or an environment to report into, the
  // parse would have nothing to run on.
  if (!g_initialised.load() || ctx == nullptr || ctx->pool == nullptr || ctx->envn == nullptr)
    return -1;
  ag_word b[3] = {ag_from_int(quoted_identifier), 0, 0};
  scanner_setup(b);
  int result = yyparse(ctx);
  envn* env = (envn*)ctx->envn;
  if (env->walk_too_deep) {
    fprintf(stderr,
            "analyzer: the batch starting at line %d nests too deeply to be evaluated; "
            "the report holds only what was found before\n",
            file_state_get_mark(env->fs));
    return 3;
  }
  return result;
}

}  // extern "C"

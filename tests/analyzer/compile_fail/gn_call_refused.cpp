// Grammar code that must not compile: one call per case, chosen by the
// build (GN_CALL_CASE). The good case shows that the file compiles at all.
#include "grammar_support.h"

ag_word grammar_code(ag_word state) {
#if GN_CALL_CASE == 0
  return gn_call(envn_count, state, FS_STATEMENT_COUNT);
#elif GN_CALL_CASE == 1
  return gn_call(envn_count, state);
#elif GN_CALL_CASE == 2
  return gn_call(report_feature_if, 1, state, 0, 0, 0, 0, 0);
#elif GN_CALL_CASE == 3
  return gn_call(envn_end_object, state);
#endif
}

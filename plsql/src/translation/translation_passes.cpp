// The translation of a parsed tree: its passes, in the order they run. Each
// pass reads the tree as the passes before it left it; what it reads and
// what it sets on the tree is said here, its home is its file. The
// emitter then writes what the last pass left, deciding nothing.
#include "translation_passes.h"

#include "rewrite_internal.h"
#include "routine_effects.h"

namespace {

void rewriteTree(TransformState* state) {
  state->effects = std::make_shared<RoutineEffects>(state);
  transformNode(state->root, nullptr, state);
  // A root that is no list of units is one unit.
  if (state->root && state->root->kind != AST_LIST) state->effects->collect(state->root);
}

}  // namespace

const TranslationPass kTranslationPasses[] = {
    {"run declarations", rewrite::noteRunDeclarations,
     "reads the units' heads; sets the run's functions, packages, object types (rewrite_names.cpp)"},
    {"rewrite", rewriteTree,
     "reads each node by kind; rewrites it into the target's shapes and records what has none: units "
     "(rewrite_units.cpp), blocks and handlers (rewrite_blocks.cpp), tokens (rewrite_tokens.cpp), names and forms "
     "(rewrite_names.cpp), values stored in a fixed scale (rewrite_scale.cpp), datatypes (datatypes.cpp), "
     "declarations, loops and dynamic SQL (rewrite_statements.cpp), "
     "control flow (rewrite_control.cpp), constructs without a form (rewrite_unmapped.cpp); dispatch in "
     "rewrite_walk.cpp"},
    {"routine effects", rewrite::settleRoutineEffects,
     "reads each rewritten unit in one walk as the rewriting leaves it; sets MODIFIES SQL DATA on functions that "
     "change data (data_access.cpp), WITH HOLD on cursors a COMMIT may meet open (cursor_holds.cpp); records LOBs of "
     "rows written through a locator (lob_row_writes.cpp) and calls in SQL of functions that may end with "
     "NO_DATA_FOUND (no_data_found_calls.cpp)"},
    {"written forms", rewrite::settleWrittenForms,
     "reads the tree in writing order; records what the target cannot take as written, puts every written token "
     "list in its exact form: division, zero divisor, SUBSTR (written_forms.cpp, exact_expressions.cpp); sets the "
     "NULL statements that must stand as statements (written_forms.cpp)"},
};
const int kTranslationPassCount = static_cast<int>(sizeof kTranslationPasses / sizeof kTranslationPasses[0]);

void transformProgram(astNode* root, const TranslateOptions* options, ErrorList* errors) {
  TransformState state;
  state.root = root;
  state.errors = errors;
  state.exceptionMap = options ? options->exceptionMap : nullptr;
  state.datatypeMap = options ? options->datatypeMap : nullptr;
  for (const TranslationPass& pass : kTranslationPasses) pass.run(&state);
}

// Grammar code that must not compile: one call per case, chosen by the
// build (GN_CALL_CASE). The good case shows that the file compiles at all.
#include "gn_nodes.h"

// A helper of grammar code, typed as the grammar's helpers are.
[[maybe_unused]] static gn_envn report_if(gn_flag_word cond, gn_envn state, gn_lexeme_word lexeme) {
  return gn_call(report_feature_if, cond, state, &FT_STATEMENT_KILL.tag, lexeme, OBJ_STATEMENT, &FT_STATEMENT_KILL.name);
}

// As a generated procedure: the state is the environment's word.
ag_word grammar_code(ag_word in) {
  gn_envn state{in};
#if GN_CALL_CASE == 0
  return gn_call(envn_count, state, FS_STATEMENT_COUNT);
#elif GN_CALL_CASE == 1
  return gn_call(envn_count, state);
#elif GN_CALL_CASE == 2
  return gn_call(report_feature_if, 1, state, 0, 0, 0, 0, 0);
#elif GN_CALL_CASE == 3
  return gn_call(envn_end_object, state);
#elif GN_CALL_CASE == 4
  // The lexeme and the object kind swapped.
  gn_leaf token{};
  return gn_call(report_feature, state, &FT_STATEMENT_KILL.tag, OBJ_STATEMENT, token.lexeme, &FT_STATEMENT_KILL.name);
#elif GN_CALL_CASE == 5
  // A counter code where the object kind goes.
  return gn_call(envn_kind_is, state, FS_STATEMENT_COUNT);
#elif GN_CALL_CASE == 6
  // A name record where a text goes.
  name_rec* record = nullptr;
  return gn_call(envn_set_object_name, state, record);
#elif GN_CALL_CASE == 7
  // The environment and a flag swapped: the flag is a call's result.
  return gn_call(envn_end_object_if, state, gn_call(envn_kind_is, state, OBJ_BATCH));
#elif GN_CALL_CASE == 8
  // A token's lexeme where the flag goes.
  gn_leaf token{};
  return gn_call(envn_end_object_if, token.lexeme, state);
#elif GN_CALL_CASE == 9
  // A node's lexeme word where the flag goes.
  gn_N_Alter_Table_Lock* node = nullptr;
  return gn_call(report_feature_if, node->lexeme, state, &FT_STATEMENT_KILL.tag, 0, OBJ_STATEMENT, &FT_STATEMENT_KILL.name);
#elif GN_CALL_CASE == 10
  // A node's name record where a text goes.
  gn_N_Table_Name* node = nullptr;
  return gn_call(envn_set_object_name, state, node->record);
#elif GN_CALL_CASE == 11
  // The state and a flag kept in a plain word swapped.
  ag_word flag = 1;
  return gn_call(envn_end_object_if, state, flag);
#elif GN_CALL_CASE == 12
  // The state and a flag swapped at a helper.
  ag_word flag = 1;
  return report_if(state, flag, 0);
#elif GN_CALL_CASE == 13
  // A word without kind where the environment goes.
  ag_word plain = in;
  return gn_call(envn_count, plain, FS_STATEMENT_COUNT);
#elif GN_CALL_CASE == 14
  // A lookup's two results: the flag read into the text word.
  gn_N_Table_Name* node = nullptr;
  auto [catalog, unsupported] = gn_call_all(systable_unsupported, state, node->record);
  node->catalog = unsupported;
  return state;
#elif GN_CALL_CASE == 15
  // An expression's content flags read into a 0/1 flag word.
  gn_N_Opt_Output* output = nullptr;
  gn_N_Gen_Expression* expression = nullptr;
  output->output = expression->flags;
  return state;
#elif GN_CALL_CASE == 16
  // A lookup of two results called for its first alone.
  gn_N_Table_Name* node = nullptr;
  node->catalog = gn_call(systable_unsupported, state, node->record);
  return state;
#endif
}

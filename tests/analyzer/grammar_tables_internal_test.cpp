// The grammar's process-wide tables after the one-time set-up: descriptors,
// the token leaf table, the leaves it builds, and the constructors' handling
// of the error symbol and of words not yet computed.
#include <gtest/gtest.h>
#include <string.h>

#include <set>
#include <string>
#include <vector>

#include "ag_context.h"
#include "gn_nodes.h"
#include "measured_size.h"
#include "qen_analyzer.h"

namespace {

std::vector<std::string> g_log;

void capture(int level, const char* text) { g_log.push_back(std::to_string(level) + ":" + text); }

class GrammarTables : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    lib_one_time_init();
    analyzer_init();
  }
  void SetUp() override {
    memset(&ctx_, 0, sizeof ctx_);
    ASSERT_EQ(context_init(&ctx_), 0);
    static const char text[] = "select 1";
    ASSERT_TRUE(context_set_string_input(&ctx_, text, text + sizeof text - 1));
  }
  void TearDown() override { context_done(&ctx_); }
  st_context ctx_;
};

int find_production(const std::string& text) {
  for (int i = 0; i < GN_PRODUCTION_COUNT; ++i)
    if (text == gn_production_descriptors[i].text) return i;
  return -1;
}

}  // namespace

TEST_F(GrammarTables, DescriptorsOfProductionsAndTerminals) {
  ASSERT_EQ(GN_PRODUCTION_COUNT, grammar_figure("productions") + kGrammarAdditions);
  ASSERT_EQ(GN_TERMINAL_COUNT, grammar_figure("terminals"));
  int with_procedure = 0, empty = 0;
  std::set<std::string> texts, lhs_evaluated;
  for (int i = 0; i < GN_PRODUCTION_COUNT; ++i) {
    const st_production& d = gn_production_descriptors[i];
    std::string t = d.text;
    ASSERT_GE(t.size(), 3u);
    EXPECT_EQ(t.substr(t.size() - 2), " ;");
    EXPECT_TRUE(texts.insert(t).second) << t;
    if (d.procedure) {
      ++with_procedure;
      lhs_evaluated.insert(t.substr(0, t.find(' ')));
    }
    if (t.find(' ') == t.size() - 2) ++empty;
    // A production's children follow its descriptor and words.
    EXPECT_GE(gn_production_child_offset[i], 1);
  }
  EXPECT_EQ(with_procedure, grammar_figure("procedures"));
  EXPECT_EQ((int)lhs_evaluated.size(), grammar_figure("evaluated"));
  EXPECT_EQ(empty, grammar_figure("empty"));
  // Rule order: nonterminals by name, their productions together.
  EXPECT_EQ(std::string(gn_production_descriptors[0].text).rfind("Actual_Argument_Value ", 0), 0u);
  EXPECT_EQ(std::string(gn_production_descriptors[GN_PRODUCTION_COUNT - 1].text).rfind("Writetext_Stmt ", 0), 0u);

  int k = find_production("Real_Goal Batch_Input ;");
  ASSERT_GE(k, 0);
  EXPECT_EQ(gn_production_descriptors[k].procedure, nullptr);
  EXPECT_EQ(gn_production_child_count[k], 1);
  EXPECT_EQ(gn_production_child_offset[k], 2);  // descriptor and one word
  k = find_production("Opt_Where_Clause ;");
  ASSERT_GE(k, 0);
  EXPECT_EQ(gn_production_child_count[k], 0);

  EXPECT_STREQ(gn_terminal_descriptors[0].text, "ABS_ID ;");
  EXPECT_STREQ(gn_terminal_descriptors[547].text, "WRITETEKST_KW ;");
  for (int i = 0; i < GN_TERMINAL_COUNT; ++i) EXPECT_EQ(gn_terminal_descriptors[i].procedure, nullptr);
}

TEST_F(GrammarTables, LeafTableHoldsOneConstructorPerTerminalCode) {
  EXPECT_EQ(gn_dproc_table[0], &gn_dproc_end_of_input);
  for (int code = 1; code <= 256; ++code) EXPECT_EQ(gn_dproc_table[code], &gn_dproc_NONE) << code;
  std::set<gn_dproc_fn> distinct;
  for (int code = 257; code <= 804; ++code) {
    EXPECT_NE(gn_dproc_table[code], &gn_dproc_NONE) << code;
    distinct.insert(gn_dproc_table[code]);
  }
  // One constructor per terminal: the count follows the terminal list.
  EXPECT_EQ(distinct.size(), static_cast<size_t>(GN_TERMINAL_COUNT));
  EXPECT_EQ(gn_dproc_table[257], &gn_dproc_ABS_ID);
  EXPECT_EQ(gn_dproc_table[332], &gn_dproc_COMMA);
  EXPECT_EQ(gn_dproc_table[804], &gn_dproc_WRITETEKST_KW);
}

TEST_F(GrammarTables, LeavesCarryTheirDescriptorAndTheTokensLexemeNumber) {
  st_node* value = reinterpret_cast<st_node*>(&ctx_);
  gn_dproc_table[0](&ctx_, &value);
  EXPECT_EQ(value, nullptr);

  ctx_.lexeme_count = 7;
  st_node* name = nullptr;
  gn_dproc_table[554](&ctx_, &name);  // NAME
  ASSERT_NE(name, nullptr);
  EXPECT_STREQ(name->descriptor->text, "NAME ;");
  EXPECT_EQ(reinterpret_cast<gn_leaf2*>(name)->lexeme, 7);

  // One word for a COMMA, two for an INTEGER_CONSTANT, as the distance to
  // the neighbouring bump blocks shows (whichever way the pool grows).
  st_node *before = nullptr, *comma = nullptr, *integer = nullptr, *after = nullptr;
  gn_dproc_COMMA(&ctx_, &before);
  gn_dproc_COMMA(&ctx_, &comma);
  gn_dproc_INTEGER_CONSTANT(&ctx_, &integer);
  gn_dproc_COMMA(&ctx_, &after);
  auto at = [](st_node* n) { return reinterpret_cast<char*>(n); };
  bool upward = at(comma) > at(before);
  long comma_size = upward ? at(integer) - at(comma) : at(before) - at(comma);
  long integer_size = upward ? at(after) - at(integer) : at(comma) - at(integer);
  EXPECT_STREQ(comma->descriptor->text, "COMMA ;");
  EXPECT_STREQ(integer->descriptor->text, "INTEGER_CONSTANT ;");
  EXPECT_EQ(comma_size, (long)sizeof(ag_word));
  EXPECT_EQ(integer_size, 2 * (long)sizeof(ag_word));
}

TEST_F(GrammarTables, NoneEntryLogsAndLeavesTheValueAlone) {
  context_set_default_log(capture, 1);
  ctx_.log_callback = capture;
  g_log.clear();
  st_node* value = reinterpret_cast<st_node*>(&ctx_);
  gn_dproc_table[1](&ctx_, &value);
  EXPECT_EQ(value, reinterpret_cast<st_node*>(&ctx_));
  ASSERT_EQ(g_log.size(), 1u);
  EXPECT_NE(g_log[0].find("Should never happen- gn_dproc_NONE called\n"), std::string::npos) << g_log[0];
  EXPECT_EQ(g_log[0].rfind("5:", 0), 0u) << g_log[0];
}

TEST_F(GrammarTables, ConstructorsNeverKeepTheErrorValue) {
  st_node *lpar = nullptr, *rpar = nullptr;
  gn_dproc_LPAR(&ctx_, &lpar);
  gn_dproc_RPAR(&ctx_, &rpar);
  st_node* bogus = lpar;  // whatever the parser's value stack held
  st_node* n = gn_new_Gen_Expression__LPAR_error_RPAR(&ctx_, lpar, bogus, rpar);
  auto* node = reinterpret_cast<gn_P_Gen_Expression__LPAR_error_RPAR*>(n);
  EXPECT_STREQ(n->descriptor->text, "Gen_Expression LPAR error RPAR ;");
  EXPECT_EQ(node->c1, reinterpret_cast<gn_leaf1*>(lpar));
  EXPECT_EQ(node->c2, nullptr);
  EXPECT_EQ(node->c3, reinterpret_cast<gn_leaf1*>(rpar));
  EXPECT_NE(n->descriptor->procedure, nullptr);
}

TEST_F(GrammarTables, OnOrOffValueAndTheQuotedIdentifierSwitch) {
  st_node *on = nullptr, *off = nullptr, *word = nullptr;
  gn_dproc_ON_KW(&ctx_, &on);
  gn_dproc_OFF_KW(&ctx_, &off);
  gn_dproc_QUOTED_IDENTIFIER_ID(&ctx_, &word);
  auto* v_on = reinterpret_cast<gn_N_On_Or_Off*>(gn_new_On_Or_Off__ON_KW(&ctx_, on));
  auto* v_off = reinterpret_cast<gn_N_On_Or_Off*>(gn_new_On_Or_Off__OFF_KW(&ctx_, off));
  EXPECT_EQ(v_on->value, 1);
  EXPECT_EQ(v_off->value, 0);

  ag_word b[3] = {0, 0, 0};
  scanner_setup(b);
  ASSERT_EQ(scanner_quoted_identifier(), 0);
  auto* set_on = reinterpret_cast<gn_N_Set_Special_Syntax*>(
      gn_new_Set_Special_Syntax__QUOTED_IDENTIFIER_ID_On_Or_Off(&ctx_, word, reinterpret_cast<st_node*>(v_on)));
  EXPECT_EQ(scanner_quoted_identifier(), 1);
  EXPECT_EQ(set_on->switch_word, 0);
  gn_new_Set_Special_Syntax__QUOTED_IDENTIFIER_ID_On_Or_Off(&ctx_, word, reinterpret_cast<st_node*>(v_off));
  EXPECT_EQ(scanner_quoted_identifier(), 0);
}

// The grammar's process-wide tables after the one-time set-up: descriptors,
// node shapes, the token leaf table, the token values it makes, and the
// constructors' handling of tokens, of the error symbol and of words not
// yet computed.
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
    // One child slot per right-hand symbol, in order, past the production
    // number.
    const gn_shape& shape = gn_production_shapes[i];
    std::vector<std::string> rhs;
    for (size_t at = t.find(' ') + 1; at < t.size() - 2; at = t.find(' ', at) + 1)
      rhs.push_back(t.substr(at, t.find(' ', at) - at));
    ASSERT_EQ(shape.child_count, rhs.size()) << t;
    for (size_t c = 0; c < rhs.size(); ++c) {
      const gn_slot& slot = gn_shape_children(&shape)[c];
      EXPECT_EQ(gn_slot_name(&slot), rhs[c]) << t;
      if (slot.kind != GN_SLOT_NONE) {
        EXPECT_GE(slot.offset, 4) << t;
      }
    }
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
  const gn_shape& goal = gn_production_shapes[k];
  ASSERT_EQ(goal.child_count, 1);
  EXPECT_EQ(gn_shape_children(&goal)[0].kind, GN_SLOT_NODE);
  ASSERT_EQ(goal.word_count, 1);  // the result word
  EXPECT_STREQ(gn_slot_name(gn_shape_words(&goal)), "result");
  k = find_production("Opt_Where_Clause ;");
  ASSERT_GE(k, 0);
  EXPECT_EQ(gn_production_shapes[k].child_count, 0);
  // in and out are no words of the node; lexeme numbers and flags are 32
  // bits wide, records a pointer's width.
  k = find_production("Select_Through_Having SELECT_KW Opt_All_Or_Distinct Select_Items From_Through_Having ;");
  ASSERT_GE(k, 0);
  const gn_shape& select = gn_production_shapes[k];
  ASSERT_EQ(select.word_count, 2);
  EXPECT_STREQ(gn_slot_name(gn_shape_words(&select)), "flags");
  EXPECT_EQ(gn_shape_words(&select)[0].kind, GN_SLOT_INT);
  EXPECT_EQ(gn_shape_children(&select)[0].kind, GN_SLOT_LEXEME);
  EXPECT_EQ(gn_shape_children(&select)[1].kind, GN_SLOT_NODE);
  k = find_production("Table_Name Qualified_Object ;");
  ASSERT_GE(k, 0);
  EXPECT_STREQ(gn_slot_name(gn_shape_words(&gn_production_shapes[k])), "record");
  EXPECT_EQ(gn_shape_words(&gn_production_shapes[k])[0].kind, GN_SLOT_WORD);
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

TEST_F(GrammarTables, TokenValuesCarryTheTokensLexemeNumberAndTakeNoMemory) {
  st_node* value = reinterpret_cast<st_node*>(&ctx_);
  gn_dproc_table[0](&ctx_, &value);
  EXPECT_EQ(value, nullptr);

  ctx_.lexeme_count = 7;
  st_node* name = nullptr;
  void* before = smp_alloc(ctx_.pool, 8);
  gn_dproc_table[554](&ctx_, &name);  // NAME
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(gn_token_lexeme(name), 7);
  // Tagged: never the address of a node.
  EXPECT_NE(reinterpret_cast<uintptr_t>(name) % alignof(st_node), 0u);

  st_node *comma = nullptr, *integer = nullptr;
  ctx_.lexeme_count = 0x7fffffff;
  gn_dproc_COMMA(&ctx_, &comma);
  gn_dproc_INTEGER_CONSTANT(&ctx_, &integer);
  EXPECT_EQ(gn_token_lexeme(comma), 0x7fffffff);
  EXPECT_EQ(gn_token_lexeme(integer), 0x7fffffff);
  // The pool handed out nothing in between.
  void* after = smp_alloc(ctx_.pool, 8);
  long distance = reinterpret_cast<char*>(before) - reinterpret_cast<char*>(after);
  EXPECT_EQ(distance < 0 ? -distance : distance, 8);

  // A parent keeps an INTEGER_CONSTANT's lexeme number in a slot of its own
  // and nothing of a COMMA.
  int k = find_production("Gen_Expression_List Gen_Expression_List COMMA Gen_Expression ;");
  ASSERT_GE(k, 0);
  EXPECT_EQ(gn_shape_children(&gn_production_shapes[k])[1].kind, GN_SLOT_NONE);
  ctx_.lexeme_count = 12;
  gn_dproc_INTEGER_CONSTANT(&ctx_, &integer);
  auto* constant = reinterpret_cast<gn_P_Constant_Lexeme__INTEGER_CONSTANT*>(
      gn_new_Constant_Lexeme__INTEGER_CONSTANT(&ctx_, integer));
  EXPECT_EQ(constant->c1.lexeme, 12);
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
  EXPECT_STREQ(gn_production_descriptors[n->production].text, "Gen_Expression LPAR error RPAR ;");
  // The node is its production and its flags word: no slot for the error
  // symbol, nor for the parentheses.
  EXPECT_EQ(sizeof *node, 8u);
  EXPECT_EQ(node->flags, EF_NONE);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(gn_shape_children(&gn_production_shapes[n->production])[i].kind, GN_SLOT_NONE);
  EXPECT_NE(gn_production_descriptors[n->production].procedure, nullptr);
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

TEST_F(GrammarTables, IntWordsKeepThirtyTwoBitsAndRefuseWiderValues) {
  gn_int word;
  for (ag_word v : {ag_word{0}, ag_word{-5}, ag_word{INT32_MIN}, ag_word{INT32_MAX}}) {
    word = v;
    EXPECT_EQ(static_cast<ag_word>(word), v);
  }
  // A pointer stored into an int word is a grammar error: stopped at once.
  EXPECT_DEATH(
      {
        ctx_.log_callback = [](int, const char* text) { fputs(text, stderr); };
        word = reinterpret_cast<ag_word>(&ctx_);
      },
      "^Assertion failure: File analyzer/src/grammar_support.cpp, line [0-9]+: int word: -?[0-9]+ fits 32 bits\\.");
}

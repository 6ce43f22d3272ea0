// Construction-time words of the query, cursor and DML nodes, read from the
// trees the parser builds: content flags of clauses and select lists, the
// SELECT lexeme carried up to the statement, the FROM lexeme planted into
// a FROM list, hint flags, plan, cursor and READTEXT option flags, and the
// FETCH lexeme planted into the orientation.
#include <gtest/gtest.h>
#include <string.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ag_context.h"
#include "gn_nodes.h"
#include "parser_glue.h"
#include "qen_analyzer.h"
#include "observed_batch.h"
#include "tree_reader.h"

namespace {

// What the observer saw of one evaluated batch: for each production text
// asked for, the words of its first node (empty when there is none), and
// the lexeme numbers of the first token of each terminal asked for.
struct Probe {
  std::vector<std::string> productions;
  std::vector<std::vector<ag_word>> found;
  std::vector<std::string> terminals;
  std::vector<ag_word> lexemes;
};

void observe(void* user, st_node* goal) {
  auto* p = static_cast<Probe*>(user);
  const st_node* batch = qen_test::children_of(goal)[0].node;
  p->found.clear();
  for (auto& text : p->productions) {
    const st_node* n = qen_test::find_node_if(
        batch, [&](const st_node* m) { return text + " ;" == qen_test::production_text(m); });
    p->found.push_back(n ? qen_test::words_of(n) : std::vector<ag_word>{});
  }
  p->lexemes.clear();
  for (auto& t : p->terminals) p->lexemes.push_back(qen_test::first_lexeme(batch, t));
}

void parse(const std::string& text, Probe& probe) {
  EXPECT_EQ(qen_test::parse_observed("select_words", text, observe, &probe).result, 0);
}

using W = std::vector<ag_word>;

}  // namespace

TEST(SelectWords, ContentFlagsOfListsAndClauses) {
  Probe p;
  p.productions = {"Select_Through_Having SELECT_KW Opt_All_Or_Distinct Select_Items From_Through_Having",
                   "Opt_From_Clause", "Opt_Where_Clause", "Opt_Grouping_Clause", "Opt_Having_Clause",
                   "Normal_Projection_List Star_Projection_Item", "Where_Clause WHERE_KW Predicate_Expr"};
  parse("select a + 1, @@error", p);
  ASSERT_EQ(p.found.size(), 7u);
  // Column and literal (16 | 2), @@error (264), no FROM: EF_NONE.
  EXPECT_EQ(p.found[0][0], 16 | 2 | 264 | 1);
  EXPECT_EQ(p.found[1], W{1});

  // The empty clauses of a subquery give EF_NONE; a star list gives it too.
  parse("select * where exists (select 1)", p);
  EXPECT_EQ(p.found[1], W{1});
  EXPECT_EQ(p.found[2], W{1});
  EXPECT_EQ(p.found[3], W{1});
  EXPECT_EQ(p.found[4], W{1});
  EXPECT_EQ(p.found[5], W{1});

  // WHERE copies its predicate's flags: a date function marks it.
  parse("select a from t where b > getdate()", p);
  ASSERT_FALSE(p.found[6].empty());
  EXPECT_NE(p.found[6][0] & 1024, 0);
}

TEST(SelectWords, SelectLexemeGoesUpAndFromLexemeGoesDown) {
  Probe p;
  p.productions = {"Select_Stmt Select_Through_Compute_By Opt_Plan",
                   "Opt_From_Clause FROM_KW From_Table_List", "From_Table_List From_Table",
                   "Grouping_Clause GROUP_KW BI_KW Gen_Expression_List"};
  p.terminals = {"SELECT_KW", "FROM_KW", "GROUP_KW"};
  parse("select a from t union select b from u group by b order by 1 compute count(a)", p);
  ASSERT_EQ(p.lexemes.size(), 3u);
  // The statement keeps its first SELECT keyword; the list below FROM holds
  // the FROM keyword from construction on; GROUP keeps its keyword beside
  // the flags of its list (a column).
  EXPECT_EQ(p.found[0], W{p.lexemes[0]});
  EXPECT_EQ(p.found[2], (W{1, p.lexemes[1]}));
  EXPECT_EQ(p.found[3], (W{16, p.lexemes[2]}));
}

TEST(SelectWords, HintPlanCursorAndOptionFlags) {
  Probe p;
  p.productions = {"Table_Hints LPAR Table_Hint_List RPAR",
                   "Table_Hints LPAR Table_Hint_List RPAR Locking_Hint_List",
                   "Table_Hints Locking_Hint_List",
                   "Opt_Plan PLAN_KW STRING_CONSTANT",
                   "Opt_Plan",
                   "Cursor_Sensitivity SEMI_SENSITIVE_KW",
                   "Cursor_Scrollablity NO_ID SCROLL_KW",
                   "Cursor_Scrollablity SCROLL_KW",
                   "Opt_Asc_Or_Desc DESC_KW",
                   "Opt_Asc_Or_Desc"};
  parse("select a from t (index i), u (index j) holdlock, v noholdlock order by a desc, b\n"
        "delete t plan \"p\"\n"
        "delete u\n"
        "declare c semi_sensitive no scroll cursor for select a from t\n"
        "declare d scroll cursor for select a from t",
        p);
  // {lock hint, table hint}.
  EXPECT_EQ(p.found[0], (W{0, 1}));
  EXPECT_EQ(p.found[1], (W{1, 1}));
  EXPECT_EQ(p.found[2], (W{1, 0}));
  EXPECT_EQ(p.found[3], W{1});
  EXPECT_EQ(p.found[4], W{0});
  EXPECT_EQ(p.found[5], W{1});
  EXPECT_EQ(p.found[6], W{0});
  EXPECT_EQ(p.found[7], W{1});
  EXPECT_EQ(p.found[8], W{1});
  EXPECT_EQ(p.found[9], W{0});
}

TEST(SelectWords, ReadtextLockWaitAndFetchWords) {
  Probe p;
  p.productions = {"Readtext_Options Holdlock_Through_Using Isolation_Clause",
                   "Readtext_Options Holdlock_Through_Using",
                   "Opt_Lock_Table_Wait NOWAIT_ID",
                   "Opt_Lock_Table_Wait WAIT_ID Opt_Lock_Table_Wait_Time",
                   "Fetch_How PRIOR_ID"};
  p.terminals = {"FETCH_KW"};
  parse("readtext t.c @p 0 1 noholdlock readpast using characters at isolation 1\n"
        "readtext t.c @p 0 1 holdlock using bytes\n"
        "lock table t in share mode nowait\n"
        "lock table t in share mode wait 3\n"
        "fetch\n prior c",
        p);
  // {holdlock, isolation, noholdlock, readpast, chars}.
  EXPECT_EQ(p.found[0], (W{0, 1, 1, 1, 1}));
  EXPECT_EQ(p.found[1], (W{1, 0, 0, 0, 0}));
  EXPECT_EQ(p.found[2], W{1});
  EXPECT_EQ(p.found[3], W{0});
  // The orientation holds the FETCH keyword's lexeme.
  EXPECT_EQ(p.found[4], W{p.lexemes[0]});
}

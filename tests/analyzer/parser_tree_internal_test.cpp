// The parser on real batches: the trees it builds (precedence, dangling
// else, options glued to their comma), when the start production is reduced
// and the evaluation pass runs, error recovery and its results, the stack
// limit, SET QUOTED_IDENTIFIER, batches that the scanner rejects, long
// statement lists and batches too deep for the pass.
#include <gtest/gtest.h>
#include <string.h>
#include <pthread.h>
#include <unistd.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "ag_context.h"
#include "deep_walk.h"
#include "gn_nodes.h"
#include "parser_glue.h"
#include "qen_analyzer.h"
#include "observed_batch.h"
#include "tree_reader.h"

namespace {

// ---- tree printing -------------------------------------------------------

using qen_test::children_of;
using qen_test::tree_child;

bool has_text(const tree_child& c) {
  static const char* const with_text[] = {"INTEGER_CONSTANT", "NAME", "QUOTED_IDENTIFIER", "EQUAL", "LOCAL_VARNAME"};
  for (auto* w : with_text)
    if (c.symbol == w) return true;
  return false;
}

std::string lexeme_text(st_context* ctx, int n) {
  int start = *int_spv_elem_addr(ctx->lexeme_start, (unsigned)n);
  int end = *int_spv_elem_addr(ctx->lexeme_start, (unsigned)n + 1);
  return std::string(ctx->input_start + start, ctx->input_start + end);
}

// Nodes with one child print as that child, nodes with several as a
// parenthesised list; tokens with a lexeme print its text, others the
// terminal's name; the error symbol prints "error".
std::string dump(st_context* ctx, const st_node* n) {
  std::vector<std::string> parts;
  for (const tree_child& c : children_of(n)) {
    std::string s;
    if (c.kind == GN_SLOT_NODE)
      s = dump(ctx, c.node);
    else if (c.kind == GN_SLOT_LEXEME && has_text(c))
      s = lexeme_text(ctx, c.lexeme);
    else
      s = c.symbol;
    if (!s.empty()) parts.push_back(s);
  }
  if (parts.empty()) return "";
  if (parts.size() == 1) return parts[0];
  std::string out = "(";
  for (size_t i = 0; i < parts.size(); ++i) out += (i ? " " : "") + parts[i];
  return out + ")";
}

// ---- running a batch -----------------------------------------------------

struct Outcome {
  int result = -1;
  std::vector<std::string> passes;  // the tree under each reduced start production
  std::vector<int> leaf_lexemes;
  int syntax_errors = 0;
  std::string report;
};

struct Observation {
  Outcome* out;
  std::string leaf;  // terminal whose first token's lexeme to note
  bool dump_trees;
};

void observe(void* user, st_node* goal) {
  auto* o = static_cast<Observation*>(user);
  const st_node* batch = children_of(goal)[0].node;
  o->out->passes.push_back(o->dump_trees ? dump(context_get(), batch) : std::string());
  if (!o->leaf.empty()) o->out->leaf_lexemes.push_back(qen_test::first_lexeme(batch, o->leaf));
}

using qen_test::count_of;

Outcome parse(const std::string& text, int quoted = 0, const std::string& leaf = "", bool dump_trees = true) {
  Outcome out;
  Observation obs{&out, leaf, dump_trees};
  qen_test::ObservedBatch run = qen_test::parse_observed("parser_tree", text, observe, &obs, quoted);
  out.result = run.result;
  out.report = run.report;
  out.syntax_errors = count_of(out.report, "<syntax-error>");
  return out;
}

std::string repeat(const std::string& s, int n) {
  std::string out;
  out.reserve(s.size() * n);
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

}  // namespace

TEST(ParserTree, ArithmeticPrecedenceAndAssociativity) {
  Outcome o = parse("select 1 + 2 * 3");
  ASSERT_EQ(o.result, 0);
  ASSERT_EQ(o.passes.size(), 1u);
  EXPECT_NE(o.passes[0].find("(1 PLUS (2 STAR 3))"), std::string::npos) << o.passes[0];

  o = parse("select 1 - 2 - 3");
  EXPECT_NE(o.passes[0].find("((1 MINUS 2) MINUS 3)"), std::string::npos) << o.passes[0];

  o = parse("select - 1 * 2");
  EXPECT_NE(o.passes[0].find("((MINUS 1) STAR 2)"), std::string::npos) << o.passes[0];

  o = parse("select + 1 % 2");
  EXPECT_NE(o.passes[0].find("((PLUS 1) MODULO 2)"), std::string::npos) << o.passes[0];

  o = parse("select 1 & 2 + 3");
  EXPECT_NE(o.passes[0].find("((1 BIT_AND 2) PLUS 3)"), std::string::npos) << o.passes[0];

  o = parse("select ~ 1 * 2 / 3");
  EXPECT_NE(o.passes[0].find("(((BIT_NOT 1) STAR 2) DIVIDE 3)"), std::string::npos) << o.passes[0];
}

TEST(ParserTree, PredicateLevels) {
  Outcome o = parse("select 1 where a = 1 or b = 2 and c = 3");
  ASSERT_EQ(o.result, 0);
  EXPECT_NE(o.passes[0].find("((a = 1) OR_KW ((b = 2) AND_KW (c = 3)))"), std::string::npos) << o.passes[0];

  o = parse("select 1 where not a = 1 and b = 2");
  EXPECT_NE(o.passes[0].find("((NOT_KW (a = 1)) AND_KW (b = 2))"), std::string::npos) << o.passes[0];

  o = parse("select 1 where a = 1 and b = 2 or c = 3 and d = 4");
  EXPECT_NE(o.passes[0].find("(((a = 1) AND_KW (b = 2)) OR_KW ((c = 3) AND_KW (d = 4)))"), std::string::npos)
      << o.passes[0];

  o = parse("select 1 where a = 1 or b = 2 or c = 3");
  EXPECT_NE(o.passes[0].find("(((a = 1) OR_KW (b = 2)) OR_KW (c = 3))"), std::string::npos) << o.passes[0];
}

TEST(ParserTree, ElseBelongsToTheNearestIf) {
  Outcome o = parse("if 1 = 1 if 1 = 2 print 'a' else print 'b'");
  ASSERT_EQ(o.result, 0);
  ASSERT_EQ(o.passes.size(), 1u);
  EXPECT_EQ(o.passes[0],
            "(IF_KW (1 = 1) (IF_KW (1 = 2) (PRINT_KW STRING_CONSTANT) ELSE_KW (PRINT_KW STRING_CONSTANT)))");
  EXPECT_EQ(o.syntax_errors, 0);
}

TEST(ParserTree, EmptyBatchIsAccepted) {
  Outcome o = parse("  /* nothing */ -- at all\n");
  EXPECT_EQ(o.result, 0);
  ASSERT_EQ(o.passes.size(), 1u);
  EXPECT_EQ(o.passes[0], "");
  EXPECT_EQ(o.syntax_errors, 0);
}

TEST(ParserTree, LeafKeepsTheLexemeNumberOfItsOwnToken) {
  // select (0), blank (1), comment (2), blank (3), the name (4).
  Outcome o = parse("select /* c */ a", 0, "NAME");
  ASSERT_EQ(o.result, 0);
  ASSERT_EQ(o.leaf_lexemes.size(), 1u);
  EXPECT_EQ(o.leaf_lexemes[0], 4);
  o = parse("select/**/a", 0, "NAME");
  ASSERT_EQ(o.leaf_lexemes.size(), 1u);
  EXPECT_EQ(o.leaf_lexemes[0], 2);
}

TEST(ParserRecovery, ErrorAfterACompleteSequenceEvaluatesFirstThenAborts) {
  Outcome o = parse("select 1 )");
  EXPECT_EQ(o.result, 1);
  ASSERT_EQ(o.passes.size(), 1u);
  EXPECT_EQ(o.passes[0], "(SELECT_KW 1)");
  EXPECT_EQ(o.syntax_errors, 1);
}

TEST(ParserRecovery, SecondPassOverTheStatementsAfterTheError) {
  Outcome o = parse("select 1 ) select 2");
  EXPECT_EQ(o.result, 0);
  ASSERT_EQ(o.passes.size(), 2u);
  EXPECT_EQ(o.passes[0], "(SELECT_KW 1)");
  EXPECT_EQ(o.passes[1], "(error (SELECT_KW 2))");
  EXPECT_EQ(o.syntax_errors, 1);
}

TEST(ParserRecovery, StrayParenthesisBeforeTheFirstStatement) {
  Outcome o = parse(") select 1");
  EXPECT_EQ(o.result, 0);
  ASSERT_EQ(o.passes.size(), 1u);
  EXPECT_EQ(o.passes[0], "(error (SELECT_KW 1))");
  EXPECT_EQ(o.syntax_errors, 1);
}

TEST(ParserRecovery, TwoErrorsWithinThreeTokensReportOnce) {
  Outcome o = parse(") ) select 1");
  EXPECT_EQ(o.result, 0);
  EXPECT_EQ(o.syntax_errors, 1);
  ASSERT_EQ(o.passes.size(), 1u);
  EXPECT_EQ(o.passes[0], "(error (SELECT_KW 1))");

  // Three tokens shifted after the first error: the second one is reported.
  o = parse(") select 1 , ) select 2");
  EXPECT_EQ(o.syntax_errors, 2);
}

TEST(ParserRecovery, EndOfInputWhileRecoveringAborts) {
  Outcome o = parse(")");
  EXPECT_EQ(o.result, 1);
  EXPECT_EQ(o.syntax_errors, 1);
  EXPECT_TRUE(o.passes.empty());

  o = parse("select 1 from");
  EXPECT_EQ(o.result, 1);
  EXPECT_EQ(o.syntax_errors, 1);
  EXPECT_TRUE(o.passes.empty());
}

TEST(ParserStack, GrowsPastItsFirstRoomAndStopsAtTenThousand) {
  Outcome o = parse("select " + repeat("(", 3000) + "1" + repeat(")", 3000));
  EXPECT_EQ(o.result, 0);
  EXPECT_EQ(o.syntax_errors, 0);
  EXPECT_EQ(o.passes.size(), 1u);

  o = parse("select " + repeat("(", 12000) + "1" + repeat(")", 12000), 0, "", false);
  EXPECT_EQ(o.result, 2);
  EXPECT_EQ(o.syntax_errors, 1);
  EXPECT_TRUE(o.passes.empty());
}

TEST(ParserScanner, QuotedIdentifierSettingHoldsFromTheNextToken) {
  Outcome o = parse("set quoted_identifier on select \"a\"", 0);
  ASSERT_EQ(o.result, 0);
  EXPECT_EQ(o.passes[0], "((SET_KW (QUOTED_IDENTIFIER_ID ON_KW)) (SELECT_KW \"a\"))");

  o = parse("set quoted_identifier off select \"a\"", 1);
  ASSERT_EQ(o.result, 0);
  EXPECT_EQ(o.passes[0], "((SET_KW (QUOTED_IDENTIFIER_ID OFF_KW)) (SELECT_KW STRING_CONSTANT))");

  // Without the statement the caller's setting holds.
  o = parse("select \"a\"", 1);
  EXPECT_EQ(o.passes[0], "(SELECT_KW \"a\")");
  o = parse("select \"a\"", 0);
  EXPECT_EQ(o.passes[0], "(SELECT_KW STRING_CONSTANT)");
}

TEST(ParserScanner, RejectedInputGoesThroughTheRecoveryProductions) {
  Outcome o = parse("\xA4 ;");
  EXPECT_EQ(o.result, 0);
  EXPECT_EQ(o.syntax_errors, 0);
  ASSERT_EQ(o.passes.size(), 1u);
  EXPECT_EQ(o.passes[0], "(ERROR_TK SEMICOLON)");

  o = parse("\xA4 kill");
  EXPECT_EQ(o.result, 0);
  EXPECT_EQ(o.syntax_errors, 0);
  EXPECT_EQ(o.report.find("<feature>"), std::string::npos);

  // Anything else after rejected input is a syntax error.
  o = parse("\xA4 select 1");
  EXPECT_EQ(o.syntax_errors, 1);
}

TEST(ParserGrammar, OptionsGluedToTheirCommaAreAccepted) {
  const char* accepted[] = {
      "create index i on t (a) with ignore_dup_key, fillfactor = 50",
      "create index i on t (a) with ignore_dup_key, max_rows_per_page = 5, reservepagegap = 2",
      "create index i on t (a) with sorted_data, fillfactor = 5, consumers = 2",
      "create index i on t (a) with fillfactor = 5, max_rows_per_page = 2 on seg",
      "create table t (a int) with exp_row_size = 1, max_rows_per_page = 2",
      "create table t (a int) with identity_gap = 3, reservepagegap = 4, max_rows_per_page = 1",
      "create table t (a int, primary key (a) with fillfactor = 1, max_rows_per_page = 2)",
  };
  for (const char* text : accepted) {
    Outcome o = parse(text);
    EXPECT_EQ(o.result, 0) << text;
    EXPECT_EQ(o.syntax_errors, 0) << text;
  }
  // Only the data options that exist may follow a data option.
  Outcome o = parse("create table t (a int) with exp_row_size = 1, fillfactor = 2");
  EXPECT_EQ(o.syntax_errors, 1);
}

TEST(ParserPass, WalksAfterADeepWalkRunAsBefore) {
  // The walk's stack stays with the thread; after a deep walk its far pages
  // are handed back, and both shallow and deep walks run on it again alike.
  const std::string shallow = "declare @x nvarchar(10)\nkill 1\nselect 1 where 1 in (select 2)\n";
  const std::string deep = repeat("select 1\n", 50000) + "kill 2\n";
  // The scratch file's path differs from run to run, and with it the file
  // name and the statement ids.
  auto findings = [](const std::string& report) {
    std::string out = report.substr(report.find("<objects>"));
    return std::regex_replace(out, std::regex("<statement-id>[^<]*</statement-id>"), "");
  };
  Outcome first = parse(shallow);
  Outcome deep_first = parse(deep, 0, "", false);
  Outcome again = parse(shallow);
  Outcome deep_again = parse(deep, 0, "", false);
  EXPECT_EQ(first.result, 0);
  EXPECT_EQ(again.result, 0);
  EXPECT_EQ(again.passes, first.passes);
  EXPECT_EQ(findings(again.report), findings(first.report));
  EXPECT_EQ(deep_first.result, 0);
  EXPECT_EQ(deep_again.result, 0);
  EXPECT_EQ(count_of(deep_first.report, "<feature>"), 1);
  EXPECT_EQ(findings(deep_again.report), findings(deep_first.report));
}

TEST(ParserPass, LongStatementListsDoNotExhaustTheStack) {
  // The caller's thread has a small stack: the walk, one level per
  // statement, must not run on it.
  struct Job {
    std::string text;
    Outcome out;
  } job{repeat("select 1\n", 200000), {}};
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstacksize(&attr, 1 << 20);
  pthread_t thread;
  ASSERT_EQ(pthread_create(
                &thread, &attr,
                [](void* p) -> void* {
                  auto* j = static_cast<Job*>(p);
                  j->out = parse(j->text, 0, "", false);
                  return nullptr;
                },
                &job),
            0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attr);
  EXPECT_EQ(job.out.result, 0);
  EXPECT_EQ(job.out.syntax_errors, 0);
  EXPECT_EQ(job.out.passes.size(), 1u);
  EXPECT_EQ(count_of(job.out.report, "<syntax-error>"), 0);
}

TEST(ParserPass, ABatchTooDeepForItsWalkIsRefusedAndTheNextRunsWhole) {
  // With its room cut to 64 KiB the pass stops inside the nested
  // subqueries, long before the statement at the end: the batch is refused
  // with its reason, and the next walk has its whole stack again.
  const std::string text =
      "select 1" + repeat(" where exists (select 1", 1000) + repeat(")", 1000) + "\nkill 2\n";
  deep_walk_set_room(64 << 10);
  testing::internal::CaptureStderr();
  Outcome cut = parse(text, 0, "", false);
  std::string said = testing::internal::GetCapturedStderr();
  deep_walk_set_room(0);
  Outcome whole = parse(text, 0, "", false);
  EXPECT_EQ(cut.result, 3);
  EXPECT_EQ(said,
            "analyzer: the batch starting at line 1 nests too deeply to be evaluated; "
            "the report holds only what was found before\n");
  EXPECT_EQ(count_of(cut.report, "<feature>"), 0);
  EXPECT_EQ(whole.result, 0);
  EXPECT_EQ(count_of(whole.report, "<feature>"), 1);
}

namespace {

// A second walk over a statement list, stopped as too deep in its middle
// element: what the tree looks like before and after it.
struct StoppedWalk {
  std::string before, after;
  bool stopped = false;
};

void walk_and_stop(void* user, st_node* goal) {
  auto* w = static_cast<StoppedWalk*>(user);
  const st_node* batch = children_of(goal)[0].node;
  st_node* list = const_cast<st_node*>(children_of(batch)[0].node);
  w->before = dump(context_get(), batch);
  ag_word b[2] = {0, 0};
  envn_current(b);
  // Room for the first statements, not for the nested one.
  struct ListWalk {
    st_node* list;
    ag_word state;
  } walk{list, b[1]};
  deep_walk_set_room(16 << 10);
  w->stopped = deep_walk(
      [](void* p) {
        auto* walk = static_cast<ListWalk*>(p);
        gn_walk_list(walk->list, walk->state);
      },
      &walk);
  deep_walk_set_room(0);
  w->after = dump(context_get(), batch);
}

}  // namespace

TEST(ParserPass, ListWalkStoppedMidwayLeavesTheTreeAsItWas) {
  // The same list walked whole, and stopped at its third statement, which
  // nests subqueries deeper than the room given.
  const std::string nested = "select 3" + repeat(" where exists (select 3", 300) + repeat(")", 300);
  for (bool deep : {false, true}) {
    StoppedWalk w;
    std::string text = "select 1\nselect 2\n" + (deep ? nested : "select 3") + "\nselect 4\n";
    qen_test::parse_observed("parser_tree_stopped", text, walk_and_stop, &w);
    EXPECT_EQ(w.stopped, deep);
    EXPECT_NE(w.before.find("(SELECT_KW 4)"), std::string::npos) << w.before.substr(0, 200);
    EXPECT_EQ(w.after, w.before);
  }
}

// What the evaluation of an expression or predicate leaves on the current
// statement record: aggregate and subquery depths raised and lowered in
// pairs, the aggregate mark, column references filed under the record's
// clause (inside an aggregate or not), subqueries kept in records of their
// own, and the outer-join slot and list set for one comparison and reset
// after it. The batch is analysed in process; the observer of the start
// production then evaluates the first expression or predicate once more
// under a statement record of the test's own and reads that record.
#include <gtest/gtest.h>
#include <string.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "ag_context.h"
#include "analyzer_internal.h"
#include "gn_nodes.h"
#include "grammar_support.h"
#include "parser_glue.h"
#include "qen_analyzer.h"
#include "observed_batch.h"
#include "tree_reader.h"

namespace {

st_node* find_node(st_node* n, const std::string& lhs) {
  return const_cast<st_node*>(qen_test::find_node_if(
      n, [&](const st_node* m) { return std::string(qen_test::production_text(m)).rfind(lhs + " ", 0) == 0; }));
}

std::string text_of(const st_String_const* s) {
  if (s == nullptr) return "(null)";
  st_String_const* flat = string_flatten_const(context_get()->pool, const_cast<st_String_const*>(s));
  return std::string(reinterpret_cast<const char*>(flat->left), (size_t)flat->length);
}

// What the record looked like after the second evaluation.
struct Seen {
  bool evaluated = false;
  bool same_top = false;   // the test's record is on top again
  stmt_rec record{};       // a copy of it
  int select_names = 0;    // column references under the SELECT mark
  std::string names;       // "table.column" of each, '*' after one inside an aggregate
  int outer_join_entries = 0;
};

struct Query {
  std::string lhs;
  int clause;  // clause mark set on the test's record before the evaluation
  Seen* seen;
};

void evaluate(st_node* n, envn* env) {
  gn_production_descriptors[n->production].procedure(n, reinterpret_cast<ag_word>(env));
}

void observe(void* user, st_node* goal) {
  auto* q = static_cast<Query*>(user);
  if (q->seen->evaluated) return;
  st_node* n = find_node(goal, q->lhs);
  if (n == nullptr) return;
  ag_word b[2] = {0, 0};
  envn_current(b);
  envn* env = reinterpret_cast<envn*>(b[1]);
  ag_word push[4] = {b[1], 0, 0, 0};
  stmt_record(push);
  stmt_rec* mine = env->stack;
  if (q->clause != 0) {
    ag_word set[4] = {b[1], q->clause, 0, 0};
    stmt_set_clause(set);
  }
  evaluate(n, env);
  Seen& s = *q->seen;
  s.evaluated = true;
  s.same_top = env->stack == mine;
  s.record = *mine;
  spv* list = mine->names[q->clause];
  s.select_names = list ? (int)spv_elem_count(list) : 0;
  for (int i = 0; i < s.select_names; ++i) {
    name_rec* r = *reinterpret_cast<name_rec**>(spv_elem_addr(list, (unsigned)i));
    if (!s.names.empty()) s.names += " ";
    s.names += text_of(r->part[2]) + "." + text_of(r->part[3]) + (r->link == 1 ? "*" : "");
  }
  s.outer_join_entries = mine->outer_join ? (int)spv_elem_count(mine->outer_join) : 0;
  ag_word pop[2] = {b[1], 0};
  stmt_pop(pop);
}

Seen analyse(const std::string& text, const std::string& lhs, int clause = 0) {
  Seen seen;
  Query q{lhs, clause, &seen};
  EXPECT_EQ(qen_test::parse_observed("expressions_statement", text, observe, &q).result, 0) << text;
  EXPECT_TRUE(seen.evaluated) << text;
  return seen;
}

}  // namespace

TEST(ExpressionsStatement, AggregatesMarkTheRecordAndTheirColumns) {
  Seen s = analyse("return sum(t.a) + t.b", "Gen_Expression");
  EXPECT_TRUE(s.same_top);
  EXPECT_EQ(s.record.nesting[NEST_AGGREGATE], 0);
  EXPECT_EQ(s.record.nesting[NEST_SUBQUERY], 0);
  EXPECT_EQ(s.record.aggregate_seen, 1);
  EXPECT_EQ(s.names, "t.a* t.b");

  s = analyse("return count(*) + max(a + min(b)) - c", "Gen_Expression");
  EXPECT_EQ(s.record.nesting[NEST_AGGREGATE], 0);
  EXPECT_EQ(s.record.aggregate_seen, 1);
  EXPECT_EQ(s.names, ".a* .b* .c");

  s = analyse("return a + abs(b)", "Gen_Expression");
  EXPECT_EQ(s.record.aggregate_seen, 0);
  EXPECT_EQ(s.names, ".a .b");
}

TEST(ExpressionsStatement, SubqueriesKeepTheirOwnRecords) {
  // The subquery's columns and aggregate go to its own record.
  Seen s = analyse("return (select max(a) from t) + b", "Gen_Expression");
  EXPECT_TRUE(s.same_top);
  EXPECT_EQ(s.record.nesting[NEST_SUBQUERY], 0);
  EXPECT_EQ(s.record.aggregate_seen, 0);
  EXPECT_EQ(s.names, ".b");

  // Inside an aggregate of the outer record: still its own record.
  s = analyse("return sum((select c from t))", "Gen_Expression");
  EXPECT_EQ(s.record.nesting[NEST_SUBQUERY], 0);
  EXPECT_EQ(s.record.nesting[NEST_AGGREGATE], 0);
  EXPECT_EQ(s.record.aggregate_seen, 1);
  EXPECT_EQ(s.names, "");

  s = analyse("if a in (select b from t) and exists (select c from u) return", "Predicate_Expr");
  EXPECT_TRUE(s.same_top);
  EXPECT_EQ(s.names, ".a");
}

TEST(ExpressionsStatement, OuterJoinSlotIsResetAfterEachComparison) {
  Seen s = analyse("if t1.a *= t2.b + t3.c return", "Predicate_Expr", CLAUSE_WHERE);
  EXPECT_TRUE(s.same_top);
  EXPECT_EQ(s.record.clause2, 3);
  EXPECT_EQ(s.record.clause2_bits, 1 << 2);
  EXPECT_NE(s.record.clause2_lexeme, 0);
  EXPECT_EQ(s.outer_join_entries, 0);
  EXPECT_EQ(s.names, "t1.a t2.b t3.c");

  s = analyse("if a =* b and c = d return", "Predicate_Expr", CLAUSE_WHERE);
  EXPECT_EQ(s.record.clause2, 3);
  EXPECT_EQ(s.record.clause2_bits, 4);
  EXPECT_EQ(s.outer_join_entries, 0);

  // A plain comparison leaves the slot alone.
  s = analyse("if a = b return", "Predicate_Expr", CLAUSE_WHERE);
  EXPECT_EQ(s.record.clause2, 3);
  EXPECT_EQ(s.record.clause2_bits, 0);
  EXPECT_EQ(s.record.clause2_lexeme, 0);
}

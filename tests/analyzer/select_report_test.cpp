// Whole reports of the test host for SELECT queries: the grouping tests
// with the lines they stand on, HAVING without GROUP BY, COMPUTE, @@error
// in a select list, per-row date functions in WHERE, derived tables and
// UNION branches in the statement records, and the optional parts that
// report nothing. Every expected byte is written out.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "host_report_fixture.h"

namespace {

#ifdef QEN_HOST_PATH

using qen_test::HostRun;

TEST(SelectReport, NonAnsiGroupByStandsOnTheLastClauseKeyword) {
  HostRun r("select_nonansi", {
                              "select a, count(*)",        // 1
                              "from t",                    // 2
                              "select a, count(*)",        // 3
                              "from t",                    // 4
                              "where b = 1",               // 5
                              "select a, b, count(*)",     // 6
                              "from t",                    // 7
                              "group by a, b",             // 8
                              "select a, b, count(*)",     // 9
                              "from t",                    // 10
                              "group by a",                // 11
                              "select t.a from t",         // 12
                              "group by a",                // 13
                              "select T.A from t",         // 14
                              "group by t.a",              // 15
                              "select a from t group by all a, b",  // 16
                              "select max(a) from t group by b",    // 17
                              "select a from t",                    // 18
                          });
  ASSERT_EQ(r.status, 0);
  // Without GROUP BY the finding takes the last clause keyword (FROM, then
  // WHERE); with one, the GROUP keyword. A qualified and an unqualified
  // reference differ; case does not matter. The first statement is counted
  // before it is evaluated, every later one after.
  std::string objects = HostRun::head(1, "batch", "[batch]") + r.statement("NON-ANSI GROUPBY", 1, 2) +
                        r.statement("NON-ANSI GROUPBY", 1, 5) + r.statement("NON-ANSI GROUPBY", 3, 11) +
                        r.statement("NON-ANSI GROUPBY", 4, 13) + HostRun::close();
  EXPECT_EQ(r.text,
            r.report(objects, {.statements = 9, .max_batch_size = 9, .min_batch_size = 9, .batch_statements = 9},
                     "select_nonansi"));
}

TEST(SelectReport, HavingWithoutGroupByAndComputeClauses) {
  HostRun r("select_having", {
                             "select a from t",             // 1
                             "having a > 1",                // 2
                             "select a from t group by a",  // 3
                             "having a > 1",                // 4
                             "select a from t compute",     // 5
                             "  sum(a)",                    // 6
                             "select a from t order by a compute sum(a) by a",  // 7
                             "select a, count(*)",          // 8
                             "from t",                      // 9
                             "having count(*) > 1",         // 10
                             "compute count(a)",            // 11
                         });
  ASSERT_EQ(r.status, 0);
  // COMPUTE is reported once with or without BY; in one block the grouping
  // test comes before HAVING, and COMPUTE last.
  std::string objects = HostRun::head(1, "batch", "[batch]") + r.statement("HAVING WITHOUT GROUPBY", 1, 2) +
                        r.statement("COMPUTE CLAUSE", 2, 5) + r.statement("COMPUTE CLAUSE", 3, 7) +
                        r.statement("NON-ANSI GROUPBY", 4, 9) + r.statement("HAVING WITHOUT GROUPBY", 4, 10) +
                        r.statement("COMPUTE CLAUSE", 4, 11) + HostRun::close();
  EXPECT_EQ(r.text,
            r.report(objects, {.statements = 5, .max_batch_size = 5, .min_batch_size = 5, .batch_statements = 5},
                     "select_having"));
}

TEST(SelectReport, OrderOfFindingsInOneQueryBlock) {
  HostRun r("select_order", {
                            "select @@rowcount, a,",        // 1
                            "  @@error, count(*)",          // 2
                            "from syslogs",                 // 3
                            "where @@rowcount > getdate()",  // 4
                            "having @@rowcount > 1",        // 5
                            "order by @@rowcount",          // 6
                            "compute sum(@@rowcount)",      // 7
                            "  by @@rowcount",              // 8
                            "select getdate(), @@error",    // 9
                            "from t where a > 0",           // 10
                        });
  ASSERT_EQ(r.status, 0);
  // @@error in the select list comes first, on the line of the statement's
  // SELECT keyword; then the list, FROM, the WHERE predicate, the per-row
  // date function, the grouping test, HAVING, ORDER BY, COMPUTE and its
  // lists. A date function in the select list is no per-row finding.
  std::string objects =
      HostRun::head(1, "batch", "[batch]") + r.global("@@error", 1, 1) + r.global("@@rowcount", 1, 1) +
      r.feature("CATALOG[syslogs]", "unknown", "syslogs", 1, 3) + r.global("@@rowcount", 1, 4) +
      r.statement("PER-ROW DATE FUNCTION", 1, 4) + r.statement("NON-ANSI GROUPBY", 1, 4) +
      r.statement("HAVING WITHOUT GROUPBY", 1, 5) + r.global("@@rowcount", 1, 5) + r.global("@@rowcount", 1, 6) +
      r.statement("COMPUTE CLAUSE", 1, 7) + r.global("@@rowcount", 1, 7) + r.global("@@rowcount", 1, 8) +
      r.global("@@error", 1, 9) + HostRun::close();
  EXPECT_EQ(r.text,
            r.report(objects, {.statements = 2, .max_batch_size = 2, .min_batch_size = 2, .batch_statements = 2},
                     "select_order"));
}

TEST(SelectReport, ErrorVariableInAViewComesAfterTheList) {
  HostRun r("select_view", {
                           "create view v1",           // 1
                           "as",                       // 2
                           "select @@error,",          // 3
                           "  @@rowcount, count(*)",   // 4
                           "from t",                   // 5
                           "having",                   // 6
                           "  count(*) > 1",           // 7
                       });
  ASSERT_EQ(r.status, 0);
  // The view's SELECT opens its own record: its list's findings first, then
  // @@error on the SELECT line, then HAVING without GROUP BY. No plain
  // column stands beside the aggregates, so the grouping test is quiet.
  std::string objects = HostRun::head(1, "view", "v1") + r.global("@@rowcount", 1, 4) + r.global("@@error", 1, 3) +
                        r.statement("HAVING WITHOUT GROUPBY", 1, 6) + HostRun::close();
  EXPECT_EQ(
      r.text,
      r.report(objects, {.statements = 1, .views = 1, .max_batch_size = 1, .min_batch_size = 1, .batch_statements = 1},
               "select_view"));
}

TEST(SelectReport, DerivedTablesAndUnionBranchesInTheStatementRecords) {
  HostRun r("select_nested", {
                             "select x",                         // 1
                             "from (select a, count(*)",         // 2
                             "      from t) d",                  // 3
                             "select a, b from t",               // 4
                             "union select c, count(*) from u",  // 5
                             "where c > 0",                      // 6
                             "select a, b from t group by a, b",  // 7
                             "union all select c, d from u group by c",  // 8
                         });
  ASSERT_EQ(r.status, 0);
  // The derived table is judged in its own record (line of its FROM); the
  // outer query, with no aggregate of its own, is not. A UNION branch works
  // in the record of the statement: its items join the clause its left
  // neighbour left (FROM), its aggregate marks the record, and the test
  // after the branch finds a of the first list ungrouped (line of WHERE).
  // The second UNION's branch items are not under the SELECT mark either,
  // and a and b are grouped: nothing.
  std::string objects = HostRun::head(1, "batch", "[batch]") + r.statement("NON-ANSI GROUPBY", 1, 3) +
                        r.statement("NON-ANSI GROUPBY", 1, 6) + HostRun::close();
  EXPECT_EQ(r.text,
            r.report(objects, {.statements = 3, .max_batch_size = 3, .min_batch_size = 3, .batch_statements = 3},
                     "select_nested"));
}

TEST(SelectReport, TableHintsStandOnTheLineOfFrom) {
  HostRun r("select_hints", {
                            "select a from",                    // 1
                            "  t holdlock,",                    // 2
                            "  u (index i1 prefetch 16 lru)",   // 3
                            "select a",                         // 4
                            "from t join",                      // 5
                            "  u (index i2) noholdlock",        // 6
                            "  on t.a = u.a",                   // 7
                            "select a from (select b",          // 8
                            "  from v readpast) d",             // 9
                        });
  ASSERT_EQ(r.status, 0);
  // Both sides of a join and the FROM list of a derived table take the
  // line of their FROM keyword; a lock hint comes before a table hint.
  std::string lock = "STATEMENT[FROM WITH LOCK HINT]";
  std::string table = "STATEMENT[FROM WITH TABLE HINT]";
  std::string objects = HostRun::head(1, "batch", "[batch]") + r.feature(lock, "statement", lock, 1, 1) +
                        r.feature(table, "statement", table, 1, 1) + r.feature(lock, "statement", lock, 1, 5) +
                        r.feature(table, "statement", table, 1, 5) + r.feature(lock, "statement", lock, 2, 9) +
                        HostRun::close();
  EXPECT_EQ(r.text,
            r.report(objects, {.statements = 3, .max_batch_size = 3, .min_batch_size = 3, .batch_statements = 3},
                     "select_hints"));
}

TEST(SelectReport, OptionalPartsReportNothing) {
  HostRun r("select_quiet", {
                            "select top 5 a into #t from t inner join u on t.a = u.a at isolation read committed plan \"p\"",
                            "select distinct a from t for read only",
                            "select a from t where a in (1, 2) for update of a",
                            "select all a from t left outer join u on t.a = u.a for update",
                            "select @v = a, @w = max(b) from t group by a",
                            "select * from t",
                            "select t.*, a from t group by a order by a desc, b asc",
                            "select 1",
                        });
  ASSERT_EQ(r.status, 0);
  // Isolation, plan, INTO, TOP, DISTINCT, join types, FOR READ ONLY / FOR
  // UPDATE and empty clauses: no finding, no object element.
  EXPECT_EQ(r.text, r.report("", {.statements = 8, .max_batch_size = 8, .min_batch_size = 8, .batch_statements = 8},
                             "select_quiet"));
}

TEST(SelectReport, EachBatchStartsWithAnEmptyStack) {
  HostRun r("select_batches", {
                              "select a, count(*) from t",  // 1
                              "go",                         // 2
                              "select a",                   // 3
                              "from t",                     // 4
                              "having a > 0",               // 5
                          });
  ASSERT_EQ(r.status, 0);
  // The second batch is an object of its own, starting on line 3.
  std::string objects = HostRun::head(1, "batch", "[batch]") + r.statement("NON-ANSI GROUPBY", 1, 1) + HostRun::close() +
                        HostRun::head(3, "batch", "[batch]") + r.statement("HAVING WITHOUT GROUPBY", 2, 5, 3) +
                        HostRun::close();
  EXPECT_EQ(r.text,
            r.report(objects, {.statements = 2, .max_batch_size = 1, .min_batch_size = 1, .batch_statements = 2},
                     "select_batches"));
}

#else

TEST(SelectReport, NeedsTheHost) { GTEST_SKIP() << "qen_host not built"; }

#endif

}  // namespace

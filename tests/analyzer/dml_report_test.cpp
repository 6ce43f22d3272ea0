// Whole reports of the test host for the data manipulation statements:
// positioned and planned DELETE and UPDATE, table hints in their FROM
// lists, READTEXT and WRITETEXT options, TRUNCATE TABLE with a partition,
// LOCK TABLE NOWAIT, and INSERT with its nested SELECT working in the
// INSERT's statement record. Every expected byte is written out.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "host_report_fixture.h"

namespace {

#ifdef QEN_HOST_PATH

using qen_test::HostRun;

TEST(DmlReport, DeleteCurrentPlanAndHints) {
  HostRun r("dml_delete", {
                              "delete t",                                 // 1
                              "  where current of c1",                    // 2
                              "delete from syslogs where current of c1",  // 3
                              "delete from t",                            // 4
                              "  from t (index i1), u holdlock",          // 5
                              "  where t.a = @@rowcount",                 // 6
                              "  plan \"(t_scan t)\"",                    // 7
                              "delete top 5 t plan \"p\"",                // 8
                              "delete t where a = 1",                     // 9
                              "delete top 2 from t",                      // 10
                              "  where a = 1 plan \"p\"",                 // 11
                              "delete t from syslogs",                    // 12
                          });
  ASSERT_EQ(r.status, 0);
  // CURRENT OF after the table name's finding; PLAN after the table, the
  // FROM list and the WHERE part; the FROM list's hints on the line of the
  // DELETE keyword.
  std::string lock = "STATEMENT[FROM WITH LOCK HINT]";
  std::string table = "STATEMENT[FROM WITH TABLE HINT]";
  std::string objects =
      HostRun::head(1, "batch", "[batch]") + r.statement("DELETE CURRENT", 1, 1) +
      r.feature("CATALOG[syslogs]", "unknown", "syslogs", 1, 3) + r.statement("DELETE CURRENT", 1, 3) +
      r.feature(table, "statement", table, 2, 4) + r.feature(lock, "statement", lock, 2, 4) +
      r.global("@@rowcount", 2, 6) + r.statement("DELETE PLAN", 2, 4) + r.statement("DELETE PLAN", 3, 8) +
      r.statement("DELETE PLAN", 5, 10) + r.feature("CATALOG[syslogs]", "unknown", "syslogs", 6, 12) +
      HostRun::close();
  EXPECT_EQ(r.text,
            r.report(objects, {.statements = 7, .max_batch_size = 7, .min_batch_size = 7, .batch_statements = 7},
                     "dml_delete"));
}

TEST(DmlReport, UpdateCurrentPlanAndHints) {
  HostRun r("dml_update", {
                              "update t set a = 1",                 // 1
                              "  where current of c1",              // 2
                              "update t",                           // 3
                              "  set a = @@rowcount",               // 4
                              "  from t holdlock",                  // 5
                              "  where a = @@rowcount plan \"x\"",  // 6
                              "update top 3 t set a = 1",           // 7
                              "update t set a = 1, b = @@rowcount",  // 8
                              "  where current of c1",              // 9
                              "update t set a = 1 from",            // 10
                              "  u (index i2)",                     // 11
                              "update top 1 t set a = 1 plan \"p\"",  // 12
                          });
  ASSERT_EQ(r.status, 0);
  // CURRENT OF before the SET list's findings; PLAN after the table, the
  // SET list, the FROM list and the WHERE predicate, on the UPDATE line;
  // hints on the line of the UPDATE's own FROM keyword.
  std::string lock = "STATEMENT[FROM WITH LOCK HINT]";
  std::string table = "STATEMENT[FROM WITH TABLE HINT]";
  std::string objects = HostRun::head(1, "batch", "[batch]") + r.statement("UPDATE CURRENT", 1, 1) +
                        r.global("@@rowcount", 1, 4) + r.feature(lock, "statement", lock, 1, 5) +
                        r.global("@@rowcount", 1, 6) + r.statement("UPDATE PLAN", 1, 3) +
                        r.statement("UPDATE CURRENT", 3, 8) + r.global("@@rowcount", 3, 8) +
                        r.feature(table, "statement", table, 4, 10) + r.statement("UPDATE PLAN", 5, 12) +
                        HostRun::close();
  EXPECT_EQ(r.text,
            r.report(objects, {.statements = 6, .max_batch_size = 6, .min_batch_size = 6, .batch_statements = 6},
                     "dml_update"));
}

TEST(DmlReport, ReadtextAndWritetextOptions) {
  HostRun r("dml_text", {
                            "readtext t.c @p 0 10 holdlock readpast using chars",  // 1
                            "  at isolation read uncommitted",                     // 2
                            "readtext t.c @p 0 10 noholdlock using bytes",         // 3
                            "readtext t.c @p 0 10 using characters",               // 4
                            "readtext t.c @p 0 10",                                // 5
                            "writetext t.c @p readpast",                           // 6
                            "  with log \"x\"",                                    // 7
                            "writetext t.c @p with log 0x00",                      // 8
                            "writetext t.c @p readpast @v",                        // 9
                            "writetext t.c @p \"x\"",                              // 10
                        });
  ASSERT_EQ(r.status, 0);
  // All on the line of the READTEXT or WRITETEXT keyword; AT ISOLATION
  // comes last, USING BYTES reports nothing, READPAST before WITH LOG.
  std::string objects = HostRun::head(1, "batch", "[batch]") + r.statement("READTEXT HOLDLOCK", 1, 1) +
                        r.statement("READTEXT READPAST", 1, 1) + r.statement("READTEXT USING CHARS", 1, 1) +
                        r.statement("READTEXT AT ISOLATION", 1, 1) + r.statement("READTEXT NOHOLDLOCK", 1, 3) +
                        r.statement("READTEXT USING CHARS", 2, 4) + r.statement("WRITETEXT READPAST", 4, 6) +
                        r.statement("WRITETEXT WITH LOG", 4, 6) + r.statement("WRITETEXT WITH LOG", 5, 8) +
                        r.statement("WRITETEXT READPAST", 6, 9) + HostRun::close();
  EXPECT_EQ(r.text,
            r.report(objects, {.statements = 8, .max_batch_size = 8, .min_batch_size = 8, .batch_statements = 8},
                     "dml_text"));
}

TEST(DmlReport, TruncateAndLockTable) {
  HostRun r("dml_truncate", {
                                "truncate table t",                     // 1
                                "  partition \"p1\"",                   // 2
                                "truncate table syslogs",               // 3
                                "lock table t in share mode",           // 4
                                "  nowait",                             // 5
                                "lock table t in exclusive mode wait 5",  // 6
                                "lock table t in share mode wait",      // 7
                                "lock table t in share mode",           // 8
                            });
  ASSERT_EQ(r.status, 0);
  // The partition on the TRUNCATE line; NOWAIT on the LOCK TABLE line;
  // WAIT with or without a time reports nothing.
  std::string objects = HostRun::head(1, "batch", "[batch]") + r.statement("TRUNCATE TABLE PARTITION", 1, 1) +
                        r.feature("CATALOG[syslogs]", "unknown", "syslogs", 1, 3) +
                        r.statement("LOCK TABLE WAIT", 2, 4) + HostRun::close();
  EXPECT_EQ(r.text,
            r.report(objects, {.statements = 6, .max_batch_size = 6, .min_batch_size = 6, .batch_statements = 6},
                     "dml_truncate"));
}

TEST(DmlReport, InsertAndItsSelect) {
  HostRun r("dml_insert", {
                              "insert t values (default)",                         // 1
                              "insert into t (a, b) values ()",                    // 2
                              "insert t values (@@rowcount, default)",             // 3
                              "insert t (a) select a from t group by b",           // 4
                              "insert t select a, count(*) from t",                // 5
                              "insert t select a from t",                          // 6
                              "  having a > 1",                                    // 7
                              "  compute sum(a)",                                  // 8
                              "insert t (select @@error, count(*) from u",         // 9
                              "  union select b from v)",                          // 10
                              "insert t select b from v where b > getdate()",      // 11
                              "insert syslogs select a from t group by a",         // 12
                          });
  ASSERT_EQ(r.status, 0);
  // The SELECT of an INSERT works in the INSERT's record, which has no
  // clause while the first select list is walked: no grouping finding.
  // HAVING, COMPUTE and per-row date functions are reported as in a
  // SELECT statement; @@error in the list stands on the INSERT line.
  std::string objects = HostRun::head(1, "batch", "[batch]") + r.global("@@rowcount", 2, 3) +
                        r.statement("HAVING WITHOUT GROUPBY", 5, 7) + r.statement("COMPUTE CLAUSE", 5, 8) +
                        r.global("@@error", 6, 9) + r.statement("PER-ROW DATE FUNCTION", 7, 11) +
                        r.feature("CATALOG[syslogs]", "unknown", "syslogs", 8, 12) + HostRun::close();
  EXPECT_EQ(r.text,
            r.report(objects, {.statements = 9, .max_batch_size = 9, .min_batch_size = 9, .batch_statements = 9},
                     "dml_insert"));
}

#else

TEST(DmlReport, NeedsTheHost) { GTEST_SKIP() << "qen_host not built"; }

#endif

}  // namespace

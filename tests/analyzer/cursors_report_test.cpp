// Whole reports of the test host for cursor statements and query plans:
// the declaration's findings in the batch, a procedure and a trigger, its
// SELECT in a record of its own, every fetch orientation, the statements
// that report nothing and CREATE PLAN. Every expected byte is written out.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "host_report_fixture.h"

namespace {

#ifdef QEN_HOST_PATH

using qen_test::HostRun;

TEST(CursorsReport, DeclarationsInABatchAProcedureAndATrigger) {
  HostRun r("cursors_declare", {
                                   "declare c1",                                   // 1
                                   "  insensitive scroll cursor for",              // 2
                                   "  select a, count(*) from t",                  // 3
                                   "declare c2 cursor for select a from t",        // 4
                                   "go",                                           // 5
                                   "create procedure p1 as",                       // 6
                                   "declare c3 cursor for select a from t",        // 7
                                   "declare c4 semi_sensitive no scroll cursor",   // 8
                                   "  for select a from t having a > 0",           // 9
                                   "go",                                           // 10
                                   "create trigger tr1 on t for insert as",        // 11
                                   "declare c5 scroll cursor for select a from t",  // 12
                               });
  ASSERT_EQ(r.status, 0);
  // Batch: IN BATCH, INSENSITIVE, SCROLLABLE on the DECLARE line, then the
  // cursor SELECT's own finding (line of its FROM). Procedure: no IN BATCH;
  // SEMI_SENSITIVE counts as insensitive, NO SCROLL is not scrollable; the
  // SELECT is tested in its own record. Trigger: IN BATCH again. Statements:
  // 2 in the first batch, CREATE PROCEDURE and 2 in its body, CREATE
  // TRIGGER and 1 in its body (counted before it is evaluated).
  std::string objects = HostRun::head(1, "batch", "[batch]") + r.statement("DECLARE CURSOR IN BATCH", 1, 1) +
                        r.statement("DECLARE CURSOR INSENSITIVE", 1, 1) +
                        r.statement("DECLARE CURSOR SCROLLABLE", 1, 1) + r.statement("NON-ANSI GROUPBY", 1, 3) +
                        r.statement("DECLARE CURSOR IN BATCH", 1, 4) + HostRun::close() +
                        HostRun::head(6, "procedure", "p1") + r.statement("DECLARE CURSOR INSENSITIVE", 4, 8, 6) +
                        r.statement("HAVING WITHOUT GROUPBY", 4, 9, 6) + HostRun::close() +
                        HostRun::head(11, "trigger", "tr1") + r.statement("DECLARE CURSOR IN BATCH", 7, 12, 11) +
                        r.statement("DECLARE CURSOR SCROLLABLE", 7, 12, 11) +
                        r.statement("CREATE TRIGGER", 7, 11, 11) + HostRun::close();
  EXPECT_EQ(r.text, r.report(objects,
                             {.statements = 7,
                              .procedures = 1,
                              .triggers = 1,
                              .trigger_statements = 1,
                              .max_procedure_size = 2,
                              .min_procedure_size = 2,
                              .procedure_statements = 2,
                              .max_batch_size = 2,
                              .min_batch_size = 1,
                              .batch_statements = 4},
                             "cursors_declare"));
}

TEST(CursorsReport, FetchOrientationsStandOnTheFetchLine) {
  HostRun r("cursors_fetch", {
                                 "create procedure p2 @v int as",  // 1
                                 "fetch",                          // 2
                                 "  absolute @v from c1",          // 3
                                 "fetch absolute -2 c1",           // 4
                                 "fetch absolute 3. c1",           // 5
                                 "fetch next from c1",             // 6
                                 "fetch c1 into @a, @b",           // 7
                                 "fetch prior c1",                 // 8
                                 "fetch first c1 into @a",         // 9
                                 "fetch last c1",                  // 10
                                 "fetch relative +1 c1",           // 11
                                 "fetch",                          // 12
                                 "  relative @v",                  // 13
                                 "  c1",                           // 14
                             });
  ASSERT_EQ(r.status, 0);
  // NEXT and no orientation report nothing; every other orientation once,
  // with a variable, a signed integer or a numeric offset alike.
  std::string objects = HostRun::head(1, "procedure", "p2") + r.statement("FETCH ABSOLUTE", 2, 2) +
                        r.statement("FETCH ABSOLUTE", 2, 4) + r.statement("FETCH ABSOLUTE", 3, 5) +
                        r.statement("FETCH PRIOR", 6, 8) + r.statement("FETCH FIRST", 7, 9) +
                        r.statement("FETCH LAST", 8, 10) + r.statement("FETCH RELATIVE", 9, 11) +
                        r.statement("FETCH RELATIVE", 10, 12) + HostRun::close();
  EXPECT_EQ(r.text, r.report(objects,
                             {.statements = 11,
                              .procedures = 1,
                              .max_procedure_size = 10,
                              .min_procedure_size = 10,
                              .procedure_statements = 10,
                              .max_batch_size = 1,
                              .min_batch_size = 1,
                              .batch_statements = 1},
                             "cursors_fetch"));
}

TEST(CursorsReport, OpenCloseDeallocateAndPlans) {
  HostRun r("cursors_plans", {
                                 "open c1",                                  // 1
                                 "close c1",                                 // 2
                                 "deallocate cursor c1",                     // 3
                                 "deallocate c1",                            // 4
                                 "create",                                   // 5
                                 "  plan \"select a from t\" \"(i_scan t)\"",  // 6
                                 "create plan @q @p into g1 and set @id",    // 7
                                 "create plan \"select 1\" @p into g2",      // 8
                                 "select a from t plan \"(t_scan t)\"",      // 9
                             });
  ASSERT_EQ(r.status, 0);
  // CREATE PLAN once, on its CREATE line, whatever its parts; the plan of
  // a SELECT reports nothing.
  std::string objects = HostRun::head(1, "batch", "[batch]") + r.statement("CREATE PLAN", 4, 5) +
                        r.statement("CREATE PLAN", 5, 7) + r.statement("CREATE PLAN", 6, 8) + HostRun::close();
  EXPECT_EQ(r.text,
            r.report(objects, {.statements = 8, .max_batch_size = 8, .min_batch_size = 8, .batch_statements = 8},
                     "cursors_plans"));
}

#else

TEST(CursorsReport, NeedsTheHost) { GTEST_SKIP() << "qen_host not built"; }

#endif

}  // namespace

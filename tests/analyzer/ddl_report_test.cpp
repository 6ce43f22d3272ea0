// Reports of the test host for the DDL dispatcher: the DROP statements
// the target lacks, dropped table names, and the counting of created
// tables, views and indexes. Every expected byte is written out.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "host_report_fixture.h"

namespace {

#ifdef QEN_HOST_PATH

using qen_test::Analysis;
using qen_test::Finding;
using qen_test::stmt;

TEST(DdlReport, DropStatements) {
  const char* source =
      "drop default d1, d2\n"                                       // 1
      "drop function dbo.f1\n"                                      // 2
      "drop rule r1, dbo.r2\n"                                      // 3
      "drop trigger tr1\n"                                          // 4
      "drop view v1, dbo.v2\n"                                      // 5
      "drop index t.ix, ix2\n"                                      // 6
      "drop proc p1\n"                                              // 7
      "drop database db1, db2\n"                                    // 8
      "drop role r\n"                                               // 9
      "drop table a, master..sysattributes, dbo.sysattributes\n";  // 10
  Analysis a("ddl_drops", source);
  ASSERT_EQ(a.status, 0);
  // The first statement is counted before it is evaluated, every later
  // one after; one feature per DROP however many names it lists; DROP
  // VIEW, INDEX, PROC, DATABASE and ROLE give nothing; every dropped table
  // name is examined in order.
  const std::string drop_table = "drop table a, master..sysattributes, dbo.sysattributes";
  std::string objects =
      a.object(1, "batch", "[batch]",
               {stmt("DROP DEFAULT", 1, 1, 1, "drop default d1, d2"), stmt("DROP FUNCTION", 1, 2, 2, "drop function dbo.f1"),
                stmt("DROP RULE", 2, 3, 3, "drop rule r1, dbo.r2"), stmt("DROP TRIGGER", 3, 4, 4, "drop trigger tr1"),
                {"CATALOG[sysattributes]", 9, 10, 10, drop_table, "sysattributes", "unknown"},
                {"CATALOG[sysattributes]", 9, 10, 10, drop_table, "sysattributes", "unknown"}});
  EXPECT_EQ(a.text, a.report("ddl_drops", objects,
                             {.statements = 10, .max_batch_size = 10, .min_batch_size = 10, .batch_statements = 10}));
}

TEST(DdlReport, CreatedObjectsAreCountedOnlyDirectlyInABatch) {
  const char* source =
      "select 1\n"                                               // 1
      "create table t (a int) lock allpages\n"                   // 2
      "create view v as select a from t\n"                       // 3
      "create index ix on t (a) on seg\n"                        // 4
      "go\n"                                                     // 5
      "create procedure p as\n"                                  // 6
      "  drop rule r3\n"                                         // 7
      "  create table t2 (a int) with exp_row_size = 1\n"       // 8
      "  create view v2 as select a from t\n"                    // 9
      "  create index ix2 on t (a)\n";                           // 10
  Analysis a("ddl_counts", source);
  ASSERT_EQ(a.status, 0);
  // The table, view and index are not first in their sequence: each is
  // counted after its evaluation, on the batch that is current again. The
  // index counts one more statement of its own, on its object.
  std::string objects =
      a.object(2, "table", "t", {stmt("CREATE TABLE LOCK", 1, 2, 1, "create table t (a int) lock allpages")}) +
      a.object(4, "index", "t.ix", {stmt("CREATE INDEX ON", 4, 4, 1, "create index ix on t (a) on seg")}) +
      a.object(6, "procedure", "p",
               {stmt("DROP RULE", 7, 7, 2, "  drop rule r3"),
                stmt("CREATE TABLE WITH", 7, 8, 3, "  create table t2 (a int) with exp_row_size = 1")});
  // StatementCount 11: 5 in the first batch, 1 for the procedure, 5 in its
  // body (the index twice). TableCount, ViewCount, IndexCount 1 each.
  EXPECT_EQ(a.text, a.report("ddl_counts", objects,
                             {.statements = 11,
                              .tables = 1,
                              .views = 1,
                              .procedures = 1,
                              .indexes = 1,
                              .max_procedure_size = 5,
                              .min_procedure_size = 5,
                              .procedure_statements = 5,
                              .max_batch_size = 1,
                              .min_batch_size = 1,
                              .batch_statements = 5}));
}

TEST(DdlReport, DropsInsideAProcedureAndATrigger) {
  const char* source =
      "create trigger tg on t for delete as\n"  // 1
      "  drop default d9\n"                     // 2
      "  drop function f9\n";                   // 3
  Analysis a("ddl_trigger", source);
  ASSERT_EQ(a.status, 0);
  // The trigger's findings: the drops (statements 2 and 3, the body's first
  // counted before), then CREATE TRIGGER after the body.
  std::string objects =
      a.object(1, "trigger", "tg",
               {stmt("DROP DEFAULT", 2, 2, 2, "  drop default d9"), stmt("DROP FUNCTION", 2, 3, 3, "  drop function f9"),
                stmt("CREATE TRIGGER", 3, 1, 1, "create trigger tg on t for delete as")});
  EXPECT_EQ(a.text, a.report("ddl_trigger", objects,
                             {.statements = 3,
                              .triggers = 1,
                              .trigger_statements = 2,
                              .max_batch_size = 1,
                              .min_batch_size = 1,
                              .batch_statements = 1}));
}

TEST(DdlReport, RuleObjectHoldsThePredicateFindings) {
  const char* source =
      "create rule dbo.r1\n"                          // 1
      "as @v in (select x from sysattributes)\n";     // 2
  Analysis a("ddl_rule", source);
  ASSERT_EQ(a.status, 0);
  // The rule object opens at CREATE and stays open to the end of the batch.
  std::string objects =
      a.object(1, "rule", "dbo.r1",
               {{"CATALOG[sysattributes]", 1, 2, 2, "as @v in (select x from sysattributes)", "sysattributes", "unknown"},
                stmt("CREATE RULE", 1, 1, 1, "create rule dbo.r1")});
  EXPECT_EQ(a.text,
            a.report("ddl_rule", objects,
                     {.statements = 1, .rules = 1, .max_batch_size = 1, .min_batch_size = 1, .batch_statements = 1}));
}

#endif

}  // namespace

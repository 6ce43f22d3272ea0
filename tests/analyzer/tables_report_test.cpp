// Reports of the test host for CREATE TABLE: the table object, the
// statement's own features, column and table constraints, column defaults
// and the lines they are reported at. Every expected byte is written out.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "host_report_fixture.h"

namespace {

#ifdef QEN_HOST_PATH

using qen_test::Analysis;
using qen_test::Finding;
using qen_test::stmt;

TEST(TablesReport, TableObjectHoldsColumnTableAndStatementFeatures) {
  const char* source =
      "create table dbo.t1 (\n"                                                      // 1
      "  a int default getdate() check (a > abs(b)),\n"                              // 2
      "  b int references t2 match full,\n"                                          // 3
      "  c nvarchar(10) null,\n"                                                     // 4
      "  constraint pk primary key clustered (a desc, b) with fillfactor = 10 on seg1\n"  // 5
      ") lock datarows with exp_row_size = 5 on seg2\n";                             // 6
  Analysis a("tables_object", source);
  ASSERT_EQ(a.status, 0);
  const std::string create = "create table dbo.t1 (";
  const std::string col_a = "  a int default getdate() check (a > abs(b)),";
  Finding nvarchar{"DATATYPE[NVARCHAR]", 1, 1, 1, create, "NVARCHAR", "datatype"};
  Finding trigger_default{"STATEMENT[TRIGGER BASED DEFAULT]", 1, 2, 2, col_a, "TRIGGER BASE DEFAULT"};
  // Table constraints are named after the statement and carry its line.
  Finding clustered{"STATEMENT[CLUSTERED CONSTRAINT]", 1, 1, 1, create, "CREATE TABLE"};
  Finding ordered{"STATEMENT[ASC/DESC CONSTRAINT]", 1, 1, 1, create, "CREATE TABLE"};
  Finding segment{"STATEMENT[CONSTRAINT ON SEGMENT]", 1, 1, 1, create, "CREATE TABLE"};
  Finding with{"STATEMENT[CONSTRAINT WITH]", 1, 1, 1, create, "CREATE TABLE"};
  std::string objects =
      a.object(1, "table", "dbo.t1",
               {trigger_default, stmt("DEFAULT WITH DATE FUNC", 1, 2, 2, col_a),
                stmt("CHECK CONSTRAINT RESTRICTION", 1, 2, 2, col_a),
                stmt("CONSTRAINT MATCH FULL", 1, 3, 3, "  b int references t2 match full,"), nvarchar, clustered,
                ordered, segment, with, stmt("CREATE TABLE LOCK", 1, 1, 1, create),
                stmt("CREATE TABLE WITH", 1, 1, 1, create), stmt("CREATE TABLE ON", 1, 1, 1, create)});
  EXPECT_EQ(a.text,
            a.report("tables_object", objects,
                     {.statements = 1, .tables = 1, .max_batch_size = 1, .min_batch_size = 1, .batch_statements = 1}));
}

TEST(TablesReport, InsideAProcedureNoTableObjectAndNoCount) {
  const char* source =
      "create procedure p as\n"                                                  // 1
      "  create table t (a nvarchar(10) default 1 + 2, b int check (b > 0))\n";  // 2
  Analysis a("tables_in_proc", source);
  ASSERT_EQ(a.status, 0);
  const std::string line2 = "  create table t (a nvarchar(10) default 1 + 2, b int check (b > 0))";
  // The body's statement is counted (2) before it is evaluated; its
  // findings go to the procedure; CHECK (b > 0) gives nothing.
  std::string objects = a.object(1, "procedure", "p",
                                 {{"DATATYPE[NVARCHAR]", 2, 2, 2, line2, "NVARCHAR", "datatype"},
                                  {"STATEMENT[TRIGGER BASED DEFAULT]", 2, 2, 2, line2, "TRIGGER BASE DEFAULT"}});
  // TableCount stays 0.
  EXPECT_EQ(a.text, a.report("tables_in_proc", objects,
                             {.statements = 2,
                              .procedures = 1,
                              .max_procedure_size = 1,
                              .min_procedure_size = 1,
                              .procedure_statements = 1,
                              .max_batch_size = 1,
                              .min_batch_size = 1,
                              .batch_statements = 1}));
}

TEST(TablesReport, LockSchemesDataOptionsSegmentsAndPartitions) {
  const char* source =
      "create table t1 (a int) lock allpages\n"                                              // 1
      "go\n"                                                                                 // 2
      "create table t2 (a int) lock datapages partition by roundrobin 3\n"                   // 3
      "go\n"                                                                                 // 4
      "create table t3 (a int) partition by hash (a) 4\n"                                    // 5
      "go\n"                                                                                 // 6
      "create table t4 (a int, b int) with max_rows_per_page = 4, reservepagegap = 2 on seg\n"  // 7
      "go\n"                                                                                 // 8
      "create table t5 (a int) with exp_row_size = 3, max_rows_per_page = 4\n"              // 9
      "checkpoint\n";                                                                        // 10
  Analysis a("tables_options", source);
  ASSERT_EQ(a.status, 0);
  const std::string t4 = "create table t4 (a int, b int) with max_rows_per_page = 4, reservepagegap = 2 on seg";
  const std::string t5 = "create table t5 (a int) with exp_row_size = 3, max_rows_per_page = 4";
  // Every lock scheme is the one feature; a partition clause alone gives
  // none (t3 leaves no object); WITH comes before ON. A second data option
  // glued to its comma parses like the first. After the table the batch
  // is current again: CHECKPOINT lands on a batch object.
  std::string objects =
      a.object(1, "table", "t1", {stmt("CREATE TABLE LOCK", 1, 1, 1, "create table t1 (a int) lock allpages")}) +
      a.object(3, "table", "t2",
               {stmt("CREATE TABLE LOCK", 2, 3, 1, "create table t2 (a int) lock datapages partition by roundrobin 3")}) +
      a.object(7, "table", "t4", {stmt("CREATE TABLE WITH", 4, 7, 1, t4), stmt("CREATE TABLE ON", 4, 7, 1, t4)}) +
      a.object(9, "table", "t5", {stmt("CREATE TABLE WITH", 5, 9, 1, t5)}) +
      a.object(9, "batch", "[batch]", {stmt("CHECKPOINT", 5, 10, 2, "checkpoint")});
  EXPECT_EQ(a.text,
            a.report("tables_options", objects,
                     {.statements = 6, .tables = 5, .max_batch_size = 1, .min_batch_size = 1, .batch_statements = 6}));
}

TEST(TablesReport, DefaultsChecksAndConstraintVariants) {
  const char* source =
      "select abs(1)\n"                                              // 1
      "go\n"                                                         // 2
      "create table t6 (\n"                                          // 3
      "  a int default 1,\n"                                         // 4
      "  b int default -1,\n"                                        // 5
      "  c int default @v,\n"                                        // 6
      "  d int default upper('x'),\n"                                // 7
      "  e datetime default getdate(),\n"                            // 8
      "  f int default a + 1,\n"                                     // 9
      "  g int primary key clustered desc with fillfactor = 5 on seg,\n"  // 10
      "  h int not null unique nonclustered,\n"                      // 11
      "  i numeric(5) identity,\n"                                   // 12
      "  foreign key (a) references t7 (x) match full,\n"           // 13
      "  check (a > 0),\n"                                           // 14
      "  check (b > abs(c)),\n"                                      // 15
      "  j int references t8 (y),\n"                                 // 16
      "  unique (a, b),\n"                                           // 17
      "  primary key nonclustered (a asc) on seg\n"                  // 18
      ")\n";                                                         // 19
  Analysis a("tables_constraints", source);
  ASSERT_EQ(a.status, 0);
  const std::string create = "create table t6 (";
  // Constants, a signed constant and a local variable give nothing; a call
  // or an operator gives the trigger-based default, a per-row date function
  // the date default too. The column-level index constraint gives nothing.
  // The call before in the file does not leak into CHECK (a > 0).
  std::string objects = a.object(
      3, "table", "t6",
      {{"STATEMENT[TRIGGER BASED DEFAULT]", 2, 7, 5, "  d int default upper('x'),", "TRIGGER BASE DEFAULT"},
       {"STATEMENT[TRIGGER BASED DEFAULT]", 2, 8, 6, "  e datetime default getdate(),", "TRIGGER BASE DEFAULT"},
       stmt("DEFAULT WITH DATE FUNC", 2, 8, 6, "  e datetime default getdate(),"),
       {"STATEMENT[TRIGGER BASED DEFAULT]", 2, 9, 7, "  f int default a + 1,", "TRIGGER BASE DEFAULT"},
       {"STATEMENT[CONSTRAINT MATCH FULL]", 2, 3, 1, create, "CREATE TABLE"},
       stmt("CHECK CONSTRAINT RESTRICTION", 2, 15, 13, "  check (b > abs(c)),"),
       // ASC on a column of a table-level key counts as ASC/DESC.
       {"STATEMENT[ASC/DESC CONSTRAINT]", 2, 3, 1, create, "CREATE TABLE"},
       {"STATEMENT[CONSTRAINT ON SEGMENT]", 2, 3, 1, create, "CREATE TABLE"}});
  EXPECT_EQ(a.text,
            a.report("tables_constraints", objects,
                     {.statements = 2, .tables = 1, .max_batch_size = 1, .min_batch_size = 1, .batch_statements = 2}));
}

TEST(TablesReport, ConstraintWithOptionsAndNoSegment) {
  const char* source =
      "create table t (a int, b int,\n"                                             // 1
      "  constraint k unique clustered (a, b) with max_rows_per_page = 2,\n"        // 2
      "    fillfactor = 3)\n";                                                      // 3
  Analysis a("tables_with_options", source);
  ASSERT_EQ(a.status, 0);
  const std::string create = "create table t (a int, b int,";
  std::string objects = a.object(1, "table", "t",
                                 {{"STATEMENT[CLUSTERED CONSTRAINT]", 1, 1, 1, create, "CREATE TABLE"},
                                  {"STATEMENT[CONSTRAINT WITH]", 1, 1, 1, create, "CREATE TABLE"}});
  EXPECT_EQ(a.text,
            a.report("tables_with_options", objects,
                     {.statements = 1, .tables = 1, .max_batch_size = 1, .min_batch_size = 1, .batch_statements = 1}));
}

TEST(TablesReport, TableNameAsWrittenAndNothingToReport) {
  const char* source =
      "create table db1..t9 (a int null)\n"  // 1
      "go\n"                                 // 2
      "create table [x y].t10 (a int)\n";    // 3
  Analysis a("tables_plain", source);
  ASSERT_EQ(a.status, 0);
  // Tables without findings leave no object; both are counted.
  EXPECT_EQ(a.text,
            a.report("tables_plain", "",
                     {.statements = 2, .tables = 2, .max_batch_size = 1, .min_batch_size = 1, .batch_statements = 2}));
}

TEST(TablesReport, ColumnReferencesReportAtTheirOwnKeyword) {
  const char* source =
      "create table t (\n"               // 1
      "  a int not null\n"               // 2
      "    references t2 match full,\n"  // 3
      "  b int\n"                        // 4
      "    check (b < @@spid)\n"         // 5
      ")\n";                             // 6
  Analysis a("tables_references", source);
  ASSERT_EQ(a.status, 0);
  // MATCH FULL on the line of REFERENCES; a global variable in a CHECK
  // predicate restricts it, on the line of CHECK.
  std::string objects = a.object(1, "table", "t",
                                 {stmt("CONSTRAINT MATCH FULL", 1, 3, 3, "    references t2 match full,"),
                                  stmt("CHECK CONSTRAINT RESTRICTION", 1, 5, 5, "    check (b < @@spid)")});
  EXPECT_EQ(a.text,
            a.report("tables_references", objects,
                     {.statements = 1, .tables = 1, .max_batch_size = 1, .min_batch_size = 1, .batch_statements = 1}));
}

#endif

}  // namespace

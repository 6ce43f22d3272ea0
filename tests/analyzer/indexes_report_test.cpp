// Reports of the test host for CREATE INDEX, CREATE VIEW and CREATE
// DATABASE: the index and view objects, the option features, the counts,
// and the clauses that give nothing. Every expected byte is written out.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "host_report_fixture.h"

namespace {

#ifdef QEN_HOST_PATH

using qen_test::Analysis;
using qen_test::Finding;
using qen_test::stmt;

TEST(IndexesReport, IndexObjectsOptionsAndCounts) {
  const char* source =
      "create index ix on t (a)\n"                                                                   // 1
      "go\n"                                                                                         // 2
      "create procedure p as\n"                                                                      // 3
      "  create index ix2 on t (a) with allow_dup_row\n"                                            // 4
      "go\n"                                                                                         // 5
      "create unique clustered index ix3 on dbo.t (a desc, b asc) with ignore_dup_key, fillfactor = 50 on seg\n"  // 6
      "go\n"                                                                                         // 7
      "create nonclustered index ix4 on db.dbo.t (a) with sorted_data, ignore_dup_row, statistics using 5 values, "
      "consumers = 2\n"                                                                              // 8
      "go\n"                                                                                         // 9
      "create index ix5 on t (a) with max_rows_per_page = 2, reservepagegap = 3, fillfactor = 4\n";  // 10
  Analysis a("indexes_options", source);
  ASSERT_EQ(a.status, 0);
  const std::string ix3 =
      "create unique clustered index ix3 on dbo.t (a desc, b asc) with ignore_dup_key, fillfactor = 50 on seg";
  const std::string ix4 =
      "create nonclustered index ix4 on db.dbo.t (a) with sorted_data, ignore_dup_row, statistics using 5 values, "
      "consumers = 2";
  const std::string ix5 = "create index ix5 on t (a) with max_rows_per_page = 2, reservepagegap = 3, fillfactor = 4";
  // ix: an index object without findings leaves no trace, but the statement
  // is counted twice (1, 2). Inside the procedure no object opens: the body's
  // statement (4) and the index's own count (5) go to the procedure.
  // Storage comes before behavior whatever the order of the options; UNIQUE,
  // CLUSTERED and ASC/DESC give nothing; ON comes last.
  std::string objects =
      a.object(3, "procedure", "p",
               {{"STATEMENT[CREATE BEHAVIOR OPTION]", 5, 4, 2, "  create index ix2 on t (a) with allow_dup_row",
                 "CREATE INDEX WITH BEHAVIOR OPTION"}}) +
      a.object(6, "index", "dbo.t.ix3",
               {{"STATEMENT[CREATE STORAGE OPTION]", 7, 6, 1, ix3, "CREATE INDEX WITH STORAGE OPTION"},
                {"STATEMENT[CREATE BEHAVIOR OPTION]", 7, 6, 1, ix3, "CREATE INDEX WITH BEHAVIOR OPTION"},
                stmt("CREATE INDEX ON", 7, 6, 1, ix3)}) +
      a.object(8, "index", "db.dbo.t.ix4",
               {{"STATEMENT[CREATE STORAGE OPTION]", 9, 8, 1, ix4, "CREATE INDEX WITH STORAGE OPTION"},
                {"STATEMENT[CREATE BEHAVIOR OPTION]", 9, 8, 1, ix4, "CREATE INDEX WITH BEHAVIOR OPTION"}}) +
      // Options glued to their commas are storage options.
      a.object(10, "index", "t.ix5",
               {{"STATEMENT[CREATE STORAGE OPTION]", 11, 10, 1, ix5, "CREATE INDEX WITH STORAGE OPTION"}});
  // IndexCount 4: the one inside the procedure is not counted. The
  // procedure holds 2 statements; the index objects fold nothing.
  EXPECT_EQ(a.text, a.report("indexes_options", objects,
                             {.statements = 11,
                              .procedures = 1,
                              .indexes = 4,
                              .max_procedure_size = 2,
                              .min_procedure_size = 2,
                              .procedure_statements = 2,
                              .max_batch_size = 1,
                              .min_batch_size = 1,
                              .batch_statements = 5}));
}

TEST(IndexesReport, TableNameFindingsBelongToTheEnclosingObject) {
  const char* source = "create index ix6 on sysattributes (a) with fillfactor = 1\n";  // 1
  Analysis a("indexes_catalog", source);
  ASSERT_EQ(a.status, 0);
  const std::string line = "create index ix6 on sysattributes (a) with fillfactor = 1";
  std::string objects =
      a.object(1, "batch", "[batch]", {{"CATALOG[sysattributes]", 1, 1, 1, line, "sysattributes", "unknown"}}) +
      a.object(1, "index", "sysattributes.ix6",
               {{"STATEMENT[CREATE STORAGE OPTION]", 2, 1, 1, line, "CREATE INDEX WITH STORAGE OPTION"}});
  EXPECT_EQ(a.text,
            a.report("indexes_catalog", objects,
                     {.statements = 2, .indexes = 1, .max_batch_size = 1, .min_batch_size = 1, .batch_statements = 1}));
}

TEST(IndexesReport, ViewObjectHoldsTheFeaturesOfItsQuery) {
  const char* source =
      "create view dbo.v (c1, c2) as select a from sysattributes with check option\n"  // 1
      "go\n"                                                                          // 2
      "create procedure p2 as\n"                                                      // 3
      "create view v2 as select a from t, sysattributes\n"                            // 4
      "go\n"                                                                          // 5
      "create view v3 as select a from t\n";                                          // 6
  Analysis a("indexes_views", source);
  ASSERT_EQ(a.status, 0);
  // The column list and WITH CHECK OPTION give nothing; inside a procedure
  // the query's findings go to the procedure and the view is not counted.
  std::string objects =
      a.object(1, "view", "dbo.v",
               {{"CATALOG[sysattributes]", 1, 1, 1,
                 "create view dbo.v (c1, c2) as select a from sysattributes with check option", "sysattributes",
                 "unknown"}}) +
      a.object(3, "procedure", "p2",
               {{"CATALOG[sysattributes]", 3, 4, 2, "create view v2 as select a from t, sysattributes",
                 "sysattributes", "unknown"}});
  EXPECT_EQ(a.text, a.report("indexes_views", objects,
                             {.statements = 4,
                              .views = 2,
                              .procedures = 1,
                              .max_procedure_size = 1,
                              .min_procedure_size = 1,
                              .procedure_statements = 1,
                              .max_batch_size = 1,
                              .min_batch_size = 1,
                              .batch_statements = 3}));
}

TEST(IndexesReport, CreateDatabaseVariants) {
  const char* source =
      "create temp database d on dev1 = 10, default log on dev2 = '5M' with override for load\n"  // 1
      "go\n"                                                                                       // 2
      "create database d2\n"                                                                       // 3
      "go\n"                                                                                       // 4
      "create database d3 on default with default_location = 'x' for proxy_update\n"              // 5
      "go\n"                                                                                       // 6
      "create temporary database d4 log on dev3\n";                                               // 7
  Analysis a("indexes_databases", source);
  ASSERT_EQ(a.status, 0);
  const std::string d = "create temp database d on dev1 = 10, default log on dev2 = '5M' with override for load";
  const std::string d3 = "create database d3 on default with default_location = 'x' for proxy_update";
  const std::string d4 = "create temporary database d4 log on dev3";
  // No object opens: the findings stay on the batch; a bare CREATE
  // DATABASE gives nothing.
  std::string objects =
      a.object(1, "batch", "[batch]",
               {stmt("CREATE TEMPORARY DATABASE", 1, 1, 1, d), stmt("CREATE DATABASE ON", 1, 1, 1, d),
                stmt("CREATE DATABASE LOG ON", 1, 1, 1, d), stmt("CREATE DATABASE WITH", 1, 1, 1, d),
                stmt("CREATE DATABASE FOR", 1, 1, 1, d)}) +
      a.object(5, "batch", "[batch]",
               {stmt("CREATE DATABASE ON", 3, 5, 1, d3), stmt("CREATE DATABASE WITH", 3, 5, 1, d3),
                stmt("CREATE DATABASE FOR", 3, 5, 1, d3)}) +
      a.object(7, "batch", "[batch]",
               {stmt("CREATE TEMPORARY DATABASE", 4, 7, 1, d4), stmt("CREATE DATABASE LOG ON", 4, 7, 1, d4)});
  EXPECT_EQ(
      a.text,
      a.report("indexes_databases", objects,
               {.statements = 4, .databases = 4, .max_batch_size = 1, .min_batch_size = 1, .batch_statements = 4}));
}

TEST(IndexesReport, PartitionClausesGiveNothing) {
  const char* source =
      "create table tp (a int) partition by range (a) (p1 values <= (10) on s1, p2 values <= (max))\n"  // 1
      "go\n"                                                                                           // 2
      "create table tq (a int) partition by list (a) (p1 values (1, -2.5), values ('x', null) on s2)\n"  // 3
      "go\n"                                                                                           // 4
      "create table tr (a int, b int) partition by hash (a, b) (p1 on s1, p2)\n"                      // 5
      "go\n"                                                                                           // 6
      "create table ts (a int) partition by roundrobin 3 on (s1, s2)\n";                               // 7
  Analysis a("indexes_partitions", source);
  ASSERT_EQ(a.status, 0);
  EXPECT_EQ(a.text,
            a.report("indexes_partitions", "",
                     {.statements = 4, .tables = 4, .max_batch_size = 1, .min_batch_size = 1, .batch_statements = 4}));
}

TEST(IndexesReport, SyntaxErrorInTheViewColumnListIsAbsorbed) {
  const char* source = "create view v (c1 c2) as select a from sysattributes\n";  // 1
  Analysis a("indexes_view_error", source);
  ASSERT_EQ(a.status, 1);  // accepted, but the report holds a syntax error
  const std::string line = "create view v (c1 c2) as select a from sysattributes";
  // The error is written while parsing, on the batch; the view is still
  // evaluated and holds the findings of its query.
  std::string objects =
      "      <object>\n        <line-in-file>1</line-in-file>\n        <type>batch</type>\n        <name>[batch]</name>\n"
      "        <flags>\n          <syntax-error>\n            <line-in-file>1</line-in-file>\n"
      "            <line-in-object>0</line-in-object>\n"
      "            <text><![CDATA[Incorrect syntax near 'c2']]></text>\n            <context><![CDATA[" +
      line + "]]></context>\n          </syntax-error>\n        </flags>\n      </object>\n" +
      a.object(1, "view", "v", {{"CATALOG[sysattributes]", 1, 1, 1, line, "sysattributes", "unknown"}});
  EXPECT_EQ(a.text,
            a.report("indexes_view_error", objects,
                     {.statements = 1, .views = 1, .max_batch_size = 1, .min_batch_size = 1, .batch_statements = 1}));
}

TEST(IndexesReport, OptionsGluedToTheirCommaAfterABehaviorOption) {
  const char* source =
      "CREATE INDEX ix ON t (a) WITH IGNORE_DUP_KEY, FILLFACTOR = 50\n"          // 1
      "go\n"                                                                    // 2
      "create index ix7 on t (a) with allow_dup_row, max_rows_per_page = 3\n";  // 3
  Analysis a("indexes_glued", source);
  ASSERT_EQ(a.status, 0);
  const std::string l1 = "CREATE INDEX ix ON t (a) WITH IGNORE_DUP_KEY, FILLFACTOR = 50";
  const std::string l3 = "create index ix7 on t (a) with allow_dup_row, max_rows_per_page = 3";
  // The scanner hands ", FILLFACTOR" and ", MAX_ROWS_PER_PAGE" over as one
  // token each: they still parse, and count as storage options.
  std::string objects =
      a.object(1, "index", "t.ix",
               {{"STATEMENT[CREATE STORAGE OPTION]", 2, 1, 1, l1, "CREATE INDEX WITH STORAGE OPTION"},
                {"STATEMENT[CREATE BEHAVIOR OPTION]", 2, 1, 1, l1, "CREATE INDEX WITH BEHAVIOR OPTION"}}) +
      a.object(3, "index", "t.ix7",
               {{"STATEMENT[CREATE STORAGE OPTION]", 4, 3, 1, l3, "CREATE INDEX WITH STORAGE OPTION"},
                {"STATEMENT[CREATE BEHAVIOR OPTION]", 4, 3, 1, l3, "CREATE INDEX WITH BEHAVIOR OPTION"}});
  EXPECT_EQ(a.text,
            a.report("indexes_glued", objects,
                     {.statements = 4, .indexes = 2, .max_batch_size = 1, .min_batch_size = 1, .batch_statements = 2}));
}

#endif

}  // namespace

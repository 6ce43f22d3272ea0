// Reports of the test host for the DDL dispatcher: the DROP statements
// the target lacks, dropped table names, and the counting of created
// tables, views and indexes. Every expected byte is written out.
#include <gtest/gtest.h>
#include <stdint.h>
#include <stdio.h>
#include <sys/wait.h>

#include <initializer_list>
#include <string>

#include "analyzer_test_util.h"

namespace {

#ifdef QEN_HOST_PATH

// First half of every statement id: h * 31 + byte over the input path, the
// bytes taken as signed, in 32-bit wrap-around.
int32_t path_hash(const std::string& path) {
  uint32_t h = 0;
  for (char c : path) h = h * 31u + (uint32_t)(int32_t)(signed char)c;
  return (int32_t)h;
}

// One finding as the report writes it: the tag, the statement count at the
// time, the line in the file and in the object, the source line, and the
// type and name of the finding's own object.
struct Finding {
  std::string tag;
  int statements;
  int line;
  int line_in_object;
  std::string context;
  std::string name;
  std::string type = "statement";
};

// A statement feature whose display name is the bracket text of its tag.
Finding stmt(const std::string& what, int statements, int line, int line_in_object, const std::string& context) {
  return {"STATEMENT[" + what + "]", statements, line, line_in_object, context, what};
}

struct Analysis {
  std::string path;
  std::string text;
  int status = -1;

  Analysis(const std::string& name, const std::string& source, const std::string& options = "") {
    path = qen_test::tmp_path(name + ".sql");
    qen_test::write_file(path, source);
    std::string out = qen_test::tmp_path(name + ".xml");
    remove(out.c_str());
    std::string command = std::string(QEN_HOST_PATH) + " " + options + " -i " + name + " -o " + out + " " +
                          path + " 2>/dev/null";
    int s = system(command.c_str());
    status = WIFEXITED(s) ? WEXITSTATUS(s) : -1;
    text = qen_test::read_file(out);
  }

  std::string feature(const Finding& f) const {
    return "          <feature>\n            <id>" + f.tag + "</id>\n            <statement-id>" +
           std::to_string(path_hash(path)) + "-" + std::to_string(f.statements) +
           "</statement-id>\n            <line-in-file>" + std::to_string(f.line) +
           "</line-in-file>\n            <line-in-object>" + std::to_string(f.line_in_object) +
           "</line-in-object>\n            <context><![CDATA[" + f.context +
           "]]></context>\n            <object>\n              <type>" + f.type + "</type>\n              <name>" +
           f.name + "</name>\n            </object>\n          </feature>\n";
  }

  // An object element with its findings.
  std::string object(int line, const std::string& type, const std::string& name,
                     std::initializer_list<Finding> findings) const {
    std::string s = "      <object>\n        <line-in-file>" + std::to_string(line) + "</line-in-file>\n        <type>" +
                    type + "</type>\n        <name>" + name + "</name>\n        <flags>\n";
    for (const Finding& f : findings) s += feature(f);
    return s + "        </flags>\n      </object>\n";
  }

  // The whole report: file head, the objects, the seventeen counters.
  std::string report(const std::string& id, const std::string& objects, std::initializer_list<int> counters) const {
    return "<source>\n" + qen_test::file_head(path, id) + objects + qen_test::report_tail(counters);
  }
};

#endif
#ifdef QEN_HOST_PATH

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
  EXPECT_EQ(a.text, a.report("ddl_drops", objects, {10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 10, 10, 10}));
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
  EXPECT_EQ(a.text, a.report("ddl_counts", objects, {11, 1, 1, 1, 0, 0, 0, 0, 0, 0, 1, 5, 5, 5, 1, 1, 5}));
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
  EXPECT_EQ(a.text, a.report("ddl_trigger", objects, {3, 0, 0, 0, 1, 2, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1}));
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
  EXPECT_EQ(a.text, a.report("ddl_rule", objects, {1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1}));
}

#endif

}  // namespace

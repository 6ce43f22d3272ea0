// Whole reports of the test host for table references: the lock and
// table hints of a table name, aliases, derived tables, joins, the targets
// of UPDATE and the order of findings among them.
#include <gtest/gtest.h>

#include <string>

#include "host_report_fixture.h"

using qen_test::report_tail;

namespace {

#ifdef QEN_HOST_PATH

struct Report : qen_test::BatchFindings {
  // Hint findings name themselves by their tag.
  std::string hint(const std::string& what, int statements, int line, int first, const std::string& context) const {
    std::string tag = "STATEMENT[FROM WITH " + what + " HINT]";
    return feature(tag, "statement", tag, statements, line, first, context);
  }
  std::string catalog(const std::string& name, int statements, int line, int first,
                      const std::string& context) const {
    return feature("CATALOG[" + name + "]", "unknown", name, statements, line, first, context);
  }
};

int analyse(const std::string& name, const std::string& args, const std::string& source, Report* report) {
  return qen_test::run_host_on("table_refs_" + name, name, source, args, &report->path, &report->text);
}

// A hint finding carries the line of the FROM keyword; each statement with
// hints here starts its own batch, on the line of its FROM.
TEST(TableRefsReport, HintsAliasesDerivedTablesAndJoins) {
  const std::string s1 = "select * from t holdlock";
  const std::string s2 = "select * from t (index i1)";
  const std::string s3 = "select * from sysprocedures p (index i1 prefetch 16) holdlock, syslogs l";
  const std::string s4 = "select * from t x, (select a from syslogs) d";
  const std::string s5 = "select * from t1 noholdlock join t2 (index i2) on t1.a = t2.a";
  const std::string s6 = "select * from t (index sysprocedures)";
  const std::string s7 = "select * from t readpast shared";
  const std::string source = s1 + "\ngo\n" + s2 + "\ngo\n" + s3 + "\ngo\n" + s4 + "\ngo\n" + s5 + "\ngo\n" + s6 +
                             "\ngo\n" + s7 + "\n";
  Report r;
  ASSERT_EQ(analyse("hints", "", source, &r), 0);
  std::string expected = r.start("hints");
  expected += Report::head(1) + r.hint("LOCK", 1, 1, 1, s1) + Report::close();
  expected += Report::head(3) + r.hint("TABLE", 2, 3, 3, s2) + Report::close();
  // The table name's own finding first, then the lock hint before the
  // table hint; the next table of the list after them.
  expected += Report::head(5) + r.catalog("sysprocedures", 3, 5, 5, s3) + r.hint("LOCK", 3, 5, 5, s3) +
              r.hint("TABLE", 3, 5, 5, s3) + r.catalog("syslogs", 3, 5, 5, s3) + Report::close();
  // An alias alone reports nothing; the derived table's query reports
  // what its own tables report.
  expected += Report::head(7) + r.catalog("syslogs", 4, 7, 7, s4) + Report::close();
  // Both sides of a join, left first.
  expected += Report::head(9) + r.hint("LOCK", 5, 9, 9, s5) + r.hint("TABLE", 5, 9, 9, s5) + Report::close();
  // The table named by an index hint is looked up too, before the hint.
  expected += Report::head(11) + r.catalog("sysprocedures", 6, 11, 11, s6) + r.hint("TABLE", 6, 11, 11, s6) +
              Report::close();
  // Several locking hints make one finding.
  expected += Report::head(13) + r.hint("LOCK", 7, 13, 13, s7) + Report::close();
  expected += report_tail({.statements = 7, .max_batch_size = 1, .min_batch_size = 1, .batch_statements = 7});
  EXPECT_EQ(r.text, expected);
}

TEST(TableRefsReport, UpdateTargetsAndFromList) {
  const std::string s1 = "update t set a = (select b from syslogs), c = 2 from t (index i1) holdlock";
  const std::string s2 = "update sysprocedures set a = 1";
  Report r;
  ASSERT_EQ(analyse("update", "", s1 + "\ngo\n" + s2 + "\n", &r), 0);
  // The SET targets are evaluated before the FROM list.
  EXPECT_EQ(r.text,
            r.start("update") + Report::head(1) + r.catalog("syslogs", 1, 1, 1, s1) + r.hint("LOCK", 1, 1, 1, s1) +
                r.hint("TABLE", 1, 1, 1, s1) + Report::close() + Report::head(3) +
                r.catalog("sysprocedures", 2, 3, 3, s2) + Report::close() +
                report_tail({.statements = 2, .max_batch_size = 1, .min_batch_size = 1, .batch_statements = 2}));
}

TEST(TableRefsReport, TablesWithoutHintsReportOnTheirOwnLines) {
  const char* source =
      "select *\n"                // 1
      "from t x,\n"               // 2
      "  (select a from\n"        // 3
      "     syslogs) d,\n"        // 4
      "  sysprocedures\n";        // 5
  Report r;
  ASSERT_EQ(analyse("lines", "", source, &r), 0);
  EXPECT_EQ(r.text,
            r.start("lines") + Report::head(1) + r.catalog("syslogs", 1, 4, 1, "     syslogs) d,") +
                r.catalog("sysprocedures", 1, 5, 1, "  sysprocedures") + Report::close() +
                report_tail({.statements = 1, .max_batch_size = 1, .min_batch_size = 1, .batch_statements = 1}));
}

#endif

}  // namespace

// Whole reports of the test host for the datatypes that the target lacks:
// national and Unicode character types, unsigned integers, user-defined
// types and NUMERIC or DECIMAL over 31 digits, in declarations, CAST,
// CONVERT and column definitions.
#include <gtest/gtest.h>
#include <string.h>

#include <string>

#include "host_report_fixture.h"

using qen_test::report_tail;

namespace {

#ifdef QEN_HOST_PATH

struct Report : qen_test::BatchFindings {
  std::string datatype(const std::string& name, int statements, int line, int first,
                       const std::string& context) const {
    return feature("DATATYPE[" + name + "]", "datatype", name, statements, line, first, context);
  }
};

int analyse(const std::string& name, const std::string& args, const std::string& source, Report* report) {
  return qen_test::run_host_on("datatypes_" + name, name, source, args, &report->path, &report->text);
}

// The findings of a datatype carry the line of the statement that holds
// it; each statement here starts its own batch, so that line is the
// batch's first line. Every finding names the datatype object kind.
TEST(DatatypesReport, NationalCharacterTypes) {
  const std::string decl =
      "declare @a nchar(10), @b national char varying (5), @c nchar varying (3), @d nvarchar(4), "
      "@e national character(2), @f national char(1), @g national character varying(9)";
  Report r;
  ASSERT_EQ(analyse("national", "", decl + "\n", &r), 0);
  EXPECT_EQ(r.text,
            r.start("national") + Report::head(1) + r.datatype("NCHAR", 1, 1, 1, decl) +
                r.datatype("NVARCHAR", 1, 1, 1, decl) + r.datatype("NVARCHAR", 1, 1, 1, decl) +
                r.datatype("NVARCHAR", 1, 1, 1, decl) + r.datatype("NCHAR", 1, 1, 1, decl) +
                r.datatype("NCHAR", 1, 1, 1, decl) + r.datatype("NVARCHAR", 1, 1, 1, decl) + Report::close() +
                report_tail({.statements = 1, .max_batch_size = 1, .min_batch_size = 1, .batch_statements = 1}));
}

TEST(DatatypesReport, UnicodeAndUnsignedTypesInTwoBatches) {
  const std::string uni =
      "declare @a unichar(1), @b unicode char(2), @c unicode character (3), @d unicode char varying (4), "
      "@e unicode character varying(5), @f univarchar(6), @g unitext";
  const std::string uns = "declare @a unsigned int, @b unsigned integer, @c unsigned smallint, @d unsigned bigint";
  Report r;
  ASSERT_EQ(analyse("unicode", "", uni + "\ngo\n" + uns + "\n", &r), 0);
  EXPECT_EQ(r.text,
            r.start("unicode") + Report::head(1) + r.datatype("UNICHAR", 1, 1, 1, uni) +
                r.datatype("UNICHAR", 1, 1, 1, uni) + r.datatype("UNICHAR", 1, 1, 1, uni) +
                r.datatype("UNIVARCHAR", 1, 1, 1, uni) + r.datatype("UNIVARCHAR", 1, 1, 1, uni) +
                r.datatype("UNIVARCHAR", 1, 1, 1, uni) + r.datatype("UNITEXT", 1, 1, 1, uni) + Report::close() +
                Report::head(3) + r.datatype("UNSIGNED INT", 2, 3, 3, uns) + r.datatype("UNSIGNED INT", 2, 3, 3, uns) +
                r.datatype("UNSIGNED SMALLINT", 2, 3, 3, uns) + r.datatype("UNSIGNED BIGINT", 2, 3, 3, uns) +
                Report::close() +
                report_tail({.statements = 2, .max_batch_size = 1, .min_batch_size = 1, .batch_statements = 2}));
}

TEST(DatatypesReport, UserDefinedTypesAndPrecisionsAboveThirtyOne) {
  const std::string decl =
      "declare @a mytype, @b numeric(31), @c decimal(31, 2), @d numeric(32), @e decimal(38, 10), "
      "@f float(53), @g varchar(300), @h numeric, @i char(100), @j numeric(2147483647), @k dec(0032), "
      "@l float(40), @m double precision, @n cast";
  Report r;
  ASSERT_EQ(analyse("precision", "", decl + "\n", &r), 0);
  // A word that serves as a name (cast) is a user-defined type as well.
  EXPECT_EQ(r.text,
            r.start("precision") + Report::head(1) + r.datatype("USER_DEFINED", 1, 1, 1, decl) +
                r.datatype("NUMERIC OVER 31", 1, 1, 1, decl) + r.datatype("NUMERIC OVER 31", 1, 1, 1, decl) +
                r.datatype("NUMERIC OVER 31", 1, 1, 1, decl) + r.datatype("NUMERIC OVER 31", 1, 1, 1, decl) +
                r.datatype("USER_DEFINED", 1, 1, 1, decl) + Report::close() +
                report_tail({.statements = 1, .max_batch_size = 1, .min_batch_size = 1, .batch_statements = 1}));
}

TEST(DatatypesReport, CastAndConvert) {
  const std::string sel = "select cast(a as unsigned int), convert(nvarchar(10), b), cast(c as numeric(40, 2))";
  Report r;
  ASSERT_EQ(analyse("cast", "", sel + "\n", &r), 0);
  EXPECT_EQ(r.text,
            r.start("cast") + Report::head(1) + r.datatype("UNSIGNED INT", 1, 1, 1, sel) +
                r.datatype("NVARCHAR", 1, 1, 1, sel) + r.datatype("NUMERIC OVER 31", 1, 1, 1, sel) + Report::close() +
                report_tail({.statements = 1, .max_batch_size = 1, .min_batch_size = 1, .batch_statements = 1}));
}

// Only the datatype findings: the table object and the counters of
// CREATE TABLE are not this test's concern.
std::string datatype_findings(const std::string& report) {
  std::string out;
  for (size_t at = 0; (at = report.find("          <feature>\n", at)) != std::string::npos;) {
    size_t end = report.find("          </feature>\n", at);
    if (end == std::string::npos) break;
    end += strlen("          </feature>\n");
    std::string one = report.substr(at, end - at);
    if (one.find("<id>DATATYPE[") != std::string::npos) out += one;
    at = end;
  }
  return out;
}

TEST(DatatypesReport, ColumnsOfCreateTableCarryTheLineOfCreate) {
  const char* source =
      "create table t (\n"         // 1
      "  a nchar(10),\n"           // 2
      "  b unitext null,\n"        // 3
      "  c numeric(40) not null,\n"  // 4
      "  d numeric(31),\n"         // 5
      "  e int\n"                  // 6
      ")\n";                       // 7
  Report r;
  ASSERT_EQ(analyse("create_table", "", source, &r), 0);
  EXPECT_EQ(datatype_findings(r.text), r.datatype("NCHAR", 1, 1, 1, "create table t (") +
                                           r.datatype("UNITEXT", 1, 1, 1, "create table t (") +
                                           r.datatype("NUMERIC OVER 31", 1, 1, 1, "create table t ("));
}

#endif

}  // namespace

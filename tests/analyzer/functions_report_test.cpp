// Whole reports of the test host for built-in function calls: every
// function that the target lacks with its tag, name and line, the four
// that only older targets lack under several target versions, the order of
// a call's feature and its arguments' findings, and calls that report
// nothing. Every expected byte is written out here.
#include <gtest/gtest.h>
#include <stdint.h>
#include <stdio.h>
#include <sys/wait.h>

#include <string>
#include <vector>

#include "host_report_fixture.h"

using qen_test::file_head;
using qen_test::read_file;
using qen_test::report_tail;
using qen_test::tmp_path;
using qen_test::write_file;

namespace {

#ifdef QEN_HOST_PATH

struct Report {
  std::string path;
  std::string text;

  std::string feature(const std::string& id, int statements, int line, const std::string& context,
                      const std::string& type, const std::string& name) const {
    return qen_test::feature_xml(path, id, statements, line, line, context, type, name);
  }
  std::string builtin(const std::string& name, int statements, int line, const std::string& context) const {
    return feature("BUILTIN[" + name + "]", statements, line, context, "builtin", name);
  }
  std::string global(const std::string& var, int statements, int line, const std::string& context) const {
    return feature("GLOBAL[" + var + "]", statements, line, context, "global", var);
  }
};

int analyse(const std::string& name, const std::string& source, Report* report, const std::string& options = "") {
  return qen_test::run_host_on(name, name, source, options, &report->path, &report->text);
}

// Report of a one-batch file (starting on line 1) with the given features.
std::string one_batch(const Report& r, const std::string& id, const std::string& features, int statements) {
  return qen_test::one_batch_report(r.path, id, features, statements);
}

// One statement a line: the statement on line n is evaluated with
// max(1, n - 1) statements counted.
int statements_before(int line) { return line == 1 ? 1 : line - 1; }

struct Call {
  const char* text;
  const char* name;  // the feature's name
  bool gated;        // reported only for targets older than 1.0.0
};

const Call kReported[] = {
    {"audit_event_name(1)", "AUDIT_EVENT_NAME", false},
    {"compare(a, b)", "COMPARE", false},
    {"compare(a, b, 1)", "COMPARE", false},
    {"curunreservedpgs(1, 2, 3)", "CURUNRESERVEDPGS", false},
    {"data_pages(1, 2)", "DATA_PAGES", false},
    {"data_pages(1, 2, 3, 4)", "DATA_PAGES", false},
    {"datachange('t', null, 'c')", "DATACHANGE", false},
    {"get_appcontext('a', 'b')", "GET_APPCONTEXT", false},
    {"has_role('r')", "HAS_ROLE", false},
    {"has_role('r', 1)", "HAS_ROLE", false},
    {"host_id()", "HOST_ID", false},
    {"identity_burn_max('t')", "IDENTITY_BURN_MAX", false},
    {"identity(10)", "IDENTITY", false},
    {"identity(@n)", "IDENTITY", false},
    {"is_quiesced(1)", "IS_QUIESCED", false},
    {"is_sec_service_on('x')", "IS_SEC_SERVICE_ON", false},
    {"license_enabled('x')", "LICENSE_ENABLED", false},
    {"list_appcontext()", "LIST_APPCONTEXT", false},
    {"list_appcontext(x)", "LIST_APPCONTEXT", false},
    {"lockscheme('t')", "LOCKSCHEME", false},
    {"mut_excl_roles('a', 'b')", "MUT_EXCL_ROLES", false},
    {"mut_excl_roles('a', 'b', 'c')", "MUT_EXCL_ROLES", false},
    {"next_identity('t')", "NEXT_IDENTITY", false},
    {"newid()", "NEWID", false},
    {"newid(1)", "NEWID", false},
    {"pagesize('t')", "PAGESIZE", false},
    {"pagesize('t', 'd', 'i')", "PAGESIZE", false},
    {"partition_id('t', 'p')", "PARTITION_ID", false},
    {"partition_name(1, 2, 3)", "PARTITION_NAME", false},
    {"proc_role('r')", "PROC_ROLE", false},
    {"reserved_pages(1, 2, 3)", "RESERVED_PAGES", false},
    {"rm_appcontext('a', 'b')", "RM_APPCONTEXT", false},
    {"role_contain('a', 'b')", "ROLE_CONTAIN", false},
    {"row_count(1, 2)", "ROW_COUNT", false},
    {"rowcnt(1)", "ROWCNT", false},
    {"set_appcontext('a', 'b', 'c')", "SET_APPCONTEXT", false},
    {"show_role()", "SHOW_ROLE", false},
    {"show_sec_services()", "SHOW_SEC_SERVICES", false},
    {"syb_identity", "SYB_IDENTITY", false},
    {"syb_sendmsg('h', 1, 'm')", "SYB_SENDMSG", false},
    {"sortkey('x')", "SORTKEY", false},
    {"sortkey('x', 'y')", "SORTKEY", false},
    {"to_unichar(65)", "TO_UNICHAR", true},
    {"tran_dumptable_status('d')", "TRAN_DUMPTABLE_STATUS", false},
    {"tsequal(a, b)", "TSEQUAL", false},
    {"uhighsurr('x', 1)", "UHIGHSURR", true},
    {"ulowsurr('x', 1)", "ULOWSURR", true},
    {"uscalar('x')", "USCALAR", true},
    {"used_pages(1, 2, 3, 4)", "USED_PAGES", false},
};

std::string reported_source() {
  std::string s;
  for (const Call& c : kReported) s += std::string("return ") + c.text + "\n";
  return s;
}

std::string reported_features(const Report& r, bool older_target) {
  std::string features;
  int line = 0;
  for (const Call& c : kReported) {
    ++line;
    if (c.gated && !older_target) continue;
    features += r.builtin(c.name, statements_before(line), line, std::string("return ") + c.text);
  }
  return features;
}

TEST(FunctionsReport, EveryReportedFunctionAtTheDefaultTarget) {
  Report r;
  int n = (int)(sizeof kReported / sizeof kReported[0]);
  ASSERT_EQ(analyse("builtins_default", reported_source(), &r), 0);
  EXPECT_EQ(r.text, one_batch(r, "builtins_default", reported_features(r, false), n));
}

TEST(FunctionsReport, FourMoreBelowVersionOne) {
  int n = (int)(sizeof kReported / sizeof kReported[0]);
  {
    Report r;
    ASSERT_EQ(analyse("builtins_0_9", reported_source(), &r, "-t 0.9.0"), 0);
    EXPECT_EQ(r.text, one_batch(r, "builtins_0_9", reported_features(r, true), n));
  }
  {
    Report r;
    ASSERT_EQ(analyse("builtins_0_99", reported_source(), &r, "-t 0.99.99"), 0);
    EXPECT_EQ(r.text, one_batch(r, "builtins_0_99", reported_features(r, true), n));
  }
  {
    Report r;
    ASSERT_EQ(analyse("builtins_1_0", reported_source(), &r, "-t 1.0.0"), 0);
    EXPECT_EQ(r.text, one_batch(r, "builtins_1_0", reported_features(r, false), n));
  }
  {
    Report r;
    ASSERT_EQ(analyse("builtins_2_5", reported_source(), &r, "-t 2.5.1"), 0);
    EXPECT_EQ(r.text, one_batch(r, "builtins_2_5", reported_features(r, false), n));
  }
}

TEST(FunctionsReport, OrdinaryFunctionsReportNothing) {
  const char* calls[] = {
      "abs(x)", "acos(1)", "ascii('a')", "atn2(1, 2)", "ceiling(1.5)", "char(65)", "char_length('a')",
      "charindex('a', 'b')", "col_length('t', 'c')", "col_name(1, 2)", "col_name(1, 2, 3)", "cos(1)",
      "current_date()", "current_time()", "datalength(x)", "dateadd(dd, 1, getdate())",
      "datediff(mm, a, b)", "datename(dw, d)", "datepart(yy, d)", "day(d)", "db_id()", "db_id('x')",
      "db_name()", "db_name(1)", "degrees(1)", "difference('a', 'b')", "exp(1)", "floor(1.5)",
      "getdate()", "getutcdate()", "hextoint('a')", "host_name()", "index_col('t', 1, 2)",
      "index_colorder('t', 1, 2, 3)", "inttohex(1)", "isnull(a, 0)", "left('a', 1)", "len('a')",
      "log(1)", "log10(1)", "lower('A')", "ltrim(' a')", "month(d)", "object_id('t')",
      "object_name(1)", "object_name(1, 2)", "patindex('%a%', 'b')", "pi()", "power(2, 3)",
      "radians(1)", "rand()", "rand(1)", "replicate('a', 2)", "reverse('a')", "right('a', 1)",
      "role_id('r')", "role_name(1)", "round(1.5, 0)", "rtrim('a ')", "sign(-1)", "sin(1)",
      "soundex('a')", "space(2)", "sqrt(4)", "square(2)", "str(1)", "str(1, 2)", "str(1, 2, 3)",
      "str_replace('a', 'b', 'c')", "stuff('a', 1, 1, 'b')", "substring('abc', 1, 2)", "suser_id()",
      "suser_id('x')", "suser_name()", "suser_name(1)", "syb_quit()", "tan(1)", "textptr(c)",
      "textvalid('t.c', p)", "tempdb_id()", "tempdb_id(1)", "upper('a')", "user", "user_id()",
      "user_id('u')", "user_name()", "user_name(1)", "valid_name('x')", "valid_name('x', 1)",
      "valid_user(1)", "year(d)", "convert(char(10), getdate(), 101)", "cast(1 as int)"};
  std::string source;
  for (const char* c : calls) source += std::string("return ") + c + "\n";
  int n = (int)(sizeof calls / sizeof calls[0]);
  Report r;
  ASSERT_EQ(analyse("ordinary", source, &r), 0);
  EXPECT_EQ(r.text, one_batch(r, "ordinary", "", n));
}

TEST(FunctionsReport, CallBeforeItsArguments) {
  const char* source =
      "return compare(a, b, @@rowcount)\n"                       // 1
      "return newid(has_role(sortkey('x'), tsequal(a, b)))\n"    // 2
      "return identity(10) + syb_identity + user\n"             // 3
      "return to_unichar(@@rowcount)\n"                          // 4
      "return datepart(yy, newid())\n"                           // 5
      "return abs(host_id()) + substring(newid(), 1, 2)\n";      // 6
  {
    Report r;
    ASSERT_EQ(analyse("call_order", source, &r), 0);
    std::string features =
        r.builtin("COMPARE", 1, 1, "return compare(a, b, @@rowcount)") +
        r.global("@@rowcount", 1, 1, "return compare(a, b, @@rowcount)") +
        r.builtin("NEWID", 1, 2, "return newid(has_role(sortkey('x'), tsequal(a, b)))") +
        r.builtin("HAS_ROLE", 1, 2, "return newid(has_role(sortkey('x'), tsequal(a, b)))") +
        r.builtin("SORTKEY", 1, 2, "return newid(has_role(sortkey('x'), tsequal(a, b)))") +
        r.builtin("TSEQUAL", 1, 2, "return newid(has_role(sortkey('x'), tsequal(a, b)))") +
        r.builtin("IDENTITY", 2, 3, "return identity(10) + syb_identity + user") +
        r.builtin("SYB_IDENTITY", 2, 3, "return identity(10) + syb_identity + user") +
        // The argument is analysed whether or not the call is reported.
        r.global("@@rowcount", 3, 4, "return to_unichar(@@rowcount)") +
        r.builtin("NEWID", 4, 5, "return datepart(yy, newid())") +
        r.builtin("HOST_ID", 5, 6, "return abs(host_id()) + substring(newid(), 1, 2)") +
        r.builtin("NEWID", 5, 6, "return abs(host_id()) + substring(newid(), 1, 2)");
    EXPECT_EQ(r.text, one_batch(r, "call_order", features, 6));
  }
  {
    Report r;
    ASSERT_EQ(analyse("call_order_old", "return to_unichar(@@rowcount) + uscalar(ulowsurr(a, 1))\n", &r,
                      "-t 0.9.0"),
              0);
    const char* context = "return to_unichar(@@rowcount) + uscalar(ulowsurr(a, 1))";
    EXPECT_EQ(r.text, one_batch(r, "call_order_old",
                                r.builtin("TO_UNICHAR", 1, 1, context) + r.global("@@rowcount", 1, 1, context) +
                                    r.builtin("USCALAR", 1, 1, context) + r.builtin("ULOWSURR", 1, 1, context),
                                1));
  }
}

TEST(FunctionsReport, CallsSpreadOverLines) {
  const char* source =
      "return 1 +\n"         // 1
      "  newid\n"            // 2
      "  (\n"                // 3
      "  host_id()) + \n"    // 4
      "  syb_identity\n";    // 5
  Report r;
  ASSERT_EQ(analyse("call_lines", source, &r), 0);
  // Each feature takes the line of the function's name.
  EXPECT_EQ(r.text, one_batch(r, "call_lines",
                              r.builtin("NEWID", 1, 2, "  newid") + r.builtin("HOST_ID", 1, 4, "  host_id()) + ") +
                                  r.builtin("SYB_IDENTITY", 1, 5, "  syb_identity"),
                              1));
}

TEST(FunctionsReport, WrongArgumentCountsAreSyntaxErrors) {
  const char* bad[] = {"return identity()", "return newid(1, 2)", "return stuff(1, 2, 3)", "return syb_identity()",
                       "return abs()", "return compare(1)", "return getdate(1)"};
  for (const char* text : bad) {
    Report r;
    EXPECT_EQ(analyse("bad_count", std::string(text) + "\n", &r), 1) << text;
    EXPECT_NE(r.text.find("<syntax-error>"), std::string::npos) << text;
    EXPECT_NE(r.text.find("</source>\n"), std::string::npos) << text;
  }
}

#endif

}  // namespace

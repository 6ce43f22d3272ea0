// Whole reports of the test host for the SET statement: every option that
// the target lacks with its tag, name and line, the two options gated by
// the target version, the options that report nothing, the @@error finding
// of assignments and the quoted-identifier switch. Every expected byte is
// written out.
#include <gtest/gtest.h>

#include <string>

#include "host_report_fixture.h"

using qen_test::file_head;
using qen_test::report_tail;

namespace {

#ifdef QEN_HOST_PATH

using qen_test::Report;
using qen_test::analyse;

std::string counters_of_one_batch(int statements) {
  return report_tail({.statements = statements,
                      .max_batch_size = statements,
                      .min_batch_size = statements,
                      .batch_statements = statements});
}

// Statement k of a one-batch file is counted before its findings when it
// is the first, after them otherwise.
int statement_id(int k) { return k == 1 ? 1 : k - 1; }

struct Option {
  const char* source;  // the SET statement
  const char* option;  // the text in the brackets of the tag
  const char* name;    // the display name
  bool gated;          // reported only for targets before 1.0.0
};

// Every option the target lacks, one alternative of the grammar each.
const Option kOptions[] = {
    {"set ansi_permissions on", "ANSI_PERMISSIONS", "SET ANSI_PERMISSIONS", false},
    {"set ansinull off", "ANSINULL", "SET ANSINULL", false},
    {"set arithabort arith_overflow on", "ARITHABORT", "SET ARITHABORT", false},
    {"set arithabort numeric_truncation off", "ARITHABORT", "SET ARITHABORT", false},
    {"set arithabort on", "ARITHABORT", "SET ARITHABORT", false},
    {"set arithignore arith_overflow off", "ARITHIGNORE", "SET ARITHIGNORE", false},
    {"set arithignore on", "ARITHIGNORE", "SET ARITHIGNORE", false},
    {"set bulk array size 10", "BULK_ARRAY_SIZE", "SET BULK ARRAY SIZE", false},
    {"set bulk batch size 100", "BULK_BATCH_SIZE", "SET BULK BATCH SIZE", false},
    {"set char_convert off", "CHAR_CONVERT", "SET CHAR CONVERT", false},
    {"set char_convert on with error", "CHAR_CONVERT", "SET CHAR CONVERT", false},
    {"set char_convert on with no_error", "CHAR_CONVERT", "SET CHAR CONVERT", false},
    {"set char_convert on", "CHAR_CONVERT", "SET CHAR CONVERT", false},
    {"set cis_rpc_handling on", "CIS_RPC_HANDLING", "SET CIS_RPC_HANDLING", false},
    {"set close on endtran on", "CLOSE ON ENDTRAN", "SET CLOSE ON ENDTRAN", false},
    {"set cursor rows 5 for c1", "CURSOR ROWS", "SET CURSOR ROWS", true},
    {"set datefirst 1", "DATEFIRST", "SET DATEFIRST", false},
    {"set dateformat \"mdy\"", "DATEFORMAT", "SET DATEFORMAT", false},
    {"set delayed_commit default", "DELAYED_COMMIT", "SET DELAYED_COMMIT", false},
    {"set fipsflagger on", "FIPSFLAGGGER", "SET FIPSFLAGGER", false},
    {"set flushmessage on", "FLUSHMESSAGE", "SET FLUSHMESSAGE", false},
    {"set forceplan off", "FORCEPLAN", "SET FORCEPLAN", false},
    {"set language \"us_english\"", "LANGUAGE", "SET LANGUAGE", true},
    {"set lock nowait", "LOCK WAIT", "SET LOCK WAIT", false},
    {"set lock wait 5", "LOCK WAIT", "SET LOCK WAIT", false},
    {"set lock wait", "LOCK WAIT", "SET LOCK WAIT", false},
    {"set metrics_capture on", "METRICS_CAPTURE", "SET METRICS_CAPTURE", false},
    {"set nocount on", "NOCOUNT", "SET NOCOUNT", false},
    {"set noexec off", "NOEXEC", "SET NOEXEC", false},
    {"set offsets select on", "OFFSETS", "SET OFFSETS", false},
    {"set parseonly on", "PARSEONLY", "SET PARSEONLY", false},
    {"set procid on", "PROCID", "SET PROCID", false},
    {"set self_recursion on", "SELF_RECURSION", "SET SELF_RECURSION", false},
    {"set showplan on", "SHOWPLAN", "SET SHOWPLAN", false},
    {"set sort_resources on", "SORT_RESOURCES", "SET SORT_RESOURCES", false},
    // The variable is not examined: no finding of its own.
    {"set table count @@rowcount", "TABLE COUNT", "SET TABLE COUNT", false},
    {"set table count 4", "TABLE COUNT", "SET TABLE COUNT", false},
    {"set table count @n", "TABLE COUNT", "SET TABLE COUNT", false},
};

// The report of all options, one a line, for a target that lacks the gated
// ones or not.
std::string options_report(const Report& r, const std::string& id, bool old_target) {
  std::string expected = "<source>\n" + file_head(r.path, id) + Report::head(1, "batch", "[batch]");
  int k = 0;
  for (const Option& o : kOptions) {
    ++k;
    if (o.gated && !old_target) continue;
    // The option's first keyword after SET gives the line.
    expected += r.feature(std::string("OPTION[") + o.option + "]", statement_id(k), k, k, o.source, "statement",
                          o.name);
  }
  return expected + Report::close() + counters_of_one_batch(k);
}

TEST(SetReport, EveryOptionTheTargetLacks) {
  std::string source;
  for (const Option& o : kOptions) source += std::string(o.source) + "\n";
  ASSERT_EQ(sizeof kOptions / sizeof kOptions[0], 38u);
  Report r;
  ASSERT_EQ(analyse("set_options", source, &r), 0);
  EXPECT_EQ(r.text, options_report(r, "set_options", false));
  ASSERT_EQ(analyse("set_options_old", source, &r, "-t 0.9.9"), 0);
  EXPECT_EQ(r.text, options_report(r, "set_options_old", true));
}

TEST(SetReport, CursorRowsAndLanguageOnlyBeforeVersionOne) {
  const char* source =
      "set cursor rows 10 for c\n"  // 1
      "set language \"french\"\n";  // 2
  Report r;
  ASSERT_EQ(analyse("set_gated_1", source, &r, "-t 1.0.0"), 0);
  EXPECT_EQ(r.text, "<source>\n" + file_head(r.path, "set_gated_1") + counters_of_one_batch(2));
  ASSERT_EQ(analyse("set_gated_2", source, &r, "-t 2"), 0);
  EXPECT_EQ(r.text, "<source>\n" + file_head(r.path, "set_gated_2") + counters_of_one_batch(2));
  ASSERT_EQ(analyse("set_gated_0", source, &r, "-t 0.9"), 0);
  EXPECT_EQ(r.text, "<source>\n" + file_head(r.path, "set_gated_0") + Report::head(1, "batch", "[batch]") +
                        r.feature("OPTION[CURSOR ROWS]", 1, 1, 1, "set cursor rows 10 for c", "statement",
                                  "SET CURSOR ROWS") +
                        r.feature("OPTION[LANGUAGE]", 1, 2, 2, "set language \"french\"", "statement",
                                  "SET LANGUAGE") +
                        Report::close() + counters_of_one_batch(2));
}

TEST(SetReport, SilentOptions) {
  const char* source =
      "set chained on\n"
      "set clientapplname @@rowcount\n"
      "set clientapplname @a\n"
      "set clientapplname \"app\"\n"
      "set clienthostname @@rowcount\n"
      "set clienthostname @h\n"
      "set clienthostname \"host\"\n"
      "set clientname @@rowcount\n"
      "set clientname @c\n"
      "set clientname \"name\"\n"
      "set identity_insert dbo.orders on\n"
      "set identity_update orders off\n"
      "set plan dump g1 on\n"
      "set plan dump off\n"
      "set plan exists check on\n"
      "set plan for xyz\n"
      "set plan optgoal allrows_oltp\n"
      "set plan load g1 on\n"
      "set plan load off\n"
      "set plan opttimeoutlimit 10\n"
      "set plan replace on\n"
      "set quoted_identifier off\n"
      "set rowcount @@error\n"
      "set rowcount 10\n"
      "set rowcount @n\n"
      "set textsize @@error\n"
      "set textsize 100\n"
      "set textsize @n\n"
      "set transaction isolation level read committed\n"
      "set transaction isolation level read uncommitted\n"
      "set transaction isolation level repeatable read\n"
      "set transaction isolation level serializable\n"
      "set transaction isolation level 0\n";
  Report r;
  ASSERT_EQ(analyse("set_silent", source, &r), 0);
  EXPECT_EQ(r.text, "<source>\n" + file_head(r.path, "set_silent") + counters_of_one_batch(33));
}

TEST(SetReport, RowcountAndTextsizeExamineTheirGlobalVariable) {
  const char* source =
      "set rowcount @@rowcount\n"  // 1
      "set textsize @@procid\n";   // 2
  Report r;
  ASSERT_EQ(analyse("set_rowcount_global", source, &r), 0);
  EXPECT_EQ(r.text, "<source>\n" + file_head(r.path, "set_rowcount_global") + Report::head(1, "batch", "[batch]") +
                        r.global("@@rowcount", 1, 1, 1, "set rowcount @@rowcount") +
                        r.global("@@procid", 1, 2, 2, "set textsize @@procid") + Report::close() +
                        counters_of_one_batch(2));
}

TEST(SetReport, AssignmentReadingErrorReportsAtTheEqualSign) {
  const char* source =
      "set @v\n"                                    // 1
      "    = @@error\n"                             // 2
      "set @w = @@error + @@procid, @x = @y\n"      // 3
      "set @z = @@ERROR\n"                          // 4
      "set @n = @@rowcount, @m = (@@error)\n";      // 5
  Report r;
  ASSERT_EQ(analyse("set_error", source, &r), 0);
  // Kind 0 and the fixed name "@@error", before anything the expression
  // reports itself; a value without @@error reports nothing here.
  EXPECT_EQ(r.text, "<source>\n" + file_head(r.path, "set_error") + Report::head(1, "batch", "[batch]") +
                        r.global("@@error", 1, 2, 2, "    = @@error") +
                        r.global("@@error", 1, 3, 3, "set @w = @@error + @@procid, @x = @y") +
                        r.global("@@procid", 1, 3, 3, "set @w = @@error + @@procid, @x = @y") +
                        r.global("@@error", 2, 4, 4, "set @z = @@ERROR") +
                        r.global("@@rowcount", 3, 5, 5, "set @n = @@rowcount, @m = (@@error)") +
                        r.global("@@error", 3, 5, 5, "set @n = @@rowcount, @m = (@@error)") + Report::close() +
                        counters_of_one_batch(4));
}

TEST(SetReport, QuotedIdentifierSwitchesTheScannerForTheRestOfTheBatch) {
  const char* identifiers =
      "set quoted_identifier on\n"
      "select * from \"orders\"\n"
      "exec \"p1\"\n";
  Report r;
  ASSERT_EQ(analyse("set_quoted_on", identifiers, &r), 0);
  EXPECT_EQ(r.text, "<source>\n" + file_head(r.path, "set_quoted_on") + counters_of_one_batch(3));

  // Turned off, double quotes make strings again, even when the host
  // starts the batch with quoted identifiers.
  const char* strings =
      "set quoted_identifier off\n"
      "print \"text\"\n";
  ASSERT_EQ(analyse("set_quoted_off", strings, &r, "-q"), 0);
  EXPECT_EQ(r.text, "<source>\n" + file_head(r.path, "set_quoted_off") + counters_of_one_batch(2));
  // Without the statement the same text does not parse.
  analyse("set_quoted_host", "print \"text\"\n", &r, "-q");
  EXPECT_NE(r.text.find("<syntax-error>"), std::string::npos) << r.text;
}

TEST(SetReport, NocountOnAndOffReportAlike) {
  const char* source =
      "set nocount on\n"    // 1
      "set nocount off\n";  // 2
  Report r;
  ASSERT_EQ(analyse("set_nocount", source, &r), 0);
  EXPECT_EQ(r.text, "<source>\n" + file_head(r.path, "set_nocount") + Report::head(1, "batch", "[batch]") +
                        r.feature("OPTION[NOCOUNT]", 1, 1, 1, "set nocount on", "statement", "SET NOCOUNT") +
                        r.feature("OPTION[NOCOUNT]", 1, 2, 2, "set nocount off", "statement", "SET NOCOUNT") +
                        Report::close() + counters_of_one_batch(2));
}

TEST(SetReport, QuotedIdentifierSwitchesInsideABranchOrABody) {
  // The switch happens when the statement is parsed: the ELSE branch after
  // it already reads a double-quoted identifier, where PRINT needs a string.
  const char* branch =
      "if @a > 0\n"
      "    set quoted_identifier on\n"
      "else\n"
      "    print \"%1!\", @a\n"
      "select * from \"orders\"\n";
  Report r;
  ASSERT_EQ(analyse("set_quoted_branch", branch, &r), 1);  // a syntax error in the report
  EXPECT_NE(r.text.find("<syntax-error>"), std::string::npos) << r.text;

  const char* body =
      "create procedure p1 as\n"
      "    set quoted_identifier on\n"
      "    select * from \"orders\"\n";
  ASSERT_EQ(analyse("set_quoted_body", body, &r), 0);
  EXPECT_EQ(r.text, "<source>\n" + file_head(r.path, "set_quoted_body") +
                        report_tail({.statements = 3,
                                     .procedures = 1,
                                     .max_procedure_size = 2,
                                     .min_procedure_size = 2,
                                     .procedure_statements = 2,
                                     .max_batch_size = 1,
                                     .min_batch_size = 1,
                                     .batch_statements = 1}));
}

#endif

}  // namespace

// What the control-of-flow statements leave behind besides the report: the
// loop counter (18) and the label counter (19) of the file state, which are
// never printed, and the diagnostics of DECLARE with a default value or
// OUTPUT, which go to standard error and never into the report.
#include <gtest/gtest.h>
#include <string.h>
#include <unistd.h>

#include <string>

#include "ag_context.h"
#include "analyzer_internal.h"
#include "analyzer_test_util.h"
#include "file_state_internal.h"
#include "parser_glue.h"
#include "qen_analyzer.h"

namespace {

struct Outcome {
  int loops = 0;
  int labels = 0;
  int statements = 0;
  std::string report;
  std::string diagnostics;
};

// Standard error without the lines a sanitizer run adds ("==pid==...").
std::string without_sanitizer_notes(const std::string& text) {
  std::string out;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    end = end == std::string::npos ? text.size() : end + 1;
    if (text.compare(at, 2, "==") != 0) out.append(text, at, end - at);
    at = end;
  }
  return out;
}

// One batch analysed in process; the counters are read before the file
// state is freed.
Outcome analyse(const std::string& text) {
  qen_test::start_analyzer();
  static int serial = 0;
  std::string base = std::string(QEN_TEST_TMP_DIR) + "/control_counters_" + std::to_string(getpid()) + "_" +
                     std::to_string(++serial);
  qen_test::batch_file file(base + ".sql", base + ".xml", "t", text);
  Outcome o;
  EXPECT_NE(file.state(), nullptr);
  if (file.state() == nullptr) return o;
  file_state_mark(file.state());
  testing::internal::CaptureStderr();
  EXPECT_EQ(file.analyse(text), 0) << text;
  o.diagnostics = without_sanitizer_notes(testing::internal::GetCapturedStderr());
  o.loops = file.state()->counters[18];
  o.labels = file.state()->counters[19];
  o.statements = file.state()->counters[FS_STATEMENT_COUNT];
  o.report = file.finish();
  file.remove_files();
  return o;
}

TEST(ControlCounters, EveryWhileCountsTwoLoops) {
  Outcome o = analyse(
      "while @a > 0\n"
      "    while @b > 0\n"
      "        select @b = @b - 1\n"
      "while @c > 0 break\n");
  EXPECT_EQ(o.loops, 6);
  // Only the two WHILEs of the batch's sequence are statements: a body that
  // is a single statement is not counted, nested loops included.
  EXPECT_EQ(o.statements, 2);
  EXPECT_EQ(o.labels, 0);
}

TEST(ControlCounters, LabelsAndBranchesCountApart) {
  Outcome o = analyse(
      "again:\n"
      "if @a > 0 goto again else return\n"
      "done:\n");
  EXPECT_EQ(o.labels, 2);
  EXPECT_EQ(o.loops, 0);
  // The two labels, the IF and its two branches.
  EXPECT_EQ(o.statements, 5);
}

TEST(ControlCounters, DeclareDiagnosticsStayOutOfTheReport) {
  Outcome plain = analyse("declare @a int, @b char(2)\n");
  EXPECT_EQ(plain.diagnostics, "");

  // The diagnostics say what the SQL did and where, on standard error.
  Outcome local = analyse("declare @a int = 1 output\n");
  EXPECT_EQ(local.diagnostics,
            "analyzer: line 1: Cannot assign a default value to a local variable.\n"
            "analyzer: line 1: Can't use the OUTPUT option in a DECLARE statement.\n");
  EXPECT_EQ(local.report.find("<feature>"), std::string::npos);
  EXPECT_EQ(local.report.find("local variable"), std::string::npos);
  EXPECT_NE(local.report.find("</source>\n"), std::string::npos);

  Outcome output_only = analyse("\ndeclare @a int output,\n  @b int = 2\n");
  EXPECT_EQ(output_only.diagnostics,
            "analyzer: line 2: Can't use the OUTPUT option in a DECLARE statement.\n"
            "analyzer: line 3: Cannot assign a default value to a local variable.\n");

  // A parameter may have both.
  Outcome parameter = analyse("create procedure p @a int = 1 output, @b int out as return\n");
  EXPECT_EQ(parameter.diagnostics, "");
}

}  // namespace

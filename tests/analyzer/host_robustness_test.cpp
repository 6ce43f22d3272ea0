// The test host run as a process on hostile input and in hostile
// surroundings: bytes a name may hold, NUL bytes, long lines, line ends,
// full disks, resource limits. Nothing may be lost, nothing may crash, and
// a failure must not end with status 0.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "host_report_fixture.h"

using qen_test::read_file;
using qen_test::tmp_path;
using qen_test::write_file;

namespace {

#ifdef QEN_HOST_PATH

using HostRun = qen_test::HostProcess;
using qen_test::shell_quote;

bool ends_with(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Runs "prefix qen_host args" through the shell.
HostRun run(const std::string& args, const std::string& prefix = "") {
  return qen_test::run_host_process(args, prefix);
}

HostRun run_on(const std::string& name, const std::string& source, const std::string& options = "") {
  std::string in = tmp_path(name + ".sql");
  write_file(in, source);
  return run(options + " " + shell_quote(in));
}

size_t count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// The values of every <line-in-file> element, in order.
std::vector<int> lines_in_file(const std::string& report) {
  std::vector<int> lines;
  const std::string tag = "<line-in-file>";
  for (size_t at = report.find(tag); at != std::string::npos; at = report.find(tag, at + 1))
    lines.push_back(atoi(report.c_str() + at + tag.size()));
  return lines;
}


TEST(HostRobustness, NamesKeepTheirBytes) {
  // UTF-8 stays as it is; a byte that is not UTF-8 becomes its Latin-1
  // character, so no two different names collapse into one.
  HostRun r = run_on("robust_names",
                 "create procedure [pr\xC3\xB8" "c] as checkpoint\ngo\n"
                 "create procedure [prc] as checkpoint\ngo\n"
                 "create procedure [pr\xF8" "c<&>] as checkpoint\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(count(r.out, "<name>[pr\xC3\xB8" "c]</name>"), 1u) << r.out;
  EXPECT_EQ(count(r.out, "<name>[prc]</name>"), 1u) << r.out;
  EXPECT_EQ(count(r.out, "<name>[pr\xC3\xB8" "c&lt;&amp;&gt;]</name>"), 1u) << r.out;
}

TEST(HostRobustness, LinesAndBatchesSurviveNulLongLinesAndAnyLineEnd) {
  const std::string nul("x \0 y", 5);
  const std::string long_line = "checkpoint" + std::string(40000, ' ');
  struct Case {
    const char* name;
    std::string source;
    int status;
    std::vector<int> lines;  // every <line-in-file> of the report
  } cases[] = {
      // A NUL outside a literal is a syntax error; nothing after it is lost.
      {"robust_nul", "checkpoint\n" + nul + "\ncheckpoint\ngo\ncheckpoint\n", 1, {1, 1, 1, 2, 3, 5, 5}},
      {"robust_nul_literal", std::string("print 'a\0b'\ngo\ncheckpoint\n", 26), 0, {3, 3}},
      {"robust_long", long_line + "\n" + long_line + "\ngo\ncheckpoint\n", 0, {1, 1, 2, 4, 4}},
      {"robust_lf", "checkpoint\ncheckpoint\ngo\n\ncheckpoint\n", 0, {1, 1, 2, 4, 5}},
      {"robust_crlf", "checkpoint\r\ncheckpoint\r\ngo\r\n\r\ncheckpoint\r\n", 0, {1, 1, 2, 4, 5}},
      {"robust_cr", "checkpoint\rcheckpoint\rgo\r\rcheckpoint\r", 0, {1, 1, 2, 4, 5}},
      {"robust_mixed", "checkpoint\rcheckpoint\r\ngo\n\rcheckpoint", 0, {1, 1, 2, 4, 5}},
      // A UTF-8 byte order mark in front is no part of the first line.
      {"robust_bom", "\xEF\xBB\xBF" "checkpoint\ncheckpoint\ngo\n\ncheckpoint\n", 0, {1, 1, 2, 4, 5}},
      {"robust_bom_go", "\xEF\xBB\xBF" "go\ncheckpoint\n", 0, {2, 2}},
  };
  for (const Case& c : cases) {
    HostRun r = run_on(c.name, c.source);
    EXPECT_EQ(r.status, c.status) << c.name << "\n" << r.err;
    std::vector<int> lines = lines_in_file(r.out);
    EXPECT_EQ(lines, c.lines) << c.name << "\n" << r.out;
  }
}

TEST(HostRobustness, BlankLinesAfterTheRootDoNotMakeASecondRoot) {
  std::string out = tmp_path("robust_blank_tail.xml");
  remove(out.c_str());
  std::string in = tmp_path("robust_blank_tail.sql");
  write_file(in, "checkpoint\n");
  ASSERT_EQ(run("-o " + shell_quote(out) + " " + shell_quote(in)).status, 0);
  write_file(out, read_file(out) + "\n\n  \t\r\n\n");
  ASSERT_EQ(run("-o " + shell_quote(out) + " " + shell_quote(in)).status, 0);
  std::string text = read_file(out);
  EXPECT_EQ(count(text, "<source>"), 1u);
  EXPECT_EQ(count(text, "<file>"), 2u);
  EXPECT_EQ(text.substr(text.size() - 20), "  </file>\n</source>\n");
}

TEST(HostRobustness, FailedWritesLeaveTheReportAsItWasAndExitTwo) {
  std::string in = tmp_path("robust_write.sql");
  std::string source;
  for (int i = 0; i < 2000; ++i) source += "checkpoint\n";
  write_file(in, source);
  // An existing report that the new run cannot complete within the file
  // size limit (a full disk to the writer) is kept byte for byte.
  std::string out = tmp_path("robust_full.xml");
  remove(out.c_str());
  ASSERT_EQ(run("-o " + shell_quote(out) + " " + shell_quote(in)).status, 0);
  const std::string before = read_file(out);
  if (qen_test::works("prlimit --version")) {
    HostRun r = run("-o " + shell_quote(out) + " " + shell_quote(in),
                    "prlimit --fsize=" + std::to_string(before.size() + 4096));
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(ends_with(r.err, "qen_host: Report '" + out + "' could not be written completely: File too large\n"))
        << r.err;
    EXPECT_EQ(read_file(out), before);
    // Nor is the unfinished new report left lying beside it.
    EXPECT_NE(system(("ls " + shell_quote(out) + ".*.part > /dev/null 2>&1").c_str()), 0);
  }
  HostRun stdout_full = run(shell_quote(in) + " 2> /dev/null > /dev/full; exit $?; :");
  EXPECT_EQ(stdout_full.status, 2);
  HostRun folder = run(shell_quote(tmp_path("")));
  EXPECT_EQ(folder.status, 2);
  EXPECT_EQ(folder.err, "qen_host: cannot read the input '" + tmp_path("") + "': Is a directory\n");
  EXPECT_EQ(folder.out, "");
}

TEST(HostRobustness, RecoveredSyntaxErrorExitsOne) {
  HostRun r = run_on("robust_recovered", "checkpoint\ncheckpoint )\nkill 1\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(count(r.out, "<syntax-error>"), 1u);
  EXPECT_EQ(count(r.out, "<feature>"), 3u);
}

TEST(HostRobustness, PoolExhaustedMidBatchKeepsTheFinishedBatches) {
  if (!qen_test::works("prlimit --version") || qen_test::sanitized()) GTEST_SKIP() << "needs prlimit and a build without sanitizers";
  std::string in = tmp_path("robust_exhausted.sql");
  // The walk's stack reserved by the first batch and the big batch's tree
  // do not fit in the address space together.
  std::string source = "checkpoint\ngo\nkill 1\ngo\n";
  source.reserve(source.size() + 1000000 * 9);
  for (int i = 0; i < 1000000; ++i) source += "select 1\n";
  write_file(in, source);
  std::string out = tmp_path("robust_exhausted.xml");
  remove(out.c_str());
  HostRun r = run("-o " + shell_quote(out) + " " + shell_quote(in), "prlimit --as=1300000000");
  ASSERT_EQ(r.signal, 0) << r.err;
  if (r.status == 0) GTEST_SKIP() << "the batch fitted in memory here";
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out.rfind("fatal error: file ", 0), 0u) << r.out;
  // The two finished batches, closed as a whole report.
  std::string text = read_file(out);
  EXPECT_EQ(count(text, "<feature>"), 2u) << text;
  EXPECT_EQ(count(text, "</source>"), 1u);
  EXPECT_EQ(text.substr(text.size() - 20), "  </file>\n</source>\n");
  EXPECT_NE(text.find("<name>BatchStatementCount</name>\n        <value>2</value>"), std::string::npos);
}

TEST(HostRobustness, SmallAddressSpaceAnalysesOrRefusesTheBatch) {
  if (!qen_test::works("prlimit --version") || qen_test::sanitized()) GTEST_SKIP() << "needs prlimit and a build without sanitizers";
  std::string in = tmp_path("robust_deep.sql");
  std::string source;
  for (int i = 0; i < 150000; ++i) source += "select 1\n";
  write_file(in, source);
  const char* limits[] = {"700000000", "300000000", "200000000"};
  for (const char* limit : limits) {
    HostRun r = run(shell_quote(in), std::string("prlimit --as=") + limit);
    ASSERT_EQ(r.signal, 0) << limit << "\n" << r.err;
    if (r.status == 0) {
      EXPECT_NE(r.out.find("<value>150000</value>"), std::string::npos) << limit;
    } else {
      EXPECT_EQ(r.status, 1) << limit;
      // Refused with its reason, or ended by the pool's fatal exit.
      bool refused = r.err.find("nests too deeply") != std::string::npos;
      bool fatal = r.out.find("fatal error: file ") != std::string::npos;
      EXPECT_TRUE(refused || fatal) << limit << "\n" << r.err;
    }
  }
}

#endif

}  // namespace

// The test host run as a process: batch splitting, exit statuses, report
// paths and identifiers.
#include <gtest/gtest.h>
#include <stdio.h>

#include <string>

#include "host_report_fixture.h"

using qen_test::file_head;
using qen_test::read_file;
using qen_test::report_tail;
using qen_test::run_host;
using qen_test::shell_quote;
using qen_test::tmp_path;
using qen_test::write_file;

namespace {

#ifdef QEN_HOST_PATH

std::string object_head(int line) { return qen_test::object_head(line, "batch", "[batch]"); }

std::string syntax_error(int line, int line_in_object, const std::string& q,
                         const std::string& lexeme, const std::string& context) {
  return "          <syntax-error>\n            <line-in-file>" + std::to_string(line) +
         "</line-in-file>\n            <line-in-object>" + std::to_string(line_in_object) +
         "</line-in-object>\n            <text><![CDATA[Incorrect syntax near '" + q + lexeme + "'" +
         q + "]]></text>\n            <context><![CDATA[" + context +
         "]]></context>\n          </syntax-error>\n        </flags>\n      </object>\n";
}

TEST(Host, GoLinesSplitBatchesAndEmptyBatchesAreSkipped) {
  std::string in = tmp_path("host_go.sql");
  write_file(in, "select from\n go \n\nselect from\nGO\ngO\nselect from");
  std::string out = tmp_path("host_go.xml");
  remove(out.c_str());
  EXPECT_EQ(run_host("-i batches -o " + shell_quote(out) + " " + shell_quote(in)), 1);
  EXPECT_EQ(read_file(out), "<source>\n" + file_head(in, "batches") + object_head(1) +
                                syntax_error(1, 0, "", "from", "select from") + object_head(3) +
                                syntax_error(4, 1, "", "from", "select from") + object_head(7) +
                                syntax_error(7, 0, "", "from", "<end of input>") +
                                report_tail({}));
}

TEST(Host, EscapedFlagDoublesQuotes) {
  std::string in = tmp_path("host_escaped.sql");
  write_file(in, "select from 'a'\n");
  std::string out = tmp_path("host_escaped.xml");
  remove(out.c_str());
  EXPECT_EQ(run_host("-e -i e -o " + shell_quote(out) + " " + shell_quote(in)), 1);
  EXPECT_EQ(read_file(out), "<source>\n" + file_head(in, "e") + object_head(1) +
                                syntax_error(1, 0, "'", "from", "select from ''a''") +
                                report_tail({}));
}

TEST(Host, AcceptedInputFromStandardInput) {
  std::string out = tmp_path("host_stdin.xml");
  remove(out.c_str());
  std::string in = tmp_path("host_stdin.sql");
  write_file(in, "go\nselect 1\ngo\n");
  EXPECT_EQ(run_host("-o " + shell_quote(out) + " < " + shell_quote(in)), 0);
  std::string text = read_file(out);
  EXPECT_EQ(text.substr(0, 9 + file_head("", "").size()), "<source>\n" + file_head("", ""));
  EXPECT_EQ(text.find("<object>"), std::string::npos);
}

TEST(Host, SecondRunAppendsToTheSameReport) {
  std::string in = tmp_path("host_empty.sql");
  write_file(in, "");
  std::string out = tmp_path("host_twice.xml");
  remove(out.c_str());
  EXPECT_EQ(run_host("-i one -o " + shell_quote(out) + " " + shell_quote(in)), 0);
  EXPECT_EQ(run_host("-i two -o " + shell_quote(out) + " " + shell_quote(in)), 0);
  std::string first = file_head(in, "one") + report_tail({});
  first.resize(first.size() - std::string("</source>\n").size());
  EXPECT_EQ(read_file(out), "<source>\n" + first + file_head(in, "two") + report_tail({}));
}

TEST(Host, ExitStatuses) {
  EXPECT_EQ(run_host(shell_quote(tmp_path("no_such_input.sql"))), 2);
  std::string in = tmp_path("host_status.sql");
  write_file(in, "select 1\n");
  EXPECT_EQ(run_host("-o /nonexistent/dir/report.xml " + shell_quote(in)), 2);
  EXPECT_EQ(run_host("-z " + shell_quote(in)), 2);
  EXPECT_EQ(run_host("-t 1.1.0 -q -o " + shell_quote(tmp_path("host_status.xml")) + " " + shell_quote(in)), 0);
}

#else

TEST(Host, NotBuilt) { GTEST_SKIP() << "qen_host is not built"; }

#endif

}  // namespace

// The test host run as a process: batch splitting, exit statuses, report
// paths and identifiers, its command line in the forms getopt_long reads,
// and its messages.
#include <gtest/gtest.h>
#include <stdio.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "host_report_fixture.h"

using qen_test::file_head;
using qen_test::HostProcess;
using qen_test::read_file;
using qen_test::report_tail;
using qen_test::run_host;
using qen_test::run_host_process;
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

TEST(HostCommandLine, HelpExplainsEveryOptionOnStandardOutput) {
  HostProcess help = run_host_process("-h");
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.err, "");
  EXPECT_EQ(help.out.rfind("usage: qen_host [-t VERSION] [-q] [-e] [-i ID] [-o REPORT] [INPUT]\n", 0), 0u)
      << help.out;
  for (const char* option : {"\n  -t VERSION  ", "\n  -q  ", "\n  -e  ", "\n  -i ID  ", "\n  -o REPORT  ",
                             "\n  -h, --help  ", "\n  --version  "})
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
  EXPECT_NE(help.out.find("FILE:LINE: MESSAGE"), std::string::npos);
  EXPECT_NE(help.out.find("Exit status: 0 "), std::string::npos);
  HostProcess long_help = run_host_process("--help");
  EXPECT_EQ(long_help.status, 0);
  EXPECT_EQ(long_help.out, help.out);
  // Help wins over what follows it, not over what went before.
  EXPECT_EQ(run_host_process("-q -h -z").out, help.out);
  EXPECT_EQ(run_host_process("-z -h").status, 2);

  HostProcess version = run_host_process("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, std::string("qen_host ") + QEN_VERSION + "\n");
  EXPECT_EQ(version.err, "");
}

TEST(HostCommandLine, WrongCommandLinesAreNamedAndExitTwo) {
  std::string in = tmp_path("host_cli.sql");
  write_file(in, "select 1\n");
  std::string out = tmp_path("host_cli.xml");
  const std::string hint = "Try 'qen_host --help' for more information.\n";
  const std::string no_version = "' names no version: give MAJOR[.MINOR[.PATCH]] in decimal digits, such as 1.2.0";
  struct Case {
    std::string args;
    std::string message;
  } cases[] = {
      {"-x", "unknown option -x"},
      {"--verbose " + shell_quote(in), "unknown option --verbose"},
      {"-qx " + shell_quote(in), "unknown option -x"},
      {"-q: " + shell_quote(in), "unknown option -:"},
      {"--help=x", "unknown option --help=x"},
      {shell_quote(in) + " -qt", "option -t needs a value"},
      {shell_quote(in) + " b.sql", "one input at most: 'b.sql' follows '" + in + "'"},
      // A version that does not read to its end is refused, not analysed
      // against the part of it that could be read.
      {"-t 1.x " + shell_quote(in), "-t '1.x" + no_version},
      {"-t 1.2.3.4 " + shell_quote(in), "-t '1.2.3.4" + no_version},
  };
  for (const Case& c : cases) {
    remove(out.c_str());
    // The report option goes first: a missing value must stay the last word.
    HostProcess r = run_host_process("-o " + shell_quote(out) + " " + c.args);
    EXPECT_EQ(r.status, 2) << c.args;
    EXPECT_EQ(r.err, "qen_host: " + c.message + "\n" + hint) << c.args;
    EXPECT_EQ(r.out, "") << c.args;
    EXPECT_NE(access(out.c_str(), F_OK), 0) << c.args << ": a report was written";
  }
  // Every well-formed version is taken.
  for (const char* version : {"0", "1.2", "1.2.3", "99.0.1"})
    EXPECT_EQ(run_host(std::string("-t ") + version + " -o " + shell_quote(out) + " " + shell_quote(in)), 0)
        << version;
}

// Runs the host in a scratch folder that holds q.sql and -q.sql, so that
// the inputs are plain names. Both hold a syntax error and a quote: -e
// changes the report, and the run ends 1.
HostProcess run_in_options_folder(const std::string& args) {
  const std::string dir = tmp_path("host_options");
  std::filesystem::create_directories(dir);
  for (const char* name : {"/q.sql", "/-q.sql"}) write_file(dir + name, "select from 'a'\n");
  return run_host_process(args, "cd " + shell_quote(dir) + " &&");
}

TEST(HostCommandLine, EachShortFormRunsAsTheSpelledOutForm) {
  struct Case {
    const char* form;
    const char* spelled_out;
    int status;
  } cases[] = {
      {"-qe q.sql", "-q -e q.sql", 1},                      // bundled flags
      {"-eqt1.1 q.sql", "-e -q -t 1.1 q.sql", 1},           // a value attached after bundled flags
      {"-t1.x q.sql", "-t 1.x q.sql", 2},                   // an attached value is checked alike
      {"-iID q.sql", "-i ID q.sql", 1},                     // attached value
      {"q.sql -e", "-e q.sql", 1},                          // an option after the input
      {"-e - < q.sql", "-e < q.sql", 1},                    // "-" is standard input
      {"-e -- - < q.sql", "-e < q.sql", 1},                 // also after "--"
      {"--vers", "--version", 0},                           // a long option abbreviated
  };
  for (const Case& c : cases) {
    HostProcess form = run_in_options_folder(c.form);
    HostProcess spelled_out = run_in_options_folder(c.spelled_out);
    EXPECT_EQ(form.status, c.status) << c.form << "\n" << form.err;
    EXPECT_EQ(form.status, spelled_out.status) << c.form;
    EXPECT_EQ(form.out, spelled_out.out) << c.form;
    EXPECT_EQ(form.err, spelled_out.err) << c.form;
  }
}

TEST(HostCommandLine, DoubleDashEndsTheOptions) {
  HostProcess r = run_in_options_folder("-e -- -q.sql");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "-q.sql:1: Incorrect syntax near ''from''\n");  // -e doubles quotes here too
  EXPECT_NE(r.out.find("<name><![CDATA[-q.sql]]></name>"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("select from ''a''"), std::string::npos) << r.out;
}

TEST(HostMessages, SyntaxErrorsAlsoGoToStandardErrorInLineOrder) {
  struct Case {
    const char* name;
    std::string source;
    bool standard_input;
    std::vector<std::string> lines;  // what follows "FILE:", as compilers write a located message
  } cases[] = {
      {"host_stderr", "checkpoint )\nkill 1\ngo\nselect from\n", false,
       {"1: Incorrect syntax near ')'", "4: Incorrect syntax near 'from'"}},
      {"host_stderr_stdin", "select 1\ngo\nselect from\n", true, {"3: Incorrect syntax near 'from'"}},
  };
  for (const Case& c : cases) {
    std::string in = tmp_path(std::string(c.name) + ".sql");
    write_file(in, c.source);
    std::string out = tmp_path(std::string(c.name) + ".xml");
    remove(out.c_str());
    HostProcess r = run_host_process("-o " + shell_quote(out) + (c.standard_input ? " < " : " ") + shell_quote(in));
    EXPECT_EQ(r.status, 1) << c.name;
    std::string expected;
    for (const std::string& line : c.lines)
      expected += (c.standard_input ? std::string("<standard input>") : in) + ":" + line + "\n";
    EXPECT_EQ(r.err, expected) << c.name;
    // One line for each syntax error of the report.
    EXPECT_EQ(qen_test::count_of(read_file(out), "<syntax-error>"), (int)c.lines.size()) << c.name;
  }
}

#else

TEST(Host, NotBuilt) { GTEST_SKIP() << "qen_host is not built"; }

#endif

}  // namespace

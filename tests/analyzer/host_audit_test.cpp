// The test host started with its standard streams closed by the caller
// (<&-, >&-, 2>&-): no file of the run may take their numbers, so that the
// messages meant for a closed stream never land in a report, and a report
// is never taken for the input.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "host_report_fixture.h"
#include "qen_analyzer.h"

namespace {

#ifdef QEN_HOST_PATH

using qen_test::read_file;
using qen_test::shell_quote;
using qen_test::write_file;

// Replaces each {name} of text by its value.
std::string substitute(std::string text, const std::string& name, const std::string& value) {
  for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + value.size()))
    text.replace(at, name.size(), value);
  return text;
}

TEST(HostAudit, ClosedStandardStreamsLeaveTheReportAlone) {
  std::string dir = qen_test::fresh_folder("audit_closed");
  std::string input = dir + "/a.sql", report = dir + "/r.xml", err = dir + "/err";
  write_file(input, "select 1\ngo\n");
  ASSERT_EQ(qen_test::command_status(shell_quote(QEN_HOST_PATH) + " -o " + shell_quote(report) + " " +
                                     shell_quote(input) + " 2>/dev/null"),
            0);
  const std::string old_report = read_file(report);
  struct Case {
    const char* command;  // {host}, {report}, {input}, {dir}, {err}
    int status;
    std::string err;
  } cases[] = {
      // The read of the input fails while standard error is closed: its
      // message used to be written into the old report, through the lock's
      // descriptor that had taken number 2.
      {"{host} -o {report} < {dir} 2>&-", 2, ""},
      // Standard input closed: an input that cannot be read, not a report
      // that is the input.
      {"{host} -o {report} <&- 2>{err}", 2, "qen_host: Error reading '<standard input>': Bad file descriptor\n"},
      {"{host} -o {report} /dev/stdin <&- 2>{err}", 2, "qen_host: cannot read the input '/dev/stdin': Bad file descriptor\n"},
      {"{host} -o /dev/stdout {input} >&- 2>{err}", 2,
       "qen_host: cannot write the report '/dev/stdout': Bad file descriptor\n"},
      // Standard output closed: the report to standard output is lost, said
      // once (the host used to say it a second time in its own words).
      {"{host} {input} >&- 2>{err}", 2,
       "qen_host: Report '<standard output>' could not be written completely: Bad file descriptor\n"},
      // Standard output appended to the input: the report used to be read
      // back as input, the file growing until the disk was full.
      {"{host} {input} >>{input} 2>{err}", 2,
       "qen_host: cannot write the report to standard output: it is the input '{input_name}'\n"},
      {"{host} <{input} >>{input} 2>{err}", 2,
       "qen_host: cannot write the report to standard output: it is the input '<standard input>'\n"},
  };
  for (const Case& c : cases) {
    write_file(report, old_report);
    remove(err.c_str());
    std::string command = substitute(c.command, "{host}", shell_quote(QEN_HOST_PATH));
    command = substitute(command, "{report}", shell_quote(report));
    command = substitute(command, "{input}", shell_quote(input));
    command = substitute(command, "{dir}", shell_quote(dir));
    command = substitute(command, "{err}", shell_quote(err));
    EXPECT_EQ(qen_test::command_status(command), c.status) << c.command;
    EXPECT_EQ(read_file(err), substitute(c.err, "{input_name}", input)) << c.command;
    EXPECT_EQ(read_file(report), old_report) << c.command;
    EXPECT_EQ(read_file(input), "select 1\ngo\n") << c.command;
  }
  // A report that did not exist is not left behind.
  std::string fresh = dir + "/fresh.xml";
  EXPECT_EQ(qen_test::command_status(shell_quote(QEN_HOST_PATH) + " -o " + shell_quote(fresh) + " <&- 2>/dev/null"),
            2);
  EXPECT_EQ(qen_test::listing(dir), (std::set<std::string>{"a.sql", "err", "r.xml"}));
}

TEST(HostAudit, AReaderOfTheMessagesThatQuitsLeavesNoUnfinishedFile) {
  // Syntax-error lines into a pipe whose reader has gone: SIGPIPE used to
  // end the run with its unfinished file, and a report file it had made,
  // left behind.
  std::string dir = qen_test::fresh_folder("audit_sigpipe");
  std::string input = dir + "/a.sql", old_report = dir + "/old.xml";
  std::string source;
  for (int i = 0; i < 20000; ++i) source += "select from\ngo\n";
  write_file(input, source);
  write_file(old_report, "<source>\n</source>\n");
  // Whatever the test runner ignores, the host starts with SIGPIPE at its
  // default.
  signal(SIGPIPE, SIG_DFL);
  for (const std::string& report : {dir + "/new.xml", old_report}) {
    // The pipe's reader closes it at once; the status is the run's own.
    std::string command = "{ " + shell_quote(QEN_HOST_PATH) + " -o " + shell_quote(report) + " " +
                          shell_quote(input) + " 2>&1; echo $? > " + shell_quote(dir + "/status") + "; } | true";
    qen_test::command_status(command);
    EXPECT_EQ(read_file(dir + "/status"), "141\n") << report;
    remove((dir + "/status").c_str());
  }
  EXPECT_EQ(read_file(old_report), "<source>\n</source>\n");
  EXPECT_EQ(qen_test::listing(dir), (std::set<std::string>{"a.sql", "old.xml"}));
}

TEST(HostAudit, ALibraryHostWithStandardInputClosed) {
  // A host that does not hold its closed standard input: the report file
  // used to take descriptor 0 and be refused as "the input".
  std::string dir = qen_test::fresh_folder("audit_library_stdin");
  std::string report = dir + "/r.xml", err = dir + "/err";
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    close(STDIN_FILENO);
    if (freopen(err.c_str(), "w", stderr) == nullptr) _exit(3);
    file_state* fs = file_state_new("id", nullptr, report.c_str(), 0, 1);
    fflush(stderr);
    _exit(fs == nullptr ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(read_file(err), "Unable to open '<standard input>' for read: Bad file descriptor\n");
  EXPECT_EQ(qen_test::listing(dir), (std::set<std::string>{"err"}));
}

TEST(HostAudit, StandardOutputAsTheToolsBesideIt) {
  // "-o -" is standard output, as "-" is standard input: no file named "-".
  std::string dir = qen_test::fresh_folder("audit_dash");
  qen_test::HostProcess dash = qen_test::run_host_process("-o -", "cd " + shell_quote(dir) + " && echo 'select 1' |");
  qen_test::HostProcess plain = qen_test::run_host_process("", "echo 'select 1' |");
  EXPECT_EQ(dash.status, 0) << dash.err;
  EXPECT_EQ(dash.out, plain.out);
  EXPECT_TRUE(qen_test::listing(dir).empty());
}

TEST(HostAudit, EmptyNamesAndStreamsThatTakeNothingAreSaid) {
  struct Case {
    const char* args;  // standard error and output both come back
    std::string said;
  } cases[] = {
      // An unset variable of a script ("$F") used to read standard input or
      // write the report to standard output.
      {"'' 2>&1", "qen_host: cannot read the input '': No such file or directory\n"},
      {"-o '' - 2>&1", "qen_host: cannot write the report '': No such file or directory\n"},
      {"--help 2>&1 >/dev/full", "qen_host: cannot write the help to standard output: No space left on device\n"},
      {"--version 2>&1 >/dev/full", "qen_host: cannot write the version to standard output: No space left on device\n"},
  };
  for (const Case& c : cases) {
    qen_test::ProcessResult r = qen_test::run_command("echo 'select 1' | " + shell_quote(QEN_HOST_PATH) + " " + c.args);
    EXPECT_EQ(r.status, 2) << c.args;
    EXPECT_EQ(r.output, c.said) << c.args;
  }
}

#endif

}  // namespace

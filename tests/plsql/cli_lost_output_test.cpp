// vestrake with standard output on a full device: whatever the source held,
// the run ends with 255 and says so, so that a lost output never passes for
// a clean run or a plain syntax-error run.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "shell_command.h"

namespace {

TEST(VestrakeLostOutput, AnOutputLostFailsTheRunWith255) {
  if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
  const std::string lost = "ERROR: Can't write standard output\n";
  struct Case {
    const char* args;
    int status_written;    // the run with its output written
    int status_full;       // the run with standard output on /dev/full
    std::string err_full;  // and its standard error
  } cases[] = {
      // The echo of -v is lost.
      {"-v -s 'BEGIN NULL; END;'", 0, 255, lost},
      // "VESTRAKE: UNABLE TO PARSE" is lost: not a plain syntax-error run.
      {"-s BEGIN", 5, 255, "<string>:2: syntax error at the end of the input: unexpected end of input\n" + lost},
      // Nothing goes to standard output, so nothing is lost.
      {"-s 'BEGIN x END;'", 5, 5, "<string>:1: syntax error near 'END': unexpected END, expecting '(' or ';'\n"},
  };
  for (const Case& c : cases) {
    std::string command = qen_test::shell_quote(VESTRAKE_PATH) + " " + c.args;
    EXPECT_EQ(qen_test::run_command(command + " 2>/dev/null >/dev/null").status, c.status_written) << c.args;
    // Standard error into the pipe, standard output onto the full device.
    qen_test::ProcessResult full = qen_test::run_command(command + " 2>&1 >/dev/full");
    EXPECT_EQ(full.status, c.status_full) << c.args;
    EXPECT_EQ(full.output, c.err_full) << c.args;
  }
}

}  // namespace

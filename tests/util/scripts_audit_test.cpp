// scripts/bench.sh refuses a command line it cannot use before any work,
// with what is wrong and the usage, and answers -h as the tools beside it.
#include <gtest/gtest.h>

#include <string>

#include "shell_command.h"

namespace {

TEST(ScriptsAudit, BenchRefusesWhatItCannotUse) {
  const std::string bench = std::string(QEN_SOURCE_DIR) + "/scripts/bench.sh";
  const std::string usage = "usage: " + bench + " [-c CORPUS] [-k DIR] [-s MB] [-n PAIRS] [-P N] [-b OLD_BUILD] [BUILD_DIR]\n";
  struct Case {
    const char* args;
    int status;
    std::string output;  // standard output, then standard error
  } cases[] = {
      // These used to fail in the middle of the script ("abc: unbound
      // variable", "cd: ...: No such file or directory", status 1).
      {"-s abc", 2, "bench: -s takes a whole number of megabytes above 0, not 'abc'\n" + usage},
      {"-n 0", 2, "bench: -n takes a whole number of pairs above 0, not '0'\n" + usage},
      {"-n abc", 2, "bench: -n takes a whole number of pairs above 0, not 'abc'\n" + usage},
      {"-P 0", 2, "bench: -P takes a whole number of processes above 0, not '0'\n" + usage},
      {"/nonexistent/build", 2, "bench: no build folder at /nonexistent/build\n" + usage},
      // "." (the test's working folder) stands for a build folder that exists,
      // which a clean clone has not built yet.
      {"-b /nonexistent/old .", 2, "bench: no build folder at /nonexistent/old\n" + usage},
      {"a b", 2, "bench: one build folder at most\n" + usage},
      // The usage asked for goes to standard output, with status 0.
      {"-h", 0, usage},
  };
  for (const Case& c : cases) {
    qen_test::ProcessResult r =
        qen_test::run_command(qen_test::shell_quote(bench) + " " + c.args + " 2>&1 </dev/null");
    EXPECT_EQ(r.status, c.status) << c.args;
    EXPECT_EQ(r.output, c.output) << c.args;
  }
}

}  // namespace

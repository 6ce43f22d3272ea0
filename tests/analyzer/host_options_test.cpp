// qen_host's command line in the forms getopt_long reads: each short form
// runs exactly as the spelled-out form does.
#include <gtest/gtest.h>

#include <string>

#include "host_report_fixture.h"

#ifdef QEN_HOST_PATH

namespace {

using qen_test::HostProcess;
using qen_test::run_host_process;
using qen_test::shell_quote;
using qen_test::tmp_path;
using qen_test::write_file;

class HostOptions : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = tmp_path("host_options");
    std::filesystem::create_directories(dir_);
    // A syntax error and a quote: -e changes the report, and the run ends 1.
    write_file(dir_ + "/q.sql", "select from 'a'\n");
    write_file(dir_ + "/-q.sql", "select from 'a'\n");
  }
  // Runs the host in the scratch folder, so that the inputs are plain names.
  HostProcess run(const std::string& args) { return run_host_process(args, "cd " + shell_quote(dir_) + " &&"); }
  std::string dir_;
};

TEST_F(HostOptions, EachFormRunsAsTheSpelledOutForm) {
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
    HostProcess form = run(c.form);
    HostProcess spelled_out = run(c.spelled_out);
    EXPECT_EQ(form.status, c.status) << c.form << "\n" << form.err;
    EXPECT_EQ(form.status, spelled_out.status) << c.form;
    EXPECT_EQ(form.out, spelled_out.out) << c.form;
    EXPECT_EQ(form.err, spelled_out.err) << c.form;
  }
}

TEST_F(HostOptions, DoubleDashEndsTheOptions) {
  HostProcess r = run("-e -- -q.sql");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "qen_host: -q.sql:1: Incorrect syntax near ''from''\n");  // -e doubles quotes here too
  EXPECT_NE(r.out.find("<name><![CDATA[-q.sql]]></name>"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("select from ''a''"), std::string::npos) << r.out;
}

}  // namespace

#endif

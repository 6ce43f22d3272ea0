// How vestrake reads its source (-i): any readable file up to its end, pipes
// included; a read that fails ends the run with the system's reason and
// leaves the dump as it was; a dump that would replace its own source is
// refused before anything is written.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "scratch_dir.h"
#include "shell_command.h"


namespace {

using qen_test::read_file;
using qen_test::shell_quote;

const char kSource[] = "BEGIN\n  x := 1;\nEND;\n";
const char kOldDump[] = "<old dump/>\n";

class SourceRead : public ScratchDirTest {
 protected:
  void SetUp() override { write(source_, kSource); }

  // vestrake through the shell, standard error after standard output.
  qen_test::ProcessResult run(const std::string& command) {
    return qen_test::run_command("cd " + shell_quote(dir_) + " && " + command + " 2>&1");
  }
  std::string vestrake() const { return shell_quote(VESTRAKE_PATH); }

  // The dump of kSource read from its file, for comparison.
  std::string expectedDump() {
    qen_test::ProcessResult r = run(vestrake() + " -i a.pls -a expected.xml");
    EXPECT_EQ(r.status, 0) << r.output;
    return read_file(dir_ + "/expected.xml");
  }

  const std::string source_ = dir_ + "/a.pls", dump_ = dir_ + "/d.xml";
};

TEST_F(SourceRead, PipesAndDevicesAreReadToTheirEnd) {
  const std::string expected = expectedDump();
  std::string big = "BEGIN\n";
  for (int i = 0; i < 20000; ++i) big += "  x := 1;\n";
  big += "END;\n";
  write(dir_ + "/big.pls", big);
  ASSERT_EQ(mkfifo((dir_ + "/fifo").c_str(), 0600), 0);
  const struct {
    const char* name;
    std::string command;
  } rows[] = {
      {"pipe", "cat a.pls | " + vestrake() + " -i /dev/stdin -a d.xml"},
      {"redirection", vestrake() + " -i /dev/stdin -a d.xml < a.pls"},
      {"named FIFO with a writer", "(cat a.pls > fifo &) ; sleep 0.2; " + vestrake() + " -i fifo -a d.xml"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::remove(dump_.c_str());
    qen_test::ProcessResult r = run(row.command);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.output, "");
    EXPECT_EQ(read_file(dump_), expected);
  }
  // More than one read's worth through a pipe: all of it arrives.
  qen_test::ProcessResult r = run(vestrake() + " -i big.pls -a big.xml");
  EXPECT_EQ(r.status, 0) << r.output.substr(0, 500);
  r = run("cat big.pls | " + vestrake() + " -i /dev/stdin -a d.xml");
  EXPECT_EQ(r.status, 0) << r.output.substr(0, 500);
  EXPECT_GT(read_file(dump_).size(), 1000000u);
  EXPECT_EQ(read_file(dump_), read_file(dir_ + "/big.xml"));
  // A device that never ends stops at its first NUL byte.
  r = run("timeout 20 " + vestrake() + " -i /dev/zero -a d.xml");
  EXPECT_EQ(r.status, 255);
  EXPECT_EQ(r.output, "ERROR: NUL byte at line 1 of read file: /dev/zero\n");
}

TEST_F(SourceRead, AFailedReadEndsTheRunAndKeepsTheDump) {
  const struct {
    const char* name;
    std::string prefix;
    std::string input;
  } rows[] = {
      {"/proc/self/mem", "", "/proc/self/mem"},
      // The file's first 10 bytes arrive, then the disk fails.
      {"EIO midway", qen_test::with_faults("READ_FAILS_PATH=" + shell_quote(source_) + " READ_FAILS_AFTER=10"),
       source_},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    write(dump_, kOldDump);
    qen_test::ProcessResult r = run(row.prefix + vestrake() + " -i " + shell_quote(row.input) + " -a d.xml");
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.output, "ERROR: Can't read file: " + row.input + ": Input/output error\n");
    EXPECT_EQ(read_file(dump_), kOldDump);
    EXPECT_EQ(read_file(source_), kSource);
  }
}

TEST_F(SourceRead, ADumpOverItsOwnSourceIsRefusedBeforeAnythingIsWritten) {
  ASSERT_EQ(symlink("a.pls", (dir_ + "/link.pls").c_str()), 0);
  ASSERT_EQ(link(source_.c_str(), (dir_ + "/hard.pls").c_str()), 0);
  const struct {
    std::string input;
    std::string dump;
  } rows[] = {
      {"a.pls", "a.pls"},
      {"a.pls", "link.pls"},
      {"a.pls", "hard.pls"},
      {"/dev/stdin < a.pls", "a.pls"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.input + " " + row.dump);
    qen_test::ProcessResult r = run(vestrake() + " -a " + row.dump + " -i " + row.input);
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.output, "ERROR: Dump file is the read file: " + row.dump + "\n");
    EXPECT_EQ(read_file(source_), kSource);
    EXPECT_EQ(entries(), (std::vector<std::string>{"a.pls", "hard.pls", "link.pls"}));
  }
}

}  // namespace

// `vestrake -a` and its unfinished file: a run that is process 1 of its PID
// namespace still ends as its signal asks, the unfinished files of killed
// runs go with the next dump, and names up to the longest legal one get an
// unfinished file beside them.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "scratch_dir.h"
#include "shell_command.h"
#include "vst_subprocess.h"

namespace fs = std::filesystem;

namespace {

class DumpFaults : public ScratchDirTest {
 protected:
  void SetUp() override {
    ScratchDirTest::SetUp();
    out_ = dir_ + "/dump.xml";
  }

  std::string out_;
};

// Standard output is a pipe of one page that is read only after the
// signal, so the dump's progress lines hold the run inside the dump.
TEST_F(DumpFaults, ProcessOneEndsWithTheStatusOfItsSignal) {
  if (qen_test::command_status("unshare --pid --fork true > /dev/null 2>&1") != 0)
    GTEST_SKIP() << "needs unshare --pid (root or user namespaces)";
  std::string source = "BEGIN\n";
  for (int i = 0; i < 120000; ++i) source += "  x := 1;\n";
  write("in.pls", source + "END;\n");
  write("dump.xml", "<old/>\n");
  int out = -1;
  pid_t pid = startWithPagedOutput({"unshare", "--pid", "--fork", VESTRAKE_PATH, "-i", dir_ + "/in.pls", "-a", out_},
                                   SIGTERM, &out);
  ASSERT_GT(pid, 0);
  const std::string children = "/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/children";
  pid_t run = 0;
  EXPECT_TRUE(eventually([&] { return (run = std::atoi(qen_test::read_file(children).c_str())) > 0; }));
  EXPECT_TRUE(eventually([&] { return entries().size() == 3; }));  // its .part file
  if (run > 0) kill(run, SIGTERM);
  int status = drainAndWait(out, pid);
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
  EXPECT_EQ(code, 128 + SIGTERM);
  EXPECT_EQ(qen_test::read_file(out_), "<old/>\n");
  EXPECT_EQ(entries(), (std::vector<std::string>{"dump.xml", "in.pls"}));
}

TEST_F(DumpFaults, TheNextDumpRemovesTheFilesOfKilledRuns) {
  pid_t ended = fork();
  if (ended == 0) _exit(0);
  ASSERT_EQ(waitpid(ended, nullptr, 0), ended);
  const std::string dead = std::to_string(ended), live = std::to_string(getpid());
  for (const std::string& name : {"dump.xml." + dead + ".0.part", "dump.xml." + live + ".0.part",
                                  "dump.xml." + dead + ".1.partial", "other.xml." + dead + ".0.part"})
    write(name, "x");
  ProcessResult run = runProcess(VESTRAKE_PATH, {"-s", "BEGIN NULL; END;", "-a", out_});
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  std::vector<std::string> kept = {"dump.xml", "dump.xml." + dead + ".1.partial", "dump.xml." + live + ".0.part",
                                   "other.xml." + dead + ".0.part"};
  std::sort(kept.begin(), kept.end());
  EXPECT_EQ(entries(), kept);
}

TEST_F(DumpFaults, LongNamesGetAnUnfinishedFileThatFits) {
  for (size_t length : {243u, 255u}) {
    const std::string name = std::string(length - 4, 'd') + ".xml";
    for (int pass = 0; pass < 2; ++pass) {
      ProcessResult run = runProcess(VESTRAKE_PATH, {"-s", "BEGIN NULL; END;", "-a", dir_ + "/" + name});
      EXPECT_EQ(run.status, 0) << length << run.out << run.err;
    }
    EXPECT_EQ(entries(), std::vector<std::string>{name}) << length;
    fs::remove(dir_ + "/" + name);
  }
}

}  // namespace

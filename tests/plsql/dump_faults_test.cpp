// `vestrake -a` and its unfinished file: a run that is process 1 of its PID
// namespace still ends as its signal asks, the unfinished files of killed
// runs go with the next dump and those of live runs in other PID namespaces
// stay, and names up to the longest legal one get an unfinished file beside
// them.
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
  // The shell's words that start vestrake with the fault library and vars.
  static std::string withFaults(const std::string& vars) {
    return qen_test::with_faults(vars) + qen_test::shell_quote(VESTRAKE_PATH);
  }

  const std::string out_ = dir_ + "/dump.xml";
};

// Standard output is a pipe of one page that is read only after the
// signal, so the dump's progress lines hold the run inside the dump.
TEST_F(DumpFaults, ProcessOneEndsWithTheStatusOfItsSignal) {
  if (!qen_test::works("unshare --pid --fork true")) GTEST_SKIP() << "needs unshare --pid (root or user namespaces)";
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
  EXPECT_TRUE(qen_test::eventually([&] { return (run = std::atoi(qen_test::read_file(children).c_str())) > 0; }));
  EXPECT_TRUE(qen_test::eventually([&] { return entries().size() == 3; }));  // its .part file
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
  const std::string deadPart = "dump.xml." + dead + ".0.part";
  for (const std::string& name :
       {deadPart, "dump.xml." + live + ".0.part", "dump.xml." + dead + ".1.partial", "other.xml." + dead + ".0.part"})
    write(name, "x");
  std::vector<std::string> kept = entries();
  kept.push_back("dump.xml");
  std::sort(kept.begin(), kept.end());
  // Where locks cannot be tested, a process number alone condemns no file.
  const struct {
    const char* faults;
    bool deadPartKept;
  } runs[] = {{"QEN_FAULT_CALL=flock QEN_FAULT_ERRNO=37 QEN_FAULT_PATH=/", true}, {"", false}};
  for (const auto& r : runs) {
    qen_test::ProcessResult run =
        qen_test::run_command(withFaults(r.faults) + " -s 'BEGIN NULL; END;' -a " + qen_test::shell_quote(out_) + " 2>&1");
    EXPECT_EQ(run.status, 0) << r.faults << run.output;
    if (!r.deadPartKept) kept.erase(std::find(kept.begin(), kept.end(), deadPart));
    EXPECT_EQ(entries(), kept) << r.faults;
  }
}

// A live run in another PID namespace (containers that share a folder): its
// process number means nothing here, so its unfinished file must be locked
// from the moment it exists until its rename. The run is held at the call
// that used to leave it unlocked while a run in a namespace of its own
// dumps to the same file; both end well, and the held run's document,
// renamed last, is the one that stays.
TEST_F(DumpFaults, ALiveRunInAnotherPidNamespaceKeepsItsUnfinishedFile) {
  if (!qen_test::works("unshare --pid --fork true")) GTEST_SKIP() << "needs unshare --pid (root or user namespaces)";
  const std::string mark = qen_test::shell_quote(dir_ + ".mark"), out = qen_test::shell_quote(out_);
  for (const char* call : {"flock", "rename"}) {
    std::string held = withFaults(std::string("HOLD_CALL=") + call + " HOLD_MARK=" + mark) +
                       " -s 'BEGIN NULL; END;' -a " + out + " & a=$!; " +
                       "until [ -e " + mark + " ] || ! kill -0 $a 2>/dev/null; do sleep 0.01; done; " +
                       "unshare --pid --fork " + qen_test::shell_quote(VESTRAKE_PATH) + " -s 'BEGIN x := 1; END;' -a " +
                       out + "; echo other $?; rm -f " + mark + "; wait $a; echo held $?";
    qen_test::ProcessResult run = qen_test::run_command("{ " + held + "; } 2>&1");
    EXPECT_EQ(run.output, "other 0\nheld 0\n") << call;
    EXPECT_NE(qen_test::read_file(out_).find("<node type=\"null\""), std::string::npos) << call;
    EXPECT_EQ(entries(), std::vector<std::string>{"dump.xml"}) << call;
  }
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

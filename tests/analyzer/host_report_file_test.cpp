// The test host's report file as a process sees it: runs that extend one
// report at once, symbolic links, other users' reports, signals and small
// stacks.
// Whatever happens, a report is either completed or left as it was, and no
// file of an unfinished run stays behind.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "host_report_fixture.h"

extern char** environ;

namespace {

#ifdef QEN_HOST_PATH

namespace fs = std::filesystem;
using qen_test::count_of;
using qen_test::eventually;
using qen_test::file_head;
using qen_test::fresh_folder;
using qen_test::listing;
using qen_test::read_file;
using qen_test::report_tail;
using qen_test::run_host_process;
using qen_test::shell_quote;
using qen_test::tmp_path;
using qen_test::write_file;

bool has_part_file(const std::string& dir) {
  for (const fs::directory_entry& e : fs::directory_iterator(dir))
    if (e.path().extension() == ".part") return true;
  return false;
}

// Starts qen_host with the arguments, its standard output discarded and
// its standard error into err, the end signals at their defaults.
pid_t start_host(const std::vector<std::string>& args, const std::string& err) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(QEN_HOST_PATH));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t defaults, none;
  sigemptyset(&defaults);
  sigemptyset(&none);
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&defaults, sig);
  posix_spawnattr_setsigdefault(&attr, &defaults);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  pid_t pid = -1;
  if (posix_spawn(&pid, QEN_HOST_PATH, &actions, &attr, argv.data(), environ) != 0) pid = -1;
  posix_spawnattr_destroy(&attr);
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// Waits for a started host: its exit status, or 128 + the signal that
// ended it.
int wait_host(pid_t pid) {
  int st = 0;
  if (waitpid(pid, &st, 0) != pid) return -1;
  return WIFEXITED(st) ? WEXITSTATUS(st) : WIFSIGNALED(st) ? 128 + WTERMSIG(st) : -1;
}

TEST(HostReportFile, RunsExtendingOneReportAtOnceAllLand) {
  const std::string dir = fresh_folder("report_concurrent");
  const std::string in = dir + "/in.sql", out = dir + "/report.xml";
  write_file(in, "select 1\n");
  const int kRuns = 8;
  for (int round = 0; round < 2; ++round) {
    std::vector<pid_t> pids;
    for (int k = 0; k < kRuns; ++k)
      pids.push_back(start_host({"-i", "run" + std::to_string(round * kRuns + k), "-o", out, in},
                                dir + "/err" + std::to_string(k)));
    for (int k = 0; k < kRuns; ++k) {
      ASSERT_GT(pids[k], 0);
      EXPECT_EQ(wait_host(pids[k]), 0) << read_file(dir + "/err" + std::to_string(k));
    }
  }
  const std::string text = read_file(out);
  EXPECT_EQ(count_of(text, "<file>"), 2 * kRuns);
  for (int k = 0; k < 2 * kRuns; ++k)
    EXPECT_EQ(count_of(text, "<id><![CDATA[run" + std::to_string(k) + "]]></id>"), 1) << k;
  EXPECT_EQ(count_of(text, "<source>"), 1);
  EXPECT_FALSE(has_part_file(dir));
  if (qen_test::have_xmllint()) {
    EXPECT_EQ(qen_test::command_status("xmllint --noout " + shell_quote(out) + " 2> /dev/null"), 0);
  }
}

TEST(HostReportFile, DanglingLinksAreFollowedToTheFileTheyName) {
  const std::string dir = fresh_folder("report_links");
  const std::string in = dir + "/in.sql", link = dir + "/first", target = dir + "/sub/absolute.xml";
  write_file(in, "");
  fs::create_directory(dir + "/sub");
  // A relative link to a link that gives an absolute path.
  ASSERT_EQ(symlink(target.c_str(), (dir + "/sub/second").c_str()), 0);
  ASSERT_EQ(symlink("sub/second", link.c_str()), 0);
  for (const char* id : {"one", "two"}) {
    qen_test::HostProcess r =
        run_host_process("-i " + std::string(id) + " -o " + shell_quote(link) + " " + shell_quote(in));
    EXPECT_EQ(r.status, 0) << r.err;
  }
  EXPECT_TRUE(fs::is_symlink(link));
  std::string first = file_head(in, "one") + report_tail({});
  first.resize(first.size() - std::string("</source>\n").size());
  EXPECT_EQ(read_file(target), "<source>\n" + first + file_head(in, "two") + report_tail({}));
  EXPECT_FALSE(has_part_file(dir) || has_part_file(dir + "/sub"));
}

TEST(HostReportFile, AnotherUsersReportKeepsItsOwnerGroupAndMode) {
  if (geteuid() != 0) GTEST_SKIP() << "only root extends another user's report";
  const std::string dir = fresh_folder("report_owner");
  const std::string in = dir + "/in.sql", out = dir + "/report.xml";
  write_file(in, "select 1\n");
  ASSERT_EQ(run_host_process("-i one -o " + shell_quote(out) + " " + shell_quote(in)).status, 0);
  ASSERT_EQ(chown(out.c_str(), 65534, 65534), 0);
  ASSERT_EQ(chmod(out.c_str(), 0640), 0);
  ASSERT_EQ(run_host_process("-i two -o " + shell_quote(out) + " " + shell_quote(in)).status, 0);
  struct stat st;
  ASSERT_EQ(stat(out.c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, 65534u);
  EXPECT_EQ(st.st_gid, 65534u);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(count_of(read_file(out), "<file>"), 2);
}

TEST(HostReportFile, EndSignalsRemoveTheUnfinishedFiles) {
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    for (bool existing : {true, false}) {
      const std::string name = std::string("report_signal_") + std::to_string(sig) + (existing ? "_old" : "_new");
      const std::string dir = fresh_folder(name);
      const std::string out = dir + "/report.xml", fifo = dir + "/in.fifo", seed = dir + "/seed.sql";
      if (existing) {
        write_file(seed, "select 1\n");
        ASSERT_EQ(run_host_process("-o " + shell_quote(out) + " " + shell_quote(seed)).status, 0);
        fs::remove(seed);
      }
      const std::string before = existing ? read_file(out) : "";
      ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
      // The input comes through a FIFO: the run waits for its next line
      // with its report begun, until the signal comes.
      pid_t pid = start_host({"-o", out, fifo}, tmp_path(name + ".err"));
      ASSERT_GT(pid, 0);
      int writer = -1;
      ASSERT_TRUE(eventually([&] { return (writer = open(fifo.c_str(), O_WRONLY | O_NONBLOCK)) >= 0; }));
      ASSERT_EQ(write(writer, "kill 1\ngo\nselect 1\n", 19), 19);
      EXPECT_TRUE(eventually([&] { return has_part_file(dir); })) << name;
      kill(pid, sig);
      EXPECT_EQ(wait_host(pid), 128 + sig) << name;
      close(writer);
      std::set<std::string> left = {"in.fifo"};
      if (existing) left.insert("report.xml");
      EXPECT_EQ(listing(dir), left) << name;
      EXPECT_EQ(existing ? read_file(out) : "", before) << name;
    }
  }
}

TEST(HostReportFile, SmallStackExtendsALargeReport) {
  if (!qen_test::works("prlimit --version")) GTEST_SKIP() << "needs prlimit";
  const std::string dir = fresh_folder("report_small_stack");
  const std::string in = dir + "/in.sql", out = dir + "/report.xml";
  std::string source;
  for (int i = 0; i < 300; ++i) source += "if 1 = 1 begin\n";
  source += "kill 1\n";
  for (int i = 0; i < 300; ++i) source += "end\n";
  write_file(in, source);
  // The old report is copied before the new text and the blanks after it
  // behind; both copies are larger than the stack.
  const std::string old = "<source>\n" + std::string(1 << 20, 'x') + "</source>\n" + std::string(300000, ' ');
  write_file(out, old);
  qen_test::HostProcess r =
      run_host_process("-i small -o " + shell_quote(out) + " " + shell_quote(in), "prlimit --stack=65536");
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string text = read_file(out);
  const size_t head = old.find("</source>");
  EXPECT_EQ(text.substr(0, head), old.substr(0, head));
  EXPECT_EQ(count_of(text, "<feature>"), 1);
  EXPECT_EQ(text.size(), old.size());
}

#else

TEST(HostReportFile, NotBuilt) { GTEST_SKIP() << "qen_host is not built"; }

#endif

}  // namespace

// The test host's report file as processes see it: runs that extend one
// report at once, reports locked in opposite orders, a report that is the
// input, files that are not whole reports, refusals and their reasons,
// links, long names, other users' reports, end signals (also to process 1),
// small stacks, and the unfinished files of runs that were killed. An
// existing report is either completed or left byte for byte as it was, and
// no file of an unfinished run stays behind.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "host_report_fixture.h"
#include "qen_analyzer.h"

extern char** environ;

namespace {

#ifdef QEN_HOST_PATH

namespace fs = std::filesystem;
using qen_test::count_of;
using qen_test::eventually;
using qen_test::file_head;
using qen_test::fresh_folder;
using qen_test::HostProcess;
using qen_test::listing;
using qen_test::read_file;
using qen_test::report_tail;
using qen_test::run_host_process;
using qen_test::Scene;
using qen_test::shell_quote;
using qen_test::tmp_path;
using qen_test::works;
using qen_test::write_file;

// Leak checks do not work under ptrace.
const char kStrace[] = "ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 strace -f -o /dev/null ";

// The preloaded fault library failing call with error on paths holding
// text.
std::string fault(const std::string& call, int error, const std::string& text) {
  return qen_test::with_faults("QEN_FAULT_CALL=" + call + " QEN_FAULT_ERRNO=" + std::to_string(error) +
                               " QEN_FAULT_PATH=" + shell_quote(text));
}

bool has_part_file(const std::string& dir) {
  for (const fs::directory_entry& e : fs::directory_iterator(dir))
    if (e.path().extension() == ".part") return true;
  return false;
}

// Starts the program of argv[0] (qen_host when it is empty) with the
// arguments, its standard output discarded and its standard error into err,
// the end signals at their defaults.
pid_t start_host(std::vector<std::string> args, const std::string& err) {
  if (args[0].empty()) args[0] = QEN_HOST_PATH;
  std::vector<char*> argv;
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
  if (posix_spawnp(&pid, argv[0], &actions, &attr, argv.data(), environ) != 0) pid = -1;
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

TEST(ReportFaults, OnlyEmptyFilesAndWholeReportsAreExtended) {
  Scene s("faults_not_a_report");
  const std::string refused[] = {
      s.before.substr(0, s.before.size() / 2),  // cut short
      "<?xml version=\"1.0\"?>\n<dump/>\n",      // other XML
      s.before + "<!-- kept -->\n",              // something after the root
      " <?xml version=\"1.0\"?>\n" + s.before,    // a declaration that is not first
  };
  for (const std::string& old : refused) {
    write_file(s.out, old);
    HostProcess r = s.run(shell_quote(s.in));
    EXPECT_EQ(r.status, 2) << old;
    EXPECT_EQ(r.err, "qen_host: Cannot open '" + s.out +
                         "' for write: it is not empty and not a report (<source> ... </source>)\n")
        << old;
    EXPECT_EQ(read_file(s.out), old);
  }
  EXPECT_EQ(listing(s.dir), (std::set<std::string>{"in.sql", "report.xml"}));
  // What editors and XML tools put before the head stays in front of it.
  const std::string declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n", mark = "\xEF\xBB\xBF";
  std::vector<std::string> extended = {"", s.before + "\n \t\n", mark + s.before, declaration + s.before,
                                       mark + declaration + s.before};
  if (qen_test::works("xmllint --version")) {
    // Re-indented with tabs, which puts its own declaration first.
    write_file(s.out, s.before);
    extended.push_back(qen_test::run_command("XMLLINT_INDENT='\t' xmllint --format " + shell_quote(s.out)).output);
  }
  for (const std::string& old : extended) {
    write_file(s.out, old);
    EXPECT_EQ(s.run(shell_quote(s.in)).status, 0) << old;
    const std::string text = read_file(s.out);
    EXPECT_EQ(count_of(text, "<source>"), 1) << old;
    EXPECT_EQ(count_of(text, "<file>"), old.empty() ? 1 : 2) << old;
    const size_t head = std::min(old.find("<source>"), old.size());
    EXPECT_EQ(text.substr(0, head), old.substr(0, head)) << old;
    if (qen_test::works("xmllint --version")) {
      EXPECT_EQ(qen_test::command_status("xmllint --noout " + shell_quote(s.out)), 0) << text;
    }
  }
}

const char kDeadlock[] = "' for write: its holder waits for a report that this run holds: Resource deadlock avoided\n";

TEST(ReportFaults, ThreadsLockingReportsInOppositeOrdersNeverWaitForever) {
  const std::string dir = fresh_folder("faults_threads_order");
  const std::string a = dir + "/a.xml", b = dir + "/b.xml";
  std::atomic<int> holding{0};
  file_state* second[2] = {nullptr, nullptr};
  auto thread = [&](int k, const std::string& first_path, const std::string& second_path) {
    file_state* first = file_state_new("first", nullptr, first_path.c_str(), 0, 1);
    ASSERT_NE(first, nullptr);
    ++holding;
    while (holding.load() < 2) std::this_thread::yield();
    second[k] = file_state_new("second", nullptr, second_path.c_str(), 0, 1);
    // The refused thread lets the other go on.
    if (second[k] != nullptr) file_state_free(second[k]);
    file_state_free(first);
  };
  testing::internal::CaptureStderr();
  std::thread one(thread, 0, a, b), two(thread, 1, b, a);
  one.join();
  two.join();
  const std::string err = testing::internal::GetCapturedStderr();
  ASSERT_TRUE((second[0] == nullptr) != (second[1] == nullptr));
  const std::string refused = second[0] == nullptr ? b : a;
  EXPECT_EQ(err, "Cannot open '" + refused + kDeadlock);
  EXPECT_EQ(count_of(read_file(refused), "<file>"), 1);
  EXPECT_EQ(count_of(read_file(refused == a ? b : a), "<file>"), 2);
}

// Processes whose threads open and close reports on command: each thread
// reads two bytes from its own pipe, 'o' and the index of a path (opens
// that report) or 'c' (closes all it holds), and answers 'y' opened, 'n'
// refused or 'c' closed. Process k's standard error goes into errk.
struct LockingProcesses {
  struct Pipes {
    int command[2] = {-1, -1}, answer[2] = {-1, -1};
  };
  int threads;
  std::vector<Pipes> pipes;
  std::vector<pid_t> pids;

  LockingProcesses(const std::string& dir, const std::vector<std::string>& paths, int processes, int threads_each)
      : threads(threads_each), pipes(processes * threads_each) {
    for (Pipes& k : pipes)
      if (pipe(k.command) != 0 || pipe(k.answer) != 0) return;
    for (int p = 0; p < processes; ++p) {
      pids.push_back(fork());
      if (pids.back() != 0) continue;
      alarm(60);  // a wait that never ends fails the case
      dup2(open((dir + "/err" + std::to_string(p)).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
      std::vector<std::thread> workers;
      for (int t = 0; t < threads; ++t) workers.emplace_back(serve, pipes[p * threads + t], std::cref(paths));
      for (std::thread& w : workers) w.join();
      _exit(0);
    }
  }
  // Their threads may be waiting still: they end at once.
  ~LockingProcesses() {
    for (pid_t pid : pids) {
      if (pid > 0 && kill(pid, SIGKILL) == 0) waitpid(pid, nullptr, 0);
    }
    for (Pipes& k : pipes)
      for (int fd : {k.command[0], k.command[1], k.answer[0], k.answer[1]}) close(fd);
  }
  bool started() const {
    return pids.size() * threads == pipes.size() && std::count_if(pids.begin(), pids.end(), [](pid_t p) { return p <= 0; }) == 0;
  }
  void send(int process, int thread, char command, int path) {
    const char bytes[2] = {command, (char)path};
    if (write(pipes[process * threads + thread].command[1], bytes, 2) != 2) ADD_FAILURE() << "command not sent";
  }
  // The thread's answer, or 0 when none came within ms milliseconds.
  char answer(int process, int thread, int ms) {
    pollfd p = {pipes[process * threads + thread].answer[0], POLLIN, 0};
    char c = 0;
    return poll(&p, 1, ms) == 1 && read(p.fd, &c, 1) == 1 ? c : 0;
  }
  static void serve(Pipes k, const std::vector<std::string>& paths) {
    std::vector<file_state*> held;
    char command[2], reply;
    while (read(k.command[0], command, 2) == 2) {
      if (command[0] == 'o') {
        file_state* fs = file_state_new("t", nullptr, paths[(size_t)command[1]].c_str(), 0, 1);
        if (fs != nullptr) held.push_back(fs);
        reply = fs != nullptr ? 'y' : 'n';
      } else {
        for (auto it = held.rbegin(); it != held.rend(); ++it) file_state_free(*it);
        held.clear();
        reply = 'c';
      }
      if (write(k.answer[1], &reply, 1) != 1) break;
    }
  }
};

// Threads of several processes open reports in turn. A thread that holds
// no other report waits for its turn, whatever the others hold; a thread
// that would close a circle of waits is refused, also when another thread
// of a process in the circle waits as well.
TEST(ReportFaults, ProcessesLockingReportsWaitUnlessTheyCloseACircle) {
  enum { A, B, C, E };
  // command 'o' opens path, 'c' closes all, 'r' reads the answer of an
  // earlier wait; expect 'w' is no answer yet (the thread waits).
  struct Step {
    int process, thread;
    char command;
    int path;
    char expect;
  };
  struct Case {
    const char* name;
    int processes, threads;
    std::vector<Step> steps;
  } cases[] = {
      {"each thread holds one report, the processes take them in opposite orders", 2, 2,
       {{0, 0, 'o', A, 'y'}, {1, 0, 'o', B, 'y'}, {0, 1, 'o', B, 'w'}, {1, 1, 'o', A, 'w'},
        {0, 0, 'c', 0, 'c'}, {1, 1, 'r', 0, 'y'}, {1, 0, 'c', 0, 'c'}, {0, 1, 'r', 0, 'y'}}},
      {"a circle of two processes", 2, 1,
       {{0, 0, 'o', A, 'y'}, {1, 0, 'o', B, 'y'}, {0, 0, 'o', B, 'w'}, {1, 0, 'o', A, 'n'},
        {1, 0, 'c', 0, 'c'}, {0, 0, 'r', 0, 'y'}}},
      {"a circle through one of two threads of a process that wait", 3, 2,
       {{0, 0, 'o', A, 'y'}, {0, 1, 'o', B, 'y'}, {1, 0, 'o', C, 'y'}, {2, 0, 'o', E, 'y'},
        {0, 0, 'o', C, 'w'}, {0, 1, 'o', E, 'w'}, {1, 0, 'o', A, 'n'},
        {1, 0, 'c', 0, 'c'}, {0, 0, 'r', 0, 'y'}, {2, 0, 'c', 0, 'c'}, {0, 1, 'r', 0, 'y'}}},
  };
  for (const Case& c : cases) {
    const std::string dir = fresh_folder("faults_processes_order");
    const std::vector<std::string> paths = {dir + "/a.xml", dir + "/b.xml", dir + "/c.xml", dir + "/e.xml"};
    std::vector<int> opened(paths.size());
    std::vector<std::string> refusals(c.processes);
    std::vector<int> pending(c.processes * c.threads, -1);
    LockingProcesses run(dir, paths, c.processes, c.threads);
    ASSERT_TRUE(run.started()) << c.name;
    bool as_expected = true;
    for (size_t i = 0; i < c.steps.size() && as_expected; ++i) {
      const Step& s = c.steps[i];
      if (s.command != 'r') run.send(s.process, s.thread, s.command, s.path);
      int& path = pending[s.process * c.threads + s.thread];
      if (s.command == 'o') path = s.path;
      const char got = run.answer(s.process, s.thread, s.expect == 'w' ? 500 : 10000);
      as_expected = got == (s.expect == 'w' ? 0 : s.expect);
      EXPECT_TRUE(as_expected) << c.name << ": step " << i << " answered '" << (got ? got : '-') << "'";
      if (got == 'y') ++opened[path];
      if (got == 'n') refusals[s.process] += "Cannot open '" + paths[path] + kDeadlock;
    }
    if (!as_expected) continue;  // the processes are ended as they are
    for (int k = 0; k < c.processes * c.threads; ++k) {
      run.send(k / c.threads, k % c.threads, 'c', 0);
      EXPECT_EQ(run.answer(k / c.threads, k % c.threads, 10000), 'c') << c.name;
    }
    for (size_t k = 0; k < paths.size(); ++k) EXPECT_EQ(count_of(read_file(paths[k]), "<file>"), opened[k]) << c.name;
    for (int p = 0; p < c.processes; ++p) EXPECT_EQ(read_file(dir + "/err" + std::to_string(p)), refusals[p]) << c.name;
  }
}

TEST(ReportFaults, ProcessOneEndsWithTheStatusOfItsSignal) {
  if (!works("unshare --pid --fork true")) GTEST_SKIP() << "needs unshare --pid (root or user namespaces)";
  Scene s("faults_process_one");
  const std::string fifo = s.dir + "/in.fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  pid_t pid = start_host({"unshare", "--pid", "--fork", QEN_HOST_PATH, "-o", s.out, fifo}, "/dev/null");
  ASSERT_GT(pid, 0);
  int writer = -1;
  ASSERT_TRUE(eventually([&] { return (writer = open(fifo.c_str(), O_WRONLY | O_NONBLOCK)) >= 0; }));
  ASSERT_EQ(write(writer, "kill 1\n", 7), 7);
  // The host is the child of unshare, process 1 of its namespace.
  pid_t host = 0;
  const std::string children = "/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/children";
  ASSERT_TRUE(eventually([&] { return (host = atoi(read_file(children).c_str())) > 0; }));
  ASSERT_TRUE(eventually([&] { return listing(s.dir).size() == 4; }));  // its .part file
  kill(host, SIGTERM);
  EXPECT_EQ(wait_host(pid), 128 + SIGTERM);
  close(writer);
  EXPECT_EQ(read_file(s.out), s.before);
  EXPECT_EQ(listing(s.dir), (std::set<std::string>{"in.fifo", "in.sql", "report.xml"}));
}

TEST(ReportFaults, RefusalsNameTheFileAndTheReasonAndKeepTheReport) {
  Scene s("faults_reasons");
  const std::string in = shell_quote(s.in), out = "-o " + shell_quote(s.out) + " " + in;
  ASSERT_EQ(symlink("missing/report.xml", (s.dir + "/dangling").c_str()), 0);
  ASSERT_EQ(symlink("loop_b", (s.dir + "/loop_a").c_str()), 0);
  ASSERT_EQ(symlink("loop_a", (s.dir + "/loop_b").c_str()), 0);
  ASSERT_EQ(mkfifo((s.dir + "/fifo").c_str(), 0644), 0);
  ASSERT_EQ(symlink("in.sql", (s.dir + "/link.sql").c_str()), 0);
  const bool strace = works("strace -o /dev/null true");
  // A sanitizer's runtime needs more memory and descriptors than the limits leave.
  const bool prlimit = works("prlimit --version") && !qen_test::sanitized();
  const std::string open_report = "Cannot open '" + s.out + "' for write: ";
  struct Case {
    std::string name, args, prefix, message;
    bool usable = true;
  } cases[] = {
      // A report that is the input is refused before any write.
      {"the input", "-o " + in + " " + in, "", "cannot write the report '" + s.in + "': it is the input '" + s.in + "'"},
      {"a link to the input", "-o " + shell_quote(s.dir + "/link.sql") + " " + in, "",
       "cannot write the report '" + s.dir + "/link.sql': it is the input '" + s.in + "'"},
      {"standard input", "-o " + in + " < " + in, "", "cannot write the report '" + s.in + "': it is the standard input"},
      {"dangling link", "-o " + shell_quote(s.dir + "/dangling") + " " + in, "",
       "cannot write the report '" + s.dir + "/dangling': the folder '" + s.dir + "/missing' of its link's file '" +
           s.dir + "/missing/report.xml': No such file or directory"},
      {"links in a circle", "-o " + shell_quote(s.dir + "/loop_a") + " " + in, "",
       "cannot write the report '" + s.dir + "/loop_a': Too many levels of symbolic links"},
      {"trailing slash", "-o " + shell_quote(s.dir + "/new.xml/") + " " + in, "",
       "cannot write the report '" + s.dir + "/new.xml/': Is a directory"},
      {"a folder", "-o " + shell_quote(s.dir) + " " + in, "", "cannot write the report '" + s.dir + "': Is a directory"},
      {"no such folder", "-o /nonexistent/dir/report.xml " + in, "",
       "cannot write the report '/nonexistent/dir/report.xml': No such file or directory"},
      {"below a file", "-o " + shell_quote(s.in + "/report.xml") + " " + in, "",
       "cannot write the report '" + s.in + "/report.xml': Not a directory"},
      // A run that waited on the FIFO would end by the timeout's signal.
      {"FIFO", "-o " + shell_quote(s.dir + "/fifo") + " " + in, "timeout 60",
       "cannot write the report '" + s.dir + "/fifo': not a regular file"},
      {"no locks", out, fault("flock", ENOLCK, "xml"), open_report + "it cannot be locked: No locks available"},
      {"no locks for a new report", "-o " + shell_quote(s.dir + "/new.xml") + " " + in, fault("flock", ENOLCK, "xml"),
       "Cannot open '" + s.dir + "/new.xml' for write: it cannot be locked: No locks available"},
      {"full disk", out, fault("write", ENOSPC, ".part"),
       open_report + "the old report cannot be copied beside it: No space left on device"},
      {"read error", out, fault("pread", EIO, "report.xml"), open_report + "the old report cannot be read: Input/output error"},
      {"descriptors for the report", out, "prlimit --nofile=5", open_report + "Too many open files",
       prlimit},
      {"descriptors for the new file", out, "prlimit --nofile=6",
       open_report + "no new file can be made in its folder: Too many open files", prlimit},
      {"rename refused", out, fault("rename", EPERM, "report.xml"),
       "Report '" + s.out + "' could not be written completely: Operation not permitted"},
      {"seek fails", out, kStrace + std::string("-e trace=lseek -e inject=lseek:error=EIO"),
       "Report '" + s.out + "' could not be written completely: Input/output error", strace},
      // An input that cannot be read, or not to its end.
      {"no such input", shell_quote(s.dir + "/missing.sql"), "",
       "cannot read the input '" + s.dir + "/missing.sql': No such file or directory"},
      {"a folder as input", shell_quote(s.dir), "", "cannot read the input '" + s.dir + "': Is a directory"},
      {"input error", "/proc/self/mem", "", "Error reading '/proc/self/mem': Input/output error"},
      {"injected input error", in, kStrace + std::string("-P ") + in + " -e trace=read -e inject=read:error=EIO",
       "Error reading '" + s.in + "': Input/output error", strace},
      // One line of 400 MB through a pipe, in 300 MB of address space.
      {"out of memory", "", "head -c 400000000 /dev/zero | prlimit --as=300000000",
       "Out of memory reading '<standard input>': a line does not fit in memory", prlimit},
      // Lines of 1000 bytes: each fits, the batch they make does not.
      {"batch out of memory", "", "yes \"$(head -c 1000 /dev/zero | tr '\\0' a)\" | head -c 400000000 | prlimit --as=300000000",
       "Out of memory reading '<standard input>': a batch does not fit in memory", prlimit},
  };
  for (const Case& c : cases) {
    if (!c.usable) {
      std::printf("skipped %s: needs strace or prlimit, and a build without sanitizers\n", c.name.c_str());
      continue;
    }
    HostProcess r = c.args.starts_with("-o ") ? run_host_process(c.args, c.prefix) : s.run(c.args, c.prefix);
    EXPECT_EQ(r.status, 2) << c.name;
    EXPECT_EQ(r.err, "qen_host: " + c.message + "\n") << c.name;
    EXPECT_EQ(r.out, "") << c.name;
    EXPECT_EQ(read_file(s.out), s.before) << c.name;
    EXPECT_EQ(read_file(s.in), "select 1\nkill 1\n") << c.name;
    EXPECT_EQ(listing(s.dir),
              (std::set<std::string>{"dangling", "fifo", "in.sql", "link.sql", "loop_a", "loop_b", "report.xml"}))
        << c.name;
  }
}

TEST(ReportFaults, AFolderThatTakesNoNewFileIsNamedBeforeAnyWork) {
  // Root writes anywhere: it runs the host as nobody.
  if (geteuid() == 0 && !works("setpriv --version")) GTEST_SKIP() << "needs setpriv to run as another user";
  const std::string nobody = geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups" : "";
  struct Case {
    mode_t mode;
    std::string reason;
  } cases[] = {
      {0555, "no new file can be made in its folder '{dir}': Permission denied"},
      // Only root can act as another user in a sticky folder.
      {01777, "the sticky folder '{dir}' lets only its owner or the file's replace it: Operation not permitted"},
  };
  for (const Case& c : cases) {
    if (c.mode == 01777 && geteuid() != 0) continue;
    Scene s("faults_folder_" + std::to_string(c.mode));
    ASSERT_EQ(chmod(s.out.c_str(), 0666), 0);
    ASSERT_EQ(chmod(s.dir.c_str(), c.mode), 0);
    HostProcess r = s.run(shell_quote(s.in), nobody);
    chmod(s.dir.c_str(), 0755);
    std::string reason = c.reason;
    reason.replace(reason.find("{dir}"), 5, s.dir);
    EXPECT_EQ(r.status, 2) << c.mode;
    EXPECT_EQ(r.err, "qen_host: cannot write the report '" + s.out + "': " + reason + "\n");
    EXPECT_EQ(read_file(s.out), s.before) << c.mode;
    EXPECT_EQ(listing(s.dir), (std::set<std::string>{"in.sql", "report.xml"})) << c.mode;
  }
}

TEST(ReportFaults, LongNamesGetATemporaryNameThatFits) {
  const std::string dir = fresh_folder("faults_long_name");
  const std::string in = dir + "/in.sql";
  write_file(in, "select 1\n");
  for (size_t length : {243u, 250u, 255u}) {
    const std::string out = dir + "/" + std::string(length - 4, 'r') + ".xml";
    for (const char* id : {"one", "two"}) {
      HostProcess r = run_host_process("-i " + std::string(id) + " -o " + shell_quote(out) + " " + shell_quote(in));
      EXPECT_EQ(r.status, 0) << length << "\n" << r.err;
    }
    EXPECT_EQ(count_of(read_file(out), "<file>"), 2) << length;
    fs::remove(out);
    EXPECT_EQ(listing(dir), std::set<std::string>{"in.sql"}) << length;
  }
}

// A process number that no process has now: a child that has ended.
pid_t ended_process() {
  pid_t pid = fork();
  if (pid == 0) _exit(0);
  waitpid(pid, nullptr, 0);
  return pid;
}

TEST(ReportFaults, TheNextRunRemovesTheFilesOfKilledRuns) {
  Scene s("faults_killed_runs");
  const std::string dead = std::to_string(ended_process()), live = std::to_string(getpid());
  const std::string dead_part = "report.xml." + dead + ".0.part", live_part = "report.xml." + live + ".0.part",
                    locked_part = "report.xml." + std::to_string(ended_process()) + ".1.part",
                    kept = "report.xml." + dead + ".2.partial", other = "other.xml." + dead + ".0.part";
  for (const std::string& name : {dead_part, live_part, locked_part, kept, other}) write_file(s.dir + "/" + name, "x");
  // A live run in another PID namespace: its number means nothing here,
  // but it holds its file's lock.
  int held = open((s.dir + "/" + locked_part).c_str(), O_RDONLY);
  ASSERT_EQ(flock(held, LOCK_EX), 0);
  EXPECT_EQ(s.run(shell_quote(s.in)).status, 0);
  close(held);
  EXPECT_EQ(listing(s.dir), (std::set<std::string>{"in.sql", "report.xml", live_part, locked_part, kept, other}));
  EXPECT_EQ(count_of(read_file(s.out), "<file>"), 2);
}

// Faults that a run gets over: it completes the report, and removes every
// file it made on the way.
TEST(ReportFaults, FaultsARunGetsOverLeaveNoFileBehind) {
  const struct {
    std::string name, prefix;
  } cases[] = {
      // Whether another run removed the new file before its lock cannot be
      // told: the run makes another one.
      {"the new file's fstat fails once", fault("fstat", EIO, ".part") + "QEN_FAULT_NTH=2"},
  };
  for (const auto& c : cases) {
    Scene s("faults_got_over");
    HostProcess r = s.run(shell_quote(s.in), c.prefix);
    EXPECT_EQ(r.status, 0) << c.name << r.err;
    EXPECT_EQ(count_of(read_file(s.out), "<file>"), 2) << c.name;
    EXPECT_EQ(listing(s.dir), (std::set<std::string>{"in.sql", "report.xml"})) << c.name;
  }
}

TEST(ReportFaults, RunsExtendingOneReportAtOnceAllLand) {
  const std::string dir = fresh_folder("report_concurrent");
  const std::string in = dir + "/in.sql", out = dir + "/report.xml";
  write_file(in, "select 1\n");
  const int kRuns = 8;
  for (int round = 0; round < 2; ++round) {
    std::vector<pid_t> pids;
    for (int k = 0; k < kRuns; ++k)
      pids.push_back(start_host({"", "-i", "run" + std::to_string(round * kRuns + k), "-o", out, in},
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
  if (qen_test::works("xmllint --version")) {
    EXPECT_EQ(qen_test::command_status("xmllint --noout " + shell_quote(out) + " 2> /dev/null"), 0);
  }
}

TEST(ReportFaults, DanglingLinksAreFollowedToTheFileTheyName) {
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

TEST(ReportFaults, AnotherUsersReportKeepsItsOwnerGroupAndMode) {
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

TEST(ReportFaults, EndSignalsRemoveTheUnfinishedFiles) {
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
      pid_t pid = start_host({"", "-o", out, fifo}, tmp_path(name + ".err"));
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

TEST(ReportFaults, SmallStackExtendsALargeReport) {
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

TEST(ReportFaults, NotBuilt) { GTEST_SKIP() << "qen_host is not built"; }

#endif

}  // namespace

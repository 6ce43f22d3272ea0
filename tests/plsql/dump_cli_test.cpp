// `vestrake -a`: whole dumps of real PL/SQL written by the program, byte for
// byte; the dump file replaced only by a complete document, whatever stops
// the run (a failed write, an exhausted pool, a signal); the failure when
// the dump file cannot be written.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "scratch_dir.h"
#include "shell_command.h"
#include "vst_subprocess.h"

namespace fs = std::filesystem;

namespace {

using qen_test::read_file;

// A body of `statements` assignments, one per line.
std::string manyStatements(int statements) {
  std::string source = "BEGIN\n";
  for (int i = 0; i < statements; ++i) source += "  x := 1;\n";
  return source + "END;\n";
}

// The source, when a test needs a file, lies beside the test's folder.
class DumpCli : public ScratchDirTest {
 protected:
  void TearDown() override {
    ScratchDirTest::TearDown();
    std::remove(input_.c_str());
  }

  // Dumps source with the given extra options; expects status 0.
  std::string dump(const std::string& source, std::vector<std::string> extra = {}) {
    std::vector<std::string> args = {"-s", source, "-a", out_};
    args.insert(args.end(), extra.begin(), extra.end());
    ProcessResult run = runProcess(VESTRAKE_PATH, args);
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.out, "");
    return read_file(out_);
  }

  // vestrake with the source options and -a to the dump file, started by a
  // shell after prefix (a limit, another user); both output streams.
  qen_test::ProcessResult dumpFromShell(const std::string& prefix, const std::string& sourceOptions) {
    return qen_test::run_command(prefix + qen_test::shell_quote(VESTRAKE_PATH) + " " + sourceOptions + " -a " +
                                 qen_test::shell_quote(out_) + " 2>&1");
  }

  // A previous document with permissions of its own, owned by another user
  // when the test may give it one.
  void writeOldDocument() {
    write(out_, kOld);
    chmod(out_.c_str(), 0640);
    if (geteuid() == 0) {
      EXPECT_EQ(chown(out_.c_str(), 65534, 65534), 0);
    }
  }

  static constexpr const char* kOld = "<old/>\n";
  const std::string out_ = dir_ + "/dump.xml";
  const std::string input_ = dir_ + ".pls";
};

TEST_F(DumpCli, CompleteDumpReplacesTheOldDocumentKeepingItsModeAndOwner) {
  writeOldDocument();
  struct stat before;
  ASSERT_EQ(stat(out_.c_str(), &before), 0);
  std::string doc = dump("BEGIN NULL; END;");
  EXPECT_EQ(doc.rfind("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<node type=\"block\"", 0), 0u) << doc;
  struct stat after;
  ASSERT_EQ(stat(out_.c_str(), &after), 0);
  EXPECT_EQ(after.st_mode, before.st_mode);
  EXPECT_EQ(after.st_uid, before.st_uid);
  EXPECT_EQ(after.st_gid, before.st_gid);
  EXPECT_EQ(entries(), std::vector<std::string>{"dump.xml"});
}

// Through a symbolic link the file it names is written, dangling or not; the
// link stays.
TEST_F(DumpCli, DumpThroughALinkWritesItsTarget) {
  std::string link = dir_ + "/link.xml";
  ASSERT_EQ(symlink("target.xml", link.c_str()), 0);
  for (const char* source : {"BEGIN NULL; END;", "BEGIN x := 1; END;"}) {
    ProcessResult run = runProcess(VESTRAKE_PATH, {"-s", source, "-a", link});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(read_file(dir_ + "/target.xml").rfind("<?xml", 0), 0u);
    EXPECT_EQ(entries(), (std::vector<std::string>{"link.xml", "target.xml"}));
  }
}

// A dump that runs into the file-size limit is reported as a failed write,
// and the old document stays as it was.
TEST_F(DumpCli, DumpBeyondTheFileSizeLimitKeepsTheOldDocument) {
  if (!qen_test::works("prlimit --version")) GTEST_SKIP() << "no prlimit";
  writeOldDocument();
  write(input_, manyStatements(150));
  qen_test::ProcessResult run = dumpFromShell("prlimit --fsize=4096 ", "-i " + qen_test::shell_quote(input_));
  EXPECT_TRUE(run.exited);
  EXPECT_EQ(run.status, 255);
  EXPECT_EQ(run.output, "ERROR: Can't write file: " + out_ + ": File too large\n");
  EXPECT_EQ(read_file(out_), kOld);
  EXPECT_EQ(entries(), std::vector<std::string>{"dump.xml"});
}

// SIGINT, SIGTERM and SIGHUP in the middle of a dump: the run ends by the
// signal, the old document stays and nothing unfinished is left beside it.
// Standard output is a pipe of one page that is read only after the signal,
// so the dump's progress lines hold the run inside the dump until then.
TEST_F(DumpCli, SignalsLeaveTheOldDocumentAndNoUnfinishedFile) {
  write(input_, manyStatements(120000));
  for (int signo : {SIGINT, SIGTERM, SIGHUP}) {
    writeOldDocument();
    int out = -1;
    pid_t pid = startWithPagedOutput({VESTRAKE_PATH, "-i", input_, "-a", out_}, signo, &out);
    ASSERT_GT(pid, 0);
    // Waits until the unfinished document exists beside the old one.
    EXPECT_TRUE(qen_test::eventually([&] { return entries().size() == 2; })) << signo;
    kill(pid, signo);
    int status = drainAndWait(out, pid);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signo) << signo << " " << status;
    EXPECT_EQ(read_file(out_), kOld) << signo;
    EXPECT_EQ(entries(), std::vector<std::string>{"dump.xml"}) << signo;
  }
}

// A dump file that cannot be made, replaced or written ends the run with
// 255 and a message that names it with the system's reason, and says so
// when the writing failed. The run refuses before it touches the old
// document, which stays as it was with nothing left beside it.
TEST_F(DumpCli, UnwritableDumpFileIsNamedWithTheReason) {
  const bool root = geteuid() == 0;
  const bool setpriv = qen_test::works("setpriv --version");
  const std::string longName(256, 'n');
  // Who runs: anyone; a user without write access where root would have
  // it; a user who does not own the file (root gives it to another).
  enum Who { kAnyone, kNoRights, kNotOwner };
  const struct {
    const char* setup;  // shell commands run in the folder first
    Who who;
    std::string path;
    std::string message;
  } rows[] = {
      {"", kAnyone, "/nonexistent-dir/t.xml", "open write file: /nonexistent-dir/t.xml: No such file or directory"},
      {"", kAnyone, "", "open write file: : No such file or directory"},
      {"", kAnyone, "t.xml/", "open write file: t.xml/: Is a directory"},
      {"mkdir sub", kAnyone, "sub", "open write file: sub: Is a directory"},
      {"ln -s loop.xml loop.xml", kAnyone, "loop.xml", "open write file: loop.xml: Too many levels of symbolic links"},
      {"", kAnyone, longName, "open write file: " + longName + ": File name too long"},
      {"", kAnyone, "/dev/full", "write file: /dev/full: No space left on device"},
      {"chmod 666 dump.xml && chmod 555 .", kNoRights, "dump.xml", "open write file: dump.xml: Permission denied"},
      {"chmod 444 dump.xml", kNoRights, "dump.xml", "open write file: dump.xml: Permission denied"},
      {"mkdir -m 1777 sticky && cp dump.xml sticky && chmod 666 sticky/dump.xml", kNotOwner, "sticky/dump.xml",
       "open write file: sticky/dump.xml: Operation not permitted"},
  };
  std::string skipped;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.message);
    if ((root && row.who != kAnyone && !setpriv) || (!root && row.who == kNotOwner) ||
        (row.path == "/dev/full" && access("/dev/full", W_OK) != 0)) {
      skipped += " [" + row.message + ": " + (row.who == kAnyone ? "no /dev/full" : root ? "no setpriv" : "no second user") + "]";
      continue;
    }
    fs::permissions(dir_, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    write(out_, kOld);
    ASSERT_EQ(qen_test::command_status("cd " + qen_test::shell_quote(dir_) + " && " + (*row.setup ? row.setup : "true")), 0);
    const std::vector<std::string> before = entries();
    const std::string asUser = root && row.who != kAnyone ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
    qen_test::ProcessResult run = qen_test::run_command("cd " + qen_test::shell_quote(dir_) + " && " + asUser +
                                                        qen_test::shell_quote(VESTRAKE_PATH) + " -s 'BEGIN NULL; END;' -a " +
                                                        qen_test::shell_quote(row.path) + " 2>&1");
    EXPECT_EQ(run.status, 255);
    EXPECT_EQ(run.output, "ERROR: Can't " + row.message + "\n");
    EXPECT_EQ(entries(), before);
    EXPECT_EQ(read_file(row.who == kNotOwner ? dir_ + "/sticky/dump.xml" : out_), kOld);
  }
  if (!skipped.empty()) GTEST_SKIP() << "cases the machine cannot make:" << skipped;
}

// A run cut short by an exhausted pool keeps every byte written before the
// failure, under a name that the message gives; the old document stays. The
// source holds one literal whose escaped form is by far the largest
// allocation of the dump, and more than the output buffer holds: one byte
// below the smallest ceiling that lets the run finish, the dump stops
// exactly where that literal begins.
TEST_F(DumpCli, ExhaustedPoolKeepsThePartialDocumentBesideTheOldOne) {
  write(input_, "BEGIN\n  x := 1;\n  y := '" + std::string(300000, '&') + "';\n  z := 2;\nEND;\n");
  std::vector<std::string> args = {"-i", input_, "-a", out_};
  ProcessResult full = runProcess(VESTRAKE_PATH, args, {}, {"VESTRAKE_POOL_LIMIT"});
  ASSERT_EQ(full.status, 0) << full.out << full.err;
  std::string document = read_file(out_);
  size_t literal = document.find("'&amp;");
  ASSERT_NE(literal, std::string::npos);

  auto runWithLimit = [&](size_t limit) {
    return runProcess(VESTRAKE_PATH, args, {{"VESTRAKE_POOL_LIMIT", std::to_string(limit)}});
  };
  size_t fails = 1, finishes = size_t(1) << 28;
  ASSERT_EQ(runWithLimit(finishes).status, 0);
  while (finishes - fails > 1) {
    size_t middle = fails + (finishes - fails) / 2;
    (runWithLimit(middle).status == 0 ? finishes : fails) = middle;
  }
  fs::remove_all(dir_);
  fs::create_directories(dir_);
  writeOldDocument();
  ProcessResult cut = runWithLimit(fails);
  EXPECT_EQ(cut.status, 2);
  EXPECT_EQ(cut.out, "");
  const std::string kept = "VESTRAKE: OUT OF MEMORY\nVESTRAKE: Partial AST dump kept in ";
  ASSERT_EQ(cut.err.rfind(kept, 0), 0u) << cut.err;
  std::string partial = cut.err.substr(kept.size(), cut.err.size() - kept.size() - 1);
  EXPECT_EQ(partial.rfind(out_ + ".", 0), 0u) << partial;
  EXPECT_EQ(partial.substr(partial.size() - 8), ".partial");
  EXPECT_EQ(read_file(partial), document.substr(0, literal));
  EXPECT_EQ(read_file(out_), kOld);
  EXPECT_EQ(entries(), (std::vector<std::string>{"dump.xml", fs::path(partial).filename().string()}));
}

TEST_F(DumpCli, EncodingOption) {
  struct Case {
    std::vector<std::string> options;
    std::string encoding;
  } cases[] = {
      {{"-c", "UTF-8"}, "UTF-8"},
      {{"-c", ""}, "ISO-8859-1"},
      {{}, "ISO-8859-1"},
  };
  for (const Case& c : cases) {
    std::string doc = dump("BEGIN NULL; END;", c.options);
    EXPECT_EQ(doc.substr(0, doc.find('\n') + 1), "<?xml version=\"1.0\" encoding=\"" + c.encoding + "\"?>\n");
  }
}

// Whole dumps of one source per family, compared byte for byte.
class DumpGolden : public DumpCli, public ::testing::WithParamInterface<const char*> {};

TEST_P(DumpGolden, MatchesTheExpectedDocument) {
  std::string base = std::string(QEN_SOURCE_DIR) + "/tests/plsql/golden/dump_" + GetParam();
  ProcessResult run = runProcess(VESTRAKE_PATH, {"-i", base + ".pls", "-a", out_});
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_EQ(run.out, "");
  std::string expected = read_file(base + ".xml");
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(read_file(out_), expected);
}

// proc: procedure with arguments, defaults, a handler and RAISE_APPLICATION_ERROR;
// pkg: package spec and body; trg: trigger with REFERENCING and UPDATE OF;
// anon: anonymous block with declarations, a FOR loop and handlers; ddl: DDL units.
INSTANTIATE_TEST_SUITE_P(Families, DumpGolden, ::testing::Values("proc", "pkg", "trg", "anon", "ddl"));

}  // namespace

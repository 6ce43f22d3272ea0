// The vestrake program as a process: options, messages, exit statuses.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "command_line.h"
#include "shell_command.h"
#include "vst_subprocess.h"

namespace {

const std::string kUsage =
    "vestrake [options]\n"
    "Options:\n"
    "  -h                Display help information.\n"
    "  -i <input_file>   Specify an input file containing the PL/SQL syntax.\n"
    "  -s <input_string> Specify an input string containing the PL/SQL syntax.\n"
    "  -v                Turn on the verbose option.\n"
    "\n"
    "Note: Either -i or -s must be specified.\n"
    "\n"
    "RAVO Related Options:\n"
    "  -a <output_file>  Specify an output file to contain an AST dump.\n"
    "  -c <encoding>     Character encoding of the XML outputs.\n"
    "  -m <maxErrors>    Maximum number of errors before abort.\n"
    "\n";

ProcessResult vst(const std::vector<std::string>& args,
                  const std::vector<std::pair<std::string, std::string>>& env = {}) {
  return runProcess(VESTRAKE_PATH, args, env, {"CROSS_DEBUG_PARSER", "VESTRAKE_POOL_LIMIT"});
}

std::string tmpPath(const std::string& name) { return std::string(QEN_TEST_TMP_DIR) + "/cli_" + name; }

}  // namespace

TEST(VestrakeCli, NoArgumentsAndHelpPrintUsageWith255) {
  for (auto args : {std::vector<std::string>{}, {"-h"}, {"-H"}, {"-v"}, {"-m", "3"}}) {
    ProcessResult r = vst(args);
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.out, kUsage);
    EXPECT_EQ(r.err, "");
  }
  EXPECT_EQ(std::string(usageText()) + "\n", kUsage);
}

TEST(VestrakeCli, RefusedArguments) {
  struct Case {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {{"x"}, "Error: Invalid argument: x\n"},
      {{"-v", "x"}, "Error: Invalid argument: x\n"},
      {{"-ab"}, "Error: Invalid option: -ab\n"},
      {{"-"}, "Error: Invalid option: -\n"},
      {{"-("}, "Error: Invalid option: -(\n"},
      {{"-6"}, "Error: Invalid option: -6\n"},
      {{"-s"}, "Error: Invalid or missing value: -s\n"},
      {{"-v", "-S"}, "Error: Invalid or missing value: -S\n"},
      {{"-i"}, "Error: Invalid or missing value: -i\n"},
      {{"-s", "x", "-m"}, "Error: Invalid or missing value: -m\n"},
      // The encoding goes into the dump's XML declaration: only a name.
      {{"-s", "x", "-c", "UTF-8\"?><x y=\""}, "Error: Invalid or missing value: -c\n"},
      {{"-C", "8bit", "-s", "x"}, "Error: Invalid or missing value: -C\n"},
      {{"-c", "-a", "x.xml"}, "Error: Invalid or missing value: -c\n"},
  };
  for (const auto& c : cases) {
    ProcessResult r = vst(c.args);
    EXPECT_EQ(r.status, 255) << c.message;
    EXPECT_EQ(r.out, c.message + kUsage);
  }
}

// A source file that cannot be opened is named with the system's reason.
// A FIFO neither blocks nor reads as empty; a standard input the caller
// closed is no file to read.
TEST(VestrakeCli, UnreadableInputFile) {
  std::string missing = tmpPath("no_such_file.sql"), fifo = tmpPath("fifo"), locked = tmpPath("locked.sql");
  std::remove(missing.c_str());
  std::remove(fifo.c_str());
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::ofstream(locked) << "BEGIN NULL; END;\n";
  chmod(locked.c_str(), 0);
  // Root reads any file: the unreadable one is read as another user.
  const bool setpriv = qen_test::works("setpriv --version");
  const std::string asUser = geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
  const struct {
    std::string input;
    std::string reason;
  } cases[] = {
      {missing, "No such file or directory"},
      {QEN_TEST_TMP_DIR, "Is a directory"},
      {fifo, "No process has it open for writing"},
      {locked, "Permission denied"},
      {"/dev/stdin <&-", "Bad file descriptor"},
  };
  for (const auto& c : cases) {
    if (c.input == locked && geteuid() == 0 && !setpriv) continue;
    qen_test::ProcessResult r = qen_test::run_command(
        (c.input == locked ? asUser : "") + qen_test::shell_quote(VESTRAKE_PATH) + " -i " + c.input + " 2>&1");
    EXPECT_EQ(r.status, 255) << c.input;
    EXPECT_EQ(r.output, "ERROR: Can't open read file: " + c.input.substr(0, c.input.find(' ')) + ": " + c.reason + "\n");
  }
  std::remove(fifo.c_str());
  std::remove(locked.c_str());

  // With -s the file is never opened.
  ProcessResult r = vst({"-i", missing, "-s", "begin null; end;"});
  EXPECT_EQ(r.out.find("Can't open"), std::string::npos);
  EXPECT_NE(r.status, 255);
  if (geteuid() == 0 && !setpriv) GTEST_SKIP() << "no setpriv: an unreadable file is read by root";
}

// The source ends at its first NUL: a file holding one is refused rather
// than cut short without a word.
TEST(VestrakeCli, InputFileWithANulByteIsRefused) {
  std::string path = tmpPath("nul.sql");
  std::ofstream(path, std::ios::binary) << std::string("begin null; end;\n\0begin x := 1; end;\n", 36);
  ProcessResult r = vst({"-i", path});
  EXPECT_EQ(r.status, 255);
  EXPECT_EQ(r.out, "ERROR: NUL byte at line 2 of read file: " + path + "\n");
  EXPECT_EQ(r.err, "");
  std::remove(path.c_str());
}

// Output that cannot be written fails the run with 255 and says so, with
// the reason, so that a lost output never passes for a clean run or a plain
// syntax-error run: beyond the file-size limit (no silent end, no SIGXFSZ),
// on a full device, or into a pipe whose reader has gone.
TEST(VestrakeCli, LostStandardOutputFailsTheRun) {
  if (!qen_test::works("prlimit --version")) GTEST_SKIP() << "no prlimit";
  if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
  const std::string vs = qen_test::shell_quote(VESTRAKE_PATH);
  const std::string lost = "ERROR: Can't write standard output: ";
  std::string out = tmpPath("limited.out");
  // A pipe without a reader, for a run that ignores SIGPIPE.
  int gone[2];
  ASSERT_EQ(pipe(gone), 0);
  close(gone[0]);
  // Standard error into the pipe, standard output where it is lost.
  const struct {
    std::string command;
    int status;
    std::string output;
  } cases[] = {
      {"prlimit --fsize=16 " + vs + " -v -s 'BEGIN NULL; END;' 2>&1 > " + qen_test::shell_quote(out), 255,
       lost + "File too large\n"},
      // The echo of -v is lost.
      {vs + " -v -s 'BEGIN NULL; END;' 2>&1 >/dev/full", 255, lost + "No space left on device\n"},
      // "VESTRAKE: UNABLE TO PARSE" is lost: not a plain syntax-error run.
      {vs + " -s BEGIN 2>&1 >/dev/full", 255,
       "<string>:2: syntax error at the end of the input: unexpected end of input\n" + lost +
           "No space left on device\n"},
      // The dump and the line that named its failure both went to the
      // reader that had gone: the line that reaches the user says why.
      {"trap '' PIPE; " + vs + " -s 'BEGIN NULL; END;' -a /dev/stdout 2>&1 >&" + std::to_string(gone[1]), 255,
       lost + "Broken pipe\n"},
      // Nothing goes to standard output, so nothing is lost.
      {vs + " -s 'BEGIN x END;' 2>&1 >/dev/full", 5,
       "<string>:1: syntax error near 'END': unexpected END, expecting '(' or ';'\n"},
  };
  for (const auto& c : cases) {
    qen_test::ProcessResult r = qen_test::run_command(c.command);
    EXPECT_EQ(r.status, c.status) << c.command;
    EXPECT_EQ(r.output, c.output) << c.command;
  }
  close(gone[1]);
  std::remove(out.c_str());
}

// A UTF-8 byte order mark in front of the source tells its encoding and is
// no part of it, the lines counting as before; under -c an encoding that
// reads those bytes as other characters keeps them.
TEST(VestrakeCli, AByteOrderMarkIsNoPartOfTheSource) {
  const std::string mark = "\xEF\xBB\xBF";
  const std::string broken = "<string>:2: syntax error near 'END': unexpected END, expecting '(' or ';'\n";
  const struct {
    std::vector<std::string> args;
    int status;
    std::string err;
  } cases[] = {
      {{"-s", mark + "BEGIN NULL; END;"}, 0, ""},
      {{"-s", mark + "BEGIN\n x END;"}, 5, broken},
      {{"-c", "utf8", "-s", mark + "BEGIN\n x END;"}, 5, broken},
      {{"-c", "ISO-8859-1", "-s", mark + "BEGIN NULL; END;"}, 5,
       "<string>:1: syntax error near '" + mark + "BEGIN': unexpected WORD\n"},
  };
  for (const auto& c : cases) {
    ProcessResult r = vst(c.args);
    EXPECT_EQ(r.status, c.status) << c.args[1];
    EXPECT_EQ(r.err, c.err) << c.args[1];
  }
}

TEST(VestrakeCli, VerboseEchoesSourceFromStringAndFile) {
  ProcessResult r = vst({"-v", "-s", "begin null; end;"});
  EXPECT_EQ(r.out.rfind("PL/SQL:\nbegin null; end;\n\n", 0), 0u) << r.out;

  std::string path = tmpPath("echo.sql");
  {
    std::ofstream f(path, std::ios::binary);
    f << "begin\n  null;\nend;\n";
  }
  r = vst({"-V", "-i", path, "-o", "ignored"});
  EXPECT_EQ(r.out.rfind("PL/SQL:\nbegin\n  null;\nend;\n\n\n", 0), 0u) << r.out;
}

TEST(VestrakeCli, ParseOutcomes) {
  // A literal longer than the pool's small blocks, whose block only its
  // neighbours in the pool point to, is no leak for the leak checker.
  for (const std::string& source : {std::string("begin null; end;"),
                                    "begin x := '" + std::string(5000, 'a') + "'; end;"}) {
    ProcessResult r = vst({"-s", source});
    EXPECT_EQ(r.status, 0) << source.size();
    EXPECT_EQ(r.out, "") << source.size();
    EXPECT_EQ(r.err, "") << source.size();
  }
  // -m with text that is no number means no limit.
  EXPECT_EQ(vst({"-m", "abc", "-s", "begin null; end;"}).status, 0);
}

TEST(VestrakeCli, AstFileIsCreated) {
  std::string path = tmpPath("dump.xml");
  std::remove(path.c_str());
  ProcessResult r = vst({"-a", path, "-c", "UTF-8", "-s", "begin null; end;"});
  EXPECT_EQ(r.status, 0);
  struct stat st;
  EXPECT_EQ(stat(path.c_str(), &st), 0);
}

// Memory that runs out ends the run with status 2 and one line, whichever
// allocation was refused: the pool's, or one of a container of the run.
TEST(VestrakeCli, MemoryExhaustionEndsWithStatus2) {
  std::string statements = tmpPath("statements.pls");
  {
    std::ofstream f(statements, std::ios::binary);
    f << "BEGIN\n";
    for (int i = 0; i < 1000000; ++i) f << "x := 1;\n";
    f << "END;\n";
  }
  // A sanitizer's runtime needs more address space than the limit leaves.
  const bool limitable = qen_test::works("prlimit --version") && !qen_test::sanitized();
  const struct {
    std::string name, command;
    bool usable;
  } cases[] = {
      {"pool ceiling", "VESTRAKE_POOL_LIMIT=64 " + qen_test::shell_quote(VESTRAKE_PATH) + " -s 'begin null; end;'", true},
      {"address space", "prlimit --as=300000000 " + qen_test::shell_quote(VESTRAKE_PATH) + " -i " +
                            qen_test::shell_quote(statements), limitable},
  };
  for (const auto& c : cases) {
    if (!c.usable) {
      std::printf("skipped %s: needs prlimit and a build without sanitizers\n", c.name.c_str());
      continue;
    }
    qen_test::ProcessResult r = qen_test::run_command(c.command + " 2>&1");
    EXPECT_EQ(r.status, 2) << c.name;
    EXPECT_EQ(r.output, "VESTRAKE: OUT OF MEMORY\n") << c.name;
  }
  std::remove(statements.c_str());
}

TEST(VestrakeCli, DecimalConversionKeeps32BitRange) {
  EXPECT_EQ(parseDecimalInt32("abc"), 0);
  EXPECT_EQ(parseDecimalInt32("-3"), -3);
  EXPECT_EQ(parseDecimalInt32("  12x"), 12);
  EXPECT_EQ(parseDecimalInt32("2147483647"), 2147483647);
  EXPECT_EQ(parseDecimalInt32("2147483648"), 2147483647);
  EXPECT_EQ(parseDecimalInt32("-2147483648"), -2147483647 - 1);
  EXPECT_EQ(parseDecimalInt32("-99999999999999999999"), -2147483647 - 1);
}

TEST(VestrakeCli, FailedParsesAndErrorLimit) {
  ProcessResult r = vst({"-s", "begin"});
  EXPECT_EQ(r.status, 5);
  EXPECT_EQ(r.out, "VESTRAKE: UNABLE TO PARSE\n");
  EXPECT_EQ(r.err, "<string>:2: syntax error at the end of the input: unexpected end of input\n");
  const char* three = "begin x y; end; begin a b; end; begin null; end;";
  r = vst({"-m", "1", "-s", three});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out.substr(r.out.find("VESTRAKE: TOO")), "VESTRAKE: TOO MANY ERRORS\n");
  EXPECT_EQ(r.out.rfind("VESTRAKE: Syntax error at line ", 0), 0u) << r.out;
  // 0 and negative limits mean none: the syntax errors are recovered from.
  EXPECT_EQ(vst({"-m", "0", "-s", three}).status, 5);
  EXPECT_EQ(vst({"-m", "-3", "-s", three}).status, 5);
}

// `vestrake -a`: whole dumps of real PL/SQL written by the program, byte for
// byte, and the failure when the dump file cannot be written.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "shell_command.h"
#include "vst_subprocess.h"

namespace {

using qen_test::read_file;

class DumpCli : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    for (char& c : name)
      if (c == '/') c = '_';
    out_ = std::string(QEN_TEST_TMP_DIR) + "/dump_cli_" + name + ".xml";
    std::remove(out_.c_str());
  }
  void TearDown() override { std::remove(out_.c_str()); }

  // Dumps source with the given extra options; expects status 0.
  std::string dump(const std::string& source, std::vector<std::string> extra = {}) {
    std::vector<std::string> args = {"-s", source, "-a", out_};
    args.insert(args.end(), extra.begin(), extra.end());
    ProcessResult run = runProcess(VESTRAKE_PATH, args);
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.out, "");
    return read_file(out_);
  }

  std::string out_;
};

TEST_F(DumpCli, UnwritableDumpFileIsAnError) {
  ProcessResult run = runProcess(VESTRAKE_PATH, {"-s", "BEGIN NULL; END;", "-a", "/nonexistent-dir/t.xml"});
  EXPECT_EQ(run.out, "ERROR: Can't open write file: /nonexistent-dir/t.xml\n");
  EXPECT_EQ(run.status, 255);
}

TEST_F(DumpCli, DumpThatCannotBeWrittenCompletelyIsAnError) {
  if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
  ProcessResult run = runProcess(VESTRAKE_PATH, {"-s", "BEGIN NULL; END;", "-a", "/dev/full"});
  EXPECT_EQ(run.out, "ERROR: Can't open write file: /dev/full\n");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.status, 255);
}

// A run cut short by an exhausted pool keeps every byte written before the
// failure. The source holds one literal whose escaped form is by far the
// largest allocation of the dump, and more than the output buffer holds: one
// byte below the smallest ceiling that lets the run finish, the dump stops
// exactly where that literal begins.
TEST_F(DumpCli, ExhaustedPoolLeavesTheDocumentUpToTheFailure) {
  std::string source = "BEGIN\n  x := 1;\n  y := '" + std::string(300000, '&') + "';\n  z := 2;\nEND;\n";
  std::string input = out_ + ".pls";
  {
    std::ofstream file(input, std::ios::binary);
    file << source;
  }
  std::vector<std::string> args = {"-i", input, "-a", out_};
  ProcessResult full = runProcess(VESTRAKE_PATH, args, {}, {"VESTRAKE_POOL_LIMIT"});
  ASSERT_EQ(full.status, 0) << full.out << full.err;
  std::string document = read_file(out_);
  size_t literal = document.find("'&amp;");
  ASSERT_NE(literal, std::string::npos);

  auto runWithLimit = [&](size_t limit) {
    std::remove(out_.c_str());
    return runProcess(VESTRAKE_PATH, args, {{"VESTRAKE_POOL_LIMIT", std::to_string(limit)}});
  };
  size_t fails = 1, finishes = size_t(1) << 28;
  ASSERT_EQ(runWithLimit(finishes).status, 0);
  while (finishes - fails > 1) {
    size_t middle = fails + (finishes - fails) / 2;
    (runWithLimit(middle).status == 0 ? finishes : fails) = middle;
  }
  ProcessResult cut = runWithLimit(fails);
  EXPECT_EQ(cut.status, 2);
  EXPECT_EQ(cut.err, "VESTRAKE: OUT OF MEMORY\n");
  EXPECT_EQ(cut.out, "");
  EXPECT_EQ(read_file(out_), document.substr(0, literal));
  std::remove(input.c_str());
}

TEST_F(DumpCli, EncodingOption) {
  std::string doc = dump("BEGIN NULL; END;", {"-c", "UTF-8"});
  EXPECT_EQ(doc.substr(0, doc.find('\n') + 1), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
  doc = dump("BEGIN NULL; END;");
  EXPECT_EQ(doc.substr(0, doc.find('\n') + 1), "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n");
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

// `vestrake -a`: whole dumps of real PL/SQL written by the program, byte for
// byte, and the failure when the dump file cannot be written.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "vst_subprocess.h"

namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

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
    return readFile(out_);
  }

  std::string out_;
};

TEST_F(DumpCli, UnwritableDumpFileIsAnError) {
  ProcessResult run = runProcess(VESTRAKE_PATH, {"-s", "BEGIN NULL; END;", "-a", "/nonexistent-dir/t.xml"});
  EXPECT_EQ(run.out, "ERROR: Can't open write file: /nonexistent-dir/t.xml\n");
  EXPECT_EQ(run.status, 255);
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
  std::string expected = readFile(base + ".xml");
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(readFile(out_), expected);
}

// proc: procedure with arguments, defaults, a handler and RAISE_APPLICATION_ERROR;
// pkg: package spec and body; trg: trigger with REFERENCING and UPDATE OF;
// anon: anonymous block with declarations, a FOR loop and handlers; ddl: DDL units.
INSTANTIATE_TEST_SUITE_P(Families, DumpGolden, ::testing::Values("proc", "pkg", "trg", "anon", "ddl"));

}  // namespace

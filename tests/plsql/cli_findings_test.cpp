// The vestrake program tells its user what it found: every error record on
// standard error as "FILE:LINE: message", in line order, and an exit status
// that is never 0 once the source held a syntax error.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "vst_subprocess.h"

namespace {

std::string tmpPath(const std::string& name) { return std::string(QEN_TEST_TMP_DIR) + "/findings_" + name; }

// The arguments with "FILE" standing for a file that holds `source`.
ProcessResult runOn(const std::string& name, const std::string& source, std::vector<std::string> args) {
  std::string path = tmpPath(name);
  std::ofstream(path, std::ios::binary) << source;
  for (std::string& arg : args)
    if (arg == "FILE") arg = path;
  return runProcess(VESTRAKE_PATH, args, {}, {"CROSS_DEBUG_PARSER", "VESTRAKE_POOL_LIMIT"});
}

}  // namespace

TEST(VestrakeFindings, StandardErrorAndStatus) {
  struct Case {
    const char* name;
    const char* source;  // written to FILE
    std::vector<std::string> args;
    int status;
    std::string out;
    std::string err;  // "FILE" stands for the file's path
  } cases[] = {
      // Left-out constructs alone: a clean status, the findings listed.
      {"left_out", "BEGIN\n  SET TRANSACTION READ ONLY;\nEND;\n", {"-i", "FILE"}, 0, "",
       "FILE:2: SET TRANSACTION not supported\n"},
      // Findings of the parser, the rewriting and the emitter in line order.
      {"mixed",
       "CREATE PACKAGE pk AUTHID CURRENT_USER AS\n"
       "  PROCEDURE a(x NUMBER);\n"
       "  PROCEDURE a(y VARCHAR2);\n"
       "END pk;\n"
       "/\n"
       "BEGIN\n"
       "  NULL END;\n"
       "/\n",
       {"-i", "FILE"}, 5, "",
       "FILE:1: AUTHID CURRENT_USER not supported\n"
       "FILE:3: Overloaded routines with the same number of parameters not supported\n"
       "FILE:7: syntax error near 'END': unexpected END, expecting ASSIGN\n"},
      // A failed parse: its closing line on standard output, each finding
      // once on standard error.
      {"unterminated",
       "BEGIN\n"
       "  v := 'abc;\n"
       "END;\n",
       {"-i", "FILE"}, 5, "VESTRAKE: Syntax error at line 2\n",
       "FILE:2: Unterminated quoted string\n"
       "FILE:2: Missing expression at the end of the input\n"
       "FILE:2: syntax error at the end of the input: unexpected end of input, expecting ';'\n"},
      {"too_many", "begin x y; end;\nbegin a b; end;\nbegin null; end;\n", {"-m", "1", "-i", "FILE"}, 1,
       "VESTRAKE: Syntax error at line 2\nVESTRAKE: TOO MANY ERRORS\n",
       "FILE:1: syntax error near 'y': unexpected WORD, expecting '(' or ';'\n"
       "FILE:2: syntax error near 'b': unexpected WORD, expecting '(' or ';'\n"},
      // Quoted literals of any delimiter: clean.
      {"quoted", "BEGIN v := q'[it's]' || q'!a'b!'; END;\n", {"-i", "FILE"}, 0, "", ""},
  };
  for (const Case& c : cases) {
    ProcessResult r = runOn(c.name, c.source, c.args);
    std::string path = tmpPath(c.name);
    std::string err = c.err;
    for (size_t at = err.find("FILE"); at != std::string::npos; at = err.find("FILE", at + path.size()))
      err.replace(at, 4, path);
    EXPECT_EQ(r.status, c.status) << c.name;
    EXPECT_EQ(r.out, c.out) << c.name;
    EXPECT_EQ(r.err, err) << c.name;
  }
}

// The dump of a source with a recovered syntax error is written, and the run
// says so.
TEST(VestrakeFindings, DumpOfARecoveredSourceEndsWithFive) {
  std::string dump = tmpPath("dump.xml");
  std::remove(dump.c_str());
  ProcessResult r = runOn("dumped", "begin x y; end;\n", {"-i", "FILE", "-a", dump});
  EXPECT_EQ(r.status, 5);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, tmpPath("dumped") + ":1: syntax error near 'y': unexpected WORD, expecting '(' or ';'\n");
  struct stat st;
  EXPECT_EQ(stat(dump.c_str(), &st), 0);
  EXPECT_GT(st.st_size, 0);
}

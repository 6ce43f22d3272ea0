// Every file of the T-SQL corpus through the host program: no crash, no
// sanitizer report, and a well-formed XML report.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct ProcessResult {
  bool exited = false;
  int status = -1;
  std::string output;
};

// Runs a shell command; output is what it wrote to standard error.
ProcessResult run(const std::string& command) {
  ProcessResult r;
  FILE* p = popen(command.c_str(), "r");
  if (!p) return r;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.output.append(buf, n);
  int st = pclose(p);
  r.exited = WIFEXITED(st);
  r.status = r.exited ? WEXITSTATUS(st) : -1;
  return r;
}

std::string quote(const std::string& s) {
  std::string out = "'";
  for (char c : s) {
    if (c == '\'')
      out += "'\\''";
    else
      out += c;
  }
  return out + "'";
}

}  // namespace

TEST(CorpusHost, EveryFileGivesAWellFormedReportWithoutACrash) {
#ifndef QEN_HOST_PATH
  GTEST_SKIP() << "no host program";
#else
  fs::path corpus = fs::path(QEN_SHARED_DIR) / "corpus" / "tsql";
  if (!fs::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
  std::vector<fs::path> files;
  for (auto& e : fs::recursive_directory_iterator(corpus))
    if (e.is_regular_file()) files.push_back(e.path());
  std::sort(files.begin(), files.end());
  ASSERT_FALSE(files.empty());
  fs::path report = fs::path(QEN_TEST_TMP_DIR) / "corpus_report.xml";
  int accepted = 0;
  for (auto& f : files) {
    fs::remove(report);
    ProcessResult host = run(std::string(QEN_HOST_PATH) + " -o " + quote(report.string()) + " " +
                             quote(f.string()) + " 2>&1 >/dev/null");
    ASSERT_TRUE(host.exited) << f << ": " << host.output;
    EXPECT_TRUE(host.status == 0 || host.status == 1) << f << " status " << host.status << ": " << host.output;
    EXPECT_EQ(host.output.find("AddressSanitizer"), std::string::npos) << f << ": " << host.output;
    EXPECT_EQ(host.output.find("runtime error"), std::string::npos) << f << ": " << host.output;
    EXPECT_EQ(host.output.find("LeakSanitizer"), std::string::npos) << f << ": " << host.output;
    if (host.status == 0) ++accepted;
    ProcessResult lint = run("xmllint --noout " + quote(report.string()) + " 2>&1");
    EXPECT_TRUE(lint.exited && lint.status == 0) << f << ": " << lint.output;
  }
  RecordProperty("files", (int)files.size());
  RecordProperty("accepted", accepted);
#endif
}

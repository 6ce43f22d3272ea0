// Every T-SQL file of the shared corpus gets a clean run of the test host:
// status 0 or 1 and a well-formed report.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

#ifdef QEN_HOST_PATH

int run(const std::string& command) {
  int status = system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(HostCorpus, EveryFileGivesAWellFormedReport) {
  namespace fs = std::filesystem;
  fs::path root = fs::path(QEN_SHARED_DIR) / "corpus" / "tsql";
  if (!fs::is_directory(root)) GTEST_SKIP() << "corpus not present";
  if (run("xmllint --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "xmllint not present";
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file() && entry.path().extension() == ".sql") files.push_back(entry.path());
  ASSERT_FALSE(files.empty());
  std::string report = std::string(QEN_TEST_TMP_DIR) + "/host_corpus.xml";
  for (const fs::path& file : files) {
    fs::remove(report);
    int status = run(std::string(QEN_HOST_PATH) + " -o '" + report + "' '" + file.string() +
                     "' 2>/dev/null");
    EXPECT_TRUE(status == 0 || status == 1) << file << " status " << status;
    EXPECT_EQ(run("xmllint --noout '" + report + "' 2>/dev/null"), 0) << file;
  }
}

#else

TEST(HostCorpus, NotBuilt) { GTEST_SKIP() << "qen_host is not built"; }

#endif

}  // namespace

// Every PL/SQL file of the shared corpus through `vestrake -a`: no crash, no
// hang, and every dump written is well-formed XML.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "vst_subprocess.h"

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> corpusFiles() {
  std::vector<fs::path> files;
  fs::path root = fs::path(QEN_SHARED_DIR) / "corpus" / "plsql";
  if (!fs::is_directory(root)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    std::string ext = entry.path().extension().string();
    if (ext == ".txt" || entry.path().filename() == "LICENSE") continue;
    files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

TEST(DumpCorpus, EveryDumpIsWellFormed) {
  std::vector<fs::path> files = corpusFiles();
  if (files.empty()) GTEST_SKIP() << "shared corpus not found";
  std::string out = std::string(QEN_TEST_TMP_DIR) + "/dump_corpus.xml";
  int dumped = 0;
  for (const auto& file : files) {
    fs::remove(out);
    ProcessResult run = runProcess(VESTRAKE_PATH, {"-i", file.string(), "-a", out});
    // 0 written, 5 syntax error, 1 too many errors: anything else is a crash.
    ASSERT_TRUE(run.status == 0 || run.status == 5 || run.status == 1)
        << file << " ended with " << run.status << "\n" << run.err;
    if (run.status != 0) continue;
    ASSERT_TRUE(fs::exists(out)) << file;
    ProcessResult lint = runProcess("/usr/bin/xmllint", {"--noout", out});
    ASSERT_EQ(lint.status, 0) << file << ": " << lint.err;
    ++dumped;
  }
  std::printf("dumped %d of %zu corpus files\n", dumped, files.size());
  fs::remove(out);
}

}  // namespace

// Every PL/SQL file of the shared corpus runs through the translator without
// a crash or a hang; in process, the share of units that parse cleanly is
// recorded and must not drop.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "parser_test_util.h"
#include "shell_command.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> corpusFiles()
{
  std::vector<std::string> files;
  fs::path root = fs::path(QEN_SHARED_DIR) / "corpus" / "plsql";
  std::error_code error;
  if (!fs::is_directory(root, error))
    return files;
  for (auto& entry : fs::recursive_directory_iterator(root, error))
    if (entry.is_regular_file())
      files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  return files;
}

TEST(CorpusPlsql, EveryFileRunsWithoutCrashOrHang)
{
  std::vector<std::string> files = corpusFiles();
  if (files.empty())
    GTEST_SKIP() << "no PL/SQL corpus";
  int byStatus[256] = {};
  for (const std::string& file : files) {
    // Leak reports are not what this run looks for; a sanitizer finding of
    // any other kind ends the program with a status no run produces.
    std::string command =
        "ASAN_OPTIONS=detect_leaks=0:exitcode=99 UBSAN_OPTIONS=halt_on_error=1:exitcode=98 "
        "timeout 120 " +
        qen_test::shell_quote(VESTRAKE_PATH) + " -i " + qen_test::shell_quote(file) + " > /dev/null 2>&1";
    int code = qen_test::command_status(command);
    ASSERT_NE(code, -1) << file;
    // Without -m a run ends with 0 or 5; 124 is the timeout, 2 a fatal
    // scanner error, above 128 a signal.
    EXPECT_TRUE(code == 0 || code == 5) << file << " exit " << code;
    byStatus[code & 255]++;
  }
  std::printf("corpus files: %zu; status 0: %d, 5: %d, 1: %d\n", files.size(), byStatus[0], byStatus[5],
              byStatus[1]);
}

TEST(CorpusPlsql, UnitsThatParseWithoutSyntaxError)
{
  std::vector<std::string> files = corpusFiles();
  if (files.empty())
    GTEST_SKIP() << "no PL/SQL corpus";
  int cleanFiles = 0;
  int acceptedFiles = 0;
  int units = 0;
  int errorUnits = 0;
  for (const std::string& file : files) {
    std::string text = qen_test::read_file(file);
    ParsedSource* p = parseText(text.c_str());
    if (p->accepted)
      ++acceptedFiles;
    bool clean = p->accepted;
    for (ErrorRecord* e : p->errorList())
      if (e->domain == ERROR_DOMAIN_SYNTAX || e->domain == ERROR_DOMAIN_LEXICAL)
        clean = false;
    if (clean)
      ++cleanFiles;
    for (astListCell* cell = listCells(p->units()); cell; cell = cell->next) {
      if (cell->value && cell->value->kind == AST_ERROR)
        ++errorUnits;
      else
        ++units;
    }
  }
  std::printf("corpus files: %zu; accepted: %d; without any syntax or lexical error: %d; "
              "units parsed: %d; error units: %d\n",
              files.size(), acceptedFiles, cleanFiles, units, errorUnits);
  // Figures measured when the grammar and its actions were finished.
  EXPECT_GE(acceptedFiles, 417);
  EXPECT_GE(cleanFiles, 360);
  EXPECT_GE(units, 666);
}

}  // namespace

// Every PL/SQL file of the shared corpus through the whole translation in
// process, with and without line markers: the emitted records keep their
// invariants (no empty record, length equal to the text, known types).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "parse_context.h"
#include "sqlexc_ast_emit.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> corpusFiles() {
  std::vector<std::string> files;
  fs::path root = fs::path(QEN_SHARED_DIR) / "corpus" / "plsql";
  std::error_code error;
  if (!fs::is_directory(root, error)) return files;
  for (auto& entry : fs::recursive_directory_iterator(root, error))
    if (entry.is_regular_file()) files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  return files;
}

std::string readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

#ifdef VESTRAKE_HAVE_PARSER

TEST(EmitCorpus, RecordsKeepTheirInvariants) {
  std::vector<std::string> files = corpusFiles();
  if (files.empty()) GTEST_SKIP() << "no PL/SQL corpus";
  int filesWithRecords = 0;
  long records = 0;
  for (const std::string& file : files) {
    std::string text = readAll(file);
    for (bool markers : {false, true}) {
      TranslateOptions options;
      setCommandLineDefaults(&options);
      options.lineMarkers = markers;
      TranslateResult r = translateCore(text.c_str(), &options);
      ASSERT_EQ(r.jumpCode, 0) << file;
      if (r.status != 0) {
        EXPECT_EQ(r.statements, nullptr) << file;
        continue;
      }
      if (r.statements && !markers) ++filesWithRecords;
      for (StatementRecord* s = r.statements; s; s = s->next) {
        ++records;
        ASSERT_GT(s->length, 0u) << file;
        ASSERT_EQ(std::strlen(s->text), s->length) << file;
        ASSERT_GE(s->type, 0) << file;
        ASSERT_LE(s->type, 5) << file;
        if (!markers) {
          EXPECT_EQ(std::strstr(s->text, "--#line "), nullptr) << file;
        }
      }
    }
  }
  std::printf("corpus files: %zu, with records: %d, records: %ld\n", files.size(), filesWithRecords, records);
  EXPECT_GT(filesWithRecords, 0);
}

#endif

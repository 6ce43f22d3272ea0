// Every PL/SQL file of the shared corpus through the whole translation in
// process, with and without line markers: the emitted records keep their
// invariants (no empty record, length equal to the text, known types). The
// error records the translation leaves are counted by domain and message and
// printed, with the number of translated files whose run ends with status 5
// because the parser recovered from a syntax error; the test fails only on a
// crash or when the output shrinks below the figures measured on the corpus.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "parse_context.h"
#include "shell_command.h"
#include "sqlexc_ast_emit.h"
#include "translate.h"

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

}  // namespace


// Measured on the shared corpus (419 files): files translated, files with
// statement records, and records of the runs with and without line markers.
const int kMeasuredTranslated = 417;
const int kMeasuredFilesWithRecords = 170;
const long kMeasuredRecords = 5106;

// Domain and message of an error record; the checks of the rewriting share
// the message "syntax error" and differ by their text.
std::string messageKey(const ErrorRecord* e) {
  std::string key = "[" + std::to_string(e->domain) + "] " + (e->message ? e->message : "");
  if (e->message && std::strcmp(e->message, "syntax error") == 0 && e->text) key += std::string(": ") + e->text;
  return key;
}

TEST(EmitCorpus, RecordsKeepTheirInvariants) {
  std::vector<std::string> files = corpusFiles();
  if (files.empty()) GTEST_SKIP() << "no PL/SQL corpus";
  int filesWithRecords = 0;
  int accepted = 0;
  int recovered = 0;
  long records = 0;
  std::map<std::string, long> errorsByMessage;
  for (const std::string& file : files) {
    std::string text = qen_test::read_file(file);
    for (bool markers : {false, true}) {
      TranslateOptions options;
      setCommandLineDefaults(&options);
      options.lineMarkers = markers;
      TranslateResult r = translateCore(text.c_str(), &options);
      ASSERT_EQ(r.jumpCode, 0) << file;
      if (r.parseFailed || r.tooManyErrors) {
        EXPECT_EQ(r.statements, nullptr) << file;
        continue;
      }
      if (!markers) {
        ++accepted;
        // Translated, but the parser skipped over a syntax error: the run
        // ends with 5, never 0.
        if (r.status != 0) {
          EXPECT_EQ(r.status, 5) << file;
          EXPECT_TRUE(holdsSyntaxError(r.errors)) << file;
          ++recovered;
        }
        if (r.statements) ++filesWithRecords;
        for (ErrorRecord* e = r.errors; e; e = e->next)
          ++errorsByMessage[messageKey(e)];
      }
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
  std::printf("corpus files: %zu, translated: %d, with records: %d, records: %ld\n", files.size(), accepted,
              filesWithRecords, records);
  std::printf("translated files that end with status 5 for recovered syntax errors: %d\n", recovered);
  std::printf("error records left by the translation, by message:\n");
  for (const auto& [message, count] : errorsByMessage) std::printf("  %6ld  %s\n", count, message.c_str());
  // Figures measured on the shared corpus; fewer means lost output.
  EXPECT_GE(accepted, kMeasuredTranslated);
  EXPECT_GE(filesWithRecords, kMeasuredFilesWithRecords);
  EXPECT_GE(records, kMeasuredRecords);
}


// The T-SQL corpus batch by batch through the library's interface, counting
// the batches that the parser accepts. The count may only grow. (The corpus
// through the host program: corpus_host_test.)
#include <gtest/gtest.h>
#include <string.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "analyzer_test_util.h"

namespace fs = std::filesystem;

namespace {

// Accepted batches of the corpus when this test was written.
constexpr int kAcceptedBatches = 266;

struct Tally {
  int batches = 0;
  int accepted = 0;
  qen_host::thread_context context;  // one for the whole run, as a host thread keeps it
};

void count_batch(file_state* state, const std::string& text, const int version[3], Tally* t) {
  if (text.empty()) return;
  ++t->batches;
  if (qen_test::analyse_batch(t->context, state, text, version) == 0) ++t->accepted;
}

void analyse_file(const fs::path& input, const fs::path& report, Tally* t) {
  int version[3];
  ver_init(version, nullptr);
  fs::remove(report);
  file_state* state = file_state_new("corpus", input.c_str(), report.c_str(), 0, 1);
  ASSERT_NE(state, nullptr) << input;
  std::string batch;
  bool in_batch = false;
  bool at_line_start = true;
  while (char* line = file_state_line(state)) {
    file_state_lineno(state);
    size_t length = strlen(line);
    bool complete = length > 0 && line[length - 1] == '\n';
    if (at_line_start && qen_host::is_go_line(line, length)) {
      if (in_batch) count_batch(state, batch, version, t);
      batch.clear();
      in_batch = false;
    } else {
      if (!in_batch) {
        file_state_mark(state);
        in_batch = true;
      }
      batch.append(line, length);
    }
    at_line_start = complete;
  }
  if (in_batch) count_batch(state, batch, version, t);
  file_state_free(state);
}

TEST(BatchCorpus, AcceptedBatches) {
  std::vector<fs::path> files = qen_test::tsql_corpus_files();
  if (files.empty()) GTEST_SKIP() << "no corpus in " << QEN_SHARED_DIR;
  qen_test::start_analyzer();
  fs::path report = fs::path(QEN_TEST_TMP_DIR) / "batch_corpus_inprocess.xml";
  Tally total;
  for (auto& f : files) {
    analyse_file(f, report, &total);
    if (HasFatalFailure()) return;
  }
  std::printf("corpus: %d batches, %d accepted\n", total.batches, total.accepted);
  RecordProperty("batches", total.batches);
  RecordProperty("accepted", total.accepted);
  EXPECT_GE(total.accepted, kAcceptedBatches);
}

}  // namespace

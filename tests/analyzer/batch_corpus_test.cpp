// The T-SQL corpus, file by file through the test host (no crash, a
// well-formed report) and batch by batch through the library's interface,
// counting the batches that the parser accepts. The count may only grow.
#include <gtest/gtest.h>
#include <string.h>
#include <sys/wait.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "ag_context.h"
#include "qen_analyzer.h"

namespace fs = std::filesystem;

namespace {

// Accepted batches of the corpus when this test was written.
constexpr int kAcceptedBatches = 266;

struct ProcessResult {
  bool exited = false;
  int status = -1;
  std::string output;
};

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
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

std::vector<fs::path> corpus_files(const fs::path& dir) {
  std::vector<fs::path> files;
  for (auto& e : fs::recursive_directory_iterator(dir))
    if (e.is_regular_file()) files.push_back(e.path());
  std::sort(files.begin(), files.end());
  return files;
}

// A line that holds only "go" (any case, blanks around it) ends a batch.
bool is_go_line(const char* line) {
  const char* p = line;
  while (*p == ' ' || *p == '\t') ++p;
  if (std::tolower((unsigned char)p[0]) != 'g' || std::tolower((unsigned char)p[1]) != 'o') return false;
  p += 2;
  while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n') ++p;
  return *p == '\0';
}

struct Tally {
  int batches = 0;
  int accepted = 0;
};

// One batch as a host analyses it: a fresh context over the text, the
// environment in its slot, the parse, the end of the last object.
void analyse_batch(file_state* state, const std::string& text, const int version[3], Tally* t) {
  if (text.empty()) return;
  ++t->batches;
  st_context ctx;
  memset(&ctx, 0, sizeof ctx);
  ASSERT_EQ(context_init(&ctx), 0);
  if (context_set_string_input(&ctx, text.data(), text.data() + text.size())) {
    ctx.file_state = state;
    envn* env = envn_new(&ctx, version);
    ctx.envn = env;
    if (env != nullptr) {
      if (analyzer_parse(&ctx, 0) == 0) ++t->accepted;
      envn_done(env);
    }
  }
  context_done(&ctx);
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
    if (at_line_start && is_go_line(line)) {
      if (in_batch) analyse_batch(state, batch, version, t);
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
  if (in_batch) analyse_batch(state, batch, version, t);
  file_state_free(state);
}

TEST(BatchCorpus, AcceptedBatches) {
  fs::path corpus = fs::path(QEN_SHARED_DIR) / "corpus" / "tsql";
  if (!fs::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
  analyzer_init();
  ASSERT_EQ(lib_one_time_init(), 0);
  fs::path report = fs::path(QEN_TEST_TMP_DIR) / "batch_corpus_inprocess.xml";
  Tally total;
  for (auto& f : corpus_files(corpus)) {
    analyse_file(f, report, &total);
    if (HasFatalFailure()) return;
  }
  std::printf("corpus: %d batches, %d accepted\n", total.batches, total.accepted);
  RecordProperty("batches", total.batches);
  RecordProperty("accepted", total.accepted);
  EXPECT_GE(total.accepted, kAcceptedBatches);
}

TEST(BatchCorpus, EveryFileThroughTheHost) {
#ifndef QEN_HOST_PATH
  GTEST_SKIP() << "no host program";
#else
  fs::path corpus = fs::path(QEN_SHARED_DIR) / "corpus" / "tsql";
  if (!fs::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
  fs::path report = fs::path(QEN_TEST_TMP_DIR) / "batch_corpus_host.xml";
  for (auto& f : corpus_files(corpus)) {
    fs::remove(report);
    ProcessResult host = run(std::string(QEN_HOST_PATH) + " -o " + quote(report.string()) + " " +
                             quote(f.string()) + " 2>&1 >/dev/null");
    ASSERT_TRUE(host.exited) << f << ": " << host.output;
    EXPECT_TRUE(host.status == 0 || host.status == 1) << f << " status " << host.status;
    EXPECT_EQ(host.output.find("Sanitizer"), std::string::npos) << f << ": " << host.output;
    EXPECT_EQ(host.output.find("runtime error"), std::string::npos) << f << ": " << host.output;
    ProcessResult lint = run("xmllint --noout " + quote(report.string()) + " 2>&1");
    EXPECT_TRUE(lint.exited && lint.status == 0) << f << ": " << lint.output;
  }
#endif
}

}  // namespace

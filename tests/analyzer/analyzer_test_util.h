// Helpers shared by the analyzer's run-time tests.
#ifndef QEN_ANALYZER_TEST_UTIL_H
#define QEN_ANALYZER_TEST_UTIL_H

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "ag_context.h"
#include "ag_string.h"
#include "host_batch.h"
#include "qen_analyzer.h"
#include "shell_command.h"

namespace qen_test {

inline std::string tmp_path(const std::string& name) {
  return std::string(QEN_TEST_TMP_DIR) + "/" + name;
}

// Files of the shared T-SQL corpus in name order; empty when it is absent.
inline std::vector<std::filesystem::path> tsql_corpus_files() {
  namespace fs = std::filesystem;
  std::vector<fs::path> files;
  fs::path root = fs::path(QEN_SHARED_DIR) / "corpus" / "tsql";
  if (!fs::is_directory(root)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

inline void write_file(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

// How often what occurs in text, the occurrences not overlapping.
inline int count_of(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t at = 0; (at = text.find(what, at)) != std::string::npos; at += what.size()) ++n;
  return n;
}

// The seventeen counters of a report, in the report's order; name the ones
// that are not zero: {.statements = 3, .max_batch_size = 3, ...}.
struct Counters {
  int statements = 0;            // StatementCount
  int tables = 0;                // TableCount
  int views = 0;                 // ViewCount
  int procedures = 0;            // ProcedureCount
  int triggers = 0;              // TriggerCount
  int trigger_statements = 0;    // TriggerStatementCount
  int rules = 0;                 // RuleCount
  int defaults = 0;              // DefaultCount
  int schemas = 0;               // SchemaCount
  int databases = 0;             // DatabaseCount
  int indexes = 0;               // IndexCount
  int max_procedure_size = 0;    // MaxProcedureSize
  int min_procedure_size = 0;    // MinProcedureSize
  int procedure_statements = 0;  // ProcedureStatementCount
  int max_batch_size = 0;        // MaxBatchSize
  int min_batch_size = 0;        // MinBatchSize
  int batch_statements = 0;      // BatchStatementCount
};

// The report tail that file_state_free writes for the given counters.
inline std::string report_tail(const Counters& c) {
  const std::pair<const char*, int> counters[17] = {
      {"StatementCount", c.statements},
      {"TableCount", c.tables},
      {"ViewCount", c.views},
      {"ProcedureCount", c.procedures},
      {"TriggerCount", c.triggers},
      {"TriggerStatementCount", c.trigger_statements},
      {"RuleCount", c.rules},
      {"DefaultCount", c.defaults},
      {"SchemaCount", c.schemas},
      {"DatabaseCount", c.databases},
      {"IndexCount", c.indexes},
      {"MaxProcedureSize", c.max_procedure_size},
      {"MinProcedureSize", c.min_procedure_size},
      {"ProcedureStatementCount", c.procedure_statements},
      {"MaxBatchSize", c.max_batch_size},
      {"MinBatchSize", c.min_batch_size},
      {"BatchStatementCount", c.batch_statements}};
  std::string s = "    </objects>\n    <counters>\n";
  for (const auto& [name, value] : counters)
    s += std::string("      <counter>\n        <name>") + name + "</name>\n        <value>" +
         std::to_string(value) + "</value>\n      </counter>\n";
  s += "    </counters>\n  </file>\n</source>\n";
  return s;
}

inline std::string file_head(const std::string& name, const std::string& id) {
  return "  <file>\n    <name><![CDATA[" + name + "]]></name>\n    <id><![CDATA[" + id +
         "]]></id>\n    <objects>\n";
}

// A parsing context over a batch text whose lexemes end at the given
// offsets (lexeme j spans from the end of lexeme j - 1 to ends[j]).
class batch_context {
 public:
  batch_context(const std::string& text, std::initializer_list<int> ends) : text_(text) {
    static bool started = false;
    if (!started) {
      lib_one_time_init();
      started = true;
    }
    memset(&ctx_, 0, sizeof ctx_);
    context_init(&ctx_);
    context_set_string_input(&ctx_, text_.data(), text_.data() + text_.size());
    int n = (int)ends.size();
    spv_set_elem_count(ctx_.lexeme_start, n + 2);
    spv_set_elem_count(ctx_.lexeme_kind, n + 2);
    int i = 1;
    for (int e : ends) {
      *int_spv_elem_addr(ctx_.lexeme_start, (unsigned)i) = e;
      *int_spv_elem_addr(ctx_.lexeme_kind, (unsigned)i) = 0;
      ++i;
    }
    ctx_.lexeme_count = n - 1;
  }
  ~batch_context() { context_done(&ctx_); }
  st_context* get() { return &ctx_; }
  // Stores the file state and a new environment in the host slots.
  envn* attach(file_state* fs, const int version[3]) {
    ctx_.file_state = fs;
    envn* env = envn_new(&ctx_, version);
    ctx_.envn = env;
    return env;
  }

 private:
  std::string text_;
  st_context ctx_;
};

// Readies the library and the analyzer, once per process.
inline void start_analyzer() {
  static const bool started = [] {
    lib_one_time_init();
    analyzer_init();
    return true;
  }();
  (void)started;
}

using qen_host::analyse_batch;
using qen_host::kBatchNotStarted;

// A file analysed in process the way the host does it, batch by batch: the
// input file holds `input` (the statement ids hash its path), the report
// goes to out_path. finish() ends the report and reads it back. Call
// start_analyzer() first.
class batch_file {
 public:
  batch_file(const std::string& in_path, const std::string& out_path, const std::string& id,
             const std::string& input)
      : in_path_(in_path), out_path_(out_path) {
    write_file(in_path_, input);
    remove(out_path_.c_str());
    ver_init(version_, nullptr);
    fs_ = file_state_new(id.c_str(), in_path_.c_str(), out_path_.c_str(), 0, 1);
  }
  ~batch_file() {
    if (fs_ != nullptr) file_state_free(fs_);
  }
  batch_file(const batch_file&) = delete;
  batch_file& operator=(const batch_file&) = delete;

  file_state* state() const { return fs_; }
  int analyse(const std::string& text, int quoted = 0) {
    return fs_ != nullptr ? analyse_batch(context_, fs_, text, version_, quoted) : kBatchNotStarted;
  }
  // Frees the file state (the report's end is written then) and returns the
  // report.
  std::string finish() {
    if (fs_ != nullptr) file_state_free(fs_);
    fs_ = nullptr;
    return read_file(out_path_);
  }
  // Removes both files.
  void remove_files() const {
    remove(in_path_.c_str());
    remove(out_path_.c_str());
  }

 private:
  std::string in_path_, out_path_;
  file_state* fs_ = nullptr;
  int version_[3];
  qen_host::thread_context context_;
};

inline st_String_const* str(const char* text) {
  return make_string_from(context_get(), text, (int)strlen(text));
}

}  // namespace qen_test

#endif

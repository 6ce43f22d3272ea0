// Helpers shared by the analyzer's run-time tests.
#ifndef QEN_ANALYZER_TEST_UTIL_H
#define QEN_ANALYZER_TEST_UTIL_H

#include <stdio.h>
#include <string.h>

#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>

#include "ag_context.h"
#include "ag_string.h"
#include "qen_analyzer.h"

namespace qen_test {

inline std::string tmp_path(const std::string& name) {
  return std::string(QEN_TEST_TMP_DIR) + "/" + name;
}

inline std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void write_file(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

// The report tail that file_state_free writes for the given counters.
inline std::string report_tail(std::initializer_list<int> values) {
  static const char* const names[17] = {
      "StatementCount", "TableCount", "ViewCount", "ProcedureCount", "TriggerCount",
      "TriggerStatementCount", "RuleCount", "DefaultCount", "SchemaCount", "DatabaseCount",
      "IndexCount", "MaxProcedureSize", "MinProcedureSize", "ProcedureStatementCount",
      "MaxBatchSize", "MinBatchSize", "BatchStatementCount"};
  std::string s = "    </objects>\n    <counters>\n";
  int code = 0;
  auto it = values.begin();
  for (; code < 17; ++code) {
    int v = it != values.end() ? *it++ : 0;
    s += std::string("      <counter>\n        <name>") + names[code] + "</name>\n        <value>" +
         std::to_string(v) + "</value>\n      </counter>\n";
  }
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

inline st_String_const* str(const char* text) {
  return make_string_from(context_get(), text, (int)strlen(text));
}

}  // namespace qen_test

#endif

// Parses one batch through the library in process, with an observer called
// at every reduction of the start production, for tests that read the tree
// and the words that constructors and the pass leave in it.
#ifndef QEN_ANALYZER_OBSERVED_BATCH_H
#define QEN_ANALYZER_OBSERVED_BATCH_H

#include <gtest/gtest.h>
#include <string.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "ag_context.h"
#include "file_state_internal.h"
#include "grammar_support.h"
#include "qen_analyzer.h"

namespace qen_test {

struct ObservedBatch {
  int result = -1;                  // what analyzer_parse returned
  int32_t counters[FS_COUNTERS]{};  // the file's counters after the batch
  std::string report;               // the report written for the batch
};

// prefix names the scratch files (tests run as parallel processes: the
// names also carry the process id).
inline ObservedBatch parse_observed(const std::string& prefix, const std::string& text, gn_goal_observer observe,
                                    void* user, int quoted = 0) {
  static bool started = false;
  if (!started) {
    lib_one_time_init();
    analyzer_init();
    started = true;
  }
  static int serial = 0;
  std::string base = std::string(QEN_TEST_TMP_DIR) + "/" + prefix + "_" + std::to_string(getpid()) + "_" +
                     std::to_string(++serial);
  std::string in_path = base + ".sql", out_path = base + ".xml";
  std::filesystem::remove(out_path);
  std::ofstream(in_path, std::ios::binary) << text;
  ObservedBatch out;
  gn_set_goal_observer(observe, user);
  int version[3];
  ver_init(version, nullptr);
  file_state* fs = file_state_new("t", in_path.c_str(), out_path.c_str(), 0, 1);
  EXPECT_NE(fs, nullptr);
  if (fs != nullptr) {
    file_state_mark(fs);
    st_context ctx;
    memset(&ctx, 0, sizeof ctx);
    EXPECT_EQ(context_init(&ctx), 0);
    EXPECT_TRUE(context_set_string_input(&ctx, text.data(), text.data() + text.size()));
    ctx.file_state = fs;
    envn* env = envn_new(&ctx, version);
    ctx.envn = env;
    out.result = analyzer_parse(&ctx, quoted);
    envn_done(env);
    memcpy(out.counters, fs->counters, sizeof out.counters);
    context_done(&ctx);
    file_state_free(fs);
  }
  gn_set_goal_observer(nullptr, nullptr);
  std::ifstream report(out_path, std::ios::binary);
  std::stringstream content;
  content << report.rdbuf();
  out.report = content.str();
  std::filesystem::remove(in_path);
  std::filesystem::remove(out_path);
  return out;
}

}  // namespace qen_test

#endif

// Parses one batch through the library in process, with an observer called
// at every reduction of the start production, for tests that read the tree
// and the words that constructors and the pass leave in it.
#ifndef QEN_ANALYZER_OBSERVED_BATCH_H
#define QEN_ANALYZER_OBSERVED_BATCH_H

#include <gtest/gtest.h>
#include <string.h>
#include <unistd.h>

#include <string>

#include "ag_context.h"
#include "analyzer_test_util.h"
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
  start_analyzer();
  static int serial = 0;
  std::string base = std::string(QEN_TEST_TMP_DIR) + "/" + prefix + "_" + std::to_string(getpid()) + "_" +
                     std::to_string(++serial);
  batch_file file(base + ".sql", base + ".xml", "t", text);
  ObservedBatch out;
  EXPECT_NE(file.state(), nullptr);
  if (file.state() != nullptr) {
    file_state_mark(file.state());
    gn_set_goal_observer(observe, user);
    out.result = file.analyse(text, quoted);
    gn_set_goal_observer(nullptr, nullptr);
    EXPECT_NE(out.result, kBatchNotStarted);
    memcpy(out.counters, file.state()->counters, sizeof out.counters);
  }
  out.report = file.finish();
  file.remove_files();
  return out;
}

}  // namespace qen_test

#endif

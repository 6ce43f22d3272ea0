// The quoted-identifier setting as batches see it through the library:
// the host's flag at the start of each batch, and SET QUOTED_IDENTIFIER
// inside a batch for the tokens after it. "abs"(1) parses only when the
// double-quoted word is read as the keyword, so the count of syntax errors
// in the report tells which way the scanner read it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ag_context.h"
#include "analyzer_test_util.h"
#include "qen_analyzer.h"

namespace {

using qen_test::count_of;

class QuotedSwitch : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_EQ(lib_one_time_init(), 0);
    analyzer_init();
  }

  // Runs the batches with the host's flag; returns the syntax errors reported.
  int syntax_errors(const std::vector<std::string>& batches, int quoted) {
    std::filesystem::create_directories(QEN_TEST_TMP_DIR);
    qen_test::batch_file file(std::string(QEN_TEST_TMP_DIR) + "/quoted_switch_in.sql",
                              std::string(QEN_TEST_TMP_DIR) + "/quoted_switch_out.xml", "q",
                              "-- batches are fed directly\n");
    EXPECT_NE(file.state(), nullptr);
    if (file.state() == nullptr) return -1;
    for (const std::string& b : batches) EXPECT_NE(file.analyse(b, quoted), qen_test::kBatchNotStarted);
    return count_of(file.finish(), "<syntax-error>");
  }
};

const std::string kUse = "select \"abs\"(1)\n";

TEST_F(QuotedSwitch, HostFlagDecidesAtTheStartOfEachBatch) {
  EXPECT_EQ(syntax_errors({kUse}, 0), 1);
  EXPECT_EQ(syntax_errors({kUse}, 1), 0);
  EXPECT_EQ(syntax_errors({"select 'abs'\n"}, 0), 0);
}

TEST_F(QuotedSwitch, SetStatementAppliesToLaterTokens) {
  EXPECT_EQ(syntax_errors({"SET QUOTED_IDENTIFIER ON\n" + kUse}, 0), 0);
  EXPECT_EQ(syntax_errors({"set quoted_identifier off\n" + kUse}, 1), 1);
  // The next batch starts again from the host's flag.
  EXPECT_EQ(syntax_errors({"SET QUOTED_IDENTIFIER ON\n", kUse}, 0), 1);
}

}  // namespace

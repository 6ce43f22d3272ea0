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
#include "qen_analyzer.h"

namespace {

int count_of(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
  return n;
}

class QuotedSwitch : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_EQ(lib_one_time_init(), 0);
    analyzer_init();
  }

  // Runs the batches with the host's flag; returns the syntax errors reported.
  int syntax_errors(const std::vector<std::string>& batches, int quoted) {
    std::filesystem::create_directories(QEN_TEST_TMP_DIR);
    const std::string in = std::string(QEN_TEST_TMP_DIR) + "/quoted_switch_in.sql";
    const std::string out = std::string(QEN_TEST_TMP_DIR) + "/quoted_switch_out.xml";
    std::ofstream(in) << "-- batches are fed directly\n";
    std::remove(out.c_str());
    int version[3];
    ver_init(version, nullptr);
    file_state* fs = file_state_new("q", in.c_str(), out.c_str(), 0, 1);
    EXPECT_NE(fs, nullptr);
    if (fs == nullptr) return -1;
    for (const std::string& b : batches) {
      std::string text = b;  // kept alive while the context reads it
      st_context ctx;
      std::memset(&ctx, 0, sizeof ctx);
      EXPECT_EQ(context_init(&ctx), 0);
      EXPECT_EQ(context_set_string_input(&ctx, text.data(), text.data() + text.size()), 1);
      ctx.file_state = fs;
      envn* env = envn_new(&ctx, version);
      ctx.envn = env;
      EXPECT_NE(env, nullptr);
      if (env != nullptr) {
        analyzer_parse(&ctx, quoted);
        envn_done(env);
      }
      context_done(&ctx);
    }
    file_state_free(fs);
    std::ifstream r(out, std::ios::binary);
    std::stringstream s;
    s << r.rdbuf();
    return count_of(s.str(), "<syntax-error>");
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

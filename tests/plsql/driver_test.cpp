// The translate routine in process: outcomes, closing messages, repeated runs.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "parse_context.h"
#include "run_pool.h"
#include "token_reader.h"
#include "plsql_scanner.hpp"

namespace {

std::string messagesOf(const TranslateResult& r) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  printTranslateMessages(r);
  std::fflush(stdout);
  std::fflush(stderr);
  std::string out = testing::internal::GetCapturedStdout();
  std::string err = testing::internal::GetCapturedStderr();
  return out + "|" + err;
}

}  // namespace

TEST(Driver, ClosingMessages) {
  TranslateResult r;
  std::memset(&r, 0, sizeof r);
  EXPECT_EQ(messagesOf(r), "|");
  r.parseFailed = true;
  r.unableToParse = true;
  EXPECT_EQ(messagesOf(r), "VESTRAKE: UNABLE TO PARSE\n|");
  r.unableToParse = false;
  r.failLine = 7;
  EXPECT_EQ(messagesOf(r), "VESTRAKE: Syntax error at line 7\n|");
  r.tooManyErrors = true;
  EXPECT_EQ(messagesOf(r), "VESTRAKE: Syntax error at line 7\nVESTRAKE: TOO MANY ERRORS\n|");
  std::memset(&r, 0, sizeof r);
  r.jumpCode = POOL_JUMP_OUT_OF_MEMORY;
  EXPECT_EQ(messagesOf(r), "|VESTRAKE: OUT OF MEMORY\n");
}

TEST(Driver, RepeatedRunsInOneProcess) {
  TranslateOptions options;
  setCommandLineDefaults(&options);
  for (int i = 0; i < 3; ++i) {
    TranslateResult r = translateCore("begin null; end;", &options);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.root, nullptr);
    EXPECT_EQ(r.errors, nullptr);
  }
  poolDestroyCurrent();
  EXPECT_EQ(poolCurrent(), nullptr);
  EXPECT_EQ(poolAlloc(8), nullptr);
  // The run after an outside destroy starts cleanly.
  TranslateResult r = translateCore("", nullptr);
  EXPECT_EQ(r.jumpCode, 0);
  poolDestroyCurrent();
}

TEST(Driver, FailedParseStatus) {
  TranslateResult r = translateCore("begin", nullptr);
  EXPECT_EQ(r.status, 5);
  EXPECT_TRUE(r.parseFailed);
  ASSERT_NE(r.errors, nullptr);
  EXPECT_EQ(r.errors->domain, 0);
  poolDestroyCurrent();
}

TEST(DriverDeathTest, ScannerFatalMessagesNameTheScannerFunctions) {
  EXPECT_EXIT(
      {
        yyscan_t scanner = nullptr;
        xxlex_init(&scanner);
        xxset_lineno(3, scanner);
      },
      testing::ExitedWithCode(2), "^xxset_lineno called with no buffer\n$");
  EXPECT_EXIT(
      {
        yyscan_t scanner = nullptr;
        xxlex_init(&scanner);
        xxset_column(3, scanner);
      },
      testing::ExitedWithCode(2), "^xxset_column called with no buffer\n$");
}

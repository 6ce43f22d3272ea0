// The translate routine in process: outcomes, closing messages, repeated runs.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "parse_context.h"
#include "run_pool.h"
#include "token_reader.h"
#include "translate.h"
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
  EXPECT_EQ(messagesOf(r), "|");
  r.parseFailed = true;
  r.unableToParse = true;
  EXPECT_EQ(messagesOf(r), "VESTRAKE: UNABLE TO PARSE\n|");
  r.unableToParse = false;
  r.failLine = 7;
  EXPECT_EQ(messagesOf(r), "VESTRAKE: Syntax error at line 7\n|");
  r.tooManyErrors = true;
  EXPECT_EQ(messagesOf(r), "VESTRAKE: Syntax error at line 7\nVESTRAKE: TOO MANY ERRORS\n|");
  r = TranslateResult();
  r.jumpCode = POOL_JUMP_OUT_OF_MEMORY;
  EXPECT_EQ(messagesOf(r), "|VESTRAKE: OUT OF MEMORY\n");
  r.partialDump = "t.xml.1.0.partial";
  EXPECT_EQ(messagesOf(r), "|VESTRAKE: OUT OF MEMORY\nVESTRAKE: Partial AST dump kept in t.xml.1.0.partial\n");
}

// The memory of a run goes with its result, and a run leaves the caller's
// current pool as it found it.
TEST(Driver, RepeatedRunsInOneProcess) {
  TranslateOptions options;
  setCommandLineDefaults(&options);
  size_t before = poolHeapInUse();
  for (int i = 0; i < 3; ++i) {
    TranslateResult r = translateCore("begin null; end;", &options);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.root, nullptr);
    EXPECT_EQ(r.errors, nullptr);
    EXPECT_NE(r.pool, nullptr);
    EXPECT_EQ(poolCurrent(), nullptr);
    EXPECT_EQ(poolAlloc(8), nullptr);
  }
  EXPECT_EQ(poolHeapInUse(), before);
  PoolJumpTarget target{1};
  Pool* callers = poolCreateCurrent(&target);
  char* kept = poolStrdup("kept");
  {
    TranslateResult r = translateCore("begin", nullptr);
    EXPECT_EQ(r.status, 5);
    EXPECT_EQ(poolCurrent(), callers);
  }
  EXPECT_EQ(poolCurrent(), callers);
  EXPECT_EQ(callers->jumpTarget, &target);
  EXPECT_STREQ(kept, "kept");
  poolDestroyCurrent();
  EXPECT_EQ(poolHeapInUse(), before);
}

TEST(Driver, FailedParseStatus) {
  TranslateResult r = translateCore("begin", nullptr);
  EXPECT_EQ(r.status, 5);
  EXPECT_TRUE(r.parseFailed);
  ASSERT_NE(r.errors, nullptr);
  EXPECT_EQ(r.errors->domain, 0);
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

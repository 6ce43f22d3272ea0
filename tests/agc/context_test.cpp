// Parsing context: set-up, inputs, line table, logging and the fatal exits.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "ag_context.h"
#include "agc_death.h"

namespace {

std::vector<int> line_table(const st_context &c) {
  std::vector<int> out;
  for (int i = 0; i < spv_elem_count(c.line_table); ++i) out.push_back(*int_spv_elem_addr(c.line_table, i));
  return out;
}

std::string tmp_file(const std::string &name, const std::string &content) {
  std::filesystem::create_directories(QEN_TEST_TMP_DIR);
  std::string path = std::string(QEN_TEST_TMP_DIR) + "/" + name;
  FILE *f = std::fopen(path.c_str(), "wb");
  std::fwrite(content.data(), 1, content.size(), f);
  std::fclose(f);
  return path;
}

// What context_init and context_reset leave: no input, empty lexeme tables
// and the default log level, and the context current.
void expect_ready_for_input(const st_context &c) {
  EXPECT_EQ(context_get(), &c);
  EXPECT_NE(c.pool, nullptr);
  EXPECT_EQ(c.input_start, nullptr);
  EXPECT_EQ(c.input_end, nullptr);
  EXPECT_EQ(c.cursor, nullptr);
  EXPECT_EQ(c.line_table, nullptr);
  EXPECT_EQ(c.log_level, context_get_default_loglevel());
  EXPECT_NE(c.log_callback, nullptr);
  EXPECT_EQ(spv_elem_count(c.lexeme_start), 10);
  EXPECT_EQ(spv_elem_count(c.lexeme_kind), 10);
  EXPECT_EQ(*int_spv_elem_addr(c.lexeme_start, 0), 0);
  EXPECT_EQ(*int_spv_elem_addr(c.lexeme_kind, 0), -1);
}

std::vector<std::pair<int, std::string>> g_logged;
void recorder(int level, const char *text) { g_logged.emplace_back(level, text); }

class ContextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(lib_one_time_init(), 0);
    std::memset(&ctx, 0, sizeof ctx);
    g_logged.clear();
  }
  void TearDown() override {
    if (ctx.pool) context_done(&ctx);
    context_remember(nullptr);
    context_set_default_log(nullptr, 2);
  }
  st_context ctx;
};

TEST_F(ContextTest, InitFillsTheRecordAndMakesItCurrent) {
  int host_env = 0, host_file = 0;
  ctx.envn = &host_env;
  ctx.file_state = &host_file;
  ctx.lexeme_count = 77;
  EXPECT_EQ(context_get(), nullptr);
  ASSERT_EQ(context_init(&ctx), 0);
  expect_ready_for_input(ctx);
  EXPECT_EQ(context_getnull(), &ctx);
  EXPECT_EQ(ctx.lexeme_count, 77);
  EXPECT_EQ(ctx.envn, &host_env);
  EXPECT_EQ(ctx.file_state, &host_file);
  EXPECT_EQ(ctx.log_level, 2);
  context_done(&ctx);
  EXPECT_EQ(ctx.pool, nullptr);
  EXPECT_EQ(context_get(), &ctx);
  EXPECT_EQ(context_init(nullptr), 22);
  lib_one_time_done();
}

// A reset context is what context_done then context_init would leave,
// except that it keeps its pool.
TEST_F(ContextTest, ResetReadiesTheContextAndKeepsItsPool) {
  EXPECT_EQ(context_reset(nullptr), 22);
  ASSERT_EQ(context_reset(&ctx), 0);  // no pool yet: set up as by context_init
  ASSERT_NE(ctx.pool, nullptr);
  smp_memory_pool *pool = ctx.pool;
  static const char text[] = "ab\ncd";
  ASSERT_EQ(context_set_string_input(&ctx, text, text + 5), 1);
  spv_set_elem_count(ctx.lexeme_start, 5000);
  *int_spv_elem_addr(ctx.lexeme_start, 0) = 9;
  *int_spv_elem_addr(ctx.lexeme_kind, 0) = 9;
  ctx.lexeme_count = 12;
  context_set_default_log(recorder, 4);
  int host_env = 0;
  ctx.envn = &host_env;
  context_remember(nullptr);

  ASSERT_EQ(context_reset(&ctx), 0);
  expect_ready_for_input(ctx);
  EXPECT_EQ(ctx.pool, pool);
  EXPECT_EQ(ctx.lexeme_count, 0);
  EXPECT_EQ(ctx.envn, &host_env);
  EXPECT_EQ(ctx.log_level, 4);
  EXPECT_EQ(ctx.log_callback, recorder);
  ASSERT_EQ(context_set_string_input(&ctx, text, text + 5), 1);
  EXPECT_EQ(line_table(ctx), (std::vector<int>{-1, 2, 5, 6}));
}

TEST_F(ContextTest, OtherThreadsHaveNoContext) {
  ASSERT_EQ(context_init(&ctx), 0);
  st_context *seen = &ctx;
  std::thread t([&seen] {
    seen = context_get();
    context_info("from a thread %d\n", 5);
  });
  context_set_default_log(recorder, 3);
  t.join();
  EXPECT_EQ(seen, nullptr);
  EXPECT_EQ(context_get(), &ctx);
}

TEST_F(ContextTest, StringInputAndLineTable) {
  ASSERT_EQ(context_init(&ctx), 0);
  static const char two_lines[] = "ab\ncd";
  EXPECT_EQ(context_set_string_input(&ctx, two_lines, two_lines + 5), 1);
  EXPECT_EQ(ctx.input_start, two_lines);
  EXPECT_EQ(ctx.cursor, two_lines);
  EXPECT_EQ(ctx.input_end, two_lines + 5);
  EXPECT_EQ(ctx.lexeme_count, 0);
  EXPECT_EQ(line_table(ctx), (std::vector<int>{-1, 2, 5, 6}));
  EXPECT_EQ(context_line_count(&ctx), 2);
  EXPECT_EQ(context_line_begin(&ctx, 2), 3);
  EXPECT_EQ(context_line_end(&ctx, 2), 5);
  EXPECT_EQ(context_line_begin(&ctx, 3), -1);

  ctx.lexeme_count = 9;
  static const char ends_in_newline[] = "ab\n";
  EXPECT_EQ(context_set_string_input(&ctx, ends_in_newline, ends_in_newline + 3), 1);
  EXPECT_EQ(ctx.lexeme_count, 0);
  EXPECT_EQ(line_table(ctx), (std::vector<int>{-1, 2, 3, 4}));
  EXPECT_EQ(context_line_begin(&ctx, 2), 3);
  EXPECT_EQ(context_line_end(&ctx, 2), 3);

  // Only 0x0A ends a line; NUL bytes do not stop the scan.
  static const char odd[] = "a\r\nb\0\nc";
  EXPECT_EQ(context_set_string_input(&ctx, odd, odd + sizeof odd - 1), 1);
  EXPECT_EQ(line_table(ctx), (std::vector<int>{-1, 2, 5, 7, 8}));

  std::string many;
  for (int i = 0; i < 1234; ++i) many += std::to_string(i) + "\n";
  many += "end";
  ASSERT_EQ(context_set_string_input(&ctx, many.c_str(), many.c_str() + many.size()), 1);
  std::vector<int> t = line_table(ctx);
  ASSERT_EQ(t.size(), 1234u + 3);
  int k = 1;
  for (std::size_t i = 0; i < many.size(); ++i)
    if (many[i] == '\n') {
      ASSERT_EQ(t[k++], static_cast<int>(i));
    }
  EXPECT_EQ(t[1235], static_cast<int>(many.size()));
  EXPECT_EQ(t[1236], static_cast<int>(many.size()) + 1);
}

TEST_F(ContextTest, StringInputPreconditions) {
  ASSERT_EQ(context_init(&ctx), 0);
  static const char text[] = "select 1";
  EXPECT_EQ(context_set_string_input(&ctx, text, text + 3), 0);   // no NUL at end
  EXPECT_EQ(context_set_string_input(&ctx, text + 8, text + 8), 0);  // empty
  EXPECT_EQ(context_set_string_input(&ctx, text + 8, text), 0);  // reversed (text[0] is no NUL either)
  static const char two[] = "a\0b";
  EXPECT_EQ(context_set_string_input(&ctx, two + 3, two + 1), 0);  // reversed, NUL at end
  EXPECT_EQ(context_set_string_input(&ctx, nullptr, text + 8), 0);
  EXPECT_EQ(context_set_string_input(&ctx, text, nullptr), 0);
  EXPECT_EQ(context_set_string_input(nullptr, text, text + 8), 0);
  EXPECT_EQ(ctx.input_start, nullptr);
  EXPECT_EQ(ctx.line_table, nullptr);
  EXPECT_EQ(context_set_string_input(&ctx, text, text + 8), 1);
  context_done(&ctx);
  EXPECT_EQ(context_set_string_input(&ctx, text, text + 8), 0);  // no pool any more
}

TEST_F(ContextTest, FileInput) {
  ASSERT_EQ(context_init(&ctx), 0);
  std::string path = tmp_file("ctx_two_lines.sql", "ab\ncd");
  ASSERT_EQ(context_set_file_input(&ctx, path.c_str()), 0);
  ASSERT_NE(ctx.input_start, nullptr);
  EXPECT_EQ(std::string(ctx.input_start, ctx.input_end), "ab\ncd");
  EXPECT_EQ(*ctx.input_end, '\0');
  EXPECT_EQ(ctx.cursor, ctx.input_start);
  EXPECT_EQ(ctx.lexeme_count, 0);
  EXPECT_EQ(line_table(ctx), (std::vector<int>{-1, 2, 5, 6}));

  std::string empty = tmp_file("ctx_empty.sql", "");
  ASSERT_EQ(context_set_file_input(&ctx, empty.c_str()), 0);
  EXPECT_EQ(ctx.input_end, ctx.input_start);
  EXPECT_EQ(line_table(ctx), (std::vector<int>{-1, 0, 1}));

  EXPECT_EQ(context_set_file_input(&ctx, (std::string(QEN_TEST_TMP_DIR) + "/no_such_file").c_str()), -3);
  EXPECT_EQ(ctx.input_start, nullptr);
  EXPECT_EQ(context_set_file_input(&ctx, nullptr), -2);
  // A directory opens but cannot be read as one text.
  int dir = context_set_file_input(&ctx, QEN_TEST_TMP_DIR);
  EXPECT_TRUE(dir == -8 || dir == -9 || dir == -4 || dir == -6) << dir;
  // Procfs files report size 0 but read more: a short-read mismatch.
  if (std::filesystem::exists("/proc/self/status")) {
    EXPECT_EQ(context_set_file_input(&ctx, "/proc/self/status"), -9);
    EXPECT_EQ(ctx.input_start, nullptr);
  }
  context_done(&ctx);
  EXPECT_EQ(context_set_file_input(&ctx, path.c_str()), -1);
  EXPECT_EQ(context_set_file_input(nullptr, path.c_str()), -1);
}

TEST_F(ContextTest, FileLargerThanAnyChunkIsRefused) {
  ASSERT_EQ(context_init(&ctx), 0);
  std::filesystem::create_directories(QEN_TEST_TMP_DIR);
  std::string path = std::string(QEN_TEST_TMP_DIR) + "/ctx_huge.sql";
  int fd = open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, 96L * 1024 * 1024), 0);  // sparse: takes no disk space
  close(fd);
  EXPECT_EQ(context_set_file_input(&ctx, path.c_str()), -8);
  EXPECT_EQ(ctx.input_start, nullptr);
  std::remove(path.c_str());
  // The pool is still usable afterwards.
  EXPECT_NE(smp_malloc(ctx.pool, 100), nullptr);
}

TEST_F(ContextTest, InternalDataPointer) {
  static const char chars[] = "xyz";
  const void *record[3] = {chars, nullptr, nullptr};
  EXPECT_EQ(internal_data_ptr_fcs(record), chars);
  EXPECT_EQ(internal_data_ptr_fcs(nullptr), nullptr);
}

TEST_F(ContextTest, DefaultPrinterAndLevels) {
  EXPECT_EQ(context_get_default_loglevel(), 2);
  ::testing::internal::CaptureStdout();
  context_fatal("x");
  context_log(7, "y%d\n", 7);
  context_debug("d");
  context_info("i");
  context_warn("w");
  context_error("e");
  context_log(5, "%s", "f");
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "FATAL xINFO  y7\nDEBUG dINFO  iWARN  wERROR eFATAL f");

  context_set_default_log(recorder, 4);
  EXPECT_EQ(context_get_default_loglevel(), 4);
  ASSERT_EQ(context_init(&ctx), 0);
  EXPECT_EQ(ctx.log_level, 4);
  EXPECT_EQ(ctx.log_callback, &recorder);
  context_warn("%s-%d", "w", 3);
  ASSERT_EQ(g_logged.size(), 1u);
  EXPECT_EQ(g_logged[0], std::make_pair(3, std::string("w-3")));

  // The context's own callback wins; without one the default serves.
  std::vector<std::string> own;
  static std::vector<std::string> *own_sink;
  own_sink = &own;
  ctx.log_callback = [](int level, const char *text) { own_sink->push_back(std::to_string(level) + text); };
  context_error("e");
  EXPECT_EQ(own, std::vector<std::string>{"4e"});
  ctx.log_callback = nullptr;
  context_debug("d");
  EXPECT_EQ(g_logged.back(), std::make_pair(1, std::string("d")));

  // Long texts are cut to 4095 bytes.
  std::string big(5000, 'q');
  context_info("%s", big.c_str());
  EXPECT_EQ(g_logged.back().second, big.substr(0, 4095));

  context_set_default_log(nullptr, 1);
  context_remember(nullptr);
  ::testing::internal::CaptureStdout();
  context_warn("back");
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "WARN  back");
}

using ContextDeathTest = ContextTest;

TEST_F(ContextDeathTest, AssertLogsAndAborts) {
  EXPECT_EXIT_STDOUT(context_assert("text a", "f.c", "text b", 12), ::testing::KilledBySignal(SIGABRT),
                     "^FATAL Assertion failure: File f\\.c, line 12: text b: text a\\.$");
  EXPECT_EXIT_STDOUT(
      {
        context_set_default_log(recorder, 2);
        context_init(&ctx);
        ctx.log_callback = [](int level, const char *text) { printf("<%d|%s>", level, text); };
        context_assert("a", "g", "b", -1);
      },
      ::testing::KilledBySignal(SIGABRT), "^<5\\|Assertion failure: File g, line 4294967295: b: a\\.>$");
}

TEST_F(ContextDeathTest, ReportProdAssertExitsWithStatusOne) {
  EXPECT_EXIT_STDOUT(
      {
        printf("pending ");
        report_prod_assert("f", 3);
      },
      ::testing::ExitedWithCode(1), "^pending fatal error: file f, line 3\n$");
}

}  // namespace

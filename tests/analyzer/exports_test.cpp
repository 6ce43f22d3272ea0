// The shared library exports exactly its 30 plain functions.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdio.h>

#include <string.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

#include "ag_context.h"
#include "analyzer_test_util.h"
#include "host_batch.h"
#include "qen_analyzer.h"
#include "shell_command.h"

namespace {

TEST(Exports, ExactlyTheInterface) {
  Dl_info info;
  ASSERT_NE(dladdr((void*)&analyzer_init, &info), 0);
  ASSERT_NE(info.dli_fname, nullptr);
  std::string command = "nm -D --defined-only " + qen_test::shell_quote(info.dli_fname) + " 2>/dev/null";
  FILE* p = popen(command.c_str(), "r");
  ASSERT_NE(p, nullptr);
  std::set<std::string> names;
  char line[512];
  while (fgets(line, sizeof line, p)) {
    char address[128], type[8], name[256];
    if (sscanf(line, "%127s %7s %255s", address, type, name) == 3 && name[0] != '_')
      names.insert(name);
  }
  if (pclose(p) != 0 && names.empty()) GTEST_SKIP() << "nm not available";
  const std::set<std::string> expected = {
      "analyzer_init",        "analyzer_parse",        "envn_done",
      "envn_line_in_file",    "envn_new",              "envn_syntax_error",
      "file_state_add",       "file_state_close",      "file_state_dec",
      "file_state_discard_unfinished",
      "file_state_free",      "file_state_line_length", "file_state_syntax_errors",
      "file_state_get",       "file_state_get_mark",   "file_state_inc",
      "file_state_is_escaped", "file_state_line",      "file_state_lineno",
      "file_state_mark",      "file_state_new",        "file_state_on_syntax_error",
      "file_state_output",
      "file_state_reset",     "file_state_set",        "file_state_show_lines",
      "file_state_statement_id", "file_state_style",   "ver_init",
      "ver_less"};
  EXPECT_EQ(expected.size(), 30u);
  EXPECT_EQ(names, expected);
}

TEST(Exports, InitIsHarmlessTwice) {
  analyzer_init();
  analyzer_init();
  int v[3];
  EXPECT_EQ(ver_init(v, "2.0"), 0);
  EXPECT_EQ(v[0], 2);
}

// Misuse of the interface is refused, not a crash.
TEST(ExportsDeathTest, MisuseIsRefused) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");  // a fresh process: no analyzer_init yet
  EXPECT_EXIT(
      {
        st_context ctx;
        memset(&ctx, 0, sizeof ctx);
        lib_one_time_init();
        context_init(&ctx);
        static const char text[] = "checkpoint\n";
        context_set_string_input(&ctx, text, text + sizeof text - 1);
        file_state* fs = file_state_new("id", nullptr, qen_test::tmp_path("misuse.xml").c_str(), 0, 1);
        ctx.file_state = fs;
        int v[3];
        ver_init(v, nullptr);
        ctx.envn = envn_new(&ctx, v);
        int before_init = analyzer_parse(&ctx, 0);
        analyzer_init();
        envn* env = (envn*)ctx.envn;
        ctx.envn = nullptr;
        int empty_slot = analyzer_parse(&ctx, 0);
        int no_context = analyzer_parse(nullptr, 0);
        envn* no_version = envn_new(&ctx, nullptr);
        file_state_on_syntax_error(nullptr, nullptr, nullptr);
        ctx.envn = env;
        int proper = analyzer_parse(&ctx, 0);
        envn_done(env);
        context_done(&ctx);
        file_state_free(fs);
        bool ok = before_init == -1 && empty_slot == -1 && no_context == -1 &&
                  no_version == nullptr && proper == 0;
        exit(ok ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

// What the host was told of the syntax errors: "LINE: MESSAGE" each.
void collect_syntax_error(void* data, int line, const char* message, size_t length) {
  static_cast<std::vector<std::string>*>(data)->push_back(std::to_string(line) + ": " +
                                                          std::string(message, length));
}

// The host is told of each syntax error with the line and the message that
// the report's element holds.
TEST(Exports, SyntaxErrorsAreToldToTheHost) {
  qen_test::start_analyzer();
  struct Case {
    std::string batch;
    int escaped;
    std::vector<std::string> told;
  } cases[] = {
      {"select from\nselect 1\nselect from\n", 0,
       {"1: Incorrect syntax near 'from'", "3: Incorrect syntax near 'from'"}},
      {"print 'a' 'b''c'\n", 1, {"1: Incorrect syntax near ''''b''''c''''"}},
      // Control bytes are left out as in the report; "]]>" stays whole.
      {"select 1\n\x01 from\n", 0, {"2: Incorrect syntax near ''"}},
      {"print 'x' 'a]]>b'\n", 0, {"1: Incorrect syntax near ''a]]>b''"}},
      {"checkpoint\n", 0, {}},
  };
  std::string out = qen_test::tmp_path("exports_told.xml");
  for (const Case& c : cases) {
    file_state* fs = file_state_new("told", nullptr, out.c_str(), c.escaped, 1);
    ASSERT_NE(fs, nullptr);
    std::vector<std::string> told;
    file_state_on_syntax_error(fs, collect_syntax_error, &told);
    file_state_mark(fs);
    int version[3];
    ver_init(version, nullptr);
    qen_host::analyse_batch(fs, c.batch, version);
    EXPECT_EQ(told, c.told) << c.batch;
    EXPECT_EQ(file_state_syntax_errors(fs), (int)c.told.size()) << c.batch;
    // Without a function the errors still go into the report only.
    file_state_on_syntax_error(fs, nullptr, nullptr);
    qen_host::analyse_batch(fs, c.batch, version);
    EXPECT_EQ(told, c.told) << c.batch;
    EXPECT_EQ(file_state_syntax_errors(fs), 2 * (int)c.told.size()) << c.batch;
    EXPECT_EQ(file_state_close(fs), 0);
    remove(out.c_str());
  }
}

// One thread's analysis: the file's report text.
std::string analyse_in_thread(const std::string& name, const std::string& text, int quoted,
                              const std::string& run) {
  std::string out = std::string(QEN_TEST_TMP_DIR) + "/" + name + run + ".xml";
  // The input path names the statement ids; each thread has its own.
  std::string in = std::string(QEN_TEST_TMP_DIR) + "/" + name + ".sql";
  qen_test::batch_file file(in, out, name, "");
  if (file.state() == nullptr) return "";
  for (int batch = 0; batch < 40; ++batch) file.analyse(text, quoted);
  return file.finish();
}

// Threads that analyse their own files keep their own statement ids and
// quoted-identifier switch.
TEST(ExportsThreads, EachThreadAnalysesOnItsOwn) {
  analyzer_init();
  ASSERT_EQ(lib_one_time_init(), 0);
  // With the switch on, "x" is a name, which PRINT does not take; off, it is
  // a string.
  const std::string a = "checkpoint\nprint \"x\"\ncheckpoint\n";
  const std::string b = "checkpoint\ncheckpoint\nprint \"x\"\ncheckpoint\ncheckpoint\n";
  const std::string expected_a = analyse_in_thread("threads_a", a, 1, "_alone");
  const std::string expected_b = analyse_in_thread("threads_b", b, 0, "_alone");
  ASSERT_NE(expected_a.find("<syntax-error>"), std::string::npos);
  ASSERT_EQ(expected_b.find("<syntax-error>"), std::string::npos);
  for (int round = 0; round < 3; ++round) {
    std::string got_a, got_b;
    std::thread ta([&] { got_a = analyse_in_thread("threads_a", a, 1, "_together"); });
    std::thread tb([&] { got_b = analyse_in_thread("threads_b", b, 0, "_together"); });
    ta.join();
    tb.join();
    EXPECT_EQ(got_a, expected_a);
    EXPECT_EQ(got_b, expected_b);
  }
}

// The report of batches analysed in one context reset between them, or
// each in a fresh context.
std::string report_of_batches(const std::vector<std::string>& batches, bool reset) {
  std::string in = std::string(QEN_TEST_TMP_DIR) + "/reset_batches.sql";
  std::string out = std::string(QEN_TEST_TMP_DIR) + "/reset_batches.xml";
  qen_test::batch_file file(in, out, "reset", "");
  if (file.state() == nullptr) return "";
  int version[3];
  ver_init(version, nullptr);
  qen_host::thread_context context;
  for (const std::string& text : batches)
    reset ? qen_host::analyse_batch(context, file.state(), text, version)
          : qen_host::analyse_batch(file.state(), text, version);
  return file.finish();
}

// A context reset between batches (its pool's memory kept, a large batch's
// beyond the bound given back) analyses as fresh contexts do.
TEST(ExportsBatches, ResetContextReportsAsFreshContexts) {
  analyzer_init();
  ASSERT_EQ(lib_one_time_init(), 0);
  std::string large;
  for (int i = 0; i < 3000; ++i) large += "select * from t where x = " + std::to_string(i) + "\n";
  const std::vector<std::string> batches = {"select @@identity\n", large, "select from where\n",
                                            large + "dump tran x with no_log\n", "checkpoint\n"};
  std::string fresh = report_of_batches(batches, false);
  ASSERT_NE(fresh.find("<syntax-error>"), std::string::npos);
  ASSERT_NE(fresh.find("<feature>"), std::string::npos);
  EXPECT_EQ(report_of_batches(batches, true), fresh);
}

}  // namespace

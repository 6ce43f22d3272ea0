// File state, version triple, report head and tail, adding to a report.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "analyzer_test_util.h"
#include "file_state_internal.h"
#include "qen_analyzer.h"

using qen_test::file_head;
using qen_test::read_file;
using qen_test::report_tail;
using qen_test::tmp_path;
using qen_test::write_file;

namespace {

struct ver_case {
  const char* text;
  int v[3];
  int result;
};

TEST(VersionTriple, ReadsTheDocumentedExamples) {
  const ver_case cases[] = {
      {"1.x", {1, 0, 0}, 1},        {"1.2.3", {1, 2, 3}, 0}, {"1.2.3.4", {1, 2, 0}, 1},
      {"", {0, 0, 0}, 1},           {"5", {5, 0, 0}, 0},     {"1.", {1, 0, 0}, 1},
      {"1..", {1, 0, 0}, 1},        {" 1", {0, 0, 0}, 1},    {"1.1.0", {1, 1, 0}, 0},
      {"99999999999", {2147483647, 0, 0}, 0}, {"3.2147483647", {3, 2147483647, 0}, 0},
  };
  for (const ver_case& c : cases) {
    int v[3] = {-7, -7, -7};
    EXPECT_EQ(ver_init(v, c.text), c.result) << c.text;
    EXPECT_EQ(v[0], c.v[0]) << c.text;
    EXPECT_EQ(v[1], c.v[1]) << c.text;
    EXPECT_EQ(v[2], c.v[2]) << c.text;
  }
  int v[3];
  EXPECT_EQ(ver_init(v, nullptr), 0);
  EXPECT_EQ(v[0], 2147483643);
  EXPECT_EQ(v[1], 0);
  EXPECT_EQ(v[2], 0);
}

TEST(VersionTriple, VeryLongDigitRunSaturates) {
  std::string text(200, '9');
  text += ".";
  text += std::string(100, '1');
  text += ".7";
  int v[3];
  EXPECT_EQ(ver_init(v, text.c_str()), 0);
  EXPECT_EQ(v[0], 2147483647);
  EXPECT_EQ(v[1], 2147483647);
  EXPECT_EQ(v[2], 7);
  std::string zeros(80, '0');
  zeros += "12";
  EXPECT_EQ(ver_init(v, zeros.c_str()), 0);
  EXPECT_EQ(v[0], 12);
}

TEST(VersionTriple, Less) {
  const int a[3] = {1, 2, 0}, b[3] = {1, 10, 0}, c[3] = {1, 2, 0}, d[3] = {-1, 5, 5};
  EXPECT_EQ(ver_less(a, b), 1);
  EXPECT_EQ(ver_less(b, a), 0);
  EXPECT_EQ(ver_less(a, c), 0);
  EXPECT_EQ(ver_less(d, a), 1);  // signed comparison
}

TEST(PathHash, Values) {
  EXPECT_EQ(path_hash(0, "ab", 2), 3105);
  EXPECT_EQ(path_hash(0, "", 0), 0);
  EXPECT_EQ(path_hash(7, "ab", 0), 7);
  EXPECT_EQ(path_hash(0, "\xff", 1), -1);  // bytes count as signed
  // 32-bit wrap-around.
  std::string long_path(40, 'z');
  int32_t h = 0;
  for (char c : long_path) h = (int32_t)((uint32_t)h * 31u + (uint32_t)(int32_t)c);
  EXPECT_EQ(path_hash(0, long_path.c_str(), (int)long_path.size()), h);
}

TEST(FileState, StatementIdFromStandardInput) {
  std::string out = tmp_path("fs_stdin.xml");
  remove(out.c_str());
  file_state* fs = file_state_new(nullptr, nullptr, out.c_str(), 0, 1);
  ASSERT_NE(fs, nullptr);
  file_state_set(fs, 0, 3);
  EXPECT_STREQ(file_state_statement_id(fs), "0-3");
  file_state_free(fs);
  EXPECT_EQ(read_file(out), "<source>\n" + file_head("", "") + report_tail({3}));
}

TEST(FileState, StatementIdUsesPathHash) {
  std::string in = tmp_path("ab");
  write_file(in, "select 1\n");
  std::string out = tmp_path("fs_ab.xml");
  remove(out.c_str());
  // The hash is over the path as given: a relative path "ab" hashes to 3105.
  std::string cwd_in = "ab";
  ASSERT_EQ(0, chdir(QEN_TEST_TMP_DIR));
  file_state* fs = file_state_new("x", cwd_in.c_str(), out.c_str(), 0, 2);
  ASSERT_NE(fs, nullptr);
  file_state_inc(fs, 0);
  file_state_inc(fs, 0);
  EXPECT_STREQ(file_state_statement_id(fs), "3105-2");
  file_state_free(fs);
  EXPECT_EQ(read_file(out), "");  // style 2 writes nothing
}

TEST(FileState, LinesAndMark) {
  std::string in = tmp_path("fs_lines.sql");
  write_file(in, "one\ntwo\nthree");
  std::string out = tmp_path("fs_lines.xml");
  remove(out.c_str());
  file_state* fs = file_state_new("id", in.c_str(), out.c_str(), 1, 1);
  ASSERT_NE(fs, nullptr);
  EXPECT_EQ(file_state_is_escaped(fs), 1);
  EXPECT_EQ(file_state_style(fs), 1);
  file_state_mark(fs);
  EXPECT_EQ(file_state_get_mark(fs), 1);  // nothing read yet
  EXPECT_STREQ(file_state_line(fs), "one\n");
  EXPECT_STREQ(file_state_line(fs), "two\n");
  file_state_mark(fs);
  EXPECT_EQ(file_state_get_mark(fs), 2);
  EXPECT_STREQ(file_state_line(fs), "three");
  file_state_show_lines(fs, 5);
  testing::internal::CaptureStderr();
  file_state_mark(fs);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Analyzing batch starting at line #3\n");
  file_state_show_lines(fs, 0);
  testing::internal::CaptureStderr();
  file_state_mark(fs);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(file_state_line(fs), nullptr);
  EXPECT_EQ(file_state_lineno(fs), 3);
  file_state_free(fs);
}

TEST(FileState, LinesAreWholeWhateverTheirLengthEndOrBytes) {
  std::string in = tmp_path("fs_long.sql");
  const std::string nul("a\0b\n", 4);
  write_file(in, std::string(100000, 'a') + "\n" + nul + "cr\rcrlf\r\nlast\r");
  file_state* fs = file_state_new("id", in.c_str(), tmp_path("fs_long.xml").c_str(), 0, 0);
  ASSERT_NE(fs, nullptr);
  auto next = [fs] {
    const char* line = file_state_line(fs);
    return std::string(line, file_state_line_length(fs));
  };
  EXPECT_EQ(next(), std::string(100000, 'a') + "\n");
  EXPECT_EQ(next(), nul);
  EXPECT_EQ(next(), "cr\n");
  EXPECT_EQ(next(), "crlf\r\n");
  EXPECT_EQ(next(), "last\n");
  EXPECT_EQ(file_state_line(fs), nullptr);
  EXPECT_EQ(file_state_lineno(fs), 5);
  EXPECT_EQ(file_state_close(fs), 0);
}

TEST(FileState, OpenFailures) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(file_state_new("id", "/nonexistent/dir/in.sql", nullptr, 0, 1), nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Unable to open '/nonexistent/dir/in.sql' for read: No such file or directory\n");
  std::string in = tmp_path("fs_in_ok.sql");
  write_file(in, "x\n");
  testing::internal::CaptureStderr();
  EXPECT_EQ(file_state_new("id", in.c_str(), "/nonexistent/dir/out.xml", 0, 1), nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Cannot open '/nonexistent/dir/out.xml' for write: No such file or directory\n");
  // A thread that opens a report it holds open already would wait for
  // itself.
  std::string out = tmp_path("fs_held.xml");
  remove(out.c_str());
  file_state* first = file_state_new("id", in.c_str(), out.c_str(), 0, 1);
  ASSERT_NE(first, nullptr);
  testing::internal::CaptureStderr();
  EXPECT_EQ(file_state_new("id", in.c_str(), out.c_str(), 0, 1), nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Cannot open '" + out + "' for write: this thread has it open already\n");
  EXPECT_EQ(file_state_close(first), 0);
  EXPECT_EQ(read_file(out), "<source>\n" + file_head(in, "id") + report_tail({}));
  file_state_free(nullptr);  // does nothing
}

TEST(FileState, CounterCodesOutsideTheTableAreIgnored) {
  file_state* fs = file_state_new("id", nullptr, tmp_path("fs_codes.xml").c_str(), 0, 0);
  ASSERT_NE(fs, nullptr);
  file_state_inc(fs, 22);
  file_state_inc(fs, -1);
  file_state_add(fs, 1000000, 5);
  file_state_set(fs, -5, 9);
  file_state_dec(fs, 40);
  file_state_reset(fs, 99);
  EXPECT_EQ(file_state_get(fs, 22), 0);
  EXPECT_EQ(file_state_get(fs, -1), 0);
  for (int code = 0; code < 22; ++code) EXPECT_EQ(file_state_get(fs, code), 0);
  file_state_inc(fs, 21);
  file_state_add(fs, 21, 4);
  file_state_dec(fs, 21);
  EXPECT_EQ(file_state_get(fs, 21), 4);
  file_state_reset(fs, 21);
  EXPECT_EQ(file_state_get(fs, 21), 0);
  file_state_free(fs);
}

TEST(ReportFile, AppendingASecondFileKeepsOneSource) {
  std::string out = tmp_path("fs_append.xml");
  remove(out.c_str());
  file_state* fs = file_state_new("first", nullptr, out.c_str(), 0, 1);
  ASSERT_NE(fs, nullptr);
  file_state_free(fs);
  fs = file_state_new("second", nullptr, out.c_str(), 0, 1);
  ASSERT_NE(fs, nullptr);
  file_state_set(fs, 16, 4);
  file_state_free(fs);
  std::string first = file_head("", "first") + report_tail({});
  first.resize(first.size() - std::string("</source>\n").size());
  EXPECT_EQ(read_file(out), "<source>\n" + first + file_head("", "second") + report_tail({.batch_statements = 4}));
}

TEST(ReportFile, SourceEndIsFoundInFrontOfTheClosingTag) {
  std::string out = tmp_path("fs_seek.xml");
  struct Case {
    const char* text;
    int found;
    long long keep;
  } cases[] = {{"<source>\n  </file>\n</source>\n", 1, 19},
               {" \n<source></source>\n\n\t ", 1, 10},
               {"", 0, 0},
               {"short", -1, 0},
               {"\n\n", -1, 0},
               {"<source>\n</source>x", -1, 0},
               {"\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<source></source>\n", 1, 33},
               {"<?xml version=\"1.0\"?><source>\n", -1, 0},  // the head is no tail
               {"<?xml version=\"1.0\"\n<source></source>", -1, 0},
               {"<?xml-model?><source></source>", -1, 0}};
  for (const Case& c : cases) {
    write_file(out, c.text);
    int fd = open(out.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    long long keep = -1;
    EXPECT_EQ(report_find_source_end(fd, (long long)strlen(c.text), &keep), c.found) << c.text;
    if (c.found >= 0) {
      EXPECT_EQ(keep, c.keep) << c.text;
    }
    close(fd);
  }
}

TEST(ReportFile, StyleOtherThanOneWritesNothingButStillPositions) {
  std::string out = tmp_path("fs_style2.xml");
  write_file(out, "<source>\n</source>\n");
  file_state* fs = file_state_new("id", nullptr, out.c_str(), 0, 0);
  ASSERT_NE(fs, nullptr);
  fputs("X", file_state_output(fs));
  file_state_free(fs);
  EXPECT_EQ(read_file(out), "<source>\nX/source>\n");
}

TEST(ReportFile, PathAndIdentifierCannotEndTheirCdata) {
  std::string in = tmp_path("fs_]]>.sql");
  write_file(in, "x\n");
  std::string out = tmp_path("fs_cdata.xml");
  remove(out.c_str());
  file_state* fs = file_state_new("a]]>b\x01", in.c_str(), out.c_str(), 0, 1);
  ASSERT_NE(fs, nullptr);
  file_state_free(fs);
  std::string name = tmp_path("fs_]]]]><![CDATA[>.sql");
  EXPECT_EQ(read_file(out), "<source>\n" + file_head(name, "a]]]]><![CDATA[>b") + report_tail({}));
}

TEST(ReportFile, IdentifierKeepsUtf8AndDropsOtherHighBytes) {
  std::string out = tmp_path("fs_utf8.xml");
  remove(out.c_str());
  file_state* fs = file_state_new("caf\xc3\xa9 \xe9t\xe9 \xf0\x9f\x98\x80\xed\xa0\x80\xc3", nullptr,
                                  out.c_str(), 0, 1);
  ASSERT_NE(fs, nullptr);
  file_state_free(fs);
  EXPECT_EQ(read_file(out),
            "<source>\n" + file_head("", "caf\xc3\xa9 t \xf0\x9f\x98\x80") + report_tail({}));
}

TEST(ReportFileDeathTest, WriteFailureIsReportedAndLeavesNoFile) {
  std::string out = tmp_path("fs_write_failure.xml");
  remove(out.c_str());
  // Files may not grow beyond 256 bytes: enough for the message (the death
  // test's capture is a file too), not for the report.
  auto run = [&out] {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit;
    limit.rlim_cur = limit.rlim_max = 256;
    setrlimit(RLIMIT_FSIZE, &limit);
    file_state* fs = file_state_new("id", nullptr, out.c_str(), 0, 1);
    exit(fs == nullptr ? 3 : file_state_close(fs));
  };
  EXPECT_EXIT(run(), testing::ExitedWithCode(1), "^Report '" + out + "' could not be written completely: File too large\n$");
  EXPECT_FALSE(std::filesystem::exists(out));
}

}  // namespace

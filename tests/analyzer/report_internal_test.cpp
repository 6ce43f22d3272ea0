// The report text written by the object, feature and syntax-error services.
#include <gtest/gtest.h>
#include <stdio.h>

#include <string>

#include "analysis_runtime.h"
#include "analyzer_internal.h"
#include "analyzer_test_util.h"

using qen_test::batch_context;
using qen_test::file_head;
using qen_test::read_file;
using qen_test::report_tail;
using qen_test::str;
using qen_test::tmp_path;
using qen_test::write_file;

namespace {

const int kDefaultTarget[3] = {2147483643, 0, 0};

// Lexeme ends that make each given word a lexeme of its own, the text
// between words forming lexemes too; returns the lexeme number of word i at
// index i of *numbers.
std::vector<int> word_lexemes(const std::string& text, const std::vector<std::string>& words,
                              std::vector<int>* numbers) {
  std::vector<int> ends;
  size_t pos = 0;
  for (const std::string& w : words) {
    size_t at = text.find(w, pos);
    if (at > pos) ends.push_back((int)at);
    numbers->push_back((int)ends.size());
    ends.push_back((int)(at + w.size()));
    pos = at + w.size();
  }
  if (pos < text.size()) ends.push_back((int)text.size());
  return ends;
}

class lexed_batch {
 public:
  lexed_batch(const std::string& text, const std::vector<std::string>& words)
      : ctx_(text, {}) {
    std::vector<int> ends = word_lexemes(text, words, &lexeme_);
    st_context* c = ctx_.get();
    spv_set_elem_count(c->lexeme_start, (int)ends.size() + 2);
    spv_set_elem_count(c->lexeme_kind, (int)ends.size() + 2);
    for (size_t i = 0; i < ends.size(); ++i) {
      *int_spv_elem_addr(c->lexeme_start, (unsigned)(i + 1)) = ends[i];
      *int_spv_elem_addr(c->lexeme_kind, (unsigned)(i + 1)) = 0;
    }
    c->lexeme_count = (int)ends.size() - 1;
  }
  int lexeme(int word) const { return lexeme_[word]; }
  envn* attach(file_state* fs, const int* version = kDefaultTarget) {
    return ctx_.attach(fs, version);
  }
  st_context* get() { return ctx_.get(); }

 private:
  batch_context ctx_;
  std::vector<int> lexeme_;
};

envn* begin_object(envn* env, int lexeme, int kind, st_String_const* name) {
  ag_word b[5] = {(ag_word)env, lexeme, kind, (ag_word)name, 0};
  envn_begin_object(b);
  return (envn*)b[4];
}

envn* feature(envn* env, st_String_const* tag, int lexeme, int kind, st_String_const* name) {
  ag_word b[6] = {(ag_word)env, (ag_word)tag, lexeme, kind, (ag_word)name, 0};
  report_feature(b);
  return (envn*)b[5];
}

envn* count(envn* env, int code) {
  ag_word b[3] = {(ag_word)env, code, 0};
  envn_count(b);
  return (envn*)b[2];
}

// A report file written anew: escaped mode and style as given, the current
// batch starting at line mark.
file_state* fresh_report(const std::string& out, int escaped, int style, int mark) {
  remove(out.c_str());
  file_state* fs = file_state_new("id", nullptr, out.c_str(), escaped, style);
  if (fs != nullptr) fs->batch_mark = mark;
  return fs;
}

std::string object_head(int line, const char* type, const std::string& name) {
  return "      <object>\n        <line-in-file>" + std::to_string(line) +
         "</line-in-file>\n        <type>" + type + "</type>\n        <name>" + name +
         "</name>\n        <flags>\n";
}

const char kObjectClose[] = "        </flags>\n      </object>\n";

std::string feature_text(const std::string& id, const std::string& statement_id, int line,
                         int line_in_object, const std::string& context, const char* type,
                         const std::string& name) {
  return "          <feature>\n            <id>" + id + "</id>\n            <statement-id>" +
         statement_id + "</statement-id>\n            <line-in-file>" + std::to_string(line) +
         "</line-in-file>\n            <line-in-object>" + std::to_string(line_in_object) +
         "</line-in-object>\n            <context><![CDATA[" + context +
         "]]></context>\n            <object>\n              <type>" + type +
         "</type>\n              <name>" + name +
         "</name>\n            </object>\n          </feature>\n";
}

std::string syntax_error_text(int line, int line_in_object, const std::string& quote,
                              const std::string& lexeme, const std::string& context) {
  return "          <syntax-error>\n            <line-in-file>" + std::to_string(line) +
         "</line-in-file>\n            <line-in-object>" + std::to_string(line_in_object) +
         "</line-in-object>\n            <text><![CDATA[Incorrect syntax near '" + quote + lexeme +
         "'" + quote + "]]></text>\n            <context><![CDATA[" + context +
         "]]></context>\n          </syntax-error>\n";
}

TEST(Report, WholeFileWithSyntaxErrorAndProcedureFeature) {
  std::string in = tmp_path("rep_whole.sql");
  write_file(in, "-\n");
  std::string out = tmp_path("rep_whole.xml");
  remove(out.c_str());
  file_state* fs = file_state_new("ID1", in.c_str(), out.c_str(), 0, 1);
  ASSERT_NE(fs, nullptr);
  fs->batch_mark = 10;
  std::string text = "select x\ncreate procedure p as\n  checkpoint -- it's\n";
  lexed_batch batch(text, {"select", "create", "checkpoint"});
  envn* env = batch.attach(fs);
  ASSERT_NE(env, nullptr);
  envn_syntax_error(env, batch.lexeme(0));
  env = begin_object(env, batch.lexeme(1), 8, str("p"));
  env = count(env, 0);
  env = feature(env, &FT_STATEMENT_CHECKPOINT.tag, batch.lexeme(2), 10,
                &FT_STATEMENT_CHECKPOINT.name);
  envn_done(env);
  file_state_free(fs);

  std::string id = std::to_string(path_hash(0, in.c_str(), (int)in.size())) + "-1";
  std::string expected =
      "<source>\n" + file_head(in, "ID1") + object_head(10, "batch", "[batch]") +
      syntax_error_text(10, 0, "", "select", "select x") + kObjectClose + object_head(11, "procedure", "p") +
      feature_text("STATEMENT[CHECKPOINT]", id, 12, 2, "  checkpoint -- it's", "statement", "CHECKPOINT") +
      kObjectClose +
      report_tail({.statements = 1, .max_procedure_size = 1, .min_procedure_size = 1, .procedure_statements = 1});
  EXPECT_EQ(read_file(out), expected);
}

TEST(Report, ParserErrorHookReportsTheLastTokenRead) {
  std::string out = tmp_path("rep_yyerror.xml");
  file_state* fs = fresh_report(out, 0, 1, 2);
  ASSERT_NE(fs, nullptr);
  lexed_batch batch("select from\nwhere\n", {"select", "from", "where"});
  envn* env = batch.attach(fs);
  // While a token is read the lexeme count is one past the token's lexeme.
  batch.get()->lexeme_count = batch.lexeme(2) + 1;
  yyerror(batch.get(), "syntax error");
  batch.get()->lexeme_count = 0;
  yyerror(batch.get(), "memory exhausted");
  envn_done(env);
  file_state_free(fs);
  EXPECT_EQ(read_file(out), "<source>\n" + file_head("", "id") + object_head(2, "batch", "[batch]") +
                                syntax_error_text(3, 1, "", "where", "where") +
                                syntax_error_text(2, 0, "", "select", "select from") +
                                kObjectClose + report_tail({}));
}

TEST(Report, EscapedModeDoublesQuotes) {
  std::string out = tmp_path("rep_escaped.xml");
  file_state* fs = fresh_report(out, 1, 1, 1);
  ASSERT_NE(fs, nullptr);
  std::string text = "print 'it''s' x\n";
  lexed_batch batch(text, {"print", "'it''s'"});
  envn* env = batch.attach(fs);
  envn_syntax_error(env, batch.lexeme(1));
  env = feature(env, str("OPTION[NOCOUNT]"), batch.lexeme(0), 10, str("SET NOCOUNT"));
  envn_done(env);
  file_state_free(fs);
  std::string expected =
      "<source>\n" + file_head("", "id") + object_head(1, "batch", "[batch]") +
      syntax_error_text(1, 0, "'", "''it''''s''", "print ''it''''s'' x") +
      feature_text("OPTION[NOCOUNT]", "0-0", 1, 1, "print ''it''''s'' x", "statement",
                   "SET NOCOUNT") +
      kObjectClose + report_tail({});
  EXPECT_EQ(read_file(out), expected);
}

TEST(Report, EscapedWritingDropsControlAndHighBytes) {
  std::string out = tmp_path("rep_dropped.xml");
  file_state* fs = fresh_report(out, 0, 1, 3);
  ASSERT_NE(fs, nullptr);
  std::string text = "select\t'\xc3\xa9\x01' a\x7f\r\n";
  lexed_batch batch(text, {"select", "'\xc3\xa9\x01'"});
  envn* env = batch.attach(fs);
  envn_syntax_error(env, batch.lexeme(1));
  envn_done(env);
  file_state_free(fs);
  std::string expected = "<source>\n" + file_head("", "id") + object_head(3, "batch", "[batch]") +
                         syntax_error_text(3, 0, "", "''", "select\t'' a\x7f") + kObjectClose +
                         report_tail({});
  EXPECT_EQ(read_file(out), expected);
}

TEST(Report, NamesAreEscapedAndCdataIsSplit) {
  std::string out = tmp_path("rep_markup.xml");
  file_state* fs = fresh_report(out, 0, 1, 1);
  ASSERT_NE(fs, nullptr);
  std::string text = "create view [a<b&c>] as select x]]>y\n";
  lexed_batch batch(text, {"create", "x]]>y"});
  envn* env = batch.attach(fs);
  env = begin_object(env, batch.lexeme(0), 3, str("a<b&c>\x02\xff"));
  st_String_const* tag = cat_str_const(str("GLOBAL["), cat_str_const(str("@@a<b>&"), str("]")));
  env = feature(env, tag, batch.lexeme(1), 0, str("@@a<b>&"));
  envn_syntax_error(env, batch.lexeme(1));
  envn_done(env);
  file_state_free(fs);
  std::string context = "create view [a<b&c>] as select x]]]]><![CDATA[>y";
  std::string expected =
      "<source>\n" + file_head("", "id") + object_head(1, "view", "a&lt;b&amp;c&gt;\xC3\xBF") +
      feature_text("GLOBAL[@@a&lt;b&gt;&amp;]", "0-0", 1, 1, context, "global",
                   "@@a&lt;b&gt;&amp;") +
      syntax_error_text(1, 0, "", "x]]]]><![CDATA[>y", context) + kObjectClose +
      report_tail({});
  EXPECT_EQ(read_file(out), expected);
}

TEST(Report, LongContextLinesKeepEveryByte) {
  // The context is written in blocks of a few kilobytes: a split "]]>" and a
  // doubled quote stand astride the first block's end.
  std::string out = tmp_path("rep_long.xml");
  file_state* fs = fresh_report(out, 1, 1, 1);
  ASSERT_NE(fs, nullptr);
  std::string text = "select " + std::string(4085, 'a') + "]]>'" + std::string(9000, 'b') + "\n";
  lexed_batch batch(text, {"select"});
  envn* env = batch.attach(fs);
  env = feature(env, str("STATEMENT[KILL]"), batch.lexeme(0), 10, str("KILL"));
  envn_done(env);
  file_state_free(fs);
  std::string context = "select " + std::string(4085, 'a') + "]]]]><![CDATA[>''" + std::string(9000, 'b');
  EXPECT_EQ(read_file(out), "<source>\n" + file_head("", "id") + object_head(1, "batch", "[batch]") +
                                feature_text("STATEMENT[KILL]", "0-0", 1, 1, context, "statement", "KILL") +
                                kObjectClose + report_tail({}));
}

TEST(Report, StyleOtherThanOneWritesOnlySyntaxErrors) {
  std::string out = tmp_path("rep_style0.xml");
  file_state* fs = fresh_report(out, 0, 0, 5);
  ASSERT_NE(fs, nullptr);
  std::string text = "kill 1\nshutdown\n";
  lexed_batch batch(text, {"kill", "shutdown"});
  envn* env = batch.attach(fs);
  env = count(env, 0);
  env = feature(env, &FT_STATEMENT_KILL.tag, batch.lexeme(0), 10, &FT_STATEMENT_KILL.name);
  envn_syntax_error(env, batch.lexeme(1));
  EXPECT_EQ(env->elements, 2);
  envn_done(env);
  EXPECT_EQ(file_state_get(fs, 16), 1);
  EXPECT_EQ(file_state_get(fs, 14), 1);
  EXPECT_EQ(file_state_get(fs, 15), 1);
  file_state_free(fs);
  EXPECT_EQ(read_file(out), syntax_error_text(6, 1, "", "shutdown", "shutdown"));
}

TEST(Report, BatchWithoutFindingsLeavesNoTrace) {
  std::string out = tmp_path("rep_empty.xml");
  file_state* fs = fresh_report(out, 0, 1, 1);
  ASSERT_NE(fs, nullptr);
  lexed_batch batch("select 1\n", {"select"});
  envn* env = batch.attach(fs);
  env = count(env, 0);
  env = count(env, 0);
  envn_done(env);
  file_state_free(fs);
  EXPECT_EQ(read_file(out),
            "<source>\n" + file_head("", "id") +
                report_tail({.statements = 2, .max_batch_size = 2, .min_batch_size = 2, .batch_statements = 2}));
}

TEST(Objects, SizeCountersByKind) {
  file_state* fs = file_state_new("id", nullptr, tmp_path("rep_sizes.xml").c_str(), 0, 0);
  ASSERT_NE(fs, nullptr);
  fs->batch_mark = 1;
  lexed_batch batch("a\n", {"a"});
  envn* env = batch.attach(fs);
  auto object = [&](int kind, int statements) {
    env = begin_object(env, 0, kind, str("o"));
    for (int i = 0; i < statements; ++i) env = count(env, 0);
    envn_end_object(env);
  };
  object(8, 5);
  object(8, 3);
  EXPECT_EQ(file_state_get(fs, 11), 5);
  EXPECT_EQ(file_state_get(fs, 12), 3);
  EXPECT_EQ(file_state_get(fs, 13), 8);
  object(9, 4);
  EXPECT_EQ(file_state_get(fs, 5), 4);
  object(3, 6);  // a view changes no size counter
  EXPECT_EQ(file_state_get(fs, 13), 8);
  EXPECT_EQ(file_state_get(fs, 0), 18);
  // Every end_object above went back to the batch object with 0 statements.
  EXPECT_EQ(env->object_kind, 1);
  EXPECT_EQ(env->statements, 0);
  file_state_free(fs);
}

TEST(Objects, ProcedureCountersFromDocumentedExample) {
  file_state* fs = file_state_new("id", nullptr, tmp_path("rep_proc7.xml").c_str(), 0, 0);
  ASSERT_NE(fs, nullptr);
  lexed_batch batch("a\n", {"a"});
  envn* env = batch.attach(fs);
  file_state_set(fs, 11, 5);
  env = begin_object(env, 0, 8, str("p"));
  for (int i = 0; i < 7; ++i) env = count(env, 0);
  envn_done(env);
  EXPECT_EQ(file_state_get(fs, 11), 7);
  EXPECT_EQ(file_state_get(fs, 12), 7);
  EXPECT_EQ(file_state_get(fs, 13), 7);
  file_state_free(fs);
}

TEST(Objects, EmptyObjectsLeaveMinimumCountersAlone) {
  file_state* fs = file_state_new("id", nullptr, tmp_path("rep_min.xml").c_str(), 0, 0);
  ASSERT_NE(fs, nullptr);
  lexed_batch batch("a\n", {"a"});
  envn* env = batch.attach(fs);
  env = count(env, 0);
  env = count(env, 0);
  env = count(env, 0);
  envn_done(env);
  EXPECT_EQ(file_state_get(fs, 15), 3);
  // The host's envn_done after the evaluation already ended the batch.
  envn_done(env);
  EXPECT_EQ(file_state_get(fs, 15), 3);
  EXPECT_EQ(file_state_get(fs, 14), 3);
  // A procedure without statements does not set its minimum either.
  env = begin_object(env, 0, 8, str("p"));
  envn_done(env);
  EXPECT_EQ(file_state_get(fs, 12), 0);
  env = begin_object(env, 0, 8, str("q"));
  env = count(env, 0);
  env = count(env, 0);
  envn_done(env);
  EXPECT_EQ(file_state_get(fs, 12), 2);
  env = begin_object(env, 0, 8, str("r"));
  envn_done(env);
  EXPECT_EQ(file_state_get(fs, 12), 2);
  file_state_free(fs);
}

TEST(Objects, ParameterBlockVariants) {
  file_state* fs = file_state_new("id", nullptr, tmp_path("rep_blocks.xml").c_str(), 0, 0);
  ASSERT_NE(fs, nullptr);
  fs->batch_mark = 40;
  lexed_batch batch("x\ny\n", {"x", "y"});
  envn* env = batch.attach(fs);
  EXPECT_EQ(envn_line_in_file(env, batch.lexeme(0)), 40);
  EXPECT_EQ(envn_line_in_file(env, batch.lexeme(1)), 41);

  ag_word cur[2] = {0, 0};
  envn_current(cur);
  EXPECT_EQ((envn*)cur[1], env);

  ag_word b6[6] = {0, (ag_word)env, batch.lexeme(1), 9, (ag_word)str("t"), 0};
  envn_begin_object_if(b6);
  EXPECT_EQ((envn*)b6[5], env);
  EXPECT_EQ(env->object_kind, 1);
  b6[0] = 1;
  envn_begin_object_if(b6);
  EXPECT_EQ(env->object_kind, 9);
  EXPECT_EQ(env->object_first_line, 41);

  ag_word k[3] = {(ag_word)env, 9, 0};
  envn_kind_is(k);
  EXPECT_EQ(k[2], 1);
  ag_word nm[2] = {(ag_word)env, 0};
  envn_object_name(nm);
  EXPECT_EQ(string_icmp((st_String_const*)nm[1], str("t")), 0);
  ag_word sn[3] = {(ag_word)env, (ag_word)str("u"), 0};
  envn_set_object_name(sn);
  EXPECT_EQ(env->object_name, (st_String_const*)sn[1]);

  ag_word c4[4] = {1, (ag_word)env, 0, 0};
  envn_count_if(c4);
  c4[0] = 0;
  envn_count_if(c4);
  EXPECT_EQ(env->statements, 1);
  ag_word c3[3] = {(ag_word)env, 0, 0};
  envn_count_only(c3);
  EXPECT_EQ(env->statements, 1);
  EXPECT_EQ(file_state_get(fs, 0), 2);
  ag_word c2[4] = {(ag_word)env, 0, 20, 0};
  envn_count2(c2);
  EXPECT_EQ(env->statements, 2);
  EXPECT_EQ(file_state_get(fs, 20), 1);
  ag_word take[4] = {(ag_word)env, 0, 1, 0};
  envn_counter_take(take);
  EXPECT_EQ(take[3], 3);
  EXPECT_EQ(file_state_get(fs, 0), 0);
  ag_word reset[3] = {(ag_word)env, 20, 0};
  envn_counter_reset(reset);
  EXPECT_EQ(file_state_get(fs, 20), 0);

  ag_word e3[3] = {0, (ag_word)env, 0};
  envn_end_object_if(e3);
  EXPECT_EQ(env->object_kind, 9);
  e3[0] = 1;
  envn_end_object_if(e3);
  EXPECT_EQ(env->object_kind, 1);
  EXPECT_EQ(file_state_get(fs, 5), 2);

  ag_word fi[7] = {0, (ag_word)env, (ag_word)str("T[X]"), 0, 10, (ag_word)str("X"), 0};
  report_feature_if(fi);
  EXPECT_EQ(env->elements, 0);
  fi[0] = 1;
  report_feature_if(fi);
  EXPECT_EQ(env->elements, 1);
  EXPECT_EQ((envn*)fi[6], env);

  ag_word clr[2] = {(ag_word)env, 99};
  envn_end_object_clear(clr);
  EXPECT_EQ(clr[1], 0);
  EXPECT_EQ(env->elements, 0);
  file_state_free(fs);
}

TEST(Objects, KindNames) {
  const char* names[] = {"global", "batch", "table", "view", "default", "rule", "function",
                         "builtin", "procedure", "trigger", "statement", "datatype", "unknown",
                         "index", "unknown"};
  for (int k = 0; k < 15; ++k) EXPECT_STREQ(object_kind_name(k), names[k]) << k;
  EXPECT_STREQ(object_kind_name(-1), "unknown");
}

TEST(Diagnostics, DebugErrorReportGoesToStandardError) {
  file_state* fs = file_state_new("id", nullptr, nullptr, 0, 1);  // report on stdout
  ASSERT_NE(fs, nullptr);
  fs->batch_mark = 3;
  lexed_batch batch("\na\n", {"a"});
  envn* env = batch.attach(fs);
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  ag_word b[6] = {1, (ag_word)env, 42, (ag_word)str("m"), batch.lexeme(0), 0};
  debug_error_report(b);
  ag_word quiet[6] = {0, (ag_word)env, 43, (ag_word)str("n"), 0, 0};
  debug_error_report(quiet);
  std::string err = testing::internal::GetCapturedStderr();
  std::string outs = testing::internal::GetCapturedStdout();
  EXPECT_EQ(outs, "");
  EXPECT_EQ(err, "analyzer: line 4: m\n");  // the batch's second line
  EXPECT_EQ((envn*)b[5], env);
  EXPECT_EQ(env->elements, 0);
  testing::internal::CaptureStdout();
  file_state_free(fs);
  testing::internal::GetCapturedStdout();
}

}  // namespace

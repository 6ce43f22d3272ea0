// Token reader: push-back, the run/brace/datatype readers and the trace.
#include <cstdio>

#include "vst_scan_fixture.h"
#include "vst_subprocess.h"


namespace {

std::string codesOf(astNodeList* list) {
  std::string s;
  for (astListCell* c = listCells(list); c; c = c->next) {
    if (!s.empty()) s += ' ';
    s += std::to_string(nodeAs<astNodeToken>(c->value)->tokenCode);
  }
  return s;
}

// Captures standard error around a call.
template <class F>
std::string stderrOf(F f) {
  std::fflush(stderr);
  testing::internal::CaptureStderr();
  f();
  std::fflush(stderr);
  return testing::internal::GetCapturedStderr();
}

}  // namespace

TEST_F(ScanFixture, PushBackReturnsCodeWithoutScanning) {
  start("a b");
  value.line = 1234;
  pushBackToken(&ctx, T_LOOP);
  value.value.text = nullptr;
  EXPECT_EQ(nextToken(&value, &ctx), T_LOOP);
  EXPECT_EQ(value.line, 1234);
  EXPECT_EQ(value.value.text, nullptr);
  EXPECT_EQ(nextToken(&value, &ctx), T_WORD);

  std::string err = stderrOf([&] {
    pushBackToken(&ctx, ';');
    pushBackToken(&ctx, ')');
  });
  EXPECT_EQ(err, "cannot push back multiple tokens");
  EXPECT_EQ(nextToken(&value, &ctx), ')');
  EXPECT_EQ(nextToken(&value, &ctx), T_WORD);
  EXPECT_EQ(nextToken(&value, &ctx), 0);
}

TEST_F(ScanFixture, TokenRunStopsAtCommaOutsideParentheses) {
  start("a(b, c), d");
  int last = -1;
  astNodeList* l = read_token_run(&ctx, &value, READ_PUSH_BACK, T_no_lookahead, &last, T_COMMA);
  EXPECT_EQ(listText(l), "a|(|b|,|c|)");
  EXPECT_EQ(last, T_COMMA);
  EXPECT_EQ(nextToken(&value, &ctx), T_COMMA);

  start("a) x");
  l = read_token_run(&ctx, &value, READ_PUSH_BACK, T_no_lookahead, nullptr, T_COMMA);
  EXPECT_EQ(listText(l), "a");
  EXPECT_EQ(nextToken(&value, &ctx), ')');
}

TEST_F(ScanFixture, TokenRunModes) {
  // Collect: the stop token goes into the list.
  start("x := 'a' || y;");
  astNodeList* l = read_token_run(&ctx, &value, READ_COLLECT, T_no_lookahead, nullptr, ';');
  EXPECT_EQ(listText(l), "x|:=|'a'||||y|;");
  EXPECT_EQ(codesOf(l), std::to_string(T_WORD) + " " + std::to_string(T_ASSIGN) + " " +
                            std::to_string(T_STRING) + " " + std::to_string(T_CONCAT) + " " +
                            std::to_string(T_WORD) + " 59");
  EXPECT_EQ(nextToken(&value, &ctx), 0);

  // Consume: the loop header up to LOOP, which is dropped.
  start("i in 1..10 loop null;");
  int last = 0;
  l = read_token_run(&ctx, &value, READ_CONSUME, T_no_lookahead, &last, T_LOOP);
  EXPECT_EQ(last, T_LOOP);
  EXPECT_EQ(listLength(l), 5);
  EXPECT_EQ(nextToken(&value, &ctx), T_NULL);

  // A ';' ends the run unless the first stop token is the terminator.
  start("a; b; c\n/\nd");
  l = read_token_run(&ctx, &value, READ_COLLECT, T_no_lookahead, &last, T_TERMINATOR);
  EXPECT_EQ(listText(l), "a|;|b|;|c");
  EXPECT_EQ(last, T_TERMINATOR);
  EXPECT_EQ(nextToken(&value, &ctx), T_WORD);

  // Starting from a token already read; a stop inside parentheses is kept.
  start("(x; y)) z");
  l = read_token_run(&ctx, &value, READ_PUSH_BACK, nextToken(&value, &ctx), nullptr, ';');
  EXPECT_EQ(listText(l), "(|x|;|y|)");
  EXPECT_EQ(nextToken(&value, &ctx), ')');

  // Nothing before the stop token gives null.
  start(";");
  EXPECT_EQ(read_token_run(&ctx, &value, READ_PUSH_BACK, T_no_lookahead, nullptr, ';'), nullptr);
  start("");
  EXPECT_EQ(read_token_run(&ctx, &value, READ_PUSH_BACK, T_no_lookahead, &last, ';'), nullptr);
  EXPECT_EQ(last, 0);
}

TEST_F(ScanFixture, TokenRunKeepsLiteralAndCursorTexts) {
  start("c%notfound or x <> 'q' then");
  astNodeList* l = read_token_run(&ctx, &value, READ_COLLECT, T_no_lookahead, nullptr, T_THEN);
  EXPECT_EQ(listText(l), "c|or|x|<>|'q'|then");
}

TEST_F(ScanFixture, BraceBlock) {
  start("x { a { b } c } y");
  astNodeList* l = read_brace_block(&ctx, &value, READ_COLLECT, T_no_lookahead);
  EXPECT_EQ(listText(l), "x|{|a|{|b|}|c|}");
  EXPECT_EQ(nextToken(&value, &ctx), T_WORD);

  start("{ a } y");
  l = read_brace_block(&ctx, &value, READ_PUSH_BACK, T_no_lookahead);
  EXPECT_EQ(listText(l), "{|a");
  EXPECT_EQ(nextToken(&value, &ctx), '}');

  start("{ a ");
  l = read_brace_block(&ctx, &value, READ_CONSUME, T_no_lookahead);
  EXPECT_EQ(listText(l), "{|a");
}

TEST_F(ScanFixture, Datatype) {
  start("NUMBER(10, 2) := 0");
  ASSERT_EQ(nextToken(&value, &ctx), T_WORD);
  astNodeList* l = read_datatype(&ctx, &value, value.value.list);
  EXPECT_EQ(listText(l), "NUMBER|(|10|,|2|)");
  EXPECT_EQ(nextToken(&value, &ctx), T_ASSIGN);

  start("VARCHAR2(20");
  ASSERT_EQ(nextToken(&value, &ctx), T_WORD);
  EXPECT_EQ(read_datatype(&ctx, &value, value.value.list), nullptr);
  ASSERT_NE(errors.head, nullptr);
  EXPECT_STREQ(errors.head->message, "Mismatched parentheses in datatype");
  EXPECT_EQ(errors.head->domain, 0);
  // Reported at the end of input, past the line end the reader appends.
  EXPECT_EQ(errors.head->line, 2);
  EXPECT_STREQ(errors.head->text, "");

  start("t%ROWTYPE;");
  ASSERT_EQ(nextToken(&value, &ctx), T_WORD);
  l = read_datatype(&ctx, &value, value.value.list);
  EXPECT_EQ(listText(l), "t|%ROWTYPE");
  EXPECT_EQ(nextToken(&value, &ctx), ';');

  start("VARCHAR2 DEFAULT 'x'");
  ASSERT_EQ(nextToken(&value, &ctx), T_WORD);
  l = read_datatype(&ctx, &value, value.value.list);
  EXPECT_EQ(listText(l), "VARCHAR2");
  EXPECT_EQ(nextToken(&value, &ctx), T_DEFAULT);

  start("$1.a x");
  EXPECT_EQ(read_datatype(&ctx, &value, nullptr), nullptr);  // T_DTYPE consumed, list unchanged
  EXPECT_EQ(nextToken(&value, &ctx), T_WORD);
}

TEST_F(ScanFixture, SyntaxReportsCarryTokenAndLine) {
  start("a\nbb cc");
  nextToken(&value, &ctx);
  nextToken(&value, &ctx);
  ErrorRecord* r = reportError(&ctx, "syntax error, unexpected T_WORD");
  EXPECT_EQ(r->line, 2);
  EXPECT_STREQ(r->context, "bb");
  EXPECT_STREQ(r->text, "bb cc");
  EXPECT_EQ(r->domain, 0);
  astNodeError* node = takeLastErrorNode(&ctx);
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(node->line, 1);
  EXPECT_STREQ(node->token, "bb");
  EXPECT_STREQ(node->context, "bb cc");
}

// The current line of a report is read from the source whole, past the
// current match; at the end of the input it is empty.
TEST_F(ScanFixture, ReportsReadTheLineFromTheSource) {
  start("a\nbb cc  dd");
  for (int i = 0; i < 3; ++i) nextToken(&value, &ctx);
  EXPECT_STREQ(reportError(&ctx, "x")->text, "bb cc  dd");
  nextToken(&value, &ctx);
  EXPECT_EQ(nextToken(&value, &ctx), 0);
  ErrorRecord* atEnd = reportError(&ctx, "y");
  EXPECT_STREQ(atEnd->text, "");
  EXPECT_EQ(atEnd->line, 3);
}

TEST_F(ScanFixture, ReaderTokensReportEndOfInputOnce) {
  start("a /* open");
  read_token_run(&ctx, &value, READ_PUSH_BACK, T_no_lookahead, nullptr, ';');
  ASSERT_NE(errors.head, nullptr);
  EXPECT_STREQ(errors.head->message, "Unterminated comment");
  EXPECT_EQ(errors.head->next, nullptr);
}

TEST_F(ScanFixture, TraceOfPushBackAndDatatype) {
  setenv("CROSS_DEBUG_PARSER", "1", 1);
  start("x y");
  unsetenv("CROSS_DEBUG_PARSER");
  std::string err = stderrOf([&] {
    EXPECT_EQ(nextToken(&value, &ctx), T_WORD);
    pushBackToken(&ctx, T_WORD);
    EXPECT_EQ(nextToken(&value, &ctx), T_WORD);
    read_datatype(&ctx, &value, nullptr);
  });
  EXPECT_EQ(err,
            "** returning 270 - x\n** pushed back 270 - x\n** returning pushback 270\n"
            "** read_datatype...\n** returning 270 - y\n** returning 0 - \n");
}

TEST(TokenTrace, TraceLinesOnStandardError) {
  ProcessResult r = runProcess(VESTRAKE_PATH, {"-s", "begin null; end;"}, {{"CROSS_DEBUG_PARSER", ""}});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err,
            "** returning 285 - begin\n** returning 330 - null\n** returning 59 - ;\n"
            "** returning 286 - end\n** returning 59 - ;\n** returning 0 - \n");
  EXPECT_EQ(r.out, "");

  r = runProcess(VESTRAKE_PATH, {"-s", "begin null; end;"}, {}, {"CROSS_DEBUG_PARSER"});
  EXPECT_EQ(r.err, "");
}


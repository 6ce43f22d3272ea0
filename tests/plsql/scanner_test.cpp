// The PL/SQL scanner through the token reader: every class of rule.
#include "vst_scan_fixture.h"
#include "plsql_scanner.hpp"


using V = std::vector<int>;

TEST_F(ScanFixture, TokenCodesOfTheGrammar) {
  EXPECT_EQ(T_no_lookahead, 258);
  EXPECT_EQ(T_BEGIN, 285);
  EXPECT_EQ(T_UNDER, 439);
}

TEST_F(ScanFixture, KeywordsInAnyCase) {
  EXPECT_EQ(codes("begin Begin BEGIN"), (V{T_BEGIN, T_BEGIN, T_BEGIN, 0}));
  auto t = all("BEGINX beGin");
  EXPECT_EQ(t[0].code, T_WORD);
  EXPECT_EQ(t[0].text, "BEGINX");
  EXPECT_EQ(t[1].code, T_BEGIN);
  EXPECT_EQ(t[1].text, "beGin");
  EXPECT_EQ(t[1].line, 0);
  EXPECT_EQ(codes("and AND resolve and compile"), (V{T_WORD, T_AND_RESOLVE, T_AND_COMPILE, 0}));
  EXPECT_EQ(codes("LANGUAGE CX"), (V{T_LANGUAGE_C, T_WORD, 0}));
  EXPECT_EQ(codes("ENDX end if"), (V{T_WORD, T_END, T_IF, 0}));
  EXPECT_EQ(codes("raise_application_error autonomous_transaction exception_init"),
            (V{T_RAISE_APP_ERROR, T_AUTONOMOUS_XACT, T_EXCEPTION_INIT, 0}));
  EXPECT_EQ(codes("forall for sqlerrm sqlcode xmltype"), (V{T_FORALL, T_FOR, T_SQLERRM, T_SQLCODE, T_XMLTYPE, 0}));
}

TEST_F(ScanFixture, KeywordTextsOutliveTheNextToken) {
  start("begin end");
  ScannedToken first = next();
  char* text = value.value.text;
  next();
  EXPECT_STREQ(text, "begin");
  EXPECT_EQ(first.text, "begin");
}

TEST_F(ScanFixture, MultiWordKeywords) {
  auto t = all("comment  on COMMENT\nON commenton");
  ASSERT_EQ(t.size(), 4u);
  EXPECT_EQ(t[0].code, T_COMMENT_ON);
  EXPECT_EQ(t[0].line, 0);
  EXPECT_EQ(t[1].code, T_COMMENT_ON);
  EXPECT_EQ(t[1].text, "COMMENT\nON");
  EXPECT_EQ(t[1].line, 1);
  EXPECT_EQ(t[2].code, T_COMMENT_ON);
  EXPECT_EQ(t[2].line, 1);
  EXPECT_EQ(codes("VARYINGARRAY varying array varray"), (V{T_WORD, T_VARRAY, T_VARRAY, 0}));
  EXPECT_EQ(codes("primary\n\nkey ref cursor set transaction pipe row"),
            (V{T_PRIMARY_KEY, T_REFCURSOR, T_SETTRANSACTION, T_PIPEROW, 0}));
  EXPECT_EQ(codes("java source named global temporary"), (V{T_JAVA_SOURCE_NAMED, T_GLOBAL_TEMPORARY, 0}));
  auto s = all("x := sqlerrm\n(");
  EXPECT_EQ(s[2].code, T_SQLERRMFUNC);
  EXPECT_EQ(s[2].text, "sqlerrm\n(");
  EXPECT_EQ(s[2].line, 1);
}

TEST_F(ScanFixture, XmlTypeForms) {
  EXPECT_EQ(codes("sys.xmltype"), (V{T_XMLTYPE, 0}));
  EXPECT_EQ(codes("SYS XMLTYPE"), (V{T_XMLTYPE, 0}));
  EXPECT_EQ(codes("SYS\nXMLTYPE"), (V{T_WORD, T_XMLTYPE, 0}));
}

TEST_F(ScanFixture, PercentAttributes) {
  auto t = all("x%type y%ROWTYPE");
  EXPECT_EQ(t[0].code, T_WORD);
  EXPECT_EQ(t[1].code, T_PERCENT_TYPE);
  EXPECT_EQ(t[1].text, "%type");
  EXPECT_EQ(t[1].line, -99);  // only the value is set
  EXPECT_EQ(t[3].code, T_PERCENT_ROWTYPE);

  t = all("x % found");
  EXPECT_EQ(t[0].code, T_CURSOR_FOUND);
  EXPECT_EQ(t[0].text, "x ");
  EXPECT_EQ(t[0].line, 0);
  t = all("sql%found SQL % NotFound sql%rowcount sql%isopen c1%notfound a.b%ISOPEN");
  EXPECT_EQ(t[0].code, T_SQL_FOUND);
  EXPECT_EQ(t[0].text, "sql|found");
  EXPECT_EQ(t[1].code, T_SQL_NOTFOUND);
  EXPECT_EQ(t[1].text, "SQL | NotFound");
  EXPECT_EQ(t[2].code, T_SQL_ROWCOUNT);
  EXPECT_EQ(t[3].code, T_CURSOR_ISOPEN);
  EXPECT_EQ(t[3].text, "sql");
  EXPECT_EQ(t[4].code, T_CURSOR_NOTFOUND);
  EXPECT_EQ(t[4].text, "c1");
  EXPECT_EQ(t[5].code, T_CURSOR_ISOPEN);
  EXPECT_EQ(t[5].text, "a.b");
}

TEST_F(ScanFixture, Numbers) {
  auto t = all("1..10");
  ASSERT_EQ(t.size(), 4u);
  EXPECT_EQ(t[0].code, T_NUMERICNO);
  EXPECT_FLOAT_EQ(t[0].number, 1.0f);
  EXPECT_EQ(t[1].code, T_DOTDOT);
  EXPECT_EQ(t[2].code, T_DIGITS);
  EXPECT_EQ(t[2].text, "10");
  t = all("1...");
  EXPECT_EQ(t[0].code, T_NUMERICNO);
  EXPECT_EQ(t[1].code, T_DOTDOT);
  t = all("3.25 .5 2e3 1.5E-2 10");
  EXPECT_FLOAT_EQ(t[0].number, 3.25f);
  EXPECT_FLOAT_EQ(t[1].number, 0.5f);
  EXPECT_FLOAT_EQ(t[2].number, 2000.0f);
  EXPECT_FLOAT_EQ(t[3].number, 0.015f);
  EXPECT_EQ(t[4].code, T_DIGITS);
  for (const char* unknown : {"1e", "12_", "12ab", "0x1F"}) {
    t = all(unknown);
    EXPECT_EQ(t[0].code, T_UNKNOWN) << unknown;
    EXPECT_EQ(t[0].text, unknown);
  }
  t = all("X'4A' X''");
  EXPECT_EQ(t[0].code, T_DIGITS);
  EXPECT_EQ(t[0].text, "X'4A'");
  EXPECT_EQ(t[1].code, T_WORD);
  EXPECT_EQ(t[1].text, "X");
  EXPECT_EQ(t[2].code, T_STRING);
  EXPECT_EQ(t[2].text, "''");
}

TEST_F(ScanFixture, InvalidNumbersAreLexicalErrors) {
  auto t = all("1.5e");
  EXPECT_EQ(t[0].code, 0);
  ASSERT_NE(errors.head, nullptr);
  EXPECT_STREQ(errors.head->message, "Invalid token");
  EXPECT_EQ(errors.head->domain, 1);
  EXPECT_EQ(errors.head->line, 1);
  EXPECT_STREQ(errors.head->context, "1.5e");
  EXPECT_STREQ(errors.head->text, "1.5e");
  EXPECT_EQ(errors.head->expected, nullptr);
  EXPECT_EQ(takeLastErrorNode(&ctx), nullptr);  // lexical errors build no error node

  t = all("\n1e+x");
  EXPECT_EQ(t[0].code, T_WORD);
  EXPECT_EQ(t[0].text, "x");
  ASSERT_NE(errors.head, nullptr);
  EXPECT_EQ(errors.head->line, 2);
  EXPECT_STREQ(errors.head->text, "1e+x");
}

TEST_F(ScanFixture, StringsAndLines) {
  auto t = all("'it''s'");
  EXPECT_EQ(t[0].code, T_STRING);
  EXPECT_EQ(t[0].text, "'it''s'");
  EXPECT_EQ(t[0].line, 0);
  t = all("x\n'a\nb\nc' y");
  EXPECT_EQ(t[1].code, T_STRING);
  EXPECT_EQ(t[1].text, "'a\nb\nc'");
  EXPECT_EQ(t[1].line, 1);
  EXPECT_EQ(t[2].code, T_WORD);
  EXPECT_EQ(t[2].nodeLine, 3);
  // A literal longer than the collecting buffer's first size.
  std::string longLit = "'" + std::string(500, 'q') + "'";
  t = all(longLit.c_str());
  EXPECT_EQ(t[0].text, longLit);
  t = all("N'abc'");
  EXPECT_EQ(t[0].code, T_WORD);
  EXPECT_EQ(t[1].code, T_STRING);
  t = all("@builddate@");
  EXPECT_EQ(t[0].code, T_STRING);
  ASSERT_GE(t[0].text.size(), 22u);
  EXPECT_EQ(t[0].text.front(), '\'');
  EXPECT_EQ(t[0].text.back(), '\'');
}

TEST_F(ScanFixture, CommentsKeepLineCount) {
  auto t = all("/* a\n b */ x -- note\ny /* * / */ z");
  EXPECT_EQ(t[0].code, T_WORD);
  EXPECT_EQ(t[0].nodeLine, 1);
  EXPECT_EQ(t[1].nodeLine, 2);
  EXPECT_EQ(t[2].text, "z");
  EXPECT_EQ(t[3].code, 0);
  EXPECT_EQ(errors.head, nullptr);
}

TEST_F(ScanFixture, UnterminatedCommentAndString) {
  auto t = all("x\n/* a\nb");
  EXPECT_EQ(t.back().code, 0);
  ASSERT_NE(errors.head, nullptr);
  EXPECT_STREQ(errors.head->message, "Unterminated comment");
  EXPECT_EQ(errors.head->line, 2);
  EXPECT_EQ(errors.head->domain, 1);
  EXPECT_EQ(errors.head->next, nullptr);

  t = all("x := 'abc\n");
  ASSERT_NE(errors.head, nullptr);
  EXPECT_STREQ(errors.head->message, "Unterminated quoted string");
  EXPECT_EQ(errors.head->line, 1);
}

TEST_F(ScanFixture, TerminatorLine) {
  EXPECT_EQ(codes("/\n"), (V{T_TERMINATOR, 0}));
  EXPECT_EQ(codes(" \t/ \t\r\nx"), (V{T_TERMINATOR, T_WORD, 0}));
  EXPECT_EQ(codes("end;\n/"), (V{T_END, ';', T_TERMINATOR, 0}));
  EXPECT_EQ(codes("//\n"), (V{'/', '/', 0}));
  EXPECT_EQ(codes("a /\n"), (V{T_WORD, '/', 0}));
  auto t = all("/\n/\nx");
  EXPECT_EQ(t[0].code, T_TERMINATOR);
  EXPECT_EQ(t[1].code, T_TERMINATOR);
  EXPECT_EQ(t[2].nodeLine, 2);
}

TEST_F(ScanFixture, NamesDottedAndQuoted) {
  auto t = all("a . b\n\"Mixed Case\" \"\" c.\nd $1 $1 . a.b");
  EXPECT_EQ(t[0].code, T_WORD);
  EXPECT_EQ(t[0].text, "a . b");
  EXPECT_TRUE(t[0].qualified);
  EXPECT_EQ(t[1].text, "\"Mixed Case\"");
  EXPECT_FALSE(t[1].qualified);
  EXPECT_EQ(t[1].nodeLine, 1);
  EXPECT_EQ(t[2].text, "\"\"");
  EXPECT_EQ(t[3].text, "c.\nd");
  EXPECT_EQ(t[3].nodeLine, 1);
  EXPECT_EQ(t[4].code, T_WORD);
  EXPECT_EQ(t[4].text, "$1");
  EXPECT_EQ(t[4].nodeLine, 2);
  EXPECT_EQ(t[5].code, T_DTYPE);
  EXPECT_EQ(t[5].text, "$1 . a.b");
}

TEST_F(ScanFixture, UnterminatedQuotedIdentifier) {
  auto t = all("x \"abc");
  EXPECT_EQ(t[0].code, T_WORD);
  EXPECT_EQ(t[1].code, T_WORD);
  EXPECT_EQ(t[1].text, "abc");
  ASSERT_NE(errors.head, nullptr);
  EXPECT_STREQ(errors.head->message, "Unterminated quoted identifier");
  EXPECT_EQ(errors.head->line, 1);
  EXPECT_STREQ(errors.head->context, "\"");
  EXPECT_STREQ(errors.head->text, "x \"abc");
}

TEST_F(ScanFixture, OperatorsAndSingleCharacters) {
  auto t = all(", .. :: := << >> || = <> < > <= >= != =>");
  V expected = {T_COMMA, T_DOTDOT, T_DCOLON, T_ASSIGN, T_LABEL_BEG, T_LABEL_END, T_CONCAT, T_COMPARISON,
                T_COMPARISON, T_COMPARISON, T_COMPARISON, T_COMPARISON, T_COMPARISON, T_COMPARISON, T_ARGNAME, 0};
  ASSERT_EQ(t.size(), expected.size());
  for (size_t i = 0; i < t.size(); ++i) EXPECT_EQ(t[i].code, expected[i]) << i;
  EXPECT_EQ(t[9].text, "<");
  EXPECT_EQ(t[14].text, "=>");
  EXPECT_EQ(codes("% ( ) * + - . / : ; [ ] ^"), (V{'%', '(', ')', '*', '+', '-', '.', '/', ':', ';', '[', ']', '^', 0}));
  EXPECT_EQ(codes("@ ? { } ! | \x01"), (V{'@', '?', '{', '}', '!', '|', 1, 0}));
  t = all("&&");
  EXPECT_EQ(t[0].code, T_UNKNOWN);
  EXPECT_EQ(t[0].text, "&&");
}

TEST_F(ScanFixture, TriggerVariables) {
  auto t = all(":new.col :1 :a .b");
  EXPECT_EQ(t[0].code, T_TRIG_VAR);
  EXPECT_EQ(t[0].text, ":new.col");
  EXPECT_EQ(t[1].code, T_TRIG_VAR);
  EXPECT_EQ(t[1].text, ":1");
  EXPECT_EQ(t[2].code, T_TRIG_VAR);
  EXPECT_EQ(t[2].text, ":a");
  EXPECT_EQ(t[3].code, '.');
  EXPECT_EQ(t[4].code, T_WORD);
}

TEST_F(ScanFixture, HighBytesAreNameCharacters) {
  auto t = all("caf\xc3\xa9 := 1;");
  EXPECT_EQ(t[0].code, T_WORD);
  EXPECT_EQ(t[0].text, "caf\xc3\xa9");
  EXPECT_EQ(t[1].code, T_ASSIGN);
}


// Blanks of any mix are one match; the tokens and lines around them stay.
TEST_F(ScanFixture, RunsOfBlanks) {
  auto t = all("a \t\f\r  b\t \t\n  \r c");
  ASSERT_EQ(t.size(), 4u);
  EXPECT_EQ(t[0].text, "a");
  EXPECT_EQ(t[1].text, "b");
  EXPECT_EQ(t[1].nodeLine, 0);
  EXPECT_EQ(t[2].text, "c");
  EXPECT_EQ(t[2].nodeLine, 1);
  EXPECT_EQ(codes("x \t \n \t/\t \r\ny"), (V{T_WORD, T_TERMINATOR, T_WORD, 0}));
  EXPECT_EQ(codes("x \t / \ny"), (V{T_WORD, '/', T_WORD, 0}));
}

// The scanner reads the source piece by piece: tokens, long matches and
// lines come out whole across the pieces.
TEST_F(ScanFixture, SourceLongerThanTheScanBuffer) {
  std::string source;
  for (int i = 0; i < 6000; ++i) source += "w" + std::to_string(i) + (i % 10 == 9 ? "\n" : " ");
  std::string name(40000, 'n');
  std::string literal = "'" + std::string(70000, 'q') + "\n'";
  source += name + " " + literal + " z";
  start(source.c_str());
  for (int i = 0; i < 6000; ++i) {
    ScannedToken t = next();
    ASSERT_EQ(t.code, T_WORD) << i;
    ASSERT_EQ(t.text, "w" + std::to_string(i));
    ASSERT_EQ(t.nodeLine, i / 10);
  }
  EXPECT_EQ(next().text, name);
  EXPECT_EQ(next().text, literal);
  ScannedToken t = next();
  EXPECT_EQ(t.text, "z");
  EXPECT_EQ(t.nodeLine, 601);
  EXPECT_EQ(next().code, 0);
}

// The scanner goes over a token again after every read of more input: a
// token of megabytes is read in a few reads whose sizes double, not in
// pieces of a fixed size, so that its scan takes time linear in its length.
TEST_F(ScanFixture, LongTokensTakeFewReads) {
  const std::string body(size_t(4) << 20, '7');
  const struct {
    const char* name;
    std::string source;
    int code;  // of the first token
  } cases[] = {
      {"literal", "'" + body + "'", T_STRING},
      {"comment", "/*" + body + "*/ x", T_WORD},
      {"line comment", "--" + body + "\nx", T_WORD},
      {"number", body, T_DIGITS},
      {"name", "n" + body, T_WORD},
      {"blanks", std::string(body.size(), ' ') + "x", T_WORD},
  };
  for (const auto& c : cases) {
    start(c.source.c_str());
    EXPECT_EQ(next().code, c.code) << c.name;
    EXPECT_EQ(next().code, 0) << c.name;
    EXPECT_LT(static_cast<ScannerExtra*>(xxget_extra(ctx.scanner))->inputReads, 32) << c.name;
  }
}

// The input is the source and then one line feed, read in pieces of the
// asked size; after it, nothing.
TEST(ScannerInput, SourceThenLineFeedThenNothing) {
  ScannerExtra extra{};
  extra.unread = "abcdefg";
  extra.unreadLength = 7;
  char buffer[8];
  EXPECT_EQ(scannerRead(&extra, buffer, 3), 3);
  EXPECT_EQ(std::string(buffer, 3), "abc");
  EXPECT_EQ(scannerRead(&extra, buffer, 8), 4);
  EXPECT_EQ(std::string(buffer, 4), "defg");
  EXPECT_EQ(scannerRead(&extra, buffer, 8), 1);
  EXPECT_EQ(buffer[0], '\n');
  EXPECT_EQ(scannerRead(&extra, buffer, 8), 0);
}

// A keyword or operator value is copied once for a run of tokens of the
// same code and spelling.
TEST_F(ScanFixture, KeywordTextsSharedPerSpelling) {
  start("begin begin BEGIN BEGIN 1 1 2");
  std::vector<const char*> texts;
  for (int i = 0; i < 7; ++i) {
    next();
    texts.push_back(value.value.text);
  }
  EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.end()),
            (std::vector<std::string>{"begin", "begin", "BEGIN", "BEGIN", "1", "1", "2"}));
  EXPECT_EQ(texts[0], texts[1]);
  EXPECT_EQ(texts[2], texts[3]);
  EXPECT_NE(texts[1], texts[2]);
  EXPECT_EQ(texts[4], texts[5]);
}

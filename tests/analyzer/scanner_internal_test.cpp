// The T-SQL scanner over short texts: tokens, lexemes, leaves and tables.
#include <random>

#include "scanner_test_support.h"

extern "C" {
gn_dproc_fn gn_dproc_table[GN_DPROC_TABLE_SIZE];
}

namespace {

using namespace scanner_test;
const table_filler kFiller(gn_dproc_table);

class Scanner : public ScannerFixture {
 protected:
  void SetUp() override {
    ScannerFixture::SetUp();
    set_flag(0);
  }
};

// Shorthand for expectations on returned tokens.
token T(int code, std::string text, int lexeme) {
  return token{code, std::move(text), code == 0 ? -1 : code, code == 0 ? -1 : lexeme};
}
token END() { return token{0, "", -1, -1}; }

TEST_F(Scanner, EmptyBatch) {
  EXPECT_EQ(scan(""), std::vector<token>{END()});
  EXPECT_EQ(ctx_.lexeme_count, 1);
  EXPECT_EQ(start(0), 0);
  EXPECT_EQ(start(1), 1);  // one past the end position
  EXPECT_EQ(kind(0), 0);
}

TEST_F(Scanner, LexemeTablesAfterAShortBatch) {
  const std::vector<token> expected = {T(TK_NAME, "a", 0), T(TK_NAME, "b", 3), END()};
  EXPECT_EQ(scan("a  --x\nb"), expected);
  EXPECT_EQ(ctx_.lexeme_count, 5);
  const int ends[] = {0, 1, 3, 7, 8, 9};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(start(i), ends[i]) << i;
  const int kinds[] = {TK_NAME, -1, -1, TK_NAME, 0};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(kind(i), kinds[i]) << i;
  EXPECT_EQ(ctx_.cursor, buffer_.get() + 9);
  EXPECT_EQ(spv_elem_count(ctx_.lexeme_start), spv_elem_count(ctx_.lexeme_kind));
}

TEST_F(Scanner, LeafHoldsTheTokensOwnLexeme) {
  std::vector<token> t = scan("select /* c */x");
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t[0], T(TK_SELECT_KW, "select", 0));
  EXPECT_EQ(t[1], T(TK_NAME, "x", 3));
}

TEST_F(Scanner, TablesGrowInStepsOfFifty) {
  std::string text;
  for (int i = 0; i < 40; ++i) text += "a ";
  scan(text);  // 81 lexemes: 40 words, 40 blanks, the end
  EXPECT_EQ(ctx_.lexeme_count, 81);
  EXPECT_EQ(spv_elem_count(ctx_.lexeme_start), 110);  // 10, 60, 110
  EXPECT_EQ(spv_elem_count(ctx_.lexeme_kind), 110);
  EXPECT_EQ(start(81), 81);
  EXPECT_EQ(kind(79), -1);
  EXPECT_EQ(kind(80), 0);
}

TEST_F(Scanner, Comments) {
  EXPECT_EQ(codes("/* a /* b */ c */x"), (std::vector<int>{TK_NAME, 0}));
  EXPECT_EQ(lexemes()[0], (lexeme{-1, "/* a /* b */ c */"}));
  // "/*/" opens and does not close.
  EXPECT_EQ(codes("/*/ x"), (std::vector<int>{0}));
  EXPECT_EQ(lexemes()[0], (lexeme{-1, "/*/ x"}));
  EXPECT_EQ(codes("/**/x"), (std::vector<int>{TK_NAME, 0}));
  EXPECT_EQ(codes("/* unclosed /* nested */"), (std::vector<int>{0}));
  EXPECT_EQ(codes("-- to the end"), (std::vector<int>{0}));
  EXPECT_EQ(codes("a-b/c"), (std::vector<int>{TK_NAME, TK_MINUS, TK_NAME, TK_DIVIDE, TK_NAME, 0}));
  EXPECT_EQ(codes("- -"), (std::vector<int>{TK_MINUS, TK_MINUS, 0}));
}

TEST_F(Scanner, StringLiterals) {
  EXPECT_EQ(scan("'it''s'")[0], T(TK_STRING_CONSTANT, "'it''s'", 0));
  EXPECT_EQ(scan("'abc")[0], T(TK_ERROR_TK, "'abc", 0));
  EXPECT_EQ(scan("''")[0], T(TK_STRING_CONSTANT, "''", 0));
  EXPECT_EQ(scan("'a'''")[0], T(TK_STRING_CONSTANT, "'a'''", 0));
  EXPECT_EQ(scan("'a''")[0], T(TK_ERROR_TK, "'a''", 0));
  EXPECT_EQ(scan(std::string("'a\0b'", 5))[0], T(TK_STRING_CONSTANT, std::string("'a\0b'", 5), 0));
}

TEST_F(Scanner, DoubleQuotedTextFollowsTheFlag) {
  const char* texts[] = {"\"\"", "\"select\"", "\"my col\"", "\"abs\""};
  for (const char* t : texts) EXPECT_EQ(codes(t)[0], TK_STRING_CONSTANT) << t;
  set_flag(1);
  EXPECT_EQ(codes("\"\"")[0], TK_QUOTED_IDENTIFIER);
  EXPECT_EQ(codes("\"select\"")[0], TK_QUOTED_IDENTIFIER);
  EXPECT_EQ(codes("\"my col\"")[0], TK_QUOTED_IDENTIFIER);
  EXPECT_EQ(codes("\"abs\"")[0], TK_ABS_ID);
  EXPECT_EQ(codes("\"@v\"")[0], TK_QUOTED_IDENTIFIER);
  EXPECT_EQ(codes("\"by\"")[0], TK_BI_KW);  // not a reserved word
  EXPECT_EQ(codes("\"1st col\"")[0], TK_QUOTED_IDENTIFIER);
  EXPECT_EQ(codes("\"a\"\"b\"")[0], TK_QUOTED_IDENTIFIER);
  EXPECT_EQ(codes("\"" + std::string(255, 'x') + "\"")[0], TK_QUOTED_IDENTIFIER);
  EXPECT_EQ(codes("\"" + std::string(256, 'x') + "\"")[0], TK_ERROR_TK);
  // A doubled quote counts once toward the limit.
  EXPECT_EQ(codes("\"" + std::string(254, 'x') + "\"\"\"")[0], TK_QUOTED_IDENTIFIER);
  EXPECT_EQ(codes("\"abc")[0], TK_ERROR_TK);
  set_flag(0);
  EXPECT_EQ(codes("\"abc")[0], TK_ERROR_TK);
  EXPECT_EQ(scanner_quoted_identifier(), 0);
}

TEST_F(Scanner, FlagChangeAppliesToTheNextToken) {
  set_input("\"a\" \"b\"");
  st_node* v = nullptr;
  EXPECT_EQ(yylex(&v, &ctx_), TK_STRING_CONSTANT);
  ag_word block[3] = {7, 42, 0};
  scanner_setup(block);
  EXPECT_EQ(block[2], 42);
  EXPECT_EQ(scanner_quoted_identifier(), 1);
  EXPECT_EQ(yylex(&v, &ctx_), TK_QUOTED_IDENTIFIER);
  EXPECT_EQ(yylex(&v, &ctx_), 0);
}

TEST_F(Scanner, LiteralUnquote) {
  auto text = [](st_String_const* s) {
    return std::string(static_cast<const char*>(internal_data_ptr_fcs(s)),
                       static_cast<size_t>(string_length(s)));
  };
  EXPECT_EQ(literal_unquote("\"\"", 2), C_empty_string);
  EXPECT_EQ(literal_unquote("\"\\\n\"", 4), C_empty_string);
  EXPECT_EQ(text(literal_unquote("\"a\"\"b\"", 6)), "a\"b");
  EXPECT_EQ(text(literal_unquote("'a''b'", 6)), "a'b");
  EXPECT_EQ(text(literal_unquote("\"x\\\ny\\z\"", 8)), "xy\\z");
}

TEST_F(Scanner, BracketedNames) {
  EXPECT_EQ(scan("[my table]")[0], T(TK_NAME, "[my table]", 0));
  EXPECT_EQ(codes("[]")[0], TK_NAME);
  EXPECT_EQ(codes("[a")[0], TK_ERROR_TK);
  EXPECT_EQ(codes("[" + std::string(253, 'x') + "]")[0], TK_NAME);   // 255 bytes
  EXPECT_EQ(codes("[" + std::string(254, 'x') + "]")[0], TK_ERROR_TK);  // 256 bytes
  EXPECT_EQ(codes("]"), (std::vector<int>{TK_ERROR_TK, 0}));
}

TEST_F(Scanner, Numbers) {
  EXPECT_EQ(codes("2147483647")[0], TK_INTEGER_CONSTANT);
  EXPECT_EQ(codes("2147483648")[0], TK_NUMERIC_CONSTANT);
  EXPECT_EQ(codes("0002147483647")[0], TK_INTEGER_CONSTANT);
  EXPECT_EQ(codes("99999999999999999999")[0], TK_NUMERIC_CONSTANT);
  EXPECT_EQ(codes("1.")[0], TK_NUMERIC_CONSTANT);
  EXPECT_EQ(codes(".5")[0], TK_NUMERIC_CONSTANT);
  EXPECT_EQ(codes("1e5")[0], TK_FLOATING_POINT_CONSTANT);
  EXPECT_EQ(codes("1.5E-3")[0], TK_FLOATING_POINT_CONSTANT);
  EXPECT_EQ(codes(".5e2")[0], TK_FLOATING_POINT_CONSTANT);
  EXPECT_EQ(scan("1e")[0], T(TK_FLOATING_POINT_CONSTANT, "1e", 0));
  std::vector<token> t = scan("1e+x");
  ASSERT_EQ(t.size(), 4u);
  EXPECT_EQ(t[0], T(TK_FLOATING_POINT_CONSTANT, "1e", 0));
  EXPECT_EQ(t[1], T(TK_PLUS, "+", 1));
  EXPECT_EQ(t[2], T(TK_NAME, "x", 2));
  EXPECT_EQ(scan("1e-")[0], T(TK_FLOATING_POINT_CONSTANT, "1e", 0));
  EXPECT_EQ(scan("0x")[0], T(TK_BINARI_CONSTANT, "0x", 0));
  EXPECT_EQ(scan("0XfFz")[0], T(TK_BINARI_CONSTANT, "0XfF", 0));
  EXPECT_EQ(codes(std::string(255, '1'))[0], TK_NUMERIC_CONSTANT);
  EXPECT_EQ(codes(std::string(256, '1'))[0], TK_ERROR_TK);
  EXPECT_EQ(codes("." + std::string(256, '1'))[0], TK_NUMERIC_CONSTANT);
  EXPECT_EQ(codes("a.b"), (std::vector<int>{TK_NAME, TK_PERIOD, TK_NAME, 0}));
}

TEST_F(Scanner, MoneyConstants) {
  EXPECT_EQ(scan("$ - 12.5")[0], T(TK_MONEI_CONSTANT, "$ - 12.5", 0));
  EXPECT_EQ(codes("$"), (std::vector<int>{TK_MONEI_CONSTANT, 0}));
  EXPECT_EQ(scan("$-x")[0], T(TK_MONEI_CONSTANT, "$-", 0));
  EXPECT_EQ(codes("$" + std::string(254, '1'))[0], TK_MONEI_CONSTANT);
  EXPECT_EQ(codes("$" + std::string(255, '1'))[0], TK_ERROR_TK);
}

TEST_F(Scanner, Variables) {
  EXPECT_EQ(scan("@x:")[0], T(TK_LOCAL_VARNAME, "@x", 0));
  EXPECT_EQ(codes("@x:"), (std::vector<int>{TK_LOCAL_VARNAME, TK_ERROR_TK, 0}));
  EXPECT_EQ(scan("@@rowcount")[0], T(TK_GLOBAL_VARNAME, "@@rowcount", 0));
  EXPECT_EQ(codes("@@nosuchname")[0], TK_GLOBAL_VARNAME);
  EXPECT_EQ(codes("@"), (std::vector<int>{TK_LOCAL_VARNAME, 0}));
  EXPECT_EQ(codes("@@"), (std::vector<int>{TK_GLOBAL_VARNAME, 0}));
  EXPECT_EQ(codes("@" + std::string(1000, 'v')), (std::vector<int>{TK_LOCAL_VARNAME, 0}));
}

TEST_F(Scanner, WordsLabelsAndKeywords) {
  EXPECT_EQ(codes("select SELECT SeLeCt"),
            (std::vector<int>{TK_SELECT_KW, TK_SELECT_KW, TK_SELECT_KW, 0}));
  EXPECT_EQ(codes("selects selec"), (std::vector<int>{TK_NAME, TK_NAME, 0}));
  EXPECT_EQ(scan("begin:")[0], T(TK_LABEL, "begin:", 0));
  EXPECT_EQ(codes(std::string(300, 'w') + ":")[0], TK_LABEL);
  for (int n : {24, 255}) EXPECT_EQ(codes(std::string(n, 'n'))[0], TK_NAME) << n;
  EXPECT_EQ(codes(std::string(256, 'n'))[0], TK_ERROR_TK);
  EXPECT_EQ(scan("#t$@_1 x")[0], T(TK_NAME, "#t$@_1", 0));
  EXPECT_EQ(codes("a\tb"), (std::vector<int>{TK_NAME, TK_NAME, 0}));
  EXPECT_EQ(codes("ab\xC8" "cd"), (std::vector<int>{TK_NAME, TK_ERROR_TK, TK_NAME, 0}));
  EXPECT_EQ(codes("\xC8"), (std::vector<int>{TK_ERROR_TK, 0}));
  EXPECT_EQ(codes(std::string("ab\0cd", 5)), (std::vector<int>{TK_NAME, TK_ERROR_TK, TK_NAME, 0}));
}

TEST_F(Scanner, MergedTwoWordTokens) {
  std::vector<token> t = scan("left /* c */ outer join");
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t[0], T(TK_LEFT_AND_OUTER_JUMBO, "left /* c */ outer", 0));
  EXPECT_EQ(t[1], T(TK_JOIN_KW, "join", 2));
  EXPECT_EQ(lexemes()[1], (lexeme{-1, " "}));

  t = scan(", fillfactor = 80");
  EXPECT_EQ(t[0], T(TK_COMMA_AND_FILLFACTOR_JUMBO, ", fillfactor", 0));
  EXPECT_EQ(codes(",max_rows_per_page=1")[0], TK_COMMA_ANDMAKSROWSPERPAGE_JUMBO);
  EXPECT_EQ(codes(",\n--c\nReservePageGap")[0], TK_COMMA_AND_RESERVEPAGEGAP_JUMBO);
  EXPECT_EQ(codes(", x"), (std::vector<int>{TK_COMMA, TK_NAME, 0}));
  EXPECT_EQ(codes("INNER JOIN")[0], TK_INNER_AND_JOIN_JUMBO);
  EXPECT_EQ(codes("left join")[0], TK_LEFT_AND_JOIN_JUMBO);
  EXPECT_EQ(codes("right\njoin")[0], TK_RIGHT_AND_JOIN_JUMBO);
  EXPECT_EQ(codes("right outer")[0], TK_RIGHT_AND_OUTER_JUMBO);
  EXPECT_EQ(codes("lock table")[0], TK_LOCK_AND_TABLE_JUMBO);
  EXPECT_EQ(codes("left join(")[0], TK_LEFT_AND_JOIN_JUMBO);

  EXPECT_EQ(codes("LEFT JOINT"), (std::vector<int>{TK_LEFT_ID, TK_NAME, 0}));
  EXPECT_EQ(codes("LEFT JOIN:"), (std::vector<int>{TK_LEFT_ID, TK_LABEL, 0}));
  EXPECT_EQ(codes("left join$"), (std::vector<int>{TK_LEFT_ID, TK_NAME, 0}));
  EXPECT_EQ(codes("INNER OUTER"), (std::vector<int>{TK_INNER_ID, TK_OUTER_ID, 0}));
  EXPECT_EQ(codes("lock join"), (std::vector<int>{TK_LOCK_KW, TK_JOIN_KW, 0}));
  EXPECT_EQ(codes("left table"), (std::vector<int>{TK_LEFT_ID, TK_TABLE_KW, 0}));
  EXPECT_EQ(codes("left joi"), (std::vector<int>{TK_LEFT_ID, TK_NAME, 0}));
  EXPECT_EQ(codes("left:join"), (std::vector<int>{TK_LABEL, TK_JOIN_KW, 0}));

  // The look-past skips the whole comment "/*/ join */".
  t = scan("left/*/ join */x");
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t[0], T(TK_LEFT_ID, "left", 0));
  EXPECT_EQ(t[1], T(TK_NAME, "x", 2));

  set_flag(1);
  EXPECT_EQ(codes("\"left\" join"), (std::vector<int>{TK_LEFT_ID, TK_JOIN_KW, 0}));
}

TEST_F(Scanner, Operators) {
  EXPECT_EQ(codes("!= !> !< ! *= * =* = <= <> < >= > & ^ ~ ( ) % + ; , | ||"),
            (std::vector<int>{TK_NOT_EQUAL, TK_LTEQ,      TK_GTEQ,    TK_EKSCLAMATION,
                              TK_STAR_EQUAL, TK_STAR,     TK_EQUAL_STAR, TK_EQUAL,
                              TK_LTEQ,       TK_NOT_EQUAL, TK_LESS_THAN, TK_GTEQ,
                              TK_GREATER_THAN, TK_BIT_AND, TK_BIT_EKSOR, TK_BIT_NOT,
                              TK_LPAR,       TK_RPAR,     TK_MODULO,  TK_PLUS,
                              TK_SEMICOLON,  TK_COMMA,    TK_BIT_OR,  TK_STRING_CAT, 0}));
  EXPECT_EQ(codes("! ="), (std::vector<int>{TK_EKSCLAMATION, TK_EQUAL, 0}));
  EXPECT_EQ(codes("|||"), (std::vector<int>{TK_STRING_CAT, TK_BIT_OR, 0}));
  for (const char* e : {":", "?", "\\", "`", "{", "}", "\x01", "\x1f", "\x7f"})
    EXPECT_EQ(codes(e), (std::vector<int>{TK_ERROR_TK, 0})) << int(e[0]);
}

TEST_F(Scanner, UnicodeLiterals) {
  EXPECT_EQ(scan("U&'abc' x")[0], T(TK_STRING_CONSTANT, "U&'abc'", 0));
  EXPECT_EQ(scan("u&'a''b\\'c')")[0], T(TK_STRING_CONSTANT, "u&'a''b\\'c'", 0));
  EXPECT_EQ(codes("U&\"x\""), (std::vector<int>{TK_STRING_CONSTANT, 0}));
  set_flag(1);
  EXPECT_EQ(codes("U&\"x\""), (std::vector<int>{TK_QUOTED_IDENTIFIER, 0}));
  // Unterminated forms end at the input end, whatever the last byte is.
  for (const char* t : {"U&'", "U&\"", "U&'abc", "U&'a\\", "U&'a''", "u&\"\\\""}) {
    EXPECT_EQ(scan(t)[0], T(TK_ERROR_TK, t, 0)) << t;
    EXPECT_EQ(ctx_.lexeme_count, 2) << t;
  }
  EXPECT_EQ(codes("U&x"), (std::vector<int>{TK_NAME, TK_BIT_AND, TK_NAME, 0}));
  EXPECT_EQ(codes("U&"), (std::vector<int>{TK_NAME, TK_BIT_AND, 0}));
  EXPECT_EQ(codes("Update"), (std::vector<int>{TK_UPDATE_KW, 0}));
}

TEST_F(Scanner, QuotedTextToken) {
  set_flag(1);
  EXPECT_EQ(quoted_text_token("\"\"", 2), TK_QUOTED_IDENTIFIER);
  EXPECT_EQ(quoted_text_token("\"where\"", 7), TK_QUOTED_IDENTIFIER);
  EXPECT_EQ(quoted_text_token("\"desc\"", 6), TK_DESC_KW);
  EXPECT_EQ(quoted_text_token("\"Abs\"", 5), TK_ABS_ID);
  EXPECT_EQ(quoted_text_token("\" x\"", 4), TK_QUOTED_IDENTIFIER);
}

TEST_F(Scanner, ReservedWordClass) {
  EXPECT_EQ(token_is_reserved(TK_ADD_KW), 1);
  EXPECT_EQ(token_is_reserved(TK_WRITETEKST_KW), 1);
  EXPECT_EQ(token_is_reserved(TK_SELECT_KW), 1);
  for (int c : std::initializer_list<int>{TK_BI_KW, TK_DESC_KW, TK_NULLIF_KW, TK_PERM_KW, TK_ABS_ID, TK_NAME, 0, 256, 263,
                805, 806, -1, 100000})
    EXPECT_EQ(token_is_reserved(c), 0) << c;
  int n = 0;
  for (int c = 0; c < 1000; ++c) n += token_is_reserved(c);
  EXPECT_EQ(n, 206);
}

TEST_F(Scanner, SkipBlanksAndComments) {
  const std::string s = " \t-- a\n/* b /* c */ */\r\nx";
  EXPECT_EQ(skip_blanks_and_comments(s.data(), s.data() + s.size()), s.data() + s.size() - 1);
  const std::string u = "  /* open";
  EXPECT_EQ(skip_blanks_and_comments(u.data(), u.data() + u.size()), u.data() + u.size());
  EXPECT_EQ(word_ends_at_delimiter("JOIN", "join)", 4), 1);
  EXPECT_EQ(word_ends_at_delimiter("JOIN", "joinx", 4), 0);
  EXPECT_EQ(word_ends_at_delimiter("JOIN", "join#", 4), 0);
  EXPECT_EQ(word_ends_at_delimiter("JOIN", "join:", 4), 0);
  EXPECT_EQ(word_ends_at_delimiter("JOIN", "join", 4), 1);
}

// Each prefix of a text full of unfinished constructs ends inside one of
// them; the scanner must stop at the end of every one.
TEST_F(Scanner, EveryPrefixEndsCleanly) {
  const std::string text =
      "left /* a /*/ */ outer, max_rows_per_page U&'x\\'' u&\"y\\\"\" 'q''' \"d\"\"\" [b] "
      "$ - 1.5 0x1f 12.5e+7 .5E- @@v @x: lock -- c\n table !=!<|| <>*= =*";
  for (int flag = 0; flag < 2; ++flag) {
    set_flag(flag);
    for (size_t n = 0; n <= text.size(); ++n) {
      const std::vector<token> t = scan(text.substr(0, n));
      ASSERT_EQ(t.back().code, 0) << n;
      EXPECT_EQ(start(ctx_.lexeme_count), static_cast<int>(n) + 1) << n;
    }
  }
}

// Every lexeme is recorded once, the lexemes tile the input and the end of
// input comes last, whatever the bytes.
TEST_F(Scanner, RandomBytesKeepTheInvariants) {
  std::mt19937 rng(12345);
  const std::string alphabet = "ab LJ\n\t'\"[]/*-$.@:0x9eE+U&,!=<>|\\";
  for (int round = 0; round < 400; ++round) {
    set_flag(round & 1);
    std::string text;
    const int len = static_cast<int>(rng() % 60);
    for (int i = 0; i < len; ++i)
      text += (rng() % 4 == 0) ? static_cast<char>(rng() % 256) : alphabet[rng() % alphabet.size()];
    std::vector<token> t = scan(text);
    ASSERT_FALSE(t.empty());
    EXPECT_EQ(t.back().code, 0);
    for (size_t i = 0; i + 1 < t.size(); ++i) {
      EXPECT_TRUE(t[i].code >= TSQL_FIRST_TERMINAL && t[i].code <= TSQL_LAST_TERMINAL);
      EXPECT_EQ(t[i].leaf_code, t[i].code);
    }
    const int n = ctx_.lexeme_count;
    EXPECT_EQ(start(0), 0);
    for (int i = 0; i < n; ++i) EXPECT_LT(start(i), start(i + 1)) << text;
    EXPECT_EQ(start(n), static_cast<int>(text.size()) + 1);
    EXPECT_EQ(kind(n - 1), 0);
  }
  EXPECT_EQ(g_none_calls, 0);
}

}  // namespace

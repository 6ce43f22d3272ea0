// Keyword and global-variable recognition.
#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

#include "global_var.h"
#include "keyword.h"
#include "keyword_table.h"
#include "token_codes.h"

namespace {

int lookup(const std::string& s) { return keyword_lookup(s.data(), static_cast<int>(s.size())); }
int gvar(const std::string& s) { return global_var_lookup(s.data(), static_cast<int>(s.size())); }

TEST(KeywordLookup, CaseDoesNotMatter) {
  EXPECT_EQ(lookup("select"), TK_SELECT_KW);
  EXPECT_EQ(lookup("SELECT"), TK_SELECT_KW);
  EXPECT_EQ(lookup("SeLeCt"), TK_SELECT_KW);
  EXPECT_EQ(lookup("selects"), TK_NAME);
  EXPECT_EQ(lookup("selec"), TK_NAME);
}

TEST(KeywordLookup, WordsWithOtherTokens) {
  EXPECT_EQ(lookup("integer"), TK_INT_ID);
  EXPECT_EQ(lookup("int"), TK_INT_ID);
  EXPECT_EQ(lookup("characters"), TK_CHARS_ID);
  EXPECT_EQ(lookup("dy"), TK_DWI_ID);
  EXPECT_EQ(lookup("yy"), TK_WIWI_ID);
  EXPECT_EQ(lookup("system"), TK_SISTEM_ID);
  EXPECT_EQ(lookup("name"), TK_NAME_ID);
  EXPECT_EQ(lookup("exec"), TK_EKSECUTE_KW);
  EXPECT_EQ(lookup("Execute"), TK_EKSECUTE_KW);
  EXPECT_EQ(lookup("tran"), TK_TRANSACTION_KW);
  EXPECT_EQ(lookup("by"), TK_BI_KW);
  EXPECT_EQ(lookup("log10"), TK_LOG10_ID);
  EXPECT_EQ(lookup("resource_granularity"), TK_RESOURCE_GRANULARITEE_ID);  // 20 bytes
  EXPECT_EQ(lookup("REPARTITION_DEGREE"), TK_REPARTITION_DEGREE_ID);
  EXPECT_EQ(lookup("tran_dumptable_status"), TK_TRAN_DUMPTABLE_STATUS_ID);  // 21 bytes
  // Tokens that no word produces.
  EXPECT_EQ(lookup("parallel_degree"), TK_NAME);
}

TEST(KeywordLookup, LengthLimitsAndFirstCharacter) {
  for (int n : {24, 100, 255}) EXPECT_EQ(lookup(std::string(n, 'a')), TK_NAME) << n;
  EXPECT_EQ(lookup(std::string(256, 'a')), TK_ERROR_TK);
  EXPECT_EQ(lookup(std::string(256, '1')), TK_ERROR_TK);
  // Past 23 bytes the first character is not looked at.
  EXPECT_EQ(lookup(std::string(24, '1')), TK_NAME);
  EXPECT_EQ(lookup("#tmp"), TK_NAME);
  EXPECT_EQ(lookup("_x"), TK_NAME);
  EXPECT_EQ(lookup("#select"), TK_NAME);
  EXPECT_EQ(lookup("1abc"), TK_ERROR_TK);
  EXPECT_EQ(lookup(" select"), TK_ERROR_TK);
  EXPECT_EQ(lookup(std::string(23, '9')), TK_ERROR_TK);
  EXPECT_EQ(lookup("$x"), TK_ERROR_TK);
  EXPECT_EQ(lookup("\xC8x"), TK_ERROR_TK);
  EXPECT_EQ(lookup(""), TK_ERROR_TK);
}

TEST(KeywordLookup, OnlyTheGivenLengthIsRead) {
  const char text[] = {'w', 'h', 'e', 'r', 'e', 'x'};  // no NUL
  EXPECT_EQ(keyword_lookup(text, 5), TK_WHERE_KW);
  EXPECT_EQ(keyword_lookup(text, 6), TK_NAME);
  EXPECT_EQ(keyword_lookup(text, 2), TK_NAME);
}

TEST(KeywordLookup, BytesAboveAsciiNeverMatch) {
  // 0xC5 must not fold to any letter.
  EXPECT_EQ(lookup("s\xC5lect"), TK_NAME);
  EXPECT_EQ(lookup("SELECT\xA0"), TK_NAME);
}

TEST(KeywordLookup, EveryTableEntryInEitherCase) {
  int entries = 0;
  std::set<int> tokens;
  for (const kw_entry* e = keyword_table_begin(); e != keyword_table_end(); ++e, ++entries) {
    std::string upper(e->text), lower;
    for (char c : upper) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(lookup(upper), e->token) << upper;
    EXPECT_EQ(lookup(lower), e->token) << lower;
    // One byte more or less is another word.
    EXPECT_NE(lookup(upper + "Q"), e->token) << upper;
    tokens.insert(e->token);
  }
  // 508 spellings of 500 terminals: some terminals have more than one.
  // A change means a keyword was added, dropped or given another spelling.
  EXPECT_EQ(entries, 508);
  EXPECT_EQ(tokens.size(), 500u);
}

TEST(KeywordLookup, EveryWordTerminalHasAKeyword) {
  std::set<int> produced;
  for (const kw_entry* e = keyword_table_begin(); e != keyword_table_end(); ++e)
    produced.insert(e->token);
  struct terminal {
    std::string name;
    int code;
  };
  const terminal terminals[] = {
#define AG_TERMINAL(name, code, words) {#name, code},
#include "../../analyzer/grammar/terminals.def"
#undef AG_TERMINAL
  };
  std::set<std::string> unproduced;
  for (const terminal& t : terminals) {
    const std::string& n = t.name;
    const bool word = n.size() > 3 && (n.compare(n.size() - 3, 3, "_KW") == 0 ||
                                       n.compare(n.size() - 3, 3, "_ID") == 0);
    if (word && !produced.count(t.code)) unproduced.insert(n);
    if (!word) {
      EXPECT_FALSE(produced.count(t.code)) << n;
    }
  }
  EXPECT_EQ(unproduced,
            (std::set<std::string>{"CHARACTERS_ID", "INTEGER_ID", "PARALLEL_DEGREE_ID"}));
}

TEST(KeywordMatch, FirstCharacterIsNotCompared) {
  EXPECT_EQ(keyword_match("JOIN", "xoin", 4), 1);
  EXPECT_EQ(keyword_match("JOIN", "jOiN", 4), 1);
  EXPECT_EQ(keyword_match("JOIN", "joim", 4), 0);
  EXPECT_EQ(keyword_match("JOIN", "q", 1), 1);
  EXPECT_EQ(keyword_match("JOIN", "", 0), 1);
  EXPECT_EQ(keyword_match("A_1", "a_1", 3), 1);
  EXPECT_EQ(keyword_match("A_1", "a-1", 3), 0);
}

TEST(GlobalVarLookup, NamesAndIdentifiers) {
  EXPECT_EQ(gvar("rowcount"), 67);
  EXPECT_EQ(gvar("ROWCOUNT"), 67);
  EXPECT_EQ(gvar("maxsuid"), 43);
  EXPECT_EQ(gvar("max"), 0);
  EXPECT_EQ(gvar("rowcounts"), 0);
  EXPECT_EQ(gvar(""), 0);
  EXPECT_EQ(gvar("authmech"), 1);
  EXPECT_EQ(gvar("datefirst"), 17);
  EXPECT_EQ(gvar("max_connections"), 38);
  EXPECT_EQ(gvar("MinUserId"), 50);
  EXPECT_EQ(gvar("version_as_integer"), 98);  // 18 bytes
  EXPECT_EQ(gvar("resource_granularity"), 66);  // 20 bytes, the longest
  EXPECT_EQ(gvar("resource_granularityx"), 0);
  EXPECT_EQ(gvar("@@rowcount"), 0);
  EXPECT_EQ(global_var_lookup("spidxx", 4), 72);
  EXPECT_EQ(global_var_lookup(nullptr, 0), 0);
}

}  // namespace

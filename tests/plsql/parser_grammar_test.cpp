// The grammar's shape: symbol and rule counts, token codes, the conflicts
// bison resolves by default, and the symbol-name table of the messages.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <regex>
#include <string>

#include "parse_context.h"
#include "parser_actions.h"
#include "plsql_parser.hpp"
#include "shell_command.h"

namespace {

using qen_test::command_status;
using qen_test::read_file;
using qen_test::shell_quote;

struct BisonRun {
  std::string messages;
  std::string report;
  std::string parser;
};

// Runs bison over the grammar the way the build does, keeping its report.
BisonRun runBison()
{
  std::string dir = QEN_TEST_TMP_DIR;
  std::string grammar = std::string(QEN_SOURCE_DIR) + "/plsql/grammar/plsql.y";
  std::string command = "bison --report=state --report-file=" + shell_quote(dir + "/grammar_check.output") +
                        " -o " + shell_quote(dir + "/grammar_check.cpp") +
                        " --defines=" + shell_quote(dir + "/grammar_check.hpp") + " " + shell_quote(grammar) +
                        " 2> " + shell_quote(dir + "/grammar_check.err");
  EXPECT_EQ(command_status(command), 0) << command;
  return {read_file(dir + "/grammar_check.err"), read_file(dir + "/grammar_check.output"),
          read_file(dir + "/grammar_check.cpp")};
}

TEST(ParserGrammar, BisonReportsTheExpectedShape)
{
  BisonRun run = runBison();
  // Any change to the grammar moves at least one of these numbers. A new or
  // lost conflict means bison now picks a rule by default somewhere else:
  // check which rule wins there (plsql.y notes the reduce/reduce states) and
  // that the tree the actions build is still the intended one.
  EXPECT_NE(run.messages.find("220 shift/reduce conflicts"), std::string::npos) << run.messages;
  EXPECT_NE(run.messages.find("179 reduce/reduce conflicts"), std::string::npos) << run.messages;
  // Nothing else: a default action ($$ = $1) between symbols of different
  // value types, or a value left unused that has a destructor, shows here.
  std::string others =
      std::regex_replace(run.messages, std::regex(".*(\\[-Wconflicts-(sr|rr)\\]|'-Wcounterexamples').*\n"), "");
  EXPECT_EQ(others, "") << run.messages;

  std::smatch match;
  int lastState = -1;
  std::regex stateLine("\nState ([0-9]+)\n");
  for (auto it = std::sregex_iterator(run.report.begin(), run.report.end(), stateLine);
       it != std::sregex_iterator(); ++it)
    lastState = std::stoi((*it)[1]);
  EXPECT_EQ(lastState + 1, 1141);

  // Rules are numbered from 0 in the report (the added start rule).
  std::string grammar = run.report.substr(0, run.report.find("Terminals, with rules"));
  int lastRule = -1;
  std::regex ruleLine("\n *([0-9]+) ");
  for (auto it = std::sregex_iterator(grammar.begin(), grammar.end(), ruleLine); it != std::sregex_iterator(); ++it)
    lastRule = std::stoi((*it)[1]);
  EXPECT_EQ(lastRule + 1, 602);
  EXPECT_NE(grammar.find("\n    0 $accept: program_list $end\n"), std::string::npos);
  EXPECT_NE(grammar.find("\n    1 program_list: programs\n"), std::string::npos);
  EXPECT_NE(grammar.find("\n  601 clusterName: schemaObjectName\n"), std::string::npos);

  // The table sizes of the generated engine.
  EXPECT_TRUE(std::regex_search(run.parser, std::regex("#define YYNTOKENS +190\n")));
  EXPECT_TRUE(std::regex_search(run.parser, std::regex("#define YYNNTS +227\n")));
  EXPECT_TRUE(std::regex_search(run.parser, std::regex("#define YYNRULES +602\n")));
  EXPECT_TRUE(std::regex_search(run.parser, std::regex("#define YYNSTATES +1141\n")));
  EXPECT_TRUE(std::regex_search(run.parser, std::regex("#define YYMAXUTOK +439\n")));
}

TEST(ParserGrammar, TokenCodes)
{
  static_assert(T_no_lookahead == 258);
  static_assert(T_lexical_error == 259);
  static_assert(T_WORD == 270);
  static_assert(T_PERCENT_TYPE == 271 && T_PERCENT_ROWTYPE == 272);
  static_assert(T_BEGIN == 285);
  static_assert(T_INSERT == 307 && T_LOCK == 311);
  static_assert(T_SETTRANSACTION == 420);
  static_assert(T_UNDER == 439);
  EXPECT_EQ(parserSymbolOfToken('('), 185);
  EXPECT_EQ(parserSymbolOfToken(')'), 186);
  EXPECT_EQ(parserSymbolOfToken(';'), 187);
  EXPECT_EQ(parserSymbolOfToken('.'), 188);
  EXPECT_EQ(parserSymbolOfToken('-'), 189);
  EXPECT_EQ(parserSymbolOfToken(T_no_lookahead), 3);
  EXPECT_EQ(parserSymbolOfToken(T_UNDER), 184);
  // End of input, and codes the grammar does not know.
  EXPECT_EQ(parserSymbolOfToken(0), 0);
  EXPECT_EQ(parserSymbolOfToken(-5), 0);
  EXPECT_EQ(parserSymbolOfToken('+'), 2);
  EXPECT_EQ(parserSymbolOfToken(440), 2);
  EXPECT_EQ(parserSymbolOfToken(100000), 2);
}

TEST(ParserGrammar, SymbolNamesAsTheGrammarListsThem)
{
  EXPECT_STREQ(parserSymbolName(0), "$end");
  EXPECT_STREQ(parserSymbolName(1), "error");
  EXPECT_STREQ(parserSymbolName(2), "$undefined");
  EXPECT_STREQ(parserSymbolName(3), "T_no_lookahead");
  EXPECT_STREQ(parserSymbolName(184), "T_UNDER");
  EXPECT_STREQ(parserSymbolName(185), "'('");
  EXPECT_STREQ(parserSymbolName(189), "'-'");
  EXPECT_STREQ(parserSymbolName(190), "$accept");
  EXPECT_STREQ(parserSymbolName(191), "program_list");
  EXPECT_STREQ(parserSymbolName(416), "clusterName");
  EXPECT_EQ(parserSymbolName(417), nullptr);
  EXPECT_EQ(parserSymbolName(-1), nullptr);
}

TEST(ParserGrammar, ExpectedTokensOfTheStartState)
{
  const char* names[10];
  int count = expectedTokens(names, 10, 0);
  ASSERT_EQ(count, 10);
  // Symbol order, the error token left out.
  EXPECT_STREQ(names[0], "T_PRAGMA");
  EXPECT_STREQ(names[1], "T_DECLARE");
  EXPECT_STREQ(names[2], "T_BEGIN");
  for (int i = 0; i < count; ++i)
    EXPECT_STRNE(names[i], "error");
  const char* few[3];
  EXPECT_EQ(expectedTokens(few, 3, 0), 3);
  EXPECT_STREQ(few[0], names[0]);
  EXPECT_EQ(expectedTokens(names, 10, -1), 0);
  EXPECT_EQ(expectedTokens(names, 10, 100000), 0);
  EXPECT_EQ(expectedTokens(names, 0, 0), 0);
}

TEST(ParserGrammar, VerboseMessageSizes)
{
  // With a null buffer only the size (NUL included) comes back.
  char buffer[256];
  int size = xxsyntax_error(nullptr, 0, T_END);
  ASSERT_GT(size, 0);
  ASSERT_LT(size, static_cast<int>(sizeof buffer));
  EXPECT_EQ(xxsyntax_error(buffer, 0, T_END), size);
  EXPECT_EQ(std::string(buffer), "syntax error, unexpected T_END");
  EXPECT_EQ(static_cast<int>(std::strlen(buffer)) + 1, size);
  EXPECT_EQ(xxsyntax_error(buffer, 0, 0), static_cast<int>(sizeof "syntax error, unexpected $end"));
  EXPECT_STREQ(buffer, "syntax error, unexpected $end");
  xxsyntax_error(buffer, 0, 500);
  EXPECT_STREQ(buffer, "syntax error, unexpected $undefined");
  EXPECT_EQ(xxsyntax_error(buffer, 0, XXEMPTY), static_cast<int>(sizeof "syntax error"));
  EXPECT_STREQ(buffer, "syntax error");
}

}  // namespace

// Random token soups and truncated real units through the parser: whatever
// the input, the parse ends (accepted or not) without a crash, and leaves no
// state pointer behind.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "parser_test_util.h"

namespace {

const char* const kWords[] = {
    "BEGIN", "END", "DECLARE", "IS", "AS", "CREATE", "OR", "REPLACE", "PROCEDURE", "FUNCTION", "PACKAGE", "BODY",
    "TRIGGER", "BEFORE", "AFTER", "INSERT", "UPDATE", "DELETE", "ON", "OF", "FOR", "EACH", "ROW", "WHEN", "THEN",
    "IF", "ELSIF", "ELSE", "LOOP", "WHILE", "EXIT", "CONTINUE", "RETURN", "RETURNING", "INTO", "USING", "SELECT",
    "FROM", "WHERE", "BULK", "COLLECT", "EXECUTE", "IMMEDIATE", "OPEN", "FETCH", "CLOSE", "CURSOR", "TYPE",
    "RECORD", "TABLE", "INDEX", "BY", "VARRAY", "SUBTYPE", "PRAGMA", "EXCEPTION_INIT", "AUTONOMOUS_TRANSACTION",
    "EXCEPTION", "RAISE", "RAISE_APPLICATION_ERROR", "NULL", "NOT", "CONSTANT", "DEFAULT", "IN", "OUT", "NOCOPY",
    "CASE", "GOTO", "FORALL", "PIPE ROW", "GRANT", "REVOKE", "DROP", "ALTER", "VIEW", "SEQUENCE", "SYNONYM",
    "COMMIT", "ROLLBACK", "SAVEPOINT", "x", "y", "pk.proc", "NUMBER", "VARCHAR2", "t%ROWTYPE", "c%TYPE", "1", "-",
    "42", "1..10", "'str'", ":new.a", "(", ")", ";", ",", ".", ":=", "<<", ">>", "=", "+", "||", "\n/\n", "WRAPPED",
    "JAVA SOURCE NAMED", "{", "}", "AUTHID", "DEFINER", "CURRENT_USER", "DETERMINISTIC", "PIPELINED", "REFERENCING",
    "NEW", "OLD", "/*", "--", "\"q\"", "SQLCODE", "SQL%ROWCOUNT"};

TEST(ParserFuzz, RandomTokenSoupsEnd)
{
  std::mt19937 random(12345);
  const int wordCount = sizeof kWords / sizeof kWords[0];
  int accepted = 0;
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    int length = 1 + static_cast<int>(random() % 60);
    for (int i = 0; i < length; ++i) {
      text += kWords[random() % wordCount];
      text += (random() % 7 == 0) ? "\n" : " ";
    }
    ParsedSource* p = parseText(text.c_str(), static_cast<int>(random() % 3), random() % 4 != 0);
    EXPECT_EQ(p->context.parserState, nullptr) << text;
    if (p->accepted)
      ++accepted;
  }
  EXPECT_GT(accepted, 0);
}

TEST(ParserFuzz, EveryPrefixOfARealUnitEnds)
{
  const std::string unit =
      "CREATE OR REPLACE PACKAGE BODY pk IS\n"
      "  CURSOR c(p NUMBER) IS SELECT a FROM t WHERE b = p;\n"
      "  TYPE r IS RECORD (a NUMBER, b VARCHAR2(10));\n"
      "  PROCEDURE run(a IN OUT NOCOPY NUMBER := 1) IS\n"
      "    v r;\n"
      "  BEGIN\n"
      "    <<l>> FOR i IN 1..10 LOOP\n"
      "      EXIT l WHEN i > a;\n"
      "      EXECUTE IMMEDIATE 'x' INTO v USING IN a RETURNING INTO b;\n"
      "      a(i).f := 2;\n"
      "    END LOOP l;\n"
      "    CASE a WHEN 1 THEN NULL; ELSE RAISE_APPLICATION_ERROR(-20001, 'm'); END CASE;\n"
      "  EXCEPTION WHEN OTHERS THEN ROLLBACK;\n"
      "  END run;\n"
      "END pk;\n"
      "/\n";
  for (size_t n = 0; n <= unit.size(); ++n) {
    ParsedSource* p = parseText(unit.substr(0, n).c_str());
    EXPECT_EQ(p->context.parserState, nullptr) << n;
  }
  EXPECT_TRUE(parseText(unit.c_str())->accepted);
  EXPECT_EQ(parseText(unit.c_str())->errors.head, nullptr);
}

}  // namespace

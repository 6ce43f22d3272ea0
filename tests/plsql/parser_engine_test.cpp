// The parser engine in process: acceptance, verbose messages and expected
// lists of the error records, error nodes in the tree, recovery, the
// several-units flag, stack exhaustion and the state pointer.
#include <gtest/gtest.h>

#include <string>

#include "parser_actions.h"
#include "parser_test_util.h"
#include "plsql_parser.hpp"

namespace {

std::string str(const char* text)
{
  return text ? text : "<null>";
}

TEST(ParserEngine, AcceptsAnAnonymousBlock)
{
  ParsedSource* p = parseText("BEGIN NULL; END;");
  ASSERT_TRUE(p->accepted);
  EXPECT_EQ(p->errors.head, nullptr);
  ASSERT_EQ(listLength(p->units()), 1);
  astNodeBlock* block = nodeAs<astNodeBlock>(p->unit(0));
  ASSERT_EQ(block->kind, AST_BLOCK);
  EXPECT_TRUE(block->anonymous);
  EXPECT_EQ(kinds(block->body), "38");
  // The state pointer does not outlive the parser.
  EXPECT_EQ(p->context.parserState, nullptr);
  EXPECT_EQ(p->context.tooManyErrors, 0);
}

TEST(ParserEngine, MessageWithOneExpectedToken)
{
  ParsedSource* p = parseText("CREATE OR x");
  auto errors = p->errorList();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_STREQ(errors[0]->message, "syntax error, unexpected T_WORD, expecting T_REPLACE");
  EXPECT_EQ(errors[0]->domain, ERROR_DOMAIN_SYNTAX);
  EXPECT_EQ(errors[0]->line, 1);
  EXPECT_EQ(str(errors[0]->expected), "REPLACE");
  EXPECT_EQ(str(errors[0]->context), "x");
  EXPECT_EQ(str(errors[0]->text), "CREATE OR x");
  // The parser resumed at the unit list: accepted, the error node in place.
  EXPECT_TRUE(p->accepted);
  ASSERT_EQ(listLength(p->units()), 1);
  astNodeError* node = nodeAs<astNodeError>(p->unit(0));
  ASSERT_EQ(node->kind, AST_ERROR);
  EXPECT_EQ(str(node->message), "syntax error, unexpected T_WORD, expecting T_REPLACE");
  EXPECT_EQ(str(node->token), "x");
}

TEST(ParserEngine, MessageWithFourExpectedTokens)
{
  ParsedSource* p = parseText("BEGIN\n  RAISE_APPLICATION_ERROR('a', 'b');\nEND;");
  auto errors = p->errorList();
  ASSERT_GE(errors.size(), 1u);
  EXPECT_STREQ(errors[0]->message,
               "syntax error, unexpected T_STRING, expecting T_DIGITS or T_WORD or T_SQLCODE or '-'");
  EXPECT_EQ(str(errors[0]->expected), "DIGITS, WORD, SQLCODE, '-'");
  EXPECT_EQ(errors[0]->line, 2);

  ParsedSource* trigger = parseText("CREATE TRIGGER t x");
  ASSERT_GE(trigger->errorList().size(), 1u);
  EXPECT_STREQ(trigger->errorList()[0]->message,
               "syntax error, unexpected T_WORD, expecting T_AFTER or T_FOR or T_BEFORE or T_INSTEAD");
}

TEST(ParserEngine, FiveOrMoreExpectedTokensNameOnlyTheUnexpectedOne)
{
  ParsedSource* p = parseText("x := 1;");
  auto errors = p->errorList();
  ASSERT_GE(errors.size(), 1u);
  EXPECT_STREQ(errors[0]->message, "syntax error, unexpected T_WORD");
  // The record lists at most ten acceptable tokens.
  EXPECT_EQ(str(errors[0]->expected), "PRAGMA, DECLARE, BEGIN, INSERT, UPDATE, DELETE, MERGE, LOCK, TRUNCATE, SAVEPOINT");

  // Character and end-of-input names as the grammar lists them.
  ParsedSource* eof = parseText("BEGIN NULL;");
  ASSERT_GE(eof->errorList().size(), 1u);
  EXPECT_EQ(str(eof->errorList()[0]->message).rfind("syntax error, unexpected $end", 0), 0u);
  ParsedSource* undefinedChar = parseText("BEGIN + END;");
  ASSERT_GE(undefinedChar->errorList().size(), 1u);
  EXPECT_EQ(str(undefinedChar->errorList()[0]->message).rfind("syntax error, unexpected $undefined", 0), 0u);
}

TEST(ParserEngine, BrokenStatementBecomesAnErrorNodeInTheBlock)
{
  // After the error at y the parser resumes three tokens on: z; is a call.
  ParsedSource* p = parseText("BEGIN\n  x y z;\n  NULL;\nEND;");
  ASSERT_TRUE(p->accepted);
  auto errors = p->errorList();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0]->line, 2);
  astNodeBlock* block = nodeAs<astNodeBlock>(p->unit(0));
  ASSERT_EQ(block->kind, AST_BLOCK);
  EXPECT_EQ(kinds(block->body), "100 4 38");
}

TEST(ParserEngine, EveryErrorRuleTakesTheLastErrorNode)
{
  // proc_stmts: error as the first element.
  ParsedSource* first = parseText("BEGIN x 1; NULL; END;");
  EXPECT_EQ(kinds(nodeAs<astNodeBlock>(first->unit(0))->body), "100 38");
  // decl_stmts.
  ParsedSource* decls = parseText("DECLARE a NUMBER; := 1; e NUMBER; BEGIN NULL; END;");
  ASSERT_TRUE(decls->accepted);
  EXPECT_EQ(kinds(nodeAs<astNodeBlock>(decls->unit(0))->declarations), "19 100 19");
  // formal_args.
  ParsedSource* args = parseText("CREATE PROCEDURE p(a NUMBER, 1) IS BEGIN NULL; END;");
  ASSERT_EQ(args->unit(0)->kind, AST_CREATE_PROCEDURE);
  EXPECT_EQ(kinds(nodeAs<astNodeCreateProc>(args->unit(0))->args), "30 100");
  // pkg_member_list.
  ParsedSource* body = parseText("CREATE PACKAGE BODY k IS a NUMBER; 1; b NUMBER; END;");
  EXPECT_EQ(kinds(nodeAs<astNodeCreatePkgBody>(body->unit(0))->elements), "19 100 19");
  // pkg_proto_list drops the error node.
  ParsedSource* head = parseText("CREATE PACKAGE k IS a NUMBER; 1; b NUMBER; END;");
  EXPECT_EQ(kinds(nodeAs<astNodeCreatePkgHead>(head->unit(0))->elements), "19 19");
}

TEST(ParserEngine, SeveralUnitsFlagOff)
{
  ParsedSource* p = parseText("BEGIN NULL; END;\nBEGIN NULL; END;", 0, false);
  ASSERT_TRUE(p->accepted);
  auto errors = p->errorList();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_STREQ(errors[0]->message, "syntax error");
  EXPECT_EQ(str(errors[0]->expected), "<END-OF-STATEMENT>");
  // The second unit is kept, and the report does not count as a syntax error.
  EXPECT_EQ(listLength(p->units()), 2);
  ParsedSource* limited = parseText("BEGIN NULL; END;\nBEGIN NULL; END;\nBEGIN NULL; END;", 1, false);
  EXPECT_TRUE(limited->accepted);
  EXPECT_EQ(limited->context.tooManyErrors, 0);
}

TEST(ParserEngine, TooManyErrorsStopsTheParse)
{
  ParsedSource* p = parseText("CREATE OR REPLACE x;\nCREATE OR REPLACE y;\nBEGIN NULL; END;", 1);
  EXPECT_FALSE(p->accepted);
  EXPECT_EQ(p->context.tooManyErrors, 1);
  EXPECT_EQ(p->errorList().size(), 2u);
  EXPECT_EQ(p->context.parserState, nullptr);
}

TEST(ParserEngine, StackExhaustion)
{
  std::string text;
  for (int i = 0; i < 6000; ++i)
    text += "BEGIN ";
  text += "NULL;";
  for (int i = 0; i < 6000; ++i)
    text += " END;";
  ParsedSource* p = parseText(text.c_str());
  EXPECT_FALSE(p->accepted);
  auto errors = p->errorList();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_STREQ(errors[0]->message, "memory exhausted");
  EXPECT_EQ(p->context.parserState, nullptr);

  // Deep but within the limit: the stacks move to the heap and back.
  std::string deep;
  for (int i = 0; i < 2000; ++i)
    deep += "BEGIN ";
  deep += "NULL;";
  for (int i = 0; i < 2000; ++i)
    deep += " END;";
  EXPECT_TRUE(parseText(deep.c_str())->accepted);
}

TEST(ParserEngine, MissingPartsAreReportedAndParsingGoesOn)
{
  ParsedSource* p = parseText("BEGIN x := ; y := 2; END;");
  ASSERT_TRUE(p->accepted);
  auto errors = p->errorList();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_STREQ(errors[0]->message, "Missing expression");
  astNodeBlock* block = nodeAs<astNodeBlock>(p->unit(0));
  EXPECT_EQ(kinds(block->body), "2 2");
  EXPECT_EQ(tokens(nodeAs<astNodeList>(nth<astNodeAssign>(block->body, 0)->expr)), "<null>");
  EXPECT_EQ(tokens(nodeAs<astNodeList>(nth<astNodeAssign>(block->body, 1)->expr)), "2");

  ParsedSource* dflt = parseText("CREATE PROCEDURE p(a NUMBER DEFAULT) IS BEGIN NULL; END;");
  ASSERT_GE(dflt->errorList().size(), 1u);
  EXPECT_STREQ(dflt->errorList()[0]->message, "Missing default value");

  ParsedSource* constant = parseText("DECLARE x CONSTANT NUMBER; BEGIN NULL; END;");
  ASSERT_EQ(constant->errorList().size(), 1u);
  EXPECT_STREQ(constant->errorList()[0]->message, "Must specify a default value for CONSTANT declarations");
  astNodeVarDecl* decl = nth<astNodeVarDecl>(nodeAs<astNodeBlock>(constant->unit(0))->declarations, 0);
  ASSERT_EQ(decl->kind, AST_VAR_DECL);
  EXPECT_TRUE(decl->constant);

  ParsedSource* percent = parseText("DECLARE x t.a%TYPE%ROWTYPE; BEGIN NULL; END;");
  bool found = false;
  for (ErrorRecord* e : percent->errorList())
    found = found || str(e->message) == "Syntax error - too many %TYPE or %ROWTYPE references";
  EXPECT_TRUE(found);

  ParsedSource* overflow = parseText("BEGIN RAISE_APPLICATION_ERROR(-99999999999, 'm'); END;");
  ASSERT_EQ(overflow->errorList().size(), 1u);
  EXPECT_STREQ(overflow->errorList()[0]->message, "Integer overflow");
  astNodeRaiseApp* raise = nth<astNodeRaiseApp>(nodeAs<astNodeBlock>(overflow->unit(0))->body, 0);
  EXPECT_EQ(raise->errorNumber, INT32_MIN);
  EXPECT_EQ(str(raise->errorNo->text), "-99999999999");
}

TEST(ParserEngine, TokenListText)
{
  ensureTestPool();
  astNodeList* list = listNew(astTokenNew(T_WORD, "a", 0));
  listAppend(list, astTokenNew(T_WORD, "b", 0));
  EXPECT_STREQ(tokenListText(list), "a.b");
  EXPECT_STREQ(tokenListText(listNew(astTokenNew(T_WORD, "outer", 0))), "outer");
  EXPECT_EQ(tokenListText(nullptr), nullptr);
}

}  // namespace

namespace {

TEST(ParserEngineRecovery, CompletedStatementEndsTheRecovery)
{
  // After the first error only two tokens are shifted before the second;
  // the completed NULL statement ends the recovery, so it is reported.
  ParsedSource* p = parseText("BEGIN\n  a 1;\n  NULL;\n  2;\nEND;");
  ASSERT_TRUE(p->accepted);
  auto errors = p->errorList();
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0]->line, 2);
  EXPECT_EQ(errors[1]->line, 4);
  EXPECT_EQ(kinds(nodeAs<astNodeBlock>(p->unit(0))->body), "100 38 100");
}

TEST(ParserEngineRecovery, ErrorAtEndOfInputWhileRecoveringAborts)
{
  ParsedSource* p = parseText("BEGIN a 1");
  EXPECT_FALSE(p->accepted);
  EXPECT_EQ(p->errorList().size(), 1u);
  EXPECT_EQ(p->context.parserState, nullptr);
}

}  // namespace

namespace {

struct MissingCase {
  const char* source;
  const char* message;
};

TEST(ParserEngineMissing, EachCollectorReportsItsMessage)
{
  const MissingCase cases[] = {
      {"BEGIN SELECT INTO x FROM t; END;", "Missing SELECT expression"},
      {"BEGIN SELECT a INTO FROM t; END;", "Missing INTO clause"},
      {"BEGIN EXECUTE IMMEDIATE ; END;", "Missing statement"},
      {"BEGIN EXECUTE IMMEDIATE s INTO ; END;", "Missing statement"},
      {"BEGIN IF THEN NULL; END IF; END;", "Missing expression"},
      {"BEGIN WHILE LOOP NULL; END LOOP; END;", "Missing expression"},
      {"BEGIN EXECUTE IMMEDIATE s RETURNING INTO ; END;", "Missing expression"},
      {"DECLARE x NUMBER := ; BEGIN NULL; END;", "Missing default value"},
      {"CREATE TYPE t AS\n/\n", "Missing expression"},
  };
  for (const MissingCase& c : cases) {
    ParsedSource* p = parseText(c.source);
    bool found = false;
    for (ErrorRecord* e : p->errorList()) {
      if (str(e->message) == c.message) {
        found = true;
        // Reports of the actions are syntax-domain records; they are not
        // counted as syntax errors of the engine.
        EXPECT_EQ(e->domain, ERROR_DOMAIN_SYNTAX);
      }
    }
    EXPECT_TRUE(found) << c.source << " should report " << c.message;
  }
  // A missing FROM clause reports both the empty expression and the clause.
  ParsedSource* from = parseText("BEGIN SELECT a INTO x FROM ; END;");
  auto errors = from->errorList();
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_STREQ(errors[0]->message, "Missing expression");
  EXPECT_STREQ(errors[1]->message, "Missing FROM clause");
  EXPECT_TRUE(from->accepted);
}

TEST(ParserEngineMissing, ActionReportsDoNotCountTowardsTheLimit)
{
  ParsedSource* p = parseText("BEGIN x := ; END;\nBEGIN y := ; END;\nBEGIN NULL; END;", 1);
  EXPECT_TRUE(p->accepted);
  EXPECT_EQ(p->context.tooManyErrors, 0);
  EXPECT_EQ(p->errorList().size(), 2u);
}

}  // namespace

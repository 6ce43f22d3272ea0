// Tree fields that later stages read: the element type of a VARRAY type,
// the label written before a nested block, and the tokens of a FOR range
// whose lower bound runs straight into "..".
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "parser_test_util.h"
#include "plsql_parser.hpp"
#include "sqlexc_ast_emit.h"

namespace {

std::string str(const char* text)
{
  return text ? text : "<null>";
}

astNodeBlock* onlyBlock(const char* source)
{
  ParsedSource* p = parseText(source);
  EXPECT_TRUE(p->accepted) << source;
  for (ErrorRecord* e : p->errorList())
    ADD_FAILURE() << "unexpected error record: " << str(e->message) << " at line " << e->line;
  astNode* unit = p->unit(0);
  if (!unit || unit->kind != AST_BLOCK) {
    ADD_FAILURE() << "not a block: " << source;
    return nullptr;
  }
  return nodeAs<astNodeBlock>(unit);
}

struct Translated {
  int status = -1;
  std::vector<std::string> texts;
  std::vector<std::string> errors;
};

Translated translate(const char* source)
{
  TranslateOptions options;
  setCommandLineDefaults(&options);
  options.lineMarkers = false;
  TranslateResult r = translateCore(source, &options);
  Translated out;
  out.status = r.status;
  for (StatementRecord* s = r.statements; s; s = s->next)
    out.texts.push_back(std::string(s->text, s->length));
  for (ErrorRecord* e = r.errors; e; e = e->next)
    out.errors.push_back(str(e->message) + "@" + std::to_string(e->line));
  return out;
}

std::string joined(const std::vector<std::string>& texts)
{
  std::string all;
  for (const std::string& t : texts)
    all += t;
  return all;
}

TEST(FixParserActions, VarrayKeepsItsElementType)
{
  astNodeBlock* b = onlyBlock(
      "DECLARE\n"
      "  TYPE v_t IS VARRAY(10) OF NUMBER(5);\n"
      "  TYPE w_t IS VARYING ARRAY(3) OF DATE;\n"
      "BEGIN\n"
      "  NULL;\n"
      "END;\n");
  ASSERT_NE(b, nullptr);
  ASSERT_EQ(kinds(b->declarations), "24 24");
  auto* v = nth<astNodeVarrayDecl>(b->declarations, 0);
  EXPECT_EQ(v->variableType, VAR_VARRAY);
  EXPECT_EQ(tokens(v->variableName), "v_t");
  EXPECT_EQ(str(v->dimension), "10");
  EXPECT_EQ(tokens(v->dataType), "NUMBER ( 5 )");
  EXPECT_EQ(v->line, 1);
  auto* w = nth<astNodeVarrayDecl>(b->declarations, 1);
  EXPECT_EQ(str(w->dimension), "3");
  EXPECT_EQ(tokens(w->dataType), "DATE");
}

TEST(FixParserActions, VarrayElementTypeReachesTheModuleText)
{
  Translated out = translate(
      "CREATE PACKAGE pkg AS\n"
      "  TYPE va IS VARRAY(10) OF INTEGER;\n"
      "  TYPE vb IS VARRAY(4) OF PLS_INTEGER;\n"
      "END pkg;\n"
      "/\n");
  EXPECT_EQ(out.status, 0);
  EXPECT_TRUE(out.errors.empty());
  std::string all = joined(out.texts);
  EXPECT_NE(all.find("ALTER MODULE pkg PUBLISH TYPE va AS INTEGER ARRAY[10]@\n"), std::string::npos) << all;
  // The element type goes through the datatype map like any other.
  EXPECT_NE(all.find("ALTER MODULE pkg PUBLISH TYPE vb AS INTEGER ARRAY[4]@\n"), std::string::npos) << all;
}

TEST(FixParserActions, LabelBeforeNestedBlockStaysOnTheBlock)
{
  astNodeBlock* b = onlyBlock(
      "BEGIN\n"
      "  <<inner>> BEGIN NULL; END;\n"
      "  <<second>>\n"
      "  DECLARE v INTEGER; BEGIN NULL; END;\n"
      "  BEGIN NULL; END;\n"
      "  <<third>> NULL;\n"
      "END;\n");
  ASSERT_NE(b, nullptr);
  ASSERT_EQ(kinds(b->body), "3 3 3 38");
  EXPECT_EQ(str(nth<astNodeBlock>(b->body, 0)->label), "inner");
  EXPECT_EQ(str(nth<astNodeBlock>(b->body, 1)->label), "second");
  EXPECT_EQ(nth<astNodeBlock>(b->body, 2)->label, nullptr);
  EXPECT_EQ(str(nth<astNodeStatement>(b->body, 3)->label), "third");
  EXPECT_FALSE(nth<astNodeBlock>(b->body, 0)->anonymous);
  EXPECT_EQ(nth<astNodeBlock>(b->body, 1)->line, 3);
}

TEST(FixParserActions, NestedBlockLabelIsWrittenBeforeItsBegin)
{
  Translated out = translate(
      "CREATE PROCEDURE p IS\n"
      "BEGIN\n"
      "  <<inner>> BEGIN NULL; END;\n"
      "END;\n"
      "/\n");
  EXPECT_EQ(out.status, 0);
  EXPECT_TRUE(out.errors.empty());
  ASSERT_EQ(out.texts.size(), 1u);
  EXPECT_NE(out.texts[0].find("inner: BEGIN"), std::string::npos) << out.texts[0];
}

// Digits run straight into ".." are a number of their own followed by the
// range operator, as in 1..10; the range still splits at T_DOTDOT.
TEST(FixParserActions, BoundWithoutBlankBeforeDotDot)
{
  astNodeBlock* b = onlyBlock("BEGIN\n  FOR i IN 99999999999..5 LOOP NULL; END LOOP;\nEND;\n");
  ASSERT_NE(b, nullptr);
  auto* loop = nth<astNodeFor>(b->body, 0);
  ASSERT_EQ(loop->kind, AST_FOR);
  EXPECT_EQ(loop->loopType, FOR_NUMERIC);
  EXPECT_EQ(tokens(loop->expr), "99999999999 .. 5");
  std::vector<int> codes;
  for (astListCell* c = listCells(loop->expr); c; c = c->next)
    codes.push_back(nodeAs<astNodeToken>(c->value)->tokenCode);
  EXPECT_EQ(codes, (std::vector<int>{T_NUMERICNO, T_DOTDOT, T_DIGITS}));
}

}  // namespace

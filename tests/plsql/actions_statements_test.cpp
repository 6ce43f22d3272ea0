// Rule actions for blocks and statements: declarations, handlers, loops of
// each kind, cursors, dynamic SQL, RAISE_APPLICATION_ERROR, SQL statements,
// labels and keywords used as names.
#include <gtest/gtest.h>

#include <string>

#include "parser_test_util.h"
#include "plsql_parser.hpp"

namespace {

std::string str(const char* text)
{
  return text ? text : "<null>";
}

// The body of the one anonymous block of a source, checked to parse
// without any error record.
astNodeBlock* block(const char* source)
{
  ParsedSource* p = parseText(source);
  EXPECT_TRUE(p->accepted) << source;
  for (ErrorRecord* e : p->errorList())
    ADD_FAILURE() << "unexpected error record: " << str(e->message) << " at line " << e->line;
  EXPECT_EQ(listLength(p->units()), 1);
  astNode* unit = p->unit(0);
  if (!unit || unit->kind != AST_BLOCK) {
    ADD_FAILURE() << "not a block: " << source;
    return nullptr;
  }
  return nodeAs<astNodeBlock>(unit);
}

TEST(ActionsStatements, AnonymousBlockWithDeclarationsAndHandlers)
{
  astNodeBlock* b = block(
      "DECLARE\n"
      "  v_count PLS_INTEGER := 0;\n"
      "  e_custom EXCEPTION;\n"
      "  PRAGMA EXCEPTION_INIT(e_custom, -20001);\n"
      "  TYPE r_t IS RECORD (a NUMBER, b VARCHAR2(10) := 'z');\n"
      "  TYPE c_t IS REF CURSOR RETURN emp%ROWTYPE;\n"
      "  TYPE v_t IS VARRAY(10) OF NUMBER;\n"
      "  SUBTYPE s_t IS VARCHAR2(5) NOT NULL;\n"
      "  PRAGMA AUTONOMOUS_TRANSACTION;\n"
      "BEGIN\n"
      "  NULL;\n"
      "EXCEPTION\n"
      "  WHEN no_data_found OR too_many_rows THEN\n"
      "    NULL;\n"
      "  WHEN OTHERS THEN\n"
      "    RAISE;\n"
      "END;\n");
  ASSERT_NE(b, nullptr);
  EXPECT_TRUE(b->anonymous);
  EXPECT_EQ(b->line, 0);
  EXPECT_EQ(kinds(b->declarations), "19 25 25 21 23 24 108 40");
  auto* exc = nth<astNodeExceptionDecl>(b->declarations, 1);
  EXPECT_EQ(exc->variableType, VAR_EXCEPTION);
  EXPECT_EQ(tokens(exc->variableName), "e_custom");
  EXPECT_EQ(exc->line, 2);
  auto* init = nth<astNodeExceptionDecl>(b->declarations, 2);
  EXPECT_EQ(init->variableType, VAR_EXCEPTION_INIT);
  EXPECT_EQ(init->value, -20001);
  EXPECT_EQ(tokens(init->variableName), "e_custom");
  auto* rec = nth<astNodeRecordDecl>(b->declarations, 3);
  EXPECT_EQ(rec->variableType, VAR_RECORD);
  EXPECT_EQ(kinds(rec->dataType), "19 19");
  EXPECT_EQ(tokens(nth<astNodeVarDecl>(rec->dataType, 1)->defaultValue), "'z'");
  auto* refc = nth<astNodeRefCursorDecl>(b->declarations, 4);
  EXPECT_EQ(refc->variableType, VAR_REFCURSOR);
  EXPECT_EQ(tokens(refc->dataType), "emp %ROWTYPE");
  auto* varray = nth<astNodeVarrayDecl>(b->declarations, 5);
  EXPECT_EQ(varray->variableType, VAR_VARRAY);
  EXPECT_EQ(str(varray->dimension), "10");
  auto* sub = nth<astNodeSubType>(b->declarations, 6);
  EXPECT_EQ(sub->variableType, VAR_SUBTYPE);
  EXPECT_EQ(tokens(sub->dataType), "VARCHAR2 ( 5 )");
  EXPECT_EQ(nth<astNodePragma>(b->declarations, 7)->pragmaCode, T_AUTONOMOUS_XACT);

  ASSERT_EQ(kinds(b->exceptions), "33 33");
  auto* h1 = nth<astNodeHandler>(b->exceptions, 0);
  EXPECT_EQ(h1->line, 12);
  ASSERT_EQ(listLength(h1->conditions), 2);
  EXPECT_EQ(tokens(nth<astNodeList>(h1->conditions, 0)), "no_data_found");
  EXPECT_EQ(tokens(nth<astNodeList>(h1->conditions, 1)), "too_many_rows");
  EXPECT_EQ(kinds(nodeAs<astNodeList>(h1->body)), "38");
  auto* h2 = nth<astNodeHandler>(b->exceptions, 1);
  auto* raise = nth<astNodeRaise>(nodeAs<astNodeList>(h2->body), 0);
  ASSERT_EQ(raise->kind, AST_RAISE);
  EXPECT_EQ(raise->exceptionName, nullptr);
}

TEST(ActionsStatements, LoopsOfEachKind)
{
  astNodeBlock* b = block(
      "BEGIN\n"
      "  FOR i IN 1..10 LOOP NULL; END LOOP;\n"
      "  FOR r IN (SELECT a FROM t) LOOP NULL; END LOOP;\n"
      "  FOR r IN c LOOP NULL; END LOOP;\n"
      "  FOR i IN REVERSE 1 .. n LOOP NULL; END LOOP;\n"
      "  WHILE x < 10 LOOP x := x + 1; END LOOP;\n"
      "  <<outer>> LOOP\n"
      "    EXIT outer WHEN x > 5;\n"
      "    CONTINUE WHEN x = 2;\n"
      "    EXIT;\n"
      "  END LOOP outer;\n"
      "END;\n");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(kinds(b->body), "29 29 29 29 49 37");
  auto* numeric = nth<astNodeFor>(b->body, 0);
  EXPECT_EQ(numeric->loopType, FOR_NUMERIC);
  EXPECT_EQ(tokens(numeric->index), "i");
  EXPECT_EQ(tokens(numeric->expr), "1 .. 10");
  EXPECT_FALSE(numeric->reverse);
  EXPECT_EQ(numeric->line, 1);
  EXPECT_EQ(kinds(numeric->body), "38");
  auto* select = nth<astNodeFor>(b->body, 1);
  EXPECT_EQ(select->loopType, FOR_SELECT);
  EXPECT_EQ(tokens(select->expr), "( SELECT a FROM t )");
  auto* cursor = nth<astNodeFor>(b->body, 2);
  EXPECT_EQ(cursor->loopType, FOR_CURSOR);
  EXPECT_EQ(tokens(cursor->expr), "c");
  auto* reverse = nth<astNodeFor>(b->body, 3);
  EXPECT_TRUE(reverse->reverse);
  EXPECT_EQ(reverse->loopType, FOR_NUMERIC);
  auto* loopWhile = nth<astNodeWhile>(b->body, 4);
  EXPECT_EQ(tokens(loopWhile->expr), "x < 10");
  EXPECT_EQ(kinds(loopWhile->body), "2");
  auto* loop = nth<astNodeLoop>(b->body, 5);
  EXPECT_EQ(str(loop->label), "outer");
  EXPECT_EQ(loop->line, 6);
  ASSERT_EQ(kinds(loop->body), "27 9 27");
  auto* exitOuter = nth<astNodeExit>(loop->body, 0);
  EXPECT_EQ(str(exitOuter->target), "outer");
  EXPECT_EQ(tokens(exitOuter->expr), "x > 5");
  auto* cont = nth<astNodeContinue>(loop->body, 1);
  EXPECT_EQ(cont->target, nullptr);
  EXPECT_EQ(tokens(cont->expr), "x = 2");
  auto* exitPlain = nth<astNodeExit>(loop->body, 2);
  EXPECT_EQ(exitPlain->target, nullptr);
  EXPECT_EQ(exitPlain->expr, nullptr);
}

TEST(ActionsStatements, CursorStatements)
{
  astNodeBlock* b = block(
      "BEGIN\n"
      "  OPEN c;\n"
      "  OPEN c(1, 'a');\n"
      "  OPEN rc FOR SELECT a INTO x FROM t;\n"
      "  OPEN rc FOR v_sql USING a, b;\n"
      "  FETCH c INTO x, y;\n"
      "  FETCH c BULK COLLECT INTO tab;\n"
      "  CLOSE c;\n"
      "  SELECT a, b INTO x, y FROM t WHERE id = 1;\n"
      "  SELECT a BULK COLLECT INTO tab FROM t;\n"
      "END;\n");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(kinds(b->body), "39 39 39 39 28 28 7 45 45");
  auto* open = nth<astNodeOpen>(b->body, 0);
  EXPECT_EQ(tokens(open->variable), "c");
  EXPECT_EQ(open->query, nullptr);
  EXPECT_EQ(tokens(nth<astNodeOpen>(b->body, 1)->args), "1 , 'a'");
  auto* openSelect = nth<astNodeOpen>(b->body, 2);
  ASSERT_NE(openSelect->query, nullptr);
  ASSERT_EQ(openSelect->query->kind, AST_SELECT);
  EXPECT_EQ(tokens(nodeAs<astNodeSelect>(openSelect->query)->fromClause), "t");
  auto* openDynamic = nth<astNodeOpen>(b->body, 3);
  ASSERT_NE(openDynamic->query, nullptr);
  EXPECT_EQ(tokens(nodeAs<astNodeList>(openDynamic->query)), "v_sql");
  EXPECT_EQ(tokens(openDynamic->usingClause), "a , b");
  auto* fetch = nth<astNodeFetch>(b->body, 4);
  EXPECT_EQ(tokens(fetch->variable), "c");
  EXPECT_EQ(tokens(fetch->expr), "x , y");
  EXPECT_FALSE(fetch->bulkCollect);
  EXPECT_TRUE(nth<astNodeFetch>(b->body, 5)->bulkCollect);
  EXPECT_EQ(tokens(nth<astNodeClose>(b->body, 6)->variable), "c");
  auto* select = nth<astNodeSelect>(b->body, 7);
  EXPECT_EQ(tokens(select->target), "a , b");
  EXPECT_EQ(tokens(select->intoClause), "x , y");
  EXPECT_EQ(tokens(select->fromClause), "t WHERE id = 1");
  EXPECT_FALSE(select->bulkCollect);
  EXPECT_EQ(select->line, 8);
  auto* bulk = nth<astNodeSelect>(b->body, 8);
  EXPECT_TRUE(bulk->bulkCollect);
  EXPECT_EQ(tokens(bulk->intoClause), "tab");
}

TEST(ActionsStatements, ExecuteImmediate)
{
  astNodeBlock* b = block(
      "BEGIN\n"
      "  EXECUTE IMMEDIATE 'DELETE FROM t WHERE a = :1' USING IN v, OUT w, IN OUT z;\n"
      "  EXECUTE IMMEDIATE v_sql INTO a, b USING x;\n"
      "  EXECUTE IMMEDIATE 'BEGIN NULL; END;';\n"
      "  EXECUTE IMMEDIATE s RETURNING INTO r;\n"
      "END;\n");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(kinds(b->body), "26 26 26 26");
  auto* first = nth<astNodeDynamic>(b->body, 0);
  EXPECT_EQ(tokens(first->expr), "'DELETE FROM t WHERE a = :1'");
  EXPECT_EQ(first->into, nullptr);
  ASSERT_EQ(kinds(first->using_), "55 55 55");
  EXPECT_EQ(nth<astNodeUsingParam>(first->using_, 0)->argMode, ARG_IN);
  EXPECT_EQ(tokens(nth<astNodeUsingParam>(first->using_, 0)->expr), "v");
  EXPECT_EQ(nth<astNodeUsingParam>(first->using_, 1)->argMode, ARG_OUT);
  EXPECT_EQ(nth<astNodeUsingParam>(first->using_, 2)->argMode, ARG_IN_OUT);
  auto* second = nth<astNodeDynamic>(b->body, 1);
  EXPECT_EQ(tokens(second->expr), "v_sql");
  EXPECT_EQ(tokens(second->into), "a , b");
  EXPECT_EQ(listLength(second->using_), 1);
  auto* third = nth<astNodeDynamic>(b->body, 2);
  EXPECT_EQ(third->using_, nullptr);
  EXPECT_EQ(tokens(nth<astNodeDynamic>(b->body, 3)->returnList), "r");
}

TEST(ActionsStatements, RaiseApplicationError)
{
  astNodeBlock* b = block(
      "BEGIN\n"
      "  RAISE_APPLICATION_ERROR(-20001, 'Bad ' || v);\n"
      "  RAISE_APPLICATION_ERROR(c_err, 'x');\n"
      "  RAISE_APPLICATION_ERROR(SQLCODE, SQLERRM);\n"
      "  RAISE e_custom;\n"
      "END;\n");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(kinds(b->body), "43 43 43 42");
  auto* numbered = nth<astNodeRaiseApp>(b->body, 0);
  EXPECT_EQ(numbered->errorNumber, -20001);
  ASSERT_NE(numbered->errorNo, nullptr);
  EXPECT_EQ(str(numbered->errorNo->text), "-20001");
  EXPECT_EQ(numbered->errorNo->tokenCode, T_DIGITS);
  EXPECT_EQ(tokens(numbered->parms), "'Bad ' || v");
  EXPECT_EQ(numbered->line, 1);
  auto* named = nth<astNodeRaiseApp>(b->body, 1);
  EXPECT_EQ(named->errorNumber, 0);
  ASSERT_NE(named->errorNo, nullptr);
  EXPECT_EQ(str(named->errorNo->text), "c_err");
  auto* sqlcode = nth<astNodeRaiseApp>(b->body, 2);
  ASSERT_NE(sqlcode->errorNo, nullptr);
  EXPECT_EQ(sqlcode->errorNo->tokenCode, T_SQLCODE);
  EXPECT_EQ(tokens(nth<astNodeRaise>(b->body, 3)->exceptionName), "e_custom");
}

TEST(ActionsStatements, SqlStatementsCarryTheirKeyword)
{
  astNodeBlock* b = block(
      "BEGIN\n"
      "  INSERT INTO t (a) VALUES (1);\n"
      "  UPDATE t SET a = 2 WHERE b = 3;\n"
      "  DELETE FROM t;\n"
      "  MERGE INTO t USING s ON (t.a = s.a) WHEN MATCHED THEN UPDATE SET t.b = s.b;\n"
      "  LOCK TABLE t IN EXCLUSIVE MODE;\n"
      "  SAVEPOINT sp1;\n"
      "  TRUNCATE TABLE t;\n"
      "  COMMIT;\n"
      "  ROLLBACK TO sp1;\n"
      "END;\n");
  ASSERT_NE(b, nullptr);
  ASSERT_EQ(kinds(b->body), "46 46 46 46 46 46 46 46 46");
  const char* keywords[] = {"INSERT", "UPDATE", "DELETE", "MERGE", "LOCK", "SAVEPOINT", "TRUNCATE", "COMMIT", "ROLLBACK"};
  const int codes[] = {307, 308, 309, 310, 311, 311, 311, 331, 332};
  for (int i = 0; i < 9; ++i) {
    auto* sql = nth<astNodeSqlStmt>(b->body, i);
    EXPECT_EQ(str(sql->keyword), keywords[i]);
    EXPECT_EQ(sql->keywordCode, codes[i]) << keywords[i];
    EXPECT_EQ(sql->line, i + 1);
  }
  EXPECT_EQ(tokens(nth<astNodeSqlStmt>(b->body, 0)->body), "INTO t ( a ) VALUES ( 1 )");
  EXPECT_EQ(tokens(nth<astNodeSqlStmt>(b->body, 2)->body), "FROM t");
  EXPECT_EQ(nth<astNodeSqlStmt>(b->body, 7)->body, nullptr);
  EXPECT_EQ(tokens(nth<astNodeSqlStmt>(b->body, 8)->body), "TO sp1");
}

TEST(ActionsStatements, IfCaseCallsAndAssignments)
{
  astNodeBlock* b = block(
      "BEGIN\n"
      "  IF a = 1 THEN x := 1;\n"
      "  ELSIF a = 2 THEN x := 2;\n"
      "  ELSIF a = 3 THEN x := 3;\n"
      "  ELSE x := 4;\n"
      "  END IF;\n"
      "  CASE v WHEN 1 THEN NULL; WHEN 2 THEN p; ELSE q(1); END CASE;\n"
      "  CASE WHEN a > 1 THEN NULL; END CASE;\n"
      "  p(1);\n"
      "  a(1) := 2;\n"
      "  r(i).fld := 3;\n"
      "  pk.proc;\n"
      "  GOTO done;\n"
      "  <<done>> NULL;\n"
      "END;\n");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(kinds(b->body), "34 5 5 4 2 2 4 32 38");
  auto* ifNode = nth<astNodeIf>(b->body, 0);
  EXPECT_EQ(tokens(ifNode->expr), "a = 1");
  EXPECT_EQ(kinds(ifNode->body), "2");
  ASSERT_NE(ifNode->elseIf, nullptr);
  EXPECT_EQ(tokens(ifNode->elseIf->expr), "a = 2");
  EXPECT_EQ(ifNode->elseIf->line, 2);
  ASSERT_NE(ifNode->elseIf->elseIf, nullptr);
  EXPECT_EQ(tokens(ifNode->elseIf->elseIf->expr), "a = 3");
  EXPECT_EQ(ifNode->elseIf->elseIf->elseIf, nullptr);
  EXPECT_EQ(tokens(nodeAs<astNodeList>(nth<astNodeAssign>(ifNode->elseBody, 0)->expr)), "4");

  auto* simpleCase = nth<astNodeCase>(b->body, 1);
  EXPECT_EQ(tokens(simpleCase->predicate), "v");
  ASSERT_EQ(kinds(simpleCase->values), "6 6");
  EXPECT_EQ(tokens(nth<astNodeCaseExpr>(simpleCase->values, 0)->predicate), "1");
  ASSERT_NE(simpleCase->defaultValue, nullptr);
  EXPECT_EQ(simpleCase->defaultValue->predicate, nullptr);
  EXPECT_EQ(kinds(simpleCase->defaultValue->body), "4");
  auto* searched = nth<astNodeCase>(b->body, 2);
  EXPECT_EQ(searched->predicate, nullptr);
  EXPECT_EQ(searched->defaultValue, nullptr);

  auto* call = nth<astNodeCall>(b->body, 3);
  EXPECT_EQ(tokens(call->name), "p");
  EXPECT_EQ(tokens(call->args), "1");
  auto* indexed = nth<astNodeAssign>(b->body, 4);
  EXPECT_EQ(tokens(indexed->target), "a");
  EXPECT_EQ(tokens(indexed->targetIndex), "1");
  EXPECT_EQ(indexed->targetField, nullptr);
  EXPECT_EQ(tokens(nodeAs<astNodeList>(indexed->expr)), "2");
  auto* field = nth<astNodeAssign>(b->body, 5);
  EXPECT_EQ(tokens(field->targetIndex), "i");
  EXPECT_EQ(tokens(field->targetField), "fld");
  EXPECT_EQ(tokens(nodeAs<astNodeList>(field->expr)), "3");
  auto* plain = nth<astNodeCall>(b->body, 6);
  EXPECT_EQ(tokens(plain->name), "pk.proc");
  EXPECT_EQ(plain->args, nullptr);
  EXPECT_EQ(plain->line, 11);
  EXPECT_EQ(tokens(nth<astNodeGoto>(b->body, 7)->target), "done");
  EXPECT_EQ(str(nth<astNodeNull>(b->body, 8)->label), "done");
}

TEST(ActionsStatements, KeywordsUsedAsNames)
{
  astNodeBlock* b = block(
      "DECLARE\n"
      "  row VARCHAR2(10);\n"
      "  result NUMBER;\n"
      "BEGIN\n"
      "  row := 'a';\n"
      "  body := 1;\n"
      "END;\n");
  ASSERT_NE(b, nullptr);
  auto* decl = nth<astNodeVarDecl>(b->declarations, 0);
  ASSERT_EQ(decl->kind, AST_VAR_DECL);
  ASSERT_EQ(listLength(decl->variableName), 1);
  auto* name = nth<astNodeToken>(decl->variableName, 0);
  EXPECT_EQ(name->tokenCode, T_STRING);
  EXPECT_EQ(str(name->text), "row");
  auto* assign = nth<astNodeAssign>(b->body, 0);
  EXPECT_EQ(nth<astNodeToken>(assign->target, 0)->tokenCode, T_STRING);
  EXPECT_EQ(tokens(assign->target), "row");
  EXPECT_EQ(tokens(nth<astNodeAssign>(b->body, 1)->target), "body");
}

TEST(ActionsStatements, LabelsJoinWithDots)
{
  astNodeBlock* b = block("BEGIN <<a>> FOR i IN 1..2 LOOP EXIT a; END LOOP; END;");
  ASSERT_NE(b, nullptr);
  auto* loop = nth<astNodeFor>(b->body, 0);
  EXPECT_EQ(str(loop->label), "a");
  EXPECT_EQ(str(nth<astNodeExit>(loop->body, 0)->target), "a");
}

TEST(ActionsStatements, PragmaStatementKeepsItsCode)
{
  // A label before a statement kind without a label field must not touch
  // the node's own fields.
  ParsedSource* p = parseText("BEGIN <<l>> PRAGMA ALIAS NUMBER := 'x'; NULL; END;");
  ASSERT_EQ(listLength(p->units()), 1);
  auto* b = nodeAs<astNodeBlock>(p->unit(0));
  ASSERT_EQ(b->kind, AST_BLOCK);
  auto* pragma = nth<astNodePragma>(b->body, 0);
  ASSERT_NE(pragma, nullptr);
  ASSERT_EQ(pragma->kind, AST_PRAGMA);
  EXPECT_EQ(pragma->pragmaCode, T_ALIAS);
  EXPECT_EQ(tokens(pragma->name), "NUMBER");
  EXPECT_EQ(tokens(pragma->value), "x'");
}

TEST(ActionsStatements, ForallAndPipeRow)
{
  astNodeBlock* b = block(
      "BEGIN\n"
      "  FORALL i IN 1 .. n INSERT INTO t VALUES (a(i));\n"
      "  FORALL i IN INDICES OF a EXECUTE IMMEDIATE 'x' USING a(i);\n"
      "  PIPE ROW (r);\n"
      "END;\n");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(kinds(b->body), "101 101 106");
  auto* forall = nth<astNodeForall>(b->body, 0);
  ASSERT_NE(forall->index, nullptr);
  EXPECT_EQ(str(forall->index->text), "i");
  EXPECT_EQ(tokens(forall->expr), "1 .. n");
  ASSERT_NE(forall->body, nullptr);
  EXPECT_EQ(forall->body->kind, AST_SQL_STMT);
  EXPECT_FALSE(forall->exec);
  auto* dynamic = nth<astNodeForall>(b->body, 1);
  EXPECT_TRUE(dynamic->exec);
  ASSERT_NE(dynamic->dynamic, nullptr);
  EXPECT_EQ(dynamic->dynamic->kind, AST_DYNAMIC);
  EXPECT_EQ(tokens(nth<astNodePiperow>(b->body, 2)->expr), "( r )");
}

}  // namespace

namespace {

TEST(ActionsStatements, CollectorStartsFromTheLookahead)
{
  // After PRAGMA the parser reads the next word to choose its rule; the
  // collected expression starts with that word.
  ParsedSource* p = parseText("CREATE PACKAGE k IS\n  PRAGMA RESTRICT_REFERENCES(f, WNDS);\nEND;");
  ASSERT_TRUE(p->accepted);
  EXPECT_EQ(p->errors.head, nullptr);
  auto* head = nodeAs<astNodeCreatePkgHead>(p->unit(0));
  ASSERT_EQ(head->kind, AST_CREATE_PKG_HEAD);
  auto* pragma = nth<astNodeOraclePragma>(head->elements, 0);
  ASSERT_EQ(pragma->kind, AST_ORACLE_PRAGMA);
  EXPECT_EQ(tokens(pragma->expr), "RESTRICT_REFERENCES ( f , WNDS )");
  EXPECT_EQ(pragma->line, 1);

  // The same after a SQL keyword whose statement body begins with INTO.
  astNodeBlock* b = block("BEGIN INSERT INTO t VALUES (1); UPDATE t SET a = 1; END;");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(tokens(nth<astNodeSqlStmt>(b->body, 0)->body), "INTO t VALUES ( 1 )");
  EXPECT_EQ(tokens(nth<astNodeSqlStmt>(b->body, 1)->body), "t SET a = 1");
}

TEST(ActionsStatements, TopLevelStatementsAndTerminators)
{
  ParsedSource* p = parseText("INSERT INTO t VALUES (1);\n/\nCOMMIT;\n/\n");
  ASSERT_TRUE(p->accepted);
  EXPECT_EQ(p->errors.head, nullptr);
  // Terminator lines keep nothing.
  EXPECT_EQ(kinds(p->units()), "46 46");
  EXPECT_EQ(nodeAs<astNodeSqlStmt>(p->unit(1))->line, 2);
}

}  // namespace

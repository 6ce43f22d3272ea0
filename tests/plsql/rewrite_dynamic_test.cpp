// Rewriting of dynamic SQL and SQL statements: EXECUTE IMMEDIATE, OPEN ...
// FOR, RETURNING clauses, statement scopes, DBMS_SQL functions and collection
// methods.
#include "rewrite_test_util.h"

namespace {

astNodeBlock* onlyBlock(const RewriteRun& run)
{
  return run.unitAs<astNodeBlock>(0, AST_BLOCK);
}

TEST(RewriteDynamic, ExecuteImmediateWithoutOperands)
{
  RewriteRun run = rewriteText("BEGIN\n  EXECUTE IMMEDIATE 'DROP TABLE t';\nEND;\n/\n");
  EXPECT_EQ(records(run), "");
  astNodeBlock* block = onlyBlock(run);
  ASSERT_TRUE(block);
  auto* dynamic = nth<astNodeDynamic>(block->body, 0);
  ASSERT_EQ(dynamic->kind, AST_DYNAMIC);
  ASSERT_NE(dynamic->expansion, nullptr);
  astNodeBlock* expansion = dynamic->expansion;
  EXPECT_EQ(expansion->parent, dynamic);
  EXPECT_EQ(expansion->line, dynamic->line);
  EXPECT_EQ(declarations(expansion->declarations), "SYSZULINTERNAL_STMT_TEXT:CLOB(2M)='DROP TABLE t'");
  ASSERT_EQ(kinds(expansion->body), "53");
  auto* execute = nth<astNodeExecute>(expansion->body, 0);
  EXPECT_EQ(text(execute->operand), "SYSZULINTERNAL_STMT_TEXT");
  EXPECT_TRUE(execute->immediate);
  EXPECT_EQ(execute->into, nullptr);
  EXPECT_EQ(execute->using_, nullptr);
}

TEST(RewriteDynamic, ExecuteImmediateWithOperands)
{
  RewriteRun run = rewriteText(
      "BEGIN\n  EXECUTE IMMEDIATE stmt INTO x, y USING a, OUT b, IN OUT c, d RETURNING INTO r;\nEND;\n/\n");
  // The target's EXECUTE has no RETURNING form: recorded, operands kept.
  EXPECT_EQ(records(run), "RETURNING INTO in a dynamic statement not supported|2|2|<null>|EXECUTE IMMEDIATE ... RETURNING|<null>");
  astNodeBlock* block = onlyBlock(run);
  ASSERT_TRUE(block);
  auto* dynamic = nth<astNodeDynamic>(block->body, 0);
  ASSERT_EQ(dynamic->kind, AST_DYNAMIC);
  EXPECT_EQ(tokens(dynamic->inputs), "a , c , d");
  EXPECT_EQ(tokens(dynamic->outputs), "x , y , b , c , r");
  // The INTO list itself was extended.
  EXPECT_EQ(dynamic->outputs, dynamic->into);
  EXPECT_EQ(nodeAs<astNodeToken>(nth<astNode>(dynamic->inputs, 1))->tokenCode, T_COMMA);
  EXPECT_EQ(nth<astNode>(dynamic->inputs, 1)->line, -1);
  astNodeBlock* expansion = dynamic->expansion;
  ASSERT_NE(expansion, nullptr);
  // A variable statement text moves into the prologue.
  EXPECT_EQ(declarations(expansion->declarations), "SYSZULINTERNAL_STMT_TEXT:CLOB(2M)");
  EXPECT_EQ(tokens(nodeAs<astNodeList>(nth<astNodeAssign>(expansion->prologue, 0)->expr)), "stmt");
  EXPECT_EQ(kinds(expansion->body), "52 53");
  auto* prepare = nth<astNodePrepare>(expansion->body, 0);
  EXPECT_EQ(text(prepare->stmtID), "SYSZULINTERNAL_00000001");
  EXPECT_EQ(text(prepare->stmtHolder), "SYSZULINTERNAL_STMT_TEXT");
  auto* execute = nth<astNodeExecute>(expansion->body, 1);
  EXPECT_EQ(text(execute->operand), "SYSZULINTERNAL_00000001");
  EXPECT_FALSE(execute->immediate);
  EXPECT_EQ(execute->into, dynamic->outputs);
  EXPECT_EQ(execute->using_, dynamic->inputs);
}

TEST(RewriteDynamic, ExecuteImmediateUsingInAndOut)
{
  RewriteRun run = rewriteText("BEGIN\n  EXECUTE IMMEDIATE 'BEGIN p(:1, :2); END;' USING a, OUT b;\nEND;\n/\n");
  astNodeBlock* block = onlyBlock(run);
  ASSERT_TRUE(block);
  auto* dynamic = nth<astNodeDynamic>(block->body, 0);
  EXPECT_EQ(tokens(dynamic->inputs), "a");
  EXPECT_EQ(tokens(dynamic->outputs), "b");
  EXPECT_EQ(dynamic->into, nullptr);
  EXPECT_EQ(kinds(dynamic->expansion->body), "52 53");
}

TEST(RewriteDynamic, OpenForQueryAndForText)
{
  RewriteRun run = rewriteText(
      "DECLARE\n  c SYS_REFCURSOR;\nBEGIN\n"
      "  OPEN c FOR SELECT a FROM t;\n"
      "  OPEN c FOR 'SELECT a FROM ' || tab;\n"
      "  OPEN c;\n"
      "END;\n/\n");
  EXPECT_EQ(records(run), "");
  astNodeBlock* block = onlyBlock(run);
  ASSERT_TRUE(block);
  EXPECT_EQ(tokens(nth<astNodeVarDecl>(block->declarations, 0)->dataType), "CURSOR");
  auto* first = nth<astNodeOpen>(block->body, 0);
  ASSERT_EQ(first->kind, AST_OPEN);
  ASSERT_NE(first->cursorConstructor, nullptr);
  EXPECT_EQ(tokens(first->cursorConstructor->target), "c");
  astNode* expr = first->cursorConstructor->expr;
  ASSERT_NE(expr, nullptr);
  EXPECT_EQ(expr->kind, AST_SELECT);
  EXPECT_EQ(expr, first->query);
  EXPECT_EQ(first->prepareStmt, nullptr);
  EXPECT_EQ(first->cursorConstructor->line, first->line);
  EXPECT_EQ(first->cursorConstructor->parent, first);

  auto* second = nth<astNodeOpen>(block->body, 1);
  ASSERT_NE(second->cursorConstructor, nullptr);
  EXPECT_EQ(second->cursorConstructor->expr, nullptr);
  EXPECT_EQ(text(second->cursorConstructor->preparedCursor), "SYSZULINTERNAL_00000001");
  ASSERT_NE(second->prepareStmt, nullptr);
  EXPECT_EQ(text(second->prepareStmt->stmtID), "SYSZULINTERNAL_00000001");
  EXPECT_EQ(tokens(second->prepareStmt->query), "'SELECT a FROM ' || tab");
  EXPECT_EQ(second->prepareStmt->line, second->line);

  auto* third = nth<astNodeOpen>(block->body, 2);
  EXPECT_EQ(third->cursorConstructor, nullptr);
  EXPECT_EQ(third->prepareStmt, nullptr);
}

TEST(RewriteDynamic, ReturningIsSplitOffAndDiagnosticsFollow)
{
  RewriteRun run = rewriteText(
      "BEGIN\n"
      "  INSERT INTO t (a) VALUES (1) RETURNING a INTO b;\n"
      "  x := SQL%ROWCOUNT;\n"
      "  DELETE FROM t RETURNING a, c INTO b, d;\n"
      "  UPDATE t SET a = 2;\n"
      "  MERGE INTO t USING s ON (t.a = s.a) WHEN MATCHED THEN UPDATE SET t.b = s.b;\n"
      "  OPEN c FOR SELECT 1 FROM dual;\n"
      "END;\n/\n");
  EXPECT_EQ(records(run), "");
  astNodeBlock* block = onlyBlock(run);
  ASSERT_TRUE(block);
  // MERGE sets the row count; OPEN leaves it alone.
  EXPECT_EQ(kinds(block->body), "46 54 2 46 54 46 54 46 54 39");
  auto* insert = nth<astNodeSqlStmt>(block->body, 0);
  EXPECT_EQ(tokens(insert->body), "INTO t ( a ) VALUES ( 1 )");
  EXPECT_EQ(listLength(insert->body), 9);
  EXPECT_EQ(tokens(insert->returning), "a INTO b");
  EXPECT_EQ(listLength(insert->returning), 3);
  EXPECT_EQ(insert->returning->line, 1);
  EXPECT_EQ(insert->scope, block);
  auto* del = nth<astNodeSqlStmt>(block->body, 3);
  EXPECT_EQ(tokens(del->returning), "a , c INTO b , d");
  auto* update = nth<astNodeSqlStmt>(block->body, 5);
  EXPECT_EQ(update->returning, nullptr);
  EXPECT_EQ(declarations(block->declarations), "SYSZULINTERNAL_ROWCOUNT:INTEGER");
}

TEST(RewriteDynamic, StatementScopeIsTheOutermostUnit)
{
  RewriteRun run = rewriteText(
      "INSERT INTO t VALUES (1);\n"
      "CREATE PROCEDURE p IS\nBEGIN\n  BEGIN\n    COMMIT;\n  END;\nEND;\n/\n");
  auto* top = run.unitAs<astNodeSqlStmt>(0, AST_SQL_STMT);
  ASSERT_TRUE(top);
  EXPECT_EQ(top->scope, nullptr);
  auto* p = run.unitAs<astNodeCreateProc>(1, AST_CREATE_PROCEDURE);
  ASSERT_TRUE(p);
  auto* inner = nth<astNodeBlock>(nodeAs<astNodeBlock>(p->body)->body, 0);
  auto* commit = nth<astNodeSqlStmt>(inner->body, 0);
  ASSERT_EQ(commit->kind, AST_SQL_STMT);
  EXPECT_EQ(commit->scope, p);
}

TEST(RewriteDynamic, DbmsSqlFunctionsBecomeCalls)
{
  RewriteRun run = rewriteText(
      "BEGIN\n"
      "  x := DBMS_SQL.EXECUTE(c);\n"
      "  x := DBMS_SQL.OPEN_CURSOR;\n"
      "  x := dbms_sql.last_row_count;\n"
      "  x := DBMS_SQL.IS_OPEN();\n"
      "  x := DBMS_SQL.FETCH_ROWS + 1;\n"
      "  x := other.func(c);\n"
      "END;\n/\n");
  astNodeBlock* block = onlyBlock(run);
  ASSERT_TRUE(block);
  auto callOf = [&](int index) -> astNodeCall* {
    auto* assign = nth<astNodeAssign>(block->body, index);
    if (!assign || assign->kind != AST_ASSIGN || !assign->callForm)
      return nullptr;
    EXPECT_EQ(assign->callForm->kind, AST_CALL);
    EXPECT_EQ(assign->callForm->parent, assign);
    EXPECT_EQ(assign->callForm->line, assign->line);
    return nodeAs<astNodeCall>(assign->callForm);
  };
  astNodeCall* execute = callOf(0);
  ASSERT_NE(execute, nullptr);
  EXPECT_EQ(tokens(execute->name), "DBMS_SQL.EXECUTE");
  EXPECT_EQ(tokens(execute->args), "c , x");
  astNodeCall* open = callOf(1);
  ASSERT_NE(open, nullptr);
  EXPECT_EQ(tokens(open->args), "x");
  astNodeCall* rows = callOf(2);
  ASSERT_NE(rows, nullptr);
  EXPECT_EQ(tokens(rows->name), "dbms_sql.last_row_count");
  EXPECT_EQ(tokens(rows->args), "x");
  astNodeCall* isOpen = callOf(3);
  ASSERT_NE(isOpen, nullptr);
  EXPECT_EQ(tokens(isOpen->args), "x");
  // A call inside a larger expression has no CALL form: the record tells.
  EXPECT_EQ(callOf(4), nullptr);
  EXPECT_EQ(callOf(5), nullptr);
  EXPECT_EQ(records(run), "Call to package function not permitted in this context|2|6|DBMS_SQL.FETCH_ROWS|"
                          "DBMS_SQL.FETCH_ROWS|<null>");
}

TEST(RewriteDynamic, CollectionMethods)
{
  RewriteRun run = rewriteText(
      "DECLARE v t_list; BEGIN\n"
      "  v.TRIM;\n"
      "  v.trim(2);\n"
      "  v.DELETE(3);\n"
      "  v.DELETE;\n"
      "  v.EXTEND;\n"
      "  v.EXTEND(5);\n"
      "  p(1);\n"
      "  pkg.proc(1);\n"
      "END;\n/\n");
  // The count of new elements has no counterpart.
  EXPECT_EQ(records(run), "Collection method EXTEND with a count not supported|2|7|v.EXTEND|v.EXTEND|<null>");
  astNodeBlock* block = onlyBlock(run);
  ASSERT_TRUE(block);
  auto rewriteOf = [&](int index) -> astNode* {
    auto* call = nth<astNodeCall>(block->body, index);
    EXPECT_EQ(call ? call->kind : -1, AST_CALL);
    if (!call || call->kind != AST_CALL)
      return nullptr;
    if (call->rewrite) {
      EXPECT_EQ(call->rewrite->parent, call);
      EXPECT_EQ(call->rewrite->line, call->line);
    }
    return call->rewrite;
  };
  auto* trim = nodeAs<astNodeAssign>(rewriteOf(0));
  ASSERT_NE(trim, nullptr);
  ASSERT_EQ(trim->kind, AST_ASSIGN);
  EXPECT_EQ(tokens(trim->target), "v");
  EXPECT_EQ(tokens(nodeAs<astNodeList>(trim->expr)), "TRIM_ARRAY ( v , 1 )");
  auto* trim2 = nodeAs<astNodeAssign>(rewriteOf(1));
  ASSERT_NE(trim2, nullptr);
  EXPECT_EQ(tokens(nodeAs<astNodeList>(trim2->expr)), "TRIM_ARRAY ( v , 2 )");
  auto* del = nodeAs<astNodeAssign>(rewriteOf(2));
  ASSERT_NE(del, nullptr);
  EXPECT_EQ(tokens(nodeAs<astNodeList>(del->expr)), "ARRAY_DELETE ( v , 3 )");
  auto* delAll = nodeAs<astNodeAssign>(rewriteOf(3));
  ASSERT_NE(delAll, nullptr);
  EXPECT_EQ(tokens(nodeAs<astNodeList>(delAll->expr)), "ARRAY_DELETE ( v )");
  auto* extend = nodeAs<astNodeNull>(rewriteOf(4));
  ASSERT_NE(extend, nullptr);
  ASSERT_EQ(extend->kind, AST_NULL);
  EXPECT_EQ(text(extend->text), "EXTEND v");
  auto* extend2 = nodeAs<astNodeNull>(rewriteOf(5));
  ASSERT_NE(extend2, nullptr);
  EXPECT_EQ(text(extend2->text), "EXTEND v");
  EXPECT_EQ(rewriteOf(6), nullptr);
  EXPECT_EQ(rewriteOf(7), nullptr);
}

}  // namespace

// Rewriting of blocks and exceptions: SQL% attributes, SQLCODE and friends,
// row-count diagnostics, condition handlers, RAISE, RAISE_APPLICATION_ERROR
// and PRAGMA EXCEPTION_INIT.
#include "rewrite_test_util.h"

namespace {

TEST(RewriteBlocks, SqlAttributesAreReplacedAndDeclaredOnceOutermost)
{
  RewriteRun run = rewriteText(
      "CREATE PROCEDURE p IS\nBEGIN\n"
      "  UPDATE t SET a = 1;\n"
      "  BEGIN\n"
      "    IF SQL%FOUND THEN x := SQL%ROWCOUNT; END IF;\n"
      "    IF SQL%NOTFOUND THEN NULL; END IF;\n"
      "  END;\n"
      "END;\n/\n");
  EXPECT_EQ(records(run), "");
  auto* p = run.unitAs<astNodeCreateProc>(0, AST_CREATE_PROCEDURE);
  ASSERT_TRUE(p);
  astNodeBlock* outer = nodeAs<astNodeBlock>(p->body);
  EXPECT_TRUE(outer->usesRowcount);
  EXPECT_TRUE(outer->usesFound);
  EXPECT_TRUE(outer->usesNotfound);
  EXPECT_FALSE(outer->atomic);
  EXPECT_EQ(declarations(outer->declarations),
            "SYSZULINTERNAL_ROWCOUNT:INTEGER; SYSZULINTERNAL_FOUND:BOOLEAN; SYSZULINTERNAL_NOTFOUND:BOOLEAN");
  EXPECT_EQ(outer->maxNameLength, 23u);
  // The UPDATE is followed by the diagnostics: getDiag, NOTFOUND, FOUND.
  EXPECT_EQ(kinds(outer->body), "46 54 2 2 3");
  auto* diag = nth<astNodeGetDiag>(outer->body, 1);
  EXPECT_EQ(diag->diagType, DIAG_ROW_COUNT);
  EXPECT_EQ(tokens(diag->target), "SYSZULINTERNAL_ROWCOUNT");
  EXPECT_EQ(tokens(diag->source), "ROW_COUNT");
  EXPECT_EQ(diag->line, nth<astNode>(outer->body, 0)->line);
  EXPECT_EQ(tokens(nth<astNodeAssign>(outer->body, 2)->target), "SYSZULINTERNAL_NOTFOUND");
  EXPECT_EQ(tokens(nodeAs<astNodeList>(nth<astNodeAssign>(outer->body, 2)->expr)),
            "( CASE WHEN SYSZULINTERNAL_ROWCOUNT <= 0 THEN true ELSE false END )");
  EXPECT_EQ(tokens(nth<astNodeAssign>(outer->body, 3)->target), "SYSZULINTERNAL_FOUND");
  EXPECT_EQ(tokens(nodeAs<astNodeList>(nth<astNodeAssign>(outer->body, 3)->expr)),
            "( CASE WHEN SYSZULINTERNAL_ROWCOUNT > 0 THEN true ELSE false END )");
  auto* inner = nth<astNodeBlock>(outer->body, 4);
  EXPECT_EQ(inner->declarations, nullptr);
  auto* firstIf = nth<astNodeIf>(inner->body, 0);
  EXPECT_EQ(tokens(firstIf->expr), "(SYSZULINTERNAL_FOUND = true)");
  EXPECT_EQ(tokens(nodeAs<astNodeList>(nth<astNodeAssign>(firstIf->body, 0)->expr)), "SYSZULINTERNAL_ROWCOUNT");
  EXPECT_EQ(nodeAs<astNodeToken>(listFirst(firstIf->expr))->tokenCode, T_SQL_FOUND);
  EXPECT_EQ(tokens(nth<astNodeIf>(inner->body, 1)->expr), "(SYSZULINTERNAL_NOTFOUND = true)");
}

TEST(RewriteBlocks, EachBlockUsesWhatItsBodyHolds)
{
  // A nested block's declarations and handlers count for the blocks around
  // it, not for itself; its body counts for both.
  RewriteRun run = rewriteText(
      "BEGIN\n"
      "  DECLARE y BOOLEAN := SQL%FOUND;\n"
      "  BEGIN\n"
      "    BEGIN x := SQL%ROWCOUNT; END;\n"
      "  EXCEPTION WHEN OTHERS THEN z := SQLERRM;\n"
      "  END;\n"
      "END;\n/\n");
  auto* outer = run.unitAs<astNodeBlock>(0, AST_BLOCK);
  ASSERT_TRUE(outer);
  auto* middle = nth<astNodeBlock>(outer->body, 0);
  ASSERT_EQ(middle->kind, AST_BLOCK);
  // The default of y runs ahead of the handler, which moves into a block of
  // its own with the statements.
  auto* handled = nth<astNodeBlock>(middle->body, 0);
  ASSERT_EQ(handled->kind, AST_BLOCK);
  ASSERT_EQ(listLength(handled->exceptions), 1);
  auto* inner = nth<astNodeBlock>(handled->body, 0);
  ASSERT_EQ(inner->kind, AST_BLOCK);
  auto uses = [](const astNodeBlock* b) {
    return std::string(b->usesRowcount ? "R" : "") + (b->usesFound ? "F" : "") + (b->usesNotfound ? "N" : "") +
           (b->usesSqlcode ? "C" : "") + (b->usesSqlerrm ? "E" : "") + (b->usesSqlstate ? "S" : "");
  };
  EXPECT_EQ(uses(outer), "RFE");
  EXPECT_EQ(uses(middle), "R");
  EXPECT_EQ(uses(inner), "R");
  EXPECT_EQ(tokens(nodeAs<astNodeList>(nth<astNodeAssign>(inner->body, 0)->expr)), "SYSZULINTERNAL_ROWCOUNT");
  // Each block declares what it uses in the outermost one as it ends: the
  // innermost first, the handler's names on the way, the outermost last.
  EXPECT_EQ(declarations(outer->declarations),
            "SYSZULINTERNAL_ROWCOUNT:INTEGER; SQLSTATE:CHAR(5)='00000'; SQLCODE:INTEGER=0; "
            "SYSZULINTERNAL_SQLCODE:INTEGER=0; SYSZULINTERNAL_SQLSTATE:CHAR(5)='00000'; "
            "SYSZULINTERNAL_SQLERRM:VARCHAR(32672); SYSZULINTERNAL_FOUND:BOOLEAN");
}

TEST(RewriteBlocks, DiagnosticsFollowEveryDataChangeAtEveryDepth)
{
  RewriteRun run = rewriteText(
      "BEGIN\n  UPDATE t SET a = 1;\n  DELETE FROM t;\n"
      "  IF c THEN INSERT INTO t VALUES (1); UPDATE t SET a = 2; END IF;\n"
      "  x := SQL%ROWCOUNT;\nEND;\n/\n");
  auto* block = run.unitAs<astNodeBlock>(0, AST_BLOCK);
  ASSERT_TRUE(block);
  EXPECT_EQ(kinds(block->body), "46 54 46 54 34 2");
  EXPECT_EQ(listLength(block->body), 6);
  EXPECT_EQ(kinds(nth<astNodeIf>(block->body, 4)->body), "46 54 46 54");
}

TEST(RewriteBlocks, NoDiagnosticsWithoutRowCounts)
{
  RewriteRun run = rewriteText("BEGIN\n  DELETE FROM t;\n  INSERT INTO t VALUES (1);\nEND;\n/\n");
  auto* block = run.unitAs<astNodeBlock>(0, AST_BLOCK);
  ASSERT_TRUE(block);
  EXPECT_EQ(kinds(block->body), "46 46");
  EXPECT_EQ(block->declarations, nullptr);
  auto* del = nth<astNodeSqlStmt>(block->body, 0);
  EXPECT_EQ(del->scope, block);
}

TEST(RewriteBlocks, SqlcodeAndSqlerrm)
{
  RewriteRun run = rewriteText("BEGIN\n  x := SQLCODE;\n  y := SQLERRM;\nEND;\n/\n");
  auto* block = run.unitAs<astNodeBlock>(0, AST_BLOCK);
  ASSERT_TRUE(block);
  EXPECT_TRUE(block->usesSqlcode);
  EXPECT_TRUE(block->usesSqlerrm);
  EXPECT_FALSE(block->usesRowcount);
  // Outside every handler no exception is being handled: SQLCODE reads 0,
  // SQLERRM the message of success.
  EXPECT_EQ(tokens(nodeAs<astNodeList>(nth<astNodeAssign>(block->body, 0)->expr)), "0");
  EXPECT_EQ(tokens(nodeAs<astNodeList>(nth<astNodeAssign>(block->body, 1)->expr)), "'ORA-0000: normal, successful completion'");
  EXPECT_EQ(declarations(block->declarations), "");
}

TEST(RewriteBlocks, HandlerConditionsAndDiagnosticsCapture)
{
  RewriteRun run = rewriteText(
      "CREATE PROCEDURE p IS\n  my_error EXCEPTION;\nBEGIN\n  NULL;\n"
      "EXCEPTION\n"
      "  WHEN NO_DATA_FOUND OR STANDARD.ZERO_DIVIDE THEN x := 1;\n"
      "  WHEN my_error OR pkg.ZERO_DIVIDE OR a.b.c THEN x := 2;\n"
      "  WHEN OTHERS THEN x := SQLCODE;\n"
      "END;\n/\n");
  EXPECT_EQ(records(run), "");
  auto* p = run.unitAs<astNodeCreateProc>(0, AST_CREATE_PROCEDURE);
  ASSERT_TRUE(p);
  astNodeBlock* body = nodeAs<astNodeBlock>(p->body);
  ASSERT_EQ(listLength(body->exceptions), 3);
  auto* h1 = nth<astNodeHandler>(body->exceptions, 0);
  auto* h2 = nth<astNodeHandler>(body->exceptions, 1);
  auto* h3 = nth<astNodeHandler>(body->exceptions, 2);
  EXPECT_EQ(tokens(nth<astNodeList>(h1->conditions, 0)), "SQLSTATE 'UDNDF'");
  EXPECT_EQ(tokens(nth<astNodeList>(h1->conditions, 1)), "SQLSTATE '22012'");
  EXPECT_EQ(tokens(nth<astNodeList>(h2->conditions, 0)), "my_error");
  EXPECT_EQ(tokens(nth<astNodeList>(h2->conditions, 1)), "pkg.ZERO_DIVIDE");
  EXPECT_EQ(tokens(nth<astNodeList>(h2->conditions, 2)), "a.b.c");
  EXPECT_EQ(tokens(nth<astNodeList>(h3->conditions, 0)), "SQLEXCEPTION");

  // Each handler body is a block with the diagnostics capture.
  astNode* handlerBody = h1->body;
  ASSERT_EQ(handlerBody->kind, AST_BLOCK);
  auto* block = nodeAs<astNodeBlock>(handlerBody);
  EXPECT_EQ(block->parent, h1);
  EXPECT_EQ(kinds(block->body), "2");
  EXPECT_EQ(kinds(block->prologue), "50 2");
  auto* values = nth<astNodeValues>(block->prologue, 0);
  EXPECT_EQ(tokens(nth<astNodeList>(values->targets, 0)), "SQLCODE");
  EXPECT_EQ(tokens(nth<astNodeList>(values->targets, 1)), "SQLSTATE");
  EXPECT_EQ(tokens(nth<astNodeList>(values->sources, 0)), "SYSZULINTERNAL_SQLCODE");
  EXPECT_EQ(tokens(nth<astNodeList>(values->sources, 1)), "SYSZULINTERNAL_SQLSTATE");
  auto* message = nth<astNodeAssign>(block->prologue, 1);
  EXPECT_EQ(tokens(message->target), "SYSZULINTERNAL_SQLERRM");
  EXPECT_EQ(tokens(nodeAs<astNodeList>(message->expr)), "SQLERRM ( SYSZULINTERNAL_SQLCODE )");

  // Declarations are added once, in the routine's block.
  EXPECT_EQ(declarations(body->declarations),
            "[25]my_error; SQLSTATE:CHAR(5)='00000'; SQLCODE:INTEGER=0; SYSZULINTERNAL_SQLCODE:INTEGER=0; "
            "SYSZULINTERNAL_SQLSTATE:CHAR(5)='00000'; SYSZULINTERNAL_SQLERRM:VARCHAR(32672)");
  EXPECT_EQ(body->maxNameLength, 23u);
  // SQLCODE in the OTHERS handler is the internal variable.
  auto* h3block = nodeAs<astNodeBlock>(h3->body);
  EXPECT_EQ(tokens(nodeAs<astNodeList>(nth<astNodeAssign>(h3block->body, 0)->expr)), "SYSZULINTERNAL_SQLCODE");
  EXPECT_TRUE(h3block->usesSqlcode);
}

TEST(RewriteBlocks, HandlerConditionsWithoutExceptionMap)
{
  RewriteRun run = rewriteText("BEGIN\n  NULL;\nEXCEPTION\n  WHEN NO_DATA_FOUND THEN NULL;\n"
                               "  WHEN others THEN NULL;\nEND;\n/\n",
                               false);
  auto* block = run.unitAs<astNodeBlock>(0, AST_BLOCK);
  ASSERT_TRUE(block);
  EXPECT_EQ(tokens(nth<astNodeList>(nth<astNodeHandler>(block->exceptions, 0)->conditions, 0)), "NO_DATA_FOUND");
  EXPECT_EQ(tokens(nth<astNodeList>(nth<astNodeHandler>(block->exceptions, 1)->conditions, 0)), "SQLEXCEPTION");
}

TEST(RewriteBlocks, RaiseConditions)
{
  RewriteRun run = rewriteText("BEGIN\n  RAISE NO_DATA_FOUND;\n  RAISE standard.too_many_rows;\n"
                               "  RAISE my_error;\n  RAISE;\nEND;\n/\n");
  auto* block = run.unitAs<astNodeBlock>(0, AST_BLOCK);
  ASSERT_TRUE(block);
  auto* r1 = nth<astNodeRaise>(block->body, 0);
  auto* r2 = nth<astNodeRaise>(block->body, 1);
  auto* r3 = nth<astNodeRaise>(block->body, 2);
  auto* r4 = nth<astNodeRaise>(block->body, 3);
  EXPECT_EQ(text(r1->condition), "UDNDF");
  EXPECT_EQ(r1->isSqlstate, 1);
  EXPECT_EQ(text(r2->condition), "21000");
  EXPECT_EQ(r2->isSqlstate, 1);
  EXPECT_EQ(text(r3->condition), "my_error");
  EXPECT_EQ(r3->isSqlstate, 0);
  EXPECT_EQ(r4->condition, nullptr);

  RewriteRun noMap = rewriteText("BEGIN\n  RAISE NO_DATA_FOUND;\nEND;\n/\n", false);
  auto* r = nth<astNodeRaise>(noMap.unitAs<astNodeBlock>(0, AST_BLOCK)->body, 0);
  EXPECT_EQ(text(r->condition), "NO_DATA_FOUND");
  EXPECT_EQ(r->isSqlstate, 0);
}

std::string signalState(const char* call)
{
  std::string source = std::string("BEGIN\n  ") + call + "\nEND;\n/\n";
  RewriteRun run = rewriteText(source.c_str());
  auto* block = run.unitAs<astNodeBlock>(0, AST_BLOCK);
  if (!block)
    return "<no block>";
  auto* raise = nth<astNodeRaiseApp>(block->body, 0);
  if (!raise || raise->kind != AST_RAISE_APP || !raise->expansion)
    return "<no expansion>";
  auto* signal = nth<astNodeSignal>(raise->expansion->body, 0);
  if (!signal || signal->kind != AST_SIGNAL)
    return "<no signal>";
  return text(signal->sqlstate);
}

TEST(RewriteBlocks, RaiseApplicationErrorSqlstates)
{
  EXPECT_EQ(signalState("RAISE_APPLICATION_ERROR(-20001, 'bad');"), "UD001");
  EXPECT_EQ(signalState("RAISE_APPLICATION_ERROR(-20000, 'bad');"), "UD000");
  EXPECT_EQ(signalState("RAISE_APPLICATION_ERROR(-20999, 'bad');"), "UD999");
  EXPECT_EQ(signalState("RAISE_APPLICATION_ERROR(-21000, 'bad');"), "UD999");
  EXPECT_EQ(signalState("RAISE_APPLICATION_ERROR(-19999, 'bad');"), "UD999");
  EXPECT_EQ(signalState("RAISE_APPLICATION_ERROR(-1476, 'bad');"), "22012");
  EXPECT_EQ(signalState("RAISE_APPLICATION_ERROR(100, 'bad');"), "UDNDF");
  EXPECT_EQ(signalState("RAISE_APPLICATION_ERROR(v_code, 'bad');"), "UD999");
  EXPECT_EQ(signalState("RAISE_APPLICATION_ERROR(SQLCODE, 'bad');"), "UD999");
}

TEST(RewriteBlocks, RaiseApplicationErrorExpansion)
{
  RewriteRun run = rewriteText("BEGIN\n  RAISE_APPLICATION_ERROR(-20042, 'Bad ' || v);\nEND;\n/\n");
  auto* block = run.unitAs<astNodeBlock>(0, AST_BLOCK);
  ASSERT_TRUE(block);
  auto* raise = nth<astNodeRaiseApp>(block->body, 0);
  ASSERT_NE(raise->expansion, nullptr);
  astNodeBlock* expansion = raise->expansion;
  EXPECT_EQ(expansion->parent, raise);
  EXPECT_EQ(expansion->line, raise->line);
  // The message is not a single literal: it moves into the prologue.
  EXPECT_EQ(declarations(expansion->declarations), "SYSZULINTERNAL_APPERROR:VARCHAR(2048)");
  ASSERT_EQ(listLength(expansion->prologue), 1);
  auto* assign = nth<astNodeAssign>(expansion->prologue, 0);
  EXPECT_EQ(tokens(assign->target), "SYSZULINTERNAL_APPERROR");
  EXPECT_EQ(tokens(nodeAs<astNodeList>(assign->expr)), "'Bad ' || v");
  auto* signal = nth<astNodeSignal>(expansion->body, 0);
  EXPECT_EQ(text(signal->sqlstate), "UD042");
  EXPECT_EQ(tokens(signal->message), "SYSZULINTERNAL_APPERROR");
  EXPECT_EQ(signal->line, raise->line);

  RewriteRun literal = rewriteText("BEGIN\n  RAISE_APPLICATION_ERROR(-20042, 'Bad');\nEND;\n/\n");
  auto* r = nth<astNodeRaiseApp>(literal.unitAs<astNodeBlock>(0, AST_BLOCK)->body, 0);
  EXPECT_EQ(declarations(r->expansion->declarations), "SYSZULINTERNAL_APPERROR:VARCHAR(2048)='Bad'");
  EXPECT_EQ(r->expansion->prologue, nullptr);
}

TEST(RewriteBlocks, ExceptionInitPragma)
{
  RewriteRun run = rewriteText(
      "DECLARE\n"
      "  e1 EXCEPTION;\n"
      "  PRAGMA EXCEPTION_INIT(e1, -1476);\n"
      "  e2 EXCEPTION;\n"
      "  PRAGMA EXCEPTION_INIT(E2, 100);\n"
      "  e3 EXCEPTION;\n"
      "  PRAGMA EXCEPTION_INIT(e3, -1403);\n"
      "  PRAGMA EXCEPTION_INIT(missing, -20001);\n"
      "  e4 EXCEPTION;\n"
      "  PRAGMA EXCEPTION_INIT(e4, 0);\n"
      "BEGIN\n  NULL;\nEND;\n/\n");
  auto* block = run.unitAs<astNodeBlock>(0, AST_BLOCK);
  ASSERT_TRUE(block);
  auto* e1 = nth<astNodeExceptionDecl>(block->declarations, 0);
  auto* e2 = nth<astNodeExceptionDecl>(block->declarations, 2);
  auto* e4 = nth<astNodeExceptionDecl>(block->declarations, 7);
  EXPECT_EQ(e1->value, -1476);
  EXPECT_EQ(text(e1->sqlstate), "22012");
  EXPECT_EQ(e2->value, 100);
  EXPECT_EQ(text(e2->sqlstate), "UDNDF");
  EXPECT_EQ(e4->value, 0);
  // No SQLSTATE stands for the number: the condition stays its own.
  EXPECT_EQ(text(e4->sqlstate), "<null>");
  EXPECT_EQ(records(run),
            "syntax error|0|7|pragma exception_init|e3|\n"
            "syntax error|0|8|pragma exception_init|missing|\n"
            "EXCEPTION_INIT with an unmapped error number not supported|2|10|<null>|PRAGMA EXCEPTION_INIT|<null>");
  // EXCEPTION_INIT is stored as a declaration and counts for the longest name.
  EXPECT_EQ(block->maxNameLength, 7u);
}

TEST(RewriteBlocks, ExceptionInitInPackage)
{
  RewriteRun run = rewriteText("CREATE PACKAGE pk AS\n  e EXCEPTION;\n  PRAGMA EXCEPTION_INIT(e, -20001);\nEND pk;\n/\n");
  EXPECT_EQ(records(run), "");
  auto* head = run.unitAs<astNodeCreatePkgHead>(0, AST_CREATE_PKG_HEAD);
  ASSERT_TRUE(head);
  ASSERT_EQ(kinds(head->declarations), "25 25");
  auto* e = nth<astNodeExceptionDecl>(head->declarations, 0);
  EXPECT_EQ(e->value, -20001);
  EXPECT_EQ(text(e->sqlstate), "UD001");
  EXPECT_EQ(e->package, head);
}

}  // namespace

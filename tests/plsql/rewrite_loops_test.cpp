// Rewriting of loops: numeric and cursor FOR loops, FOR over a query, EXIT
// and CONTINUE labels.
#include "rewrite_test_util.h"

namespace {

astNodeFor* firstFor(const RewriteRun& run)
{
  auto* block = run.unitAs<astNodeBlock>(0, AST_BLOCK);
  if (!block)
    return nullptr;
  auto* node = nth<astNodeFor>(block->body, 0);
  EXPECT_EQ(node ? node->kind : -1, AST_FOR);
  return node && node->kind == AST_FOR ? node : nullptr;
}

TEST(RewriteLoops, NumericForBecomesWhile)
{
  RewriteRun run = rewriteText("BEGIN\n  FOR i IN 1..10 LOOP\n    x := x + i;\n  END LOOP;\nEND;\n/\n");
  EXPECT_EQ(records(run), "");
  astNodeFor* loop = firstFor(run);
  ASSERT_TRUE(loop);
  ASSERT_NE(loop->expansion, nullptr);
  astNodeBlock* block = loop->expansion;
  EXPECT_EQ(block->parent, loop);
  EXPECT_EQ(block->line, loop->line);
  EXPECT_FALSE(block->anonymous);
  EXPECT_EQ(block->exceptions, nullptr);
  EXPECT_EQ(declarations(block->declarations), "i:INTEGER=1; SYSZULINTERNAL_LOOP_LIMIT:INTEGER=10");
  EXPECT_EQ(block->prologue, nullptr);
  ASSERT_EQ(listLength(block->body), 1);
  auto* whileNode = nth<astNodeWhile>(block->body, 0);
  ASSERT_EQ(whileNode->kind, AST_WHILE);
  EXPECT_EQ(tokens(whileNode->expr), "i <= SYSZULINTERNAL_LOOP_LIMIT");
  EXPECT_EQ(kinds(whileNode->body), "2 2");
  auto* step = nth<astNodeAssign>(whileNode->body, 1);
  EXPECT_EQ(tokens(step->target), "i");
  EXPECT_EQ(tokens(nodeAs<astNodeList>(step->expr)), "i + 1");
  EXPECT_EQ(step->line, loop->line);
  EXPECT_EQ(whileNode->body->parent, whileNode);
}

TEST(RewriteLoops, ReverseForCountsDown)
{
  RewriteRun run = rewriteText("BEGIN\n  FOR i IN REVERSE 1..n LOOP\n    NULL;\n  END LOOP;\nEND;\n/\n");
  EXPECT_EQ(records(run), "");
  astNodeFor* loop = firstFor(run);
  ASSERT_TRUE(loop);
  astNodeBlock* block = loop->expansion;
  ASSERT_NE(block, nullptr);
  // The start value n is not a literal, so it is assigned in the prologue.
  EXPECT_EQ(declarations(block->declarations), "i:INTEGER; SYSZULINTERNAL_LOOP_LIMIT:INTEGER=1");
  ASSERT_EQ(listLength(block->prologue), 1);
  EXPECT_EQ(tokens(nth<astNodeAssign>(block->prologue, 0)->target), "i");
  // A bound that is no integer literal is rounded, as PL/SQL does.
  EXPECT_EQ(tokens(nodeAs<astNodeList>(nth<astNodeAssign>(block->prologue, 0)->expr)), "ROUND ( n , 0 )");
  auto* whileNode = nth<astNodeWhile>(block->body, 0);
  EXPECT_EQ(tokens(whileNode->expr), "i >= SYSZULINTERNAL_LOOP_LIMIT");
  EXPECT_EQ(tokens(nodeAs<astNodeList>(nth<astNodeAssign>(whileNode->body, 1)->expr)), "i - 1");
}

TEST(RewriteLoops, OutOfRangeBoundsAreReported)
{
  RewriteRun run = rewriteText("BEGIN\n  FOR i IN 99999999999 ..\n  2147483648 LOOP\n    NULL;\n  END LOOP;\n"
                               "  FOR j IN 0..2147483647 LOOP\n    NULL;\n  END LOOP;\nEND;\n/\n");
  EXPECT_EQ(records(run),
            "syntax error|0|2|INTEGER value out of range|99999999999|\n"
            "syntax error|0|3|INTEGER value out of range|2147483648|");
  // Rewritten all the same.
  astNodeFor* loop = firstFor(run);
  ASSERT_TRUE(loop);
  ASSERT_NE(loop->expansion, nullptr);
  auto* limit = nth<astNodeVarDecl>(loop->expansion->declarations, 1);
  EXPECT_EQ(limit->line, 2);
}

TEST(RewriteLoops, CursorForBecomesOpenFetchLoop)
{
  RewriteRun run = rewriteText("DECLARE\n  CURSOR c IS SELECT a FROM t;\nBEGIN\n"
                               "  FOR r IN c LOOP\n    x := r.a;\n  END LOOP;\nEND;\n/\n");
  EXPECT_EQ(records(run), "");
  auto* outer = run.unitAs<astNodeBlock>(0, AST_BLOCK);
  ASSERT_TRUE(outer);
  auto* loop = nth<astNodeFor>(outer->body, 0);
  ASSERT_EQ(loop->kind, AST_FOR);
  EXPECT_EQ(loop->loopType, FOR_CURSOR);
  astNodeBlock* block = loop->expansion;
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(declarations(block->declarations), "r:c %ROWTYPE");
  auto* decl = nth<astNodeVarDecl>(block->declarations, 0);
  EXPECT_EQ(nodeAs<astNodeToken>(listLast(decl->dataType))->tokenCode, T_PERCENT_ROWTYPE);
  EXPECT_EQ(kinds(block->body), "39 37 7");
  auto* open = nth<astNodeOpen>(block->body, 0);
  EXPECT_EQ(tokens(open->variable), "c");
  auto* inner = nth<astNodeLoop>(block->body, 1);
  EXPECT_EQ(kinds(inner->body), "28 27 2");
  auto* fetch = nth<astNodeFetch>(inner->body, 0);
  EXPECT_EQ(tokens(fetch->variable), "c");
  EXPECT_EQ(tokens(fetch->expr), "r");
  auto* exit = nth<astNodeExit>(inner->body, 1);
  EXPECT_EQ(tokens(exit->expr), "c IS NOT FOUND");
  EXPECT_EQ(nodeAs<astNodeToken>(listFirst(exit->expr))->tokenCode, T_CURSOR_NOTFOUND);
  // The EXIT names the loop, which gets a made-up label.
  EXPECT_EQ(text(inner->label), "SYSZULINTERNAL_00000001");
  EXPECT_EQ(text(exit->target), "SYSZULINTERNAL_00000001");
  EXPECT_EQ(tokens(nth<astNodeClose>(block->body, 2)->variable), "c");
}

TEST(RewriteLoops, ForOverQueryDropsParentheses)
{
  RewriteRun run = rewriteText("BEGIN\n  FOR r IN (SELECT a FROM t) LOOP\n    NULL;\n  END LOOP;\nEND;\n/\n");
  EXPECT_EQ(records(run), "");
  astNodeFor* loop = firstFor(run);
  ASSERT_TRUE(loop);
  EXPECT_EQ(loop->loopType, FOR_SELECT);
  EXPECT_EQ(loop->expansion, nullptr);
  EXPECT_EQ(tokens(loop->expr), "SELECT a FROM t");
  EXPECT_EQ(loop->expr->parent, loop);
}

TEST(RewriteLoops, ExitAndContinueGetLabels)
{
  RewriteRun run = rewriteText(
      "BEGIN\n"
      "  WHILE a < 10 LOOP\n"
      "    EXIT WHEN a = 5;\n"
      "    IF b THEN EXIT; END IF;\n"
      "  END LOOP;\n"
      "  LOOP\n    CONTINUE WHEN c;\n    EXIT outer;\n  END LOOP;\n"
      "  EXIT;\n"
      "END;\n/\n");
  auto* block = run.unitAs<astNodeBlock>(0, AST_BLOCK);
  ASSERT_TRUE(block);
  auto* whileNode = nth<astNodeWhile>(block->body, 0);
  EXPECT_EQ(text(whileNode->label), "SYSZULINTERNAL_00000001");
  EXPECT_EQ(text(nth<astNodeExit>(whileNode->body, 0)->target), "SYSZULINTERNAL_00000001");
  auto* ifNode = nth<astNodeIf>(whileNode->body, 1);
  EXPECT_EQ(text(nth<astNodeExit>(ifNode->body, 0)->target), "SYSZULINTERNAL_00000001");
  auto* loop = nth<astNodeLoop>(block->body, 1);
  EXPECT_EQ(text(loop->label), "SYSZULINTERNAL_00000002");
  EXPECT_EQ(text(nth<astNodeContinue>(loop->body, 0)->target), "SYSZULINTERNAL_00000002");
  EXPECT_EQ(text(nth<astNodeExit>(loop->body, 1)->target), "outer");
  EXPECT_EQ(nth<astNodeExit>(block->body, 2)->target, nullptr);
}

TEST(RewriteLoops, LoopBoundsSharedWithTheExpansionAreRewrittenOnce)
{
  RewriteRun run = rewriteText(
      "CREATE TRIGGER t BEFORE INSERT ON emp FOR EACH ROW\nDECLARE\n  CURSOR c IS SELECT 1 FROM dual;\nBEGIN\n"
      "  FOR i IN :NEW.a..c%ROWCOUNT LOOP\n    NULL;\n  END LOOP;\nEND;\n/\n");
  EXPECT_EQ(records(run), "");
  auto* trigger = run.unitAs<astNodeCreateTrigger>(0, AST_CREATE_TRIGGER);
  ASSERT_TRUE(trigger);
  auto* loop = nth<astNodeFor>(trigger->body->body, 0);
  ASSERT_EQ(loop->kind, AST_FOR);
  EXPECT_EQ(tokens(loop->expr), "SYSZULINTERNAL_NEW.a .. CURSOR_ROWCOUNT(c)");
}

}  // namespace

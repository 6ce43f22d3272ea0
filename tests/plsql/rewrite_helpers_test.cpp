// Helpers of the rewriting pass (name splitting, SQLSTATE lookups,
// ensureDeclared) and the pass over damaged or unusual trees.
#include "rewrite_test_util.h"

namespace {

TransformState stateWithMap()
{
  ensureTestPool();
  TransformState state;
  state.exceptionMap = exceptionMap;
  return state;
}

TEST(RewriteHelpers, SplitQualifiedName)
{
  ensureTestPool();
  EXPECT_EQ(tokens(splitQualifiedName("a.b.c")), "a b c");
  EXPECT_EQ(tokens(splitQualifiedName("\"x.y\".z")), "x.y z");
  EXPECT_EQ(tokens(splitQualifiedName("a\\.b.c")), "a.b c");
  EXPECT_EQ(tokens(splitQualifiedName("plain")), "plain");
  astNodeList* parts = splitQualifiedName("a.b");
  EXPECT_EQ(nodeAs<astNodeToken>(listFirst(parts))->tokenCode, T_STRING);
  EXPECT_EQ(listFirst(parts)->line, -1);
  EXPECT_EQ(splitQualifiedName(nullptr), nullptr);
}

TEST(RewriteHelpers, SqlstateForName)
{
  TransformState state = stateWithMap();
  EXPECT_EQ(text(sqlstateForName("NO_DATA_FOUND", &state)), "UDNDF");
  EXPECT_EQ(text(sqlstateForName("zero_divide", &state)), "22012");
  EXPECT_EQ(text(sqlstateForName("Standard.Dup_Val_On_Index", &state)), "23505");
  EXPECT_EQ(sqlstateForName("pkg.ZERO_DIVIDE", &state), nullptr);
  EXPECT_EQ(sqlstateForName("STANDARD.a.ZERO_DIVIDE", &state), nullptr);
  EXPECT_EQ(sqlstateForName("my_error", &state), nullptr);
  EXPECT_EQ(sqlstateForName("", &state), nullptr);
  TransformState none;
  EXPECT_EQ(sqlstateForName("NO_DATA_FOUND", &none), nullptr);
}

TEST(RewriteHelpers, SqlstateForNumber)
{
  TransformState state = stateWithMap();
  EXPECT_EQ(text(sqlstateForNumber(-1, &state)), "23505");
  EXPECT_EQ(text(sqlstateForNumber(-2292, &state)), "23504");
  EXPECT_EQ(text(sqlstateForNumber(-20000, &state)), "UD000");
  EXPECT_EQ(text(sqlstateForNumber(-20123, &state)), "UD123");
  EXPECT_EQ(text(sqlstateForNumber(-20999, &state)), "UD999");
  EXPECT_EQ(text(sqlstateForNumber(-21000, &state)), "UD999");
  EXPECT_EQ(text(sqlstateForNumber(0, &state)), "UD999");
  EXPECT_EQ(text(sqlstateForNumber(-2147483647 - 1, &state)), "UD999");
  TransformState none;
  EXPECT_EQ(text(sqlstateForNumber(100, &none)), "UD999");
  EXPECT_EQ(text(sqlstateForNumber(-20005, &none)), "UD005");
}

TEST(RewriteHelpers, EnsureDeclaredOnce)
{
  ensureTestPool();
  astNodeBlock* block = astMake<astNodeBlock>(3);
  ensureDeclared(block, "SQLCODE", "INTEGER", listNew(astTokenNew(T_STRING, "0", -1)));
  ensureDeclared(block, "sqlcode", "CHAR(5)", nullptr);
  ensureDeclared(block, "X", "INTEGER", nullptr);
  ensureDeclared(nullptr, "Y", "INTEGER", nullptr);
  EXPECT_EQ(declarations(block->declarations), "SQLCODE:INTEGER=0; X:INTEGER");
  auto* decl = nth<astNodeVarDecl>(block->declarations, 0);
  EXPECT_EQ(decl->line, -1);
  EXPECT_EQ(decl->nameLength, 7);
  EXPECT_FALSE(decl->constant);
  EXPECT_FALSE(decl->notNull);
  EXPECT_EQ(decl->parent, block->declarations);
  EXPECT_EQ(block->declarations->parent, block);
}

TEST(RewriteHelpers, NullRootAndEmptyOptions)
{
  ensureTestPool();
  ErrorList errors;
  transformProgram(nullptr, nullptr, &errors);
  EXPECT_EQ(errors.head, nullptr);
  // Without options there is no datatype map and no exception map.
  ParsedSource* parsed = parseText("DECLARE\n  v VARCHAR2;\nBEGIN\n  RAISE NO_DATA_FOUND;\nEND;\n/\n");
  ASSERT_TRUE(parsed->accepted);
  transformProgram(parsed->context.root, nullptr, &parsed->errors);
  auto* block = nodeAs<astNodeBlock>(parsed->unit(0));
  EXPECT_EQ(tokens(nth<astNodeVarDecl>(block->declarations, 0)->dataType), "VARCHAR2");
  EXPECT_EQ(text(nth<astNodeRaise>(block->body, 0)->condition), "NO_DATA_FOUND");
}

// Sources the parser accepts with recovered errors, odd loops and odd
// names: the pass must go through them.
TEST(RewriteHelpers, DamagedAndOddTrees)
{
  const char* sources[] = {
      "BEGIN x := ; END;\n",
      "CREATE PACKAGE BODY p AS garbage; PROCEDURE a IS BEGIN NULL; END; END p;\n",
      "CREATE TRIGGER t BEFORE INSERT OR UPDATE ON x FOR EACH ROW WHEN (NEW.a > 1)\n"
      "BEGIN :NEW.b := SQL%ROWCOUNT; END;\n",
      "BEGIN FOR i IN .. LOOP NULL; END LOOP; END;\n",
      "BEGIN FOR i IN 1.. LOOP EXIT; END LOOP; END;\n",
      "BEGIN FOR r IN LOOP NULL; END LOOP; END;\n",
      "BEGIN NULL; EXCEPTION WHEN OTHERS THEN NULL; END;\n",
      "CREATE FUNCTION f(a OUT x%TYPE) RETURN t%ROWTYPE IS TYPE r IS RECORD (a NUMBER := f(1));\n"
      "BEGIN RETURN NULL; END;\n",
      "BEGIN EXECUTE IMMEDIATE x USING IN OUT a, OUT b, c RETURNING INTO d; OPEN c FOR x USING y; END;\n",
      "BEGIN x.\"a.b\".delete(1); y := DBMS_SQL.EXECUTE(; END;\n",
      "CREATE PACKAGE pk AS PRAGMA AUTONOMOUS_TRANSACTION; x NUMBER := SQLCODE; END;\n",
      "BEGIN CLOSE c; FETCH c INTO a; IF c%ISOPEN THEN CONTINUE; END IF; END;\n",
  };
  for (const char* source : sources) {
    ParsedSource* parsed = parseText(source);
    if (!parsed->accepted || !parsed->context.root)
      continue;
    transformProgram(parsed->context.root, &parsed->options, &parsed->errors);
    for (ErrorRecord* e = parsed->errors.head; e; e = e->next)
      EXPECT_NE(e->message, nullptr) << source;
  }
}

TEST(RewriteHelpers, NumericForWithEmptyBound)
{
  ParsedSource* parsed = parseText("BEGIN\n  FOR i IN 1 .. LOOP\n    NULL;\n  END LOOP;\nEND;\n/\n");
  if (!parsed->accepted)
    GTEST_SKIP() << "the parser refuses an empty bound";
  transformProgram(parsed->context.root, &parsed->options, &parsed->errors);
  auto* block = nodeAs<astNodeBlock>(parsed->unit(0));
  ASSERT_EQ(block->kind, AST_BLOCK);
  auto* loop = nth<astNodeFor>(block->body, 0);
  if (loop->kind != AST_FOR || loop->loopType != FOR_NUMERIC)
    GTEST_SKIP() << "not parsed as a numeric loop";
  // A loop without its upper bound is reported and not rewritten.
  EXPECT_EQ(loop->expansion, nullptr);
  ASSERT_NE(parsed->errors.head, nullptr);
  EXPECT_EQ(text(parsed->errors.head->text), "FOR loop bound missing");
  EXPECT_EQ(parsed->errors.head->line, 2);
}

TEST(RewriteHelpers, CursorAttributesAndQualifiedCursorNames)
{
  RewriteRun run = rewriteText(
      "CREATE PROCEDURE p IS\n  CURSOR c IS SELECT 1 FROM dual;\nBEGIN\n"
      "  IF c%FOUND AND c%NOTFOUND AND c%ISOPEN THEN\n    x := c%ROWCOUNT;\n  END IF;\n"
      "  IF p.c%ISOPEN THEN NULL; END IF;\n"
      "END;\n/\n");
  EXPECT_EQ(records(run), "");
  auto* p = run.unitAs<astNodeCreateProc>(0, AST_CREATE_PROCEDURE);
  ASSERT_TRUE(p);
  auto* first = nth<astNodeIf>(nodeAs<astNodeBlock>(p->body)->body, 0);
  EXPECT_EQ(tokens(first->expr), "c IS FOUND AND c IS NOT FOUND AND c IS OPEN");
  EXPECT_EQ(tokens(nodeAs<astNodeList>(nth<astNodeAssign>(first->body, 0)->expr)), "CURSOR_ROWCOUNT(c)");
  EXPECT_EQ(tokens(nth<astNodeIf>(nodeAs<astNodeBlock>(p->body)->body, 1)->expr), "SYSZULINTERNAL_BLOCK.c IS OPEN");
}

}  // namespace

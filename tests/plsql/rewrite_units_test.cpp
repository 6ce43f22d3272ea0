// Rewriting of units: body labels, parent links, trigger variables, package
// reorganisation, PRAGMA AUTONOMOUS_TRANSACTION and qualified names.
#include "rewrite_test_util.h"

namespace {

TEST(RewriteUnits, RoutineBodiesGetTheBlockLabelAndParents)
{
  RewriteRun run = rewriteText(
      "CREATE PROCEDURE p IS\nBEGIN\n  NULL;\nEND;\n/\n"
      "CREATE FUNCTION f RETURN NUMBER IS\nBEGIN\n  RETURN 1;\nEND;\n/\n"
      "CREATE PROCEDURE q IS\nBEGIN\n  BEGIN NULL; END;\nEND;\n/\n");
  EXPECT_EQ(records(run), "");
  auto* p = run.unitAs<astNodeCreateProc>(0, AST_CREATE_PROCEDURE);
  auto* f = run.unitAs<astNodeCreateFunc>(1, AST_CREATE_FUNCTION);
  auto* q = run.unitAs<astNodeCreateProc>(2, AST_CREATE_PROCEDURE);
  ASSERT_TRUE(p && f && q);
  EXPECT_EQ(text(nodeAs<astNodeBlock>(p->body)->label), "SYSZULINTERNAL_BLOCK");
  EXPECT_EQ(text(nodeAs<astNodeBlock>(f->body)->label), "SYSZULINTERNAL_BLOCK");
  EXPECT_EQ(p->body->parent, p);
  EXPECT_EQ(p->parent, run.parsed->context.root);
  EXPECT_EQ(run.parsed->context.root->parent, nullptr);
  // A nested block keeps its own label (or none).
  auto* inner = nth<astNodeBlock>(nodeAs<astNodeBlock>(q->body)->body, 0);
  ASSERT_EQ(inner->kind, AST_BLOCK);
  EXPECT_NE(text(inner->label), "SYSZULINTERNAL_BLOCK");
  EXPECT_EQ(inner->parent, nodeAs<astNodeBlock>(q->body)->body);
  EXPECT_EQ(nodeAs<astNodeBlock>(q->body)->body->parent, q->body);
  auto* ret = nth<astNodeReturn>(nodeAs<astNodeBlock>(f->body)->body, 0);
  EXPECT_EQ(listFirst(ret->expr)->parent, ret->expr);
}

TEST(RewriteUnits, TriggerVariablesByEvents)
{
  RewriteRun run = rewriteText(
      "CREATE TRIGGER ti BEFORE INSERT ON emp FOR EACH ROW\nBEGIN\n  :NEW.a := 1;\nEND;\n/\n"
      "CREATE TRIGGER td BEFORE DELETE ON emp FOR EACH ROW\nBEGIN\n  x := :OLD.a;\nEND;\n/\n"
      "CREATE TRIGGER tu BEFORE UPDATE ON emp FOR EACH ROW\nBEGIN\n  NULL;\nEND;\n/\n");
  EXPECT_EQ(records(run), "");
  auto* ti = run.unitAs<astNodeCreateTrigger>(0, AST_CREATE_TRIGGER);
  auto* td = run.unitAs<astNodeCreateTrigger>(1, AST_CREATE_TRIGGER);
  auto* tu = run.unitAs<astNodeCreateTrigger>(2, AST_CREATE_TRIGGER);
  ASSERT_TRUE(ti && td && tu);
  ASSERT_EQ(listLength(ti->referencing), 1);
  ASSERT_NE(ti->newVariable, nullptr);
  EXPECT_EQ(ti->oldVariable, nullptr);
  EXPECT_EQ(tokens(ti->newVariable->alias), "SYSZULINTERNAL_NEW");
  EXPECT_EQ(ti->newVariable->var, TRIGGER_VAR_NEW);
  EXPECT_EQ(text(ti->body->label), "SYSZULINTERNAL_BLOCK");
  auto* assign = nth<astNodeAssign>(ti->body->body, 0);
  EXPECT_EQ(tokens(assign->target), "SYSZULINTERNAL_NEW.a");

  ASSERT_EQ(listLength(td->referencing), 1);
  EXPECT_EQ(td->newVariable, nullptr);
  ASSERT_NE(td->oldVariable, nullptr);
  EXPECT_EQ(tokens(td->oldVariable->alias), "SYSZULINTERNAL_OLD");
  EXPECT_EQ(tokens(nodeAs<astNodeList>(nth<astNodeAssign>(td->body->body, 0)->expr)), "SYSZULINTERNAL_OLD.a");

  ASSERT_EQ(listLength(tu->referencing), 2);
  EXPECT_EQ(nth<astNode>(tu->referencing, 0), tu->newVariable);
  EXPECT_EQ(nth<astNode>(tu->referencing, 1), tu->oldVariable);
  EXPECT_EQ(tokens(tu->oldVariable->alias), "SYSZULINTERNAL_OLD");
}

TEST(RewriteUnits, TriggerReferencingAndWhenCondition)
{
  RewriteRun run = rewriteText(
      "CREATE OR REPLACE TRIGGER t AFTER UPDATE ON emp\n"
      "REFERENCING NEW AS n OLD AS o\n"
      "FOR EACH ROW WHEN (NEW.sal > OLD.sal AND x.y = 1)\n"
      "BEGIN\n  :n.sal := :o.sal;\nEND;\n/\n");
  EXPECT_EQ(records(run), "");
  auto* t = run.unitAs<astNodeCreateTrigger>(0, AST_CREATE_TRIGGER);
  ASSERT_TRUE(t);
  ASSERT_EQ(listLength(t->referencing), 2);
  ASSERT_NE(t->newVariable, nullptr);
  ASSERT_NE(t->oldVariable, nullptr);
  EXPECT_EQ(tokens(t->newVariable->alias), "SYSZULINTERNAL_n");
  EXPECT_EQ(tokens(t->oldVariable->alias), "SYSZULINTERNAL_o");
  EXPECT_EQ(tokens(t->condition), "SYSZULINTERNAL_n.sal > SYSZULINTERNAL_o.sal AND x.y = 1");
  auto* assign = nth<astNodeAssign>(t->body->body, 0);
  EXPECT_EQ(tokens(assign->target), "SYSZULINTERNAL_n.sal");
  EXPECT_EQ(tokens(nodeAs<astNodeList>(assign->expr)), "SYSZULINTERNAL_o.sal");
}

TEST(RewriteUnits, TriggerVariableOutsideTriggerStays)
{
  RewriteRun run = rewriteText("BEGIN\n  x := :NEW.a;\nEND;\n/\n");
  auto* block = run.unitAs<astNodeBlock>(0, AST_BLOCK);
  ASSERT_TRUE(block);
  EXPECT_EQ(tokens(nodeAs<astNodeList>(nth<astNodeAssign>(block->body, 0)->expr)), ":NEW.a");
}

TEST(RewriteUnits, PackageHeadIsReorganised)
{
  RewriteRun run = rewriteText(
      "CREATE OR REPLACE PACKAGE pk AS\n"
      "  c_max CONSTANT NUMBER := 10;\n"
      "  longer_name VARCHAR2(10);\n"
      "  e EXCEPTION;\n"
      "  PROCEDURE p(a NUMBER);\n"
      "  FUNCTION f RETURN VARCHAR2;\n"
      "END pk;\n/\n");
  EXPECT_EQ(records(run), "");
  auto* head = run.unitAs<astNodeCreatePkgHead>(0, AST_CREATE_PKG_HEAD);
  ASSERT_TRUE(head);
  EXPECT_EQ(head->elements, nullptr);
  EXPECT_EQ(kinds(head->declarations), "19 19 25");
  // A function declared in a package spec is parsed as a bodiless
  // createFunction; it is kept with the prototypes.
  EXPECT_EQ(kinds(head->prototypes), "41 10");
  EXPECT_EQ(head->maxNameLength, 11);
  auto* c = nth<astNodeVarDecl>(head->declarations, 0);
  EXPECT_EQ(c->package, head);
  EXPECT_EQ(c->nameLength, 5);
  // Defaults in a package are put in parentheses.
  EXPECT_EQ(tokens(c->defaultValue), "( 10 )");
  EXPECT_EQ(tokens(nth<astNodeVarDecl>(head->declarations, 1)->dataType), "VARCHAR2 ( 10 )");
  EXPECT_EQ(nth<astNodeProcProto>(head->prototypes, 0)->package, head);
  auto* f = nth<astNodeCreateFunc>(head->prototypes, 1);
  EXPECT_EQ(f->package, head);
  EXPECT_EQ(tokens(f->returns), "VARCHAR2 ( 4096 )");
  EXPECT_EQ(head->declarations->parent, head);
}

TEST(RewriteUnits, PackageBodyGetsInitProcedure)
{
  RewriteRun run = rewriteText(
      "CREATE OR REPLACE PACKAGE BODY pk AS\n"
      "  g NUMBER := 0;\n"
      "  PROCEDURE p;\n"
      "  PROCEDURE p IS BEGIN g := 1; END;\n"
      "  FUNCTION f RETURN NUMBER IS BEGIN RETURN g; END;\n"
      "BEGIN\n"
      "  g := 5;\n"
      "END pk;\n/\n");
  EXPECT_EQ(records(run), "");
  auto* body = run.unitAs<astNodeCreatePkgBody>(0, AST_CREATE_PKG_BODY);
  ASSERT_TRUE(body);
  EXPECT_EQ(body->elements, nullptr);
  EXPECT_EQ(kinds(body->declarations), "19");
  EXPECT_EQ(kinds(body->forwardDeclarations), "41");
  EXPECT_EQ(kinds(body->prototypes), "16 10");
  EXPECT_EQ(nth<astNodeCreateProc>(body->prototypes, 0)->package, body);
  EXPECT_EQ(nth<astNodeCreateFunc>(body->prototypes, 1)->package, body);
  EXPECT_EQ(body->maxNameLength, 1);
  ASSERT_NE(body->constructor, nullptr);
  ASSERT_EQ(body->constructor->kind, AST_LIST);
  auto* ctor = nodeAs<astNodeList>(body->constructor);
  ASSERT_EQ(listLength(ctor), 1);
  auto* init = nth<astNodeCreateProc>(ctor, 0);
  ASSERT_EQ(init->kind, AST_CREATE_PROCEDURE);
  EXPECT_EQ(tokens(init->name), "SYS_INIT");
  EXPECT_FALSE(init->REPLACE);
  EXPECT_TRUE(init->AUTHID);
  EXPECT_EQ(init->args, nullptr);
  EXPECT_EQ(init->package, body);
  EXPECT_EQ(init->line, body->line);
  ASSERT_NE(init->body, nullptr);
  EXPECT_EQ(text(nodeAs<astNodeBlock>(init->body)->label), "SYSZULINTERNAL_BLOCK");
  EXPECT_EQ(tokens(nth<astNodeAssign>(nodeAs<astNodeBlock>(init->body)->body, 0)->target), "g");
  EXPECT_EQ(init->parent, ctor);
  EXPECT_EQ(ctor->parent, body);
}

TEST(RewriteUnits, PackageBodyWithoutInitOrElements)
{
  RewriteRun run = rewriteText(
      "CREATE PACKAGE BODY a AS\n  PROCEDURE p IS BEGIN NULL; END;\nEND a;\n/\n"
      "CREATE PACKAGE BODY b AS\nEND b;\n/\n");
  auto* a = run.unitAs<astNodeCreatePkgBody>(0, AST_CREATE_PKG_BODY);
  auto* b = run.unitAs<astNodeCreatePkgBody>(1, AST_CREATE_PKG_BODY);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->constructor, nullptr);
  ASSERT_NE(b->constructor, nullptr);
  auto* init = nth<astNodeCreateProc>(nodeAs<astNodeList>(b->constructor), 0);
  ASSERT_EQ(init->kind, AST_CREATE_PROCEDURE);
  EXPECT_EQ(tokens(init->name), "SYS_INIT");
  ASSERT_NE(init->body, nullptr);
  EXPECT_EQ(nodeAs<astNodeBlock>(init->body)->body, nullptr);
  EXPECT_EQ(b->maxNameLength, 0);
}

TEST(RewriteUnits, AutonomousTransactionPragma)
{
  RewriteRun run = rewriteText(
      "CREATE PROCEDURE p IS\n  PRAGMA AUTONOMOUS_TRANSACTION;\nBEGIN\n  NULL;\nEND;\n/\n"
      "CREATE FUNCTION f RETURN NUMBER IS\n  PRAGMA AUTONOMOUS_TRANSACTION;\nBEGIN\n  RETURN 1;\nEND;\n/\n"
      "DECLARE\n  PRAGMA AUTONOMOUS_TRANSACTION;\nBEGIN\n  NULL;\nEND;\n/\n");
  auto* p = run.unitAs<astNodeCreateProc>(0, AST_CREATE_PROCEDURE);
  ASSERT_TRUE(p);
  EXPECT_TRUE(p->AUTONOMOUS);
  EXPECT_EQ(records(run),
            "AUTONOMOUS_XACT not permitted in this context|2|8|<null>|AUTONOMOUS_XACT|<null>\n"
            "AUTONOMOUS_XACT not permitted in this context|2|14|<null>|AUTONOMOUS_XACT|<null>");
  // Pragmas do not count for the longest name.
  EXPECT_EQ(nodeAs<astNodeBlock>(p->body)->maxNameLength, 0u);
}

TEST(RewriteUnits, QualifiedNamesOfTheRoutine)
{
  RewriteRun run = rewriteText(
      "CREATE PROCEDURE p IS\n  x NUMBER;\nBEGIN\n"
      "  p.x := P.x + q.x;\n"
      "  y := p;\n"
      "END;\n/\n");
  EXPECT_EQ(records(run), "");
  auto* p = run.unitAs<astNodeCreateProc>(0, AST_CREATE_PROCEDURE);
  ASSERT_TRUE(p);
  auto* first = nth<astNodeAssign>(nodeAs<astNodeBlock>(p->body)->body, 0);
  EXPECT_EQ(tokens(first->target), "SYSZULINTERNAL_BLOCK.x");
  EXPECT_EQ(tokens(nodeAs<astNodeList>(first->expr)), "SYSZULINTERNAL_BLOCK.x + q.x");
  EXPECT_EQ(tokens(nodeAs<astNodeList>(nth<astNodeAssign>(nodeAs<astNodeBlock>(p->body)->body, 1)->expr)), "p");
}

TEST(RewriteUnits, QualifiedNamesInsidePackagesStay)
{
  RewriteRun run = rewriteText(
      "CREATE PACKAGE BODY pk AS\n  PROCEDURE p IS BEGIN p.x := 1; END;\nEND pk;\n/\n");
  auto* body = run.unitAs<astNodeCreatePkgBody>(0, AST_CREATE_PKG_BODY);
  ASSERT_TRUE(body);
  auto* p = nth<astNodeCreateProc>(body->prototypes, 0);
  EXPECT_EQ(tokens(nth<astNodeAssign>(nodeAs<astNodeBlock>(p->body)->body, 0)->target), "p.x");
}

TEST(RewriteUnits, DdlIsNotEnteredButReported)
{
  RewriteRun run = rewriteText("CREATE TABLE t (a NUMBER DEFAULT SQLCODE);\n"
                               "COMMENT ON TABLE t IS 'x';\n");
  astNode* table = run.unit(0);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->parent, run.parsed->context.root);
  EXPECT_EQ(records(run), "CREATE TABLE not supported|2|1|<null>|CREATE TABLE...|<null>\n"
                          "COMMENT ON not supported|2|2|<null>|COMMENT ON...|<null>");
}

TEST(RewriteUnits, ForallIsNotEnteredButReported)
{
  RewriteRun run = rewriteText("CREATE PROCEDURE p IS\nBEGIN\n"
                               "  FORALL i IN 1..n\n    DELETE FROM t WHERE a = p.x(i) AND b = SQL%ROWCOUNT;\n"
                               "END;\n/\n");
  EXPECT_EQ(records(run), "FORALL not supported|2|3|<null>|FORALL...|<null>");
  auto* p = run.unitAs<astNodeCreateProc>(0, AST_CREATE_PROCEDURE);
  ASSERT_TRUE(p);
  auto* forall = nth<astNodeForall>(nodeAs<astNodeBlock>(p->body)->body, 0);
  ASSERT_EQ(forall->kind, AST_FORALL);
  EXPECT_EQ(forall->parent, nodeAs<astNodeBlock>(p->body)->body);
  ASSERT_NE(forall->body, nullptr);
  auto* del = nodeAs<astNodeSqlStmt>(forall->body);
  EXPECT_EQ(tokens(del->body), "FROM t WHERE a = p.x ( i ) AND b = SQL%ROWCOUNT");
  EXPECT_EQ(del->scope, nullptr);
  EXPECT_FALSE(nodeAs<astNodeBlock>(p->body)->usesRowcount);
}

// Every construct that the translation leaves out is reported once, at its
// line, with its own message and context.
TEST(RewriteUnits, EveryLeftOutConstructIsReported)
{
  struct Case {
    const char* source;
    const char* record;
  };
  // The DDL kinds share one path: one with a body alone, one with a name.
  const Case cases[] = {
      {"COMMENT ON TABLE t IS 'x';\n", "COMMENT ON not supported|2|1|<null>|COMMENT ON...|<null>"},
      {"ALTER CLUSTER c SIZE 512;\n", "ALTER CLUSTER not supported|2|1|<null>|ALTER CLUSTER...|<null>"},
      {"CREATE TABLE t (a NUMBER);\n", "CREATE TABLE not supported|2|1|<null>|CREATE TABLE...|<null>"},
      {"ALTER TRIGGER tr DISABLE;\n", "ALTER TRIGGER not supported|2|1|<null>|ALTER TRIGGER...|<null>"},
      {"CREATE TYPE ty AS OBJECT (a NUMBER);\n/\n", "CREATE TYPE not supported|2|1|<null>|CREATE TYPE...|<null>"},
      {"GRANT SELECT ON t TO u;\n", "GRANT not supported|2|1|<null>|GRANT...|<null>"},
      {"CREATE JAVA SOURCE NAMED js AS public class A { }\n/\n",
       "CREATE JAVA SOURCE not supported|2|1|<null>|CREATE JAVA SOURCE...|<null>"},
      {"CREATE FUNCTION f RETURN t PIPELINED IS\nBEGIN\n  PIPE ROW (1);\nEND;\n/\n",
       "PIPE ROW not supported|2|3|<null>|PIPE ROW...|<null>"},
      {"DECLARE\n  SUBTYPE st IS NUMBER;\nBEGIN\n  NULL;\nEND;\n/\n",
       "SUBTYPE not supported|2|2|<null>|SUBTYPE...|<null>"},
      {"DECLARE\n  PROCEDURE np IS BEGIN NULL; END;\nBEGIN\n  NULL;\nEND;\n/\n",
       "Nested PROCEDURE not supported|2|2|<null>|PROCEDURE...|<null>"},
      {"DECLARE\n  FUNCTION nf RETURN NUMBER IS BEGIN RETURN 1; END;\nBEGIN\n  NULL;\nEND;\n/\n",
       "Nested FUNCTION not supported|2|2|<null>|FUNCTION...|<null>"},
  };
  for (const Case& c : cases) {
    RewriteRun run = rewriteText(c.source);
    EXPECT_EQ(records(run), c.record) << c.source;
  }
}

}  // namespace

// Rule actions for top-level units: routines with arguments and defaults,
// packages, triggers, DDL statements, grants, Java sources, wrapped units.
#include <gtest/gtest.h>

#include <string>

#include "parser_test_util.h"
#include "plsql_parser.hpp"

namespace {

std::string str(const char* text)
{
  return text ? text : "<null>";
}

template <class T>
T* onlyUnit(const char* source, int kind)
{
  ParsedSource* p = parseText(source);
  EXPECT_TRUE(p->accepted) << source;
  for (ErrorRecord* e : p->errorList())
    ADD_FAILURE() << "unexpected error record: " << str(e->message) << " at line " << e->line;
  EXPECT_EQ(listLength(p->units()), 1) << source;
  astNode* unit = p->unit(0);
  EXPECT_NE(unit, nullptr);
  if (!unit)
    return nullptr;
  EXPECT_EQ(unit->kind, kind) << source;
  return unit->kind == kind ? nodeAs<T>(unit) : nullptr;
}

TEST(ActionsUnits, ProcedureWithArgumentsAndDefaults)
{
  auto* proc = onlyUnit<astNodeCreateProc>(
      "CREATE OR REPLACE PROCEDURE app.p(\n"
      "  a IN NUMBER := 5,\n"
      "  b OUT NOCOPY VARCHAR2,\n"
      "  c IN OUT t.col%TYPE DEFAULT f(1, 2),\n"
      "  d DATE)\n"
      "IS\n"
      "  x NUMBER(10, 2) NOT NULL := 0;\n"
      "BEGIN\n"
      "  NULL;\n"
      "END p;\n",
      AST_CREATE_PROCEDURE);
  ASSERT_NE(proc, nullptr);
  EXPECT_EQ(proc->line, 0);
  EXPECT_EQ(tokens(proc->name), "app.p");
  EXPECT_TRUE(proc->REPLACE);
  EXPECT_TRUE(proc->AUTHID);
  EXPECT_FALSE(proc->WRAPPED);
  ASSERT_EQ(listLength(proc->args), 4);
  auto* a = nth<astNodeFormalArg>(proc->args, 0);
  EXPECT_EQ(a->kind, AST_FORMAL_ARG);
  EXPECT_EQ(tokens(a->name), "a");
  EXPECT_EQ(a->mode, ARG_IN);
  EXPECT_EQ(tokens(a->dataType), "NUMBER");
  EXPECT_EQ(tokens(a->defaultValue), "5");
  EXPECT_EQ(a->line, 1);
  auto* b = nth<astNodeFormalArg>(proc->args, 1);
  EXPECT_EQ(b->mode, ARG_OUT);
  EXPECT_EQ(tokens(b->dataType), "VARCHAR2");
  EXPECT_EQ(b->defaultValue, nullptr);
  auto* c = nth<astNodeFormalArg>(proc->args, 2);
  EXPECT_EQ(c->mode, ARG_IN_OUT);
  EXPECT_EQ(tokens(c->defaultValue), "f ( 1 , 2 )");
  EXPECT_EQ(nth<astNodeFormalArg>(proc->args, 3)->mode, ARG_IN);
  ASSERT_NE(proc->body, nullptr);
  ASSERT_EQ(proc->body->kind, AST_BLOCK);
  EXPECT_FALSE(nodeAs<astNodeBlock>(proc->body)->anonymous);
  EXPECT_EQ(proc->body->line, 7);
  auto* x = nth<astNodeVarDecl>(nodeAs<astNodeBlock>(proc->body)->declarations, 0);
  ASSERT_EQ(x->kind, AST_VAR_DECL);
  EXPECT_EQ(tokens(x->variableName), "x");
  EXPECT_EQ(x->variableType, VAR_SCALAR);
  EXPECT_EQ(tokens(x->dataType), "NUMBER ( 10 , 2 )");
  EXPECT_TRUE(x->notNull);
  EXPECT_EQ(tokens(x->defaultValue), "0");
  EXPECT_EQ(x->line, 6);
}

TEST(ActionsUnits, ProcedureWithoutArgumentsAndAuthid)
{
  auto* proc = onlyUnit<astNodeCreateProc>("CREATE OR REPLACE PROCEDURE p IS BEGIN NULL; END;", AST_CREATE_PROCEDURE);
  ASSERT_NE(proc, nullptr);
  EXPECT_TRUE(proc->REPLACE);
  EXPECT_TRUE(proc->AUTHID);
  EXPECT_EQ(proc->args, nullptr);
  EXPECT_FALSE(nodeAs<astNodeBlock>(proc->body)->anonymous);

  auto* invoker = onlyUnit<astNodeCreateProc>("CREATE PROCEDURE p AUTHID CURRENT_USER AS BEGIN NULL; END;",
                                              AST_CREATE_PROCEDURE);
  ASSERT_NE(invoker, nullptr);
  EXPECT_FALSE(invoker->REPLACE);
  EXPECT_FALSE(invoker->AUTHID);
  auto* definer =
      onlyUnit<astNodeCreateProc>("CREATE PROCEDURE p AUTHID DEFINER AS BEGIN NULL; END;", AST_CREATE_PROCEDURE);
  ASSERT_NE(definer, nullptr);
  EXPECT_TRUE(definer->AUTHID);
}

TEST(ActionsUnits, FunctionWithOptions)
{
  auto* fn = onlyUnit<astNodeCreateFunc>(
      "CREATE FUNCTION f(n IN NUMBER) RETURN VARCHAR2 DETERMINISTIC PARALLEL_ENABLE IS\n"
      "BEGIN\n"
      "  RETURN to_char(n);\n"
      "END;\n",
      AST_CREATE_FUNCTION);
  ASSERT_NE(fn, nullptr);
  EXPECT_EQ(tokens(fn->name), "f");
  EXPECT_FALSE(fn->REPLACE);
  EXPECT_EQ(tokens(fn->returns), "VARCHAR2");
  EXPECT_EQ(tokens(fn->options), "DETERMINISTIC PARALLEL_ENABLE");
  EXPECT_EQ(nth<astNodeToken>(fn->options, 0)->tokenCode, T_DETERMINISTIC);
  EXPECT_EQ(nth<astNodeToken>(fn->options, 1)->tokenCode, T_PARALLEL_ENABLE);
  ASSERT_EQ(listLength(fn->args), 1);
  ASSERT_EQ(fn->body->kind, AST_BLOCK);
  auto* ret = nth<astNodeReturn>(nodeAs<astNodeBlock>(fn->body)->body, 0);
  ASSERT_EQ(ret->kind, AST_RETURN);
  EXPECT_EQ(tokens(ret->expr), "to_char ( n )");
  EXPECT_EQ(ret->line, 2);
}

TEST(ActionsUnits, ExternalRoutineBodyIsAToken)
{
  auto* fn = onlyUnit<astNodeCreateFunc>(
      "CREATE FUNCTION f RETURN NUMBER AS LANGUAGE JAVA NAME 'X.f() return int';", AST_CREATE_FUNCTION);
  ASSERT_NE(fn, nullptr);
  astNode* body = fn->body;
  ASSERT_NE(body, nullptr);
  ASSERT_EQ(body->kind, AST_TOKEN);
  EXPECT_EQ(nodeAs<astNodeToken>(body)->tokenCode, 399);
  EXPECT_EQ(str(nodeAs<astNodeToken>(body)->text), "LANGUAGE");
}

TEST(ActionsUnits, PackageSpecification)
{
  auto* head = onlyUnit<astNodeCreatePkgHead>(
      "CREATE OR REPLACE PACKAGE pk AUTHID CURRENT_USER AS\n"
      "  c_max CONSTANT PLS_INTEGER := 10;\n"
      "  TYPE t_tab IS TABLE OF VARCHAR2(30) INDEX BY PLS_INTEGER;\n"
      "  e_fail EXCEPTION;\n"
      "  PROCEDURE run(a NUMBER);\n"
      "  FUNCTION calc(x NUMBER) RETURN NUMBER PIPELINED;\n"
      "END pk;\n",
      AST_CREATE_PKG_HEAD);
  ASSERT_NE(head, nullptr);
  EXPECT_EQ(tokens(head->name), "pk");
  EXPECT_TRUE(head->REPLACE);
  EXPECT_FALSE(head->AUTHID);
  EXPECT_FALSE(head->WRAPPED);
  // A function ending in ';' right after its options reduces as a routine
  // without body (the earlier rule of a reduce/reduce conflict), not as a
  // prototype.
  EXPECT_EQ(kinds(head->elements), "19 22 25 41 10");
  auto* tab = nth<astNodeTableDecl>(head->elements, 1);
  EXPECT_EQ(tokens(tab->dataType), "VARCHAR2 ( 30 )");
  EXPECT_EQ(tokens(tab->indexType), "PLS_INTEGER");
  EXPECT_FALSE(tab->noIndexBy);
  EXPECT_EQ(tab->variableType, VAR_TABLE);
  auto* proto = nth<astNodeProcProto>(head->elements, 3);
  EXPECT_EQ(tokens(proto->name), "run");
  EXPECT_EQ(listLength(proto->args), 1);
  EXPECT_EQ(proto->line, 4);
  auto* fn = nth<astNodeCreateFunc>(head->elements, 4);
  EXPECT_EQ(tokens(fn->returns), "NUMBER");
  EXPECT_EQ(tokens(fn->options), "PIPELINED");
  EXPECT_EQ(fn->body, nullptr);
  EXPECT_EQ(fn->line, 5);
}

TEST(ActionsUnits, PackageBodyWithMembersAndConstructor)
{
  auto* body = onlyUnit<astNodeCreatePkgBody>(
      "CREATE PACKAGE BODY pk IS\n"
      "  g NUMBER;\n"
      "  CURSOR cur(p NUMBER) IS SELECT a FROM t WHERE b = p;\n"
      "  PROCEDURE run(a NUMBER) IS BEGIN g := a; END run;\n"
      "  FUNCTION calc(x NUMBER) RETURN NUMBER IS BEGIN RETURN x * 2; END;\n"
      "BEGIN\n"
      "  g := 0;\n"
      "END pk;\n",
      AST_CREATE_PKG_BODY);
  ASSERT_NE(body, nullptr);
  EXPECT_EQ(tokens(body->name), "pk");
  EXPECT_FALSE(body->REPLACE);
  EXPECT_EQ(kinds(body->elements), "19 20 16 10 3");
  auto* cursor = nth<astNodeCursorDecl>(body->elements, 1);
  EXPECT_EQ(cursor->variableType, VAR_CURSOR);
  EXPECT_EQ(tokens(cursor->variableName), "cur");
  EXPECT_EQ(tokens(nodeAs<astNodeList>(cursor->query)), "SELECT a FROM t WHERE b = p");
  EXPECT_EQ(listLength(cursor->queryArgs), 1);
  auto* ctor = nth<astNodeBlock>(body->elements, 4);
  EXPECT_FALSE(ctor->anonymous);
  EXPECT_EQ(ctor->line, 5);
  EXPECT_EQ(kinds(ctor->body), "2");
}

TEST(ActionsUnits, TriggerWithReferencingAndUpdateOf)
{
  auto* trg = onlyUnit<astNodeCreateTrigger>(
      "CREATE OR REPLACE TRIGGER trg_emp\n"
      "  BEFORE INSERT OR UPDATE OF sal, comm OR DELETE ON emp\n"
      "  REFERENCING NEW AS n OLD AS o\n"
      "  FOR EACH ROW\n"
      "  WHEN (n.sal > 0)\n"
      "BEGIN\n"
      "  :n.sal := :o.sal;\n"
      "END;\n",
      AST_CREATE_TRIGGER);
  ASSERT_NE(trg, nullptr);
  EXPECT_EQ(tokens(trg->name), "trg_emp");
  EXPECT_TRUE(trg->REPLACE);
  EXPECT_EQ(trg->point, TRIGGER_BEFORE);
  EXPECT_EQ(trg->events, TRIGGER_INSERT | TRIGGER_UPDATE | TRIGGER_DELETE);
  // The columns of UPDATE OF: a list of name lists.
  ASSERT_EQ(listLength(trg->updateColumns), 2);
  EXPECT_EQ(tokens(nth<astNodeList>(trg->updateColumns, 0)), "sal");
  EXPECT_EQ(tokens(nth<astNodeList>(trg->updateColumns, 1)), "comm");
  EXPECT_EQ(tokens(trg->relation), "emp");
  ASSERT_EQ(listLength(trg->referencing), 2);
  auto* n = nth<astNodeTriggerArg>(trg->referencing, 0);
  EXPECT_EQ(n->kind, AST_TRIGGER_VAR);
  EXPECT_EQ(n->var, TRIGGER_VAR_NEW);
  EXPECT_EQ(tokens(n->alias), "n");
  EXPECT_EQ(nth<astNodeTriggerArg>(trg->referencing, 1)->var, TRIGGER_VAR_OLD);
  EXPECT_TRUE(trg->forEachRow);
  EXPECT_FALSE(trg->ofTrigger);
  EXPECT_EQ(tokens(trg->condition), "n.sal > 0");
  ASSERT_EQ(trg->body->kind, AST_BLOCK);
  auto* assign = nth<astNodeAssign>(trg->body->body, 0);
  ASSERT_EQ(assign->kind, AST_ASSIGN);
  EXPECT_EQ(tokens(assign->target), ":n.sal");
  EXPECT_EQ(tokens(nodeAs<astNodeList>(assign->expr)), ":o.sal");
  EXPECT_EQ(assign->line, 6);
}

TEST(ActionsUnits, TriggerOtherForms)
{
  auto* after = onlyUnit<astNodeCreateTrigger>(
      "CREATE TRIGGER t AFTER UPDATE ON emp FOLLOWS other DISABLE BEGIN NULL; END t;", AST_CREATE_TRIGGER);
  ASSERT_NE(after, nullptr);
  EXPECT_FALSE(after->REPLACE);
  EXPECT_EQ(after->point, TRIGGER_AFTER);
  EXPECT_EQ(after->events, TRIGGER_UPDATE);
  EXPECT_EQ(after->updateColumns, nullptr);
  EXPECT_EQ(tokens(after->follows), "other");
  EXPECT_TRUE(after->disable);
  EXPECT_FALSE(after->forEachRow);

  auto* instead =
      onlyUnit<astNodeCreateTrigger>("CREATE TRIGGER t INSTEAD OF INSERT ON v BEGIN NULL; END;", AST_CREATE_TRIGGER);
  ASSERT_NE(instead, nullptr);
  EXPECT_EQ(instead->point, TRIGGER_INSTEAD_OF);
  EXPECT_EQ(instead->events, TRIGGER_INSERT);

  auto* of = onlyUnit<astNodeCreateTrigger>(
      "CREATE TRIGGER t BEFORE DELETE OF a, b ON emp FOR EACH ROW BEGIN NULL; END;", AST_CREATE_TRIGGER);
  ASSERT_NE(of, nullptr);
  EXPECT_TRUE(of->ofTrigger);
  EXPECT_EQ(of->events, TRIGGER_DELETE);
  EXPECT_EQ(tokens(of->ofColumns), "a , b");
  EXPECT_EQ(tokens(of->relation), "emp");
}

TEST(ActionsUnits, DdlUnitsKeepNameAndBody)
{
  ParsedSource* p = parseText(
      "CREATE TABLE emp (id NUMBER(5) NOT NULL, name VARCHAR2(30) DEFAULT 'x', CONSTRAINT pk PRIMARY KEY (id));\n"
      "CREATE SEQUENCE seq START WITH 1;\n"
      "CREATE OR REPLACE VIEW v (a, b) AS SELECT 1, 2 FROM dual;\n"
      "CREATE UNIQUE INDEX ix ON emp (name);\n"
      "CREATE PUBLIC SYNONYM s FOR emp;\n"
      "DROP TABLE emp;\n"
      "DROP MATERIALIZED VIEW mv;\n"
      "ALTER TABLE emp ADD x NUMBER;\n"
      "CREATE GLOBAL TEMPORARY TABLE g (a NUMBER) ON COMMIT DELETE ROWS;\n"
      "COMMENT ON TABLE emp IS 'people';\n"
      "DROP PACKAGE pk;\n"
      "DROP FUNCTION f;\n"
      "DROP PROCEDURE p;\n"
      "DROP PACKAGE BODY pk;\n");
  ASSERT_TRUE(p->accepted);
  for (ErrorRecord* e : p->errorList())
    ADD_FAILURE() << str(e->message) << " at line " << e->line;
  // DROP FUNCTION and DROP PROCEDURE keep nothing.
  EXPECT_EQ(kinds(p->units()), "80 78 84 74 79 95 99 63 80 8 15 14");

  auto* table = nodeAs<astNodeDdlTable>(p->unit(0));
  EXPECT_EQ(tokens(table->name), "emp");
  EXPECT_FALSE(table->gtt);
  EXPECT_EQ(kinds(table->cols), "67 67 69");
  auto* id = nth<astNodeColDecl>(table->cols, 0);
  EXPECT_EQ(tokens(id->colName), "id");
  EXPECT_EQ(tokens(id->dType), "NUMBER ( 5 )");
  EXPECT_TRUE(id->notNull);
  auto* name = nth<astNodeColDecl>(table->cols, 1);
  EXPECT_EQ(tokens(name->dfltValue), "'x'");
  auto* pk = nth<astNodeConstraint>(table->cols, 2);
  EXPECT_EQ(pk->consType, CONSTRAINT_PRIMARY_KEY);
  EXPECT_EQ(tokens(pk->name), "pk");
  EXPECT_EQ(tokens(pk->cols), "id");

  auto* seq = nodeAs<astNodeDdl>(p->unit(1));
  EXPECT_EQ(tokens(seq->name), "seq");
  EXPECT_EQ(tokens(seq->body), "START WITH 1");
  EXPECT_EQ(seq->line, 1);

  auto* view = nodeAs<astNodeDdlView>(p->unit(2));
  EXPECT_EQ(tokens(view->name), "v");
  EXPECT_EQ(tokens(view->columns), "a , b");
  EXPECT_EQ(tokens(view->body), "AS SELECT 1 , 2 FROM dual");
  EXPECT_FALSE(view->objview);

  auto* index = nodeAs<astNodeDdlIndex>(p->unit(3));
  EXPECT_TRUE(index->unq);
  EXPECT_FALSE(index->bmap);
  EXPECT_EQ(tokens(index->name), "ix");
  EXPECT_EQ(tokens(index->body), "ON emp ( name )");

  auto* synonym = nodeAs<astNodeDdlSynonym>(p->unit(4));
  EXPECT_TRUE(synonym->pub);
  EXPECT_EQ(tokens(synonym->name), "s");

  EXPECT_TRUE(nodeAs<astNodeDdlDropView>(p->unit(6))->mat);
  EXPECT_EQ(tokens(nodeAs<astNodeDdl>(p->unit(7))->body), "ADD x NUMBER");
  auto* gtt = nodeAs<astNodeDdlTable>(p->unit(8));
  EXPECT_TRUE(gtt->gtt);
  EXPECT_EQ(gtt->cols, nullptr);
  EXPECT_EQ(tokens(nodeAs<astNodeDdl>(p->unit(9))->body), "TABLE emp IS 'people'");
  EXPECT_EQ(tokens(nodeAs<astNodeDropPkgHead>(p->unit(10))->name), "pk");
  EXPECT_EQ(tokens(nodeAs<astNodeDropPkgBody>(p->unit(11))->name), "pk");
}

TEST(ActionsUnits, TopLevelGrantAndRevoke)
{
  ParsedSource* p = parseText("GRANT EXECUTE ON pk TO scott;\nREVOKE SELECT ON emp FROM scott;\n");
  ASSERT_TRUE(p->accepted);
  EXPECT_EQ(kinds(p->units()), "102 107");
  auto* grant = nodeAs<astNodeDdl>(p->unit(0));
  EXPECT_EQ(tokens(grant->body), "EXECUTE ON pk TO scott");
  EXPECT_EQ(grant->name, nullptr);
  EXPECT_EQ(grant->line, 0);
  EXPECT_EQ(nodeAs<astNodeDdl>(p->unit(1))->line, 1);
}

TEST(ActionsUnits, TypesAndWrappedUnits)
{
  ParsedSource* p = parseText(
      "CREATE OR REPLACE TYPE t_obj AS OBJECT (a NUMBER);\n/\n"
      "CREATE TYPE t_sub UNDER t_obj (b NUMBER);\n/\n"
      "CREATE OR REPLACE PACKAGE pw WRAPPED\na000000\nabcd\n/\n"
      "CREATE PROCEDURE pr WRAPPED\nxyz\n/\n");
  ASSERT_TRUE(p->accepted);
  EXPECT_EQ(kinds(p->units()), "82 82 13 16");
  auto* type = nodeAs<astNodeDdlType>(p->unit(0));
  EXPECT_TRUE(type->REPLACE);
  EXPECT_FALSE(type->UNDER);
  EXPECT_EQ(tokens(type->name), "t_obj");
  EXPECT_EQ(tokens(type->body), "OBJECT ( a NUMBER ) ;");
  EXPECT_TRUE(nodeAs<astNodeDdlType>(p->unit(1))->UNDER);
  auto* wrapped = nodeAs<astNodeCreatePkgHead>(p->unit(2));
  EXPECT_TRUE(wrapped->WRAPPED);
  EXPECT_TRUE(wrapped->AUTHID);
  EXPECT_EQ(tokens(wrapped->name), "pw");
  auto* proc = nodeAs<astNodeCreateProc>(p->unit(3));
  EXPECT_TRUE(proc->WRAPPED);
  EXPECT_TRUE(proc->AUTHID);
}

TEST(ActionsUnits, JavaSource)
{
  ParsedSource* p = parseText(
      "CREATE OR REPLACE AND COMPILE JAVA SOURCE NAMED \"Hello\" AS\n"
      "public class Hello { public static String hi() { return \"hi\"; } }\n/\n");
  ASSERT_EQ(listLength(p->units()), 1);
  auto* java = nodeAs<astNodeJavaSource>(p->unit(0));
  ASSERT_EQ(java->kind, AST_JAVA_SOURCE);
  EXPECT_TRUE(java->resolveOrCompile);
  EXPECT_FALSE(java->noForce);
  ASSERT_NE(java->name, nullptr);
  EXPECT_EQ(java->body, nullptr);
}

}  // namespace

namespace {

struct DdlCase {
  const char* source;
  int kind;
  const char* name;  // null: the kind keeps no name
  const char* body;
};

TEST(ActionsUnits, EveryDdlKind)
{
  const DdlCase cases[] = {
      {"CREATE CLUSTER cl (a NUMBER);", AST_CREATE_CLUSTER, nullptr, "cl ( a NUMBER )"},
      {"ALTER CLUSTER cl SIZE 10;", AST_ALTER_CLUSTER, nullptr, "cl SIZE 10"},
      {"DROP CLUSTER cl;", AST_DROP_CLUSTER, nullptr, "cl"},
      {"CREATE DIMENSION d LEVEL a IS t.a;", AST_CREATE_DIMENSION, nullptr, "d LEVEL a IS t.a"},
      {"ALTER DIMENSION d COMPILE;", AST_ALTER_DIMENSION, nullptr, "d COMPILE"},
      {"DROP DIMENSION d;", AST_DROP_DIMENSION, nullptr, "d"},
      {"CREATE OR REPLACE DIRECTORY dir AS '/tmp';", AST_CREATE_DIRECTORY, nullptr, "dir AS '/tmp'"},
      {"DROP DIRECTORY dir;", AST_DROP_DIRECTORY, nullptr, "dir"},
      {"CREATE OUTLINE o ON SELECT 1 FROM dual;", AST_CREATE_OUTLINE, nullptr, "o ON SELECT 1 FROM dual"},
      {"ALTER OUTLINE o REBUILD;", AST_ALTER_OUTLINE, nullptr, "o REBUILD"},
      {"DROP OUTLINE o;", AST_DROP_OUTLINE, nullptr, "o"},
      {"CREATE ROLE r;", AST_CREATE_ROLE, "r", "<null>"},
      {"ALTER ROLE r NOT IDENTIFIED;", AST_ALTER_ROLE, "r", "NOT IDENTIFIED"},
      {"DROP ROLE r;", AST_DROP_ROLE, "r", "<null>"},
      {"CREATE USER u IDENTIFIED BY p;", AST_CREATE_USER, "u", "IDENTIFIED BY p"},
      {"ALTER USER u ACCOUNT LOCK;", AST_ALTER_USER, "u", "ACCOUNT LOCK"},
      {"DROP USER u CASCADE;", AST_DROP_USER, "u", "CASCADE"},
      {"ALTER SEQUENCE s INCREMENT BY 2;", AST_ALTER_SEQUENCE, "s", "INCREMENT BY 2"},
      {"DROP SEQUENCE s;", AST_DROP_SEQUENCE, "s", "<null>"},
      {"DROP INDEX ix;", AST_DROP_INDEX, "ix", "<null>"},
      {"DROP SYNONYM sy;", AST_DROP_SYNONYM, "sy", "<null>"},
      {"DROP TYPE ty FORCE;", AST_DROP_TYPE, "ty", "FORCE"},
      {"DROP VIEW v;", AST_DROP_VIEW, "v", "<null>"},
      {"CREATE TABLESPACE ts DATAFILE 'f';", AST_CREATE_TABLESPACE, nullptr, "ts DATAFILE 'f'"},
      {"ALTER TABLESPACE ts OFFLINE;", AST_ALTER_TABLESPACE, nullptr, "ts OFFLINE"},
      {"DROP TABLESPACE ts;", AST_DROP_TABLESPACE, nullptr, "ts"},
      {"ALTER TRIGGER tr ENABLE;", AST_ALTER_TRIGGER, "tr", "ENABLE"},
  };
  for (const DdlCase& c : cases) {
    ParsedSource* p = parseText(c.source);
    EXPECT_TRUE(p->accepted) << c.source;
    for (ErrorRecord* e : p->errorList())
      ADD_FAILURE() << c.source << ": " << str(e->message);
    ASSERT_EQ(listLength(p->units()), 1) << c.source;
    astNode* unit = p->unit(0);
    ASSERT_EQ(unit->kind, c.kind) << c.source;
    EXPECT_EQ(unit->line, 0) << c.source;
    auto* ddl = nodeAs<astNodeDdl>(unit);
    if (c.name)
      EXPECT_EQ(tokens(ddl->name), c.name) << c.source;
    else
      EXPECT_EQ(ddl->name, nullptr) << c.source;
    EXPECT_EQ(tokens(ddl->body), c.body) << c.source;
  }
}

}  // namespace

namespace {

TEST(ActionsUnits, DdlFlags)
{
  ParsedSource* p = parseText(
      "CREATE PUBLIC DATABASE LINK l CONNECT TO x;\n"
      "CREATE SHARED DATABASE LINK l;\n"
      "DROP PUBLIC DATABASE LINK l;\n"
      "CREATE TEMPORARY TABLESPACE t TEMPFILE 'f';\n"
      "CREATE BITMAP INDEX ix ON t(a);\n"
      "CREATE TABLE tx OF XMLTYPE;\n"
      "CREATE FORCE VIEW v OF t_obj WITH OBJECT IDENTIFIER (id) AS SELECT 1 FROM dual;\n"
      "CREATE MATERIALIZED VIEW mv AS SELECT 1 FROM dual;\n"
      "DROP PUBLIC SYNONYM s;\n");
  ASSERT_TRUE(p->accepted);
  EXPECT_EQ(p->errors.head, nullptr);
  ASSERT_EQ(kinds(p->units()), "71 71 86 81 74 80 84 84 94");
  auto* pub = nodeAs<astNodeDdlLink>(p->unit(0));
  EXPECT_TRUE(pub->pub);
  EXPECT_FALSE(pub->shared);
  EXPECT_EQ(tokens(pub->body), "l CONNECT TO x");
  auto* shared = nodeAs<astNodeDdlLink>(p->unit(1));
  EXPECT_FALSE(shared->pub);
  EXPECT_TRUE(shared->shared);
  EXPECT_TRUE(nodeAs<astNodeDdlLink>(p->unit(2))->pub);
  EXPECT_TRUE(nodeAs<astNodeDdlTablespace>(p->unit(3))->temp);
  auto* bitmap = nodeAs<astNodeDdlIndex>(p->unit(4));
  EXPECT_TRUE(bitmap->bmap);
  EXPECT_FALSE(bitmap->unq);
  auto* xml = nodeAs<astNodeDdlTable>(p->unit(5));
  EXPECT_TRUE(xml->xmltype);
  EXPECT_EQ(tokens(xml->name), "tx");
  EXPECT_EQ(xml->body, nullptr);
  auto* objview = nodeAs<astNodeDdlView>(p->unit(6));
  EXPECT_TRUE(objview->objview);
  EXPECT_TRUE(objview->force);
  EXPECT_FALSE(objview->mview);
  EXPECT_EQ(tokens(objview->columns), "t_obj");
  EXPECT_EQ(tokens(objview->body), "WITH OBJECT IDENTIFIER ( id ) AS SELECT 1 FROM dual");
  auto* mview = nodeAs<astNodeDdlView>(p->unit(7));
  EXPECT_TRUE(mview->mview);
  EXPECT_FALSE(mview->objview);
  EXPECT_TRUE(nodeAs<astNodeDdlSynonym>(p->unit(8))->pub);
}

}  // namespace

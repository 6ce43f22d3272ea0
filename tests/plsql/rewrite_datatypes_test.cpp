// Rewriting of datatypes and declarations: the datatype map, %TYPE with
// PRAGMA ALIAS, REF CURSOR types, defaults, records and formal arguments.
#include "rewrite_test_util.h"

namespace {

// Datatype of the first declaration of an anonymous block declaring
// "v <type>;".
std::string mappedType(const char* type)
{
  std::string source = std::string("DECLARE\n  v ") + type + ";\nBEGIN\n  NULL;\nEND;\n/\n";
  RewriteRun run = rewriteText(source.c_str());
  auto* block = run.unitAs<astNodeBlock>(0, AST_BLOCK);
  if (!block)
    return "<no block>";
  auto* decl = nth<astNodeVarDecl>(block->declarations, 0);
  if (!decl || decl->kind != AST_VAR_DECL)
    return "<no declaration>";
  return tokens(decl->dataType);
}

TEST(RewriteDatatypes, DatatypeMap)
{
  EXPECT_EQ(mappedType("VARCHAR2"), "VARCHAR2 ( 4096 )");
  EXPECT_EQ(mappedType("varchar2(100)"), "VARCHAR2 ( 100 )");
  EXPECT_EQ(mappedType("DOUBLE PRECISION"), "DOUBLE");
  EXPECT_EQ(mappedType("SYS_REFCURSOR"), "CURSOR");
  EXPECT_EQ(mappedType("NUMBER"), "NUMBER");
  EXPECT_EQ(mappedType("NUMBER(10,2)"), "NUMBER ( 10 , 2 )");
  EXPECT_EQ(mappedType("LONG RAW"), "BLOB ( 32760 )");
  EXPECT_EQ(mappedType("LONG"), "CLOB ( 32760 )");
  EXPECT_EQ(mappedType("CHAR"), "CHARACTER ( 1 )");
  EXPECT_EQ(mappedType("CHAR(3)"), "CHARACTER ( 3 )");
  EXPECT_EQ(mappedType("PLS_INTEGER"), "INTEGER");
  EXPECT_EQ(mappedType("NUMERIC"), "NUMERIC ( 9 , 2 )");
  EXPECT_EQ(mappedType("XMLTYPE"), "XML");
}

// The rows come from the run's options, not from a table of the rewriting.
TEST(RewriteDatatypes, TheMapIsTheOneTheOptionsCarry)
{
  static const DatatypeMapEntry kMap[] = {{"NUMBER", "DECFLOAT", "(34)"}, {nullptr, nullptr, nullptr}};
  ParsedSource* parsed = parseText("DECLARE\n  a NUMBER;\n  b VARCHAR2;\nBEGIN\n  NULL;\nEND;\n/\n");
  ASSERT_TRUE(parsed->accepted);
  parsed->options.datatypeMap = kMap;
  transformProgram(parsed->context.root, &parsed->options, &parsed->errors);
  auto* block = nodeAs<astNodeBlock>(parsed->unit(0));
  EXPECT_EQ(tokens(nth<astNodeVarDecl>(block->declarations, 0)->dataType), "DECFLOAT ( 34 )");
  EXPECT_EQ(tokens(nth<astNodeVarDecl>(block->declarations, 1)->dataType), "VARCHAR2");
}

TEST(RewriteDatatypes, MappedTokensAreCopiesAndTheRestIsShared)
{
  RewriteRun run = rewriteText("DECLARE\n  v VARCHAR2(10);\n  w NVARCHAR2;\nBEGIN\n  NULL;\nEND;\n/\n");
  auto* block = run.unitAs<astNodeBlock>(0, AST_BLOCK);
  ASSERT_TRUE(block);
  auto* v = nth<astNodeVarDecl>(block->declarations, 0);
  auto* first = nodeAs<astNodeToken>(listFirst(v->dataType));
  EXPECT_EQ(first->tokenCode, T_STRING);
  EXPECT_EQ(first->line, -1);
  EXPECT_EQ(listLength(v->dataType), 4);
  auto* w = nth<astNodeVarDecl>(block->declarations, 1);
  EXPECT_EQ(tokens(w->dataType), "VARGRAPHIC ( 2048 )");
}

TEST(RewriteDatatypes, PercentTypeUsesAliasPragmasOnly)
{
  RewriteRun run = rewriteText(
      "DECLARE\n"
      "  a emp.sal%TYPE;\n"
      "  b VARCHAR2%TYPE;\n"
      "BEGIN\n"
      "  PRAGMA ALIAS emp.sal%TYPE := 'DECIMAL(9,2)'\n"
      "  DECLARE\n"
      "    c EMP.SAL%TYPE;\n"
      "  BEGIN\n    NULL;\n  END;\n"
      "END;\n/\n");
  EXPECT_EQ(records(run), "");
  auto* block = run.unitAs<astNodeBlock>(0, AST_BLOCK);
  ASSERT_TRUE(block);
  // Declarations before the pragma keep their type, even a mapped name.
  EXPECT_EQ(tokens(nth<astNodeVarDecl>(block->declarations, 0)->dataType), "emp.sal %TYPE");
  EXPECT_EQ(tokens(nth<astNodeVarDecl>(block->declarations, 1)->dataType), "VARCHAR2 %TYPE");
  auto* inner = nth<astNodeBlock>(block->body, 1);
  ASSERT_EQ(inner->kind, AST_BLOCK);
  EXPECT_EQ(tokens(nth<astNodeVarDecl>(inner->declarations, 0)->dataType), "DECIMAL(9,2)");
}

TEST(RewriteDatatypes, RefCursorTypes)
{
  RewriteRun run = rewriteText(
      "DECLARE\n"
      "  TYPE rc IS REF CURSOR;\n"
      "  TYPE src IS REF CURSOR RETURN emp%ROWTYPE;\n"
      "  c1 rc;\n"
      "  c2 src;\n"
      "BEGIN\n"
      "  DECLARE\n    c3 RC;\n  BEGIN\n    NULL;\n  END;\n"
      "END;\n/\n"
      "CREATE PACKAGE pk AS\n"
      "  TYPE rc IS REF CURSOR;\n"
      "  TYPE src IS REF CURSOR RETURN emp%ROWTYPE;\n"
      "  c1 rc;\n"
      "END pk;\n/\n");
  auto* block = run.unitAs<astNodeBlock>(0, AST_BLOCK);
  ASSERT_TRUE(block);
  auto* rc = nth<astNodeRefCursorDecl>(block->declarations, 0);
  auto* src = nth<astNodeRefCursorDecl>(block->declarations, 1);
  EXPECT_TRUE(rc->weak);
  EXPECT_FALSE(src->weak);
  EXPECT_EQ(tokens(nth<astNodeVarDecl>(block->declarations, 2)->dataType), "CURSOR");
  EXPECT_EQ(tokens(nth<astNodeVarDecl>(block->declarations, 3)->dataType), "src");
  auto* inner = nth<astNodeBlock>(block->body, 0);
  EXPECT_EQ(tokens(nth<astNodeVarDecl>(inner->declarations, 0)->dataType), "CURSOR");

  auto* head = run.unitAs<astNodeCreatePkgHead>(1, AST_CREATE_PKG_HEAD);
  ASSERT_TRUE(head);
  EXPECT_FALSE(nth<astNodeRefCursorDecl>(head->declarations, 0)->weak);
  EXPECT_EQ(tokens(nth<astNodeVarDecl>(head->declarations, 2)->dataType), "rc");
  EXPECT_EQ(records(run),
            "Strong REFCURSOR types can only be declared within a package|2|3|<null>|REFCURSOR|<null>");
}

TEST(RewriteDatatypes, BlockDefaults)
{
  RewriteRun run = rewriteText(
      "DECLARE\n"
      "  a NUMBER := 5;\n"
      "  b VARCHAR2(10) DEFAULT 'x';\n"
      "  c NUMBER := NULL;\n"
      "  d CONSTANT NUMBER := f(x);\n"
      "  e NUMBER := a + 1;\n"
      "  g NUMBER := 1.5;\n"
      "  h NUMBER := y;\n"
      "BEGIN\n  NULL;\nEND;\n/\n");
  EXPECT_EQ(records(run), "");
  auto* block = run.unitAs<astNodeBlock>(0, AST_BLOCK);
  ASSERT_TRUE(block);
  EXPECT_EQ(declarations(block->declarations),
            "a:NUMBER=5; b:VARCHAR2 ( 10 )='x'; c:NUMBER=NULL; d:NUMBER; e:NUMBER; g:NUMBER=1.5; h:NUMBER");
  auto* d = nth<astNodeVarDecl>(block->declarations, 3);
  EXPECT_FALSE(d->constant);
  ASSERT_EQ(listLength(block->prologue), 3);
  auto* first = nth<astNodeAssign>(block->prologue, 0);
  EXPECT_EQ(tokens(first->target), "d");
  EXPECT_EQ(tokens(nodeAs<astNodeList>(first->expr)), "f ( x )");
  EXPECT_EQ(first->line, d->line);
  EXPECT_EQ(tokens(nodeAs<astNodeList>(nth<astNodeAssign>(block->prologue, 1)->expr)), "a + 1");
  EXPECT_EQ(tokens(nodeAs<astNodeList>(nth<astNodeAssign>(block->prologue, 2)->expr)), "y");
  EXPECT_EQ(block->maxNameLength, 1u);
}

TEST(RewriteDatatypes, RecordFieldDefaultsAreReported)
{
  RewriteRun run = rewriteText(
      "DECLARE\n"
      "  TYPE r IS RECORD (\n"
      "    a NUMBER := 1,\n"
      "    b VARCHAR2\n"
      "  );\n"
      "BEGIN\n  NULL;\nEND;\n/\n");
  auto* block = run.unitAs<astNodeBlock>(0, AST_BLOCK);
  ASSERT_TRUE(block);
  auto* record = nth<astNodeRecordDecl>(block->declarations, 0);
  ASSERT_EQ(record->kind, AST_RECORD_DECL);
  EXPECT_EQ(declarations(record->dataType), "a:NUMBER=1; b:VARCHAR2 ( 4096 )");
  EXPECT_EQ(records(run),
            "DEFAULT values not supported in RECORD types|2|3|1|DEFAULT or :=|<null>\n"
            "RECORD types cannot be declared within a program|2|2|<null>|TYPE <name> IS RECORD...|<null>");
}

TEST(RewriteDatatypes, TablesAndVarrays)
{
  RewriteRun run = rewriteText(
      "DECLARE\n"
      "  TYPE t IS TABLE OF VARCHAR2 INDEX BY BINARY_INTEGER;\n"
      "  TYPE va IS VARRAY(10) OF CHAR;\n"
      "BEGIN\n  NULL;\nEND;\n/\n");
  EXPECT_EQ(records(run),
            "TABLE types cannot be declared within a program|2|2|<null>|TYPE <name> IS TABLE...|<null>\n"
            "VARRAY types cannot be declared within a program|2|3|<null>|TYPE <name> IS VARRAY...|<null>");
  auto* block = run.unitAs<astNodeBlock>(0, AST_BLOCK);
  ASSERT_TRUE(block);
  auto* table = nth<astNodeTableDecl>(block->declarations, 0);
  ASSERT_EQ(table->kind, AST_TABLE_DECL);
  EXPECT_EQ(tokens(table->dataType), "VARCHAR2 ( 4096 )");
  EXPECT_EQ(tokens(table->indexType), "INTEGER");
  auto* varray = nth<astNodeVarrayDecl>(block->declarations, 1);
  ASSERT_EQ(varray->kind, AST_VARRAY_DECL);
  EXPECT_EQ(table->nameLength, 1);
  EXPECT_EQ(varray->nameLength, 2);
}

TEST(RewriteDatatypes, FormalArgumentsAndReturns)
{
  RewriteRun run = rewriteText(
      "CREATE FUNCTION f(a IN VARCHAR2, b OUT NUMBER, c IN OUT CHAR := 'x') RETURN LONG IS\n"
      "BEGIN\n  RETURN a;\nEND;\n/\n"
      "CREATE PROCEDURE p(a OUT VARCHAR2) IS\nBEGIN\n  NULL;\nEND;\n/\n"
      "CREATE PACKAGE pk AS\n  FUNCTION g(x OUT NUMBER) RETURN RAW;\nEND pk;\n/\n");
  auto* f = run.unitAs<astNodeCreateFunc>(0, AST_CREATE_FUNCTION);
  ASSERT_TRUE(f);
  EXPECT_EQ(tokens(nth<astNodeFormalArg>(f->args, 0)->dataType), "VARCHAR2 ( 4096 )");
  auto* c = nth<astNodeFormalArg>(f->args, 2);
  EXPECT_EQ(tokens(c->dataType), "VARCHAR ( 254 )");
  EXPECT_EQ(tokens(c->defaultValue), "'x'");
  EXPECT_EQ(tokens(f->returns), "CLOB ( 32760 )");
  auto* p = run.unitAs<astNodeCreateProc>(1, AST_CREATE_PROCEDURE);
  ASSERT_TRUE(p);
  EXPECT_EQ(tokens(nth<astNodeFormalArg>(p->args, 0)->dataType), "VARCHAR2 ( 4096 )");
  EXPECT_EQ(records(run),
            "OUT/INOUT formal arguments not permitted in functions|2|1|<null>|FUNCTION|<null>\n"
            "OUT/INOUT formal arguments not permitted in functions|2|1|<null>|FUNCTION|<null>\n"
            "OUT/INOUT formal arguments not permitted in functions|2|12|<null>|FUNCTION|<null>");
  auto* head = run.unitAs<astNodeCreatePkgHead>(2, AST_CREATE_PKG_HEAD);
  ASSERT_TRUE(head);
  auto* g = nth<astNodeCreateFunc>(head->prototypes, 0);
  EXPECT_EQ(tokens(g->returns), "BLOB ( 32767 )");
}

TEST(RewriteDatatypes, NameLengthsOfDeclarations)
{
  RewriteRun run = rewriteText(
      "DECLARE\n  abc NUMBER;\n  CURSOR cur IS SELECT 1 FROM dual;\n  e EXCEPTION;\nBEGIN\n  NULL;\nEND;\n/\n");
  auto* block = run.unitAs<astNodeBlock>(0, AST_BLOCK);
  ASSERT_TRUE(block);
  EXPECT_EQ(nth<astNodeDecl>(block->declarations, 0)->nameLength, 3);
  EXPECT_EQ(nth<astNodeDecl>(block->declarations, 1)->nameLength, 3);
  EXPECT_EQ(nth<astNodeDecl>(block->declarations, 2)->nameLength, 1);
  EXPECT_EQ(block->maxNameLength, 3u);
}

}  // namespace

// SQL statements (top level and embedded, RETURNING forms), SELECT ... INTO,
// assignments, cursors OPEN/FETCH/CLOSE and procedure calls.
#include "emit_fixture.h"

using namespace emit_test;

namespace {

struct EmitSql : EmitFixture {
  static astNodeSelect* select(astNodeList* target, astNodeList* into, astNodeList* from, int line = 0) {
    astNodeSelect* s = node<astNodeSelect>(AST_SELECT, line);
    s->target = target;
    s->intoClause = into;
    s->fromClause = from;
    return s;
  }
  // A procedure p whose body holds the statements; the body's text only.
  std::string inProcedure(std::initializer_list<astNode*> statements) {
    std::string text = one({procedure("p", block(statements))});
    const std::string head = "CREATE PROCEDURE p SPECIFIC p\nLANGUAGE SQL\n  BEGIN\n";
    const std::string tail = "  END@\n\n\n";
    if (text.compare(0, head.size(), head) != 0 || text.size() < head.size() + tail.size() ||
        text.compare(text.size() - tail.size(), tail.size(), tail) != 0)
      return "<unexpected frame> " + text;
    return text.substr(head.size(), text.size() - head.size() - tail.size());
  }
};

}  // namespace

TEST_F(EmitSql, TopLevelStatementIsARecordOfTypeZero) {
  astNodeSqlStmt* insert = sql("INSERT", T_INSERT, toks({"INTO", "t", "VALUES", "(", "1", ")"}), nullptr);
  run({procedure("p", block({nullStmt()})), insert, node<astNode>(AST_UNUSED_11)});
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].type, STMT_TYPE_PROCEDURE);
  EXPECT_EQ(records[1].type, STMT_TYPE_OTHER);
  EXPECT_EQ(records[1].text, "INSERT INTO t VALUES(1)@\n");
}

TEST_F(EmitSql, TopLevelStatementsEachCloseTheirRecord) {
  astNodeSqlStmt* commit = sql("COMMIT", T_COMMIT, nullptr, nullptr, 2);
  astNodeSqlStmt* update = sql("UPDATE", T_UPDATE, toks({"t", "SET", "a", "=", "1"}), nullptr, 3);
  run({commit, update}, "@", true);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].text, "--#line 003\nCOMMIT @\n");
  EXPECT_EQ(records[1].text, "--#line 004\nUPDATE t SET a = 1@\n");
}

TEST_F(EmitSql, EmbeddedStatementStaysInTheRoutine) {
  astNodeCreateProc* p = procedure("p", nullptr);
  astNodeBlock* body = block({});
  p->body = body;
  body->parent = p;
  body->body = adopt(body, nodes({sql("INSERT", T_INSERT, toks({"INTO", "t", "VALUES", "(", "1", ")"}), body),
                                  sql("SAVEPOINT", T_SAVEPOINT, toks({"s1"}), body)}));
  EXPECT_EQ(one({p}),
            "CREATE PROCEDURE p SPECIFIC p\nLANGUAGE SQL\n  BEGIN\n"
            "  INSERT INTO t VALUES(1);\n"
            "  SAVEPOINT s1;\n"
            "  END@\n\n\n");
}

TEST_F(EmitSql, ReturningForms) {
  astNode* scope = block({});
  astNodeSqlStmt* del = sql("DELETE", T_DELETE, toks({"FROM", "t", "WHERE", "a", "=", "1"}), scope);
  del->returning = toks({"b", "INTO", "x"});
  EXPECT_EQ(one({del}), "SELECT b INTO x FROM OLD TABLE (DELETE FROM t WHERE a = 1);\n");
  astNodeSqlStmt* upd = sql("UPDATE", T_UPDATE, toks({"t", "SET", "a", "=", "2"}), scope);
  upd->returning = toks({"a", "INTO", "y"});
  EXPECT_EQ(one({upd}), "SELECT a INTO y FROM NEW TABLE (UPDATE t SET a = 2);\n");
  astNodeSqlStmt* ins = sql("INSERT", T_INSERT, toks({"INTO", "t", "(", "a", ")", "VALUES", "(", "3", ")"}), nullptr);
  ins->returning = toks({"a", "INTO", "z"});
  EXPECT_EQ(one({ins}), "SELECT a INTO z FROM NEW TABLE (INSERT INTO t(a) VALUES(3))@\n");
  // Another keyword with a returning list is written as keyword and body.
  astNodeSqlStmt* merge = sql("MERGE", T_MERGE, toks({"INTO", "t"}), scope);
  merge->returning = toks({"a"});
  EXPECT_EQ(one({merge}), "MERGE INTO t;\n");
}

TEST_F(EmitSql, SelectInto) {
  EXPECT_EQ(inProcedure({select(toks({"a", ",", "b"}), toks({"x", ",", "y"}), toks({"t", "WHERE", "c", "=", "1"}))}),
            "  SELECT a, b INTO x, y FROM t WHERE c = 1;\n");
  astNodeSelect* with = select(toks({"a"}), toks({"x"}), toks({"c"}));
  with->withClause = toks({"c", "AS", "(", "SELECT", "1", "AS", "a", "FROM", "dual", ")"});
  EXPECT_EQ(one({with}), "WITH c AS(SELECT 1 AS a FROM dual) SELECT a INTO x FROM c;\n");
  // A required list that is empty still gets its prefix.
  EXPECT_EQ(one({select(toks({"1"}), nullptr, nullptr)}), "SELECT 1 FROM ;\n");
}

TEST_F(EmitSql, BulkCollectIsReported) {
  astNodeSelect* bulk = select(toks({"a"}), toks({"v"}), toks({"t"}), 6);
  bulk->bulkCollect = true;
  astNodeFetch* fetch = node<astNodeFetch>(AST_FETCH, 7);
  fetch->variable = toks({"c"});
  fetch->expr = toks({"v"});
  fetch->bulkCollect = true;
  // The select keeps its line start; the fetch writes nothing at all.
  EXPECT_EQ(inProcedure({bulk, fetch, nullStmt()}), "    -- NULL;\n");
  std::vector<Error> errs = errorList();
  ASSERT_EQ(errs.size(), 2u);
  EXPECT_EQ(errs[0].message, "BULK COLLECT not yet implemented");
  EXPECT_EQ(errs[0].context, "BULK COLLECT");
  EXPECT_EQ(errs[0].line, 7);
  EXPECT_EQ(errs[0].domain, ERROR_DOMAIN_UNSUPPORTED);
  EXPECT_EQ(errs[1].line, 8);
}

TEST_F(EmitSql, Assignments) {
  EXPECT_EQ(one({assign(toks({"x"}), toks({"y", "*", "2"}))}), "SET x = y * 2;\n");
  astNodeAssign* field = assign(toks({"r"}), toks({"1"}));
  field->targetIndex = toks({"i"});
  field->targetField = toks({"f"});
  EXPECT_EQ(one({field}), "SET r(i).f = 1;\n");
  astNodeAssign* cursor = assign(toks({"c"}), nullptr);
  cursor->expr = select(toks({"a"}), nullptr, toks({"t"}));
  EXPECT_EQ(one({cursor}), "SET c = CURSOR FOR SELECT a FROM t;\n");
  astNodeCall* call = node<astNodeCall>(AST_CALL);
  call->name = toks({"DBMS_SQL.EXECUTE"});
  call->args = toks({"c", ",", "x"});
  astNodeAssign* replaced = assign(toks({"x"}), toks({"DBMS_SQL.EXECUTE", "(", "c", ")"}));
  replaced->callForm = call;
  EXPECT_EQ(one({replaced}), "CALL DBMS_SQL.EXECUTE(c, x);\n");
}

TEST_F(EmitSql, OpenFetchClose) {
  astNodeOpen* open = node<astNodeOpen>(AST_OPEN);
  open->variable = toks({"c"});
  EXPECT_EQ(one({open}), "OPEN c;\n");
  open->args = toks({"1", ",", "2"});
  EXPECT_EQ(one({open}), "OPEN c(1, 2);\n");
  open->usingClause = toks({"x"});
  EXPECT_EQ(one({open}), "OPEN c USING x;\n");
  astNodeFetch* fetch = node<astNodeFetch>(AST_FETCH);
  fetch->variable = toks({"c"});
  fetch->expr = toks({"a", ",", "b"});
  EXPECT_EQ(one({fetch}), "FETCH c INTO a, b;\n");
  astNodeClose* close = node<astNodeClose>(AST_CLOSE);
  close->variable = toks({"c"});
  EXPECT_EQ(one({close}), "CLOSE c ;\n");
}

TEST_F(EmitSql, OpenForAQueryWritesTheCursorValueFirst) {
  astNodeOpen* open = node<astNodeOpen>(AST_OPEN);
  open->variable = toks({"c"});
  astNodeAssign* constructor = assign(toks({"c"}), nullptr);
  constructor->expr = select(toks({"a"}), nullptr, toks({"t"}));
  open->cursorConstructor = constructor;
  EXPECT_EQ(inProcedure({open}), "  SET c = CURSOR FOR SELECT a FROM t;\n  OPEN c;\n");
  // A dynamic query: the cursor value, the PREPARE, then the OPEN.
  astNodeOpen* dynamic = node<astNodeOpen>(AST_OPEN);
  dynamic->variable = toks({"c"});
  dynamic->cursorConstructor = assign(toks({"c"}), nullptr);
  dynamic->cursorConstructor->preparedCursor = poolStrdup("SYSZULINTERNAL_00000001");
  astNodePrepare* prepare = node<astNodePrepare>(AST_PREPARE);
  prepare->stmtID = poolStrdup("SYSZULINTERNAL_00000001");
  prepare->query = toks({"stmt"});
  dynamic->prepareStmt = prepare;
  dynamic->usingClause = toks({"x", ",", "y"});
  EXPECT_EQ(one({dynamic}),
            "SET c = CURSOR FOR  SYSZULINTERNAL_00000001;\n"
            "PREPARE SYSZULINTERNAL_00000001 FROM stmt;\n"
            "OPEN c USING x, y;\n");
  dynamic->cursorConstructor->withHold = true;
  EXPECT_EQ(one({dynamic}),
            "SET c = CURSOR WITH HOLD FOR SYSZULINTERNAL_00000001;\n"
            "PREPARE SYSZULINTERNAL_00000001 FROM stmt;\n"
            "OPEN c USING x, y;\n");
}

TEST_F(EmitSql, Calls) {
  astNodeCall* call = node<astNodeCall>(AST_CALL);
  call->name = toks({"pkg.proc"});
  EXPECT_EQ(one({call}), "CALL pkg.proc;\n");
  call->args = toks({"1", ",", "'a'"});
  EXPECT_EQ(one({call}), "CALL pkg.proc(1, 'a');\n");
  call->label = poolStrdup("l1");
  EXPECT_EQ(one({call}), "l1: CALL pkg.proc(1, 'a');\n");
  // A collection method: the rewriting's statement stands in for the call.
  astNodeAssign* trim = assign(toks({"v"}), toks({"TRIM_ARRAY(", "v", ",", "1", ")"}));
  call->rewrite = trim;
  // The made-up token "TRIM_ARRAY(" does not begin with "(": a blank follows it.
  EXPECT_EQ(one({call}), "SET v = TRIM_ARRAY( v, 1);\n");
  astNodeNull* extend = nullStmt();
  extend->text = poolStrdup("EXTEND v");
  call->rewrite = extend;
  EXPECT_EQ(one({call}), "-- EXTEND v\n");
}

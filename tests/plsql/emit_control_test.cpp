// Control statements: IF, WHILE, LOOP, FOR, EXIT, CONTINUE, CASE, RETURN,
// RAISE, NULL, GOTO, and the statements the rewriting builds (EXECUTE,
// PREPARE, SIGNAL, VALUES, GET DIAGNOSTICS).
#include "emit_fixture.h"

using namespace emit_test;

namespace {

struct EmitControl : EmitFixture {
  static char* text(const char* s) { return poolStrdup(s); }
};

}  // namespace

TEST_F(EmitControl, IfWithElseIfChainAndElse) {
  astNodeIf* branch = node<astNodeIf>(AST_IF);
  branch->expr = toks({"x", ">", "0"});
  branch->body = nodes({nullStmt()});
  astNodeElseIf* first = node<astNodeElseIf>(AST_ELSE_IF);
  first->expr = toks({"x", "<", "0"});
  first->body = nodes({returnStmt(toks({"1"}))});
  astNodeElseIf* second = node<astNodeElseIf>(AST_ELSE_IF);
  second->expr = toks({"x", "=", "0"});
  second->body = nodes({returnStmt(toks({"2"}))});
  first->elseIf = second;
  branch->elseIf = first;
  branch->elseBody = nodes({returnStmt(toks({"3"}))});
  EXPECT_EQ(one({branch}),
            "\nIF x > 0 THEN\n"
            "  -- NULL;\n"
            "ELSEIF x < 0 THEN\n"
            "  RETURN 1;\n"
            "ELSEIF x = 0 THEN\n"
            "  RETURN 2;\n"
            "ELSE\n"
            "  RETURN 3;\n"
            "END IF;\n\n");
}

TEST_F(EmitControl, NestedIfInsideARoutineKeepsTwoBlankIndentation) {
  astNodeIf* inner = node<astNodeIf>(AST_IF);
  inner->expr = toks({"b"});
  inner->body = nodes({nullStmt()});
  astNodeIf* outer = node<astNodeIf>(AST_IF);
  outer->expr = toks({"a"});
  outer->body = nodes({inner});
  EXPECT_EQ(one({procedure("p", block({outer}))}),
            "CREATE PROCEDURE p SPECIFIC p\nLANGUAGE SQL\n  BEGIN\n"
            "\n  IF a THEN\n"
            "\n  IF b THEN\n"
            "  -- NULL;\n"
            "  END IF;\n\n"
            "  END IF;\n\n"
            "  END@\n\n\n");
}

TEST_F(EmitControl, WhileLoop) {
  astNodeWhile* loop = node<astNodeWhile>(AST_WHILE);
  loop->expr = toks({"i", "<=", "10"});
  loop->body = nodes({assign(toks({"i"}), toks({"i", "+", "1"}))});
  EXPECT_EQ(one({loop}), "\nWHILE i <= 10 DO\n  SET i = i + 1;\nEND WHILE;\n\n");
  loop->label = text("w");
  EXPECT_EQ(one({loop}), "\nw: WHILE i <= 10 DO\n  SET i = i + 1;\nEND WHILE;\n\n");
}

TEST_F(EmitControl, LoopWithAndWithoutLabel) {
  astNodeExit* exit = node<astNodeExit>(AST_EXIT);
  exit->target = text("outer");
  astNodeLoop* loop = node<astNodeLoop>(AST_LOOP);
  loop->label = text("outer");
  loop->body = nodes({exit});
  EXPECT_EQ(one({loop}), "\nouter: LOOP\n  LEAVE outer;\nEND LOOP outer;\n\n");
  astNodeLoop* plain = node<astNodeLoop>(AST_LOOP);
  plain->body = nodes({nullStmt()});
  EXPECT_EQ(one({plain}), "\nLOOP\n  -- NULL;\nEND LOOP;\n\n");
}

TEST_F(EmitControl, ForOverAQuery) {
  astNodeFor* loop = node<astNodeFor>(AST_FOR);
  loop->loopType = FOR_SELECT;
  loop->index = toks({"r"});
  loop->expr = toks({"SELECT", "a", "FROM", "t"});
  loop->body = nodes({nullStmt()});
  EXPECT_EQ(one({loop}), "\nFOR r AS\n  SELECT a FROM t\nDO\n  -- NULL;\nEND FOR;\n\n");
  // Inside a routine the query line keeps its two blanks too.
  EXPECT_EQ(one({procedure("p", block({loop}))}),
            "CREATE PROCEDURE p SPECIFIC p\nLANGUAGE SQL\n  BEGIN\n"
            "\n  FOR r AS\n  SELECT a FROM t\n  DO\n  -- NULL;\n  END FOR;\n\n"
            "  END@\n\n\n");
}

TEST_F(EmitControl, OtherForLoopsWriteOnlyTheirReplacement) {
  astNodeFor* loop = node<astNodeFor>(AST_FOR);
  loop->loopType = FOR_NUMERIC;
  loop->index = toks({"i"});
  loop->body = nodes({nullStmt()});
  EXPECT_TRUE(run({loop}).empty());
  astNodeWhile* w = node<astNodeWhile>(AST_WHILE);
  w->expr = toks({"i", "<=", "SYSZULINTERNAL_LOOP_LIMIT"});
  w->body = nodes({nullStmt()});
  astNodeBlock* expansion = block({w});
  expansion->declarations = adopt(expansion, nodes({variable("i", toks({"INTEGER"}), toks({"1"})),
                                                    variable("SYSZULINTERNAL_LOOP_LIMIT", toks({"INTEGER"}),
                                                             toks({"10"}))}));
  expansion->parent = loop;
  loop->expansion = expansion;
  const char* expected =
      "BEGIN\n"
      "  DECLARE i INTEGER DEFAULT 1;\n"
      "  DECLARE SYSZULINTERNAL_LOOP_LIMIT INTEGER DEFAULT 10;\n"
      "\n  WHILE i <= SYSZULINTERNAL_LOOP_LIMIT DO\n"
      "  -- NULL;\n"
      "  END WHILE;\n\n"
      "END;\n";
  EXPECT_EQ(one({loop}), expected);
  loop->loopType = FOR_CURSOR;
  EXPECT_EQ(one({loop}), expected);
}

TEST_F(EmitControl, ExitAndContinue) {
  astNodeExit* exit = node<astNodeExit>(AST_EXIT);
  exit->target = text("lbl");
  exit->expr = toks({"c", ">", "1"});
  EXPECT_EQ(one({exit}), "IF c > 1 THEN LEAVE lbl; END IF;\n");
  astNodeContinue* next = node<astNodeContinue>(AST_CONTINUE);
  next->target = text("lbl");
  EXPECT_EQ(one({next}), "ITERATE lbl;\n");
  next->expr = toks({"i", ">", "2"});
  EXPECT_EQ(one({next}), "IF i > 2 THEN ITERATE lbl; END IF;\n");
  EXPECT_EQ(errors.head, nullptr);
}

TEST_F(EmitControl, ExitOutsideAnyLoopIsAnInternalError) {
  astNodeExit* exit = node<astNodeExit>(AST_EXIT, 4);
  EXPECT_EQ(one({exit}), "LEAVE ;\n");
  astNodeContinue* next = node<astNodeContinue>(AST_CONTINUE, 5);
  next->expr = toks({"x"});
  EXPECT_EQ(one({next}), "IF x THEN ITERATE ; END IF;\n");
  std::vector<Error> errs = errorList();
  ASSERT_EQ(errs.size(), 2u);
  EXPECT_EQ(errs[0].message, "No enclosing loop");
  EXPECT_EQ(errs[0].context, "EXIT");
  EXPECT_EQ(errs[0].domain, ERROR_DOMAIN_INTERNAL);
  EXPECT_EQ(errs[0].line, 5);
  EXPECT_EQ(errs[1].context, "CONTINUE");
  EXPECT_EQ(errs[1].line, 6);
}

TEST_F(EmitControl, CaseStatement) {
  astNodeCaseExpr* when1 = node<astNodeCaseExpr>(AST_CASE_EXPR);
  when1->predicate = toks({"1"});
  when1->body = nodes({nullStmt()});
  astNodeCaseExpr* when2 = node<astNodeCaseExpr>(AST_CASE_EXPR);
  when2->predicate = toks({"2"});
  when2->body = nodes({returnStmt(toks({"'two'"}))});
  astNodeCaseExpr* otherwise = node<astNodeCaseExpr>(AST_CASE_EXPR);
  otherwise->body = nodes({returnStmt(toks({"NULL"}))});
  astNodeCase* statement = node<astNodeCase>(AST_CASE);
  statement->predicate = toks({"x"});
  statement->values = nodes({when1, when2});
  statement->defaultValue = otherwise;
  EXPECT_EQ(one({returnStmt(toks({"0"})), statement}),
            "RETURN 0;\n"
            "\nCASE x\n"
            "  WHEN 1 THEN\n"
            "  -- NULL;\n"
            "  WHEN 2 THEN\n"
            "  RETURN 'two';\n"
            "  ELSE \n"
            "  RETURN NULL;\n"
            "END CASE;\n\n");
  // A searched CASE without ELSE.
  astNodeCaseExpr* searched = node<astNodeCaseExpr>(AST_CASE_EXPR);
  searched->predicate = toks({"a", ">", "b"});
  searched->body = nodes({nullStmt()});
  astNodeCase* bare = node<astNodeCase>(AST_CASE);
  bare->values = nodes({searched});
  EXPECT_EQ(one({bare}), "\nCASE \n  WHEN a > b THEN\n  -- NULL;\nEND CASE;\n\n");
}

TEST_F(EmitControl, ReturnRaiseNullGoto) {
  EXPECT_EQ(one({returnStmt(nullptr)}), "RETURN ;\n");
  astNodeRaise* raise = node<astNodeRaise>(AST_RAISE);
  EXPECT_EQ(one({raise}), "RESIGNAL;\n");
  raise->condition = text("02000");
  raise->isSqlstate = 1;
  EXPECT_EQ(one({raise}), "SIGNAL SQLSTATE '02000';\n");
  raise->condition = text("e_custom");
  raise->isSqlstate = 0;
  EXPECT_EQ(one({raise}), "SIGNAL e_custom;\n");
  astNodeNull* null = nullStmt();
  EXPECT_EQ(one({null}), "-- NULL;\n");
  null->text = text("EXTEND v");
  EXPECT_EQ(one({null}), "-- EXTEND v\n");
  astNodeGoto* jump = node<astNodeGoto>(AST_GOTO);
  jump->target = toks({"done"});
  EXPECT_EQ(one({jump}), "GOTO done;\n");
}

TEST_F(EmitControl, DynamicStatements) {
  astNodeExecute* execute = node<astNodeExecute>(AST_EXECUTE);
  execute->operand = text("SYSZULINTERNAL_STMT_TEXT");
  execute->immediate = true;
  EXPECT_EQ(one({execute}), "EXECUTE IMMEDIATE SYSZULINTERNAL_STMT_TEXT;\n");
  execute->immediate = false;
  execute->operand = text("SYSZULINTERNAL_00000001");
  execute->into = toks({"x", ",", "y"});
  execute->using_ = toks({"a", ",", "b"});
  EXPECT_EQ(one({execute}), "EXECUTE SYSZULINTERNAL_00000001 INTO x, y USING a, b;\n");
  astNodePrepare* prepare = node<astNodePrepare>(AST_PREPARE);
  prepare->stmtID = text("SYSZULINTERNAL_00000001");
  prepare->stmtHolder = text("SYSZULINTERNAL_STMT_TEXT");
  EXPECT_EQ(one({prepare}), "PREPARE SYSZULINTERNAL_00000001 FROM SYSZULINTERNAL_STMT_TEXT;\n");
  prepare->stmtHolder = nullptr;
  prepare->query = toks({"'SELECT a FROM t WHERE b = ?'"});
  EXPECT_EQ(one({prepare}), "PREPARE SYSZULINTERNAL_00000001 FROM 'SELECT a FROM t WHERE b = ?';\n");
}

TEST_F(EmitControl, SignalValuesAndDiagnostics) {
  astNodeSignal* signal = node<astNodeSignal>(AST_SIGNAL);
  signal->sqlstate = text("UD001");
  EXPECT_EQ(one({signal}), "SIGNAL SQLSTATE 'UD001';\n");
  signal->message = toks({"SYSZULINTERNAL_APPERROR"});
  EXPECT_EQ(one({signal}), "SIGNAL SQLSTATE 'UD001' SET MESSAGE_TEXT = SYSZULINTERNAL_APPERROR;\n");
  astNodeValues* values = node<astNodeValues>(AST_VALUES);
  values->targets = nodes({toks({"a"})});
  values->sources = nodes({toks({"x"})});
  EXPECT_EQ(one({values}), "VALUES(a) INTO x;\n");
  values->targets = nodes({toks({"a", "+", "1"}), toks({"b"})});
  values->sources = nodes({toks({"x"}), toks({"y"})});
  EXPECT_EQ(one({values}), "VALUES(a + 1, b) INTO x, y;\n");
  astNodeGetDiag* diag = node<astNodeGetDiag>(AST_GET_DIAG);
  diag->diagType = DIAG_ROW_COUNT;
  diag->target = toks({"rc"});
  diag->source = toks({"ROW_COUNT"});
  EXPECT_EQ(one({diag}), "GET DIAGNOSTICS rc = ROW_COUNT;\n");
  diag->diagType = DIAG_MESSAGE_TEXT;
  diag->target = toks({"msg"});
  diag->source = toks({"MESSAGE_TEXT"});
  EXPECT_EQ(one({diag}), "GET DIAGNOSTICS EXCEPTION 1 msg = MESSAGE_TEXT;\n");
}

TEST_F(EmitControl, LabelsAndMarkersOnControlStatements) {
  astNodeLoop* loop = node<astNodeLoop>(AST_LOOP, 3);
  loop->label = text("outer");
  astNodeExit* exit = node<astNodeExit>(AST_EXIT, 4);
  exit->target = text("outer");
  loop->body = nodes({exit});
  // The empty line before the loop counts, so the loop line itself drifts.
  EXPECT_EQ(one({loop}, "@", true), "\n--#line 004\nouter: LOOP\n  LEAVE outer;\nEND LOOP outer;\n\n");
}

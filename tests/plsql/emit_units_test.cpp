// Units: package specs and bodies as modules, procedures,
// functions, prototypes and arguments, triggers, dropped packages, anonymous
// blocks and condition handlers.
#include "emit_fixture.h"

using namespace emit_test;

namespace {

struct EmitUnits : EmitFixture {
  static astNodeProcProto* procProto(const char* name, astNode* package, astNodeList* args = nullptr) {
    astNodeProcProto* p = node<astNodeProcProto>(AST_PROC_PROTO);
    p->name = toks({name});
    p->package = package;
    p->args = adopt(p, args);
    return p;
  }
  static astNodeFuncProto* funcProto(const char* name, astNode* package, astNodeList* returns,
                                     astNodeList* args = nullptr) {
    astNodeFuncProto* p = node<astNodeFuncProto>(AST_FUNC_PROTO);
    p->name = toks({name});
    p->package = package;
    p->returns = returns;
    p->args = adopt(p, args);
    return p;
  }
  static astNodeHandler* handler(astNodeList* conditions, astNode* body) {
    astNodeHandler* h = node<astNodeHandler>(AST_HANDLER);
    h->conditions = conditions;
    h->body = body;
    if (body) body->parent = h;
    return h;
  }
  static astNodeTriggerArg* triggerVar(int var, const char* alias) {
    astNodeTriggerArg* v = node<astNodeTriggerArg>(AST_TRIGGER_VAR);
    v->var = var;
    v->alias = toks({alias});
    return v;
  }
  static astNodeCreateTrigger* trigger(int point, int events) {
    astNodeCreateTrigger* t = node<astNodeCreateTrigger>(AST_CREATE_TRIGGER);
    t->name = toks({"trg"});
    t->point = point;
    t->events = events;
    t->relation = toks({"emp"});
    t->forEachRow = true;
    t->body = block({nullStmt()});
    t->body->parent = t;
    return t;
  }
};

}  // namespace

TEST_F(EmitUnits, PackageSpecificationIsAModuleWithOneRecordPerMember) {
  astNodeCreatePkgHead* pkg = packageHead("pkg", 4);
  pkg->REPLACE = true;
  pkg->AUTHID = false;
  astNodeExceptionDecl* e = node<astNodeExceptionDecl>(AST_EXCEPTION_DECL);
  e->variableType = VAR_EXCEPTION;
  e->variableName = toks({"e_full"});
  e->sqlstate = poolStrdup("UD001");
  pkg->declarations = adopt(pkg, nodes({variable("v", toks({"INTEGER"}), toks({"(", "1", ")"})), e}));
  pkg->prototypes = adopt(pkg, nodes({procProto("q", pkg, nodes({arg("a", ARG_IN, toks({"INTEGER"}))})),
                                      funcProto("f", pkg, toks({"VARCHAR", "(", "10", ")"}))}));
  run({pkg});
  ASSERT_EQ(records.size(), 5u);
  for (const Record& r : records) EXPECT_EQ(r.type, STMT_TYPE_MODULE);
  EXPECT_EQ(records[0].text, "CREATE OR REPLACE MODULE pkg@\n");
  EXPECT_EQ(records[1].text, "ALTER MODULE pkg PUBLISH VARIABLE v INTEGER DEFAULT (1)@\n");
  EXPECT_EQ(records[2].text, "ALTER MODULE pkg PUBLISH CONDITION e_full FOR SQLSTATE 'UD001'@\n");
  EXPECT_EQ(records[3].text, "ALTER MODULE pkg PUBLISH PROCEDURE q(\nIN a INTEGER) LANGUAGE SQL@\n");
  EXPECT_EQ(records[4].text, "ALTER MODULE pkg PUBLISH FUNCTION f() RETURNS VARCHAR(10) LANGUAGE SQL @\n");
  std::vector<Error> errs = errorList();
  ASSERT_EQ(errs.size(), 1u);
  EXPECT_EQ(errs[0].message, "AUTHID CURRENT_USER not supported");
  EXPECT_EQ(errs[0].context, "CREATE [OR REPLACE] PACKAGE...");
  EXPECT_EQ(errs[0].domain, ERROR_DOMAIN_UNSUPPORTED);
  EXPECT_EQ(errs[0].line, 5);
}

TEST_F(EmitUnits, PackageSpecificationWithoutReplaceOrMembers) {
  EXPECT_EQ(one({packageHead("pkg")}), "CREATE MODULE pkg@\n");
  EXPECT_EQ(errors.head, nullptr);
}

TEST_F(EmitUnits, PrototypeArgumentsAndParentheses) {
  astNodeCreatePkgHead* pkg = packageHead("p");
  pkg->prototypes = adopt(pkg, nodes({procProto("q", pkg),
                                      procProto("r", pkg,
                                                nodes({arg("a", ARG_IN, toks({"INTEGER"})),
                                                       arg("b", ARG_OUT, toks({"DATE"})),
                                                       arg("c", ARG_IN_OUT, toks({"CLOB"}))})),
                                      funcProto("f", pkg, toks({"INTEGER"}),
                                                nodes({arg("x", ARG_IN, toks({"INTEGER"}))}))}));
  run({pkg});
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(records[1].text, "ALTER MODULE p PUBLISH PROCEDURE q LANGUAGE SQL@\n");
  EXPECT_EQ(records[2].text,
            "ALTER MODULE p PUBLISH PROCEDURE r(\nIN a INTEGER, \nOUT b DATE, \nINOUT c CLOB) LANGUAGE SQL@\n");
  EXPECT_EQ(records[3].text, "ALTER MODULE p PUBLISH FUNCTION f(\nx INTEGER) RETURNS INTEGER LANGUAGE SQL @\n");
}

TEST_F(EmitUnits, PrototypeOptionsAndArgumentDefaults) {
  astNodeCreatePkgHead* pkg = packageHead("p");
  astNodeFuncProto* f = funcProto("f", pkg, toks({"INTEGER"}));
  f->line = 8;
  f->options = nodes({tok("CURRENT_USER", T_CURRENT_USER), tok("DETERMINISTIC", T_DETERMINISTIC),
                      tok("PIPELINED", T_PIPELINED)});
  astNodeFormalArg* a = arg("a", ARG_IN, toks({"INTEGER"}));
  a->defaultValue = toks({"1", "+", "2"});
  astNodeProcProto* q = procProto("q", pkg, nodes({a}));
  pkg->prototypes = adopt(pkg, nodes({f, q}));
  run({pkg});
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[1].text, "ALTER MODULE p PUBLISH FUNCTION f() RETURNS INTEGER LANGUAGE SQL DETERMINISTIC\n@\n");
  EXPECT_EQ(records[2].text, "ALTER MODULE p PUBLISH PROCEDURE q(\nIN a INTEGER DEFAULT 1 + 2) LANGUAGE SQL@\n");
  std::vector<Error> errs = errorList();
  ASSERT_EQ(errs.size(), 1u);
  EXPECT_EQ(errs[0].message, "AUTHID CURRENT_USER not supported");
  EXPECT_EQ(errs[0].context, "CREATE [OR REPLACE] FUNCTION...");
  EXPECT_EQ(errs[0].line, 9);
}

TEST_F(EmitUnits, PackageBodyWithReplace) {
  astNodeCreateProc* before = procedure("first", block({nullStmt()}));
  astNodeCreatePkgBody* body = packageBody("pkg");
  body->REPLACE = true;
  astNodeCursorDecl* cursor = node<astNodeCursorDecl>(AST_CURSOR_DECL);
  cursor->variableType = VAR_CURSOR;
  cursor->variableName = toks({"c1"});
  cursor->query = toks({"SELECT", "id", "FROM", "emp"});
  body->declarations = adopt(
      body, nodes({variable("v", toks({"VARCHAR2", "(", "4096", ")"}), toks({"(", "'a'", ")"})), cursor}));
  astNodeBlock* qBody = block({nullStmt()});
  qBody->label = poolStrdup("SYSZULINTERNAL_BLOCK");
  astNodeCreateProc* q = procedure("q", qBody);
  q->package = body;
  q->args = adopt(q, nodes({arg("a", ARG_IN_OUT, toks({"NUMBER"}))}));
  astNodeCreateFunc* g = function("g", toks({"INTEGER"}), block({returnStmt(toks({"1"}))}));
  g->package = body;
  body->prototypes = adopt(body, nodes({q, g}));
  astNodeCreateProc* init = procedure("SYS_INIT", block({}));
  init->package = body;
  body->constructor = adopt(body, nodes({init}));
  run({before, body});
  ASSERT_EQ(records.size(), 8u);
  EXPECT_EQ(records[0].type, STMT_TYPE_PROCEDURE);
  for (size_t i = 1; i < records.size(); ++i) EXPECT_EQ(records[i].type, STMT_TYPE_MODULE) << i;
  EXPECT_EQ(records[1].text, "ALTER MODULE pkg DROP BODY@\n");
  EXPECT_EQ(records[2].text, "COMMENT ON MODULE pkg IS 'PL/SQL Package Body'@\n");
  EXPECT_EQ(records[3].text, "  ALTER MODULE pkg ADD VARIABLE v VARCHAR2(4096) DEFAULT ('a')@\n");
  EXPECT_EQ(records[4].text,
            "  ALTER MODULE pkg ADD VARIABLE c1 CURSOR CONSTANT (CURSOR FOR SELECT id FROM emp)@\n");
  EXPECT_EQ(records[5].text,
            "  ALTER MODULE pkg ADD PROCEDURE q(\n"
            "  INOUT a NUMBER)\n"
            "  LANGUAGE SQL\n"
            "  SYSZULINTERNAL_BLOCK: BEGIN\n"
            "  -- NULL;\n"
            "  END@\n"
            "\n\n");
  EXPECT_EQ(records[6].text,
            "  ALTER MODULE pkg ADD FUNCTION g()\n"
            "  RETURNS INTEGER\n"
            "  LANGUAGE SQL\n"
            "  BEGIN\n"
            "  RETURN 1;\n"
            "  END@\n"
            "\n\n");
  EXPECT_EQ(records[7].text,
            "  ALTER MODULE pkg ADD PROCEDURE SYS_INIT\n"
            "  LANGUAGE SQL\n"
            "  BEGIN\n"
            "  END@\n"
            "\n\n");
  EXPECT_EQ(errors.head, nullptr);
}

TEST_F(EmitUnits, PackageBodyWithoutReplace) {
  astNodeCreatePkgBody* body = packageBody("pkg", 3);
  run({body});
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].text, "COMMENT ON MODULE pkg IS 'PL/SQL Package Body'@\n");
  // With markers the line start of the body forms a record of its own.
  run({body}, "@", true);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].text, "--#line 004\n");
  EXPECT_EQ(records[0].type, STMT_TYPE_MODULE);
  EXPECT_EQ(records[1].text, "COMMENT ON MODULE pkg IS 'PL/SQL Package Body'@\n");
}

// A routine declared ahead in a body is private: no prototype is published.
TEST_F(EmitUnits, PackageBodyForwardDeclarationsStayPrivate) {
  astNodeCreatePkgBody* body = packageBody("pkg");
  body->forwardDeclarations = adopt(body, nodes({procProto("helper", body)}));
  run({body});
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].text, "COMMENT ON MODULE pkg IS 'PL/SQL Package Body'@\n");
}

TEST_F(EmitUnits, StandaloneProcedureWithArgumentsAndOptions) {
  astNodeCreateProc* p = procedure("p", block({nullStmt()}), 2);
  p->REPLACE = true;
  p->AUTONOMOUS = true;
  p->AUTHID = false;
  p->args = adopt(p, nodes({arg("a", ARG_IN, toks({"INTEGER"})), arg("b", ARG_IN_OUT, toks({"t.c", "%TYPE"}))}));
  nodeAs<astNodeToken>(listLast(nodeAs<astNodeFormalArg>(listLast(p->args))->dataType))->tokenCode =
      T_PERCENT_TYPE;
  EXPECT_EQ(one({p}),
            "CREATE OR REPLACE PROCEDURE p(\n"
            "IN a INTEGER, \n"
            "INOUT b ANCHOR TO t.c) SPECIFIC p\n"
            "AUTONOMOUS\n"
            "LANGUAGE SQL\n"
            "  BEGIN\n"
            "  -- NULL;\n"
            "  END@\n"
            "\n\n");
  EXPECT_EQ(records[0].type, STMT_TYPE_PROCEDURE);
  std::vector<Error> errs = errorList();
  ASSERT_EQ(errs.size(), 1u);
  EXPECT_EQ(errs[0].message, "AUTHID CURRENT_USER not supported");
  EXPECT_EQ(errs[0].context, "CREATE [OR REPLACE] PROCEDURE...");
  EXPECT_EQ(errs[0].line, 3);
}

TEST_F(EmitUnits, ArgumentsCarryLineMarkersAfterTheirIndentation) {
  astNodeCreateProc* p = procedure("p", block({nullStmt(3)}, 2), 0);
  p->args = adopt(p, nodes({arg("a", ARG_IN, toks({"INTEGER"}), 0), arg("b", ARG_OUT, toks({"INTEGER"}), 1)}));
  EXPECT_EQ(one({p}, "@", true),
            "CREATE PROCEDURE p(\n"
            "--#line 001\n"
            "IN a INTEGER, \n"
            "OUT b INTEGER) SPECIFIC p\n"
            "LANGUAGE SQL\n"
            "  BEGIN\n"
            "  -- NULL;\n"
            "  END@\n"
            "\n\n");
}

TEST_F(EmitUnits, StandaloneFunction) {
  astNodeCreateFunc* f = function("f", toks({"NUMBER"}), block({returnStmt(toks({"a"}))}), 6);
  f->REPLACE = true;
  f->args = adopt(f, nodes({arg("a", ARG_IN, toks({"NUMBER"})), arg("b", ARG_IN_OUT, toks({"VARCHAR"}))}));
  f->options = nodes({tok("CURRENT_USER", T_CURRENT_USER), tok("DETERMINISTIC", T_DETERMINISTIC)});
  EXPECT_EQ(one({f}),
            "CREATE OR REPLACE FUNCTION f(\n"
            "a NUMBER, \n"
            "b VARCHAR) SPECIFIC f\n"
            "RETURNS NUMBER\n"
            "LANGUAGE SQL\n"
            "DETERMINISTIC\n"
            "  BEGIN\n"
            "  RETURN a;\n"
            "  END@\n"
            "\n\n");
  EXPECT_EQ(records[0].type, STMT_TYPE_FUNCTION);
  std::vector<Error> errs = errorList();
  ASSERT_EQ(errs.size(), 1u);
  EXPECT_EQ(errs[0].context, "CREATE [OR REPLACE] FUNCTION...");
  EXPECT_EQ(errs[0].line, 7);
  // Without arguments: an empty pair of parentheses.
  EXPECT_EQ(one({function("g", toks({"DATE"}), block({returnStmt(toks({"SYSDATE"}))}))}),
            "CREATE FUNCTION g() SPECIFIC g\nRETURNS DATE\nLANGUAGE SQL\n  BEGIN\n  RETURN SYSDATE;\n  END@\n\n\n");
}

TEST_F(EmitUnits, RowTrigger) {
  astNodeCreateTrigger* t = trigger(TRIGGER_BEFORE, TRIGGER_INSERT);
  t->referencing = nodes({triggerVar(TRIGGER_VAR_NEW, "SYSZULINTERNAL_n")});
  t->body->label = poolStrdup("SYSZULINTERNAL_BLOCK");
  EXPECT_EQ(one({t}),
            "CREATE TRIGGER trg BEFORE INSERT ON emp REFERENCING NEW AS SYSZULINTERNAL_n FOR EACH ROW "
            "  SYSZULINTERNAL_BLOCK: BEGIN\n"
            "  -- NULL;\n"
            "  END@\n"
            "\n\n\n");
  EXPECT_EQ(errors.head, nullptr);
}

TEST_F(EmitUnits, TriggerPointsEventsAndCondition) {
  astNodeCreateTrigger* t = trigger(TRIGGER_AFTER, TRIGGER_UPDATE);
  t->REPLACE = true;
  t->updateColumns = nodes({toks({"a"}), toks({"b"})});
  t->referencing = nodes({triggerVar(TRIGGER_VAR_OLD, "o"), triggerVar(TRIGGER_VAR_NEW, "n"),
                          triggerVar(TRIGGER_VAR_PARENT, "p"), triggerVar(7, "x")});
  t->condition = toks({"n.a", ">", "0"});
  EXPECT_EQ(one({t}),
            "CREATE OR REPLACE TRIGGER trg AFTER UPDATE OF a,b ON emp "
            "REFERENCING OLD AS o NEW AS n PARENT AS px FOR EACH ROW \n"
            "WHEN (n.a > 0)\n"
            "  BEGIN\n  -- NULL;\n  END@\n\n\n\n");
  astNodeCreateTrigger* d = trigger(TRIGGER_INSTEAD_OF, TRIGGER_DELETE);
  EXPECT_EQ(one({d}), "CREATE TRIGGER trg INSTEAD OF DELETE ON emp FOR EACH ROW   BEGIN\n  -- NULL;\n  END@\n\n\n\n");
  astNodeCreateTrigger* u = trigger(TRIGGER_BEFORE, TRIGGER_UPDATE);
  EXPECT_EQ(one({u}), "CREATE TRIGGER trg BEFORE UPDATE ON emp FOR EACH ROW   BEGIN\n  -- NULL;\n  END@\n\n\n\n");
  EXPECT_EQ(errors.head, nullptr);
}

TEST_F(EmitUnits, UnsupportedTriggersAreReportedAndStillWritten) {
  astNodeCreateTrigger* t = trigger(TRIGGER_FOR, TRIGGER_INSERT | TRIGGER_UPDATE);
  t->line = 11;
  t->forEachRow = false;
  // Timing point FOR writes no word, only the blank after the name.
  EXPECT_EQ(one({t}), "CREATE TRIGGER trg ON emp   BEGIN\n  -- NULL;\n  END@\n\n\n\n");
  std::vector<Error> errs = errorList();
  ASSERT_EQ(errs.size(), 3u);
  EXPECT_EQ(errs[0].message, "Compound triggers not supported");
  EXPECT_EQ(errs[0].context, "CREATE [OR REPLACE] TRIGGER...");
  EXPECT_EQ(errs[1].message, "Statement-level triggers not yet supported");
  EXPECT_EQ(errs[1].context, "CREATE [OR REPLACE] TRIGGER...");
  EXPECT_EQ(errs[2].message, "Multi-event triggers not supported");
  EXPECT_EQ(errs[2].context, "CREATE [OR REPLACE] TRIGGER ...");
  for (const Error& e : errs) {
    EXPECT_EQ(e.line, 12);
    EXPECT_EQ(e.domain, ERROR_DOMAIN_UNSUPPORTED);
  }
  errors = ErrorList();
  astNodeCreateTrigger* c = trigger(TRIGGER_BEFORE, TRIGGER_DELETE);
  c->compound = true;
  run({c});
  ASSERT_EQ(errorList().size(), 1u);
  EXPECT_EQ(errorList()[0].message, "Compound triggers not supported");
}

TEST_F(EmitUnits, TriggerJoinsTheRecordBeforeIt) {
  run({procedure("p", block({nullStmt()})), trigger(TRIGGER_AFTER, TRIGGER_DELETE)});
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].type, STMT_TYPE_PROCEDURE);
  EXPECT_EQ(records[0].text,
            "CREATE PROCEDURE p SPECIFIC p\nLANGUAGE SQL\n  BEGIN\n  -- NULL;\n  END@\n\n\n"
            "CREATE TRIGGER trg AFTER DELETE ON emp FOR EACH ROW   BEGIN\n  -- NULL;\n  END@\n\n\n\n");
}

TEST_F(EmitUnits, DroppedPackages) {
  astNodeDropPkgBody* dropBody = node<astNodeDropPkgBody>(AST_DROP_PKG_BODY);
  dropBody->name = toks({"pkg"});
  astNodeDropPkgHead* dropHead = node<astNodeDropPkgHead>(AST_DROP_PKG_HEAD);
  dropHead->name = toks({"pkg"});
  astNodeDropPkgBody* again = node<astNodeDropPkgBody>(AST_DROP_PKG_BODY);
  again->name = toks({"other"});
  run({dropBody, dropHead, again});
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].text, "ALTER MODULE pkg DROP BODY@\n");
  EXPECT_EQ(records[0].type, STMT_TYPE_OTHER);
  EXPECT_EQ(records[1].text, "DROP MODULE pkg@\n");
  EXPECT_EQ(records[1].type, STMT_TYPE_DROP_MODULE);
  EXPECT_EQ(records[2].text, "ALTER MODULE other DROP BODY@\n");
  EXPECT_EQ(records[2].type, STMT_TYPE_DROP_MODULE);
}

TEST_F(EmitUnits, AnonymousBlockWithHandlers) {
  astNodeBlock* top = node<astNodeBlock>(AST_BLOCK);
  top->anonymous = true;
  top->declarations = adopt(top, nodes({variable("v", toks({"INTEGER"}), toks({"0"}))}));
  astNodeGetDiag* diag = node<astNodeGetDiag>(AST_GET_DIAG);
  diag->diagType = DIAG_MESSAGE_TEXT;
  diag->target = toks({"SYSZULINTERNAL_SQLERRM"});
  diag->source = toks({"MESSAGE_TEXT"});
  astNodeValues* values = node<astNodeValues>(AST_VALUES);
  values->targets = nodes({toks({"SQLCODE"}), toks({"SQLSTATE"})});
  values->sources = nodes({toks({"SYSZULINTERNAL_SQLCODE"}), toks({"SYSZULINTERNAL_SQLSTATE"})});
  astNodeBlock* handlerBody = block({nullStmt()});
  handlerBody->prologue = adopt(handlerBody, nodes({diag, values}));
  astNodeHandler* h = handler(nodes({toks({"SQLSTATE '02000'"}), toks({"e_custom"})}), handlerBody);
  top->exceptions = adopt(top, nodes({h}));
  top->body = adopt(top, nodes({sql("UPDATE", T_UPDATE, toks({"t", "SET", "a", "=", "1"}), top)}));
  run({procedure("p", block({nullStmt()})), top});
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[1].type, STMT_TYPE_BLOCK);
  EXPECT_EQ(records[1].text,
            "BEGIN\n"
            "  DECLARE v INTEGER DEFAULT 0;\n"
            "  DECLARE EXIT HANDLER FOR SQLSTATE '02000'\n"
            "  BEGIN\n"
            "  GET DIAGNOSTICS EXCEPTION 1 SYSZULINTERNAL_SQLERRM = MESSAGE_TEXT;\n"
            "  VALUES(SQLCODE, SQLSTATE) INTO SYSZULINTERNAL_SQLCODE, SYSZULINTERNAL_SQLSTATE;\n"
            "  -- NULL;\n"
            "  END;\n"
            "  DECLARE EXIT HANDLER FOR e_custom\n"
            "  BEGIN\n"
            "  GET DIAGNOSTICS EXCEPTION 1 SYSZULINTERNAL_SQLERRM = MESSAGE_TEXT;\n"
            "  VALUES(SQLCODE, SQLSTATE) INTO SYSZULINTERNAL_SQLCODE, SYSZULINTERNAL_SQLSTATE;\n"
            "  -- NULL;\n"
            "  END;\n"
            "  UPDATE t SET a = 1;\n"
            "END@\n");
}

TEST_F(EmitUnits, AtomicAndLabelledBlocks) {
  astNodeBlock* inner = block({nullStmt()});
  inner->atomic = true;
  inner->label = poolStrdup("inner");
  astNodeBlock* top = block({inner});
  top->anonymous = true;
  top->atomic = true;
  EXPECT_EQ(one({top}), "BEGIN ATOMIC\n  inner: BEGIN ATOMIC\n  -- NULL;\n  END;\nEND@\n");
}

TEST_F(EmitUnits, HandlerWithBodyListAndMarkers) {
  astNodeBlock* top = node<astNodeBlock>(AST_BLOCK, 0);
  top->anonymous = true;
  astNodeHandler* h = node<astNodeHandler>(AST_HANDLER, 5);
  h->conditions = nodes({toks({"SQLEXCEPTION"})});
  h->body = nodes({nullStmt(6)});
  top->exceptions = adopt(top, nodes({h}));
  EXPECT_EQ(one({top}, "@", true), "BEGIN\n--#line 006\n  DECLARE EXIT HANDLER FOR SQLEXCEPTION\n  -- NULL;\nEND@\n");
}

TEST_F(EmitUnits, PackageRoutinesWithoutBodyArePublishedHeads) {
  // A function or procedure declared in a package spec without a body is
  // written in the prototype form, ending with the terminator.
  astNodeCreatePkgHead* pkg = packageHead("pkg");
  astNodeCreateFunc* f = function("f", toks({"INTEGER"}), nullptr);
  f->package = pkg;
  f->options = nodes({tok("DETERMINISTIC", T_DETERMINISTIC)});
  f->args = adopt(f, nodes({arg("a", ARG_IN, toks({"INTEGER"}))}));
  astNodeCreateProc* p = procedure("p", nullptr);
  p->package = pkg;
  p->args = adopt(p, nodes({arg("b", ARG_OUT, toks({"DATE"}))}));
  pkg->prototypes = adopt(pkg, nodes({f, p}));
  run({pkg});
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[1].text, "ALTER MODULE pkg PUBLISH FUNCTION f(\na INTEGER) RETURNS INTEGER LANGUAGE SQL DETERMINISTIC\n@\n");
  EXPECT_EQ(records[2].text, "ALTER MODULE pkg PUBLISH PROCEDURE p(\nOUT b DATE) LANGUAGE SQL@\n");
  EXPECT_EQ(records[2].type, STMT_TYPE_MODULE);
}

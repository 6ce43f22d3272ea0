// Declarations of each class in blocks and in packages, and datatypes with
// their anchors.
#include "emit_fixture.h"

using namespace emit_test;

namespace {

struct EmitDeclarations : EmitFixture {
  // An anonymous block holding the declarations; its text is the record.
  std::string inBlock(std::initializer_list<astNode*> declarations) {
    astNodeBlock* b = node<astNodeBlock>(AST_BLOCK);
    b->anonymous = true;
    b->declarations = adopt(b, nodes(declarations));
    return one({b});
  }
  // Records of a package spec (or body) holding the declarations,
  // the module's own record (CREATE MODULE, or COMMENT ON MODULE) left out.
  std::vector<std::string> inPackage(std::initializer_list<astNode*> declarations, bool body = false) {
    astNode* pkg = body ? static_cast<astNode*>(packageBody("pkg")) : static_cast<astNode*>(packageHead("pkg"));
    astNodeList* list = nodes(declarations);
    if (body)
      nodeAs<astNodeCreatePkgBody>(pkg)->declarations = adopt(pkg, list);
    else
      nodeAs<astNodeCreatePkgHead>(pkg)->declarations = adopt(pkg, list);
    run({pkg});
    std::vector<std::string> out;
    for (size_t i = 1; i < records.size(); ++i) {
      EXPECT_EQ(records[i].type, STMT_TYPE_MODULE);
      out.push_back(records[i].text);
    }
    return out;
  }

  static astNodeList* anchored(const char* name, int code) {
    astNodeList* l = toks({name});
    listAppend(l, tok(code == T_PERCENT_TYPE ? "%TYPE" : "%ROWTYPE", code));
    return l;
  }
  static astNodeExceptionDecl* exception(const char* name, const char* sqlstate = nullptr) {
    astNodeExceptionDecl* e = node<astNodeExceptionDecl>(AST_EXCEPTION_DECL);
    e->variableType = VAR_EXCEPTION;
    e->variableName = toks({name});
    if (sqlstate) e->sqlstate = poolStrdup(sqlstate);
    return e;
  }
  static astNodeCursorDecl* cursor(const char* name, astNodeList* query, astNodeList* args = nullptr) {
    astNodeCursorDecl* c = node<astNodeCursorDecl>(AST_CURSOR_DECL);
    c->variableType = VAR_CURSOR;
    c->variableName = toks({name});
    c->query = query;
    c->queryArgs = adopt(c, args);
    return c;
  }
  static astNodeRefCursorDecl* refCursor(const char* name, astNodeList* type, bool weak = false) {
    astNodeRefCursorDecl* r = node<astNodeRefCursorDecl>(AST_REFCURSOR_DECL);
    r->variableType = VAR_REFCURSOR;
    r->variableName = toks({name});
    r->dataType = type;
    r->weak = weak;
    return r;
  }
  static astNodeRecordDecl* record(const char* name, astNodeList* fields, int line = 0) {
    astNodeRecordDecl* r = node<astNodeRecordDecl>(AST_RECORD_DECL, line);
    r->variableType = VAR_RECORD;
    r->variableName = toks({name});
    r->dataType = fields;
    return r;
  }
  static astNodeTableDecl* table(const char* name, astNodeList* type, astNodeList* index, int line = 0) {
    astNodeTableDecl* t = node<astNodeTableDecl>(AST_TABLE_DECL, line);
    t->variableType = VAR_TABLE;
    t->variableName = toks({name});
    t->dataType = type;
    t->indexType = index;
    return t;
  }
  static astNodeVarrayDecl* varray(const char* name, astNodeList* type, const char* dimension, int line = 0) {
    astNodeVarrayDecl* v = node<astNodeVarrayDecl>(AST_VARRAY_DECL, line);
    v->variableType = VAR_VARRAY;
    v->variableName = toks({name});
    v->dataType = type;
    if (dimension) v->dimension = poolStrdup(dimension);
    return v;
  }
};

}  // namespace

TEST_F(EmitDeclarations, VariablesInABlock) {
  astNodeVarDecl* x = variable("x", toks({"NUMBER", "(", "9", ",", "2", ")"}), toks({"5"}));
  x->constant = true;
  astNodeVarDecl* n = variable("n", toks({"INTEGER"}), toks({"'a'"}));
  n->notNull = true;
  EXPECT_EQ(inBlock({x, n, variable("plain", toks({"DATE"}))}),
            "BEGIN\n"
            "  DECLARE x NUMBER(9, 2) CONSTANT 5;\n"
            "  DECLARE n INTEGER DEFAULT 'a';\n"
            "  DECLARE plain DATE;\n"
            "END@\n");
}

TEST_F(EmitDeclarations, ConstantWithoutValueWritesNoKeyword) {
  astNodeVarDecl* x = variable("x", toks({"INTEGER"}));
  x->constant = true;
  EXPECT_EQ(inBlock({x}), "BEGIN\n  DECLARE x INTEGER;\nEND@\n");
}

TEST_F(EmitDeclarations, AnchoredDatatypes) {
  EXPECT_EQ(inBlock({variable("y", anchored("emp.sal", T_PERCENT_TYPE)),
                     variable("r", anchored("emp", T_PERCENT_ROWTYPE))}),
            "BEGIN\n  DECLARE y ANCHOR TO emp.sal;\n  DECLARE r ANCHOR TO ROW emp;\nEND@\n");
  // The tokens before the anchor are joined without blanks.
  astNodeList* split = toks({"emp", ".", "sal"});
  listAppend(split, tok("%TYPE", T_PERCENT_TYPE));
  EXPECT_EQ(inBlock({variable("z", split)}), "BEGIN\n  DECLARE z ANCHOR TO emp.sal;\nEND@\n");
  // A %TYPE word that is not the anchor token is written as it stands.
  EXPECT_EQ(inBlock({variable("w", toks({"t", "%TYPE"}))}), "BEGIN\n  DECLARE w t %TYPE;\nEND@\n");
}

TEST_F(EmitDeclarations, ConditionsInBlockAndPackages) {
  EXPECT_EQ(inBlock({exception("e_full", "UD001"), exception("e")}),
            "BEGIN\n  DECLARE e_full CONDITION FOR SQLSTATE 'UD001';\n  DECLARE e CONDITION;\nEND@\n");
  EXPECT_EQ(inPackage({exception("e", "23505")}),
            std::vector<std::string>({"ALTER MODULE pkg PUBLISH CONDITION e FOR SQLSTATE '23505'@\n"}));
  EXPECT_EQ(inPackage({exception("e")}, true), std::vector<std::string>({"  ALTER MODULE pkg ADD CONDITION e@\n"}));
}

TEST_F(EmitDeclarations, PragmasAndExceptionInitsAreSkipped) {
  astNodeExceptionDecl* init = exception("e");
  init->variableType = VAR_EXCEPTION_INIT;
  astNodePragma* pragma = node<astNodePragma>(AST_PRAGMA);
  astNodeError* error = node<astNodeError>(AST_ERROR);
  EXPECT_EQ(inBlock({pragma, init, error, variable("v", toks({"INTEGER"}))}),
            "BEGIN\n  DECLARE v INTEGER;\nEND@\n");
}

TEST_F(EmitDeclarations, SubtypesAndWeakRefCursorsWriteNothing) {
  astNodeSubType* sub = node<astNodeSubType>(AST_SUBTYPE);
  sub->variableType = VAR_SUBTYPE;
  sub->variableName = toks({"s"});
  EXPECT_EQ(inBlock({sub, refCursor("rc", nullptr, true), variable("v", toks({"INTEGER"}))}),
            "BEGIN\n  DECLARE v INTEGER;\nEND@\n");
}

TEST_F(EmitDeclarations, Cursors) {
  EXPECT_EQ(inBlock({cursor("c1", toks({"SELECT", "id", "FROM", "emp"}))}),
            "BEGIN\n  DECLARE c1 CURSOR CONSTANT (CURSOR FOR SELECT id FROM emp);\nEND@\n");
  astNodeFormalArg* p = arg("p", ARG_IN, toks({"INTEGER"}));
  EXPECT_EQ(inBlock({cursor("c2", toks({"SELECT", "id", "FROM", "emp", "WHERE", "id", "=", "p"}), nodes({p}))}),
            "BEGIN\n  DECLARE c2 CURSOR CONSTANT (CURSOR (\n  p INTEGER) FOR SELECT id FROM emp WHERE id = p);\nEND@\n");
  // Private to a body, published from a package spec.
  EXPECT_EQ(inPackage({cursor("c", toks({"SELECT", "1", "FROM", "dual"}))}, true),
            std::vector<std::string>(
                {"  ALTER MODULE pkg ADD VARIABLE c CURSOR CONSTANT (CURSOR FOR SELECT 1 FROM dual)@\n"}));
  EXPECT_EQ(inPackage({cursor("c", toks({"SELECT", "1", "FROM", "dual"}),
                              nodes({arg("a", ARG_IN, toks({"INTEGER"})), arg("b", ARG_OUT, toks({"DATE"}))}))}),
            std::vector<std::string>({"ALTER MODULE pkg PUBLISH VARIABLE c CURSOR CONSTANT (CURSOR (\na INTEGER, "
                                      "\nb DATE) FOR SELECT 1 FROM dual)@\n"}));
}

TEST_F(EmitDeclarations, CursorQueryGivenAsSelectNode) {
  astNodeSelect* select = node<astNodeSelect>(AST_SELECT);
  select->target = toks({"a"});
  select->fromClause = toks({"t"});
  astNodeCursorDecl* c = node<astNodeCursorDecl>(AST_CURSOR_DECL);
  c->variableType = VAR_CURSOR;
  c->variableName = toks({"c"});
  c->query = select;
  EXPECT_EQ(inBlock({c}), "BEGIN\n  DECLARE c CURSOR CONSTANT (CURSOR FOR SELECT a FROM t);\nEND@\n");
}

TEST_F(EmitDeclarations, RefCursorTypes) {
  EXPECT_EQ(inBlock({refCursor("rc", anchored("emp", T_PERCENT_ROWTYPE)), refCursor("weakish", nullptr)}),
            "BEGIN\n  DECLARE TYPE rc AS ANCHOR TO ROW emp CURSOR;\n  DECLARE TYPE weakish AS  CURSOR;\nEND@\n");
  EXPECT_EQ(inPackage({refCursor("rc", nullptr)}),
            std::vector<std::string>({"ALTER MODULE pkg PUBLISH TYPE rc AS  CURSOR@\n"}));
  EXPECT_EQ(inPackage({refCursor("rc", toks({"t"}))}, true),
            std::vector<std::string>({"  ALTER MODULE pkg ADD TYPE rc AS t CURSOR@\n"}));
}

TEST_F(EmitDeclarations, RecordTypes) {
  astNodeList* fields = nodes({variable("a", toks({"INTEGER"})), variable("b", toks({"VARCHAR", "(", "10", ")"}))});
  EXPECT_EQ(inPackage({record("r", fields)}),
            std::vector<std::string>({"ALTER MODULE pkg PUBLISH TYPE r AS ROW \n"
                                      "(\n"
                                      "  a INTEGER,\n"
                                      "  b VARCHAR(10)\n"
                                      "\n"
                                      ")@\n"}));
  astNodeList* anchoredField = nodes({variable("f", anchored("x", T_PERCENT_TYPE))});
  EXPECT_EQ(inPackage({record("r", anchoredField)}, true),
            std::vector<std::string>({"  ALTER MODULE pkg ADD TYPE r AS ROW \n"
                                      "  (\n"
                                      "  f ANCHOR TO x\n"
                                      "\n"
                                      "  )@\n"}));
  // In a block: reported, and nothing is written, not even a line start.
  EXPECT_EQ(inBlock({record("r", nodes({variable("a", toks({"INTEGER"}))}), 3)}), "BEGIN\nEND@\n");
  std::vector<Error> errs = errorList();
  ASSERT_EQ(errs.size(), 1u);
  EXPECT_EQ(errs[0].message, "RECORD types cannot be declared within a program");
  EXPECT_EQ(errs[0].context, "TYPE <name> IS RECORD...");
  EXPECT_EQ(errs[0].line, 4);
  EXPECT_EQ(errs[0].domain, ERROR_DOMAIN_UNSUPPORTED);
}

TEST_F(EmitDeclarations, TableTypes) {
  EXPECT_EQ(inPackage({table("t_names", toks({"VARCHAR", "(", "30", ")"}), toks({"INTEGER"}))}),
            std::vector<std::string>({"ALTER MODULE pkg PUBLISH TYPE t_names AS VARCHAR(30) ARRAY[INTEGER]@\n"}));
  EXPECT_EQ(inPackage({table("t", toks({"DATE"}), nullptr)}, true),
            std::vector<std::string>({"  ALTER MODULE pkg ADD TYPE t AS DATE ARRAY[]@\n"}));
  EXPECT_EQ(errors.head, nullptr);
  EXPECT_EQ(inBlock({table("t", toks({"INTEGER"}), toks({"PLS_INTEGER"}), 7)}),
            "BEGIN\n  DECLARE TYPE t AS INTEGER ARRAY[PLS_INTEGER];\nEND@\n");
  std::vector<Error> errs = errorList();
  ASSERT_EQ(errs.size(), 1u);
  EXPECT_EQ(errs[0].message, "TABLE types cannot be declared within a program");
  EXPECT_EQ(errs[0].context, "TYPE <name> IS TABLE...");
  EXPECT_EQ(errs[0].line, 8);
}

TEST_F(EmitDeclarations, VarrayTypes) {
  EXPECT_EQ(inPackage({varray("va", toks({"INTEGER"}), "10")}),
            std::vector<std::string>({"ALTER MODULE pkg PUBLISH TYPE va AS INTEGER ARRAY[10]@\n"}));
  EXPECT_EQ(inPackage({varray("va", toks({"INTEGER"}), "10")}, true),
            std::vector<std::string>({"  ALTER MODULE pkg ADD TYPE va AS INTEGER ARRAY[10]@\n"}));
  // Without a dimension the brackets still close.
  EXPECT_EQ(inPackage({varray("vb", toks({"DATE"}), nullptr)}),
            std::vector<std::string>({"ALTER MODULE pkg PUBLISH TYPE vb AS DATE ARRAY[]@\n"}));
  EXPECT_EQ(errors.head, nullptr);
  EXPECT_EQ(inBlock({varray("va", toks({"INTEGER"}), "5", 2)}), "BEGIN\n  DECLARE TYPE va AS INTEGER ARRAY[5];\nEND@\n");
  std::vector<Error> errs = errorList();
  ASSERT_EQ(errs.size(), 1u);
  EXPECT_EQ(errs[0].message, "VARRAY types cannot be declared within a program");
  EXPECT_EQ(errs[0].context, "TYPE <name> IS VARRAY...");
  EXPECT_EQ(errs[0].line, 3);
}

TEST_F(EmitDeclarations, EveryModuleMemberIsARecordOfItsOwn) {
  std::vector<std::string> out =
      inPackage({variable("a", toks({"INTEGER"})), exception("e"), table("t", toks({"INTEGER"}), nullptr),
                 variable("b", toks({"DATE"}), toks({"(", "SYSDATE", ")"}))});
  EXPECT_EQ(out, std::vector<std::string>({"ALTER MODULE pkg PUBLISH VARIABLE a INTEGER@\n",
                                           "ALTER MODULE pkg PUBLISH CONDITION e@\n",
                                           "ALTER MODULE pkg PUBLISH TYPE t AS INTEGER ARRAY[]@\n",
                                           "ALTER MODULE pkg PUBLISH VARIABLE b DATE DEFAULT (SYSDATE)@\n"}));
}

TEST_F(EmitDeclarations, DeclarationsCarryLineMarkers) {
  astNodeBlock* b = node<astNodeBlock>(AST_BLOCK, 0);
  b->anonymous = true;
  b->declarations = adopt(b, nodes({variable("a", toks({"INTEGER"}), nullptr, 1),
                                    variable("b", toks({"INTEGER"}), nullptr, 4)}));
  b->body = adopt(b, nodes({nullStmt(5)}));
  EXPECT_EQ(one({b}, "@", true),
            "BEGIN\n"
            "  DECLARE a INTEGER;\n"
            "--#line 005\n"
            "  DECLARE b INTEGER;\n"
            "  -- NULL;\n"
            "END@\n");
}

TEST_F(EmitDeclarations, ClassAndKindMismatchWritesNothing) {
  astNodeCursorDecl* odd = node<astNodeCursorDecl>(AST_CURSOR_DECL);
  odd->variableType = VAR_SCALAR;  // a cursor node claiming to be a variable
  odd->variableName = toks({"x"});
  EXPECT_EQ(inBlock({odd}), "BEGIN\nEND@\n");
}

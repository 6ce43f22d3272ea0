// Hand-built trees for the emitter tests: token lists, nodes of each kind
// and a run of emitProgram whose records and errors are returned as plain
// values.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "ast.h"
#include "error_records.h"
#include "plsql_parser.hpp"
#include "run_pool.h"
#include "rewrite_internal.h"
#include "sqlexc_ast_emit.h"

namespace emit_test {

struct Record {
  int type;
  std::string text;
};

struct Error {
  std::string message;
  int domain;
  int line;
  std::string context;
};

inline astNodeToken* tok(const char* text, int code = T_WORD, int line = 0) { return astTokenNew(code, text, line); }

// A token list from texts, each a T_WORD token on line 0.
inline astNodeList* toks(std::initializer_list<const char*> texts) {
  astNodeList* list = nullptr;
  for (const char* t : texts) list = listAppend(list, tok(t));
  return list;
}

inline astNodeList* nodes(std::initializer_list<astNode*> items) {
  astNodeList* list = nullptr;
  for (astNode* n : items) list = listAppend(list, n);
  return list;
}

// Sets the parent links the rewriting would set between a node and a list
// it holds (list -> node, elements -> list).
inline astNodeList* adopt(astNode* parent, astNodeList* list) {
  if (!list) return list;
  list->parent = parent;
  for (astListCell* c = list->head; c; c = c->next)
    if (c->value) c->value->parent = list;
  return list;
}

struct EmitFixture : ::testing::Test {
  PoolJumpTarget target{1};
  ErrorList errors;
  std::vector<Record> records;

  void SetUp() override { poolCreateCurrent(&target); }
  void TearDown() override { poolDestroyCurrent(); }

  // Emits a program whose top-level units are the given nodes.
  std::vector<Record>& run(std::initializer_list<astNode*> units, const char* terminator = "@",
                           bool markers = false) {
    return runRoot(nodes(units), terminator, markers);
  }

  std::vector<Record>& runRoot(astNode* root, const char* terminator = "@", bool markers = false) {
    records.clear();
    // The last pass of the translation: what the emitter writes is settled
    // there.
    TransformState state;
    state.root = root;
    state.errors = &errors;
    rewrite::settleWrittenForms(&state);
    StatementRecord* first = emitProgram(root, 0, terminator, markers, &errors);
    for (StatementRecord* r = first; r; r = r->next) {
      EXPECT_EQ(r->length, std::string(r->text).size());
      records.push_back(Record{r->type, std::string(r->text, r->length)});
    }
    return records;
  }

  // The whole text of a run that must produce exactly one record.
  std::string one(std::initializer_list<astNode*> units, const char* terminator = "@", bool markers = false) {
    run(units, terminator, markers);
    EXPECT_EQ(records.size(), 1u);
    return records.empty() ? std::string("<no record>") : records[0].text;
  }

  std::vector<Error> errorList() const {
    std::vector<Error> out;
    for (ErrorRecord* e = errors.head; e; e = e->next)
      out.push_back(Error{e->message ? e->message : "", e->domain, e->line, e->context ? e->context : ""});
    return out;
  }

  // ---- node builders ----

  template <class T>
  static T* node(int kind, int line = 0) {
    return astMake<T>(kind, line);
  }

  static astNodeBlock* block(std::initializer_list<astNode*> body, int line = 0) {
    astNodeBlock* b = node<astNodeBlock>(AST_BLOCK, line);
    b->body = adopt(b, nodes(body));
    return b;
  }

  static astNodeNull* nullStmt(int line = 0) { return node<astNodeNull>(AST_NULL, line); }

  static astNodeCreateProc* procedure(const char* name, astNodeBlock* body, int line = 0) {
    astNodeCreateProc* p = node<astNodeCreateProc>(AST_CREATE_PROCEDURE, line);
    p->name = toks({name});
    p->AUTHID = true;
    p->body = body;
    if (body) body->parent = p;
    return p;
  }

  static astNodeCreateFunc* function(const char* name, astNodeList* returns, astNodeBlock* body, int line = 0) {
    astNodeCreateFunc* f = node<astNodeCreateFunc>(AST_CREATE_FUNCTION, line);
    f->name = toks({name});
    f->returns = returns;
    f->body = body;
    if (body) body->parent = f;
    return f;
  }

  static astNodeFormalArg* arg(const char* name, int mode, astNodeList* type, int line = 0) {
    astNodeFormalArg* a = node<astNodeFormalArg>(AST_FORMAL_ARG, line);
    a->name = toks({name});
    a->mode = mode;
    a->dataType = type;
    return a;
  }

  static astNodeVarDecl* variable(const char* name, astNodeList* type, astNodeList* value = nullptr,
                                  int line = 0) {
    astNodeVarDecl* v = node<astNodeVarDecl>(AST_VAR_DECL, line);
    v->variableType = VAR_SCALAR;
    v->variableName = toks({name});
    v->dataType = type;
    v->defaultValue = value;
    return v;
  }

  static astNodeReturn* returnStmt(astNodeList* expr, int line = 0) {
    astNodeReturn* r = node<astNodeReturn>(AST_RETURN, line);
    r->expr = expr;
    return r;
  }

  static astNodeAssign* assign(astNodeList* target, astNodeList* expr, int line = 0) {
    astNodeAssign* a = node<astNodeAssign>(AST_ASSIGN, line);
    a->target = target;
    a->expr = expr;
    return a;
  }

  static astNodeSqlStmt* sql(const char* keyword, int code, astNodeList* body, astNode* scope, int line = 0) {
    astNodeSqlStmt* s = node<astNodeSqlStmt>(AST_SQL_STMT, line);
    s->keyword = poolStrdup(keyword);
    s->keywordCode = code;
    s->body = body;
    s->scope = scope;
    return s;
  }

  static astNodeCreatePkgHead* packageHead(const char* name, int line = 0) {
    astNodeCreatePkgHead* p = node<astNodeCreatePkgHead>(AST_CREATE_PKG_HEAD, line);
    p->name = toks({name});
    p->AUTHID = true;
    return p;
  }

  static astNodeCreatePkgBody* packageBody(const char* name, int line = 0) {
    astNodeCreatePkgBody* p = node<astNodeCreatePkgBody>(AST_CREATE_PKG_BODY, line);
    p->name = toks({name});
    return p;
  }
};

}  // namespace emit_test

// The last pass: the tree in the order the emitter writes it. It records the
// constructs that the target cannot take as they will be written (BULK
// COLLECT, types declared in a program, AUTHID CURRENT_USER, trigger forms,
// a jump without its loop), puts every token list that will be written in
// the form the target reads as PL/SQL does (exact_expressions.cpp), and
// marks the NULL statements that must be written as statements. The emitter
// then writes what the tree says and decides nothing.
//
// The walk follows the emitter's order node by node, so that the records
// come in the order the text does; a handler's statements are written once
// for each of its conditions, and so are their records. Nothing but that
// order ties the two, so in debug builds the walk marks each token list it
// passes over and the emitter stops at a list without the mark.
#include <unordered_set>

#include "deep_walk.h"
#include "plsql_parser.hpp"
#include "rewrite_internal.h"

using namespace rewrite;

namespace {

// The cells of a list field; none for a node that is not a list, which the
// emitter skips instead of misreading it.
astListCell* cellsOf(astNode* list) {
  return list && list->kind == AST_LIST ? nodeAs<astNodeList>(list)->head : nullptr;
}

// Whether the NULL statement opens a branch, loop body or handler that NULL
// statements alone make up: the target needs a statement there, where a
// block's body may stay empty.
bool fillsEmptyBranch(astNode* node) {
  astNode* list = node->parent;
  if (!list || list->kind != AST_LIST || !list->parent) return false;
  if (list->parent->kind == AST_BLOCK || list->parent->kind == AST_LIST) return false;
  astListCell* first = listCells(nodeAs<astNodeList>(list));
  if (!first || first->value != node) return false;
  for (astListCell* c = first; c; c = c->next)
    if (!c->value || c->value->kind != AST_NULL) return false;
  return true;
}

struct WrittenWalk {
  TransformState* state;
  std::unordered_set<const astNodeList*> rewritten;

  void record(FindingId finding, astNode* at, const char* name = nullptr) {
    reportFinding(finding, at, state->errors, name);
  }

  // The emitter checks the mark in debug builds: a list this walk passed by
  // would be written as the rewriting left it.
  static void settle(astNodeList* list) {
#ifndef NDEBUG
    list->settled = true;
#else
    (void)list;
#endif
  }

  // A token list the emitter writes with its spacing rule.
  void tokens(astNode* node) {
    if (!node || node->kind != AST_LIST) return;
    auto* list = nodeAs<astNodeList>(node);
    settle(list);
    if (!holdsInexactForm(list) || !rewritten.insert(list).second) return;
    astNodeList* exact = exactExpression(list, state);
    if (exact == list) return;
    list->head = exact->head;
    list->tail = exact->tail;
    list->count = exact->count;
    // The tokens the form adds belong to the list.
    for (astListCell* c = list->head; c; c = c->next)
      if (c->value && !c->value->parent) c->value->parent = list;
  }

  void datatype(astNodeList* type) {
    if (!type || type->kind != AST_LIST) return;
    astNodeToken* last = asToken(listLast(type));
    // An anchored type is written as its texts, unspaced.
    if (last && (last->tokenCode == T_PERCENT_TYPE || last->tokenCode == T_PERCENT_ROWTYPE)) return settle(type);
    tokens(type);
  }

  void each(astNode* list) {
    if (!list || list->kind != AST_LIST) return;
    for (astListCell* c = nodeAs<astNodeList>(list)->head; c; c = c->next) node(c->value);
  }

  void selectForm(astNode* query) {
    auto* select = nodeAs<astNodeSelect>(query);
    if (select->bulkCollect) {
      record(FindingId::BULK_COLLECT, query);
      return;
    }
    tokens(select->withClause);
    tokens(select->target);
    tokens(select->intoClause);
    tokens(select->fromClause);
  }

  void declarations(astNodeList* list, astNode* unit) {
    if (!list || list->kind != AST_LIST) return;
    if (!unit) unit = list->parent;
    for (astListCell* c = list->head; c; c = c->next) {
      astNode* element = c->value;
      if (!isDeclaration(element)) continue;
      auto* declaration = nodeAs<astNodeDecl>(element);
      tokens(isPackage(unit) ? astPackageName(unit) : nullptr);
      switch (declaration->variableType) {
        case VAR_SCALAR:
          if (element->kind != AST_VAR_DECL) break;
          tokens(declaration->variableName);
          datatype(nodeAs<astNodeVarDecl>(element)->dataType);
          tokens(nodeAs<astNodeVarDecl>(element)->defaultValue);
          break;
        case VAR_CURSOR: {
          if (element->kind != AST_CURSOR_DECL) break;
          auto* cursor = nodeAs<astNodeCursorDecl>(element);
          tokens(declaration->variableName);
          each(cursor->queryArgs);
          if (cursor->query && cursor->query->kind == AST_SELECT) selectForm(cursor->query);
          else tokens(cursor->query);
          break;
        }
        case VAR_RECORD:
          if (element->kind != AST_RECORD_DECL) break;
          if (!isPackage(unit)) {
            record(FindingId::TYPE_IN_PROGRAM, element, "RECORD");
            break;
          }
          tokens(declaration->variableName);
          for (astListCell* f = cellsOf(nodeAs<astNodeRecordDecl>(element)->dataType); f; f = f->next) {
            if (!f->value) continue;
            if (isTranslatedDeclaration(f->value)) tokens(nodeAs<astNodeDecl>(f->value)->variableName);
            if (f->value->kind == AST_VAR_DECL) datatype(nodeAs<astNodeVarDecl>(f->value)->dataType);
          }
          break;
        case VAR_TABLE:
          if (element->kind != AST_TABLE_DECL) break;
          if (!isPackage(unit)) record(FindingId::TYPE_IN_PROGRAM, element, "TABLE");
          tokens(declaration->variableName);
          datatype(nodeAs<astNodeTableDecl>(element)->dataType);
          datatype(nodeAs<astNodeTableDecl>(element)->indexType);
          break;
        case VAR_REFCURSOR:
          if (element->kind != AST_REFCURSOR_DECL || nodeAs<astNodeRefCursorDecl>(element)->weak) break;
          tokens(declaration->variableName);
          datatype(nodeAs<astNodeRefCursorDecl>(element)->dataType);
          break;
        case VAR_VARRAY:
          if (element->kind != AST_VARRAY_DECL) break;
          if (!isPackage(unit)) record(FindingId::TYPE_IN_PROGRAM, element, "VARRAY");
          tokens(declaration->variableName);
          datatype(nodeAs<astNodeVarrayDecl>(element)->dataType);
          break;
        case VAR_EXCEPTION:
          if (element->kind == AST_EXCEPTION_DECL) tokens(declaration->variableName);
          break;
        default: break;
      }
    }
  }

  // AUTHID CURRENT_USER among a function's options.
  void functionOptions(astNodeList* options, astNode* routine) {
    for (astListCell* c = cellsOf(options); c; c = c->next)
      if (c->value && c->value->kind == AST_TOKEN && nodeAs<astNodeToken>(c->value)->tokenCode == T_CURRENT_USER)
        record(FindingId::AUTHID_CURRENT_USER, routine, "FUNCTION");
  }

  // The published head of a routine without a body.
  void headAlone(astNode* routine, astNode* package, astNodeList* name, astNodeList* args, astNodeList* returns,
                 astNodeList* options) {
    tokens(astPackageName(package));
    tokens(name);
    each(args);
    datatype(returns);
    functionOptions(options, routine);
  }

  void node(astNode* n) {
    if (!n) return;
    deep_walk_check();
    switch (n->kind) {
      case AST_ASSIGN: {
        auto* assign = nodeAs<astNodeAssign>(n);
        if (assign->callForm) return node(assign->callForm);
        tokens(assign->target);
        tokens(assign->targetIndex);
        tokens(assign->targetField);
        if (assign->expr && assign->expr->kind == AST_SELECT) selectForm(assign->expr);
        else tokens(assign->expr);
        return;
      }
      case AST_BLOCK: {
        auto* block = nodeAs<astNodeBlock>(n);
        declarations(block->declarations, n);
        node(block->exceptions);
        node(block->prologue);
        node(block->body);
        return;
      }
      case AST_CALL: {
        auto* call = nodeAs<astNodeCall>(n);
        if (call->rewrite) return node(call->rewrite);
        tokens(call->name);
        tokens(call->args);
        return;
      }
      case AST_CASE: {
        auto* statement = nodeAs<astNodeCase>(n);
        tokens(statement->predicate);
        node(statement->values);
        node(statement->defaultValue);
        return;
      }
      case AST_CASE_EXPR: {
        auto* branch = nodeAs<astNodeCaseExpr>(n);
        tokens(branch->predicate);
        node(branch->body);
        return;
      }
      case AST_CLOSE: return tokens(nodeAs<astNodeClose>(n)->variable);
      case AST_CONTINUE: {
        auto* next = nodeAs<astNodeContinue>(n);
        if (!next->target) reportFinding(FindingId::NO_ENCLOSING_LOOP, n, state->errors, nullptr, "CONTINUE");
        return tokens(next->expr);
      }
      case AST_EXIT: {
        auto* exit = nodeAs<astNodeExit>(n);
        if (!exit->target) reportFinding(FindingId::NO_ENCLOSING_LOOP, n, state->errors, nullptr, "EXIT");
        return tokens(exit->expr);
      }
      case AST_CREATE_FUNCTION: {
        auto* function = nodeAs<astNodeCreateFunc>(n);
        bool member = isPackage(function->package);
        if (member && !function->body)
          return headAlone(n, function->package, function->name, function->args, function->returns,
                           function->options);
        if (function->WRAPPED && !function->body) return;
        tokens(member ? astPackageName(function->package) : nullptr);
        tokens(function->name);
        each(function->args);
        datatype(function->returns);
        functionOptions(function->options, n);
        return node(function->body);
      }
      case AST_CREATE_PROCEDURE: {
        auto* procedure = nodeAs<astNodeCreateProc>(n);
        bool member = isPackage(procedure->package);
        if (member && !procedure->body)
          return headAlone(n, procedure->package, procedure->name, procedure->args, nullptr, nullptr);
        if (procedure->WRAPPED && !procedure->body) return;
        tokens(member ? astPackageName(procedure->package) : nullptr);
        tokens(procedure->name);
        each(procedure->args);
        node(procedure->body);
        if (!procedure->AUTHID) record(FindingId::AUTHID_CURRENT_USER, n, "PROCEDURE");
        return;
      }
      case AST_CREATE_PKG_HEAD: {
        auto* head = nodeAs<astNodeCreatePkgHead>(n);
        tokens(head->name);
        declarations(head->declarations, n);
        node(head->prototypes);
        node(head->types);
        if (!head->AUTHID) record(FindingId::AUTHID_CURRENT_USER, n, "PACKAGE");
        return;
      }
      case AST_CREATE_PKG_BODY: {
        auto* body = nodeAs<astNodeCreatePkgBody>(n);
        tokens(body->name);
        declarations(body->declarations, n);
        node(body->prototypes);
        node(body->types);
        node(body->constructor);
        return;
      }
      case AST_CREATE_TRIGGER: {
        auto* trigger = nodeAs<astNodeCreateTrigger>(n);
        if (trigger->compound || trigger->point == TRIGGER_FOR) record(FindingId::COMPOUND_TRIGGER, n);
        if (!trigger->forEachRow) record(FindingId::STATEMENT_TRIGGER, n);
        tokens(trigger->name);
        if (trigger->events == TRIGGER_UPDATE) {
          for (astListCell* c = cellsOf(trigger->updateColumns); c; c = c->next) tokens(c->value);
        } else if (trigger->events != TRIGGER_INSERT && trigger->events != TRIGGER_DELETE) {
          record(FindingId::MULTI_EVENT_TRIGGER, n);
        }
        tokens(trigger->relation);
        for (astListCell* c = cellsOf(trigger->referencing); c; c = c->next)
          if (c->value && c->value->kind == AST_TRIGGER_VAR) tokens(nodeAs<astNodeTriggerArg>(c->value)->alias);
        tokens(trigger->condition);
        return node(trigger->body);
      }
      case AST_DROP_PKG_HEAD: return tokens(nodeAs<astNodeDropPkgHead>(n)->name);
      case AST_DROP_PKG_BODY: return tokens(nodeAs<astNodeDropPkgBody>(n)->name);
      case AST_DYNAMIC: return node(nodeAs<astNodeDynamic>(n)->expansion);
      case AST_FETCH: {
        auto* fetch = nodeAs<astNodeFetch>(n);
        if (fetch->bulkCollect) return record(FindingId::BULK_COLLECT, n);
        tokens(fetch->variable);
        return tokens(fetch->expr);
      }
      case AST_FOR: {
        auto* loop = nodeAs<astNodeFor>(n);
        if (loop->loopType != FOR_SELECT) return node(loop->expansion);
        tokens(loop->index);
        tokens(loop->expr);
        return node(loop->body);
      }
      case AST_FORMAL_ARG: {
        auto* arg = nodeAs<astNodeFormalArg>(n);
        tokens(arg->name);
        datatype(arg->dataType);
        return tokens(arg->defaultValue);
      }
      case AST_FUNC_PROTO: {
        auto* proto = nodeAs<astNodeFuncProto>(n);
        return headAlone(n, proto->package, proto->name, proto->args, proto->returns, proto->options);
      }
      case AST_PROC_PROTO: {
        auto* proto = nodeAs<astNodeProcProto>(n);
        return headAlone(n, proto->package, proto->name, proto->args, nullptr, nullptr);
      }
      case AST_GOTO: return tokens(nodeAs<astNodeGoto>(n)->target);
      case AST_HANDLER: {
        auto* handler = nodeAs<astNodeHandler>(n);
        for (astListCell* c = cellsOf(handler->conditions); c; c = c->next) {
          node(c->value);
          node(handler->body);
        }
        return;
      }
      case AST_IF: {
        auto* branch = nodeAs<astNodeIf>(n);
        tokens(branch->expr);
        node(branch->body);
        node(branch->elseIf);
        return node(branch->elseBody);
      }
      case AST_ELSE_IF: {
        auto* branch = nodeAs<astNodeElseIf>(n);
        tokens(branch->expr);
        node(branch->body);
        return node(branch->elseIf);
      }
      case AST_LIST: return each(n);
      case AST_LOOP: return node(nodeAs<astNodeLoop>(n)->body);
      case AST_NULL: {
        // A label (a GOTO target) needs a statement to stand on, and so
        // does a branch that NULL statements alone make up.
        auto* null = nodeAs<astNodeNull>(n);
        null->emptyCompound = null->label || fillsEmptyBranch(n);
        return;
      }
      case AST_OPEN: {
        auto* open = nodeAs<astNodeOpen>(n);
        if (open->cursorConstructor && open->cursorConstructor->kind == AST_ASSIGN) node(open->cursorConstructor);
        if (open->prepareStmt && open->prepareStmt->kind == AST_PREPARE) node(open->prepareStmt);
        tokens(open->variable);
        if (open->usingClause) tokens(open->usingClause);
        else tokens(open->args);
        return;
      }
      case AST_RAISE_APP: return node(nodeAs<astNodeRaiseApp>(n)->expansion);
      case AST_RETURN: return tokens(nodeAs<astNodeReturn>(n)->expr);
      case AST_SELECT: return selectForm(n);
      case AST_SQL_STMT: {
        auto* statement = nodeAs<astNodeSqlStmt>(n);
        tokens(statement->returning);
        return tokens(statement->body);
      }
      case AST_WHILE: {
        auto* loop = nodeAs<astNodeWhile>(n);
        tokens(loop->expr);
        return node(loop->body);
      }
      case AST_VALUES: {
        auto* values = nodeAs<astNodeValues>(n);
        for (astListCell* c = cellsOf(values->targets); c; c = c->next) tokens(c->value);
        for (astListCell* c = cellsOf(values->sources); c; c = c->next) tokens(c->value);
        return;
      }
      case AST_SIGNAL: return tokens(nodeAs<astNodeSignal>(n)->message);
      case AST_PREPARE: {
        auto* prepare = nodeAs<astNodePrepare>(n);
        if (!prepare->stmtHolder) tokens(prepare->query);
        return;
      }
      case AST_EXECUTE: {
        auto* execute = nodeAs<astNodeExecute>(n);
        tokens(execute->into);
        return tokens(execute->using_);
      }
      case AST_GET_DIAG: {
        auto* diag = nodeAs<astNodeGetDiag>(n);
        tokens(diag->target);
        return tokens(diag->source);
      }
      default: return;  // nothing written, or a single token's text
    }
  }
};

}  // namespace

namespace rewrite {

void settleWrittenForms(TransformState* state) {
  WrittenWalk walk{state, {}};
  walk.node(state->root);
}

}  // namespace rewrite

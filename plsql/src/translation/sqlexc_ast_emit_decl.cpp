// Emitters of declarations other than variables (conditions, cursors, REF
// CURSOR, record, table and varray types) and of datatypes. Inside a block a
// declaration is a DECLARE statement; inside a package it extends the module
// with a statement of its own.
#include "ast.h"
#include "plsql_parser.hpp"
#include "sqlexc_ast_emit_internal.h"

namespace {

// "ALTER MODULE pkg PUBLISH TYPE " (package spec) or "... ADD TYPE " (body).
void emitModuleTypeHead(EmitterState* state, astNode* unit) {
  emitWrappedTokens(astPackageName(unit), state, "ALTER MODULE ",
                    unit->kind == AST_CREATE_PKG_HEAD ? " PUBLISH TYPE " : " ADD TYPE ");
}

const char* textOf(const astNode* node) {
  if (!node || node->kind != AST_TOKEN) return nullptr;
  const char* text = nodeAs<const astNodeToken>(node)->text;
  return text ? text : "";
}

}  // namespace

void emitDatatype(astNodeList* type, EmitterState* state) {
  if (!type) return;
  if (type->kind != AST_LIST) {
    emitTokensOf(type, state);
    return;
  }
  astNode* last = listLast(type);
  int code = last && last->kind == AST_TOKEN ? nodeAs<astNodeToken>(last)->tokenCode : 0;
  if (code != T_PERCENT_TYPE && code != T_PERCENT_ROWTYPE) {
    emitWrappedTokens(type, state, "", "");
    return;
  }
  emitCheckSettled(type);
  emitAppend(state, code == T_PERCENT_TYPE ? "ANCHOR TO " : "ANCHOR TO ROW ");
  for (astListCell* c = type->head; c && c->next; c = c->next) emitAppend(state, textOf(c->value));
}

void emitExceptionDeclaration(astNode* node, EmitterState* state, astNode* unit) {
  astNodeExceptionDecl* exception = nodeAs<astNodeExceptionDecl>(node);
  if (isPackage(unit)) {
    emitRoutineHead(state, "CONDITION", unit, exception->variableName, false);
  } else {
    emitAppend(state, "DECLARE ");
    emitTokensOf(exception->variableName, state);
    emitAppend(state, " CONDITION");
  }
  if (exception->sqlstate) emitTokenList(state, " FOR SQLSTATE ", "'", exception->sqlstate, "'");
  emitUnitEnd(state, unit);
}

void emitCursorDeclaration(astNode* node, EmitterState* state, astNode* unit) {
  astNodeCursorDecl* cursor = nodeAs<astNodeCursorDecl>(node);
  if (isPackage(unit)) {
    // A cursor of the body is private to the package, like its variables.
    emitWrappedTokens(astPackageName(unit), state, "ALTER MODULE ",
                      unit->kind == AST_CREATE_PKG_HEAD ? " PUBLISH VARIABLE " : " ADD VARIABLE ");
  } else {
    emitAppend(state, "DECLARE ");
  }
  emitWrappedTokens(cursor->variableName, state, "", " CURSOR CONSTANT (CURSOR ");
  if (cursor->queryArgs) {
    emitArgumentList(cursor->queryArgs, node, state);
    emitAppend(state, " ");
  }
  if (cursor->withHold) emitAppend(state, "WITH HOLD ");
  emitAppend(state, "FOR ");
  // The parser keeps the query as tokens; a select node is written in its
  // SELECT form.
  if (cursor->query && cursor->query->kind == AST_SELECT)
    emitSelectForm(cursor->query, state, "");
  else
    emitTokensOf(cursor->query, state);
  emitAppend(state, ")");
  emitUnitEnd(state, unit);
}

void emitRefCursorDeclaration(astNode* node, EmitterState* state, astNode* unit) {
  astNodeRefCursorDecl* type = nodeAs<astNodeRefCursorDecl>(node);
  if (unit && unit->kind == AST_BLOCK) {
    emitAppend(state, "DECLARE TYPE ");
  } else {
    emitWrappedTokens(astPackageName(unit), state, "ALTER MODULE ",
                      unit && unit->kind == AST_CREATE_PKG_HEAD ? " PUBLISH TYPE " : " ADD TYPE ");
  }
  emitWrappedTokens(type->variableName, state, "", " AS ");
  emitDatatype(type->dataType, state);
  emitAppend(state, " CURSOR");
  emitUnitEnd(state, unit);
}

void emitRecordDeclaration(astNode* node, EmitterState* state, astNode* unit) {
  astNodeRecordDecl* record = nodeAs<astNodeRecordDecl>(node);
  // Outside a package no text stands for it (recorded by the last pass).
  if (!isPackage(unit)) return;
  emitRoutineHead(state, "TYPE", unit, record->variableName, false);
  emitAppend(state, " AS ROW \n");
  emitTokenList(state, emitIndentation(state), "(\n");
  state->depth += 2;
  for (astListCell* c = emitCells(record->dataType); c; c = c->next) {
    astNode* field = c->value;
    if (!field) continue;
    emitAppend(state, emitIndentation(state));
    if (isTranslatedDeclaration(field)) emitTokensOf(nodeAs<astNodeDecl>(field)->variableName, state);
    emitAppend(state, " ");
    if (field->kind == AST_VAR_DECL) emitDatatype(nodeAs<astNodeVarDecl>(field)->dataType, state);
    if (c->next) emitAppend(state, ",");
    emitAppend(state, "\n");
  }
  state->depth -= 2;
  emitTokenList(state, "\n", emitIndentation(state), ")");
  emitUnitEnd(state, unit);
}

void emitTableDeclaration(astNode* node, EmitterState* state, astNode* unit) {
  astNodeTableDecl* table = nodeAs<astNodeTableDecl>(node);
  if (isPackage(unit)) {
    emitModuleTypeHead(state, unit);
  } else {
    emitAppend(state, "DECLARE TYPE ");
  }
  emitWrappedTokens(table->variableName, state, "", " AS ");
  emitDatatype(table->dataType, state);
  emitAppend(state, " ARRAY[");
  emitDatatype(table->indexType, state);
  emitAppend(state, "]");
  emitUnitEnd(state, unit);
}

void emitVarrayDeclaration(astNode* node, EmitterState* state, astNode* unit) {
  astNodeVarrayDecl* varray = nodeAs<astNodeVarrayDecl>(node);
  if (isPackage(unit)) {
    emitModuleTypeHead(state, unit);
  } else {
    emitAppend(state, "DECLARE TYPE ");
  }
  emitWrappedTokens(varray->variableName, state, "", " AS ");
  emitDatatype(varray->dataType, state);
  // Without a dimension the brackets still close, so the statement stays whole.
  emitTokenList(state, " ARRAY[", varray->dimension ? varray->dimension : "", "]");
  emitUnitEnd(state, unit);
}

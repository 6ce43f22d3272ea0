// Emitters of the statements that carry SQL text (embedded and top-level SQL
// statements, SELECT ... INTO, assignments), of cursor OPEN, FETCH and CLOSE,
// of procedure calls, and of plain tokens and node lists.
#include "ast.h"
#include "plsql_parser.hpp"
#include "sqlexc_ast_emit_internal.h"

namespace {

bool isDataChange(int keywordCode) {
  return keywordCode == T_INSERT || keywordCode == T_UPDATE || keywordCode == T_DELETE;
}

}  // namespace

void emitSqlStatement(astNode* node, EmitterState* state) {
  astNodeSqlStmt* statement = nodeAs<astNodeSqlStmt>(node);
  bool topLevel = statement->scope == nullptr;
  if (topLevel) {
    closeStatement(state);
    state->statementType = STMT_TYPE_OTHER;
  }
  emitNewLine(state, node);
  if (isDataChange(statement->keywordCode)) {
    emitReturningForm(node, state);
  } else {
    emitTokenList(state, statement->keyword, " ");
    emitWrappedTokens(statement->body, state, "", "");
  }
  if (topLevel) {
    emitTokenList(state, state->terminator, "\n");
    closeStatement(state);
  } else {
    emitAppend(state, ";\n");
  }
}

void emitReturningForm(astNode* node, EmitterState* state) {
  astNodeSqlStmt* statement = nodeAs<astNodeSqlStmt>(node);
  if (!statement->returning) {
    emitTokenList(state, statement->keyword, " ");
    emitWrappedTokens(statement->body, state, "", "");
    return;
  }
  emitWrappedTokens(statement->returning, state, "SELECT ",
                    statement->keywordCode == T_DELETE ? " FROM OLD TABLE (" : " FROM NEW TABLE (");
  emitTokenList(state, statement->keyword, " ");
  emitWrappedTokens(statement->body, state, "", "");
  emitAppend(state, ")");
}

void emitSelect(astNode* node, EmitterState* state) {
  emitNewLine(state, node);
  emitSelectForm(node, state, ";\n");
}

void emitSelectForm(astNode* node, EmitterState* state, const char* suffix) {
  astNodeSelect* select = nodeAs<astNodeSelect>(node);
  // BULK COLLECT is written as nothing (recorded by the last pass).
  if (select->bulkCollect) return;
  if (select->withClause) emitWrappedTokens(select->withClause, state, "WITH ", " ");
  emitWrappedTokens(select->target, state, "SELECT ", "");
  if (select->intoClause) emitWrappedTokens(select->intoClause, state, " INTO ", "");
  emitWrappedTokens(select->fromClause, state, " FROM ", suffix);
}

void emitAssign(astNode* node, EmitterState* state) {
  astNodeAssign* assign = nodeAs<astNodeAssign>(node);
  if (assign->callForm) {
    emitStatement(assign->callForm, state);
    return;
  }
  emitNewLine(state, node);
  emitWrappedTokens(assign->target, state, "SET ", "");
  if (assign->targetIndex) emitWrappedTokens(assign->targetIndex, state, "(", ")");
  if (assign->targetField) emitWrappedTokens(assign->targetField, state, ".", "");
  emitAppend(state, " = ");
  astNode* expr = assign->expr;
  bool held = assign->withHold;
  if (expr && expr->kind == AST_SELECT) {
    emitAppend(state, held ? "CURSOR WITH HOLD FOR " : "CURSOR FOR ");
    emitSelectForm(expr, state, "");
  } else if (assign->preparedCursor) {
    // OPEN ... FOR a statement text: the cursor over the prepared statement.
    // Unheld, it keeps the second blank it has always been written with.
    emitTokenList(state, held ? "CURSOR WITH HOLD FOR " : "CURSOR FOR  ", assign->preparedCursor);
  } else {
    emitWrappedTokens(nodeAs<astNodeList>(expr), state, "", "");
  }
  emitAppend(state, ";\n");
}

void emitOpen(astNode* node, EmitterState* state) {
  astNodeOpen* open = nodeAs<astNodeOpen>(node);
  if (open->cursorConstructor && open->cursorConstructor->kind == AST_ASSIGN) emitAssign(open->cursorConstructor, state);
  if (open->prepareStmt && open->prepareStmt->kind == AST_PREPARE) emitPrepare(open->prepareStmt, state);
  emitNewLine(state, node);
  emitWrappedTokens(open->variable, state, "OPEN ", "");
  if (open->usingClause)
    emitWrappedTokens(open->usingClause, state, " USING ", "");
  else if (open->args)
    emitWrappedTokens(open->args, state, "(", ")");
  emitAppend(state, ";\n");
}

void emitFetch(astNode* node, EmitterState* state) {
  astNodeFetch* fetch = nodeAs<astNodeFetch>(node);
  if (fetch->bulkCollect) return;
  emitNewLine(state, node);
  emitWrappedTokens(fetch->variable, state, "FETCH ", "");
  emitWrappedTokens(fetch->expr, state, " INTO ", ";\n");
}

void emitClose(astNode* node, EmitterState* state) {
  emitNewLine(state, node);
  emitWrappedTokens(nodeAs<astNodeClose>(node)->variable, state, "CLOSE ", " ;\n");
}

void emitCall(astNode* node, EmitterState* state) {
  astNodeCall* call = nodeAs<astNodeCall>(node);
  if (call->rewrite) {
    emitStatement(call->rewrite, state);
    return;
  }
  emitNewLine(state, node);
  emitWrappedTokens(call->name, state, "CALL ", "");
  if (call->args) emitWrappedTokens(call->args, state, "(", ")");
  emitAppend(state, ";\n");
}

void emitToken(astNode* node, EmitterState* state) { emitAppend(state, nodeAs<astNodeToken>(node)->text); }

void emitList(astNode* node, EmitterState* state) {
  for (astListCell* c = nodeAs<astNodeList>(node)->head; c; c = c->next) emitStatement(c->value, state);
}

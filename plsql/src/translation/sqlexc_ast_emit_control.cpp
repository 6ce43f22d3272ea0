// Emitters of loops, conditionals, CASE, the one-line control statements
// (RETURN, RAISE, NULL, GOTO, CONTINUE, EXIT) and of the statements that the
// rewriting makes for dynamic SQL and diagnostics (EXECUTE, PREPARE, SIGNAL,
// VALUES ... INTO, GET DIAGNOSTICS).
#include "ast.h"
#include "sqlexc_ast_emit_internal.h"

namespace {

// A loop label the rewriting should have supplied; without one (an EXIT or
// CONTINUE outside any loop, recorded by the last pass) the statement is
// written with an empty label.
const char* loopLabel(const char* target) { return target ? target : ""; }

void emitBody(astNode* body, EmitterState* state) {
  state->depth += 2;
  emitStatement(body, state);
  state->depth -= 2;
}

}  // namespace

void emitWhile(astNode* node, EmitterState* state) {
  astNodeWhile* loop = nodeAs<astNodeWhile>(node);
  emitAppend(state, "\n");
  emitNewLine(state, node);
  emitWrappedTokens(loop->expr, state, "WHILE ", " DO\n");
  emitBody(loop->body, state);
  emitTokenList(state, emitIndentation(state), "END WHILE;\n");
  emitAppend(state, "\n");
}

void emitLoop(astNode* node, EmitterState* state) {
  astNodeLoop* loop = nodeAs<astNodeLoop>(node);
  emitAppend(state, "\n");
  emitNewLine(state, node);
  emitAppend(state, "LOOP\n");
  emitBody(loop->body, state);
  if (loop->label)
    emitTokenList(state, emitIndentation(state), "END LOOP ", loop->label, ";\n\n");
  else
    emitTokenList(state, emitIndentation(state), "END LOOP;\n\n");
}

void emitIf(astNode* node, EmitterState* state) {
  astNodeIf* branch = nodeAs<astNodeIf>(node);
  emitAppend(state, "\n");
  emitNewLine(state, node);
  emitWrappedTokens(branch->expr, state, "IF ", " THEN\n");
  emitBody(branch->body, state);
  emitStatement(branch->elseIf, state);
  if (branch->elseBody) {
    emitTokenList(state, emitIndentation(state), "ELSE\n");
    emitBody(branch->elseBody, state);
  }
  emitTokenList(state, emitIndentation(state), "END IF;\n\n");
}

void emitElseIf(astNode* node, EmitterState* state) {
  astNodeElseIf* branch = nodeAs<astNodeElseIf>(node);
  emitAppend(state, emitIndentation(state));
  emitWrappedTokens(branch->expr, state, "ELSEIF ", " THEN\n");
  emitBody(branch->body, state);
  emitStatement(branch->elseIf, state);
}

void emitFor(astNode* node, EmitterState* state) {
  astNodeFor* loop = nodeAs<astNodeFor>(node);
  if (loop->loopType != FOR_SELECT) {
    emitStatement(loop->expansion, state);
    return;
  }
  emitAppend(state, "\n");
  emitNewLine(state, node);
  if (loop->withHold) {
    // The FOR statement's own cursor, named so that it can be held.
    emitWrappedTokens(loop->index, state, "FOR ", " AS SYSZULINTERNAL_CURSOR_");
    emitWrappedTokens(loop->index, state, "", " CURSOR WITH HOLD FOR\n");
  } else {
    emitWrappedTokens(loop->index, state, "FOR ", " AS\n");
  }
  emitAppend(state, "  ");  // the indentation of the raised depth
  emitWrappedTokens(loop->expr, state, "", "");
  emitTokenList(state, "\n", emitIndentation(state), "DO\n");
  emitBody(loop->body, state);
  emitTokenList(state, emitIndentation(state), "END FOR;\n");
  emitAppend(state, "\n");
}

void emitExit(astNode* node, EmitterState* state) {
  astNodeExit* exit = nodeAs<astNodeExit>(node);
  emitNewLine(state, node);
  const char* label = loopLabel(exit->target);
  if (!exit->expr) {
    emitTokenList(state, "LEAVE ", label, ";\n");
  } else {
    emitWrappedTokens(exit->expr, state, "IF ", " THEN ");
    emitTokenList(state, "LEAVE ", label, "; END IF;\n");
  }
}

void emitGetDiag(astNode* node, EmitterState* state) {
  astNodeGetDiag* diag = nodeAs<astNodeGetDiag>(node);
  emitNewLine(state, node);
  emitAppend(state, diag->diagType == DIAG_MESSAGE_TEXT ? "GET DIAGNOSTICS EXCEPTION 1 " : "GET DIAGNOSTICS ");
  emitWrappedTokens(diag->target, state, "", " = ");
  emitWrappedTokens(diag->source, state, "", ";\n");
}

void emitExecute(astNode* node, EmitterState* state) {
  astNodeExecute* execute = nodeAs<astNodeExecute>(node);
  emitNewLine(state, node);
  emitAppend(state, execute->immediate ? "EXECUTE IMMEDIATE " : "EXECUTE ");
  emitAppend(state, execute->operand);
  if (execute->into) emitWrappedTokens(execute->into, state, " INTO ", "");
  if (execute->using_) emitWrappedTokens(execute->using_, state, " USING ", "");
  emitAppend(state, ";\n");
}

void emitPrepare(astNode* node, EmitterState* state) {
  astNodePrepare* prepare = nodeAs<astNodePrepare>(node);
  emitNewLine(state, node);
  emitAppend(state, "PREPARE ");
  emitAppend(state, prepare->stmtID);
  emitAppend(state, " FROM ");
  if (prepare->stmtHolder)
    emitAppend(state, prepare->stmtHolder);
  else
    emitTokensOf(prepare->query, state);
  emitAppend(state, ";\n");
}

void emitSignal(astNode* node, EmitterState* state) {
  astNodeSignal* signal = nodeAs<astNodeSignal>(node);
  emitNewLine(state, node);
  emitAppend(state, "SIGNAL SQLSTATE '");
  emitAppend(state, signal->sqlstate);
  emitAppend(state, "'");
  if (signal->message) emitWrappedTokens(signal->message, state, " SET MESSAGE_TEXT = ", "");
  emitAppend(state, ";\n");
}

namespace {

void emitTokenListsJoined(astNodeList* lists, EmitterState* state) {
  for (astListCell* c = emitCells(lists); c; c = c->next) {
    if (c != emitCells(lists)) emitAppend(state, ", ");
    emitTokensOf(c->value, state);
  }
}

}  // namespace

void emitValues(astNode* node, EmitterState* state) {
  astNodeValues* values = nodeAs<astNodeValues>(node);
  emitNewLine(state, node);
  emitAppend(state, "VALUES(");
  emitTokenListsJoined(values->targets, state);
  emitAppend(state, ") INTO ");
  emitTokenListsJoined(values->sources, state);
  emitAppend(state, ";\n");
}

// ---- simple control statements ----

void emitReturn(astNode* node, EmitterState* state) {
  emitNewLine(state, node);
  emitWrappedTokens(nodeAs<astNodeReturn>(node)->expr, state, "RETURN ", ";\n");
}

void emitRaise(astNode* node, EmitterState* state) {
  astNodeRaise* raise = nodeAs<astNodeRaise>(node);
  emitNewLine(state, node);
  if (raise->condition && raise->isSqlstate)
    emitTokenList(state, "SIGNAL SQLSTATE '", raise->condition, "';\n");
  else if (raise->condition)
    emitTokenList(state, "SIGNAL ", raise->condition, ";\n");
  else
    emitAppend(state, "RESIGNAL;\n");
}

void emitNull(astNode* node, EmitterState* state) {
  astNodeNull* null = nodeAs<astNodeNull>(node);
  emitNewLine(state, node);
  // An empty compound statement, with the comment after it (the last pass
  // says where).
  if (null->emptyCompound) emitAppend(state, "BEGIN END; ");
  if (null->text)
    emitTokenList(state, "-- ", null->text, "\n");
  else
    emitAppend(state, "-- NULL;\n");
}

void emitGoto(astNode* node, EmitterState* state) {
  emitNewLine(state, node);
  emitWrappedTokens(nodeAs<astNodeGoto>(node)->target, state, "GOTO ", ";\n");
}

void emitContinue(astNode* node, EmitterState* state) {
  astNodeContinue* next = nodeAs<astNodeContinue>(node);
  emitNewLine(state, node);
  const char* label = loopLabel(next->target);
  if (next->expr) {
    emitWrappedTokens(next->expr, state, "IF ", " THEN ");
    emitTokenList(state, "ITERATE ", label, "; END IF;\n");
  } else {
    emitTokenList(state, "ITERATE ", label, ";\n");
  }
}

void emitCase(astNode* node, EmitterState* state) {
  astNodeCase* statement = nodeAs<astNodeCase>(node);
  emitAppend(state, "\n");
  emitNewLine(state, node);
  emitWrappedTokens(statement->predicate, state, "CASE ", "\n");
  state->depth += 2;
  emitStatement(statement->values, state);
  emitStatement(statement->defaultValue, state);
  state->depth -= 2;
  emitTokenList(state, emitIndentation(state), "END CASE;\n\n");
}

void emitCaseExpr(astNode* node, EmitterState* state) {
  astNodeCaseExpr* branch = nodeAs<astNodeCaseExpr>(node);
  emitAppend(state, emitIndentation(state));
  if (branch->predicate)
    emitWrappedTokens(branch->predicate, state, "WHEN ", " THEN\n");
  else
    emitTokenList(state, "ELSE ", "\n");
  emitBody(branch->body, state);
}

// Emitter framework: state, statement records, text operations, line starts
// and the dispatcher by node kind.
#include "sqlexc_ast_emit_internal.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ast.h"
#include "deep_walk.h"
#include "run_pool.h"

namespace {

// A node of a kind the emitter has no text for in that place: a fault of
// the translation, recorded, so that what is left out is never silent. The
// kinds the translation leaves out on purpose were recorded when they were.
void emitInternalError(astNode* node, EmitterState* state) {
  if (astKindTraits(node->kind) & KIND_UNTRANSLATED) return;
  reportFinding(FindingId::UNEXPECTED_NODE, node, state->errors, nullptr, astNodeKindName(node->kind));
}

}  // namespace

StatementRecord* emitProgram(astNode* root, int emitterWord, const char* terminator, bool lineMarkers,
                             ErrorList* errors) {
  (void)emitterWord;
  EmitterState state{};
  state.root = root;
  state.terminator = terminator ? terminator : "";
  state.lineMarkers = lineMarkers;
  state.errors = errors;
  // The builder's default chunks: a statement runs to hundreds of bytes, and
  // with 80-byte chunks (8-byte ones after the first) an append crossed a
  // chunk every 8 bytes: 3% of a run's instructions.
  state.builder = sbNew(0);
  state.outputLine = 1;
  state.depth = 0;
  emitStatement(root, &state);
  closeStatement(&state);
  return state.first;
}

void closeStatement(EmitterState* state) {
  int length = sbLength(state->builder);
  if (length <= 0) return;
  size_t size = offsetof(StatementRecord, text) + size_t(length) + 1;
  StatementRecord* record = static_cast<StatementRecord*>(poolBump(size));
  record->type = state->statementType;
  record->next = nullptr;
  record->length = uint32_t(length);
  sbCopyOut(record->text, state->builder);
  if (state->last)
    state->last->next = record;
  else
    state->first = record;
  state->last = record;
  sbReset(state->builder);
  state->outputLine = 0;
}

void emitAppend(EmitterState* state, const char* text) {
  if (!text || !*text) return;
  // One pass finds the length and, for the line markers, the newlines.
  size_t length = 0;
  if (state->lineMarkers) {
    uint32_t newlines = 0;
    for (; text[length]; ++length) newlines += text[length] == '\n';
    // Wrapping arithmetic: the count only has to match the source numbering.
    state->outputLine = int32_t(uint32_t(state->outputLine) + newlines);
  } else {
    length = std::strlen(text);
  }
  sbAppendBytes(state->builder, text, length);
}

void emitTextRun(EmitterState* state, const char* const* texts, int count) {
  for (int i = 0; i < count && texts[i]; ++i) emitAppend(state, texts[i]);
}

void* emitTokenText(astNodeList* list, astNode* token, void* user) {
  (void)list;
  EmitTokenPair* pair = static_cast<EmitTokenPair*>(user);
  // Only token nodes carry text; anything else in a token list is skipped.
  if (!token || token->kind != AST_TOKEN) return pair;
  const astNodeToken* written = nodeAs<astNodeToken>(token);
  const char* text = written->text ? written->text : "";
  if (pair->needsBlank && astTakesBlankBefore(text)) emitAppend(pair->state, " ");
  emitAppend(pair->state, text);
  pair->needsBlank = astBlankAfter(written);
  return pair;
}

#ifndef NDEBUG
void emitUnsettledList(const astNodeList* list) {
  const astNode* owner = list->parent;
  std::fprintf(stderr, "emitter: the written-forms walk passed by a token list of %s (source line %d)\n",
               owner ? astNodeKindName(owner->kind) : "no node", owner ? owner->line + 1 : 0);
  std::abort();
}
#endif

void emitWrappedTokens(astNodeList* tokens, EmitterState* state, const char* prefix, const char* suffix) {
  emitAppend(state, prefix);
  int savedDepth = state->depth;
  state->depth = 0;
  if (tokens && tokens->kind == AST_LIST) {
    emitCheckSettled(tokens);
    EmitTokenPair pair = {state, false};
    listApply(tokens, emitTokenText, &pair);
  } else if (tokens && tokens->kind == AST_TOKEN) {
    EmitTokenPair pair = {state, false};
    emitTokenText(nullptr, tokens, &pair);
  }
  state->depth = savedDepth;
  emitAppend(state, suffix);
}

void emitTokensOf(astNode* node, EmitterState* state) {
  emitWrappedTokens(nodeAs<astNodeList>(node), state, "", "");
}

const char* emitIndentation(const EmitterState* state) { return state->depth != 0 ? "  " : ""; }

void emitLineMarker(EmitterState* state, int sourceLine, bool markerAllowed) {
  if (!state->lineMarkers) return;
  int previous = state->outputLine;
  int wanted = int(uint32_t(sourceLine) + 1u);
  state->outputLine = wanted;
  if (!markerAllowed || previous == wanted) return;
  // As "--#line %03d\n" writes it; a marker per statement, so not through printf.
  char buffer[32] = "--#line ";
  char* end = buffer + 8;
  if (wanted < 0) {
    std::snprintf(buffer, sizeof buffer, "--#line %03d\n", wanted);
  } else {
    char digits[12];
    char* last = std::to_chars(digits, digits + sizeof digits, wanted).ptr;
    for (std::ptrdiff_t width = last - digits; width < 3; ++width) *end++ = '0';
    end = std::copy(digits, last, end);
    *end++ = '\n';
    *end = '\0';
  }
  // The marker's own newline is not counted: the next line is the source line.
  sbAppend(state->builder, buffer);
}

void emitNewLine(EmitterState* state, astNode* node) {
  if (!node) return;
  bool isList = node->kind == AST_LIST;
  emitLineMarker(state, node->line, node->kind != AST_BLOCK && !isList);
  if (!isList) emitAppend(state, emitIndentation(state));
  if (isStatement(node)) {
    const char* label = nodeAs<astNodeStatement>(node)->label;
    if (label) emitTokenList(state, label, ": ");
  }
}

void emitUnitEnd(EmitterState* state, astNode* unit) {
  if (isPackage(unit)) {
    emitTokenList(state, state->terminator, "\n");
    closeStatement(state);
  } else {
    emitAppend(state, ";\n");
  }
}

astListCell* emitCells(astNode* list) {
  if (!list || list->kind != AST_LIST) return nullptr;
  return nodeAs<astNodeList>(list)->head;
}

void emitArgumentList(astNodeList* args, astNode* owner, EmitterState* state) {
  astNode* savedOwner = state->argumentOwner;
  state->argumentOwner = owner;
  emitAppend(state, "(");
  bool first = true;
  for (astListCell* c = emitCells(args); c; c = c->next) {
    if (!first) emitAppend(state, ", ");
    first = false;
    emitStatement(c->value, state);
  }
  emitAppend(state, ")");
  state->argumentOwner = savedOwner;
}

void emitStatement(astNode* node, EmitterState* state) {
  if (!node) return;
  deep_walk_check();
  switch (node->kind) {
    case AST_ASSIGN: emitAssign(node, state); return;
    case AST_BLOCK: emitBlock(node, state); return;
    case AST_CALL: emitCall(node, state); return;
    case AST_CASE: emitCase(node, state); return;
    case AST_CASE_EXPR: emitCaseExpr(node, state); return;
    case AST_CLOSE: emitClose(node, state); return;
    case AST_CONTINUE: emitContinue(node, state); return;
    case AST_CREATE_FUNCTION: emitCreateFunction(node, state); return;
    case AST_CREATE_PKG_BODY: emitCreatePackageBody(node, state); return;
    case AST_CREATE_PKG_HEAD: emitCreatePackageHead(node, state); return;
    case AST_DROP_PKG_BODY: emitDropPackageBody(node, state); return;
    case AST_DROP_PKG_HEAD: emitDropPackageHead(node, state); return;
    case AST_CREATE_PROCEDURE: emitCreateProcedure(node, state); return;
    case AST_CREATE_TRIGGER: emitCreateTrigger(node, state); return;
    case AST_DYNAMIC: emitStatement(nodeAs<astNodeDynamic>(node)->expansion, state); return;
    case AST_EXIT: emitExit(node, state); return;
    case AST_FETCH: emitFetch(node, state); return;
    case AST_FOR: emitFor(node, state); return;
    case AST_FORMAL_ARG: emitFormalArg(node, state); return;
    case AST_FUNC_PROTO: emitFunctionPrototype(node, state); return;
    case AST_GOTO: emitGoto(node, state); return;
    case AST_HANDLER: emitHandler(node, state); return;
    case AST_IF: emitIf(node, state); return;
    case AST_ELSE_IF: emitElseIf(node, state); return;
    case AST_LIST: emitList(node, state); return;
    case AST_LOOP: emitLoop(node, state); return;
    case AST_NULL: emitNull(node, state); return;
    case AST_OPEN: emitOpen(node, state); return;
    case AST_PRAGMA: return;
    case AST_PROC_PROTO: emitProcedurePrototype(node, state); return;
    case AST_RAISE: emitRaise(node, state); return;
    case AST_RAISE_APP: emitStatement(nodeAs<astNodeRaiseApp>(node)->expansion, state); return;
    case AST_RETURN: emitReturn(node, state); return;
    case AST_SELECT: emitSelect(node, state); return;
    case AST_SQL_STMT: emitSqlStatement(node, state); return;
    case AST_TOKEN: emitToken(node, state); return;
    case AST_WHILE: emitWhile(node, state); return;
    case AST_VALUES: emitValues(node, state); return;
    case AST_SIGNAL: emitSignal(node, state); return;
    case AST_PREPARE: emitPrepare(node, state); return;
    case AST_EXECUTE: emitExecute(node, state); return;
    case AST_GET_DIAG: emitGetDiag(node, state); return;
    default:
      emitInternalError(node, state);
      return;
  }
}

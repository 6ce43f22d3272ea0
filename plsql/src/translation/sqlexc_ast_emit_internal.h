// The emitter's steps, shared by its source files (sqlexc_ast_emit*.cpp) and
// not part of its interface.
//
// All text goes through a few operations (plain text, runs of texts, token
// lists with their spacing rule, line starts, unit ends) so that line
// counting for the "--#line" markers stays in one place.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_set>

#include "ast.h"
#include "findings.h"
#include "node_errors.h"
#include "run_pool.h"
#include "sqlexc_ast_emit.h"

// State of one emission run.
struct EmitterState {
  StatementRecord* first;
  StatementRecord* last;
  StringBuilder* builder;  // text of the statement being written
  int32_t statementType;   // copied into every record that is closed
  const char* terminator;  // statement terminator of the target script
  bool lineMarkers;        // write "--#line" markers and count output lines
  astNode* root;
  int32_t depth;           // nesting depth, steps of 2
  ErrorList* errors;       // the run's error list
  int32_t outputLine;      // source line the current output line stands for
  // Routine whose formal arguments are being written (decides the mode
  // words); null outside an argument list.
  astNode* argumentOwner;
};

// ---- framework ----

void emitStatement(astNode* node, EmitterState* state);  // the dispatcher
void closeStatement(EmitterState* state);
void emitAppend(EmitterState* state, const char* text);
// Appends texts in order up to the first null one.
void emitTextRun(EmitterState* state, const char* const* texts, int count);
template <class... Texts>
inline void emitTokenList(EmitterState* state, Texts... texts) {
  const char* run[] = {static_cast<const char*>(texts)...};
  emitTextRun(state, run, static_cast<int>(sizeof...(Texts)));
}
void emitWrappedTokens(astNodeList* tokens, EmitterState* state, const char* prefix, const char* suffix);
// Debug builds: a token list the written-forms walk did not pass over ends
// the run with a message, before it is written untranslated.
#ifndef NDEBUG
[[noreturn]] void emitUnsettledList(const astNodeList* list);
#endif
inline void emitCheckSettled(const astNodeList* list) {
#ifndef NDEBUG
  if (!list->settled) emitUnsettledList(list);
#else
  (void)list;
#endif
}
// Per-token step of the spacing rule (a listApply function); `user` points
// to an EmitTokenPair.
struct EmitTokenPair {
  EmitterState* state;
  bool needsBlank;
};
void* emitTokenText(astNodeList* list, astNode* token, void* user);
void emitNewLine(EmitterState* state, astNode* node);
void emitUnitEnd(EmitterState* state, astNode* unit);
// "  " at a depth other than 0, "" at depth 0.
const char* emitIndentation(const EmitterState* state);
// Writes the "--#line" marker for a source line when the output has drifted
// (step 2 of a line start); does nothing with markers off.
void emitLineMarker(EmitterState* state, int sourceLine, bool markerAllowed);

// ---- units, blocks and handlers ----

void emitRoutineHead(EmitterState* state, const char* word, astNode* owner, astNodeList* name, bool replace);
// Declaration pass over a block's or a package's declarations; `unit` is the
// node that holds the list (null: the list's parent).
void emitDeclarations(EmitterState* state, astNodeList* list, astNode* unit = nullptr);
void emitDatatype(astNodeList* type, EmitterState* state);
void emitVariableDeclaration(astNode* declaration, EmitterState* state, astNode* unit);

// Node emitters, one per kind; entered from the dispatcher.
void emitCreatePackageHead(astNode* node, EmitterState* state);
void emitCreateProcedure(astNode* node, EmitterState* state);
void emitCreateTrigger(astNode* node, EmitterState* state);
void emitBlock(astNode* node, EmitterState* state);
void emitHandler(astNode* node, EmitterState* state);
void emitCreatePackageBody(astNode* node, EmitterState* state);
void emitCreateFunction(astNode* node, EmitterState* state);
void emitFunctionPrototype(astNode* node, EmitterState* state);
void emitProcedurePrototype(astNode* node, EmitterState* state);
void emitFormalArg(astNode* node, EmitterState* state);
void emitDropPackageHead(astNode* node, EmitterState* state);
void emitDropPackageBody(astNode* node, EmitterState* state);

// Declarations other than variables (the pass has written the line start).
void emitExceptionDeclaration(astNode* node, EmitterState* state, astNode* unit);
void emitCursorDeclaration(astNode* node, EmitterState* state, astNode* unit);
void emitRefCursorDeclaration(astNode* node, EmitterState* state, astNode* unit);
void emitRecordDeclaration(astNode* node, EmitterState* state, astNode* unit);
void emitTableDeclaration(astNode* node, EmitterState* state, astNode* unit);
void emitVarrayDeclaration(astNode* node, EmitterState* state, astNode* unit);

// Control and dynamic statements.
void emitWhile(astNode* node, EmitterState* state);
void emitLoop(astNode* node, EmitterState* state);
void emitIf(astNode* node, EmitterState* state);
void emitElseIf(astNode* node, EmitterState* state);
void emitFor(astNode* node, EmitterState* state);
void emitExit(astNode* node, EmitterState* state);
void emitGetDiag(astNode* node, EmitterState* state);
void emitExecute(astNode* node, EmitterState* state);
void emitPrepare(astNode* node, EmitterState* state);
void emitSignal(astNode* node, EmitterState* state);
void emitValues(astNode* node, EmitterState* state);
void emitReturn(astNode* node, EmitterState* state);
void emitRaise(astNode* node, EmitterState* state);
void emitNull(astNode* node, EmitterState* state);
void emitGoto(astNode* node, EmitterState* state);
void emitContinue(astNode* node, EmitterState* state);
void emitCase(astNode* node, EmitterState* state);
void emitCaseExpr(astNode* node, EmitterState* state);

// SQL statements, cursors, calls, tokens and lists.
void emitSqlStatement(astNode* node, EmitterState* state);
void emitReturningForm(astNode* node, EmitterState* state);
void emitSelect(astNode* node, EmitterState* state);
void emitSelectForm(astNode* node, EmitterState* state, const char* suffix);
void emitAssign(astNode* node, EmitterState* state);
void emitOpen(astNode* node, EmitterState* state);
void emitFetch(astNode* node, EmitterState* state);
void emitClose(astNode* node, EmitterState* state);
void emitCall(astNode* node, EmitterState* state);
void emitToken(astNode* node, EmitterState* state);
void emitList(astNode* node, EmitterState* state);

// Writes a token list with the spacing rule, or a single token's text; what
// a column or condition entry holds varies between the two.
void emitTokensOf(astNode* node, EmitterState* state);
// Argument list "(" arg ", " arg ... ")" of a routine or cursor.
void emitArgumentList(astNodeList* args, astNode* owner, EmitterState* state);
// The cells of a node list; null for an absent node or one that is not a
// list, so that a misplaced node is skipped instead of misread.
astListCell* emitCells(astNode* list);

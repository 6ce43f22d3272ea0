// Shared helpers and per-kind steps of the rewriting pass.
#pragma once

#include "findings.h"
#include "plsql_parser.hpp"
#include "rewrite.h"

// Fixed internal names.
#define SYSZUL_BLOCK "SYSZULINTERNAL_BLOCK"
#define SYSZUL_ROWCOUNT "SYSZULINTERNAL_ROWCOUNT"
#define SYSZUL_FOUND "SYSZULINTERNAL_FOUND"
#define SYSZUL_NOTFOUND "SYSZULINTERNAL_NOTFOUND"
#define SYSZUL_SQLCODE "SYSZULINTERNAL_SQLCODE"
#define SYSZUL_SQLSTATE "SYSZULINTERNAL_SQLSTATE"
#define SYSZUL_SQLERRM "SYSZULINTERNAL_SQLERRM"
#define SYSZUL_APPERROR "SYSZULINTERNAL_APPERROR"
#define SYSZUL_NEW "SYSZULINTERNAL_NEW"
#define SYSZUL_OLD "SYSZULINTERNAL_OLD"
#define SYSZUL_LOOP_LIMIT "SYSZULINTERNAL_LOOP_LIMIT"
#define SYSZUL_STMT_TEXT "SYSZULINTERNAL_STMT_TEXT"

namespace rewrite {

// Whether two texts are equal ignoring ASCII case; false when either is
// null. Inline: the rewriting compares words at almost every token.
inline bool equalsIgnoreCase(const char* a, const char* b) {
  if (!a || !b) return false;
  for (;; ++a, ++b) {
    char x = foldAscii(*a);
    if (x != foldAscii(*b)) return false;
    if (!x) return true;
  }
}
// The code a token the translation makes takes from its text: that of the
// sign, number or keyword of an expression it is, the string code for a
// name or a literal. Tokens are classified where they are made, so that the
// rules compare codes.
int madeTokenCode(const char* text);
astNodeToken* makeToken(const char* text, int line);
astNodeToken* makeToken(int code, const char* text, int line);
astNodeList* tokenList(const char* text, int line);
// The tokens of a text of several (a made-up expression, a datatype with
// its length), one token each, with the spacing that writes them as the
// text stands: as the text would be written were it one token.
astNodeList* madeTokens(const char* text, int line);
// Puts `made` (tokens nothing else holds) in the place of the token of
// `cell` in `list`; returns the cell of the last of them.
astListCell* spliceTokens(astNodeList* list, astListCell* cell, astNodeList* made);
astNodeToken* asToken(astNode* node);  // null unless a token node
// Whether a node is a token of that text, ignoring case.
bool textIs(const astNode* node, const char* text);
// Whether the list holds a token of that code.
bool holdsToken(const astNodeList* list, int code);
astNodeToken* firstToken(const astNodeList* list);
// The name token of a handler's condition (a token, or a list of them).
astNodeToken* conditionName(astNode* condition);
// Appends the elements of `from` (same nodes, new cells).
astNodeList* appendElements(astNodeList* list, const astNodeList* from);
// Sets the parent of every element of `list` to the list and the list's to
// `owner`.
astNodeList* adopt(astNodeList* list, astNode* owner);
char* madeUpName(TransformState* state);
// Transforms the children that the kind table (AST_REWRITE) gives the node's
// kind, in order, each with the node as parent.
void transformChildren(astNode* node, TransformState* state);
inline void transformList(astNodeList* list, astNode* parent, TransformState* state) {
  transformNode(list, parent, state);
}
// The steps of the rewriting walk that the dispatch (rewrite_walk.cpp)
// calls: a statement list's elements there; units (rewrite_units.cpp);
// blocks, handlers and exceptions (rewrite_blocks.cpp); tokens
// (rewrite_tokens.cpp).
void transformElements(astNodeList* list, TransformState* state);
void reportDropped(astNode* node, TransformState* state);
void transformTrigger(astNodeCreateTrigger* trigger, TransformState* state);
void transformPackageHead(astNodeCreatePkgHead* head, TransformState* state);
void transformPackageBody(astNodeCreatePkgBody* body, TransformState* state);
void transformFunction(astNodeCreateFunc* node, TransformState* state);
void transformProcedure(astNodeCreateProc* node, TransformState* state);
void transformBlock(astNodeBlock* block, TransformState* state);
void transformHandler(astNodeHandler* handler, TransformState* state);
void transformRaise(astNodeRaise* node, TransformState* state);
void transformRaiseApp(astNodeRaiseApp* node, TransformState* state);
void transformPragma(astNodePragma* pragma, TransformState* state);
void transformToken(astNodeToken* token, TransformState* state);
// A pool copy of a followed by b.
char* concat(const char* a, const char* b);
// Gives a node made of parts already rewritten where they stood (a stand-in,
// a statement made of a query) and everything under it the parent links
// that the walk gives, without rewriting anything again.
void placeRewritten(astNode* node, astNode* parent);

astNode* nearestOf(astNode* from, bool (*want)(const astNode*));
astNode* outermostOf(astNode* from, bool (*want)(const astNode*));
bool isBlockNode(const astNode* node);
astNodeBlock* outermostBlock(astNode* from);  // from included
// The declarations of a block or package (a declaration scope).
astNodeList* scopeDeclarations(astNode* scope);

// A function or procedure, with a body or without (a prototype): its kind,
// name, parameters and body.
struct RoutineParts {
  bool function = false;
  astNodeList* name = nullptr;
  astNodeList* args = nullptr;
  astNode* body = nullptr;  // a block, or the EXTERNAL / LANGUAGE token
};
// Fills `routine` for a function, procedure or their prototype; false for
// any other node.
bool routineParts(const astNode* node, RoutineParts* routine);

astNodeVarDecl* newVarDecl(int line, astNodeList* name, astNodeList* dataType, astNodeList* defaultValue);
void computeNameLength(astNodeDecl* decl);
unsigned int maxDeclNameLength(const astNodeList* declarations);

// Row-count diagnostics after a statement that sets the row count: GET
// DIAGNOSTICS, or the given count when the target keeps none for it.
void addRowCountDiagnostics(astNode* statement, TransformState* state, const char* rowCount = nullptr);
// How many statements the diagnostics put after a statement of a list: the
// uses of its outermost block say it, and they are settled before its
// statements are rewritten.
int rowCountFollowers(const astNode* statement);

// Rewrites a block that the rewriting made: no walk has found its uses yet.
void transformMadeBlock(astNodeBlock* block, astNode* parent, TransformState* state);

// Steps of the second half of the pass.
void transformDeclaration(astNodeDecl* decl, TransformState* state);
void transformExceptionInit(astNodeExceptionDecl* decl, TransformState* state);
void transformFormalArg(astNodeFormalArg* arg, TransformState* state);
void transformFunctionPrototype(astNodeFuncProto* proto, TransformState* state);
void transformFor(astNodeFor* node, TransformState* state);
void transformExitTarget(astNodeStatement* node, char** target, TransformState* state);
astNodeAssign* numericStep(astNodeFor* node, int line, const char* qualifier = nullptr);

// Control flow (rewrite_control.cpp).
// What the rewriting put in the node's place (AST_STAND_IN), or null.
astNode* standInOf(astNode* node);
// The FOR loop whose cursor-loop expansion is `block`, or null.
astNodeFor* cursorLoopOf(const astNode* block);
// Gives a CONTINUE, EXIT, RETURN or GOTO the loop it goes to and puts before
// it what leaving the loops on the way needs: the CLOSE of every cursor loop
// left, the step of a numeric index that CONTINUE goes back to.
void settleJump(astNodeStatement* jump, TransformState* state);
// When an exception can leave a cursor FOR loop to a handler that goes on
// while its cursor still exists, the loop's block closes the cursor first.
void addCursorCloseHandler(astNodeFor* node, TransformState* state);
// After the block's statements are rewritten: a SELECT INTO or dynamic query
// with INTO of the block (nested blocks apart) that finds no row raises
// NO_DATA_FOUND, as in PL/SQL, instead of going on.
void guardQueries(astNodeBlock* block, TransformState* state);
// When the block assigns defaults ahead of its statements, its handlers and
// statements move into a nested block, so that those handlers do not take
// what a default raises.
void separateDefaultsFromHandlers(astNodeBlock* block, TransformState* state);
void transformDynamic(astNodeDynamic* node, TransformState* state);
void transformOpen(astNodeOpen* node, TransformState* state);
void transformSqlStatement(astNodeSqlStmt* node, TransformState* state);
void rewriteDbmsSqlAssign(astNodeAssign* node, TransformState* state);
void rewriteCollectionMethod(astNodeCall* node, TransformState* state);
// Constructs in a token list that are copied as written and mean nothing,
// or something else, in the target: collection methods, collection
// constructors and element subscripts, DBMS_SQL functions. Reports the
// token of the cell `c` (after `previous`) to the run's list; whether the
// token is such a construct (it then takes no other record).
bool reportListedConstruct(astNodeList* list, astListCell* c, astNode* previous, TransformState* state);
// Notes the collection types and the variables of collection type that a
// declaration or parameter makes.
void noteCollectionDeclaration(astNode* declaration, TransformState* state);
// Exact forms (exact_expressions.cpp): whether a token list holds a
// division, an exponent or a built-in function that the target reads
// otherwise (functions.def); the list in the form it reads as PL/SQL does
// (the list itself when nothing changes).
bool holdsInexactForm(const astNodeList* tokens);
astNodeList* exactExpression(astNodeList* tokens, const TransformState* state);
// The last pass (written_forms.cpp): records what the target cannot take
// as it will be written and puts every written token list in its exact form.
void settleWrittenForms(TransformState* state);
// Records of constructs without a target form (rewrite_unmapped.cpp): NOT
// NULL on a variable, RETURNING INTO in a dynamic statement, a whole record
// as the row of UPDATE or INSERT.
void reportNotNullVariable(astNodeVarDecl* decl, TransformState* state);
void reportDynamicReturning(astNodeDynamic* node, TransformState* state);
void reportRecordDml(astNodeSqlStmt* node, TransformState* state);
// INSERT ALL and INSERT FIRST, and the conditions of MERGE's UPDATE, DELETE
// and INSERT, which the target's statements lack.
void reportDmlWithoutForm(astNodeSqlStmt* node, TransformState* state);
// Lower-case copy of a name text.
std::string foldedText(const char* text);
// Upper-case copy of a text, as keywords and built-in names are compared
// and reported; null reads as "".
std::string upperText(const char* text);
// The text after the last dot outside double quotes, or null.
const char* afterLastDot(const char* text);
// The last part of a dotted name (the whole of a plain one), folded.
std::string lastPart(const char* text);
// The first part of a dotted name, folded.
std::string firstPart(const char* text);

// Values stored in a type of fixed scale (rewrite_scale.cpp).
//
// What a value stored in a datatype keeps after the point (datatypes.cpp):
// its fixed scale (0 for the integer types and NUMBER, DECIMAL or NUMERIC
// with a precision alone, s for (p, s)); kFreeScale for a number of any
// scale (NUMBER alone, the floating types); kUnknownScale for the others
// (strings, anchored types, types of the run).
constexpr int kFreeScale = 1 << 20;
constexpr int kUnknownScale = -1;
int scaleOfType(const astNodeList* type);
// Whether a type is one of the target's strings with a length (a type the
// limits of datatypes.def measure in characters or bytes).
bool isStringType(const astNodeList* type);
// Whether a type is a TIMESTAMP (WITH ... TIME ZONE too).
bool isTimestampType(const astNodeList* type);
// Notes a variable, parameter or field of that name and type among those
// a value may be rounded into or from.
void noteScaledName(const astNodeList* name, const astNodeList* type, TransformState* state);
// ROUND(expr, scale) as a new token list over the tokens of expr.
astNodeList* roundCall(const astNodeList* expr, const char* scale);
// Notes a routine of the run (of a package, as written, or none) whose
// result or IN parameters are of fixed scale.
void noteRoundingRoutine(const astNode* node, std::string_view package, TransformState* state);
// A value stored in a type of fixed scale, rounded to that scale where it
// may have more (PL/SQL rounds it, the target truncates it): a default or
// a returned value, an assigned one, values selected INTO, the arguments
// of a call of the run's routines (at the call's name token, or of a call
// statement).
astNodeList* roundedIntoType(astNodeList* expr, const astNodeList* type, TransformState* state);
void roundAssignedValue(astNodeAssign* node, TransformState* state);
void roundSelectedValues(astNodeSelect* node, TransformState* state);
void roundCallArguments(astNodeToken* token, TransformState* state);
void roundCallArguments(astNodeCall* node, TransformState* state);
// A bit for a name's length and first and last letters (folded), among
// the 1024 of a signature: a set of names gathers theirs, and most other
// names are turned away by it before any lookup.
inline size_t nameSignature(std::string_view name) {
  if (name.empty()) return 0;
  return (name.size() * 31 + static_cast<unsigned char>(foldAscii(name[0])) * 7 +
          static_cast<unsigned char>(foldAscii(name.back()))) & 1023;
}
inline bool signatureHolds(const std::array<uint64_t, 16>& signatures, std::string_view name) {
  size_t bit = nameSignature(name);
  return signatures[bit >> 6] & (uint64_t(1) << (bit & 63));
}
// The last part of a name token (lastPartOf): the whole text of a word
// that the scanner read without a dot.
inline std::string_view nameLastPart(const astNodeToken* token) {
  return token->tokenCode == T_WORD && !token->qualified ? std::string_view(token->text) : lastPartOf(token->text);
}
// Whether the token the walk is at may name a call of a routine whose
// arguments are rounded: a word before "(", in a run that has one, of the
// signature of one. Most tokens are told apart here.
inline bool mayCallRoundingRoutine(const astNodeToken* token, const TransformState* state) {
  if (token->tokenCode != T_WORD) return false;
  const astListCell* cell = state->currentCell;
  if (!cell || cell->value != token || !cell->next || state->roundingRoutines.empty()) return false;
  const astNode* next = cell->next->value;
  const char* text = next && next->kind == AST_TOKEN ? nodeAs<const astNodeToken>(next)->text : nullptr;
  if (!text || text[0] != '(' || text[1] || !token->text) return false;
  return signatureHolds(state->roundingSignatures, nameLastPart(token));
}

// Names, datatypes and forms (rewrite_names.cpp).
// Notes the functions, packages and object types that the run declares.
void noteRunDeclarations(TransformState* state);
// The package (folded name) that holds a node, or "".
std::string packageOf(astNode* node);
// The datatype list of the declaration or parameter of that name (folded)
// that is in scope at `from`; `found` tells whether there is one (a
// declaration without a datatype list, such as a cursor, gives null).
astNodeList* declaredType(astNode* from, const std::string& name, bool* found);
// Whether a qualified token inside SQL is qualified by a table or alias of
// that statement: then it names a column.
bool namesSqlColumn(astNodeToken* token);
// f becomes f() where f is a function without parameters of the run.
void addCallParentheses(astNodeToken* token, TransformState* state);
// Records a trigger row (:OLD, :NEW or their alias) that the trigger's
// events do not give; whether it did.
bool reportMissingTriggerRow(astNodeToken* token, TransformState* state);
// The target names no OLD row in an INSERT trigger and no NEW row in a
// DELETE trigger: REFERENCING leaves them out.
void dropRowsWithoutEvent(astNodeCreateTrigger* trigger);
bool isSqlCursorName(const char* text);
// A copy of each token of a list (same code and text), for a place that
// names again what another place holds.
astNodeList* tokensCopy(const astNodeList* tokens);
// Whether two token lists hold the same texts, ignoring case.
bool listsEqual(const astNodeList* a, const astNodeList* b);
void reviewRoutineOptions(astNodeList* options, astNode* routine, TransformState* state);
// Reports of a token list: the listed constructs above, and the collection
// and object forms, % attributes, interval literals and built-in packages
// that the target lacks.
void reportListConstructs(astNodeList* list, TransformState* state);
void reportDynamicBlock(astNodeDynamic* node, TransformState* state);
// Notes a variable or parameter of a TIMESTAMP type, whose differences
// the list step records.
void noteTimestampName(const astNodeList* name, const astNodeList* type, TransformState* state);
// Checks a call; whether a collection method there may be rewritten.
bool reviewCall(astNodeCall* node, TransformState* state);
// What the name before a collection method's dot (`prefix`, as written at
// `at`) is: a collection the run declares (a variable, a parameter, a
// field, a package's variable), a package's routine, or a name the run
// cannot tell (a package head outside the run may declare it).
enum class MethodOwner { COLLECTION, ROUTINE, UNKNOWN };
MethodOwner methodOwner(astNode* at, const std::string& prefix, const TransformState* state);
// Position just after the first dot outside quotes of a dotted name, or null.
const char* afterFirstPart(const char* text);
// The routine's name in a call of package.routine or SYS.package.routine,
// `package` in lower case with its dot ("dbms_lob."), told without a copy
// of the name (a quoted part names no built-in package); null otherwise.
const char* routineOfPackage(const char* name, const char* package);
// Whether a package name, in any case, begins as the built-in ones do.
bool hasBuiltinPrefix(std::string_view package);
// Gives the functions that change data the target's data-access clause,
// and marks the cursors that a COMMIT may meet open WITH HOLD
// (routine_effects.h).
void settleRoutineEffects(TransformState* state);

}  // namespace rewrite

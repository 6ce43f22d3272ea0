// The rewriting pass: dispatch by node kind, units, blocks, trigger
// variables, SQL% attributes, handlers, RAISE and pragmas.
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "deep_walk.h"
#include "kind_index.h"
#include "plsql_parser.hpp"
#include "rewrite_internal.h"
#include "run_pool.h"

namespace rewrite {

astNodeToken* makeToken(const char* text, int line) { return astTokenNew(T_STRING, text, line); }
astNodeToken* makeToken(int code, const char* text, int line) { return astTokenNew(code, text, line); }
astNodeList* tokenList(const char* text, int line) { return listNew(makeToken(text, line)); }

astNodeToken* asToken(astNode* node) {
  return node && node->kind == AST_TOKEN ? nodeAs<astNodeToken>(node) : nullptr;
}

astNodeToken* firstToken(const astNodeList* list) { return asToken(listFirst(list)); }

bool textIs(const astNode* node, const char* text) {
  return node && node->kind == AST_TOKEN && equalsIgnoreCase(nodeAs<const astNodeToken>(node)->text, text);
}

bool holdsToken(const astNodeList* list, int code) {
  for (astListCell* c = listCells(list); c; c = c->next) {
    astNodeToken* token = asToken(c->value);
    if (token && token->tokenCode == code) return true;
  }
  return false;
}

astNodeToken* conditionName(astNode* condition) {
  return condition && condition->kind == AST_LIST ? firstToken(nodeAs<astNodeList>(condition))
                                                  : asToken(condition);
}

astNodeList* appendElements(astNodeList* list, const astNodeList* from) {
  for (astListCell* c = listCells(from); c; c = c->next) list = listAppend(list, c->value);
  return list;
}

// Sets the parent of every element of `list` to the list and the list's to
// `owner`.
astNodeList* adopt(astNodeList* list, astNode* owner) {
  if (!list) return list;
  list->parent = owner;
  for (astListCell* c = list->head; c; c = c->next)
    if (c->value) c->value->parent = list;
  return list;
}

char* madeUpName(TransformState* state) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "SYSZULINTERNAL_%08x", static_cast<unsigned>(state->nameCounter++));
  return poolStrdup(buffer);
}

namespace {

// The children the pass visits, grouped by kind in visiting order.
constexpr KindChild kRewriteChildren[] = {
#define AST_REWRITE(kind, field) KIND_CHILD_ROW(kind, field)
#include "ast_kinds.def"
};

constexpr KindIndex kRewriteIndex(kRewriteChildren);

}  // namespace

void transformChildren(astNode* node, TransformState* state) {
  for (const KindChild& child : kRewriteIndex.rowsOf(node->kind)) transformNode(child.get(node), node, state);
}

void placeRewritten(astNode* node, astNode* parent) {
  if (!node) return;
  deep_walk_check();
  node->parent = parent;
  if (node->kind == AST_LIST) {
    for (astListCell* c = nodeAs<astNodeList>(node)->head; c; c = c->next) placeRewritten(c->value, node);
    return;
  }
  for (const KindChild& child : kRewriteIndex.rowsOf(node->kind)) placeRewritten(child.get(node), node);
}

astNode* nearestOf(astNode* from, bool (*want)(const astNode*)) {
  // The walk is bounded so that a damaged parent chain cannot loop forever.
  int guard = 0;
  for (astNode* n = from; n && guard < 1000000; n = n->parent, ++guard)
    if (want(n)) return n;
  return nullptr;
}

astNode* outermostOf(astNode* from, bool (*want)(const astNode*)) {
  astNode* found = nullptr;
  int guard = 0;
  for (astNode* n = from; n && guard < 1000000; n = n->parent, ++guard)
    if (want(n)) found = n;
  return found;
}

bool isBlockNode(const astNode* node) { return node && node->kind == AST_BLOCK; }
bool isLoopNode(const astNode* node) { return isLoop(node); }

astNodeBlock* outermostBlock(astNode* from) {
  return nodeAs<astNodeBlock>(outermostOf(from, isBlockNode));
}

astNodeList* scopeDeclarations(astNode* scope) {
  if (scope->kind == AST_BLOCK) return nodeAs<astNodeBlock>(scope)->declarations;
  if (scope->kind == AST_CREATE_PKG_BODY) return nodeAs<astNodeCreatePkgBody>(scope)->declarations;
  return nodeAs<astNodeCreatePkgHead>(scope)->declarations;
}

void computeNameLength(astNodeDecl* decl) {
  int length = 0;
  for (astListCell* c = listCells(decl->variableName); c; c = c->next) {
    astNodeToken* t = asToken(c->value);
    if (t && t->text) length += static_cast<int>(std::strlen(t->text));
  }
  decl->nameLength = length;
}

unsigned int maxDeclNameLength(const astNodeList* declarations) {
  unsigned int longest = 0;
  for (astListCell* c = listCells(declarations); c; c = c->next) {
    if (!isDeclaration(c->value)) continue;  // pragmas and the like
    int length = nodeAs<astNodeDecl>(c->value)->nameLength;
    if (length > 0 && static_cast<unsigned int>(length) > longest) longest = static_cast<unsigned int>(length);
  }
  return longest;
}

astNodeVarDecl* newVarDecl(int line, astNodeList* name, astNodeList* dataType, astNodeList* defaultValue) {
  astNodeVarDecl* decl = astMake<astNodeVarDecl>(line);
  decl->variableType = VAR_SCALAR;
  decl->variableName = name;
  decl->dataType = dataType;
  decl->defaultValue = defaultValue;
  return decl;
}

void addRowCountDiagnostics(astNode* statement, TransformState* state, const char* rowCount) {
  astNodeBlock* block = outermostBlock(statement);
  if (!block || !block->usesRowcount) return;
  astNode* holder = statement->parent;
  if (!holder || holder->kind != AST_LIST) return;  // only statements of a statement list
  astNodeList* list = nodeAs<astNodeList>(holder);
  // The list walk holds the statement's cell; searching for it instead would
  // make a long statement list quadratic.
  astListCell* at = state->currentCell;
  if (!at || at->value != statement) at = listCellOf(list, statement);
  if (!at) return;
  int line = statement->line;
  astNode* count = nullptr;
  if (rowCount) {
    // A statement whose count the target does not keep: the count it has.
    astNodeAssign* assign = astMake<astNodeAssign>(line);
    assign->target = tokenList(SYSZUL_ROWCOUNT, -1);
    assign->expr = tokenList(rowCount, -1);
    count = assign;
  } else {
    astNodeGetDiag* diag = astMake<astNodeGetDiag>(line);
    diag->diagType = DIAG_ROW_COUNT;
    diag->target = tokenList(SYSZUL_ROWCOUNT, -1);
    diag->source = tokenList("ROW_COUNT", -1);
    count = diag;
  }
  astListCell* countCell = listInsertAfterCell(list, at, count);
  if (block->usesFound) {
    astNodeAssign* found = astMake<astNodeAssign>(line);
    found->target = tokenList(SYSZUL_FOUND, -1);
    found->expr = tokenList("(CASE WHEN SYSZULINTERNAL_ROWCOUNT > 0 THEN true ELSE false END)", -1);
    listInsertAfterCell(list, countCell, found);
  }
  if (block->usesNotfound) {
    astNodeAssign* notFound = astMake<astNodeAssign>(line);
    notFound->target = tokenList(SYSZUL_NOTFOUND, -1);
    notFound->expr = tokenList("(CASE WHEN SYSZULINTERNAL_ROWCOUNT <= 0 THEN true ELSE false END)", -1);
    listInsertAfterCell(list, countCell, notFound);
  }
}

int rowCountFollowers(const astNode* statement) {
  const astNodeBlock* block = outermostBlock(const_cast<astNode*>(statement));
  if (!block || !block->usesRowcount || !statement->parent || statement->parent->kind != AST_LIST) return 0;
  return 1 + (block->usesFound ? 1 : 0) + (block->usesNotfound ? 1 : 0);
}

bool routineParts(const astNode* node, RoutineParts* routine) {
  if (!node) return false;
  switch (node->kind) {
    case AST_CREATE_PROCEDURE: {
      auto* n = nodeAs<const astNodeCreateProc>(node);
      *routine = {false, n->name, n->args, n->body};
      return true;
    }
    case AST_CREATE_FUNCTION: {
      auto* n = nodeAs<const astNodeCreateFunc>(node);
      *routine = {true, n->name, n->args, n->body};
      return true;
    }
    case AST_PROC_PROTO: {
      auto* n = nodeAs<const astNodeProcProto>(node);
      *routine = {false, n->name, n->args, nullptr};
      return true;
    }
    case AST_FUNC_PROTO: {
      auto* n = nodeAs<const astNodeFuncProto>(node);
      *routine = {true, n->name, n->args, nullptr};
      return true;
    }
    default: return false;
  }
}

}  // namespace rewrite

using namespace rewrite;

namespace {

bool isUnitNode(const astNode* node) { return isEnclosingUnit(node); }
bool isRoutineNode(const astNode* node) { return isRoutine(node); }

void transformList(astNodeList* list, astNode* parent, TransformState* state) {
  transformNode(list, parent, state);
}

// ---- names ----

// Position just after the first dot outside quotes, or null.
const char* afterFirstPart(const char* text) {
  bool quoted = false;
  for (const char* p = text; *p; ++p) {
    if (*p == '\\') {
      if (!p[1]) break;
      ++p;
    } else if (*p == '"') {
      quoted = !quoted;
    } else if (*p == '.' && !quoted) {
      return p + 1;
    }
  }
  return nullptr;
}

// The word of a name that may stand for a predefined exception: the name
// alone, or after STANDARD.; null for a name qualified otherwise.
const char* predefinedExceptionWord(const char* name) {
  astNodeList* parts = splitQualifiedName(name);
  int count = listLength(parts);
  if (count < 1 || count > 2 || (count == 2 && !equalsIgnoreCase(firstToken(parts)->text, "STANDARD")))
    return nullptr;
  return asToken(listLast(parts))->text;
}

char* concat(const char* a, const char* b) {
  size_t la = std::strlen(a), lb = std::strlen(b);
  char* text = static_cast<char*>(poolAlloc(la + lb + 1));
  std::memcpy(text, a, la);
  std::memcpy(text + la, b, lb + 1);
  return text;
}

// The alias token of the trigger variable that REFERENCING renamed to
// `name` (the alias before its internal prefix), or null.
astNodeToken* referencedAlias(astNodeCreateTrigger* trigger, const char* name) {
  static const size_t prefix = std::strlen("SYSZULINTERNAL_");
  for (astNodeTriggerArg* variable : {trigger->newVariable, trigger->oldVariable, trigger->parentVariable}) {
    astNodeToken* alias = variable && variable->line >= 0 ? firstToken(variable->alias) : nullptr;
    if (!alias || !alias->text || std::strncmp(alias->text, "SYSZULINTERNAL_", prefix) != 0) continue;
    if (equalsIgnoreCase(alias->text + prefix, name)) return alias;
  }
  return nullptr;
}

// Whether a routine's body block declares `name`.
bool bodyDeclares(const astNode* body, const char* name) {
  const astNodeBlock* block = body && body->kind == AST_BLOCK ? nodeAs<const astNodeBlock>(body) : nullptr;
  for (astListCell* c = listCells(block ? block->declarations : nullptr); c; c = c->next) {
    if (!isDeclaration(c->value)) continue;
    astNodeToken* declared = firstToken(nodeAs<astNodeDecl>(c->value)->variableName);
    if (declared && equalsIgnoreCase(declared->text, name)) return true;
  }
  return false;
}

// The first two parts of a dotted name, read as splitQualifiedName reads
// them, and how many parts it has (two at most counted).
struct NameHead {
  std::string first;
  std::string second;
  int parts = 1;
};

NameHead nameHead(const char* text) {
  NameHead head;
  std::string* part = &head.first;
  bool quoted = false;
  for (const char* p = text; *p; ++p) {
    if (*p == '\\') {
      if (!p[1]) break;
      *part += *++p;
    } else if (*p == '"') {
      quoted = !quoted;
    } else if (*p == '.' && !quoted) {
      if (++head.parts > 2) break;
      part = &head.second;
    } else {
      *part += *p;
    }
  }
  return head;
}

// The text a qualified name takes in its place in the tree (step 5 of the
// token steps); returns `text` itself when nothing changes.
char* requalify(astNodeToken* token, char* text) {
  if (!text) return text;
  astNode* unit = outermostOf(token, isUnitNode);
  if (!unit) return text;
  NameHead parts = nameHead(text);
  const char* first = parts.first.c_str();
  if (unit->kind == AST_CREATE_TRIGGER) {
    auto* trigger = nodeAs<astNodeCreateTrigger>(unit);
    if (trigger->condition && token->parent == trigger->condition) {
      astNodeTriggerArg* variable = nullptr;
      if (equalsIgnoreCase(first, "OLD") && trigger->oldVariable)
        variable = trigger->oldVariable;
      else if (equalsIgnoreCase(first, "NEW") && trigger->newVariable)
        variable = trigger->newVariable;
      astNodeToken* alias = variable ? firstToken(variable->alias) : nullptr;
      if (alias && alias->text && std::strlen(text) >= 3) return concat(alias->text, text + 3);
      // A name the REFERENCING clause gave (NEW AS n: n.x) is the alias the
      // header declares.
      const char* rest = afterFirstPart(text);
      astNodeToken* renamed = rest ? referencedAlias(trigger, first) : nullptr;
      if (renamed) return concat(concat(renamed->text, "."), rest);
      return text;
    }
  }
  // The routine whose name qualifies the text: a standalone unit, or the
  // routine of a package that holds the token.
  astNode* routine = isRoutine(unit) ? unit : isPackage(unit) ? nearestOf(token, isRoutineNode) : nullptr;
  if (!routine || parts.parts < 2) return text;
  RoutineParts owner;  // a trigger has its name only
  if (!routineParts(routine, &owner)) owner.name = nodeAs<astNodeCreateTrigger>(routine)->name;
  astNodeToken* unitName = firstToken(owner.name);
  if (!unitName || !equalsIgnoreCase(first, unitName->text)) return text;
  const char* rest = afterFirstPart(text);
  if (!rest) return text;
  // The target resolves a parameter qualified by its routine's name; the
  // routine's local variables are reached through its body's label.
  const char* member = parts.second.c_str();
  for (astListCell* c = listCells(owner.args); c; c = c->next) {
    if (!c->value || c->value->kind != AST_FORMAL_ARG) continue;
    astNodeToken* arg = firstToken(nodeAs<astNodeFormalArg>(c->value)->name);
    if (arg && equalsIgnoreCase(arg->text, member)) return text;
  }
  if (unit != routine && !bodyDeclares(owner.body, member)) return text;
  return concat(SYSZUL_BLOCK ".", rest);
}

// ---- token steps ----

bool isHandlerNode(const astNode* node) { return node && node->kind == AST_HANDLER; }

bool isNumberToken(const astNodeToken* token) {
  return token && token->text && (token->tokenCode == T_DIGITS || token->tokenCode == T_NUMERICNO);
}

// An error number whose SQLCODE differs between PL/SQL and the target: any
// but 0 (success). NO_DATA_FOUND (100) is signalled as an error of its own.
bool isChangingNumber(const astNodeToken* token) {
  return isNumberToken(token) && std::strtod(token->text, nullptr) != 0;
}

// A name stands for a value unknown here (a constant, a variable, a call),
// which may well be an error number.
bool isNameToken(const astNodeToken* token) { return token && token->text && token->tokenCode == T_WORD; }

bool isComparison(const astNodeToken* token) {
  static const char* const operators[] = {"=", "<>", "!=", "^=", "~=", "<", ">", "<=", ">=", "IN", "WHEN", "BETWEEN"};
  for (const char* op : operators)
    if (textIs(token, op)) return true;
  return false;
}

// Whether the operand from `c` on (a value with its sign, or a list of
// them in parentheses) holds a number whose meaning changes or a name.
bool numbersChangeMeaning(astListCell* c) {
  int depth = 0;
  bool wantValue = true;
  for (; c; c = c->next) {
    astNodeToken* token = asToken(c->value);
    if (!token || !token->text) return false;
    const char* t = token->text;
    if (std::strcmp(t, "(") == 0) {
      ++depth;
      wantValue = true;
    } else if (std::strcmp(t, ")") == 0 || (std::strcmp(t, ",") == 0 && depth == 0)) {
      if (--depth <= 0) return false;
    } else if (std::strcmp(t, ",") == 0) {
      wantValue = true;
    } else if (std::strcmp(t, "-") != 0 && std::strcmp(t, "+") != 0) {
      if (!wantValue || !(isNumberToken(token) || isNameToken(token))) return false;
      if (isChangingNumber(token) || isNameToken(token)) return true;
      if (depth == 0) return false;
      wantValue = false;
    }
  }
  return false;
}

// SQLCODE compared with a PL/SQL error number (SQLCODE = -1, -1 = SQLCODE,
// SQLCODE IN (...), CASE SQLCODE WHEN ...), directly or through a name:
// the target's code for the same error differs, so the comparison cannot
// hold. `token` is SQLCODE or a variable that holds it.
void checkSqlcodeComparison(astNodeToken* token, TransformState* state) {
  astNode* holder = token->parent;
  if (!holder || holder->kind != AST_LIST) return;
  auto* list = nodeAs<astNodeList>(holder);
  bool compared = false;
  astNode* owner = list->parent;
  if (owner && owner->kind == AST_CASE && nodeAs<astNodeCase>(owner)->predicate == list) {
    for (astListCell* w = listCells(nodeAs<astNodeCase>(owner)->values); w && !compared; w = w->next)
      if (w->value && w->value->kind == AST_CASE_EXPR)
        compared = numbersChangeMeaning(listCells(nodeAs<astNodeCaseExpr>(w->value)->predicate));
  }
  astListCell* previous = nullptr;
  astListCell* cell = list->head;
  astListCell* beforePrevious = nullptr;
  for (; cell && cell->value != token; cell = cell->next) {
    beforePrevious = previous;
    previous = cell;
  }
  if (!cell) return;
  astListCell* after = cell->next;
  if (after && textIs(after->value, "NOT")) after = after->next;
  if (after && isComparison(asToken(after->value))) compared = compared || numbersChangeMeaning(after->next);
  // DECODE(SQLCODE, -1, ...) compares with its search values.
  if (after && textIs(after->value, ",") && previous && textIs(previous->value, "(") &&
      beforePrevious && textIs(beforePrevious->value, "DECODE"))
    compared = compared || numbersChangeMeaning(after->next);
  if (previous && beforePrevious && isComparison(asToken(previous->value)) &&
      !textIs(previous->value, "IN") && !textIs(previous->value, "BETWEEN"))
    compared = compared || isChangingNumber(asToken(beforePrevious->value)) ||
               isNameToken(asToken(beforePrevious->value));
  if (!compared) return;
  ErrorRecord* record = reportFinding(FindingId::SQLCODE_COMPARED, token, state->errors);
  record->text = poolStrdup(token->tokenCode == T_SQLCODE ? "SQLCODE" : token->text);
}

// Key of a variable named `name` in the routine (or other unit) around `at`.
std::string unitVariableKey(astNode* at, const char* name) {
  return std::to_string(reinterpret_cast<std::uintptr_t>(nearestOf(at, isUnitNode))) + ":" + foldedText(name);
}

// `v := SQLCODE` in a handler: v holds the target's code, and comparisons
// of v are checked as those of SQLCODE.
void noteSqlcodeVariable(astNodeToken* token, TransformState* state) {
  astNode* list = token->parent;
  astNode* owner = list ? list->parent : nullptr;
  if (!owner || owner->kind != AST_ASSIGN || listLength(nodeAs<astNodeList>(list)) != 1) return;
  auto* assign = nodeAs<astNodeAssign>(owner);
  astNodeToken* target = firstToken(assign->target);
  if (assign->expr == list && !assign->targetIndex && !assign->targetField && listLength(assign->target) == 1 &&
      target && target->text) {
    state->sqlcodeVariables.insert(unitVariableKey(token, target->text));
    state->sqlcodeNames.insert(target->text);
  }
}

// SQLCODE and SQLERRM outside every handler are those of no exception (0
// and the message of success): `value`. PL/SQL keeps them in a routine
// called from a handler, too (a routine that logs the error); the target
// does not. Returns whether the token stands outside every handler.
bool settleOutsideHandler(astNodeToken* token, const char* name, const char* value, TransformState* state) {
  if (nearestOf(token, isHandlerNode)) return false;
  token->text = poolStrdup(value);
  ErrorRecord* record = reportFinding(FindingId::OUTSIDE_HANDLER, token, state->errors, name);
  record->text = poolStrdup(name);
  return true;
}

void transformToken(astNodeToken* token, TransformState* state) {
  switch (token->tokenCode) {
    case T_TRIG_VAR: {
      reportMissingTriggerRow(token, state);
      astNode* unit = outermostOf(token, isUnitNode);
      if (unit && unit->kind == AST_CREATE_TRIGGER && token->text && token->text[0])
        token->text = concat("SYSZULINTERNAL_", token->text + 1);
      return;
    }
    case T_CURSOR_FOUND:
    case T_CURSOR_NOTFOUND:
    case T_CURSOR_ISOPEN:
    case T_CURSOR_ROWCOUNT: {
      // No cursor of the target stands for SQL: its cursor is never open
      // once the statement is done.
      if (token->tokenCode == T_CURSOR_ISOPEN && isSqlCursorName(token->text)) {
        token->text = poolStrdup("false");
        return;
      }
      const char* name = requalify(token, token->text ? token->text : const_cast<char*>(""));
      const char* format = "%s %s";
      const char* what = "IS FOUND";
      if (token->tokenCode == T_CURSOR_NOTFOUND) what = "IS NOT FOUND";
      else if (token->tokenCode == T_CURSOR_ISOPEN) what = "IS OPEN";
      else if (token->tokenCode == T_CURSOR_ROWCOUNT) {
        format = "%s(%s)";
        what = name;
        name = "CURSOR_ROWCOUNT";
      }
      size_t size = std::strlen(name) + std::strlen(what) + 4;
      char* text = static_cast<char*>(poolAlloc(size));
      std::snprintf(text, size, format, name, what);
      token->text = text;
      return;
    }
    case T_SQLCODE:
      // Outside every handler no exception is being handled: SQLCODE is 0,
      // not the code the last handler captured.
      if (settleOutsideHandler(token, "SQLCODE", "0", state)) return;
      checkSqlcodeComparison(token, state);
      noteSqlcodeVariable(token, state);
      ensureDeclared(outermostBlock(token), "SQLCODE", "INTEGER", tokenList("0", -1), token->line);
      return;
    case T_SQLERRM:
      settleOutsideHandler(token, "SQLERRM", "'ORA-0000: normal, successful completion'", state);
      return;
    case T_SQLSTATE:
      ensureDeclared(outermostBlock(token), "SQLSTATE", "CHAR(5)", tokenList("'00000'", -1), token->line);
      return;
    default:
      break;
  }
  if (!state->sqlcodeVariables.empty() && isNameToken(token) && !token->qualified &&
      state->sqlcodeNames.holds(token->text) && state->sqlcodeVariables.count(unitVariableKey(token, token->text)))
    checkSqlcodeComparison(token, state);
  if (!token->qualified) {
    checkSubstrStart(token, state);
    addCallParentheses(token, state);
    return;
  }
  if (namesSqlColumn(token)) return;
  reportMissingTriggerRow(token, state);
  char* text = token->text;
  token->text = requalify(token, token->text);
  if (token->text == text) addCallParentheses(token, state);
}

// ---- constructs the translation leaves out ----

struct DroppedConstruct {
  int kind;
  FindingId finding;
  const char* construct;
};

constexpr DroppedConstruct kDropped[] = {
#define AST_DROPPED(kind, finding, construct) {kind, FindingId::finding, construct},
#include "ast_kinds.def"
};

constexpr KindIndex kDroppedIndex(kDropped);

static_assert(kDroppedIndex.oneRowAtMostPerKind(), "ast_kinds.def must give a kind one report at most");

// A pragma that no step of the pass knows is left out, and what it asks for
// with it (package state for one call only, inlining, ...): reported by name.
void reportPragma(astNodeOraclePragma* pragma, TransformState* state) {
  astNodeToken* name = firstToken(pragma->expr);
  reportFinding(FindingId::PRAGMA, pragma, state->errors, upperText(name ? name->text : nullptr).c_str());
}

// Reports a construct that no target text stands for. Kinds without a
// report in the kind table (syntax-error nodes, ...) report nothing.
void reportDropped(astNode* node, TransformState* state) {
  if (!node) return;
  if (node->kind == AST_ORACLE_PRAGMA) return reportPragma(nodeAs<astNodeOraclePragma>(node), state);
  for (const DroppedConstruct& dropped : kDroppedIndex.rowsOf(node->kind))
    reportFinding(dropped.finding, node, state->errors, dropped.construct);
}

// An element a package leaves out; PRAGMA AUTONOMOUS_TRANSACTION there
// names no routine.
void reportDroppedElement(astNode* node, TransformState* state) {
  if (node->kind == AST_PRAGMA && nodeAs<astNodePragma>(node)->pragmaCode == T_AUTONOMOUS_XACT)
    reportFinding(FindingId::AUTONOMOUS_CONTEXT, node, state->errors);
  reportDropped(node, state);
}

// A WRAPPED unit holds only its obfuscated text.
void reportWrapped(astNode* node, bool wrapped, const char* unit, TransformState* state) {
  if (wrapped) reportFinding(FindingId::WRAPPED, node, state->errors, unit);
}

// ---- blocks ----

// Uses of the SQL% attributes and of SQLCODE, SQLERRM and SQLSTATE, as bits.
enum : unsigned {
  USES_NOTFOUND = 1,
  USES_FOUND = 2,
  USES_ROWCOUNT = 4,
  USES_SQLCODE = 8,
  USES_SQLERRM = 16,
  USES_SQLSTATE = 32
};

void setUses(astNodeBlock* block, unsigned uses) {
  if (uses & USES_NOTFOUND) block->usesNotfound = true;
  if (uses & USES_FOUND) block->usesFound = true;
  if (uses & USES_ROWCOUNT) block->usesRowcount = true;
  if (uses & USES_SQLCODE) block->usesSqlcode = true;
  if (uses & USES_SQLERRM) block->usesSqlerrm = true;
  if (uses & USES_SQLSTATE) block->usesSqlstate = true;
}

// Gives such a token the name of the target's variable; what it uses.
unsigned rewriteUseToken(astNodeToken* token) {
  switch (token->tokenCode) {
    case T_SQL_NOTFOUND:
      token->text = poolStrdup("(SYSZULINTERNAL_NOTFOUND = true)");
      return USES_NOTFOUND | USES_ROWCOUNT;
    case T_SQL_FOUND:
      token->text = poolStrdup("(SYSZULINTERNAL_FOUND = true)");
      return USES_FOUND | USES_ROWCOUNT;
    case T_SQL_ROWCOUNT:
      token->text = poolStrdup(SYSZUL_ROWCOUNT);
      return USES_ROWCOUNT;
    case T_SQLCODE:
      token->text = poolStrdup(SYSZUL_SQLCODE);
      return USES_SQLCODE;
    case T_SQLERRM:
      token->text = poolStrdup(SYSZUL_SQLERRM);
      return USES_SQLERRM;
    case T_SQLSTATE:
      token->text = poolStrdup(SYSZUL_SQLSTATE);
      return USES_SQLSTATE;
    default:
      return 0;
  }
}

// A block uses what the statements of its body use, nested blocks
// included. One walk over the body of the block that is scanned first
// gives every block nested in that body its uses as well, so the blocks
// met later need no walk of their own: nested blocks cost linear time.
struct BlockScan {
  struct Open {
    astNodeBlock* block;
    unsigned all;   // used anywhere below the block
    unsigned body;  // used in its body
    bool inBody;
  };
  std::vector<Open> open;  // the scanned block, then the nested blocks being walked
};

void enterScanned(astNode* node, void* data) {
  auto* scan = static_cast<BlockScan*>(data);
  BlockScan::Open& top = scan->open.back();
  if (node->kind == AST_TOKEN) {
    unsigned uses = rewriteUseToken(nodeAs<astNodeToken>(node));
    top.all |= uses;
    if (top.inBody) top.body |= uses;
  } else if (node == top.block->body) {
    top.inBody = true;
  } else if (node->kind == AST_BLOCK) {
    scan->open.push_back({nodeAs<astNodeBlock>(node), 0, 0, false});
  }
}

void leaveScanned(astNode* node, void* data) {
  auto* scan = static_cast<BlockScan*>(data);
  BlockScan::Open& top = scan->open.back();
  if (node == top.block->body) {
    top.inBody = false;
  } else if (node == top.block && scan->open.size() > 1) {
    BlockScan::Open done = top;
    scan->open.pop_back();
    setUses(done.block, done.body);
    BlockScan::Open& outer = scan->open.back();
    outer.all |= done.all;
    if (outer.inBody) outer.body |= done.all;
  }
}

void scanBlockUses(astNodeBlock* block) {
  BlockScan scan{{{block, 0, 0, true}}};
  astWalkAround(block->body, enterScanned, leaveScanned, &scan);
  // The block's handlers read the row count that its statements leave: the
  // statements must keep it.
  unsigned body = scan.open.front().body;
  scan.open.front().inBody = true;
  astWalkAround(block->exceptions, enterScanned, leaveScanned, &scan);
  setUses(block, body | (scan.open.front().body & (USES_NOTFOUND | USES_FOUND | USES_ROWCOUNT)));
}

// `<<name>> BEGIN ... END name;` parses as the block followed by a call of
// `name`: that call is the block's end label, not a statement.
void dropEndLabel(astNodeBlock* block) {
  astNode* holder = block->parent;
  if (!block->label || !holder || holder->kind != AST_LIST) return;
  auto* list = nodeAs<astNodeList>(holder);
  astListCell* cell = listCellOf(list, block);
  astNode* next = cell && cell->next ? cell->next->value : nullptr;
  if (!next || next->kind != AST_CALL) return;
  auto* call = nodeAs<astNodeCall>(next);
  astNodeToken* name = listLength(call->name) == 1 ? firstToken(call->name) : nullptr;
  if (call->args || call->label || !name || !equalsIgnoreCase(name->text, block->label)) return;
  listRemoveAfter(list, cell->next, cell);
}

namespace {

// What a transformed handler condition stands for in the target: the
// SQLSTATE of a condition declared for one in an enclosing block, else the
// condition as written.
std::string conditionKey(astNodeToken* name, astNode* from) {
  std::string text = name->text;
  if (text.rfind("SQLSTATE '", 0) == 0) return text.substr(10, 5);
  for (astNode* n = from; n; n = n->parent) {
    if (n->kind != AST_BLOCK) continue;
    for (astListCell* c = listCells(nodeAs<astNodeBlock>(n)->declarations); c; c = c->next) {
      if (!c->value || c->value->kind != AST_EXCEPTION_DECL) continue;
      auto* decl = nodeAs<astNodeExceptionDecl>(c->value);
      astNodeToken* word = listLength(decl->variableName) == 1 ? firstToken(decl->variableName) : nullptr;
      if (decl->variableType != VAR_EXCEPTION || !word || !equalsIgnoreCase(word->text, name->text)) continue;
      return decl->sqlstate ? std::string(decl->sqlstate) : upperText(name->text);
    }
  }
  return upperText(name->text);
}

// The target refuses two handlers of one block for the same condition; in
// PL/SQL the first one takes the error, so a later one loses that condition,
// and the handler itself once it has none left.
void dropRepeatedConditions(astNodeBlock* block) {
  std::unordered_set<std::string> seen;
  astListCell* previousHandler = nullptr;
  for (astListCell* h = listCells(block->exceptions); h;) {
    astListCell* nextHandler = h->next;
    if (!h->value || h->value->kind != AST_HANDLER) {
      previousHandler = h;
      h = nextHandler;
      continue;
    }
    auto* handler = nodeAs<astNodeHandler>(h->value);
    astListCell* previous = nullptr;
    for (astListCell* c = listCells(handler->conditions); c;) {
      astListCell* next = c->next;
      astNodeToken* name = conditionName(c->value);
      std::string key = name && name->text ? conditionKey(name, block) : std::string();
      if (!key.empty() && !seen.insert(key).second)
        listRemoveAfter(handler->conditions, c, previous);
      else
        previous = c;
      c = next;
    }
    if (listCells(handler->conditions)) {
      previousHandler = h;
    } else {
      listRemoveAfter(block->exceptions, h, previousHandler);
    }
    h = nextHandler;
  }
}

}  // namespace

void transformBlock(astNodeBlock* block, TransformState* state) {
  dropEndLabel(block);
  block->atomic = false;
  // The walk goes over the statements and handlers, not over the block's
  // own declarations: a routine declared there walks its own body.
  bool walked = state->usesWalked;
  if (!walked) scanBlockUses(block);
  transformList(block->declarations, block, state);
  // The walk reported the declarations of untranslated kinds; those that
  // have no place in a block are reported after it.
  for (astListCell* c = listCells(block->declarations); c; c = c->next)
    if (c->value && !(astKindTraits(c->value->kind) & KIND_UNTRANSLATED)) reportDropped(c->value, state);
  state->usesWalked = true;
  transformList(block->body, block, state);
  transformList(block->exceptions, block, state);
  state->usesWalked = walked;
  dropRepeatedConditions(block);
  if (block->usesRowcount) {
    astNodeBlock* outer = outermostBlock(block);
    ensureDeclared(outer, SYSZUL_ROWCOUNT, "INTEGER", nullptr, block->line);
    if (block->usesFound) ensureDeclared(outer, SYSZUL_FOUND, "BOOLEAN", nullptr, block->line);
    if (block->usesNotfound) ensureDeclared(outer, SYSZUL_NOTFOUND, "BOOLEAN", nullptr, block->line);
  }
  guardQueries(block, state);
  separateDefaultsFromHandlers(block, state);
  block->maxNameLength = maxDeclNameLength(block->declarations);
}

}  // namespace

namespace rewrite {

void transformMadeBlock(astNodeBlock* block, astNode* parent, TransformState* state) {
  bool walked = state->usesWalked;
  state->usesWalked = false;
  transformNode(block, parent, state);
  state->usesWalked = walked;
}

}  // namespace rewrite

namespace {

// ---- units ----

void labelBody(astNode* body) {
  if (!body || body->kind != AST_BLOCK) return;
  astNodeBlock* block = nodeAs<astNodeBlock>(body);
  if (!block->label) block->label = poolStrdup(SYSZUL_BLOCK);
}

// Trigger options that the target's CREATE TRIGGER is written without: the
// trigger is created enabled, and in no particular order among the others.
void reportTriggerOptions(astNodeCreateTrigger* trigger, TransformState* state) {
  if (trigger->follows) reportFinding(FindingId::TRIGGER_OPTION, trigger, state->errors, "FOLLOWS");
  if (trigger->disable) reportFinding(FindingId::TRIGGER_OPTION, trigger, state->errors, "DISABLE");
  // A column list after the events of any kind but UPDATE OF.
  if (trigger->ofTrigger) reportFinding(FindingId::TRIGGER_OF_COLUMNS, trigger, state->errors);
}

void transformTrigger(astNodeCreateTrigger* trigger, TransformState* state) {
  reportTriggerOptions(trigger, state);
  // An INSTEAD OF trigger fires for each row whether FOR EACH ROW is written
  // or not; the target takes one without it as a statement trigger.
  if (trigger->point == TRIGGER_INSTEAD_OF) trigger->forEachRow = true;
  labelBody(trigger->body);
  for (astListCell* c = listCells(trigger->referencing); c; c = c->next) {
    if (!c->value || c->value->kind != AST_TRIGGER_VAR) continue;
    auto* variable = nodeAs<astNodeTriggerArg>(c->value);
    astNodeToken* alias = firstToken(variable->alias);
    if (alias) alias->text = concat("SYSZULINTERNAL_", alias->text ? alias->text : "");
    if (variable->var == TRIGGER_VAR_NEW) trigger->newVariable = variable;
    else if (variable->var == TRIGGER_VAR_OLD) trigger->oldVariable = variable;
    else if (variable->var == TRIGGER_VAR_PARENT) trigger->parentVariable = variable;
  }
  if ((trigger->events & (TRIGGER_INSERT | TRIGGER_UPDATE)) && !trigger->newVariable) {
    astNodeTriggerArg* variable = astMake<astNodeTriggerArg>(-1);
    variable->var = TRIGGER_VAR_NEW;
    variable->alias = tokenList(SYSZUL_NEW, -1);
    trigger->referencing = listAppend(trigger->referencing, variable);
    trigger->newVariable = variable;
  }
  if ((trigger->events & (TRIGGER_UPDATE | TRIGGER_DELETE)) && !trigger->oldVariable) {
    astNodeTriggerArg* variable = astMake<astNodeTriggerArg>(-1);
    variable->var = TRIGGER_VAR_OLD;
    variable->alias = tokenList(SYSZUL_OLD, -1);
    trigger->referencing = listAppend(trigger->referencing, variable);
    trigger->oldVariable = variable;
  }
  transformChildren(trigger, state);
  dropRowsWithoutEvent(trigger);
}

bool isPrototypeKind(int kind) { return kind == AST_FUNC_PROTO || kind == AST_PROC_PROTO; }

void setPackage(astNode* node, astNode* package) {
  switch (node->kind) {
    case AST_FUNC_PROTO: nodeAs<astNodeFuncProto>(node)->package = package; break;
    case AST_PROC_PROTO: nodeAs<astNodeProcProto>(node)->package = package; break;
    case AST_CREATE_FUNCTION: nodeAs<astNodeCreateFunc>(node)->package = package; break;
    case AST_CREATE_PROCEDURE: nodeAs<astNodeCreateProc>(node)->package = package; break;
    default:
      if (isDeclaration(node)) nodeAs<astNodeDecl>(node)->package = package;
      break;
  }
}

// ---- routines of a module ----

// Name texts compared the way the target compares ordinary names.
std::string foldedName(const astNodeList* name) {
  std::string text;
  for (astListCell* c = listCells(name); c; c = c->next) {
    astNodeToken* token = asToken(c->value);
    if (!token || !token->text) continue;
    if (!text.empty()) text += '.';
    text += foldedText(token->text);
  }
  return text;
}

// The target tells the routines of a module apart by their name and their
// number of parameters only: a further routine of the same kind, name and
// count cannot be created next to the first.
void reportIndistinctOverloads(astNodeList* routines, TransformState* state) {
  std::unordered_set<std::string> seen;
  for (astListCell* c = listCells(routines); c; c = c->next) {
    RoutineParts routine;
    if (!routineParts(c->value, &routine)) continue;
    std::string key = std::string(routine.function ? "F" : "P") + std::to_string(listLength(routine.args)) + " " +
                      foldedName(routine.name);
    if (seen.insert(key).second) continue;
    astNodeToken* name = firstToken(routine.name);
    reportFinding(FindingId::OVERLOADED_ROUTINES, c->value, state->errors, nullptr,
                  name && name->text ? name->text : "");
  }
}

// Does a package head of this run publish a routine of that name?
bool publishedByPackageHead(const astNodeCreatePkgBody* body, const std::string& routineName,
                              const TransformState* state) {
  if (!state->root || state->root->kind != AST_LIST) return false;
  std::string package = foldedName(body->name);
  for (astListCell* c = listCells(nodeAs<astNodeList>(state->root)); c; c = c->next) {
    if (!c->value || c->value->kind != AST_CREATE_PKG_HEAD) continue;
    auto* head = nodeAs<astNodeCreatePkgHead>(c->value);
    if (foldedName(head->name) != package) continue;
    // Before its own steps the package head still holds its members in
    // `elements`.
    for (astNodeList* members : {head->elements, head->prototypes})
      for (astListCell* m = listCells(members); m; m = m->next) {
        RoutineParts routine;
        if (routineParts(m->value, &routine) && foldedName(routine.name) == routineName) return true;
      }
  }
  return false;
}

// The routines declared ahead in a package body, by folded name, with the
// place of their bodies among the body's routines.
struct UseAheadSearch {
  std::unordered_map<std::string, int> bodyAt;
  std::unordered_set<std::string> reported;
  int current = 0;  // place of the routine being searched
  TransformState* state = nullptr;
};

void findUseAhead(astNode* node, void* data) {
  if (node->kind != AST_TOKEN) return;
  auto* token = nodeAs<astNodeToken>(node);
  if (token->tokenCode != T_WORD || !token->text) return;
  auto* search = static_cast<UseAheadSearch*>(data);
  std::string name = lastPart(token->text);
  auto at = search->bodyAt.find(name);
  if (at == search->bodyAt.end() || at->second <= search->current || !search->reported.insert(name).second) return;
  reportFinding(FindingId::PRIVATE_ROUTINE_AHEAD, token, search->state->errors, nullptr, name.c_str());
}

// A routine declared ahead in a package body is private: the target knows
// prototypes of published routines only, so the declaration writes nothing.
// A routine of the body that calls it before its own body then cannot be
// created in the target's order of creation, which is reported at the call.
void reportPrivateRoutinesUsedAhead(astNodeCreatePkgBody* body, TransformState* state) {
  if (!body->forwardDeclarations) return;
  UseAheadSearch search;
  search.state = state;
  std::vector<RoutineParts> routines;
  for (astListCell* c = listCells(body->prototypes); c; c = c->next) {
    RoutineParts routine;
    if (routineParts(c->value, &routine)) routines.push_back(routine);
  }
  for (astListCell* f = listCells(body->forwardDeclarations); f; f = f->next) {
    RoutineParts declared;
    if (!routineParts(f->value, &declared)) continue;
    std::string name = foldedName(declared.name);
    if (name.empty() || publishedByPackageHead(body, name, state)) continue;
    for (size_t i = 0; i < routines.size(); ++i)
      if (routines[i].function == declared.function && foldedName(routines[i].name) == name) {
        search.bodyAt.emplace(name, static_cast<int>(i));
        break;
      }
  }
  if (search.bodyAt.empty()) return;
  for (size_t i = 0; i < routines.size(); ++i) {
    search.current = static_cast<int>(i);
    astWalk(routines[i].body, findUseAhead, &search);
  }
}

void transformPackageHead(astNodeCreatePkgHead* head, TransformState* state) {
  reportWrapped(head, head->WRAPPED, "PACKAGE", state);
  transformList(head->name, head, state);
  head->declarations = nullptr;
  head->prototypes = nullptr;
  head->types = nullptr;
  for (astListCell* c = listCells(head->elements); c; c = c->next) {
    astNode* element = c->value;
    if (!element) continue;
    if (isTranslatedDeclaration(element)) {
      setPackage(element, head);
      head->declarations = listAppend(head->declarations, element);
    } else if (isPrototypeKind(element->kind) || element->kind == AST_CREATE_FUNCTION ||
               element->kind == AST_CREATE_PROCEDURE) {
      // A routine declared without a body in a package spec is parsed as a
      // routine node; it is published like a prototype.
      setPackage(element, head);
      head->prototypes = listAppend(head->prototypes, element);
    } else {
      reportDroppedElement(element, state);
    }
  }
  head->elements = nullptr;
  reportIndistinctOverloads(head->prototypes, state);
  transformList(head->declarations, head, state);
  transformList(head->prototypes, head, state);
  transformList(head->types, head, state);
  head->maxNameLength = static_cast<int>(maxDeclNameLength(head->declarations));
}

astNodeList* initProcedure(astNodeCreatePkgBody* body, astNodeBlock* block) {
  astNodeCreateProc* proc = astMake<astNodeCreateProc>(body->line);
  proc->name = tokenList("SYS_INIT", -1);
  proc->REPLACE = false;
  proc->AUTHID = true;
  proc->package = body;
  if (!block) block = astMake<astNodeBlock>(body->line);
  if (body->initStatements) {
    astNodeList* statements = appendElements(nullptr, body->initStatements);
    block->body = appendElements(statements, block->body);
  }
  proc->body = block;
  return listNew(proc);
}

void transformPackageBody(astNodeCreatePkgBody* body, TransformState* state) {
  reportWrapped(body, body->WRAPPED, "PACKAGE BODY", state);
  transformList(body->name, body, state);
  body->declarations = nullptr;
  body->prototypes = nullptr;
  body->types = nullptr;
  if (body->elements) {
    astNodeBlock* initBlock = nullptr;
    for (astListCell* c = listCells(body->elements); c; c = c->next) {
      astNode* element = c->value;
      if (!element) continue;
      if (element->kind == AST_BLOCK) {
        initBlock = nodeAs<astNodeBlock>(element);
      } else if (element->kind == AST_CREATE_FUNCTION || element->kind == AST_CREATE_PROCEDURE) {
        setPackage(element, body);
        // A routine without a body is one declared ahead.
        RoutineParts routine;
        routineParts(element, &routine);
        if (routine.body)
          body->prototypes = listAppend(body->prototypes, element);
        else
          body->forwardDeclarations = listAppend(body->forwardDeclarations, element);
      } else if (isTranslatedDeclaration(element)) {
        setPackage(element, body);
        body->declarations = listAppend(body->declarations, element);
      } else if (isPrototypeKind(element->kind)) {
        setPackage(element, body);
        body->forwardDeclarations = listAppend(body->forwardDeclarations, element);
      } else {
        reportDroppedElement(element, state);
      }
    }
    body->elements = nullptr;
    reportIndistinctOverloads(body->prototypes, state);
    reportPrivateRoutinesUsedAhead(body, state);
    transformList(body->declarations, body, state);
    transformList(body->forwardDeclarations, body, state);
    transformList(body->prototypes, body, state);
    transformList(body->types, body, state);
    if (initBlock || body->initStatements)
      body->constructor = initProcedure(body, initBlock);
    else
      body->constructor = nullptr;
  } else {
    body->constructor = initProcedure(body, nullptr);
  }
  transformNode(body->constructor, body, state);
  body->maxNameLength = static_cast<int>(maxDeclNameLength(body->declarations));
}

// ---- handlers and exceptions ----

// Predefined exceptions that the exception map does not hold: the target's
// SQLSTATE for the same error, or none where no single one stands for it.
struct PredefinedException {
  const char* name;
  const char* sqlstate;
};

const PredefinedException kUnmappedExceptions[] = {
    {"INVALID_NUMBER", "22018"},     {"VALUE_ERROR", nullptr},      {"STORAGE_ERROR", nullptr},
    {"PROGRAM_ERROR", nullptr},      {"LOGIN_DENIED", nullptr},     {"TIMEOUT_ON_RESOURCE", nullptr},
    {"ROWTYPE_MISMATCH", nullptr},   {"SELF_IS_NULL", nullptr},     {"ACCESS_INTO_NULL", nullptr},
    {"COLLECTION_IS_NULL", nullptr}, {"SYS_INVALID_ROWID", nullptr}, {"NO_DATA_NEEDED", nullptr},
};

// SQLSTATE of a predefined exception outside the map; null, after a record
// at `at`, when the target has none (the name is then written as it stands
// and names no condition).
char* unmappedExceptionSqlstate(const char* name, astNode* at, TransformState* state) {
  const char* word = predefinedExceptionWord(name);
  for (const PredefinedException& entry : kUnmappedExceptions) {
    if (!equalsIgnoreCase(entry.name, word)) continue;
    if (entry.sqlstate) return poolStrdup(entry.sqlstate);
    reportFinding(FindingId::PREDEFINED_EXCEPTION, at, state->errors, entry.name);
    return nullptr;
  }
  return nullptr;
}

// SQLSTATE of an exception name: the exception map's, else that of a
// predefined exception outside the map; null without an exception map.
char* exceptionSqlstate(const char* name, astNode* at, TransformState* state) {
  if (!state->exceptionMap || !name) return nullptr;
  char* sqlstate = sqlstateForName(name, state);
  return sqlstate ? sqlstate : unmappedExceptionSqlstate(name, at, state);
}

namespace {

// What a handler's own statements read of the error they handle: its codes
// (SQLCODE, SQLSTATE) and its message (SQLERRM, the first read).
struct HandlerReads {
  bool code = false;
  astNode* message = nullptr;
};

void noteHandlerRead(astNode* node, void* data) {
  if (node->kind != AST_TOKEN) return;
  auto* reads = static_cast<HandlerReads*>(data);
  int code = nodeAs<astNodeToken>(node)->tokenCode;
  if (code == T_SQLCODE || code == T_SQLSTATE) reads->code = true;
  if (code == T_SQLERRM && !reads->message) reads->message = node;
}

}  // namespace

void transformHandler(astNodeHandler* handler, TransformState* state) {
  transformList(handler->conditions, handler, state);
  astNodeBlock* conditionsBlock = outermostBlock(handler->conditions ? static_cast<astNode*>(handler->conditions) : handler);
  int line = handler->line;
  ensureDeclared(conditionsBlock, "SQLSTATE", "CHAR(5)", tokenList("'00000'", -1), line);
  ensureDeclared(conditionsBlock, "SQLCODE", "INTEGER", tokenList("0", -1), line);
  for (astListCell* c = listCells(handler->conditions); c; c = c->next) {
    astNodeToken* name = conditionName(c->value);
    if (!name || !name->text) continue;
    char* sqlstate = exceptionSqlstate(name->text, name, state);
    if (equalsIgnoreCase(name->text, "OTHERS")) {
      name->text = poolStrdup("SQLEXCEPTION");
    } else if (sqlstate) {
      char* text = concat(concat("SQLSTATE '", sqlstate), "'");
      name->text = text;
    }
  }
  // The handler's statements become a block; an empty handler gets an empty
  // block so that the diagnostics capture has a place.
  astNode* body = handler->body;
  astNodeBlock* block = nullptr;
  bool made = false;
  if (body && body->kind == AST_BLOCK) {
    block = nodeAs<astNodeBlock>(body);
  } else {
    made = true;
    block = astMake<astNodeBlock>(body ? body->line : handler->line);
    block->body = nodeAs<astNodeList>(handler->body);
    handler->body = block;
  }
  astNodeBlock* outer = outermostBlock(handler);
  ensureDeclared(outer, SYSZUL_SQLCODE, "INTEGER", tokenList("0", -1), line);
  ensureDeclared(outer, SYSZUL_SQLSTATE, "CHAR(5)", tokenList("'00000'", -1), line);
  ensureDeclared(outer, SYSZUL_SQLERRM, "VARCHAR(500)", nullptr, line);
  // The target resets SQLCODE and SQLSTATE with the handler's first
  // statement, and only that statement's diagnostics hold the error's own
  // message; the item list has no SQLCODE. A handler that reads the message
  // alone takes it first; otherwise the codes come first and the message is
  // the target's text for the copied code, which a handler reading both is
  // told.
  HandlerReads reads;
  astWalk(block, noteHandlerRead, &reads);
  astNodeValues* values = astMake<astNodeValues>(line);
  values->targets = listAppend(listNew(tokenList("SQLCODE", -1)), tokenList("SQLSTATE", -1));
  values->sources = listAppend(listNew(tokenList(SYSZUL_SQLCODE, -1)), tokenList(SYSZUL_SQLSTATE, -1));
  if (reads.message && !reads.code) {
    astNodeGetDiag* diag = astMake<astNodeGetDiag>(line);
    diag->diagType = DIAG_MESSAGE_TEXT;
    diag->target = tokenList(SYSZUL_SQLERRM, -1);
    diag->source = tokenList("MESSAGE_TEXT", -1);
    block->prologue = listAppend(listAppend(block->prologue, diag), values);
  } else {
    astNodeAssign* message = astMake<astNodeAssign>(line);
    message->target = tokenList(SYSZUL_SQLERRM, -1);
    message->expr = tokenList("SQLERRM(" SYSZUL_SQLCODE ")", -1);
    block->prologue = listAppend(listAppend(block->prologue, values), message);
    if (reads.message)  // named as written: the token already has the target's name
      reportFinding(FindingId::SQLERRM_BESIDE_SQLCODE, reads.message, state->errors)->text = poolStrdup("SQLERRM");
  }
  if (made)
    transformMadeBlock(block, handler, state);
  else
    transformNode(block, handler, state);
}

void transformRaise(astNodeRaise* node, TransformState* state) {
  transformChildren(node, state);
  astNodeToken* name = firstToken(node->exceptionName);
  if (!node->exceptionName || !name) {
    node->condition = nullptr;
    return;
  }
  char* sqlstate = exceptionSqlstate(name->text, node, state);
  if (sqlstate) {
    node->condition = sqlstate;
    node->isSqlstate = 1;
  } else {
    node->condition = name->text;
    node->isSqlstate = 0;
  }
}

// The message argument of RAISE_APPLICATION_ERROR: the tokens up to a comma
// outside parentheses (a third argument, the keep-errors flag, has no
// counterpart in the target).
astNodeList* messageArgument(astNodeList* parms) {
  int depth = 0;
  astNodeList* message = nullptr;
  for (astListCell* c = listCells(parms); c; c = c->next) {
    astNodeToken* token = asToken(c->value);
    const char* text = token && token->text ? token->text : "";
    if (depth == 0 && (text[0] == ',' && text[1] == '\0')) return message;
    if (text[0] == '(') ++depth;
    else if (text[0] == ')' && depth > 0) --depth;
    message = listAppend(message, c->value);
  }
  return parms;
}

void transformRaiseApp(astNodeRaiseApp* node, TransformState* state) {
  // A number known only at run time signals one fixed SQLSTATE, which no
  // handler of a particular error number takes.
  if (node->errorNo && node->errorNo->tokenCode != T_DIGITS)
    reportFinding(FindingId::RAISE_NONLITERAL, node, state->errors);
  astNodeBlock* block = astMake<astNodeBlock>(node->line);
  block->label = node->label;
  node->expansion = block;
  ensureDeclared(block, SYSZUL_APPERROR, "VARCHAR(2048)", messageArgument(node->parms), node->line);
  astNodeSignal* signal = astMake<astNodeSignal>(node->line);
  signal->sqlstate = sqlstateForNumber(node->errorNumber, state);
  signal->message = tokenList(SYSZUL_APPERROR, -1);
  block->body = listNew(signal);
  transformMadeBlock(block, node, state);
}

void transformPragma(astNodePragma* pragma, TransformState* state) {
  transformChildren(pragma, state);
  if (pragma->pragmaCode == T_ALIAS) {
    // The value is the content of a string literal: no closing quote.
    astNodeToken* value = firstToken(pragma->value);
    if (value && value->text) {
      size_t length = std::strlen(value->text);
      if (length > 0 && value->text[length - 1] == '\'') {
        char* content = poolStrdup(value->text);
        content[length - 1] = '\0';
        value->text = content;
      }
    }
    state->aliasPragmas = listAppend(state->aliasPragmas, pragma);
  } else if (pragma->pragmaCode == T_AUTONOMOUS_XACT) {
    astNode* routine = nearestOf(pragma->parent, isRoutineNode);
    if (!routine || routine->kind != AST_CREATE_PROCEDURE)
      reportFinding(FindingId::AUTONOMOUS_CONTEXT, pragma, state->errors);
    else
      nodeAs<astNodeCreateProc>(routine)->AUTONOMOUS = true;
  }
}

// ---- steps of statements and routines ----

void transformAssign(astNodeAssign* node, TransformState* state) {
  transformChildren(node, state);
  if (node->targetIndex) {
    astNodeToken* target = firstToken(node->target);
    reportFinding(FindingId::COLLECTION_SUBSCRIPT, node, state->errors, nullptr, target ? target->text : nullptr);
  }
  roundDivisionIntoInteger(node);
  rewriteDbmsSqlAssign(node, state);
}

void transformCall(astNodeCall* node, TransformState* state) {
  transformChildren(node, state);
  if (reviewCall(node, state)) rewriteCollectionMethod(node, state);
}

void transformReturn(astNodeReturn* node, TransformState* state) {
  transformChildren(node, state);
  // A function's value is stored in its return type.
  astNode* routine = nearestOf(node->parent, isRoutineNode);
  if (routine && routine->kind == AST_CREATE_FUNCTION)
    node->expr = roundedIntoType(node->expr, nodeAs<astNodeCreateFunc>(routine)->returns);
  settleJump(node, state);
}

void transformSelect(astNodeSelect* node, TransformState* state) {
  transformChildren(node, state);
  // SELECT INTO leaves one row behind it (no row or more rows raise); the
  // target keeps no count for it.
  if (node->intoClause && !node->bulkCollect) addRowCountDiagnostics(node, state, "1");
}

void transformFunction(astNodeCreateFunc* node, TransformState* state) {
  reportWrapped(node, node->WRAPPED, "FUNCTION", state);
  labelBody(node->body);
  reviewRoutineOptions(node->options, node, state);
  transformChildren(node, state);
  node->returns = mapDataType(node->returns, node, state);
}

void transformProcedure(astNodeCreateProc* node, TransformState* state) {
  reportWrapped(node, node->WRAPPED, "PROCEDURE", state);
  labelBody(node->body);
  transformChildren(node, state);
}

void transformElements(astNodeList* list, TransformState* state) {
  reportListConstructs(list, state);
  // Cells inserted after the current one (row-count diagnostics) are
  // visited as well; a step that rewrote the cells it put before its
  // statement leaves the walk at the statement's new cell.
  astListCell* outer = state->currentCell;
  for (astListCell* c = list->head; c; c = c->next) {
    state->currentCell = c;
    transformNode(c->value, list, state);
    c = state->currentCell;
  }
  state->currentCell = outer;
}

}  // namespace

// ---- public operations ----

astNodeList* splitQualifiedName(const char* text) {
  astNodeList* parts = nullptr;
  if (!text) return parts;
  size_t length = std::strlen(text);
  char* part = static_cast<char*>(poolAlloc(length + 1));
  size_t used = 0;
  bool quoted = false;
  for (const char* p = text; *p; ++p) {
    if (*p == '\\') {
      if (!p[1]) break;
      part[used++] = *++p;
    } else if (*p == '"') {
      quoted = !quoted;
    } else if (*p == '.' && !quoted) {
      part[used] = '\0';
      parts = listAppend(parts, makeToken(part, -1));
      used = 0;
    } else {
      part[used++] = *p;
    }
  }
  part[used] = '\0';
  parts = listAppend(parts, makeToken(part, -1));
  return parts;
}

char* sqlstateForName(const char* name, const TransformState* state) {
  if (!state->exceptionMap) return nullptr;
  const char* sqlstate = mappedSqlstate(state->exceptionMap, predefinedExceptionWord(name));
  return sqlstate ? poolStrdup(sqlstate) : nullptr;
}

bool isMappedNumber(int number, const TransformState* state) {
  if (state->exceptionMap)
    for (const ExceptionMapEntry* row = state->exceptionMap; row->sqlstate[0]; ++row)
      if (row->plsqlNumber == number) return true;
  return number >= -20999 && number <= -20000;
}

char* sqlstateForNumber(int number, const TransformState* state) {
  if (state->exceptionMap)
    for (const ExceptionMapEntry* row = state->exceptionMap; row->sqlstate[0]; ++row)
      if (row->plsqlNumber == number) return poolStrdup(row->sqlstate);
  if (number >= -20999 && number <= -20000) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%d", -number);
    digits[0] = 'U';
    digits[1] = 'D';
    return poolStrdup(digits);
  }
  return poolStrdup("UD999");
}

void ensureDeclared(astNodeBlock* block, const char* name, const char* dataType, astNodeList* defaultValue,
                    int line) {
  if (!block) return;
  for (astListCell* c = listCells(block->declarations); c; c = c->next) {
    astNode* node = c->value;
    if (!isDeclaration(node)) continue;
    auto* decl = nodeAs<astNodeDecl>(node);
    if (decl->variableType != VAR_SCALAR || listLength(decl->variableName) != 1) continue;
    astNodeToken* token = firstToken(decl->variableName);
    if (token && equalsIgnoreCase(token->text, name)) return;
  }
  astNodeVarDecl* decl = newVarDecl(line, tokenList(name, -1), tokenList(dataType, -1), defaultValue);
  computeNameLength(decl);
  block->declarations = listAppend(block->declarations, decl);
  block->declarations->parent = block;
  decl->parent = block->declarations;
}

void transformNode(astNode* node, astNode* parent, TransformState* state) {
  if (!node) return;
  deep_walk_check();
  node->parent = parent;
  int traits = astKindTraits(node->kind);
  if (traits & KIND_UNTRANSLATED) {
    // Nothing of these reaches the target: the statements and top-level
    // units among them are reported (a DDL unit's own parts are not).
    if (!parent || parent->kind == AST_LIST) reportDropped(node, state);
    noteCollectionDeclaration(node, state);
    return;
  }
  if (traits & KIND_DECLARATION) {
    transformDeclaration(nodeAs<astNodeDecl>(node), state);
    return;
  }
  // The kinds with a step of their own; of the others only the children are
  // visited (nothing for kinds without any, such as null, signal, prepare and
  // the kinds never built).
  switch (node->kind) {
    case AST_ASSIGN: transformAssign(nodeAs<astNodeAssign>(node), state); break;
    case AST_BLOCK: transformBlock(nodeAs<astNodeBlock>(node), state); break;
    case AST_CALL: transformCall(nodeAs<astNodeCall>(node), state); break;
    case AST_CONTINUE: {
      auto* n = nodeAs<astNodeContinue>(node);
      transformExitTarget(n, &n->target, state);
      break;
    }
    case AST_EXIT: {
      auto* n = nodeAs<astNodeExit>(node);
      transformExitTarget(n, &n->target, state);
      break;
    }
    case AST_CREATE_FUNCTION: transformFunction(nodeAs<astNodeCreateFunc>(node), state); break;
    case AST_CREATE_PKG_BODY: transformPackageBody(nodeAs<astNodeCreatePkgBody>(node), state); break;
    case AST_CREATE_PKG_HEAD: transformPackageHead(nodeAs<astNodeCreatePkgHead>(node), state); break;
    case AST_CREATE_PROCEDURE: transformProcedure(nodeAs<astNodeCreateProc>(node), state); break;
    case AST_CREATE_TRIGGER: transformTrigger(nodeAs<astNodeCreateTrigger>(node), state); break;
    case AST_DYNAMIC: transformDynamic(nodeAs<astNodeDynamic>(node), state); break;
    case AST_FOR: transformFor(nodeAs<astNodeFor>(node), state); break;
    case AST_FORMAL_ARG: transformFormalArg(nodeAs<astNodeFormalArg>(node), state); break;
    case AST_FUNC_PROTO: transformFunctionPrototype(nodeAs<astNodeFuncProto>(node), state); break;
    case AST_GOTO: settleJump(nodeAs<astNodeGoto>(node), state); break;
    case AST_HANDLER: transformHandler(nodeAs<astNodeHandler>(node), state); break;
    case AST_LIST: transformElements(nodeAs<astNodeList>(node), state); break;
    case AST_OPEN: transformOpen(nodeAs<astNodeOpen>(node), state); break;
    case AST_PRAGMA: transformPragma(nodeAs<astNodePragma>(node), state); break;
    case AST_RAISE: transformRaise(nodeAs<astNodeRaise>(node), state); break;
    case AST_RAISE_APP: transformRaiseApp(nodeAs<astNodeRaiseApp>(node), state); break;
    case AST_RETURN: transformReturn(nodeAs<astNodeReturn>(node), state); break;
    case AST_SELECT: transformSelect(nodeAs<astNodeSelect>(node), state); break;
    case AST_SQL_STMT: transformSqlStatement(nodeAs<astNodeSqlStmt>(node), state); break;
    case AST_TOKEN: transformToken(nodeAs<astNodeToken>(node), state); break;
    default: transformChildren(node, state); break;
  }
}

void transformProgram(astNode* root, const TranslateOptions* options, ErrorList* errors) {
  TransformState state;
  state.root = root;
  state.errors = errors;
  state.exceptionMap = options ? options->exceptionMap : nullptr;
  state.datatypeMap = options && options->datatypeMap;
  noteRunDeclarations(root, &state);
  transformNode(root, nullptr, &state);
  settleRoutineEffects(&state);
  settleWrittenForms(&state);
}

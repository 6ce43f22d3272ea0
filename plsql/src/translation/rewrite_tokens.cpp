// The rewriting walk's step for tokens: names qualified by their routine or
// trigger, trigger variables, cursor attributes, SQLCODE, SQLERRM and
// SQLSTATE.
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
#include "expression_tree.h"
#include "kind_index.h"
#include "plsql_parser.hpp"
#include "rewrite_internal.h"
#include "token_spans.h"
#include "run_pool.h"


using namespace rewrite;

namespace rewrite {

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

const char* routineOfPackage(const char* name, const char* package) {
  auto after = [](const char* text, const char* prefix) -> const char* {
    for (; *prefix; ++text, ++prefix)
      if (foldAscii(*text) != *prefix) return nullptr;
    return text;
  };
  const char* rest = after(name, package);
  if (!rest) {
    const char* schema = after(name, "sys.");
    rest = schema ? after(schema, package) : nullptr;
  }
  return rest && *rest && !std::strchr(rest, '.') ? rest : nullptr;
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

// The text a qualified name takes in its place in the tree (step 5 of the
// token steps), `unit` being the outermost unit that holds the token;
// returns `text` itself when nothing changes.
char* requalify(astNodeToken* token, char* text, astNode* unit) {
  if (!text || !unit) return text;
  // The parts are compared ignoring case: their folded texts serve.
  std::string head = firstPart(text);
  const char* first = head.c_str();
  const char* rest = afterFirstPart(text);
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
      astNodeToken* renamed = rest ? referencedAlias(trigger, first) : nullptr;
      if (renamed) return concat(concat(renamed->text, "."), rest);
      return text;
    }
  }
  // The routine whose name qualifies the text: a standalone unit, or the
  // routine of a package that holds the token.
  astNode* routine = isRoutine(unit) ? unit : isPackage(unit) ? nearestOf(token, isRoutine) : nullptr;
  if (!routine || !rest) return text;
  RoutineParts owner;  // a trigger has its name only
  if (!routineParts(routine, &owner)) owner.name = nodeAs<astNodeCreateTrigger>(routine)->name;
  astNodeToken* unitName = firstToken(owner.name);
  if (!unitName || !equalsIgnoreCase(first, unitName->text)) return text;
  // The target resolves a parameter qualified by its routine's name; the
  // routine's local variables are reached through its body's label.
  std::string second = firstPart(rest);
  const char* member = second.c_str();
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

// Whether a value of the tree holds a number whose meaning changes or a
// name: its first value with its signs, or the first element of a list in
// parentheses that is not a number that keeps its meaning (0). Anything
// else tells nothing.
bool valueChangesMeaning(const expr::Tree& tree, int node) {
  const expr::Node& n = tree[node];
  switch (n.kind) {
    case expr::Kind::ITEMS: {
      int one = tree.only(node);
      return one >= 0 && tree[one].begin == n.begin && valueChangesMeaning(tree, one);
    }
    case expr::Kind::UNARY:
      return (n.op == expr::Op::NEGATE || n.op == expr::Op::PLUS) && valueChangesMeaning(tree, n.child);
    case expr::Kind::BINARY: return valueChangesMeaning(tree, n.child);  // its first value is read
    case expr::Kind::LITERAL:
    case expr::Kind::NAME: {
      astNodeToken* token = n.end - n.begin == 1 ? asToken(tree.firstToken(node)) : nullptr;
      return token && (isChangingNumber(token) || isNameToken(token));
    }
    case expr::Kind::GROUP:
      for (int element = n.child; element >= 0; element = tree[element].next) {
        if (valueChangesMeaning(tree, element)) return true;
        int one = tree.only(element);
        while (one >= 0 && tree[one].kind == expr::Kind::UNARY) one = tree[one].child;
        astNodeToken* number = one >= 0 && tree[one].kind == expr::Kind::LITERAL ? asToken(tree.firstToken(one)) : nullptr;
        if (!isNumberToken(number)) return false;
      }
      return false;
    default: return false;
  }
}

// Whether the operand from `c` on (a value with its sign, or a list of
// them in parentheses) holds a number whose meaning changes or a name.
bool numbersChangeMeaning(astListCell* c) {
  expr::Tokens tokens = spans::nodesOf(c);
  expr::Tree tree(tokens);
  int first = tree[tree.root()].child;
  return first >= 0 && valueChangesMeaning(tree, first);
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
  record->text = poolBumpStrdup(token->tokenCode == T_SQLCODE ? "SQLCODE" : token->text);
}

// Key of a variable named `name` in the routine (or other unit) around `at`.
std::string unitVariableKey(astNode* at, const char* name) {
  return std::to_string(reinterpret_cast<std::uintptr_t>(nearestOf(at, isEnclosingUnit))) + ":" + foldedText(name);
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
  token->text = poolBumpStrdup(value);
  ErrorRecord* record = reportFinding(FindingId::OUTSIDE_HANDLER, token, state->errors, name);
  record->text = poolBumpStrdup(name);
  return true;
}

// An attribute tested for NULL (c%NOTFOUND IS NULL), which the target's
// cursor predicates cannot be. %FOUND and %NOTFOUND of a cursor are NULL
// from its OPEN to its first FETCH, where the target's IS FOUND and IS NOT
// FOUND are both unknown; %ISOPEN is never NULL. SQL%FOUND and SQL%NOTFOUND
// are NULL until a statement sets them, as the variables that stand for
// them are. (%ROWCOUNT is a number: CURSOR_ROWCOUNT(c) IS NULL holds as
// written.) Returns whether the test was rewritten.
bool settleNullTest(astNodeToken* token, TransformState* state) {
  astNode* holder = token->parent;
  if (!holder || holder->kind != AST_LIST) return false;
  auto* list = nodeAs<astNodeList>(holder);
  astListCell* cell = state->currentCell && state->currentCell->value == token ? state->currentCell
                                                                               : listCellOf(list, token);
  astListCell* is = cell ? cell->next : nullptr;
  if (!is || !textIs(is->value, "IS")) return false;
  astListCell* null = is->next;
  bool negated = null && textIs(null->value, "NOT");
  if (negated) null = null->next;
  if (!null || !textIs(null->value, "NULL")) return false;
  if (token->tokenCode == T_SQL_FOUND || token->tokenCode == T_SQL_NOTFOUND) {
    token->text = poolStrdup(token->tokenCode == T_SQL_FOUND ? SYSZUL_FOUND : SYSZUL_NOTFOUND);
    return true;
  }
  std::string text;
  if (token->tokenCode == T_CURSOR_ISOPEN) {
    text = negated ? "true" : "false";
  } else {
    std::string name = requalify(token, token->text ? token->text : const_cast<char*>(""),
                                 outermostOf(token, isEnclosingUnit));
    text = "(CASE WHEN " + name + " IS FOUND OR " + name + " IS NOT FOUND THEN " +
           (negated ? "true ELSE false" : "false ELSE true") + " END)";
  }
  while (cell->next != null->next) listRemoveAfter(list, cell->next, cell);
  astNodeList* made = madeTokens(text.c_str(), token->line);
  nodeAs<astNodeToken>(listLast(made))->spacing = TOKEN_SPACING_SPACED;
  astListCell* end = spliceTokens(list, cell, made);
  // The walk of the list goes on after the made tokens.
  if (state->currentCell == cell) state->currentCell = end;
  return true;
}

void transformToken(astNodeToken* token, TransformState* state) {
  switch (token->tokenCode) {
    case T_SQL_FOUND:
    case T_SQL_NOTFOUND:
      settleNullTest(token, state);
      return;
    case T_TRIG_VAR: {
      reportMissingTriggerRow(token, state);
      astNode* unit = outermostOf(token, isEnclosingUnit);
      if (unit && unit->kind == AST_CREATE_TRIGGER && token->text && token->text[0])
        token->text = concat("SYSZULINTERNAL_", token->text + 1);
      return;
    }
    case T_CURSOR_FOUND:
    case T_CURSOR_NOTFOUND:
    case T_CURSOR_ISOPEN:
    case T_CURSOR_ROWCOUNT: {
      if (token->tokenCode != T_CURSOR_ROWCOUNT && settleNullTest(token, state)) return;
      // No cursor of the target stands for SQL: its cursor is never open
      // once the statement is done.
      if (token->tokenCode == T_CURSOR_ISOPEN && isSqlCursorName(token->text)) {
        token->text = poolBumpStrdup("false");
        return;
      }
      const char* name = requalify(token, token->text ? token->text : const_cast<char*>(""),
                                   outermostOf(token, isEnclosingUnit));
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
      char* text = static_cast<char*>(poolBump(size));
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
  if (mayCallRoundingRoutine(token, state)) roundCallArguments(token, state);
  if (!token->qualified) {
    addCallParentheses(token, state);
    return;
  }
  if (namesSqlColumn(token)) return;
  // The unit that holds the token, found once for both steps: only a
  // trigger's rows can be missing.
  astNode* unit = outermostOf(token, isEnclosingUnit);
  if (unit && unit->kind == AST_CREATE_TRIGGER) reportMissingTriggerRow(token, state);
  char* text = token->text;
  token->text = requalify(token, token->text, unit);
  if (token->text == text) addCallParentheses(token, state);
}

}  // namespace rewrite

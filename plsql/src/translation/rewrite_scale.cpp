// Values stored in a type of fixed scale, rounded as PL/SQL rounds them:
// what may have more scale than an integer or NUMBER(p, s) variable,
// parameter, field, default, returned value or INTO target keeps is
// rounded to that scale before it is stored there, where the target would
// truncate it. Whether a value may have more scale is told from its
// tokens: numbers with digits after the point, quotients and powers,
// names declared with a type of more scale, calls of functions that may
// return more, differences of DATEs (days with a fraction of a day).
#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "expression_tree.h"
#include "functions.h"
#include "plsql_parser.hpp"
#include "rewrite_internal.h"
#include "token_spans.h"
#include "run_pool.h"

using namespace rewrite;

namespace rewrite {

astNodeList* roundCall(const astNodeList* expr, const char* scale) {
  astNodeList* rounded = listAppend(listNew(makeToken("ROUND", -1)), makeToken("(", -1));
  rounded = appendElements(rounded, expr);
  rounded = listAppend(rounded, makeToken(",", -1));
  rounded = listAppend(rounded, makeToken(scale, -1));
  return listAppend(rounded, makeToken(")", -1));
}

}  // namespace rewrite

namespace {

// The expression reader's words that join or lead operands (AND, IN,
// EXISTS, CASE's words...): before "(", no call.
constexpr uint64_t wordBit(expr::Word word) { return uint64_t(1) << unsigned(word); }
constexpr uint64_t kOperandWords = wordBit(expr::Word::AND) | wordBit(expr::Word::OR) | wordBit(expr::Word::NOT) |
                                   wordBit(expr::Word::IS) | wordBit(expr::Word::IN) | wordBit(expr::Word::LIKE) |
                                   wordBit(expr::Word::BETWEEN) | wordBit(expr::Word::EXISTS) |
                                   wordBit(expr::Word::QUANTIFIER) | wordBit(expr::Word::CASE) |
                                   wordBit(expr::Word::WHEN) | wordBit(expr::Word::THEN) | wordBit(expr::Word::ELSE);
bool isOperatorWord(const astNodeToken* token) { return kOperandWords & wordBit(expr::wordOf(token)); }

// Whether a call of that name is of a built-in function (functions.def),
// which changes no data; a package's routine by its package.
bool isBuiltinFunction(const char* text) {
  if (afterLastDot(text)) return hasBuiltinPrefix(firstPart(text));
  return resultScaleOf(text) != ResultScale::UNTOLD;
}

// The digits a number has after its point, trailing zeros apart;
// kFreeScale for one with an exponent or a type suffix (2.5E3, 2.5D).
int literalScale(const char* text) {
  const char* point = nullptr;
  const char* end = text;
  for (; *end; ++end) {
    if (*end == '.')
      point = end;
    else if (*end < '0' || *end > '9')
      return kFreeScale;
  }
  if (!point) return 0;
  while (end > point + 1 && end[-1] == '0') --end;
  return static_cast<int>(end - point - 1);
}

// A number with a point and no exponent rounded to `scale` digits after
// the point, half away from zero as PL/SQL rounds (the sign stands apart).
std::string roundedLiteral(const char* text, int scale) {
  const char* point = std::strchr(text, '.');
  std::string digits = point ? std::string(text, size_t(point - text)) : std::string(text);
  std::string fraction = point ? point + 1 : "";
  size_t whole = digits.size();
  digits += fraction.substr(0, size_t(scale));
  if (whole == 0) {
    digits.insert(0, "0");
    whole = 1;
  }
  if (fraction.size() > size_t(scale) && fraction[size_t(scale)] >= '5') {
    size_t at = digits.size();
    while (at > 0 && digits[at - 1] == '9') digits[--at] = '0';
    if (at == 0) {
      digits.insert(0, "1");
      ++whole;
    } else {
      ++digits[at - 1];
    }
  }
  size_t lead = digits.find_first_not_of('0');
  std::string rounded = lead < whole ? digits.substr(lead, whole - lead) : "0";
  if (scale > 0) rounded += "." + digits.substr(whole);
  return rounded;
}

// Each element of a package unit, before the rewriting sorts them into
// its lists or after.
template <class Each>
void forEachElement(astNode* unit, Each each) {
  auto all = [&each](astNodeList* list) {
    for (astListCell* c = listCells(list); c; c = c->next)
      if (c->value) each(c->value);
  };
  if (unit->kind == AST_CREATE_PKG_HEAD) {
    auto* head = nodeAs<astNodeCreatePkgHead>(unit);
    if (head->elements) return all(head->elements);
    all(head->declarations);
    all(head->prototypes);
  } else {
    auto* body = nodeAs<astNodeCreatePkgBody>(unit);
    if (body->elements) return all(body->elements);
    all(body->declarations);
    all(body->forwardDeclarations);
    all(body->prototypes);
  }
}

const astNodeList* returnsOf(const astNode* routine) {
  if (routine->kind == AST_CREATE_FUNCTION) return nodeAs<const astNodeCreateFunc>(routine)->returns;
  if (routine->kind == AST_FUNC_PROTO) return nodeAs<const astNodeFuncProto>(routine)->returns;
  return nullptr;
}

void addNamed(FoldedIndex* names, std::vector<std::vector<TransformState::Named>>* table, std::string_view name,
              std::string_view package, const astNode* node) {
  size_t index = static_cast<size_t>(names->insert(name));
  if (index >= table->size()) table->resize(index + 1);
  (*table)[index].push_back({package, node});
}

// The variables and record types of the run's package heads, by name,
// gathered at the first question.
void gatherHeadDeclarations(TransformState* state) {
  if (state->headsGathered) return;
  state->headsGathered = true;
  astNode* root = state->root;
  for (astListCell* c = root && root->kind == AST_LIST ? listCells(nodeAs<astNodeList>(root)) : nullptr; c;
       c = c->next) {
    astNode* unit = c->value;
    astNodeToken* last = unit && unit->kind == AST_CREATE_PKG_HEAD ? asToken(listLast(astPackageName(unit))) : nullptr;
    if (!last || !last->text) continue;
    std::string_view package = lastPartOf(last->text);
    forEachElement(unit, [&](astNode* element) {
      // Variables of a type that a value is rounded into or from, and
      // record types.
      astNodeToken* declared = element->kind == AST_VAR_DECL || element->kind == AST_RECORD_DECL
                                   ? firstToken(nodeAs<astNodeDecl>(element)->variableName)
                                   : nullptr;
      if (declared && declared->text &&
          (element->kind == AST_RECORD_DECL || state->fixedScaleNames.holds(declared->text) ||
           state->fractionNames.holds(declared->text)))
        addNamed(&state->headNames, &state->headDeclarations, declared->text, package, element);
    });
  }
}

// The run's routines that a call of `text` (as written, "()" after a
// function without parameters apart) may mean at `at`: those of the
// package it names, else of the package around it, else the standalone ones.
std::vector<const astNode*> runRoutinesNamed(const char* text, astNode* at, TransformState* state) {
  std::vector<const astNode*> found;
  if (!text || state->runRoutineNames.empty()) return found;
  std::string_view name = lastPartOf(text);
  if (name.size() > 2 && name.ends_with("()")) name.remove_suffix(2);
  int index = state->runRoutineNames.find(name);
  if (index < 0) return found;
  const std::vector<TransformState::Named>& named = state->runRoutines[static_cast<size_t>(index)];
  std::string package;
  bool qualified = afterLastDot(text) != nullptr;
  if (qualified) {
    astNodeList* parts = splitQualifiedName(text);
    if (listLength(parts) != 2) return found;
    package = foldedText(firstToken(parts)->text);
  } else {
    package = packageOf(at);
  }
  for (const TransformState::Named& routine : named)
    if (!package.empty() && sameFolded(routine.package, package)) found.push_back(routine.node);
  if (found.empty() && !qualified)
    for (const TransformState::Named& routine : named)
      if (routine.package.empty()) found.push_back(routine.node);
  return found;
}

// The most scale that the run's functions of that name return, of those
// of a result of fixed scale; kUnknownScale when the run has none.
int returnedScale(const char* text, astNode* at, TransformState* state) {
  int most = kUnknownScale;
  for (const astNode* routine : runRoutinesNamed(text, at, state))
    if (const astNodeList* returns = returnsOf(routine)) most = std::max(most, scaleOfType(returns));
  return most;
}

// The declaration of that name (folded) in the head of the package around
// `at`, of that kind; null when there is none.
astNode* headDeclaration(astNode* at, const std::string& name, int kind, TransformState* state) {
  gatherHeadDeclarations(state);
  int index = state->headNames.find(name);
  if (index < 0) return nullptr;
  std::string package = packageOf(at);
  for (const TransformState::Named& declared : state->headDeclarations[static_cast<size_t>(index)])
    if (declared.node->kind == kind && !package.empty() && sameFolded(declared.package, package))
      return const_cast<astNode*>(declared.node);
  return nullptr;
}

// The datatype of a variable or parameter in scope at `from`, or of a
// variable of the head of its package; `found` tells whether there is one.
astNodeList* typeInScope(astNode* from, const std::string& name, TransformState* state, bool* found) {
  astNodeList* type = declaredType(from, name, found);
  if (*found) return type;
  astNode* variable = headDeclaration(from, name, AST_VAR_DECL, state);
  *found = variable != nullptr;
  return variable ? nodeAs<astNodeVarDecl>(variable)->dataType : nullptr;
}

// Whether name( ... ), which names no function of the run of a result of
// fixed scale, calls a function rather than reading an element of a
// collection or calling a method of a variable: a function of a package of
// the run, or a name declared nowhere in reach.
bool callsFunction(const astNodeToken* token, astNode* scope, TransformState* state) {
  if (state->collectionVariables.holds(token->text)) return false;
  bool found = false;
  if (!token->qualified) {
    typeInScope(scope, foldedText(token->text), state, &found);
    return !found;
  }
  std::string first = firstPart(token->text);
  if (state->runPackages.count(first)) {
    std::string name = lastPart(token->text);
    for (const auto* functions : {&state->functionsWithParameters, &state->parameterlessFunctions}) {
      auto named = functions->find(first);
      if (named != functions->end() && named->second.count(name)) return true;
    }
    return false;
  }
  if (state->collectionVariables.holds(first)) return false;
  typeInScope(scope, first, state, &found);
  return !found;
}

// Whether a name alone may call a function of the run without parameters.
bool isParameterlessCall(const char* text, const TransformState* state) {
  std::string_view key = lastPartOf(text);
  if (key.size() > 2 && key.ends_with("()")) key.remove_suffix(2);
  return state->parameterlessNames.holds(key);
}

// Whether a type is DATE, told by its first letter before its text.
bool isDateType(const astNodeList* type) {
  astListCell* first = listCells(type);
  const char* text = first && !first->next ? spans::textOf(first->value) : nullptr;
  return text && foldAscii(text[0]) == 'd' && equalsIgnoreCase(text, "DATE");
}

// Whether a node of an expression's tree is a DATE: SYSDATE, TO_DATE(...),
// TRUNC of a DATE, a variable or parameter declared DATE in scope, a DATE
// plus or less a number of days, a group around one.
bool isDateValue(const expr::Tree& tree, int node, astNode* scope, const TransformState* state) {
  const expr::Node& n = tree[node];
  switch (n.kind) {
    case expr::Kind::ITEMS: {
      int one = tree.only(node);
      return one >= 0 && isDateValue(tree, one, scope, state);
    }
    case expr::Kind::GROUP:
      return tree.childCount(node) == 1 && isDateValue(tree, n.child, scope, state);
    case expr::Kind::BINARY: {
      if (n.op != expr::Op::ADD && n.op != expr::Op::SUBTRACT) return false;
      int right = tree[n.child].next;
      if (valueTypeOf(tree, right, scope) == ValueType::NUMBER) return isDateValue(tree, n.child, scope, state);
      return n.op == expr::Op::ADD && valueTypeOf(tree, n.child, scope) == ValueType::NUMBER &&
             isDateValue(tree, right, scope, state);
    }
    case expr::Kind::CALL: {
      if (!n.closed || tree.length(n.child) != 1) return false;
      if (textIs(tree.firstToken(node), "TO_DATE")) return true;
      int argument = tree[n.child].next;
      return textIs(tree.firstToken(node), "TRUNC") && argument >= 0 && isDateValue(tree, argument, scope, state);
    }
    case expr::Kind::NAME: {
      astNodeToken* token = tree.length(node) == 1 ? asToken(tree.firstToken(node)) : nullptr;
      if (!token || token->tokenCode != T_WORD || token->qualified || !token->text) return false;
      if (equalsIgnoreCase(token->text, "SYSDATE")) return true;
      if (!state->dateNames.holds(token->text)) return false;
      bool found = false;
      const astNodeList* type = declaredType(scope, foldedText(token->text), &found);
      return found && isDateType(type);
    }
    default:
      return false;
  }
}

// Whether a token is a word that may be a DATE or make one: SYSDATE,
// TO_DATE, a name declared DATE. Most differences are told to be none of
// DATEs by this look at their words alone.
bool mayBeDateWord(const astNode* node, const TransformState* state) {
  const astNodeToken* token = node && node->kind == AST_TOKEN ? nodeAs<const astNodeToken>(node) : nullptr;
  if (!token || token->tokenCode != T_WORD || token->qualified || !token->text) return false;
  const char* text = token->text;
  char first = foldAscii(text[0]);
  return (first == 's' && equalsIgnoreCase(text, "SYSDATE")) || (first == 't' && equalsIgnoreCase(text, "TO_DATE")) ||
         (!state->dateNames.empty() && state->dateNames.holds(text));
}

// Whether the "-" at `at` of the tree's tokens takes a DATE from a DATE:
// a number of days, with the fraction of a day.
bool isDateDifference(const expr::Tree& tree, size_t at, astNode* scope, const TransformState* state) {
  for (int n = 0; n < tree.size(); ++n) {
    const expr::Node& node = tree[n];
    if (node.kind == expr::Kind::BINARY && node.at == at && node.op == expr::Op::SUBTRACT)
      return isDateValue(tree, node.child, scope, state) && isDateValue(tree, tree[node.child].next, scope, state);
  }
  return false;
}

// Where what a CASE compares (up to its first WHEN) or what a WHEN tests
// (up to its THEN) ends, for the CASE or WHEN at `at` of the tree's tokens;
// `end` when nothing before it does.
size_t caseWordAfter(const expr::Tree& tree, size_t at, size_t end) {
  for (int n = 0; n < tree.size(); ++n) {
    const expr::Node& node = tree[n];
    if (node.begin != at || (node.kind != expr::Kind::CASE && node.kind != expr::Kind::TOKEN)) continue;
    bool whole = node.kind == expr::Kind::CASE;
    expr::Word wanted = whole ? expr::Word::WHEN : expr::Word::THEN;
    for (int item = whole ? tree[node.child].child : node.next; item >= 0; item = tree[item].next)
      if (tree[item].kind == expr::Kind::TOKEN && expr::wordOf(tree.firstToken(item)) == wanted)
        return std::min<size_t>(tree[item].begin, end);
    return end;
  }
  return end;
}

bool isWordToken(const astNodeToken* token) {
  return token->tokenCode == T_WORD || (token->tokenCode == T_STRING && token->text[0] != '\'');
}

// Whether the tokens [begin, end) may give a value with more digits after
// the point than `scale`: a number written with more, a division or a
// power, a name declared with a type of more scale, a call of a function
// that may return more. A name whose type is not known here (a column, a
// field, a variable of another unit) adds nothing.
bool mayExceedScale(const std::vector<astNode*>& tokens, size_t begin, size_t end, int scale, astNode* scope,
                    TransformState* state) {
  expr::Tree tree;  // read at the first CASE or "-"
  int dates = -1;   // whether a word may be a DATE, asked at the first "-"
  for (size_t i = begin; i < end; ++i) {
    astNodeToken* token = asToken(tokens[i]);
    if (!token || !token->text || !token->text[0]) continue;
    const char* text = token->text;
    // What CASE compares and what its WHEN tests is not its value.
    if (token->tokenCode == T_CASE || token->tokenCode == T_WHEN) {
      if (!tree.size()) tree.read(tokens);
      size_t at = caseWordAfter(tree, i, end);
      i = at - (token->tokenCode == T_CASE ? 1 : 0);
      continue;
    }
    // A member of a collection or a record (.next(i), .field) is of a type
    // not known here.
    if (i > begin && spans::isText(tokens[i - 1], '.')) continue;
    // Numbers, those the rewriting wrote among them.
    if (std::isdigit(static_cast<unsigned char>(text[0])) || (text[0] == '.' && text[1])) {
      if (literalScale(text) > scale) return true;
      continue;
    }
    if ((text[0] == '/' && !text[1]) ||
        (text[0] == '*' && (text[1] == '*' || (!text[1] && i + 1 < end && spans::isText(tokens[i + 1], '*')))))
      return true;  // a quotient, a power
    if (text[0] == '-' && !text[1]) {
      if (dates < 0)
        dates = std::any_of(tokens.begin() + long(begin), tokens.begin() + long(end),
                            [state](const astNode* node) { return mayBeDateWord(node, state); });
      if (!dates) continue;
      if (!tree.size()) tree.read(tokens);
      if (isDateDifference(tree, i, scope, state)) return true;
      continue;
    }
    if (!isWordToken(token)) continue;
    if (i + 1 < end && spans::isOpen(tokens[i + 1])) {
      if (isOperatorWord(token)) continue;
      ResultScale result = resultScaleOf(text);
      if (result == ResultScale::ARGUMENTS) continue;  // its arguments tell
      size_t close = spans::closingIndex(tokens, i + 1);
      if (close == static_cast<size_t>(-1) || close >= end) return true;
      bool integer = result == ResultScale::INTEGER;
      if (result == ResultScale::ROUNDING) {
        // ROUND(x) and TRUNC(x) are integers, ROUND(x, n) has n digits.
        std::vector<std::pair<size_t, size_t>> arguments;
        size_t at = 0;
        spans::callArguments(tokens, i + 1, &arguments, &at);
        if (arguments.size() == 2 && arguments[1].second == arguments[1].first + 1) {
          const char* digits = spans::textOf(tokens[arguments[1].first]);
          integer = digits && literalScale(digits) == 0 && std::atoi(digits) <= scale;
        } else {
          integer = arguments.size() == 1;
        }
      } else if (!integer) {
        int returned = returnedScale(text, scope, state);
        // Other calls may return any scale; an element of a collection (one
        // followed by .m among them) or a method's value is of a type not
        // known here.
        bool member = close + 1 < end && spans::isText(tokens[close + 1], '.');
        integer = returned == kUnknownScale ? member || !callsFunction(token, scope, state) : returned <= scale;
      }
      if (!integer) return true;
      i = close;
      continue;
    }
    if (token->qualified) continue;
    // A name that is not a variable is a call only of a function without
    // parameters.
    std::string_view key = lastPartOf(text);
    if (key.size() > 2 && key.ends_with("()")) key.remove_suffix(2);
    bool fraction = state->fractionNames.holds(text);
    bool found = false;
    astNodeList* type = fraction ? typeInScope(scope, foldedText(text), state, &found) : nullptr;
    int held = kUnknownScale;
    if (found) {
      held = scaleOfType(type);
    } else if (state->parameterlessNames.holds(key)) {
      // A function of the run of a result of no fixed scale keeps any.
      held = returnedScale(text, scope, state);
      if (held == kUnknownScale) held = kFreeScale;
    }
    if (held != kUnknownScale && held > scale) return true;
  }
  return false;
}

// The tokens from `first` to `last` (cells of `list`), which go into a
// type of `scale`, rounded in place as PL/SQL rounds them: a number alone
// as it is written, anything else in ROUND(..., scale).
void roundInPlace(astNodeList* list, astListCell* first, astListCell* last, int scale) {
  astListCell* number = spans::isText(first->value, '-') || spans::isText(first->value, '+') ? first->next : first;
  astNodeToken* token = number == last ? asToken(last->value) : nullptr;
  if (token && token->tokenCode == T_NUMERICNO && literalScale(token->text) < kFreeScale) {
    token->text = poolStrdup(roundedLiteral(token->text, scale).c_str());
    return;
  }
  // ROUND( goes ahead of the first token: the first cell takes it, and the
  // first token moves to a cell of its own.
  astNode* moved = first->value;
  first->value = makeToken("ROUND", -1);
  astListCell* open = listInsertAfterCell(list, first, makeToken("(", -1));
  astListCell* start = listInsertAfterCell(list, open, moved);
  if (last == first) last = start;
  std::string digits = std::to_string(scale);
  astListCell* at = listInsertAfterCell(list, last, makeToken(",", -1));
  at = listInsertAfterCell(list, at, makeToken(digits.c_str(), -1));
  listInsertAfterCell(list, at, makeToken(")", -1));
  for (astListCell* c = first; c != at->next->next; c = c->next) c->value->parent = list;
}

// The record type of that name in scope at `from`.
astNodeRecordDecl* recordTypeNamed(astNode* from, const char* name) {
  int guard = 0;
  for (astNode* n = from; n && guard < 1000000; n = n->parent, ++guard) {
    astNodeList* declarations = nullptr;
    if (n->kind == AST_BLOCK)
      declarations = nodeAs<astNodeBlock>(n)->declarations;
    else if (n->kind == AST_CREATE_PKG_BODY)
      declarations = nodeAs<astNodeCreatePkgBody>(n)->declarations;
    for (astListCell* c = listCells(declarations); c; c = c->next) {
      if (!c->value || c->value->kind != AST_RECORD_DECL) continue;
      auto* record = nodeAs<astNodeRecordDecl>(c->value);
      astNodeToken* declared = firstToken(record->variableName);
      if (declared && equalsIgnoreCase(declared->text, name)) return record;
    }
  }
  return nullptr;
}

// The datatype of what a target names in scope at `from`: a variable or
// parameter, or a field of a record variable whose type is declared there.
const astNodeList* targetType(const astNodeList* target, astNode* from, TransformState* state) {
  astNodeToken* name = listLength(target) == 1 ? firstToken(target) : nullptr;
  if (!name || !name->text || !state->fixedScaleNames.holds(lastPartOf(name->text))) return nullptr;
  bool found = false;
  if (!name->qualified) return typeInScope(from, foldedText(name->text), state, &found);
  astNodeList* parts = splitQualifiedName(name->text);
  if (listLength(parts) != 2) return nullptr;
  astNodeList* type = typeInScope(from, foldedText(firstToken(parts)->text), state, &found);
  astNodeToken* typeName = listLength(type) == 1 ? firstToken(type) : nullptr;
  astNodeRecordDecl* record = typeName ? recordTypeNamed(from, typeName->text) : nullptr;
  if (typeName && !record)
    record = nodeAs<astNodeRecordDecl>(headDeclaration(from, foldedText(typeName->text), AST_RECORD_DECL, state));
  const char* field = asToken(listLast(parts))->text;
  for (astListCell* c = listCells(record ? record->dataType : nullptr); c; c = c->next) {
    if (!c->value || c->value->kind != AST_VAR_DECL) continue;
    auto* declaration = nodeAs<astNodeVarDecl>(c->value);
    if (equalsIgnoreCase(firstToken(declaration->variableName)->text, field)) return declaration->dataType;
  }
  return nullptr;
}

// The scale of a type that keeps a fixed one, else kUnknownScale.
int fixedScaleOf(const astNodeList* type) {
  int scale = type ? scaleOfType(type) : kUnknownScale;
  return scale < kFreeScale ? scale : kUnknownScale;
}

// Rounds the arguments from `first` to before `end` (cells of `list`) of a
// call of `text` at `at` that go to IN parameters of fixed scale of the
// run's routine it calls.
void roundArgumentsOf(const char* text, astNode* at, astNodeList* list, astListCell* first, astListCell* end,
                      TransformState* state) {
  // A variable of that name hides the routine.
  bool found = false;
  if (!afterLastDot(text)) typeInScope(at, foldedText(text), state, &found);
  if (found) return;
  std::vector<const astNode*> routines = runRoutinesNamed(text, at, state);
  // The arguments: their cells, and the parameter a named one goes to.
  struct Argument {
    astListCell* first;
    astListCell* last;
    const char* name;
  };
  std::vector<Argument> arguments;
  spans::eachCommaPart(first, end, [&arguments](astListCell* from, astListCell* to, size_t) {
    const char* name = nullptr;
    if (from && from != to && textIs(from->next->value, "=>") && !spans::isOpen(from->value) &&
        !spans::isClose(from->value)) {
      name = spans::textOf(from->value);
      from = from->next == to ? nullptr : from->next->next;
      if (!from) to = nullptr;
    }
    arguments.push_back({from, to, name});
    return true;
  });
  for (size_t index = 0; index < arguments.size(); ++index) {
    Argument& argument = arguments[index];
    if (!argument.first || !argument.last) continue;
    // The scale of the parameter in every routine the call may mean.
    int scale = kUnknownScale;
    bool seen = false, agreed = true;
    for (const astNode* routine : routines) {
      RoutineParts parts;
      routineParts(routine, &parts);
      if (listLength(parts.args) < static_cast<int>(arguments.size())) continue;
      const astNodeFormalArg* parameter = nullptr;
      int position = 0;
      for (astListCell* c = listCells(parts.args); c && !parameter; c = c->next, ++position) {
        if (!c->value || c->value->kind != AST_FORMAL_ARG) continue;
        auto* arg = nodeAs<const astNodeFormalArg>(c->value);
        astNodeToken* argName = firstToken(arg->name);
        if (argument.name ? argName && equalsIgnoreCase(argName->text, argument.name) : position == int(index))
          parameter = arg;
      }
      int own = parameter && parameter->mode == ARG_IN ? fixedScaleOf(parameter->dataType) : kUnknownScale;
      agreed = agreed && (!seen || own == scale);
      scale = own;
      seen = true;
    }
    if (!seen || !agreed || scale == kUnknownScale) continue;
    std::vector<astNode*> tokens = spans::nodesOf(argument.first, argument.last->next);
    if (mayExceedScale(tokens, 0, tokens.size(), scale, at, state))
      roundInPlace(list, argument.first, argument.last, scale);
  }
}

}  // namespace

namespace rewrite {

void noteScaledName(const astNodeList* name, const astNodeList* type, TransformState* state) {
  // The parameters of a routine's head alone name nothing that is stored.
  const astNode* arg = name ? name->parent : nullptr;
  const astNode* owner = arg && arg->kind == AST_FORMAL_ARG && arg->parent ? arg->parent->parent : nullptr;
  if (owner && (owner->kind == AST_FUNC_PROTO || owner->kind == AST_PROC_PROTO ||
                (owner->kind == AST_CREATE_FUNCTION && !nodeAs<const astNodeCreateFunc>(owner)->body) ||
                (owner->kind == AST_CREATE_PROCEDURE && !nodeAs<const astNodeCreateProc>(owner)->body)))
    return;
  astNodeToken* declared = firstToken(name);
  int scale = declared && declared->text ? scaleOfType(type) : kUnknownScale;
  if (scale == kUnknownScale) {
    if (declared && declared->text && isDateType(type)) state->dateNames.insert(declared->text);
    return;
  }
  if (scale < kFreeScale) state->fixedScaleNames.insert(declared->text);
  if (scale > 0) state->fractionNames.insert(declared->text);
}

// Values that need no look-up: a string (a literal first, or joined by
// ||), one integer, or ROUND(x, 0).
static bool keepsItsScale(const astNodeList* expr) {
  astListCell* first = listCells(expr);
  const char* text = first ? spans::textOf(first->value) : nullptr;
  if (!text || text[0] == '\'' ||
      (!first->next && std::isdigit(static_cast<unsigned char>(text[0])) && std::strchr(text, '.') == nullptr))
    return true;
  if (equalsIgnoreCase(text, "ROUND") && first->next && spans::closingCell(first->next) == expr->tail) {
    astListCell* scale = first;
    while (scale->next->next) scale = scale->next;
    if (textIs(scale->value, "0")) return true;
  }
  for (astListCell* c = first; c; c = c->next)
    if (const char* part = spans::textOf(c->value); part && part[0] == '|' && part[1] == '|') return true;
  return false;
}

// PL/SQL rounds a value it stores in a type of fixed scale; the target
// truncates it. A value that may have more scale than the type keeps is
// rounded to it before it is stored there.
// The value of `expr` (its tokens) rounded into `scale` where it may have
// more.
static astNodeList* roundedIntoScale(astNodeList* expr, const std::vector<astNode*>& tokens, int scale,
                                     TransformState* state) {
  // The target takes a function that changes data only as the whole value
  // of an assignment: a call that is the whole value stays so, unless it
  // calls a built-in function.
  astNodeToken* first = asToken(tokens[0]);
  size_t whole = first && first->tokenCode == T_WORD ? spans::operandEnd(tokens, 0) : 0;
  if (whole == tokens.size() && (whole > 1 ? spans::isOpen(tokens[1]) : isParameterlessCall(first->text, state)) &&
      !isBuiltinFunction(first->text))
    return expr;
  if (!mayExceedScale(tokens, 0, tokens.size(), scale, expr, state)) return expr;
  astNodeToken* last = asToken(tokens.back());
  if (tokens.size() <= 2 && last && last->tokenCode == T_NUMERICNO && literalScale(last->text) < kFreeScale &&
      (tokens.size() == 1 || spans::isText(tokens[0], '-') || spans::isText(tokens[0], '+'))) {
    last->text = poolStrdup(roundedLiteral(last->text, scale).c_str());
    return expr;
  }
  std::string digits = std::to_string(scale);
  astNodeList* rounded = roundCall(expr, digits.c_str());
  rounded->line = expr->line;
  rounded->parent = expr->parent;
  for (astListCell* c = listCells(rounded); c; c = c->next)
    if (c->value) c->value->parent = rounded;
  return rounded;
}

// Whether a value may have digits after the point, at a look that takes
// every call but of the built-in functions of an integer, and every name
// of a type that keeps them or of a function of the run.
static bool mayHaveFraction(const astNodeList* expr, const TransformState* state) {
  // A difference of DATEs is days with a fraction of a day.
  bool minus = false;
  for (astListCell* c = listCells(expr); c; c = c->next) {
    astNodeToken* token = asToken(c->value);
    const char* text = token ? token->text : nullptr;
    if (!text || !text[0] || text[0] == '\'') continue;
    if (std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '.') {
      if (std::strpbrk(text, ".eEdDfF")) return true;
      continue;
    }
    if ((text[0] == '/' || text[0] == '*') && !text[1]) {
      if (text[0] == '/' || (c->next && spans::isText(c->next->value, '*'))) return true;
      continue;
    }
    minus = minus || (text[0] == '-' && !text[1]);
    if (!isWordToken(token)) continue;
    if (c->next && spans::isOpen(c->next->value)) {
      if (isOperatorWord(token)) continue;
      ResultScale result = resultScaleOf(text);
      if (result != ResultScale::INTEGER && result != ResultScale::ARGUMENTS) return true;
      continue;
    }
    if (!token->qualified && (state->fractionNames.holds(text) || isParameterlessCall(text, state))) return true;
  }
  if (!minus) return false;
  for (astListCell* c = listCells(expr); c; c = c->next)
    if (mayBeDateWord(c->value, state)) return true;
  return false;
}

// The tokens of a value that may have digits after the point, found at a
// quick look; empty for the others.
static std::vector<astNode*> fractionTokens(astNodeList* expr, TransformState* state) {
  std::vector<astNode*> tokens;
  if (!expr || expr->kind != AST_LIST || keepsItsScale(expr) || !mayHaveFraction(expr, state)) return tokens;
  return spans::nodesOf(listCells(expr));
}

astNodeList* roundedIntoType(astNodeList* expr, const astNodeList* type, TransformState* state) {
  if (!expr || expr->kind != AST_LIST || keepsItsScale(expr)) return expr;
  int scale = fixedScaleOf(type);
  std::vector<astNode*> tokens = scale == kUnknownScale ? std::vector<astNode*>() : fractionTokens(expr, state);
  return tokens.empty() ? expr : roundedIntoScale(expr, tokens, scale, state);
}

void roundAssignedValue(astNodeAssign* node, TransformState* state) {
  // An OPEN's assignment holds its select node; a DBMS_SQL function is
  // called with the target.
  if (!node->expr || node->expr->kind != AST_LIST || node->targetIndex || node->targetField || node->callForm) return;
  // Most targets are told apart by their name.
  astNodeToken* target = listLength(node->target) == 1 ? firstToken(node->target) : nullptr;
  if (!target || !target->text || !state->fixedScaleNames.holds(lastPartOf(target->text))) return;
  auto* expr = nodeAs<astNodeList>(node->expr);
  std::vector<astNode*> tokens = fractionTokens(expr, state);
  int scale = tokens.empty() ? kUnknownScale : fixedScaleOf(targetType(node->target, node, state));
  if (scale != kUnknownScale) node->expr = roundedIntoScale(expr, tokens, scale, state);
}

void roundSelectedValues(astNodeSelect* node, TransformState* state) {
  if (!node->intoClause || node->bulkCollect || !listCells(node->target)) return;
  // The targets, one name each.
  std::vector<const astNodeList*> types;
  for (astListCell* c = listCells(node->intoClause); c; c = c->next) {
    if (spans::isComma(c->value)) continue;
    if (c->next && !spans::isComma(c->next->value)) return;
    astNodeList* one = listNew(c->value);
    types.push_back(targetType(one, node, state));
  }
  // The selected values, each without its alias.
  std::vector<astNode*> items = spans::nodesOf(listCells(node->target));
  size_t index = 0, begin = 0;
  spans::eachCommaPart(listCells(node->target), nullptr, [&](astListCell* cell, astListCell*, size_t count) {
    // An empty value ends the list as its last one does.
    if (index >= types.size() || !cell) return false;
    size_t end = begin + count;
    int scale = fixedScaleOf(types[index]);
    if (index == 0 &&
        (textIs(items[begin], "DISTINCT") || textIs(items[begin], "UNIQUE") || textIs(items[begin], "ALL")))
      ++begin, cell = cell->next;
    size_t valueEnd = end;
    if (end - begin >= 2 && asToken(items[end - 1]) && asToken(items[end - 1])->tokenCode == T_WORD &&
        !asToken(items[end - 1])->qualified &&
        (textIs(items[end - 2], "AS") || spans::isClose(items[end - 2]) || spans::isOperandToken(items[end - 2])))
      valueEnd = textIs(items[end - 2], "AS") ? end - 2 : end - 1;
    if (scale != kUnknownScale && valueEnd > begin && mayExceedScale(items, begin, valueEnd, scale, node, state)) {
      astListCell* valueLast = cell;
      for (size_t at = begin + 1; at < valueEnd; ++at) valueLast = valueLast->next;
      roundInPlace(node->target, cell, valueLast, scale);
    }
    ++index;
    begin = end + 1;
    return true;
  });
}

void roundCallArguments(astNodeToken* token, TransformState* state) {
  astListCell* cell = state->currentCell;
  if (!token->text || !state->roundingRoutines.holds(lastPartOf(token->text)) || !token->parent ||
      token->parent->kind != AST_LIST)
    return;
  astListCell* close = spans::closingCell(cell->next);
  if (close) roundArgumentsOf(token->text, token, nodeAs<astNodeList>(token->parent), cell->next->next, close, state);
}

void roundCallArguments(astNodeCall* node, TransformState* state) {
  astNodeToken* name = asToken(listLast(node->name));
  if (state->roundingRoutines.empty() || !name || !name->text || !listCells(node->args) ||
      !signatureHolds(state->roundingSignatures, lastPartOf(name->text)) ||
      !state->roundingRoutines.holds(lastPartOf(name->text)))
    return;
  roundArgumentsOf(name->text, node, node->args, listCells(node->args), nullptr, state);
}

// A function of the run of a result of fixed scale, and a routine of the
// run with an IN parameter of fixed scale, whose calls' arguments are
// rounded; a function of another result is taken as one outside the run.
void noteRoundingRoutine(const astNode* node, std::string_view package, TransformState* state) {
  RoutineParts routine;
  astNodeToken* last = routineParts(node, &routine) ? asToken(listLast(routine.name)) : nullptr;
  if (!last || !last->text) return;
  std::string_view name = lastPartOf(last->text);
  int returned = routine.function ? scaleOfType(returnsOf(node)) : kUnknownScale;
  bool noted = returned != kUnknownScale && returned < kFreeScale;
  for (astListCell* c = listCells(routine.args); c; c = c->next) {
    if (!c->value || c->value->kind != AST_FORMAL_ARG || nodeAs<astNodeFormalArg>(c->value)->mode != ARG_IN) continue;
    int scale = scaleOfType(nodeAs<astNodeFormalArg>(c->value)->dataType);
    if (scale != kUnknownScale && scale < kFreeScale) {
      state->roundingRoutines.insert(name);
      size_t bit = nameSignature(name);
      state->roundingSignatures[bit >> 6] |= uint64_t(1) << (bit & 63);
      noted = true;
      break;
    }
  }
  if (noted) addNamed(&state->runRoutineNames, &state->runRoutines, name, package, node);
}

}  // namespace rewrite

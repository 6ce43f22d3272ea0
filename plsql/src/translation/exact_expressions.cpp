// Expression tokens in the form the target reads them the way PL/SQL does:
// the built-in functions that functions.def translates, the exponent
// operator, and exact division that fails on a zero divisor. The last pass
// puts every token list that the emitter writes in this form, so
// expressions in assignments, conditions, defaults, loop bounds and SQL
// statements alike are covered.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <strings.h>
#include <utility>
#include <vector>

#include "ast.h"
#include "expression_tree.h"
#include "functions.h"
#include "plsql_parser.hpp"
#include "rewrite_internal.h"
#include "token_spans.h"
#include "translate_options.h"

namespace {

using Tokens = std::vector<astNode*>;
using Spans = std::vector<std::pair<size_t, size_t>>;

using rewrite::textIs;
using spans::isOperandToken;
using spans::textOf;

int codeOf(const astNode* node) {
  return node && node->kind == AST_TOKEN ? nodeAs<const astNodeToken>(node)->tokenCode : 0;
}

astNode* made(const char* text, int line) { return rewrite::makeToken(text, line); }

void append(Tokens& out, const Tokens& in) { out.insert(out.end(), in.begin(), in.end()); }

void words(Tokens& out, std::initializer_list<const char*> texts, int line) {
  for (const char* text : texts) out.push_back(made(text, line));
}

Tokens slice(const Tokens& in, size_t from, size_t to) {
  return Tokens(in.begin() + static_cast<std::ptrdiff_t>(from), in.begin() + static_cast<std::ptrdiff_t>(to));
}

// name(a, b, ...)
void pushCall(Tokens& out, const char* name, const std::vector<Tokens>& arguments, int line) {
  words(out, {name, "("}, line);
  for (size_t i = 0; i < arguments.size(); ++i) {
    if (i) out.push_back(made(",", line));
    append(out, arguments[i]);
  }
  out.push_back(made(")", line));
}

// The one expression that written tokens make, as the tree reads them;
// -1 when they make none or more.
int wholeExpression(const expr::Tree& tree) {
  int one = tree.only(tree.root());
  return one >= 0 && tree[one].end == tree.tokens().size() ? one : -1;
}

// Whether a node is an operand a form may take whole: a name, a number, a
// string, a call or a group, with its sign; with `written`, also a member
// and a power, which the forms write as calls.
bool isWholeOperand(const expr::Tree& tree, int node, bool written) {
  while (node >= 0 && tree[node].kind == expr::Kind::UNARY &&
         (tree[node].op == expr::Op::NEGATE || tree[node].op == expr::Op::PLUS))
    node = tree[node].child;
  if (node < 0) return false;
  const expr::Node& n = tree[node];
  switch (n.kind) {
    case expr::Kind::NAME:
    case expr::Kind::LITERAL:
      return isOperandToken(tree.firstToken(node));
    case expr::Kind::CALL:
      return n.closed && isOperandToken(tree.firstToken(node));
    case expr::Kind::GROUP:
      return n.closed;
    case expr::Kind::MEMBER:
      return written;
    case expr::Kind::BINARY:
      return written && n.op == expr::Op::POWER;
    default:
      return false;
  }
}

// Whether written tokens are one operand, as isWholeOperand tells it.
bool isOneOperand(const Tokens& tokens) {
  expr::Tree tree(tokens);
  return isWholeOperand(tree, wholeExpression(tree), false);
}

// The tokens as one operand: as they stand when they are one, else in
// parentheses.
void pushOperand(Tokens& out, const Tokens& tokens, int line) {
  bool whole = isOneOperand(tokens);
  if (!whole) out.push_back(made("(", line));
  append(out, tokens);
  if (!whole) out.push_back(made(")", line));
}

bool isNonZeroNumber(const Tokens& value) {
  size_t at = !value.empty() && (textIs(value[0], "-") || textIs(value[0], "+")) ? 1 : 0;
  if (value.size() != at + 1) return false;
  int code = codeOf(value[at]);
  return (code == T_DIGITS || code == T_NUMERICNO) && std::strtod(textOf(value[at]), nullptr) != 0;
}

// ---- values evaluated once ----

// Whether a value holds a call of an aggregate, or a call with a window
// (f(...) OVER (...)).
bool holdsAggregate(const expr::Tree& tree, int node) {
  const expr::Node& n = tree[node];
  if (n.kind == expr::Kind::CALL) {
    const char* name = tree.length(n.child) == 1 ? textOf(tree.firstToken(n.child)) : nullptr;
    const BuiltinFunction* row = name ? builtinNamed(name) : nullptr;
    if (row && row->kind == FunctionKind::AGGREGATE) return true;
    if (textIs(tree.token(n.end), "OVER")) return true;
  }
  for (int c = n.child; c >= 0; c = tree[c].next)
    if (holdsAggregate(tree, c)) return true;
  return false;
}

// A value that a form writes: its tokens in their own form, and whether
// the form may write it twice: it calls no routine with effects, and its
// form is no longer than kLongestWrittenTwice tokens, so that forms nested
// in each other stay of the size the source is.
struct Value {
  Tokens tokens;
  size_t length = 0;   // its form's tokens
  bool group = false;  // one group in parentheses, not a query's
  // Its node.
  const expr::Tree* tree = nullptr;
  int node = -1;
  const TransformState* state = nullptr;
  bool longer() const { return length > kLongestWrittenTwice; }
  bool twice() const {
    return !longer() && !holdsImpureCall(tree->tokens(), (*tree)[node].begin, (*tree)[node].end, state);
  }
  // Whether a query over one row may read it: not when it holds an
  // aggregate, which the query around it computes over its group.
  bool bindable() const { return !holdsAggregate(*tree, node); }
  // Read once from a query over one row, as it may not be written twice.
  bool once() const { return !twice() && bindable(); }
  // A group's own parentheses are those of the call it goes in.
  Tokens inner() const { return group ? slice(tokens, 1, tokens.size() - 1) : tokens; }
};

// An argument that holds a call of a routine with effects (a function of
// the run, a sequence, a random value) cannot be written twice; a scalar
// query over one row binds its values to columns, which `body` names:
//   (SELECT body FROM (VALUES (v1, v2)) AS SYSZULINTERNAL_ONCE(c1, c2))
void pushBound(Tokens& out, const std::vector<std::pair<Tokens, const char*>>& values, const Tokens& body, int line) {
  words(out, {"(", "SELECT"}, line);
  append(out, body);
  words(out, {"FROM", "(", "VALUES", "("}, line);
  for (size_t i = 0; i < values.size(); ++i) {
    if (i) out.push_back(made(",", line));
    append(out, values[i].first);
  }
  words(out, {")", ")", "AS", "SYSZULINTERNAL_ONCE", "("}, line);
  for (size_t i = 0; i < values.size(); ++i) {
    if (i) out.push_back(made(",", line));
    out.push_back(made(values[i].second, line));
  }
  words(out, {")", ")"}, line);
}

// ---- division ----

// PL/SQL raises ZERO_DIVIDE on a zero divisor, where a DECFLOAT quotient in
// the target is only a warning (Infinity or NaN). Unless it is a non-zero
// number, the divisor d is written
//   CASE d WHEN 0 THEN RAISE_ERROR('22012', 'division by zero') ELSE value END
// with `value` the divisor as it is divided by (d, or DECFLOAT(d)), and the
// SQLSTATE the one that the exception map gives ZERO_DIVIDE, so that its
// handlers take the error. A divisor that holds a call is evaluated once,
// and a long one written once: the CASE reads it from a query over one row.
void pushDivisor(Tokens& out, const Value& written, bool decfloat, int line) {
  const Tokens& divisor = written.tokens;
  static const std::string sqlstate = std::string("'") + mappedSqlstate(exceptionMap, "ZERO_DIVIDE") + "'";
  auto value = [&](Tokens& to, const Tokens& d) {
    if (decfloat) words(to, {"DECFLOAT", "("}, line);
    append(to, d);
    if (decfloat) to.push_back(made(")", line));
  };
  if (isNonZeroNumber(divisor)) return value(out, divisor);
  auto guard = [&](Tokens& to, const Tokens& d) {
    to.push_back(made("CASE", line));
    append(to, d);
    words(to, {"WHEN", "0", "THEN", "RAISE_ERROR", "(", sqlstate.c_str(), ",", "'division by zero'", ")", "ELSE"},
          line);
    value(to, d);
    to.push_back(made("END", line));
  };
  if (!written.once()) return guard(out, divisor);
  Tokens body;
  guard(body, Tokens{made("SYSZULINTERNAL_DIVISOR", line)});
  pushBound(out, {{divisor, "SYSZULINTERNAL_DIVISOR"}}, body, line);
}

// ---- built-in functions ----

// A call of a TRANSLATED row as the tree holds it: its node, and the nodes
// and written forms of its arguments.
struct CallParts {
  const expr::Tree& tree;
  int node;
  astNode* scope;               // where the declarations of its names are looked up
  std::vector<int> arguments;   // ITEMS nodes
  std::vector<Value> values;    // their forms
  std::vector<Tokens> written;  // the same forms' tokens
};

// Whether a value can be NULL: not a literal of some characters, a number,
// CHR of a number, NVL or COALESCE ending in such a value, or a joining of
// strings one of which is such.
bool mayBeNull(const expr::Tree& tree, int node) {
  const expr::Node& n = tree[node];
  if (n.kind == expr::Kind::ITEMS) {
    int one = tree.only(node);
    if (one < 0) return true;
    return mayBeNull(tree, one);
  }
  if (n.kind == expr::Kind::LITERAL) {
    int code = codeOf(tree.firstToken(node));
    const char* text = textOf(tree.firstToken(node));
    return !(code == T_DIGITS || code == T_NUMERICNO || (code == T_STRING && text && std::strcmp(text, "''") != 0));
  }
  if (n.kind == expr::Kind::NAME && tree.length(node) == 1 && codeOf(tree.firstToken(node)) == T_STRING)
    return false;  // a value the rewriting wrote as one token
  std::vector<ListCharacter> characters;
  if (literalCharacters(tree, node, &characters)) return false;
  if (n.kind == expr::Kind::CALL && n.closed && tree.childCount(node) >= 2 &&
      (textIs(tree.firstToken(node), "NVL") || textIs(tree.firstToken(node), "COALESCE")) &&
      tree.length(tree.child(node, 0)) == 1)
    return mayBeNull(tree, tree.child(node, tree.childCount(node) - 1));
  // a || b || c, one piece of which is never NULL
  if (n.kind == expr::Kind::BINARY && n.op == expr::Op::CONCAT && codeOf(tree.token(n.at)) == T_CONCAT)
    return mayBeNull(tree, tree.child(node, 0)) && mayBeNull(tree, tree.child(node, 1));
  return true;
}

// TRANSLATE(s, from, to): PL/SQL replaces each character of `from` by the
// one at the same place in `to` and removes those that have none; a
// character that `from` repeats counts where it comes first. The target
// reads TRANSLATE(s, to, from) and pads instead of removing. The removed
// characters are taken out first (none of them has a counterpart, so none
// is made by the translation), then the others translated; a character
// that stays itself is left out of the lists.
bool pushTranslate(Tokens& out, const CallParts& call, int line) {
  const std::vector<Tokens>& arguments = call.written;
  // A NULL or empty list makes the value NULL in both: the call in the
  // target's order says as much.
  if (call.arguments.size() == 3 &&
      (isNullArgument(call.tree, call.arguments[1]) || isNullArgument(call.tree, call.arguments[2]))) {
    pushCall(out, "TRANSLATE", {arguments[0], arguments[2], arguments[1]}, line);
    return true;
  }
  std::vector<ListCharacter> from, to;
  if (call.arguments.size() != 3 || !literalCharacters(call.tree, call.arguments[1], &from) ||
      !literalCharacters(call.tree, call.arguments[2], &to))
    return false;
  std::vector<ListCharacter> removed, mappedFrom, mappedTo;
  for (size_t i = 0; i < from.size(); ++i) {
    bool earlier = false;
    for (size_t j = 0; j < i && !earlier; ++j) earlier = sameCharacter(from[j], from[i]);
    if (earlier) continue;
    if (i >= to.size()) {
      removed.push_back(from[i]);
    } else if (!sameCharacter(from[i], to[i])) {
      mappedFrom.push_back(from[i]);
      mappedTo.push_back(to[i]);
    }
  }
  // Characters as literals and CHR calls joined by ||.
  auto characters = [&](Tokens& to, const std::vector<ListCharacter>& list) {
    std::string run;
    bool any = false;
    auto piece = [&]() {
      if (any) to.push_back(made("||", line));
      any = true;
    };
    auto flush = [&]() {
      if (run.empty()) return;
      piece();
      to.push_back(made(("'" + run + "'").c_str(), line));
      run.clear();
    };
    for (const ListCharacter& c : list) {
      if (!c.code) {
        run += c.text == "'" ? "''" : c.text;
        continue;
      }
      flush();
      piece();
      words(to, {"CHR", "(", c.text.c_str(), ")"}, line);
    }
    flush();
  };
  Tokens value = arguments[0];
  for (const ListCharacter& c : removed) {
    Tokens next;
    words(next, {"REPLACE", "("}, line);
    append(next, value);
    next.push_back(made(",", line));
    characters(next, {c});
    next.push_back(made(")", line));
    value = next;
  }
  if (!mappedFrom.empty()) {
    Tokens next;
    words(next, {"TRANSLATE", "("}, line);
    append(next, value);
    next.push_back(made(",", line));
    characters(next, mappedTo);
    next.push_back(made(",", line));
    characters(next, mappedFrom);
    next.push_back(made(")", line));
    value = next;
  }
  if (value == arguments[0])
    pushOperand(out, value, line);
  else
    append(out, value);
  return true;
}

// REPLACE(s, a, r): the target's result is NULL when an argument is, where
// PL/SQL returns s for a NULL search string a and removes a for a NULL
// replacement r. A NULL or empty literal is settled here; an argument that
// may be NULL at run time is tested first:
//   CASE WHEN a IS NULL THEN s WHEN r IS NULL THEN REPLACE(s, a) ELSE REPLACE(s, a, r) END
// and read once from a query over one row when it holds a call.
bool pushReplace(Tokens& out, const CallParts& call, int line) {
  const std::vector<Tokens>& arguments = call.written;
  if (call.arguments.size() != 3) return false;
  Tokens source = arguments[0], search = arguments[1], replacement = arguments[2];
  if (isNullLiteral(search, 0, search.size())) {
    pushOperand(out, source, line);
    return true;
  }
  bool removed = isNullLiteral(replacement, 0, replacement.size());
  bool searchNull = mayBeNull(call.tree, call.arguments[1]);
  bool replacementNull = !removed && mayBeNull(call.tree, call.arguments[2]);
  auto replace = [&](Tokens& to, bool withReplacement) {
    if (withReplacement)
      pushCall(to, "REPLACE", {source, search, replacement}, line);
    else
      pushCall(to, "REPLACE", {source, search}, line);
  };
  if (!searchNull && !replacementNull) {
    if (!removed) return false;
    replace(out, false);
    return true;
  }
  // The arguments tested are read once when one of them holds a call, and
  // so is a long source, which each branch writes (nested REPLACE calls
  // would write it many times over).
  std::vector<std::pair<Tokens, const char*>> bound;
  bool longSource = call.values[0].longer() && call.values[0].bindable();
  if (longSource || (searchNull && call.values[1].once()) || (replacementNull && call.values[2].once())) {
    if (longSource) {
      bound.push_back({source, "SYSZULINTERNAL_SOURCE"});
      source = {made("SYSZULINTERNAL_SOURCE", line)};
    }
    if (searchNull) {
      bound.push_back({search, "SYSZULINTERNAL_SEARCH"});
      search = {made("SYSZULINTERNAL_SEARCH", line)};
    }
    if (replacementNull) {
      bound.push_back({replacement, "SYSZULINTERNAL_REPLACEMENT"});
      replacement = {made("SYSZULINTERNAL_REPLACEMENT", line)};
    }
  }
  Tokens body{made("CASE", line)};
  if (searchNull) {
    body.push_back(made("WHEN", line));
    append(body, search);
    words(body, {"IS", "NULL", "THEN"}, line);
    append(body, source);
  }
  if (replacementNull) {
    body.push_back(made("WHEN", line));
    append(body, replacement);
    words(body, {"IS", "NULL", "THEN"}, line);
    replace(body, false);
  }
  body.push_back(made("ELSE", line));
  replace(body, !removed);
  body.push_back(made("END", line));
  if (bound.empty())
    append(out, body);
  else
    pushBound(out, bound, body, line);
  return true;
}

// MOD(m, n) is m for n = 0 in PL/SQL; the target fails.
//   CASE n WHEN 0 THEN m ELSE MOD(m, n) END
bool pushMod(Tokens& out, const CallParts& call, int line) {
  const std::vector<Tokens>& arguments = call.written;
  if (arguments.size() != 2 || isNonZeroNumber(arguments[1])) return false;
  bool once = call.values[1].once();
  bool longDividend = call.values[0].longer() && call.values[0].bindable();
  Tokens divisor = once ? Tokens{made("SYSZULINTERNAL_DIVISOR", line)} : arguments[1];
  Tokens dividend = longDividend ? Tokens{made("SYSZULINTERNAL_DIVIDEND", line)} : arguments[0];
  Tokens body{made("CASE", line)};
  append(body, divisor);
  words(body, {"WHEN", "0", "THEN"}, line);
  append(body, dividend);
  body.push_back(made("ELSE", line));
  pushCall(body, "MOD", {dividend, divisor}, line);
  body.push_back(made("END", line));
  std::vector<std::pair<Tokens, const char*>> bound;
  if (longDividend) bound.push_back({arguments[0], "SYSZULINTERNAL_DIVIDEND"});
  if (once) bound.push_back({arguments[1], "SYSZULINTERNAL_DIVISOR"});
  if (bound.empty())
    append(out, body);
  else
    pushBound(out, bound, body, line);
  return true;
}

// POWER(a, b) and a ** b: the target's power of two integers is an
// integer. A DECFLOAT base makes it exact for an integral exponent; the
// DECFLOAT power of an exponent with a fraction is NaN, where DOUBLE gives
// the value:
//   POWER(DECFLOAT(a), 2), POWER(DOUBLE(a), 0.5),
//   CASE WHEN b = TRUNC(b) THEN POWER(DECFLOAT(a), b) ELSE POWER(DOUBLE(a), b) END
void pushPower(Tokens& out, const Value& base, const Value& power, int line) {
  const Tokens& exponent = power.tokens;
  Tokens value = base.inner();
  auto raise = [&](Tokens& to, const char* type, const Tokens& e) {
    Tokens typed;
    pushCall(typed, type, {value}, line);
    pushCall(to, "POWER", {typed, e}, line);
  };
  size_t at = !exponent.empty() && (textIs(exponent[0], "-") || textIs(exponent[0], "+")) ? 1 : 0;
  if (exponent.size() == at + 1 && codeOf(exponent[at]) == T_DIGITS) return raise(out, "DECFLOAT", exponent);
  if (exponent.size() == at + 1 && codeOf(exponent[at]) == T_NUMERICNO) return raise(out, "DOUBLE", exponent);
  bool once = power.once();
  bool longBase = base.length - (base.group ? 2 : 0) > kLongestWrittenTwice && base.bindable();
  if (longBase) value = {made("SYSZULINTERNAL_BASE", line)};
  Tokens e = once ? Tokens{made("SYSZULINTERNAL_EXPONENT", line)} : power.inner();
  Tokens body;
  words(body, {"CASE", "WHEN"}, line);
  append(body, e);
  body.push_back(made("=", line));
  pushCall(body, "TRUNC", {e}, line);
  body.push_back(made("THEN", line));
  raise(body, "DECFLOAT", e);
  body.push_back(made("ELSE", line));
  raise(body, "DOUBLE", e);
  body.push_back(made("END", line));
  std::vector<std::pair<Tokens, const char*>> bound;
  if (longBase) bound.push_back({base.inner(), "SYSZULINTERNAL_BASE"});
  if (once) bound.push_back({exponent, "SYSZULINTERNAL_EXPONENT"});
  if (bound.empty())
    append(out, body);
  else
    pushBound(out, bound, body, line);
}

// The arguments with each later numeric literal of a call whose first
// result is a string written as the string PL/SQL converts it to; whether
// any was.
bool stringResultsWritten(const BuiltinFunction& row, const CallParts& call, std::vector<Tokens>& arguments, int line) {
  std::vector<std::string> texts = stringResults(call.tree, call.node, row, call.scope);
  bool changed = false;
  for (size_t k = 0; k < texts.size() && k < arguments.size(); ++k)
    if (!texts[k].empty() && texts[k] != kNumberValue) {
      arguments[k] = {made(texts[k].c_str(), line)};
      changed = true;
    }
  return changed;
}

// NVL(s, 0) and NVL2(e, s, 0) of a string s: NVL(s, '0').
bool pushFirstResultType(Tokens& out, const BuiltinFunction& row, const CallParts& call, int line) {
  std::vector<Tokens> arguments = call.written;
  if (!stringResultsWritten(row, call, arguments, line)) return false;
  pushCall(out, row.name, arguments, line);
  return true;
}

// DECODE: the target wants each NULL argument of a type. A NULL search
// value is NULLIF(e, e), of the expression's type; a NULL result is
// NULLIF(r, r) of another result; a NULL default is left out. The later
// numeric literals after a string result are strings, as for NVL.
bool pushDecode(Tokens& out, const BuiltinFunction& row, const CallParts& call, int line, const TransformState* state) {
  std::vector<Tokens> arguments = call.written;
  if (call.arguments.empty()) return false;
  bool changed = stringResultsWritten(row, call, arguments, line);
  std::vector<int> types = decodeNullTypes(call.tree, call.node, state);
  bool untyped = false;
  for (int type : types) untyped = untyped || type == kUntyped;
  // A NULL of no type is recorded, and the NULLs stay as written.
  if (untyped) types.assign(types.size(), kNotNull);
  for (int type : types) changed = changed || type != kNotNull;
  if (!changed) return false;
  std::vector<Tokens> written;
  for (size_t k = 0; k < arguments.size(); ++k) {
    if (types[k] == kLeftOut) continue;
    if (types[k] == kNotNull) {
      written.push_back(arguments[k]);
      continue;
    }
    Tokens typed;
    const Tokens& other = arguments[static_cast<size_t>(types[k])];
    pushCall(typed, "NULLIF", {other, other}, line);
    written.push_back(typed);
  }
  pushCall(out, "DECODE", written, line);
  return true;
}

// REGEXP_REPLACE(s, p, '') removes the matches in PL/SQL, as the target's
// REGEXP_REPLACE(s, p) does; NULL or empty flags are PL/SQL's default
// match, the target's 'c'; REGEXP_LIKE's flags come after a start. A
// replacement that other arguments follow is recorded (functions.cpp).
bool pushRegexp(Tokens& out, const BuiltinFunction& row, const CallParts& call, int line) {
  std::vector<Tokens> arguments = call.written;
  if (!positionalArguments(call.tree, call.node)) return false;
  bool changed = false;
  size_t flags = static_cast<size_t>(regexpFlagsIndex(row));
  if (flags < call.arguments.size() && isNullArgument(call.tree, call.arguments[flags])) {
    arguments[flags] = {made("'c'", line)};
    changed = true;
  }
  if (std::strcmp(row.name, "REGEXP_REPLACE") == 0 && call.arguments.size() == 3 &&
      isNullArgument(call.tree, call.arguments[2])) {
    arguments.pop_back();
    changed = true;
  }
  // The target reads a third argument of REGEXP_LIKE as the start of the
  // search: PL/SQL's flags follow the start 1, where the search begins.
  if (std::strcmp(row.name, "REGEXP_LIKE") == 0 && arguments.size() == 3) {
    arguments.insert(arguments.begin() + 2, Tokens{made("1", line)});
    changed = true;
  }
  if (!changed) return false;
  pushCall(out, row.name, arguments, line);
  return true;
}

// SUBSTR4 and INSTR4 take INTEGER positions and lengths: a number written
// beyond them reaches past any string, as the bound itself does.
Tokens withinInteger(const Tokens& argument, int line) {
  size_t at = !argument.empty() && (textIs(argument[0], "-") || textIs(argument[0], "+")) ? 1 : 0;
  if (argument.size() != at + 1 || (codeOf(argument[at]) != T_DIGITS && codeOf(argument[at]) != T_NUMERICNO))
    return argument;
  const char* text = textOf(argument[at]);
  if (std::fabs(std::strtod(text, nullptr)) <= 2147483647.0) return argument;
  Tokens bound(argument.begin(), argument.begin() + static_cast<std::ptrdiff_t>(at));
  bound.push_back(made("2147483647", line));
  return bound;
}

// The translated form of a call of a TRANSLATED row, its arguments in their
// own forms; false when the call stays as written.
bool pushFunctionForm(Tokens& out, const BuiltinFunction& row, const CallParts& call, const TransformState* state) {
  const std::vector<Tokens>& arguments = call.written;
  int line = call.tree.firstToken(call.node)->line;
  switch (row.rule) {
    case FunctionRule::CHARACTERS: {
      std::vector<Tokens> bounded(arguments);
      for (size_t k = 1; k < bounded.size(); ++k) bounded[k] = withinInteger(bounded[k], line);
      pushCall(out, (std::string(row.name) + "4").c_str(), bounded, line);
      return true;
    }
    case FunctionRule::TRANSLATE_CHARACTERS:
      return pushTranslate(out, call, line);
    case FunctionRule::REPLACE_NULLS:
      return pushReplace(out, call, line);
    case FunctionRule::ATAN2_ORDER:
      if (arguments.size() != 2) return false;
      pushCall(out, "ATAN2", {arguments[1], arguments[0]}, line);
      return true;
    case FunctionRule::LOG_BASE:
      if (arguments.size() != 2) return false;
      if (arguments[0].size() == 1 && textIs(arguments[0][0], "10")) {
        pushCall(out, "LOG10", {arguments[1]}, line);
        return true;
      }
      // Both logarithms are DOUBLE: the quotient is not the integer one.
      out.push_back(made("(", line));
      pushCall(out, "LN", {arguments[1]}, line);
      out.push_back(made("/", line));
      pushCall(out, "LN", {arguments[0]}, line);
      out.push_back(made(")", line));
      return true;
    case FunctionRule::MOD_ZERO:
      return pushMod(out, call, line);
    case FunctionRule::POWER_EXACT:
      if (arguments.size() != 2) return false;
      pushPower(out, call.values[0], call.values[1], line);
      return true;
    case FunctionRule::DECODE_NULLS:
      return pushDecode(out, row, call, line, state);
    case FunctionRule::FIRST_RESULT_TYPE:
      return pushFirstResultType(out, row, call, line);
    case FunctionRule::REGEXP_NULLS:
      return pushRegexp(out, row, call, line);
    default:
      return false;
  }
}

// ---- the tree in its exact form ----

// Writes the tree of a token list with the forms above in place: a call of
// a TRANSLATED row, a ** b, a / b. Each node is written from the forms of
// its operands, so the forms nest as the nodes do.
class ExactWriter {
 public:
  ExactWriter(const expr::Tree& tree, const TransformState* state, bool tableFirst, astNode* scope)
      : tree_(tree), state_(state), tableFirst_(tableFirst), scope_(scope) {}

  void write(int node, Tokens& out) {
    const expr::Node& n = tree_[node];
    switch (n.kind) {
      case expr::Kind::ITEMS:
        for (int c = n.child; c >= 0; c = tree_[c].next) write(c, out);
        return;
      case expr::Kind::CALL:
        return call(node, out);
      case expr::Kind::GROUP:
        return elements(node, n.child, out);
      case expr::Kind::QUERY:
        return write(n.child, out);
      case expr::Kind::CASE:
        out.push_back(tree_.token(n.begin));
        write(n.child, out);
        if (n.closed) out.push_back(tree_.token(n.end - 1));
        return;
      case expr::Kind::UNARY:
        if (n.op == expr::Op::IS_NULL) {
          write(n.child, out);
          copy(tree_[n.child].end, n.end, out);
        } else {
          copy(n.begin, tree_[n.child].begin, out);
          write(n.child, out);
        }
        return;
      case expr::Kind::MEMBER:
        write(n.child, out);
        copy(tree_[n.child].end, tree_[tree_[n.child].next].begin, out);
        write(tree_[n.child].next, out);
        return;
      case expr::Kind::BINARY:
        if (n.op == expr::Op::POWER && codeOf(tree_.token(n.at)) == '*' && codeOf(tree_.token(n.at + 1)) == '*')
          return power(node, out);
        if (n.op == expr::Op::DIVIDE && codeOf(tree_.token(n.at)) == '/') return division(node, out);
        for (int c = n.child; c >= 0; c = tree_[c].next) {
          if (c != n.child) copy(tree_[prior(node, c)].end, tree_[c].begin, out);
          write(c, out);
        }
        return;
      default:
        tree_.append(node, out);
        return;
    }
  }

 private:
  void copy(uint32_t from, uint32_t to, Tokens& out) {
    for (uint32_t i = from; i < to; ++i) out.push_back(tree_.token(i));
  }

  // The child before c.
  int prior(int node, int c) {
    int before = tree_[node].child;
    while (tree_[before].next != c) before = tree_[before].next;
    return before;
  }

  // "(" elements ")" from `first` on, each element with the comma after it.
  void elements(int node, int first, Tokens& out) {
    const expr::Node& n = tree_[node];
    out.push_back(tree_.token(n.at));
    for (int c = first; c >= 0; c = tree_[c].next) {
      write(c, out);
      if (tree_[c].next >= 0) out.push_back(tree_.token(tree_[c].end));  // its comma
    }
    if (n.closed) out.push_back(tree_.token(n.end - 1));
  }

  void call(int node, Tokens& out) {
    const expr::Node& n = tree_[node];
    int callee = n.child;
    const BuiltinFunction* row = nullptr;
    if (n.closed && tree_.length(callee) == 1 && !(tableFirst_ && n.begin == 0)) {
      const char* text = textOf(tree_.firstToken(callee));
      if (mayHaveFunctionForm(text) && isFunctionNameCode(codeOf(tree_.firstToken(callee))))
        row = builtinAt(tree_.tokens(), n.begin, state_);
    }
    if (!row || row->outcome != FunctionOutcome::TRANSLATED) {
      write(callee, out);
      return elements(node, tree_[callee].next, out);
    }
    CallParts parts{tree_, node, scope_, {}, {}, {}};
    for (int c = tree_[callee].next; c >= 0; c = tree_[c].next) {
      parts.arguments.push_back(c);
      parts.values.push_back(value(c));
      parts.written.push_back(parts.values.back().tokens);
    }
    // A call without arguments has one empty argument, as it is read.
    if (parts.arguments.empty()) parts.written.emplace_back();
    if (pushFunctionForm(out, *row, parts, state_)) return;
    write(callee, out);
    out.push_back(tree_.token(n.at));
    for (size_t k = 0; k < parts.arguments.size(); ++k) {
      if (k) out.push_back(tree_.token(tree_[parts.arguments[k - 1]].end));  // its comma
      append(out, parts.written[k]);
    }
    out.push_back(tree_.token(n.end - 1));
  }

  // A node's form as a value; whether it calls a routine with effects is
  // told by its tokens as they stand.
  Value value(int node) {
    Value v;
    write(node, v.tokens);
    v.length = v.tokens.size();
    // A subquery's parentheses are its own.
    v.group = v.length >= 2 && spans::isOpen(v.tokens.front()) && spans::closingIndex(v.tokens, 0) == v.length - 1 &&
              expr::wordOf(v.tokens[1]) != expr::Word::SELECT;
    v.tree = &tree_;
    v.node = node;
    v.state = state_;
    return v;
  }

  // Whether an operand is one a form may take whole.
  bool takesWhole(int node) { return isWholeOperand(tree_, node, true); }

  // a ** b: POWER of the base's form and the exponent's.
  void power(int node, Tokens& out) {
    const expr::Node& n = tree_[node];
    int base = n.child, exponent = tree_[base].next;
    pushPower(out, value(base), value(exponent), tree_.token(n.at)->line);
  }

  // a / b: exact, with the divisor guarded; the operand next to the "/"
  // becomes DECFLOAT when it is one token, else the divisor.
  void division(int node, Tokens& out) {
    const expr::Node& n = tree_[node];
    int divisor = tree_[n.child].next;
    astNode* slash = tree_.token(n.at);
    int line = slash->line;
    write(n.child, out);
    bool leftDone = false;
    // END closes a CASE (a guarded divisor among them), not a name.
    if (!out.empty() && isOperandToken(out.back()) && !textIs(out.back(), "END") &&
        !(out.size() >= 2 && textIs(out[out.size() - 2], "."))) {
      astNode* operand = out.back();
      out.back() = made("DECFLOAT", line);
      out.push_back(made("(", line));
      out.push_back(operand);
      out.push_back(made(")", line));
      leftDone = true;
    }
    if (!takesWhole(divisor)) {
      if (!leftDone) words(out, {"*", "DECFLOAT", "(", "1", ")"}, line);
      out.push_back(slash);
      write(divisor, out);
      return;
    }
    Value written = value(divisor);
    out.push_back(slash);
    pushDivisor(out, written, !leftDone, line);
  }

  const expr::Tree& tree_;
  const TransformState* state_;
  bool tableFirst_;
  astNode* scope_;
};

}  // namespace

namespace rewrite {

bool holdsInexactForm(const astNodeList* tokens) {
  const astNode* previous = nullptr;
  for (astListCell* c = listCells(tokens); c; previous = c->value, c = c->next) {
    const char* text = textOf(c->value);
    if (!text) continue;
    if ((text[0] == '/' && !text[1]) || (text[0] == '*' && !text[1] && codeOf(previous) == '*')) return true;
    if (c->next && spans::isOpen(c->next->value) && mayHaveFunctionForm(text) && isFunctionNameCode(codeOf(c->value))) {
      const BuiltinFunction* row = builtinNamed(text);
      if (row && row->outcome == FunctionOutcome::TRANSLATED && mayTakeForm(*row, c)) return true;
    }
  }
  return false;
}

astNodeList* exactExpression(astNodeList* tokens, const TransformState* state) {
  if (!tokens || tokens->kind != AST_LIST) return tokens;
  // The storage of one list's reading serves the next.
  thread_local Tokens in, out;
  thread_local expr::Tree tree;
  in.clear();
  out.clear();
  for (astListCell* c = tokens->head; c; c = c->next) in.push_back(c->value);
  tree.read(in);
  ExactWriter(tree, state, isInsertBody(tokens), tokens).write(tree.root(), out);
  if (out == in) return tokens;
  astNodeList* list = nullptr;
  for (astNode* token : out) list = listAppend(list, token);
  list->line = tokens->line;
  list->parent = tokens->parent;
  return list;
}

}  // namespace rewrite

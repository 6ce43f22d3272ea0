// Expression tokens in the form the target reads them the way PL/SQL does:
// the built-in functions that functions.def translates, the exponent
// operator, and exact division that fails on a zero divisor. The last pass
// puts every token list that the emitter writes in this form, so
// expressions in assignments, conditions, defaults, loop bounds and SQL
// statements alike are covered.
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <strings.h>
#include <utility>
#include <vector>

#include "ast.h"
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

astNode* made(const char* text, int line) { return astTokenNew(T_STRING, text, line); }

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

// The tokens as one operand: as they stand when they are one, else in
// parentheses.
void pushOperand(Tokens& out, const Tokens& tokens, int line) {
  bool whole = !tokens.empty() && spans::operandEnd(tokens, 0) == tokens.size();
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
void pushDivisor(Tokens& out, const Tokens& divisor, bool decfloat, int line, const TransformState* state) {
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
  if (mayWriteTwice(divisor, 0, divisor.size(), state)) return guard(out, divisor);
  Tokens body;
  guard(body, Tokens{made("SYSZULINTERNAL_DIVISOR", line)});
  pushBound(out, {{divisor, "SYSZULINTERNAL_DIVISOR"}}, body, line);
}

// PL/SQL divides exactly; the target truncates a quotient of integers. One
// operand becomes DECFLOAT, which makes the quotient exact whatever the
// other is: the operand before the "/" when it is one token, else the one
// after it when that is a token, a call or a parenthesised group, else the
// left-hand term is multiplied by DECFLOAT(1) (same value, exact type).
Tokens exactDivisions(const Tokens& in, const TransformState* state) {
  Tokens out;
  size_t i = 0;
  while (i < in.size()) {
    astNode* token = in[i];
    if (!textIs(token, "/") || codeOf(token) != '/') {
      out.push_back(token);
      ++i;
      continue;
    }
    int line = token->line;
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
    size_t start = i + 1;
    size_t end = spans::operandEnd(in, start);
    if (end == std::string::npos) {
      if (!leftDone) words(out, {"*", "DECFLOAT", "(", "1", ")"}, line);
      out.push_back(token);
      ++i;
      continue;
    }
    // The divisor's own divisions are made exact as well.
    Tokens divisor = exactDivisions(slice(in, start, end), state);
    out.push_back(token);
    pushDivisor(out, divisor, !leftDone, line, state);
    i = end;
  }
  return out;
}

// ---- built-in functions ----

// Whether a value can be NULL: not a literal of some characters, a number,
// CHR of a number, NVL or COALESCE ending in such a value, or a joining of
// strings one of which is such.
bool mayBeNull(const Tokens& value) {
  if (value.size() == 1) {
    int code = codeOf(value[0]);
    const char* text = textOf(value[0]);
    return !(code == T_DIGITS || code == T_NUMERICNO || (code == T_STRING && text && std::strcmp(text, "''") != 0));
  }
  std::vector<ListCharacter> characters;
  if (literalCharacters(value, 0, value.size(), &characters)) return false;
  if (value.size() >= 3 && (textIs(value[0], "NVL") || textIs(value[0], "COALESCE")) && spans::isOpen(value[1])) {
    Spans arguments;
    size_t close = 0;
    if (spans::callArguments(value, 1, &arguments, &close) && close == value.size() - 1)
      return mayBeNull(slice(value, arguments.back().first, arguments.back().second));
  }
  // a || b || c outside parentheses, one piece of which is never NULL
  Spans pieces;
  int depth = 0;
  size_t begin = 0;
  for (size_t i = 0; i < value.size(); ++i) {
    if (spans::isOpen(value[i])) ++depth;
    else if (spans::isClose(value[i])) --depth;
    else if (depth == 0 && codeOf(value[i]) == T_CONCAT) {
      pieces.push_back({begin, i});
      begin = i + 1;
    }
  }
  pieces.push_back({begin, value.size()});
  if (pieces.size() > 1)
    for (const auto& piece : pieces)
      if (piece.second > piece.first && !mayBeNull(slice(value, piece.first, piece.second))) return false;
  return true;
}

// TRANSLATE(s, from, to): PL/SQL replaces each character of `from` by the
// one at the same place in `to` and removes those that have none; a
// character that `from` repeats counts where it comes first. The target
// reads TRANSLATE(s, to, from) and pads instead of removing. The removed
// characters are taken out first (none of them has a counterpart, so none
// is made by the translation), then the others translated; a character
// that stays itself is left out of the lists.
bool pushTranslate(Tokens& out, const std::vector<Tokens>& arguments, int line) {
  std::vector<ListCharacter> from, to;
  if (arguments.size() != 3 || !literalCharacters(arguments[1], 0, arguments[1].size(), &from) ||
      !literalCharacters(arguments[2], 0, arguments[2].size(), &to))
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
  if (value == arguments[0]) pushOperand(out, value, line);
  else append(out, value);
  return true;
}

// REPLACE(s, a, r): the target's result is NULL when an argument is, where
// PL/SQL returns s for a NULL search string a and removes a for a NULL
// replacement r. A NULL or empty literal is settled here; an argument that
// may be NULL at run time is tested first:
//   CASE WHEN a IS NULL THEN s WHEN r IS NULL THEN REPLACE(s, a) ELSE REPLACE(s, a, r) END
// and read once from a query over one row when it holds a call.
bool pushReplace(Tokens& out, const std::vector<Tokens>& arguments, int line, const TransformState* state) {
  if (arguments.size() != 3) return false;
  Tokens source = arguments[0], search = arguments[1], replacement = arguments[2];
  if (isNullLiteral(search, 0, search.size())) {
    pushOperand(out, source, line);
    return true;
  }
  bool removed = isNullLiteral(replacement, 0, replacement.size());
  bool searchNull = mayBeNull(search), replacementNull = !removed && mayBeNull(replacement);
  auto replace = [&](Tokens& to, bool withReplacement) {
    if (withReplacement) pushCall(to, "REPLACE", {source, search, replacement}, line);
    else pushCall(to, "REPLACE", {source, search}, line);
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
  bool longSource = source.size() > kLongestWrittenTwice;
  if (longSource || (searchNull && !mayWriteTwice(search, 0, search.size(), state)) ||
      (replacementNull && !mayWriteTwice(replacement, 0, replacement.size(), state))) {
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
  if (bound.empty()) append(out, body);
  else pushBound(out, bound, body, line);
  return true;
}

// MOD(m, n) is m for n = 0 in PL/SQL; the target fails.
//   CASE n WHEN 0 THEN m ELSE MOD(m, n) END
bool pushMod(Tokens& out, const std::vector<Tokens>& arguments, int line, const TransformState* state) {
  if (arguments.size() != 2 || isNonZeroNumber(arguments[1])) return false;
  bool once = !mayWriteTwice(arguments[1], 0, arguments[1].size(), state);
  bool longDividend = arguments[0].size() > kLongestWrittenTwice;
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
  if (bound.empty()) append(out, body);
  else pushBound(out, bound, body, line);
  return true;
}

// POWER(a, b) and a ** b: the target's power of two integers is an
// integer. A DECFLOAT base makes it exact for an integral exponent; the
// DECFLOAT power of an exponent with a fraction is NaN, where DOUBLE gives
// the value:
//   POWER(DECFLOAT(a), 2), POWER(DOUBLE(a), 0.5),
//   CASE WHEN b = TRUNC(b) THEN POWER(DECFLOAT(a), b) ELSE POWER(DOUBLE(a), b) END
void pushPower(Tokens& out, const Tokens& base, const Tokens& exponent, int line, const TransformState* state) {
  // A group's own parentheses are those of the call it goes in.
  auto inner = [](const Tokens& tokens) {
    bool group =
        tokens.size() >= 2 && spans::isOpen(tokens.front()) && spans::closingIndex(tokens, 0) == tokens.size() - 1;
    return group ? slice(tokens, 1, tokens.size() - 1) : tokens;
  };
  Tokens value = inner(base);
  auto power = [&](Tokens& to, const char* type, const Tokens& e) {
    Tokens typed;
    pushCall(typed, type, {value}, line);
    pushCall(to, "POWER", {typed, e}, line);
  };
  size_t at = !exponent.empty() && (textIs(exponent[0], "-") || textIs(exponent[0], "+")) ? 1 : 0;
  if (exponent.size() == at + 1 && codeOf(exponent[at]) == T_DIGITS) return power(out, "DECFLOAT", exponent);
  if (exponent.size() == at + 1 && codeOf(exponent[at]) == T_NUMERICNO) return power(out, "DOUBLE", exponent);
  bool once = !mayWriteTwice(exponent, 0, exponent.size(), state);
  bool longBase = value.size() > kLongestWrittenTwice;
  if (longBase) value = {made("SYSZULINTERNAL_BASE", line)};
  Tokens e = once ? Tokens{made("SYSZULINTERNAL_EXPONENT", line)} : inner(exponent);
  Tokens body;
  words(body, {"CASE", "WHEN"}, line);
  append(body, e);
  body.push_back(made("=", line));
  pushCall(body, "TRUNC", {e}, line);
  body.push_back(made("THEN", line));
  power(body, "DECFLOAT", e);
  body.push_back(made("ELSE", line));
  power(body, "DOUBLE", e);
  body.push_back(made("END", line));
  std::vector<std::pair<Tokens, const char*>> bound;
  if (longBase) bound.push_back({inner(base), "SYSZULINTERNAL_BASE"});
  if (once) bound.push_back({exponent, "SYSZULINTERNAL_EXPONENT"});
  if (bound.empty()) append(out, body);
  else pushBound(out, bound, body, line);
}

// DECODE: the target wants each NULL argument of a type. A NULL search
// value is NULLIF(e, e), of the expression's type; a NULL result is
// NULLIF(r, r) of another result; a NULL default is left out.
bool pushDecode(Tokens& out, const Tokens& in, size_t open, const std::vector<Tokens>& arguments, int line,
                const TransformState* state) {
  Spans spans;
  size_t close = 0;
  if (!spans::callArguments(in, open, &spans, &close)) return false;
  std::vector<int> types = decodeNullTypes(in, spans, state);
  bool changed = false;
  for (int type : types) {
    if (type == kUntyped) return false;
    changed = changed || type != kNotNull;
  }
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

// The translated form of a call of a TRANSLATED row, its arguments in their
// own forms; false when the call stays as written.
bool pushFunctionForm(Tokens& out, const BuiltinFunction& row, const Tokens& in, size_t at,
                      const std::vector<Tokens>& arguments, const TransformState* state) {
  int line = in[at]->line;
  switch (row.rule) {
    case FunctionRule::CHARACTERS:
      pushCall(out, (std::string(row.name) + "4").c_str(), arguments, line);
      return true;
    case FunctionRule::TRANSLATE_CHARACTERS: return pushTranslate(out, arguments, line);
    case FunctionRule::REPLACE_NULLS: return pushReplace(out, arguments, line, state);
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
    case FunctionRule::MOD_ZERO: return pushMod(out, arguments, line, state);
    case FunctionRule::POWER_EXACT:
      if (arguments.size() != 2) return false;
      pushPower(out, arguments[0], arguments[1], line, state);
      return true;
    case FunctionRule::DECODE_NULLS: return pushDecode(out, in, at + 1, arguments, line, state);
    default: return false;
  }
}

Tokens builtinForms(const Tokens& in, const TransformState* state, bool tableFirst = false) {
  Tokens out;
  size_t i = 0;
  if (tableFirst && !in.empty()) out.push_back(in[i++]);
  while (i < in.size()) {
    const char* text = textOf(in[i]);
    const BuiltinFunction* row = i + 1 < in.size() && spans::isOpen(in[i + 1]) && mayHaveFunctionForm(text) &&
                                         isFunctionNameCode(codeOf(in[i]))
                                     ? builtinAt(in, i, state)
                                     : nullptr;
    Spans spans;
    size_t close = 0;
    if (!row || row->outcome != FunctionOutcome::TRANSLATED || !spans::callArguments(in, i + 1, &spans, &close)) {
      out.push_back(in[i]);
      ++i;
      continue;
    }
    std::vector<Tokens> arguments;
    for (const auto& span : spans) arguments.push_back(builtinForms(slice(in, span.first, span.second), state));
    if (!pushFunctionForm(out, *row, in, i, arguments, state)) {
      out.push_back(in[i]);
      out.push_back(in[i + 1]);
      for (size_t k = 0; k < arguments.size(); ++k) {
        if (k) out.push_back(in[spans[k].first - 1]);  // its comma
        append(out, arguments[k]);
      }
      out.push_back(in[close]);
    }
    i = close + 1;
  }
  return out;
}

// ---- the exponent operator ----

// a ** b: the scanner gives two "*" in a row, which only ** makes. The
// operand before them is a name, a number, a call or a group already
// written; the one after them an operand with its sign.
Tokens powerOperators(const Tokens& in, const TransformState* state) {
  Tokens out;
  size_t i = 0;
  while (i < in.size()) {
    bool power = codeOf(in[i]) == '*' && i + 1 < in.size() && codeOf(in[i + 1]) == '*' && !out.empty();
    size_t end = power ? spans::operandEnd(in, i + 2) : std::string::npos;
    size_t left = out.size();
    if (end != std::string::npos) {
      if (spans::isClose(out.back())) {
        int depth = 0;
        for (left = out.size(); left-- > 0;) {
          if (spans::isClose(out[left])) ++depth;
          else if (spans::isOpen(out[left]) && --depth == 0) break;
        }
        // A call's name; the words that come before a group are no names.
        if (left != std::string::npos && left > 0 && codeOf(out[left - 1]) == T_WORD &&
            !textIs(out[left - 1], "AND") && !textIs(out[left - 1], "OR") && !textIs(out[left - 1], "NOT") &&
            !textIs(out[left - 1], "LIKE") && !textIs(out[left - 1], "EXISTS"))
          --left;
      } else if (textIs(out.back(), "END")) {
        // A CASE, such as the power before it in a ** b ** c.
        int depth = 0;
        for (left = out.size(); left-- > 0;) {
          if (textIs(out[left], "END")) ++depth;
          else if (textIs(out[left], "CASE") && --depth == 0) break;
        }
      } else if (isOperandToken(out.back())) {
        left = out.size() - 1;
      }
    }
    if (end == std::string::npos || left >= out.size()) {
      out.push_back(in[i]);
      ++i;
      continue;
    }
    Tokens base = slice(out, left, out.size());
    out.resize(left);
    pushPower(out, base, powerOperators(slice(in, i + 2, end), state), in[i]->line, state);
    i = end;
  }
  return out;
}

}  // namespace

namespace rewrite {

bool holdsInexactForm(const astNodeList* tokens) {
  const astNode* previous = nullptr;
  for (astListCell* c = listCells(tokens); c; previous = c->value, c = c->next) {
    const char* text = textOf(c->value);
    if (!text) continue;
    if ((text[0] == '/' && !text[1]) || (text[0] == '*' && !text[1] && codeOf(previous) == '*')) return true;
    if (c->next && spans::isOpen(c->next->value) && mayHaveFunctionForm(text) &&
        isFunctionNameCode(codeOf(c->value))) {
      const BuiltinFunction* row = builtinNamed(text);
      if (row && row->outcome == FunctionOutcome::TRANSLATED) return true;
    }
  }
  return false;
}

astNodeList* exactExpression(astNodeList* tokens, const TransformState* state) {
  if (!tokens || tokens->kind != AST_LIST) return tokens;
  Tokens in;
  for (astListCell* c = tokens->head; c; c = c->next) in.push_back(c->value);
  // Only the steps whose forms the list holds.
  bool division = false, power = false, functions = false;
  for (size_t i = 0; i < in.size(); ++i) {
    const char* text = textOf(in[i]);
    if (!text || !text[0] || text[1]) {
      functions = functions || (text && i + 1 < in.size() && spans::isOpen(in[i + 1]) && mayHaveFunctionForm(text));
      continue;
    }
    division = division || text[0] == '/';
    power = power || (text[0] == '*' && i > 0 && codeOf(in[i - 1]) == '*');
  }
  Tokens out = functions ? builtinForms(in, state, isInsertBody(tokens)) : in;
  if (power) out = powerOperators(out, state);
  if (division) out = exactDivisions(out, state);
  if (out == in) return tokens;
  astNodeList* list = nullptr;
  for (astNode* token : out) list = listAppend(list, token);
  list->line = tokens->line;
  list->parent = tokens->parent;
  return list;
}

}  // namespace rewrite

// Expression tokens in the form the target reads them the way PL/SQL does:
// exact division that fails on a zero divisor, and SUBSTR with a start
// counted from the end. The last pass puts every token list that the
// emitter writes in this form, so expressions in assignments, conditions,
// defaults, loop bounds and SQL statements alike are covered.
#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>
#include <vector>

#include "ast.h"
#include "plsql_parser.hpp"
#include "rewrite_internal.h"
#include "token_spans.h"
#include "translate_options.h"

namespace {

using Tokens = std::vector<astNode*>;

using spans::textOf;
using rewrite::textIs;
bool wordIs(const astNode* node, const char* word) { return textIs(node, word); }

int codeOf(const astNode* node) {
  return node && node->kind == AST_TOKEN ? nodeAs<const astNodeToken>(node)->tokenCode : 0;
}

using spans::isOperandToken;

bool isDigits(const char* text) {
  if (!text || !*text) return false;
  for (const char* p = text; *p; ++p)
    if (*p < '0' || *p > '9') return false;
  return true;
}

size_t closingParen(const Tokens& tokens, size_t open) { return spans::closingIndex(tokens, open); }

astNode* made(const char* text, int line) { return astTokenNew(T_STRING, text, line); }

void append(Tokens& out, const Tokens& in, size_t from, size_t to) {
  for (size_t i = from; i < to; ++i) out.push_back(in[i]);
}

// ---- division ----

size_t divisorEnd(const Tokens& in, size_t start) { return spans::operandEnd(in, start); }

bool isNonZeroNumber(const Tokens& divisor) {
  size_t at = !divisor.empty() && (textIs(divisor[0], "-") || textIs(divisor[0], "+")) ? 1 : 0;
  if (divisor.size() != at + 1) return false;
  int code = codeOf(divisor[at]);
  return (code == T_DIGITS || code == T_NUMERICNO) && std::strtod(textOf(divisor[at]), nullptr) != 0;
}

// PL/SQL raises ZERO_DIVIDE on a zero divisor, where a DECFLOAT quotient in
// the target is only a warning (Infinity or NaN). Unless it is a non-zero
// number, the divisor d is written
//   CASE d WHEN 0 THEN RAISE_ERROR('22012', 'division by zero') ELSE value END
// with `value` the divisor as it is divided by, and the SQLSTATE the one that
// the exception map gives ZERO_DIVIDE, so that its handlers take the error.
void pushDivisor(Tokens& out, const Tokens& divisor, const Tokens& value, int line) {
  static const std::string sqlstate = std::string("'") + mappedSqlstate(exceptionMap, "ZERO_DIVIDE") + "'";
  if (isNonZeroNumber(divisor)) {
    append(out, value, 0, value.size());
    return;
  }
  out.push_back(made("CASE", line));
  append(out, divisor, 0, divisor.size());
  for (const char* text :
       {"WHEN", "0", "THEN", "RAISE_ERROR", "(", sqlstate.c_str(), ",", "'division by zero'", ")", "ELSE"})
    out.push_back(made(text, line));
  append(out, value, 0, value.size());
  out.push_back(made("END", line));
}

// PL/SQL divides exactly; the target truncates a quotient of integers. One
// operand becomes DECFLOAT, which makes the quotient exact whatever the
// other is: the operand before the "/" when it is one token, else the one
// after it when that is a token, a call or a parenthesised group, else the
// left-hand term is multiplied by DECFLOAT(1) (same value, exact type).
Tokens exactDivisions(const Tokens& in) {
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
    if (!out.empty() && isOperandToken(out.back()) && !wordIs(out.back(), "END") &&
        !(out.size() >= 2 && textIs(out[out.size() - 2], "."))) {
      astNode* operand = out.back();
      out.back() = made("DECFLOAT", line);
      out.push_back(made("(", line));
      out.push_back(operand);
      out.push_back(made(")", line));
      leftDone = true;
    }
    size_t start = i + 1;
    size_t end = divisorEnd(in, start);
    // The divisor's own divisions are made exact as well.
    Tokens divisor;
    if (end != std::string::npos)
      divisor = exactDivisions(Tokens(in.begin() + static_cast<std::ptrdiff_t>(start),
                                      in.begin() + static_cast<std::ptrdiff_t>(end)));
    if (leftDone) {
      out.push_back(token);
      ++i;
      if (end == std::string::npos) continue;
      pushDivisor(out, divisor, divisor, line);
      i = end;
      continue;
    }
    if (end != std::string::npos) {
      out.push_back(token);
      Tokens value{made("DECFLOAT", line), made("(", line)};
      append(value, divisor, 0, divisor.size());
      value.push_back(made(")", line));
      pushDivisor(out, divisor, value, line);
      i = end;
      continue;
    }
    out.push_back(made("*", line));
    out.push_back(made("DECFLOAT", line));
    out.push_back(made("(", line));
    out.push_back(made("1", line));
    out.push_back(made(")", line));
    out.push_back(token);
    ++i;
  }
  return out;
}

// ---- SUBSTR ----

using spans::callArguments;

// SUBSTR counts a negative start from the end of the string (NULL when it
// reaches before the beginning) and reads a start of 0 as 1; the target
// refuses a start below 1. A literal start is rewritten:
//   SUBSTR(s, -n[, l]) -> CASE WHEN LENGTH(s) >= n THEN SUBSTR(s, LENGTH(s) - (n - 1)[, l]) END
//   SUBSTR(s, 0[, l])  -> SUBSTR(s, 1[, l])
// A negated operand is tested for its sign at run time; any other start
// computed at run time is written as it stands.
Tokens substrFromTheEnd(const Tokens& in) {
  Tokens out;
  size_t i = 0;
  while (i < in.size()) {
    std::vector<std::pair<size_t, size_t>> args;
    size_t close = 0;
    if (!wordIs(in[i], "SUBSTR") || codeOf(in[i]) != T_WORD || i + 1 >= in.size() || !textIs(in[i + 1], "(") ||
        !callArguments(in, i + 1, &args, &close) || (args.size() != 2 && args.size() != 3)) {
      out.push_back(in[i]);
      ++i;
      continue;
    }
    int line = in[i]->line;
    // The string and the rest of the call, themselves rewritten.
    Tokens source = substrFromTheEnd(Tokens(in.begin() + static_cast<std::ptrdiff_t>(args[0].first),
                                            in.begin() + static_cast<std::ptrdiff_t>(args[0].second)));
    Tokens length;
    if (args.size() == 3)
      length = substrFromTheEnd(Tokens(in.begin() + static_cast<std::ptrdiff_t>(args[2].first),
                                       in.begin() + static_cast<std::ptrdiff_t>(args[2].second)));
    size_t startBegin = args[1].first, startEnd = args[1].second;
    bool zero = startEnd - startBegin == 1 && textIs(in[startBegin], "0");
    bool negative = startEnd - startBegin == 2 && textIs(in[startBegin], "-") && isDigits(textOf(in[startBegin + 1])) &&
                    !textIs(in[startBegin + 1], "0");
    // A negated operand (-n, -(a + b), -f(x)) may be of either sign.
    size_t operand = startBegin + 1;
    bool negated = !negative && startEnd - startBegin >= 2 && textIs(in[startBegin], "-") &&
                   (startEnd - operand == 1 ||
                    (textIs(in[operand], "(") && closingParen(in, operand) == startEnd - 1) ||
                    (startEnd - operand >= 3 && codeOf(in[operand]) == T_WORD && textIs(in[operand + 1], "(") &&
                     closingParen(in, operand + 1) == startEnd - 1));
    if (!zero && !negative && !negated) {
      out.push_back(in[i]);
      out.push_back(in[i + 1]);
      append(out, source, 0, source.size());
      append(out, in, args[0].second, args.size() == 3 ? args[2].first : close + 1);
      if (args.size() == 3) {
        append(out, length, 0, length.size());
        out.push_back(in[close]);
      }
      i = close + 1;
      continue;
    }
    auto call = [&](Tokens& to, const Tokens& start) {
      to.push_back(in[i]);
      to.push_back(in[i + 1]);
      append(to, source, 0, source.size());
      to.push_back(made(",", line));
      append(to, start, 0, start.size());
      if (args.size() == 3) {
        to.push_back(made(",", line));
        append(to, length, 0, length.size());
      }
      to.push_back(made(")", line));
    };
    if (zero) {
      call(out, Tokens{made("1", line)});
      i = close + 1;
      continue;
    }
    auto lengthOfSource = [&](Tokens& to) {
      to.push_back(made("LENGTH", line));
      to.push_back(made("(", line));
      append(to, source, 0, source.size());
      to.push_back(made(")", line));
    };
    if (negated) {
      // SUBSTR(s, -e[, l]) -> CASE WHEN e <= 0 THEN SUBSTR(s, GREATEST(-e, 1)[, l])
      //                       WHEN LENGTH(s) >= e THEN SUBSTR(s, LENGTH(s) - e + 1[, l]) END
      Tokens e = substrFromTheEnd(Tokens(in.begin() + static_cast<std::ptrdiff_t>(operand),
                                         in.begin() + static_cast<std::ptrdiff_t>(startEnd)));
      // The operand is a name, a call or a parenthesised group: it needs
      // no parentheses of its own.
      auto grouped = [&](Tokens& to) { append(to, e, 0, e.size()); };
      Tokens positive{made("GREATEST", line), made("(", line), made("-", line)};
      grouped(positive);
      positive.push_back(made(",", line));
      positive.push_back(made("1", line));
      positive.push_back(made(")", line));
      Tokens fromEnd;
      lengthOfSource(fromEnd);
      fromEnd.push_back(made("-", line));
      grouped(fromEnd);
      fromEnd.push_back(made("+", line));
      fromEnd.push_back(made("1", line));
      out.push_back(made("CASE", line));
      out.push_back(made("WHEN", line));
      grouped(out);
      out.push_back(made("<=", line));
      out.push_back(made("0", line));
      out.push_back(made("THEN", line));
      call(out, positive);
      out.push_back(made("WHEN", line));
      lengthOfSource(out);
      out.push_back(made(">=", line));
      grouped(out);
      out.push_back(made("THEN", line));
      call(out, fromEnd);
      out.push_back(made("END", line));
      i = close + 1;
      continue;
    }
    const char* count = textOf(in[startBegin + 1]);
    Tokens start;
    lengthOfSource(start);
    if (std::strcmp(count, "1") != 0) {
      start.push_back(made("-", line));
      std::string less = std::to_string(std::strtoll(count, nullptr, 10) - 1);
      start.push_back(made(less.c_str(), line));
    }
    out.push_back(made("CASE", line));
    out.push_back(made("WHEN", line));
    lengthOfSource(out);
    out.push_back(made(">=", line));
    out.push_back(made(count, line));
    out.push_back(made("THEN", line));
    call(out, start);
    out.push_back(made("END", line));
    i = close + 1;
  }
  return out;
}

}  // namespace

namespace rewrite {

bool holdsInexactForm(const astNodeList* tokens) {
  for (astListCell* c = listCells(tokens); c; c = c->next) {
    const char* text = textOf(c->value);
    if (!text) continue;
    if ((text[0] == '/' && !text[1]) || ((text[0] | 0x20) == 's' && wordIs(c->value, "SUBSTR"))) return true;
  }
  return false;
}

astNodeList* exactExpression(astNodeList* tokens) {
  if (!tokens || tokens->kind != AST_LIST) return tokens;
  Tokens in;
  for (astListCell* c = tokens->head; c; c = c->next) in.push_back(c->value);
  Tokens out = exactDivisions(substrFromTheEnd(in));
  if (out == in) return tokens;
  astNodeList* list = nullptr;
  for (astNode* token : out) list = listAppend(list, token);
  list->line = tokens->line;
  list->parent = tokens->parent;
  return list;
}

}  // namespace rewrite

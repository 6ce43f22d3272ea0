// Spans of a token list, read one way everywhere: a parenthesis is a whole
// "(" or ")" token, a word is compared ignoring case. The matching
// parenthesis, the arguments of a call and the extent of an operand are
// found here, over the cells of a list or over a sequence of nodes.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

#include "ast.h"
#include "plsql_parser.hpp"

namespace spans {

// The token's text, or null for a node that is no token.
inline const char* textOf(const astNode* node) {
  return node && node->kind == AST_TOKEN ? nodeAs<const astNodeToken>(node)->text : nullptr;
}

inline bool isOpen(const astNode* node) {
  const char* text = textOf(node);
  return text && text[0] == '(' && !text[1];
}
inline bool isClose(const astNode* node) {
  const char* text = textOf(node);
  return text && text[0] == ')' && !text[1];
}
inline bool isComma(const astNode* node) {
  const char* text = textOf(node);
  return text && text[0] == ',' && !text[1];
}

// The cell of the ")" that closes the "(" at `open`; null when none does.
inline astListCell* closingCell(astListCell* open) {
  int depth = 0;
  for (astListCell* c = open; c; c = c->next) {
    if (isOpen(c->value))
      ++depth;
    else if (isClose(c->value) && --depth == 0)
      return c;
  }
  return nullptr;
}

// Calls each(cell, before) for the cells from `first` on that stand
// outside every parenthesis, `before` being the cell before it in the list
// (null for the first): a group is passed over whole, its "(" and ")"
// with it. It goes on while each returns true; a "(" that nothing closes
// or a ")" that closes nothing ends the level.
template <class Each>
void eachOutsideGroups(astListCell* first, Each each) {
  astListCell* before = nullptr;
  for (astListCell* c = first; c;) {
    if (isClose(c->value)) return;
    if (isOpen(c->value)) {
      before = closingCell(c);
      if (!before) return;
      c = before->next;
      continue;
    }
    if (!each(c, before)) return;
    before = c;
    c = c->next;
  }
}

// The same over a sequence of nodes: the index of the ")" that closes the
// "(" at `open`, or npos.
inline size_t closingIndex(const std::vector<astNode*>& tokens, size_t open) {
  int depth = 0;
  for (size_t i = open; i < tokens.size(); ++i) {
    if (isOpen(tokens[i]))
      ++depth;
    else if (isClose(tokens[i]) && --depth == 0)
      return i;
  }
  return static_cast<size_t>(-1);
}

// The arguments of a call whose "(" is at `open`: [begin, end) of each,
// split at the commas outside inner parentheses, and the index of its ")";
// false when the call does not close.
inline bool callArguments(const std::vector<astNode*>& tokens, size_t open,
                          std::vector<std::pair<size_t, size_t>>* arguments, size_t* close) {
  *close = closingIndex(tokens, open);
  if (*close == static_cast<size_t>(-1)) return false;
  int depth = 0;
  size_t begin = open + 1;
  for (size_t i = open + 1; i < *close; ++i) {
    if (isOpen(tokens[i]))
      ++depth;
    else if (isClose(tokens[i]))
      --depth;
    else if (depth == 0 && isComma(tokens[i])) {
      arguments->push_back({begin, i});
      begin = i + 1;
    }
  }
  arguments->push_back({begin, *close});
  return true;
}

// Calls each(first, last, count) for each part of the cells from `first`
// to before `end` that the commas outside parentheses divide: its first and
// last cell (null for an empty part) and the number of its cells. It goes
// on while each returns true. A ")" that closes nothing leaves the commas
// after it inside the part.
template <class Each>
void eachCommaPart(astListCell* first, astListCell* end, Each each) {
  int depth = 0;
  astListCell* start = nullptr;
  astListCell* last = nullptr;
  size_t count = 0;
  for (astListCell* c = first; c != end; c = c->next) {
    if (depth == 0 && isComma(c->value)) {
      if (!each(start, last, count)) return;
      start = last = nullptr;
      count = 0;
      continue;
    }
    if (isOpen(c->value))
      ++depth;
    else if (isClose(c->value))
      --depth;
    if (!start) start = c;
    last = c;
    ++count;
  }
  each(start, last, count);
}

// A name, a number, a string or a value the rewriting wrote as one token:
// what can stand as an operand.
inline bool isOperandToken(const astNode* node) {
  const char* text = textOf(node);
  if (!text || !*text) return false;
  switch (text[0]) {
    case '(':
    case ')':
    case '+':
    case '-':
    case '*':
    case '/':
    case ',':
    case '|':
    case '<':
    case '>':
    case '=':
      return false;
    default:
      break;
  }
  switch (nodeAs<const astNodeToken>(node)->tokenCode) {
    case T_WORD:
    case T_DIGITS:
    case T_NUMERICNO:
    case T_STRING:
    case T_SQLCODE:
    case T_TRIG_VAR:
    case T_SQL_ROWCOUNT:
    case T_CURSOR_ROWCOUNT:
    case T_UNKNOWN:
      return true;
    default:
      return false;
  }
}

inline bool isText(const astNode* node, char c) {
  const char* text = textOf(node);
  return text && text[0] == c && !text[1];
}

// One past the operand that starts at `start`: an optional sign, then a
// number, a name (qualified or not), a call or a parenthesised group; npos
// when it is none of these.
inline size_t operandEnd(const std::vector<astNode*>& in, size_t start) {
  const size_t npos = static_cast<size_t>(-1);
  size_t at = start;
  if (at < in.size() && (isText(in[at], '-') || isText(in[at], '+'))) ++at;
  if (at >= in.size()) return npos;
  if (isOpen(in[at])) {
    size_t close = closingIndex(in, at);
    return close == npos ? close : close + 1;
  }
  if (!isOperandToken(in[at])) return npos;
  while (at + 2 < in.size() && isText(in[at + 1], '.') && isOperandToken(in[at + 2])) at += 2;
  if (at + 1 < in.size() && isText(in[at + 1], '.')) return npos;
  if (at + 1 < in.size() && isOpen(in[at + 1])) {
    size_t close = closingIndex(in, at + 1);
    return close == npos ? close : close + 1;
  }
  return at + 1;
}

// The nodes of a list's cells.
inline std::vector<astNode*> nodesOf(astListCell* first, astListCell* end = nullptr) {
  std::vector<astNode*> nodes;
  for (astListCell* c = first; c != end; c = c->next) nodes.push_back(c->value);
  return nodes;
}

// The tokens of a list before the first comma outside parentheses, from
// `first` on; the cell of that comma in *comma (null when there is none).
inline std::vector<astNode*> upToComma(astListCell* first, astListCell** comma) {
  std::vector<astNode*> part;
  int depth = 0;
  *comma = nullptr;
  for (astListCell* c = first; c; c = c->next) {
    if (depth == 0 && isComma(c->value)) {
      *comma = c;
      break;
    }
    if (isOpen(c->value))
      ++depth;
    else if (isClose(c->value) && depth > 0)
      --depth;
    part.push_back(c->value);
  }
  return part;
}

}  // namespace spans

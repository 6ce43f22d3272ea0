// An expression of a token list read once into a small tree, so that every
// rule of the translation matches on its operands, calls and groups instead
// of reading the tokens again: calls, PL/SQL's operators by their precedence
// and associativity (** binds right), parentheses, CASE, names, literals and
// subqueries. A list that is no expression (SQL text, a select list with its
// aliases, an INTO list) reads as a sequence of items: expressions, and the
// tokens that none takes (keywords, commas, aliases, a sign without its
// operand). Any token sequence reads, a broken one too: a parenthesis or a
// CASE that the list never closes ends with it.
//
// Each node covers a range of the tokens, so it points back to them; the
// tokens are those of the list as it stands, which the tree never changes.
#pragma once

#include <cstdint>
#include <vector>

#include "ast.h"

namespace expr {

enum class Kind : uint8_t {
  ITEMS,    // what a list, an argument, a group's element, a query or a CASE holds, in order
  TOKEN,    // a token that no expression takes
  NAME,     // a name or a value word: one token, or its parts with the dots between them
  LITERAL,  // a number, a string, NULL
  CALL,     // a name and its arguments: the NAME, then an ITEMS per argument
  MEMBER,   // what follows a call's dot: the CALL (or MEMBER), then a NAME or CALL
  GROUP,    // ( ... ): an ITEMS per element
  QUERY,    // SELECT or WITH up to the end of its group: one ITEMS, SELECT first
  CASE,     // CASE ... END: one ITEMS between the two
  UNARY,    // - + NOT PRIOR EXISTS ANY before the operand, IS [NOT] NULL after it: the operand
  BINARY,   // the left operand, then the right (BETWEEN: then the upper bound)
};

enum class Op : uint8_t {
  NONE,
  OR,
  AND,
  NOT,
  COMPARE,  // = <> != < > <= >= (and their spellings)
  LIKE,     // [NOT] LIKE, with ESCAPE as a third operand
  BETWEEN,  // [NOT] BETWEEN low AND high
  IN,       // [NOT] IN
  IS_NULL,  // IS [NOT] NULL
  ADD,
  SUBTRACT,
  CONCAT,
  MULTIPLY,
  DIVIDE,
  NEGATE,
  PLUS,
  POWER,  // ** (two "*" tokens)
  PRIOR,
  EXISTS,
  QUANTIFIER,  // ANY, SOME, ALL before a group
};

struct Node {
  Kind kind;
  Op op = Op::NONE;
  bool closed = true;    // a CALL, GROUP or CASE that its ")" or END closes
  bool negated = false;  // NOT LIKE, NOT BETWEEN, NOT IN, IS NOT NULL
  uint32_t begin = 0;    // its tokens: [begin, end)
  uint32_t end = 0;
  uint32_t at = 0;     // UNARY, BINARY: its operator's first token; CALL, GROUP: its "("
  int32_t child = -1;  // first child
  int32_t next = -1;   // next sibling
};

using Tokens = std::vector<astNode*>;

// The classes of tokens the reader tells apart, from a token's code and,
// for words and the tokens the translation makes, its text.
enum class Word : uint8_t {
  OTHER,    // a keyword or sign that takes no part in expressions
  NAME,     // a word that may name something
  LITERAL,  // a number, a string literal, NULL
  OPEN,
  CLOSE,
  COMMA,
  DOT,
  PLUS,
  MINUS,
  STAR,
  SLASH,
  CONCAT,
  COMPARE,
  AND,
  OR,
  NOT,
  IS,
  IN,
  LIKE,
  BETWEEN,
  ESCAPE,
  EXISTS,
  QUANTIFIER,  // ANY SOME ALL
  PRIOR,
  CASE,
  WHEN,
  THEN,
  ELSE,
  END,
  SELECT,   // SELECT, WITH
  KEYWORD,  // other words that are no names before "(": OVER, and the clause words of SQL
};
Word wordOf(const astNode* node);

class Tree {
 public:
  Tree() = default;
  explicit Tree(const Tokens& tokens) { read(tokens); }
  // Reads tokens (anew: what an earlier read made is gone).
  void read(const Tokens& tokens);
  const Tokens& tokens() const { return *tokens_; }
  int root() const { return 0; }
  const Node& operator[](int index) const { return nodes_[size_t(index)]; }
  int size() const { return static_cast<int>(nodes_.size()); }
  int child(int index, int n) const;  // the n-th child, or -1
  int childCount(int index) const;
  astNode* token(uint32_t at) const { return at < tokens_->size() ? (*tokens_)[at] : nullptr; }
  astNode* firstToken(int index) const { return token(nodes_[size_t(index)].begin); }
  uint32_t length(int index) const { return nodes_[size_t(index)].end - nodes_[size_t(index)].begin; }
  // An ITEMS node's one expression, or -1 when it holds none or more.
  int only(int index) const;
  // Appends the node's tokens as they stand.
  void append(int index, Tokens& out) const;
  // The CALL whose name is the token at `at`, or -1.
  int callNamedAt(uint32_t at) const;

 private:
  int make(Kind kind, uint32_t begin);
  void link(int parent, int& last, int node);
  Word at(uint32_t i) const { return i < words_.size() ? words_[i] : Word::OTHER; }
  // Stops of a sequence of items.
  enum Stop : unsigned { AT_CLOSE = 1, AT_COMMA = 2, AT_END = 4 };
  int items(unsigned stops);
  // The levels of binary operators, from the loosest.
  enum Level : uint8_t { kNone, kOr, kAnd, kNot, kComparison, kAdditive, kMultiplicative, kSigns };
  int expression();
  Level binaryLevel(uint32_t at, Op* op) const;
  int climb(Level least);
  int unary();
  int power();
  int postfix();
  int primary();
  int name();
  int arguments(Kind kind, int callee);
  int binary(Op op, int left, int right, uint32_t at);

  const Tokens* tokens_ = nullptr;
  std::vector<Word> words_;
  std::vector<Node> nodes_;
  uint32_t pos_ = 0;
};

// A list's tree, read at the first question that needs it, for a walk
// over the list's cells that asks few of them.
class ListTree {
 public:
  const Tree& of(const astNodeList* list);
  // Where a cell's node stands among the list's tokens.
  uint32_t indexOf(const astListCell* cell) const;
  // The list changed: the next question reads it again.
  void forget() { list_ = nullptr; }

 private:
  const astNodeList* list_ = nullptr;
  Tokens tokens_;
  Tree tree_;
};

}  // namespace expr

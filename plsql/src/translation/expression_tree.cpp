// The expression reader: precedence climbing over the tokens of a list,
// PL/SQL's levels from the loosest: OR, AND, NOT, comparisons (LIKE,
// BETWEEN, IN, IS NULL among them), + - ||, * /, the signs, **. What no
// level takes stays an item of its own, so that any sequence reads.
#include "expression_tree.h"

#include <cctype>
#include <cstdint>
#include <cstring>
#include <iterator>

#include "deep_walk.h"
#include "name_keys.h"
#include "plsql_parser.hpp"

namespace expr {

namespace {

struct NamedWord {
  const char* text;
  Word word;
};

// Words that take a part in expressions or SQL's clauses, not names of
// anything: the one list of words that a "(" may follow without a call.
constexpr NamedWord kWords[] = {
    {"ALL", Word::QUANTIFIER},
    {"AND", Word::AND},
    {"ANY", Word::QUANTIFIER},
    {"AS", Word::OTHER},
    {"BETWEEN", Word::BETWEEN},
    {"BY", Word::OTHER},
    {"CASE", Word::CASE},
    {"CONNECT", Word::KEYWORD},
    {"DISTINCT", Word::KEYWORD},
    {"ELSE", Word::ELSE},
    {"END", Word::END},
    {"ESCAPE", Word::ESCAPE},
    {"EXISTS", Word::EXISTS},
    {"FROM", Word::OTHER},
    {"GROUP", Word::KEYWORD},
    {"HAVING", Word::KEYWORD},
    {"IN", Word::IN},
    {"INTERSECT", Word::KEYWORD},
    {"INTO", Word::OTHER},
    {"IS", Word::IS},
    {"JOIN", Word::KEYWORD},
    {"KEEP", Word::KEYWORD},
    {"LIKE", Word::LIKE},
    {"LIKE2", Word::LIKE},
    {"LIKE4", Word::LIKE},
    {"LIKEC", Word::LIKE},
    {"MEMBER", Word::KEYWORD},
    {"MINUS", Word::KEYWORD},
    {"MULTISET", Word::KEYWORD},
    {"NOT", Word::NOT},
    {"NULL", Word::LITERAL},
    {"ON", Word::OTHER},
    {"OR", Word::OR},
    {"ORDER", Word::KEYWORD},
    {"OVER", Word::KEYWORD},
    {"PRIOR", Word::PRIOR},
    {"RETURN", Word::OTHER},
    {"SELECT", Word::SELECT},
    {"SET", Word::KEYWORD},
    {"SOME", Word::QUANTIFIER},
    {"SUBMULTISET", Word::KEYWORD},
    {"THEN", Word::THEN},
    {"UNION", Word::KEYWORD},
    {"USING", Word::OTHER},
    {"VALUES", Word::OTHER},
    {"WHEN", Word::WHEN},
    {"WHERE", Word::OTHER},
    {"WITH", Word::SELECT},
    {"WITHIN", Word::KEYWORD},
};

// The lengths (bit n for n characters) of the words above, by their first
// letter: most words are told to be names by these alone.
struct WordLengths {
  uint32_t byLetter[26] = {};
  uint8_t first[26] = {};  // the first word of each letter: the list is in order
  constexpr WordLengths() {
    for (size_t i = std::size(kWords); i-- > 0;) {
      const NamedWord& known = kWords[i];
      size_t length = 0;
      while (known.text[length]) ++length;
      byLetter[known.text[0] - 'A'] |= uint32_t(1) << length;
      first[known.text[0] - 'A'] = static_cast<uint8_t>(i);
    }
  }
};
constexpr WordLengths kWordLengths;

constexpr bool wordsInOrder() {
  for (size_t i = 1; i < std::size(kWords); ++i)
    if (kWords[i].text[0] < kWords[i - 1].text[0]) return false;
  return true;
}
static_assert(wordsInOrder(), "the words are looked up from the first of their letter");

// A word's class: a name unless the list above holds it.
Word wordText(const char* text) {
  unsigned letter = static_cast<unsigned>(foldAscii(text[0]) - 'a');
  if (letter >= 26 || !kWordLengths.byLetter[letter]) return Word::NAME;
  size_t length = 1;
  while (length < 12 && text[length]) ++length;
  if (length >= 12 || !(kWordLengths.byLetter[letter] & (uint32_t(1) << length))) return Word::NAME;
  for (size_t i = kWordLengths.first[letter]; i < std::size(kWords) && kWords[i].text[0] - 'A' == int(letter); ++i)
    if (sameFolded(text, kWords[i].text)) return kWords[i].word;
  return Word::NAME;
}

// The class of a sign of one character; OTHER for any other character.
Word signWord(char c) {
  switch (c) {
    case '(':
      return Word::OPEN;
    case ')':
      return Word::CLOSE;
    case ',':
      return Word::COMMA;
    case '.':
      return Word::DOT;
    case '+':
      return Word::PLUS;
    case '-':
      return Word::MINUS;
    case '*':
      return Word::STAR;
    case '/':
      return Word::SLASH;
    case '=':
    case '<':
    case '>':
      return Word::COMPARE;
    default:
      return Word::OTHER;
  }
}

// The class of a token the translation made (of the string code) by its
// text: a literal, a sign, or a word as above.
Word madeText(const char* text) {
  char c = text[0];
  if (c == '\'' || ((c == 'N' || c == 'n') && text[1] == '\'')) return Word::LITERAL;
  if (c >= '0' && c <= '9') return Word::LITERAL;
  if (c == '.' && text[1] >= '0' && text[1] <= '9') return Word::LITERAL;
  if (!text[1]) {
    Word sign = signWord(c);
    if (sign != Word::OTHER) return sign;
  }
  if ((c == '|' && text[1] == '|' && !text[2])) return Word::CONCAT;
  if ((c == '<' || c == '>' || c == '!' || c == '^' || c == '~') && text[1] == '=' && !text[2]) return Word::COMPARE;
  if (c == '<' && text[1] == '>' && !text[2]) return Word::COMPARE;
  if (std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == '"') return wordText(text);
  return Word::OTHER;
}

bool isNullWord(const astNode* node) {
  if (!node || node->kind != AST_TOKEN) return false;
  auto* token = nodeAs<const astNodeToken>(node);
  return token->tokenCode == T_NULL || (token->text && sameFolded(token->text, "NULL"));
}

}  // namespace

Word wordOf(const astNode* node) {
  if (!node || node->kind != AST_TOKEN) return Word::OTHER;
  auto* token = nodeAs<const astNodeToken>(node);
  const char* text = token->text;
  switch (token->tokenCode) {
    case '(':
    case ')':
    case '.':
    case '+':
    case '-':
    case '*':
    case '/':
      return signWord(static_cast<char>(token->tokenCode));
    case T_COMMA:
      return Word::COMMA;
    case T_CONCAT:
      return Word::CONCAT;
    case T_COMPARISON:
      return Word::COMPARE;
    case T_OR:
      return Word::OR;
    case T_NOT:
      return Word::NOT;
    case T_IS:
      return Word::IS;
    case T_IN:
      return Word::IN;
    case T_CASE:
      return Word::CASE;
    case T_WHEN:
      return Word::WHEN;
    case T_THEN:
      return Word::THEN;
    case T_ELSE:
      return Word::ELSE;
    case T_END:
      return Word::END;
    case T_SELECT:
    case T_WITH:
      return Word::SELECT;
    case T_NULL:
    case T_DIGITS:
    case T_NUMERICNO:
      return Word::LITERAL;
    case T_WORD:
      return text && text[0] ? wordText(text) : Word::OTHER;
    case T_STRING:
      return text && text[0] ? madeText(text) : Word::OTHER;
    case T_FROM:
    case T_WHERE:
    case T_INTO:
    case T_AS:
    case T_ON:
    case T_USING:
    case T_VALUES:
    case T_BY:
    case T_RETURN:
    case T_RETURNING:
    case T_FOR:
    case T_BULK:
    case T_COLLECT:
    case T_UNIQUE:
    case T_UPDATE:
    case T_DELETE:
    case T_INSERT:
    case T_MERGE:
    case T_ARGNAME:
    case T_ASSIGN:
    case T_DOTDOT:
    case T_LOOP:
    case T_IF:
    case T_BEGIN:
    case T_DECLARE:
    case T_TERMINATOR:
    case T_OF:
    case T_START:
    case T_ROW:
      return Word::OTHER;
    default:
      // Other keywords name a column or a field as well (type, index, key);
      // signs and unknown characters stand apart.
      return text && (std::isalpha(static_cast<unsigned char>(text[0])) || text[0] == '_' || text[0] == '"' ||
                      (text[0] == ':' && text[1]))
                 ? Word::NAME
                 : Word::OTHER;
  }
}

void Tree::read(const Tokens& tokens) {
  tokens_ = &tokens;
  words_.resize(tokens.size());
  for (size_t i = 0; i < tokens.size(); ++i) words_[i] = wordOf(tokens[i]);
  nodes_.clear();
  pos_ = 0;
  // The whole list; a stray ")" or END there is an item as any token.
  items(0);
}

int Tree::child(int index, int n) const {
  int c = nodes_[size_t(index)].child;
  while (c >= 0 && n-- > 0) c = nodes_[size_t(c)].next;
  return c;
}

int Tree::childCount(int index) const {
  int count = 0;
  for (int c = nodes_[size_t(index)].child; c >= 0; c = nodes_[size_t(c)].next) ++count;
  return count;
}

int Tree::only(int index) const {
  int first = nodes_[size_t(index)].child;
  if (first < 0 || nodes_[size_t(first)].next >= 0 || nodes_[size_t(first)].kind == Kind::TOKEN) return -1;
  return first;
}

void Tree::append(int index, Tokens& out) const {
  const Node& node = nodes_[size_t(index)];
  out.insert(out.end(), tokens_->begin() + node.begin, tokens_->begin() + node.end);
}

int Tree::callNamedAt(uint32_t at) const {
  for (size_t i = 0; i < nodes_.size(); ++i)
    if (nodes_[i].kind == Kind::CALL && nodes_[i].begin == at) return static_cast<int>(i);
  return -1;
}

const Tree& ListTree::of(const astNodeList* list) {
  if (list_ != list) {
    tokens_.clear();
    for (astListCell* c = list ? list->head : nullptr; c; c = c->next) tokens_.push_back(c->value);
    tree_.read(tokens_);
    list_ = list;
  }
  return tree_;
}

uint32_t ListTree::indexOf(const astListCell* cell) const {
  uint32_t at = 0;
  for (astListCell* c = list_ ? list_->head : nullptr; c && c != cell; c = c->next) ++at;
  return at;
}

int Tree::make(Kind kind, uint32_t begin) {
  Node node;
  node.kind = kind;
  node.begin = node.end = node.at = begin;
  nodes_.push_back(node);
  return static_cast<int>(nodes_.size() - 1);
}

void Tree::link(int parent, int& last, int node) {
  if (last < 0)
    nodes_[size_t(parent)].child = node;
  else
    nodes_[size_t(last)].next = node;
  last = node;
}

// Items up to a stop (not taken) or the end of the tokens. A stop that the
// caller does not look for is an item as any other token.
int Tree::items(unsigned stops) {
  deep_walk_check();
  int node = make(Kind::ITEMS, pos_);
  int last = -1;
  while (pos_ < tokens_->size()) {
    Word word = at(pos_);
    if ((word == Word::CLOSE && (stops & AT_CLOSE)) || (word == Word::COMMA && (stops & AT_COMMA)) ||
        (word == Word::END && (stops & AT_END)))
      break;
    int item = expression();
    if (item < 0) {
      item = make(Kind::TOKEN, pos_);
      nodes_[size_t(item)].end = ++pos_;
    }
    link(node, last, item);
  }
  nodes_[size_t(node)].end = pos_;
  return node;
}

int Tree::binary(Op op, int left, int right, uint32_t at) {
  int node = make(Kind::BINARY, nodes_[size_t(left)].begin);
  nodes_[size_t(node)].op = op;
  nodes_[size_t(node)].at = at;
  nodes_[size_t(node)].child = left;
  nodes_[size_t(left)].next = right;
  nodes_[size_t(node)].end = nodes_[size_t(right)].end;
  return node;
}

int Tree::expression() {
  deep_walk_check();
  return climb(kOr);
}

// The binary operator at `at` and its level; NOT before LIKE, BETWEEN and
// IN counts with them.
Tree::Level Tree::binaryLevel(uint32_t at, Op* op) const {
  switch (this->at(at)) {
    case Word::OR:
      *op = Op::OR;
      return kOr;
    case Word::AND:
      *op = Op::AND;
      return kAnd;
    case Word::COMPARE:
      *op = Op::COMPARE;
      return kComparison;
    case Word::LIKE:
      *op = Op::LIKE;
      return kComparison;
    case Word::BETWEEN:
      *op = Op::BETWEEN;
      return kComparison;
    case Word::IN:
      *op = Op::IN;
      return kComparison;
    case Word::IS:
      *op = Op::IS_NULL;
      return kComparison;
    case Word::NOT: {
      Word next = this->at(at + 1);
      if (next != Word::LIKE && next != Word::BETWEEN && next != Word::IN) return kNone;
      binaryLevel(at + 1, op);
      return kComparison;
    }
    case Word::PLUS:
      *op = Op::ADD;
      return kAdditive;
    case Word::MINUS:
      *op = Op::SUBTRACT;
      return kAdditive;
    case Word::CONCAT:
      *op = Op::CONCAT;
      return kAdditive;
    case Word::STAR:
      *op = Op::MULTIPLY;
      return kMultiplicative;
    case Word::SLASH:
      *op = Op::DIVIDE;
      return kMultiplicative;
    default:
      return kNone;
  }
}

// Operators of `least` and tighter, left to right: each level's right
// operand is read at the level above it, so that a level's operators group
// from the left; NOT stands before its operand at its own level.
int Tree::climb(Level least) {
  int left;
  if (at(pos_) == Word::NOT && least <= kNot) {
    deep_walk_check();
    uint32_t op = pos_++;
    int operand = climb(kNot);
    if (operand < 0) {
      pos_ = op;
      return -1;
    }
    left = make(Kind::UNARY, op);
    nodes_[size_t(left)].op = Op::NOT;
    nodes_[size_t(left)].child = operand;
    nodes_[size_t(left)].end = nodes_[size_t(operand)].end;
  } else {
    left = unary();
  }
  while (left >= 0) {
    Op op = Op::NONE;
    uint32_t start = pos_;
    Level level = binaryLevel(start, &op);
    if (level == kNone || level < least) break;
    bool negated = at(start) == Word::NOT;
    uint32_t word = negated ? start + 1 : start;
    if (op == Op::IS_NULL) {
      // IS [NOT] NULL
      uint32_t null = at(word + 1) == Word::NOT ? word + 2 : word + 1;
      if (!isNullWord(token(null))) break;
      int node = make(Kind::UNARY, nodes_[size_t(left)].begin);
      nodes_[size_t(node)].op = Op::IS_NULL;
      nodes_[size_t(node)].negated = null == word + 2;
      nodes_[size_t(node)].at = word;
      nodes_[size_t(node)].child = left;
      nodes_[size_t(node)].end = pos_ = null + 1;
      left = node;
      continue;
    }
    pos_ = word + 1;
    int right = climb(Level(level + 1));
    if (right < 0) {
      pos_ = start;
      break;
    }
    int third = -1;
    if (op == Op::BETWEEN || op == Op::LIKE) {
      Word joint = op == Op::BETWEEN ? Word::AND : Word::ESCAPE;
      if (at(pos_) == joint) {
        uint32_t back = pos_++;
        third = climb(kAdditive);
        if (third < 0) pos_ = back;
      }
      if (op == Op::BETWEEN && third < 0) {
        pos_ = start;
        break;
      }
    }
    left = binary(op, left, right, word);
    nodes_[size_t(left)].negated = negated;
    if (third >= 0) {
      nodes_[size_t(right)].next = third;
      nodes_[size_t(left)].end = nodes_[size_t(third)].end;
    }
  }
  return left;
}

int Tree::unary() {
  Word word = at(pos_);
  Op op = word == Word::MINUS ? Op::NEGATE : word == Word::PLUS ? Op::PLUS : word == Word::PRIOR ? Op::PRIOR : Op::NONE;
  if (op == Op::NONE) return power();
  deep_walk_check();
  uint32_t at = pos_++;
  int operand = unary();
  if (operand < 0) {
    pos_ = at;
    return -1;
  }
  int node = make(Kind::UNARY, at);
  nodes_[size_t(node)].op = op;
  nodes_[size_t(node)].child = operand;
  nodes_[size_t(node)].end = nodes_[size_t(operand)].end;
  return node;
}

// a ** b ** c is a ** (b ** c); the exponent may carry a sign.
int Tree::power() {
  int base = postfix();
  if (base < 0 || at(pos_) != Word::STAR || at(pos_ + 1) != Word::STAR) return base;
  deep_walk_check();
  uint32_t at = pos_;
  pos_ += 2;
  int exponent = unary();
  if (exponent < 0) {
    pos_ = at;
    return base;
  }
  return binary(Op::POWER, base, exponent, at);
}

// A primary, then a call's members: f(x).y, t(i).m(j).
int Tree::postfix() {
  int node = primary();
  while (node >= 0 && (nodes_[size_t(node)].kind == Kind::CALL || nodes_[size_t(node)].kind == Kind::MEMBER) &&
         nodes_[size_t(node)].closed && at(pos_) == Word::DOT && at(pos_ + 1) == Word::NAME) {
    uint32_t dot = pos_++;
    int member = name();
    int outer = make(Kind::MEMBER, nodes_[size_t(node)].begin);
    nodes_[size_t(outer)].at = dot;
    nodes_[size_t(outer)].child = node;
    nodes_[size_t(node)].next = member;
    nodes_[size_t(outer)].end = nodes_[size_t(member)].end;
    node = outer;
  }
  return node;
}

// A name with its parts (a . b . c, t . *), and its arguments when "("
// follows.
int Tree::name() {
  int node = make(Kind::NAME, pos_);
  ++pos_;
  while (at(pos_) == Word::DOT && (at(pos_ + 1) == Word::NAME || at(pos_ + 1) == Word::STAR)) pos_ += 2;
  nodes_[size_t(node)].end = pos_;
  if (at(pos_) != Word::OPEN) return node;
  return arguments(Kind::CALL, node);
}

// "(" elements ")": of a call (after its name) or of a group.
int Tree::arguments(Kind kind, int callee) {
  deep_walk_check();
  int node = make(kind, callee >= 0 ? nodes_[size_t(callee)].begin : pos_);
  nodes_[size_t(node)].at = pos_++;
  int last = -1;
  if (callee >= 0) link(node, last, callee);
  bool query = kind == Kind::GROUP && at(pos_) == Word::SELECT;
  if (query) {
    int select = make(Kind::QUERY, pos_);
    int content = items(AT_CLOSE);
    nodes_[size_t(select)].child = content;
    nodes_[size_t(select)].end = pos_;
    int element = make(Kind::ITEMS, nodes_[size_t(select)].begin);
    nodes_[size_t(element)].child = select;
    nodes_[size_t(element)].end = pos_;
    link(node, last, element);
  } else if (at(pos_) != Word::CLOSE) {
    for (;;) {
      link(node, last, items(AT_CLOSE | AT_COMMA));
      if (at(pos_) != Word::COMMA) break;
      ++pos_;
    }
  }
  nodes_[size_t(node)].closed = at(pos_) == Word::CLOSE;
  if (nodes_[size_t(node)].closed) ++pos_;
  nodes_[size_t(node)].end = pos_;
  return node;
}

int Tree::primary() {
  switch (at(pos_)) {
    case Word::OPEN:
      return arguments(Kind::GROUP, -1);
    case Word::NAME:
      return name();
    case Word::LITERAL: {
      int node = make(Kind::LITERAL, pos_);
      nodes_[size_t(node)].end = ++pos_;
      return node;
    }
    case Word::CASE: {
      deep_walk_check();
      int node = make(Kind::CASE, pos_++);
      // A CASE that its END does not close ends at the group around it.
      nodes_[size_t(node)].child = items(AT_END | AT_CLOSE);
      nodes_[size_t(node)].closed = at(pos_) == Word::END;
      if (nodes_[size_t(node)].closed) ++pos_;
      nodes_[size_t(node)].end = pos_;
      return node;
    }
    case Word::EXISTS:
    case Word::QUANTIFIER: {
      if (at(pos_ + 1) != Word::OPEN) return -1;
      int node = make(Kind::UNARY, pos_);
      nodes_[size_t(node)].op = at(pos_) == Word::EXISTS ? Op::EXISTS : Op::QUANTIFIER;
      ++pos_;
      int group = arguments(Kind::GROUP, -1);
      nodes_[size_t(node)].child = group;
      nodes_[size_t(node)].end = nodes_[size_t(group)].end;
      return node;
    }
    case Word::SELECT: {
      // A query that stands alone (a cursor's, a subquery's first token
      // taken as the list's own): its items to the end.
      return -1;
    }
    default:
      return -1;
  }
}

}  // namespace expr

// The expression reader: PL/SQL's precedence and associativity, calls,
// groups, CASE and subqueries, over the tokens the scanner makes and those
// the translation makes of a text; and a broken list, as a recovered
// syntax error leaves it, read to its end; the parts of a list between
// its commas, as the spans split arguments and selected values; and the
// type a value of the tree gives the later results of NVL, NVL2 and DECODE.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "expression_tree.h"
#include "functions.h"
#include "parser_test_util.h"
#include "rewrite_internal.h"
#include "token_spans.h"

namespace {

using expr::Kind;
using expr::Tree;

std::string texts(const Tree& tree, uint32_t from, uint32_t to, const char* between) {
  std::string out;
  for (uint32_t i = from; i < to; ++i) {
    const astNode* token = tree.token(i);
    if (i > from) out += between;
    out += token && token->kind == AST_TOKEN ? nodeAs<const astNodeToken>(token)->text : "?";
  }
  return out;
}

// The tree as a nested list: (operator operands...), a call as
// (name arguments...), a group as (( elements...), a CASE as (CASE items...);
// a loose token in brackets; "!" marks what its ")" or END does not close.
std::string shape(const Tree& tree, int node) {
  const expr::Node& n = tree[node];
  std::string out;
  auto children = [&](int first) {
    for (int c = first; c >= 0; c = tree[c].next) out += " " + shape(tree, c);
  };
  switch (n.kind) {
    case Kind::ITEMS:
      for (int c = n.child; c >= 0; c = tree[c].next) out += (c == n.child ? "" : " ") + shape(tree, c);
      return tree.childCount(node) == 1 ? out : "{" + out + "}";
    case Kind::TOKEN:
      return "[" + texts(tree, n.begin, n.end, " ") + "]";
    case Kind::NAME:
    case Kind::LITERAL:
      return texts(tree, n.begin, n.end, "");
    case Kind::CALL:
      out = "(" + shape(tree, n.child);
      children(tree[n.child].next);
      break;
    case Kind::GROUP:
      out = "((";
      children(n.child);
      break;
    case Kind::QUERY:
      return "(QUERY " + shape(tree, n.child) + ")";
    case Kind::CASE:
      out = "(CASE";
      children(n.child);
      break;
    case Kind::MEMBER:
      out = "(.";
      children(n.child);
      break;
    case Kind::UNARY:
      out = "(" + (n.op == expr::Op::IS_NULL ? texts(tree, n.at, n.end, " ") : texts(tree, n.begin, n.begin + 1, ""));
      children(n.child);
      break;
    case Kind::BINARY:
      out = "(" + texts(tree, n.negated ? n.at - 1 : n.at, n.op == expr::Op::POWER ? n.at + 2 : n.at + 1, "");
      children(n.child);
      break;
  }
  return out + (n.closed ? ")" : "!)");
}

std::string madeShape(const char* text) {
  ensureTestPool();
  expr::Tokens tokens = spans::nodesOf(listCells(rewrite::madeTokens(text, 1)));
  Tree tree(tokens);
  return shape(tree, tree.root());
}

// The tokens of the value of `x := text;` as the scanner and the parser
// give them; false when the text makes no such value.
bool scannedTokens(const char* text, expr::Tokens* tokens) {
  std::string source = std::string("BEGIN x := ") + text + "; END;\n";
  ParsedSource* parsed = parseText(source.c_str());
  auto* block = parsed->accepted ? nodeAs<astNodeBlock>(parsed->unit(0)) : nullptr;
  auto* assign = block ? nodeAs<astNodeAssign>(listFirst(block->body)) : nullptr;
  if (!assign || assign->kind != AST_ASSIGN || !assign->expr || assign->expr->kind != AST_LIST) return false;
  *tokens = spans::nodesOf(listCells(nodeAs<astNodeList>(assign->expr)));
  return true;
}

std::string scannedShape(const char* text) {
  expr::Tokens tokens;
  if (!scannedTokens(text, &tokens)) return "<no value>";
  Tree tree(tokens);
  return shape(tree, tree.root());
}

struct Case {
  const char* text;
  const char* shape;
  bool scannedOnly = false;  // made text has no dot of its own after ")"
};

TEST(ExpressionTree, PrecedenceAndAssociativity) {
  const Case cases[] = {
      {"a + b * c", "(+ a (* b c))"},
      {"a * b + c", "(+ (* a b) c)"},
      {"a - b - c", "(- (- a b) c)"},
      {"a / b / c", "(/ (/ a b) c)"},
      {"a || b + c", "(+ (|| a b) c)"},
      // ** binds right, and tighter than a sign.
      {"2 ** 3 ** 2", "(** 2 (** 3 2))"},
      {"- a ** 2", "(- (** a 2))"},
      {"a ** - b * c", "(* (** a (- b)) c)"},
      {"a / b ** c", "(/ a (** b c))"},
      {"a = 1 OR b < 2 AND NOT c IS NULL", "(OR (= a 1) (AND (< b 2) (NOT (IS NULL c))))"},
      {"x BETWEEN 1 AND y + 1 AND z", "(AND (BETWEEN x 1 (+ y 1)) z)"},
      {"s NOT LIKE 'a%' ESCAPE '!'", "(NOTLIKE s 'a%' '!')"},
      {"x NOT IN (1, 2) OR x IS NOT NULL", "(OR (NOTIN x (( 1 2)) (IS NOT NULL x))"},
      {"f(a, b + 1) * (c)", "(* (f a (+ b 1)) (( c))"},
      {"CASE WHEN a > 0 THEN b ELSE c END / 2", "(/ (CASE {[WHEN] (> a 0) [THEN] b [ELSE] c}) 2)"},
      {"(SELECT a / b FROM t) + 1", "(+ (( (QUERY {[SELECT] (/ a b) [FROM] t})) 1)"},
      {"t(i).f + v(1).m(2)", "(+ (. (t i) f) (. (v 1) (m 2)))", true},
      {"EXISTS (SELECT 1 FROM dual) AND x = ANY (1, 2)",
       "(AND (EXISTS (( (QUERY {[SELECT] 1 [FROM] dual}))) (= x (ANY (( 1 2))))"},
      {"POWER(x, 2) / MOD(a, b)", "(/ (POWER x 2) (MOD a b))"},
  };
  for (const Case& c : cases) {
    if (!c.scannedOnly) {
      EXPECT_EQ(madeShape(c.text), c.shape) << c.text;
    }
    EXPECT_EQ(scannedShape(c.text), c.shape) << c.text;
  }
}

// A list that a syntax error left: every token is read once, and what does
// not close ends with the list.
TEST(ExpressionTree, BrokenListsReadToTheirEnd) {
  const Case cases[] = {
      {"f(a, (b + 1", "(f a (( (+ b 1)!)!)"},
      {") a + b (", "{[)] (+ a (b {}!))}"},
      {"CASE WHEN a THEN b", "(CASE {[WHEN] a [THEN] b}!)"},
      {"(CASE WHEN a THEN b) END", "{(( (CASE {[WHEN] a [THEN] b}!)) [END]}"},
      {"a + ) * b", "{a [+] [)] [*] b}"},
      {"a ** ** b", "{a [*] [*] [*] [*] b}"},
      {"/ 2 , NOT", "{[/] 2 [,] [NOT]}"},
      {"a BETWEEN 1", "{a [BETWEEN] 1}"},
  };
  for (const Case& c : cases) EXPECT_EQ(madeShape(c.text), c.shape) << c.text;
}

// After a string result of NVL, NVL2 or DECODE, a numeric literal is the
// string of PL/SQL's text of it; another number is marked; the rest stay.
TEST(ExpressionTree, LaterResultsOfAStringResult) {
  const struct {
    const char* call;
    std::vector<std::string> texts;
  } cases[] = {
      {"NVL('a', 0)", {"", "'0'"}},
      {"NVL('a', 007.50)", {"", "'7.5'"}},
      {"NVL('a', -0.50)", {"", "'-.5'"}},
      {"NVL('a', -0)", {"", "'0'"}},
      {"NVL('a', +3)", {"", "'3'"}},
      {"NVL('a', (5.))", {"", "'5'"}},
      {"NVL('a', 1e3)", {"", kNumberValue}},
      {"NVL('a', 1 + 2)", {"", kNumberValue}},
      {"NVL('a', 'b')", {"", ""}},
      {"NVL(1, 2)", {"", ""}},
      {"NVL2(x, 'a' || y, 10)", {"", "", "'10'"}},
      {"DECODE(x, 1, 'a', 2, 2.0, 3)", {"", "", "", "", "'2'", "'3'"}},
      {"DECODE(x, 1, 2, 'b')", {"", "", "", ""}},
  };
  for (const auto& c : cases) {
    expr::Tokens tokens;
    ASSERT_TRUE(scannedTokens(c.call, &tokens)) << c.call;
    Tree tree(tokens);
    int call = tree.only(tree.root());
    ASSERT_GE(call, 0) << c.call;
    const BuiltinFunction* row = builtinNamed(spans::textOf(tree.firstToken(call)));
    ASSERT_NE(row, nullptr) << c.call;
    EXPECT_EQ(stringResults(tree, call, *row, nullptr), c.texts) << c.call;
  }
}

// Each part as its tokens, the parts joined by "|"; the walk stops after
// the part that `stopAt` names (0 for none).
std::string commaParts(const char* text, size_t stopAt = 0) {
  ensureTestPool();
  astNodeList* list = rewrite::madeTokens(text, 1);
  std::string out;
  size_t index = 0;
  spans::eachCommaPart(listCells(list), nullptr, [&](astListCell* first, astListCell* last, size_t count) {
    std::vector<astNode*> part = first ? spans::nodesOf(first, last->next) : std::vector<astNode*>();
    EXPECT_EQ(part.size(), count) << text;
    out += (index ? "|" : "");
    for (size_t k = 0; k < part.size(); ++k) out += (k ? " " : "") + std::string(spans::textOf(part[k]));
    return ++index != stopAt;
  });
  return out;
}

TEST(TokenSpans, CommaPartsOutsideGroups) {
  const Case cases[] = {
      {"a, f(b, c), (d, e)", "a|f ( b , c )|( d , e )"},
      {"n => 1, , m", "n => 1||m"},
      {"a, ", "a|"},
      {"", ""},
      // A ")" that closes nothing keeps the commas after it.
      {"a ) , b, c", "a ) , b , c"},
  };
  for (const Case& c : cases) EXPECT_EQ(commaParts(c.text), c.shape) << c.text;
  EXPECT_EQ(commaParts("a, b, c", 2), "a|b");
}

}  // namespace

// Per-kind lookup in the row tables that ast_kinds.def fills (children to
// walk or rewrite, dump fields, drawing records, reports).
#pragma once

#include <span>

#include "ast.h"

// A child of a node, read from a field of its kind's record: the rows of
// AST_WALK and AST_REWRITE.
struct KindChild {
  int kind;
  astNode* (*get)(astNode* node);
};

#define KIND_CHILD_ROW(kind, field) {kind, [](astNode* n) -> astNode* { return nodeAs<astRecordOf<kind>>(n)->field; }},

// Where the rows of each kind start in a table whose rows carry a `kind` and
// are grouped by kind, kinds in increasing order; the rows of kind k end
// where those of k + 1 start. Made at compile time: a table out of order
// does not compile.
template <class Row, int N>
class KindIndex {
 public:
  constexpr explicit KindIndex(const Row (&rows)[N]) : rows_(rows), first_() {
    static_assert(N < 0x8000, "the table's places must fit a short");
    for (int at = 1; at < N; ++at)
      if (rows[at].kind < rows[at - 1].kind)
        throw "ast_kinds.def must list the rows of a kind together, kinds in order";
    for (int kind = 0, at = 0; kind <= AST_KIND_COUNT; ++kind) {
      while (at < N && rows[at].kind < kind) ++at;
      first_[kind] = static_cast<short>(at);
    }
  }

  // The rows of a kind, in table order; none for a number that is no kind.
  constexpr std::span<const Row> rowsOf(int kind) const {
    if (!isKindNumber(kind)) return {};
    return {rows_ + first_[kind], rows_ + first_[kind + 1]};
  }

  // For tables that give a kind one row at most (a record, a report).
  constexpr bool oneRowAtMostPerKind() const {
    for (int kind = 0; kind < AST_KIND_COUNT; ++kind)
      if (first_[kind + 1] - first_[kind] > 1) return false;
    return true;
  }

 private:
  const Row* rows_;
  short first_[AST_KIND_COUNT + 1];
};

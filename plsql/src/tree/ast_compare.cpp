// The comparison of two subtrees as the source writes them, by the fields
// of the XML dump (ast_kinds.def).
#include <strings.h>

#include <cstring>
#include <type_traits>
#include <utility>
#include <vector>

#include "ast.h"
#include "kind_index.h"

namespace {

// Two subtrees waiting to be compared.
using SourcePairs = std::vector<std::pair<const astNode*, const astNode*>>;

// Two texts the source writes alike: words in any case, quoted text exactly.
bool sameWritten(const char* a, const char* b) {
  if (!a || !b) return a == b;
  return std::strpbrk(a, "'\"") ? std::strcmp(a, b) == 0 : strcasecmp(a, b) == 0;
}

template <class F>
bool sameField(F a, F b, SourcePairs* pending) {
  if constexpr (std::is_pointer_v<F> && std::is_base_of_v<astNode, std::remove_pointer_t<F>>) {
    pending->push_back({a, b});
    return true;
  } else if constexpr (std::is_same_v<F, char*>) {
    return sameWritten(a, b);
  } else {
    return a == b;
  }
}

// The fields the XML dump writes of each kind, as comparisons.
struct SourceField {
  int kind;
  bool (*same)(const astNode* a, const astNode* b, SourcePairs* pending);
};

constexpr SourceField kSourceFields[] = {
#define AST_DUMP(kind, field, xmlName, writer)                                              \
  {kind, [](const astNode* a, const astNode* b, SourcePairs* pending) {                    \
     return sameField(nodeAs<const astRecordOf<kind>>(a)->field, nodeAs<const astRecordOf<kind>>(b)->field, pending); \
   }},
#include "ast_kinds.def"
};

constexpr KindIndex kSourceIndex(kSourceFields);

}  // namespace

bool astSameSource(const astNode* a, const astNode* b) {
  // The pairs wait on the heap: a deep tree needs no deep native stack.
  SourcePairs pending{{a, b}};
  while (!pending.empty()) {
    auto [x, y] = pending.back();
    pending.pop_back();
    if (!x || !y) {
      if (x != y) return false;
      continue;
    }
    if (x->kind != y->kind) return false;
    // The dump leaves out a statement's label, which a jump may name.
    if (isStatement(x) &&
        !sameWritten(nodeAs<const astNodeStatement>(x)->label, nodeAs<const astNodeStatement>(y)->label))
      return false;
    if (x->kind == AST_LIST) {
      auto* lx = nodeAs<const astNodeList>(x);
      auto* ly = nodeAs<const astNodeList>(y);
      if (lx->count != ly->count) return false;
      for (const astListCell *cx = lx->head, *cy = ly->head; cx || cy; cx = cx->next, cy = cy->next) {
        if (!cx || !cy) return false;
        pending.push_back({cx->value, cy->value});
      }
    } else if (x->kind == AST_TOKEN) {
      auto* tx = nodeAs<const astNodeToken>(x);
      auto* ty = nodeAs<const astNodeToken>(y);
      if (tx->tokenCode != ty->tokenCode || !sameWritten(tx->text, ty->text)) return false;
    } else {
      for (const SourceField& field : kSourceIndex.rowsOf(x->kind))
        if (!field.same(x, y, &pending)) return false;
    }
  }
  return true;
}

// The walk of astWalkAroundSkipping as a template over a visitor, for walks
// whose callbacks the compiler should see: visitor.enter(node) and
// visitor.leave(node) around each node's children, which it takes from the
// walk rows of ast_kinds.def, leaving out the child skip(node) gives (a node
// the walk meets elsewhere). With ListTokens, each token of a list goes to
// visitor.token(token, next) alone, with the element after it (null at the
// end): tokens are most of a tree's nodes, and a list's next element is at
// hand only there.
#pragma once

#include <span>

#include "ast.h"
#include "deep_walk.h"
#include "kind_index.h"

// The children the walks visit of a node of `kind`, in visiting order.
std::span<const KindChild> astWalkChildren(int kind);

template <bool ListTokens, class Visitor, class Skip>
void astWalkAroundWith(astNode* node, Visitor& visitor, Skip& skip) {
  if (!node || !(astKindTraits(node->kind) & KIND_WALKED)) return;
  deep_walk_check();
  visitor.enter(node);
  if (node->kind == AST_LIST) {
    for (astListCell* c = nodeAs<astNodeList>(node)->head; c; c = c->next) {
      if (ListTokens && c->value && c->value->kind == AST_TOKEN)
        visitor.token(nodeAs<astNodeToken>(c->value), c->next ? c->next->value : nullptr);
      else
        astWalkAroundWith<ListTokens>(c->value, visitor, skip);
    }
  } else if (auto children = astWalkChildren(node->kind); !children.empty()) {
    // A token has no children: most nodes ask nothing of skip.
    astNode* skipped = skip(node);
    for (const KindChild& child : children) {
      astNode* part = child.get(node);
      if (!skipped || part != skipped) astWalkAroundWith<ListTokens>(part, visitor, skip);
    }
  }
  visitor.leave(node);
}

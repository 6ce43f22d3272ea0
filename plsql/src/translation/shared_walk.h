// One walk over the rewritten tree that several passes share: each pass
// brings a collector with enter(node) and leave(node), and the walk calls
// them all at each node, in order; a token of a list goes to token(token,
// next) alone, with the element after it. The walk meets what the emitter writes
// in the place of a stand-in (a FOR loop's expansion, RAISE's block) where
// the node itself holds it, so each node of the source is met once.
#pragma once

#include <tuple>

#include "ast_walk.h"
#include "rewrite_internal.h"

template <class... Collectors>
void walkShared(astNode* root, Collectors&... collectors) {
  struct All {
    std::tuple<Collectors&...> collectors;
    void enter(astNode* node) {
      std::apply([node](auto&... c) { (c.enter(node), ...); }, collectors);
    }
    void leave(astNode* node) {
      std::apply([node](auto&... c) { (c.leave(node), ...); }, collectors);
    }
    void token(astNodeToken* token, astNode* next) {
      std::apply([token, next](auto&... c) { (c.token(token, next), ...); }, collectors);
    }
  } all{{collectors...}};
  auto skip = [](astNode* node) { return rewrite::standInOf(node); };
  astWalkAroundWith<true>(root, all, skip);
}

// Reading the trees the parser builds, for the tests that look at nodes: a
// node's production, its words by position or name, and its right-hand
// symbols (child nodes, the lexeme numbers that tokens leave), as the
// generated shapes describe them.
#ifndef QEN_ANALYZER_TREE_READER_H
#define QEN_ANALYZER_TREE_READER_H

#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

#include "gn_nodes.h"

namespace qen_test {

inline const char* production_text(const st_node* n) { return gn_production_descriptors[n->production].text; }

inline const gn_shape& shape_of(const st_node* n) { return gn_production_shapes[n->production]; }

inline ag_word slot_word(const st_node* n, const gn_slot& s) {
  const char* at = reinterpret_cast<const char*>(n) + s.offset;
  switch (s.kind) {
    case GN_SLOT_INT:
    case GN_SLOT_LEXEME: {
      int32_t v;
      memcpy(&v, at, sizeof v);
      return v;
    }
    case GN_SLOT_WORD:
    case GN_SLOT_NODE: {
      ag_word v;
      memcpy(&v, at, sizeof v);
      return v;
    }
    case GN_SLOT_NONE:
      break;
  }
  return 0;
}

// One right-hand symbol of a node: a child node, a token that leaves its
// lexeme number, or a symbol that leaves nothing (a token without a lexeme
// number, the error symbol).
struct tree_child {
  std::string symbol;
  gn_slot_kind kind;
  const st_node* node;  // GN_SLOT_NODE only
  int lexeme;           // GN_SLOT_LEXEME only, else -1
};

inline std::vector<tree_child> children_of(const st_node* n) {
  std::vector<tree_child> out;
  const gn_shape& shape = shape_of(n);
  for (int i = 0; i < shape.child_count; ++i) {
    const gn_slot& s = gn_shape_children(&shape)[i];
    tree_child c{gn_slot_name(&s), static_cast<gn_slot_kind>(s.kind), nullptr, -1};
    if (s.kind == GN_SLOT_NODE) c.node = reinterpret_cast<const st_node*>(slot_word(n, s));
    if (s.kind == GN_SLOT_LEXEME) c.lexeme = static_cast<int>(slot_word(n, s));
    out.push_back(c);
  }
  return out;
}

// The node's words as declared (in and out left out), then its local words.
inline std::vector<ag_word> words_of(const st_node* n) {
  std::vector<ag_word> out;
  const gn_shape& shape = shape_of(n);
  for (int i = 0; i < shape.word_count; ++i) out.push_back(slot_word(n, gn_shape_words(&shape)[i]));
  return out;
}

// The word of that name; fails the test when the node has none.
inline ag_word word_of(const st_node* n, const std::string& name) {
  const gn_shape& shape = shape_of(n);
  for (int i = 0; i < shape.word_count; ++i)
    if (name == gn_slot_name(&gn_shape_words(&shape)[i])) return slot_word(n, gn_shape_words(&shape)[i]);
  ADD_FAILURE() << production_text(n) << " has no word " << name;
  return 0;
}

// Calls fn(node) for n and every node below it, depth first, left to
// right; stops and returns the node for which fn returned true.
template <class Fn>
const st_node* find_node_if(const st_node* n, Fn fn) {
  if (n == nullptr) return nullptr;
  if (fn(n)) return n;
  for (const tree_child& c : children_of(n))
    if (const st_node* f = find_node_if(c.node, fn)) return f;
  return nullptr;
}

// The lexeme number of the first token of that terminal under n, depth
// first; -1 when there is none (or it leaves no lexeme number).
inline int first_lexeme(const st_node* n, const std::string& terminal) {
  if (n == nullptr) return -1;
  for (const tree_child& c : children_of(n)) {
    if (c.kind == GN_SLOT_LEXEME && c.symbol == terminal) return c.lexeme;
    int found = first_lexeme(c.node, terminal);
    if (found >= 0) return found;
  }
  return -1;
}

}  // namespace qen_test

#endif

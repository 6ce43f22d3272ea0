#ifndef QEN_ANALYZER_GN_CHILD_WORDS_H
#define QEN_ANALYZER_GN_CHILD_WORDS_H

/* Reading words of children from grammar code (include after gn_nodes.h).
 *
 * Some nonterminals that a production reads from are declared by other
 * areas of the grammar, and some of those carry a word only once their area
 * has its semantics. These helpers read the word when the child's node has
 * it and fall back to what the word is defined to hold otherwise, so that
 * a reader does not depend on the order in which the areas get their
 * semantics. */

#include "gn_nodes.h"

/* True for the leaf of a terminal (its descriptor is a terminal's). */
inline bool gn_is_leaf(const void* node) {
  const st_production* d = static_cast<const st_node*>(node)->descriptor;
  return d >= gn_terminal_descriptors && d < gn_terminal_descriptors + GN_TERMINAL_COUNT;
}

/* Child k (0-based) of a nonterminal's node, by the node shape tables. */
inline void* gn_child_at(const void* node, int k) {
  const st_production* d = static_cast<const st_node*>(node)->descriptor;
  long index = d - gn_production_descriptors;
  const ag_word* words = reinterpret_cast<const ag_word*>(node);
  return reinterpret_cast<void*>(words[gn_production_child_offset[index] + k]);
}

inline int gn_child_count(const void* node) {
  const st_production* d = static_cast<const st_node*>(node)->descriptor;
  return gn_production_child_count[d - gn_production_descriptors];
}

/* Lexeme number of a name (an Identifier_Or_Name, Name_Or_Id or
 * Name_Or_Id_Usual node): the lexeme of its one token. Every terminal that
 * can stand there keeps its lexeme number in its leaf. */
inline ag_word gn_name_lexeme_walk(const void* node) {
  while (node != nullptr && !gn_is_leaf(node)) {
    if (gn_child_count(node) == 0) return 0;
    node = gn_child_at(node, 0);
  }
  return node != nullptr ? static_cast<const gn_leaf2*>(node)->lexeme : 0;
}

template <class Name>
inline ag_word gn_name_lexeme(Name* n) {
  if constexpr (requires { n->lexeme; })
    return n->lexeme;
  else
    return gn_name_lexeme_walk(n);
}

/* Text of a name as written (quotes and brackets kept). */
template <class Name>
inline ag_word gn_name_text(Name* n) {
  return gn_call(lexeme_text_, gn_name_lexeme(n));
}

/* Name record of a dotted procedure name, taken at construction: the
 * parts are gathered into a new vector by evaluating the name at once; the
 * last three parts make the record. */
inline ag_word gn_procedure_name_record(gn_N_Procedure_Name_Base* base) {
  ag_word parts = gn_call(spv_new, 0);
  gn_visit(base, parts);
  return gn_call(name_from_parts, parts);
}

/* The switch word of a statement (0 for a child that carries none). */
template <class Node>
inline ag_word gn_switch_word(Node* n) {
  if constexpr (requires { n->switch_word; })
    return n->switch_word;
  else
    return 0;
}

#endif

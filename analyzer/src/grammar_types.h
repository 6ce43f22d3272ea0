#ifndef QEN_ANALYZER_GRAMMAR_TYPES_H
#define QEN_ANALYZER_GRAMMAR_TYPES_H

/* Production descriptors and tree nodes, shared by the generated grammar
 * code, the parser and the scanner's leaf table. */

#include "ag_context.h"
#include "ag_word.h"
#include <stdint.h>

typedef struct st_node st_node;

/* Evaluation procedure of a production: one visit of a node, given the
 * state and giving back the state. */
typedef ag_word (*st_eval_proc)(st_node* node, ag_word in);

/* Identity of a node's production. */
typedef struct st_production {
  const char* text;       /* "Lhs Rhs1 Rhs2 ;" */
  st_eval_proc procedure; /* null for nonterminals that are not evaluated */
} st_production;

/* Every node begins with the number of its production (its descriptor's
 * index); the words that follow depend on the production (see the
 * generated gn_nodes.h). */
struct st_node {
  uint32_t production;
};

/* Where a node keeps one word or one child (see gn_production_shapes). */
typedef enum gn_slot_kind {
  GN_SLOT_WORD,   /* a pointer-sized word */
  GN_SLOT_INT,    /* a 32-bit word */
  GN_SLOT_NODE,   /* a nonterminal's node */
  GN_SLOT_LEXEME, /* a token's lexeme number, 32 bits */
  GN_SLOT_NONE    /* a token without lexeme number, or the error symbol: no slot */
} gn_slot_kind;

typedef struct gn_slot {
  const char* name;      /* the word's name, or the right-hand symbol */
  unsigned short offset; /* bytes from the node's start */
  gn_slot_kind kind;
} gn_slot;

typedef struct gn_shape {
  unsigned char word_count;
  unsigned char child_count;
  const gn_slot* words;
  const gn_slot* children;
} gn_shape;

#endif

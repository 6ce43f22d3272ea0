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
  unsigned short name;   /* the word's name, or the right-hand symbol: an offset in gn_slot_names */
  unsigned short offset; /* bytes from the node's start */
  unsigned char kind;    /* gn_slot_kind */
} gn_slot;

/* A production's slots lie together in gn_slots: its words, then one slot
 * per right-hand symbol. Offsets instead of pointers keep the tables free
 * of relocations, so that they cost a program nothing until read. */
typedef struct gn_shape {
  unsigned short first; /* index of its first slot */
  unsigned char word_count;
  unsigned char child_count;
} gn_shape;

#endif

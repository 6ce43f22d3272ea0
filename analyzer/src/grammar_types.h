#ifndef QEN_ANALYZER_GRAMMAR_TYPES_H
#define QEN_ANALYZER_GRAMMAR_TYPES_H

/* Production descriptors and tree nodes, shared by the generated grammar
 * code, the parser and the scanner's leaf table. */

#include "ag_context.h"
#include "ag_word.h"

typedef struct st_node st_node;

/* Evaluation procedure of a production: one visit of a node. */
typedef void (*st_eval_proc)(st_node* node);

/* Identity of a node's production (or of a leaf's terminal). */
typedef struct st_production {
  const char* text;       /* "Lhs Rhs1 Rhs2 ;" or "TERMINAL ;" */
  st_eval_proc procedure; /* null for terminals and nonterminals that are not evaluated */
} st_production;

/* Every node and leaf begins with its descriptor; the words that follow
 * depend on the production (see the generated gn_nodes.h). */
struct st_node {
  const st_production* descriptor;
};

#endif

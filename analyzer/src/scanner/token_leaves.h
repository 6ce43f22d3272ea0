#ifndef QEN_ANALYZER_TOKEN_LEAVES_H
#define QEN_ANALYZER_TOKEN_LEAVES_H

/* The token leaf table: one leaf constructor per token code. The scanner
 * calls entry k for every token of code k that it returns; the entry
 * stores the token's value in the parser's semantic value: the token's
 * lexeme number, tagged (gn_token_value), without taking memory; entry 0,
 * the end of input, stores a null node. */

#include "ag_context.h"

struct st_node;

typedef void (*gn_dproc_fn)(struct st_context* ctx, struct st_node** value);

#define GN_DPROC_TABLE_SIZE 805

#ifdef __cplusplus
extern "C" {
#endif
extern gn_dproc_fn gn_dproc_table[GN_DPROC_TABLE_SIZE];
#ifdef __cplusplus
}
#endif

#endif

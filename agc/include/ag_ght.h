#ifndef QEN_AG_GHT_H
#define QEN_AG_GHT_H

/* Hash tables of opaque items that grow by linear hashing, one chain per
 * eight inserts. Record and nodes live in the context's pool. */

#include "ag_context.h"
#include "ag_word.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef int (*ght_compare_fn)(void *a, void *b);  /* 0 when equal */
typedef unsigned (*ght_hash_fn)(void *item);
typedef int (*ght_iter_fn)(void *user, void *item); /* non-zero stops */

typedef struct ght_node {
  struct ght_node *next;
  void *item;
  unsigned hash;
} ght_node;

typedef struct ght {
  st_context *context;
  ght_compare_fn compare;
  ght_hash_fn hash;
  spv *chains;         /* chain heads (ght_node*) */
  ght_node *free_nodes;
  int capacity;        /* entries of the chain vector */
  int iter_depth;      /* iterations running */
  int item_count;
  int chain_count;
  unsigned mask;       /* smallest 2^k - 1 that is at least chain_count - 1 */
} ght;

QEN_AG_API ght *ght_create(st_context *context, ght_compare_fn compare, ght_hash_fn hash);
QEN_AG_API st_context *ght_context(ght *t);
QEN_AG_API int ght_item_count(ght *t);
QEN_AG_API int ght_iter_count(ght *t);
QEN_AG_API void *ght_find(ght *t, void *item);
QEN_AG_API void *ght_insert(ght *t, void *item);
QEN_AG_API void *ght_delete(ght *t, void *item);
QEN_AG_API int ght_iterate(ght *t, ght_iter_fn fn, void *user);
QEN_AG_API int ght_destroy(ght *t);
QEN_AG_API void ght_dump(ght *t);

#ifdef __cplusplus
}
#endif

#endif

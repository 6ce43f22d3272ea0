#ifndef QEN_AG_SPV_H
#define QEN_AG_SPV_H

/* Segmented vectors (elements never move while the vector grows) and bit
 * vectors, both living in a pool. Neither takes a lock. */
#include "ag_word.h"
#include "smp.h"

typedef struct spv {
  smp_memory_pool *pool;      /* pool of the record and of every segment */
  char *segment[4];           /* the first four segments */
  struct spv *directory;      /* pointers of all segments once there are more than four */
  char *cached_segment;       /* segment of the last lookup */
  int cached_first;           /* index of its first element */
  int cached_count;           /* elements of it below the count when cached; 0 = none */
  int elem_count;
  int segment_count;
  int elem_size;              /* bytes, at least 1 */
  unsigned segment_size;      /* bytes */
  int shift;                  /* log2 of the elements per segment, at least 4 */
  unsigned mask;              /* elements per segment - 1 */
} spv;

typedef struct bpv {
  int bit_count;
  unsigned cached_word;       /* may be newer than the word in the vector */
  int cached_index;           /* -1 = none */
  unsigned *cached_slot;
  spv *words;                 /* 32-bit words */
} bpv;

/* Vectors whose elements hold pointers use element_size sizeof(void*). */
QEN_AG_EXTERN_C QEN_AG_API spv *spv_create(smp_memory_pool *pool, int element_size,
                                           unsigned segment_request);
QEN_AG_EXTERN_C QEN_AG_API int spv_elem_count(spv *v);
QEN_AG_EXTERN_C QEN_AG_API void spv_set_elem_count(spv *v, int n);
/* NULL when i is not below the element count (negative indexes included). */
QEN_AG_EXTERN_C QEN_AG_API void *spv_elem_addr(spv *v, unsigned i);
/* Typed lookups; the caller keeps i below the element count. */
QEN_AG_EXTERN_C QEN_AG_API char **charp_spv_elem_addr(spv *v, unsigned i);
QEN_AG_EXTERN_C QEN_AG_API int *int_spv_elem_addr(spv *v, unsigned i);
QEN_AG_EXTERN_C QEN_AG_API void **voidp_spv_elem_addr(spv *v, unsigned i);
QEN_AG_EXTERN_C QEN_AG_API void spv_destroy(spv *v);

QEN_AG_EXTERN_C QEN_AG_API bpv *bpv_create(smp_memory_pool *pool);
QEN_AG_EXTERN_C QEN_AG_API int bpv_get_elem_count(bpv *b);
QEN_AG_EXTERN_C QEN_AG_API void bpv_set_elem_count(bpv *b, int n);
/* The bit's own mask value (1 << (i & 31)) when set, 0 otherwise. */
QEN_AG_EXTERN_C QEN_AG_API int bpv_elem_get(bpv *b, int i);
QEN_AG_EXTERN_C QEN_AG_API void bpv_elem_set(bpv *b, int i, int value);
QEN_AG_EXTERN_C QEN_AG_API void bpv_push(bpv *b, int value);
QEN_AG_EXTERN_C QEN_AG_API void bpv_destroy(bpv *b);

#endif

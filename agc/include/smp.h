#ifndef QEN_AG_SMP_H
#define QEN_AG_SMP_H

/* Memory pools: bump blocks that live as long as the pool (smp_alloc) and
 * freeable blocks (smp_malloc / smp_free). Every block is 8-byte aligned.
 * Inconsistencies and exhausted memory end the process with
 * "fatal error: file agc\\smp, line N" and exit status 1. */
#include "ag_word.h"

typedef struct smp_memory_pool smp_memory_pool;

/* A new pool; its first chunk is sized from the usage of earlier pools. */
QEN_AG_EXTERN_C QEN_AG_API smp_memory_pool *smp_create(void);

/* n bytes from the bump area; never NULL for a pool. With a NULL pool the
 * block comes from the process heap and may be NULL. */
QEN_AG_EXTERN_C QEN_AG_API void *smp_alloc(smp_memory_pool *pool, unsigned n);

/* A freeable block of at least n bytes; NULL for a NULL pool or
 * n > 2147483447. */
QEN_AG_EXTERN_C QEN_AG_API void *smp_malloc(smp_memory_pool *pool, unsigned n);

/* Gives back a block of smp_malloc of the same pool; NULL pool or block: no-op. */
QEN_AG_EXTERN_C QEN_AG_API void smp_free(smp_memory_pool *pool, void *block);

/* Releases every chunk of the pool, the pool record included. NULL: no-op. */
QEN_AG_EXTERN_C QEN_AG_API void smp_destroy(smp_memory_pool *pool);

/* Records the size of the input the pool serves (selects the row of the
 * learned first-chunk table that smp_destroy moves). */
QEN_AG_EXTERN_C QEN_AG_API void smp_set_input_size(smp_memory_pool *pool, int size);

#endif

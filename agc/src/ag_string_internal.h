#ifndef QEN_AG_STRING_INTERNAL_H
#define QEN_AG_STRING_INTERNAL_H

#include "ag_context.h"
#include "ag_string.h"

namespace qen_ag {

/* Copies up to n bytes of s, starting at byte index from, into dst
 * (lower-cased when asked); returns the number copied. Never reads past a
 * leaf. */
int rope_copy_range(char *dst, st_String_const *s, int from, int n, bool lower);

/* The pool of the calling thread's context, NULL without one. */
smp_memory_pool *current_pool();

}  // namespace qen_ag

#endif

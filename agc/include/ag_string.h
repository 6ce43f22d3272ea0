#ifndef QEN_AG_STRING_H
#define QEN_AG_STRING_H

/* Rope strings: immutable trees of leaves (runs of bytes) and concatenation
 * nodes. Concatenation never copies; leaves are not NUL-terminated. */

#include <stdint.h>
#include <stdio.h>

#include "ag_word.h"
#include "ag_context.h"

#ifdef __cplusplus
extern "C" {
#endif

/* A leaf has right == NULL and left pointing at its first byte; a
 * concatenation has left and right pointing at the two child nodes. */
typedef struct st_String_const {
  const void *left;
  struct st_String_const *right;
  int32_t length;
} st_String_const;

/* Node stack of the string iterator: 128 entries inline, the rest in an
 * overflow vector made from the pool on first need. */
#define ST_STRING_STACK_INLINE 128
typedef struct st_String_stack {
  st_String_const *entries[ST_STRING_STACK_INLINE];
  int top; /* -1 when empty */
  smp_memory_pool *pool;
  spv *overflow;
} st_String_stack;

typedef struct st_String_iter {
  smp_memory_pool *pool;
  st_String_stack pending; /* right subtrees still to visit */
  st_String_stack path;    /* concatenations from the root down to the leaf */
  int ended;
  st_String_const *leaf;
  int position; /* index of the last delivered byte in leaf, -1 before */
  int count;    /* bytes delivered since the start */
  struct st_String_iter *mark;
} st_String_iter;

/* Makers */
QEN_AG_API st_String_const *alloc_string_no_copy(smp_memory_pool *pool, const char *text, int length);
QEN_AG_API st_String_const *make_string_from(st_context *ctx, const char *text, int length);
QEN_AG_API st_String_const *malloc_string_from(st_context *ctx, const char *text, int length);
QEN_AG_API st_String_const *malloc_string(smp_memory_pool *pool, const char *text, int length);
QEN_AG_API st_String_const *malloc_string_from_int(smp_memory_pool *pool, int value);
QEN_AG_API st_String_const *malloc_string_from_unsigned(smp_memory_pool *pool, unsigned value);
QEN_AG_API st_String_const *make_const_string(smp_memory_pool *pool, const char *text);
QEN_AG_API st_String_const *string_concat(smp_memory_pool *pool, st_String_const *a, st_String_const *b);
QEN_AG_API st_String_const *cat_str_const(st_String_const *a, st_String_const *b);
QEN_AG_API st_String_const *cat_str(st_String_const *a, st_String_const *b);
QEN_AG_API st_String_const *string_copy(smp_memory_pool *pool, st_String_const *s);
QEN_AG_API st_String_const *string_flatten(smp_memory_pool *pool, st_String_const *s);
QEN_AG_API st_String_const *string_flatten_const(smp_memory_pool *pool, st_String_const *s);
QEN_AG_API st_String_const *string_substr(smp_memory_pool *pool, st_String_const *s, int start, int len);

/* Queries and comparisons */
QEN_AG_API int string_length(st_String_const *s);
QEN_AG_API int string_is_flat(st_String_const *s);
QEN_AG_API int string_cmp(st_String_const *a, st_String_const *b);
QEN_AG_API int string_nteq(st_String_const *a, st_String_const *b);
QEN_AG_API int string_icmp(st_String_const *a, st_String_const *b);
QEN_AG_API unsigned string_hash(st_String_const *s);

/* Copying out into caller buffers */
QEN_AG_API int string_memcpy(char *buffer, st_String_const *s, unsigned n);
QEN_AG_API int string_strncpy(char *buffer, st_String_const *s, unsigned n);
QEN_AG_API int string_strncpy_lower(char *buffer, st_String_const *s, unsigned n, int terminate);
QEN_AG_API char *string_to_chars(smp_memory_pool *pool, st_String_const *s, int terminate);

/* Printing */
QEN_AG_API void string_print(FILE *f, st_String_const *s);
QEN_AG_API void string_debug_print(FILE *f, st_String_const *s);
QEN_AG_API void print_errors(st_String_const *s);
QEN_AG_API void dump_string(st_String_const *s);

/* Iterator */
QEN_AG_API void string_iter_init(smp_memory_pool *pool, st_String_const *s, st_String_iter *it);
QEN_AG_API void string_iter_reset(st_String_iter *it, st_String_const *s);
QEN_AG_API int string_iter_next(st_String_iter *it);
QEN_AG_API void string_iter_mark(st_String_iter *it);
QEN_AG_API void string_iter_unmark(st_String_iter *it);
QEN_AG_API void string_iter_restore_to_mark(st_String_iter *it);
QEN_AG_API void string_iter_done(st_String_iter *it);
QEN_AG_API st_String_const *string_iter_replace(st_String_iter *it, st_String_const *replacement);
QEN_AG_API st_String_const *string_replace(smp_memory_pool *pool, st_String_const *subject,
                                           st_String_const *pattern, st_String_const *replacement);

/* Shared constant string nodes (static leaves). */
QEN_AG_API extern st_String_const *const C_newline;
QEN_AG_API extern st_String_const *const C_indent;
QEN_AG_API extern st_String_const *const C_empty_string;
QEN_AG_API extern st_String_const *const C_end_of_input;
QEN_AG_API extern st_String_const *const C_comma;
QEN_AG_API extern st_String_const *const C_comma_space;
QEN_AG_API extern st_String_const *const C_single_quote;
QEN_AG_API extern st_String_const *const C_dbl_quote;
QEN_AG_API extern st_String_const *const C_single_space;
QEN_AG_API extern st_String_const *const C_semi_char;
QEN_AG_API extern st_String_const *const C_semi_newline;
QEN_AG_API extern st_String_const *const C_tab_char;
QEN_AG_API extern st_String_const *const C_equal;
QEN_AG_API extern st_String_const *const C_lpar;
QEN_AG_API extern st_String_const *const C_rpar;
QEN_AG_API extern st_String_const *const C_plussign;
QEN_AG_API extern st_String_const *const C_dualvertbar;
QEN_AG_API extern st_String_const *const C_vertbar;
QEN_AG_API extern st_String_const *const C_percent;
QEN_AG_API extern st_String_const *const C_ampersand;
QEN_AG_API extern st_String_const *const C_circumflex;
QEN_AG_API extern st_String_const *const C_tilde;
QEN_AG_API extern st_String_const *const C_minussign;
QEN_AG_API extern st_String_const *const C_starsign;
QEN_AG_API extern st_String_const *const C_dividesign;
QEN_AG_API extern st_String_const *const C_notequal;
QEN_AG_API extern st_String_const *const C_lessthan;
QEN_AG_API extern st_String_const *const C_greaterequal;
QEN_AG_API extern st_String_const *const C_greaterthan;
QEN_AG_API extern st_String_const *const C_lesserequal;
QEN_AG_API extern st_String_const *const C_and;
QEN_AG_API extern st_String_const *const C_or;
QEN_AG_API extern st_String_const *const C_not;
QEN_AG_API extern st_String_const *const C_dot;
QEN_AG_API extern st_String_const *const C_string_cat;
QEN_AG_API extern st_String_const *const C_negate;
QEN_AG_API extern st_String_const *const C_unary_plus;
QEN_AG_API extern st_String_const *const C_bit_and;
QEN_AG_API extern st_String_const *const C_bit_or;
QEN_AG_API extern st_String_const *const C_bit_xor;
QEN_AG_API extern st_String_const *const C_bit_not;

#ifdef __cplusplus
}
#endif

#endif

#ifndef QEN_AG_BUILTINS_H
#define QEN_AG_BUILTINS_H

/* Built-in operations of the grammar language. Each takes one parameter
 * block: consecutive ag_word slots, the inputs first and the result slots
 * behind them. Integers keep their 32-bit meaning (AG_UNDEFINED_INT is the
 * undefined int); a double takes one slot (its bits, copied in); strings
 * are st_String_const pointers. The lexeme and line operations read the
 * calling thread's context. */

#include "ag_context.h"
#include "ag_string.h"
#include "ag_word.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Strings: new nodes come from the pool of the thread's context. */
QEN_AG_API void string_cat_(ag_word *p);    /* a, b -> (a b) */
QEN_AG_API void string_cat3_(ag_word *p);   /* a, b, c -> ((a b) c) */
QEN_AG_API void string_cat4_(ag_word *p);   /* a..d -> ((a b) (c d)) */
QEN_AG_API void string_cat5_(ag_word *p);   /* a..e -> (((a b) (c d)) e) */
QEN_AG_API void string_cat6_(ag_word *p);   /* a..f -> (((a b) (c d)) (e f)) */
QEN_AG_API void string_length_(ag_word *p); /* s -> n */
QEN_AG_API void string_copy_(ag_word *p);   /* s, start, len -> flat copy */

/* Lexemes and lines */
QEN_AG_API void lexeme_number_(ag_word *p);       /* (ignored) -> lexeme count */
QEN_AG_API void lexeme_position_(ag_word *p);     /* i -> start offset */
QEN_AG_API void lexeme_text_(ag_word *p);         /* i -> leaf over the input */
QEN_AG_API void lexeme_range_text_(ag_word *p);   /* first, last -> leaf */
QEN_AG_API void lexeme_kind_(ag_word *p);         /* i -> kind, -1 out of range */
QEN_AG_API void lexeme_line_and_col_(ag_word *p); /* i -> line, column (1-based) */
QEN_AG_API void line_text_(ag_word *p);           /* n -> line text */

/* Integers */
QEN_AG_API void int_add_(ag_word *p);
QEN_AG_API void int_negate_(ag_word *p);
QEN_AG_API void int_mult_(ag_word *p);
QEN_AG_API void int_div_(ag_word *p);
QEN_AG_API void int_lt_(ag_word *p);
QEN_AG_API void int_le_(ag_word *p);
QEN_AG_API void int_eq_(ag_word *p);
QEN_AG_API void int_max_(ag_word *p);
QEN_AG_API void int_min_(ag_word *p);
QEN_AG_API void int_choose_(ag_word *p); /* cond, a, b -> r */
QEN_AG_API void int_to_uint_(ag_word *p);
QEN_AG_API void uint_to_int_(ag_word *p);

/* Unsigned integers, modulo 2^32 */
QEN_AG_API void uint_add_(ag_word *p);
QEN_AG_API void uint_sub_(ag_word *p);
QEN_AG_API void uint_rem_(ag_word *p);
QEN_AG_API void uint_lt_(ag_word *p);
QEN_AG_API void uint_le_(ag_word *p);
QEN_AG_API void uint_eq_(ag_word *p);
QEN_AG_API void uint_max_(ag_word *p);
QEN_AG_API void uint_min_(ag_word *p);
QEN_AG_API void uint_and_(ag_word *p);
QEN_AG_API void uint_or_(ag_word *p);
QEN_AG_API void uint_xor_(ag_word *p);

/* Doubles */
QEN_AG_API void dbl_add_(ag_word *p);
QEN_AG_API void dbl_mult_(ag_word *p);
QEN_AG_API void dbl_neg_(ag_word *p);
QEN_AG_API void dbl_lt_(ag_word *p);
QEN_AG_API void dbl_le_(ag_word *p);
QEN_AG_API void dbl_eq_(ag_word *p);
QEN_AG_API void dbl_max_(ag_word *p);
QEN_AG_API void dbl_min_(ag_word *p);
QEN_AG_API void int_to_dbl_(ag_word *p); /* a -> r; undefined gives +infinity */
QEN_AG_API void dbl_to_int_(ag_word *p);

/* Booleans */
QEN_AG_API void bool_not_(ag_word *p);
QEN_AG_API void bool_eq_(ag_word *p);
QEN_AG_API void bool_and_(ag_word *p);
QEN_AG_API void bool_or_(ag_word *p);

/* Plain-argument helpers */
QEN_AG_API int lexeme_length_c(int i);
/* Line n (1 .. lines + 1, the last being the text after the last newline):
 * its first byte in the input and its length without the newline; other n
 * give an empty text and 0. */
QEN_AG_API void line_text_c(int n, const char **text, int *length);

/* Reading and writing slots */
static inline double ag_word_get_dbl(const ag_word *slot) {
  double d;
  __builtin_memcpy(&d, slot, sizeof d);
  return d;
}
static inline void ag_word_set_dbl(ag_word *slot, double d) {
  *slot = 0;
  __builtin_memcpy(slot, &d, sizeof d);
}

#ifdef __cplusplus
}
#endif

#endif

/* Built-in operations on parameter blocks. */

#include <math.h>
#include <stdint.h>
#include <string.h>

#include "ag_builtins.h"
#include "ag_context.h"
#include "ag_string.h"
#include "ag_string_internal.h"

static_assert(sizeof(ag_word) >= sizeof(double), "a double must fit one slot");

namespace {

const int32_t U = AG_UNDEFINED_INT;

inline int32_t gi(const ag_word *p, int i) { return (int32_t)p[i]; }
inline uint32_t gu(const ag_word *p, int i) { return (uint32_t)p[i]; }
inline void si(ag_word *p, int i, int32_t v) { p[i] = (ag_word)v; }
inline void su(ag_word *p, int i, uint32_t v) { p[i] = (ag_word)(int32_t)v; }
inline st_String_const *gs(const ag_word *p, int i) { return reinterpret_cast<st_String_const *>(p[i]); }
inline void ss(ag_word *p, int i, st_String_const *s) { p[i] = reinterpret_cast<ag_word>(s); }
inline double gd(const ag_word *p, int i) { return ag_word_get_dbl(&p[i]); }
inline void sd(ag_word *p, int i, double d) { ag_word_set_dbl(&p[i], d); }

/* ---- lexeme and line tables, read defensively ---- */

struct Input {
  st_context *ctx;
  const char *text;
  int len;
};

Input current_input() {
  Input in{context_get(), nullptr, 0};
  if (in.ctx && in.ctx->input_start && in.ctx->input_end && in.ctx->input_end >= in.ctx->input_start) {
    in.text = in.ctx->input_start;
    long d = in.ctx->input_end - in.ctx->input_start;
    in.len = d > INT32_MAX ? INT32_MAX : (int)d;
  }
  return in;
}

int lexeme_count(const Input &in) {
  if (!in.ctx) return 0;
  return in.ctx->lexeme_count < 0 ? 0 : in.ctx->lexeme_count;
}

int clamp_lexeme(const Input &in, int i) {
  int n = lexeme_count(in);
  return (i < 0 || i > n) ? n : i;
}

/* Offset recorded at index j of the lexeme start table, kept within the
 * input. Entries past the one behind the lexeme count have not been
 * written by the scanner: they read as the input end. */
int lexeme_offset(const Input &in, int j) {
  if (j <= 0 || !in.ctx || !in.ctx->lexeme_start) return 0;
  if (j > lexeme_count(in) + 1) return in.len;
  const int *e = static_cast<const int *>(spv_elem_addr(in.ctx->lexeme_start, (unsigned)j));
  if (!e) return in.len;
  int v = *e;
  if (v < 0) return 0;
  return v > in.len ? in.len : v;
}

st_String_const *input_leaf(const Input &in, int from, int to) {
  if (to < from) to = from;
  smp_memory_pool *pool = in.ctx ? in.ctx->pool : nullptr;
  return alloc_string_no_copy(pool, in.text ? in.text + from : "", to - from);
}

/* Line table: -1, newline offsets, len, len + 1. */
int line_elem_count(const Input &in) {
  return (in.ctx && in.ctx->line_table) ? spv_elem_count(in.ctx->line_table) : 0;
}

int line_elem(const Input &in, int k) {
  const int *e = in.ctx && in.ctx->line_table
                     ? static_cast<const int *>(spv_elem_addr(in.ctx->line_table, (unsigned)k))
                     : nullptr;
  if (!e) return in.len;
  return *e;
}

/* Offsets [begin, end) of line n, kept within the input. */
void line_span(const Input &in, int n, int *begin, int *end) {
  int b = line_elem(in, n - 1) + 1;
  int e = line_elem(in, n);
  if (b < 0) b = 0;
  if (b > in.len) b = in.len;
  if (e > in.len) e = in.len;
  if (e < b) e = b;
  *begin = b;
  *end = e;
}

st_String_const *concat(st_String_const *a, st_String_const *b) { return cat_str(a, b); }

}  // namespace

extern "C" {

/* ---- strings ---- */

void string_cat_(ag_word *p) { ss(p, 2, concat(gs(p, 0), gs(p, 1))); }

void string_cat3_(ag_word *p) { ss(p, 3, concat(concat(gs(p, 0), gs(p, 1)), gs(p, 2))); }

void string_cat4_(ag_word *p) {
  ss(p, 4, concat(concat(gs(p, 0), gs(p, 1)), concat(gs(p, 2), gs(p, 3))));
}

void string_cat5_(ag_word *p) {
  ss(p, 5, concat(concat(concat(gs(p, 0), gs(p, 1)), concat(gs(p, 2), gs(p, 3))), gs(p, 4)));
}

void string_cat6_(ag_word *p) {
  ss(p, 6,
     concat(concat(concat(gs(p, 0), gs(p, 1)), concat(gs(p, 2), gs(p, 3))), concat(gs(p, 4), gs(p, 5))));
}

void string_length_(ag_word *p) { si(p, 1, string_length(gs(p, 0))); }

void string_copy_(ag_word *p) {
  st_String_const *s = gs(p, 0);
  int start = gi(p, 1), len = gi(p, 2);
  int slen = s && s->length > 0 ? s->length : 0;
  if (start < 0) start = 0;
  int n = start >= slen ? 0 : slen - start;
  if (len < n) n = len;
  if (n < 0) n = 0;
  st_context *ctx = context_get();
  smp_memory_pool *pool = ctx ? ctx->pool : nullptr;
  st_String_const *t =
      static_cast<st_String_const *>(smp_malloc(pool, (unsigned)(sizeof(st_String_const) + (unsigned)n + 1)));
  if (!t) {
    ss(p, 3, C_empty_string);
    return;
  }
  char *b = reinterpret_cast<char *>(t + 1);
  int c = qen_ag::rope_copy_range(b, s, start, n, false);
  b[c] = '\0';
  t->left = b;
  t->right = nullptr;
  t->length = c;
  ss(p, 3, t);
}

/* ---- lexemes and lines ---- */

void lexeme_number_(ag_word *p) { si(p, 1, lexeme_count(current_input())); }

void lexeme_position_(ag_word *p) {
  Input in = current_input();
  si(p, 1, lexeme_offset(in, clamp_lexeme(in, gi(p, 0))));
}

void lexeme_text_(ag_word *p) {
  Input in = current_input();
  int i = clamp_lexeme(in, gi(p, 0));
  ss(p, 1, input_leaf(in, lexeme_offset(in, i), lexeme_offset(in, i + 1)));
}

void lexeme_range_text_(ag_word *p) {
  Input in = current_input();
  int first = gi(p, 0), last = gi(p, 1);
  if (last < first || last == INT32_MAX) {
    ss(p, 2, C_empty_string);
    return;
  }
  int b = lexeme_offset(in, first), e = lexeme_offset(in, last + 1);
  ss(p, 2, e - b <= 0 ? C_empty_string : input_leaf(in, b, e));
}

void lexeme_kind_(ag_word *p) {
  Input in = current_input();
  int i = gi(p, 0);
  int k = -1;
  if (i >= 0 && i <= lexeme_count(in) && in.ctx && in.ctx->lexeme_kind) {
    const int *e = static_cast<const int *>(spv_elem_addr(in.ctx->lexeme_kind, (unsigned)i));
    if (e) k = *e;
  }
  si(p, 1, k);
}

void lexeme_line_and_col_(ag_word *p) {
  Input in = current_input();
  int c = lexeme_offset(in, clamp_lexeme(in, gi(p, 0)));
  int lo = 0, hi = line_elem_count(in);
  while (lo + 1 < hi) {
    int mid = (lo + hi) / 2;
    if (line_elem(in, mid) < c)
      lo = mid;
    else
      hi = mid;
  }
  int base = hi > 0 ? line_elem(in, lo) : -1;
  si(p, 1, lo + 1);
  si(p, 2, c - base);
}

void line_text_(ag_word *p) {
  Input in = current_input();
  int n = gi(p, 0);
  int lines = line_elem_count(in) - 3; /* newline-terminated lines */
  if (n < 1) {
    ss(p, 1, C_empty_string);
    return;
  }
  if (n > lines) {
    ss(p, 1, C_end_of_input);
    return;
  }
  int b, e;
  line_span(in, n, &b, &e);
  ss(p, 1, e == b ? C_empty_string : input_leaf(in, b, e));
}

int lexeme_length_c(int i) {
  Input in = current_input();
  if (i < 0 || i > lexeme_count(in)) return 0;
  int d = lexeme_offset(in, i + 1) - lexeme_offset(in, i);
  return d > 0 ? d : 0;
}

void line_text_c(int n, const char **text, int *length) {
  Input in = current_input();
  int lines = line_elem_count(in) - 2; /* including the text after the last newline */
  const char *t = "";
  int len = 0;
  if (n >= 1 && n <= lines && in.text) {
    int b, e;
    line_span(in, n, &b, &e);
    t = in.text + b;
    len = e - b;
  }
  if (text) *text = t;
  if (length) *length = len;
}

/* ---- integers ---- */

void int_add_(ag_word *p) {
  int32_t a = gi(p, 0), b = gi(p, 1);
  int64_t r = (int64_t)a + b;
  si(p, 2, (a == U || b == U || r < -INT32_MAX || r > INT32_MAX) ? U : (int32_t)r);
}

void int_negate_(ag_word *p) {
  int32_t a = gi(p, 0);
  si(p, 1, a == U ? U : -a);
}

void int_mult_(ag_word *p) {
  int32_t a = gi(p, 0), b = gi(p, 1);
  int64_t r = (int64_t)a * b;
  si(p, 2, (a == U || b == U || r < -INT32_MAX || r > INT32_MAX) ? U : (int32_t)r);
}

void int_div_(ag_word *p) {
  int32_t a = gi(p, 0), b = gi(p, 1);
  si(p, 2, (a == U || b == U || b == 0) ? U : a / b);
}

void int_lt_(ag_word *p) {
  int32_t a = gi(p, 0), b = gi(p, 1);
  si(p, 2, (a != U && b != U && a < b) ? 1 : 0);
}

void int_le_(ag_word *p) {
  int32_t a = gi(p, 0), b = gi(p, 1);
  si(p, 2, (a != U && b != U && a <= b) ? 1 : 0);
}

void int_eq_(ag_word *p) {
  int32_t a = gi(p, 0), b = gi(p, 1);
  si(p, 2, (a != U && b != U && a == b) ? 1 : 0);
}

void int_max_(ag_word *p) {
  int32_t a = gi(p, 0), b = gi(p, 1);
  si(p, 2, (a == U || b == U) ? U : (a > b ? a : b));
}

void int_min_(ag_word *p) {
  int32_t a = gi(p, 0), b = gi(p, 1);
  si(p, 2, a < b ? a : b);
}

void int_choose_(ag_word *p) { si(p, 3, gi(p, 0) ? gi(p, 1) : gi(p, 2)); }

void int_to_uint_(ag_word *p) { su(p, 1, gu(p, 0)); }

void uint_to_int_(ag_word *p) { si(p, 1, gi(p, 0)); }

/* ---- unsigned ---- */

void uint_add_(ag_word *p) { su(p, 2, gu(p, 0) + gu(p, 1)); }
void uint_sub_(ag_word *p) { su(p, 2, gu(p, 0) - gu(p, 1)); }
void uint_rem_(ag_word *p) {
  uint32_t b = gu(p, 1);
  su(p, 2, b == 0 ? 0xFFFFFFFFu : gu(p, 0) % b);
}
void uint_lt_(ag_word *p) { si(p, 2, gu(p, 0) < gu(p, 1) ? 1 : 0); }
void uint_le_(ag_word *p) { si(p, 2, gu(p, 0) <= gu(p, 1) ? 1 : 0); }
void uint_eq_(ag_word *p) { si(p, 2, gu(p, 0) == gu(p, 1) ? 1 : 0); }
void uint_max_(ag_word *p) {
  uint32_t a = gu(p, 0), b = gu(p, 1);
  su(p, 2, a > b ? a : b);
}
void uint_min_(ag_word *p) {
  uint32_t a = gu(p, 0), b = gu(p, 1);
  su(p, 2, a < b ? a : b);
}
void uint_and_(ag_word *p) { su(p, 2, gu(p, 0) & gu(p, 1)); }
void uint_or_(ag_word *p) { su(p, 2, gu(p, 0) | gu(p, 1)); }
void uint_xor_(ag_word *p) { su(p, 2, gu(p, 0) ^ gu(p, 1)); }

/* ---- doubles ---- */

void dbl_add_(ag_word *p) { sd(p, 2, gd(p, 0) + gd(p, 1)); }
void dbl_mult_(ag_word *p) { sd(p, 2, gd(p, 0) * gd(p, 1)); }
void dbl_neg_(ag_word *p) { sd(p, 1, -gd(p, 0)); }
void dbl_lt_(ag_word *p) { si(p, 2, gd(p, 0) < gd(p, 1) ? 1 : 0); }
void dbl_le_(ag_word *p) { si(p, 2, gd(p, 0) <= gd(p, 1) ? 1 : 0); }
void dbl_eq_(ag_word *p) { si(p, 2, gd(p, 0) == gd(p, 1) ? 1 : 0); }
void dbl_max_(ag_word *p) {
  double a = gd(p, 0), b = gd(p, 1);
  sd(p, 2, b >= a ? b : a);
}
void dbl_min_(ag_word *p) {
  double a = gd(p, 0), b = gd(p, 1);
  sd(p, 2, b >= a ? a : b);
}

void int_to_dbl_(ag_word *p) {
  int32_t a = gi(p, 0);
  sd(p, 1, a == U ? HUGE_VAL : (double)a);
}

void dbl_to_int_(ag_word *p) {
  double a = gd(p, 0);
  if (isnan(a) || a > 2147483647.0 || a < -2147483647.0)
    si(p, 1, U);
  else
    si(p, 1, (int32_t)a);
}

/* ---- booleans ---- */

void bool_not_(ag_word *p) { si(p, 1, gi(p, 0) == 0 ? 1 : 0); }
void bool_eq_(ag_word *p) { si(p, 2, gi(p, 0) == gi(p, 1) ? 1 : 0); }
void bool_and_(ag_word *p) { si(p, 2, (gi(p, 0) && gi(p, 1)) ? 1 : 0); }
void bool_or_(ag_word *p) { si(p, 2, (gi(p, 0) || gi(p, 1)) ? 1 : 0); }

}  // extern "C"

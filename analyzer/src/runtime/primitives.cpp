// Attribute primitives and counting operations called by the evaluation code.
#include "analysis_runtime.h"
#include "analyzer_internal.h"

namespace {

inline int32_t I(const ag_word* b, int i) { return ag_int(b[i]); }
inline ag_word flag(bool v) { return v ? 1 : 0; }

void count(envn* env, int32_t code) {
  if (code == 0) env->statements += 1;
  file_state_inc(env->fs, code);
}

spv* pointer_vector(void) {
  st_context* ctx = context_get();
  return spv_create(ctx->pool, (int)sizeof(ag_word), 1024);
}

}  // namespace

extern "C" {

void ag_copy(ag_word* b) { b[2] = b[0]; }
void ag_zero(ag_word* b) { b[1] = 0; }
void ag_select(ag_word* b) { b[3] = I(b, 0) != 0 ? b[1] : b[2]; }
void ag_bit(ag_word* b) { b[1] = ag_from_int((int32_t)(1u << ((uint32_t)I(b, 0) & 31u))); }
void ag_or2(ag_word* b) { b[2] = ag_from_int(I(b, 0) | I(b, 1)); }
void ag_or3(ag_word* b) { b[3] = ag_from_int(I(b, 0) | I(b, 1) | I(b, 2)); }
void ag_or4(ag_word* b) { b[4] = ag_from_int(I(b, 0) | I(b, 1) | I(b, 2) | I(b, 3)); }
void ag_or5(ag_word* b) { b[5] = ag_from_int(I(b, 0) | I(b, 1) | I(b, 2) | I(b, 3) | I(b, 4)); }
void ag_bits_intersect(ag_word* b) { b[2] = flag((I(b, 0) & I(b, 1)) != 0); }
void ag_and(ag_word* b) { b[2] = flag(I(b, 0) != 0 && I(b, 1) != 0); }
void ag_or(ag_word* b) { b[2] = flag(I(b, 0) != 0 || I(b, 1) != 0); }
void ag_not(ag_word* b) { b[1] = flag(I(b, 0) == 0); }
void ag_gt(ag_word* b) { b[2] = flag(I(b, 0) > I(b, 1)); }
void ag_ge(ag_word* b) { b[2] = flag(I(b, 0) >= I(b, 1)); }
void ag_lt(ag_word* b) { b[2] = flag(I(b, 0) < I(b, 1)); }
void ag_le(ag_word* b) { b[2] = flag(I(b, 0) <= I(b, 1)); }
void ag_eq(ag_word* b) { b[2] = flag(I(b, 0) == I(b, 1)); }
void ag_ne(ag_word* b) { b[2] = flag(I(b, 0) != I(b, 1)); }
void ag_add(ag_word* b) { b[2] = ag_from_int((int32_t)((uint32_t)I(b, 0) + (uint32_t)I(b, 1))); }

void flags_conflict(ag_word* b) {
  int32_t a = I(b, 0), c = I(b, 1);
  bool result;
  if ((a & 0x100) == 0 && (c & 0x100) == 0) {
    result = false;
  } else if ((a == 0x108 && c == 0x202) || (a == 0x202 && c == 0x108)) {
    result = false;
  } else {
    result = true;
  }
  b[2] = flag(result);
}

void lexeme_int_value(ag_word* b) {
  ag_word t[2] = {b[0], 0};
  lexeme_text_(t);
  st_String_const* s = ag_str(t[1]);
  int32_t v = 0;
  int length = s ? s->length : 0;
  const char* p = length > 0 ? (const char*)s->left : "";
  for (int i = 0; i < length; ++i) {
    char c = p[i];
    if (c < '0' || c > '9' || (2147483647 - (c - '0')) / 10 < v) {
      v = AG_UNDEFINED_INT;
      break;
    }
    v = v * 10 + (c - '0');
  }
  b[1] = ag_from_int(v);
}

void ag_string_eq(ag_word* b) {
  st_String_const* x = ag_str(b[0]);
  st_String_const* y = ag_str(b[1]);
  bool equal = I(b, 2) != 0 ? string_icmp(x, y) == 0 : string_nteq(x, y) == 0;
  b[3] = flag(equal);
}

void string_concat3(ag_word* b) {
  smp_memory_pool* pool = context_get()->pool;
  st_String_const* ab = string_concat(pool, ag_str(b[0]), ag_str(b[1]));
  b[3] = ag_from_ptr(string_concat(pool, ab, ag_str(b[2])));
}

void envn_count(ag_word* b) {
  count((envn*)b[0], I(b, 1));
  b[2] = b[0];
}

void envn_count_if(ag_word* b) {
  if (I(b, 0) != 0) count((envn*)b[1], I(b, 2));
  b[3] = b[1];
}

void envn_count_only(ag_word* b) {
  file_state_inc(((envn*)b[0])->fs, I(b, 1));
  b[2] = b[0];
}

void envn_count2(ag_word* b) {
  envn* env = (envn*)b[0];
  count(env, I(b, 1));
  count(env, I(b, 2));
  b[3] = b[0];
}

void envn_counter_reset(ag_word* b) {
  file_state_reset(((envn*)b[0])->fs, I(b, 1));
  b[2] = b[0];
}

void envn_counter_take(ag_word* b) {
  file_state* fs = ((envn*)b[0])->fs;
  int32_t code = I(b, 1);
  int32_t value = file_state_get(fs, code);
  if (I(b, 2) != 0) file_state_reset(fs, code);
  b[3] = ag_from_int(value);
}

void spv_new(ag_word* b) { b[1] = ag_from_ptr(pointer_vector()); }

void spv_push(ag_word* b) {
  spv* v = (spv*)b[0];
  int n = spv_elem_count(v);
  spv_set_elem_count(v, n + 1);
  *(ag_word*)spv_elem_addr(v, (unsigned)n) = b[1];
  b[2] = b[0];
}

void spv_push_front(ag_word* b) {
  spv* v = (spv*)b[0];
  int n = spv_elem_count(v);
  spv_set_elem_count(v, n + 1);
  for (int i = n; i > 0; --i)
    *(ag_word*)spv_elem_addr(v, (unsigned)i) = *(ag_word*)spv_elem_addr(v, (unsigned)(i - 1));
  *(ag_word*)spv_elem_addr(v, 0) = b[1];
  b[2] = b[0];
}

void spv_count(ag_word* b) { b[1] = ag_from_int(spv_elem_count((spv*)b[0])); }

}  // extern "C"

spv* analyzer_pointer_vector(void) { return pointer_vector(); }

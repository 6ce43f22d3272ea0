/* Rope strings: makers, comparisons, hash, copying out and printing. */

#include <ctype.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>

#include "ag_context.h"
#include "ag_rope_walk.h"
#include "ag_string.h"
#include "ag_string_internal.h"

using qen_ag::leaf_bytes;
using qen_ag::leaf_len;
using qen_ag::RopeWalk;

namespace {

/* The empty leaves handed out on bad arguments; distinct from
 * C_empty_string so that identity comparisons can tell them apart. */
st_String_const malloc_string_empty = {nullptr, nullptr, 0};
st_String_const string_copy_empty = {nullptr, nullptr, 0};

inline int norm_len(const st_String_const *s) {
  return (s && s->length > 0) ? s->length : 0;
}

/* A node followed by its own bytes (and a NUL that is not part of the
 * text, so flat copies can also be read as C strings). */
st_String_const *flat_leaf_in(void *block, const void *text, int len) {
  st_String_const *n = static_cast<st_String_const *>(block);
  char *bytes = reinterpret_cast<char *>(n + 1);
  if (len > 0 && text) memcpy(bytes, text, (size_t)len);
  bytes[len] = '\0';
  n->left = bytes;
  n->right = nullptr;
  n->length = len;
  return n;
}

/* Byte cursor over the non-empty leaves of a rope. */
struct ByteCursor {
  explicit ByteCursor(st_String_const *s) : walk(s) {}
  bool fill() {
    while (rem == 0) {
      st_String_const *l = walk.next_nonempty();
      if (!l) return false;
      p = leaf_bytes(l);
      rem = leaf_len(l);
    }
    return true;
  }
  int next() {
    if (!fill()) return -1;
    --rem;
    return *p++;
  }
  RopeWalk walk;
  const unsigned char *p = nullptr;
  int rem = 0;
};

/* Hash state fed in 32-bit little-endian words. */
struct HashState {
  uint32_t h;
  uint32_t word = 0;
  int fill = 0;
  explicit HashState(uint32_t start) : h(start) {}
  void mix(uint32_t w) { h = (h + w) * 0x67DA05A5u - 0x47E1538Bu; }
  void feed(const unsigned char *p, int n) {
    while (n > 0 && fill != 0) {
      word |= (uint32_t)*p++ << (8 * fill);
      --n;
      if (++fill == 4) {
        mix(word);
        word = 0;
        fill = 0;
      }
    }
    while (n >= 4) {
      mix((uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24));
      p += 4;
      n -= 4;
    }
    while (n > 0) {
      word |= (uint32_t)*p++ << (8 * fill);
      ++fill;
      --n;
    }
  }
  uint32_t finish() {
    if (fill) mix(word);
    h ^= h >> 9;
    h ^= h >> 9;
    h ^= h >> 9;
    return h;
  }
};

}  // namespace

namespace qen_ag {

int rope_copy_range(char *dst, st_String_const *s, int from, int n, bool lower) {
  if (!s || n <= 0) return 0;
  if (from < 0) from = 0;
  RopeWalk walk(s);
  int done = 0;
  st_String_const *l;
  while (done < n && (l = walk.next_nonempty()) != nullptr) {
    int len = leaf_len(l);
    if (from >= len) {
      from -= len;
      continue;
    }
    int take = len - from;
    if (take > n - done) take = n - done;
    const unsigned char *src = leaf_bytes(l) + from;
    if (lower) {
      for (int i = 0; i < take; ++i) dst[done + i] = (char)tolower(src[i]);
    } else {
      memcpy(dst + done, src, (size_t)take);
    }
    done += take;
    from = 0;
  }
  return done;
}

smp_memory_pool *current_pool() {
  st_context *c = context_get();
  return c ? c->pool : nullptr;
}

}  // namespace qen_ag

using qen_ag::rope_copy_range;

extern "C" {

/* ---- makers ---- */

st_String_const *alloc_string_no_copy(smp_memory_pool *pool, const char *text, int length) {
  st_String_const *n = static_cast<st_String_const *>(smp_alloc(pool, sizeof(st_String_const)));
  n->left = text;
  n->right = nullptr;
  n->length = length;
  return n;
}

st_String_const *make_string_from(st_context *ctx, const char *text, int length) {
  if (!ctx) ctx = context_get();
  if (length < 0 || !text) length = 0;
  void *b = smp_alloc(ctx ? ctx->pool : nullptr, (unsigned)(sizeof(st_String_const) + (unsigned)length + 1));
  return flat_leaf_in(b, text, length);
}

st_String_const *malloc_string_from(st_context *ctx, const char *text, int length) {
  if (!ctx) ctx = context_get();
  if (length < 0 || !text) length = 0;
  void *b = smp_malloc(ctx ? ctx->pool : nullptr, (unsigned)(sizeof(st_String_const) + (unsigned)length + 1));
  if (!b) return &malloc_string_empty;
  return flat_leaf_in(b, text, length);
}

st_String_const *malloc_string(smp_memory_pool *pool, const char *text, int length) {
  if (length < 0 || !pool || !text) return &malloc_string_empty;
  void *b = smp_malloc(pool, (unsigned)(sizeof(st_String_const) + (unsigned)length + 1));
  if (!b) return &malloc_string_empty;
  return flat_leaf_in(b, text, length);
}

st_String_const *malloc_string_from_int(smp_memory_pool *pool, int value) {
  char buf[16];
  int n = snprintf(buf, sizeof buf, "%d", value);
  return malloc_string(pool, buf, n);
}

st_String_const *malloc_string_from_unsigned(smp_memory_pool *pool, unsigned value) {
  char buf[16];
  int n = snprintf(buf, sizeof buf, "%u", value);
  return malloc_string(pool, buf, n);
}

st_String_const *make_const_string(smp_memory_pool *pool, const char *text) {
  size_t len = text ? strlen(text) : 0;
  if (len == 0) return C_empty_string;
  if (len > INT32_MAX) len = INT32_MAX;
  return alloc_string_no_copy(pool, text, (int)len);
}

st_String_const *string_concat(smp_memory_pool *pool, st_String_const *a, st_String_const *b) {
  /* A missing side is the empty string: a NULL right child would turn the
   * node into a leaf. */
  if (!a) a = C_empty_string;
  if (!b) b = C_empty_string;
  st_String_const *n = static_cast<st_String_const *>(smp_alloc(pool, sizeof(st_String_const)));
  n->left = a;
  n->right = b;
  n->length = (int32_t)((uint32_t)a->length + (uint32_t)b->length);
  return n;
}

st_String_const *cat_str_const(st_String_const *a, st_String_const *b) {
  return string_concat(qen_ag::current_pool(), a, b);
}

st_String_const *cat_str(st_String_const *a, st_String_const *b) {
  return string_concat(qen_ag::current_pool(), a, b);
}

st_String_const *string_copy(smp_memory_pool *pool, st_String_const *s) {
  if (!pool) return &string_copy_empty;
  if (!s || s->length < 0) {
    st_String_const *n = static_cast<st_String_const *>(smp_alloc(pool, sizeof(st_String_const)));
    n->left = nullptr;
    n->right = nullptr;
    n->length = 0;
    return n;
  }
  int len = s->length;
  void *b = smp_alloc(pool, (unsigned)(sizeof(st_String_const) + (unsigned)len + 1));
  st_String_const *n = static_cast<st_String_const *>(b);
  char *bytes = reinterpret_cast<char *>(n + 1);
  /* A tree whose length field overstates its bytes yields a shorter copy. */
  int got = rope_copy_range(bytes, s, 0, len, false);
  bytes[got] = '\0';
  n->left = bytes;
  n->right = nullptr;
  n->length = got;
  return n;
}

st_String_const *string_flatten(smp_memory_pool *pool, st_String_const *s) {
  return string_copy(pool, s);
}

st_String_const *string_flatten_const(smp_memory_pool *pool, st_String_const *s) {
  if (string_is_flat(s)) return s;
  return string_copy(pool, s);
}

st_String_const *string_substr(smp_memory_pool *pool, st_String_const *s, int start, int len) {
  if (!s) s = C_empty_string;
  if (s->right) s = string_flatten_const(pool, s);
  int slen = norm_len(s);
  /* Keep the range inside the string. */
  if (start < 0) start = 0;
  if (start > slen) start = slen;
  if (len < 0) len = slen - start;
  if (len > slen - start) len = slen - start;
  const char *text = static_cast<const char *>(s->left);
  return alloc_string_no_copy(pool, text ? text + start : text, len);
}

/* ---- queries ---- */

int string_length(st_String_const *s) { return s ? s->length : 0; }

int string_is_flat(st_String_const *s) {
  if (!s || s->length <= 0) return 1;
  return (!s->right && s->left == static_cast<const void *>(s + 1)) ? 1 : 0;
}

int string_cmp(st_String_const *a, st_String_const *b) {
  if (a == b) return 0;
  if (!b || b->length <= 0) return (a && a->length > 0) ? 1 : 0;
  if (!a || a->length <= 0) return -1;
  ByteCursor ca(a), cb(b);
  for (;;) {
    bool ha = ca.fill();
    bool hb = cb.fill();
    if (!ha) return hb ? -1 : 0;
    if (!hb) return 1;
    int n = ca.rem < cb.rem ? ca.rem : cb.rem;
    if (ca.p != cb.p) {
      int r = memcmp(ca.p, cb.p, (size_t)n);
      if (r) return r < 0 ? -1 : 1;
    }
    ca.p += n;
    ca.rem -= n;
    cb.p += n;
    cb.rem -= n;
  }
}

int string_nteq(st_String_const *a, st_String_const *b) {
  if (a == b) return 0;
  int la = norm_len(a), lb = norm_len(b);
  if (la != lb) return 1;
  if (la == 0) return 0;
  if (!a->right && !b->right) {
    if (a->left == b->left) return 0;
    int r = memcmp(a->left, b->left, (size_t)la);
    return r == 0 ? 0 : (r < 0 ? -1 : 1);
  }
  return string_cmp(a, b);
}

int string_icmp(st_String_const *a, st_String_const *b) {
  if (a == b) return 0;
  if (!a) a = C_empty_string;
  if (!b) b = C_empty_string;
  if (!a->right && !b->right) {
    int la = norm_len(a), lb = norm_len(b);
    int n = la < lb ? la : lb;
    if (n > 0) {
      int r = strncasecmp(static_cast<const char *>(a->left), static_cast<const char *>(b->left), (size_t)n);
      if (r) return r;
    }
    return la - lb;
  }
  ByteCursor ca(a), cb(b);
  for (;;) {
    int x = ca.next();
    int y = cb.next();
    if (x == y) {
      if (x == -1) return 0;
      continue;
    }
    if (x == -1) return -1;
    if (y == -1) return 1;
    int d = tolower(x) - tolower(y);
    if (d) return d;
  }
}

unsigned string_hash(st_String_const *s) {
  int len = norm_len(s);
  if (len == 0) return 0;
  HashState hs((uint32_t)len);
  RopeWalk walk(s);
  st_String_const *l;
  while ((l = walk.next_nonempty()) != nullptr) hs.feed(leaf_bytes(l), leaf_len(l));
  return hs.finish();
}

/* ---- copying out ---- */

int string_memcpy(char *buffer, st_String_const *s, unsigned n) {
  if (n == 0 || !buffer) return 0;
  int len = norm_len(s);
  int want = (unsigned)len < n ? len : (int)n;
  return rope_copy_range(buffer, s, 0, want, false);
}

int string_strncpy(char *buffer, st_String_const *s, unsigned n) {
  /* No room even for the terminator: write nothing. */
  if (n == 0 || !buffer) return 0;
  int len = norm_len(s);
  int want = (unsigned)len < n - 1 ? len : (int)(n - 1);
  int c = rope_copy_range(buffer, s, 0, want, false);
  buffer[c] = '\0';
  return c + 1;
}

int string_strncpy_lower(char *buffer, st_String_const *s, unsigned n, int terminate) {
  if (n == 0 || !buffer) return 0;
  int len = norm_len(s);
  int want = (unsigned)len < n ? len : (int)n;
  int c = rope_copy_range(buffer, s, 0, want, true);
  if (!terminate) return c;
  if ((unsigned)c < n) {
    buffer[c] = '\0';
    return c + 1;
  }
  buffer[n - 1] = '\0';
  return c;
}

char *string_to_chars(smp_memory_pool *pool, st_String_const *s, int terminate) {
  int len = norm_len(s);
  unsigned size = (unsigned)len + (terminate ? 1u : 0u);
  char *b = static_cast<char *>(smp_malloc(pool, size));
  if (!b) return nullptr;
  int c = rope_copy_range(b, s, 0, len, false);
  if (terminate) b[c] = '\0';
  return b;
}

/* ---- printing ---- */

void string_print(FILE *f, st_String_const *s) {
  if (!f || !s) return;
  RopeWalk walk(s);
  st_String_const *l;
  while ((l = walk.next_nonempty()) != nullptr) fwrite(l->left, 1, (size_t)leaf_len(l), f);
}

void string_debug_print(FILE *f, st_String_const *s) {
  if (!f || !s) return;
  /* Explicit stack; a NULL entry stands for a closing bracket. */
  size_t cap = 64, top = 0;
  st_String_const **stack = static_cast<st_String_const **>(malloc(cap * sizeof *stack));
  if (!stack) return;
  stack[top++] = s;
  while (top > 0) {
    st_String_const *n = stack[--top];
    if (!n) {
      fputc(']', f);
      continue;
    }
    if (n->right) {
      fputc('[', f);
      if (top + 3 > cap) {
        cap *= 2;
        void *p = realloc(stack, cap * sizeof *stack);
        if (!p) break;
        stack = static_cast<st_String_const **>(p);
      }
      stack[top++] = nullptr;
      stack[top++] = n->right;
      stack[top++] = static_cast<st_String_const *>(const_cast<void *>(n->left));
      if (!n->left) --top;
      continue;
    }
    fputc('[', f);
    const unsigned char *p = leaf_bytes(n);
    int len = p ? leaf_len(n) : 0;
    for (int i = 0; i < len; ++i) {
      int c = p[i];
      if (isspace(c) || isprint(c))
        fputc(c, f);
      else
        fprintf(f, "0x%02x", c);
    }
    fputc(']', f);
  }
  free(stack);
}

void print_errors(st_String_const *s) {
  if (!s || s->length == 0) return;
  RopeWalk walk(s);
  st_String_const *l;
  while ((l = walk.next_leaf()) != nullptr) {
    if (l->length == 0) break;
    const char *p = static_cast<const char *>(l->left);
    int len = p ? leaf_len(l) : 0;
    fputs("error:", stdout);
    const void *nul = len ? memchr(p, '\0', (size_t)len) : nullptr;
    if (nul) len = (int)(static_cast<const char *>(nul) - p);
    if (len) fwrite(p, 1, (size_t)len, stdout);
  }
}

void dump_string(st_String_const *s) { (void)s; }

}  // extern "C"

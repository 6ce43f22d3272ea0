/* String iterator with marks, and search-and-replace built on it. */

#include <stdint.h>
#include <string.h>

#include <vector>

#include "ag_context.h"
#include "ag_string.h"
#include "ag_string_internal.h"

namespace {

st_String_const iter_empty_leaf = {"", nullptr, 0};

inline st_String_const *left_of(const st_String_const *n) {
  return static_cast<st_String_const *>(const_cast<void *>(n->left));
}

inline int len_of(const st_String_const *n) { return (n && n->length > 0) ? n->length : 0; }

void stack_clear(st_String_stack *s, smp_memory_pool *pool) {
  s->top = -1;
  s->pool = pool;
  s->overflow = nullptr;
}

smp_memory_pool *stack_pool(st_String_stack *s) {
  if (!s->pool) s->pool = qen_ag::current_pool();
  /* Deep trees need pool storage; without any pool there is no sound way on. */
  if (!s->pool) report_prod_assert("agc\\string", __LINE__);
  return s->pool;
}

st_String_const **stack_slot(st_String_stack *s, int i) {
  if (i < ST_STRING_STACK_INLINE) return &s->entries[i];
  return static_cast<st_String_const **>(spv_elem_addr(s->overflow, (unsigned)(i - ST_STRING_STACK_INLINE)));
}

void stack_push(st_String_stack *s, st_String_const *n) {
  int i = s->top + 1;
  if (i >= ST_STRING_STACK_INLINE) {
    int j = i - ST_STRING_STACK_INLINE;
    if (!s->overflow) s->overflow = spv_create(stack_pool(s), (int)sizeof(st_String_const *), 4096);
    if (spv_elem_count(s->overflow) < j + 1) spv_set_elem_count(s->overflow, j + 1);
  }
  s->top = i;
  *stack_slot(s, i) = n;
}

st_String_const *stack_pop(st_String_stack *s) {
  if (s->top < 0) return nullptr;
  st_String_const *n = *stack_slot(s, s->top);
  --s->top;
  return n;
}

st_String_const *stack_peek(st_String_stack *s) {
  return s->top < 0 ? nullptr : *stack_slot(s, s->top);
}

/* Copies the entries of src into dst (a fresh stack); overflow entries go
 * to a new vector of their own. */
void stack_copy(st_String_stack *dst, const st_String_stack *src) {
  memcpy(dst->entries, src->entries, sizeof dst->entries);
  dst->top = src->top;
  dst->pool = src->pool;
  dst->overflow = nullptr;
  if (src->top >= ST_STRING_STACK_INLINE && src->overflow) {
    int n = src->top - ST_STRING_STACK_INLINE + 1;
    dst->overflow = spv_create(src->pool, (int)sizeof(st_String_const *), 4096);
    spv_set_elem_count(dst->overflow, n);
    for (int i = 0; i < n; ++i)
      *static_cast<st_String_const **>(spv_elem_addr(dst->overflow, (unsigned)i)) =
          *static_cast<st_String_const **>(spv_elem_addr(src->overflow, (unsigned)i));
  }
}

void stack_release(st_String_stack *s) {
  if (s->overflow) spv_destroy(s->overflow);
  s->overflow = nullptr;
}

void descend(st_String_iter *it, st_String_const *n) {
  if (!n) n = &iter_empty_leaf;
  while (n->right) {
    stack_push(&it->pending, n->right);
    stack_push(&it->path, n);
    n = left_of(n);
    if (!n) {
      n = &iter_empty_leaf;
      break;
    }
  }
  it->leaf = n;
}

/* The root of the tree the iterator walks. */
st_String_const *iter_root(st_String_iter *it) {
  if (it->path.top >= 0) return *stack_slot(&it->path, 0);
  return it->leaf;
}

}  // namespace

extern "C" {

void string_iter_init(smp_memory_pool *pool, st_String_const *s, st_String_iter *it) {
  it->pool = pool;
  stack_clear(&it->pending, pool);
  stack_clear(&it->path, pool);
  it->ended = 0;
  it->count = 0;
  it->mark = nullptr;
  descend(it, s);
  it->position = -1;
}

void string_iter_reset(st_String_iter *it, st_String_const *s) {
  it->ended = 0;
  it->count = 0;
  string_iter_unmark(it);
  it->pending.top = -1;
  it->path.top = -1;
  descend(it, s);
  it->position = -1;
}

int string_iter_next(st_String_iter *it) {
  if (it->ended) return -1;
  int pos = it->position + 1;
  if (pos < len_of(it->leaf) && it->leaf->left) {
    it->position = pos;
    ++it->count;
    return static_cast<const unsigned char *>(it->leaf->left)[pos];
  }
  for (;;) {
    st_String_const *n = stack_pop(&it->pending);
    if (!n) {
      it->ended = 1;
      return -1;
    }
    /* Keep the path stack on the way to the node being entered: its top
     * must be the parent of n whether n is a leaf or a concatenation, or a
     * later replacement would graft onto the wrong node. */
    st_String_const *top;
    while ((top = stack_peek(&it->path)) != nullptr && top->right != n) stack_pop(&it->path);
    descend(it, n);
    if (len_of(it->leaf) > 0 && it->leaf->left) break;
  }
  it->position = 0;
  ++it->count;
  return static_cast<const unsigned char *>(it->leaf->left)[0];
}

void string_iter_mark(st_String_iter *it) {
  string_iter_unmark(it);
  smp_memory_pool *pool = it->pool ? it->pool : qen_ag::current_pool();
  st_String_iter *m = static_cast<st_String_iter *>(smp_malloc(pool, sizeof(st_String_iter)));
  if (!m) report_prod_assert("agc\\string", __LINE__);
  m->pool = it->pool;
  stack_copy(&m->pending, &it->pending);
  stack_copy(&m->path, &it->path);
  m->ended = it->ended;
  m->leaf = it->leaf;
  m->position = it->position;
  m->count = it->count;
  m->mark = nullptr;
  it->mark = m;
}

void string_iter_unmark(st_String_iter *it) {
  st_String_iter *m = it->mark;
  if (!m) return;
  stack_release(&m->pending);
  stack_release(&m->path);
  smp_free(it->pool ? it->pool : qen_ag::current_pool(), m);
  it->mark = nullptr;
}

void string_iter_restore_to_mark(st_String_iter *it) {
  st_String_iter *m = it->mark;
  if (!m) return;
  st_String_stack tmp;
  memcpy(&tmp, &it->pending, sizeof tmp);
  memcpy(&it->pending, &m->pending, sizeof tmp);
  memcpy(&m->pending, &tmp, sizeof tmp);
  memcpy(&tmp, &it->path, sizeof tmp);
  memcpy(&it->path, &m->path, sizeof tmp);
  memcpy(&m->path, &tmp, sizeof tmp);
  it->leaf = m->leaf;
  it->position = m->position;
  it->count = m->count;
  string_iter_unmark(it);
}

void string_iter_done(st_String_iter *it) {
  stack_release(&it->pending);
  stack_release(&it->path);
  string_iter_unmark(it);
}

}  // extern "C"

namespace {

st_String_const *replace_at(st_String_iter *it, st_String_const *replacement) {
  st_String_iter *m = it->mark;
  if (!replacement) replacement = C_empty_string;
  smp_memory_pool *pool = it->pool ? it->pool : qen_ag::current_pool();
  if (!m) return iter_root(it);
  int rlen = len_of(replacement);

  if (m->leaf != it->leaf || m->position > it->position) {
    /* The span crosses leaves: build one flat text with the span replaced
     * and leave the iterator where it is. */
    st_String_const *root = iter_root(it);
    int total = len_of(root);
    int from = m->count - 1;
    int to = it->count; /* one behind the last replaced byte */
    if (from < 0) from = 0;
    if (to > total) to = total;
    if (to < from) to = from;
    int nlen = from + rlen + (total - to);
    st_String_const *n =
        static_cast<st_String_const *>(smp_alloc(pool, (unsigned)(sizeof(st_String_const) + (unsigned)nlen + 1)));
    char *b = reinterpret_cast<char *>(n + 1);
    int c = qen_ag::rope_copy_range(b, root, 0, from, false);
    c += qen_ag::rope_copy_range(b + c, replacement, 0, rlen, false);
    c += qen_ag::rope_copy_range(b + c, root, to, total - to, false);
    b[c] = '\0';
    n->left = b;
    n->right = nullptr;
    n->length = c;
    return n;
  }

  st_String_const *L = it->leaf;
  const char *text = static_cast<const char *>(L->left);
  int llen = len_of(L);
  int p = m->position < 0 ? 0 : m->position;
  int q = it->position;
  if (q >= llen) q = llen - 1;

  st_String_const *prefix = p > 0 ? alloc_string_no_copy(pool, text, p) : nullptr;
  st_String_const *suffix = q < llen - 1 ? alloc_string_no_copy(pool, text + q + 1, llen - q - 1) : nullptr;
  st_String_const *sub = replacement;
  if (suffix) sub = string_concat(pool, replacement, suffix);
  if (prefix) sub = string_concat(pool, prefix, sub);

  /* Copy the concatenations from the leaf's parent up to the root, each
   * copy taking the copy below it in place of the node it replaces. */
  int32_t d = (int32_t)((uint32_t)sub->length - (uint32_t)L->length);
  st_String_const *orig = L, *copy = sub;
  for (int i = it->path.top; i >= 0; --i) {
    st_String_const **slot = stack_slot(&it->path, i);
    st_String_const *N = *slot;
    st_String_const *C = static_cast<st_String_const *>(smp_alloc(pool, sizeof(st_String_const)));
    C->left = N->left;
    C->right = N->right;
    C->length = (int32_t)((uint32_t)N->length + (uint32_t)d);
    if (N->right == orig)
      C->right = copy;
    else if (N->left == orig)
      C->left = copy;
    *slot = C;
    orig = N;
    copy = C;
  }
  it->count += d;
  st_String_const *root = it->path.top >= 0 ? *stack_slot(&it->path, 0) : sub;

  /* Continue on the last byte of the replacement. */
  int off = p + rlen - 1;
  st_String_const *n = sub;
  while (n->right) {
    st_String_const *l = left_of(n);
    stack_push(&it->path, n);
    if (!l) {
      n = &iter_empty_leaf;
      break;
    }
    if (off < len_of(l)) {
      stack_push(&it->pending, n->right);
      n = l;
    } else {
      off -= len_of(l);
      n = n->right;
    }
  }
  it->leaf = n;
  it->position = off;
  return root;
}

}  // namespace

extern "C" {

st_String_const *string_iter_replace(st_String_iter *it, st_String_const *replacement) {
  return replace_at(it, replacement);
}

st_String_const *string_replace(smp_memory_pool *pool, st_String_const *subject, st_String_const *pattern,
                                st_String_const *replacement) {
  if (!subject) return subject;
  if (!pool) pool = qen_ag::current_pool();
  if (!pool) return subject;
  if (subject->right) subject = string_flatten_const(pool, subject);
  if (!pattern || pattern->length <= 0) return subject;
  /* The search reads the pattern as one run of bytes. */
  if (pattern->right) pattern = string_flatten_const(pool, pattern);
  if (!replacement) replacement = C_empty_string;
  int plen = len_of(pattern);
  int slen = len_of(subject);
  const char *pat = static_cast<const char *>(pattern->left);
  const char *sub = static_cast<const char *>(subject->left);
  if (plen == 0 || !pat || plen > slen || !sub) return subject;

  /* Occurrences left to right, without overlap: the scan goes on behind
   * each one, so replacement text is never searched. */
  std::vector<int> at;
  for (int i = 0; i + plen <= slen;) {
    const void *hit = memmem(sub + i, (size_t)(slen - i), pat, (size_t)plen);
    if (!hit) break;
    int off = (int)(static_cast<const char *>(hit) - sub);
    at.push_back(off);
    i = off + plen;
  }
  if (at.empty()) return subject;

  /* The tree the iterator-driven replacement yields, built from the back:
   * each occurrence becomes (prefix (replacement rest)), pieces of the
   * subject as leaves over its bytes, empty pieces left out. */
  int end = at.back() + plen;
  st_String_const *rest = end < slen ? alloc_string_no_copy(pool, sub + end, slen - end) : nullptr;
  for (size_t k = at.size(); k-- > 0;) {
    int from = k == 0 ? 0 : at[k - 1] + plen;
    st_String_const *n = rest ? string_concat(pool, replacement, rest) : replacement;
    if (at[k] > from) n = string_concat(pool, alloc_string_no_copy(pool, sub + from, at[k] - from), n);
    rest = n;
  }
  return rest;
}

}  // extern "C"

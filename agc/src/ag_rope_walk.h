#ifndef QEN_AG_ROPE_WALK_H
#define QEN_AG_ROPE_WALK_H

/* Left-to-right walk over the leaves of a rope with an explicit stack, so
 * that ropes built by many appends (deep on the left) never exhaust the
 * call stack. Shallow trees stay within the inline entries. */

#include <stdlib.h>
#include <string.h>

#include "ag_string.h"

namespace qen_ag {

class RopeWalk {
 public:
  explicit RopeWalk(st_String_const *root) : top_(0) {
    if (root) push(root);
  }
  ~RopeWalk() { free(heap_); }
  RopeWalk(const RopeWalk &) = delete;
  RopeWalk &operator=(const RopeWalk &) = delete;

  /* The next leaf in order (empty leaves included), or NULL at the end. */
  st_String_const *next_leaf() {
    while (top_ > 0) {
      st_String_const *n = pop();
      while (n->right) {
        push(n->right);
        n = static_cast<st_String_const *>(const_cast<void *>(n->left));
        if (!n) break;
      }
      if (n) return n;
    }
    return nullptr;
  }

  /* The next leaf holding at least one byte, or NULL at the end. */
  st_String_const *next_nonempty() {
    st_String_const *l;
    while ((l = next_leaf()) != nullptr)
      if (l->length > 0 && l->left) return l;
    return nullptr;
  }

 private:
  static const int kInline = 64;
  void push(st_String_const *n) {
    if (top_ < kInline) {
      inline_[top_++] = n;
      return;
    }
    size_t i = (size_t)(top_ - kInline);
    if (i >= cap_) {
      size_t ncap = cap_ ? cap_ * 2 : 256;
      void *p = realloc(heap_, ncap * sizeof(st_String_const *));
      if (!p) abort();
      heap_ = static_cast<st_String_const **>(p);
      cap_ = ncap;
    }
    heap_[i] = n;
    ++top_;
  }
  st_String_const *pop() {
    --top_;
    return top_ < kInline ? inline_[top_] : heap_[top_ - kInline];
  }

  st_String_const *inline_[kInline];
  st_String_const **heap_ = nullptr;
  size_t cap_ = 0;
  int top_;
};

inline const unsigned char *leaf_bytes(const st_String_const *l) {
  return static_cast<const unsigned char *>(l->left);
}

inline int leaf_len(const st_String_const *l) {
  return l->length > 0 ? l->length : 0;
}

}  // namespace qen_ag

#endif

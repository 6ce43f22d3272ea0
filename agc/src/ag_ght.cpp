/* Linear-hashing tables: one chain is split each time a block of eight
 * nodes is used up, so no insert ever rehashes the whole table. */

#include <stdint.h>

#include "ag_context.h"
#include "ag_ght.h"

namespace {

const int kNodeBlock = 8;
const int kInitialCapacity = 18;

ght_node **head(ght *t, int i) { return static_cast<ght_node **>(spv_elem_addr(t->chains, (unsigned)i)); }

void add_node_block(ght *t) {
  ght_node *nodes = static_cast<ght_node *>(smp_alloc(t->context->pool, sizeof(ght_node) * kNodeBlock));
  for (int i = 0; i < kNodeBlock; ++i) {
    nodes[i].next = i + 1 < kNodeBlock ? &nodes[i + 1] : t->free_nodes;
    nodes[i].item = nullptr;
    nodes[i].hash = 0;
  }
  t->free_nodes = nodes;
}

int chain_index(const ght *t, unsigned h) {
  unsigned i = h & t->mask;
  if (i >= (unsigned)t->chain_count) i = h & (t->mask >> 1);
  return (int)i;
}

/* The link that points at the matching node, or the chain's last link. */
ght_node **locate(ght *t, void *item, unsigned h) {
  ght_node **link = head(t, chain_index(t, h));
  while (*link) {
    if ((*link)->hash == h && t->compare(item, (*link)->item) == 0) return link;
    link = &(*link)->next;
  }
  return link;
}

void split_chain(ght *t) {
  int n = t->chain_count;
  t->chain_count = n + 1;
  unsigned source = (unsigned)n & (t->mask >> 1);
  unsigned bit = (unsigned)n - source;
  if (source == 0) t->mask += (unsigned)n;
  if (n >= t->capacity) {
    t->capacity += n >= 544 ? n / 32 : 16;
    spv_set_elem_count(t->chains, t->capacity);
  }
  ght_node **from = head(t, (int)source);
  ght_node **to = head(t, n);
  *to = nullptr;
  while (*from) {
    ght_node *node = *from;
    if (node->hash & bit) {
      *from = node->next;
      node->next = nullptr;
      *to = node;
      to = &node->next;
    } else {
      from = &node->next;
    }
  }
}

bool debug_on(const ght *t) { return t->context && t->context->log_level <= AG_LOG_DEBUG; }

}  // namespace

extern "C" {

ght *ght_create(st_context *context, ght_compare_fn compare, ght_hash_fn hash) {
  if (!context) context = context_get();
  if (!context || !context->pool) return nullptr;
  if (context->log_level <= AG_LOG_DEBUG) context_log(AG_LOG_DEBUG, "%s", "entering ght_create");
  ght *t = static_cast<ght *>(smp_alloc(context->pool, sizeof(ght)));
  t->context = context;
  t->compare = compare;
  t->hash = hash;
  t->chains = spv_create(context->pool, (int)sizeof(ght_node *), 4096);
  spv_set_elem_count(t->chains, kInitialCapacity);
  t->free_nodes = nullptr;
  t->capacity = kInitialCapacity;
  t->iter_depth = 0;
  t->item_count = 0;
  t->chain_count = 2;
  t->mask = 1;
  *head(t, 1) = nullptr;
  add_node_block(t);
  *head(t, 0) = nullptr;
  add_node_block(t);
  return t;
}

st_context *ght_context(ght *t) { return t ? t->context : nullptr; }

int ght_item_count(ght *t) { return t ? t->item_count : 0; }

int ght_iter_count(ght *t) { return t ? t->iter_depth : 0; }

void *ght_find(ght *t, void *item) {
  if (!t || !item || !t->chains) return nullptr;
  unsigned h = t->hash(item);
  ght_node **link = locate(t, item, h);
  return *link ? (*link)->item : nullptr;
}

void *ght_insert(ght *t, void *item) {
  if (!t || !item || !t->chains) return nullptr;
  unsigned h = t->hash(item);
  ght_node **link = locate(t, item, h);
  if (*link) return (*link)->item;
  ght_node *node = t->free_nodes;
  t->free_nodes = node->next;
  node->next = nullptr;
  node->item = item;
  node->hash = h;
  *link = node;
  ++t->item_count;
  if (!t->free_nodes) {
    add_node_block(t);
    split_chain(t);
  }
  return item;
}

void *ght_delete(ght *t, void *item) {
  if (!t || !item || !t->chains || t->iter_depth != 0) return nullptr;
  unsigned h = t->hash(item);
  ght_node **link = locate(t, item, h);
  ght_node *node = *link;
  if (!node) return nullptr;
  *link = node->next;
  --t->item_count;
  void *stored = node->item;
  node->item = nullptr;
  node->next = t->free_nodes;
  t->free_nodes = node;
  return stored;
}

int ght_iterate(ght *t, ght_iter_fn fn, void *user) {
  if (!t || !fn || !t->chains) return 0;
  ++t->iter_depth;
  for (int c = t->chain_count - 1; c >= 0; --c) {
    for (ght_node *n = *head(t, c); n; n = n->next) {
      int r = fn(user, n->item);
      if (r) {
        --t->iter_depth;
        return r;
      }
    }
  }
  --t->iter_depth;
  return 0;
}

int ght_destroy(ght *t) {
  if (!t) return 0;
  if (debug_on(t)) context_log(AG_LOG_DEBUG, "%s", "entering ght_destroy\n");
  if (t->chains) spv_destroy(t->chains);
  t->context = nullptr;
  t->compare = nullptr;
  t->hash = nullptr;
  t->chains = nullptr;
  t->free_nodes = nullptr;
  t->item_count = -1;
  t->iter_depth = -1;
  t->chain_count = -1;
  t->mask = 0;
  t->capacity = 0;
  return 0;
}

void ght_dump(ght *t) {
  if (!t || !debug_on(t) || !t->chains) return;
  context_log(AG_LOG_DEBUG, "dumping hash table %#lo\n", (unsigned long)(uintptr_t)t);
  context_log(AG_LOG_DEBUG, "mask is %#o\n", t->mask);
  context_log(AG_LOG_DEBUG, "num chains is %d\n", t->chain_count);
  context_log(AG_LOG_DEBUG, "item count is %d\n", t->item_count);
  for (int nc = 0; nc < t->chain_count; ++nc) {
    ght_node *n = *head(t, nc);
    if (!n) {
      context_log(AG_LOG_DEBUG, "nc = %d is empty\n", nc);
      continue;
    }
    for (; n; n = n->next)
      context_log(AG_LOG_DEBUG, "cur: %#lo, nc = %d, hash= %#o\n", (unsigned long)(uintptr_t)n, nc, n->hash);
  }
}

}  // extern "C"

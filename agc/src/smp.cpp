// Memory pools: chunk registry, first-chunk sizing, bump and freeable blocks.
#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>

#include "smp_internal.h"

namespace qen_ag {
namespace {

// The fatal sites carry the pool module's own path and line numbers; hosts
// and support staff match on them.
constexpr const char *kSmpFile = "agc\\smp";
[[noreturn]] void smp_fatal(int line) { report_prod_assert(kSmpFile, line); }

// ---------------------------------------------------------------- size ladder

constexpr unsigned kLadderLimit = 0x7FFFFFF;
constexpr int ladder_length() {
  unsigned b = 4108, c = 6168;
  int n = 3;
  for (;;) {
    unsigned long long d = 0ULL + b + c + 12;
    if (d > kLadderLimit) return n;
    b = c; c = static_cast<unsigned>(d);
    ++n;
  }
}
constexpr int kLadderLength = ladder_length();
constexpr std::array<unsigned, kLadderLength> make_ladder() {
  std::array<unsigned, kLadderLength> s{};
  s[0] = 2048; s[1] = 4108; s[2] = 6168;
  for (int i = 3; i < kLadderLength; ++i) s[i] = s[i - 1] + s[i - 2] + 12;
  return s;
}
// Built at compile time: no first-use race.
constexpr std::array<unsigned, kLadderLength> kLadder = make_ladder();

// A bump chunk up to this size is filled with 0xDE when it is added; a
// larger one in steps, as its blocks are handed out.
constexpr unsigned kFillAtOnceBytes = 1u << 20;
constexpr std::uint32_t kFillStepUnits = (64u << 10) / kUnit;
// What a reset pool keeps of its chunks for its next use, at most.
constexpr std::uint64_t kSpareBytes = 1u << 20;

// ---------------------------------------------------------------- registry

struct chunk_descriptor {
  int id;
  int left;   // address tree children, -1 for none
  int right;  // next unused descriptor while unused
  int kind;
  unsigned size;
  char *base;
  void *owner;
};

constexpr int kPageSize = 256;
constexpr int kMaxPages = 256;

struct registry {
  chunk_descriptor *pages[kMaxPages] = {};
  int made = 0;
  int unused_head = -1;
  int live = 0;
  int root = -1;          // address tree over the live chunks, by base
  int countdown = 4;      // steps until the next restructuring
  std::uint32_t generator = 0;
  ag_mutex mutex = nullptr;
};

registry g_registry;
std::atomic<bool> g_registry_ready{false};
std::mutex g_registry_init_guard;

chunk_descriptor *descriptor(int id) {
  if (id < 0 || id >= g_registry.made) return nullptr;
  return &g_registry.pages[id / kPageSize][id % kPageSize];
}

chunk_descriptor *live_descriptor(int id) {
  chunk_descriptor *d = descriptor(id);
  return (d && d->kind != kChunkUnused && d->base) ? d : nullptr;
}

// ---- address tree (registry mutex held)
// The tree keeps no balance information; lookups restructure it as they go,
// one rotation every 4 to 7 steps.

int &child(int id, int dir) {
  chunk_descriptor *d = descriptor(id);
  return dir < 0 ? d->left : d->right;
}

// -1: below the chunk, 0: inside, 1: at or above its end.
int compare(std::uintptr_t a, int id) {
  chunk_descriptor *d = descriptor(id);
  std::uintptr_t base = reinterpret_cast<std::uintptr_t>(d->base);
  if (a < base) return -1;
  if (a - base >= d->size) return 1;
  return 0;
}

int tree_find(std::uintptr_t a) {
  registry &r = g_registry;
  int *link = &r.root;
  int cur = r.root;
  if (cur < 0) return -1;
  for (;;) {
    int dir = compare(a, cur);
    if (dir == 0) return cur;
    if (--r.countdown >= 0) {
      link = &child(cur, dir);
      cur = *link;
      if (cur < 0) return -1;
      continue;
    }
    r.generator = r.generator * 78669u + 313157u;
    r.countdown = 3 + static_cast<int>(r.generator / 0x55555555u);
    int k = child(cur, dir);
    if (k < 0) return -1;
    int dir2 = compare(a, k);
    if (dir2 == 0) return k;
    int g = child(k, dir2);
    if (g < 0) return -1;
    if (dir2 == dir) {
      child(cur, dir) = g;
      child(k, dir) = child(g, -dir);
      child(g, -dir) = k;
    } else {
      *link = g;
      child(cur, dir) = child(g, dir2);
      child(k, dir2) = child(g, dir);
      child(g, dir2) = cur;
      child(g, dir) = k;
    }
    int dirg = compare(a, g);
    if (dirg == 0) return g;
    link = &child(g, dirg);
    cur = *link;
    if (cur < 0) return -1;
  }
}

void tree_insert(int id) {
  registry &r = g_registry;
  chunk_descriptor *d = descriptor(id);
  d->left = d->right = -1;
  int *slot = &r.root;
  while (*slot >= 0) {
    chunk_descriptor *n = descriptor(*slot);
    slot = (n->base < d->base) ? &n->right : &n->left;
  }
  *slot = id;
  tree_find(reinterpret_cast<std::uintptr_t>(d->base));
}

void tree_remove(int id) {
  registry &r = g_registry;
  chunk_descriptor *d = descriptor(id);
  int *slot = &r.root;
  while (*slot >= 0 && *slot != id) {
    chunk_descriptor *n = descriptor(*slot);
    slot = (d->base < n->base) ? &n->left : &n->right;
  }
  if (*slot != id) return;
  if (d->left < 0) {
    *slot = d->right;
  } else if (d->right < 0) {
    *slot = d->left;
  } else {
    int m = d->right;
    while (descriptor(m)->left >= 0) m = descriptor(m)->left;
    descriptor(m)->left = d->left;
    *slot = d->right;
  }
  d->left = d->right = -1;
}

struct registry_lock {
  registry_lock() {
    if (!g_registry_ready.load(std::memory_order_acquire)) chunk_registry_init();
    mutex_lock(g_registry.mutex);
  }
  ~registry_lock() { mutex_unlock(g_registry.mutex); }
};

// The owner (none for an unknown id) and the kind, under one lock.
void *chunk_owner_and_kind(int id, int *kind) {
  registry_lock lock;
  chunk_descriptor *d = live_descriptor(id);
  *kind = d ? d->kind : 0;
  return d ? d->owner : nullptr;
}

// Gives a chunk just allocated its kind and owner (none given = the base)
// and reads its base and size, all under one lock: a pool adds several
// chunks per batch. No base for an unknown id.
char *chunk_claim(int id, int kind, void *owner, unsigned *size) {
  registry_lock lock;
  chunk_descriptor *d = live_descriptor(id);
  *size = d ? d->size : 0;
  if (!d) return nullptr;
  d->kind = kind;
  d->owner = owner ? owner : d->base;
  return d->base;
}

// ---------------------------------------------------------------- learned table

constexpr int kLearnedRows = 64;
std::atomic<std::uint32_t> g_learned[kLearnedRows];

void build_learned_table() {
  std::uint32_t v = 40;
  for (int i = 0; i < kLearnedRows; ++i) {
    g_learned[i].store(v, std::memory_order_relaxed);
    v = (i % 2 == 0) ? v + v / 2 : v * 2;
    if (v > 1048576) v = 1048576;
  }
}

void learn(int row, std::uint32_t sample) {
  std::uint32_t old = g_learned[row].load(std::memory_order_relaxed);
  std::uint32_t next;
  do {
    next = static_cast<std::uint32_t>((15ULL * old + sample) / 16);
  } while (!g_learned[row].compare_exchange_weak(old, next, std::memory_order_relaxed));
}

// ---------------------------------------------------------------- pool helpers

struct pool_lock {
  smp_memory_pool *p;
  explicit pool_lock(smp_memory_pool *pool) : p(pool) { mutex_lock(p->mutex); }
  ~pool_lock() { mutex_unlock(p->mutex); }
};

char *data_of(free_block *b) { return reinterpret_cast<char *>(b) + kTagBytes; }
free_block *block_at(char *p) { return reinterpret_cast<free_block *>(p); }

// The smallest kept bump chunk with at least the units of the class of a
// request of `request` bytes and more than min_units, taken off the list;
// NULL when none fits.
spare_chunk *take_spare(smp_memory_pool *pool, std::uint64_t request, std::uint64_t min_units) {
  std::uint64_t want = chunk_size_class(request) / kUnit;
  if (want <= min_units) want = min_units + 1;
  spare_chunk **best = nullptr;
  for (spare_chunk **at = &pool->spare_bump; *at; at = &(*at)->next)
    if ((*at)->units >= want && (!best || (*at)->units < (*best)->units)) best = at;
  if (!best) return nullptr;
  spare_chunk *s = *best;
  *best = s->next;
  pool->spare_bytes -= static_cast<std::uint64_t>(s->units) * kUnit;
  return s;
}

// Keeps a bump chunk the pool no longer uses for its next allocations, or
// releases it when the pool would keep more than keep bytes.
void keep_or_release(smp_memory_pool *pool, bump_header *h, std::uint64_t keep) {
  std::uint64_t bytes = static_cast<std::uint64_t>(h->units) * kUnit;
  if (pool->spare_bytes + bytes > keep) {
    chunk_free(h->id);
    return;
  }
  std::int32_t id = h->id;
  std::uint32_t units = h->units;
  spare_chunk *s = reinterpret_cast<spare_chunk *>(h);
  s->next = pool->spare_bump;
  s->id = id;
  s->units = units;
  pool->spare_bump = s;
  pool->spare_bytes += bytes;
}

void release_spares(spare_chunk *s) {
  while (s) {
    spare_chunk *next = s->next;
    chunk_free(s->id);
    s = next;
  }
}

// Fills the current bump chunk with 0xDE down past unit `at`, the lowest
// unit now handed out, a step ahead.
void fill_bump(smp_memory_pool *pool, std::uint32_t at) {
  std::uint32_t from = at > kBumpHeaderUnits + kFillStepUnits ? at - kFillStepUnits : kBumpHeaderUnits;
  char *base = reinterpret_cast<char *>(pool->bump);
  std::memset(base + static_cast<std::size_t>(from) * kUnit, 0xDE,
              static_cast<std::size_t>(pool->bump_filled - from) * kUnit);
  pool->bump_filled = from;
}

void new_bump_chunk(smp_memory_pool *pool, std::uint32_t u) {
  // The request covers the margin checked below: a request just under a
  // chunk class would otherwise get that class and fail the check.
  std::uint64_t req = (static_cast<std::uint64_t>(u) + 21) * kUnit;
  std::uint64_t grown = static_cast<std::uint64_t>(pool->bump_units / 3) * kUnit;
  if (grown > req) req = grown;
  bump_header *h = nullptr;
  std::uint32_t filled = 0;
  if (spare_chunk *kept = take_spare(pool, req, static_cast<std::uint64_t>(u) + 20)) {
    std::int32_t id = kept->id;
    std::uint32_t units = kept->units;
    h = reinterpret_cast<bump_header *>(kept);
    h->id = id;
    h->units = units;
  } else {
    char *mem = nullptr;
    unsigned size = 0;
    int id = chunk_take(req, &mem, &size);
    char *base = chunk_claim(id, kChunkBump, pool, &size);
    if (!base) smp_fatal(1826);
    std::uint64_t total = size / kUnit;
    if (total <= static_cast<std::uint64_t>(u) + 20) smp_fatal(1841);
    // A small chunk is filled at once; a large one as it is handed out.
    if (size <= kFillAtOnceBytes) {
      std::memset(base, 0xDE, size);
    } else {
      filled = static_cast<std::uint32_t>(total);
    }
    h = reinterpret_cast<bump_header *>(base);
    h->id = id;
    h->units = static_cast<std::uint32_t>(total);
  }
  h->next = pool->bump;
  h->free_units = static_cast<std::int32_t>(h->units - kBumpHeaderUnits);
  pool->bump = h;
  pool->bump_filled = filled;
}

// Splices b in right after the cursor, so that it is the second position a
// search examines; with no cursor b becomes a ring of its own.
void ring_insert(smp_memory_pool *pool, free_block *b) {
  if (!b) smp_fatal(2333);
  free_block *c = pool->cursor;
  if (!c) {
    b->prev = b->next = b;
    pool->cursor = b;
    return;
  }
  if (!c->next) smp_fatal(2336);
  if (c->next->prev != c) smp_fatal(2337);
  b->next = c->next;
  b->prev = c;
  c->next->prev = b;
  c->next = b;
}

void ring_unlink(free_block *b) {
  b->prev->next = b->next;
  b->next->prev = b->prev;
}

std::uint64_t freeable_need(unsigned n) {
  return (static_cast<std::uint64_t>(n) + 100 + kTagBytes + kUnit - 1) / kUnit * kUnit +
         static_cast<std::uint64_t>(kTrailerUnits) * kUnit;
}

// Puts the trailer of a freeable chunk into the pool's ring of freeable
// chunks (before its entry, or as its only member).
void join_chunk_ring(smp_memory_pool *pool, chunk_trailer *t) {
  if (!pool->freeable) {
    t->chunk_next = t->chunk_prev = t;
    pool->freeable = t;
  } else {
    chunk_trailer *e = pool->freeable;
    t->chunk_next = e;
    t->chunk_prev = e->chunk_prev;
    e->chunk_prev->chunk_next = t;
    e->chunk_prev = t;
  }
}

// Lays a freeable chunk out as one free block before its trailer and puts
// both into the free ring, the block as the cursor; returns the block.
free_block *open_freeable_chunk(smp_memory_pool *pool, chunk_trailer *t) {
  free_block *first = t->first;
  first->tag = -static_cast<std::int64_t>((reinterpret_cast<char *>(t) - reinterpret_cast<char *>(first)) / kUnit);
  t->link.tag = 0;
  t->link.prev = t->link.next = nullptr;
  ring_insert(pool, first);
  ring_insert(pool, &t->link);
  pool->cursor = first;
  return first;
}

// Adds a freeable chunk able to serve n bytes; returns its first block.
// In soft mode a chunk that cannot be had gives NULL instead of the fatal exit.
free_block *new_freeable_chunk(smp_memory_pool *pool, unsigned n, bool soft) {
  std::uint64_t need = freeable_need(n);
  if (need <= 8) smp_fatal(2368);
  if (need == 0) smp_fatal(2369);
  if (soft && need > chunk_largest_class()) return nullptr;
  std::uint64_t b = static_cast<std::uint64_t>(pool->freeable_units / 3) * kUnit;
  std::uint64_t req = (static_cast<std::uint64_t>(n) + 500 <= b) ? b : static_cast<std::uint64_t>(n) + 628;
  int id = chunk_alloc(req);
  if (id < 0) id = chunk_alloc(need);
  if (id < 0) {
    if (soft) return nullptr;
    smp_fatal(2373);
  }
  unsigned size = 0;
  char *base = chunk_claim(id, kChunkFreeable, pool, &size);
  if (size < need) {
    if (soft) {
      chunk_free(id);
      return nullptr;
    }
    smp_fatal(2386);
  }
  std::uint64_t total = size / kUnit;
  chunk_trailer *t = reinterpret_cast<chunk_trailer *>(base + (total - kTrailerUnits) * kUnit);
  t->first = block_at(base);
  t->pool = pool;
  t->id = id;
  join_chunk_ring(pool, t);
  return open_freeable_chunk(pool, t);
}

// Takes every chunk but the first off the pool, after the spares it kept
// before. Freeable chunks stay in it, each one free block again, and bump
// chunks are kept as spares, as long as the bytes kept stay within keep;
// the others are released.
void give_back_chunks(smp_memory_pool *pool, std::uint64_t keep) {
  release_spares(pool->spare_bump);
  pool->spare_bump = nullptr;
  pool->spare_bytes = 0;
  pool->cursor = nullptr;
  if (chunk_trailer *t = pool->freeable) {
    t->chunk_prev->chunk_next = nullptr;
    pool->freeable = nullptr;
    while (t) {
      chunk_trailer *next = t->chunk_next;
      // A trailer the registry does not know under its id: a broken pool.
      if (chunk_find(t) != t->id) smp_fatal(1962);
      std::uint64_t bytes = static_cast<std::uint64_t>(reinterpret_cast<char *>(t) - reinterpret_cast<char *>(t->first)) +
                            kTrailerUnits * kUnit;
      if (pool->spare_bytes + bytes > keep) {
        chunk_free(t->id);
      } else {
        pool->spare_bytes += bytes;
        join_chunk_ring(pool, t);
        open_freeable_chunk(pool, t);
      }
      t = next;
    }
  }
  bump_header *h = pool->bump;
  while (h->next) {
    bump_header *next = h->next;
    keep_or_release(pool, h, keep);
    h = next;
  }
  pool->bump = h;
}

bool first_block_fits(free_block *b, std::uint32_t u) {
  std::int64_t size = -b->tag;
  return size == u || size >= static_cast<std::int64_t>(u) + kMinBlockUnits;
}

void *malloc_impl(smp_memory_pool *pool, unsigned n, bool soft) {
  if (!pool || n > 0x7FFFFF37u) return nullptr;
  std::uint32_t u = malloc_units(n);
  pool_lock lock(pool);
  if (!pool->cursor) {
    free_block *first = new_freeable_chunk(pool, n, soft);
    if (!first) {
      if (soft) return nullptr;
      smp_fatal(2527);
    }
    if (!first_block_fits(first, u)) smp_fatal(2529);
  }
  free_block *q = pool->cursor;
  free_block *sentinel = nullptr;
  for (;;) {
    if (q->tag == 0) {
      if (q == sentinel) {
        // Gone round the whole ring without success.
        free_block *first = new_freeable_chunk(pool, n, soft);
        if (!first) {
          if (soft) return nullptr;
          smp_fatal(2565);
        }
        if (!first_block_fits(first, u)) smp_fatal(2567);
        q = first;
        continue;
      }
      if (!sentinel) sentinel = q;
      if (!q->next) smp_fatal(2602);
      q = pool->cursor = q->next;
      continue;
    }
    if (q->tag > 0) {
      printf("chsize = %d\n", static_cast<int>(q->tag));
      smp_fatal(2610);
    }
    // Merge the free blocks that follow in memory.
    for (;;) {
      free_block *after = block_at(reinterpret_cast<char *>(q) + (-q->tag) * kUnit);
      if (after->tag >= 0) break;
      ring_unlink(after);
      q->tag += after->tag;
    }
    std::int64_t size = -q->tag;
    if (size < static_cast<std::int64_t>(u)) {
      q = pool->cursor = q->next;
      continue;
    }
    if (size - u >= kMinBlockUnits) {
      q->tag = -(size - u);
      pool->cursor = q;
      free_block *b = block_at(reinterpret_cast<char *>(q) + (size - u) * kUnit);
      b->tag = u;
      pool->freeable_units += u;
      return data_of(b);
    }
    if (!q->next) smp_fatal(2760);
    if (!q->prev) smp_fatal(2761);
    if (q->next == q) smp_fatal(2768);
    ring_unlink(q);
    pool->cursor = q->next;
    q->tag = size;
    pool->freeable_units += static_cast<std::uint32_t>(size);
    return data_of(q);
  }
}

}  // namespace

// ---------------------------------------------------------------- registry API

int chunk_registry_init() {
  if (g_registry_ready.load(std::memory_order_acquire)) return 0;
  std::lock_guard<std::mutex> guard(g_registry_init_guard);
  if (g_registry_ready.load(std::memory_order_relaxed)) return 0;
  int r = mutex_init(&g_registry.mutex);
  if (r == 0) g_registry_ready.store(true, std::memory_order_release);
  return r;
}

unsigned chunk_size_class(std::size_t n) {
  if (n < kLadder[0]) return kLadder[0];
  int lo = 0, hi = kLadderLength - 1;
  if (n > kLadder[hi]) return kLadder[hi];
  while (lo < hi) {
    int mid = (lo + hi) / 2;
    if (kLadder[mid] >= n) hi = mid; else lo = mid + 1;
  }
  return kLadder[lo];
}

unsigned chunk_largest_class() { return kLadder[kLadderLength - 1]; }
int chunk_class_count() { return kLadderLength; }
unsigned chunk_class(int i) { return (i >= 0 && i < kLadderLength) ? kLadder[i] : 0; }

int chunk_alloc(std::size_t n) {
  char *mem = nullptr;
  unsigned size = 0;
  int id = chunk_take(n, &mem, &size);
  if (id >= 0) std::memset(mem, 0xDE, size);
  return id;
}

int chunk_take(std::size_t n, char **base, unsigned *bytes) {
  chunk_registry_init();
  unsigned size = chunk_size_class(n);
  // No huge-page request for the chunks of 4 MiB and more: a large batch
  // took 1.6x to 1.9x the CPU time in them, alone at 10 MB and 64 MB, and
  // gained 2-11% only with one 2 GB run per core (docs/benchmark.md).
  char *mem = static_cast<char *>(std::malloc(size));
  if (!mem) return -1;
  int id = -1;
  {
    registry_lock lock;
    registry &r = g_registry;
    if (r.unused_head >= 0) {
      id = r.unused_head;
      r.unused_head = descriptor(id)->right;
    } else if (r.made < kPageSize * kMaxPages) {
      int page = r.made / kPageSize;
      if (!r.pages[page])
        r.pages[page] = static_cast<chunk_descriptor *>(std::calloc(kPageSize, sizeof(chunk_descriptor)));
      if (r.pages[page]) id = r.made++;
    }
    if (id >= 0) {
      chunk_descriptor *d = descriptor(id);
      d->id = id;
      d->kind = kChunkRegistered;
      d->size = size;
      d->base = mem;
      d->owner = mem;
      tree_insert(id);
      ++r.live;
    }
  }
  if (id < 0) {
    std::free(mem);
    return -1;
  }
  *base = mem;
  *bytes = size;
  return id;
}

void chunk_free(int id) {
  registry_lock lock;
  chunk_descriptor *d = live_descriptor(id);
  if (!d) return;
  tree_remove(id);
  std::free(d->base);
  d->base = nullptr;
  d->owner = nullptr;
  d->size = 0;
  d->left = -1;
  d->kind = kChunkUnused;
  d->right = g_registry.unused_head;
  g_registry.unused_head = id;
  --g_registry.live;
}

int chunk_find(const void *address) {
  registry_lock lock;
  return tree_find(reinterpret_cast<std::uintptr_t>(address));
}

char *chunk_base(int id) {
  registry_lock lock;
  chunk_descriptor *d = live_descriptor(id);
  return d ? d->base : nullptr;
}
unsigned chunk_size(int id) {
  registry_lock lock;
  chunk_descriptor *d = live_descriptor(id);
  return d ? d->size : 0;
}
int chunk_kind(int id) {
  registry_lock lock;
  chunk_descriptor *d = live_descriptor(id);
  return d ? d->kind : 0;
}
void *chunk_owner(int id) {
  registry_lock lock;
  chunk_descriptor *d = live_descriptor(id);
  return d ? d->owner : nullptr;
}
void chunk_set_kind(int id, int kind) {
  registry_lock lock;
  chunk_descriptor *d = live_descriptor(id);
  if (!d || kind <= kChunkUnused) return;
  d->kind = kind;
  d->owner = d->base;
}
void chunk_set_owner(int id, void *owner) {
  registry_lock lock;
  chunk_descriptor *d = live_descriptor(id);
  if (!d) return;
  d->owner = owner ? owner : d->base;
}
int chunk_live_count() {
  registry_lock lock;
  return g_registry.live;
}

int learned_size_class(std::uint32_t n) {
  if (n <= 4) return static_cast<int>(n);
  int k = 31 - __builtin_clz(n);
  int b = static_cast<int>((n >> (k - 1)) & 1u);
  return 2 * k + b;
}

std::uint32_t learned_size(int row) {
  // Built once, by whichever thread comes first (thread-safe static init).
  static const bool built = (build_learned_table(), true);
  (void)built;
  if (row < 0 || row >= kLearnedRows) return 0;
  return g_learned[row].load(std::memory_order_relaxed);
}

void *smp_malloc_soft(smp_memory_pool *pool, unsigned n) { return malloc_impl(pool, n, true); }

void smp_reset(smp_memory_pool *pool) {
  if (!pool) return;
  pool_lock lock(pool);
  give_back_chunks(pool, kSpareBytes);
  // The first chunk, which holds the record, was filled when it was made.
  bump_header *h = pool->bump;
  h->free_units = static_cast<std::int32_t>(h->units - kPoolRecordUnits - kBumpHeaderUnits);
  pool->bump_filled = 0;
  learn(learned_size_class(static_cast<std::uint32_t>(pool->input_size)), pool->bump_units * kUnit);
  pool->input_size = 0;
  pool->bump_units = 0;
  pool->freeable_units = 0;
}

}  // namespace qen_ag

using namespace qen_ag;

extern "C" {

QEN_AG_API smp_memory_pool *smp_create(void) {
  std::uint32_t request = learned_size(0) / 3;
  int id = chunk_alloc(request);
  if (id < 0) smp_fatal(1473);
  unsigned size = 0;
  char *base = chunk_claim(id, kChunkBump, nullptr, &size);  // the owner follows below
  if (!base) smp_fatal(1486);
  if (size <= 100) smp_fatal(1487);
  std::uint32_t total = size / kUnit;
  smp_memory_pool *pool =
      reinterpret_cast<smp_memory_pool *>(base + static_cast<std::size_t>(total - kPoolRecordUnits) * kUnit);
  pool->bump = reinterpret_cast<bump_header *>(base);
  pool->cursor = nullptr;
  pool->freeable = nullptr;
  pool->input_size = 0;
  pool->freeable_units = 0;
  pool->bump_units = 0;
  pool->mutex = nullptr;
  pool->bump_filled = 0;
  pool->spare_bump = nullptr;
  pool->spare_bytes = 0;
  mutex_init(&pool->mutex);
  bump_header *h = pool->bump;
  h->next = nullptr;
  h->id = id;
  h->units = total;
  h->free_units = static_cast<std::int32_t>(total - kPoolRecordUnits - kBumpHeaderUnits);
  if (h->free_units <= 10) smp_fatal(1507);
  chunk_set_owner(id, pool);
  return pool;
}

QEN_AG_API void *smp_alloc(smp_memory_pool *pool, unsigned n) {
  if (!pool) return std::malloc(n);
  if (n > 0x1FFFFFCDu) smp_fatal(1874);
  pool_lock lock(pool);
  std::uint32_t u = (n + 7) / kUnit;
  if (pool->bump->free_units < 0) smp_fatal(1884);
  if (static_cast<std::uint32_t>(pool->bump->free_units) < u) {
    new_bump_chunk(pool, u);
    if (!pool->bump) smp_fatal(1890);
    if (pool->bump->free_units < 0 || static_cast<std::uint32_t>(pool->bump->free_units) < u) smp_fatal(1891);
  }
  bump_header *h = pool->bump;
  h->free_units -= static_cast<std::int32_t>(u);
  if (h->free_units < 0) smp_fatal(1902);
  pool->bump_units += u;
  std::uint32_t at = kBumpHeaderUnits + static_cast<std::uint32_t>(h->free_units);
  if (at < pool->bump_filled) fill_bump(pool, at);
  return reinterpret_cast<char *>(h) + static_cast<std::size_t>(at) * kUnit;
}

QEN_AG_API void *smp_malloc(smp_memory_pool *pool, unsigned n) { return malloc_impl(pool, n, false); }

QEN_AG_API void smp_free(smp_memory_pool *pool, void *block) {
  if (!pool || !block) return;
  int id = chunk_find(block);
  int kind = 0;
  void *owner = id >= 0 ? chunk_owner_and_kind(id, &kind) : nullptr;
  if (owner && kind != kChunkFreeable) smp_fatal(2030);
  if (owner != pool) smp_fatal(2851);
  pool_lock lock(pool);
  if (!pool->cursor || !pool->cursor->next) smp_fatal(2861);
  free_block *b = block_at(static_cast<char *>(block) - kTagBytes);
  if (b->tag < static_cast<std::int64_t>(kMinBlockUnits)) smp_fatal(2863);
  pool->freeable_units -= static_cast<std::uint32_t>(b->tag);
  b->tag = -b->tag;
  ring_insert(pool, b);
}

QEN_AG_API void smp_destroy(smp_memory_pool *pool) {
  if (!pool) return;
  int first_id = -1;
  {
    pool_lock lock(pool);
    give_back_chunks(pool, 0);
    first_id = pool->bump->id;
    learned_size(0);  // make sure the table exists before it is moved
    learn(learned_size_class(static_cast<std::uint32_t>(pool->input_size)), pool->bump_units * kUnit);
  }
  ag_mutex m = pool->mutex;
  pool->mutex = nullptr;
  mutex_destroy(&m);
  chunk_free(first_id);
}

QEN_AG_API void smp_set_input_size(smp_memory_pool *pool, int size) {
  if (!pool) smp_fatal(2925);
  pool->input_size = size;
}

}  // extern "C"

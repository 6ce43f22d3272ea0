// Pools: size ladder, registry, bump blocks, freeable blocks, fatal sites.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

#include "agc_death.h"
#include "smp_internal.h"

using namespace qen_ag;

namespace {

free_block *header_of(void *data) {
  return reinterpret_cast<free_block *>(static_cast<char *>(data) - kTagBytes);
}

unsigned first_chunk_units() { return chunk_size_class(learned_size(0) / 3) / kUnit; }

TEST(SmpLadder, SizesAndClasses) {
  ASSERT_EQ(chunk_class_count(), 23);
  EXPECT_EQ(chunk_class(0), 2048u);
  EXPECT_EQ(chunk_class(1), 4108u);
  EXPECT_EQ(chunk_class(2), 6168u);
  EXPECT_EQ(chunk_class(3), 10288u);
  EXPECT_EQ(chunk_class(22), 95518068u);
  EXPECT_EQ(chunk_largest_class(), 95518068u);
  for (int i = 3; i < 23; ++i) EXPECT_EQ(chunk_class(i), chunk_class(i - 1) + chunk_class(i - 2) + 12);
  EXPECT_LE(chunk_class(22) + chunk_class(21) + 12, 0xFFFFFFFFu);
  EXPECT_GT(chunk_class(22) + chunk_class(21) + 12, 0x7FFFFFFu);

  EXPECT_EQ(chunk_size_class(0), 2048u);
  EXPECT_EQ(chunk_size_class(2047), 2048u);
  EXPECT_EQ(chunk_size_class(2048), 2048u);
  EXPECT_EQ(chunk_size_class(2049), 4108u);
  EXPECT_EQ(chunk_size_class(21857), 26768u);
  EXPECT_EQ(chunk_size_class(95518068), 95518068u);
  EXPECT_EQ(chunk_size_class(95518069), 95518068u);
  EXPECT_EQ(chunk_size_class(0xFFFFFFFFu), 95518068u);
}

TEST(SmpLearned, SizeClassRows) {
  EXPECT_EQ(learned_size_class(0), 0);
  EXPECT_EQ(learned_size_class(4), 4);
  EXPECT_EQ(learned_size_class(5), 4);
  EXPECT_EQ(learned_size_class(6), 5);
  EXPECT_EQ(learned_size_class(7), 5);
  EXPECT_EQ(learned_size_class(8), 6);
  EXPECT_EQ(learned_size_class(12), 7);
  EXPECT_EQ(learned_size_class(100), 13);
  EXPECT_EQ(learned_size_class(1u << 20), 40);
  EXPECT_EQ(learned_size_class(0xFFFFFFFFu), 63);
}

TEST(SmpRegistry, AllocFindFreeAndRecycle) {
  int before = chunk_live_count();
  std::vector<int> ids;
  for (int i = 0; i < 40; ++i) ids.push_back(chunk_alloc(100 + i * 300));
  EXPECT_EQ(chunk_live_count(), before + 40);
  for (int id : ids) {
    ASSERT_GE(id, 0);
    char *b = chunk_base(id);
    unsigned s = chunk_size(id);
    EXPECT_EQ(chunk_kind(id), kChunkRegistered);
    EXPECT_EQ(chunk_owner(id), b);
    EXPECT_EQ(static_cast<unsigned char>(b[0]), 0xDE);
    EXPECT_EQ(static_cast<unsigned char>(b[s - 1]), 0xDE);
    EXPECT_EQ(chunk_find(b), id);
    EXPECT_EQ(chunk_find(b + s / 2), id);
    EXPECT_EQ(chunk_find(b + s - 1), id);
    EXPECT_NE(chunk_find(b + s), id);
  }
  chunk_set_kind(ids[0], kChunkBump);
  int owner_word = 0;
  chunk_set_owner(ids[0], &owner_word);
  EXPECT_EQ(chunk_owner(ids[0]), &owner_word);
  chunk_set_kind(ids[0], kChunkFreeable);  // resets the owner to the base
  EXPECT_EQ(chunk_owner(ids[0]), chunk_base(ids[0]));
  chunk_set_kind(ids[0], kChunkUnused);    // only kinds above 1 are set
  EXPECT_EQ(chunk_kind(ids[0]), kChunkFreeable);
  chunk_set_owner(ids[0], nullptr);
  EXPECT_EQ(chunk_owner(ids[0]), chunk_base(ids[0]));

  int local = 0;
  EXPECT_EQ(chunk_find(&local), -1);
  int victim = ids[7];
  char *vb = chunk_base(victim);
  for (int i = 0; i < 40; i += 2) chunk_free(ids[i]);
  chunk_free(ids[0]);  // already released: nothing
  chunk_free(-1);
  chunk_free(1 << 20);
  EXPECT_EQ(chunk_live_count(), before + 20);
  EXPECT_EQ(chunk_base(ids[0]), nullptr);
  EXPECT_EQ(chunk_size(ids[0]), 0u);
  EXPECT_EQ(chunk_kind(ids[0]), 0);
  EXPECT_EQ(chunk_find(vb), victim);
  // The last released descriptor is reused first, under the same id.
  int again = chunk_alloc(10);
  EXPECT_EQ(again, ids[38]);
  for (int i = 1; i < 40; i += 2) EXPECT_EQ(chunk_find(chunk_base(ids[i]) + 5), ids[i]);
  for (int i = 1; i < 40; i += 2) chunk_free(ids[i]);
  chunk_free(again);
  EXPECT_EQ(chunk_live_count(), before);
}

TEST(SmpRegistry, LookupsAgreeWithAPlainScan) {
  // The address tree restructures itself on every few steps; whatever its
  // shape, each lookup must find exactly the chunk that holds the address.
  int before = chunk_live_count();
  std::uint32_t state = 99;
  auto next = [&state] { return state = state * 1103515245u + 12345u; };
  std::vector<int> live;
  for (int round = 0; round < 3000; ++round) {
    unsigned op = next() % 10;
    if (op < 4 || live.empty()) {
      int id = chunk_alloc(next() % 9000);
      ASSERT_GE(id, 0);
      live.push_back(id);
    } else if (op < 6) {
      std::size_t k = next() % live.size();
      chunk_free(live[k]);
      live.erase(live.begin() + static_cast<long>(k));
    } else {
      int id = live[next() % live.size()];
      char *b = chunk_base(id);
      unsigned s = chunk_size(id);
      ASSERT_EQ(chunk_find(b + next() % s), id);
      char *outside = b + s + next() % 64;
      int expect = -1;
      for (int other : live)
        if (outside >= chunk_base(other) && outside < chunk_base(other) + chunk_size(other)) expect = other;
      ASSERT_EQ(chunk_find(outside), expect);
    }
  }
  EXPECT_EQ(chunk_live_count(), before + static_cast<int>(live.size()));
  for (int id : live) chunk_free(id);
  EXPECT_EQ(chunk_live_count(), before);
}

TEST(SmpThreads, PoolsOnSeveralThreads) {
  int before = chunk_live_count();
  auto work = [](int seed) {
    for (int round = 0; round < 20; ++round) {
      smp_memory_pool *p = smp_create();
      smp_set_input_size(p, seed * 1000 + round);
      std::vector<unsigned char *> blocks;
      for (int i = 0; i < 300; ++i) {
        auto *a = static_cast<unsigned char *>(smp_alloc(p, static_cast<unsigned>(i * seed % 700)));
        std::memset(a, seed, static_cast<std::size_t>(i * seed % 700));
        auto *m = static_cast<unsigned char *>(smp_malloc(p, static_cast<unsigned>(i * 13 % 900)));
        std::memset(m, seed, static_cast<std::size_t>(i * 13 % 900));
        blocks.push_back(m);
        if (i % 3 == 0) {
          smp_free(p, blocks.front());
          blocks.erase(blocks.begin());
        }
      }
      smp_destroy(p);
    }
  };
  std::vector<std::thread> threads;
  for (int t = 1; t <= 4; ++t) threads.emplace_back(work, t);
  for (auto &t : threads) t.join();
  EXPECT_EQ(chunk_live_count(), before);
}

TEST(SmpBump, FirstChunkLayoutAndBlocks) {
  smp_memory_pool *p = smp_create();
  unsigned total = first_chunk_units();
  int id = chunk_find(p);
  ASSERT_GE(id, 0);
  EXPECT_EQ(chunk_kind(id), kChunkBump);
  EXPECT_EQ(chunk_owner(id), p);
  char *base = chunk_base(id);
  EXPECT_EQ(reinterpret_cast<char *>(p), base + (total - kPoolRecordUnits) * kUnit);
  EXPECT_EQ(reinterpret_cast<char *>(p->bump), base);
  EXPECT_EQ(p->bump->next, nullptr);
  int free0 = p->bump->free_units;
  EXPECT_EQ(free0, static_cast<int>(total - kPoolRecordUnits - kBumpHeaderUnits));

  void *z = smp_alloc(p, 0);  // takes no unit
  EXPECT_EQ(p->bump->free_units, free0);
  EXPECT_EQ(p->bump_units, 0u);
  EXPECT_NE(z, nullptr);
  char *a = static_cast<char *>(smp_alloc(p, 1));
  char *b = static_cast<char *>(smp_alloc(p, 8));
  char *c = static_cast<char *>(smp_alloc(p, 9));
  EXPECT_EQ(p->bump->free_units, free0 - 4);
  EXPECT_EQ(p->bump_units, 4u);
  // Cut from the top downward, 8-byte aligned, fresh memory holds 0xDE.
  EXPECT_EQ(a, base + (kBumpHeaderUnits + free0 - 1) * kUnit);
  EXPECT_EQ(b, a - 8);
  EXPECT_EQ(c, b - 16);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(c) % 8, 0u);
  EXPECT_EQ(static_cast<unsigned char>(c[15]), 0xDE);
  smp_destroy(p);
}

TEST(SmpBump, NewChunksGrowWithUse) {
  int before = chunk_live_count();
  smp_memory_pool *p = smp_create();
  bump_header *first = p->bump;
  int free_before = first->free_units;
  // Larger than what is left: a new chunk; the rest of the first is abandoned.
  void *big = smp_alloc(p, 5000);
  EXPECT_NE(p->bump, first);
  EXPECT_EQ(p->bump->next, first);
  EXPECT_EQ(first->free_units, free_before);
  int id = chunk_find(big);
  EXPECT_EQ(chunk_kind(id), kChunkBump);
  EXPECT_EQ(chunk_owner(id), p);
  EXPECT_EQ(chunk_size(id), chunk_size_class(625 * 8 + 120));
  // Chunk sizes follow the usage so far: at least a third of it.
  for (int i = 0; i < 2000; ++i) smp_alloc(p, 1000);
  std::uint32_t used = p->bump_units;
  smp_alloc(p, 0x100000);
  EXPECT_GE(chunk_size(chunk_find(p->bump)), (used / 3) * 8);
  EXPECT_GT(chunk_live_count(), before + 3);
  smp_destroy(p);
  EXPECT_EQ(chunk_live_count(), before);
  void *heap = smp_alloc(nullptr, 16);
  ASSERT_NE(heap, nullptr);
  free(heap);
}

// Fresh memory holds 0xDE: a small new chunk is filled when it is added, a
// large one as its blocks are handed out, so its unused end stays untouched.
TEST(SmpBump, LargeChunksAreFilledAsTheyAreHandedOut) {
  smp_memory_pool *p = smp_create();
  unsigned char *small = static_cast<unsigned char *>(smp_alloc(p, 5000));
  EXPECT_EQ(p->bump_filled, 0u);
  EXPECT_EQ(small[0], 0xDE);
  EXPECT_EQ(small[4999], 0xDE);
  const unsigned big_size = 3u << 20;
  unsigned char *big = static_cast<unsigned char *>(smp_alloc(p, big_size));
  EXPECT_EQ(chunk_size(chunk_find(big)), chunk_size_class(big_size + 120));
  for (unsigned at : {0u, big_size / 2, big_size - 1}) EXPECT_EQ(big[at], 0xDE) << at;
  char *chunk = reinterpret_cast<char *>(p->bump);
  EXPECT_GT(p->bump_filled, kBumpHeaderUnits);  // the bottom is not filled yet
  EXPECT_LE(chunk + static_cast<std::size_t>(p->bump_filled) * kUnit, reinterpret_cast<char *>(big));
  bump_header *h = p->bump;
  while (p->bump == h) {
    unsigned char *b = static_cast<unsigned char *>(smp_alloc(p, 70000));
    if (p->bump != h) break;
    ASSERT_EQ(b[0], 0xDE);
    ASSERT_EQ(b[69999], 0xDE);
    std::memset(b, 0, 70000);
  }
  smp_destroy(p);
}

// A reset pool is empty, as a new one, and serves the same use again from
// the chunks it kept; it keeps no more than its bound.
TEST(SmpReset, KeepsChunksForTheNextUse) {
  int before = chunk_live_count();
  smp_memory_pool *p = smp_create();
  bump_header *first = p->bump;
  const int first_free = first->free_units;
  auto use = [p] {
    for (int i = 0; i < 100; ++i) std::memset(smp_alloc(p, 1000), 1, 1000);
    for (int i = 0; i < 20; ++i) std::memset(smp_malloc(p, 500 + i * 10), 2, 500);
  };
  use();
  int used = chunk_live_count();
  EXPECT_GT(used, before + 2);
  smp_reset(p);
  EXPECT_EQ(p->bump, first);
  EXPECT_EQ(first->next, nullptr);
  EXPECT_EQ(first->free_units, first_free);
  EXPECT_EQ(p->bump_units, 0u);
  EXPECT_EQ(p->freeable_units, 0u);
  EXPECT_EQ(p->input_size, 0);
  EXPECT_EQ(chunk_live_count(), used);
  use();
  EXPECT_EQ(chunk_live_count(), used);  // nothing new taken from the heap
  void *m = smp_malloc(p, 64);
  smp_free(p, m);
  EXPECT_EQ(smp_malloc(p, 64), m);

  smp_reset(p);
  for (int i = 0; i < 4000; ++i) smp_alloc(p, 1000);
  int large = chunk_live_count();
  smp_reset(p);
  EXPECT_LT(chunk_live_count(), large);
  EXPECT_LE(p->spare_bytes, 1u << 20);
  use();
  smp_destroy(p);
  EXPECT_EQ(chunk_live_count(), before);
  smp_reset(nullptr);
}

// A request just below a chunk class is served by that class, which must
// still hold the request and the chunk's margin: no fatal exit for any size.
TEST(SmpBump, RequestsNearEveryClassBoundaryAreServed) {
  for (int i = 0; i < chunk_class_count() && chunk_class(i) <= (1u << 20); ++i) {
    for (unsigned n = chunk_class(i) - 200; n < chunk_class(i) + 8; n += 4) {
      smp_memory_pool *p = smp_create();
      smp_alloc(p, static_cast<unsigned>(p->bump->free_units) * kUnit);  // the first chunk is full
      char *block = static_cast<char *>(smp_alloc(p, n));
      ASSERT_NE(block, nullptr) << n;
      std::memset(block, 0, n);
      smp_destroy(p);
    }
  }
}

TEST(SmpFreeable, BlockSizesAndNullCases) {
  EXPECT_EQ(smp_malloc(nullptr, 8), nullptr);
  smp_memory_pool *p = smp_create();
  EXPECT_EQ(smp_malloc(p, 2147483448u), nullptr);
  EXPECT_EQ(p->cursor, nullptr);
  EXPECT_EQ(p->freeable, nullptr);
  EXPECT_GE(kMinBlockUnits * kUnit - kTagBytes, 2 * sizeof(void *));
  const unsigned sizes[] = {0, 1, 8, 12, 13, 16, 17, 24, 25, 100, 1000};
  for (unsigned n : sizes) {
    void *m = smp_malloc(p, n);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(m) % 8, 0u);
    std::int64_t tag = header_of(m)->tag;
    EXPECT_EQ(tag, static_cast<std::int64_t>(malloc_units(n))) << n;
    EXPECT_GE(static_cast<std::uint64_t>(tag) * kUnit - kTagBytes, n);
    EXPECT_LT(static_cast<std::uint64_t>(tag - 1) * kUnit - kTagBytes, n < 17 ? 1000u : n);
    std::memset(m, 0x5A, n);
  }
  EXPECT_EQ(malloc_units(0), kMinBlockUnits);
  EXPECT_EQ(malloc_units(17), 4u);
  int id = chunk_find(p->freeable);
  EXPECT_EQ(chunk_kind(id), kChunkFreeable);
  EXPECT_EQ(chunk_owner(id), p);
  smp_destroy(nullptr);
  smp_free(nullptr, p);
  smp_free(p, nullptr);
  smp_destroy(p);
}

TEST(SmpFreeable, FirstChunkLayoutSplitAndRing) {
  smp_memory_pool *p = smp_create();
  void *a = smp_malloc(p, 8);
  chunk_trailer *t = p->freeable;
  ASSERT_NE(t, nullptr);
  int id = chunk_find(t);
  char *base = chunk_base(id);
  unsigned total = chunk_size(id) / kUnit;
  EXPECT_EQ(chunk_size(id), chunk_size_class(8 + 628));
  EXPECT_EQ(t->chunk_next, t);
  EXPECT_EQ(t->pool, p);
  EXPECT_EQ(reinterpret_cast<char *>(t), base + (total - kTrailerUnits) * kUnit);
  EXPECT_EQ(t->link.tag, 0);
  EXPECT_EQ(reinterpret_cast<char *>(t->first), base);
  // The first block was split: the lower part stays free and is the cursor.
  free_block *first = t->first;
  std::int64_t whole = total - kTrailerUnits;
  EXPECT_EQ(p->cursor, first);
  EXPECT_EQ(first->tag, -(whole - kMinBlockUnits));
  EXPECT_EQ(static_cast<char *>(a), base + (whole - kMinBlockUnits) * kUnit + kTagBytes);
  EXPECT_EQ(p->freeable_units, kMinBlockUnits);
  // The ring holds the block and the trailer.
  EXPECT_EQ(first->next, &t->link);
  EXPECT_EQ(t->link.next, first);

  // A freed block goes right after the cursor: the second position searched.
  smp_free(p, a);
  EXPECT_EQ(header_of(a)->tag, -static_cast<std::int64_t>(kMinBlockUnits));
  EXPECT_EQ(p->cursor->next, header_of(a));
  EXPECT_EQ(header_of(a)->next, &t->link);
  EXPECT_EQ(p->freeable_units, 0u);
  smp_destroy(p);
}

TEST(SmpFreeable, MergesAdjacentFreedBlocks) {
  int before = chunk_live_count();
  smp_memory_pool *p = smp_create();
  void *probe = smp_malloc(p, 8);
  std::int64_t whole = -p->cursor->tag + kMinBlockUnits;
  smp_free(p, probe);
  // The first search merges the probe back: the chunk is one free block again.
  std::int64_t ua = (whole - kMinBlockUnits) / 2;
  std::int64_t ub = whole - kMinBlockUnits - ua;
  void *a = smp_malloc(p, static_cast<unsigned>(ua * kUnit - kTagBytes));
  void *b = smp_malloc(p, static_cast<unsigned>(ub * kUnit - kTagBytes));
  EXPECT_EQ(header_of(a)->tag, ua);
  EXPECT_EQ(header_of(b)->tag, ub);
  EXPECT_EQ(p->cursor->tag, -static_cast<std::int64_t>(kMinBlockUnits));
  EXPECT_EQ(static_cast<char *>(b) + ub * kUnit, static_cast<char *>(a));
  int live = chunk_live_count();
  smp_free(p, a);
  smp_free(p, b);
  // Their combined size comes from the merged space, without a new chunk.
  void *c = smp_malloc(p, static_cast<unsigned>((ua + ub) * kUnit - kTagBytes));
  EXPECT_EQ(c, b);
  EXPECT_EQ(header_of(c)->tag, ua + ub);
  EXPECT_EQ(chunk_live_count(), live);
  EXPECT_EQ(p->freeable_units, static_cast<std::uint32_t>(ua + ub));
  // Nothing fits any more: a full round adds a second chunk to the ring.
  void *d = smp_malloc(p, 64);
  EXPECT_EQ(chunk_live_count(), live + 1);
  EXPECT_NE(p->freeable->chunk_next, p->freeable);
  EXPECT_NE(chunk_find(d), chunk_find(c));
  EXPECT_EQ(chunk_owner(chunk_find(d)), p);
  smp_destroy(p);
  EXPECT_EQ(chunk_live_count(), before);
}

TEST(SmpFreeable, ManyBlocksSurviveRandomFrees) {
  smp_memory_pool *p = smp_create();
  std::vector<std::pair<unsigned char *, unsigned>> blocks;
  std::uint32_t state = 12345;
  auto next = [&state] { return state = state * 1103515245u + 12345u; };
  for (int round = 0; round < 4000; ++round) {
    if (!blocks.empty() && next() % 3 == 0) {
      std::size_t k = next() % blocks.size();
      auto [m, n] = blocks[k];
      for (unsigned i = 0; i < n; ++i) ASSERT_EQ(m[i], static_cast<unsigned char>(n));
      smp_free(p, m);
      blocks.erase(blocks.begin() + static_cast<long>(k));
    } else {
      unsigned n = next() % 3000;
      auto *m = static_cast<unsigned char *>(smp_malloc(p, n));
      ASSERT_NE(m, nullptr);
      std::memset(m, static_cast<unsigned char>(n), n);
      blocks.emplace_back(m, n);
    }
  }
  std::uint64_t units = 0;
  for (auto &[m, n] : blocks) {
    std::int64_t tag = header_of(m)->tag;
    EXPECT_GE(tag, static_cast<std::int64_t>(malloc_units(n)));
    EXPECT_LT(tag, static_cast<std::int64_t>(malloc_units(n) + kMinBlockUnits));
    units += static_cast<std::uint64_t>(tag);
  }
  EXPECT_EQ(p->freeable_units, units);
  smp_destroy(p);
}

TEST(SmpInputSize, SetsTheRow) {
  smp_memory_pool *p = smp_create();
  smp_set_input_size(p, 1234);
  EXPECT_EQ(p->input_size, 1234);
  smp_destroy(p);
}

using SmpFatalDeathTest = ::testing::Test;

TEST_F(SmpFatalDeathTest, FreeingWrongBlocks) {
  EXPECT_SMP_FATAL(
      {
        smp_memory_pool *p = smp_create();
        smp_free(p, smp_alloc(p, 16));
      },
      2030);
  EXPECT_SMP_FATAL(
      {
        smp_memory_pool *p = smp_create();
        smp_memory_pool *q = smp_create();
        smp_malloc(p, 8);
        smp_free(p, smp_malloc(q, 8));
      },
      2851);
  EXPECT_SMP_FATAL(
      {
        smp_memory_pool *p = smp_create();
        int local = 0;
        smp_free(p, &local);
      },
      2851);
  EXPECT_SMP_FATAL(
      {
        smp_memory_pool *p = smp_create();
        void *m = smp_malloc(p, 8);
        smp_free(p, m);
        smp_free(p, m);
      },
      2863);
}

TEST_F(SmpFatalDeathTest, SizesAndArguments) {
  EXPECT_SMP_FATAL(smp_set_input_size(nullptr, 3), 2925);
  EXPECT_SMP_FATAL(smp_alloc(smp_create(), 536870862u), 1874);
  EXPECT_SMP_FATAL(smp_alloc(smp_create(), 0xFFFFFFFFu), 1874);
  // Served with the largest class, which is still too small.
  EXPECT_SMP_FATAL(smp_alloc(smp_create(), 536870861u), 1841);
  EXPECT_SMP_FATAL(smp_malloc(smp_create(), 200000000u), 2386);
}

TEST_F(SmpFatalDeathTest, CorruptedRing) {
  EXPECT_EXIT_STDOUT(
      {
        smp_memory_pool *p = smp_create();
        smp_malloc(p, 8);
        p->cursor->tag = 7;  // a block in use inside the free ring
        smp_malloc(p, 8);
      },
      ::testing::ExitedWithCode(1), "^chsize = 7\nfatal error: file agc\\\\smp, line 2610\n$");
  EXPECT_SMP_FATAL(
      {
        smp_memory_pool *p = smp_create();
        void *m = smp_malloc(p, 8);
        p->cursor->next = nullptr;
        smp_free(p, m);
      },
      2861);
  EXPECT_SMP_FATAL(
      {
        smp_memory_pool *p = smp_create();
        void *m = smp_malloc(p, 8);
        void *n = smp_malloc(p, 8);
        smp_free(p, m);
        p->cursor->next->prev = nullptr;
        smp_free(p, n);
      },
      2337);
  EXPECT_SMP_FATAL(
      {
        smp_memory_pool *p = smp_create();
        smp_malloc(p, 8);
        static chunk_trailer stray{};
        stray.chunk_next = stray.chunk_prev = &stray;
        p->freeable = &stray;  // a freeable chunk the registry does not know
        smp_destroy(p);
      },
      1962);
}

}  // namespace

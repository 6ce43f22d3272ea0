// The learned first-chunk table. Every smp_destroy moves it, so this file
// holds a single test that starts from a fresh process.
#include <gtest/gtest.h>

#include "smp_internal.h"

using namespace qen_ag;

TEST(SmpLearnedTable, StartsAtTwoKilobytesAndLearnsFromDestroyedPools) {
  const std::uint32_t head[] = {40, 60, 120, 180, 360, 540, 1080};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(learned_size(i), head[i]) << i;
  EXPECT_EQ(learned_size(18), 787320u);
  EXPECT_EQ(learned_size(17), 393660u);
  EXPECT_EQ(learned_size(13), 43740u);
  for (int i = 19; i < 64; ++i) EXPECT_EQ(learned_size(i), 1048576u) << i;
  EXPECT_EQ(learned_size(64), 0u);

  smp_memory_pool *p = smp_create();
  int id = chunk_find(p);
  EXPECT_EQ(chunk_size(id), 2048u);
  EXPECT_EQ(p->bump->free_units, static_cast<int>(256 - kPoolRecordUnits - kBumpHeaderUnits));
  for (int i = 0; i < 1024; ++i) smp_alloc(p, 1024);
  EXPECT_EQ(p->bump_units * kUnit, 1048576u);
  smp_destroy(p);
  EXPECT_EQ(learned_size(0), 65573u);  // (15 * 40 + 1048576) / 16
  EXPECT_EQ(learned_size(1), 60u);

  smp_memory_pool *q = smp_create();
  EXPECT_EQ(chunk_size(chunk_find(q)), 26768u);  // 21857 rounded up to its class
  smp_set_input_size(q, 100);                   // row 13
  smp_alloc(q, 800);
  smp_destroy(q);
  EXPECT_EQ(learned_size(13), 41056u);  // (15 * 43740 + 800) / 16
  EXPECT_EQ(learned_size(0), 65573u);

  // A reset moves the table as destroying the pool would, and starts the
  // pool's next use at input size 0.
  smp_memory_pool *r = smp_create();
  smp_set_input_size(r, 100);
  smp_alloc(r, 800);
  smp_reset(r);
  EXPECT_EQ(learned_size(13), 38540u);  // (15 * 41056 + 800) / 16
  smp_alloc(r, 1600);
  smp_reset(r);
  EXPECT_EQ(learned_size(0), 61574u);  // (15 * 65573 + 1600) / 16
  EXPECT_EQ(learned_size(13), 38540u);
  smp_destroy(r);
  EXPECT_EQ(learned_size(0), 57725u);  // (15 * 61574 + 0) / 16
}

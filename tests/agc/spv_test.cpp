// Segmented vectors and bit vectors.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "spv.h"

namespace {

class SpvTest : public ::testing::Test {
 protected:
  void SetUp() override { pool = smp_create(); }
  void TearDown() override { smp_destroy(pool); }
  smp_memory_pool *pool = nullptr;
};

TEST_F(SpvTest, SegmentGeometry) {
  spv *v = spv_create(pool, 0, 0);
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->elem_size, 1);
  EXPECT_EQ(v->shift, 8);
  EXPECT_EQ(v->mask, 255u);
  spv *w = spv_create(pool, 4, 4096);
  EXPECT_EQ(w->shift, 9);
  EXPECT_EQ(w->segment_size, 2048u);
  spv *x = spv_create(pool, 4, 1024);
  EXPECT_EQ(x->shift, 7);
  spv *y = spv_create(pool, 1000, 0);
  EXPECT_EQ(y->shift, 4);
  EXPECT_EQ(y->segment_size, 16000u);
  EXPECT_EQ(spv_create(pool, INT_MAX, 4096), nullptr);
  EXPECT_EQ(spv_elem_count(w), 0);
  EXPECT_EQ(w->elem_count, 0);
  EXPECT_EQ(w->segment_count, 0);
  EXPECT_EQ(w->directory, nullptr);
  spv_destroy(v);
  spv_destroy(w);
  spv_destroy(x);
  spv_destroy(y);
  spv_destroy(nullptr);
}

TEST_F(SpvTest, BoundsAndNegativeCounts) {
  spv *v = spv_create(pool, 4, 4096);
  spv_set_elem_count(v, 3);
  EXPECT_NE(spv_elem_addr(v, 2), nullptr);
  EXPECT_EQ(spv_elem_addr(v, 3), nullptr);
  EXPECT_EQ(spv_elem_addr(v, static_cast<unsigned>(-1)), nullptr);
  EXPECT_EQ(static_cast<char *>(spv_elem_addr(v, 2)) - static_cast<char *>(spv_elem_addr(v, 0)), 8);
  spv_set_elem_count(v, -5);
  EXPECT_EQ(spv_elem_count(v), 0);
  EXPECT_EQ(v->segment_count, 0);
  EXPECT_EQ(v->segment[0], nullptr);
  EXPECT_EQ(spv_elem_addr(v, 0), nullptr);
  EXPECT_EQ(spv_elem_count(nullptr), 0);
  EXPECT_EQ(spv_elem_addr(nullptr, 0), nullptr);
}

TEST_F(SpvTest, DirectoryComesAndGoesWithoutMovingElements) {
  spv *v = spv_create(pool, 4, 4096);
  spv_set_elem_count(v, 512);
  EXPECT_EQ(v->segment_count, 1);
  spv_set_elem_count(v, 513);
  EXPECT_EQ(v->segment_count, 2);
  spv_set_elem_count(v, 2048);
  for (int i = 0; i < 2048; ++i) *int_spv_elem_addr(v, i) = i * 7;
  int *keep0 = int_spv_elem_addr(v, 0);
  int *keep2047 = int_spv_elem_addr(v, 2047);
  EXPECT_EQ(v->directory, nullptr);
  spv_set_elem_count(v, 2049);
  EXPECT_EQ(v->segment_count, 5);
  ASSERT_NE(v->directory, nullptr);
  EXPECT_EQ(spv_elem_count(v->directory), 5);
  for (unsigned s = 0; s < 4; ++s) EXPECT_EQ(*voidp_spv_elem_addr(v->directory, s), v->segment[s]);
  EXPECT_EQ(int_spv_elem_addr(v, 0), keep0);
  EXPECT_EQ(int_spv_elem_addr(v, 2047), keep2047);
  *int_spv_elem_addr(v, 2048) = -1;
  spv_set_elem_count(v, 2048);
  EXPECT_EQ(v->directory, nullptr);
  EXPECT_EQ(v->segment_count, 4);
  EXPECT_EQ(int_spv_elem_addr(v, 2047), keep2047);
  for (int i = 0; i < 2048; ++i) ASSERT_EQ(*int_spv_elem_addr(v, i), i * 7);
  spv_destroy(v);
}

TEST_F(SpvTest, GrowsPastTheDirectorysOwnSegments) {
  // 128 ints per segment; more than 4 directory segments of pointers makes
  // the directory grow a directory of its own.
  spv *v = spv_create(pool, 4, 1024);
  spv_set_elem_count(v, 1000);
  for (int i = 0; i < 1000; ++i) *int_spv_elem_addr(v, i) = i;
  std::vector<int *> early;
  for (int i = 0; i < 1000; i += 97) early.push_back(int_spv_elem_addr(v, i));
  const int big = 200000;
  for (int step = 1; step <= 4; ++step) {
    int n = big * step / 4;
    int old = spv_elem_count(v);
    spv_set_elem_count(v, n);
    for (int i = old; i < n; ++i) *int_spv_elem_addr(v, i) = i;
  }
  EXPECT_EQ(v->segment_count, (big + 127) / 128);
  ASSERT_NE(v->directory, nullptr);
  EXPECT_NE(v->directory->directory, nullptr);
  for (int i = 0, k = 0; i < 1000; i += 97, ++k) EXPECT_EQ(int_spv_elem_addr(v, i), early[k]);
  for (int i = 0; i < big; ++i) ASSERT_EQ(*static_cast<int *>(spv_elem_addr(v, i)), i) << i;
  for (int i = big - 1; i >= 0; i -= 3) ASSERT_EQ(*int_spv_elem_addr(v, i), i) << i;
  spv_set_elem_count(v, 500);
  EXPECT_EQ(v->directory, nullptr);
  for (int i = 0; i < 500; ++i) ASSERT_EQ(*int_spv_elem_addr(v, i), i);
  EXPECT_EQ(spv_elem_addr(v, 500), nullptr);
  spv_destroy(v);
}

TEST_F(SpvTest, PointerElements) {
  spv *v = spv_create(pool, static_cast<int>(sizeof(void *)), 4096);
  static char text[] = "abc";
  spv_set_elem_count(v, 600);
  for (int i = 0; i < 600; ++i) *voidp_spv_elem_addr(v, i) = text + (i % 4);
  for (int i = 0; i < 600; ++i) {
    ASSERT_EQ(*charp_spv_elem_addr(v, i), text + (i % 4));
    ASSERT_EQ(*static_cast<void **>(spv_elem_addr(v, i)), text + (i % 4));
  }
  spv_destroy(v);
}

TEST_F(SpvTest, BitVectors) {
  bpv *b = bpv_create(pool);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(bpv_get_elem_count(b), 0);
  EXPECT_EQ(b->cached_index, -1);
  bpv_push(b, 1);
  EXPECT_EQ(bpv_get_elem_count(b), 1);
  EXPECT_EQ(spv_elem_count(b->words), 1);
  EXPECT_EQ(bpv_elem_get(b, 0), 1);
  for (int i = 1; i < 33; ++i) bpv_push(b, i % 3 == 0 || i == 31);
  EXPECT_EQ(bpv_get_elem_count(b), 33);
  EXPECT_EQ(spv_elem_count(b->words), 2);
  // A set bit answers with its own mask value.
  EXPECT_EQ(bpv_elem_get(b, 31), INT_MIN);
  EXPECT_EQ(bpv_elem_get(b, 3), 8);
  EXPECT_EQ(bpv_elem_get(b, 4), 0);
  EXPECT_EQ(bpv_elem_get(b, 32), 0);
  bpv_elem_set(b, 4, 42);
  EXPECT_EQ(bpv_elem_get(b, 4), 16);
  bpv_elem_set(b, 3, 0);
  EXPECT_EQ(bpv_elem_get(b, 3), 0);
  // Switching words writes the cached one back.
  EXPECT_EQ(bpv_elem_get(b, 32), 0);
  EXPECT_EQ(static_cast<unsigned>(*int_spv_elem_addr(b->words, 0)) & 0x18u, 0x10u);
  // Out of range reads answer 0 and writes are ignored.
  EXPECT_EQ(bpv_elem_get(b, 33), 0);
  EXPECT_EQ(bpv_elem_get(b, -1), 0);
  bpv_elem_set(b, 1000, 1);
  bpv_elem_set(b, -3, 1);
  // Shrinking below the cached word drops it.
  bpv_set_elem_count(b, 10);
  EXPECT_EQ(spv_elem_count(b->words), 1);
  EXPECT_EQ(bpv_elem_get(b, 4), 16);
  bpv_set_elem_count(b, 5000);
  EXPECT_EQ(spv_elem_count(b->words), 157);
  for (int i = 0; i < 5000; ++i) bpv_elem_set(b, i, (i * 13) % 5 == 1);
  for (int i = 0; i < 5000; ++i) ASSERT_EQ(bpv_elem_get(b, i) != 0, (i * 13) % 5 == 1) << i;
  bpv_set_elem_count(b, -1);
  EXPECT_EQ(bpv_get_elem_count(b), 0);
  bpv_destroy(b);
  bpv_destroy(nullptr);
  EXPECT_EQ(bpv_get_elem_count(nullptr), 0);
}

}  // namespace

// Hash tables: linear-hashing growth, duplicates, deletion, iteration order
// and the debug log lines.

#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "ag_context.h"
#include "ag_ght.h"
#include "ag_string.h"

namespace {

std::vector<std::pair<int, std::string>> g_log;
void record(int level, const char *text) { g_log.emplace_back(level, text); }

// Items are ints whose value is their hash.
int cmp_int(void *a, void *b) { return *static_cast<int *>(a) != *static_cast<int *>(b); }
unsigned hash_int(void *a) { return (unsigned)*static_cast<int *>(a); }

class GhtTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(lib_one_time_init(), 0);
    memset(&ctx_, 0, sizeof ctx_);
    ASSERT_EQ(context_init(&ctx_), 0);
    for (int i = 0; i < 1000; ++i) values_[i] = i;
  }
  void TearDown() override { context_done(&ctx_); }
  st_context ctx_;
  int values_[1000];
};

TEST_F(GhtTest, CreateUsesTheCurrentContextAndStartsWithTwoChains) {
  ght *t = ght_create(nullptr, cmp_int, hash_int);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(ght_context(t), &ctx_);
  EXPECT_EQ(t->chain_count, 2);
  EXPECT_EQ(t->mask, 1u);
  EXPECT_EQ(t->capacity, 18);
  EXPECT_EQ(spv_elem_count(t->chains), 18);
  EXPECT_EQ(ght_item_count(t), 0);
  EXPECT_EQ(ght_iter_count(t), 0);
  int n = 0;
  for (ght_node *f = t->free_nodes; f; f = f->next) ++n;
  EXPECT_EQ(n, 16);
}

TEST_F(GhtTest, SixteenthInsertSplitsTheFirstChain) {
  ght *t = ght_create(&ctx_, cmp_int, hash_int);
  for (int i = 0; i < 15; ++i) EXPECT_EQ(ght_insert(t, &values_[i]), &values_[i]);
  EXPECT_EQ(t->chain_count, 2);
  EXPECT_EQ(t->mask, 1u);
  EXPECT_EQ(ght_insert(t, &values_[15]), &values_[15]);
  EXPECT_EQ(t->chain_count, 3);
  EXPECT_EQ(t->mask, 3u);
  // Chain 2 holds the even values with bit 2 set, in insertion order.
  std::vector<int> chain2;
  for (ght_node *n = *static_cast<ght_node **>(spv_elem_addr(t->chains, 2)); n; n = n->next)
    chain2.push_back(*static_cast<int *>(n->item));
  EXPECT_EQ(chain2, (std::vector<int>{2, 6, 10, 14}));
  for (int i = 0; i < 16; ++i) EXPECT_EQ(ght_find(t, &values_[i]), &values_[i]);
}

TEST_F(GhtTest, GrowthKeepsEveryItemFindable) {
  ght *t = ght_create(&ctx_, cmp_int, hash_int);
  for (int i = 0; i < 1000; ++i) ght_insert(t, &values_[i]);
  EXPECT_EQ(ght_item_count(t), 1000);
  // One split per 8 inserts after the first 16 free nodes.
  EXPECT_EQ(t->chain_count, 2 + (1000 - 16) / 8 + 1);
  EXPECT_EQ(t->mask, 127u);
  EXPECT_GE(t->capacity, t->chain_count);
  for (int i = 0; i < 1000; ++i) {
    int probe = i;
    ASSERT_EQ(ght_find(t, &probe), &values_[i]);
  }
  int absent = 5000;
  EXPECT_EQ(ght_find(t, &absent), nullptr);
  EXPECT_EQ(ght_find(t, nullptr), nullptr);
  EXPECT_EQ(ght_insert(t, nullptr), nullptr);
}

TEST_F(GhtTest, DuplicatesReturnTheStoredItem) {
  ght *t = ght_create(&ctx_, cmp_int, hash_int);
  int a = 7, b = 7;
  EXPECT_EQ(ght_insert(t, &a), &a);
  EXPECT_EQ(ght_insert(t, &b), &a);
  EXPECT_EQ(ght_item_count(t), 1);
}

TEST_F(GhtTest, DeleteAndReuseNodes) {
  ght *t = ght_create(&ctx_, cmp_int, hash_int);
  for (int i = 0; i < 10; ++i) ght_insert(t, &values_[i]);
  int probe = 4;
  EXPECT_EQ(ght_delete(t, &probe), &values_[4]);
  EXPECT_EQ(ght_delete(t, &probe), nullptr);
  EXPECT_EQ(ght_delete(t, nullptr), nullptr);
  EXPECT_EQ(ght_item_count(t), 9);
  EXPECT_EQ(ght_find(t, &probe), nullptr);
  EXPECT_EQ(ght_insert(t, &values_[4]), &values_[4]);
  EXPECT_EQ(ght_item_count(t), 10);
}

struct IterState {
  ght *t;
  std::vector<int> seen;
  void *deleted = reinterpret_cast<void *>(1);
  int stop_at = -1;
};

int visit(void *user, void *item) {
  IterState *s = static_cast<IterState *>(user);
  s->seen.push_back(*static_cast<int *>(item));
  if (s->seen.size() == 1) {
    s->deleted = ght_delete(s->t, item);
    EXPECT_EQ(ght_iter_count(s->t), 1);
  }
  return *static_cast<int *>(item) == s->stop_at ? 99 : 0;
}

TEST_F(GhtTest, IterationRunsFromTheLastChainAndRefusesDeletes) {
  ght *t = ght_create(&ctx_, cmp_int, hash_int);
  for (int i = 0; i < 16; ++i) ght_insert(t, &values_[i]);  // 3 chains
  IterState s{t, {}};
  EXPECT_EQ(ght_iterate(t, visit, &s), 0);
  EXPECT_EQ(s.deleted, nullptr);
  EXPECT_EQ(ght_item_count(t), 16);
  EXPECT_EQ(ght_iter_count(t), 0);
  EXPECT_EQ(s.seen, (std::vector<int>{2, 6, 10, 14, 1, 3, 5, 7, 9, 11, 13, 15, 0, 4, 8, 12}));

  IterState s2{t, {}};
  s2.stop_at = 5;
  EXPECT_EQ(ght_iterate(t, visit, &s2), 99);
  EXPECT_EQ(s2.seen.size(), 7u);
  EXPECT_EQ(ght_iter_count(t), 0);
  EXPECT_EQ(ght_iterate(t, nullptr, nullptr), 0);
  EXPECT_EQ(ght_iterate(nullptr, visit, &s2), 0);
}

int cmp_str(void *a, void *b) {
  return string_nteq(static_cast<st_String_const *>(a), static_cast<st_String_const *>(b));
}
unsigned hash_str(void *a) { return string_hash(static_cast<st_String_const *>(a)); }

TEST_F(GhtTest, KeyedByStringContent) {
  ght *t = ght_create(&ctx_, cmp_str, hash_str);
  st_String_const *a = make_string_from(&ctx_, "name", 4);
  st_String_const *b = string_concat(ctx_.pool, make_string_from(&ctx_, "na", 2), make_string_from(&ctx_, "me", 2));
  EXPECT_EQ(ght_insert(t, a), a);
  EXPECT_EQ(ght_find(t, b), a);
}

TEST_F(GhtTest, DestroyAndDebugLog) {
  g_log.clear();
  ctx_.log_callback = record;
  ctx_.log_level = 1;
  ght *t = ght_create(&ctx_, cmp_int, hash_int);
  ASSERT_EQ(g_log.size(), 1u);
  EXPECT_EQ(g_log[0], (std::pair<int, std::string>{1, "entering ght_create"}));
  ght_insert(t, &values_[3]);
  g_log.clear();
  ght_dump(t);
  ASSERT_EQ(g_log.size(), 6u);
  EXPECT_EQ(g_log[1].second, "mask is 01\n");
  EXPECT_EQ(g_log[2].second, "num chains is 2\n");
  EXPECT_EQ(g_log[3].second, "item count is 1\n");
  EXPECT_EQ(g_log[4].second, "nc = 0 is empty\n");
  EXPECT_NE(g_log[5].second.find(", nc = 1, hash= 03\n"), std::string::npos);
  EXPECT_EQ(g_log[5].second.rfind("cur: 0", 0), 0u);
  EXPECT_EQ(g_log[0].second.rfind("dumping hash table 0", 0), 0u);

  g_log.clear();
  EXPECT_EQ(ght_destroy(t), 0);
  ASSERT_EQ(g_log.size(), 1u);
  EXPECT_EQ(g_log[0].second, "entering ght_destroy\n");
  EXPECT_EQ(t->item_count, -1);
  EXPECT_EQ(t->iter_depth, -1);
  EXPECT_EQ(t->chain_count, -1);
  EXPECT_EQ(t->mask, 0u);
  EXPECT_EQ(t->capacity, 0);
  EXPECT_EQ(t->chains, nullptr);

  // Quiet at level 2.
  ctx_.log_level = 2;
  g_log.clear();
  ght *q = ght_create(&ctx_, cmp_int, hash_int);
  ght_dump(q);
  ght_destroy(q);
  EXPECT_TRUE(g_log.empty());
}

}  // namespace

// Rope strings: makers, shape-independent comparison and hashing, copy-out
// edges, printing, the iterator and search-and-replace.

#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "ag_context.h"
#include "ag_string.h"

namespace {

class RopeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(lib_one_time_init(), 0);
    memset(&ctx_, 0, sizeof ctx_);
    ASSERT_EQ(context_init(&ctx_), 0);
    pool_ = ctx_.pool;
  }
  void TearDown() override { context_done(&ctx_); }

  st_String_const *leaf(const char *s) { return alloc_string_no_copy(pool_, s, (int)strlen(s)); }
  st_String_const *leaf(const std::string &s) {
    // Keep the bytes alive in the pool: leaves never own their text.
    char *b = static_cast<char *>(smp_alloc(pool_, (unsigned)s.size() + 1));
    memcpy(b, s.data(), s.size());
    return alloc_string_no_copy(pool_, b, (int)s.size());
  }
  st_String_const *cat(st_String_const *a, st_String_const *b) { return string_concat(pool_, a, b); }

  // All the shapes of one text: one leaf, every split in two, left-deep and
  // right-deep ropes of single bytes, and shapes with empty leaves.
  std::vector<st_String_const *> shapes(const std::string &s) {
    std::vector<st_String_const *> out;
    out.push_back(leaf(s));
    for (size_t i = 0; i <= s.size(); ++i) out.push_back(cat(leaf(s.substr(0, i)), leaf(s.substr(i))));
    if (!s.empty()) {
      st_String_const *l = leaf(s.substr(0, 1));
      for (size_t i = 1; i < s.size(); ++i) l = cat(l, leaf(s.substr(i, 1)));
      out.push_back(l);
      st_String_const *r = leaf(s.substr(s.size() - 1));
      for (size_t i = s.size() - 1; i-- > 0;) r = cat(leaf(s.substr(i, 1)), r);
      out.push_back(r);
      out.push_back(cat(cat(C_empty_string, leaf(s)), cat(C_empty_string, C_empty_string)));
    }
    return out;
  }

  std::string flat(st_String_const *s) {
    std::string r(s->length > 0 ? (size_t)s->length : 0, '?');
    int n = string_memcpy(r.data(), s, (unsigned)r.size());
    r.resize((size_t)n);
    return r;
  }

  st_context ctx_;
  smp_memory_pool *pool_ = nullptr;
};

TEST_F(RopeTest, MakersAndFlatness) {
  st_String_const *l = leaf("abc");
  EXPECT_EQ(l->right, nullptr);
  EXPECT_EQ(string_length(l), 3);
  EXPECT_EQ(string_is_flat(l), 0);  // points at someone else's bytes

  st_String_const *m = make_string_from(&ctx_, "hello", 5);
  EXPECT_EQ(string_is_flat(m), 1);
  EXPECT_EQ(flat(m), "hello");
  EXPECT_EQ(make_string_from(&ctx_, "x", -3)->length, 0);

  st_String_const *f = malloc_string_from(&ctx_, "free", 4);
  EXPECT_EQ(string_is_flat(f), 1);
  EXPECT_EQ(flat(f), "free");

  st_String_const *e1 = malloc_string(pool_, nullptr, 3);
  EXPECT_EQ(e1->length, 0);
  EXPECT_EQ(e1->left, nullptr);
  EXPECT_EQ(malloc_string(nullptr, "a", 1), e1);
  EXPECT_EQ(malloc_string(pool_, "a", -1), e1);
  EXPECT_NE(e1, C_empty_string);

  EXPECT_EQ(flat(malloc_string_from_int(pool_, -42)), "-42");
  EXPECT_EQ(flat(malloc_string_from_unsigned(pool_, 4294967295u)), "4294967295");

  EXPECT_EQ(make_const_string(pool_, ""), C_empty_string);
  const char *k = "konst";
  st_String_const *c = make_const_string(pool_, k);
  EXPECT_EQ(c->left, k);
  EXPECT_EQ(c->length, 5);

  st_String_const *ab = cat(leaf("a"), C_empty_string);
  EXPECT_NE(ab->right, nullptr);
  EXPECT_EQ(ab->length, 1);
  EXPECT_EQ(cat_str(leaf("x"), leaf("yz"))->length, 3);
  EXPECT_EQ(flat(cat_str_const(leaf("x"), leaf("yz"))), "xyz");
}

TEST_F(RopeTest, CopyAndFlatten) {
  st_String_const *s = cat(leaf("ab"), cat(leaf("c"), leaf("de")));
  st_String_const *f = string_copy(pool_, s);
  EXPECT_EQ(string_is_flat(f), 1);
  EXPECT_EQ(f->length, 5);
  EXPECT_EQ(memcmp(f->left, "abcde", 5), 0);
  EXPECT_EQ(string_flatten_const(pool_, f), f);
  EXPECT_NE(string_flatten_const(pool_, s), s);
  st_String_const *none = string_copy(pool_, nullptr);
  EXPECT_EQ(none->length, 0);
  EXPECT_EQ(none->left, nullptr);
  st_String_const *e = string_copy(nullptr, s);
  EXPECT_EQ(e->length, 0);
  EXPECT_EQ(string_copy(nullptr, leaf("q")), e);
}

TEST_F(RopeTest, SubstrSharesBytesAndClampsTheRange) {
  const char *text = "abcdef";
  st_String_const *l = alloc_string_no_copy(pool_, text, 6);
  st_String_const *s = string_substr(pool_, l, 2, 3);
  EXPECT_EQ(s->left, text + 2);
  EXPECT_EQ(s->length, 3);
  EXPECT_EQ(string_substr(pool_, l, 4, -1)->length, 2);

  st_String_const *c = cat(leaf("abc"), leaf("def"));
  st_String_const *t = string_substr(pool_, c, 1, 4);
  EXPECT_EQ(flat(t), "bcde");

  // Out-of-range starts and lengths stay inside the string.
  EXPECT_EQ(flat(string_substr(pool_, l, -3, 2)), "ab");
  EXPECT_EQ(string_substr(pool_, l, 9, 2)->length, 0);
  EXPECT_EQ(flat(string_substr(pool_, l, 4, 100)), "ef");
  EXPECT_EQ(flat(string_substr(pool_, l, 10, -1)), "");
}

TEST_F(RopeTest, CompareOrders) {
  EXPECT_EQ(string_cmp(leaf("ab"), leaf("abc")), -1);
  EXPECT_EQ(string_cmp(leaf("abc"), leaf("ab")), 1);
  EXPECT_EQ(string_cmp(nullptr, leaf("a")), -1);
  EXPECT_EQ(string_cmp(leaf("a"), nullptr), 1);
  EXPECT_EQ(string_cmp(C_empty_string, leaf("a")), -1);
  EXPECT_EQ(string_cmp(C_empty_string, nullptr), 0);
  EXPECT_EQ(string_cmp(make_const_string(pool_, ""), C_empty_string), 0);
  EXPECT_EQ(string_cmp(leaf("\xE9"), leaf("z")), 1);
  EXPECT_EQ(string_cmp(leaf("abd"), leaf("abc")), 1);
}

TEST_F(RopeTest, CompareAndNteqIgnoreTreeShape) {
  const std::vector<std::string> texts = {"", "a", "ab", "abc", "abcd", "abcdefgh", "abcdefgi", "b", "aaaaaaaaaaaa"};
  for (const auto &x : texts) {
    for (const auto &y : texts) {
      int want = x < y ? -1 : (x == y ? 0 : 1);
      for (st_String_const *a : shapes(x)) {
        for (st_String_const *b : shapes(y)) {
          ASSERT_EQ(string_cmp(a, b), want) << x << " vs " << y;
          ASSERT_EQ(string_nteq(a, b) == 0, x == y) << x << " vs " << y;
          int ic = string_icmp(a, b);
          ASSERT_EQ(ic == 0, x == y) << x << " vs " << y;
          if (want) {
            ASSERT_EQ(ic < 0, want < 0) << x << " vs " << y;
          }
        }
      }
    }
  }
}

TEST_F(RopeTest, NteqShortcuts) {
  st_String_const *a = leaf("same"), *b = make_string_from(&ctx_, "same", 4);
  EXPECT_EQ(string_nteq(a, b), 0);
  EXPECT_EQ(string_nteq(a, a), 0);
  EXPECT_EQ(string_nteq(leaf("ab"), leaf("abc")), 1);
  EXPECT_NE(string_nteq(leaf("abc"), leaf("abd")), 0);
}

TEST_F(RopeTest, IcmpIgnoresCase) {
  EXPECT_LT(string_icmp(leaf("ABC"), leaf("abd")), 0);
  EXPECT_EQ(string_icmp(leaf("ABC"), leaf("abc")), 0);
  EXPECT_EQ(string_icmp(leaf("abc"), leaf("ab")), 1);
  EXPECT_EQ(string_icmp(cat(leaf("a"), leaf("bc")), cat(leaf("a"), leaf("b"))), 1);
  EXPECT_EQ(string_icmp(cat(leaf("Ab"), leaf("C")), cat(leaf("a"), leaf("BC"))), 0);
}

TEST_F(RopeTest, HashIsShapeIndependent) {
  EXPECT_EQ(string_hash(C_empty_string), 0u);
  EXPECT_EQ(string_hash(cat(C_empty_string, C_empty_string)), 0u);
  std::string t;
  for (int i = 0; i < 200; ++i) t.push_back((char)('a' + (i * 7) % 26));
  unsigned h = string_hash(leaf(t));
  EXPECT_NE(h, 0u);
  for (size_t i = 0; i <= t.size(); ++i)
    ASSERT_EQ(string_hash(cat(leaf(t.substr(0, i)), leaf(t.substr(i)))), h) << i;
  for (size_t i = 0; i + 3 <= t.size(); i += 13) {
    st_String_const *three = cat(cat(leaf(t.substr(0, i)), leaf(t.substr(i, 3))), leaf(t.substr(i + 3)));
    ASSERT_EQ(string_hash(three), h);
  }
  for (st_String_const *s : shapes("hash me")) EXPECT_EQ(string_hash(s), string_hash(leaf("hash me")));
  EXPECT_NE(string_hash(leaf("ab")), string_hash(leaf("ba")));
}

TEST_F(RopeTest, HashValuesFollowTheWordMix) {
  // One word "abcd": h = (4 + w) * 0x67DA05A5 - 0x47E1538B, then three folds.
  uint32_t w = 0x64636261u;
  uint32_t h = (4u + w) * 0x67DA05A5u - 0x47E1538Bu;
  for (int i = 0; i < 3; ++i) h ^= h >> 9;
  EXPECT_EQ(string_hash(leaf("abcd")), h);
  // "ab" pads with zero bytes.
  uint32_t h2 = (2u + 0x6261u) * 0x67DA05A5u - 0x47E1538Bu;
  for (int i = 0; i < 3; ++i) h2 ^= h2 >> 9;
  EXPECT_EQ(string_hash(leaf("ab")), h2);
}

TEST_F(RopeTest, CopyOutEdges) {
  st_String_const *s = cat(leaf("AB"), leaf("CD"));
  char buf[8];
  memset(buf, 'x', sizeof buf);
  EXPECT_EQ(string_strncpy_lower(buf, s, 3, 1), 3);
  EXPECT_EQ(memcmp(buf, "ab\0x", 4), 0);
  memset(buf, 'x', sizeof buf);
  EXPECT_EQ(string_strncpy_lower(buf, s, 5, 1), 5);
  EXPECT_EQ(memcmp(buf, "abcd\0x", 6), 0);
  memset(buf, 'x', sizeof buf);
  EXPECT_EQ(string_strncpy_lower(buf, s, 2, 0), 2);
  EXPECT_EQ(memcmp(buf, "abx", 3), 0);
  memset(buf, 'x', sizeof buf);
  EXPECT_EQ(string_strncpy_lower(buf, s, 4, 1), 4);
  EXPECT_EQ(memcmp(buf, "abc\0", 4), 0);
  // n = 0 writes nothing, with or without the terminator.
  memset(buf, 'x', sizeof buf);
  EXPECT_EQ(string_strncpy_lower(buf, s, 0, 1), 0);
  EXPECT_EQ(string_strncpy_lower(buf, s, 0, 0), 0);
  EXPECT_EQ(string_strncpy(buf, s, 0), 0);
  EXPECT_EQ(string_memcpy(buf, s, 0), 0);
  EXPECT_EQ(buf[0], 'x');

  memset(buf, 'x', sizeof buf);
  EXPECT_EQ(string_strncpy(buf, s, 3), 3);
  EXPECT_STREQ(buf, "AB");
  EXPECT_EQ(string_strncpy(buf, s, 8), 5);
  EXPECT_STREQ(buf, "ABCD");
  EXPECT_EQ(string_strncpy(buf, s, 1), 1);
  EXPECT_EQ(buf[0], '\0');
  memset(buf, 'x', sizeof buf);
  EXPECT_EQ(string_memcpy(buf, s, 3), 3);
  EXPECT_EQ(memcmp(buf, "ABCx", 4), 0);

  // Only the leaf's own bytes are read.
  char *exact = static_cast<char *>(malloc(3));
  memcpy(exact, "XYZ", 3);
  st_String_const *e = alloc_string_no_copy(pool_, exact, 3);
  EXPECT_EQ(string_strncpy_lower(buf, e, 8, 1), 4);
  EXPECT_STREQ(buf, "xyz");
  free(exact);

  char *z = string_to_chars(pool_, s, 1);
  EXPECT_STREQ(z, "ABCD");
  smp_free(pool_, z);
  char *nz = string_to_chars(pool_, cat(leaf("a"), leaf("b")), 0);
  EXPECT_EQ(memcmp(nz, "ab", 2), 0);
}

std::string capture(void (*fn)(FILE *, st_String_const *), st_String_const *s) {
  char *buf = nullptr;
  size_t len = 0;
  FILE *f = open_memstream(&buf, &len);
  fn(f, s);
  fclose(f);
  std::string r(buf, len);
  free(buf);
  return r;
}

TEST_F(RopeTest, Printing) {
  st_String_const *s = cat(leaf("ab"), cat(leaf("c \x01"), leaf("\xff")));
  EXPECT_EQ(capture(string_print, s), "abc \x01\xff");
  EXPECT_EQ(capture(string_print, nullptr), "");
  EXPECT_EQ(capture(string_debug_print, s), "[[ab][[c 0x01][0xff]]]");
  EXPECT_EQ(capture(string_debug_print, C_empty_string), "[]");

  testing::internal::CaptureStdout();
  print_errors(cat(leaf("one"), cat(alloc_string_no_copy(pool_, "t\0wo", 4), leaf("x"))));
  print_errors(nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "error:oneerror:terror:x");
  testing::internal::CaptureStdout();
  print_errors(cat(leaf("a"), cat(C_empty_string, leaf("b"))));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "error:a");
  dump_string(s);
}

TEST_F(RopeTest, IteratorWalksAllBytes) {
  st_String_const *s = cat(cat(leaf("a"), C_empty_string), cat(leaf("\xff"), leaf("bc")));
  st_String_iter it;
  string_iter_init(pool_, s, &it);
  std::vector<int> got;
  int c;
  while ((c = string_iter_next(&it)) != -1) got.push_back(c);
  EXPECT_EQ(got, (std::vector<int>{'a', 255, 'b', 'c'}));
  EXPECT_EQ(it.count, 4);
  EXPECT_EQ(string_iter_next(&it), -1);

  string_iter_reset(&it, leaf("xy"));
  EXPECT_EQ(string_iter_next(&it), 'x');
  string_iter_mark(&it);
  EXPECT_EQ(string_iter_next(&it), 'y');
  EXPECT_EQ(string_iter_next(&it), -1);
  string_iter_restore_to_mark(&it);
  EXPECT_EQ(it.mark, nullptr);
  EXPECT_EQ(it.count, 1);
  string_iter_done(&it);
}

TEST_F(RopeTest, IteratorDeepTreeUsesOverflowAndMarks) {
  // Right subtrees pile up on the pending stack beyond its inline entries.
  st_String_const *s = leaf("0");
  std::string want = "0";
  for (int i = 1; i < 400; ++i) {
    s = cat(s, leaf(std::string(1, (char)('a' + i % 26))));
    want.push_back((char)('a' + i % 26));
  }
  st_String_iter it;
  string_iter_init(pool_, s, &it);
  EXPECT_GT(it.pending.top, ST_STRING_STACK_INLINE);
  std::string got;
  got.push_back((char)string_iter_next(&it));
  string_iter_mark(&it);
  for (int i = 0; i < 10; ++i) got.push_back((char)string_iter_next(&it));
  string_iter_restore_to_mark(&it);
  got.resize(1);
  int c;
  while ((c = string_iter_next(&it)) != -1) got.push_back((char)c);
  EXPECT_EQ(got, want);
  string_iter_done(&it);
}

TEST_F(RopeTest, ReplaceBasics) {
  st_String_const *aaa = leaf("aaa");
  EXPECT_EQ(flat(string_replace(pool_, aaa, leaf("aa"), leaf("b"))), "ba");
  EXPECT_EQ(flat(string_replace(pool_, leaf("aaaa"), leaf("aa"), leaf("b"))), "bb");
  // No occurrence: the leaf itself, or the flat copy of a concatenation.
  st_String_const *plain = leaf("hello");
  EXPECT_EQ(string_replace(pool_, plain, leaf("xyz"), leaf("b")), plain);
  st_String_const *c = cat(leaf("hel"), leaf("lo"));
  st_String_const *r = string_replace(pool_, c, leaf("xyz"), leaf("b"));
  EXPECT_EQ(string_is_flat(r), 1);
  EXPECT_EQ(flat(r), "hello");
  EXPECT_EQ(string_replace(pool_, plain, C_empty_string, leaf("b")), plain);

  EXPECT_EQ(flat(string_replace(pool_, leaf("a.b.c"), leaf("."), leaf("::"))), "a::b::c");
  EXPECT_EQ(flat(string_replace(pool_, leaf("a.b.c"), leaf("."), C_empty_string)), "abc");
  EXPECT_EQ(flat(string_replace(pool_, leaf("..x.."), leaf("."), C_empty_string)), "x");
  EXPECT_EQ(flat(string_replace(pool_, leaf("abab"), leaf("ab"), leaf("ab"))), "abab");
  EXPECT_EQ(flat(string_replace(pool_, leaf("aab"), leaf("ab"), leaf("X"))), "aX");
  // The subject's bytes are shared, not copied.
  const char *text = "xx-yy";
  st_String_const *sub = alloc_string_no_copy(pool_, text, 5);
  st_String_const *res = string_replace(pool_, sub, leaf("-"), leaf("+"));
  ASSERT_NE(res->right, nullptr);
  EXPECT_EQ(static_cast<const st_String_const *>(res->left)->left, text);
}

// Walks a tree and checks that every concatenation's length is the sum of
// its children's.
int checked_length(const st_String_const *s) {
  if (!s->right) return s->length;
  int l = checked_length(static_cast<const st_String_const *>(s->left));
  int r = checked_length(s->right);
  EXPECT_EQ(s->length, l + r);
  return s->length;
}

TEST_F(RopeTest, ReplaceWithConcatenatedReplacementAndManyOccurrences) {
  st_String_const *repl = cat(leaf("<"), cat(leaf("="), leaf(">")));
  st_String_const *r = string_replace(pool_, leaf("xAyAzA"), leaf("A"), repl);
  EXPECT_EQ(flat(r), "x<=>y<=>z<=>");
  EXPECT_EQ(checked_length(r), 12);

  st_String_const *left_deep = cat(cat(leaf("1"), leaf("2")), leaf("3"));
  r = string_replace(pool_, leaf("--a--b--"), leaf("--"), left_deep);
  EXPECT_EQ(flat(r), "123a123b123");
  EXPECT_EQ(checked_length(r), 11);

  r = string_replace(pool_, leaf("AA"), leaf("A"), cat(leaf("xy"), C_empty_string));
  EXPECT_EQ(flat(r), "xyxy");
  EXPECT_EQ(checked_length(r), 4);

  // A concatenated pattern is read as its text.
  r = string_replace(pool_, leaf("one two one"), cat(leaf("o"), leaf("ne")), leaf("1"));
  EXPECT_EQ(flat(r), "1 two 1");
}

TEST_F(RopeTest, ReplaceManyOccurrences) {
  std::string subject, want;
  for (int i = 0; i < 20000; ++i) {
    subject += "w.";
    want += "w<>";
  }
  st_String_const *repl = cat(leaf("<"), leaf(">"));
  st_String_const *r = string_replace(pool_, leaf(subject), leaf("."), repl);
  EXPECT_EQ(r->length, (int)want.size());
  st_String_const *f = string_copy(pool_, r);
  EXPECT_EQ(f->length, r->length);
  EXPECT_EQ(flat(f), want);
  EXPECT_EQ(string_cmp(r, leaf(want)), 0);

}

// Search-and-replace driven by the iterator, occurrence by occurrence.
st_String_const *iter_replace_all(smp_memory_pool *pool, st_String_const *subject, const std::string &pat,
                                  st_String_const *repl, st_String_const **first_root) {
  st_String_iter it;
  string_iter_init(pool, subject, &it);
  st_String_const *result = subject;
  int c;
  while ((c = string_iter_next(&it)) != -1) {
    if (c != (unsigned char)pat[0]) continue;
    string_iter_mark(&it);
    bool ok = true;
    for (size_t k = 1; k < pat.size() && ok; ++k) ok = string_iter_next(&it) == (unsigned char)pat[k];
    if (ok) {
      result = string_iter_replace(&it, repl);
      if (first_root && !*first_root) *first_root = result;
      string_iter_unmark(&it);
    } else {
      string_iter_restore_to_mark(&it);
    }
  }
  string_iter_done(&it);
  return result;
}

TEST_F(RopeTest, IteratorReplaceMatchesStringReplaceTreeForTree) {
  struct Case {
    const char *subject, *pattern;
    st_String_const *repl;
  } cases[] = {
      {"xAyAzA", "A", cat(leaf("<"), cat(leaf("="), leaf(">")))},
      {"--a--b--", "--", cat(cat(leaf("1"), leaf("2")), leaf("3"))},
      {"AA", "A", cat(leaf("xy"), C_empty_string)},
      {"aaa", "aa", leaf("b")},
      {"a.b.c", ".", C_empty_string},
      {"..x..", ".", C_empty_string},
      {"abcabcab", "abc", cat(leaf("Q"), leaf("R"))},
  };
  for (const Case &c : cases) {
    st_String_const *first = nullptr;
    st_String_const *a = iter_replace_all(pool_, leaf(c.subject), c.pattern, c.repl, &first);
    st_String_const *b = string_replace(pool_, leaf(c.subject), leaf(c.pattern), c.repl);
    EXPECT_EQ(flat(a), flat(b)) << c.subject;
    EXPECT_EQ(capture(string_debug_print, a), capture(string_debug_print, b)) << c.subject;
    EXPECT_EQ(checked_length(a), a->length) << c.subject;
  }
  // The nodes passed by an earlier replacement are copied, not changed.
  st_String_const *first = nullptr;
  st_String_const *all = iter_replace_all(pool_, leaf("xAyAz"), "A", cat(leaf("<"), leaf(">")), &first);
  EXPECT_EQ(flat(first), "x<>yAz");
  EXPECT_EQ(flat(all), "x<>y<>z");
}

TEST_F(RopeTest, IteratorReplaceAcrossLeavesGivesOneFlatText) {
  st_String_const *s = cat(leaf("ab"), leaf("cd"));
  st_String_iter it;
  string_iter_init(pool_, s, &it);
  EXPECT_EQ(string_iter_next(&it), 'a');
  EXPECT_EQ(string_iter_next(&it), 'b');
  string_iter_mark(&it);
  EXPECT_EQ(string_iter_next(&it), 'c');
  st_String_const *r = string_iter_replace(&it, cat(leaf("X"), leaf("Y")));
  EXPECT_EQ(string_is_flat(r), 1);
  EXPECT_EQ(flat(r), "aXYd");
  string_iter_unmark(&it);
  EXPECT_EQ(string_iter_next(&it), 'd');  // the iterator stays where it was
  EXPECT_EQ(string_iter_next(&it), -1);
  string_iter_done(&it);
}

TEST_F(RopeTest, MillionAppendsDoNotExhaustTheStack) {
  const int n = 1000000;
  st_String_const *bytes[26];
  for (int i = 0; i < 26; ++i) {
    char *b = static_cast<char *>(smp_alloc(pool_, 1));
    *b = (char)('a' + i);
    bytes[i] = alloc_string_no_copy(pool_, b, 1);
  }
  st_String_const *s = bytes[0];
  for (int i = 1; i < n; ++i) s = cat(s, bytes[i % 26]);
  st_String_const *f = string_copy(pool_, s);
  ASSERT_EQ(f->length, n);
  const char *p = static_cast<const char *>(f->left);
  for (int i = 0; i < n; i += 99991) ASSERT_EQ(p[i], 'a' + i % 26);
  EXPECT_EQ(string_cmp(s, f), 0);
  EXPECT_EQ(string_cmp(f, s), 0);
  EXPECT_EQ(string_nteq(s, f), 0);
  EXPECT_EQ(string_icmp(s, f), 0);
  EXPECT_EQ(string_hash(s), string_hash(f));
  char *buf = static_cast<char *>(malloc(16));
  EXPECT_EQ(string_strncpy(buf, s, 16), 16);
  EXPECT_STREQ(buf, "abcdefghijklmno");
  free(buf);
  char *z = string_to_chars(pool_, s, 1);
  EXPECT_EQ(strlen(z), (size_t)n);
  FILE *null = fopen("/dev/null", "w");
  string_print(null, s);
  string_debug_print(null, s);
  fclose(null);
}

}  // namespace

// Built-in operations on parameter blocks: integer, unsigned, double and
// boolean edges, the cat shapes, string copy, and the lexeme and line
// queries on a small input.

#include <gtest/gtest.h>

#include <math.h>
#include <string.h>

#include <string>

#include "ag_builtins.h"
#include "ag_context.h"
#include "ag_string.h"

namespace {

const int32_t U = AG_UNDEFINED_INT;

std::string text_of(st_String_const *s) {
  std::string r(s->length > 0 ? (size_t)s->length : 0, '?');
  r.resize((size_t)string_memcpy(r.data(), s, (unsigned)r.size()));
  return r;
}

int32_t run2(void (*op)(ag_word *), int32_t a, int32_t b) {
  ag_word p[3] = {a, b, 12345};
  op(p);
  return (int32_t)p[2];
}

TEST(IntBuiltins, TableOfEdges) {
  struct Case {
    const char *name;
    void (*op)(ag_word *);
    int32_t a, b, want;
  } cases[] = {
      {"add max+1", int_add_, 2147483647, 1, U},
      {"add min-1", int_add_, -2147483647, -1, U},
      {"add max+min", int_add_, 2147483647, -2147483647, 0},
      {"add undef", int_add_, U, 0, U},
      {"add undef right", int_add_, 0, U, U},
      {"add neg undef", int_add_, -1, U, U},
      {"add plain", int_add_, -5, 3, -2},
      {"mult overflow", int_mult_, 65536, 32768, U},
      {"mult -1", int_mult_, -1, 2147483647, -2147483647},
      {"mult undef", int_mult_, U, 1, U},
      {"mult to min", int_mult_, -65536, 32768, U},
      {"div trunc", int_div_, 7, -2, -3},
      {"div neg", int_div_, -7, 2, -3},
      {"div zero", int_div_, 7, 0, U},
      {"div undef", int_div_, U, 1, U},
      {"div by undef", int_div_, 1, U, U},
      {"lt undef left", int_lt_, U, 5, 0},
      {"lt undef right", int_lt_, 5, U, 0},
      {"lt", int_lt_, -3, 5, 1},
      {"le eq", int_le_, 5, 5, 1},
      {"le undef", int_le_, U, U, 0},
      {"eq undef", int_eq_, U, U, 0},
      {"eq", int_eq_, 4, 4, 1},
      {"max undef", int_max_, U, 5, U},
      {"max", int_max_, -1, 5, 5},
      {"min undef", int_min_, U, 5, U},
      {"min", int_min_, -1, 5, -1},
  };
  for (const Case &c : cases) EXPECT_EQ(run2(c.op, c.a, c.b), c.want) << c.name;

  ag_word n[2] = {5, 0};
  int_negate_(n);
  EXPECT_EQ((int32_t)n[1], -5);
  n[0] = U;
  int_negate_(n);
  EXPECT_EQ((int32_t)n[1], U);
  ag_word ch[4] = {1, 10, 20, 0};
  int_choose_(ch);
  EXPECT_EQ(ch[3], 10);
  ch[0] = 0;
  int_choose_(ch);
  EXPECT_EQ(ch[3], 20);
  ag_word cv[2] = {-1, 0};
  int_to_uint_(cv);
  EXPECT_EQ((uint32_t)cv[1], 0xFFFFFFFFu);
  uint_to_int_(cv);
  EXPECT_EQ((int32_t)cv[1], -1);
}

TEST(UintBuiltins, ModuloArithmetic) {
  auto u = [](void (*op)(ag_word *), uint32_t a, uint32_t b) {
    ag_word p[3] = {(ag_word)(int32_t)a, (ag_word)(int32_t)b, 0};
    op(p);
    return (uint32_t)p[2];
  };
  EXPECT_EQ(u(uint_add_, 0xFFFFFFFFu, 2), 1u);
  EXPECT_EQ(u(uint_sub_, 1, 2), 0xFFFFFFFFu);
  EXPECT_EQ(u(uint_rem_, 10, 0), 0xFFFFFFFFu);
  EXPECT_EQ(u(uint_rem_, 10, 3), 1u);
  EXPECT_EQ(u(uint_rem_, 0xFFFFFFFFu, 10), 5u);
  EXPECT_EQ(u(uint_lt_, 0xFFFFFFFFu, 1), 0u);
  EXPECT_EQ(u(uint_lt_, 1, 0xFFFFFFFFu), 1u);
  EXPECT_EQ(u(uint_le_, 7, 7), 1u);
  EXPECT_EQ(u(uint_eq_, 7, 8), 0u);
  EXPECT_EQ(u(uint_max_, 0x80000000u, 1), 0x80000000u);
  EXPECT_EQ(u(uint_min_, 0x80000000u, 1), 1u);
  EXPECT_EQ(u(uint_and_, 0xF0F0u, 0xFF00u), 0xF000u);
  EXPECT_EQ(u(uint_or_, 0xF0F0u, 0xFF00u), 0xFFF0u);
  EXPECT_EQ(u(uint_xor_, 0xF0F0u, 0xFF00u), 0x0FF0u);
}

double d2(void (*op)(ag_word *), double a, double b) {
  ag_word p[3] = {0, 0, 0};
  ag_word_set_dbl(&p[0], a);
  ag_word_set_dbl(&p[1], b);
  op(p);
  return ag_word_get_dbl(&p[2]);
}

int32_t dcmp(void (*op)(ag_word *), double a, double b) {
  ag_word p[3] = {0, 0, 7};
  ag_word_set_dbl(&p[0], a);
  ag_word_set_dbl(&p[1], b);
  op(p);
  return (int32_t)p[2];
}

int32_t to_int(double a) {
  ag_word p[2] = {0, 0};
  ag_word_set_dbl(&p[0], a);
  dbl_to_int_(p);
  return (int32_t)p[1];
}

TEST(DblBuiltins, ArithmeticNaNAndConversions) {
  EXPECT_EQ(d2(dbl_add_, 1.5, 2.25), 3.75);
  EXPECT_EQ(d2(dbl_mult_, -1.5, 2.0), -3.0);
  ag_word n[2] = {0, 0};
  ag_word_set_dbl(&n[0], 2.5);
  dbl_neg_(n);
  EXPECT_EQ(ag_word_get_dbl(&n[1]), -2.5);

  double nan = NAN;
  EXPECT_EQ(dcmp(dbl_lt_, 1, 2), 1);
  EXPECT_EQ(dcmp(dbl_le_, 2, 2), 1);
  EXPECT_EQ(dcmp(dbl_eq_, 2, 2), 1);
  EXPECT_EQ(dcmp(dbl_lt_, nan, 2), 0);
  EXPECT_EQ(dcmp(dbl_le_, 2, nan), 0);
  EXPECT_EQ(dcmp(dbl_eq_, nan, nan), 0);
  EXPECT_EQ(d2(dbl_max_, 1, 2), 2);
  EXPECT_EQ(d2(dbl_min_, 1, 2), 1);
  EXPECT_TRUE(isnan(d2(dbl_max_, nan, 2)));  // a NaN operand gives a
  EXPECT_EQ(d2(dbl_max_, 2, nan), 2);
  EXPECT_EQ(d2(dbl_min_, nan, 2), 2);  // ... and b for min
  EXPECT_TRUE(isnan(d2(dbl_min_, 2, nan)));

  // int_to_dbl_ is {a, r}: the double follows the int with no free slot.
  ag_word c[2] = {U, 0};
  int_to_dbl_(c);
  EXPECT_TRUE(isinf(ag_word_get_dbl(&c[1])) && ag_word_get_dbl(&c[1]) > 0);
  c[0] = -7;
  int_to_dbl_(c);
  EXPECT_EQ(ag_word_get_dbl(&c[1]), -7.0);

  EXPECT_EQ(to_int(INFINITY), U);
  EXPECT_EQ(to_int(nan), U);
  EXPECT_EQ(to_int(2147483647.0), 2147483647);
  EXPECT_EQ(to_int(2147483647.5), U);
  EXPECT_EQ(to_int(-2147483647.0), -2147483647);
  EXPECT_EQ(to_int(-2147483648.0), U);
  EXPECT_EQ(to_int(-2.7), -2);
  EXPECT_EQ(to_int(2.7), 2);
}

TEST(BoolBuiltins, Truth) {
  ag_word n[2] = {0, 5};
  bool_not_(n);
  EXPECT_EQ(n[1], 1);
  n[0] = 7;
  bool_not_(n);
  EXPECT_EQ(n[1], 0);
  EXPECT_EQ(run2(bool_eq_, 1, 2), 0);
  EXPECT_EQ(run2(bool_eq_, 2, 2), 1);
  EXPECT_EQ(run2(bool_and_, 1, 2), 1);
  EXPECT_EQ(run2(bool_and_, 0, 2), 0);
  EXPECT_EQ(run2(bool_or_, 0, 2), 1);
  EXPECT_EQ(run2(bool_or_, 0, 0), 0);
}

class InputBuiltins : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(lib_one_time_init(), 0);
    memset(&ctx_, 0, sizeof ctx_);
    ASSERT_EQ(context_init(&ctx_), 0);
    ASSERT_EQ(context_set_string_input(&ctx_, input_, input_ + 5), 1);
    // Lexemes as the scanner records them: "ab" 0-2, "\n" 2-3, "cd" 3-5.
    set_start(1, 2);
    set_start(2, 3);
    set_start(3, 5);
    set_kind(1, 300);
    set_kind(2, -1);
    set_kind(3, 301);
    ctx_.lexeme_count = 2;  // while the leaf of "cd" is built
  }
  void TearDown() override { context_done(&ctx_); }
  void set_start(int i, int v) { *static_cast<int *>(spv_elem_addr(ctx_.lexeme_start, (unsigned)i)) = v; }
  void set_kind(int i, int v) { *static_cast<int *>(spv_elem_addr(ctx_.lexeme_kind, (unsigned)i)) = v; }
  st_String_const *one(void (*op)(ag_word *), int32_t i) {
    ag_word p[2] = {i, 0};
    op(p);
    return reinterpret_cast<st_String_const *>(p[1]);
  }
  int32_t one_int(void (*op)(ag_word *), int32_t i) {
    ag_word p[2] = {i, 12345};
    op(p);
    return (int32_t)p[1];
  }

  char input_[6] = "ab\ncd";
  st_context ctx_;
};

TEST_F(InputBuiltins, LexemeQueries) {
  EXPECT_EQ(one_int(lexeme_number_, 0), 2);
  EXPECT_EQ(text_of(one(lexeme_text_, 0)), "ab");
  EXPECT_EQ(text_of(one(lexeme_text_, 1)), "\n");
  st_String_const *cd = one(lexeme_text_, 2);
  EXPECT_EQ(text_of(cd), "cd");
  EXPECT_EQ(cd->left, input_ + 3);  // a leaf over the input, no copy
  EXPECT_EQ(text_of(one(lexeme_text_, -5)), "cd");
  EXPECT_EQ(text_of(one(lexeme_text_, 9)), "cd");
  EXPECT_EQ(one_int(lexeme_position_, 2), 3);
  EXPECT_EQ(one_int(lexeme_position_, -1), 3);
  EXPECT_EQ(one_int(lexeme_position_, 0), 0);
  EXPECT_EQ(one_int(lexeme_kind_, 1), 300);
  EXPECT_EQ(one_int(lexeme_kind_, 2), -1);
  EXPECT_EQ(one_int(lexeme_kind_, 0), -1);
  EXPECT_EQ(one_int(lexeme_kind_, 3), -1);  // above the lexeme count
  EXPECT_EQ(one_int(lexeme_kind_, -1), -1);
  EXPECT_EQ(lexeme_length_c(0), 2);
  EXPECT_EQ(lexeme_length_c(1), 1);
  EXPECT_EQ(lexeme_length_c(-1), 0);
  EXPECT_EQ(lexeme_length_c(3), 0);

  ag_word r[3] = {0, 2, 0};
  lexeme_range_text_(r);
  EXPECT_EQ(text_of(reinterpret_cast<st_String_const *>(r[2])), "ab\ncd");
  ag_word r2[3] = {2, 1, 0};
  lexeme_range_text_(r2);
  EXPECT_EQ(reinterpret_cast<st_String_const *>(r2[2]), C_empty_string);
}

TEST_F(InputBuiltins, LineAndColumn) {
  auto lc = [](int32_t i) {
    ag_word p[3] = {i, 0, 0};
    lexeme_line_and_col_(p);
    return std::make_pair((int32_t)p[1], (int32_t)p[2]);
  };
  EXPECT_EQ(lc(0), std::make_pair(1, 1));
  EXPECT_EQ(lc(1), std::make_pair(1, 3));
  EXPECT_EQ(lc(2), std::make_pair(2, 1));
  EXPECT_EQ(lc(-3), std::make_pair(2, 1));
}

TEST_F(InputBuiltins, LineTexts) {
  st_String_const *l1 = one(line_text_, 1);
  EXPECT_EQ(text_of(l1), "ab");
  EXPECT_EQ(l1->left, input_);
  EXPECT_EQ(one(line_text_, 2), C_end_of_input);
  EXPECT_EQ(one(line_text_, 3), C_end_of_input);
  EXPECT_EQ(one(line_text_, 0), C_empty_string);
  EXPECT_EQ(one(line_text_, -4), C_empty_string);

  const char *t = nullptr;
  int len = -1;
  line_text_c(2, &t, &len);
  EXPECT_EQ(t, input_ + 3);
  EXPECT_EQ(len, 2);
  line_text_c(1, &t, &len);
  EXPECT_EQ(t, input_);
  EXPECT_EQ(len, 2);
  line_text_c(3, &t, &len);
  EXPECT_EQ(len, 0);
  EXPECT_STREQ(t, "");
  line_text_c(0, &t, &len);
  EXPECT_EQ(len, 0);
}

TEST_F(InputBuiltins, EmptyLineGivesTheEmptyString) {
  static char two[] = "a\n\nb";
  ASSERT_EQ(context_set_string_input(&ctx_, two, two + 4), 1);
  EXPECT_EQ(one(line_text_, 2), C_empty_string);
  EXPECT_EQ(text_of(one(line_text_, 1)), "a");
}

TEST_F(InputBuiltins, QueriesPastTheLastLexemeStayInsideTheInput) {
  // After the last lexeme the entry behind the count was never written.
  ctx_.lexeme_count = 3;
  st_String_const *s = one(lexeme_text_, 3);
  EXPECT_LE(s->length, 2);
  EXPECT_GE(s->length, 0);
  EXPECT_EQ(lexeme_length_c(3), 0);
  EXPECT_EQ(one_int(lexeme_position_, 3), 5);

  // A count beyond the tables themselves.
  ctx_.lexeme_count = 500;
  s = one(lexeme_text_, 500);
  EXPECT_EQ(s->length, 0);
  EXPECT_EQ(lexeme_length_c(499), 0);
  EXPECT_LE(one_int(lexeme_position_, 500), 5);
  EXPECT_EQ(one_int(lexeme_kind_, 400), -1);
  ag_word r[3] = {0, 800, 0};
  lexeme_range_text_(r);
  EXPECT_EQ(text_of(reinterpret_cast<st_String_const *>(r[2])), "ab\ncd");
  ag_word lc[3] = {500, 0, 0};
  lexeme_line_and_col_(lc);
  EXPECT_EQ(lc[1], 2);

  // Stale or garbage offsets are bounded to the input.
  set_start(4, 1000000);
  ctx_.lexeme_count = 3;
  EXPECT_EQ(text_of(one(lexeme_text_, 3)), "");
  set_start(3, -7);
  EXPECT_EQ(one(lexeme_text_, 2)->length, 0);
}

TEST_F(InputBuiltins, CatShapes) {
  st_String_const *l[6];
  for (int i = 0; i < 6; ++i) l[i] = alloc_string_no_copy(ctx_.pool, &"abcdef"[i], 1);
  auto L = [](st_String_const *n) { return static_cast<st_String_const *>(const_cast<void *>(n->left)); };
  auto R = [](st_String_const *n) { return n->right; };

  ag_word p2[3] = {(ag_word)l[0], (ag_word)l[1], 0};
  string_cat_(p2);
  st_String_const *s = reinterpret_cast<st_String_const *>(p2[2]);
  EXPECT_EQ(L(s), l[0]);
  EXPECT_EQ(R(s), l[1]);

  ag_word p3[4] = {(ag_word)l[0], (ag_word)l[1], (ag_word)l[2], 0};
  string_cat3_(p3);
  s = reinterpret_cast<st_String_const *>(p3[3]);
  EXPECT_EQ(R(s), l[2]);
  EXPECT_EQ(L(L(s)), l[0]);
  EXPECT_EQ(R(L(s)), l[1]);

  ag_word p4[5] = {(ag_word)l[0], (ag_word)l[1], (ag_word)l[2], (ag_word)l[3], 0};
  string_cat4_(p4);
  s = reinterpret_cast<st_String_const *>(p4[4]);
  EXPECT_EQ(L(L(s)), l[0]);
  EXPECT_EQ(R(L(s)), l[1]);
  EXPECT_EQ(L(R(s)), l[2]);
  EXPECT_EQ(R(R(s)), l[3]);

  ag_word p5[6] = {(ag_word)l[0], (ag_word)l[1], (ag_word)l[2], (ag_word)l[3], (ag_word)l[4], 0};
  string_cat5_(p5);
  s = reinterpret_cast<st_String_const *>(p5[5]);
  EXPECT_EQ(R(s), l[4]);
  EXPECT_EQ(L(L(L(s))), l[0]);
  EXPECT_EQ(R(R(L(s))), l[3]);
  EXPECT_EQ(text_of(s), "abcde");

  ag_word p6[7] = {(ag_word)l[0], (ag_word)l[1], (ag_word)l[2], (ag_word)l[3], (ag_word)l[4], (ag_word)l[5], 0};
  string_cat6_(p6);
  s = reinterpret_cast<st_String_const *>(p6[6]);
  EXPECT_EQ(L(R(s)), l[4]);
  EXPECT_EQ(R(R(s)), l[5]);
  EXPECT_EQ(L(L(L(s))), l[0]);
  EXPECT_EQ(R(R(L(s))), l[3]);
  EXPECT_EQ(s->length, 6);
  EXPECT_EQ(text_of(s), "abcdef");

  ag_word pl[2] = {(ag_word)s, 0};
  string_length_(pl);
  EXPECT_EQ(pl[1], 6);
}

TEST_F(InputBuiltins, StringCopy) {
  st_String_const *s = string_concat(ctx_.pool, alloc_string_no_copy(ctx_.pool, "abc", 3),
                                     alloc_string_no_copy(ctx_.pool, "de", 2));
  auto copy = [&](int32_t start, int32_t len) {
    ag_word p[4] = {(ag_word)s, start, len, 0};
    string_copy_(p);
    st_String_const *t = reinterpret_cast<st_String_const *>(p[3]);
    EXPECT_EQ(string_is_flat(t), 1);
    return text_of(t);
  };
  EXPECT_EQ(copy(-3, 2), "ab");
  EXPECT_EQ(copy(4, 10), "e");
  EXPECT_EQ(copy(9, 2), "");
  EXPECT_EQ(copy(2, 2), "cd");
  EXPECT_EQ(copy(1, -4), "");
}

}  // namespace

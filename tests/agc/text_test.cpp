// Text values, PoolAllocated objects and the constant fragments.

#include <gtest/gtest.h>

#include <string.h>

#include <set>
#include <string>

#include "ace/SString.h"
#include "ag_context.h"
#include "ag_string.h"
#include "ag_text.h"
#include "agc_death.h"
#include "text_ace.h"

namespace {

std::string bytes(const Text &t) {
  std::string r((size_t)(t.length() > 0 ? t.length() : 0), '?');
  r.resize((size_t)t.memcpy(r.data(), (unsigned)r.size()));
  return r;
}

class TextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(lib_one_time_init(), 0);
    memset(&ctx_, 0, sizeof ctx_);
    ASSERT_EQ(context_init(&ctx_), 0);
  }
  void TearDown() override { context_done(&ctx_); }
  st_context ctx_;
};

TEST_F(TextTest, IdentityVersusContent) {
  Text def;
  EXPECT_TRUE(def == Text(C_empty_string));
  EXPECT_TRUE(def == C_empty_string);
  EXPECT_TRUE(def != C_Em);
  EXPECT_TRUE(def.equals(C_Em, false));
  EXPECT_TRUE(def.isEmpty());

  Text a("Hello"), b("Hello"), c("hELLO");
  EXPECT_TRUE(a != b);
  EXPECT_TRUE(a.equals(b, false));
  EXPECT_FALSE(a.equals(c, false));
  EXPECT_TRUE(a.equals(c, true));
  EXPECT_EQ(string_nteq(a, b), 0);
  EXPECT_NE(string_nteq(a, c), 0);

  Text n(static_cast<const char *>(nullptr));
  EXPECT_TRUE(n == def);
  EXPECT_TRUE(Text(static_cast<st_String_const *>(nullptr)) == def);
  EXPECT_EQ(Text("abc", -1).length(), 0);
  EXPECT_EQ(bytes(Text("abcdef", 3)), "abc");
  EXPECT_EQ(string_is_flat(a.toString()), 1);

  Text x;
  x = a.toString();
  EXPECT_TRUE(x == a);
  x = c;
  EXPECT_TRUE(x == c);
  // A Text over C_newline's node is not C_Nl: every constant has its own node.
  EXPECT_TRUE(Text(C_newline) != C_Nl);
  EXPECT_TRUE(Text(C_newline).equals(C_Nl, false));
}

TEST_F(TextTest, JoiningKeepsIdentityWithEmptySides) {
  Text a("left");
  EXPECT_TRUE(a + C_Em == a);
  EXPECT_TRUE(C_Em + a == a);
  EXPECT_TRUE(a + C_empty_string == a);
  EXPECT_TRUE(a + "" == a);
  EXPECT_TRUE(a + static_cast<const char *>(nullptr) == a);
  Text j = a + Text("right");
  EXPECT_EQ(bytes(j), "leftright");
  EXPECT_NE(j.toString()->right, nullptr);
  EXPECT_EQ(bytes(a + " side"), "left side");
  Text acc("x");
  Text ret = (acc += Text("y"));
  EXPECT_EQ(bytes(acc), "xy");
  EXPECT_TRUE(ret == acc);
}

TEST_F(TextTest, DecimalNodesAreCachedForFrequentValues) {
  Text a("n=");
  Text s1 = a + 7, s2 = a + 7;
  EXPECT_EQ(bytes(s1), "n=7");
  EXPECT_EQ(s1.toString()->right, s2.toString()->right);
  EXPECT_EQ((a + 1024).toString()->right, (a + 1024).toString()->right);
  EXPECT_EQ((a + 5u).toString()->right, (a + 5).toString()->right);
  Text t1 = a + 21, t2 = a + 21;
  EXPECT_EQ(bytes(t1), "n=21");
  EXPECT_NE(t1.toString()->right, t2.toString()->right);
  EXPECT_EQ(bytes(a + (-3)), "n=-3");
  EXPECT_NE((a + (-3)).toString()->right, (a + (-3)).toString()->right);
  EXPECT_EQ(bytes(a + 2147483648u), "n=2147483648");
  EXPECT_EQ(bytes(a + 4294967295u), "n=4294967295");
  EXPECT_EQ(bytes(C_Em + 0), "0");
  EXPECT_EQ(bytes(a + 256 + C_Sp + 512), "n=256 512");
}

TEST_F(TextTest, FlattenSubstrReplaceAndCopies) {
  Text c = Text("ab") + Text("cdef");
  st_String_const *before = c.toString();
  Text sub = c.substr(1, 3, nullptr);
  EXPECT_EQ(bytes(sub), "bcd");
  EXPECT_NE(c.toString(), before);
  EXPECT_EQ(string_is_flat(c.toString()), 1);
  Text leaf("plain");
  EXPECT_TRUE(leaf.flatten(nullptr) == leaf);

  Text two = Text(alloc_string_no_copy(ctx_.pool, "a", 1)) + Text(alloc_string_no_copy(ctx_.pool, "b", 1));
  char *z = two.c_str(nullptr);
  EXPECT_EQ(memcmp(z, "ab\0", 3), 0);
  Text f = two.flatten(&ctx_);
  EXPECT_TRUE(f == two);
  EXPECT_EQ(string_is_flat(two.toString()), 1);

  EXPECT_TRUE(Text().replace(Text("x"), Text("y"), nullptr) == C_Em);
  EXPECT_EQ(bytes(Text("a-b-c").replace(Text("-"), Text(", "), nullptr)), "a, b, c");
  EXPECT_EQ(bytes(Text("a-b").replace(Text("-"), Text("+") + Text("+"), ctx_.pool)), "a++b");

  char buf[8];
  EXPECT_EQ(Text("abcdef").strncpy(buf, 4), 4);
  EXPECT_STREQ(buf, "abc");
}

TEST_F(TextTest, Printing) {
  testing::internal::CaptureStdout();
  (Text("ab") + Text("c")).print();
  (Text("x") + Text("\x01")).debug();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "abc\n[[x][0x01]]\n");
}

TEST_F(TextTest, JoinWithAceString) {
  Text a("key=");
  ACE_CString v("value");
  Text j = a + v;
  EXPECT_EQ(bytes(j), "key=value");
  EXPECT_TRUE(a + ACE_CString("") == a);
  EXPECT_EQ(bytes(C_Em + ACE_CString("only")), "only");
}

struct Node : PoolAllocated {
  int a = 1, b = 2;
};

TEST_F(TextTest, PoolAllocatedObjectsLiveInTheContextPool) {
  Node *n = new Node;
  EXPECT_EQ(n->a + n->b, 3);
  Node copy(*n);
  copy = *n;
  delete n;  // gives nothing back; the pool owns the memory
  Node *m = new Node;
  EXPECT_NE(m, nullptr);
}

TEST_F(TextTest, PoolAllocatedWithoutPoolEndsThroughTheFatalExit) {
  ::testing::FLAGS_gtest_death_test_style = "threadsafe";
  EXPECT_EXIT_STDOUT(
      {
        context_done(&ctx_);
        Node *n = new Node;
        (void)n;
      },
      ::testing::ExitedWithCode(1), "^fatal error: file agc\\\\text, line [0-9]+\n$");
}

TEST(TextConstants, EveryConstantHasItsTextAndOwnNode) {
  struct Entry {
    const Text *t;
    const char *name;
    std::string want;
  };
  const Entry texts[] = {
#define ENTRY(name, text) {&name, #name, std::string(text, sizeof(text) - 1)},
      QEN_AG_TEXT_CONSTANTS(ENTRY)
#undef ENTRY
  };
  EXPECT_EQ(sizeof texts / sizeof texts[0], 84u);
  std::set<const st_String_const *> nodes;
  for (const Entry &e : texts) {
    st_String_const *n = e.t->toString();
    ASSERT_NE(n, nullptr) << e.name;
    EXPECT_EQ(n->right, nullptr) << e.name;
    EXPECT_EQ(std::string(static_cast<const char *>(n->left), (size_t)n->length), e.want) << e.name;
    EXPECT_TRUE(nodes.insert(n).second) << e.name;
  }
  // A few spelled out, odd ones included.
  EXPECT_EQ(C_elseNl.length(), 6);
  EXPECT_EQ(std::string(static_cast<const char *>(C_elseNl.toString()->left), 6), "ELSE \n");
  EXPECT_EQ(C_SpLtSp.length(), 1);
  EXPECT_EQ(C_transAndExec.length(), 32);
  EXPECT_EQ(C_transAndExecTail.length(), 52);
  EXPECT_EQ(C_localVariablePrefix.length(), 27);
  EXPECT_EQ(C_raiserror.length(), 25);
  EXPECT_EQ(C_TempTableHiddenColName.length(), 26);
  EXPECT_EQ(C_calweekofyear.length(), 15);
  EXPECT_EQ(C_DqLpRpScNl.length(), 5);
  EXPECT_TRUE(C_Em.isEmpty());

  const struct {
    st_String_const *n;
    const char *name;
    const char *want;
  } strings[] = {
      {C_newline, "C_newline", "\n"},        {C_indent, "C_indent", "    "},
      {C_empty_string, "C_empty_string", ""}, {C_end_of_input, "C_end_of_input", "<end of input>"},
      {C_comma, "C_comma", ","},             {C_comma_space, "C_comma_space", ", "},
      {C_single_quote, "C_single_quote", "'"}, {C_dbl_quote, "C_dbl_quote", "\""},
      {C_single_space, "C_single_space", " "}, {C_semi_char, "C_semi_char", ";"},
      {C_semi_newline, "C_semi_newline", ";\n"}, {C_tab_char, "C_tab_char", "\t"},
      {C_equal, "C_equal", "="},             {C_lpar, "C_lpar", "("},
      {C_rpar, "C_rpar", ")"},               {C_plussign, "C_plussign", " + "},
      {C_dualvertbar, "C_dualvertbar", " || "}, {C_vertbar, "C_vertbar", " | "},
      {C_percent, "C_percent", " % "},       {C_ampersand, "C_ampersand", " & "},
      {C_circumflex, "C_circumflex", " ^ "}, {C_tilde, "C_tilde", " ~ "},
      {C_minussign, "C_minussign", " - "},   {C_starsign, "C_starsign", " * "},
      {C_dividesign, "C_dividesign", " / "}, {C_notequal, "C_notequal", " != "},
      {C_lessthan, "C_lessthan", " < "},     {C_greaterequal, "C_greaterequal", " >= "},
      {C_greaterthan, "C_greaterthan", " > "}, {C_lesserequal, "C_lesserequal", " <= "},
      {C_and, "C_and", " AND "},             {C_or, "C_or", " OR "},
      {C_not, "C_not", " NOT "},             {C_dot, "C_dot", "."},
      {C_string_cat, "C_string_cat", " || "}, {C_negate, "C_negate", "-"},
      {C_unary_plus, "C_unary_plus", "+"},   {C_bit_and, "C_bit_and", "BITAND"},
      {C_bit_or, "C_bit_or", "BITOR"},       {C_bit_xor, "C_bit_xor", "BITXOR"},
      {C_bit_not, "C_bit_not", "BITNOT"},
  };
  EXPECT_EQ(sizeof strings / sizeof strings[0], 41u);
  for (const auto &e : strings) {
    ASSERT_NE(e.n, nullptr) << e.name;
    EXPECT_EQ(e.n->right, nullptr) << e.name;
    EXPECT_EQ(e.n->length, (int)strlen(e.want)) << e.name;
    EXPECT_EQ(memcmp(e.n->left, e.want, strlen(e.want)), 0) << e.name;
    EXPECT_TRUE(nodes.insert(e.n).second) << e.name;
  }
  EXPECT_EQ(*static_cast<const char *>(C_empty_string->left), '\0');
  EXPECT_NE(C_dualvertbar, C_string_cat);
}

}  // namespace

// Support for the scanner tests: a token leaf table whose leaves record the
// token code and the lexeme count seen at the call, and a fixture that
// runs the scanner over a text in a fresh parsing context.
#ifndef QEN_TESTS_SCANNER_TEST_SUPPORT_H
#define QEN_TESTS_SCANNER_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ag_context.h"
#include "scanner.h"
#include "smp.h"
#include "spv.h"
#include "token_codes.h"
#include "token_leaves.h"

namespace scanner_test {

struct test_leaf {
  int code;
  int lexeme;
};

template <int K>
void record_leaf(st_context* ctx, st_node** value) {
  if (K == 0) {
    *value = nullptr;
    return;
  }
  auto* leaf = static_cast<test_leaf*>(smp_alloc(ctx->pool, sizeof(test_leaf)));
  leaf->code = K;
  leaf->lexeme = ctx->lexeme_count;
  *value = reinterpret_cast<st_node*>(leaf);
}

inline int g_none_calls = 0;
inline void record_none(st_context*, st_node**) { ++g_none_calls; }

// A pack expansion in an initializer list, not a fold: the table has more
// entries than clang allows a fold expression to nest.
template <int... K>
constexpr std::array<gn_dproc_fn, sizeof...(K)> leaf_table(std::integer_sequence<int, K...>) {
  return {{((K == 0 || K >= TSQL_FIRST_TERMINAL) ? &record_leaf<K> : &record_none)...}};
}

struct table_filler {
  table_filler(gn_dproc_fn* table) {
    constexpr auto kLeaves = leaf_table(std::make_integer_sequence<int, GN_DPROC_TABLE_SIZE>{});
    std::copy(kLeaves.begin(), kLeaves.end(), table);
  }
};

struct lexeme {
  int kind;
  std::string text;
};

struct token {
  int code;
  std::string text;  // the token's lexeme
  int leaf_code;     // -1 for a null leaf
  int leaf_lexeme;
  bool operator==(const token& o) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const token& t) {
  return os << "{" << t.code << ", \"" << t.text << "\", leaf " << t.leaf_code << "/"
            << t.leaf_lexeme << "}";
}

inline std::ostream& operator<<(std::ostream& os, const lexeme& l) {
  return os << "{" << l.kind << ", \"" << l.text << "\"}";
}
inline bool operator==(const lexeme& a, const lexeme& b) {
  return a.kind == b.kind && a.text == b.text;
}

class ScannerFixture : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(lib_one_time_init(), 0); }

  void SetUp() override {
    std::memset(&ctx_, 0, sizeof ctx_);
    ASSERT_EQ(context_init(&ctx_), 0);
  }
  void TearDown() override { context_done(&ctx_); }

  void set_flag(int on) {
    ag_word block[3] = {on, 0, 0};
    scanner_setup(block);
  }

  // Gives the context the text in a buffer of exactly its size plus the
  // NUL, so that the sanitizer catches any read past the end.
  void set_input(const std::string& text) {
    text_ = text;
    text_.push_back('\0');
    buffer_.reset(new char[text_.size()]);
    std::memcpy(buffer_.get(), text_.data(), text_.size());
    char* begin = buffer_.get();
    if (text.empty()) {
      ctx_.input_start = ctx_.input_end = ctx_.cursor = begin;
      ctx_.lexeme_count = 0;
    } else {
      ASSERT_EQ(context_set_string_input(&ctx_, begin, begin + text.size()), 1);
    }
  }

  // Scans the text to its end; returns the tokens, end of input included.
  std::vector<token> scan(const std::string& text) {
    set_input(text);
    std::vector<token> out;
    for (int guard = 0; guard < 1000000; ++guard) {
      int n_before = ctx_.lexeme_count;
      st_node* value = reinterpret_cast<st_node*>(this);  // must be overwritten
      const int code = yylex(&value, &ctx_);
      const int n = ctx_.lexeme_count - 1;
      EXPECT_GE(n, n_before);
      const int b = start(n), e = start(n + 1);
      token t{code, text_.substr(static_cast<size_t>(b), static_cast<size_t>(e - b)), -1, -1};
      if (code == 0) t.text.clear();  // the terminating NUL
      if (value != nullptr) {
        auto* leaf = reinterpret_cast<test_leaf*>(value);
        t.leaf_code = leaf->code;
        t.leaf_lexeme = leaf->lexeme;
      }
      out.push_back(t);
      if (code == 0) break;
    }
    return out;
  }

  std::vector<int> codes(const std::string& text) {
    std::vector<int> out;
    for (const token& t : scan(text)) out.push_back(t.code);
    return out;
  }

  // Lexemes recorded by the last scan (blank runs and comments included).
  std::vector<lexeme> lexemes() {
    std::vector<lexeme> out;
    for (int i = 0; i < ctx_.lexeme_count; ++i) {
      const int b = start(i), e = start(i + 1);
      std::string t = text_.substr(static_cast<size_t>(b), static_cast<size_t>(e - b));
      if (!t.empty() && t.back() == '\0' && static_cast<size_t>(e) == text_.size()) t.pop_back();
      out.push_back({kind(i), t});
    }
    return out;
  }

  int start(int i) { return *int_spv_elem_addr(ctx_.lexeme_start, static_cast<unsigned>(i)); }
  int kind(int i) { return *int_spv_elem_addr(ctx_.lexeme_kind, static_cast<unsigned>(i)); }

  st_context ctx_;
  std::string text_;
  std::unique_ptr<char[]> buffer_;
};

}  // namespace scanner_test

#endif

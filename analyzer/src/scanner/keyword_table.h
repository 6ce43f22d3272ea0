#ifndef QEN_ANALYZER_KEYWORD_TABLE_H
#define QEN_ANALYZER_KEYWORD_TABLE_H

/* Shared machinery of the constant word tables (keywords, global
 * variables): entries sorted by their upper-case text, searched by
 * bisection with the probe upper-cased byte by byte. */

#include <cstddef>

struct kw_entry {
  const char* text; /* upper case, sorted by byte value */
  int length;
  int token; /* token code, or identifier of a global variable */
};

constexpr int kw_upper(unsigned char c) {
  return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c;
}

/* <0, 0, >0 as the entry sorts before, equal to or after the probe. */
constexpr int kw_compare(const kw_entry& e, const char* text, int length) {
  const int n = e.length < length ? e.length : length;
  for (int i = 0; i < n; ++i) {
    const int a = static_cast<unsigned char>(e.text[i]);
    const int b = kw_upper(static_cast<unsigned char>(text[i]));
    if (a != b) return a - b;
  }
  return e.length - length;
}

constexpr const kw_entry* kw_find(const kw_entry* table, std::size_t count, const char* text,
                                  int length) {
  std::size_t lo = 0, hi = count;
  while (lo < hi) {
    const std::size_t mid = lo + (hi - lo) / 2;
    const int c = kw_compare(table[mid], text, length);
    if (c == 0) return &table[mid];
    if (c < 0)
      lo = mid + 1;
    else
      hi = mid;
  }
  return nullptr;
}

constexpr bool kw_table_is_sorted(const kw_entry* table, std::size_t count) {
  for (std::size_t i = 1; i < count; ++i)
    if (kw_compare(table[i - 1], table[i].text, table[i].length) >= 0) return false;
  return true;
}

constexpr bool kw_table_lengths_ok(const kw_entry* table, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    int n = 0;
    while (table[i].text[n] != '\0') ++n;
    if (n != table[i].length) return false;
  }
  return true;
}

/* The keyword table, for checks over all of its entries. */
const kw_entry* keyword_table_begin();
const kw_entry* keyword_table_end();

#endif

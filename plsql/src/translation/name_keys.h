// Keys of names as the target compares them: folded to lower case (ASCII;
// the translation runs in the C locale, where that is all tolower does),
// made in a scratch string that is reused, so that a walk over every token
// allocates nothing; and sets of such keys looked up by a view.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>

inline char foldAscii(char c) { return c >= 'A' && c <= 'Z' ? char(c + ('a' - 'A')) : c; }

// Whether two texts are equal ignoring ASCII case.
inline bool sameFolded(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (foldAscii(a[i]) != foldAscii(b[i])) return false;
  return true;
}

struct KeyHash {
  using is_transparent = void;
  size_t operator()(std::string_view key) const { return std::hash<std::string_view>{}(key); }
};
using KeySet = std::unordered_set<std::string, KeyHash, std::equal_to<>>;

// The key of a routine as a call names it: the part after the last dot,
// folded, without double quotes and without the "()" that a call of a
// function without parameters has by then. Valid until the next call.
class RoutineKey {
 public:
  std::string_view of(const char* text) {
    scratch_.clear();
    if (!text) return {};
    const char* start = text;
    for (const char* p = text; *p; ++p)
      if (*p == '.') start = p + 1;
    for (const char* p = start; *p; ++p)
      if (*p != '"') scratch_ += foldAscii(*p);
    if (scratch_.ends_with("()")) scratch_.resize(scratch_.size() - 2);
    return scratch_;
  }

 private:
  std::string scratch_;
};

// The last part of a dotted name (dots inside double quotes do not count),
// folded, quotes kept; without a trailing "()" too when `call` is set.
// Valid until the next call.
class LastPartKey {
 public:
  std::string_view of(const char* text, bool call = false) {
    scratch_.clear();
    if (!text) return {};
    const char* start = text;
    bool quoted = false;
    for (const char* p = text; *p; ++p) {
      if (*p == '"') quoted = !quoted;
      else if (*p == '.' && !quoted) start = p + 1;
    }
    for (const char* p = start; *p; ++p) scratch_ += foldAscii(*p);
    if (call && scratch_.size() > 2 && scratch_.ends_with("()")) scratch_.resize(scratch_.size() - 2);
    return scratch_;
  }

 private:
  std::string scratch_;
};

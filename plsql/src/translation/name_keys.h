// Keys of names as the target compares them: folded to lower case (ASCII;
// the translation runs in the C locale, where that is all tolower does),
// made in a scratch string that is reused, so that a walk over every token
// allocates nothing; and sets of such keys that turn most words away by
// their length and first letter before they are hashed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
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

// A set of folded names that answers "no" for most words without hashing:
// it knows the lengths and the first letters of its names.
class FoldedNames {
 public:
  void insert(std::string_view folded) {
    lengths_ |= bit(folded.size());
    firsts_ |= bit(folded.empty() ? 0 : static_cast<unsigned char>(folded[0]));
    names_.emplace(folded);
  }
  bool empty() const { return names_.empty(); }
  // Whether the name might be in the set (folded or not): false is sure.
  bool mayHold(std::string_view name) const {
    return (lengths_ & bit(name.size())) &&
           (firsts_ & bit(name.empty() ? 0 : static_cast<unsigned char>(foldAscii(name[0]))));
  }
  bool holdsFolded(std::string_view folded) const { return mayHold(folded) && names_.count(folded); }
  const KeySet& names() const { return names_; }

 private:
  static uint64_t bit(size_t n) { return uint64_t(1) << (n & 63); }
  uint64_t lengths_ = 0;
  uint64_t firsts_ = 0;
  KeySet names_;
};

// Folds `from` into the scratch string and returns it.
inline std::string_view foldInto(std::string& scratch, std::string_view from) {
  scratch.resize(from.size());
  for (size_t i = 0; i < from.size(); ++i) scratch[i] = foldAscii(from[i]);
  return scratch;
}

// The key of a routine as a call names it: the part after the last dot,
// folded, without double quotes and without the "()" that a call of a
// function without parameters has by then. Valid until the next call.
class RoutineKey {
 public:
  std::string_view of(const char* text) {
    if (!text) return {};
    const char* start = text;
    bool quotes = false;
    const char* p = text;
    for (; *p; ++p) {
      if (*p == '.') start = p + 1;
      else if (*p == '"') quotes = true;
    }
    std::string_view key;
    if (!quotes) {
      key = foldInto(scratch_, std::string_view(start, size_t(p - start)));
    } else {
      scratch_.clear();
      for (const char* q = start; *q; ++q)
        if (*q != '"') scratch_ += foldAscii(*q);
      key = scratch_;
    }
    if (key.ends_with("()")) key.remove_suffix(2);
    return key;
  }

 private:
  std::string scratch_;
};

// The last part of a dotted name as written (dots inside double quotes do
// not count, the quotes stay).
inline std::string_view lastPartOf(const char* text) {
  if (!text) return {};
  const char* start = text;
  bool quoted = false;
  const char* p = text;
  for (; *p; ++p) {
    if (*p == '"') quoted = !quoted;
    else if (*p == '.' && !quoted) start = p + 1;
  }
  return std::string_view(start, size_t(p - start));
}

// The last part of a dotted name, folded; without a trailing "()" too when
// `call` is set. Valid until the next call.
class LastPartKey {
 public:
  std::string_view of(const char* text, bool call = false) {
    std::string_view key = foldInto(scratch_, lastPartOf(text));
    if (call && key.size() > 2 && key.ends_with("()")) key.remove_suffix(2);
    return key;
  }

 private:
  std::string scratch_;
};

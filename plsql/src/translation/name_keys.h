// Keys of names as the target compares them: folded to lower case (ASCII;
// the translation runs in the C locale, where that is all tolower does),
// made in a scratch string that is reused, so that a walk over every token
// allocates nothing; and tables of such keys that look a name up as it is
// written, hashed on its folded bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

// Each byte folded: the names of a run are folded byte by byte so often
// that one load serves better than a test of the range.
inline constexpr std::array<char, 256> kFoldedBytes = [] {
  std::array<char, 256> folded{};
  for (int b = 0; b < 256; ++b) folded[size_t(b)] = char(b >= 'A' && b <= 'Z' ? b + ('a' - 'A') : b);
  return folded;
}();
inline char foldAscii(char c) { return kFoldedBytes[static_cast<unsigned char>(c)]; }

// Whether two texts are equal ignoring ASCII case.
inline bool sameFolded(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (foldAscii(a[i]) != foldAscii(b[i])) return false;
  return true;
}

// Names looked up as they are written, ignoring case, without a folded
// copy: an open-addressing table hashed on the folded bytes. Each name has
// an index, the order of its first insertion.
class FoldedIndex {
 public:
  // The name's index, added when it is new.
  int insert(std::string_view name) {
    if (filter_.empty()) filter_.assign(kFilterWords, 0);
    size_t sign = signature(name);
    filter_[sign / 64] |= uint64_t(1) << (sign % 64);
    if ((names_.size() + 1) * 2 > slots_.size()) grow();
    uint64_t hash = hashOf(name);
    size_t at = probe(name, hash);
    if (slots_[at] < 0) {
      slots_[at] = static_cast<int>(names_.size());
      names_.push_back({folded(name), hash});
    }
    return slots_[at];
  }
  // The index of a name, or -1. Most words are turned away by their
  // length and first and last letters before they are hashed.
  int find(std::string_view name) const {
    if (names_.empty()) return -1;
    size_t sign = signature(name);
    if (!(filter_[sign / 64] >> (sign % 64) & 1)) return -1;
    return slots_[probe(name, hashOf(name))];
  }
  bool holds(std::string_view name) const { return find(name) >= 0; }
  bool empty() const { return names_.empty(); }
  size_t size() const { return names_.size(); }
  // A name by its index, folded.
  const std::string& name(int index) const { return names_[size_t(index)].text; }

 private:
  struct Name {
    std::string text;
    uint64_t hash;
  };
  static constexpr size_t kFilterWords = (size_t(1) << 15) / 64;
  static size_t signature(std::string_view name) {
    if (name.empty()) return 0;
    return (name.size() & 31) << 10 | size_t(foldAscii(name.front()) & 31) << 5 | size_t(foldAscii(name.back()) & 31);
  }
  std::vector<uint64_t> filter_;
  static uint64_t hashOf(std::string_view name) {
    uint64_t hash = 1469598103934665603ull;
    for (char c : name) hash = (hash ^ static_cast<unsigned char>(foldAscii(c))) * 1099511628211ull;
    return hash;
  }
  static std::string folded(std::string_view name) {
    std::string text(name);
    for (char& c : text) c = foldAscii(c);
    return text;
  }
  size_t probe(std::string_view name, uint64_t hash) const {
    size_t mask = slots_.size() - 1;
    for (size_t at = hash & mask;; at = (at + 1) & mask) {
      int index = slots_[at];
      if (index < 0) return at;
      const Name& entry = names_[size_t(index)];
      if (entry.hash == hash && sameFolded(entry.text, name)) return at;
    }
  }
  void grow() {
    slots_.assign(slots_.empty() ? 16 : slots_.size() * 2, -1);
    size_t mask = slots_.size() - 1;
    for (size_t i = 0; i < names_.size(); ++i) {
      size_t at = names_[i].hash & mask;
      while (slots_[at] >= 0) at = (at + 1) & mask;
      slots_[at] = static_cast<int>(i);
    }
  }
  std::vector<int> slots_;
  std::vector<Name> names_;
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

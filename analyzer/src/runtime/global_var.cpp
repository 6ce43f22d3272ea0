// Names of the global variables ("@@" dropped) and their identifiers, built
// at compile time from the rows of global_vars.def.
#include "global_var.h"

#include <algorithm>
#include <array>

#include "keyword_table.h"

namespace {

constexpr int kLongestGlobalName = 20;

constexpr const char* kLowerNames[] = {
#define GLOBAL_VAR(name, since) #name,
#include "global_vars.def"
#undef GLOBAL_VAR
};

constexpr std::size_t kGlobalVarCount = sizeof kLowerNames / sizeof kLowerNames[0];

// Every name upper-cased, each with its NUL, one after the other.
constexpr std::size_t kUpperTextSize = 0
#define GLOBAL_VAR(name, since) +sizeof(#name)
#include "global_vars.def"
#undef GLOBAL_VAR
    ;

struct upper_text {
  char text[kUpperTextSize];
};

constexpr upper_text kUpper = [] {
  upper_text u{};
  std::size_t at = 0;
  for (const char* name : kLowerNames) {
    for (const char* c = name; *c != '\0'; ++c) u.text[at++] = static_cast<char>(kw_upper(static_cast<unsigned char>(*c)));
    u.text[at++] = '\0';
  }
  return u;
}();

// Sorted by upper-case text for bisection; the identifier is the row number.
constexpr std::array<kw_entry, kGlobalVarCount> kGlobalVars = [] {
  std::array<kw_entry, kGlobalVarCount> table{};
  std::size_t at = 0;
  for (std::size_t i = 0; i < kGlobalVarCount; ++i) {
    int length = 0;
    while (kLowerNames[i][length] != '\0') ++length;
    table[i] = {&kUpper.text[at], length, static_cast<int>(i) + 1};
    at += static_cast<std::size_t>(length) + 1;
  }
  std::sort(table.begin(), table.end(), [](const kw_entry& a, const kw_entry& b) {
    return kw_compare(a, b.text, b.length) < 0;
  });
  return table;
}();

constexpr int longest_name() {
  int n = 0;
  for (const kw_entry& e : kGlobalVars) n = std::max(n, e.length);
  return n;
}

}  // namespace

static_assert(kGlobalVarCount == 98, "global variable table size");
static_assert(longest_name() == kLongestGlobalName, "longest global variable name");
static_assert(kw_table_is_sorted(kGlobalVars.data(), kGlobalVarCount),
              "global variable names must be unique");

extern "C" int global_var_lookup(const char* name, int length) {
  if (name == nullptr || length <= 0 || length > kLongestGlobalName) return 0;
  const kw_entry* hit = kw_find(kGlobalVars.data(), kGlobalVarCount, name, length);
  return hit ? hit->token : 0;
}

// The rows of global_vars.def, walked one by one: the recogniser gives each
// name its row number, and the version-gated table reports that name from
// the row's version down.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "analysis_runtime.h"
#include "analyzer_internal.h"
#include "analyzer_test_util.h"
#include "global_var.h"

using qen_test::batch_context;
using qen_test::tmp_path;

namespace {

struct global_row {
  std::string name;  // without "@@"
  int since[3];
};

#define V(major, minor, patch) {major, minor, patch}
#define NEVER {VERSION_NEVER_MAJOR, 0, 0}
const std::vector<global_row> kRows = {
#define GLOBAL_VAR(name, since) {#name, since},
#include "global_vars.def"
#undef GLOBAL_VAR
};
#undef V
#undef NEVER

std::string text_of(st_String_const* s) {
  char buf[64];
  string_strncpy(buf, s, sizeof buf);
  return buf;
}

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// What global_var_unsupported says of "@@name" for this target: the name
// it reports, empty when none.
std::string reported(const std::string& name, const int target[3]) {
  const std::string text = "@@" + name;
  file_state* fs = file_state_new("id", nullptr, tmp_path("global_vars.xml").c_str(), 0, 0);
  std::string out;
  {
    batch_context ctx(text, {static_cast<int>(text.size())});
    ag_word b[4] = {(ag_word)ctx.attach(fs, target), 0, 0, 0};
    global_var_unsupported(b);
    if (b[3] != 0) out = text_of((st_String_const*)b[2]);
  }
  file_state_free(fs);
  return out;
}

TEST(GlobalVarsTable, EveryRowIsFoundByItsNumberAndGatedByItsVersion) {
  EXPECT_EQ(analyzer_table_size(0), static_cast<int>(kRows.size()) + 1);
  for (size_t i = 0; i < kRows.size(); ++i) {
    const global_row& row = kRows[i];
    SCOPED_TRACE(row.name);
    const int id = static_cast<int>(i) + 1;
    const int length = static_cast<int>(row.name.size());
    EXPECT_EQ(global_var_lookup(row.name.c_str(), length), id);
    EXPECT_EQ(global_var_lookup(upper(row.name).c_str(), length), id);
    // The row's own version has the variable; the one just below lacks it.
    EXPECT_EQ(reported(row.name, row.since), "");
    int below[3] = {row.since[0], row.since[1], row.since[2] - 1};
    EXPECT_EQ(reported(row.name, below), "@@" + row.name);
  }
}

}  // namespace

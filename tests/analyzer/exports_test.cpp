// The shared library exports exactly its 25 plain functions.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdio.h>

#include <set>
#include <string>

#include "qen_analyzer.h"

namespace {

TEST(Exports, ExactlyTheInterface) {
  Dl_info info;
  ASSERT_NE(dladdr((void*)&analyzer_init, &info), 0);
  ASSERT_NE(info.dli_fname, nullptr);
  std::string command = std::string("nm -D --defined-only '") + info.dli_fname + "' 2>/dev/null";
  FILE* p = popen(command.c_str(), "r");
  ASSERT_NE(p, nullptr);
  std::set<std::string> names;
  char line[512];
  while (fgets(line, sizeof line, p)) {
    char address[128], type[8], name[256];
    if (sscanf(line, "%127s %7s %255s", address, type, name) == 3 && name[0] != '_')
      names.insert(name);
  }
  if (pclose(p) != 0 && names.empty()) GTEST_SKIP() << "nm not available";
  const std::set<std::string> expected = {
      "analyzer_init",        "analyzer_parse",        "envn_done",
      "envn_line_in_file",    "envn_new",              "envn_syntax_error",
      "file_state_add",       "file_state_dec",        "file_state_free",
      "file_state_get",       "file_state_get_mark",   "file_state_inc",
      "file_state_is_escaped", "file_state_line",      "file_state_lineno",
      "file_state_mark",      "file_state_new",        "file_state_output",
      "file_state_reset",     "file_state_set",        "file_state_show_lines",
      "file_state_statement_id", "file_state_style",   "ver_init",
      "ver_less"};
  EXPECT_EQ(expected.size(), 25u);
  EXPECT_EQ(names, expected);
}

TEST(Exports, InitIsHarmlessTwice) {
  analyzer_init();
  analyzer_init();
  int v[3];
  EXPECT_EQ(ver_init(v, "2.0"), 0);
  EXPECT_EQ(v[0], 2);
}

}  // namespace

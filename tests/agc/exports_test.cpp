// The shared library exports exactly its interface: every name of the list
// below is a defined dynamic symbol, and nothing internal leaks out.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdio>
#include <set>
#include <string>

#include "shell_command.h"
#include "smp.h"

namespace {

// Exported names, one family after another. Extend this list as families
// are added.
const char *const kExported[] = {
    // pools
    "smp_create", "smp_alloc", "smp_malloc", "smp_free", "smp_destroy", "smp_set_input_size",
    // segmented and bit vectors
    "spv_create", "spv_elem_count", "spv_set_elem_count", "spv_elem_addr", "charp_spv_elem_addr",
    "int_spv_elem_addr", "voidp_spv_elem_addr", "spv_destroy", "bpv_create", "bpv_get_elem_count",
    "bpv_set_elem_count", "bpv_elem_get", "bpv_elem_set", "bpv_push", "bpv_destroy",
    // library start, context and input
    "lib_one_time_init", "lib_one_time_done", "context_init", "context_reset", "context_done",
    "context_set_file_input", "context_set_string_input", "internal_data_ptr_fcs", "context_get",
    "context_getnull", "context_remember",
    // logging and fatal exits
    "context_set_default_log", "context_get_default_loglevel", "context_debug", "context_info",
    "context_warn", "context_error", "context_fatal", "context_log", "context_assert",
    "report_prod_assert",
};

// Substrings no exported symbol may contain: the internal layers.
const char *const kForbidden[] = {"pthread_", "mutex", "chunk_", "learned_", "qen_ag", "context_vlog",
                                  "read_whole_file", "build_line_table", "default_log_printer",
                                  "_Rb_tree", "call_once"};

std::string library_path() {
  Dl_info info{};
  if (!dladdr(reinterpret_cast<void *>(&smp_create), &info) || !info.dli_fname) return {};
  return info.dli_fname;
}

std::set<std::string> defined_dynamic_symbols(const std::string &lib) {
  std::set<std::string> out;
  std::string cmd = "nm -D --defined-only " + qen_test::shell_quote(lib);
  FILE *p = popen(cmd.c_str(), "r");
  if (!p) return out;
  char line[4096];
  while (std::fgets(line, sizeof line, p)) {
    std::string s(line);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
    std::size_t sp = s.rfind(' ');
    if (sp != std::string::npos) out.insert(s.substr(sp + 1));
  }
  pclose(p);
  return out;
}

TEST(QenAgExports, InterfaceIsExportedAndInternalsAreNot) {
  std::string lib = library_path();
  ASSERT_NE(lib.find("libqen_ag.so"), std::string::npos) << lib;
  std::set<std::string> symbols = defined_dynamic_symbols(lib);
  ASSERT_FALSE(symbols.empty());
  for (const char *name : kExported) EXPECT_TRUE(symbols.count(name)) << name << " is not exported";
  for (const std::string &s : symbols)
    for (const char *bad : kForbidden) EXPECT_EQ(s.find(bad), std::string::npos) << s << " is exported";
}

}  // namespace

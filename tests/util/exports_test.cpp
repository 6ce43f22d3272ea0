// libqen_util exports its interface and nothing else: every defined dynamic
// symbol belongs to the namespace qen_util, and the interface's classes are
// there.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "shell_command.h"

namespace {

// Demangled names, one per line.
std::set<std::string> exported_names() {
  std::set<std::string> names;
  qen_test::ProcessResult r =
      qen_test::run_command("nm -D --defined-only --format=just-symbols -C " + qen_test::shell_quote(QEN_UTIL_PATH));
  EXPECT_EQ(r.status, 0);
  size_t start = 0;
  for (size_t end; (end = r.output.find('\n', start)) != std::string::npos; start = end + 1)
    names.insert(r.output.substr(start, end - start));
  return names;
}

TEST(QenUtilExports, OnlyTheInterfaceIsExported) {
  const char* const kOwnPrefixes[] = {"qen_util::",           "vtable for qen_util::",
                                      "typeinfo for qen_util::", "typeinfo name for qen_util::",
                                      "non-virtual thunk to qen_util::", "virtual thunk to qen_util::"};
  std::set<std::string> names = exported_names();
  ASSERT_FALSE(names.empty());
  for (const std::string& name : names) {
    bool own = false;
    for (const char* prefix : kOwnPrefixes) own = own || name.starts_with(prefix);
    EXPECT_TRUE(own) << name << " is exported";
  }
  // One name of each class of the interface.
  for (const char* cls : {"IniReader::", "QENRegIniReader::", "LibraryManager::", "QENException::",
                          "QENLogConfig::", "QENLogUtil::"}) {
    bool found = false;
    for (const std::string& name : names) found = found || name.starts_with(std::string("qen_util::") + cls);
    EXPECT_TRUE(found) << "nothing of qen_util::" << cls << " is exported";
  }
}

}  // namespace

// vestrake's dump written to the streams it was given: standard output as a
// pipe, an open file whose name is gone, and standard streams the caller
// closed (>&-, 2>&-), which no file of the run may take over.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "shell_command.h"

namespace {

namespace fs = std::filesystem;
using qen_test::read_file;
using qen_test::run_command;
using qen_test::shell_quote;

const char kSource[] = "BEGIN NULL; END;\n";
const char kDump[] =
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
    "<node type=\"block\" lineno=\"1\">\n"
    "\t<field name=\"atomic\">FALSE</field>\n"
    "\t<field name=\"anonymous\">TRUE</field>\n"
    "\t<node type=\"null\" name=\"body\" lineno=\"1\">\n"
    "\t</node>\n"
    "</node>\n";

// A fresh scratch folder holding the source a.pls.
std::string folderWithSource(const std::string& name) {
  fs::path dir = fs::path(QEN_TEST_TMP_DIR) / name;
  fs::remove_all(dir);
  fs::create_directories(dir);
  std::ofstream(dir / "a.pls") << kSource;
  return dir.string();
}

std::string substitute(std::string text, const std::string& name, const std::string& value) {
  for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + value.size()))
    text.replace(at, name.size(), value);
  return text;
}

TEST(VestrakeCliAudit, DumpsToTheStreamsItWasGiven) {
  std::string dir = folderWithSource("cli_audit_streams");
  struct Case {
    const char* command;  // {vs}, {dir}; run in {dir}
    int status;
    std::string output;  // standard output and error, through the pipe
    const char* dump;    // a file that must hold the dump, or nullptr
  } cases[] = {
      // /dev/stdout a pipe: the link of /proc/self/fd names "pipe:[N]",
      // which is no path; the dump used to be refused.
      {"{vs} -i a.pls -a /dev/stdout", 0, kDump, nullptr},
      {"{vs} -i a.pls -a /proc/self/fd/1", 0, kDump, nullptr},
      // An open file whose name was removed: its link reads
      // ".../gone.xml (deleted)", a name the dump must not make.
      {"exec 3>gone.xml; rm gone.xml; {vs} -i a.pls -a /proc/self/fd/3", 255,
       "ERROR: Can't open write file: /proc/self/fd/3\n", nullptr},
      // Standard output closed while dumping: the dump is whole.
      {"{vs} -i a.pls -a d1.xml >&-", 0, "", "d1.xml"},
      {"{vs} -i a.pls -a d2.xml 2>&-", 0, "", "d2.xml"},
      // A closed standard output is no file to dump into.
      {"{vs} -i a.pls -a /dev/stdout 2>&1 >&-", 255, "", nullptr},
  };
  for (const Case& c : cases) {
    std::string command = substitute(c.command, "{vs}", shell_quote(VESTRAKE_PATH));
    qen_test::ProcessResult r = run_command("cd " + shell_quote(dir) + " && { " + command + "; } 2>&1");
    EXPECT_EQ(r.status, c.status) << c.command;
    if (c.status == 255 && c.output.empty()) {
      EXPECT_NE(r.output.find("ERROR: Can't"), std::string::npos) << c.command << "\n" << r.output;
    } else {
      EXPECT_EQ(r.output, c.output) << c.command;
    }
    if (c.dump) {
      EXPECT_EQ(read_file(dir + "/" + c.dump), kDump) << c.command;
    }
  }
  // Nothing else was made: no "gone.xml (deleted)", no unfinished file.
  std::set<std::string> names;
  for (const fs::directory_entry& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
  EXPECT_EQ(names, (std::set<std::string>{"a.pls", "d1.xml", "d2.xml"}));
}

}  // namespace

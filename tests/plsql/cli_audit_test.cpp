// vestrake's dump written to the streams it was given: standard output as a
// pipe, with no progress line in the document, an open file whose name is
// gone, standard streams whose files are written through them, and standard
// streams the caller closed (>&-, 2>&-), which no file of the run may take
// over.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scratch_dir.h"
#include "shell_command.h"

namespace {

using qen_test::read_file;
using qen_test::shell_quote;

const char kDump[] =
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
    "<node type=\"block\" lineno=\"1\">\n"
    "\t<field name=\"atomic\">FALSE</field>\n"
    "\t<field name=\"anonymous\">TRUE</field>\n"
    "\t<node type=\"null\" name=\"body\" lineno=\"1\">\n"
    "\t</node>\n"
    "</node>\n";

class VestrakeCliAudit : public ScratchDirTest {};

TEST_F(VestrakeCliAudit, DumpsToTheStreamsItWasGiven) {
  write("a.pls", "BEGIN NULL; END;\n");
  // Three progress lines: its thousandth node lies on stored line 200.
  std::string big = "BEGIN\n";
  for (int i = 0; i < 600; ++i) big += "  x := 1;\n";
  write("big.pls", big + "END;\n");
  const std::string vs = shell_quote(VESTRAKE_PATH) + " -i a.pls -a ";
  const std::string vsBig = shell_quote(VESTRAKE_PATH) + " -i big.pls -a ";
  write("b.pls", "BEGIN x END;\n");
  const std::string vsBroken = shell_quote(VESTRAKE_PATH) + " -i b.pls -a ";
  const std::string progress = "VESTRAKE: LINE: 200\nVESTRAKE: LINE: 400\nVESTRAKE: LINE: 600\n";
  struct Case {
    std::string command;  // run in the folder
    int status;
    std::string output;  // standard output and error, through the pipe
    const char* dump;    // a file that must hold the dump, or nullptr
  } cases[] = {
      // /dev/stdout a pipe: the link of /proc/self/fd names "pipe:[N]",
      // which is no path; the dump used to be refused.
      {vs + "/dev/stdout", 0, kDump, nullptr},
      // An open file whose name was removed: its link reads
      // ".../gone.xml (deleted)", a name the dump must not make.
      {"exec 3>gone.xml; rm gone.xml; " + vs + "/proc/self/fd/3", 255,
       "ERROR: Can't open write file: /proc/self/fd/3: No such file or directory\n", nullptr},
      // Progress lines go to standard output, but never into the document
      // when it is standard output's file, under any of its names.
      {vsBig + "big.xml", 0, progress, nullptr},
      {vsBig + "/dev/stdout | cmp - big.xml", 0, "", nullptr},
      {vsBig + "/proc/self/fd/1 | cmp - big.xml", 0, "", nullptr},
      {vsBig + "/dev/fd/1 | cmp - big.xml", 0, "", nullptr},
      {vsBig + "/dev/stdout > out.xml && cmp out.xml big.xml", 0, "", nullptr},
      {vsBig + "out.xml > out.xml && cmp out.xml big.xml", 0, "", nullptr},
      // Standard output closed while dumping: the dump is whole.
      {vs + "d1.xml >&-", 0, "", "d1.xml"},
      {vs + "d2.xml 2>&-", 0, "", "d2.xml"},
      // A closed standard output is no file to dump into.
      {vs + "/dev/stdout 2>&1 >&-", 255, "", nullptr},
      // A standard stream's file is written through the stream: what it
      // held stays, and an appending stream appends, the findings after
      // the document; "-" is standard output.
      {"echo log > l1.txt; " + vs + "/dev/stdout >> l1.txt; cat l1.txt", 0, std::string("log\n") + kDump, nullptr},
      {"{ echo log; " + vs + "/dev/stdout; } > l2.txt; cat l2.txt", 0, std::string("log\n") + kDump, nullptr},
      {"echo log > l3.txt; " + vs + "- >> l3.txt; cat l3.txt", 0, std::string("log\n") + kDump, nullptr},
      {vs + "-", 0, kDump, nullptr},
      {"echo log > e.xml; " + vsBroken + "/dev/stderr 2>> e.xml; head -n 2 e.xml; tail -n 1 e.xml", 0,
       "log\n<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
       "b.pls:1: syntax error near 'END': unexpected END, expecting '(' or ';'\n",
       nullptr},
  };
  for (const Case& c : cases) {
    qen_test::ProcessResult r = qen_test::run_command("cd " + shell_quote(dir_) + " && { " + c.command + "; } 2>&1");
    EXPECT_EQ(r.status, c.status) << c.command;
    if (c.status == 255 && c.output.empty()) {
      EXPECT_NE(r.output.find("ERROR: Can't"), std::string::npos) << c.command << "\n" << r.output;
    } else {
      EXPECT_EQ(r.output, c.output) << c.command;
    }
    if (c.dump) {
      EXPECT_EQ(read_file(dir_ + "/" + c.dump), kDump) << c.command;
    }
  }
  // Nothing else was made: no "gone.xml (deleted)", no unfinished file.
  EXPECT_EQ(entries(), (std::vector<std::string>{"a.pls", "b.pls", "big.pls", "big.xml", "d1.xml", "d2.xml", "e.xml",
                                                 "l1.txt", "l2.txt", "l3.txt", "out.xml"}));
}

}  // namespace

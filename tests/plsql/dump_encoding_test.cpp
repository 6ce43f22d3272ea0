// The dump is well-formed in the encoding it declares (vestrake -a -c): the
// source is taken to be in that encoding, and a byte outside it is refused
// with its line before anything is written.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "dump_encoding.h"
#include "scratch_dir.h"
#include "shell_command.h"
#include "vst_subprocess.h"

namespace fs = std::filesystem;

namespace {

using qen_test::read_file;

const char kOldDump[] = "<old dump/>\n";

class DumpEncoding : public ScratchDirTest {
 protected:
  const std::string source_ = dir_ + "/s.pls", dump_ = dir_ + "/d.xml";
};

TEST_F(DumpEncoding, SourcesInTheDeclaredEncodingDumpWellFormed) {
  const struct {
    const char* name;
    std::vector<std::string> options;
    std::string literal;  // inside a string literal of the source
  } rows[] = {
      {"UTF-8", {"-c", "UTF-8"}, "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"},
      {"ISO-8859-1 by default", {}, "caf\xE9 \xFF\x80"},
      {"windows-1252", {"-c", "windows-1252"}, "caf\xE9 \x80"},
      {"UTF-8 with a control byte the dump leaves out", {"-c", "UTF-8"}, "a\x0C" "b"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::ofstream(source_, std::ios::binary) << "BEGIN\n  x := '" << row.literal << "';\nEND;\n";
    std::vector<std::string> args = {"-i", source_, "-a", dump_};
    args.insert(args.end(), row.options.begin(), row.options.end());
    ProcessResult r = runProcess(VESTRAKE_PATH, args);
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    std::string doc = read_file(dump_);
    // The literal as it stands, less the control bytes that XML forbids.
    std::string kept;
    for (char c : row.literal)
      if (static_cast<unsigned char>(c) >= 0x20) kept += c;
    EXPECT_NE(doc.find(">'" + kept + "'<"), std::string::npos) << doc;
    if (!qen_test::works("xmllint --version")) {
      std::printf("xmllint is missing: well-formedness not checked\n");
      continue;
    }
    EXPECT_EQ(qen_test::command_status("xmllint --noout " + qen_test::shell_quote(dump_) + " 2>/dev/null"), 0);
  }
}

TEST_F(DumpEncoding, AByteOutsideTheEncodingIsRefusedWithItsLine) {
  const struct {
    const char* name;
    std::string encoding;
    std::string source;
    int line;
  } rows[] = {
      {"ISO-8859-1 byte", "UTF-8", "BEGIN\n  x := 'caf\xE9';\nEND;\n", 2},
      {"non-character U+FFFE", "UTF-8", "BEGIN\n  NULL;\n  x := '\xEF\xBF\xBE';\nEND;\n", 3},
      {"cut at the end", "UTF-8", "BEGIN NULL; END;\n\n-- \xC3", 3},
      {"undefined in windows-1252", "windows-1252", "BEGIN\n x := '\x81';\nEND;\n", 2},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::ofstream(source_, std::ios::binary) << row.source;
    std::ofstream(dump_, std::ios::binary) << kOldDump;
    ProcessResult r = runProcess(VESTRAKE_PATH, {"-i", source_, "-a", dump_, "-c", row.encoding});
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.out, "ERROR: Byte not in " + row.encoding + " at line " + std::to_string(row.line) +
                         " of read file: " + source_ + "\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(read_file(dump_), kOldDump);
  }
  // The same from the command line; without -a the encoding plays no part.
  ProcessResult r = runProcess(VESTRAKE_PATH, {"-s", "BEGIN\nNULL; END; -- \xE9", "-a", dump_, "-c", "UTF-8"});
  EXPECT_EQ(r.status, 255);
  EXPECT_EQ(r.out, "ERROR: Byte not in UTF-8 at line 2 of the source string\n");
  EXPECT_EQ(runProcess(VESTRAKE_PATH, {"-s", "BEGIN NULL; END; -- \xE9", "-c", "UTF-8"}).status, 0);
}

TEST_F(DumpEncoding, AnEncodingTheDumpCannotBeWrittenInIsRefused) {
  // Unknown to the system's converter, or not writing ASCII as ASCII.
  for (const char* encoding : {"x._-9", "UTF-16", "UTF-32BE", "IBM037", "UTF-7"}) {
    SCOPED_TRACE(encoding);
    EXPECT_FALSE(dumpEncodingUsable(encoding));
    ProcessResult r = runProcess(VESTRAKE_PATH, {"-s", "BEGIN NULL; END;", "-a", dump_, "-c", encoding});
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.out.substr(0, r.out.find('\n') + 1), "Error: Invalid or missing value: -c\n");
    EXPECT_FALSE(fs::exists(dump_));
  }
  // Other names of one, and encodings of several bytes that keep ASCII.
  for (const char* encoding : {"", "utf8", "EUC-JP"}) EXPECT_TRUE(dumpEncodingUsable(encoding)) << encoding;
}

}  // namespace

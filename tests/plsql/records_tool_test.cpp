// The records tool prints what the golden tests compare: the records text
// and the error records of an in-process translation of the same source.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "records_text.h"
#include "vst_subprocess.h"

using namespace translate_test;

namespace {

struct ToolCase {
  const char* name;
  bool markers;
  const char* source;
};

const ToolCase kToolCases[] = {
    {"sound", false, "BEGIN x := 1; END;\n"},
    {"markers", true, "BEGIN\n  x := 1;\nEND;\n"},
    {"broken", false, "BEGIN NULL END;\nBEGIN x := 1; END;\n"},
};

TEST(RecordsTool, PrintsTheRecordsOfAnInProcessTranslation) {
  for (const ToolCase& c : kToolCases) {
    const std::string path = std::string(QEN_TEST_TMP_DIR) + "/records_tool_" + c.name + ".sql";
    std::ofstream(path) << c.source;
    std::vector<std::string> args;
    if (c.markers) args.push_back("-m");
    args.push_back(path);
    ProcessResult run = runProcess(PLSQL_RECORDS_PATH, args);
    TranslateResult r = translateRun(c.source, c.markers);
    EXPECT_EQ(run.status, 0) << c.name;
    EXPECT_EQ(run.out, "== statement records ==\n" + recordsText(r) + "== error records ==\n" + errorsText(r) +
                           "== status " + std::to_string(r.status) + " ==\n")
        << c.name;
  }
}

TEST(RecordsTool, RefusesWhatItCannotUse) {
  const std::string missing = std::string(QEN_TEST_TMP_DIR) + "/records_tool_none.sql";
  const struct {
    std::vector<std::string> args;
    const char* message;
  } refusals[] = {
      {{missing}, "plsql_records: cannot read "},
      {{}, "usage: plsql_records [-m] FILE\n"},
      {{"-x", missing}, "usage: plsql_records [-m] FILE\n"},
  };
  for (const auto& c : refusals) {
    ProcessResult run = runProcess(PLSQL_RECORDS_PATH, c.args);
    EXPECT_EQ(run.status, 2) << c.message;
    EXPECT_EQ(run.out, "") << c.message;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
  }
}

}  // namespace

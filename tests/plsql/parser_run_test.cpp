// The parser seen from the vestrake program: statuses and the run's closing
// messages for accepted, failed, exhausted and too-erroneous parses.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "shell_command.h"

namespace {

using qen_test::ProcessResult;
using qen_test::shell_quote;

ProcessResult runVestrake(const std::string& arguments)
{
  return qen_test::run_command(shell_quote(VESTRAKE_PATH) + " " + arguments + " 2>/dev/null");
}

std::string writeSource(const std::string& name, const std::string& text)
{
  std::string path = std::string(QEN_TEST_TMP_DIR) + "/" + name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

TEST(ParserRun, AcceptedBlockEndsWithZeroAndPrintsNothing)
{
  ProcessResult run = runVestrake("-s \"BEGIN NULL; END;\"");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.output, "");
}

TEST(ParserRun, UnfinishedBlockCannotBeParsed)
{
  ProcessResult run = runVestrake("-s \"BEGIN NULL;\"");
  EXPECT_EQ(run.status, 5);
  EXPECT_EQ(run.output, "VESTRAKE: UNABLE TO PARSE\n");
}

// A syntax error is never a clean run, even when the parser went on; the
// standard output stays empty (the finding goes to standard error).
TEST(ParserRun, ErrorAfterWhichTheParserResumesEndsWithFive)
{
  ProcessResult run = runVestrake("-s \"BEGIN x y z; NULL; END;\"");
  EXPECT_EQ(run.status, 5);
  EXPECT_EQ(run.output, "");
}

TEST(ParserRun, TooManyErrorsWhenAFurtherUnitCompletes)
{
  std::string path = writeSource("two_broken_units.sql",
                                 "CREATE OR REPLACE x;\nCREATE OR REPLACE y;\nBEGIN NULL; END;\n");
  ProcessResult run = runVestrake("-m 1 -i " + shell_quote(path));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.output, "VESTRAKE: Syntax error at line 2\nVESTRAKE: TOO MANY ERRORS\n");

  // A limit of 2 is not passed; no limit at all (0) neither: the run ends
  // as one with recovered syntax errors.
  EXPECT_EQ(runVestrake("-m 2 -i " + shell_quote(path)).status, 5);
  EXPECT_EQ(runVestrake("-m 0 -i " + shell_quote(path)).status, 5);
}

TEST(ParserRun, LimitIsNotCheckedWithoutAFurtherUnit)
{
  std::string path = writeSource("two_broken_only.sql", "CREATE OR REPLACE x;\nCREATE OR REPLACE y;\n");
  ProcessResult run = runVestrake("-m 1 -i " + shell_quote(path));
  EXPECT_EQ(run.status, 5);
  EXPECT_EQ(run.output, "");
}

TEST(ParserRun, NestingPastTheStackLimitFails)
{
  std::string text;
  for (int i = 0; i < 6000; ++i)
    text += "BEGIN ";
  text += "NULL;";
  for (int i = 0; i < 6000; ++i)
    text += " END;";
  std::string path = writeSource("deep.sql", text + "\n");
  ProcessResult run = runVestrake("-i " + shell_quote(path));
  // A valid source too deep for the parser's stack is no syntax error.
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.output, "");

  // Well below the limit the same shape is accepted (the stacks grow).
  std::string shallow;
  for (int i = 0; i < 1000; ++i)
    shallow += "BEGIN ";
  shallow += "NULL;";
  for (int i = 0; i < 1000; ++i)
    shallow += " END;";
  EXPECT_EQ(runVestrake("-i " + shell_quote(writeSource("shallow.sql", shallow + "\n"))).status, 0);
}

TEST(ParserRun, UnknownCharacterIsASyntaxError)
{
  // '+' is not a terminal of the grammar at the start of a unit.
  ProcessResult run = runVestrake("-s \"+\"");
  EXPECT_EQ(run.status, 5);
  ProcessResult failed = runVestrake("-s \"BEGIN\"");
  EXPECT_EQ(failed.status, 5);
}

}  // namespace

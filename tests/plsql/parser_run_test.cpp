// The parser seen from the vestrake program: statuses and the run's closing
// messages for accepted, failed, exhausted and too-erroneous parses.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

struct ProgramRun {
  int status;
  std::string out;
};

// A word for the shell: single-quoted, embedded quotes kept.
std::string shellQuote(const std::string& word)
{
  std::string quoted = "'";
  for (char c : word)
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

ProgramRun runVestrake(const std::string& arguments)
{
  std::string command = shellQuote(VESTRAKE_PATH) + " " + arguments + " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  ProgramRun run{-1, ""};
  if (!pipe)
    return run;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
    run.out.append(buffer, n);
  int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
  return run;
}

std::string writeSource(const std::string& name, const std::string& text)
{
  std::string path = std::string(QEN_TEST_TMP_DIR) + "/" + name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

TEST(ParserRun, AcceptedBlockEndsWithZeroAndPrintsNothing)
{
  ProgramRun run = runVestrake("-s \"BEGIN NULL; END;\"");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "");
}

TEST(ParserRun, UnfinishedBlockCannotBeParsed)
{
  ProgramRun run = runVestrake("-s \"BEGIN NULL;\"");
  EXPECT_EQ(run.status, 5);
  EXPECT_EQ(run.out, "VESTRAKE: UNABLE TO PARSE\n");
}

// A syntax error is never a clean run, even when the parser went on; the
// standard output stays empty (the finding goes to standard error).
TEST(ParserRun, ErrorAfterWhichTheParserResumesEndsWithFive)
{
  ProgramRun run = runVestrake("-s \"BEGIN x y z; NULL; END;\"");
  EXPECT_EQ(run.status, 5);
  EXPECT_EQ(run.out, "");
}

TEST(ParserRun, TooManyErrorsWhenAFurtherUnitCompletes)
{
  std::string path = writeSource("two_broken_units.sql",
                                 "CREATE OR REPLACE x;\nCREATE OR REPLACE y;\nBEGIN NULL; END;\n");
  ProgramRun run = runVestrake("-m 1 -i " + shellQuote(path));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "VESTRAKE: Syntax error at line 2\nVESTRAKE: TOO MANY ERRORS\n");

  // A limit of 2 is not passed; no limit at all (0) neither: the run ends
  // as one with recovered syntax errors.
  EXPECT_EQ(runVestrake("-m 2 -i " + shellQuote(path)).status, 5);
  EXPECT_EQ(runVestrake("-m 0 -i " + shellQuote(path)).status, 5);
}

TEST(ParserRun, LimitIsNotCheckedWithoutAFurtherUnit)
{
  std::string path = writeSource("two_broken_only.sql", "CREATE OR REPLACE x;\nCREATE OR REPLACE y;\n");
  ProgramRun run = runVestrake("-m 1 -i " + shellQuote(path));
  EXPECT_EQ(run.status, 5);
  EXPECT_EQ(run.out, "");
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
  ProgramRun run = runVestrake("-i " + shellQuote(path));
  EXPECT_EQ(run.status, 5);
  EXPECT_EQ(run.out, "VESTRAKE: UNABLE TO PARSE\n");

  // Well below the limit the same shape is accepted (the stacks grow).
  std::string shallow;
  for (int i = 0; i < 1000; ++i)
    shallow += "BEGIN ";
  shallow += "NULL;";
  for (int i = 0; i < 1000; ++i)
    shallow += " END;";
  EXPECT_EQ(runVestrake("-i " + shellQuote(writeSource("shallow.sql", shallow + "\n"))).status, 0);
}

TEST(ParserRun, UnknownCharacterIsASyntaxError)
{
  // '+' is not a terminal of the grammar at the start of a unit.
  ProgramRun run = runVestrake("-s \"+\"");
  EXPECT_EQ(run.status, 5);
  ProgramRun failed = runVestrake("-s \"BEGIN\"");
  EXPECT_EQ(failed.status, 5);
}

}  // namespace

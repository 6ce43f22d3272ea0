// Deeply nested sources: vestrake translates every depth its parser accepts
// on a 1 MiB native stack, or refuses the source with a clear record and
// status; never a crash. What the rewriting throws on its own stack (an
// exhausted pool) ends the run as anywhere else.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "deep_walk.h"
#include "error_records.h"
#include "parse_context.h"
#include "run_pool.h"
#include "shell_command.h"
#include "translate.h"
#include "translate_options.h"

namespace {

std::string nestedBlocks(int depth) {
  std::string text;
  for (int i = 0; i < depth; ++i) text += "BEGIN ";
  text += "x := SQL%ROWCOUNT;";
  for (int i = 0; i < depth; ++i) text += " END;";
  return text + "\n";
}

std::string writeSource(const std::string& name, const std::string& text) {
  std::string path = std::string(QEN_TEST_TMP_DIR) + "/" + name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

// vestrake -i on the file under a 1 MiB stack; both output streams.
qen_test::ProcessResult onSmallStack(const std::string& path) {
  return qen_test::run_command("ulimit -s 1024 && exec " + qen_test::shell_quote(VESTRAKE_PATH) + " -i " +
                               qen_test::shell_quote(path) + " 2>&1");
}

bool canLimitTheStack() { return qen_test::command_status("ulimit -s 1024") == 0; }

TranslateResult translate(const std::string& source) {
  TranslateOptions options;
  setCommandLineDefaults(&options);
  return translateCore(source.c_str(), &options);
}

std::string nestedIfs(int depth) {
  std::string text = "BEGIN ";
  for (int i = 0; i < depth; ++i) text += "IF a THEN ";
  text += "x := 1;";
  for (int i = 0; i < depth; ++i) text += " END IF;";
  return text + " END;\n";
}

// One IF with branches ELSIF after ELSIF: a flat chain, however long.
std::string flatElsifs(int branches) {
  std::string text = "BEGIN IF a = 0 THEN x := 0;";
  for (int i = 1; i < branches; ++i) text += "\nELSIF a = " + std::to_string(i) + " THEN x := 1;";
  return text + "\nEND IF; END;\n";
}

// Every depth the parser accepts translates (4,900 levels are near its
// limit; 2,000 used to overflow). Past the parser's stack a valid source is
// no syntax error: the answer of a source too deep for the rewriting, with
// its status. A long ELSIF chain is no depth.
TEST(DeepNesting, EveryDepthTranslatesOrIsRefusedAsTooDeep) {
  if (!canLimitTheStack()) GTEST_SKIP() << "the stack cannot be limited here";
  const struct {
    const char* name;
    std::string text;
    int status;
  } cases[] = {
      {"deep_blocks_4900.pls", nestedBlocks(4900), 0},
      {"deep_blocks_5000.pls", nestedBlocks(5000), 2},
      {"deep_ifs_2500.pls", nestedIfs(2500), 2},
      // A chain of ELSIF branches nests nothing.
      {"flat_elsifs_20000.pls", flatElsifs(20000), 0},
  };
  for (const auto& c : cases) {
    std::string path = writeSource(c.name, c.text);
    qen_test::ProcessResult run = onSmallStack(path);
    EXPECT_TRUE(run.exited) << c.name;
    EXPECT_EQ(run.status, c.status) << c.name;
    EXPECT_EQ(run.output, c.status ? path + ": The source nests too deeply to be translated\n" : "") << c.name;
    std::remove(path.c_str());
  }
}

TEST(DeepNesting, ASourceTooDeepForTheWalkIsRefusedWithARecord) {
  // With the walk's room cut to 64 KiB, 2,000 levels are too deep.
  const std::string source = nestedBlocks(2000);
  deep_walk_set_room(64 << 10);
  TranslateResult cut = translate(source);
  deep_walk_set_room(0);
  EXPECT_EQ(cut.status, 2);
  EXPECT_EQ(cut.statements, nullptr);
  ASSERT_NE(cut.errors, nullptr);
  EXPECT_EQ(cut.errors->next, nullptr);
  EXPECT_EQ(errorRecordLine("deep.pls", cut.errors), "deep.pls: The source nests too deeply to be translated");
  // The next run has its whole stack again.
  TranslateResult whole = translate(source);
  EXPECT_EQ(whole.status, 0);
  EXPECT_NE(whole.statements, nullptr);
  EXPECT_EQ(whole.errors, nullptr);
}

TEST(DeepNesting, PoolExhaustedInTheRewritingEndsTheRunAsAnywhere) {
  // One byte below the smallest ceiling that lets the run finish, the
  // parse is complete (a root) and the rewriting or the emission fails.
  const std::string source = nestedBlocks(200);
  size_t fails = 1, finishes = size_t(1) << 28;
  auto statusWithLimit = [&](size_t limit) {
    poolSetHeapLimit(limit);
    int status = translate(source).status;
    poolSetHeapLimit(0);
    return status;
  };
  ASSERT_EQ(statusWithLimit(finishes), 0);
  while (finishes - fails > 1) {
    size_t middle = fails + (finishes - fails) / 2;
    (statusWithLimit(middle) == 0 ? finishes : fails) = middle;
  }
  poolSetHeapLimit(fails);
  TranslateResult cut = translate(source);
  poolSetHeapLimit(0);
  EXPECT_EQ(cut.status, 2);
  EXPECT_EQ(cut.jumpCode, POOL_JUMP_OUT_OF_MEMORY);
  EXPECT_NE(cut.root, nullptr);
  EXPECT_EQ(cut.errors, &outOfMemoryRecord);
}

}  // namespace

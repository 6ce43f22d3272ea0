// Every PL/SQL file of the shared corpus through the whole translation
// (`vestrake -i file`, no -a): parse, rewriting and emission end with 0, 5 or
// 1, never with a crash. The same files are also rewritten in process, where
// the tree after the pass is checked for parent links.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "rewrite_test_util.h"
#include "shell_command.h"
#include "vst_subprocess.h"

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> corpusFiles()
{
  std::vector<fs::path> files;
  fs::path root = fs::path(QEN_SHARED_DIR) / "corpus" / "plsql";
  if (!fs::is_directory(root))
    return files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file())
      continue;
    std::string ext = entry.path().extension().string();
    if (ext == ".txt" || ext == ".md" || entry.path().filename() == "LICENSE")
      continue;
    files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

TEST(RewriteCorpus, FullTranslationNeverCrashes)
{
  std::vector<fs::path> files = corpusFiles();
  if (files.empty())
    GTEST_SKIP() << "shared corpus not found";
  int translated = 0;
  for (const auto& file : files) {
    ProcessResult run = runProcess(VESTRAKE_PATH, {"-i", file.string()});
    ASSERT_TRUE(run.status == 0 || run.status == 5 || run.status == 1)
        << file << " ended with " << run.status << "\n"
        << run.err;
    if (run.status == 0)
      ++translated;
  }
  std::printf("translated %d of %zu corpus files\n", translated, files.size());
}

// Every node the pass reaches through a list has that list as its parent.
struct ParentCheck {
  int lists = 0;
  int wrong = 0;
};

void checkParents(astNode* node, void* data)
{
  auto* check = static_cast<ParentCheck*>(data);
  // Lists the pass does not enter (such as defaults of formal arguments)
  // keep no parent.
  if (node->kind != AST_LIST || !node->parent)
    return;
  ++check->lists;
  for (astListCell* c = listCells(nodeAs<astNodeList>(node)); c; c = c->next)
    if (c->value && c->value->kind <= AST_GET_DIAG && c->value->kind != AST_TRIGGER_VAR &&
        c->value->kind != AST_DECLARATION && c->value->parent == nullptr)
      ++check->wrong;
}

TEST(RewriteCorpus, InProcessPassLinksParents)
{
  std::vector<fs::path> files = corpusFiles();
  if (files.empty())
    GTEST_SKIP() << "shared corpus not found";
  int rewritten = 0;
  for (const auto& file : files) {
    std::string source = qen_test::read_file(file);
    ParsedSource* parsed = parseText(source.c_str());
    if (!parsed->accepted || !parsed->context.root)
      continue;
    transformProgram(parsed->context.root, &parsed->options, &parsed->errors);
    for (ErrorRecord* e = parsed->errors.head; e; e = e->next) {
      ASSERT_NE(e->message, nullptr) << file;
      ASSERT_TRUE(e->domain >= 0 && e->domain <= 3) << file << ": " << e->message;
    }
    ParentCheck check;
    astWalk(parsed->context.root, checkParents, &check);
    EXPECT_EQ(check.wrong, 0) << file;
    ++rewritten;
  }
  std::printf("rewrote %d of %zu corpus files in process\n", rewritten, files.size());
}

}  // namespace

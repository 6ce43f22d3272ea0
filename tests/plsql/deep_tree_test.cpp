// The tree writers on deeply nested trees, called from a thread with a small
// stack: the depth of the tree must not become depth of the native stack.
#include <gtest/gtest.h>
#include <pthread.h>

#include <cstdio>
#include <functional>
#include <string>

#include "ast.h"
#include "ast_dot.h"
#include "run_pool.h"
#include "shell_command.h"
#include "sqlexc_ast_dump.h"

namespace {

const int kDepth = 3000;

// Blocks nested kDepth deep. Every other body is a list of two (the inner
// block and a token), the others a list of one, so that both list forms
// nest.
astNode* nestedBlocks() {
  astNode* inner = astTokenNew(258, "x", kDepth);
  for (int level = kDepth; level > 0; --level) {
    auto* block = astMake<astNodeBlock>(level);
    block->body = listNew(inner);
    if (level % 2) listAppend(block->body, astTokenNew(258, "y", level));
    inner = block;
  }
  return inner;
}

size_t countOf(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
  return n;
}

// Runs job on a thread with a 128 KiB stack.
void onSmallStack(const std::function<void()>& job) {
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstacksize(&attr, 128 << 10);
  pthread_t thread;
  auto run = [](void* p) -> void* {
    (*static_cast<const std::function<void()>*>(p))();
    return nullptr;
  };
  ASSERT_EQ(pthread_create(&thread, &attr, run, const_cast<std::function<void()>*>(&job)), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attr);
}

TEST(DeepTree, WritersKeepTheNativeStackFlat) {
  PoolJumpTarget target = {1};
  Pool* pool = poolCreateCurrent(&target);
  astNode* root = nestedBlocks();
  std::string path = std::string(QEN_TEST_TMP_DIR) + "/deep_tree.out";
  struct Case {
    const char* name;
    std::function<bool()> write;
    std::string opening;  // once per block
    std::string last;     // the document's last line
  } cases[] = {
      {"xml", [&] { return writeAstXml(path.c_str(), "w", nullptr, root); }, "<node type=\"block\"", "</node>\n"},
      {"dot", [&] { return writeAstDot(path.c_str(), "w", root, 1, -1, 0) == 1; }, "|block|{", "}\n"},
  };
  for (const Case& c : cases) {
    std::remove(path.c_str());
    bool written = false;
    // A current pool is the calling thread's own: the writers' thread takes
    // the test's.
    onSmallStack([&] {
      poolSetCurrent(pool);
      written = c.write();
      poolSetCurrent(nullptr);
    });
    EXPECT_TRUE(written) << c.name;
    std::string text = qen_test::read_file(path);
    EXPECT_EQ(countOf(text, c.opening), size_t(kDepth)) << c.name;
    ASSERT_GE(text.size(), c.last.size()) << c.name;
    EXPECT_EQ(text.substr(text.size() - c.last.size()), c.last) << c.name;
    if (c.opening[0] == '<') {
      // Every element opened is closed; only the root closes at depth 0.
      EXPECT_EQ(countOf(text, "<node "), countOf(text, "</node>"));
      EXPECT_EQ(text.find("\n</node>"), text.size() - 9);
    }
  }
  std::remove(path.c_str());
  poolDestroyCurrent();
}

}  // namespace

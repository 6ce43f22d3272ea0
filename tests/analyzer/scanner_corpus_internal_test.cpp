// Every T-SQL file of the shared corpus through the scanner, with quoted
// identifiers off and on: no crash, every lexeme recorded, the lexemes
// tiling the input, one end of input at the very end.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "scanner_test_support.h"

extern "C" {
gn_dproc_fn gn_dproc_table[GN_DPROC_TABLE_SIZE];
}

namespace {

using namespace scanner_test;
namespace fs = std::filesystem;
const table_filler kFiller(gn_dproc_table);

class ScannerCorpus : public ScannerFixture {};

std::vector<fs::path> corpus_files() {
  std::vector<fs::path> files;
  const fs::path root = fs::path(QEN_SHARED_DIR) / "corpus" / "tsql";
  std::error_code ec;
  if (!fs::is_directory(root, ec)) return files;
  for (const auto& e : fs::recursive_directory_iterator(root, ec))
    if (e.is_regular_file() && e.path().extension() == ".sql") files.push_back(e.path());
  std::sort(files.begin(), files.end());
  return files;
}

TEST_F(ScannerCorpus, EveryFileScansCleanly) {
  const std::vector<fs::path> files = corpus_files();
  if (files.empty()) GTEST_SKIP() << "no T-SQL corpus under " << QEN_SHARED_DIR;
  long total_tokens = 0;
  for (const fs::path& path : files) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string text = buffer.str();
    if (text.empty()) continue;
    for (int flag = 0; flag < 2; ++flag) {
      set_flag(flag);
      const std::vector<token> tokens = scan(text);
      ASSERT_FALSE(tokens.empty()) << path;
      EXPECT_EQ(tokens.back().code, 0) << path;
      const int n = ctx_.lexeme_count;
      ASSERT_GE(n, static_cast<int>(tokens.size())) << path;
      EXPECT_EQ(start(0), 0) << path;
      int returned = 0;
      for (int i = 0; i < n; ++i) {
        ASSERT_LT(start(i), start(i + 1)) << path << " lexeme " << i;
        const int k = kind(i);
        ASSERT_TRUE(k == -1 || k == 0 || (k >= TSQL_FIRST_TERMINAL && k <= TSQL_LAST_TERMINAL))
            << path << " lexeme " << i << " kind " << k;
        if (k != -1) ++returned;
      }
      EXPECT_EQ(returned, static_cast<int>(tokens.size())) << path;
      EXPECT_EQ(start(n), static_cast<int>(text.size()) + 1) << path;
      EXPECT_EQ(kind(n - 1), 0) << path;
      // Every leaf was built for its own token.
      int lexeme_index = 0;
      for (const token& t : tokens) {
        if (t.code == 0) break;
        while (kind(lexeme_index) == -1) ++lexeme_index;
        ASSERT_EQ(t.leaf_code, t.code) << path;
        ASSERT_EQ(t.leaf_lexeme, lexeme_index) << path;
        ++lexeme_index;
      }
      total_tokens += static_cast<long>(tokens.size());
    }
    context_done(&ctx_);
    ASSERT_EQ(context_init(&ctx_), 0);
  }
  EXPECT_GT(total_tokens, 10000);
  EXPECT_EQ(g_none_calls, 0);
}

}  // namespace

// Scanner robustness: arbitrary bytes and the shared PL/SQL corpus scan to the
// end without failing, and the line count matches the line feeds consumed.
#include <algorithm>
#include <filesystem>
#include <random>

#include "shell_command.h"
#include "vst_scan_fixture.h"


namespace {

struct Robust : ScanFixture {
  // Scans to the end of input; returns the number of tokens.
  bool stringLeftOpen() const {
    for (ErrorRecord* e = errors.head; e; e = e->next)
      if (std::string(e->message) == "Unterminated quoted string") return true;
    return false;
  }

  int scanToEnd(const std::string& source) {
    start(source.c_str());
    int n = 0;
    while (next().code != 0) {
      if (++n > 10000000) break;
    }
    return n;
  }
};

}  // namespace

TEST_F(Robust, RandomBytesScanToTheEnd) {
  std::mt19937 rng(12345);
  const std::string alphabet = "abcXYZ019_$#'\"%()*+,-./:;<=>[]^|!&?@{}~\\`\t\r\n \x01\x7f\x80\xff";
  for (int round = 0; round < 2000; ++round) {
    std::string s;
    int len = int(rng() % 60);
    for (int i = 0; i < len; ++i) {
      if (rng() % 4 == 0)
        s += char(1 + rng() % 255);
      else
        s += alphabet[rng() % alphabet.size()];
    }
    scanToEnd(s);
    long lfs = long(std::count(s.begin(), s.end(), '\n'));
    // Line feeds of a string literal are counted when it closes; one left
    // open at the end of input keeps them.
    if (stringLeftOpen()) continue;
    std::string hex;
    for (unsigned char ch : s) {
      char b[4];
      std::snprintf(b, sizeof b, "%02x", ch);
      hex += b;
    }
    EXPECT_EQ(scannerCurrentLine(&ctx), lfs + 1) << "source bytes: " << hex;
    for (ErrorRecord* e = errors.head; e; e = e->next) {
      EXPECT_EQ(e->domain, 1);
      EXPECT_GE(e->line, 1);
    }
  }
}

TEST_F(Robust, CorpusFilesScanToTheEnd) {
  namespace fs = std::filesystem;
  fs::path root = fs::path(QEN_SHARED_DIR) / "corpus" / "plsql";
  if (!fs::is_directory(root)) GTEST_SKIP() << "no corpus at " << root;
  int files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    std::string text = qen_test::read_file(entry.path());
    text = text.substr(0, text.find('\0'));
    scanToEnd(text);
    long lfs = long(std::count(text.begin(), text.end(), '\n'));
    ++files;
    if (stringLeftOpen()) continue;
    EXPECT_EQ(scannerCurrentLine(&ctx), lfs + 1) << entry.path();
  }
  EXPECT_GT(files, 0);
}


// Global variables as the scanner delivers them, through the version gate
// of the global-variable table.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "analysis_runtime.h"
#include "qen_analyzer.h"
#include "scanner_test_support.h"

extern "C" {
gn_dproc_fn gn_dproc_table[GN_DPROC_TABLE_SIZE];
}

namespace {

using namespace scanner_test;
const table_filler kFiller(gn_dproc_table);

class ScannerGlobalVar : public ScannerFixture {
 protected:
  void SetUp() override {
    ScannerFixture::SetUp();
    std::filesystem::create_directories(QEN_TEST_TMP_DIR);
    in_path_ = std::string(QEN_TEST_TMP_DIR) + "/scanner_global_var_in.sql";
    out_path_ = std::string(QEN_TEST_TMP_DIR) + "/scanner_global_var_out.xml";
    std::ofstream(in_path_) << "select 1\n";
    std::remove(out_path_.c_str());
    fs_ = file_state_new("t", in_path_.c_str(), out_path_.c_str(), 0, 0);
    ASSERT_NE(fs_, nullptr);
    ctx_.file_state = fs_;
  }
  void TearDown() override {
    file_state_free(fs_);
    ScannerFixture::TearDown();
  }

  // {unsupported, name} for the global variable at the given lexeme.
  std::pair<int, std::string> gate(envn* env, int lexeme) {
    ag_word b[4] = {ag_from_ptr(env), lexeme, 0, 0};
    global_var_unsupported(b);
    st_String_const* name = ag_str(b[2]);
    std::string text(static_cast<const char*>(internal_data_ptr_fcs(name)),
                     static_cast<size_t>(string_length(name)));
    return {ag_int(b[3]), text};
  }

  std::string in_path_, out_path_;
  file_state* fs_ = nullptr;
};

TEST_F(ScannerGlobalVar, TargetVersionGatesEachVariable) {
  const std::vector<token> t = scan("@@datefirst @@ROWCOUNT @@nosuchname @@ @@DateFirst");
  ASSERT_EQ(t.size(), 6u);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(t[i].code, TK_GLOBAL_VARNAME);
    EXPECT_EQ(t[i].leaf_lexeme, 2 * i);
  }
  int v110[3];
  ver_init(v110, "1.1.0");
  envn* env = envn_new(&ctx_, v110);
  ASSERT_NE(env, nullptr);
  EXPECT_EQ(gate(env, 0), (std::pair<int, std::string>{0, ""}));
  EXPECT_EQ(gate(env, 2), (std::pair<int, std::string>{1, "@@rowcount"}));
  // Unknown names find the row of identifier 0, which no target has.
  EXPECT_EQ(gate(env, 4), (std::pair<int, std::string>{1, "*INVALID*"}));
  EXPECT_EQ(gate(env, 6), (std::pair<int, std::string>{1, "*INVALID*"}));

  int v109[3];
  ver_init(v109, "1.0.9");
  envn* older = envn_new(&ctx_, v109);
  ASSERT_NE(older, nullptr);
  EXPECT_EQ(gate(older, 0), (std::pair<int, std::string>{1, "@@datefirst"}));
  EXPECT_EQ(gate(older, 8), (std::pair<int, std::string>{1, "@@datefirst"}));
}

}  // namespace

// A fresh folder of its own for each test that runs vestrake on files,
// removed after the test whatever permissions the test left on it.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

class ScratchDirTest : public ::testing::Test {
 protected:
  // Made before the members of a test's fixture, which name files in it.
  ScratchDirTest() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "_" + info->name();
    std::replace(name.begin(), name.end(), '/', '_');
    std::filesystem::path dir = std::filesystem::path(QEN_TEST_TMP_DIR) / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    dir_ = std::filesystem::canonical(dir).string();
  }
  void TearDown() override {
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_all);
    std::filesystem::remove_all(dir_);
  }

  // A name in the folder, or an absolute path, holding text.
  void write(const std::string& name, const std::string& text) const {
    std::ofstream(name[0] == '/' ? name : dir_ + "/" + name, std::ios::binary) << text;
  }

  // The names in the folder, sorted.
  std::vector<std::string> entries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  std::string dir_;
};

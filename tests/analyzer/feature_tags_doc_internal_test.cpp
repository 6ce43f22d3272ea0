// The committed reference page of the feature tags names every tag the
// report can carry: each fixed tag, and each name of the version tables.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string page() {
  std::ifstream in(std::string(QEN_SOURCE_DIR) + "/docs/feature-tags.md", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Each entry stands as the first cell of a table row.
const std::vector<std::string> kEntries = {
#define FEATURE_TAG(id, tag, name) tag,
#include "feature_tags.def"
#undef FEATURE_TAG
#define GLOBAL_VAR(name, since) "@@" #name,
#include "global_vars.def"
#undef GLOBAL_VAR
#define SYSTEM_PROCEDURE(name, since) #name,
#include "system_procedures.def"
#undef SYSTEM_PROCEDURE
#define SYSTEM_TABLE(name, since) #name,
#include "system_tables.def"
#undef SYSTEM_TABLE
};

TEST(FeatureTagsPage, NamesEveryTagAndEveryGatedName) {
  const std::string text = page();
  ASSERT_FALSE(text.empty());
  for (const std::string& entry : kEntries)
    EXPECT_NE(text.find("\n| `" + entry + "` |"), std::string::npos) << entry;
}

}  // namespace

// The committed reference page of the feature tags names every tag the
// report can carry: each fixed tag, and each name of the version tables.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "analysis_runtime.h"

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

struct gate_row {
  const feature_tag* feature;
  std::string since;
};

#define V(major, minor, patch) #major "." #minor "." #patch
const std::vector<gate_row> kGates = {
#define FEATURE_GATE(id, since, condition) {&FT_##id, since},
#include "feature_gates.def"
#undef FEATURE_GATE
};
#undef V

// Each entry has a row; a gated tag's row gives the version of its gate.
TEST(FeatureTagsPage, NamesEveryTagAndEveryGatedNameAndTheGates) {
  const std::string text = page();
  for (const std::string& entry : kEntries)
    EXPECT_NE(text.find("\n| `" + entry + "` |"), std::string::npos) << entry;
  for (const gate_row& g : kGates) {
    const std::string tag(static_cast<const char*>(g.feature->tag.left),
                          static_cast<size_t>(g.feature->tag.length));
    const size_t row = text.find("\n| `" + tag + "` |");
    ASSERT_NE(row, std::string::npos) << tag;
    const std::string line = text.substr(row + 1, text.find('\n', row + 1) - row - 1);
    EXPECT_NE(line.find("targets below " + g.since), std::string::npos) << line;
  }
}

}  // namespace

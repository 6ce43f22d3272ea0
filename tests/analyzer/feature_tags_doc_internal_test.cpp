// The committed reference page of the feature tags names every tag the
// report can carry: each fixed tag, and each name of the version tables;
// and it names each feature as the host's report does.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "analysis_runtime.h"
#include "host_report_fixture.h"

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

#ifdef QEN_HOST_PATH

// The names of the row of a fixed tag: its name cell, split at "; ", each
// without the place in parentheses that follows it.
std::vector<std::string> row_names(const std::string& text, const std::string& tag) {
  const std::string start = "\n| `" + tag + "` | ";
  const size_t row = text.find(start);
  if (row == std::string::npos) return {};
  const size_t from = row + start.size();
  std::string names = text.substr(from, text.find(" | ", from) - from) + "; ";
  std::vector<std::string> out;
  for (size_t at = 0, end; (end = names.find("; ", at)) != std::string::npos; at = end + 2) {
    std::string name = names.substr(at, end - at);
    out.push_back(name.substr(0, name.find(" (in ")));
  }
  return out;
}

// Every fixed tag of the host's reports (all targets' tags, -t 0.0.0) over
// the sample and over statements whose tags are named by their place.
TEST(FeatureTagsPage, NamesEachFeatureAsTheReportDoes) {
  const std::string in = qen_test::tmp_path("feature_names.sql"), out = qen_test::tmp_path("feature_names.xml");
  qen_test::write_file(in,
                       "create table t (a int references u (x) match full, b int,\n"
                       "  primary key clustered (a desc) with fillfactor = 10 on s, foreign key (b) references u (x) "
                       "match full)\ngo\nalter table t add primary key clustered (a desc) with fillfactor = 5 on s\n"
                       "go\ndeclare @p varchar(10), @r int\nexec @p 1 with recompile\nexec @r = @p 1 with recompile\n");
  const std::string text = page();
  int checked = 0;
  for (const std::string& source : {in, std::string(QEN_SOURCE_DIR) + "/examples/sample.sql"}) {
    remove(out.c_str());
    qen_test::run_host_process("-t 0.0.0 -o " + qen_test::shell_quote(out) + " " + qen_test::shell_quote(source));
    const std::string report = qen_test::read_file(out);
    for (size_t at = report.find("<feature>"); at != std::string::npos; at = report.find("<feature>", at + 1)) {
      const size_t id = report.find("<id>", at) + 4, name = report.find("<name>", report.find("<object>", at)) + 6;
      const std::string tag = report.substr(id, report.find("</id>", id) - id);
      const std::string named = report.substr(name, report.find("</name>", name) - name);
      if (feature_tag_find(tag.c_str()) == nullptr) continue;  // named after the source
      const std::vector<std::string> names = row_names(text, tag);
      EXPECT_TRUE(std::find(names.begin(), names.end(), named) != names.end()) << tag << " named " << named;
      ++checked;
    }
  }
  EXPECT_GE(checked, 14);
}

#endif

}  // namespace

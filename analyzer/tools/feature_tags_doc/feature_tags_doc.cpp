// Writes docs/feature-tags.md, the reference of the report's feature tags,
// from the very tables the analyzer is built from: the fixed tags of
// feature_tags.def with their names by place (feature_names.def) and their
// gates (feature_gates.def), and the version-gated global variables, system
// procedures and system tables.
// Usage: feature_tags_doc OUTPUT
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "analysis_runtime.h"
#include "analyzer_internal.h"

namespace {

struct version {
  int major, minor, patch;
};

struct gated_row {
  const char* name;
  version since;
};

constexpr int kNever = VERSION_NEVER_MAJOR;

#define V(major, minor, patch) {major, minor, patch}
#define NEVER {kNever, 0, 0}
const gated_row kGlobalVars[] = {
#define GLOBAL_VAR(name, since) {"@@" #name, since},
#include "global_vars.def"
#undef GLOBAL_VAR
};
const gated_row kSystemProcedures[] = {
#define SYSTEM_PROCEDURE(name, since) {#name, since},
#include "system_procedures.def"
#undef SYSTEM_PROCEDURE
};
const gated_row kSystemTables[] = {
#define SYSTEM_TABLE(name, since) {#name, since},
#include "system_tables.def"
#undef SYSTEM_TABLE
};
#undef V
#undef NEVER

struct fixed_tag {
  const char* tag;
  const char* name;
};

const fixed_tag kFixedTags[] = {
#define FEATURE_TAG(id, tag, name) {tag, name},
#include "feature_tags.def"
#undef FEATURE_TAG
};

// Where a tag's <object> is named otherwise than by its display name.
struct place_name {
  const feature_tag* feature;
  const st_String_const* name;
  const char* place;
};

const place_name kPlaceNames[] = {
#define FEATURE_NAME(id, name, place) {&FT_##id, &name, place},
#include "feature_names.def"
#undef FEATURE_NAME
};

struct gate {
  const feature_tag* feature;
  version since;
  const char* condition;
};

#define V(major, minor, patch) {major, minor, patch}
const gate kGates[] = {
#define FEATURE_GATE(id, since, condition) {&FT_##id, since, condition},
#include "feature_gates.def"
#undef FEATURE_GATE
};
#undef V

// The categories, in the order of the page: the object kind the evaluation
// reports each with, and what a tag of the category stands for.
struct category {
  const char* prefix;
  int kind;
  const char* meaning;
};

const category kCategories[] = {
    {"STATEMENT", OBJ_STATEMENT, "a statement, or a clause of one, that the target lacks"},
    {"OPTION", OBJ_STATEMENT, "a SET option that the target lacks"},
    {"BUILTIN", OBJ_BUILTIN, "a call of a built-in function that the target lacks"},
    {"DATATYPE", OBJ_DATATYPE, "a datatype that the target lacks"},
    {"GLOBAL", OBJ_GLOBAL, "a global variable that the target lacks"},
    {"PROCEDURE", OBJ_PROCEDURE, "a call of a system procedure that the target lacks"},
    {"CATALOG", OBJ_CATALOG, "a system table that the target lacks"},
};

std::string category_of(const std::string& tag) { return tag.substr(0, tag.find('[')); }

// Markdown table cells: a "|" would end the cell.
std::string cell(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '|') out += '\\';
    out += c;
  }
  return out;
}

std::string version_text(const version& v) {
  return std::to_string(v.major) + "." + std::to_string(v.minor) + "." + std::to_string(v.patch);
}

std::string reported_for(const version& v) {
  if (v.major == kNever) return "every target";
  return "targets below " + version_text(v);
}

std::string text_of(const st_String_const& s) {
  return std::string(static_cast<const char*>(s.left), static_cast<size_t>(s.length));
}

// The name cell of a fixed tag: its display name, or each name the report
// gives it with its place.
std::string names_of(const fixed_tag& t) {
  std::string names;
  for (const place_name& p : kPlaceNames) {
    if (text_of(p.feature->tag) != t.tag) continue;
    if (!names.empty()) names += "; ";
    names += cell(text_of(*p.name)) + " (in " + p.place + ")";
  }
  return names.empty() ? cell(t.name) : names;
}

// The targets a fixed tag is reported for, by its gate if it has one.
std::string fixed_reported_for(const char* tag) {
  for (const gate& g : kGates) {
    if (text_of(g.feature->tag) != tag) continue;
    if (*g.condition == '\0') return reported_for(g.since);
    return reported_for(g.since) + " for " + g.condition + ", every target otherwise";
  }
  return "every target";
}

void write_gated(FILE* out, const char* title, const char* prefix, const gated_row* rows, size_t count,
                 const char* what) {
  std::fprintf(out, "\n## %s\n\n", title);
  std::fprintf(out, "`%s[name]`: %s.\n\n", prefix, what);
  std::fprintf(out, "| name | first target version that has it | reported for |\n|---|---|---|\n");
  std::vector<std::string> seen;
  for (size_t i = 0; i < count; ++i) {
    const gated_row& r = rows[i];
    bool repeated = false;
    for (const std::string& s : seen) repeated = repeated || s == r.name;
    if (repeated) continue;  // a name that stands in two rows: the first decides
    seen.push_back(r.name);
    std::fprintf(out, "| `%s` | %s | %s |\n", r.name,
                 r.since.major == kNever ? "none" : version_text(r.since).c_str(),
                 reported_for(r.since).c_str());
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: feature_tags_doc OUTPUT\n");
    return 2;
  }
  FILE* out = std::fopen(argv[1], "w");
  if (out == nullptr) {
    std::perror(argv[1]);
    return 1;
  }
  std::fprintf(out,
               "<!-- Generated by analyzer/tools/feature_tags_doc from analyzer/src/runtime/feature_tags.def,\n"
               "     feature_names.def, feature_gates.def, global_vars.def,\n"
               "     system_procedures.def and system_tables.def: do not edit.\n"
               "     `cmake --build <build> --target update_docs` refreshes it. -->\n"
               "# Feature tags of the report\n\n"
               "Each `<feature>` of a report names one construct of the source that the\n"
               "target version lacks. Its `<id>` is the tag, `CATEGORY[TEXT]`; its\n"
               "`<object>` holds the kind (`<type>`) and the name (`<name>`) listed here;\n"
               "a tag named after where it stands lists each name with its place.\n\n"
               "| category | kind | what it means |\n|---|---|---|\n");
  for (const category& c : kCategories)
    std::fprintf(out, "| `%s` | %s | %s |\n", c.prefix, object_kind_name(c.kind), c.meaning);
  std::fprintf(out,
               "\nWhich tags a report carries depends on the target that `qen_host -t`\n"
               "names. Without `-t` the target is newer than every version below, and\n"
               "only the tags reported for every target appear. The `GLOBAL`,\n"
               "`PROCEDURE` and `CATALOG` tags name a variable, procedure or table, each\n"
               "reported as its version table says.\n");
  for (const category& c : kCategories) {
    bool any = false;
    for (const fixed_tag& t : kFixedTags) {
      if (category_of(t.tag) != c.prefix) continue;
      if (!any) {
        std::fprintf(out,
                     "\n## %s\n\nKind `%s`: %s.\n\n| tag | name in the report | reported for |\n"
                     "|---|---|---|\n",
                     c.prefix, object_kind_name(c.kind), c.meaning);
        any = true;
      }
      std::fprintf(out, "| `%s` | %s | %s |\n", cell(t.tag).c_str(), names_of(t).c_str(),
                   fixed_reported_for(t.tag).c_str());
    }
  }
  write_gated(out, "GLOBAL: global variables", "GLOBAL", kGlobalVars, std::size(kGlobalVars),
              "name is the variable's, \"@@\" included, in lower case");
  write_gated(out, "PROCEDURE: system procedures", "PROCEDURE", kSystemProcedures,
              std::size(kSystemProcedures),
              "name is the procedure's as the source spells it, called with no database or\n"
              "\"master\" or \"sybsystemprocs\", and with no owner or \"dbo\"");
  write_gated(out, "CATALOG: system tables", "CATALOG", kSystemTables, std::size(kSystemTables),
              "name is the table's as the source spells it, named with no owner or \"dbo\"");
  if (std::fclose(out) != 0) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}

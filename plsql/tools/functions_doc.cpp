// Writes docs/translation-functions.md, what the translation does with each
// built-in function and operator of PL/SQL expressions, from the table the
// translation reads (functions.def) and the messages of the records it
// makes (findings.def), so that the page cannot drift from what vestrake
// does.
//
//   functions_doc OUTPUT
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "doc_page.h"

namespace {

struct Row {
  const char* group;  // a group's title; the others null
  const char* name;
  const char* kind;
  const char* outcome;
  const char* finding;  // RECORDED rows
  const char* detail;
};

const Row kRows[] = {
#define GROUP(title) {title, nullptr, nullptr, nullptr, nullptr, nullptr},
#define SAME(name, kind, scale, detail, ...) {nullptr, name, #kind, "same", nullptr, detail},
#define TRANSLATED(name, kind, scale, rule, detail, ...) {nullptr, name, #kind, "translated", nullptr, detail},
#define RECORDED(name, kind, scale, finding, detail, ...) {nullptr, name, #kind, "recorded", #finding, detail},
#define CHECKED(name, kind, scale, check, finding, detail, ...) {nullptr, name, #kind, "same", #finding, detail},
#include "functions.def"
};

struct Finding {
  const char* id;
  const char* message;
};

const Finding kFindings[] = {
#define FINDING(id, domain, message, context, when) {#id, message},
#include "findings.def"
};

// A table cell: "|" escaped.
std::string cell(const std::string& text) {
  std::string escaped;
  for (char c : text) escaped += c == '|' ? std::string("\\|") : std::string(1, c);
  return escaped;
}

std::string recordOf(const char* finding, const char* name) {
  for (const Finding& f : kFindings) {
    if (std::strcmp(f.id, finding) != 0) continue;
    std::string message = f.message;
    size_t at = message.find("%s");
    if (at != std::string::npos) message.replace(at, 2, name);
    return message;
  }
  return finding;
}

const char kHead[] =
    "# Built-in functions and operators in the translation\n"
    "\n"
    "<!-- Generated from plsql/src/translation/functions.def and plsql/src/translation/findings.def\n"
    "     by plsql/tools/functions_doc.cpp; do not edit (see docs/README.md). -->\n"
    "\n"
    "Each built-in function and operator of PL/SQL expressions, in PL/SQL and\n"
    "in its SQL statements, has one of three outcomes:\n"
    "\n"
    "- **same**: the target's function or operator of that name takes the\n"
    "  arguments in the same order and gives the same result, NULL and\n"
    "  zero-length strings included; the call is written as it stands;\n"
    "- **translated**: the target's namesake means something else, or it has\n"
    "  none; the translation writes the target's form of the same meaning;\n"
    "- **recorded**: no form of the target keeps the meaning; the call is\n"
    "  written as it stands and the run records it (the record's message is\n"
    "  given, see [translation-findings.md](translation-findings.md)).\n"
    "\n"
    "A function of the run with the name of a built-in is the run's. The\n"
    "target is taken to be a database with the VARCHAR2, NUMBER and DATE\n"
    "support for PL/SQL code, where a zero-length string is NULL as in PL/SQL.\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: functions_doc OUTPUT\n");
    return 2;
  }
  int counts[3] = {0, 0, 0};
  for (const Row& r : kRows)
    if (r.name) ++counts[r.outcome[0] == 's' ? 0 : r.outcome[0] == 't' ? 1 : 2];
  std::string page = kHead;
  page += "\nThe table holds " + std::to_string(counts[0] + counts[1] + counts[2]) +
          " functions and operators: " + std::to_string(counts[0]) + " the same, " + std::to_string(counts[1]) +
          " translated, " + std::to_string(counts[2]) + " recorded.\n";
  for (const Row& r : kRows) {
    if (r.group) {
      page += std::string("\n## ") + r.group +
              "\n\n| name | outcome | what the target does, and the translation |\n"
              "|---|---|---|\n";
      continue;
    }
    std::string name = std::string("`") + r.name + "`";
    if (std::strcmp(r.kind, "VALUE") != 0 && std::strcmp(r.kind, "OPERATOR") != 0)
      name = std::string("`") + r.name + "(...)`";
    std::string outcome = r.outcome;
    // A routine of a package the target lacks is recorded by its package.
    std::string recorded = r.name;
    if (r.finding && std::strcmp(r.finding, "BUILTIN_PACKAGE") == 0) recorded = recorded.substr(0, recorded.find('.'));
    if (r.finding)
      outcome += (outcome == "same" ? "; recorded for some arguments: `" : ": `") +
                 recordOf(r.finding, recorded.c_str()) + "`";
    page += "| " + cell(name) + " | " + cell(outcome) + " | " + cell(r.detail) + " |\n";
  }
  return writeDocPage(argv[1], page);
}

// Writes docs/translation-findings.md, the list of what the translation
// reports instead of translating, from the table the translation reports
// from (findings.def) and the constructs the kind table (ast_kinds.def)
// names for the untranslated kinds, so that the page cannot drift from
// what vestrake does.
//
//   findings_doc OUTPUT
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "doc_page.h"

namespace {

// The record's detail: a fixed text, or what the caller gives.
struct Detail {
  const char* text;
  bool fixed;
};

struct Row {
  const char* id;
  const char* domain;
  const char* message;
  Detail detail;
  const char* when;
};

const Row kRows[] = {
#define FINDING(id, domain, message, context, when) {#id, #domain, message, context, when},
#define FIXED(text) {text, true}
#define GIVEN(what) {what, false}
#include "findings.def"
};

struct Dropped {
  const char* finding;
  const char* construct;
};

const Dropped kDropped[] = {
#define AST_DROPPED(kind, finding, construct) {#finding, construct},
#include "ast_kinds.def"
};

// A table cell: code spans, with "|" escaped.
std::string code(const char* text) {
  std::string cell = "`";
  for (const char* p = text; *p; ++p) cell += *p == '|' ? std::string("\\|") : std::string(1, *p);
  return cell + "`";
}

std::string constructs(const char* finding) {
  std::string list;
  for (const Dropped& d : kDropped) {
    if (std::strcmp(d.finding, finding) != 0) continue;
    if (!list.empty()) list += ", ";
    list += d.construct;
  }
  return list;
}

const char kHead[] =
    "# What the translation reports instead of translating\n"
    "\n"
    "<!-- Generated from plsql/src/translation/findings.def and plsql/src/tree/ast_kinds.def\n"
    "     by plsql/tools/findings_doc.cpp; do not edit (see docs/README.md). -->\n"
    "\n"
    "`vestrake` writes one line on standard error for each record below that a\n"
    "run makes (`FILE:LINE: message`); a library caller finds the same records in\n"
    "the error list of `translateCore`. `%s` stands for the name that the record\n"
    "gives. The detail is the record's `context` field: a fixed text (in code\n"
    "type) or the text named; for the findings of a tree node the record's\n"
    "`text` is the node's token text.\n";

void section(std::string* page, const char* domain, const char* title, const char* intro) {
  *page += std::string("\n## ") + title + "\n\n" + intro + "\n\n| message | detail | made for |\n|---|---|---|\n";
  for (const Row& r : kRows) {
    if (std::strcmp(r.domain, domain) != 0) continue;
    std::string when = r.when;
    std::string named = constructs(r.id);
    if (!named.empty()) when += ": " + named;
    *page += "| " + code(r.message) + " | " + (r.detail.fixed ? code(r.detail.text) : std::string(r.detail.text)) +
             " | " + when + " |\n";
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: findings_doc OUTPUT\n");
    return 2;
  }
  std::string page = kHead;
  section(&page, "UNSUPPORTED", "Not translated",
          "Records of domain 2 (`unsupportedFeature`): the construct is left out, or\n"
          "written as it stands although the target reads it otherwise. The run\n"
          "goes on and ends with status 0 when nothing else is wrong.");
  section(&page, "SYNTAX", "Sources that cannot be translated",
          "Records of domain 0 (`syntax`) that the translation makes for a source the\n"
          "parser took: the message is `syntax error`, the text below is the\n"
          "record's `text` and the detail its `context`.");
  section(&page, "INTERNAL", "Faults of the translator",
          "Records of domain 3 (`internalError`): the translation went on with a\n"
          "stand-in; a run that makes one has met a fault of `vestrake`.");
  return writeDocPage(argv[1], page);
}

// Writes docs/dump-nodes.md, the reference of the XML dump's node types and
// fields, from the same table the dump is written from (ast_kinds.def), so
// that the page cannot drift from the dump.
//
//   dump_nodes_doc OUTPUT
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "doc_page.h"

namespace {

struct Field {
  std::string name;
  std::string writer;
};

struct Kind {
  std::string enumerator;
  int number;
  const char* type;
  const char* objType;
  bool content;
  std::vector<Field> fields;
};

std::vector<Kind> readKinds() {
  std::vector<Kind> kinds;
  auto field = [&kinds](const char* enumerator, const char* name, const char* writer) {
    for (Kind& k : kinds)
      if (k.enumerator == enumerator) k.fields.push_back({name, writer});
  };
#define AST_KIND(enumerator, number, xmlType, debugName, objType, traits) \
  kinds.push_back({#enumerator, number, xmlType, objType, std::strstr(#traits, "KIND_CONTENT") != nullptr, {}});
#define AST_DUMP(kind, member, xmlName, writer) field(#kind, xmlName, #writer);
#include "ast_kinds.def"
  return kinds;
}

// How each writer of ast_kinds.def shows its field.
std::string form(const std::string& writer) {
  if (writer == "child") return "node";
  if (writer == "boolField") return "Boolean";
  if (writer == "boolFieldWhenSet") return "Boolean, only when TRUE";
  if (writer == "intField") return "integer";
  if (writer == "textField") return "text";
  if (writer == "authidField") return "text: DEFINER or CURRENT_USER";
  return "text: a name from a fixed set";
}

// What the dump does with a kind besides writing its fields.
const char* note(const Kind& k) {
  if (k.enumerator == "AST_LIST")
    return "A list of exactly one element is written as that element, under the list's field name; "
           "any other list is this element, its elements nested in order without a `name` attribute.";
  if (k.enumerator == "AST_TOKEN") return "Written on one line: the escaped token text is the element's content.";
  if (k.enumerator == "AST_PRAGMA") return "Not written, nor anything beneath it.";
  if (k.enumerator == "AST_RAISE_APP") return "Its `name` attribute is always `RAISEAPP`.";
  if (!k.type) return "Never built; written as an empty element.";
  if (!k.content && k.fields.empty()) return "Written as an empty element.";
  return "";
}

const char kHead[] =
    "# Node types of the XML dump\n"
    "\n"
    "<!-- Generated from plsql/src/tree/ast_kinds.def by plsql/tools/dump_nodes_doc.cpp;\n"
    "     do not edit (see docs/README.md). -->\n"
    "\n"
    "`vestrake -a FILE` writes the syntax tree of its source as one XML document:\n"
    "the declaration line (`encoding` from `-c`, `ISO-8859-1` by default), then\n"
    "one `node` element per tree node, nested as the tree is. Each element stands\n"
    "on lines of its own, indented with one tab per enclosing element.\n"
    "\n"
    "Attributes of a `node` element, in this order:\n"
    "\n"
    "- `type`: the node type (the table below);\n"
    "- `name`: the field of the parent that holds the node (absent on the root and\n"
    "  on the elements of a list);\n"
    "- `package`: inside a package body or head, the package's name;\n"
    "- `object`: inside a program unit (a unit has an `objtype` below), the names\n"
    "  of the enclosing units, outermost first, joined by `.`;\n"
    "- `objtype`: inside a program unit, the `objtype` of the innermost one;\n"
    "- `lineno`: the node's line in the source, counted from 1 (0 for a list).\n"
    "\n"
    "Inside the element come its fields in the order of the table: a scalar\n"
    "field as `<field name=\"NAME\">VALUE</field>` (always written, except where\n"
    "said), a node field as a nested `node` element whose `name` attribute is\n"
    "the field name (written only when present). Forms of a field:\n"
    "\n"
    "- node: a nested element;\n"
    "- Boolean: `TRUE` or `FALSE`;\n"
    "- integer: decimal digits;\n"
    "- text: the escaped text (`&`, `\"`, `<` and `>` as entities), empty when\n"
    "  absent; \"a name from a fixed set\" is one of the names of that field's\n"
    "  values.\n"
    "\n"
    "Every DDL statement is a node of type `ddl` (its `objtype` tells which);\n"
    "kinds without a type name are written as `UNKNOWN`.\n"
    "\n"
    "| kind | type | objtype | fields in order | notes |\n"
    "|---:|---|---|---|---|\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: dump_nodes_doc OUTPUT\n");
    return 2;
  }
  std::string page = kHead;
  for (const Kind& k : readKinds()) {
    std::string fields;
    if (k.content || k.enumerator == "AST_RAISE_APP") {
      for (const Field& f : k.fields) {
        if (!fields.empty()) fields += ", ";
        fields += "`" + f.name + "` (" + form(f.writer) + ")";
      }
    }
    page += "| " + std::to_string(k.number) + " | `" + (k.type ? k.type : "UNKNOWN") + "` | " +
            (k.objType ? std::string("`") + k.objType + "`" : std::string()) + " | " + fields + " | " + note(k) +
            " |\n";
  }
  return writeDocPage(argv[1], page);
}

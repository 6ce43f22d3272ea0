// Graphviz drawing of the syntax tree: one record per drawn node, one edge
// from each parent field to the child drawn from it.
#include "ast_dot.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>

#include "ast.h"
#include "run_pool.h"

namespace {

struct DotWriterState {
  FILE* output;
  bool showLines;
  int counter;
  const char* shape;
  const char* color;
  int maxTokenText;
  int highlightLine;
  int startLine;
  const char* separator;
  bool printing;
};

// One label field: a port with its label, or a plain text without port.
struct DotField {
  const char* port;
  std::string label;
};

struct DotChild {
  astNode* node;
  const char* port;
};

// Text as it may stand inside a quoted record label: the characters that
// delimit record fields and ports, the quote and the backslash get a
// backslash, a line feed becomes \n. At most `limit` bytes of `text` are
// shown, then "...".
std::string recordText(const char* text, size_t limit = std::string::npos) {
  std::string out;
  if (!text) return out;
  size_t length = std::strlen(text);
  size_t shown = length > limit ? limit : length;
  for (size_t i = 0; i < shown; ++i) {
    char c = text[i];
    switch (c) {
      case '"':
      case '\'':
      case '<':
      case '>':
      case '\\':
      case '|':
      case '{':
      case '}':
        out += '\\';
        out += c;
        break;
      case '\n':
        out += "\\n";
        break;
      default:
        out += c;
        break;
    }
  }
  if (length > shown) out += "...";
  return out;
}

DotField portField(const char* port, const char* label = nullptr) { return {port, label ? label : port}; }
DotField plainField(std::string text) { return {nullptr, std::move(text)}; }

const char* trueFalse(bool value) { return value ? "TRUE" : "FALSE"; }

// "prefix%s" with the value written whole and escaped for a record label.
std::string formatted(const char* format, const char* value) {
  std::string out;
  const char* slot = std::strstr(format, "%s");
  if (!slot) return recordText(format);
  out.assign(format, size_t(slot - format));
  out += recordText(value ? value : "");
  out += slot + 2;
  return out;
}

std::string formatted(const char* format, int value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

// Token text as a record label: the first maxTokenText bytes with the DOT
// record specials escaped, "..." when cut.
std::string tokenLabel(const char* text, int maxTokenText) {
  return recordText(text, maxTokenText < 0 ? 0 : size_t(maxTokenText));
}

int dotWriteNode(astNode* node, int parent, const char* parentPort, DotWriterState* state);

void writeEdge(DotWriterState* state, int parent, const char* parentPort, int number) {
  if (parent == 0 || parent == number) return;
  std::fprintf(state->output, "node_%d:%s -> node_%d:f0;\n", parent, parentPort ? parentPort : "f0", number);
}

// Writes one record and draws its children. Returns the node's number.
int writeRecord(DotWriterState* state, astNode* node, int parent, const char* parentPort, const char* title,
                std::initializer_list<DotField> fields, std::initializer_list<DotChild> children, bool testsTrigger) {
  int number = state->counter++;
  FILE* out = state->output;
  if (testsTrigger && state->startLine != -1 && !state->printing && node->line == state->startLine) {
    state->printing = true;
    std::fprintf(out, "node_%d [label = \"<f0>...\"];", parent);
  }
  if (state->printing) std::fprintf(out, "node_%d [", number);
  if (state->highlightLine > 0 && state->highlightLine == node->line) state->color = "green";
  if (state->printing) {
    if (state->color) std::fprintf(out, "style=filled,color=%s,", state->color);
    if (state->showLines && node->line > 0)
      std::fprintf(out, "label=\"<f0>line\\n%d|", node->line + 1);
    else
      std::fputs("label=\"<f0>|", out);
    std::fprintf(out, "%s|{", recordText(title).c_str());
  }
  state->separator = "";
  for (const DotField& field : fields) {
    if (state->printing) {
      std::fputs(state->separator, out);
      if (field.port) std::fprintf(out, "<%s>", field.port);
      std::fputs(field.label.c_str(), out);
    }
    state->separator = "|";
  }
  if (state->printing) {
    std::fputs("}\"];\n", out);
    writeEdge(state, parent, parentPort, number);
  }
  for (const DotChild& child : children) dotWriteNode(child.node, number, child.port, state);
  if (node->line == state->highlightLine) state->color = nullptr;
  return number;
}

int writeList(astNodeList* list, int parent, const char* parentPort, DotWriterState* state) {
  int number = state->counter++;
  if (list->count == 1 && list->head) return dotWriteNode(list->head->value, parent, parentPort, state);
  FILE* out = state->output;
  if (parent != 0) {
    if (state->printing) std::fprintf(out, "node_%d [", number);
    if (state->highlightLine > 0 && state->highlightLine == list->line) state->color = "green";
    if (state->printing) {
      if (state->color) std::fprintf(out, "style=filled,color=%s,", state->color);
      std::fprintf(out, "label=\"<f0>|list|{length = %d}\"];\n", list->count);
      writeEdge(state, parent, parentPort, number);
    }
  }
  // Elements hang as a chain: each from the one drawn before it.
  int previous = number;
  for (astListCell* cell = list->head; cell; cell = cell->next) {
    int drawn = dotWriteNode(cell->value, previous, nullptr, state);
    if (drawn) previous = drawn;
  }
  if (parent != 0 && list->line == state->highlightLine) state->color = nullptr;
  return number;
}

int dotWriteNode(astNode* node, int parent, const char* parentPort, DotWriterState* state) {
  if (!node) return 0;
  switch (node->kind) {
    case AST_LIST:
      return writeList(static_cast<astNodeList*>(node), parent, parentPort, state);
    case AST_SELECT:
    case AST_PRAGMA:
      return 0;  // not drawn, no number
    case AST_ASSIGN: {
      auto* n = static_cast<astNodeAssign*>(node);
      return writeRecord(state, node, parent, parentPort, ":=", {portField("target"), portField("expr")},
                         {{n->target, "target"}, {n->expr, "expr"}}, false);
    }
    case AST_BLOCK: {
      auto* n = static_cast<astNodeBlock*>(node);
      return writeRecord(state, node, parent, parentPort, "block",
                         {portField("decls", "declarations"), portField("body"), portField("except", "exceptions")},
                         {{n->declarations, "decls"}, {n->body, "body"}, {n->exceptions, "except"}}, true);
    }
    case AST_CALL: {
      auto* n = static_cast<astNodeCall*>(node);
      return writeRecord(state, node, parent, parentPort, "CALL", {portField("name"), portField("args")},
                         {{n->name, "name"}, {n->args, "args"}}, true);
    }
    case AST_CLOSE: {
      auto* n = static_cast<astNodeClose*>(node);
      return writeRecord(state, node, parent, parentPort, "CLOSE", {portField("var")}, {{n->variable, "var"}}, true);
    }
    case AST_CREATE_FUNCTION: {
      auto* n = static_cast<astNodeCreateFunc*>(node);
      return writeRecord(state, node, parent, parentPort, "CREATE FUNCTION",
                         {portField("name"), plainField(formatted("REPLACE=%s", trueFalse(n->REPLACE))),
                          portField("args"), portField("returns"), portField("body")},
                         {{n->name, "name"}, {n->args, "args"}, {n->returns, "returns"}, {n->body, "body"}}, true);
    }
    case AST_CREATE_PKG_BODY: {
      auto* n = static_cast<astNodeCreatePkgBody*>(node);
      return writeRecord(
          state, node, parent, parentPort, "CREATE PACKAGE BODY",
          {portField("name"), plainField(formatted("REPLACE=%s", trueFalse(n->REPLACE))), portField("elements"),
           portField("declarations"), portField("programs"), portField("types"), portField("constructor")},
          {{n->name, "name"},
           {n->elements, "elements"},
           {n->declarations, "declarations"},
           {n->prototypes, "programs"},
           {n->types, "types"},
           {n->constructor, "constructor"}},
          true);
    }
    case AST_CREATE_PKG_HEAD: {
      auto* n = static_cast<astNodeCreatePkgHead*>(node);
      return writeRecord(
          state, node, parent, parentPort, "CREATE PACKAGE",
          {portField("name"), plainField(formatted("REPLACE=%s", trueFalse(n->REPLACE))),
           plainField(formatted("AUTHID=%s", n->AUTHID ? "DEFINER" : "CURRENT_USER")), portField("elements"),
           portField("declarations"), portField("prototypes"), portField("types")},
          {{n->name, "name"},
           {n->elements, "elements"},
           {n->declarations, "declarations"},
           {n->prototypes, "prototypes"},
           {n->types, "types"}},
          true);
    }
    case AST_CREATE_PROCEDURE: {
      auto* n = static_cast<astNodeCreateProc*>(node);
      return writeRecord(state, node, parent, parentPort, "CREATE PROCEDURE",
                         {portField("name"), plainField(formatted("REPLACE=%s", trueFalse(n->REPLACE))),
                          plainField(formatted("AUTHID=%s", n->AUTHID ? "DEFINER" : "CURRENT_USER")), portField("args"),
                          portField("body")},
                         {{n->name, "name"}, {n->body, "body"}, {n->args, "args"}}, true);
    }
    case AST_CREATE_TRIGGER: {
      auto* n = static_cast<astNodeCreateTrigger*>(node);
      return writeRecord(state, node, parent, parentPort, "CREATE TRIGGER (incomplete)",
                         {plainField(formatted("REPLACE=%s", trueFalse(n->REPLACE))), portField("body")},
                         {{n->body, "body"}}, true);
    }
    case AST_DECLARATION:
    case AST_VAR_DECL: {
      auto* n = static_cast<astNodeDecl*>(node);
      return writeRecord(state, node, parent, parentPort, "DECLARE",
                         {plainField(formatted("varType = %s", variableTypeName(n->variableType))), portField("name")},
                         {{n->variableName, "name"}}, true);
    }
    case AST_DYNAMIC:
      return writeRecord(state, node, parent, parentPort, "EXEC", {portField("expr")}, {}, true);
    case AST_EXIT: {
      auto* n = static_cast<astNodeExit*>(node);
      return writeRecord(state, node, parent, parentPort, "EXIT",
                         {portField("expr"), plainField(formatted("target = %s", n->target))}, {{n->expr, "expr"}},
                         true);
    }
    case AST_FETCH: {
      auto* n = static_cast<astNodeFetch*>(node);
      return writeRecord(state, node, parent, parentPort, "FETCH", {portField("var"), portField("expr")},
                         {{n->variable, "var"}, {n->expr, "expr"}}, true);
    }
    case AST_FORMAL_ARG: {
      auto* n = static_cast<astNodeFormalArg*>(node);
      const char* mode = n->mode == ARG_IN ? "IN" : n->mode == ARG_OUT ? "OUT" : "IN OUT";
      return writeRecord(state, node, parent, parentPort, "formal arg",
                         {portField("name"), plainField(formatted("mode = %s", mode)), portField("dataType")},
                         {{n->name, "name"}, {n->dataType, "dataType"}}, false);
    }
    case AST_HANDLER: {
      auto* n = static_cast<astNodeHandler*>(node);
      return writeRecord(state, node, parent, parentPort, "EXCEPTION", {portField("conditions"), portField("body")},
                         {{n->conditions, "conditions"}, {n->body, "body"}}, true);
    }
    case AST_IF: {
      auto* n = static_cast<astNodeIf*>(node);
      return writeRecord(state, node, parent, parentPort, "IF",
                         {portField("expr"), portField("body"), portField("elseIf"), portField("elseBody")},
                         {{n->expr, "expr"}, {n->body, "body"}, {n->elseIf, "elseIf"}, {n->elseBody, "elseBody"}},
                         true);
    }
    case AST_LOOP: {
      auto* n = static_cast<astNodeLoop*>(node);
      return writeRecord(state, node, parent, parentPort, "LOOP", {portField("body")}, {{n->body, "body"}}, true);
    }
    case AST_OPEN: {
      auto* n = static_cast<astNodeOpen*>(node);
      return writeRecord(state, node, parent, parentPort, "OPEN",
                         {portField("var"), portField("query"), portField("args")},
                         {{n->variable, "var"}, {n->query, "query"}, {n->args, "args"}}, true);
    }
    case AST_RETURN: {
      auto* n = static_cast<astNodeReturn*>(node);
      return writeRecord(state, node, parent, parentPort, "RETURN", {portField("expr")}, {{n->expr, "expr"}}, true);
    }
    case AST_SQL_STMT: {
      auto* n = static_cast<astNodeSqlStmt*>(node);
      return writeRecord(state, node, parent, parentPort, n->keyword, {portField("body")}, {{n->body, "body"}}, true);
    }
    case AST_TOKEN: {
      auto* n = static_cast<astNodeToken*>(node);
      return writeRecord(state, node, parent, parentPort, "token",
                         {plainField(tokenLabel(n->text, state->maxTokenText))}, {}, false);
    }
    case AST_WHILE: {
      auto* n = static_cast<astNodeWhile*>(node);
      return writeRecord(state, node, parent, parentPort, "WHILE", {portField("expr"), portField("body")},
                         {{n->expr, "expr"}, {n->body, "body"}}, true);
    }
    default:
      return writeRecord(state, node, parent, parentPort, astNodeKindName(node->kind),
                         {plainField(formatted("nodeType = %d", node->kind))}, {}, false);
  }
}

}  // namespace

int writeAstDot(const char* path, const char* mode, astNode* root, unsigned char lineNumbersOff, int startLine,
                int highlightLine) {
  if (!path || !mode) return 0;
  FILE* output = std::fopen(path, mode);
  if (!output) return 0;
  DotWriterState state;
  state.output = output;
  state.showLines = lineNumbersOff == 0;
  state.counter = 1;
  state.shape = "record";
  state.color = nullptr;
  state.maxTokenText = 20;
  state.highlightLine = highlightLine > 0 ? highlightLine - 1 : highlightLine;
  state.startLine = startLine;
  state.separator = "";
  state.printing = startLine == -1;
  std::fputs("digraph AST\n", output);
  std::fputs("{\n", output);
  std::fprintf(output, "  node [shape=%s,labeljust=\"l\"];\n", state.shape);
  try {
    dotWriteNode(root, 0, nullptr, &state);
  } catch (...) {
    std::fclose(output);
    throw;
  }
  std::fputs("}\n", output);
  bool written = !std::ferror(output);
  // Success and failure must be told apart: a failed close is a failure.
  return std::fclose(output) == 0 && written ? 1 : 0;
}

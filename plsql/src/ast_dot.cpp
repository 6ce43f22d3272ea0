// Graphviz drawing of the syntax tree: one record per drawn node, one edge
// from each parent field to the child drawn from it.
#include "ast_dot.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ast.h"
#include "kind_index.h"
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
                const std::vector<DotField>& fields, const std::vector<DotChild>& children, bool testsTrigger) {
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

const char* authidText(bool definer) { return definer ? "DEFINER" : "CURRENT_USER"; }

const char* argModeText(int mode) { return mode == ARG_IN ? "IN" : mode == ARG_OUT ? "OUT" : "IN OUT"; }

// The records of ast_kinds.def (AST_DOT...), each table grouped by kind.
struct DotRecord {
  int kind;
  const char* (*title)(astNode* node);
  bool startsAtLine;
};

struct DotFieldRow {
  int kind;
  const char* port;                    // null for a text
  const char* label;                   // of a port
  std::string (*text)(astNode* node);  // of a text
};

struct DotChildRow {
  int kind;
  astNode* (*get)(astNode* node);
  const char* port;
};

constexpr DotRecord kDotRecords[] = {
#define AST_DOT(kind, type, title, startsAtLine)          \
  {kind,                                                  \
   [](astNode* node) -> const char* {                     \
     [[maybe_unused]] auto* n = static_cast<type*>(node); \
     return title;                                        \
   },                                                     \
   startsAtLine},
#include "ast_kinds.def"
};

constexpr DotFieldRow kDotFields[] = {
#define AST_DOT_PORT(kind, port, label) {kind, port, label, nullptr},
#define AST_DOT_TEXT(kind, type, format, value)               \
  {kind, nullptr, nullptr, [](astNode* node) -> std::string { \
     auto* n = static_cast<type*>(node);                      \
     return formatted(format, value);                         \
   }},
#include "ast_kinds.def"
};

constexpr DotChildRow kDotChildren[] = {
#define AST_DOT_CHILD(kind, type, field, port) \
  {kind, [](astNode* n) -> astNode* { return static_cast<type*>(n)->field; }, port},
#include "ast_kinds.def"
};

constexpr KindIndex kDotRecordIndex(kDotRecords);
constexpr KindIndex kDotFieldIndex(kDotFields);
constexpr KindIndex kDotChildIndex(kDotChildren);
static_assert(kDotRecordIndex.oneRowAtMostPerKind(), "ast_kinds.def must give a kind one drawing record at most");

int dotWriteNode(astNode* node, int parent, const char* parentPort, DotWriterState* state) {
  if (!node) return 0;
  switch (node->kind) {
    case AST_LIST:
      return writeList(static_cast<astNodeList*>(node), parent, parentPort, state);
    case AST_SELECT:
    case AST_PRAGMA:
      return 0;  // not drawn, no number
    case AST_TOKEN: {
      auto* n = static_cast<astNodeToken*>(node);
      return writeRecord(state, node, parent, parentPort, "token",
                         {plainField(tokenLabel(n->text, state->maxTokenText))}, {}, false);
    }
    default:
      break;
  }
  int kind = node->kind;
  if (kDotRecordIndex.rowsOf(kind).empty())
    return writeRecord(state, node, parent, parentPort, astNodeKindName(kind),
                       {plainField(formatted("nodeType = %d", kind))}, {}, false);
  const DotRecord& record = kDotRecordIndex.rowsOf(kind).front();
  std::vector<DotField> fields;
  for (const DotFieldRow& row : kDotFieldIndex.rowsOf(kind))
    fields.push_back(row.port ? portField(row.port, row.label) : plainField(row.text(node)));
  std::vector<DotChild> children;
  for (const DotChildRow& row : kDotChildIndex.rowsOf(kind)) children.push_back({row.get(node), row.port});
  return writeRecord(state, node, parent, parentPort, record.title(node), fields, children, record.startsAtLine);
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

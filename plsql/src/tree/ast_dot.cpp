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

void writeEdge(DotWriterState* state, int parent, const char* parentPort, int number) {
  if (parent == 0 || parent == number) return;
  std::fprintf(state->output, "node_%d:%s -> node_%d:f0;\n", parent, parentPort ? parentPort : "f0", number);
}

// Writes one node's record (not its children). Returns the node's number.
int writeRecord(DotWriterState* state, astNode* node, int parent, const char* parentPort, const char* title,
                const std::vector<DotField>& fields, bool testsTrigger) {
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
  return number;
}

// Writes the record of a list of other than one element (none at the root).
void writeListRecord(astNodeList* list, int number, int parent, const char* parentPort, DotWriterState* state) {
  if (parent == 0) return;
  FILE* out = state->output;
  if (state->printing) std::fprintf(out, "node_%d [", number);
  if (state->highlightLine > 0 && state->highlightLine == list->line) state->color = "green";
  if (state->printing) {
    if (state->color) std::fprintf(out, "style=filled,color=%s,", state->color);
    std::fprintf(out, "label=\"<f0>|list|{length = %d}\"];\n", list->count);
    writeEdge(state, parent, parentPort, number);
  }
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
#define AST_DOT(kind, title, startsAtLine)          \
  {kind,                                                  \
   [](astNode* node) -> const char* {                     \
     [[maybe_unused]] auto* n = nodeAs<astRecordOf<kind>>(node); \
     return title;                                        \
   },                                                     \
   startsAtLine},
#include "ast_kinds.def"
};

constexpr DotFieldRow kDotFields[] = {
#define AST_DOT_PORT(kind, port, label) {kind, port, label, nullptr},
#define AST_DOT_TEXT(kind, format, value)               \
  {kind, nullptr, nullptr, [](astNode* node) -> std::string { \
     auto* n = nodeAs<astRecordOf<kind>>(node);                      \
     return formatted(format, value);                         \
   }},
#include "ast_kinds.def"
};

constexpr DotChildRow kDotChildren[] = {
#define AST_DOT_CHILD(kind, field, port) \
  {kind, [](astNode* n) -> astNode* { return nodeAs<astRecordOf<kind>>(n)->field; }, port},
#include "ast_kinds.def"
};

constexpr KindIndex kDotRecordIndex(kDotRecords);
constexpr KindIndex kDotFieldIndex(kDotFields);
constexpr KindIndex kDotChildIndex(kDotChildren);
static_assert(kDotRecordIndex.oneRowAtMostPerKind(), "ast_kinds.def must give a kind one drawing record at most");

// A drawn node whose children are still to be drawn. Kept on the heap: a
// deeply nested tree must not need a deep native stack.
struct DotFrame {
  astNode* node;
  int number;
  int parent;          // of a list
  astListCell* cell;   // of a list: elements still to draw
  int previous;        // of a list: what the next element hangs from
  const DotChildRow* nextChild;  // of a record: kDotChildren rows still
  const DotChildRow* endChild;   // to draw, up to endChild
};

bool isListFrame(const DotFrame& frame) { return frame.node->kind == AST_LIST; }

// A node has been drawn completely, with the given number (0: not drawn).
// The elements of a list hang from the element drawn before them.
void finishNode(int number, std::vector<DotFrame>* frames) {
  if (number != 0 && !frames->empty() && isListFrame(frames->back())) frames->back().previous = number;
}

void finishRecord(astNode* node, int number, DotWriterState* state, std::vector<DotFrame>* frames) {
  if (node->line == state->highlightLine) state->color = nullptr;
  finishNode(number, frames);
}

// Starts drawing one node: draws what has no children at once, and pushes a
// frame for the rest.
void dotEnterNode(astNode* node, int parent, const char* parentPort, DotWriterState* state,
                  std::vector<DotFrame>* frames) {
  // A list of one element is drawn as that element, but takes a number.
  while (node && node->kind == AST_LIST) {
    auto* list = nodeAs<astNodeList>(node);
    int number = state->counter++;
    if (list->count == 1 && list->head) {
      node = list->head->value;
      continue;
    }
    writeListRecord(list, number, parent, parentPort, state);
    frames->push_back({node, number, parent, list->head, number, nullptr, nullptr});
    return;
  }
  if (!node || node->kind == AST_SELECT || node->kind == AST_PRAGMA) return;  // not drawn, no number
  int kind = node->kind;
  if (kind == AST_TOKEN) {
    auto* n = nodeAs<astNodeToken>(node);
    int number = writeRecord(state, node, parent, parentPort, "token",
                             {plainField(tokenLabel(n->text, state->maxTokenText))}, false);
    finishRecord(node, number, state, frames);
    return;
  }
  if (kDotRecordIndex.rowsOf(kind).empty()) {
    int number = writeRecord(state, node, parent, parentPort, astNodeKindName(kind),
                             {plainField(formatted("nodeType = %d", kind))}, false);
    finishRecord(node, number, state, frames);
    return;
  }
  const DotRecord& record = kDotRecordIndex.rowsOf(kind).front();
  std::vector<DotField> fields;
  for (const DotFieldRow& row : kDotFieldIndex.rowsOf(kind))
    fields.push_back(row.port ? portField(row.port, row.label) : plainField(row.text(node)));
  int number = writeRecord(state, node, parent, parentPort, record.title(node), fields, record.startsAtLine);
  std::span<const DotChildRow> children = kDotChildIndex.rowsOf(kind);
  frames->push_back({node, number, parent, nullptr, 0, children.data(), children.data() + children.size()});
}

// Draws the tree from root, children in table order.
void dotWriteTree(astNode* root, DotWriterState* state) {
  std::vector<DotFrame> frames;
  dotEnterNode(root, 0, nullptr, state, &frames);
  while (!frames.empty()) {
    DotFrame& top = frames.back();
    if (isListFrame(top)) {
      if (astListCell* cell = top.cell) {
        top.cell = cell->next;
        dotEnterNode(cell->value, top.previous, nullptr, state, &frames);
        continue;
      }
    } else if (top.nextChild != top.endChild) {
      const DotChildRow& row = *top.nextChild++;
      dotEnterNode(row.get(top.node), top.number, row.port, state, &frames);
      continue;
    }
    DotFrame done = top;
    frames.pop_back();
    if (isListFrame(done)) {
      if (done.parent != 0 && done.node->line == state->highlightLine) state->color = nullptr;
      finishNode(done.number, &frames);
    } else {
      finishRecord(done.node, done.number, state, &frames);
    }
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
    dotWriteTree(root, &state);
  } catch (...) {
    std::fclose(output);
    throw;
  }
  std::fputs("}\n", output);
  bool written = !std::ferror(output);
  // Success and failure must be told apart: a failed close is a failure.
  return std::fclose(output) == 0 && written ? 1 : 0;
}

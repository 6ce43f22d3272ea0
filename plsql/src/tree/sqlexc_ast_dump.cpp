// XML dump of the syntax tree (vestrake -a) and the numbered source listing.
//
// The document is gathered in a large buffer and written in big pieces; the
// buffer is flushed on every way out of the dump. The run's dump file is
// written beside its target and renamed over it only when complete, so a
// dump that fails or is interrupted never costs the previous document.
#include "sqlexc_ast_dump.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "ast.h"
#include "file_beside.h"
#include "kind_index.h"
#include "run_pool.h"
#include "standard_descriptors.h"

namespace {

// Output of one dump: a buffer in front of an unbuffered stream. A failed
// write is remembered with its reason; later output is dropped, and the dump
// reports failure.
struct DumpOutput {
  FILE* stream = nullptr;
  char* buffer = nullptr;
  size_t used = 0;
  size_t capacity = 0;
  bool failed = false;
  int error = 0;
};

const size_t kDumpBufferSize = size_t(1) << 20;

// The dump this thread is writing, for the flush at process exit: each
// run (and the thread that runs it) has its own, so that two dumps written
// at once never take each other's.
thread_local DumpOutput* t_openDump = nullptr;

void writeOut(DumpOutput* out, const char* bytes, size_t n) {
  errno = 0;
  if (out->failed || std::fwrite(bytes, 1, n, out->stream) == n) return;
  out->failed = true;
  out->error = errno != 0 ? errno : EIO;
}

void flushDump(DumpOutput* out) {
  if (out->used != 0) writeOut(out, out->buffer, out->used);
  out->used = 0;
}

void putBytes(DumpOutput* out, const char* bytes, size_t n) {
  if (out->failed || n == 0) return;
  if (out->capacity - out->used < n) {
    flushDump(out);
    if (n >= out->capacity) {
      writeOut(out, bytes, n);
      return;
    }
  }
  std::memcpy(out->buffer + out->used, bytes, n);
  out->used += n;
}

struct XmlWriterState {
  DumpOutput* output;
  bool indent;
  int depth;
  // Enclosing unit nodes, outermost first. Grows as needed: deeply nested
  // input must not overflow a fixed stack.
  std::vector<astNode*> units;
  // Nodes handed to the dispatcher in this dump; drives the progress line,
  // which is left out when the document itself goes to standard output.
  int nodeCount = 0;
  bool progress = true;
};

// XML 1.0 forbids these bytes even as character references; real input can
// carry them (a form feed inside a string literal), so they are left out.
constexpr bool isForbiddenControl(unsigned char c) { return c < 0x20 && c != '\t' && c != '\n' && c != '\r'; }

// What escaping does with each byte: copies it (kPlain), leaves it out
// (kDrop), replaces it by an entity (the index into kEntities) or, for the
// NUL, stops.
enum : unsigned char { kPlain = 0, kDrop = 1, kEnd = 6 };
const char* const kEntities[] = {"", "", "&amp;", "&quot;", "&lt;", "&gt;"};
const size_t kEntityLengths[] = {0, 0, 5, 6, 4, 4};

struct EscapeTable {
  unsigned char v[256];
  constexpr EscapeTable() : v() {
    for (int c = 0; c < 256; ++c) v[c] = isForbiddenControl(static_cast<unsigned char>(c)) ? kDrop : kPlain;
    v[0] = kEnd;
    v[static_cast<unsigned char>('&')] = 2;
    v[static_cast<unsigned char>('"')] = 3;
    v[static_cast<unsigned char>('<')] = 4;
    v[static_cast<unsigned char>('>')] = 5;
  }
};
constexpr EscapeTable kEscape;

// Length of the run of bytes at p that escaping copies unchanged.
size_t plainRun(const unsigned char* p) {
  // Four bytes a round: one taken branch per byte made the loop's speed
  // hang on where the linker put it (a loop across a 64-byte line of code
  // wrote the dump 1.16x slower). The text's NUL is no plain byte, so no
  // read passes it.
  const unsigned char* q = p;
  for (;; q += 4) {
    if (kEscape.v[q[0]] != kPlain) return size_t(q - p);
    if (kEscape.v[q[1]] != kPlain) return size_t(q + 1 - p);
    if (kEscape.v[q[2]] != kPlain) return size_t(q + 2 - p);
    if (kEscape.v[q[3]] != kPlain) return size_t(q + 3 - p);
  }
}

// Escapes a text from the tree into a pool buffer sized exactly for the
// result, copying runs of plain bytes at once; *length receives its length.
char* xmlEscape(const char* text, size_t* length) {
  if (!text) text = "";
  const unsigned char* in = reinterpret_cast<const unsigned char*>(text);
  size_t size = 0;
  for (const unsigned char* p = in;; ++p) {
    size_t run = plainRun(p);
    size += run;
    p += run;
    unsigned char action = kEscape.v[*p];
    if (action == kEnd) break;
    size += kEntityLengths[action];
  }
  char* out = static_cast<char*>(poolAlloc(size + 1));
  char* q = out;
  for (const unsigned char* p = in;; ++p) {
    size_t run = plainRun(p);
    std::memcpy(q, p, run);
    q += run;
    p += run;
    unsigned char action = kEscape.v[*p];
    if (action == kEnd) break;
    std::memcpy(q, kEntities[action], kEntityLengths[action]);
    q += kEntityLengths[action];
  }
  *q = '\0';
  *length = size;
  return out;
}

// A text written as it is: a kind's type, a field's name, the encoding.
void putText(XmlWriterState* state, const char* text) { putBytes(state->output, text, std::strlen(text)); }

// The document's own markup, measured when compiled rather than at each of
// the millions of writes a large dump makes.
template <size_t N>
void put(XmlWriterState* state, const char (&markup)[N]) {
  putBytes(state->output, markup, N - 1);
}

void putInt(XmlWriterState* state, int value) {
  char digits[16];
  char* end = digits + sizeof digits;
  char* p = end;
  unsigned int magnitude = value < 0 ? 0u - static_cast<unsigned int>(value) : static_cast<unsigned int>(value);
  do {
    *--p = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) *--p = '-';
  putBytes(state->output, p, size_t(end - p));
}

// Writes a text from the tree, escaped.
void writeEscaped(XmlWriterState* state, const char* text) {
  // Most texts hold nothing to escape: their escaped form is the text itself.
  size_t plain = text ? plainRun(reinterpret_cast<const unsigned char*>(text)) : 0;
  if (text && text[plain] == '\0') {
    putBytes(state->output, text, plain);
    return;
  }
  size_t length = 0;
  char* escaped = xmlEscape(text, &length);
  putBytes(state->output, escaped, length);
  poolFree(escaped);
}

void writeTabs(XmlWriterState* state) {
  if (!state->indent) return;
  static const char tabs[] = "\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t";
  for (int left = state->depth; left > 0; left -= 16) putBytes(state->output, tabs, size_t(left < 16 ? left : 16));
}

bool isUnitKind(int kind) { return (astKindTraits(kind) & KIND_UNIT) != 0; }

// The name list of a unit whose object segment comes from its name; null for
// the kinds whose segment is always empty.
astNodeList* unitSegmentName(astNode* node) {
  switch (node->kind) {
#define AST_UNIT_NAME(kind) \
  case kind:                      \
    return nodeAs<astRecordOf<kind>>(node)->name;
#include "ast_kinds.def"
    default:
      return nullptr;
  }
}

// The text of a unit name: a single token, possibly held as a one-element list.
const char* unitNameText(astNodeList* name) {
  if (!name) return nullptr;
  astNode* node = name;
  if (node->kind == AST_LIST) {
    if (listLength(name) > 1) {
      // Unit names are single tokens; anything else is a broken tree.
      std::fflush(stdout);
      std::fputs("Assertion failed: listLength(nodeList) <= 1\n", stderr);
      poolJump(poolCurrent(), POOL_JUMP_INTERNAL_ERROR);
    }
    node = listFirst(name);
  }
  if (!node || node->kind != AST_TOKEN) return nullptr;
  return nodeAs<astNodeToken>(node)->text;
}

const char* typeName(int kind) {
  const char* name = astNodeXmlType(kind);
  return name ? name : "UNKNOWN";
}

void xmlOpenNode(XmlWriterState* state, const char* fieldName, astNode* node, bool newline) {
  writeTabs(state);
  state->depth += 1;
  if (isUnitKind(node->kind)) state->units.push_back(node);
  put(state, "<node type=\"");
  putText(state, typeName(node->kind));
  put(state, "\" ");
  if (fieldName) {
    put(state, "name=\"");
    putText(state, fieldName);
    put(state, "\" ");
  }
  if (!state->units.empty()) {
    astNode* outer = state->units.front();
    if (isPackage(outer)) {
      put(state, "package=\"");
      writeEscaped(state, unitNameText(unitSegmentName(outer)));
      put(state, "\" ");
    }
    put(state, "object=\"");
    for (size_t i = 0; i < state->units.size(); ++i) {
      if (i) put(state, ".");
      const char* segment = unitNameText(unitSegmentName(state->units[i]));
      if (segment) writeEscaped(state, segment);
    }
    put(state, "\" objtype=\"");
    const char* objtype = astNodeObjType(state->units.back()->kind);
    putText(state, objtype ? objtype : "");
    put(state, "\" ");
  }
  put(state, "lineno=\"");
  putInt(state, node->line + 1);
  if (newline)
    put(state, "\">\n");
  else
    put(state, "\">");
}

void xmlCloseNode(XmlWriterState* state, astNode* node) {
  state->depth -= 1;
  writeTabs(state);
  put(state, "</node>\n");
  if (isUnitKind(node->kind)) state->units.pop_back();
}

void xmlWriteField(XmlWriterState* state, const char* fieldName, const char* text) {
  writeTabs(state);
  put(state, "<field name=\"");
  putText(state, fieldName);
  put(state, "\">");
  writeEscaped(state, text);
  put(state, "</field>\n");
}

void xmlWriteBoolField(XmlWriterState* state, const char* fieldName, bool value) {
  writeTabs(state);
  put(state, "<field name=\"");
  putText(state, fieldName);
  if (value)
    put(state, "\">TRUE</field>\n");
  else
    put(state, "\">FALSE</field>\n");
}

void xmlWriteIntField(XmlWriterState* state, const char* fieldName, int value) {
  writeTabs(state);
  put(state, "<field name=\"");
  putText(state, fieldName);
  put(state, "\">");
  putInt(state, value);
  put(state, "</field>\n");
}

// Writers of the fields of ast_kinds.def (AST_DUMP), one per form of value.
// A child field writes nothing itself: it hands its node back to the walk.

astNode* child(XmlWriterState*, const char*, astNode* node) { return node; }

void boolField(XmlWriterState* state, const char* fieldName, bool value) { xmlWriteBoolField(state, fieldName, value); }

// Written only when set.
void boolFieldWhenSet(XmlWriterState* state, const char* fieldName, bool value) {
  if (value) xmlWriteBoolField(state, fieldName, true);
}

void textField(XmlWriterState* state, const char* fieldName, const char* text) {
  xmlWriteField(state, fieldName, text);
}

void intField(XmlWriterState* state, const char* fieldName, int value) { xmlWriteIntField(state, fieldName, value); }

const char* pickText(int value, const char* const* texts, int count, const char* other) {
  return value >= 0 && value < count ? texts[value] : other;
}

void variableTypeField(XmlWriterState* state, const char* fieldName, int value) {
  xmlWriteField(state, fieldName, variableTypeName(value));
}

void authidField(XmlWriterState* state, const char* fieldName, bool definer) {
  xmlWriteField(state, fieldName, definer ? "DEFINER" : "CURRENT_USER");
}

void triggerPointField(XmlWriterState* state, const char* fieldName, int point) {
  static const char* const points[] = {"TRIGGER_BEFORE", "TRIGGER_AFTER", "TRIGGER_FOR", "TRIGGER_INSTEAD"};
  xmlWriteField(state, fieldName, pickText(point, points, 4, "TRIGGER_UNKNOWN"));
}

void forLoopTypeField(XmlWriterState* state, const char* fieldName, int loopType) {
  static const char* const types[] = {"UNKNOWN", "NUMERIC", "CURSOR", "SELECT"};
  xmlWriteField(state, fieldName, pickText(loopType, types, 4, "UNKNOWN"));
}

void argModeField(XmlWriterState* state, const char* fieldName, int mode) {
  static const char* const modes[] = {"IN", "OUT"};
  xmlWriteField(state, fieldName, pickText(mode, modes, 2, "IN OUT"));
}

void triggerVarField(XmlWriterState* state, const char* fieldName, int var) {
  static const char* const vars[] = {"TRIGGER_ARG_NEW", "TRIGGER_ARG_OLD", "TRIGGER_ARG_PARENT"};
  xmlWriteField(state, fieldName, pickText(var, vars, 3, "TRIGGER_ARG_UNKNOWN"));
}

void diagTypeField(XmlWriterState* state, const char* fieldName, int diagType) {
  static const char* const types[] = {"RETURN_STATUS", "ROW_COUNT", "MESSAGE_TEXT"};
  xmlWriteField(state, fieldName, pickText(diagType, types, 3, "UNKNOWN"));
}

void usingModeField(XmlWriterState* state, const char* fieldName, int mode) {
  static const char* const modes[] = {"IN", "OUT", "INOUT"};
  xmlWriteField(state, fieldName, pickText(mode, modes, 3, ""));
}

void constraintTypeField(XmlWriterState* state, const char* fieldName, int consType) {
  xmlWriteField(state, fieldName, constraintKindName(consType));
}

void forallLoopTypeField(XmlWriterState* state, const char* fieldName, int loopType) {
  static const char* const types[] = {"FORALL_LOOP_INDICES", "FORALL_LOOP_VALUES", "FORALL_LOOP_RANGE"};
  xmlWriteField(state, fieldName, pickText(loopType, types, 3, "FORALL_LOOP_UNKNOWN"));
}

// The fields of every kind, grouped by kind in document order. `write`
// writes a scalar field and returns null, or returns the child node that the
// field stands for (see child above), to be written under `name`.
struct DumpField {
  int kind;
  const char* name;
  astNode* (*write)(XmlWriterState* state, astNode* node);
};

template <class Writer, class... Args>
astNode* fieldStep(Writer writer, Args... args) {
  if constexpr (std::is_void_v<decltype(writer(args...))>) {
    writer(args...);
    return nullptr;
  } else {
    return writer(args...);
  }
}

constexpr DumpField kDumpFields[] = {
#define AST_DUMP(kind, field, xmlName, writer)                                       \
  {kind, xmlName, [](XmlWriterState* state, astNode* node) -> astNode* {                   \
     return fieldStep(writer, state, static_cast<const char*>(xmlName), nodeAs<astRecordOf<kind>>(node)->field); \
   }},
#include "ast_kinds.def"
};

constexpr KindIndex kDumpIndex(kDumpFields);

bool hasNoContent(int kind) { return (astKindTraits(kind) & KIND_CONTENT) == 0; }

void countNode(XmlWriterState* state, astNode* node) {
  state->nodeCount += 1;
  if (state->nodeCount % 1000 == 0 && node->line > 0 && state->progress) {
    std::printf("VESTRAKE: LINE: %d\n", node->line);
    flush_standard_output();
  }
}

// One element being written: its fields (or, for a list, its cells) not yet
// visited. Kept on the heap: a deeply nested tree must not need a deep
// native stack.
struct DumpFrame {
  astNode* node;
  bool closes;          // an element with a closing tag (not a list of one)
  astListCell* cell;    // list elements still to write
  const DumpField* nextField;  // kDumpFields rows still to write, up to
  const DumpField* endField;   // endField
};

// Starts writing one node: writes what has no children at once, and pushes
// a frame for the rest.
void xmlEnterNode(const char* fieldName, astNode* node, XmlWriterState* state, std::vector<DumpFrame>* frames) {
  // A list of one element stands for that element; the list itself is
  // still counted, after the element.
  while (node && node->kind == AST_LIST && nodeAs<astNodeList>(node)->count == 1 &&
         nodeAs<astNodeList>(node)->head) {
    frames->push_back({node, false, nullptr, nullptr, nullptr});
    node = nodeAs<astNodeList>(node)->head->value;
  }
  if (!node) return;
  int kind = node->kind;
  switch (kind) {
    case AST_LIST:
      xmlOpenNode(state, fieldName, node, true);
      frames->push_back({node, true, nodeAs<astNodeList>(node)->head, nullptr, nullptr});
      return;
    case AST_TOKEN: {
      xmlOpenNode(state, fieldName, node, false);
      writeEscaped(state, nodeAs<astNodeToken>(node)->text);
      state->depth -= 1;
      bool indent = state->indent;
      state->indent = false;
      put(state, "</node>\n");
      state->indent = indent;
      countNode(state, node);
      return;
    }
    case AST_PRAGMA:
      countNode(state, node);  // left out of the document, still counted
      return;
    default:
      break;
  }
  // A raiseApp node carries its own name whatever field it stands under.
  xmlOpenNode(state, kind == AST_RAISE_APP ? "RAISEAPP" : fieldName, node, true);
  std::span<const DumpField> fields;
  if (kind == AST_RAISE_APP || !hasNoContent(kind)) fields = kDumpIndex.rowsOf(kind);
  frames->push_back({node, true, nullptr, fields.data(), fields.data() + fields.size()});
}

// Writes the tree from root, children in document order.
void xmlWriteTree(astNode* root, XmlWriterState* state) {
  std::vector<DumpFrame> frames;
  xmlEnterNode(nullptr, root, state, &frames);
  while (!frames.empty()) {
    DumpFrame& top = frames.back();
    if (astListCell* cell = top.cell) {
      top.cell = cell->next;
      xmlEnterNode(nullptr, cell->value, state, &frames);
      continue;
    }
    if (top.nextField != top.endField) {
      const DumpField& field = *top.nextField++;
      if (astNode* node = field.write(state, top.node)) xmlEnterNode(field.name, node, state, &frames);
      continue;
    }
    DumpFrame done = top;
    frames.pop_back();
    if (done.closes) xmlCloseNode(state, done.node);
    countNode(state, done.node);
  }
}

// Whether st is the file behind standard output.
bool isStandardOutput(const struct stat& st) {
  struct stat out;
  return fstat(STDOUT_FILENO, &out) == 0 && out.st_dev == st.st_dev && out.st_ino == st.st_ino;
}

// Writes the document to stream, which stays open, with the progress lines
// on standard output when progress is set. 0, or the reason a write failed;
// a jump of the pool passes through, after the flush.
int writeDocument(FILE* stream, const char* encoding, astNode* root, bool progress) {
  // The stream itself stays unbuffered: the buffer below is the only one, and
  // it is flushed explicitly on every way out.
  std::setvbuf(stream, nullptr, _IONBF, 0);
  DumpOutput output;
  output.stream = stream;
  output.buffer = static_cast<char*>(std::malloc(kDumpBufferSize));
  output.capacity = output.buffer ? kDumpBufferSize : 0;  // no buffer: straight writes
  t_openDump = &output;
  XmlWriterState state;
  state.output = &output;
  state.indent = true;
  state.depth = 0;
  state.progress = progress;
  auto finish = [&]() {
    flushDump(&output);
    t_openDump = nullptr;
    std::free(output.buffer);
  };
  put(&state, "<?xml version=\"1.0\" encoding=\"");
  putText(&state, encoding && *encoding ? encoding : "ISO-8859-1");
  put(&state, "\"?>\n");
  try {
    xmlWriteTree(root, &state);
  } catch (...) {
    finish();
    throw;
  }
  finish();
  return output.failed ? output.error : 0;
}

// False with the reason in *failure (when given).
bool dumpFailed(DumpFailure* failure, int error, bool writing) {
  if (failure) *failure = DumpFailure{error != 0 ? error : EIO, writing};
  return false;
}

// Writes the document to stream and closes it; the progress lines are left
// out when the stream is standard output's file.
bool writeAndClose(FILE* stream, const char* encoding, astNode* root, DumpFailure* failure) {
  struct stat st;
  bool progress = fstat(fileno(stream), &st) != 0 || !isStandardOutput(st);
  int error;
  try {
    error = writeDocument(stream, encoding, root, progress);
  } catch (...) {
    std::fclose(stream);
    throw;
  }
  if (std::fclose(stream) != 0 && error == 0) error = errno;
  return error == 0 || dumpFailed(failure, error, true);
}

// The document written through a standard stream's own descriptor: what
// its file holds stays, and an appending stream appends.
bool writeStandardStream(int descriptor, const char* encoding, astNode* root, DumpFailure* failure) {
  int flags = fcntl(descriptor, F_GETFL);
  if (flags < 0 || (flags & O_ACCMODE) == O_RDONLY) return dumpFailed(failure, EBADF, false);
  int fd = fcntl(descriptor, F_DUPFD_CLOEXEC, 3);
  if (fd < 0) return dumpFailed(failure, errno, false);
  FILE* stream = fdopen(fd, "w");
  if (!stream) {
    int error = errno;
    close(fd);
    return dumpFailed(failure, error, false);
  }
  return writeAndClose(stream, encoding, root, failure);
}

// writeAstXml, with the reason of a failure.
bool writeStreamFile(const char* path, const char* mode, const char* encoding, astNode* root, DumpFailure* failure) {
  if (!path || !mode) return dumpFailed(failure, EINVAL, false);
  FILE* stream = std::fopen(path, mode);
  if (!stream) return dumpFailed(failure, errno, false);
  return writeAndClose(stream, encoding, root, failure);
}

}  // namespace

bool writeAstXml(const char* path, const char* mode, const char* encoding, astNode* root) {
  return writeStreamFile(path, mode, encoding, root, nullptr);
}

bool sqlexcAstDumpFile(const char* fileName, const char* encoding, astNode* root, std::string* partialPath,
                       DumpFailure* failure) {
  if (partialPath) partialPath->clear();
  if (!fileName || !*fileName) return dumpFailed(failure, ENOENT, false);
  // "-" is standard output, as for the test host's -o. A name of a standard
  // stream is written through its descriptor: opened anew, a file behind it
  // would be emptied, or replaced.
  int standard = std::strcmp(fileName, "-") == 0 ? STDOUT_FILENO : standard_stream_named(fileName);
  if (standard >= 0) return writeStandardStream(standard, encoding, root, failure);
  // A name that ends in "/" names a folder, never a file to write.
  if (fileName[std::strlen(fileName) - 1] == '/') return dumpFailed(failure, EISDIR, false);
  // Through a symbolic link the file it names is replaced, or made; links
  // that loop name none.
  char* resolved = resolve_links(fileName);
  if (!resolved) return dumpFailed(failure, errno, false);
  std::string target = resolved;
  std::free(resolved);
  struct stat st;
  bool exists = stat(target.c_str(), &st) == 0;
  // A name the system refuses (too long, a file where a folder should be)
  // is refused before anything is written.
  if (!exists && errno != ENOENT) return dumpFailed(failure, errno, false);
  // A device or a pipe (/dev/null, /dev/stdout) has nothing to replace.
  if (exists && !S_ISREG(st.st_mode)) return writeStreamFile(fileName, "w", encoding, root, failure);
  // Nor is a file replaced that could not be written in place.
  if (exists && faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
    return dumpFailed(failure, errno, false);
  char* unfinished = nullptr;
  pending_file* pending = nullptr;
  int fd = create_beside(target.c_str(), 0666, &unfinished, &pending);
  if (fd < 0) return dumpFailed(failure, errno, false);
  if (exists) keep_owner_and_mode(fd, &st);
  FILE* stream = fdopen(fd, "w");
  if (!stream) {
    int error = errno;
    close(fd);
    pending_file_discard(pending);
    std::free(unfinished);
    return dumpFailed(failure, error, false);
  }
  // The file is renamed while it is still open: its lock, which tells a
  // live run's file from a dead one's, goes with its last descriptor.
  int error = 0;
  try {
    // A dump over the file of standard output replaces that file: its
    // progress lines would go into the old one.
    error = writeDocument(stream, encoding, root, !exists || !isStandardOutput(st));
  } catch (...) {
    // A run cut short keeps what it wrote, under a name of its own: the
    // unfinished file's ".part" becomes ".partial".
    std::string partial = std::string(unfinished) + "ial";
    bool moved = std::rename(unfinished, partial.c_str()) == 0;
    std::fclose(stream);
    pending_file_release(pending);
    if (partialPath) *partialPath = moved ? partial : unfinished;
    std::free(unfinished);
    throw;
  }
  bool writing = true;
  if (error == 0 && fsync(fd) != 0) error = errno;
  if (error == 0 && std::rename(unfinished, target.c_str()) != 0) {
    error = errno;
    writing = false;
  }
  // Closing after the rename loses nothing: the document is on the disk.
  std::fclose(stream);
  if (error == 0)
    pending_file_release(pending);
  else
    pending_file_discard(pending);
  std::free(unfinished);
  return error == 0 || dumpFailed(failure, error, writing);
}

void finishDumpAtExit() {
  if (t_openDump) flushDump(t_openDump);
  pending_files_discard();
}

bool writeSourceXml(const char* path, const char* mode, const char* text) {
  if (!path || !mode) return false;
  FILE* output = std::fopen(path, mode);
  if (!output) return false;
  std::fputs("<sourcecode>\n", output);
  const char* line = text ? text : "";
  int lineno = 1;
  for (const char* end = std::strchr(line, '\n'); end; end = std::strchr(line, '\n')) {
    const char* stop = end;
    if (stop > line && stop[-1] == '\r') --stop;
    std::fprintf(output, "<code lineno=\"%d\"><![CDATA[", lineno++);
    for (const char* p = line; p < stop; ++p) {
      // "]]>" would end the section early: split it across two sections.
      if (p + 2 < stop && p[0] == ']' && p[1] == ']' && p[2] == '>') {
        std::fputs("]]]]><![CDATA[>", output);
        p += 2;
        continue;
      }
      if (!isForbiddenControl(static_cast<unsigned char>(*p))) std::fputc(*p, output);
    }
    std::fputs("]]></code>\n", output);
    line = end + 1;
  }
  std::fputs("</sourcecode>", output);
  std::fclose(output);
  return true;
}

// XML dump of the syntax tree (vestrake -a) and the numbered source listing.
//
// The document is gathered in a large buffer and written in big pieces. A run
// cut short (pool exhaustion, an internal error, an exit of the process)
// still leaves everything produced so far in the file: the buffer is flushed
// on every way out of the dump.
#include "sqlexc_ast_dump.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "ast.h"
#include "run_pool.h"

namespace {

// Nodes handed to the dispatcher during the whole run; drives the progress line.
int g_nodeCounter = 0;

// Output of one dump: a buffer in front of an unbuffered stream. A failed
// write is remembered; later output is dropped, and the dump reports failure.
struct DumpOutput {
  FILE* stream = nullptr;
  char* buffer = nullptr;
  size_t used = 0;
  size_t capacity = 0;
  bool failed = false;
};

const size_t kDumpBufferSize = size_t(1) << 20;

// The dump being written, for the flush at process exit.
DumpOutput* g_openDump = nullptr;

void flushDump(DumpOutput* out) {
  if (out->used != 0 && !out->failed && std::fwrite(out->buffer, 1, out->used, out->stream) != out->used)
    out->failed = true;
  out->used = 0;
}

void flushOpenDumpAtExit() {
  if (g_openDump) flushDump(g_openDump);
}

void putBytes(DumpOutput* out, const char* bytes, size_t n) {
  if (out->failed || n == 0) return;
  if (out->capacity - out->used < n) {
    flushDump(out);
    if (n >= out->capacity) {
      if (!out->failed && std::fwrite(bytes, 1, n, out->stream) != n) out->failed = true;
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
};

// XML 1.0 forbids these bytes even as character references; real input can
// carry them (a form feed inside a string literal), so they are left out.
bool isForbiddenControl(unsigned char c) {
  return c < 0x20 && c != '\t' && c != '\n' && c != '\r';
}

// Escapes a text from the tree into a pool buffer sized exactly for the result.
char* xmlEscape(const char* text) {
  if (!text) return poolStrdup("");
  size_t size = 0;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
    switch (*p) {
      case '&': size += 5; break;
      case '"': size += 6; break;
      case '<':
      case '>': size += 4; break;
      default: size += isForbiddenControl(*p) ? 0 : 1; break;
    }
  }
  char* out = static_cast<char*>(poolAlloc(size + 1));
  char* q = out;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
    switch (*p) {
      case '&': std::memcpy(q, "&amp;", 5); q += 5; break;
      case '"': std::memcpy(q, "&quot;", 6); q += 6; break;
      case '<': std::memcpy(q, "&lt;", 4); q += 4; break;
      case '>': std::memcpy(q, "&gt;", 4); q += 4; break;
      default:
        if (!isForbiddenControl(*p)) *q++ = static_cast<char>(*p);
        break;
    }
  }
  *q = '\0';
  return out;
}

void put(XmlWriterState* state, const char* text) { putBytes(state->output, text, std::strlen(text)); }

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
  char* escaped = xmlEscape(text);
  put(state, escaped);
  poolFree(escaped);
}

void writeTabs(XmlWriterState* state) {
  if (!state->indent) return;
  static const char tabs[] = "\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t";
  for (int left = state->depth; left > 0; left -= 16) putBytes(state->output, tabs, size_t(left < 16 ? left : 16));
}

bool isUnitKind(int kind) {
  return kind == 8 || kind == 10 || kind == 12 || kind == 13 || kind == 16 || kind == 17 || kind == 31 ||
         kind == 41 || (kind >= 57 && kind <= 66) || (kind >= 70 && kind <= 99) || kind == 102 || kind == 107;
}

// The name list of a unit whose object segment comes from its name; null for
// the kinds whose segment is always empty.
astNodeList* unitSegmentName(astNode* node) {
  switch (node->kind) {
    case 10: return static_cast<astNodeCreateFunc*>(node)->name;
    case 12: return static_cast<astNodeCreatePkgBody*>(node)->name;
    case 13: return static_cast<astNodeCreatePkgHead*>(node)->name;
    case 16: return static_cast<astNodeCreateProc*>(node)->name;
    case 17: return static_cast<astNodeCreateTrigger*>(node)->name;
    case 31: return static_cast<astNodeFuncProto*>(node)->name;
    case 41: return static_cast<astNodeProcProto*>(node)->name;
    case 80: return static_cast<astNodeDdlTable*>(node)->name;
    case 82: return static_cast<astNodeDdlType*>(node)->name;
    case 84: return static_cast<astNodeDdlView*>(node)->name;
    case 60: case 62: case 63: case 66: case 74: case 76: case 78: case 83:
    case 89: case 91: case 93: case 94: case 95: case 97: case 98: case 99:
      return static_cast<astNodeDdl*>(node)->name;
    default: return nullptr;
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
  return static_cast<astNodeToken*>(node)->text;
}

const char* typeName(int kind) {
  switch (kind) {
    case 0: return "genericNode";
    case 1: return "genericStatement";
    case 38: return "null";
    case 11: case 56: case 68: return "UNKNOWN";
    default: break;
  }
  const char* name = astNodeXmlType(kind);
  return name ? name : "UNKNOWN";
}

void xmlOpenNode(XmlWriterState* state, const char* fieldName, astNode* node, bool newline) {
  writeTabs(state);
  state->depth += 1;
  if (isUnitKind(node->kind)) state->units.push_back(node);
  put(state, "<node type=\"");
  put(state, typeName(node->kind));
  put(state, "\" ");
  if (fieldName) {
    put(state, "name=\"");
    put(state, fieldName);
    put(state, "\" ");
  }
  if (!state->units.empty()) {
    astNode* outer = state->units.front();
    if (outer->kind == 12 || outer->kind == 13) {
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
    put(state, objtype ? objtype : "");
    put(state, "\" ");
  }
  put(state, "lineno=\"");
  putInt(state, node->line + 1);
  put(state, newline ? "\">\n" : "\">");
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
  put(state, fieldName);
  put(state, "\">");
  writeEscaped(state, text);
  put(state, "</field>\n");
}

void xmlWriteBoolField(XmlWriterState* state, const char* fieldName, bool value) {
  writeTabs(state);
  put(state, "<field name=\"");
  put(state, fieldName);
  put(state, value ? "\">TRUE</field>\n" : "\">FALSE</field>\n");
}

void xmlWriteIntField(XmlWriterState* state, const char* fieldName, int value) {
  writeTabs(state);
  put(state, "<field name=\"");
  put(state, fieldName);
  put(state, "\">");
  putInt(state, value);
  put(state, "</field>\n");
}

void xmlWriteNode(const char* fieldName, astNode* node, XmlWriterState* state);

void child(XmlWriterState* state, const char* fieldName, astNode* node) { xmlWriteNode(fieldName, node, state); }

const char* pickText(int value, const char* const* texts, int count, const char* other) {
  return value >= 0 && value < count ? texts[value] : other;
}

const char* variableTypeText(int value) {
  if (value == 8) return "subtype";
  static const char* const texts[] = {"scalar", "cursor", "record", "table", "refcursor"};
  return pickText(value, texts, 5, "UNKNOWN");
}

const char* authidText(bool definer) { return definer ? "DEFINER" : "CURRENT_USER"; }

void writeDeclarationHead(XmlWriterState* state, astNodeDecl* decl) {
  xmlWriteField(state, "variableType", variableTypeText(decl->variableType));
}

// Writes the content of a DDL node (kinds 8, 57 to 66, 70 to 99, 102, 107).
void writeDdlContent(XmlWriterState* state, astNode* node) {
  auto* ddl = static_cast<astNodeDdl*>(node);
  switch (node->kind) {
    case 60: case 62: case 63: case 64: case 66: case 76: case 78: case 83:
    case 89: case 91: case 93: case 95: case 97: case 98:
      child(state, "name", ddl->name);
      child(state, "body", ddl->body);
      break;
    case 71: {
      auto* link = static_cast<astNodeDdlLink*>(node);
      xmlWriteBoolField(state, "pub", link->pub);
      xmlWriteBoolField(state, "shared", link->shared);
      child(state, "body", link->body);
      break;
    }
    case 74: {
      auto* index = static_cast<astNodeDdlIndex*>(node);
      child(state, "name", index->name);
      child(state, "body", index->body);
      xmlWriteBoolField(state, "unq", index->unq);
      xmlWriteBoolField(state, "bmap", index->bmap);
      break;
    }
    case 79: case 94: {
      auto* synonym = static_cast<astNodeDdlSynonym*>(node);
      child(state, "name", synonym->name);
      child(state, "body", synonym->body);
      xmlWriteBoolField(state, "pub", synonym->pub);
      break;
    }
    case 80: {
      auto* table = static_cast<astNodeDdlTable*>(node);
      xmlWriteBoolField(state, "gtt", table->gtt);
      xmlWriteBoolField(state, "xmltype", table->xmltype);
      child(state, "name", table->name);
      child(state, "body", table->body);
      child(state, "cols", table->cols);
      break;
    }
    case 81: {
      auto* tablespace = static_cast<astNodeDdlTablespace*>(node);
      xmlWriteBoolField(state, "temp", tablespace->temp);
      child(state, "body", tablespace->body);
      break;
    }
    case 82: {
      auto* type = static_cast<astNodeDdlType*>(node);
      xmlWriteBoolField(state, "REPLACE", type->REPLACE);
      xmlWriteBoolField(state, "UNDER", type->UNDER);
      child(state, "name", type->name);
      child(state, "body", type->body);
      break;
    }
    case 84: {
      auto* view = static_cast<astNodeDdlView*>(node);
      xmlWriteBoolField(state, "xmltype", view->xmltype);
      xmlWriteBoolField(state, "objview", view->objview);
      xmlWriteBoolField(state, "force", view->force);
      xmlWriteBoolField(state, "mview", view->mview);
      child(state, "name", view->name);
      child(state, "body", view->body);
      child(state, "columns", view->columns);
      break;
    }
    case 86: {
      auto* link = static_cast<astNodeDdlLink*>(node);
      xmlWriteBoolField(state, "pub", link->pub);
      child(state, "body", link->body);
      break;
    }
    case 99: {
      auto* view = static_cast<astNodeDdlDropView*>(node);
      child(state, "name", view->name);
      xmlWriteBoolField(state, "mat", view->mat);
      child(state, "body", view->body);
      break;
    }
    default:  // body only
      child(state, "body", ddl->body);
      break;
  }
}

void writeContent(XmlWriterState* state, astNode* node) {
  switch (node->kind) {
    case 2: {
      auto* n = static_cast<astNodeAssign*>(node);
      child(state, "target", n->target);
      child(state, "expr", n->expr);
      child(state, "targetIndex", n->targetIndex);
      child(state, "targetField", n->targetField);
      break;
    }
    case 3: {
      auto* n = static_cast<astNodeBlock*>(node);
      xmlWriteBoolField(state, "atomic", n->atomic);
      xmlWriteBoolField(state, "anonymous", n->anonymous);
      child(state, "declarations", n->declarations);
      child(state, "body", n->body);
      child(state, "exceptions", n->exceptions);
      break;
    }
    case 4: {
      auto* n = static_cast<astNodeCall*>(node);
      child(state, "name", n->name);
      child(state, "args", n->args);
      break;
    }
    case 5: {
      auto* n = static_cast<astNodeCase*>(node);
      child(state, "predicate", n->predicate);
      child(state, "values", n->values);
      child(state, "defaultValue", n->defaultValue);
      break;
    }
    case 6: {
      auto* n = static_cast<astNodeCaseExpr*>(node);
      child(state, "predicate", n->predicate);
      child(state, "body", n->body);
      break;
    }
    case 7: child(state, "variable", static_cast<astNodeClose*>(node)->variable); break;
    case 9: {
      auto* n = static_cast<astNodeContinue*>(node);
      xmlWriteField(state, "target", n->target);
      child(state, "expr", n->expr);
      break;
    }
    case 10: {
      auto* n = static_cast<astNodeCreateFunc*>(node);
      xmlWriteBoolField(state, "REPLACE", n->REPLACE);
      child(state, "options", n->options);
      if (n->WRAPPED) xmlWriteBoolField(state, "WRAPPED", true);
      child(state, "name", n->name);
      child(state, "body", n->body);
      child(state, "args", n->args);
      child(state, "returns", n->returns);
      break;
    }
    case 12: {
      auto* n = static_cast<astNodeCreatePkgBody*>(node);
      xmlWriteBoolField(state, "REPLACE", n->REPLACE);
      if (n->WRAPPED) xmlWriteBoolField(state, "WRAPPED", true);
      child(state, "name", n->name);
      child(state, "elements", n->elements);
      child(state, "declarations", n->declarations);
      child(state, "prototypes", n->prototypes);
      child(state, "types", n->types);
      child(state, "constructor", n->constructor);
      break;
    }
    case 13: {
      auto* n = static_cast<astNodeCreatePkgHead*>(node);
      xmlWriteBoolField(state, "REPLACE", n->REPLACE);
      xmlWriteField(state, "AUTHID", authidText(n->AUTHID));
      if (n->WRAPPED) xmlWriteBoolField(state, "WRAPPED", true);
      child(state, "name", n->name);
      child(state, "elements", n->elements);
      child(state, "declarations", n->declarations);
      child(state, "prototypes", n->prototypes);
      child(state, "types", n->types);
      break;
    }
    case 14: child(state, "name", static_cast<astNodeDropPkgBody*>(node)->name); break;
    case 15: child(state, "name", static_cast<astNodeDropPkgHead*>(node)->name); break;
    case 16: {
      auto* n = static_cast<astNodeCreateProc*>(node);
      xmlWriteBoolField(state, "REPLACE", n->REPLACE);
      xmlWriteBoolField(state, "AUTONOMOUS", n->AUTONOMOUS);
      xmlWriteField(state, "AUTHID", authidText(n->AUTHID));
      if (n->WRAPPED) xmlWriteBoolField(state, "WRAPPED", true);
      child(state, "name", n->name);
      child(state, "body", n->body);
      child(state, "args", n->args);
      break;
    }
    case 17: {
      auto* n = static_cast<astNodeCreateTrigger*>(node);
      static const char* const points[] = {"TRIGGER_BEFORE", "TRIGGER_AFTER", "TRIGGER_FOR", "TRIGGER_INSTEAD"};
      xmlWriteBoolField(state, "REPLACE", n->REPLACE);
      xmlWriteField(state, "point", pickText(n->point, points, 4, "TRIGGER_UNKNOWN"));
      xmlWriteIntField(state, "events", n->events);
      xmlWriteBoolField(state, "forEachRow", n->forEachRow);
      xmlWriteBoolField(state, "disable", n->disable);
      xmlWriteBoolField(state, "compound", n->compound);
      xmlWriteBoolField(state, "ofTrigger", n->ofTrigger);
      child(state, "name", n->name);
      child(state, "relation", n->relation);
      child(state, "referencing", n->referencing);
      child(state, "follows", n->follows);
      child(state, "body", n->body);
      break;
    }
    case 18: {
      auto* n = static_cast<astNodeDecl*>(node);
      writeDeclarationHead(state, n);
      child(state, "variableName", n->variableName);
      break;
    }
    case 19: {
      auto* n = static_cast<astNodeVarDecl*>(node);
      writeDeclarationHead(state, n);
      xmlWriteBoolField(state, "notNull", n->notNull);
      xmlWriteBoolField(state, "constant", n->constant);
      child(state, "variableName", n->variableName);
      child(state, "dataType", n->dataType);
      child(state, "defaultValue", n->defaultValue);
      // A variable declaration has no body of its own.
      break;
    }
    case 20: {
      auto* n = static_cast<astNodeCursorDecl*>(node);
      writeDeclarationHead(state, n);
      child(state, "variableName", n->variableName);
      child(state, "query", n->query);
      child(state, "queryArgs", n->queryArgs);
      break;
    }
    case 21: {
      auto* n = static_cast<astNodeRecordDecl*>(node);
      writeDeclarationHead(state, n);
      child(state, "variableName", n->variableName);
      child(state, "dataType", n->dataType);
      break;
    }
    case 22: {
      auto* n = static_cast<astNodeTableDecl*>(node);
      writeDeclarationHead(state, n);
      child(state, "variableName", n->variableName);
      child(state, "dataType", n->dataType);
      child(state, "indexType", n->indexType);
      xmlWriteBoolField(state, "noIndexBy", n->noIndexBy);
      xmlWriteBoolField(state, "notNull", n->notNull);
      break;
    }
    case 23: {
      auto* n = static_cast<astNodeRefCursorDecl*>(node);
      writeDeclarationHead(state, n);
      child(state, "variableName", n->variableName);
      child(state, "dataType", n->dataType);
      break;
    }
    case 24: {
      auto* n = static_cast<astNodeVarrayDecl*>(node);
      writeDeclarationHead(state, n);
      xmlWriteField(state, "dimension", n->dimension);
      child(state, "variableName", n->variableName);
      child(state, "dataType", n->dataType);
      break;
    }
    case 25: {
      auto* n = static_cast<astNodeExceptionDecl*>(node);
      xmlWriteIntField(state, "value", n->value);
      writeDeclarationHead(state, n);
      xmlWriteField(state, "sqlstate", n->sqlstate);
      child(state, "variableName", n->variableName);
      break;
    }
    case 26: {
      auto* n = static_cast<astNodeDynamic*>(node);
      child(state, "expr", n->expr);
      child(state, "into", n->into);
      child(state, "using", n->using_);
      child(state, "returnList", n->returnList);
      break;
    }
    case 27: {
      auto* n = static_cast<astNodeExit*>(node);
      xmlWriteField(state, "target", n->target);
      child(state, "expr", n->expr);
      break;
    }
    case 28: {
      auto* n = static_cast<astNodeFetch*>(node);
      xmlWriteBoolField(state, "bulkCollect", n->bulkCollect);
      child(state, "variable", n->variable);
      child(state, "expr", n->expr);
      break;
    }
    case 29: {
      auto* n = static_cast<astNodeFor*>(node);
      static const char* const types[] = {"UNKNOWN", "NUMERIC", "CURSOR", "SELECT"};
      xmlWriteField(state, "loopType", pickText(n->loopType, types, 4, "UNKNOWN"));
      xmlWriteBoolField(state, "reverse", n->reverse);
      child(state, "index", n->index);
      child(state, "expr", n->expr);
      child(state, "body", n->body);
      break;
    }
    case 30: {
      auto* n = static_cast<astNodeFormalArg*>(node);
      static const char* const modes[] = {"IN", "OUT"};
      xmlWriteField(state, "mode", pickText(n->mode, modes, 2, "IN OUT"));
      child(state, "name", n->name);
      child(state, "dataType", n->dataType);
      child(state, "defaultValue", n->defaultValue);
      break;
    }
    case 31: {
      auto* n = static_cast<astNodeFuncProto*>(node);
      child(state, "name", n->name);
      child(state, "args", n->args);
      child(state, "returns", n->returns);
      break;
    }
    case 32: child(state, "target", static_cast<astNodeGoto*>(node)->target); break;
    case 33: {
      auto* n = static_cast<astNodeHandler*>(node);
      child(state, "conditions", n->conditions);
      child(state, "body", n->body);
      break;
    }
    case 34: {
      auto* n = static_cast<astNodeIf*>(node);
      child(state, "expr", n->expr);
      child(state, "body", n->body);
      child(state, "elseIf", n->elseIf);
      child(state, "elseBody", n->elseBody);
      break;
    }
    case 35: {
      auto* n = static_cast<astNodeElseIf*>(node);
      child(state, "expr", n->expr);
      child(state, "body", n->body);
      child(state, "elseIf", n->elseIf);
      break;
    }
    case 37: child(state, "body", static_cast<astNodeLoop*>(node)->body); break;
    case 39: {
      auto* n = static_cast<astNodeOpen*>(node);
      child(state, "variable", n->variable);
      child(state, "query", n->query);
      child(state, "args", n->args);
      child(state, "cursorConstructor", n->cursorConstructor);
      child(state, "usingClause", n->usingClause);
      child(state, "prepareStmt", n->prepareStmt);
      break;
    }
    case 41: {
      auto* n = static_cast<astNodeProcProto*>(node);
      child(state, "name", n->name);
      child(state, "args", n->args);
      break;
    }
    case 42: child(state, "exceptionName", static_cast<astNodeRaise*>(node)->exceptionName); break;
    case 43: {
      auto* n = static_cast<astNodeRaiseApp*>(node);
      child(state, "errorNo", n->errorNo);
      child(state, "parms", n->parms);
      break;
    }
    case 44: child(state, "expr", static_cast<astNodeReturn*>(node)->expr); break;
    case 45: {
      auto* n = static_cast<astNodeSelect*>(node);
      child(state, "target", n->target);
      child(state, "intoClause", n->intoClause);
      xmlWriteBoolField(state, "bulkCollect", n->bulkCollect);
      child(state, "fromClause", n->fromClause);
      break;
    }
    case 46: {
      auto* n = static_cast<astNodeSqlStmt*>(node);
      xmlWriteField(state, "keyword", n->keyword);
      child(state, "body", n->body);
      child(state, "returning", n->returning);
      break;
    }
    case 48: {
      auto* n = static_cast<astNodeTriggerArg*>(node);
      static const char* const vars[] = {"TRIGGER_ARG_NEW", "TRIGGER_ARG_OLD", "TRIGGER_ARG_PARENT"};
      xmlWriteField(state, "var", pickText(n->var, vars, 3, "TRIGGER_ARG_UNKNOWN"));
      child(state, "alias", n->alias);
      break;
    }
    case 49: {
      auto* n = static_cast<astNodeWhile*>(node);
      child(state, "expr", n->expr);
      child(state, "body", n->body);
      break;
    }
    case 50: {
      auto* n = static_cast<astNodeValues*>(node);
      child(state, "sources", n->sources);
      child(state, "targets", n->targets);
      break;
    }
    case 51: {
      auto* n = static_cast<astNodeSignal*>(node);
      xmlWriteField(state, "sqlstate", n->sqlstate);
      child(state, "message", n->message);
      break;
    }
    case 52: {
      auto* n = static_cast<astNodePrepare*>(node);
      xmlWriteField(state, "stmtID", n->stmtID);
      xmlWriteField(state, "stmtHolder", n->stmtHolder);
      child(state, "query", n->query);
      break;
    }
    case 53: {
      auto* n = static_cast<astNodeExecute*>(node);
      xmlWriteField(state, "operand", n->operand);
      xmlWriteBoolField(state, "immediate", n->immediate);
      child(state, "into", n->into);
      child(state, "using", n->using_);
      break;
    }
    case 54: {
      auto* n = static_cast<astNodeGetDiag*>(node);
      static const char* const types[] = {"RETURN_STATUS", "ROW_COUNT", "MESSAGE_TEXT"};
      xmlWriteField(state, "diagType", pickText(n->diagType, types, 3, "UNKNOWN"));
      child(state, "target", n->target);
      child(state, "source", n->source);
      break;
    }
    case 55: {
      auto* n = static_cast<astNodeUsingParam*>(node);
      static const char* const modes[] = {"IN", "OUT", "INOUT"};
      xmlWriteField(state, "argMode", pickText(n->argMode, modes, 3, ""));
      child(state, "expr", n->expr);
      break;
    }
    case 67: {
      auto* n = static_cast<astNodeColDecl*>(node);
      xmlWriteField(state, "colType", variableTypeText(n->colType));
      xmlWriteBoolField(state, "notNull", n->notNull);
      child(state, "colName", n->colName);
      child(state, "dType", n->dType);
      child(state, "dfltValue", n->dfltValue);
      child(state, "body", n->body);
      break;
    }
    case 69: {
      auto* n = static_cast<astNodeConstraint*>(node);
      xmlWriteField(state, "consType", constraintKindName(n->consType));
      child(state, "name", n->name);
      child(state, "cols", n->cols);
      child(state, "body", n->body);
      break;
    }
    case 100: {
      auto* n = static_cast<astNodeError*>(node);
      xmlWriteField(state, "message", n->message);
      xmlWriteField(state, "context", n->context);
      break;
    }
    case 101: {
      auto* n = static_cast<astNodeForall*>(node);
      static const char* const types[] = {"FORALL_LOOP_INDICES", "FORALL_LOOP_VALUES", "FORALL_LOOP_RANGE"};
      xmlWriteField(state, "loopType", pickText(n->loopType, types, 3, "FORALL_LOOP_UNKNOWN"));
      child(state, "index", n->index);
      child(state, "expr", n->expr);
      child(state, "body", n->body);
      xmlWriteBoolField(state, "exec", n->exec);
      child(state, "dynamic", n->dynamic);
      break;
    }
    case 103: {
      auto* n = static_cast<astNodeJavaSource*>(node);
      child(state, "name", n->name);
      child(state, "body", n->body);
      break;
    }
    case 104: {
      auto* n = static_cast<astNodeObjectDecl*>(node);
      writeDeclarationHead(state, n);
      child(state, "variableName", n->variableName);
      child(state, "dataType", n->dataType);
      break;
    }
    case 105: child(state, "expr", static_cast<astNodeOraclePragma*>(node)->expr); break;
    case 106: child(state, "expr", static_cast<astNodePiperow*>(node)->expr); break;
    case 108: {
      auto* n = static_cast<astNodeSubType*>(node);
      writeDeclarationHead(state, n);
      child(state, "variableName", n->variableName);
      child(state, "dataType", n->dataType);
      break;
    }
    default:
      if (isUnitKind(node->kind)) writeDdlContent(state, node);
      break;
  }
}

bool hasNoContent(int kind) {
  return kind == 0 || kind == 1 || kind == 11 || kind == 38 || kind == 56 || kind == 68 || kind < 0 ||
         kind >= AST_KIND_COUNT;
}

void countNode(astNode* node) {
  g_nodeCounter += 1;
  if (g_nodeCounter % 1000 == 0 && node->line > 0) {
    std::printf("VESTRAKE: LINE: %d\n", node->line);
    std::fflush(stdout);
  }
}

void xmlWriteNode(const char* fieldName, astNode* node, XmlWriterState* state) {
  if (!node) return;
  switch (node->kind) {
    case AST_LIST: {
      auto* list = static_cast<astNodeList*>(node);
      if (list->count == 1 && list->head) {
        // A list of one element stands for that element.
        xmlWriteNode(fieldName, list->head->value, state);
      } else {
        xmlOpenNode(state, fieldName, node, true);
        for (astListCell* cell = list->head; cell; cell = cell->next) xmlWriteNode(nullptr, cell->value, state);
        xmlCloseNode(state, node);
      }
      break;
    }
    case AST_TOKEN: {
      xmlOpenNode(state, fieldName, node, false);
      writeEscaped(state, static_cast<astNodeToken*>(node)->text);
      state->depth -= 1;
      bool indent = state->indent;
      state->indent = false;
      put(state, "</node>\n");
      state->indent = indent;
      break;
    }
    case AST_PRAGMA:
      break;  // left out of the document, still counted
    case AST_RAISE_APP:
      xmlOpenNode(state, "RAISEAPP", node, true);
      writeContent(state, node);
      xmlCloseNode(state, node);
      break;
    default:
      xmlOpenNode(state, fieldName, node, true);
      if (!hasNoContent(node->kind)) writeContent(state, node);
      xmlCloseNode(state, node);
      break;
  }
  countNode(node);
}

}  // namespace

bool writeAstXml(const char* path, const char* mode, const char* encoding, astNode* root) {
  if (!path || !mode) return false;
  FILE* stream = std::fopen(path, mode);
  if (!stream) return false;
  // The stream itself stays unbuffered: the buffer below is the only one, and
  // it is flushed explicitly on every way out.
  std::setvbuf(stream, nullptr, _IONBF, 0);
  DumpOutput output;
  output.stream = stream;
  output.buffer = static_cast<char*>(std::malloc(kDumpBufferSize));
  output.capacity = output.buffer ? kDumpBufferSize : 0;  // no buffer: straight writes
  static bool exitFlushRegistered = false;
  if (!exitFlushRegistered) exitFlushRegistered = std::atexit(flushOpenDumpAtExit) == 0;
  g_openDump = &output;
  XmlWriterState state;
  state.output = &output;
  state.indent = true;
  state.depth = 0;
  auto finish = [&]() {
    flushDump(&output);
    g_openDump = nullptr;
    if (std::fclose(stream) != 0) output.failed = true;
    std::free(output.buffer);
  };
  put(&state, "<?xml version=\"1.0\" encoding=\"");
  put(&state, encoding && *encoding ? encoding : "ISO-8859-1");
  put(&state, "\"?>\n");
  try {
    xmlWriteNode(nullptr, root, &state);
  } catch (...) {
    finish();
    throw;
  }
  finish();
  return !output.failed;
}

bool sqlexcAstDumpFile(const char* fileName, const char* encoding, astNode* root) {
  return writeAstXml(fileName, "w", encoding, root);
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

int astDumpNodeCount() { return g_nodeCounter; }

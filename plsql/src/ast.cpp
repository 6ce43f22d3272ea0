#include "ast.h"

#include <strings.h>

#include <cstring>

#include "run_pool.h"

astNode* astNodeNew(size_t size, int kind, int line) {
  if (size < sizeof(astNode)) size = sizeof(astNode);
  astNode* node = static_cast<astNode*>(poolAlloc(size));
  if (!node) return nullptr;
  std::memset(node, 0, size);
  node->kind = kind;
  node->line = line;
  return node;
}

astNodeToken* astTokenNew(int tokenCode, const char* text, int line) {
  astNodeToken* t = astNew<astNodeToken>(AST_TOKEN, line);
  t->tokenCode = tokenCode;
  t->text = poolStrdup(text);
  return t;
}

namespace {

struct KindInfo {
  const char* xmlType;
  const char* debugName;
};

const KindInfo* kindInfo(int kind) {
  static const KindInfo table[AST_KIND_COUNT] = {
      {"genericNode", "generic node"},
      {"genericStatement", "generic statement"},
      {"assign", "astNodeAssign"},
      {"block", "astNodeBlock"},
      {"call", "astNodeCall"},
      {"case", "astNodeCase"},
      {"caseExpr", "astNodeCaseExpr"},
      {"close", "astNodeClose"},
      {"ddl", nullptr},
      {"continue", "astNodeContinue"},
      {"createFunction", "astNodeCreateFunc"},
      {nullptr, nullptr},
      {"createPackageBody", "astNodeCreatePkgBody"},
      {"createPackageHead", "astNodeCreatePkgHead"},
      {"dropPackageBody", "astNodeDropPkgBody"},
      {"dropPackageHead", "astNodeDropPkgHead"},
      {"createProcedure", "astNodeCreateProc"},
      {"createTrigger", "astNodeCreateTrigger"},
      {"declaration", "astNodeDecl"},
      {"variableDeclaration", "astNodeVarDecl"},
      {"cursorDeclaration", "astNodeCursorDecl"},
      {"recordDeclaration", "astNodeRecordDecl"},
      {"tableDeclaration", "astNodeTableDecl"},
      {"refCursorDeclaration", "astNodeRefCursorDecl"},
      {"varrayDeclaration", "astNodeVarrayDecl"},
      {"exceptionDeclaration", "astNodeExceptionDecl"},
      {"dynamic", "astNodeDynamic"},
      {"exit", "astNodeExit"},
      {"fetch", "astNodeFetch"},
      {"for", "astNodeFor"},
      {"formalArg", "astNodeFormalArg"},
      {"functionPrototype", "astNodeFuncProto"},
      {"goto", "astNodeGoto"},
      {"handler", "astNodeHandler"},
      {"if", "astNodeIf"},
      {"elseIf", "astNodeElseIf"},
      {"list", "astNodeList"},
      {"loop", "astNodeLoop"},
      {"null", "astNodeNull"},
      {"open", "astNodeOpen"},
      {"pragma", "astNodePragma"},
      {"procedurePrototype", "astNodeProcProto"},
      {"raise", "astNodeRaise"},
      {"raiseApp", "astNodeRaiseApp"},
      {"return", "astNodeReturn"},
      {"select", "astNodeSelect"},
      {"sqlStatement", "astNodeSqlStmt"},
      {"token", "astNodeToken"},
      {"triggerVariable", "astNodeTriggerArg"},
      {"while", "astNodeWhile"},
      {"values", "astNodeValues"},
      {"signal", "astNodeSignal"},
      {"prepare", "astNodePrepare"},
      {"execute", "astNodeExecute"},
      {"getDiag", "astNodeGetDiag"},
      {"usingParam", nullptr},
      {nullptr, nullptr},
      {"ddl", nullptr}, {"ddl", nullptr}, {"ddl", nullptr}, {"ddl", nullptr}, {"ddl", nullptr},
      {"ddl", nullptr}, {"ddl", nullptr}, {"alterTrigger", nullptr}, {"ddl", nullptr}, {"ddl", nullptr},
      {"colDecl", nullptr},
      {nullptr, nullptr},
      {"constraint", nullptr},
      // 70 to 99
      {"ddl", nullptr}, {"ddl", nullptr}, {"ddl", nullptr}, {"ddl", nullptr}, {"ddl", nullptr},
      {"ddl", nullptr}, {"ddl", nullptr}, {"ddl", nullptr}, {"ddl", nullptr}, {"ddl", nullptr},
      {"ddl", nullptr}, {"ddl", nullptr}, {"ddl", nullptr}, {"ddl", nullptr}, {"ddl", nullptr},
      {"ddl", nullptr}, {"ddl", nullptr}, {"ddl", nullptr}, {"ddl", nullptr}, {"ddl", nullptr},
      {"ddl", nullptr}, {"ddl", nullptr}, {"ddl", nullptr}, {"ddl", nullptr}, {"ddl", nullptr},
      {"ddl", nullptr}, {"ddl", nullptr}, {"ddl", nullptr}, {"ddl", nullptr}, {"ddl", nullptr},
      {"error", nullptr},
      {"forall", "astNodeForall"},
      {"ddl", nullptr},
      {"javaSource", nullptr},
      {"objectDeclaration", nullptr},
      {"oraclePragma", nullptr},
      {"piperow", nullptr},
      {"ddl", nullptr},
      {"subType", nullptr},
  };
  if (kind < 0 || kind >= AST_KIND_COUNT) return nullptr;
  return &table[kind];
}

bool textEqualNoCase(const astNode* a, const astNode* b) {
  const char* ta = (a && a->kind == AST_TOKEN) ? static_cast<const astNodeToken*>(a)->text : nullptr;
  const char* tb = (b && b->kind == AST_TOKEN) ? static_cast<const astNodeToken*>(b)->text : nullptr;
  if (!ta || !tb) return ta == tb;
  return strcasecmp(ta, tb) == 0;
}

}  // namespace

const char* astNodeKindName(int kind) {
  const KindInfo* info = kindInfo(kind);
  return info && info->debugName ? info->debugName : "UNKNOWN";
}

const char* astNodeKindName(const astNode* node) { return node ? astNodeKindName(node->kind) : "<null>"; }

const char* astNodeXmlType(int kind) {
  const KindInfo* info = kindInfo(kind);
  return info ? info->xmlType : nullptr;
}

const char* astNodeObjType(int kind) {
  switch (kind) {
    case 8: return "comm";
    case 10: case 31: return "function";
    case 12: case 13: return "package";
    case 16: case 41: return "procedure";
    case 17: return "trigger";
    case 57: return "altClu";
    case 58: return "altDim";
    case 59: return "altOut";
    case 60: return "altRole";
    case 61: return "altRoll";
    case 62: return "altSeq";
    case 63: return "altTab";
    case 64: return "altTrig";
    case 65: return "altTS";
    case 66: return "altUsr";
    case 70: return "crtClu";
    case 71: return "crtLnk";
    case 72: return "crtDim";
    case 73: return "crtDir";
    case 74: return "crtIdx";
    case 75: return "crtOut";
    case 76: return "crtRole";
    case 77: return "crtRoll";
    case 78: return "crtSeq";
    case 79: return "crtSyn";
    case 80: return "crtTab";
    case 81: return "crtTS";
    case 82: return "crtTyp";
    case 83: return "crtUsr";
    case 84: return "crtVw";
    case 85: return "drpClu";
    case 86: return "drpLnk";
    case 87: return "drpDim";
    case 88: return "drpDir";
    case 89: return "drpIdx";
    case 90: return "drpOut";
    case 91: return "drpRole";
    case 92: return "drpRoll";
    case 93: return "drpSeq";
    case 94: return "drpSyn";
    case 95: return "drpTab";
    case 96: return "drpTS";
    case 97: return "drpTyp";
    case 98: return "drpUsr";
    case 99: return "drpVw";
    case 102: return "grant";
    case 107: return "revoke";
    default: return nullptr;
  }
}

const char* variableTypeName(int variableClass) {
  switch (variableClass) {
    case 0: return "scalar";
    case 1: return "cursor";
    case 2: return "record";
    case 3: return "table";
    case 4: return "refcursor";
    case 8: return "subtype";
    default: return "UNKNOWN";
  }
}

const char* constraintKindName(int consType) {
  switch (consType) {
    case 0: return "primary key";
    case 1: return "unique";
    case 3: return "foreign key";
    default: return "UNKNOWN";
  }
}

bool isPackage(const astNode* node) {
  return node && (node->kind == AST_CREATE_PKG_BODY || node->kind == AST_CREATE_PKG_HEAD);
}

bool isNotPackage(const astNode* node) { return !isPackage(node); }

bool isRoutine(const astNode* node) {
  return node && (node->kind == AST_CREATE_FUNCTION || node->kind == AST_CREATE_PROCEDURE ||
                  node->kind == AST_CREATE_TRIGGER);
}

bool isStatement(const astNode* node) {
  if (!node) return false;
  int k = node->kind;
  return (k >= 2 && k <= 5) || k == 7 || k == 9 || (k >= 26 && k <= 29) || k == 32 || k == 34 ||
         (k >= 37 && k <= 39) || (k >= 42 && k <= 46) || (k >= 49 && k <= 54) || k == 101 || k == 106;
}

bool isEnclosingUnit(const astNode* node) {
  if (!node) return false;
  int k = node->kind;
  return k == 3 || k == 10 || k == 12 || k == 13 || k == 16 || k == 17;
}

bool isDeclarationScope(const astNode* node) {
  return node && (node->kind == 3 || node->kind == 12 || node->kind == 13);
}

bool isLoop(const astNode* node) { return node && (node->kind == 29 || node->kind == 37 || node->kind == 49); }

bool isDumpUnit(const astNode* node) {
  if (!node) return false;
  int k = node->kind;
  return k == 8 || k == 10 || k == 12 || k == 13 || k == 16 || k == 17 || k == 31 || k == 41 ||
         (k >= 57 && k <= 66) || (k >= 70 && k <= 99) || k == 102 || k == 107;
}

bool astArgListsEqual(const astNodeList* a, const astNodeList* b, int prefixMode) {
  if (!a && !b) return true;
  if (!a || !b) return false;
  const astListCell* ca = a->head;
  const astListCell* cb = b->head;
  for (; ca && cb; ca = ca->next, cb = cb->next)
    if (!textEqualNoCase(ca->value, cb->value)) return false;
  if (ca || cb) return prefixMode == 1;
  return true;
}

bool astListStartsWith(const astNodeList* a, const astNodeList* b) {
  const astListCell* ca = a ? a->head : nullptr;
  const astListCell* cb = b ? b->head : nullptr;
  for (; ca; ca = ca->next, cb = cb->next) {
    if (!cb) return false;
    if (!textEqualNoCase(ca->value, cb->value)) return false;
  }
  return true;
}

// ---- lists ----

static astListCell* newCell(astNode* value) {
  astListCell* cell = static_cast<astListCell*>(poolAlloc(sizeof(astListCell)));
  cell->value = value;
  cell->next = nullptr;
  return cell;
}

astNodeList* listNew(astNode* node) {
  if (!node) return nullptr;
  astNodeList* list = astNew<astNodeList>(AST_LIST, -1);
  list->head = list->tail = newCell(node);
  list->count = 1;
  return list;
}

astNodeList* listAppend(astNodeList* list, astNode* node) {
  if (!node) return list;
  if (!list) return listNew(node);
  astListCell* cell = newCell(node);
  if (list->tail)
    list->tail->next = cell;
  else
    list->head = cell;
  list->tail = cell;
  list->count++;
  return list;
}

int listLength(const astNodeList* list) { return list ? list->count : 0; }
astNode* listFirst(const astNodeList* list) { return list && list->head ? list->head->value : nullptr; }
astNode* listLast(const astNodeList* list) { return list && list->tail ? list->tail->value : nullptr; }
astListCell* listCells(const astNodeList* list) { return list ? list->head : nullptr; }

astNodeList* listConcat(astNodeList* a, astNodeList* b) {
  if (!a) return b;
  if (!b) return a;
  if (a->tail)
    a->tail->next = b->head;
  else
    a->head = b->head;
  a->tail = b->tail;
  a->count += b->count;
  return a;
}

astNodeList* listFromChain(astNodeList* list, astListCell* first) {
  if (!first) return list;
  int n = 1;
  astListCell* last = first;
  while (last->next) {
    last = last->next;
    ++n;
  }
  if (!list) {
    list = astNew<astNodeList>(AST_LIST, -1);
    list->head = first;
  } else if (list->tail) {
    list->tail->next = first;
  } else {
    list->head = first;
  }
  list->tail = last;
  list->count += n;
  return list;
}

void listInsertAfter(astNode* node, astNode* existing, astNodeList* list) {
  if (!list) return;
  for (astListCell* c = list->head; c; c = c->next) {
    if (c->value == existing) {
      listInsertAfterCell(list, c, node);
      return;
    }
  }
}

astListCell* listInsertAfterCell(astNodeList* list, astListCell* cell, astNode* node) {
  if (!list || !cell) return nullptr;
  astListCell* inserted = newCell(node);
  inserted->next = cell->next;
  cell->next = inserted;
  if (list->tail == cell) list->tail = inserted;
  list->count++;
  return inserted;
}

void listRemoveAfter(astNodeList* list, astListCell* cell, astListCell* previous) {
  if (!list) return;
  if (!previous) cell = list->head;
  if (!cell) return;
  if (previous)
    previous->next = cell->next;
  else
    list->head = cell->next;
  if (list->tail == cell) list->tail = previous;
  list->count--;
  poolFree(cell);
}

void listRemoveFirst(astNodeList* list) { listRemoveAfter(list, nullptr, nullptr); }

astNodeList* listFilter(astNodeList* list, astListPredicate predicate) {
  astNodeList* out = nullptr;
  if (!list) return nullptr;
  for (astListCell* c = list->head; c; c = c->next)
    if (c->value && (!predicate || predicate(list, c))) out = listAppend(out, c->value);
  return out;
}

void* listApply(astNodeList* list, astListFunction function, void* userData) {
  void* result = nullptr;
  if (!list || !function) return nullptr;
  for (astListCell* c = list->head; c; c = c->next) result = function(list, c->value, userData);
  return result;
}

// ---- walking ----

static void walkList(astNodeList* list, astWalkCallback cb, void* data) {
  astWalk(list, cb, data);
}

void astWalk(astNode* node, astWalkCallback cb, void* data) {
  if (!node || !cb) return;
  int k = node->kind;
  if (k > 54 || k == 0 || k == 1 || k == 8 || k == 11 || k == 17 || k == 18 || k == 48) return;
  cb(node, data);
  switch (k) {
    case AST_ASSIGN: {
      auto* n = static_cast<astNodeAssign*>(node);
      walkList(n->target, cb, data);
      walkList(n->targetField, cb, data);
      walkList(n->targetIndex, cb, data);
      walkList(n->expr, cb, data);
      break;
    }
    case AST_BLOCK: {
      auto* n = static_cast<astNodeBlock*>(node);
      walkList(n->body, cb, data);
      walkList(n->exceptions, cb, data);
      walkList(n->declarations, cb, data);
      break;
    }
    case AST_CALL: {
      auto* n = static_cast<astNodeCall*>(node);
      walkList(n->name, cb, data);
      walkList(n->args, cb, data);
      break;
    }
    case AST_CASE: {
      auto* n = static_cast<astNodeCase*>(node);
      walkList(n->predicate, cb, data);
      walkList(n->values, cb, data);
      astWalk(n->defaultValue, cb, data);
      break;
    }
    case AST_CASE_EXPR: {
      auto* n = static_cast<astNodeCaseExpr*>(node);
      walkList(n->predicate, cb, data);
      walkList(n->body, cb, data);
      break;
    }
    case AST_CLOSE: walkList(static_cast<astNodeClose*>(node)->variable, cb, data); break;
    case AST_CONTINUE: walkList(static_cast<astNodeContinue*>(node)->expr, cb, data); break;
    case AST_CREATE_FUNCTION: {
      auto* n = static_cast<astNodeCreateFunc*>(node);
      walkList(n->args, cb, data);
      walkList(n->returns, cb, data);
      astWalk(n->body, cb, data);
      break;
    }
    case AST_CREATE_PKG_BODY: {
      auto* n = static_cast<astNodeCreatePkgBody*>(node);
      walkList(n->declarations, cb, data);
      walkList(n->initStatements, cb, data);
      walkList(n->prototypes, cb, data);
      walkList(n->types, cb, data);
      astWalk(n->constructor, cb, data);
      break;
    }
    case AST_CREATE_PKG_HEAD: walkList(static_cast<astNodeCreatePkgHead*>(node)->name, cb, data); break;
    case AST_DROP_PKG_BODY: walkList(static_cast<astNodeDropPkgBody*>(node)->name, cb, data); break;
    case AST_DROP_PKG_HEAD: walkList(static_cast<astNodeDropPkgHead*>(node)->name, cb, data); break;
    case AST_CREATE_PROCEDURE: {
      auto* n = static_cast<astNodeCreateProc*>(node);
      walkList(n->args, cb, data);
      astWalk(n->body, cb, data);
      break;
    }
    case AST_VAR_DECL: {
      auto* n = static_cast<astNodeVarDecl*>(node);
      walkList(n->variableName, cb, data);
      walkList(n->dataType, cb, data);
      walkList(n->defaultValue, cb, data);
      break;
    }
    case AST_CURSOR_DECL: {
      auto* n = static_cast<astNodeCursorDecl*>(node);
      walkList(n->variableName, cb, data);
      astWalk(n->query, cb, data);
      walkList(n->queryArgs, cb, data);
      break;
    }
    case AST_RECORD_DECL: {
      auto* n = static_cast<astNodeRecordDecl*>(node);
      walkList(n->variableName, cb, data);
      walkList(n->dataType, cb, data);
      break;
    }
    case AST_TABLE_DECL: {
      auto* n = static_cast<astNodeTableDecl*>(node);
      walkList(n->variableName, cb, data);
      walkList(n->dataType, cb, data);
      break;
    }
    case AST_REFCURSOR_DECL: {
      auto* n = static_cast<astNodeRefCursorDecl*>(node);
      walkList(n->variableName, cb, data);
      walkList(n->dataType, cb, data);
      break;
    }
    case AST_VARRAY_DECL: {
      auto* n = static_cast<astNodeVarrayDecl*>(node);
      walkList(n->variableName, cb, data);
      walkList(n->dataType, cb, data);
      break;
    }
    case AST_EXCEPTION_DECL: walkList(static_cast<astNodeExceptionDecl*>(node)->variableName, cb, data); break;
    case AST_DYNAMIC: {
      auto* n = static_cast<astNodeDynamic*>(node);
      walkList(n->expr, cb, data);
      walkList(n->into, cb, data);
      walkList(n->using_, cb, data);
      break;
    }
    case AST_EXIT: walkList(static_cast<astNodeExit*>(node)->expr, cb, data); break;
    case AST_FETCH: {
      auto* n = static_cast<astNodeFetch*>(node);
      walkList(n->variable, cb, data);
      walkList(n->expr, cb, data);
      break;
    }
    case AST_FOR: {
      auto* n = static_cast<astNodeFor*>(node);
      walkList(n->index, cb, data);
      walkList(n->expr, cb, data);
      walkList(n->body, cb, data);
      astWalk(n->expansion, cb, data);
      break;
    }
    case AST_FORMAL_ARG: {
      auto* n = static_cast<astNodeFormalArg*>(node);
      walkList(n->name, cb, data);
      walkList(n->dataType, cb, data);
      walkList(n->defaultValue, cb, data);
      break;
    }
    case AST_FUNC_PROTO: {
      auto* n = static_cast<astNodeFuncProto*>(node);
      walkList(n->name, cb, data);
      walkList(n->args, cb, data);
      walkList(n->returns, cb, data);
      break;
    }
    case AST_GOTO: walkList(static_cast<astNodeGoto*>(node)->target, cb, data); break;
    case AST_HANDLER: {
      auto* n = static_cast<astNodeHandler*>(node);
      walkList(n->conditions, cb, data);
      walkList(n->body, cb, data);
      break;
    }
    case AST_IF: {
      auto* n = static_cast<astNodeIf*>(node);
      walkList(n->expr, cb, data);
      walkList(n->body, cb, data);
      astWalk(n->elseIf, cb, data);
      walkList(n->elseBody, cb, data);
      break;
    }
    case AST_ELSE_IF: {
      auto* n = static_cast<astNodeElseIf*>(node);
      walkList(n->expr, cb, data);
      walkList(n->body, cb, data);
      astWalk(n->elseIf, cb, data);
      break;
    }
    case AST_LIST:
      for (astListCell* c = static_cast<astNodeList*>(node)->head; c; c = c->next) astWalk(c->value, cb, data);
      break;
    case AST_LOOP: walkList(static_cast<astNodeLoop*>(node)->body, cb, data); break;
    case AST_OPEN: {
      auto* n = static_cast<astNodeOpen*>(node);
      walkList(n->variable, cb, data);
      astWalk(n->query, cb, data);
      walkList(n->args, cb, data);
      break;
    }
    case AST_PRAGMA: {
      auto* n = static_cast<astNodePragma*>(node);
      walkList(n->name, cb, data);
      walkList(n->value, cb, data);
      break;
    }
    case AST_PROC_PROTO: {
      auto* n = static_cast<astNodeProcProto*>(node);
      walkList(n->name, cb, data);
      walkList(n->args, cb, data);
      break;
    }
    case AST_RAISE: walkList(static_cast<astNodeRaise*>(node)->exceptionName, cb, data); break;
    case AST_RAISE_APP: {
      auto* n = static_cast<astNodeRaiseApp*>(node);
      walkList(n->parms, cb, data);
      astWalk(n->expansion, cb, data);
      break;
    }
    case AST_RETURN: walkList(static_cast<astNodeReturn*>(node)->expr, cb, data); break;
    case AST_SELECT: walkList(static_cast<astNodeSelect*>(node)->fromClause, cb, data); break;
    case AST_SQL_STMT: {
      auto* n = static_cast<astNodeSqlStmt*>(node);
      walkList(n->body, cb, data);
      walkList(n->returning, cb, data);
      break;
    }
    case AST_WHILE: {
      auto* n = static_cast<astNodeWhile*>(node);
      walkList(n->expr, cb, data);
      walkList(n->body, cb, data);
      break;
    }
    case AST_VALUES: {
      auto* n = static_cast<astNodeValues*>(node);
      walkList(n->targets, cb, data);
      walkList(n->sources, cb, data);
      break;
    }
    case AST_SIGNAL: walkList(static_cast<astNodeSignal*>(node)->message, cb, data); break;
    case AST_EXECUTE: {
      auto* n = static_cast<astNodeExecute*>(node);
      walkList(n->into, cb, data);
      walkList(n->using_, cb, data);
      break;
    }
    case AST_GET_DIAG: {
      auto* n = static_cast<astNodeGetDiag*>(node);
      walkList(n->target, cb, data);
      walkList(n->source, cb, data);
      break;
    }
    default:  // null, token, prepare: callback only
      break;
  }
}

#include "ast.h"

#include <strings.h>

#include <cstring>

#include "ast_walk.h"
#include "deep_walk.h"
#include "kind_index.h"
#include "run_pool.h"

astNode* astNodeNew(size_t size, int kind, int line) {
  if (size < sizeof(astNode)) size = sizeof(astNode);
  astNode* node = static_cast<astNode*>(poolBump(size));
  if (!node) return nullptr;  // zero-filled
  node->kind = kind;
  node->line = line;
  return node;
}

astNodeToken* astTokenNew(int tokenCode, const char* text, int line) {
  astNodeToken* t = astMake<astNodeToken>(line);
  t->tokenCode = tokenCode;
  t->text = poolBumpStrdup(text);
  return t;
}

namespace {

struct KindInfo {
  int number;
  const char* xmlType;
  const char* debugName;
  const char* objType;
  int traits;
};

constexpr KindInfo kKinds[] = {
#define AST_KIND(enumerator, number, xmlType, debugName, objType, traits) {number, xmlType, debugName, objType, traits},
#include "ast_kinds.def"
};

constexpr bool kindsAreNumberedInOrder() {
  int expected = 0;
  for (const KindInfo& info : kKinds)
    if (info.number != expected++) return false;
  return expected == AST_KIND_COUNT;
}
static_assert(kindsAreNumberedInOrder(), "ast_kinds.def must list every kind number once, in order");

// The rows of ast_kinds.def against the roles of ast_nodes.def: a row that
// follows a field (walk, rewriting, statements, stand-in, drawing, dumped
// subtree) names a child of its kind's record, a dumped value names a flag,
// text or number, and every child is named by some row.
constexpr bool sameText(const char* a, const char* b) {
  while (*a && *a == *b) ++a, ++b;
  return *a == *b;
}

struct RowField {
  int kind;
  const char* field;
  bool followed;
};

constexpr RowField kRowFields[] = {
#define AST_WALK(kind, field) {kind, #field, true},
#define AST_REWRITE(kind, field) {kind, #field, true},
#define AST_STATEMENTS(kind, field) {kind, #field, true},
#define AST_STAND_IN(kind, field) {kind, #field, true},
#define AST_DOT_CHILD(kind, field, port) {kind, #field, true},
#define AST_DUMP(kind, field, xmlName, writer) {kind, #field, sameText(#writer, "child")},
#include "ast_kinds.def"
};

// Where each record's fields start in kAstSchemaFields (a record's fields
// are together there); -1 for a record without fields.
struct FirstFields {
  int first[ASTS_COUNT];
};
constexpr FirstFields makeFirstFields() {
  FirstFields table{};
  for (int& first : table.first) first = -1;
  int index = 0;
  for (const astSchemaField& field : kAstSchemaFields) {
    if (table.first[field.schema] < 0) table.first[field.schema] = index;
    ++index;
  }
  return table;
}
constexpr FirstFields kFirstFields = makeFirstFields();
constexpr int kFieldCount = sizeof kAstSchemaFields / sizeof kAstSchemaFields[0];

// The index of the field of record schema or of one of its bases; -1 if none.
constexpr int schemaField(int schema, const char* name) {
  for (int s = schema; s >= 0; s = kAstSchemaBase[s])
    for (int i = kFirstFields.first[s]; i >= 0 && i < kFieldCount && kAstSchemaFields[i].schema == s; ++i)
      if (sameText(kAstSchemaFields[i].name, name)) return i;
  return -1;
}

constexpr bool rowsFitRoles() {
  bool named[kFieldCount] = {};
  for (const RowField& row : kRowFields) {
    int index = schemaField(kAstKindSchemaTable.schema[row.kind], row.field);
    if (index < 0) return false;
    astRole role = kAstSchemaFields[index].role;
    bool child = role == astRole::child;
    bool value = role == astRole::flag || role == astRole::text || role == astRole::number;
    if (row.followed ? !child : !value) return false;
    if (row.followed) named[index] = true;
  }
  for (int i = 0; i < kFieldCount; ++i)
    if (kAstSchemaFields[i].role == astRole::child && !named[i]) return false;
  return true;
}
static_assert(rowsFitRoles(), "a row of ast_kinds.def and a role of ast_nodes.def disagree");

const KindInfo* kindInfo(int kind) {
  if (!isKindNumber(kind)) return nullptr;
  return &kKinds[kind];
}

bool textEqualNoCase(const astNode* a, const astNode* b) {
  const char* ta = (a && a->kind == AST_TOKEN) ? nodeAs<const astNodeToken>(a)->text : nullptr;
  const char* tb = (b && b->kind == AST_TOKEN) ? nodeAs<const astNodeToken>(b)->text : nullptr;
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
  const KindInfo* info = kindInfo(kind);
  return info ? info->objType : nullptr;
}


const char* variableTypeName(int variableClass) {
  switch (variableClass) {
    case VAR_SCALAR:
      return "scalar";
    case VAR_CURSOR:
      return "cursor";
    case VAR_RECORD:
      return "record";
    case VAR_TABLE:
      return "table";
    case VAR_REFCURSOR:
      return "refcursor";
    case VAR_SUBTYPE:
      return "subtype";
    default:
      return "UNKNOWN";
  }
}

const char* constraintKindName(int consType) {
  switch (consType) {
    case CONSTRAINT_PRIMARY_KEY:
      return "primary key";
    case CONSTRAINT_UNIQUE:
      return "unique";
    case CONSTRAINT_FOREIGN_KEY:
      return "foreign key";
    default:
      return "UNKNOWN";
  }
}


bool isNotPackage(const astNode* node) { return !isPackage(node); }

astNodeList* astPackageName(const astNode* node) {
  if (!node) return nullptr;
  if (node->kind == AST_CREATE_PKG_HEAD) return nodeAs<const astNodeCreatePkgHead>(node)->name;
  if (node->kind == AST_CREATE_PKG_BODY) return nodeAs<const astNodeCreatePkgBody>(node)->name;
  return nullptr;
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
  astListCell* cell = static_cast<astListCell*>(poolBump(sizeof(astListCell)));
  cell->value = value;
  cell->next = nullptr;
  return cell;
}

static astNodeList* newListNode(astNodeList** spares) {
  astNodeList* list = spares ? *spares : nullptr;
  if (!list) return astMake<astNodeList>(-1);
  *spares = nodeAs<astNodeList>(list->parent);
  std::memset(static_cast<void*>(list), 0, sizeof *list);
  list->kind = AST_LIST;
  list->line = -1;
  return list;
}

astNodeList* listNew(astNode* node) { return listNewFrom(nullptr, node); }

astNodeList* listNewFrom(astNodeList** spares, astNode* node) {
  if (!node) return nullptr;
  astNodeList* list = newListNode(spares);
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

astNodeList* listAbsorb(astNodeList* a, astNodeList* b, astNodeList** spares) {
  astNodeList* joined = listConcat(a, b);
  // The spares are linked through their parent field.
  if (b && joined != b && spares) {
    b->parent = *spares;
    *spares = b;
  }
  return joined;
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
    list = newListNode(nullptr);
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

astListCell* listCellOf(const astNodeList* list, const astNode* node) {
  for (astListCell* c = listCells(list); c; c = c->next)
    if (c->value == node) return c;
  return nullptr;
}

void listInsertAfter(astNode* node, astNode* existing, astNodeList* list) {
  listInsertAfterCell(list, listCellOf(list, existing), node);
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
  // The cell is bump memory: it goes with the pool.
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

namespace {

// The children astWalk visits, grouped by kind in visiting order.
constexpr KindChild kWalkChildren[] = {
#define AST_WALK(kind, field) KIND_CHILD_ROW(kind, field)
#include "ast_kinds.def"
};

constexpr KindIndex kWalkIndex(kWalkChildren);

}  // namespace

void astWalkAround(astNode* node, astWalkCallback enter, astWalkCallback leave, void* data) {
  if (!node) return;
  deep_walk_check();
  int k = node->kind;
  if (!(astKindTraits(k) & KIND_WALKED)) return;
  if (enter) enter(node, data);
  if (k == AST_LIST) {
    for (astListCell* c = nodeAs<astNodeList>(node)->head; c; c = c->next)
      astWalkAround(c->value, enter, leave, data);
  } else {
    for (const KindChild& child : kWalkIndex.rowsOf(k)) astWalkAround(child.get(node), enter, leave, data);
  }
  if (leave) leave(node, data);
}

void astWalk(astNode* node, astWalkCallback cb, void* data) {
  if (cb) astWalkAround(node, cb, nullptr, data);
}

std::span<const KindChild> astWalkChildren(int kind) { return kWalkIndex.rowsOf(kind); }

namespace {

// The callbacks of astWalkAroundSkipping as a visitor.
struct Callbacks {
  astWalkCallback enterCallback;
  astWalkCallback leaveCallback;
  void* data;
  void enter(astNode* node) {
    if (enterCallback) enterCallback(node, data);
  }
  void leave(astNode* node) {
    if (leaveCallback) leaveCallback(node, data);
  }
  void token(astNodeToken*, astNode*) {}
};

}  // namespace

void astWalkAroundSkipping(astNode* node, astWalkCallback enter, astWalkCallback leave,
                           astNode* (*skip)(astNode* node), void* data) {
  Callbacks callbacks{enter, leave, data};
  astWalkAroundWith<false>(node, callbacks, skip);
}

void astWalkSkipping(astNode* node, astWalkCallback cb, astNode* (*skip)(astNode* node), void* data) {
  if (cb) astWalkAroundSkipping(node, cb, nullptr, skip, data);
}

astNode* astRewrittenPart(astNode* node) {
  if (node->kind != AST_FOR) return nullptr;
  auto* loop = nodeAs<astNodeFor>(node);
  return loop->expansion ? loop->body : nullptr;
}

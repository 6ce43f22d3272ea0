// Syntax tree of a PL/SQL source: node kinds, node records, counted lists of
// nodes, token nodes, kind names and predicates, and the pre-order walker.
//
// Nodes come zero-filled from the run pool's bump memory (astMake), as do
// list cells and token texts: none is ever freed one by one. An empty list
// is always null, never a list of count 0.
#pragma once

#include <cassert>
#include <cstddef>
#include <type_traits>

// Kinds of nodes: the numbers, names and children of each are in ast_kinds.def,
// their records and fields in ast_nodes.def.
enum astNodeKind {
#define AST_KIND(enumerator, number, xmlType, debugName, objType, traits) enumerator = number,
#include "ast_kinds.def"
  AST_KIND_COUNT
};

// Whether a number is that of a kind: the per-kind tables are looked up by it.
constexpr bool isKindNumber(int kind) { return kind >= 0 && kind < AST_KIND_COUNT; }

// Traits of a kind (the traits column of ast_kinds.def).
enum {
  KIND_STATEMENT = 1,      // carries a statement head (label)
  KIND_UNIT = 2,           // a unit of the XML dump's object path
  KIND_WALKED = 4,         // astWalk calls back on it
  KIND_CONTENT = 8,        // the XML dump writes something inside its element
  KIND_UNTRANSLATED = 16,  // has no form in the target dialect
  KIND_DECLARATION = 32    // carries the declaration head (astNodeDecl)
};

// Classes of declarations (declaration head, variableType).
enum {
  VAR_SCALAR = 0,
  VAR_CURSOR = 1,
  VAR_RECORD = 2,
  VAR_TABLE = 3,
  VAR_REFCURSOR = 4,
  VAR_VARRAY = 5,
  VAR_EXCEPTION = 6,
  VAR_EXCEPTION_INIT = 7,
  VAR_SUBTYPE = 8
};

// Argument modes (formalArg.mode, usingParam.argMode).
enum { ARG_IN = 0, ARG_OUT = 1, ARG_IN_OUT = 2 };

// Codes of number fields: trigger points and events, loop forms, trigger
// variables, diagnostics, constraints.
enum { TRIGGER_BEFORE = 0, TRIGGER_AFTER = 1, TRIGGER_FOR = 2, TRIGGER_INSTEAD_OF = 3 };
enum { TRIGGER_INSERT = 1, TRIGGER_UPDATE = 2, TRIGGER_DELETE = 4 };
enum { FOR_NUMERIC = 1, FOR_CURSOR = 2, FOR_SELECT = 3 };
enum { TRIGGER_VAR_NEW = 0, TRIGGER_VAR_OLD = 1, TRIGGER_VAR_PARENT = 2 };
enum { DIAG_RETURN_STATUS = 0, DIAG_ROW_COUNT = 1, DIAG_MESSAGE_TEXT = 2 };
enum { CONSTRAINT_PRIMARY_KEY = 0, CONSTRAINT_UNIQUE = 1, CONSTRAINT_CHECK = 2, CONSTRAINT_FOREIGN_KEY = 3 };
enum { FORALL_LOOP_INDICES = 0, FORALL_LOOP_VALUES = 1, FORALL_LOOP_RANGE = 2 };

struct astNode;

struct astListCell {
  astNode* value;
  astListCell* next;
};

// The node records, from the node schema. Each knows its place in the
// schema (schemaId) and its base's (kAstSchemaBase).
enum astSchemaId {
#define AST_ROOT(type) ASTS_##type,
#define AST_NODE(type, base) ASTS_##type,
#include "ast_nodes.def"
  ASTS_COUNT
};

#define AST_ROOT(type) struct type;
#define AST_NODE(type, base) struct type;
#include "ast_nodes.def"

#define AST_ROOT(type) \
  struct type {        \
    static constexpr int schemaId = ASTS_##type;
#define AST_NODE(type, base) \
  struct type : base {       \
    static constexpr int schemaId = ASTS_##type;
#define AST_FIELD(type, role, fieldType, name) fieldType name;
#define AST_END(type) };
#include "ast_nodes.def"

// Roles of the schema's fields.
enum class astRole { child, link, aside, cells, flag, text, number };

constexpr int kAstSchemaBase[] = {
#define AST_ROOT(type) -1,
#define AST_NODE(type, base) ASTS_##base,
#include "ast_nodes.def"
};

struct astSchemaField {
  int schema;
  const char* name;
  astRole role;
};

// Every field of the schema in layout order; an unknown or missing role
// does not compile here.
#define AST_SCHEMA_FIELD_ROW(type, role, fieldType, name) {ASTS_##type, #name, astRole::role},
constexpr astSchemaField kAstSchemaFields[] = {
#define AST_FIELD AST_SCHEMA_FIELD_ROW
#include "ast_nodes.def"
};

struct astKindSchema {
  int kind;
  int schema;
};

constexpr astKindSchema kAstKindSchemas[] = {
#define AST_KIND_OF(kind, type) {kind, ASTS_##type},
#include "ast_nodes.def"
};

// The record of a kind: astRecordOf<AST_IF> is astNodeIf.
template <int Kind>
struct astRecordOfKind;
#define AST_KIND_OF(kind, type)      \
  template <>                        \
  struct astRecordOfKind<kind> {     \
    using record = type;             \
  };
#include "ast_nodes.def"
template <int Kind>
using astRecordOf = typename astRecordOfKind<Kind>::record;

// Each field's role fits its type.
template <class F>
constexpr bool astRoleFits(astRole role) {
  using P = std::remove_pointer_t<F>;
  switch (role) {
    case astRole::child:
    case astRole::link:
    case astRole::aside: return std::is_pointer_v<F> && std::is_base_of_v<astNode, P>;
    case astRole::cells: return std::is_same_v<F, astListCell*>;
    case astRole::flag: return std::is_same_v<F, bool>;
    case astRole::text: return std::is_same_v<F, char*>;
    case astRole::number: return std::is_integral_v<F> && !std::is_same_v<F, bool>;
  }
  return false;
}
#define AST_SCHEMA_FIELD_CHECK(type, role, fieldType, name) \
  static_assert(astRoleFits<decltype(type::name)>(astRole::role), #type "::" #name ": the role does not fit the type");
#define AST_FIELD AST_SCHEMA_FIELD_CHECK
#include "ast_nodes.def"

// The record of each kind, by kind number (-1: none).
struct astKindSchemaTableType {
  int schema[AST_KIND_COUNT];
};
constexpr astKindSchemaTableType makeKindSchemaTable() {
  astKindSchemaTableType table{};
  for (int& schema : table.schema) schema = -1;
  for (const astKindSchema& row : kAstKindSchemas) table.schema[row.kind] = row.schema;
  return table;
}
constexpr astKindSchemaTableType kAstKindSchemaTable = makeKindSchemaTable();

constexpr bool everyKindHasOneRecord() {
  int rows[AST_KIND_COUNT] = {};
  for (const astKindSchema& row : kAstKindSchemas) {
    if (!isKindNumber(row.kind)) return false;
    ++rows[row.kind];
  }
  for (int count : rows)
    if (count != 1) return false;
  return true;
}
static_assert(everyKindHasOneRecord(), "ast_nodes.def must give every kind one record (AST_KIND_OF)");

// The kind of record schema when it is the record of one kind only; else -1.
constexpr int astOnlyKindOf(int schema) {
  int kind = -1;
  for (const astKindSchema& row : kAstKindSchemas) {
    if (row.schema != schema) continue;
    if (kind >= 0) return -1;
    kind = row.kind;
  }
  return kind;
}

// Whether a node of the kind is a record schema, or one derived from it.
constexpr bool astKindIsA(int kind, int schema) {
  if (!isKindNumber(kind)) return false;
  for (int s = kAstKindSchemaTable.schema[kind]; s >= 0; s = kAstSchemaBase[s])
    if (s == schema) return true;
  return false;
}

// ---- allocation and names ----

// A zero-filled node of size bytes; astMake is the typed form.
astNode* astNodeNew(size_t size, int kind, int line);

// A node of the one kind of record T: astMake<astNodeIf>(line).
template <class T>
inline T* astMake(int line) {
  constexpr int kind = astOnlyKindOf(T::schemaId);
  static_assert(kind >= 0, "several kinds share this record: name the kind, astMake<T>(kind, line)");
  return static_cast<T*>(astNodeNew(sizeof(T), kind, line));
}

// A node of record T of the given kind, one of those T stands for.
template <class T>
inline T* astMake(int kind, int line) {
  assert(isKindNumber(kind) && kAstKindSchemaTable.schema[kind] == T::schemaId);
  return static_cast<T*>(astNodeNew(sizeof(T), kind, line));
}

// The node as record T, checked: null stays null, and a node whose kind is
// not of T (nor of a record derived from T) fails the assertion. Builds
// without assertions make it the plain static_cast, so that the output of a
// valid tree is the same whichever build runs.
template <class T, class N>
inline T* nodeAs(N* node) {
  static_assert(std::is_base_of_v<astNode, std::remove_cv_t<N>>, "nodeAs takes a node");
  assert(!node || astKindIsA(node->kind, std::remove_cv_t<T>::schemaId));
  return static_cast<T*>(node);
}

// The KIND_* traits of each kind, by kind number.
struct astKindTraitsTableType {
  int traits[AST_KIND_COUNT];
};
constexpr astKindTraitsTableType makeKindTraitsTable() {
  astKindTraitsTableType table{};
  struct Row {
    int kind;
    int traits;
  };
  constexpr Row rows[] = {
#define AST_KIND(enumerator, number, xmlType, debugName, objType, traits) {number, traits},
#include "ast_kinds.def"
  };
  for (const Row& row : rows) table.traits[row.kind] = row.traits;
  return table;
}
constexpr astKindTraitsTableType kAstKindTraits = makeKindTraitsTable();

const char* astNodeKindName(int kind);
const char* astNodeKindName(const astNode* node);  // "<null>" for null
// Type attribute of the XML dump; null for kinds that have none.
const char* astNodeXmlType(int kind);
// objtype attribute of the XML dump ("crtTab", "function", ...); null if none.
const char* astNodeObjType(int kind);
// The KIND_* traits of a kind; 0 for a number that is no kind. Inline, as
// the kind predicates below: every walk asks them at every node.
inline int astKindTraits(int kind) { return isKindNumber(kind) ? kAstKindTraits.traits[kind] : 0; }
const char* variableTypeName(int variableClass);
const char* constraintKindName(int consType);

inline bool isPackage(const astNode* node);
// The name of a package node (spec or body); null for any other node.
astNodeList* astPackageName(const astNode* node);
bool isNotPackage(const astNode* node);
inline bool isRoutine(const astNode* node);
inline bool isStatement(const astNode* node);
// Carries the declaration head; false for null.
inline bool isDeclaration(const astNode* node);
// A declaration that has a form in the target dialect.
inline bool isTranslatedDeclaration(const astNode* node);
inline bool isEnclosingUnit(const astNode* node);
inline bool isDeclarationScope(const astNode* node);
inline bool isLoop(const astNode* node);
inline bool isDumpUnit(const astNode* node);

bool astArgListsEqual(const astNodeList* a, const astNodeList* b, int prefixMode);
bool astListStartsWith(const astNodeList* a, const astNodeList* b);
// Whether two subtrees say the same in the source: the same kinds, the
// same fields as the XML dump writes them (lines apart) and the same
// statement labels, words in any case.
bool astSameSource(const astNode* a, const astNode* b);

// Token node with a pool copy of the text (null text stays null).
astNodeToken* astTokenNew(int tokenCode, const char* text, int line);

// ---- written text ----

// The blanks between the tokens of a written token list: one between two
// tokens unless the second begins with "(", ")" or "," or the first with
// "(". A token the translation makes for a text of several tokens says
// what follows it there (TOKEN_SPACING_*).
enum { TOKEN_SPACING_RULE = 0, TOKEN_SPACING_GLUED = 1, TOKEN_SPACING_SPACED = 2 };
inline bool astBlankAfter(const astNodeToken* token) {
  if (token->spacing == TOKEN_SPACING_GLUED) return false;
  if (token->spacing == TOKEN_SPACING_SPACED) return true;
  return !token->text || token->text[0] != '(';
}
inline bool astTakesBlankBefore(const char* text) { return text[0] != '(' && text[0] != ')' && text[0] != ','; }

// ---- lists ----

astNodeList* listNew(astNode* node);
astNodeList* listAppend(astNodeList* list, astNode* node);
int listLength(const astNodeList* list);
astNode* listFirst(const astNodeList* list);
astNode* listLast(const astNodeList* list);
astListCell* listCells(const astNodeList* list);
// The cell of list that holds node, or null.
astListCell* listCellOf(const astNodeList* list, const astNode* node);
astNodeList* listConcat(astNodeList* a, astNodeList* b);
astNodeList* listFromChain(astNodeList* list, astListCell* first);
// listConcat for a list b that nothing else refers to: its cells move to the
// end of a and its own node goes onto *spares (when given), for listNewFrom.
astNodeList* listAbsorb(astNodeList* a, astNodeList* b, astNodeList** spares);
// listNew that reuses a list node of *spares (nodes listAbsorb gave back, of
// the same pool) when there is one.
astNodeList* listNewFrom(astNodeList** spares, astNode* node);
void listInsertAfter(astNode* node, astNode* existing, astNodeList* list);
// Inserts a new cell holding node right after `cell` (a cell of list) and
// returns it; for callers that already hold the insertion point.
astListCell* listInsertAfterCell(astNodeList* list, astListCell* cell, astNode* node);
void listRemoveAfter(astNodeList* list, astListCell* cell, astListCell* previous);
void listRemoveFirst(astNodeList* list);

typedef bool (*astListPredicate)(astNodeList* list, astListCell* cell);
typedef void* (*astListFunction)(astNodeList* list, astNode* element, void* userData);
astNodeList* listFilter(astNodeList* list, astListPredicate predicate);
void* listApply(astNodeList* list, astListFunction function, void* userData);

// ---- walking ----

typedef void (*astWalkCallback)(astNode* node, void* userData);
void astWalk(astNode* node, astWalkCallback callback, void* userData);
// The same walk, with leave called on each node after its children (either
// callback may be null).
void astWalkAround(astNode* node, astWalkCallback enter, astWalkCallback leave, void* userData);
// astWalk that does not enter the child `skip` gives for a node (null: none),
// for a node the walk meets elsewhere.
void astWalkSkipping(astNode* node, astWalkCallback callback, astNode* (*skip)(astNode* node), void* userData);
void astWalkAroundSkipping(astNode* node, astWalkCallback enter, astWalkCallback leave,
                           astNode* (*skip)(astNode* node), void* userData);
// The same walk as a template over a visitor that the compiler sees, and
// with the tokens of lists apart: ast_walk.h.
// A skip for the walks above: a FOR loop's body once its expansion holds
// it. astWalk meets such a body twice, and a body nested in n loops 2^n
// times; a walk that asks only what the nodes hold meets it once.
astNode* astRewrittenPart(astNode* node);

// ---- kind predicates ----

inline bool isPackage(const astNode* node) {
  return node && (node->kind == AST_CREATE_PKG_BODY || node->kind == AST_CREATE_PKG_HEAD);
}
inline bool isRoutine(const astNode* node) {
  return node &&
         (node->kind == AST_CREATE_FUNCTION || node->kind == AST_CREATE_PROCEDURE || node->kind == AST_CREATE_TRIGGER);
}
inline bool isStatement(const astNode* node) { return node && (astKindTraits(node->kind) & KIND_STATEMENT); }
inline bool isDeclaration(const astNode* node) { return node && (astKindTraits(node->kind) & KIND_DECLARATION); }
inline bool isTranslatedDeclaration(const astNode* node) {
  return isDeclaration(node) && !(astKindTraits(node->kind) & KIND_UNTRANSLATED);
}
inline bool isEnclosingUnit(const astNode* node) {
  return node && (node->kind == AST_BLOCK || isRoutine(node) || isPackage(node));
}
inline bool isDeclarationScope(const astNode* node) { return node && (node->kind == AST_BLOCK || isPackage(node)); }
inline bool isLoop(const astNode* node) {
  return node && (node->kind == AST_FOR || node->kind == AST_LOOP || node->kind == AST_WHILE);
}
inline bool isDumpUnit(const astNode* node) { return node && (astKindTraits(node->kind) & KIND_UNIT); }

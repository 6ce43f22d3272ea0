// Syntax tree of a PL/SQL source: node kinds, node records, counted lists of
// nodes, token nodes, kind names and predicates, and the pre-order walker.
//
// Nodes come zero-filled from the run pool's bump memory (astNodeNew), as do
// list cells and token texts: none is ever freed one by one. An empty list
// is always null, never a list of count 0.
#pragma once

#include <cstddef>

// Kinds of nodes: the numbers, names and children of each are in ast_kinds.def.
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

struct astNode;
struct astNodeList;

struct astListCell {
  astNode* value;
  astListCell* next;
};

// Head of every node.
struct astNode {
  int kind;
  int line;         // counted from 0; -1 for lists and made-up nodes
  astNode* parent;  // set by the rewriting pass
};

struct astNodeList : astNode {
  int count;
  astListCell* head;
  astListCell* tail;
};

struct astNodeToken : astNode {
  int tokenCode;
  bool qualified;  // beside the code: a token is the tree's most frequent node
  char* text;
};

// Statement head: every statement kind carries its source label.
struct astNodeStatement : astNode {
  char* label;
};

// Common head of the declarations.
struct astNodeDecl : astNode {
  int variableType;
  astNodeList* variableName;
  int nameLength;
  astNode* package;
};

struct astNodeBlock;
struct astNodeCaseExpr;
struct astNodeElseIf;
struct astNodePrepare;
struct astNodeAssign;
struct astNodeTriggerArg;

struct astNodeAssign : astNodeStatement {
  astNodeList* target;
  astNodeList* targetField;
  astNodeList* targetIndex;
  astNodeList* expr;
  astNode* callForm;
};

struct astNodeBlock : astNodeStatement {
  astNodeList* declarations;
  astNodeList* prologue;
  astNodeList* body;
  astNodeList* exceptions;
  unsigned int maxNameLength;
  bool atomic;
  bool anonymous;
  bool usesSqlcode;
  bool usesSqlstate;
  bool usesSqlerrm;
  bool usesRowcount;
  bool usesFound;
  bool usesNotfound;
};

struct astNodeCall : astNodeStatement {
  astNodeList* name;
  astNodeList* args;
  astNode* rewrite;
};

struct astNodeCase : astNodeStatement {
  astNodeList* predicate;
  astNodeList* values;
  astNodeCaseExpr* defaultValue;
};

struct astNodeCaseExpr : astNode {
  astNodeList* predicate;
  astNodeList* body;
};

struct astNodeClose : astNodeStatement {
  astNodeList* variable;
};

struct astNodeContinue : astNodeStatement {
  astNodeList* expr;
  char* target;
};

struct astNodeCreateFunc : astNode {
  astNodeList* name;
  bool REPLACE;
  bool WRAPPED;
  astNodeList* options;
  astNodeList* args;
  astNodeList* returns;
  astNodeBlock* body;
  astNode* package;
  bool modifiesData;  // written with the target's MODIFIES SQL DATA
};

struct astNodeCreatePkgBody : astNode {
  astNodeList* name;
  bool REPLACE;
  bool WRAPPED;
  astNodeList* elements;
  astNodeList* declarations;
  astNodeList* initStatements;
  astNodeList* forwardDeclarations;
  astNodeList* types;
  int maxNameLength;
  astNodeList* prototypes;
  astNode* constructor;
};

struct astNodeCreatePkgHead : astNode {
  astNodeList* name;
  bool REPLACE;
  bool WRAPPED;
  astNodeList* elements;
  astNodeList* declarations;
  astNodeList* initStatements;
  astNodeList* prototypes;
  astNodeList* types;
  int maxNameLength;
  bool AUTHID;  // set: definer's rights
};

struct astNodeDropPkgBody : astNode {
  astNodeList* name;
};

struct astNodeDropPkgHead : astNode {
  astNodeList* name;
};

struct astNodeCreateProc : astNode {
  astNodeList* name;
  bool REPLACE;
  bool AUTHID;
  bool AUTONOMOUS;
  bool WRAPPED;
  astNodeList* args;
  astNodeBlock* body;
  astNode* package;
};

// Trigger points and event bits.
enum { TRIGGER_BEFORE = 0, TRIGGER_AFTER = 1, TRIGGER_FOR = 2, TRIGGER_INSTEAD_OF = 3 };
enum { TRIGGER_INSERT = 1, TRIGGER_UPDATE = 2, TRIGGER_DELETE = 4 };

struct astNodeCreateTrigger : astNode {
  astNodeList* name;
  bool REPLACE;
  int point;
  int events;
  astNodeList* updateColumns;
  astNodeList* relation;
  astNodeList* referencing;
  astNodeList* ofColumns;
  bool ofTrigger;
  bool forEachRow;
  astNodeList* follows;
  bool disable;
  bool compound;
  astNodeList* condition;
  astNodeBlock* body;
  astNodeTriggerArg* newVariable;
  astNodeTriggerArg* oldVariable;
  astNodeTriggerArg* parentVariable;
};

struct astNodeVarDecl : astNodeDecl {
  bool constant;
  bool notNull;
  bool stateGiven;
  astNodeList* dataType;
  astNodeList* defaultValue;
};

struct astNodeCursorDecl : astNodeDecl {
  astNode* query;
  astNodeList* queryArgs;
};

struct astNodeRecordDecl : astNodeDecl {
  astNodeList* dataType;
};

struct astNodeTableDecl : astNodeDecl {
  astNodeList* dataType;
  astNodeList* indexType;
  bool noIndexBy;
  bool notNull;
};

struct astNodeRefCursorDecl : astNodeDecl {
  astNodeList* dataType;
  bool weak;
};

struct astNodeVarrayDecl : astNodeDecl {
  astNodeList* dataType;
  char* dimension;
};

struct astNodeExceptionDecl : astNodeDecl {
  int value;
  char* sqlstate;
};

struct astNodeDynamic : astNodeStatement {
  astNodeList* expr;
  astNodeList* into;
  astNodeList* using_;  // "using" list of usingParam
  astNodeList* returnList;
  astNodeList* inputs;
  astNodeList* outputs;
  astNodeBlock* expansion;
};

struct astNodeExit : astNodeStatement {
  astNodeList* expr;
  char* target;
};

struct astNodeFetch : astNodeStatement {
  astNodeList* variable;
  astNodeList* expr;
  bool bulkCollect;
};

enum { FOR_NUMERIC = 1, FOR_CURSOR = 2, FOR_SELECT = 3 };

struct astNodeFor : astNodeStatement {
  int loopType;
  astNodeList* index;
  astNodeList* expr;
  astNodeList* body;
  bool reverse;
  astNodeBlock* expansion;
};

struct astNodeFormalArg : astNode {
  astNodeList* name;
  int mode;
  astNodeList* dataType;
  astNodeList* defaultValue;
};

struct astNodeFuncProto : astNode {
  astNodeList* options;
  astNodeList* name;
  astNodeList* args;
  astNodeList* returns;
  astNode* package;
  bool modifiesData;
};

struct astNodeGoto : astNodeStatement {
  astNodeList* target;
};

struct astNodeHandler : astNode {
  astNodeList* conditions;
  astNodeList* body;
};

struct astNodeIf : astNodeStatement {
  astNodeList* expr;
  astNodeList* body;
  astNodeElseIf* elseIf;
  astNodeList* elseBody;
};

struct astNodeElseIf : astNode {
  astNodeList* expr;
  astNodeList* body;
  astNodeElseIf* elseIf;
};

struct astNodeLoop : astNodeStatement {
  astNodeList* body;
};

struct astNodeNull : astNodeStatement {
  char* text;
};

struct astNodeOpen : astNodeStatement {
  astNodeList* variable;
  astNode* query;
  astNodeList* args;
  astNodeList* usingClause;
  astNodePrepare* prepareStmt;
  astNodeAssign* cursorConstructor;
};

struct astNodePragma : astNode {
  int pragmaCode;
  astNodeList* name;
  astNodeList* value;
  char* defaultArgs;
};

struct astNodeProcProto : astNode {
  astNodeList* name;
  astNodeList* args;
  astNode* package;
};

struct astNodeRaise : astNodeStatement {
  astNodeList* exceptionName;
  char* condition;
  int isSqlstate;
};

struct astNodeRaiseApp : astNodeStatement {
  int errorNumber;
  astNodeToken* errorNo;
  astNodeList* parms;
  astNodeBlock* expansion;
};

struct astNodeReturn : astNodeStatement {
  astNodeList* expr;
};

struct astNodeSelect : astNodeStatement {
  astNodeList* target;
  astNodeList* intoClause;
  astNodeList* fromClause;
  astNodeList* withClause;
  bool bulkCollect;
};

struct astNodeSqlStmt : astNodeStatement {
  char* keyword;
  int keywordCode;
  astNodeList* body;
  astNodeList* returning;
  astNode* scope;
};

enum { TRIGGER_VAR_NEW = 0, TRIGGER_VAR_OLD = 1, TRIGGER_VAR_PARENT = 2 };

struct astNodeTriggerArg : astNode {
  int var;
  astNodeList* alias;
};

struct astNodeWhile : astNodeStatement {
  astNodeList* expr;
  astNodeList* body;
};

struct astNodeValues : astNodeStatement {
  astNodeList* targets;
  astNodeList* sources;
};

struct astNodeSignal : astNodeStatement {
  char* sqlstate;
  astNodeList* message;
};

struct astNodePrepare : astNodeStatement {
  char* stmtID;
  char* stmtHolder;
  astNodeList* query;
};

struct astNodeExecute : astNodeStatement {
  char* operand;
  astNodeList* into;
  astNodeList* using_;
  bool immediate;
};

enum { DIAG_RETURN_STATUS = 0, DIAG_ROW_COUNT = 1, DIAG_MESSAGE_TEXT = 2 };

struct astNodeGetDiag : astNodeStatement {
  int diagType;
  astNodeList* target;
  astNodeList* source;
};

struct astNodeUsingParam : astNode {
  int argMode;
  astNodeList* expr;
};

// DDL statements (COMMENT ON, ALTER, CREATE, DROP, GRANT, REVOKE). Kinds that
// keep the name inside the body leave `name` null.
struct astNodeDdl : astNode {
  astNodeList* name;
  astNodeList* body;
};

// Create and drop database link.
struct astNodeDdlLink : astNodeDdl {
  bool pub;
  bool shared;
};

// Create index.
struct astNodeDdlIndex : astNodeDdl {
  bool unq;
  bool bmap;
};

// Create and drop synonym.
struct astNodeDdlSynonym : astNodeDdl {
  bool pub;
};

// Create table.
struct astNodeDdlTable : astNode {
  astNodeList* name;
  bool gtt;
  bool xmltype;
  astNodeList* cols;
  astNodeList* body;
};

// Create tablespace.
struct astNodeDdlTablespace : astNodeDdl {
  bool temp;
};

// Create type.
struct astNodeDdlType : astNode {
  astNodeList* name;
  bool REPLACE;
  astNodeList* body;
  bool UNDER;
};

// Create view.
struct astNodeDdlView : astNode {
  astNodeList* name;
  bool force;
  bool xmltype;
  bool objview;
  bool mview;
  astNodeList* columns;
  astNodeList* body;
};

// Drop view.
struct astNodeDdlDropView : astNodeDdl {
  bool mat;
};

struct astNodeColDecl : astNode {
  int colType;
  astNodeList* colName;
  bool notNull;
  bool stateGiven;
  astNodeList* dType;
  astNodeList* dfltValue;
  astNodeList* body;
};

enum { CONSTRAINT_PRIMARY_KEY = 0, CONSTRAINT_UNIQUE = 1, CONSTRAINT_CHECK = 2, CONSTRAINT_FOREIGN_KEY = 3 };

struct astNodeConstraint : astNode {
  astNodeList* name;
  int consType;
  astNodeList* cols;
  astNodeList* body;
};

// Put into the tree in place of a broken element.
struct astNodeError : astNode {
  int code;
  char* token;
  char* message;
  char* context;  // the source line
};

enum { FORALL_LOOP_INDICES = 0, FORALL_LOOP_VALUES = 1, FORALL_LOOP_RANGE = 2 };

struct astNodeForall : astNodeStatement {
  int loopType;
  astNodeToken* index;
  astNodeList* expr;
  astNode* body;  // sqlStatement
  bool exec;
  astNode* dynamic;
};

struct astNodeJavaSource : astNode {
  astNodeToken* name;
  astNodeList* body;
  bool resolveOrCompile;
  bool noForce;
};

struct astNodeObjectDecl : astNodeDecl {
  astNodeList* dataType;
};

struct astNodeOraclePragma : astNode {
  astNodeList* expr;
};

struct astNodePiperow : astNodeStatement {
  astNodeList* expr;
};

struct astNodeSubType : astNodeDecl {
  astNodeList* dataType;
};

// ---- allocation and names ----

astNode* astNodeNew(size_t size, int kind, int line);
// Typed form: astNew<astNodeIf>(AST_IF, line).
template <class T>
inline T* astNew(int kind, int line) {
  return static_cast<T*>(astNodeNew(sizeof(T), kind, line));
}

const char* astNodeKindName(int kind);
const char* astNodeKindName(const astNode* node);  // "<null>" for null
// Type attribute of the XML dump; null for kinds that have none.
const char* astNodeXmlType(int kind);
// objtype attribute of the XML dump ("crtTab", "function", ...); null if none.
const char* astNodeObjType(int kind);
// The KIND_* traits of a kind; 0 for a number that is no kind.
int astKindTraits(int kind);
const char* variableTypeName(int variableClass);
const char* constraintKindName(int consType);

bool isPackage(const astNode* node);
bool isNotPackage(const astNode* node);
bool isRoutine(const astNode* node);
bool isStatement(const astNode* node);
// Carries the declaration head; false for null.
bool isDeclaration(const astNode* node);
// A declaration that has a form in the target dialect.
bool isTranslatedDeclaration(const astNode* node);
bool isEnclosingUnit(const astNode* node);
bool isDeclarationScope(const astNode* node);
bool isLoop(const astNode* node);
bool isDumpUnit(const astNode* node);

bool astArgListsEqual(const astNodeList* a, const astNodeList* b, int prefixMode);
bool astListStartsWith(const astNodeList* a, const astNodeList* b);

// Token node with a pool copy of the text (null text stays null).
astNodeToken* astTokenNew(int tokenCode, const char* text, int line);

// ---- lists ----

astNodeList* listNew(astNode* node);
astNodeList* listAppend(astNodeList* list, astNode* node);
int listLength(const astNodeList* list);
astNode* listFirst(const astNodeList* list);
astNode* listLast(const astNodeList* list);
astListCell* listCells(const astNodeList* list);
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

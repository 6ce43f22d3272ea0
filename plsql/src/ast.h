// Syntax tree of a PL/SQL source: node kinds, node records, counted lists of
// nodes, token nodes, kind names and predicates, and the pre-order walker.
//
// Nodes come zero-filled from the run pool (astNodeNew) and are never freed
// one by one. An empty list is always null, never a list of count 0.
#pragma once

#include <cstddef>

enum astNodeKind {
  AST_GENERIC_NODE = 0,
  AST_GENERIC_STATEMENT = 1,
  AST_ASSIGN = 2,
  AST_BLOCK = 3,
  AST_CALL = 4,
  AST_CASE = 5,
  AST_CASE_EXPR = 6,
  AST_CLOSE = 7,
  AST_COMMENT_ON = 8,
  AST_CONTINUE = 9,
  AST_CREATE_FUNCTION = 10,
  AST_KIND_11 = 11,
  AST_CREATE_PKG_BODY = 12,
  AST_CREATE_PKG_HEAD = 13,
  AST_DROP_PKG_BODY = 14,
  AST_DROP_PKG_HEAD = 15,
  AST_CREATE_PROCEDURE = 16,
  AST_CREATE_TRIGGER = 17,
  AST_DECLARATION = 18,
  AST_VAR_DECL = 19,
  AST_CURSOR_DECL = 20,
  AST_RECORD_DECL = 21,
  AST_TABLE_DECL = 22,
  AST_REFCURSOR_DECL = 23,
  AST_VARRAY_DECL = 24,
  AST_EXCEPTION_DECL = 25,
  AST_DYNAMIC = 26,
  AST_EXIT = 27,
  AST_FETCH = 28,
  AST_FOR = 29,
  AST_FORMAL_ARG = 30,
  AST_FUNC_PROTO = 31,
  AST_GOTO = 32,
  AST_HANDLER = 33,
  AST_IF = 34,
  AST_ELSE_IF = 35,
  AST_LIST = 36,
  AST_LOOP = 37,
  AST_NULL = 38,
  AST_OPEN = 39,
  AST_PRAGMA = 40,
  AST_PROC_PROTO = 41,
  AST_RAISE = 42,
  AST_RAISE_APP = 43,
  AST_RETURN = 44,
  AST_SELECT = 45,
  AST_SQL_STMT = 46,
  AST_TOKEN = 47,
  AST_TRIGGER_VAR = 48,
  AST_WHILE = 49,
  AST_VALUES = 50,
  AST_SIGNAL = 51,
  AST_PREPARE = 52,
  AST_EXECUTE = 53,
  AST_GET_DIAG = 54,
  AST_USING_PARAM = 55,
  AST_KIND_56 = 56,
  AST_ALTER_CLUSTER = 57,
  AST_ALTER_DIMENSION = 58,
  AST_ALTER_OUTLINE = 59,
  AST_ALTER_ROLE = 60,
  AST_ALTER_ROLLBACK = 61,
  AST_ALTER_SEQUENCE = 62,
  AST_ALTER_TABLE = 63,
  AST_ALTER_TRIGGER = 64,
  AST_ALTER_TABLESPACE = 65,
  AST_ALTER_USER = 66,
  AST_COL_DECL = 67,
  AST_KIND_68 = 68,
  AST_CONSTRAINT = 69,
  AST_CREATE_CLUSTER = 70,
  AST_CREATE_DBLINK = 71,
  AST_CREATE_DIMENSION = 72,
  AST_CREATE_DIRECTORY = 73,
  AST_CREATE_INDEX = 74,
  AST_CREATE_OUTLINE = 75,
  AST_CREATE_ROLE = 76,
  AST_CREATE_ROLLBACK = 77,
  AST_CREATE_SEQUENCE = 78,
  AST_CREATE_SYNONYM = 79,
  AST_CREATE_TABLE = 80,
  AST_CREATE_TABLESPACE = 81,
  AST_CREATE_TYPE = 82,
  AST_CREATE_USER = 83,
  AST_CREATE_VIEW = 84,
  AST_DROP_CLUSTER = 85,
  AST_DROP_DBLINK = 86,
  AST_DROP_DIMENSION = 87,
  AST_DROP_DIRECTORY = 88,
  AST_DROP_INDEX = 89,
  AST_DROP_OUTLINE = 90,
  AST_DROP_ROLE = 91,
  AST_DROP_ROLLBACK = 92,
  AST_DROP_SEQUENCE = 93,
  AST_DROP_SYNONYM = 94,
  AST_DROP_TABLE = 95,
  AST_DROP_TABLESPACE = 96,
  AST_DROP_TYPE = 97,
  AST_DROP_USER = 98,
  AST_DROP_VIEW = 99,
  AST_ERROR = 100,
  AST_FORALL = 101,
  AST_GRANT = 102,
  AST_JAVA_SOURCE = 103,
  AST_OBJECT_DECL = 104,
  AST_ORACLE_PRAGMA = 105,
  AST_PIPEROW = 106,
  AST_REVOKE = 107,
  AST_SUBTYPE = 108,
  AST_KIND_COUNT = 109
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
  char* text;
  bool qualified;
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

// DDL statements: kinds 8, 57 to 66, 70 to 99, 102, 107. Kinds that keep the
// name inside the body leave `name` null.
struct astNodeDdl : astNode {
  astNodeList* name;
  astNodeList* body;
};

// 71 create database link, 86 drop database link.
struct astNodeDdlLink : astNodeDdl {
  bool pub;
  bool shared;
};

// 74 create index.
struct astNodeDdlIndex : astNodeDdl {
  bool unq;
  bool bmap;
};

// 79 create synonym, 94 drop synonym.
struct astNodeDdlSynonym : astNodeDdl {
  bool pub;
};

// 80 create table.
struct astNodeDdlTable : astNode {
  astNodeList* name;
  bool gtt;
  bool xmltype;
  astNodeList* cols;
  astNodeList* body;
};

// 81 create tablespace.
struct astNodeDdlTablespace : astNodeDdl {
  bool temp;
};

// 82 create type.
struct astNodeDdlType : astNode {
  astNodeList* name;
  bool REPLACE;
  astNodeList* body;
  bool UNDER;
};

// 84 create view.
struct astNodeDdlView : astNode {
  astNodeList* name;
  bool force;
  bool xmltype;
  bool objview;
  bool mview;
  astNodeList* columns;
  astNodeList* body;
};

// 99 drop view.
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

// Kind 100: put into the tree in place of a broken element.
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
const char* variableTypeName(int variableClass);
const char* constraintKindName(int consType);

bool isPackage(const astNode* node);
bool isNotPackage(const astNode* node);
bool isRoutine(const astNode* node);
bool isStatement(const astNode* node);
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

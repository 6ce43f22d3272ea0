// The rewriting walk: the helpers its steps share, the statement steps
// that need no file of their own, and the dispatch by node kind.
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "deep_walk.h"
#include "kind_index.h"
#include "plsql_parser.hpp"
#include "rewrite_internal.h"
#include "routine_effects.h"
#include "run_pool.h"


using namespace rewrite;

namespace rewrite {

int madeTokenCode(const char* text) {
  if (!text || !text[0]) return T_STRING;
  char c = text[0];
  if (!text[1]) {
    switch (c) {
      case '(': case ')': case '.': case '+': case '-': case '*': case '/': return c;
      case ',': return T_COMMA;
      case '=': case '<': case '>': return T_COMPARISON;
      default: break;
    }
  }
  if (c >= '0' && c <= '9') {
    bool fraction = false;
    for (const char* p = text; *p; ++p) {
      if (*p == '.' || *p == 'e' || *p == 'E') fraction = true;
      else if (*p < '0' || *p > '9') return T_STRING;
    }
    return fraction ? T_NUMERICNO : T_DIGITS;
  }
  if (text[1] && !text[2]) {
    if (c == '|' && text[1] == '|') return T_CONCAT;
    if ((c == '<' || c == '>' || c == '!') && text[1] == '=') return T_COMPARISON;
    if (c == '<' && text[1] == '>') return T_COMPARISON;
  }
  // The words of the structure of an expression and a query, told by
  // their first letter and length before their text.
  auto is = [text](const char* word, size_t length) {
    for (size_t k = 1; k < length; ++k)
      if (text[k] != word[k]) return false;
    return text[length] == '\0';
  };
  switch (c) {
    case 'A': if (is("AS", 2)) return T_AS; break;
    case 'C': if (is("CASE", 4)) return T_CASE; break;
    case 'E':
      if (is("ELSE", 4)) return T_ELSE;
      if (is("END", 3)) return T_END;
      break;
    case 'F': if (is("FROM", 4)) return T_FROM; break;
    case 'I':
      if (is("IN", 2)) return T_IN;
      if (is("IS", 2)) return T_IS;
      break;
    case 'N':
      if (is("NOT", 3)) return T_NOT;
      if (is("NULL", 4)) return T_NULL;
      break;
    case 'O': if (is("OR", 2)) return T_OR; break;
    case 'S': if (is("SELECT", 6)) return T_SELECT; break;
    case 'T': if (is("THEN", 4)) return T_THEN; break;
    case 'V': if (is("VALUES", 6)) return T_VALUES; break;
    case 'W': if (is("WHEN", 4)) return T_WHEN; break;
    default: break;
  }
  return T_STRING;
}

char* concat(const char* a, const char* b) {
  size_t la = std::strlen(a), lb = std::strlen(b);
  char* text = static_cast<char*>(poolBump(la + lb + 1));
  std::memcpy(text, a, la);
  std::memcpy(text + la, b, lb + 1);
  return text;
}

astNodeToken* makeToken(const char* text, int line) { return astTokenNew(madeTokenCode(text), text, line); }
astNodeToken* makeToken(int code, const char* text, int line) { return astTokenNew(code, text, line); }
astNodeList* tokenList(const char* text, int line) { return listNew(makeToken(text, line)); }

namespace {

// The length of the piece of a made-up text that starts at `p`: a quoted
// string, a word or number (a dotted name whole), an operator of two
// characters, or one character.
size_t pieceLength(const char* p) {
  auto isWordChar = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '$' || c == '#'; };
  if (*p == '\'') {
    const char* q = p + 1;
    while (*q && !(*q == '\'' && q[1] != '\'')) q += *q == '\'' ? 2 : 1;
    return size_t(q - p) + (*q ? 1 : 0);
  }
  if (isWordChar(*p)) {
    const char* q = p;
    while (isWordChar(*q)) ++q;
    return size_t(q - p);
  }
  static const char* const pairs[] = {"<=", ">=", "<>", "!=", ":=", "||", "=>"};
  for (const char* pair : pairs)
    if (p[0] == pair[0] && p[1] == pair[1]) return 2;
  return 1;
}

}  // namespace

astNodeList* madeTokens(const char* text, int line) {
  astNodeList* list = nullptr;
  astNodeToken* previous = nullptr;
  for (const char* p = text; *p;) {
    if (*p == ' ') {
      ++p;
      continue;
    }
    size_t length = pieceLength(p);
    std::string piece(p, length);
    astNodeToken* token = makeToken(piece.c_str(), line);
    if (previous) {
      // What the rule writes between the two, against what the text has.
      bool wanted = p > text && p[-1] == ' ';
      bool ruled = astBlankAfter(previous) && astTakesBlankBefore(token->text);
      if (wanted != ruled) previous->spacing = wanted ? TOKEN_SPACING_SPACED : TOKEN_SPACING_GLUED;
    }
    list = listAppend(list, token);
    previous = token;
    p += length;
  }
  // After the last one, what the rule writes after the text as one token.
  if (previous && astBlankAfter(previous) != (text[0] != '('))
    previous->spacing = text[0] != '(' ? TOKEN_SPACING_SPACED : TOKEN_SPACING_GLUED;
  return list;
}

astListCell* spliceTokens(astNodeList* list, astListCell* cell, astNodeList* made) {
  astListCell* first = made->head;
  cell->value = first->value;
  first->value->parent = list;
  astListCell* at = cell;
  for (astListCell* c = first->next; c; c = c->next) {
    at = listInsertAfterCell(list, at, c->value);
    c->value->parent = list;
  }
  return at;
}

astNodeToken* asToken(astNode* node) {
  return node && node->kind == AST_TOKEN ? nodeAs<astNodeToken>(node) : nullptr;
}

astNodeToken* firstToken(const astNodeList* list) { return asToken(listFirst(list)); }

bool textIs(const astNode* node, const char* text) {
  return node && node->kind == AST_TOKEN && equalsIgnoreCase(nodeAs<const astNodeToken>(node)->text, text);
}

bool holdsToken(const astNodeList* list, int code) {
  for (astListCell* c = listCells(list); c; c = c->next) {
    astNodeToken* token = asToken(c->value);
    if (token && token->tokenCode == code) return true;
  }
  return false;
}

astNodeToken* conditionName(astNode* condition) {
  return condition && condition->kind == AST_LIST ? firstToken(nodeAs<astNodeList>(condition))
                                                  : asToken(condition);
}

astNodeList* appendElements(astNodeList* list, const astNodeList* from) {
  for (astListCell* c = listCells(from); c; c = c->next) list = listAppend(list, c->value);
  return list;
}

// Sets the parent of every element of `list` to the list and the list's to
// `owner`.
astNodeList* adopt(astNodeList* list, astNode* owner) {
  if (!list) return list;
  list->parent = owner;
  for (astListCell* c = list->head; c; c = c->next)
    if (c->value) c->value->parent = list;
  return list;
}

char* madeUpName(TransformState* state) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "SYSZULINTERNAL_%08x", static_cast<unsigned>(state->nameCounter++));
  return poolBumpStrdup(buffer);
}

namespace {

// The children the pass visits, grouped by kind in visiting order.
constexpr KindChild kRewriteChildren[] = {
#define AST_REWRITE(kind, field) KIND_CHILD_ROW(kind, field)
#include "ast_kinds.def"
};

constexpr KindIndex kRewriteIndex(kRewriteChildren);

}  // namespace

void transformChildren(astNode* node, TransformState* state) {
  for (const KindChild& child : kRewriteIndex.rowsOf(node->kind)) transformNode(child.get(node), node, state);
}

void placeRewritten(astNode* node, astNode* parent) {
  if (!node) return;
  deep_walk_check();
  node->parent = parent;
  if (node->kind == AST_LIST) {
    for (astListCell* c = nodeAs<astNodeList>(node)->head; c; c = c->next) placeRewritten(c->value, node);
    return;
  }
  for (const KindChild& child : kRewriteIndex.rowsOf(node->kind)) placeRewritten(child.get(node), node);
}

astNode* nearestOf(astNode* from, bool (*want)(const astNode*)) {
  // The walk is bounded so that a damaged parent chain cannot loop forever.
  int guard = 0;
  for (astNode* n = from; n && guard < 1000000; n = n->parent, ++guard)
    if (want(n)) return n;
  return nullptr;
}

astNode* outermostOf(astNode* from, bool (*want)(const astNode*)) {
  astNode* found = nullptr;
  int guard = 0;
  for (astNode* n = from; n && guard < 1000000; n = n->parent, ++guard)
    if (want(n)) found = n;
  return found;
}

bool isBlockNode(const astNode* node) { return node && node->kind == AST_BLOCK; }

astNodeBlock* outermostBlock(astNode* from) {
  return nodeAs<astNodeBlock>(outermostOf(from, isBlockNode));
}

astNodeList* scopeDeclarations(astNode* scope) {
  if (scope->kind == AST_BLOCK) return nodeAs<astNodeBlock>(scope)->declarations;
  if (scope->kind == AST_CREATE_PKG_BODY) return nodeAs<astNodeCreatePkgBody>(scope)->declarations;
  return nodeAs<astNodeCreatePkgHead>(scope)->declarations;
}

void computeNameLength(astNodeDecl* decl) {
  int length = 0;
  for (astListCell* c = listCells(decl->variableName); c; c = c->next) {
    astNodeToken* t = asToken(c->value);
    if (t && t->text) length += static_cast<int>(std::strlen(t->text));
  }
  decl->nameLength = length;
}

unsigned int maxDeclNameLength(const astNodeList* declarations) {
  unsigned int longest = 0;
  for (astListCell* c = listCells(declarations); c; c = c->next) {
    if (!isDeclaration(c->value)) continue;  // pragmas and the like
    int length = nodeAs<astNodeDecl>(c->value)->nameLength;
    if (length > 0 && static_cast<unsigned int>(length) > longest) longest = static_cast<unsigned int>(length);
  }
  return longest;
}

astNodeVarDecl* newVarDecl(int line, astNodeList* name, astNodeList* dataType, astNodeList* defaultValue) {
  astNodeVarDecl* decl = astMake<astNodeVarDecl>(line);
  decl->variableType = VAR_SCALAR;
  decl->variableName = name;
  decl->dataType = dataType;
  decl->defaultValue = defaultValue;
  return decl;
}

void addRowCountDiagnostics(astNode* statement, TransformState* state, const char* rowCount) {
  astNodeBlock* block = outermostBlock(statement);
  if (!block || !block->usesRowcount) return;
  astNode* holder = statement->parent;
  if (!holder || holder->kind != AST_LIST) return;  // only statements of a statement list
  astNodeList* list = nodeAs<astNodeList>(holder);
  // The list walk holds the statement's cell; searching for it instead would
  // make a long statement list quadratic.
  astListCell* at = state->currentCell;
  if (!at || at->value != statement) at = listCellOf(list, statement);
  if (!at) return;
  int line = statement->line;
  astNode* count = nullptr;
  if (rowCount) {
    // A statement whose count the target does not keep: the count it has.
    astNodeAssign* assign = astMake<astNodeAssign>(line);
    assign->target = tokenList(SYSZUL_ROWCOUNT, -1);
    assign->expr = tokenList(rowCount, -1);
    count = assign;
  } else {
    astNodeGetDiag* diag = astMake<astNodeGetDiag>(line);
    diag->diagType = DIAG_ROW_COUNT;
    diag->target = tokenList(SYSZUL_ROWCOUNT, -1);
    diag->source = tokenList("ROW_COUNT", -1);
    count = diag;
  }
  astListCell* countCell = listInsertAfterCell(list, at, count);
  if (block->usesFound) {
    astNodeAssign* found = astMake<astNodeAssign>(line);
    found->target = tokenList(SYSZUL_FOUND, -1);
    found->expr = madeTokens("(CASE WHEN SYSZULINTERNAL_ROWCOUNT > 0 THEN true ELSE false END)", -1);
    listInsertAfterCell(list, countCell, found);
  }
  if (block->usesNotfound) {
    astNodeAssign* notFound = astMake<astNodeAssign>(line);
    notFound->target = tokenList(SYSZUL_NOTFOUND, -1);
    notFound->expr = madeTokens("(CASE WHEN SYSZULINTERNAL_ROWCOUNT <= 0 THEN true ELSE false END)", -1);
    listInsertAfterCell(list, countCell, notFound);
  }
}

int rowCountFollowers(const astNode* statement) {
  const astNodeBlock* block = outermostBlock(const_cast<astNode*>(statement));
  if (!block || !block->usesRowcount || !statement->parent || statement->parent->kind != AST_LIST) return 0;
  return 1 + (block->usesFound ? 1 : 0) + (block->usesNotfound ? 1 : 0);
}

bool routineParts(const astNode* node, RoutineParts* routine) {
  if (!node) return false;
  switch (node->kind) {
    case AST_CREATE_PROCEDURE: {
      auto* n = nodeAs<const astNodeCreateProc>(node);
      *routine = {false, n->name, n->args, n->body};
      return true;
    }
    case AST_CREATE_FUNCTION: {
      auto* n = nodeAs<const astNodeCreateFunc>(node);
      *routine = {true, n->name, n->args, n->body};
      return true;
    }
    case AST_PROC_PROTO: {
      auto* n = nodeAs<const astNodeProcProto>(node);
      *routine = {false, n->name, n->args, nullptr};
      return true;
    }
    case AST_FUNC_PROTO: {
      auto* n = nodeAs<const astNodeFuncProto>(node);
      *routine = {true, n->name, n->args, nullptr};
      return true;
    }
    default: return false;
  }
}

}  // namespace rewrite

namespace rewrite {

// ---- steps of statements and routines ----

void transformAssign(astNodeAssign* node, TransformState* state) {
  transformChildren(node, state);
  if (node->targetIndex) {
    astNodeToken* target = firstToken(node->target);
    reportFinding(FindingId::COLLECTION_SUBSCRIPT, node, state->errors, nullptr, target ? target->text : nullptr);
  }
  rewriteDbmsSqlAssign(node, state);
  roundAssignedValue(node, state);
}

void transformCall(astNodeCall* node, TransformState* state) {
  transformChildren(node, state);
  roundCallArguments(node, state);
  if (reviewCall(node, state)) rewriteCollectionMethod(node, state);
}

void transformReturn(astNodeReturn* node, TransformState* state) {
  transformChildren(node, state);
  // A function's value is stored in its return type.
  astNode* routine = nearestOf(node->parent, isRoutine);
  if (routine && routine->kind == AST_CREATE_FUNCTION)
    node->expr = roundedIntoType(node->expr, nodeAs<astNodeCreateFunc>(routine)->returns, state);
  settleJump(node, state);
}

void transformSelect(astNodeSelect* node, TransformState* state) {
  transformChildren(node, state);
  roundSelectedValues(node, state);
  // SELECT INTO leaves one row behind it (no row or more rows raise); the
  // target keeps no count for it.
  if (node->intoClause && !node->bulkCollect) addRowCountDiagnostics(node, state, "1");
}

void transformElements(astNodeList* list, TransformState* state) {
  reportListConstructs(list, state);
  // Cells inserted after the current one (row-count diagnostics) are
  // visited as well; a step that rewrote the cells it put before its
  // statement leaves the walk at the statement's new cell.
  astListCell* outer = state->currentCell;
  bool units = list == state->root && state->effects;
  for (astListCell* c = list->head; c; c = c->next) {
    state->currentCell = c;
    transformNode(c->value, list, state);
    // A unit the walk leaves is final: what its routines do is collected
    // while its nodes are at hand.
    if (units)
      for (astListCell* done = c;; done = done->next) {
        if (done->value) state->effects->collect(done->value);
        if (done == state->currentCell) break;
      }
    c = state->currentCell;
  }
  state->currentCell = outer;
}

// ---- public operations ----

}  // namespace rewrite

astNodeList* splitQualifiedName(const char* text) {
  astNodeList* parts = nullptr;
  if (!text) return parts;
  size_t length = std::strlen(text);
  char* part = static_cast<char*>(poolBump(length + 1));
  size_t used = 0;
  bool quoted = false;
  for (const char* p = text; *p; ++p) {
    if (*p == '\\') {
      if (!p[1]) break;
      part[used++] = *++p;
    } else if (*p == '"') {
      quoted = !quoted;
    } else if (*p == '.' && !quoted) {
      part[used] = '\0';
      parts = listAppend(parts, makeToken(part, -1));
      used = 0;
    } else {
      part[used++] = *p;
    }
  }
  part[used] = '\0';
  parts = listAppend(parts, makeToken(part, -1));
  return parts;
}

void ensureDeclared(astNodeBlock* block, const char* name, const char* dataType, astNodeList* defaultValue,
                    int line) {
  if (!block) return;
  for (astListCell* c = listCells(block->declarations); c; c = c->next) {
    astNode* node = c->value;
    if (!isDeclaration(node)) continue;
    auto* decl = nodeAs<astNodeDecl>(node);
    if (decl->variableType != VAR_SCALAR || listLength(decl->variableName) != 1) continue;
    astNodeToken* token = firstToken(decl->variableName);
    if (token && equalsIgnoreCase(token->text, name)) return;
  }
  astNodeVarDecl* decl = newVarDecl(line, tokenList(name, -1), tokenList(dataType, -1), defaultValue);
  computeNameLength(decl);
  block->declarations = listAppend(block->declarations, decl);
  block->declarations->parent = block;
  decl->parent = block->declarations;
}

void transformNode(astNode* node, astNode* parent, TransformState* state) {
  if (!node) return;
  deep_walk_check();
  node->parent = parent;
  int traits = astKindTraits(node->kind);
  if (traits & KIND_UNTRANSLATED) {
    // Nothing of these reaches the target: the statements and top-level
    // units among them are reported (a DDL unit's own parts are not).
    if (!parent || parent->kind == AST_LIST) reportDropped(node, state);
    noteCollectionDeclaration(node, state);
    return;
  }
  if (traits & KIND_DECLARATION) {
    transformDeclaration(nodeAs<astNodeDecl>(node), state);
    return;
  }
  // The kinds with a step of their own; of the others only the children are
  // visited (nothing for kinds without any, such as null, signal, prepare and
  // the kinds never built).
  switch (node->kind) {
    case AST_ASSIGN: transformAssign(nodeAs<astNodeAssign>(node), state); break;
    case AST_BLOCK: transformBlock(nodeAs<astNodeBlock>(node), state); break;
    case AST_CALL: transformCall(nodeAs<astNodeCall>(node), state); break;
    case AST_CONTINUE: {
      auto* n = nodeAs<astNodeContinue>(node);
      transformExitTarget(n, &n->target, state);
      break;
    }
    case AST_EXIT: {
      auto* n = nodeAs<astNodeExit>(node);
      transformExitTarget(n, &n->target, state);
      break;
    }
    case AST_CREATE_FUNCTION: transformFunction(nodeAs<astNodeCreateFunc>(node), state); break;
    case AST_CREATE_PKG_BODY: transformPackageBody(nodeAs<astNodeCreatePkgBody>(node), state); break;
    case AST_CREATE_PKG_HEAD: transformPackageHead(nodeAs<astNodeCreatePkgHead>(node), state); break;
    case AST_CREATE_PROCEDURE: transformProcedure(nodeAs<astNodeCreateProc>(node), state); break;
    case AST_CREATE_TRIGGER: transformTrigger(nodeAs<astNodeCreateTrigger>(node), state); break;
    case AST_DYNAMIC: transformDynamic(nodeAs<astNodeDynamic>(node), state); break;
    case AST_FOR: transformFor(nodeAs<astNodeFor>(node), state); break;
    case AST_FORMAL_ARG: transformFormalArg(nodeAs<astNodeFormalArg>(node), state); break;
    case AST_FUNC_PROTO: transformFunctionPrototype(nodeAs<astNodeFuncProto>(node), state); break;
    case AST_GOTO: settleJump(nodeAs<astNodeGoto>(node), state); break;
    case AST_HANDLER: transformHandler(nodeAs<astNodeHandler>(node), state); break;
    case AST_LIST: transformElements(nodeAs<astNodeList>(node), state); break;
    case AST_OPEN: transformOpen(nodeAs<astNodeOpen>(node), state); break;
    case AST_PRAGMA: transformPragma(nodeAs<astNodePragma>(node), state); break;
    case AST_RAISE: transformRaise(nodeAs<astNodeRaise>(node), state); break;
    case AST_RAISE_APP: transformRaiseApp(nodeAs<astNodeRaiseApp>(node), state); break;
    case AST_RETURN: transformReturn(nodeAs<astNodeReturn>(node), state); break;
    case AST_SELECT: transformSelect(nodeAs<astNodeSelect>(node), state); break;
    case AST_SQL_STMT: transformSqlStatement(nodeAs<astNodeSqlStmt>(node), state); break;
    case AST_TOKEN: transformToken(nodeAs<astNodeToken>(node), state); break;
    default: transformChildren(node, state); break;
  }
}


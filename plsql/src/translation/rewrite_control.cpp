// The rewriting pass, control flow. A FOR loop becomes a block around a
// WHILE or LOOP statement; a jump out of such a loop must still do what the
// loop does on its way out: the step of a numeric index before CONTINUE goes
// back to the top, the CLOSE of a cursor loop's cursor before any jump leaves
// the loop, or an exception does. In the target a FETCH past the last row
// and a data change that touches no row raise NOT FOUND, which a handler for
// NO_DATA_FOUND would take for the error of a SELECT INTO: such statements
// get a NOT FOUND handler of their own that lets them go on.
#include <cstring>
#include <string>
#include <vector>

#include "deep_walk.h"
#include "kind_index.h"
#include "plsql_parser.hpp"
#include "rewrite_internal.h"
#include "run_pool.h"

using namespace rewrite;

namespace {

// ---- structure ----

// Sets the parent of every element of `list` to the list and the list's to
// `owner`.
astNodeList* adopt(astNodeList* list, astNode* owner) {
  if (!list) return list;
  list->parent = owner;
  for (astListCell* c = list->head; c; c = c->next)
    if (c->value) c->value->parent = list;
  return list;
}

// The FOR loop whose expansion is `block` (any loop type), or null.
astNodeFor* forOfExpansion(const astNode* block) {
  if (!block || block->kind != AST_BLOCK || !block->parent || block->parent->kind != AST_FOR) return nullptr;
  auto* node = static_cast<astNodeFor*>(block->parent);
  return node->expansion == block ? node : nullptr;
}

// The FOR loop whose expansion holds `loop` as its WHILE (numeric) or LOOP
// (cursor) statement, or null.
astNodeFor* forOfExpansionLoop(astNode* loop) {
  astNode* list = loop ? loop->parent : nullptr;
  return list && list->kind == AST_LIST ? forOfExpansion(list->parent) : nullptr;
}

// The loop statement inside a FOR loop's expansion: the WHILE of a numeric
// loop, the LOOP of a cursor loop.
astNode* expansionLoop(astNodeFor* node) {
  astNodeBlock* block = node->expansion;
  for (astListCell* c = listCells(block ? block->body : nullptr); c; c = c->next)
    if (c->value && (c->value->kind == AST_WHILE || c->value->kind == AST_LOOP)) return c->value;
  return nullptr;
}

const char* labelOf(const astNode* node) {
  if (!node || !(isLoop(node) || node->kind == AST_BLOCK)) return nullptr;
  return static_cast<const astNodeStatement*>(node)->label;
}

// The nearest enclosing loop or block that carries `label`.
astNode* labelledAncestor(astNode* from, const char* label) {
  int guard = 0;
  for (astNode* n = from; n && guard < 1000000; n = n->parent, ++guard)
    if (equalsIgnoreCase(labelOf(n), label)) return n;
  return nullptr;
}

// Whether a declaration's name is the one word `name` (ignoring case).
bool isNamed(const astNodeDecl* decl, const char* name) {
  astNodeToken* word = listLength(decl->variableName) == 1 ? firstToken(decl->variableName) : nullptr;
  return word && equalsIgnoreCase(word->text, name);
}

bool declaresName(const astNodeBlock* block, const char* name, int kind) {
  for (astListCell* c = listCells(block->declarations); c; c = c->next) {
    astNode* node = c->value;
    if (!isDeclaration(node) || (kind && node->kind != kind)) continue;
    if (isNamed(static_cast<astNodeDecl*>(node), name)) return true;
  }
  return false;
}

// The children that hold statements, and what stands in a node's place,
// as the kind table gives them (AST_STATEMENTS, AST_STAND_IN).
constexpr KindChild kStatementChildren[] = {
#define AST_STATEMENTS(kind, type, field) KIND_CHILD_ROW(kind, type, field)
#include "ast_kinds.def"
};

constexpr KindIndex kStatementIndex(kStatementChildren);

constexpr KindChild kStandIns[] = {
#define AST_STAND_IN(kind, type, field) KIND_CHILD_ROW(kind, type, field)
#include "ast_kinds.def"
};

constexpr KindIndex kStandInIndex(kStandIns);

// Calls `visit` on every statement list below `node` as the emitter reaches
// it: bodies, branches, handler bodies and the statements the rewriting put
// in the place of a FOR loop, a dynamic statement, an assignment or a call.
// Declarations are not entered.
template <class Visit>
void walkStatementLists(astNode* node, Visit& visit) {
  if (!node) return;
  deep_walk_check();
  if (node->kind == AST_LIST) {
    auto* list = static_cast<astNodeList*>(node);
    visit(list);
    for (astListCell* c = list->head; c; c = c->next) walkStatementLists(c->value, visit);
    return;
  }
  for (const KindChild& standIn : kStandInIndex.rowsOf(node->kind))
    if (astNode* child = standIn.get(node)) {
      walkStatementLists(child, visit);
      return;
    }
  for (const KindChild& child : kStatementIndex.rowsOf(node->kind)) walkStatementLists(child.get(node), visit);
}

// Whether a statement below `node` carries `label`.
bool holdsLabel(astNode* node, const char* label) {
  bool found = false;
  auto visit = [&](astNodeList* list) {
    for (astListCell* c = list->head; c && !found; c = c->next)
      if (isStatement(c->value) && equalsIgnoreCase(static_cast<astNodeStatement*>(c->value)->label, label))
        found = true;
  };
  walkStatementLists(node, visit);
  return found;
}

// ---- cursor loops ----

astNodeToken* loopCursor(const astNodeFor* node) { return firstToken(node->expr); }

// CLOSE of a cursor loop's cursor. The cursor token was rewritten with the
// loop's OPEN; the new token takes its final text.
astNodeClose* closeOfLoop(const astNodeFor* node, int line) {
  astNodeToken* cursor = loopCursor(node);
  astNodeClose* close = astNew<astNodeClose>(AST_CLOSE, line);
  close->variable = adopt(listNew(makeToken(cursor->tokenCode, cursor->text, line)), close);
  return close;
}

// Whether an exception that leaves the loop can reach a handler after which
// the cursor still exists: a handler of a block between the loop and the
// block that declares the cursor (a handler's own statements are not under
// its block's handlers), or any handler at all for a cursor declared outside
// every block, which outlives the call.
bool closeOnException(astNodeFor* node) {
  const char* name = loopCursor(node)->text;
  astNode* from = node;
  int guard = 0;
  for (astNode* n = node->parent; n && guard < 1000000; from = n, n = n->parent, ++guard) {
    if (n->kind != AST_BLOCK) continue;
    auto* block = static_cast<astNodeBlock*>(n);
    if (declaresName(block, name, AST_CURSOR_DECL)) return false;
    if (block->exceptions && from != block->exceptions) return true;
  }
  return true;
}

astNodeHandler* newHandler(const char* condition, astNodeBlock* body, int line) {
  astNodeHandler* handler = astNew<astNodeHandler>(AST_HANDLER, line);
  handler->conditions = adopt(listNew(makeToken(condition, -1)), handler);
  handler->body = reinterpret_cast<astNodeList*>(body);
  body->parent = handler;
  return handler;
}

void setHandlers(astNodeBlock* block, astNodeHandler* handler) {
  block->exceptions = adopt(listNew(handler), block);
}

// ---- jumps ----

// What a jump leaves on its way to `stop` (not included; null: the unit):
// the cursor loops, and whether a declaration on the way hides `index`.
struct Crossing {
  std::vector<astNodeFor*> cursorLoops;  // innermost first
  bool hidesIndex = false;
};

Crossing crossingTo(astNode* jump, astNode* stop, const char* index, const char* gotoLabel) {
  Crossing crossing;
  int guard = 0;
  for (astNode* n = jump->parent; n && n != stop && guard < 1000000; n = n->parent, ++guard) {
    if (astNodeFor* loop = forOfExpansion(n); loop && loop->loopType == FOR_CURSOR && loopCursor(loop)) {
      if (gotoLabel && holdsLabel(n, gotoLabel)) break;  // a GOTO within the loop
      crossing.cursorLoops.push_back(loop);
    }
    if (!index) continue;
    // A FOR over a query names its columns as variables in the target.
    if (n->kind == AST_BLOCK ? declaresName(static_cast<astNodeBlock*>(n), index, 0)
                             : n->kind == AST_FOR && static_cast<astNodeFor*>(n)->loopType == FOR_SELECT)
      crossing.hidesIndex = true;
  }
  return crossing;
}

// Puts `before` ahead of the jump in its statement list; a jump with a WHEN
// condition becomes IF condition THEN before...; jump; END IF.
void putBefore(astNodeStatement* jump, astNodeList** when, const std::vector<astNode*>& before,
               TransformState* state) {
  astNode* holder = jump->parent;
  if (before.empty() || !holder || holder->kind != AST_LIST) return;
  auto* list = static_cast<astNodeList*>(holder);
  astListCell* cell = listCells(list);
  while (cell && cell->value != jump) cell = cell->next;
  if (!cell) return;
  if (when && *when) {
    astNodeIf* branch = astNew<astNodeIf>(AST_IF, jump->line);
    branch->label = jump->label;
    jump->label = nullptr;
    branch->expr = *when;
    branch->expr->parent = branch;
    *when = nullptr;
    for (astNode* statement : before) branch->body = listAppend(branch->body, statement);
    branch->body = adopt(listAppend(branch->body, jump), branch);
    branch->parent = list;
    cell->value = branch;
    for (astNode* statement : before) transformNode(statement, branch->body, state);
    return;
  }
  // The list walk goes on with the cells after this one: the statements put
  // there and the jump itself are met again.
  auto* first = static_cast<astNodeStatement*>(before.front());
  first->label = jump->label;
  jump->label = nullptr;
  cell->value = first;
  astListCell* at = cell;
  for (size_t i = 1; i < before.size(); ++i) {
    at = listInsertAfterCell(list, at, before[i]);
    before[i]->parent = list;
  }
  listInsertAfterCell(list, at, jump);
  transformNode(first, list, state);
}

}  // namespace

namespace rewrite {

astNodeFor* cursorLoopOf(const astNode* block) {
  astNodeFor* node = forOfExpansion(block);
  return node && node->loopType == FOR_CURSOR && loopCursor(node) ? node : nullptr;
}

void settleJump(astNodeStatement* jump, TransformState* state) {
  if (!state->settledJumps.insert(jump).second) return;
  astNode* stop = nullptr;  // the statement the jump goes to; null: out of the unit
  astNodeFor* stepped = nullptr;
  const char* gotoLabel = nullptr;
  astNodeList** when = nullptr;
  if (jump->kind == AST_CONTINUE || jump->kind == AST_EXIT) {
    bool isContinue = jump->kind == AST_CONTINUE;
    char** target = isContinue ? &static_cast<astNodeContinue*>(jump)->target : &static_cast<astNodeExit*>(jump)->target;
    when = isContinue ? &static_cast<astNodeContinue*>(jump)->expr : &static_cast<astNodeExit*>(jump)->expr;
    if (!*target) return;
    astNode* named = labelledAncestor(jump->parent, *target);
    if (!named) return;  // no such label around: written as it stands
    // The label of a FOR loop stands on the block of its expansion. CONTINUE
    // goes back to the loop inside it; EXIT leaves the loop inside a cursor
    // loop's block, so that the CLOSE after that loop runs.
    astNodeFor* owner = forOfExpansion(named);
    if (owner && (isContinue || owner->loopType == FOR_CURSOR)) named = expansionLoop(owner);
    if (!named) return;
    stop = named;
    astNodeFor* expanded = forOfExpansionLoop(named);
    if (expanded) {
      auto* loop = static_cast<astNodeStatement*>(named);
      if (!loop->label) loop->label = madeUpName(state);
      if (std::strcmp(*target, loop->label) != 0) *target = poolStrdup(loop->label);
      // A numeric FOR steps its index at the end of the body; going back to
      // the top skips that, so the step goes right before the jump as well.
      if (isContinue && expanded->loopType == FOR_NUMERIC) stepped = expanded;
    }
  } else if (jump->kind == AST_GOTO) {
    astNodeToken* label = firstToken(static_cast<astNodeGoto*>(jump)->target);
    if (!label || !label->text) return;
    gotoLabel = label->text;
  }
  astNodeToken* index = stepped ? firstToken(stepped->index) : nullptr;
  Crossing crossing = crossingTo(jump, stop, index ? index->text : nullptr, gotoLabel);
  std::vector<astNode*> before;
  for (astNodeFor* loop : crossing.cursorLoops) before.push_back(closeOfLoop(loop, jump->line));
  if (stepped) {
    // A declaration between the jump and the loop that hides the index:
    // the index is named through the label of the block that declares it.
    const char* qualifier = nullptr;
    if (crossing.hidesIndex) {
      astNodeBlock* scope = stepped->expansion;
      if (!scope->label) scope->label = madeUpName(state);
      qualifier = scope->label;
    }
    before.push_back(numericStep(stepped, jump->line, qualifier));
  }
  putBefore(jump, when, before, state);
}

void addCursorCloseHandler(astNodeFor* node, TransformState*) {
  astNodeBlock* expansion = node->expansion;
  astNodeToken* cursor = loopCursor(node);
  if (!expansion || !cursor || expansion->exceptions || !closeOnException(node)) return;
  int line = node->line;
  // IF c IS OPEN: the exception may come from the OPEN itself.
  astNodeIf* open = astNew<astNodeIf>(AST_IF, line);
  open->expr = adopt(tokenList((std::string(cursor->text ? cursor->text : "") + " IS OPEN").c_str(), -1), open);
  open->body = adopt(listNew(closeOfLoop(node, line)), open);
  astNodeRaise* resignal = astNew<astNodeRaise>(AST_RAISE, line);
  astNodeBlock* body = astNew<astNodeBlock>(AST_BLOCK, line);
  body->body = adopt(listAppend(listNew(open), resignal), body);
  setHandlers(expansion, newHandler("SQLEXCEPTION", body, line));
}

}  // namespace rewrite

namespace {

// ---- NOT FOUND ----

const char* const kNotFoundState = "02000";

// SQLSTATE of the exception `name` declared in a scope around `from`, or null.
const char* declaredSqlstate(astNode* from, const char* name) {
  int guard = 0;
  for (astNode* scope = nearestOf(from, isDeclarationScope); scope && guard < 1000000;
       scope = nearestOf(scope->parent, isDeclarationScope), ++guard) {
    astNodeList* declarations = scopeDeclarations(scope);
    for (astListCell* c = listCells(declarations); c; c = c->next) {
      if (!c->value || c->value->kind != AST_EXCEPTION_DECL) continue;
      auto* decl = static_cast<astNodeExceptionDecl*>(c->value);
      if (decl->variableType == VAR_EXCEPTION && isNamed(decl, name)) return decl->sqlstate;
    }
  }
  return nullptr;
}

// Whether a handler of the block (rewritten) takes NOT FOUND: NO_DATA_FOUND,
// or an exception tied to its number.
bool catchesNotFound(astNodeBlock* block) {
  static const std::string rewritten = std::string("SQLSTATE '") + kNotFoundState + "'";
  for (astListCell* h = listCells(block->exceptions); h; h = h->next) {
    if (!h->value || h->value->kind != AST_HANDLER) continue;
    for (astListCell* c = listCells(static_cast<astNodeHandler*>(h->value)->conditions); c; c = c->next) {
      astNodeToken* name = conditionName(c->value);
      if (!name || !name->text) continue;
      if (equalsIgnoreCase(name->text, rewritten.c_str())) return true;
      const char* sqlstate = declaredSqlstate(block, name->text);
      if (sqlstate && std::string(sqlstate) == kNotFoundState) return true;
    }
  }
  return false;
}

astNodeHandler* notFoundContinueHandler(int line) {
  astNodeHandler* handler = newHandler("NOT FOUND", astNew<astNodeBlock>(AST_BLOCK, line), line);
  handler->continueHandler = true;
  return handler;
}

// FETCH, UPDATE, DELETE, MERGE, and INSERT from a query: an INSERT of
// VALUES always inserts its row.
bool raisesNotFound(const astNode* node) {
  if (!node) return false;
  if (node->kind == AST_FETCH) return !static_cast<const astNodeFetch*>(node)->bulkCollect;
  if (node->kind != AST_SQL_STMT) return false;
  auto* statement = static_cast<const astNodeSqlStmt*>(node);
  int code = statement->keywordCode;
  if (code != T_INSERT) return code == T_UPDATE || code == T_DELETE || code == T_MERGE;
  for (astListCell* c = listCells(statement->body); c; c = c->next) {
    astNodeToken* token = asToken(c->value);
    if (token && (token->tokenCode == T_SELECT || equalsIgnoreCase(token->text, "SELECT"))) return true;
  }
  return false;
}

// The statement of `cell` and the row-count statements after it go into a
// block with a CONTINUE handler for NOT FOUND.
void guardStatement(astNodeList* list, astListCell* cell, TransformState* state) {
  auto* statement = static_cast<astNodeStatement*>(cell->value);
  auto followers = state->rowCountFollowers.find(statement);
  int count = followers == state->rowCountFollowers.end() ? 0 : followers->second;
  astNodeBlock* guard = astNew<astNodeBlock>(AST_BLOCK, statement->line);
  guard->label = statement->label;
  statement->label = nullptr;
  guard->body = listNew(statement);
  for (int i = 0; i < count && cell->next; ++i) {
    guard->body = listAppend(guard->body, cell->next->value);
    listRemoveAfter(list, cell->next, cell);
  }
  adopt(guard->body, guard);
  setHandlers(guard, notFoundContinueHandler(statement->line));
  guard->parent = list;
  cell->value = guard;
}

void guardList(astNodeList* list, TransformState* state) {
  for (astListCell* c = list->head; c; c = c->next) {
    astNode* node = c->value;
    if (!node || !state->notFoundGuarded.insert(node).second) continue;
    if (raisesNotFound(node)) {
      guardStatement(list, c, state);
    } else if (node->kind == AST_DYNAMIC) {
      // A dynamic statement with INTO is a SELECT INTO; any other may change
      // data. Its block takes the handler.
      auto* dynamic = static_cast<astNodeDynamic*>(node);
      if (!dynamic->into && dynamic->expansion && !dynamic->expansion->exceptions)
        setHandlers(dynamic->expansion, notFoundContinueHandler(dynamic->line));
    } else if (node->kind == AST_FOR && cursorLoopOf(static_cast<astNodeFor*>(node)->expansion)) {
      // The handler that closes a cursor loop's cursor passes NOT FOUND on
      // as well; the loop's FETCH is guarded with the rest.
      astNodeBlock* block = static_cast<astNodeFor*>(node)->expansion;
      auto* handler = block->exceptions ? static_cast<astNodeHandler*>(listFirst(block->exceptions)) : nullptr;
      if (handler && handler->kind == AST_HANDLER && listLength(handler->conditions) == 1) {
        handler->conditions = listAppend(handler->conditions, makeToken("NOT FOUND", -1));
        adopt(handler->conditions, handler);
      }
    }
  }
}

}  // namespace

namespace rewrite {

void guardNotFound(astNodeBlock* block, TransformState* state) {
  if (!catchesNotFound(block)) return;
  // The block's own handlers do not take what their statements raise.
  auto visit = [state](astNodeList* list) { guardList(list, state); };
  walkStatementLists(block->prologue, visit);
  walkStatementLists(block->body, visit);
}

}  // namespace rewrite

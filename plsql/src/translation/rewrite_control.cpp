// The rewriting pass, control flow. A FOR loop becomes a block around a
// WHILE or LOOP statement; a jump out of such a loop must still do what the
// loop does on its way out: the step of a numeric index before CONTINUE goes
// back to the top, the CLOSE of a cursor loop's cursor before any jump leaves
// the loop, or an exception does. A query that finds no row raises the
// error that stands for NO_DATA_FOUND.
#include <cstring>
#include <string>
#include <vector>

#include "deep_walk.h"
#include "functions.h"
#include "kind_index.h"
#include "plsql_parser.hpp"
#include "rewrite_internal.h"
#include "routine_effects.h"
#include "run_pool.h"

using namespace rewrite;

namespace {

// ---- structure ----

// The FOR loop whose expansion is `block` (any loop type), or null.
astNodeFor* forOfExpansion(const astNode* block) {
  if (!block || block->kind != AST_BLOCK || !block->parent || block->parent->kind != AST_FOR) return nullptr;
  auto* node = nodeAs<astNodeFor>(block->parent);
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
  return nodeAs<const astNodeStatement>(node)->label;
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
    if (isNamed(nodeAs<astNodeDecl>(node), name)) return true;
  }
  return false;
}

// The children that hold statements, and what stands in a node's place,
// as the kind table gives them (AST_STATEMENTS, AST_STAND_IN).
constexpr KindChild kStatementChildren[] = {
#define AST_STATEMENTS(kind, field) KIND_CHILD_ROW(kind, field)
#include "ast_kinds.def"
};

constexpr KindIndex kStatementIndex(kStatementChildren);

constexpr KindChild kStandIns[] = {
#define AST_STAND_IN(kind, field) KIND_CHILD_ROW(kind, field)
#include "ast_kinds.def"
};

constexpr KindIndex kStandInIndex(kStandIns);

}  // namespace

namespace rewrite {

astNode* standInOf(astNode* node) {
  for (const KindChild& standIn : kStandInIndex.rowsOf(node->kind))
    if (astNode* child = standIn.get(node)) return child;
  return nullptr;
}

}  // namespace rewrite

namespace {

// Calls `visit` on every statement list below `node` as the emitter reaches
// it: bodies, branches, handler bodies and the statements the rewriting put
// in the place of a FOR loop, a dynamic statement, an assignment or a call.
// Declarations are not entered, nor nested blocks unless `intoBlocks`.
template <class Visit>
void walkStatementLists(astNode* node, Visit& visit, bool intoBlocks = true) {
  if (!node) return;
  deep_walk_check();
  if (node->kind == AST_LIST) {
    auto* list = nodeAs<astNodeList>(node);
    visit(list);
    for (astListCell* c = list->head; c; c = c->next) walkStatementLists(c->value, visit, intoBlocks);
    return;
  }
  if (!intoBlocks && node->kind == AST_BLOCK) return;
  if (astNode* standIn = standInOf(node)) return walkStatementLists(standIn, visit, intoBlocks);
  for (const KindChild& child : kStatementIndex.rowsOf(node->kind))
    walkStatementLists(child.get(node), visit, intoBlocks);
}

// Whether a statement below `node` carries `label`.
bool holdsLabel(astNode* node, const char* label) {
  bool found = false;
  auto visit = [&](astNodeList* list) {
    for (astListCell* c = list->head; c && !found; c = c->next)
      if (isStatement(c->value) && equalsIgnoreCase(nodeAs<astNodeStatement>(c->value)->label, label))
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
  astNodeClose* close = astMake<astNodeClose>(line);
  close->variable = adopt(listNew(makeToken(cursor->tokenCode, cursor->text, line)), close);
  return close;
}

// Whether an exception that leaves the loop can reach a handler while the
// cursor still exists: a handler of a block between the loop and the block
// that declares the cursor, or of that block itself (its cursor closes only
// when the handler is done; a handler's own statements are not under its
// block's handlers), or any handler at all for a cursor declared outside
// every block, which outlives the call.
bool closeOnException(astNodeFor* node) {
  const char* name = loopCursor(node)->text;
  astNode* from = node;
  int guard = 0;
  for (astNode* n = node->parent; n && guard < 1000000; from = n, n = n->parent, ++guard) {
    if (n->kind != AST_BLOCK) continue;
    auto* block = nodeAs<astNodeBlock>(n);
    if (block->exceptions && from != block->exceptions) return true;
    if (declaresName(block, name, AST_CURSOR_DECL)) return false;
  }
  return true;
}

astNodeHandler* newHandler(const char* condition, astNodeBlock* body, int line) {
  astNodeHandler* handler = astMake<astNodeHandler>(line);
  handler->conditions = adopt(listNew(makeToken(condition, -1)), handler);
  handler->body = body;
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
    if (n->kind == AST_BLOCK ? declaresName(nodeAs<astNodeBlock>(n), index, 0)
                             : n->kind == AST_FOR && nodeAs<astNodeFor>(n)->loopType == FOR_SELECT)
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
  auto* list = nodeAs<astNodeList>(holder);
  astListCell* cell = listCellOf(list, jump);
  if (!cell) return;
  if (when && *when) {
    astNodeIf* branch = astMake<astNodeIf>(jump->line);
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
  // The statements put before the jump are rewritten here, in list order;
  // the list walk goes on after the jump's new cell.
  auto* first = nodeAs<astNodeStatement>(before.front());
  first->label = jump->label;
  jump->label = nullptr;
  cell->value = first;
  std::vector<astListCell*> cells{cell};
  for (size_t i = 1; i < before.size(); ++i) {
    cells.push_back(listInsertAfterCell(list, cells.back(), before[i]));
    before[i]->parent = list;
  }
  astListCell* jumpCell = listInsertAfterCell(list, cells.back(), jump);
  astListCell* walking = state->currentCell;
  for (astListCell* c : cells) {
    state->currentCell = c;
    transformNode(c->value, list, state);
  }
  state->currentCell = walking == cell ? jumpCell : walking;
}

}  // namespace

namespace rewrite {

astNodeFor* cursorLoopOf(const astNode* block) {
  astNodeFor* node = forOfExpansion(block);
  return node && node->loopType == FOR_CURSOR && loopCursor(node) ? node : nullptr;
}

void settleJump(astNodeStatement* jump, TransformState* state) {
  astNode* stop = nullptr;  // the statement the jump goes to; null: out of the unit
  astNodeFor* stepped = nullptr;
  const char* gotoLabel = nullptr;
  astNodeList** when = nullptr;
  if (jump->kind == AST_CONTINUE || jump->kind == AST_EXIT) {
    bool isContinue = jump->kind == AST_CONTINUE;
    char** target = isContinue ? &nodeAs<astNodeContinue>(jump)->target : &nodeAs<astNodeExit>(jump)->target;
    when = isContinue ? &nodeAs<astNodeContinue>(jump)->expr : &nodeAs<astNodeExit>(jump)->expr;
    if (!*target) return;
    astNode* named = labelledAncestor(jump->parent, *target);
    if (!named) return;  // no such label around: written as it stands
    // The label of a FOR loop stands on the block of its expansion. CONTINUE
    // goes back to the loop inside it; EXIT leaves the loop inside a cursor
    // loop's block, so that the CLOSE after that loop runs.
    astNodeFor* owner = forOfExpansion(named);
    if (owner && (isContinue || owner->loopType == FOR_CURSOR)) named = expansionLoop(owner);
    if (!named) return;
    // The target refuses a LEAVE or ITERATE in a condition handler whose
    // label lies outside that handler.
    for (astNode* n = jump->parent; n && n != named; n = n->parent)
      if (n->kind == AST_HANDLER) {
        reportFinding(FindingId::JUMP_FROM_HANDLER, jump, state->errors, isContinue ? "CONTINUE" : "EXIT");
        break;
      }
    stop = named;
    astNodeFor* expanded = forOfExpansionLoop(named);
    if (expanded) {
      auto* loop = nodeAs<astNodeStatement>(named);
      if (!loop->label) loop->label = madeUpName(state);
      if (std::strcmp(*target, loop->label) != 0) *target = poolBumpStrdup(loop->label);
      // A numeric FOR steps its index at the end of the body; going back to
      // the top skips that, so the step goes right before the jump as well.
      if (isContinue && expanded->loopType == FOR_NUMERIC) stepped = expanded;
    }
  } else if (jump->kind == AST_GOTO) {
    astNodeToken* label = firstToken(nodeAs<astNodeGoto>(jump)->target);
    if (!label || !label->text) return;
    gotoLabel = label->text;
    // The target's GOTO in a handler reaches only labels of that handler.
    for (astNode* n = jump->parent; n; n = n->parent)
      if (n->kind == AST_HANDLER) {
        if (!holdsLabel(n, gotoLabel)) reportFinding(FindingId::JUMP_FROM_HANDLER, jump, state->errors, "GOTO");
        break;
      }
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
  astNodeIf* open = astMake<astNodeIf>(line);
  open->expr = adopt(tokenList((std::string(cursor->text ? cursor->text : "") + " IS OPEN").c_str(), -1), open);
  open->body = adopt(listNew(closeOfLoop(node, line)), open);
  astNodeRaise* resignal = astMake<astNodeRaise>(line);
  astNodeBlock* body = astMake<astNodeBlock>(line);
  body->body = adopt(listAppend(listNew(open), resignal), body);
  setHandlers(expansion, newHandler("SQLEXCEPTION", body, line));
}

}  // namespace rewrite

namespace {

// ---- NO_DATA_FOUND ----

// A query that finds no row raises NO_DATA_FOUND in PL/SQL, an error that
// ends the block; in the target it is the warning NOT FOUND, after which
// the next statement runs. The exception map gives NO_DATA_FOUND an error
// SQLSTATE of its own, which handlers take and RAISE signals; a SELECT INTO,
// a dynamic query with INTO and a call of a built-in routine that signals
// NOT FOUND at the end of its data turn their NOT FOUND into that error. A
// FETCH or data change that touches no row raises nothing in PL/SQL, and its
// NOT FOUND stays a warning that no handler takes.

// RAISE NO_DATA_FOUND, as the raise steps leave it.
astNodeRaise* raiseNoDataFound(int line, TransformState* state) {
  astNodeRaise* raise = astMake<astNodeRaise>(line);
  raise->exceptionName = adopt(tokenList("NO_DATA_FOUND", -1), raise);
  raise->condition = sqlstateForName("NO_DATA_FOUND", state);
  raise->isSqlstate = raise->condition ? 1 : 0;
  if (!raise->condition) raise->condition = poolBumpStrdup("NO_DATA_FOUND");
  return raise;
}

// A query that finds no row sets SQL%ROWCOUNT to 0 (and %FOUND, %NOTFOUND)
// before NO_DATA_FOUND is raised, and a handler may read them: the counts
// that the statements after the query (`followers` of them) keep.
astNodeList* noRowCounts(astListCell* cell, int followers, int line) {
  astNodeList* counts = nullptr;
  for (astListCell* c = cell->next; c && followers > 0; c = c->next, --followers) {
    if (c->value->kind != AST_ASSIGN && c->value->kind != AST_GET_DIAG) continue;
    astNodeList* target = c->value->kind == AST_ASSIGN ? nodeAs<astNodeAssign>(c->value)->target
                                                       : nodeAs<astNodeGetDiag>(c->value)->target;
    astNodeToken* name = firstToken(target);
    if (!name || !name->text) continue;
    const char* value = equalsIgnoreCase(name->text, SYSZUL_ROWCOUNT) ? "0"
                        : equalsIgnoreCase(name->text, SYSZUL_FOUND)  ? "false"
                        : equalsIgnoreCase(name->text, SYSZUL_NOTFOUND) ? "true"
                                                                        : nullptr;
    if (!value) continue;
    astNodeAssign* assign = astMake<astNodeAssign>(line);
    assign->target = adopt(tokenList(name->text, -1), assign);
    assign->expr = adopt(tokenList(value, -1), assign);
    counts = listAppend(counts, assign);
  }
  return counts;
}

astNodeHandler* noDataFoundHandler(astNodeList* counts, int line, TransformState* state) {
  astNodeBlock* body = astMake<astNodeBlock>(line);
  body->body = adopt(listAppend(counts, raiseNoDataFound(line, state)), body);
  return newHandler("NOT FOUND", body, line);
}

bool isQueryInto(const astNode* node) {
  if (!node) return false;
  if (node->kind == AST_SELECT) {
    auto* select = nodeAs<const astNodeSelect>(node);
    return select->intoClause && !select->bulkCollect;
  }
  if (node->kind != AST_DYNAMIC) return false;
  // BULK COLLECT INTO (reported) finds any number of rows.
  auto* dynamic = nodeAs<const astNodeDynamic>(node);
  return !holdsToken(dynamic->expr, T_BULK) && listLength(dynamic->into) > 0;
}

// The query of `cell` and the row-count statements after it go into a block
// whose NOT FOUND handler raises NO_DATA_FOUND; a call, which sets no count,
// goes alone.
void guardQuery(astNodeList* list, astListCell* cell, TransformState* state) {
  auto* statement = nodeAs<astNodeStatement>(cell->value);
  // A dynamic statement's counts follow the EXECUTE in its own block.
  int count = statement->kind == AST_DYNAMIC || statement->kind == AST_CALL ? 0 : rowCountFollowers(statement);
  astNodeList* counts = noRowCounts(cell, count, statement->line);
  if (statement->kind == AST_DYNAMIC) {
    // The dynamic statement's own block takes the handler.
    astNodeBlock* expansion = nodeAs<astNodeDynamic>(statement)->expansion;
    if (expansion && !expansion->exceptions) setHandlers(expansion, noDataFoundHandler(counts, statement->line, state));
    return;
  }
  astNodeBlock* guard = astMake<astNodeBlock>(statement->line);
  guard->label = statement->label;
  statement->label = nullptr;
  guard->body = listNew(statement);
  for (int i = 0; i < count && cell->next; ++i) {
    guard->body = listAppend(guard->body, cell->next->value);
    listRemoveAfter(list, cell->next, cell);
  }
  adopt(guard->body, guard);
  setHandlers(guard, noDataFoundHandler(counts, statement->line, state));
  guard->parent = list;
  cell->value = guard;
}

// The row of a call's built-in routine that raises NO_DATA_FOUND in PL/SQL
// at the end of what it reads (END_OF_DATA in the function table), or null;
// a package of the run hides the built-in one of its name.
const BuiltinFunction* endOfDataRoutine(const astNodeCall* call, const TransformState* state) {
  astNodeToken* name = listLength(call->name) == 1 ? firstToken(call->name) : nullptr;
  const BuiltinFunction* row = name ? routineWithFact(kEndOfDataRoutines, name->text) : nullptr;
  if (!row) return nullptr;
  return state->runPackages.count(firstPart(row->name)) ? nullptr : row;
}

// A call of a built-in routine that raises NO_DATA_FOUND at the end of its
// data: guarded where the target signals NOT FOUND there (a SAME row), else
// given its row's record (the target's page does not say what its routine
// does there, or its module lacks the routine).
void reviewEndOfDataCall(astNodeList* list, astListCell* cell, TransformState* state) {
  auto* call = nodeAs<astNodeCall>(cell->value);
  const BuiltinFunction* row = endOfDataRoutine(call, state);
  if (!row) return;
  astNodeToken* name = firstToken(call->name);
  if (row->outcome == FunctionOutcome::SAME)
    guardQuery(list, cell, state);
  else
    reportFinding(row->finding, name, state->errors, row->name, name->text);
}

}  // namespace

namespace rewrite {

void guardQueries(astNodeBlock* block, TransformState* state) {
  // Each block guards the queries of its own statement lists, nested blocks
  // apart (they guarded theirs when they were rewritten), so every query is
  // met once. A guarded query stands in its guard's block from then on.
  // The LOB writes are told from the same statements, met once here.
  LobRowWrites* lobRows = state->effects ? &state->effects->lobRows() : nullptr;
  auto visit = [state, lobRows](astNodeList* list) {
    for (astListCell* c = list->head; c; c = c->next) {
      if (lobRows && c->value) lobRows->note(c->value);
      if (isQueryInto(c->value)) guardQuery(list, c, state);
      else if (c->value && c->value->kind == AST_CALL) reviewEndOfDataCall(list, c, state);
    }
  };
  walkStatementLists(block->prologue, visit, false);
  walkStatementLists(block->body, visit, false);
}

}  // namespace rewrite

namespace rewrite {

void separateDefaultsFromHandlers(astNodeBlock* block, TransformState*) {
  // The prologue assigns the defaults that are not literals. The target
  // runs it once the block's handlers are declared; in PL/SQL an error
  // there leaves the block. The handlers and the statements go into a block
  // of their own inside this one.
  if (!block->exceptions || !listLength(block->prologue)) return;
  astNodeBlock* inner = astMake<astNodeBlock>(block->line);
  inner->exceptions = adopt(block->exceptions, inner);
  inner->body = adopt(block->body, inner);
  block->exceptions = nullptr;
  block->body = adopt(listNew(inner), block);
}

}  // namespace rewrite

// Functions that may end with NO_DATA_FOUND, called inside SQL. PL/SQL's
// SQL engine takes NO_DATA_FOUND out of a function it calls as the NULL
// value of the call; the target signals the error, which ends the whole
// statement. A function cannot tell which of the two callers it has, and
// the one it keeps is PL/SQL's own: the calls in SQL of the run are
// recorded.
//
// A routine may end with NO_DATA_FOUND when a SELECT INTO (but one of DUAL
// or of aggregates), a dynamic query with INTO or a RAISE of it (a bare
// RAISE too, in a handler that takes it) stands outside every handler of
// the routine that takes it (its own, or OTHERS), or when it calls, outside
// such a handler, a routine of the run that may. A call inside SQL passes
// nothing on: there the engine makes it NULL.
//
// Most runs call none of their functions in SQL and pay nothing: the calls
// of the run's functions are those data access gathered, and only the
// bodies of the routines that a call in SQL may reach are walked, each once.
#include <cstring>
#include <string>
#include <vector>

#include "functions.h"
#include "plsql_parser.hpp"
#include "routine_effects.h"
#include "token_spans.h"

using namespace rewrite;

namespace {

// Whether a call is written as one: before "(", or with the "()" that the
// rewriting gives a function without parameters.
bool isCall(const astNodeToken* token, const astNode* next) {
  if (spans::isOpen(next)) return true;
  size_t length = token->text ? std::strlen(token->text) : 0;
  return length > 2 && token->text[length - 2] == '(' && token->text[length - 1] == ')';
}

// Whether a node stands in SQL: a query (not its INTO targets), a data
// change, a cursor's query, the query a FOR loop ranges over.
bool inSql(const astNode* node) {
  int guard = 0;
  for (const astNode* from = node, *n = node->parent; n && guard < 1000000; from = n, n = n->parent, ++guard) {
    switch (n->kind) {
      case AST_SELECT: return nodeAs<const astNodeSelect>(n)->intoClause != from;
      case AST_SQL_STMT:
      case AST_CURSOR_DECL: return true;
      case AST_FOR: {
        auto* loop = nodeAs<const astNodeFor>(n);
        return loop->loopType == FOR_SELECT && loop->expr == from;
      }
      default:
        if (isStatement(n) || isDeclaration(n) || isRoutine(n)) return false;
    }
  }
  return false;
}

// Whether a SELECT INTO finds a row whatever the data: it reads DUAL alone,
// or aggregates without GROUP BY or HAVING, which give their one row over
// no row as well.
bool findsARow(const astNodeSelect* select) {
  astListCell* from = listCells(select->fromClause);
  if (from && textIs(from->value, "FROM")) from = from->next;
  if (from && !from->next && (textIs(from->value, "DUAL") || textIs(from->value, "SYS.DUAL"))) return true;
  bool grouped = false;
  spans::eachOutsideGroups(from, [&grouped](astListCell* c, astListCell*) {
    grouped = textIs(c->value, "GROUP") || textIs(c->value, "HAVING") || textIs(c->value, "UNION") ||
              textIs(c->value, "INTERSECT") || textIs(c->value, "MINUS");
    return !grouped;
  });
  if (grouped) return false;
  bool aggregate = false;
  for (astListCell* c = listCells(select->target); c; c = c->next) {
    if (textIs(c->value, "SELECT")) return false;  // a query inside has rows of its own
    if (aggregate || !c->next || !spans::isOpen(c->next->value)) continue;
    const BuiltinFunction* row = builtinNamed(spans::textOf(c->value));
    if (!row || row->kind != FunctionKind::AGGREGATE) continue;
    astListCell* close = spans::closingCell(c->next);
    aggregate = !(close && close->next && textIs(close->next->value, "OVER"));
  }
  return aggregate;
}

bool isLoopQuery(const astNode* node) {
  const astNode* owner = node->parent;
  return owner && owner->kind == AST_FOR && nodeAs<const astNodeFor>(owner)->loopType == FOR_SELECT &&
         nodeAs<const astNodeFor>(owner)->expr == node;
}

}  // namespace

// The run's routines with a body, by name: the top-level ones and those of
// package bodies.
void NoDataFoundCalls::noteRoutines(astNode* root) {
  auto note = [this](astNode* node) {
    RoutineParts routine;
    if (!node || !routineParts(node, &routine) || !routine.body || routine.body->kind != AST_BLOCK) return;
    astNodeToken* last = asToken(listLast(routine.name));
    if (!last || !last->text) return;
    int name = names_.insert(keys_.of(last->text));
    if (size_t(name) >= routinesOf_.size()) routinesOf_.resize(size_t(name) + 1);
    routinesOf_[size_t(name)].push_back(static_cast<int>(routines_.size()));
    routines_.push_back({node, name, false, false, {}});
  };
  bool units = root && root->kind == AST_LIST;
  for (astListCell* c = units ? listCells(nodeAs<astNodeList>(root)) : nullptr; c; c = c->next) {
    note(c->value);
    if (c->value && c->value->kind == AST_CREATE_PKG_BODY)
      for (astListCell* e = listCells(nodeAs<astNodeCreatePkgBody>(c->value)->prototypes); e; e = e->next)
        note(e->value);
  }
  if (!units) note(root);
}

bool NoDataFoundCalls::takes(const astNodeHandler* handler) const {
  for (astListCell* c = listCells(handler->conditions); c; c = c->next) {
    astNodeToken* name = conditionName(c->value);
    if (name && (equalsIgnoreCase(name->text, "SQLEXCEPTION") || equalsIgnoreCase(name->text, ndfCondition_.c_str())))
      return true;
  }
  return false;
}

bool NoDataFoundCalls::handled() const {
  for (const Block& block : blocks_)
    if (block.active && block.takes) return true;
  return false;
}

void NoDataFoundCalls::raised() {
  if (!handled()) current_->raises = true;
}

// The routine's calls of the run's routines outside SQL: a word before "(",
// the name of a CALL, a function written with "()".
void NoDataFoundCalls::noteCalls(astNodeList* list) {
  const astNode* owner = list->parent;
  bool callName = owner && owner->kind == AST_CALL && nodeAs<const astNodeCall>(owner)->name == list;
  for (astListCell* c = list->head; c; c = c->next) {
    astNodeToken* token = asToken(c->value);
    if (!token || !token->text || token->tokenCode == T_STRING) continue;
    astNode* next = c->next ? c->next->value : nullptr;
    if (!(callName && !next) && !isCall(token, next)) continue;
    int name = names_.find(keys_.of(token->text));
    if (name >= 0 && !handled()) current_->calls.push_back(name);
  }
}

void NoDataFoundCalls::enter(astNode* node, void* data) {
  auto* self = static_cast<NoDataFoundCalls*>(data);
  switch (node->kind) {
    case AST_BLOCK: {
      bool taking = false;
      for (astListCell* c = listCells(nodeAs<astNodeBlock>(node)->exceptions); c && !taking; c = c->next)
        taking = c->value && c->value->kind == AST_HANDLER && self->takes(nodeAs<astNodeHandler>(c->value));
      self->blocks_.push_back({taking, true});
      break;
    }
    case AST_HANDLER: {
      // The handlers of a block do not take what their own statements raise.
      if (!self->blocks_.empty()) self->blocks_.back().active = false;
      auto* handler = nodeAs<astNodeHandler>(node);
      astNodeToken* first = conditionName(listFirst(handler->conditions));
      self->handlers_.push_back(self->takes(handler)                                        ? TAKES
                                : first && equalsIgnoreCase(first->text, "NOT FOUND") ? GUARD
                                                                                      : OTHER);
      break;
    }
    case AST_RAISE: {
      // The raise of a query's guard counts with its query.
      auto* raise = nodeAs<astNodeRaise>(node);
      Handler handler = self->handlers_.empty() ? OTHER : self->handlers_.back();
      if (raise->exceptionName ? handler != GUARD && equalsIgnoreCase(raise->condition, self->ndfState_.c_str())
                               : handler == TAKES)
        self->raised();
      break;
    }
    case AST_DYNAMIC: {
      // Its query's NOT FOUND handler stands in its expansion, which the
      // walk leaves.
      auto* dynamic = nodeAs<astNodeDynamic>(node);
      if (listLength(dynamic->into) > 0 && !holdsToken(dynamic->expr, T_BULK)) self->raised();
      break;
    }
    case AST_SELECT: {
      auto* select = nodeAs<astNodeSelect>(node);
      if (select->intoClause && !select->bulkCollect && !findsARow(select)) self->raised();
      ++self->sql_;
      break;
    }
    case AST_SQL_STMT:
    case AST_CURSOR_DECL: ++self->sql_; break;
    case AST_LIST:
      if (isLoopQuery(node)) ++self->sql_;
      if (!self->sql_) self->noteCalls(nodeAs<astNodeList>(node));
      break;
    default: break;
  }
}

void NoDataFoundCalls::leave(astNode* node, void* data) {
  auto* self = static_cast<NoDataFoundCalls*>(data);
  switch (node->kind) {
    case AST_BLOCK:
      if (!self->blocks_.empty()) self->blocks_.pop_back();
      break;
    case AST_HANDLER:
      if (!self->handlers_.empty()) self->handlers_.pop_back();
      if (!self->blocks_.empty()) self->blocks_.back().active = true;
      break;
    case AST_SELECT:
    case AST_SQL_STMT:
    case AST_CURSOR_DECL: --self->sql_; break;
    case AST_LIST:
      if (isLoopQuery(node)) --self->sql_;
      break;
    default: break;
  }
}

void NoDataFoundCalls::walk(Routine& routine) {
  routine.walked = true;
  current_ = &routine;
  RoutineParts parts;
  routineParts(routine.node, &parts);
  astWalkAroundSkipping(parts.body, enter, leave, standInOf, this);
  current_ = nullptr;
}

void NoDataFoundCalls::settle(TransformState* state, const std::vector<DataAccess::Call>& calls) {
  std::vector<astNodeToken*> sqlCalls;
  for (const DataAccess::Call& call : calls)
    if (inSql(call.token)) sqlCalls.push_back(call.token);
  if (sqlCalls.empty()) return;
  const char* ndf = sqlstateForName("NO_DATA_FOUND", state);
  ndfState_ = ndf ? ndf : "NO_DATA_FOUND";
  ndfCondition_ = ndf ? "SQLSTATE '" + ndfState_ + "'" : ndfState_;
  noteRoutines(state->root);
  // The routines that the calls in SQL may reach, each walked once.
  std::vector<int> reach;
  for (astNodeToken* token : sqlCalls) reach.push_back(names_.find(keys_.of(token->text)));
  while (!reach.empty()) {
    int name = reach.back();
    reach.pop_back();
    if (name < 0) continue;
    for (int index : routinesOf_[size_t(name)]) {
      Routine& routine = routines_[size_t(index)];
      if (routine.walked) continue;
      walk(routine);
      reach.insert(reach.end(), routine.calls.begin(), routine.calls.end());
    }
  }
  // A routine that calls one that may end with NO_DATA_FOUND may as well.
  std::vector<std::vector<int>> usedBy(names_.size());
  std::vector<int> pending;
  for (size_t r = 0; r < routines_.size(); ++r) {
    if (routines_[r].raises) pending.push_back(static_cast<int>(r));
    for (int name : routines_[r].calls) usedBy[size_t(name)].push_back(static_cast<int>(r));
  }
  std::vector<bool> nameRaises(names_.size(), false);
  while (!pending.empty()) {
    Routine& routine = routines_[size_t(pending.back())];
    pending.pop_back();
    if (nameRaises[size_t(routine.name)]) continue;
    nameRaises[size_t(routine.name)] = true;
    for (int user : usedBy[size_t(routine.name)])
      if (!routines_[size_t(user)].raises) {
        routines_[size_t(user)].raises = true;
        pending.push_back(user);
      }
  }
  for (astNodeToken* token : sqlCalls) {
    int name = names_.find(keys_.of(token->text));
    if (name >= 0 && nameRaises[size_t(name)])
      reportFinding(FindingId::NO_DATA_FOUND_IN_SQL, token, state->errors, nullptr, token->text);
  }
}

// Cursors that a COMMIT may meet while they are open. A PL/SQL cursor stays
// open over a COMMIT; a target cursor is closed by it unless it is declared
// WITH HOLD, and then the next FETCH fails. A cursor is held when a COMMIT
// can run within its reach: lexically (its declaring block or package, the
// loop of a FOR over a query, the routine that opens a cursor variable), or
// through a call of a routine of the same run that commits, directly or
// through its own calls. A ROLLBACK closes even a held cursor in the
// target, so a ROLLBACK inside a loop over an open cursor is recorded.
//
// Linear in the size of the run: the shared walk notes each COMMIT and
// each routine name used, in walk order, with the routine whose body holds
// it; the routines that commit through calls follow from that graph, and a
// scope commits when its stretch of the walk holds a committing event.
#include <cstring>
#include <string>
#include <strings.h>
#include <unordered_set>

#include "plsql_parser.hpp"
#include "routine_effects.h"

namespace {

bool keywordIs(const astNode* node, const char* keyword) {
  if (!node || node->kind != AST_SQL_STMT) return false;
  const char* own = nodeAs<const astNodeSqlStmt>(node)->keyword;
  return own && strcasecmp(own, keyword) == 0;
}

// A ROLLBACK of the whole transaction (not to a savepoint).
bool isWholeRollback(const astNode* node) {
  if (!keywordIs(node, "ROLLBACK")) return false;
  for (astListCell* c = listCells(nodeAs<const astNodeSqlStmt>(node)->body); c; c = c->next)
    if (rewrite::textIs(c->value, "TO")) return false;
  return true;
}

const char* lastText(const astNodeList* name) {
  const astNode* last = listLast(name);
  return last && last->kind == AST_TOKEN ? nodeAs<const astNodeToken>(last)->text : nullptr;
}

// The routine name that a node uses, if any: a call's, or a word of an
// expression (a function called, with or without parentheses).
const char* usedName(const astNode* node) {
  if (node->kind == AST_CALL) return lastText(nodeAs<const astNodeCall>(node)->name);
  if (node->kind == AST_TOKEN && nodeAs<const astNodeToken>(node)->tokenCode == T_WORD)
    return nodeAs<const astNodeToken>(node)->text;
  return nullptr;
}

const astNode* routineBody(const astNode* node) {
  return node->kind == AST_CREATE_PROCEDURE ? nodeAs<const astNodeCreateProc>(node)->body
                                            : nodeAs<const astNodeCreateFunc>(node)->body;
}

const astNodeList* routineName(const astNode* node) {
  return node->kind == AST_CREATE_PROCEDURE ? nodeAs<const astNodeCreateProc>(node)->name
                                            : nodeAs<const astNodeCreateFunc>(node)->name;
}

bool isScope(const astNode* node) {
  return node->kind == AST_BLOCK || node->kind == AST_FOR || isRoutine(node) || isEnclosingUnit(node);
}

}  // namespace

// Marks an enclosing scope as one a cursor asks about.
void CursorHolds::want(const astNode* scope) {
  for (auto s = scopes_.rbegin(); s != scopes_.rend(); ++s)
    if (s->node == scope) {
      s->wanted = true;
      return;
    }
}

// A FETCH inside the innermost loop (not a FOR over a cursor) around the
// walk.
void CursorHolds::markFetching() {
  for (auto l = openLoops_.rbegin(); l != openLoops_.rend(); ++l)
    if (l->slot >= 0) {
      loops_[size_t(l->slot)].fetches = true;
      return;
    }
}

void CursorHolds::enter(astNode* node) {
  // A token is no scope, loop nor statement: at most a name used.
  if (node->kind == AST_TOKEN) {
    if (const char* name = usedName(node)) events_.push_back({name, innermostBody_});
    return;
  }
  if (!frames_.empty() && !frames_.back().inBody && node == frames_.back().body) {
    Frame& frame = frames_.back();
    frame.inBody = true;
    Routine& routine = routines_[size_t(frame.index)];
    if (routine.outer < 0 && innermostBody_ >= 0 && innermostBody_ != frame.index) routine.outer = innermostBody_;
    innermostBody_ = frame.index;
  }
  if (node->kind == AST_CREATE_PROCEDURE || node->kind == AST_CREATE_FUNCTION) {
    auto [at, added] = routineOf_.emplace(node, static_cast<int>(routines_.size()));
    if (added) routines_.push_back({node});
    frames_.push_back({node, routineBody(node), at->second, false});
  }
  if (isScope(node)) scopes_.push_back({node, static_cast<int>(events_.size()), false});
  auto innermostLoop = [this] {
    for (auto l = openLoops_.rbegin(); l != openLoops_.rend(); ++l)
      if (l->slot >= 0) return l->slot;
    return -1;
  };
  switch (node->kind) {
    case AST_CURSOR_DECL: {
      auto* cursor = nodeAs<astNodeCursorDecl>(node);
      cursors_.push_back(cursor);
      const astNode* list = cursor->parent;
      if (list && list->parent && !isPackage(list->parent)) want(list->parent);
      break;
    }
    case AST_FOR: {
      auto* loop = nodeAs<astNodeFor>(node);
      if (loop->loopType == FOR_SELECT) {
        queryLoops_.push_back(loop);
        want(loop);
      }
      if (loop->loopType != FOR_NUMERIC) {
        // The expansion of a FOR over a cursor is a loop that FETCHes.
        if (loop->loopType == FOR_CURSOR && loop->expansion) markFetching();
        openLoops_.push_back({-1});
        ++openForLoops_;
      } else if (loop->expansion) {
        // A numeric FOR runs its body in the WHILE of its expansion. Its
        // outer loop is read before it opens: itself as its own outer loop
        // would make the walk up the loops endless.
        int outer = innermostLoop();
        openLoops_.push_back({static_cast<int>(loops_.size())});
        loops_.push_back({outer, false});
      }
      break;
    }
    case AST_LOOP:
    case AST_WHILE: {
      int outer = innermostLoop();
      openLoops_.push_back({static_cast<int>(loops_.size())});
      loops_.push_back({outer, false});
      break;
    }
    case AST_FETCH: markFetching(); break;
    case AST_OPEN:
      if (nodeAs<astNodeOpen>(node)->cursorConstructor) {
        const astNode* scope = routineOrOutermostUnit(node);
        opens_.push_back({nodeAs<astNodeOpen>(node), scope});
        if (scope && !isPackage(scope)) want(scope);
      }
      break;
    case AST_SQL_STMT:
      if (keywordIs(node, "COMMIT")) {
        anyCommit_ = true;
        events_.push_back({nullptr, innermostBody_});
      } else if (isWholeRollback(node)) {
        rollbacks_.push_back({node, openForLoops_ > 0 ? -2 : innermostLoop()});
      }
      break;
    case AST_CALL:
      if (const char* name = usedName(node)) events_.push_back({name, innermostBody_});
      break;
    default: break;
  }
}

void CursorHolds::token(astNodeToken* token, astNode*) {
  if (const char* name = usedName(token)) events_.push_back({name, innermostBody_});
}

void CursorHolds::leave(astNode* node) {
  if (node->kind == AST_TOKEN) return;
  bool loop = node->kind == AST_LOOP || node->kind == AST_WHILE;
  if (node->kind == AST_FOR) {
    auto* statement = nodeAs<astNodeFor>(node);
    if (statement->loopType != FOR_NUMERIC) {
      openLoops_.pop_back();
      --openForLoops_;
    } else {
      loop = statement->expansion != nullptr;
    }
  }
  if (loop) {
    // A loop FETCHes when any loop inside it does.
    const Loop& inner = loops_[size_t(openLoops_.back().slot)];
    if (inner.fetches && inner.outer >= 0) loops_[size_t(inner.outer)].fetches = true;
    openLoops_.pop_back();
  }
  if (isScope(node)) {
    const Scope& scope = scopes_.back();
    if (scope.wanted) spans_[node] = {scope.firstEvent, static_cast<int>(events_.size())};
    scopes_.pop_back();
  }
  if (!frames_.empty()) {
    Frame& frame = frames_.back();
    if (frame.inBody && node == frame.body) {
      frame.inBody = false;
      // The body left: the walk is in the body of the routine around it.
      innermostBody_ = -1;
      for (auto f = frames_.rbegin() + 1; f < frames_.rend(); ++f)
        if (f->inBody) {
          innermostBody_ = f->index;
          break;
        }
    } else if (node == frame.routine) {
      frames_.pop_back();
    }
  }
}

void CursorHolds::settle(TransformState* state) {
  if (anyCommit_) {
    // The routines' names, and each event's routine (-1: none).
    FoldedIndex keys;
    RoutineKey key;
    auto keyIndexOf = [&](const char* name) {
      // The key of a name without double quotes is a stretch of its text.
      const char* dot = std::strrchr(name, '.');
      std::string_view part(dot ? dot + 1 : name);
      if (part.find('"') != std::string_view::npos) return keys.find(key.of(name));
      if (part.ends_with("()")) part.remove_suffix(2);
      return keys.find(part);
    };
    std::vector<int> keyOf(routines_.size(), -1);
    for (size_t r = 0; r < routines_.size(); ++r) {
      std::string_view k = key.of(lastText(routineName(routines_[r].node)));
      if (!k.empty()) keyOf[r] = keys.insert(k);
    }
    std::vector<int> eventKey(events_.size(), -1);
    std::vector<std::vector<int>> usedBy(keys.size());
    std::vector<int> pending;
    for (size_t e = 0; e < events_.size(); ++e) {
      const Event& event = events_[e];
      if (!event.name) {
        if (event.routine >= 0) pending.push_back(event.routine);
        continue;
      }
      int k = keyIndexOf(event.name);
      if (k < 0) continue;
      eventKey[e] = k;
      if (event.routine >= 0) usedBy[size_t(k)].push_back(event.routine);
    }
    // The routines that commit, directly, through the routines their bodies
    // hold, or through the routines they call.
    std::vector<bool> routineCommits(routines_.size(), false);
    std::vector<bool> keyCommits(keys.size(), false);
    while (!pending.empty()) {
      int r = pending.back();
      pending.pop_back();
      if (routineCommits[size_t(r)]) continue;
      routineCommits[size_t(r)] = true;
      if (routines_[size_t(r)].outer >= 0) pending.push_back(routines_[size_t(r)].outer);
      int k = keyOf[size_t(r)];
      if (k >= 0 && !keyCommits[size_t(k)]) {
        keyCommits[size_t(k)] = true;
        for (int user : usedBy[size_t(k)]) pending.push_back(user);
      }
    }
    // Committing events before each event: a scope commits when its span
    // holds one.
    std::vector<int> before(events_.size() + 1, 0);
    for (size_t e = 0; e < events_.size(); ++e)
      before[e + 1] = before[e] + (!events_[e].name || (eventKey[e] >= 0 && keyCommits[size_t(eventKey[e])]) ? 1 : 0);
    auto commits = [&](const astNode* scope) {
      if (!scope || isPackage(scope)) return true;
      auto at = spans_.find(scope);
      if (at != spans_.end()) return before[size_t(at->second.second)] > before[size_t(at->second.first)];
      // A scope that the walk did not measure: a walk of its own.
      struct Search {
        FoldedIndex* keys;
        std::vector<bool>* keyCommits;
        RoutineKey key;
        bool found = false;
      } search{&keys, &keyCommits, {}};
      astWalkSkipping(
          const_cast<astNode*>(scope),
          [](astNode* node, void* data) {
            auto* s = static_cast<Search*>(data);
            if (keywordIs(node, "COMMIT")) {
              s->found = true;
            } else if (const char* name = usedName(node)) {
              int k = s->keys->find(s->key.of(name));
              if (k >= 0 && (*s->keyCommits)[size_t(k)]) s->found = true;
            }
          },
          rewrite::standInOf, &search);
      return search.found;
    };
    if (before.back() > 0) {
      for (astNodeCursorDecl* cursor : cursors_) {
        astNode* list = cursor->parent;
        cursor->withHold = commits(list ? list->parent : nullptr);
      }
      // A package head's declarations are no part of the walk.
      astNode* root = state->root;
      for (astListCell* c = root && root->kind == AST_LIST ? listCells(nodeAs<astNodeList>(root)) : nullptr; c;
           c = c->next)
        if (c->value && c->value->kind == AST_CREATE_PKG_HEAD)
          for (astListCell* d = listCells(nodeAs<astNodeCreatePkgHead>(c->value)->declarations); d; d = d->next)
            if (d->value && d->value->kind == AST_CURSOR_DECL) nodeAs<astNodeCursorDecl>(d->value)->withHold = true;
      for (astNodeFor* loop : queryLoops_) loop->withHold = commits(loop);
      for (auto& [open, scope] : opens_) open->cursorConstructor->withHold = commits(scope);
    }
  }
  // A ROLLBACK inside a loop over an open cursor: a FOR over a cursor or a
  // query, or a loop that FETCHes.
  std::unordered_set<const astNode*> reported;
  for (auto& [rollback, loop] : rollbacks_) {
    bool open = loop == -2;
    for (int l = loop; l >= 0 && !open; l = loops_[size_t(l)].outer) open = loops_[size_t(l)].fetches;
    if (open && reported.insert(rollback).second)
      reportFinding(FindingId::ROLLBACK_IN_CURSOR_LOOP, rollback, state->errors);
  }
}

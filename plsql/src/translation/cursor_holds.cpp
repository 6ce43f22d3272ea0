// Cursors that a COMMIT may meet while they are open. A PL/SQL cursor stays
// open over a COMMIT; a target cursor is closed by it unless it is declared
// WITH HOLD, and then the next FETCH fails. A cursor is held when a COMMIT
// can run within its reach: lexically (its declaring block or package, the
// loop of a FOR over a query, the routine that opens a cursor variable), or
// through a call of a routine of the same run that commits, directly or
// through its own calls. A ROLLBACK closes even a held cursor in the
// target, so a ROLLBACK inside a loop over an open cursor is recorded.
//
// Linear in the size of the run: one walk finds which routines commit
// themselves and which routine names each one uses; the routines that
// commit through calls follow from that graph; a second walk then tells,
// bottom-up, which scopes hold a COMMIT.
#include <cstdint>
#include <cstring>
#include <string>
#include <strings.h>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "name_keys.h"
#include "plsql_parser.hpp"
#include "rewrite_internal.h"

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

bool isRoutineWithBody(const astNode* node, astNode** body) {
  if (node->kind == AST_CREATE_PROCEDURE) *body = nodeAs<const astNodeCreateProc>(node)->body;
  else if (node->kind == AST_CREATE_FUNCTION) *body = nodeAs<const astNodeCreateFunc>(node)->body;
  else return false;
  return true;
}

// What the walk is in: a scope whose COMMITs a cursor may meet, or a loop.
struct OpenScope {
  const astNode* node;
  int firstEvent;     // the events of the scope start here
  bool wanted;        // a cursor asks about it
};
struct OpenLoop {
  int slot;           // its place in loops
  bool open;          // a FOR over a cursor or query: open from the start
};

struct HoldScan {
  RoutineKey key;
  // The run's routines: their keys, the routine whose body holds them, and
  // whether they commit themselves.
  struct Routine {
    int key = -1;      // index into keys, -1 for a name without a key
    int outer = -1;    // the routine whose body holds this one
    bool commits = false;
    std::vector<int> uses;  // keys of the routines named in the body
  };
  std::vector<Routine> routines;
  std::unordered_map<const astNode*, int> routineOf;  // routine node -> index
  std::vector<std::string> keys;
  std::unordered_map<std::string, int, KeyHash, std::equal_to<>> keyIndex;
  uint64_t keyLengths = 0;  // bit n: some key is n long (63: longer)

  // The walk's position: routine bodies it is in (a routine entered waits
  // for its body), scopes and loops, innermost last.
  struct Frame {
    const astNode* routine;
    const astNode* body;
    int index;
    bool inBody;
  };
  std::vector<Frame> frames;
  int innermostBody = -1;  // the routine whose body holds the walk, or -1
  std::vector<OpenScope> scopes;
  // Events in walk order: a COMMIT (-1) or a use of a routine name (its key).
  std::vector<int> events;
  std::unordered_map<const astNode*, std::pair<int, int>> spans;  // wanted scopes' events

  // Loops over a cursor: each with whether it FETCHes and the loop around it.
  struct Loop {
    int outer;
    bool open;
  };
  std::vector<Loop> loops;
  std::vector<OpenLoop> openLoops;
  int openForLoops = 0;
  // Whole ROLLBACKs in walk order, each time the walk meets one, with the
  // innermost loop around it (-2: a FOR over a cursor is around it).
  std::vector<std::pair<astNode*, int>> rollbacks;

  std::vector<astNodeCursorDecl*> cursors;
  std::vector<astNodeFor*> queryLoops;
  std::vector<std::pair<astNodeOpen*, const astNode*>> opens;  // with the scope they ask about
  bool anyCommit = false;

  int keyOf(const char* text) {
    std::string_view k = key.of(text);
    size_t length = k.size() < 63 ? k.size() : 63;
    if (!(keyLengths >> length & 1)) return -1;
    auto at = keyIndex.find(k);
    return at == keyIndex.end() ? -1 : at->second;
  }

  // Marks an enclosing scope as one a cursor asks about.
  void want(const astNode* scope) {
    for (auto s = scopes.rbegin(); s != scopes.rend(); ++s)
      if (s->node == scope) {
        s->wanted = true;
        return;
      }
  }
};

const astNodeList* routineName(const astNode* node) {
  return node->kind == AST_CREATE_PROCEDURE ? nodeAs<const astNodeCreateProc>(node)->name
                                            : nodeAs<const astNodeCreateFunc>(node)->name;
}

// ---- first walk: the run's routines and their names ----

void noteRoutineKeys(astNode* node, void* data) {
  auto* scan = static_cast<HoldScan*>(data);
  astNode* body = nullptr;
  if (!isRoutineWithBody(node, &body) || scan->routineOf.count(node)) return;
  HoldScan::Routine routine;
  std::string k(scan->key.of(lastText(routineName(node))));
  if (!k.empty()) {
    auto [at, added] = scan->keyIndex.emplace(k, static_cast<int>(scan->keys.size()));
    if (added) scan->keys.push_back(k);
    routine.key = at->second;
    scan->keyLengths |= uint64_t(1) << (k.size() < 63 ? k.size() : 63);
  }
  scan->routineOf.emplace(node, static_cast<int>(scan->routines.size()));
  scan->routines.push_back(routine);
}

// ---- second walk: what each routine and scope holds, and the loops ----

bool isScope(const astNode* node) {
  return node->kind == AST_BLOCK || node->kind == AST_FOR || isRoutine(node) || isEnclosingUnit(node);
}

// The routine that opens a cursor variable, else the outermost unit.
const astNode* openingRoutine(const astNode* from) {
  const astNode* found = nullptr;
  for (const astNode* n = from; n; n = n->parent) {
    if (isRoutine(n)) return n;
    if (isEnclosingUnit(n)) found = n;
  }
  return found;
}

void noteEvent(HoldScan* scan, int event) {
  scan->events.push_back(event);
  if (scan->innermostBody < 0) return;
  HoldScan::Routine& routine = scan->routines[size_t(scan->innermostBody)];
  if (event < 0) routine.commits = true;
  else routine.uses.push_back(event);
}

void enterHeld(astNode* node, void* data) {
  auto* scan = static_cast<HoldScan*>(data);
  if (!scan->frames.empty() && !scan->frames.back().inBody && node == scan->frames.back().body) {
    HoldScan::Frame& frame = scan->frames.back();
    frame.inBody = true;
    HoldScan::Routine& routine = scan->routines[size_t(frame.index)];
    if (routine.outer < 0 && scan->innermostBody >= 0 && scan->innermostBody != frame.index)
      routine.outer = scan->innermostBody;
    scan->innermostBody = frame.index;
  }
  if (auto at = scan->routineOf.find(node); at != scan->routineOf.end() && isRoutine(node)) {
    astNode* body = nullptr;
    isRoutineWithBody(node, &body);
    scan->frames.push_back({node, body, at->second, false});
  }
  if (isScope(node)) scan->scopes.push_back({node, static_cast<int>(scan->events.size()), false});
  switch (node->kind) {
    case AST_CURSOR_DECL: {
      auto* cursor = nodeAs<astNodeCursorDecl>(node);
      scan->cursors.push_back(cursor);
      const astNode* list = cursor->parent;
      if (list && list->parent && !isPackage(list->parent)) scan->want(list->parent);
      break;
    }
    case AST_FOR: {
      auto* loop = nodeAs<astNodeFor>(node);
      if (loop->loopType == FOR_SELECT) {
        scan->queryLoops.push_back(loop);
        scan->want(loop);
      }
      if (loop->loopType != FOR_NUMERIC) {
        scan->openLoops.push_back({-1, true});
        ++scan->openForLoops;
      }
      break;
    }
    case AST_LOOP:
    case AST_WHILE: {
      int outer = -1;
      for (auto l = scan->openLoops.rbegin(); l != scan->openLoops.rend() && outer < 0; ++l) outer = l->slot;
      scan->openLoops.push_back({static_cast<int>(scan->loops.size()), false});
      scan->loops.push_back({outer, false});
      break;
    }
    case AST_FETCH:
      for (auto l = scan->openLoops.rbegin(); l != scan->openLoops.rend(); ++l)
        if (l->slot >= 0) {
          scan->loops[size_t(l->slot)].open = true;
          break;
        }
      break;
    case AST_OPEN:
      if (nodeAs<astNodeOpen>(node)->cursorConstructor) {
        const astNode* scope = openingRoutine(node);
        scan->opens.push_back({nodeAs<astNodeOpen>(node), scope});
        if (scope && !isPackage(scope)) scan->want(scope);
      }
      break;
    default: break;
  }
  if (keywordIs(node, "COMMIT")) {
    scan->anyCommit = true;
    noteEvent(scan, -1);
  } else if (isWholeRollback(node)) {
    int inner = -1;
    for (auto l = scan->openLoops.rbegin(); l != scan->openLoops.rend() && inner < 0; ++l) inner = l->slot;
    // A FOR over a cursor around it settles the record at once.
    scan->rollbacks.push_back({node, scan->openForLoops > 0 ? -2 : inner});
  } else if (const char* name = usedName(node)) {
    int k = scan->keyOf(name);
    if (k >= 0) noteEvent(scan, k);
  }
}

void leaveHeld(astNode* node, void* data) {
  auto* scan = static_cast<HoldScan*>(data);
  if (node->kind == AST_FOR && nodeAs<astNodeFor>(node)->loopType != FOR_NUMERIC) {
    scan->openLoops.pop_back();
    --scan->openForLoops;
  } else if (node->kind == AST_LOOP || node->kind == AST_WHILE) {
    // A loop FETCHes when any loop inside it does.
    const HoldScan::Loop& loop = scan->loops[size_t(scan->openLoops.back().slot)];
    if (loop.open && loop.outer >= 0) scan->loops[size_t(loop.outer)].open = true;
    scan->openLoops.pop_back();
  }
  if (isScope(node)) {
    const OpenScope& scope = scan->scopes.back();
    if (scope.wanted) scan->spans[node] = {scope.firstEvent, static_cast<int>(scan->events.size())};
    scan->scopes.pop_back();
  }
  if (!scan->frames.empty()) {
    HoldScan::Frame& frame = scan->frames.back();
    if (frame.inBody && node == frame.body) {
      frame.inBody = false;
      // The body left: the walk is in the body of the routine around it.
      scan->innermostBody = -1;
      for (auto f = scan->frames.rbegin() + 1; f < scan->frames.rend(); ++f)
        if (f->inBody) {
          scan->innermostBody = f->index;
          break;
        }
    } else if (node == frame.routine) {
      scan->frames.pop_back();
    }
  }
}

// The keys of the routines that commit, directly, through the routines
// their bodies hold, or through the routines they call.
std::vector<bool> committingKeys(HoldScan* scan) {
  std::vector<std::vector<int>> usedBy(scan->keys.size());
  for (size_t r = 0; r < scan->routines.size(); ++r)
    for (int k : scan->routines[r].uses) usedBy[size_t(k)].push_back(static_cast<int>(r));
  std::vector<bool> routineCommits(scan->routines.size(), false);
  std::vector<bool> keyCommits(scan->keys.size(), false);
  std::vector<int> pending;
  for (size_t r = 0; r < scan->routines.size(); ++r)
    if (scan->routines[r].commits) pending.push_back(static_cast<int>(r));
  while (!pending.empty()) {
    int r = pending.back();
    pending.pop_back();
    if (routineCommits[size_t(r)]) continue;
    routineCommits[size_t(r)] = true;
    const HoldScan::Routine& routine = scan->routines[size_t(r)];
    if (routine.outer >= 0) pending.push_back(routine.outer);
    if (routine.key >= 0 && !keyCommits[size_t(routine.key)]) {
      keyCommits[size_t(routine.key)] = true;
      for (int user : usedBy[size_t(routine.key)]) pending.push_back(user);
    }
  }
  return keyCommits;
}

// Whether a COMMIT can run within a scope the walk did not measure: a walk
// of its own over it.
bool walkedScopeCommits(astNode* scope, const HoldScan* run, const std::vector<bool>& keyCommits) {
  struct Search {
    const HoldScan* run;
    const std::vector<bool>* keyCommits;
    RoutineKey key;
    bool found = false;
  } search{run, &keyCommits, {}};
  astWalkSkipping(
      scope,
      [](astNode* node, void* data) {
        auto* s = static_cast<Search*>(data);
        if (s->found) return;
        if (keywordIs(node, "COMMIT")) s->found = true;
        else if (const char* name = usedName(node)) {
          auto at = s->run->keyIndex.find(s->key.of(name));
          s->found = at != s->run->keyIndex.end() && (*s->keyCommits)[size_t(at->second)];
        }
      },
      astRewrittenPart, &search);
  return search.found;
}

}  // namespace

namespace rewrite {

void holdCursors(TransformState* state) {
  astNode* root = state->root;
  HoldScan scan;
  astWalkSkipping(root, noteRoutineKeys, astRewrittenPart, &scan);
  astWalkAroundSkipping(root, enterHeld, leaveHeld, astRewrittenPart, &scan);
  if (scan.anyCommit) {
    std::vector<bool> keyCommits = committingKeys(&scan);
    // Committing events before each event: a scope commits when its span
    // holds one.
    std::vector<int> before(scan.events.size() + 1, 0);
    for (size_t i = 0; i < scan.events.size(); ++i)
      before[i + 1] = before[i] + (scan.events[i] < 0 || keyCommits[size_t(scan.events[i])] ? 1 : 0);
    auto commits = [&](const astNode* scope) {
      if (!scope || isPackage(scope)) return true;
      auto at = scan.spans.find(scope);
      if (at == scan.spans.end()) return walkedScopeCommits(const_cast<astNode*>(scope), &scan, keyCommits);
      return before[size_t(at->second.second)] > before[size_t(at->second.first)];
    };
    if (before.back() > 0) {
      for (astNodeCursorDecl* cursor : scan.cursors) {
        astNode* list = cursor->parent;
        cursor->withHold = commits(list ? list->parent : nullptr);
      }
      // A package head's declarations are no part of the walk.
      for (astListCell* c = root && root->kind == AST_LIST ? listCells(nodeAs<astNodeList>(root)) : nullptr; c;
           c = c->next)
        if (c->value && c->value->kind == AST_CREATE_PKG_HEAD)
          for (astListCell* d = listCells(nodeAs<astNodeCreatePkgHead>(c->value)->declarations); d; d = d->next)
            if (d->value && d->value->kind == AST_CURSOR_DECL) nodeAs<astNodeCursorDecl>(d->value)->withHold = true;
      for (astNodeFor* loop : scan.queryLoops) loop->withHold = commits(loop);
      for (auto& [open, scope] : scan.opens) open->cursorConstructor->withHold = commits(scope);
    }
  }
  // A ROLLBACK inside a loop over an open cursor: a FOR over a cursor or a
  // query, or a loop that FETCHes.
  std::unordered_set<const astNode*> reported;
  for (auto& [rollback, loop] : scan.rollbacks) {
    bool open = loop == -2;
    for (int l = loop; l >= 0 && !open; l = scan.loops[size_t(l)].outer) open = scan.loops[size_t(l)].open;
    if (open && reported.insert(rollback).second)
      reportFinding(FindingId::ROLLBACK_IN_CURSOR_LOOP, rollback, state->errors);
  }
}

}  // namespace rewrite

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

struct HoldScan {
  RoutineKey key;
  // The run's routines: their keys, the routine whose body holds them, and
  // whether they commit (directly, once the first walk is done).
  struct Routine {
    int key = -1;      // index into keys, -1 for a name without a key
    int outer = -1;    // the routine whose body holds this one
    bool commits = false;
    std::vector<int> uses;  // keys of the routines named in the body
  };
  std::vector<Routine> routines;
  std::unordered_map<const astNode*, int> routineOf;  // routine node -> index
  std::unordered_map<const astNode*, int> bodyOf;     // body node -> routine index
  std::vector<std::string> keys;
  std::unordered_map<std::string, int, KeyHash, std::equal_to<>> keyIndex;
  std::vector<int> frames;  // routines whose bodies the walk is in, innermost last
  bool anyCommit = false;
  bool anyRollback = false;

  int keyOf(const char* text) {
    auto at = keyIndex.find(key.of(text));
    return at == keyIndex.end() ? -1 : at->second;
  }
};

// ---- first walk: the routines, what each commits and uses ----

void noteRoutineKeys(astNode* node, void* data) {
  auto* scan = static_cast<HoldScan*>(data);
  astNode* body = nullptr;
  if (!isRoutineWithBody(node, &body) || scan->routineOf.count(node)) return;
  const astNodeList* name = node->kind == AST_CREATE_PROCEDURE ? nodeAs<astNodeCreateProc>(node)->name
                                                                : nodeAs<astNodeCreateFunc>(node)->name;
  HoldScan::Routine routine;
  std::string k(scan->key.of(lastText(name)));
  if (!k.empty()) {
    auto [at, added] = scan->keyIndex.emplace(k, static_cast<int>(scan->keys.size()));
    if (added) scan->keys.push_back(k);
    routine.key = at->second;
  }
  int index = static_cast<int>(scan->routines.size());
  scan->routines.push_back(routine);
  scan->routineOf.emplace(node, index);
  if (body) scan->bodyOf.emplace(body, index);
}

void enterCollected(astNode* node, void* data) {
  auto* scan = static_cast<HoldScan*>(data);
  auto body = scan->bodyOf.find(node);
  if (body != scan->bodyOf.end()) {
    HoldScan::Routine& routine = scan->routines[size_t(body->second)];
    if (routine.outer < 0 && !scan->frames.empty() && scan->frames.back() != body->second)
      routine.outer = scan->frames.back();
    scan->frames.push_back(body->second);
  }
  if (keywordIs(node, "COMMIT")) {
    scan->anyCommit = true;
    if (!scan->frames.empty()) scan->routines[size_t(scan->frames.back())].commits = true;
  } else if (isWholeRollback(node)) {
    scan->anyRollback = true;
  } else if (const char* name = usedName(node); name && !scan->frames.empty()) {
    int k = scan->keyOf(name);
    if (k >= 0) scan->routines[size_t(scan->frames.back())].uses.push_back(k);
  }
}

void leaveCollected(astNode* node, void* data) {
  auto* scan = static_cast<HoldScan*>(data);
  if (!scan->frames.empty() && scan->bodyOf.count(node) && scan->routines.size() &&
      scan->bodyOf.at(node) == scan->frames.back())
    scan->frames.pop_back();
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

// ---- second walk: which scopes hold a COMMIT ----

struct ScopeScan {
  HoldScan* holds;
  const astNode* start;  // the node the walk starts from, a scope or not
  const std::vector<bool>* keyCommits;
  std::vector<bool> open;  // per node being walked: a COMMIT below it so far
  std::unordered_map<const astNode*, bool> commits;  // scopes
  std::vector<astNodeCursorDecl*> cursors;
  std::vector<astNodeFor*> queryLoops;
  std::vector<astNodeOpen*> opens;
};

bool isScope(const astNode* node) {
  return node->kind == AST_BLOCK || node->kind == AST_FOR || isRoutine(node) || isEnclosingUnit(node);
}

bool commitsItself(const astNode* node, ScopeScan* scan) {
  if (keywordIs(node, "COMMIT")) return true;
  const char* name = usedName(node);
  if (!name) return false;
  int k = scan->holds->keyOf(name);
  return k >= 0 && (*scan->keyCommits)[size_t(k)];
}

void enterScope(astNode* node, void* data) {
  auto* scan = static_cast<ScopeScan*>(data);
  scan->open.push_back(false);
  if (node->kind == AST_CURSOR_DECL) scan->cursors.push_back(nodeAs<astNodeCursorDecl>(node));
  else if (node->kind == AST_FOR && nodeAs<astNodeFor>(node)->loopType == FOR_SELECT)
    scan->queryLoops.push_back(nodeAs<astNodeFor>(node));
  else if (node->kind == AST_OPEN && nodeAs<astNodeOpen>(node)->cursorConstructor)
    scan->opens.push_back(nodeAs<astNodeOpen>(node));
}

void leaveScope(astNode* node, void* data) {
  auto* scan = static_cast<ScopeScan*>(data);
  bool below = scan->open.back() || commitsItself(node, scan);
  scan->open.pop_back();
  if (!scan->open.empty() && below) scan->open.back() = true;
  if (isScope(node) || node == scan->start) scan->commits[node] = scan->commits[node] || below;
}

// The walk from `from`; whether a COMMIT can run within it.
bool walkCommits(astNode* from, ScopeScan* scan) {
  scan->start = from;
  astWalkAround(from, enterScope, leaveScope, scan);
  auto at = scan->commits.find(from);
  return at != scan->commits.end() && at->second;
}

// Whether a COMMIT can run within a scope, found by a walk of its own for a
// scope that the walk from the root does not reach.
bool scopeCommits(astNode* scope, ScopeScan* scan) {
  auto at = scan->commits.find(scope);
  if (at != scan->commits.end()) return at->second;
  ScopeScan own{scan->holds, nullptr, scan->keyCommits, {}, {}, {}, {}, {}};
  return walkCommits(scope, &own);
}

// A cursor of a package is open across the calls of the package's
// routines: any COMMIT of the run may meet it.
bool heldIn(astNode* scope, ScopeScan* scan) { return !scope || isPackage(scope) || scopeCommits(scope, scan); }

// The routine that opens a cursor variable, else the outermost unit.
astNode* openingRoutine(astNode* from) {
  astNode* found = nullptr;
  for (astNode* n = from; n; n = n->parent) {
    if (isRoutine(n)) return n;
    if (isEnclosingUnit(n)) found = n;
  }
  return found;
}

// ---- ROLLBACK inside a loop over an open cursor ----

// Open cursor loops around the node being walked: FOR loops over a cursor
// or a query, and loops that FETCH.
struct LoopScan {
  int openLoops = 0;
  std::vector<bool> counted;
  std::unordered_set<const astNode*> fetching;  // loops that FETCH
  // A loop's body is walked again in its expansion: one record each.
  std::unordered_set<const astNode*> reported;
  std::vector<bool> fetchBelow;
  ErrorList* errors;
};

void enterFetchScan(astNode*, void* data) { static_cast<LoopScan*>(data)->fetchBelow.push_back(false); }

void leaveFetchScan(astNode* node, void* data) {
  auto* scan = static_cast<LoopScan*>(data);
  bool below = scan->fetchBelow.back() || node->kind == AST_FETCH;
  scan->fetchBelow.pop_back();
  if (!scan->fetchBelow.empty() && below) scan->fetchBelow.back() = true;
  if (below && (node->kind == AST_LOOP || node->kind == AST_WHILE)) scan->fetching.insert(node);
}

bool isOpenCursorLoop(const astNode* node, const LoopScan* scan) {
  if (node->kind == AST_FOR) return nodeAs<const astNodeFor>(node)->loopType != FOR_NUMERIC;
  return (node->kind == AST_LOOP || node->kind == AST_WHILE) && scan->fetching.count(node);
}

void enterLoop(astNode* node, void* data) {
  auto* scan = static_cast<LoopScan*>(data);
  bool open = isOpenCursorLoop(node, scan);
  scan->counted.push_back(open);
  if (open) ++scan->openLoops;
  if (scan->openLoops > 0 && isWholeRollback(node) && scan->reported.insert(node).second)
    reportFinding(FindingId::ROLLBACK_IN_CURSOR_LOOP, node, scan->errors);
}

void leaveLoop(astNode*, void* data) {
  auto* scan = static_cast<LoopScan*>(data);
  if (scan->counted.back()) --scan->openLoops;
  scan->counted.pop_back();
}

}  // namespace

namespace rewrite {

void holdCursors(TransformState* state) {
  astNode* root = state->root;
  HoldScan holds;
  astWalk(root, noteRoutineKeys, &holds);
  astWalkAround(root, enterCollected, leaveCollected, &holds);
  if (holds.anyCommit) {
    std::vector<bool> keyCommits = committingKeys(&holds);
    ScopeScan scan{&holds, nullptr, &keyCommits, {}, {}, {}, {}, {}};
    bool runCommits = walkCommits(root, &scan);
    if (runCommits) {
      for (astNodeCursorDecl* cursor : scan.cursors) {
        astNode* list = cursor->parent;
        cursor->withHold = heldIn(list ? list->parent : nullptr, &scan);
      }
      // A package head's declarations are no part of the walk.
      for (astListCell* c = root && root->kind == AST_LIST ? listCells(nodeAs<astNodeList>(root)) : nullptr; c;
           c = c->next)
        if (c->value && c->value->kind == AST_CREATE_PKG_HEAD)
          for (astListCell* d = listCells(nodeAs<astNodeCreatePkgHead>(c->value)->declarations); d; d = d->next)
            if (d->value && d->value->kind == AST_CURSOR_DECL) nodeAs<astNodeCursorDecl>(d->value)->withHold = true;
      for (astNodeFor* loop : scan.queryLoops) loop->withHold = scopeCommits(loop, &scan);
      for (astNodeOpen* open : scan.opens) open->cursorConstructor->withHold = heldIn(openingRoutine(open), &scan);
    }
  }
  if (holds.anyRollback) {
    LoopScan loops;
    loops.errors = state->errors;
    astWalkAround(root, enterFetchScan, leaveFetchScan, &loops);
    astWalkAround(root, enterLoop, leaveLoop, &loops);
  }
}

}  // namespace rewrite

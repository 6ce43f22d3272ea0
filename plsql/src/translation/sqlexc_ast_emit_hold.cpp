// Cursors that a COMMIT may meet while they are open. A PL/SQL cursor stays
// open over a COMMIT; a target cursor is closed by it unless it is declared
// WITH HOLD, and then the next FETCH fails. A cursor is held when a COMMIT
// can run within its reach: lexically (its declaring block or package, the
// loop of a FOR over a query, the routine that opens a cursor variable), or
// through a call of a routine of the same run that commits, directly or
// through its own calls. A ROLLBACK closes even a held cursor in the
// target, so a ROLLBACK inside a loop over an open cursor is recorded.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <strings.h>
#include <unordered_set>
#include <utility>
#include <vector>

#include "ast.h"
#include "plsql_parser.hpp"
#include "sqlexc_ast_emit_internal.h"

namespace {

bool keywordIs(const astNode* node, const char* keyword) {
  if (!node || node->kind != AST_SQL_STMT) return false;
  const char* own = nodeAs<const astNodeSqlStmt>(node)->keyword;
  return own && strcasecmp(own, keyword) == 0;
}

// A ROLLBACK of the whole transaction (not to a savepoint).
bool isWholeRollback(const astNode* node) {
  if (!keywordIs(node, "ROLLBACK")) return false;
  for (astListCell* c = listCells(nodeAs<const astNodeSqlStmt>(node)->body); c; c = c->next) {
    const astNode* token = c->value;
    if (token && token->kind == AST_TOKEN && nodeAs<const astNodeToken>(token)->text &&
        strcasecmp(nodeAs<const astNodeToken>(token)->text, "TO") == 0)
      return false;
  }
  return true;
}

// The last part of a name, folded, as the target compares routine names. A
// call of a function without parameters has "()" added by then.
std::string nameKey(const char* text) {
  if (!text) return {};
  const char* dot = std::strrchr(text, '.');
  std::string key;
  for (const char* p = dot ? dot + 1 : text; *p; ++p)
    if (*p != '"') key += char(std::tolower(static_cast<unsigned char>(*p)));
  if (key.ends_with("()")) key.resize(key.size() - 2);
  return key;
}

std::string routineKey(const astNodeList* name) {
  const astNode* last = listLast(name);
  return nameKey(last && last->kind == AST_TOKEN ? nodeAs<const astNodeToken>(last)->text : nullptr);
}

bool holdsKey(const std::unordered_set<std::string>& keys, const std::string& key) {
  return !key.empty() && keys.count(key) > 0;
}

struct Search {
  const std::unordered_set<std::string>& committing;
  bool found;
};

void findCommit(astNode* node, void* data) {
  auto* search = static_cast<Search*>(data);
  if (search->found || !node) return;
  if (keywordIs(node, "COMMIT")) search->found = true;
  else if (node->kind == AST_CALL && holdsKey(search->committing, routineKey(nodeAs<astNodeCall>(node)->name)))
    search->found = true;
  // A function of the run that commits, called in an expression.
  else if (node->kind == AST_TOKEN && nodeAs<astNodeToken>(node)->tokenCode == T_WORD &&
           holdsKey(search->committing, nameKey(nodeAs<astNodeToken>(node)->text)))
    search->found = true;
}

bool commitsWithin(astNode* scope, const std::unordered_set<std::string>& committing) {
  Search search{committing, false};
  astWalk(scope, findCommit, &search);
  return search.found;
}

struct Routines {
  std::vector<std::pair<std::string, astNode*>> all;
};

void collectRoutine(astNode* node, void* data) {
  if (!node) return;
  auto* routines = static_cast<Routines*>(data);
  if (node->kind == AST_CREATE_PROCEDURE) {
    auto* p = nodeAs<astNodeCreateProc>(node);
    routines->all.push_back({routineKey(p->name), p->body});
  } else if (node->kind == AST_CREATE_FUNCTION) {
    auto* f = nodeAs<astNodeCreateFunc>(node);
    routines->all.push_back({routineKey(f->name), f->body});
  }
}

// Open cursor loops around the node being walked: FOR loops over a cursor
// or a query, and loops that FETCH.
struct LoopScan {
  int openLoops = 0;
  std::vector<bool> counted;
  // A loop's body is walked again in its expansion: one record each.
  std::vector<const astNode*> reported;
  ErrorList* errors;
};

void findFetch(astNode* node, void* data) {
  if (node && node->kind == AST_FETCH) *static_cast<bool*>(data) = true;
}

bool isOpenCursorLoop(astNode* node) {
  if (node->kind == AST_FOR) return nodeAs<astNodeFor>(node)->loopType != FOR_NUMERIC;
  if (node->kind != AST_LOOP && node->kind != AST_WHILE) return false;
  bool fetches = false;
  astWalk(node, findFetch, &fetches);
  return fetches;
}

void enterLoop(astNode* node, void* data) {
  auto* scan = static_cast<LoopScan*>(data);
  bool open = isOpenCursorLoop(node);
  scan->counted.push_back(open);
  if (open) ++scan->openLoops;
  if (scan->openLoops > 0 && isWholeRollback(node) &&
      std::find(scan->reported.begin(), scan->reported.end(), node) == scan->reported.end()) {
    scan->reported.push_back(node);
    reportFinding(FindingId::ROLLBACK_IN_CURSOR_LOOP, node, scan->errors);
  }
}

void leaveLoop(astNode* node, void* data) {
  (void)node;
  auto* scan = static_cast<LoopScan*>(data);
  if (scan->counted.back()) --scan->openLoops;
  scan->counted.pop_back();
}

// The routine that opens a cursor variable, else the outermost unit.
astNode* openingRoutine(astNode* from) {
  astNode* found = nullptr;
  for (astNode* n = from; n; n = n->parent) {
    if (isRoutine(n)) return n;
    if (isEnclosingUnit(n)) found = n;
  }
  return found;
}

}  // namespace

void scanCursorHolds(EmitterState* state) {
  Routines routines;
  astWalk(state->root, collectRoutine, &routines);
  // Routines that commit, directly or through calls of routines that do.
  std::unordered_set<std::string> committing;
  std::vector<bool> known(routines.all.size(), false);
  for (bool grew = true; grew;) {
    grew = false;
    for (size_t i = 0; i < routines.all.size(); ++i) {
      if (known[i] || routines.all[i].first.empty() || !commitsWithin(routines.all[i].second, committing)) continue;
      known[i] = true;
      committing.insert(routines.all[i].first);
      grew = true;
    }
  }
  state->runCommits = commitsWithin(state->root, committing);
  state->committingRoutines = std::move(committing);
  LoopScan scan;
  scan.errors = state->errors;
  astWalkAround(state->root, enterLoop, leaveLoop, &scan);
}

bool cursorHeld(astNode* scope, EmitterState* state) {
  if (!state->runCommits) return false;
  // A cursor of a package is open across the calls of the package's
  // routines: any COMMIT of the run may meet it.
  if (!scope || isPackage(scope)) return true;
  return commitsWithin(scope, state->committingRoutines);
}

bool cursorVariableHeld(astNode* open, EmitterState* state) {
  if (!state->runCommits) return false;
  return cursorHeld(openingRoutine(open), state);
}

// The data-access clause of functions: a function that changes data is
// written MODIFIES SQL DATA, and so is its published head. It changes data
// when it holds a data change, a transaction statement, a sequence's next
// value, a dynamic statement without INTO or a call of a procedure other
// than the target's own, or when it calls a function of the run that
// changes data. Calls of such functions are taken by the target only as the
// whole value of an assignment; any other use is recorded.
//
// Linear in the size of the run: one walk over each function finds what it
// does itself and which of the run's function names it uses; the functions
// that change data through calls follow from that graph.
#include <string>
#include <unordered_map>
#include <vector>

#include "name_keys.h"
#include "plsql_parser.hpp"
#include "rewrite_internal.h"

using namespace rewrite;

namespace {

bool endsWithNoCase(const char* text, const char* suffix) {
  std::string_view t(text), s(suffix);
  return t.size() >= s.size() && sameFolded(t.substr(t.size() - s.size()), s);
}

// What one function's body does: changes data itself, and the names of the
// run's functions it uses (indices into the names).
struct AccessScan {
  bool modifies = false;
  std::vector<int> uses;
  const std::unordered_map<std::string, int, KeyHash, std::equal_to<>>* names = nullptr;
  LastPartKey key;
};

void scanAccess(astNode* node, void* data) {
  auto* scan = static_cast<AccessScan*>(data);
  switch (node->kind) {
    case AST_SQL_STMT: {
      int code = nodeAs<astNodeSqlStmt>(node)->keywordCode;
      if (code == T_INSERT || code == T_UPDATE || code == T_DELETE || code == T_MERGE || code == T_COMMIT ||
          code == T_ROLLBACK || code == T_SAVEPOINT)
        scan->modifies = true;
      break;
    }
    case AST_DYNAMIC:
      // A dynamic statement without INTO is no query: it may change data.
      if (listLength(nodeAs<astNodeDynamic>(node)->into) == 0) scan->modifies = true;
      break;
    case AST_CALL: {
      auto* call = nodeAs<astNodeCall>(node);
      astNodeToken* name = asToken(listLast(call->name));
      if (call->rewrite || !name || !name->text) break;
      // A procedure of the target changes data unless it says otherwise;
      // the built-in modules' procedures are the target's own.
      if (!hasBuiltinPrefix(upperText(firstPart(name->text).c_str()))) scan->modifies = true;
      break;
    }
    case AST_SELECT:
      // The walk enters the FROM clause only; a sequence is used in the
      // select list.
      for (astListCell* c = listCells(nodeAs<astNodeSelect>(node)->target); c; c = c->next)
        if (c->value && c->value->kind == AST_TOKEN) scanAccess(c->value, data);
      break;
    case AST_TOKEN: {
      auto* token = nodeAs<astNodeToken>(node);
      if (!token->text) break;
      if (endsWithNoCase(token->text, ".NEXTVAL")) {
        scan->modifies = true;
      } else if (token->tokenCode != T_STRING) {
        auto at = scan->names->find(scan->key.of(token->text, true));
        if (at != scan->names->end()) scan->uses.push_back(at->second);
      }
      break;
    }
    default: break;
  }
}

// Calls of the functions that change data: the target takes them only as
// the whole value of an assignment (SET v = f(...)).
struct ModifyingCalls {
  const KeySet* modifying = nullptr;
  TransformState* state = nullptr;
  LastPartKey key;
};

bool wholeAssignedValue(astNodeToken* token) {
  astNode* holder = token->parent;
  if (!holder || holder->kind != AST_LIST) return false;
  auto* list = nodeAs<astNodeList>(holder);
  astNode* owner = list->parent;
  if (!owner || owner->kind != AST_ASSIGN || nodeAs<astNodeAssign>(owner)->expr != list) return false;
  if (list->head->value != token) return false;
  if (!list->head->next) return true;
  if (!textIs(list->head->next->value, "(")) return false;
  int depth = 0;
  // Whole tokens only: a rewritten token such as SQL%FOUND's
  // "(SYSZULINTERNAL_FOUND = true)" holds a group of its own.
  for (astListCell* c = list->head->next; c; c = c->next) {
    if (textIs(c->value, "(")) ++depth;
    else if (textIs(c->value, ")") && --depth == 0) return c->next == nullptr;
  }
  return false;
}

void checkModifyingCall(astNodeToken* token, astNode* next, ModifyingCalls* calls) {
  if (!token->text || token->tokenCode == T_STRING) return;
  std::string_view name = calls->key.of(token->text);
  bool called = textIs(next, "(");
  if (name.size() > 2 && name.ends_with("()")) {
    name.remove_suffix(2);
    called = true;
  }
  if (!called || !calls->modifying->count(name) || wholeAssignedValue(token)) return;
  reportFinding(FindingId::MODIFYING_CALL, token, calls->state->errors, nullptr, token->text);
}

void findModifyingCalls(astNode* node, void* data) {
  auto* calls = static_cast<ModifyingCalls*>(data);
  astNodeList* list = nullptr;
  if (node->kind == AST_SELECT) list = nodeAs<astNodeSelect>(node)->target;
  else if (node->kind == AST_LIST) list = nodeAs<astNodeList>(node);
  for (astListCell* c = listCells(list); c; c = c->next)
    if (c->value && c->value->kind == AST_TOKEN)
      checkModifyingCall(nodeAs<astNodeToken>(c->value), c->next ? c->next->value : nullptr, calls);
}

std::string routineName(const astNodeList* name) {
  astNodeToken* last = asToken(listLast(name));
  return last && last->text ? lastPart(last->text) : "";
}

}  // namespace

namespace rewrite {

void markDataAccess(astNode* root, TransformState* state) {
  std::vector<astNodeCreateFunc*> functions;
  if (!root || root->kind != AST_LIST) return;
  for (astListCell* c = listCells(nodeAs<astNodeList>(root)); c; c = c->next) {
    astNode* unit = c->value;
    if (!unit) continue;
    if (unit->kind == AST_CREATE_FUNCTION) functions.push_back(nodeAs<astNodeCreateFunc>(unit));
    if (unit->kind == AST_CREATE_PKG_BODY)
      for (astListCell* r = listCells(nodeAs<astNodeCreatePkgBody>(unit)->prototypes); r; r = r->next)
        if (r->value && r->value->kind == AST_CREATE_FUNCTION) functions.push_back(nodeAs<astNodeCreateFunc>(r->value));
  }
  // The functions' names, each once; a name stands for every function of it.
  std::unordered_map<std::string, int, KeyHash, std::equal_to<>> names;
  std::vector<int> nameOf(functions.size());
  for (size_t f = 0; f < functions.size(); ++f)
    nameOf[f] = names.emplace(routineName(functions[f]->name), static_cast<int>(names.size())).first->second;
  // A function that calls a function that changes data changes data too.
  std::vector<std::vector<int>> usedBy(names.size());
  std::vector<int> pending;
  for (size_t f = 0; f < functions.size(); ++f) {
    if (!functions[f]->body) continue;
    AccessScan scan;
    scan.names = &names;
    astWalk(functions[f]->body, scanAccess, &scan);
    if (scan.modifies) pending.push_back(static_cast<int>(f));
    for (int name : scan.uses) usedBy[size_t(name)].push_back(static_cast<int>(f));
  }
  std::vector<bool> nameModifies(names.size(), false);
  KeySet modifying;
  std::vector<std::string> nameText(names.size());
  for (const auto& [text, index] : names) nameText[size_t(index)] = text;
  while (!pending.empty()) {
    size_t f = size_t(pending.back());
    pending.pop_back();
    functions[f]->modifiesData = true;
    int name = nameOf[f];
    if (nameModifies[size_t(name)]) continue;
    nameModifies[size_t(name)] = true;
    modifying.insert(nameText[size_t(name)]);
    for (int user : usedBy[size_t(name)])
      if (!functions[size_t(user)]->modifiesData) pending.push_back(user);
  }
  if (modifying.empty()) return;
  ModifyingCalls calls{&modifying, state, {}};
  // Without the stand-ins: the tokens a loop's or RAISE's expansion takes
  // from the node are met once, where the node holds them.
  astWalkSkipping(root, findModifyingCalls, standInOf, &calls);
  // The published heads of those functions say the same.
  for (astListCell* c = listCells(nodeAs<astNodeList>(root)); c; c = c->next) {
    astNode* unit = c->value;
    if (!unit || (unit->kind != AST_CREATE_PKG_HEAD && unit->kind != AST_CREATE_PKG_BODY)) continue;
    astNodeList* heads = unit->kind == AST_CREATE_PKG_HEAD ? nodeAs<astNodeCreatePkgHead>(unit)->prototypes
                                                           : nodeAs<astNodeCreatePkgBody>(unit)->forwardDeclarations;
    for (astListCell* r = listCells(heads); r; r = r->next) {
      astNode* head = r->value;
      if (!head) continue;
      if (head->kind == AST_FUNC_PROTO && modifying.count(routineName(nodeAs<astNodeFuncProto>(head)->name)))
        nodeAs<astNodeFuncProto>(head)->modifiesData = true;
      if (head->kind == AST_CREATE_FUNCTION && !nodeAs<astNodeCreateFunc>(head)->body &&
          modifying.count(routineName(nodeAs<astNodeCreateFunc>(head)->name)))
        nodeAs<astNodeCreateFunc>(head)->modifiesData = true;
    }
  }
}

}  // namespace rewrite

// The data-access clause of functions: a function that changes data is
// written MODIFIES SQL DATA, and so is its published head. It changes data
// when it holds a data change, a transaction statement, a sequence's next
// value, a dynamic statement without INTO or a call of a procedure other
// than the target's own, or when it calls a function of the run that
// changes data. Calls of such functions are taken by the target only as the
// whole value of an assignment; any other use is recorded.
//
// Linear in the size of the run: the shared walk finds what each function
// does itself and which of the run's function names it uses; the functions
// that change data through calls follow from that graph.
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "expression_tree.h"
#include "plsql_parser.hpp"
#include "routine_effects.h"
#include "token_spans.h"

using namespace rewrite;

namespace {

// Whether a text of `length` characters ends in .NEXTVAL, a sequence's next
// value.
bool endsWithNextval(const char* text, size_t length) {
  std::string_view suffix = ".NEXTVAL";
  return length >= suffix.size() && foldAscii(text[length - 1]) == 'l' &&
         sameFolded(std::string_view(text + length - suffix.size(), suffix.size()), suffix);
}

// Whether the call (or bare name) that `token` begins is the whole value of
// an assignment.
bool wholeAssignedValue(astNodeToken* token) {
  astNode* holder = token->parent;
  if (!holder || holder->kind != AST_LIST) return false;
  auto* list = nodeAs<astNodeList>(holder);
  astNode* owner = list->parent;
  if (!owner || owner->kind != AST_ASSIGN || nodeAs<astNodeAssign>(owner)->expr != list) return false;
  if (list->head->value != token) return false;
  expr::Tokens tokens = spans::nodesOf(list->head);
  expr::Tree tree(tokens);
  int value = tree.only(tree.root());
  if (value < 0 || tree[value].end != tokens.size()) return false;
  if (tree[value].kind == expr::Kind::CALL) return tree[value].closed && tree.length(tree[value].child) == 1;
  return tree[value].kind == expr::Kind::NAME && tree.length(value) == 1;
}

std::string routineName(const astNodeList* name) {
  astNodeToken* last = asToken(listLast(name));
  return last && last->text ? lastPart(last->text) : "";
}

}  // namespace

DataAccess::DataAccess(const TransformState* state) : root_(state->root) {
  for (const TransformState::RunFunction& function : state->runFunctions) {
    int index = names_.insert(function.name);
    functionOf_.emplace(function.node, static_cast<int>(functions_.size()));
    functions_.push_back({function.node, index, false, {}});
  }
}

// A token, with the node after it. Inside a function's body, a sequence's
// next value changes data and a function of the run may; with `mayCall`, a
// call of a function of the run is kept, whether it changes data being
// known at the end. One lookup of the token's last part serves both.
void DataAccess::note(astNodeToken* token, astNode* next, bool mayCall) {
  bool inBody = current_ >= 0;
  // A string names no function: its length alone is read, and only in a
  // body.
  if (token->tokenCode == T_STRING) {
    if (inBody && endsWithNextval(token->text, std::strlen(token->text))) functions_[size_t(current_)].modifies = true;
    return;
  }
  std::string_view part = nameLastPart(token);
  if (inBody && endsWithNextval(token->text, size_t(part.data() + part.size() - token->text))) {
    functions_[size_t(current_)].modifies = true;
    inBody = false;
  }
  if (!inBody && !mayCall) return;
  // Only calls are kept: the word before "(", or one that the rewriting
  // wrote with its "()".
  bool called = part.size() > 2 && part.ends_with("()");
  if (called) part.remove_suffix(2);
  // Outside a body the cheaper question comes first.
  if (!inBody && !(called || spans::isOpen(next))) return;
  int name = names_.find(part);
  if (name < 0) return;
  if (inBody) functions_[size_t(current_)].uses.push_back(name);
  if (mayCall && (called || spans::isOpen(next))) calls_.push_back({token, name});
}

void DataAccess::token(astNodeToken* token, astNode* next) {
  if (!functions_.empty() && token->text) note(token, next, true);
}

void DataAccess::enter(astNode* node) {
  // Without functions there is nothing to find.
  if (functions_.empty()) return;
  if (node->kind == AST_TOKEN) {
    auto* token = nodeAs<astNodeToken>(node);
    if (current_ >= 0 && token->text) note(token, nullptr, false);
    return;
  }
  if (node->kind == AST_CREATE_FUNCTION) {
    auto at = functionOf_.find(node);
    if (at != functionOf_.end()) {
      pendingBody_ = functions_[size_t(at->second)].node->body;
      pending_ = at->second;
    }
  } else if (node == pendingBody_ && current_ < 0) {
    current_ = pending_;
    currentBody_ = node;
  }
  // The walk enters a query's FROM clause only; a sequence or a function
  // is used in the select list.
  if (node->kind == AST_SELECT)
    for (astListCell* c = listCells(nodeAs<astNodeSelect>(node)->target); c; c = c->next)
      if (auto* token = asToken(c->value); token && token->text) note(token, c->next ? c->next->value : nullptr, true);
  if (current_ < 0) return;
  Function& function = functions_[size_t(current_)];
  switch (node->kind) {
    case AST_SQL_STMT: {
      int code = nodeAs<astNodeSqlStmt>(node)->keywordCode;
      if (code == T_INSERT || code == T_UPDATE || code == T_DELETE || code == T_MERGE || code == T_COMMIT ||
          code == T_ROLLBACK || code == T_SAVEPOINT)
        function.modifies = true;
      break;
    }
    case AST_DYNAMIC:
      // A dynamic statement without INTO is no query: it may change data.
      if (listLength(nodeAs<astNodeDynamic>(node)->into) == 0) function.modifies = true;
      break;
    case AST_CALL: {
      auto* call = nodeAs<astNodeCall>(node);
      astNodeToken* name = asToken(listLast(call->name));
      if (call->rewrite || !name || !name->text) break;
      // A procedure of the target changes data unless it says otherwise;
      // the built-in modules' procedures are the target's own.
      if (!hasBuiltinPrefix(firstPart(name->text))) function.modifies = true;
      break;
    }
    default: break;
  }
}

void DataAccess::leave(astNode* node) {
  if (node == currentBody_) {
    current_ = -1;
    currentBody_ = nullptr;
  }
}

void DataAccess::settle(TransformState* state) {
  // A function that calls a function that changes data changes data too.
  std::vector<std::vector<int>> usedBy(names_.size());
  std::vector<int> pending;
  for (size_t f = 0; f < functions_.size(); ++f) {
    if (!functions_[f].node->body) continue;
    if (functions_[f].modifies) pending.push_back(static_cast<int>(f));
    for (int name : functions_[f].uses) usedBy[size_t(name)].push_back(static_cast<int>(f));
  }
  std::vector<bool> nameModifies(names_.size(), false);
  bool anyModifies = false;
  while (!pending.empty()) {
    Function& function = functions_[size_t(pending.back())];
    pending.pop_back();
    function.node->modifiesData = true;
    if (nameModifies[size_t(function.name)]) continue;
    nameModifies[size_t(function.name)] = true;
    anyModifies = true;
    for (int user : usedBy[size_t(function.name)])
      if (!functions_[size_t(user)].node->modifiesData) pending.push_back(user);
  }
  if (!anyModifies) return;
  auto modifies = [&](std::string_view name) {
    int index = names_.find(name);
    return index >= 0 && nameModifies[size_t(index)];
  };
  // Calls of the functions that change data: the target takes them only as
  // the whole value of an assignment (SET v = f(...)).
  for (auto [token, name] : calls_)
    if (nameModifies[size_t(name)] && !wholeAssignedValue(token))
      reportFinding(FindingId::MODIFYING_CALL, token, state->errors, nullptr, token->text);
  // The published heads of those functions say the same.
  for (astListCell* c = listCells(nodeAs<astNodeList>(root_)); c; c = c->next) {
    astNode* unit = c->value;
    if (!unit || (unit->kind != AST_CREATE_PKG_HEAD && unit->kind != AST_CREATE_PKG_BODY)) continue;
    astNodeList* heads = unit->kind == AST_CREATE_PKG_HEAD ? nodeAs<astNodeCreatePkgHead>(unit)->prototypes
                                                           : nodeAs<astNodeCreatePkgBody>(unit)->forwardDeclarations;
    for (astListCell* r = listCells(heads); r; r = r->next) {
      astNode* head = r->value;
      if (!head) continue;
      if (head->kind == AST_FUNC_PROTO && modifies(routineName(nodeAs<astNodeFuncProto>(head)->name)))
        nodeAs<astNodeFuncProto>(head)->modifiesData = true;
      if (head->kind == AST_CREATE_FUNCTION && !nodeAs<astNodeCreateFunc>(head)->body &&
          modifies(routineName(nodeAs<astNodeCreateFunc>(head)->name)))
        nodeAs<astNodeCreateFunc>(head)->modifiesData = true;
    }
  }
}

// The rewriting walk's steps for units: procedures, functions, triggers,
// package specs and bodies, and the constructs a unit leaves out.
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
#include "run_pool.h"


using namespace rewrite;

namespace {


}  // namespace

namespace rewrite {

// ---- constructs the translation leaves out ----

struct DroppedConstruct {
  int kind;
  FindingId finding;
  const char* construct;
};

constexpr DroppedConstruct kDropped[] = {
#define AST_DROPPED(kind, finding, construct) {kind, FindingId::finding, construct},
#include "ast_kinds.def"
};

constexpr KindIndex kDroppedIndex(kDropped);

static_assert(kDroppedIndex.oneRowAtMostPerKind(), "ast_kinds.def must give a kind one report at most");

// Pragmas that speak only to the compiler (purity checks, inlining, how a
// function is compiled for SQL, warnings, coverage): nothing a caller sees
// changes without them.
constexpr const char* kCompilerOnlyPragmas[] = {
    "RESTRICT_REFERENCES", "INLINE", "UDF", "DEPRECATE", "SUPPRESSES_WARNING_6009", "COVERAGE",
};

// A pragma that no step of the pass knows is left out, and what it asks for
// with it (package state for one call only, ...): reported by name. One that
// speaks only to the compiler goes without a record.
void reportPragma(astNodeOraclePragma* pragma, TransformState* state) {
  astNodeToken* name = firstToken(pragma->expr);
  for (const char* word : kCompilerOnlyPragmas)
    if (name && equalsIgnoreCase(name->text, word)) return;
  reportFinding(FindingId::PRAGMA, pragma, state->errors, upperText(name ? name->text : nullptr).c_str());
}

// Reports a construct that no target text stands for. Kinds without a
// report in the kind table (syntax-error nodes, ...) report nothing.
void reportDropped(astNode* node, TransformState* state) {
  if (!node) return;
  if (node->kind == AST_ORACLE_PRAGMA) return reportPragma(nodeAs<astNodeOraclePragma>(node), state);
  for (const DroppedConstruct& dropped : kDroppedIndex.rowsOf(node->kind))
    reportFinding(dropped.finding, node, state->errors, dropped.construct);
}

// An element a package leaves out; PRAGMA AUTONOMOUS_TRANSACTION there
// names no routine.
void reportDroppedElement(astNode* node, TransformState* state) {
  if (node->kind == AST_PRAGMA && nodeAs<astNodePragma>(node)->pragmaCode == T_AUTONOMOUS_XACT)
    reportFinding(FindingId::AUTONOMOUS_CONTEXT, node, state->errors);
  reportDropped(node, state);
}

// A WRAPPED unit holds only its obfuscated text.
void reportWrapped(astNode* node, bool wrapped, const char* unit, TransformState* state) {
  if (wrapped) reportFinding(FindingId::WRAPPED, node, state->errors, unit);
}


// ---- units ----

void labelBody(astNode* body) {
  if (!body || body->kind != AST_BLOCK) return;
  astNodeBlock* block = nodeAs<astNodeBlock>(body);
  if (!block->label) block->label = poolBumpStrdup(SYSZUL_BLOCK);
}

// Trigger options that the target's CREATE TRIGGER is written without: the
// trigger is created enabled, and in no particular order among the others.
void reportTriggerOptions(astNodeCreateTrigger* trigger, TransformState* state) {
  if (trigger->follows) reportFinding(FindingId::TRIGGER_OPTION, trigger, state->errors, "FOLLOWS");
  if (trigger->disable) reportFinding(FindingId::TRIGGER_OPTION, trigger, state->errors, "DISABLE");
  // A column list after the events of any kind but UPDATE OF.
  if (trigger->ofTrigger) reportFinding(FindingId::TRIGGER_OF_COLUMNS, trigger, state->errors);
}

void transformTrigger(astNodeCreateTrigger* trigger, TransformState* state) {
  reportTriggerOptions(trigger, state);
  // An INSTEAD OF trigger fires for each row whether FOR EACH ROW is written
  // or not; the target takes one without it as a statement trigger.
  if (trigger->point == TRIGGER_INSTEAD_OF) trigger->forEachRow = true;
  labelBody(trigger->body);
  for (astListCell* c = listCells(trigger->referencing); c; c = c->next) {
    if (!c->value || c->value->kind != AST_TRIGGER_VAR) continue;
    auto* variable = nodeAs<astNodeTriggerArg>(c->value);
    astNodeToken* alias = firstToken(variable->alias);
    if (alias) alias->text = concat("SYSZULINTERNAL_", alias->text ? alias->text : "");
    if (variable->var == TRIGGER_VAR_NEW) trigger->newVariable = variable;
    else if (variable->var == TRIGGER_VAR_OLD) trigger->oldVariable = variable;
    else if (variable->var == TRIGGER_VAR_PARENT) trigger->parentVariable = variable;
  }
  if ((trigger->events & (TRIGGER_INSERT | TRIGGER_UPDATE)) && !trigger->newVariable) {
    astNodeTriggerArg* variable = astMake<astNodeTriggerArg>(-1);
    variable->var = TRIGGER_VAR_NEW;
    variable->alias = tokenList(SYSZUL_NEW, -1);
    trigger->referencing = listAppend(trigger->referencing, variable);
    trigger->newVariable = variable;
  }
  if ((trigger->events & (TRIGGER_UPDATE | TRIGGER_DELETE)) && !trigger->oldVariable) {
    astNodeTriggerArg* variable = astMake<astNodeTriggerArg>(-1);
    variable->var = TRIGGER_VAR_OLD;
    variable->alias = tokenList(SYSZUL_OLD, -1);
    trigger->referencing = listAppend(trigger->referencing, variable);
    trigger->oldVariable = variable;
  }
  transformChildren(trigger, state);
  dropRowsWithoutEvent(trigger);
}

bool isPrototypeKind(int kind) { return kind == AST_FUNC_PROTO || kind == AST_PROC_PROTO; }

void setPackage(astNode* node, astNode* package) {
  switch (node->kind) {
    case AST_FUNC_PROTO: nodeAs<astNodeFuncProto>(node)->package = package; break;
    case AST_PROC_PROTO: nodeAs<astNodeProcProto>(node)->package = package; break;
    case AST_CREATE_FUNCTION: nodeAs<astNodeCreateFunc>(node)->package = package; break;
    case AST_CREATE_PROCEDURE: nodeAs<astNodeCreateProc>(node)->package = package; break;
    default:
      if (isDeclaration(node)) nodeAs<astNodeDecl>(node)->package = package;
      break;
  }
}

// ---- routines of a module ----

// Name texts compared the way the target compares ordinary names.
std::string foldedName(const astNodeList* name) {
  std::string text;
  for (astListCell* c = listCells(name); c; c = c->next) {
    astNodeToken* token = asToken(c->value);
    if (!token || !token->text) continue;
    if (!text.empty()) text += '.';
    text += foldedText(token->text);
  }
  return text;
}

// The target tells the routines of a module apart by their name and their
// number of parameters only: a further routine of the same kind, name and
// count cannot be created next to the first.
void reportIndistinctOverloads(astNodeList* routines, TransformState* state) {
  std::unordered_set<std::string> seen;
  for (astListCell* c = listCells(routines); c; c = c->next) {
    RoutineParts routine;
    if (!routineParts(c->value, &routine)) continue;
    std::string key = std::string(routine.function ? "F" : "P") + std::to_string(listLength(routine.args)) + " " +
                      foldedName(routine.name);
    if (seen.insert(key).second) continue;
    astNodeToken* name = firstToken(routine.name);
    reportFinding(FindingId::OVERLOADED_ROUTINES, c->value, state->errors, nullptr,
                  name && name->text ? name->text : "");
  }
}

// Does a package head of this run publish a routine of that name? The
// routines the heads publish are gathered once, at the first question.
bool publishedByPackageHead(const astNodeCreatePkgBody* body, const std::string& routineName,
                            TransformState* state) {
  if (!state->root || state->root->kind != AST_LIST) return false;
  if (!state->publishedGathered) {
    state->publishedGathered = true;
    for (astListCell* c = listCells(nodeAs<astNodeList>(state->root)); c; c = c->next) {
      if (!c->value || c->value->kind != AST_CREATE_PKG_HEAD) continue;
      auto* head = nodeAs<astNodeCreatePkgHead>(c->value);
      std::string package = foldedName(head->name) + "\n";
      // A head the walk has not reached yet still holds its members in
      // `elements`, one it has in `prototypes`.
      for (astNodeList* members : {head->elements, head->prototypes})
        for (astListCell* m = listCells(members); m; m = m->next) {
          RoutineParts routine;
          if (routineParts(m->value, &routine)) state->publishedRoutines.insert(package + foldedName(routine.name));
        }
    }
  }
  return state->publishedRoutines.count(foldedName(body->name) + "\n" + routineName) > 0;
}

// The routines declared ahead in a package body, by folded name, with the
// place of their bodies among the body's routines.
struct UseAheadSearch {
  std::unordered_map<std::string, int> bodyAt;
  std::unordered_set<std::string> reported;
  int current = 0;  // place of the routine being searched
  TransformState* state = nullptr;
};

void findUseAhead(astNode* node, void* data) {
  if (node->kind != AST_TOKEN) return;
  auto* token = nodeAs<astNodeToken>(node);
  if (token->tokenCode != T_WORD || !token->text) return;
  auto* search = static_cast<UseAheadSearch*>(data);
  std::string name = lastPart(token->text);
  auto at = search->bodyAt.find(name);
  if (at == search->bodyAt.end() || at->second <= search->current || !search->reported.insert(name).second) return;
  reportFinding(FindingId::PRIVATE_ROUTINE_AHEAD, token, search->state->errors, nullptr, name.c_str());
}

// A routine's kind and folded name, as one key.
std::string kindAndName(bool function, const std::string& name) {
  std::string key(1, function ? 'F' : 'P');
  return key.append(name);
}

// A routine declared ahead in a package body is private: the target knows
// prototypes of published routines only, so the declaration writes nothing.
// A routine of the body that calls it before its own body then cannot be
// created in the target's order of creation, which is reported at the call.
void reportPrivateRoutinesUsedAhead(astNodeCreatePkgBody* body, TransformState* state) {
  if (!body->forwardDeclarations) return;
  UseAheadSearch search;
  search.state = state;
  std::vector<RoutineParts> routines;
  // The first body of each kind and folded name, so that a body with many
  // declarations ahead is read once rather than once per declaration.
  std::unordered_map<std::string, int> firstBody;
  for (astListCell* c = listCells(body->prototypes); c; c = c->next) {
    RoutineParts routine;
    if (!routineParts(c->value, &routine)) continue;
    firstBody.emplace(kindAndName(routine.function, foldedName(routine.name)), static_cast<int>(routines.size()));
    routines.push_back(routine);
  }
  for (astListCell* f = listCells(body->forwardDeclarations); f; f = f->next) {
    RoutineParts declared;
    if (!routineParts(f->value, &declared)) continue;
    std::string name = foldedName(declared.name);
    if (name.empty() || publishedByPackageHead(body, name, state)) continue;
    auto at = firstBody.find(kindAndName(declared.function, name));
    if (at != firstBody.end()) search.bodyAt.emplace(name, at->second);
  }
  if (search.bodyAt.empty()) return;
  for (size_t i = 0; i < routines.size(); ++i) {
    search.current = static_cast<int>(i);
    astWalk(routines[i].body, findUseAhead, &search);
  }
}

void transformPackageHead(astNodeCreatePkgHead* head, TransformState* state) {
  reportWrapped(head, head->WRAPPED, "PACKAGE", state);
  transformList(head->name, head, state);
  head->declarations = nullptr;
  head->prototypes = nullptr;
  head->types = nullptr;
  for (astListCell* c = listCells(head->elements); c; c = c->next) {
    astNode* element = c->value;
    if (!element) continue;
    if (isTranslatedDeclaration(element)) {
      setPackage(element, head);
      head->declarations = listAppend(head->declarations, element);
    } else if (isPrototypeKind(element->kind) || element->kind == AST_CREATE_FUNCTION ||
               element->kind == AST_CREATE_PROCEDURE) {
      // A routine declared without a body in a package spec is parsed as a
      // routine node; it is published like a prototype.
      setPackage(element, head);
      head->prototypes = listAppend(head->prototypes, element);
    } else {
      reportDroppedElement(element, state);
    }
  }
  head->elements = nullptr;
  reportIndistinctOverloads(head->prototypes, state);
  transformList(head->declarations, head, state);
  transformList(head->prototypes, head, state);
  transformList(head->types, head, state);
  head->maxNameLength = static_cast<int>(maxDeclNameLength(head->declarations));
}

astNodeList* initProcedure(astNodeCreatePkgBody* body, astNodeBlock* block) {
  astNodeCreateProc* proc = astMake<astNodeCreateProc>(body->line);
  proc->name = tokenList("SYS_INIT", -1);
  proc->REPLACE = false;
  proc->AUTHID = true;
  proc->package = body;
  if (!block) block = astMake<astNodeBlock>(body->line);
  if (body->initStatements) {
    astNodeList* statements = appendElements(nullptr, body->initStatements);
    block->body = appendElements(statements, block->body);
  }
  proc->body = block;
  return listNew(proc);
}

void transformPackageBody(astNodeCreatePkgBody* body, TransformState* state) {
  reportWrapped(body, body->WRAPPED, "PACKAGE BODY", state);
  transformList(body->name, body, state);
  body->declarations = nullptr;
  body->prototypes = nullptr;
  body->types = nullptr;
  if (body->elements) {
    astNodeBlock* initBlock = nullptr;
    for (astListCell* c = listCells(body->elements); c; c = c->next) {
      astNode* element = c->value;
      if (!element) continue;
      if (element->kind == AST_BLOCK) {
        initBlock = nodeAs<astNodeBlock>(element);
      } else if (element->kind == AST_CREATE_FUNCTION || element->kind == AST_CREATE_PROCEDURE) {
        setPackage(element, body);
        // A routine without a body is one declared ahead.
        RoutineParts routine;
        routineParts(element, &routine);
        if (routine.body)
          body->prototypes = listAppend(body->prototypes, element);
        else
          body->forwardDeclarations = listAppend(body->forwardDeclarations, element);
      } else if (isTranslatedDeclaration(element)) {
        setPackage(element, body);
        body->declarations = listAppend(body->declarations, element);
      } else if (isPrototypeKind(element->kind)) {
        setPackage(element, body);
        body->forwardDeclarations = listAppend(body->forwardDeclarations, element);
      } else {
        reportDroppedElement(element, state);
      }
    }
    body->elements = nullptr;
    reportIndistinctOverloads(body->prototypes, state);
    reportPrivateRoutinesUsedAhead(body, state);
    transformList(body->declarations, body, state);
    transformList(body->forwardDeclarations, body, state);
    transformList(body->prototypes, body, state);
    transformList(body->types, body, state);
    if (initBlock || body->initStatements)
      body->constructor = initProcedure(body, initBlock);
    else
      body->constructor = nullptr;
  } else {
    body->constructor = initProcedure(body, nullptr);
  }
  transformNode(body->constructor, body, state);
  body->maxNameLength = static_cast<int>(maxDeclNameLength(body->declarations));
}

void transformFunction(astNodeCreateFunc* node, TransformState* state) {
  reportWrapped(node, node->WRAPPED, "FUNCTION", state);
  labelBody(node->body);
  reviewRoutineOptions(node->options, node, state);
  transformChildren(node, state);
  node->returns = mapDataType(node->returns, node, state);
}

void transformProcedure(astNodeCreateProc* node, TransformState* state) {
  reportWrapped(node, node->WRAPPED, "PROCEDURE", state);
  labelBody(node->body);
  transformChildren(node, state);
}

}  // namespace rewrite

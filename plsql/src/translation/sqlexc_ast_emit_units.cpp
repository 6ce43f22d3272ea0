// Emitters of the units: package specs and bodies (modules),
// procedures, functions, prototypes and their formal arguments, triggers,
// dropped packages, blocks with their condition handlers, and the
// declaration pass shared by blocks and packages.
#include "ast.h"
#include "plsql_parser.hpp"
#include "sqlexc_ast_emit_internal.h"

namespace {

// "ALTER MODULE pkg PUBLISH " or "ALTER MODULE pkg ADD " and the object word
// and name of a member routine.
void emitMemberHead(EmitterState* state, astNode* package, const char* word, astNodeList* name) {
  emitAppend(state, "ALTER MODULE ");
  emitTokensOf(astPackageName(package), state);
  emitTokenList(state, " ", package->kind == AST_CREATE_PKG_HEAD ? "PUBLISH " : "ADD ", word, " ");
  emitTokensOf(name, state);
}

// The node kind that goes with each declaration class.
int kindOfClass(int variableType) {
  switch (variableType) {
    case VAR_SCALAR: return AST_VAR_DECL;
    case VAR_CURSOR: return AST_CURSOR_DECL;
    case VAR_RECORD: return AST_RECORD_DECL;
    case VAR_TABLE: return AST_TABLE_DECL;
    case VAR_REFCURSOR: return AST_REFCURSOR_DECL;
    case VAR_VARRAY: return AST_VARRAY_DECL;
    case VAR_EXCEPTION: return AST_EXCEPTION_DECL;
    default: return -1;
  }
}

void emitFunctionHeadAlone(astNode* node, astNode* package, astNodeList* name, astNodeList* args,
                           astNodeList* returns, astNodeList* options, EmitterState* state);
void emitProcedureHeadAlone(astNode* node, astNode* package, astNodeList* name, astNodeList* args,
                            EmitterState* state);

}  // namespace

void emitRoutineHead(EmitterState* state, const char* word, astNode* owner, astNodeList* name, bool replace) {
  if (isPackage(owner) && astPackageName(owner)) {
    emitMemberHead(state, owner, word, name);
    return;
  }
  emitTokenList(state, emitIndentation(state), replace ? "CREATE OR REPLACE " : "CREATE ", word, " ");
  emitTokensOf(name, state);
}

void emitDeclarations(EmitterState* state, astNodeList* list, astNode* unit) {
  if (!list || list->kind != AST_LIST) return;
  if (!unit) unit = list->parent;
  for (astListCell* c = list->head; c; c = c->next) {
    astNode* element = c->value;
    // Pragmas, error nodes and other odd elements carry no declaration head.
    if (!isDeclaration(element)) continue;
    astNodeDecl* declaration = nodeAs<astNodeDecl>(element);
    if (declaration->variableType == VAR_EXCEPTION_INIT) continue;
    // A class whose node is of another kind writes nothing, as an unknown
    // class does; neither does a weak REF CURSOR type or a record type
    // outside a package. Those get no line start either, so that no
    // indentation is left behind.
    if (kindOfClass(declaration->variableType) != element->kind) continue;
    bool writesText = true;
    if (declaration->variableType == VAR_REFCURSOR && nodeAs<astNodeRefCursorDecl>(element)->weak)
      writesText = false;
    if (declaration->variableType == VAR_RECORD && !isPackage(unit)) writesText = false;
    if (writesText) emitNewLine(state, element);
    switch (declaration->variableType) {
      case VAR_SCALAR: emitVariableDeclaration(element, state, unit); break;
      case VAR_CURSOR: emitCursorDeclaration(element, state, unit); break;
      case VAR_RECORD: emitRecordDeclaration(element, state, unit); break;
      case VAR_TABLE: emitTableDeclaration(element, state, unit); break;
      case VAR_REFCURSOR:
        if (!nodeAs<astNodeRefCursorDecl>(element)->weak) emitRefCursorDeclaration(element, state, unit);
        break;
      case VAR_VARRAY: emitVarrayDeclaration(element, state, unit); break;
      case VAR_EXCEPTION: emitExceptionDeclaration(element, state, unit); break;
      default: break;
    }
  }
}

void emitCreatePackageHead(astNode* node, EmitterState* state) {
  astNodeCreatePkgHead* head = nodeAs<astNodeCreatePkgHead>(node);
  closeStatement(state);
  state->statementType = STMT_TYPE_MODULE;
  emitNewLine(state, node);
  emitAppend(state, head->REPLACE ? "CREATE OR REPLACE MODULE " : "CREATE MODULE ");
  emitTokensOf(head->name, state);
  emitTokenList(state, state->terminator, "\n");
  closeStatement(state);
  emitDeclarations(state, head->declarations, node);
  emitStatement(head->prototypes, state);
  emitStatement(head->types, state);
}

void emitCreateProcedure(astNode* node, EmitterState* state) {
  astNodeCreateProc* proc = nodeAs<astNodeCreateProc>(node);
  bool member = isPackage(proc->package);
  if (member && !proc->body) {
    emitProcedureHeadAlone(node, proc->package, proc->name, proc->args, state);
    return;
  }
  // A wrapped procedure has no body to write (the rewriting reported it).
  if (proc->WRAPPED && !proc->body) return;
  closeStatement(state);
  emitNewLine(state, node);
  if (!member) {
    state->statementType = STMT_TYPE_PROCEDURE;
    emitRoutineHead(state, "PROCEDURE", nullptr, proc->name, proc->REPLACE);
  } else {
    emitMemberHead(state, proc->package, "PROCEDURE", proc->name);
  }
  if (proc->args) emitArgumentList(proc->args, node, state);
  if (!member) emitWrappedTokens(proc->name, state, " SPECIFIC ", "");
  if (proc->AUTONOMOUS) emitTokenList(state, "\n", emitIndentation(state), "AUTONOMOUS");
  emitTokenList(state, "\n", emitIndentation(state), "LANGUAGE SQL\n");
  state->depth += 2;
  emitStatement(proc->body, state);
  emitAppend(state, "\n\n");
  state->depth -= 2;
}

void emitCreateTrigger(astNode* node, EmitterState* state) {
  astNodeCreateTrigger* trigger = nodeAs<astNodeCreateTrigger>(node);
  emitNewLine(state, node);
  emitRoutineHead(state, "TRIGGER", nullptr, trigger->name, trigger->REPLACE);
  switch (trigger->point) {
    case TRIGGER_BEFORE: emitAppend(state, " BEFORE "); break;
    case TRIGGER_AFTER: emitAppend(state, " AFTER "); break;
    case TRIGGER_INSTEAD_OF: emitAppend(state, " INSTEAD OF "); break;
    default: emitAppend(state, " "); break;  // FOR (reported): the name still needs its blank
  }
  switch (trigger->events) {
    case TRIGGER_INSERT: emitAppend(state, "INSERT "); break;
    case TRIGGER_DELETE: emitAppend(state, "DELETE "); break;
    case TRIGGER_UPDATE: {
      emitAppend(state, "UPDATE ");
      astListCell* first = emitCells(trigger->updateColumns);
      for (astListCell* c = first; c; c = c->next) {
        emitAppend(state, c == first ? "OF " : ",");
        emitTokensOf(c->value, state);
      }
      if (first) emitAppend(state, " ");
      break;
    }
    default:  // several events (recorded by the last pass): none is written
      break;
  }
  emitWrappedTokens(trigger->relation, state, "ON ", " ");
  if (trigger->referencing) {
    emitAppend(state, "REFERENCING");
    for (astListCell* c = emitCells(trigger->referencing); c; c = c->next) {
      if (!c->value || c->value->kind != AST_TRIGGER_VAR) continue;
      astNodeTriggerArg* variable = nodeAs<astNodeTriggerArg>(c->value);
      switch (variable->var) {
        case TRIGGER_VAR_NEW: emitAppend(state, " NEW AS "); break;
        case TRIGGER_VAR_OLD: emitAppend(state, " OLD AS "); break;
        case TRIGGER_VAR_PARENT: emitAppend(state, " PARENT AS "); break;
        default: break;
      }
      emitTokensOf(variable->alias, state);
    }
    emitAppend(state, " ");
  }
  if (trigger->forEachRow) emitAppend(state, "FOR EACH ROW ");
  if (trigger->condition) emitWrappedTokens(trigger->condition, state, "\nWHEN (", ")\n");
  state->depth += 2;
  emitStatement(trigger->body, state);
  emitAppend(state, "\n\n");
  state->depth -= 2;
  emitAppend(state, "\n");
}

void emitBlock(astNode* node, EmitterState* state) {
  astNodeBlock* block = nodeAs<astNodeBlock>(node);
  if (block->anonymous) {
    closeStatement(state);
    state->statementType = STMT_TYPE_BLOCK;
  }
  emitNewLine(state, node);
  emitAppend(state, block->atomic ? "BEGIN ATOMIC\n" : "BEGIN\n");
  state->depth += 2;
  emitDeclarations(state, block->declarations, node);
  emitStatement(block->exceptions, state);
  emitStatement(block->prologue, state);
  emitStatement(block->body, state);
  state->depth -= 2;
  astNode* parent = node->parent;
  bool routineBody = parent && (parent->kind == AST_CREATE_FUNCTION || parent->kind == AST_CREATE_PROCEDURE ||
                                parent->kind == AST_CREATE_TRIGGER);
  if (block->anonymous || routineBody)
    emitTokenList(state, emitIndentation(state), "END", state->terminator, "\n");
  else
    emitTokenList(state, emitIndentation(state), "END;\n");
}

void emitHandler(astNode* node, EmitterState* state) {
  astNodeHandler* handler = nodeAs<astNodeHandler>(node);
  for (astListCell* c = emitCells(handler->conditions); c; c = c->next) {
    emitNewLine(state, node);
    emitAppend(state, "DECLARE EXIT HANDLER FOR ");
    emitStatement(c->value, state);
    emitAppend(state, "\n");
    state->depth += 2;
    emitStatement(handler->body, state);
    state->depth -= 2;
  }
}

// ---- package bodies, functions, prototypes, arguments, drops, variables ----

void emitCreatePackageBody(astNode* node, EmitterState* state) {
  astNodeCreatePkgBody* body = nodeAs<astNodeCreatePkgBody>(node);
  closeStatement(state);
  state->statementType = STMT_TYPE_MODULE;
  emitNewLine(state, node);
  if (body->REPLACE) {
    emitWrappedTokens(body->name, state, "ALTER MODULE ", " DROP BODY");
    emitTokenList(state, state->terminator, "\n");
  }
  state->depth += 2;
  closeStatement(state);
  emitWrappedTokens(body->name, state, "COMMENT ON MODULE ", " IS 'PL/SQL Package Body'");
  emitTokenList(state, state->terminator, "\n");
  closeStatement(state);
  emitDeclarations(state, body->declarations, node);
  // Routines declared ahead in the body are private: the target has no
  // prototype for them (a published one would make them public).
  emitStatement(body->prototypes, state);
  emitStatement(body->types, state);
  emitStatement(body->constructor, state);
  state->depth -= 2;
}

namespace {

// DETERMINISTIC is written, the others not (AUTHID CURRENT_USER is
// recorded by the last pass).
void emitFunctionOptions(astNodeList* options, EmitterState* state) {
  for (astListCell* c = emitCells(options); c; c = c->next)
    if (c->value && c->value->kind == AST_TOKEN && nodeAs<astNodeToken>(c->value)->tokenCode == T_DETERMINISTIC)
      emitTokenList(state, emitIndentation(state), "DETERMINISTIC\n");
}

}  // namespace

void emitCreateFunction(astNode* node, EmitterState* state) {
  astNodeCreateFunc* function = nodeAs<astNodeCreateFunc>(node);
  bool member = isPackage(function->package);
  // A package function declared without a body is only a head: written as
  // a prototype, so that its statement ends with the terminator.
  if (member && !function->body) {
    emitFunctionHeadAlone(node, function->package, function->name, function->args, function->returns,
                          function->options, state);
    return;
  }
  // A wrapped function has no body to write (the rewriting reported it).
  if (function->WRAPPED && !function->body) return;
  closeStatement(state);
  emitNewLine(state, node);
  if (member) {
    emitMemberHead(state, function->package, "FUNCTION", function->name);
  } else {
    state->statementType = STMT_TYPE_FUNCTION;
    emitRoutineHead(state, "FUNCTION", nullptr, function->name, function->REPLACE);
  }
  if (!function->args)
    emitAppend(state, "()");
  else
    emitArgumentList(function->args, node, state);
  if (!member) emitWrappedTokens(function->name, state, " SPECIFIC ", "");
  emitTokenList(state, "\n", emitIndentation(state), "RETURNS ");
  emitDatatype(function->returns, state);
  emitAppend(state, "\n");
  emitTokenList(state, emitIndentation(state), "LANGUAGE SQL\n");
  if (function->modifiesData) emitTokenList(state, emitIndentation(state), "MODIFIES SQL DATA\n");
  emitFunctionOptions(function->options, state);
  state->depth += 2;
  emitStatement(function->body, state);
  emitAppend(state, "\n\n");
  state->depth -= 2;
}

namespace {

// The published head of a function without a body: a prototype of a
// package spec, or a function declared there without a body.
void emitFunctionHeadAlone(astNode* node, astNode* package, astNodeList* name, astNodeList* args,
                           astNodeList* returns, astNodeList* options, EmitterState* state) {
  closeStatement(state);
  emitNewLine(state, node);
  emitWrappedTokens(astPackageName(package), state, "ALTER MODULE ", " PUBLISH FUNCTION ");
  emitTokensOf(name, state);
  if (!args)
    emitAppend(state, "()");
  else
    emitArgumentList(args, node, state);
  emitAppend(state, " RETURNS ");
  emitDatatype(returns, state);
  emitAppend(state, " LANGUAGE SQL ");
  if (node->kind == AST_FUNC_PROTO ? nodeAs<astNodeFuncProto>(node)->modifiesData
                                   : nodeAs<astNodeCreateFunc>(node)->modifiesData)
    emitAppend(state, "MODIFIES SQL DATA ");
  emitFunctionOptions(options, state);
  emitTokenList(state, state->terminator, "\n");
}

void emitProcedureHeadAlone(astNode* node, astNode* package, astNodeList* name, astNodeList* args,
                            EmitterState* state) {
  closeStatement(state);
  emitNewLine(state, node);
  emitWrappedTokens(astPackageName(package), state, "ALTER MODULE ", " PUBLISH PROCEDURE ");
  emitTokensOf(name, state);
  if (args) emitArgumentList(args, node, state);
  emitTokenList(state, " LANGUAGE SQL", state->terminator, "\n");
}

}  // namespace

void emitFunctionPrototype(astNode* node, EmitterState* state) {
  astNodeFuncProto* proto = nodeAs<astNodeFuncProto>(node);
  emitFunctionHeadAlone(node, proto->package, proto->name, proto->args, proto->returns, proto->options, state);
}

void emitProcedurePrototype(astNode* node, EmitterState* state) {
  astNodeProcProto* proto = nodeAs<astNodeProcProto>(node);
  emitProcedureHeadAlone(node, proto->package, proto->name, proto->args, state);
}

void emitFormalArg(astNode* node, EmitterState* state) {
  astNodeFormalArg* arg = nodeAs<astNodeFormalArg>(node);
  emitTokenList(state, "\n", emitIndentation(state));
  emitLineMarker(state, node->line, true);
  // The routine that owns the list: as the argument loop says, else through
  // the parent links (argument -> list -> routine).
  astNode* owner = state->argumentOwner;
  if (!owner && node->parent) owner = node->parent->kind == AST_LIST ? node->parent->parent : node->parent;
  if (owner && (owner->kind == AST_PROC_PROTO || owner->kind == AST_CREATE_PROCEDURE)) {
    switch (arg->mode) {
      case ARG_IN: emitAppend(state, "IN "); break;
      case ARG_OUT: emitAppend(state, "OUT "); break;
      case ARG_IN_OUT: emitAppend(state, "INOUT "); break;
      default: break;
    }
  }
  emitWrappedTokens(arg->name, state, "", " ");
  emitDatatype(arg->dataType, state);
  if (arg->defaultValue) emitWrappedTokens(arg->defaultValue, state, " DEFAULT ", "");
}

void emitDropPackageHead(astNode* node, EmitterState* state) {
  closeStatement(state);
  state->statementType = STMT_TYPE_DROP_MODULE;
  emitNewLine(state, node);
  emitWrappedTokens(nodeAs<astNodeDropPkgHead>(node)->name, state, "DROP MODULE ", "");
  emitTokenList(state, state->terminator, "\n");
}

void emitDropPackageBody(astNode* node, EmitterState* state) {
  closeStatement(state);
  emitNewLine(state, node);
  emitWrappedTokens(nodeAs<astNodeDropPkgBody>(node)->name, state, "ALTER MODULE ", " DROP BODY");
  emitTokenList(state, state->terminator, "\n");
}

void emitVariableDeclaration(astNode* declaration, EmitterState* state, astNode* unit) {
  astNodeVarDecl* variable = nodeAs<astNodeVarDecl>(declaration);
  bool inPackage = isPackage(unit);
  if (unit && unit->kind == AST_CREATE_PKG_HEAD)
    emitWrappedTokens(astPackageName(unit), state, "ALTER MODULE ", " PUBLISH VARIABLE ");
  else if (unit && unit->kind == AST_CREATE_PKG_BODY)
    emitWrappedTokens(astPackageName(unit), state, "ALTER MODULE ", " ADD VARIABLE ");
  else
    emitAppend(state, "DECLARE ");
  emitTokensOf(variable->variableName, state);
  emitAppend(state, " ");
  emitDatatype(variable->dataType, state);
  // A constant without a value would leave a dangling CONSTANT keyword.
  if (variable->constant && variable->defaultValue)
    emitWrappedTokens(variable->defaultValue, state, " CONSTANT ", "");
  else if (variable->defaultValue)
    emitWrappedTokens(variable->defaultValue, state, " DEFAULT ", "");
  if (inPackage) {
    emitTokenList(state, state->terminator, "\n");
    closeStatement(state);
  } else {
    emitAppend(state, ";\n");
  }
}

// The rewriting pass: names, datatypes and forms that mean something else
// in the target or that it lacks. Calls of the run's functions written
// without parentheses, qualifiers that a FROM clause defines, trigger rows
// that the events do not give, datatypes and routine clauses outside the
// datatype map, collection and object forms, % attributes, lock waits
// after FOR UPDATE, built-in packages, PL/SQL blocks run as dynamic
// statements, and the data-access clause of functions that change data.
#include <cctype>
#include <cstring>
#include <initializer_list>
#include <string>
#include <strings.h>
#include <unordered_set>
#include <vector>

#include "plsql_parser.hpp"
#include "expression_tree.h"
#include "functions.h"
#include "rewrite_internal.h"
#include "token_spans.h"
#include "run_pool.h"

using namespace rewrite;

namespace {

bool startsWithWord(const std::string& text, const char* word) {
  size_t length = std::strlen(word);
  if (text.compare(0, length, word) != 0) return false;
  return text.size() == length || !(std::isalnum(static_cast<unsigned char>(text[length])) || text[length] == '_');
}

}  // namespace

namespace rewrite {

std::string packageOf(astNode* node) {
  astNode* package = nearestOf(node, isPackage);
  if (!package) return "";
  astNodeToken* token = asToken(listLast(astPackageName(package)));
  return token ? lastPart(token->text) : "";
}

// ---- declarations in scope ----

// Whether a declared name is `name`: its first letter turns most away
// before the texts are measured.
static bool declaresName(const astNodeToken* declared, const std::string& name) {
  const char* text = declared->text ? declared->text : "";
  return foldAscii(text[0]) == foldAscii(name.c_str()[0]) && sameFolded(text, name);
}

astNodeList* declaredType(astNode* from, const std::string& name, bool* found) {
  *found = false;
  int guard = 0;
  for (astNode* n = from; n && guard < 1000000; n = n->parent, ++guard) {
    astNodeList* declarations = nullptr;
    if (n->kind == AST_BLOCK) declarations = nodeAs<astNodeBlock>(n)->declarations;
    else if (n->kind == AST_CREATE_PKG_BODY) declarations = nodeAs<astNodeCreatePkgBody>(n)->declarations;
    for (astListCell* c = listCells(declarations); c; c = c->next) {
      if (!isDeclaration(c->value)) continue;
      auto* decl = nodeAs<astNodeDecl>(c->value);
      astNodeToken* declared = firstToken(decl->variableName);
      if (!declared || !declaresName(declared, name)) continue;
      *found = true;
      return decl->kind == AST_VAR_DECL ? nodeAs<astNodeVarDecl>(decl)->dataType : nullptr;
    }
    if (RoutineParts routine; isRoutine(n) && routineParts(n, &routine)) {
      for (astListCell* c = listCells(routine.args); c; c = c->next) {
        if (!c->value || c->value->kind != AST_FORMAL_ARG) continue;
        auto* arg = nodeAs<astNodeFormalArg>(c->value);
        astNodeToken* declared = firstToken(arg->name);
        if (!declared || !declaresName(declared, name)) continue;
        *found = true;
        return arg->dataType;
      }
    }
  }
  return nullptr;
}

std::string firstPart(const char* text) {
  if (!text) return {};
  // Most names hold no quote nor backslash before their first dot: that
  // part is copied whole and folded.
  size_t plain = 0;
  while (text[plain] && text[plain] != '.' && text[plain] != '"' && text[plain] != '\\') ++plain;
  if (text[plain] == '.' || !text[plain]) {
    std::string part(text, plain);
    for (char& c : part) c = foldAscii(c);
    return part;
  }
  // As splitQualifiedName reads a name: a backslash takes the next
  // character as it is, a double quote toggles quoting and is dropped.
  std::string part;
  bool quoted = false;
  for (const char* p = text; *p; ++p) {
    if (*p == '\\') {
      if (!p[1]) break;
      part += foldAscii(*++p);
    } else if (*p == '"') {
      quoted = !quoted;
    } else if (*p == '.' && !quoted) {
      break;
    } else {
      part += foldAscii(*p);
    }
  }
  return part;
}

}  // namespace rewrite

namespace {

// ---- where a token stands ----

// The SQL statement or query that holds a token list: a select, a data
// change or a FOR loop over a query in parentheses; null outside SQL.
astNode* sqlHolder(astNode* node) {
  int guard = 0;
  for (astNode* n = node; n && guard < 1000000; n = n->parent, ++guard) {
    if (n->kind == AST_SELECT || n->kind == AST_SQL_STMT || n->kind == AST_CURSOR_DECL) return n;
    if (n->kind == AST_FOR && nodeAs<astNodeFor>(n)->loopType != FOR_CURSOR &&
        nodeAs<astNodeFor>(n)->loopType != FOR_NUMERIC)
      return n;
    if (isStatement(n) || isDeclaration(n) || isRoutine(n)) return nullptr;
  }
  return nullptr;
}

// Is the list a PL/SQL expression (not a name, a target or SQL text)?
bool isExpressionList(const astNodeList* list) {
  const astNode* owner = list ? list->parent : nullptr;
  if (!owner) return false;
  switch (owner->kind) {
    case AST_ASSIGN: {
      auto* n = nodeAs<const astNodeAssign>(owner);
      return list == n->expr || list == n->targetIndex;
    }
    case AST_IF: return list == nodeAs<const astNodeIf>(owner)->expr;
    case AST_ELSE_IF: return list == nodeAs<const astNodeElseIf>(owner)->expr;
    case AST_WHILE: return list == nodeAs<const astNodeWhile>(owner)->expr;
    case AST_EXIT: return list == nodeAs<const astNodeExit>(owner)->expr;
    case AST_CONTINUE: return list == nodeAs<const astNodeContinue>(owner)->expr;
    case AST_RETURN: return list == nodeAs<const astNodeReturn>(owner)->expr;
    case AST_CALL: return list == nodeAs<const astNodeCall>(owner)->args;
    case AST_CASE: return list == nodeAs<const astNodeCase>(owner)->predicate;
    case AST_CASE_EXPR: return list == nodeAs<const astNodeCaseExpr>(owner)->predicate;
    case AST_VAR_DECL: return list == nodeAs<const astNodeVarDecl>(owner)->defaultValue;
    case AST_FORMAL_ARG: return list == nodeAs<const astNodeFormalArg>(owner)->defaultValue;
    case AST_DYNAMIC: return list == nodeAs<const astNodeDynamic>(owner)->expr;
    case AST_OPEN: return list == nodeAs<const astNodeOpen>(owner)->args;
    default: return false;
  }
}

// ---- the run's routines ----

// The last part of a function's name, folded; empty for none.
std::string functionName(const astNodeCreateFunc* function) {
  astNodeToken* last = asToken(listLast(function->name));
  return last && last->text ? lastPart(last->text) : "";
}

// Notes a function by its name in its package; returns that name (as
// functionName), empty for a routine that is no function.
std::string noteFunction(const astNode* node, const std::string& package, TransformState* state) {
  RoutineParts routine;
  if (!routineParts(node, &routine) || !routine.function) return "";
  astNodeList* args = routine.args;
  astNodeToken* last = asToken(listLast(routine.name));
  if (!last || !last->text) return "";
  std::string folded = lastPart(last->text);
  // A function whose every parameter has a default is called bare as well.
  bool allDefaulted = true;
  for (astListCell* c = listCells(args); c && allDefaulted; c = c->next)
    allDefaulted = c->value && c->value->kind == AST_FORMAL_ARG && nodeAs<astNodeFormalArg>(c->value)->defaultValue;
  if (allDefaulted) {
    state->parameterlessFunctions[package].insert(folded);
    state->parameterlessNames.insert(folded);
  }
  if (listLength(args) != 0) {
    state->functionsWithParameters[package].insert(folded);
    state->namesWithParameters.insert(folded);
  }
  return folded;
}

}  // namespace

namespace rewrite {

void noteRunDeclarations(TransformState* state) {
  astNode* root = state->root;
  if (!root || root->kind != AST_LIST) return;
  // A package whose body the run holds has its routines noted there, its
  // own routines among them.
  std::unordered_set<std::string> bodies;
  for (astListCell* c = listCells(nodeAs<astNodeList>(root)); c; c = c->next)
    if (astNodeToken* name = c->value && c->value->kind == AST_CREATE_PKG_BODY
                                 ? asToken(listLast(astPackageName(c->value)))
                                 : nullptr;
        name && name->text)
      bodies.insert(lastPart(name->text));
  std::string variable;  // a package variable's key
  for (astListCell* c = listCells(nodeAs<astNodeList>(root)); c; c = c->next) {
    astNode* unit = c->value;
    if (!unit) continue;
    if (unit->kind == AST_CREATE_FUNCTION || unit->kind == AST_CREATE_PROCEDURE) noteRoundingRoutine(unit, {}, state);
    if (unit->kind == AST_CREATE_FUNCTION) {
      auto* function = nodeAs<astNodeCreateFunc>(unit);
      state->runFunctions.push_back({function, noteFunction(unit, "", state)});
    } else if (unit->kind == AST_CREATE_PKG_HEAD || unit->kind == AST_CREATE_PKG_BODY) {
      bool body = unit->kind == AST_CREATE_PKG_BODY;
      astNodeList* elements = body ? nodeAs<astNodeCreatePkgBody>(unit)->elements
                                   : nodeAs<astNodeCreatePkgHead>(unit)->elements;
      astNodeToken* last = asToken(listLast(astPackageName(unit)));
      bool named = last && last->text;
      std::string package = named ? lastPart(last->text) : "";
      if (named) {
        state->runPackages.insert(package);
        if (!body) state->packageHeads.insert(package);
      }
      bool noted = named && (body || !bodies.count(package));
      // One pass over the elements, each read once.
      for (astListCell* e = listCells(elements); e; e = e->next) {
        astNode* element = e->value;
        if (!element) continue;
        std::string name = named ? noteFunction(element, package, state) : "";
        // A package body writes the routines it holds with a body.
        if (body && element->kind == AST_CREATE_FUNCTION && nodeAs<astNodeCreateFunc>(element)->body) {
          auto* function = nodeAs<astNodeCreateFunc>(element);
          state->runFunctions.push_back({function, named ? std::move(name) : functionName(function)});
        }
        if (!named) continue;
        if (noted) noteRoundingRoutine(element, lastPartOf(last->text), state);
        astNodeToken* declared =
            element->kind == AST_VAR_DECL ? firstToken(nodeAs<astNodeVarDecl>(element)->variableName) : nullptr;
        if (declared && declared->text)
          state->packageVariables.insert(variable.assign(package).append(".").append(declared->text));
      }
    } else if (unit->kind == AST_CREATE_TYPE) {
      auto* type = nodeAs<astNodeDdlType>(unit);
      astNodeToken* name = asToken(listLast(type->name));
      bool object = type->UNDER;
      for (astListCell* b = listCells(type->body); b && !object; b = b->next)
        object = textIs(b->value, "OBJECT");
      if (name && name->text && object) state->objectTypes.insert(lastPartOf(name->text));
    }
  }
}

// ---- a qualifier that SQL defines ----

bool namesSqlColumn(astNodeToken* token) {
  astNode* holder = sqlHolder(token);
  if (!holder || !token->text) return false;
  std::string qualifier = firstPart(token->text);
  astNodeList* lists[4] = {nullptr, nullptr, nullptr, nullptr};
  if (holder->kind == AST_SELECT) {
    auto* select = nodeAs<astNodeSelect>(holder);
    lists[0] = select->target;
    lists[1] = select->fromClause;
    lists[2] = select->withClause;
  } else if (holder->kind == AST_SQL_STMT) {
    lists[0] = nodeAs<astNodeSqlStmt>(holder)->body;
    lists[1] = nodeAs<astNodeSqlStmt>(holder)->returning;
  } else if (holder->kind == AST_CURSOR_DECL) {
    astNode* query = nodeAs<astNodeCursorDecl>(holder)->query;
    if (query && query->kind == AST_LIST) lists[0] = nodeAs<astNodeList>(query);
  } else {
    lists[0] = nodeAs<astNodeFor>(holder)->expr;
  }
  // A table or its alias stands alone, as a name of one part.
  for (astNodeList* list : lists)
    for (astListCell* c = listCells(list); c; c = c->next) {
      astNodeToken* word = asToken(c->value);
      if (word && word != token && !word->qualified && word->tokenCode != T_STRING && word->text &&
          sameFolded(word->text, qualifier))
        return true;
    }
  return false;
}

// ---- calls of functions without parentheses ----

// Whether the FROM clauses of the lists name DUAL alone; `leading` is a
// list that begins after its FROM.
bool fromDualOnly(std::initializer_list<astNodeList*> lists, astNodeList* leading) {
  int tables = 0;
  bool dualOnly = false;
  auto from = [&](astListCell* table) {
    ++tables;
    astNode* name = table ? table->value : nullptr;
    astNode* after = table && table->next ? table->next->value : nullptr;
    dualOnly = (textIs(name, "DUAL") || textIs(name, "SYS.DUAL")) &&
               (!after || textIs(after, "WHERE") || textIs(after, "ORDER") || textIs(after, "GROUP"));
  };
  // A subquery holds a FROM of its own.
  if (listCells(leading) && !textIs(listFirst(leading), "FROM")) from(listCells(leading));
  for (astNodeList* list : lists)
    for (astListCell* c = listCells(list); c; c = c->next)
      if (textIs(c->value, "FROM")) from(c->next);
  return tables == 1 && dualOnly;
}

// Inside SQL a name is a column first. It cannot be one in a query of DUAL
// alone, nor in the VALUES of an INSERT or what it selects from DUAL alone.
bool nameCannotBeColumn(astNodeToken* token, astNode* sql) {
  if (sql->kind == AST_SELECT) {
    auto* select = nodeAs<astNodeSelect>(sql);
    return fromDualOnly({select->target, select->fromClause}, select->fromClause);
  }
  if (sql->kind != AST_SQL_STMT || nodeAs<astNodeSqlStmt>(sql)->keywordCode != T_INSERT) return false;
  astNodeList* body = nodeAs<astNodeSqlStmt>(sql)->body;
  bool afterValues = false, afterSelect = false;
  for (astListCell* c = listCells(body); c; c = c->next) {
    if (textIs(c->value, "VALUES")) afterValues = true;
    else if (textIs(c->value, "SELECT")) afterSelect = true;
    else if (c->value == token) return afterSelect ? fromDualOnly({body}, nullptr) : afterValues;
  }
  return false;
}

// Words of SQL after which a value follows.
const char* const kSqlValueWords[] = {"ALL",  "AND",  "ANY",   "BETWEEN", "BY",    "CASE",   "DISTINCT", "ELSE",
                                      "ESCAPE", "EXISTS", "HAVING", "IN",   "IS",    "LIKE",   "NOT",      "ON",
                                      "OR",   "PRIOR", "RETURN", "SELECT", "SET",   "SOME",   "THEN",     "UNIQUE",
                                      "VALUES", "WHEN", "WHERE"};

// Where a name of a SQL statement can only be a column, an alias or a table:
// after AS or a table's keyword, an alias right after a value, the column
// an UPDATE sets, the columns an INSERT names, the targets of INTO.
bool isColumnPlace(astNodeList* list, astListCell* cell, astListCell* previous, astNode* sql) {
  if (sql->kind == AST_SELECT && list == nodeAs<astNodeSelect>(sql)->intoClause) return true;
  if (sql->kind == AST_SQL_STMT && list == nodeAs<astNodeSqlStmt>(sql)->returning) return true;
  astNode* before = previous ? previous->value : nullptr;
  for (const char* word : {"AS", "FROM", "JOIN", "INTO", "UPDATE", "TABLE", "USING"})
    if (textIs(before, word)) return true;
  if (before && (spans::isClose(before) || spans::isOperandToken(before))) {
    bool value = false;
    for (const char* word : kSqlValueWords) value = value || textIs(before, word);
    if (!value) return true;
  }
  bool setting = cell->next && textIs(cell->next->value, "=") && (textIs(before, "SET") || spans::isComma(before));
  if (setting && sql->kind == AST_SQL_STMT && nodeAs<astNodeSqlStmt>(sql)->keywordCode == T_UPDATE) return true;
  // INTO t (a, b): the parenthesis that holds the name follows a table
  // named after INTO.
  astListCell* open = nullptr;
  astNode* beforeOpen[2] = {nullptr, nullptr};
  astNode* last[2] = {nullptr, nullptr};
  for (astListCell* c = listCells(list); c && c != cell; c = c->next) {
    if (spans::isOpen(c->value)) {
      open = c;
      beforeOpen[0] = last[0];
      beforeOpen[1] = last[1];
    } else if (spans::isClose(c->value)) {
      open = nullptr;
    }
    last[1] = last[0];
    last[0] = c->value;
  }
  return open && textIs(beforeOpen[1], "INTO");
}

void addCallParentheses(astNodeToken* token, TransformState* state) {
  if (!token->text || (token->tokenCode != T_WORD && token->tokenCode != T_STRING) || state->parameterlessFunctions.empty())
    return;
  // A string literal names no function.
  if (token->text[0] == '\'' || !state->parameterlessNames.holds(nameLastPart(token))) return;
  astNode* holder = token->parent;
  if (!holder || holder->kind != AST_LIST) return;
  auto* list = nodeAs<astNodeList>(holder);
  astNode* sql = sqlHolder(list);
  if (!sql && !isExpressionList(list)) return;
  // Inside SQL a name of one part may be a column, which comes first there;
  // a name qualified by a package of the run is no column of the statement.
  bool mayBeColumn = sql && !token->qualified && !nameCannotBeColumn(token, sql);
  astListCell* cell = listCellOf(list, token);
  if (!cell) return;
  if (cell->next && textIs(cell->next->value, "(")) return;
  astListCell* previous = nullptr;
  for (astListCell* c = listCells(list); c && c != cell; c = c->next) previous = c;
  if (previous && (textIs(previous->value, ".") || textIs(previous->value, "=>"))) return;
  if (cell->next && textIs(cell->next->value, "=>")) return;  // a named argument
  if (mayBeColumn && isColumnPlace(list, cell, previous, sql)) return;
  std::string name = lastPart(token->text);
  std::string package;
  if (token->qualified) {
    astNodeList* parts = splitQualifiedName(token->text);
    if (listLength(parts) != 2) return;
    package = foldedText(firstToken(parts)->text);
    if (!state->runPackages.count(package)) return;
  } else {
    package = packageOf(token);
    bool found = false;
    declaredType(token, name, &found);
    if (found) return;  // a variable or parameter of that name hides the function
  }
  auto known = [&](const std::string& scope) {
    auto at = state->parameterlessFunctions.find(scope);
    return at != state->parameterlessFunctions.end() && at->second.count(name);
  };
  if (!known(package) && !(token->qualified ? false : known(""))) return;
  if (mayBeColumn) {
    // The target would read the column; PL/SQL calls the function when the
    // statement's tables have no such column, which is not known here.
    reportFinding(FindingId::FUNCTION_OR_COLUMN, token, state->errors, nullptr, token->text);
    return;
  }
  std::string text = std::string(token->text) + "()";
  token->text = poolBumpStrdup(text.c_str());
}

// ---- trigger rows the events do not give ----

bool rowGiven(const astNodeCreateTrigger* trigger, int var) {
  if (var == TRIGGER_VAR_NEW) return trigger->events & (TRIGGER_INSERT | TRIGGER_UPDATE);
  if (var == TRIGGER_VAR_OLD) return trigger->events & (TRIGGER_UPDATE | TRIGGER_DELETE);
  return true;
}

bool reportMissingTriggerRow(astNodeToken* token, TransformState* state) {
  astNode* unit = outermostOf(token, isEnclosingUnit);
  if (!unit || unit->kind != AST_CREATE_TRIGGER || !token->text) return false;
  auto* trigger = nodeAs<astNodeCreateTrigger>(unit);
  // Outside the WHEN condition a row is named with a colon.
  if (token->tokenCode != T_TRIG_VAR && (!trigger->condition || token->parent != trigger->condition)) return false;
  const char* text = token->text[0] == ':' ? token->text + 1 : token->text;
  std::string name = firstPart(text);
  int var = -1;
  if (name == "new") var = TRIGGER_VAR_NEW;
  else if (name == "old") var = TRIGGER_VAR_OLD;
  for (astListCell* c = listCells(trigger->referencing); c && var < 0; c = c->next) {
    if (!c->value || c->value->kind != AST_TRIGGER_VAR) continue;
    auto* variable = nodeAs<astNodeTriggerArg>(c->value);
    astNodeToken* alias = firstToken(variable->alias);
    if (alias && alias->text && foldedText(alias->text) == "syszulinternal_" + name) var = variable->var;
  }
  FindingId finding = var == TRIGGER_VAR_NEW ? FindingId::TRIGGER_ROW_NEW : FindingId::TRIGGER_ROW_OLD;
  if (rowGiven(trigger, var)) return false;
  reportFinding(finding, token, state->errors, nullptr, token->text);
  return true;
}

void dropRowsWithoutEvent(astNodeCreateTrigger* trigger) {
  astNodeList* kept = nullptr;
  bool dropped = false;
  for (astListCell* c = listCells(trigger->referencing); c; c = c->next) {
    bool given = !c->value || c->value->kind != AST_TRIGGER_VAR ||
                 rowGiven(trigger, nodeAs<astNodeTriggerArg>(c->value)->var);
    if (given) kept = listAppend(kept, c->value);
    else dropped = true;
  }
  if (!dropped) return;
  if (kept) kept->parent = trigger;
  trigger->referencing = kept;
}

bool isSqlCursorName(const char* text) {
  std::string name = upperText(text);
  while (!name.empty() && std::isspace(static_cast<unsigned char>(name.back()))) name.pop_back();
  return name == "SQL";
}

void reviewRoutineOptions(astNodeList* options, astNode* routine, TransformState* state) {
  for (astListCell* c = listCells(options); c; c = c->next) {
    astNodeToken* option = asToken(c->value);
    if (!option || !option->text) continue;
    // PARALLEL_ENABLE and CLUSTER only let a query run the function in
    // parallel: left out, the function means the same.
    // A PIPELINED function returns its rows by PIPE ROW, which is recorded.
    if (equalsIgnoreCase(option->text, "AGGREGATE"))
      reportFinding(FindingId::AGGREGATE_FUNCTION, routine, state->errors);
  }
}

}  // namespace rewrite

namespace {

// ---- built-in packages ----

// Built-in packages that the target provides as modules of the same name.
const char* const kTargetModules[] = {"DBMS_ALERT", "DBMS_DDL",  "DBMS_JOB", "DBMS_LOB", "DBMS_OUTPUT", "DBMS_PIPE",
                                      "DBMS_SQL",   "DBMS_UTILITY", "UTL_DIR", "UTL_FILE", "UTL_MAIL", "UTL_SMTP"};

const char* const kBuiltinPrefixes[] = {"DBMS_", "UTL_", "APEX_"};
const char* const kBuiltinPackages[] = {"HTP",       "HTF",     "OWA",        "OWA_UTIL",    "OWA_COOKIE",
                                        "OWA_SEC",   "OWA_TEXT", "OWA_PATTERN", "OWA_OPT_LOCK", "OWA_CUSTOM",
                                        "CTX_DDL",   "CTX_DOC", "CTX_QUERY"};

}  // namespace

bool rewrite::hasBuiltinPrefix(std::string_view package) {
  for (const char* prefix : kBuiltinPrefixes) {
    size_t length = std::strlen(prefix);
    if (package.size() >= length && sameFolded(package.substr(0, length), prefix)) return true;
  }
  return false;
}

namespace {

// Whether a package name, in any case, is a built-in package's.
bool isBuiltinPackage(std::string_view package) {
  if (hasBuiltinPrefix(package)) return true;
  for (const char* name : kBuiltinPackages)
    if (sameFolded(package, name)) return true;
  return false;
}

// Whether a dotted name may begin with a built-in package, or with SYS
// before one: told by its first letter, unless a quote or an escape hides it.
bool mayBeginWithBuiltinPackage(const char* text) {
  char first = foldAscii(text[0]);
  if (first == '"' || first == '\\' || first == 's') return true;
  for (const char* prefix : kBuiltinPrefixes)
    if (foldAscii(prefix[0]) == first) return true;
  for (const char* name : kBuiltinPackages)
    if (foldAscii(name[0]) == first) return true;
  return false;
}

// The finding for a call of a built-in package routine that the target
// lacks, with its name; false for no built-in package, or one the target has.
// `first` is the name's first part (firstPart).
bool builtinPackageFinding(const char* text, const std::string& first, FindingId* finding, std::string* name) {
  const char* rest = afterFirstPart(text);
  if (!rest) return false;
  // package.routine, or SYS.package.routine.
  std::string package = first;
  const char* routine = rest;
  if (const char* third = afterFirstPart(rest)) {
    if (package != "sys" || afterFirstPart(third)) return false;
    package = firstPart(rest);
    routine = third;
  }
  if (!isBuiltinPackage(package)) return false;
  std::string upper = upperText(package.c_str());
  for (const char* module : kTargetModules) {
    if (upper != module) continue;
    if (upper != "DBMS_UTILITY") return false;
    // The target's module has part of PL/SQL's routines: their rows say so.
    std::string routineName = upperText(firstPart(routine).c_str());
    const BuiltinFunction* row = functionRowNamed((upper + "." + routineName).c_str());
    if (row && (row->facts & fact::TARGET_MODULE_HAS)) return false;
    *finding = FindingId::BUILTIN_PACKAGE_ROUTINE;
    *name = upper + "." + routineName;
    return true;
  }
  *finding = FindingId::BUILTIN_PACKAGE;
  *name = upper;
  return true;
}

bool isPlsqlBlockText(const char* literal) {
  if (!literal || literal[0] != '\'') return false;
  const char* p = literal + 1;
  while (*p && std::isspace(static_cast<unsigned char>(*p))) ++p;
  std::string head = upperText(std::string(p, std::strlen(p) < 10 ? std::strlen(p) : 10).c_str());
  return startsWithWord(head, "BEGIN") || startsWithWord(head, "DECLARE") || head.compare(0, 2, "<<") == 0;
}

// A record kept back to be made after others.
struct HeldRecord {
  FindingId finding;
  bool named;
  std::string name;
  const char* detail;
  astNode* at;
};

void record(FindingId finding, const char* name, const char* detail, astNode* at, TransformState* state,
            std::vector<HeldRecord>* held = nullptr) {
  if (held) held->push_back({finding, name != nullptr, name ? name : "", detail, at});
  else reportFinding(finding, at, state->errors, name, detail);
}

// ---- collection and object forms, % attributes, interval literals,
// built-in packages ----

// The form at the token of the cell `c`, its record held in `into`; a token
// takes one record at most. NEW t( names t as well: `claimed` is set to t,
// which takes no record of its own.
void reportUnknownForm(astNodeList* list, astListCell* c, astNode* previous, TransformState* state,
                       std::vector<HeldRecord>* into, astNode** claimed) {
  astNodeToken* token = asToken(c->value);
  if (!token || !token->text || token->tokenCode == T_STRING) return;
  size_t held = into->size();
  astNode* next = c->next ? c->next->value : nullptr;
  astNode* afterNext = c->next && c->next->next ? c->next->next->value : nullptr;
  // Most tokens differ from the words asked about in their first letter.
  auto is = [token](const char* word) {
    return foldAscii(token->text[0]) == foldAscii(word[0]) && equalsIgnoreCase(token->text, word);
  };
  bool call = spans::isOpen(next);
  if (is("%") && next && asToken(next) && asToken(next)->text) {
    std::string attribute = "%" + upperText(firstPart(asToken(next)->text).c_str());
    record(FindingId::ATTRIBUTE, attribute.c_str(), nullptr, token, state, into);
  } else if (is("MULTISET")) {
    record(FindingId::MULTISET, nullptr, nullptr, token, state, into);
  } else if (is("IS") && (textIs(next, "EMPTY") || (textIs(next, "NOT") && textIs(afterNext, "EMPTY")))) {
    record(FindingId::IS_EMPTY, nullptr, nullptr, token, state, into);
  } else if ((is("MEMBER") || is("SUBMULTISET")) && textIs(next, "OF")) {
    record(FindingId::MEMBER_OF, upperText(token->text).c_str(), nullptr, token, state, into);
  } else if (is("IS") && (textIs(next, "A") || textIs(afterNext, "A")) &&
             (textIs(afterNext, "SET") || (c->next->next && c->next->next->next &&
                                           textIs(c->next->next->next->value, "SET")))) {
    record(FindingId::IS_A_SET, nullptr, nullptr, token, state, into);
  } else if (token->tokenCode == T_TABLE && call && sqlHolder(list)) {
    record(FindingId::TABLE_OF_COLLECTION, nullptr, nullptr, token, state, into);
  } else if (is("INTERVAL") && asToken(next) && asToken(next)->tokenCode == T_STRING) {
    record(FindingId::INTERVAL_LITERAL, nullptr, nullptr, token, state, into);
  } else if (token->tokenCode == T_NEW && asToken(next) && spans::isOpen(afterNext)) {
    record(FindingId::OBJECT_CONSTRUCTOR, nullptr, asToken(next)->text, token, state, into);
    *claimed = next;
  } else if (call && !spans::isText(previous, '.') && !state->objectTypes.empty() &&
             state->objectTypes.holds(nameLastPart(token))) {
    record(FindingId::OBJECT_CONSTRUCTOR, nullptr, token->text, token, state, into);
  } else if (token->qualified && call && !state->objectTypes.empty()) {
    // v.method(...) of a variable of an object type of the run.
    bool found = false;
    astNodeList* type = declaredType(list, firstPart(token->text), &found);
    astNodeToken* typeName = firstToken(type);
    if (found && typeName && listLength(type) == 1 && state->objectTypes.holds(lastPartOf(typeName->text)))
      record(FindingId::OBJECT_METHOD_CALL, nullptr, token->text, token, state, into);
  }
  if (token->qualified && into->size() == held && mayBeginWithBuiltinPackage(token->text)) {
    std::string first = firstPart(token->text);
    FindingId finding;
    std::string name;
    if (!state->runPackages.count(first) && builtinPackageFinding(token->text, first, &finding, &name))
      record(finding, name.c_str(), token->text, token, state, into);
  }
}

}  // namespace

namespace rewrite {

// One walk over a token list for both kinds of report: a token takes the
// listed construct's record if it has one, else the unknown form's, and
// the records of unknown forms follow all the listed ones.
// Whether a token of a list may be one of the constructs either report
// looks for; most tokens are told apart by their first letter and length.
static bool mayBeConstruct(const astListCell* c, const astNode* previous, const TransformState* state) {
  const astNodeToken* token = c->value && c->value->kind == AST_TOKEN ? nodeAs<const astNodeToken>(c->value) : nullptr;
  if (!token || !token->text || token->tokenCode == T_STRING) return false;
  if (token->qualified || token->tokenCode == T_TABLE || token->tokenCode == T_NEW || spans::isText(previous, '.'))
    return true;
  size_t length = std::strlen(token->text);
  switch (foldAscii(token->text[0])) {
    case '%': return true;
    case 'm': if (length == 8 || length == 6) return true; break;      // MULTISET, MEMBER
    case 'i': if (length == 2 || length == 8) return true; break;      // IS, INTERVAL
    case 's': if (length == 11 || length == 4) return true; break;     // SUBMULTISET, SKIP
    case 'd': if (length >= 12) return true; break;                    // DBMS_SQL functions
    case 'u': if (length == 8) return true; break;                     // UPDATING
    case 'n': if (length == 6) return true; break;                     // NOWAIT
    case 'w': if (length == 4) return true; break;                     // WAIT
    default: break;
  }
  // Constructors, subscripts and methods of the run's types and variables.
  return c->next && spans::isOpen(c->next->value) &&
         (!state->collectionTypes.empty() || !state->collectionVariables.empty() || !state->objectTypes.empty());
}

// NOWAIT, WAIT n and SKIP LOCKED after FOR UPDATE of a SQL statement: the
// target waits for a row lock as long as its lock timeout says, and skips
// locked rows with SKIP LOCKED DATA. Whether the token is such a word.
static bool reviewLockWait(astNodeList* list, astListCell* c, TransformState* state) {
  astNodeToken* token = asToken(c->value);
  bool skip = equalsIgnoreCase(token->text, "SKIP") && c->next && textIs(c->next->value, "LOCKED");
  if (!skip && !equalsIgnoreCase(token->text, "NOWAIT") && !equalsIgnoreCase(token->text, "WAIT")) return false;
  if (!sqlHolder(list)) return false;
  bool forUpdate = false;
  astNode* before = nullptr;
  for (astListCell* p = listCells(list); p != c && !forUpdate; before = p->value, p = p->next)
    forUpdate = textIs(p->value, "UPDATE") && textIs(before, "FOR");
  if (!forUpdate) return false;
  if (!skip) {
    reportFinding(FindingId::FOR_UPDATE_NOWAIT, token, state->errors, nullptr, token->text);
  } else if (!c->next->next || !textIs(c->next->next->value, "DATA")) {
    astNodeToken* data = makeToken("DATA", c->next->value->line);
    data->parent = list;
    listInsertAfterCell(list, c->next, data);
  }
  return true;
}

// ---- differences of timestamps ----

void noteTimestampName(const astNodeList* name, const astNodeList* type, TransformState* state) {
  astNodeToken* declared = firstToken(name);
  if (declared && declared->text && isTimestampType(type)) state->timestampNames.insert(declared->text);
}

// Whether a token may begin a TIMESTAMP value: a quick look before the
// list is read as a tree.
static bool mayBeTimestamp(const astNodeToken* token, const TransformState* state) {
  if (token->tokenCode != T_WORD || !token->text) return false;
  if (isTimestampResult(token->text)) return true;
  return !token->qualified && !state->timestampNames.empty() && state->timestampNames.holds(token->text);
}

// Whether a node of a list's tree is a TIMESTAMP value: a timestamp word,
// TO_TIMESTAMP(...), a variable or parameter of a TIMESTAMP type in scope,
// a group around one.
static bool isTimestampValue(const expr::Tree& tree, int node, astNodeList* list) {
  const expr::Node& n = tree[node];
  switch (n.kind) {
    case expr::Kind::ITEMS: {
      int one = tree.only(node);
      return one >= 0 && isTimestampValue(tree, one, list);
    }
    case expr::Kind::GROUP: return tree.childCount(node) == 1 && isTimestampValue(tree, n.child, list);
    case expr::Kind::CALL: {
      // A function's call; a value's name before parentheses is read as any call.
      astNodeToken* name = tree.length(n.child) == 1 ? asToken(tree.firstToken(node)) : nullptr;
      const BuiltinFunction* row =
          name && kTimestampResults.mayHold(name->text) ? rowWithFact(kTimestampResults, name->text) : nullptr;
      return row && isBuiltinCall(*row);
    }
    case expr::Kind::NAME: {
      astNodeToken* token = tree.length(node) == 1 ? asToken(tree.firstToken(node)) : nullptr;
      if (!token || token->tokenCode != T_WORD || !token->text) return false;
      if (isTimestampResult(token->text)) return true;
      bool found = false;
      const astNodeList* type = token->qualified ? nullptr : declaredType(list, foldedText(token->text), &found);
      return found && isTimestampType(type);
    }
    default: return false;
  }
}

// a - b with a TIMESTAMP operand and one that is no number: PL/SQL's
// value is an INTERVAL, the target's a number of the duration's digits
// (yyyymmddhhmmss.ffffff). A timestamp less a number of days is a date in
// both.
static void reportTimestampDifferences(astNodeList* list, expr::ListTree* trees, TransformState* state) {
  const expr::Tree& tree = trees->of(list);
  for (int i = 0; i < tree.size(); ++i) {
    const expr::Node& n = tree[i];
    if (n.kind != expr::Kind::BINARY || n.op != expr::Op::SUBTRACT || n.child < 0) continue;
    int left = n.child, right = tree[n.child].next;
    if ((isTimestampValue(tree, left, list) && valueTypeOf(tree, right, list) != ValueType::NUMBER) ||
        (isTimestampValue(tree, right, list) && valueTypeOf(tree, left, list) != ValueType::NUMBER))
      reportFinding(FindingId::TIMESTAMP_DIFFERENCE, tree.token(n.at), state->errors);
  }
}

void reportListConstructs(astNodeList* list, TransformState* state) {
  std::vector<HeldRecord> unknown;
  astNode* claimed = nullptr;
  astNode* previous = nullptr;
  // The list as a tree, read at the first call whose arguments are asked.
  thread_local expr::ListTree tree;
  tree.forget();
  bool minus = false;
  for (astListCell* c = listCells(list); c; previous = c->value, c = c->next) {
    minus = minus || (c->value && c->value->kind == AST_TOKEN && nodeAs<astNodeToken>(c->value)->tokenCode == '-');
    // A built-in function the target lacks (functions.def).
    const char* text = c->value && c->value->kind == AST_TOKEN ? nodeAs<astNodeToken>(c->value)->text : nullptr;
    if (text && mayTakeFunctionRecord(text, c->next && spans::isOpen(c->next->value)) &&
        reportBuiltinFunction(list, c, previous, &tree, state))
      continue;
    if (!mayBeConstruct(c, previous, state)) continue;
    // DATA after SKIP LOCKED moves the tokens after it.
    if (reviewLockWait(list, c, state)) {
      tree.forget();
      continue;
    }
    bool taken = reportListedConstruct(list, c, previous, state);
    if (taken || (c->value && c->value == claimed)) continue;
    reportUnknownForm(list, c, previous, state, &unknown, &claimed);
  }
  if (minus) {
    bool timestamp = false;
    for (astListCell* c = listCells(list); c && !timestamp; c = c->next)
      timestamp = c->value && c->value->kind == AST_TOKEN && mayBeTimestamp(nodeAs<astNodeToken>(c->value), state);
    if (timestamp) reportTimestampDifferences(list, &tree, state);
  }
  for (const HeldRecord& held : unknown)
    reportFinding(held.finding, held.at, state->errors, held.named ? held.name.c_str() : nullptr, held.detail);
}

void reportDynamicBlock(astNodeDynamic* node, TransformState* state) {
  astNodeToken* text = firstToken(node->expr);
  if (text && text->tokenCode == T_STRING && isPlsqlBlockText(text->text))
    record(FindingId::DYNAMIC_BLOCK, "EXECUTE IMMEDIATE", nullptr, node, state);
}

MethodOwner methodOwner(astNode* at, const std::string& prefix, const TransformState* state) {
  std::string first = firstPart(prefix.c_str());
  bool found = false;
  declaredType(at, first, &found);
  if (found || state->collectionVariables.holds(prefix) || state->collectionVariables.holds(lastPartOf(prefix.c_str())))
    return MethodOwner::COLLECTION;
  // A variable of the package that holds the name, or of the package that
  // qualifies it.
  std::string package = packageOf(at);
  if (!package.empty() && state->packageVariables.holds(package + "." + first)) return MethodOwner::COLLECTION;
  const char* rest = afterFirstPart(prefix.c_str());
  if (state->runPackages.count(first))
    return rest && state->packageVariables.holds(first + "." + firstPart(rest)) ? MethodOwner::COLLECTION
                                                                                : MethodOwner::ROUTINE;
  // A package outside the run with its variable, or a schema's package
  // with its routine.
  if (rest) return MethodOwner::UNKNOWN;
  if (isBuiltinPackage(prefix)) return MethodOwner::ROUTINE;
  // Another package's routine, unless the head of the package that holds
  // the name is outside the run: it may declare the name.
  astNode* unit = package.empty() ? nullptr : nearestOf(at, isPackage);
  bool headElsewhere = unit && unit->kind == AST_CREATE_PKG_BODY && !state->packageHeads.count(package);
  return headElsewhere ? MethodOwner::UNKNOWN : MethodOwner::ROUTINE;
}

bool reviewCall(astNodeCall* node, TransformState* state) {
  astNodeToken* last = asToken(listLast(node->name));
  if (!last || !last->text) return true;
  if (equalsIgnoreCase(last->text, "DBMS_SQL.PARSE"))
    for (astListCell* c = listCells(node->args); c; c = c->next) {
      astNodeToken* token = asToken(c->value);
      if (token && token->tokenCode == T_STRING && isPlsqlBlockText(token->text))
        record(FindingId::DYNAMIC_BLOCK, "DBMS_SQL.PARSE", nullptr, node, state);
    }
  const char* method = afterLastDot(last->text);
  if (!method) return true;
  std::string prefix(last->text, static_cast<size_t>(method - 1 - last->text));
  bool collection = state->collectionVariables.holds(prefix) || state->collectionVariables.holds(lastPartOf(prefix.c_str()));
  bool found = false;
  astNodeList* type = declaredType(node, firstPart(prefix.c_str()), &found);
  astNodeToken* typeName = firstToken(type);
  bool objectVariable = found && typeName && typeName->text && listLength(type) == 1 &&
                        state->objectTypes.holds(lastPartOf(typeName->text));
  if (objectVariable && !collection) {
    record(FindingId::OBJECT_METHOD_CALL, nullptr, last->text, node, state);
    return false;
  }
  // TRIM, DELETE and EXTEND are collection methods on a collection the run
  // declares only: on a package (DBMS_LOB.TRIM, repo.delete) the call is a
  // routine's, and a name the run cannot tell stays a call as well.
  if (!equalsIgnoreCase(method, "TRIM") && !equalsIgnoreCase(method, "DELETE") && !equalsIgnoreCase(method, "EXTEND"))
    return false;
  MethodOwner owner = collection || found ? MethodOwner::COLLECTION : methodOwner(node, prefix, state);
  if (owner == MethodOwner::UNKNOWN)
    reportFinding(FindingId::UNDECLARED_COLLECTION, last, state->errors, upperText(method).c_str(), last->text);
  return owner == MethodOwner::COLLECTION;
}

}  // namespace rewrite

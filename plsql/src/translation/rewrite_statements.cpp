// The rewriting pass, second half: datatypes, declarations, formal
// arguments, FOR loops, EXIT/CONTINUE labels, EXECUTE IMMEDIATE, OPEN ... FOR,
// RETURNING clauses, DBMS_SQL functions and collection methods.
#include <cctype>
#include <cstring>
#include <string>
#include <unordered_set>
#include <vector>

#include "functions.h"
#include "plsql_parser.hpp"
#include "rewrite_internal.h"
#include "token_spans.h"
#include "run_pool.h"

using namespace rewrite;

namespace {

// Does a name (as written, possibly qualified) stand in the set, whole or
// by its last part?
bool namedIn(const FoldedIndex& names, const char* text) {
  if (names.empty() || !text) return false;
  if (names.holds(text)) return true;
  const char* last = afterLastDot(text);
  return last && names.holds(last);
}

bool insideTrigger(astNode* node) {
  astNode* unit = outermostOf(node, isEnclosingUnit);
  return unit && unit->kind == AST_CREATE_TRIGGER;
}

// Collection methods that the target writes otherwise (TRIM, DELETE and
// EXTEND are rewritten as statements).
const char* const kCollectionMethods[] = {"COUNT", "FIRST", "LAST", "NEXT", "PRIOR", "EXISTS", "LIMIT"};

// The collection method a token names: the part after the last dot of a
// qualified name, or a name right after a "." token (x(i).COUNT).
const char* collectionMethodOf(const astNodeToken* token, const astNode* previous) {
  const char* method = nullptr;
  if (token->qualified)
    method = afterLastDot(token->text);
  else if (textIs(previous, "."))
    method = token->text;
  if (!method) return nullptr;
  for (const char* known : kCollectionMethods)
    if (equalsIgnoreCase(method, known)) return known;
  return nullptr;
}

// Token texts joined by the emitter's spacing rule: a blank between two
// tokens unless the second begins with "(", ")" or "," or the first with "(".
std::string spacedTokens(const astNodeList* list) {
  std::string text;
  bool needsBlank = false;
  for (astListCell* c = listCells(list); c; c = c->next) {
    astNodeToken* token = asToken(c->value);
    if (!token) continue;
    const char* part = token->text ? token->text : "";
    if (needsBlank && astTakesBlankBefore(part)) text += ' ';
    text += part;
    needsBlank = astBlankAfter(token);
  }
  return text;
}

// Copy of a token: same code and text.
astNodeToken* copyToken(const astNodeToken* token, int line) {
  astNodeToken* copy = makeToken(token->tokenCode, token->text, line);
  copy->qualified = token->qualified;
  copy->spacing = token->spacing;
  return copy;
}

}  // namespace

// Tokens of its own for a place that names again what another place holds
// (a loop index, a declared name, a cursor variable): each token stands in
// one place and is rewritten there, once.
astNodeList* rewrite::tokensCopy(const astNodeList* tokens) {
  astNodeList* copy = nullptr;
  for (astListCell* c = listCells(tokens); c; c = c->next) {
    astNodeToken* token = asToken(c->value);
    copy = listAppend(copy, token ? copyToken(token, token->line) : c->value);
  }
  return copy;
}

namespace {

// The scope of a declaration: the node that holds its list.
astNode* declarationScope(astNode* decl) {
  astNode* list = decl->parent;
  return list && list->kind == AST_LIST ? list->parent : nullptr;
}

bool listMatchesPrefix(const astNodeList* name, const astNodeList* list) {
  // name's tokens against the first tokens of list, ignoring case.
  astListCell* b = listCells(list);
  for (astListCell* a = listCells(name); a; a = a->next, b = b->next) {
    if (!b) return false;
    astNodeToken* ta = asToken(a->value);
    astNodeToken* tb = asToken(b->value);
    if (!ta || !tb || !equalsIgnoreCase(ta->text, tb->text)) return false;
  }
  return true;
}

}  // namespace

bool rewrite::listsEqual(const astNodeList* a, const astNodeList* b) {
  return listLength(a) == listLength(b) && listMatchesPrefix(a, b);
}

namespace {

bool fitsInt32(const char* digits) {
  if (!digits || !*digits) return true;
  long long value = 0;
  for (const char* p = digits; *p; ++p) {
    if (*p < '0' || *p > '9') return true;  // not a plain decimal number
    value = value * 10 + (*p - '0');
    if (value > 2147483647LL) return false;
  }
  return true;
}

void checkBound(astNodeList* bound, TransformState* state) {
  if (listLength(bound) != 1) return;
  astNodeToken* token = firstToken(bound);
  if (!token || token->tokenCode != T_DIGITS || fitsInt32(token->text)) return;
  reportSyntaxFinding(FindingId::INTEGER_OUT_OF_RANGE, token->line + 1, token->text, state->errors);
}

void defaultHandling(astNodeVarDecl* decl, TransformState* state) {
  if (!decl->defaultValue) return;
  astNode* scope = declarationScope(decl);
  if (!scope) return;
  if (isPackage(scope)) {
    astNodeList* wrapped = listNew(makeToken("(", -1));
    wrapped = appendElements(wrapped, decl->defaultValue);
    decl->defaultValue = listAppend(wrapped, makeToken(")", -1));
  } else if (scope->kind == AST_RECORD_DECL) {
    reportFinding(FindingId::RECORD_FIELD_DEFAULT, listFirst(decl->defaultValue), state->errors);
  } else if (scope->kind == AST_BLOCK) {
    if (listLength(decl->defaultValue) == 1) {
      astNodeToken* token = firstToken(decl->defaultValue);
      if (token && (token->tokenCode == T_DIGITS || token->tokenCode == T_NUMERICNO || token->tokenCode == T_STRING ||
                    token->tokenCode == T_NULL))
        return;
    }
    auto* block = nodeAs<astNodeBlock>(scope);
    decl->constant = false;
    astNodeAssign* assign = astMake<astNodeAssign>(decl->line);
    assign->target = adopt(tokensCopy(decl->variableName), assign);
    assign->expr = decl->defaultValue;
    block->prologue = listAppend(block->prologue, assign);
    block->prologue->parent = block;
    assign->parent = block->prologue;
    decl->defaultValue = nullptr;
  }
}

// The arguments of c(a, b) in a cursor FOR loop: the elements between the
// parentheses that follow the cursor name; null when there are none.
astNodeList* cursorArguments(astNodeList* expr) {
  int count = listLength(expr);
  if (count < 3) return nullptr;
  if (!spans::isOpen(expr->head->next->value) || !spans::isClose(listLast(expr))) return nullptr;
  astNodeList* args = nullptr;
  int index = 0;
  for (astListCell* c = listCells(expr); c; c = c->next, ++index)
    if (index >= 2 && index < count - 1) args = listAppend(args, c->value);
  return args;
}

astNodeBlock* cursorLoopBlock(astNodeFor* node, astNodeToken* cursor) {
  int line = node->line;
  astNodeBlock* block = astMake<astNodeBlock>(line);
  block->label = node->label;
  astNodeList* rowType = listNew(copyToken(cursor, cursor->line));
  rowType = listAppend(rowType, makeToken(T_PERCENT_ROWTYPE, "%ROWTYPE", line));
  block->declarations = listNew(newVarDecl(line, node->index, rowType, nullptr));

  astNodeOpen* open = astMake<astNodeOpen>(line);
  open->variable = listNew(cursor);
  open->args = cursorArguments(node->expr);
  astNodeFetch* fetch = astMake<astNodeFetch>(line);
  fetch->variable = listNew(copyToken(cursor, cursor->line));
  fetch->expr = tokensCopy(node->index);
  astNodeExit* exit = astMake<astNodeExit>(line);
  exit->expr = listNew(makeToken(T_CURSOR_NOTFOUND, cursor->text, line));
  astNodeLoop* loop = astMake<astNodeLoop>(line);
  loop->body = listAppend(listNew(fetch), exit);
  loop->body = appendElements(loop->body, node->body);
  astNodeClose* close = astMake<astNodeClose>(line);
  close->variable = listNew(copyToken(cursor, cursor->line));

  block->body = listAppend(listAppend(listNew(open), loop), close);
  block->exceptions = nullptr;
  block->anonymous = false;
  return block;
}

bool isIntegerLiteral(const astNodeList* bound) {
  astListCell* c = listCells(bound);
  astNodeToken* sign = c ? asToken(c->value) : nullptr;
  if (sign && sign->text && (std::strcmp(sign->text, "-") == 0 || std::strcmp(sign->text, "+") == 0)) c = c->next;
  astNodeToken* digits = c ? asToken(c->value) : nullptr;
  if (!digits || c->next || !digits->text || !digits->text[0]) return false;
  if (digits->tokenCode == T_DIGITS) return true;
  // A number right before ".." is scanned as a numeric literal.
  return digits->tokenCode == T_NUMERICNO && std::strspn(digits->text, "0123456789") == std::strlen(digits->text);
}

// PL/SQL rounds a FOR bound to the nearest integer; the INTEGER index and
// limit it goes into would truncate it.
astNodeList* roundedBound(astNodeList* bound) { return isIntegerLiteral(bound) ? bound : roundCall(bound, "0"); }

// A bound that names the loop's own index reads the index, declared before
// the bounds are taken, instead of the variable the source means.
void checkBoundNames(astNodeList* bound, const astNodeFor* node, TransformState* state) {
  astNodeToken* index = firstToken(node->index);
  if (!index || !index->text) return;
  for (astListCell* c = listCells(bound); c; c = c->next) {
    astNodeToken* token = asToken(c->value);
    if (!token || !token->text) continue;
    astNodeToken* first = token->qualified ? firstToken(splitQualifiedName(token->text)) : token;
    if (first && equalsIgnoreCase(first->text, index->text)) {
      reportFinding(FindingId::FOR_BOUND_NAMES_INDEX, token, state->errors);
      return;
    }
  }
}

astNodeBlock* numericLoopBlock(astNodeFor* node, TransformState* state) {
  int line = node->line;
  astNodeBlock* block = astMake<astNodeBlock>(line);
  block->label = node->label;
  astNodeList* lower = nullptr;
  astNodeList* upper = nullptr;
  bool afterDots = false;
  for (astListCell* c = listCells(node->expr); c; c = c->next) {
    astNodeToken* token = asToken(c->value);
    if (!afterDots && token && token->tokenCode == T_DOTDOT) {
      afterDots = true;
      continue;
    }
    if (afterDots)
      upper = listAppend(upper, c->value);
    else
      lower = listAppend(lower, c->value);
  }
  if (!lower || !upper) {
    // Without both bounds there is no loop to write: the index would start
    // or end at NULL.
    astNodeToken* dots = nullptr;
    for (astListCell* c = listCells(node->expr); c && !dots; c = c->next) {
      astNodeToken* token = asToken(c->value);
      if (token && token->tokenCode == T_DOTDOT) dots = token;
    }
    reportSyntaxFinding(FindingId::FOR_BOUND_MISSING, (dots && dots->line >= 0 ? dots->line : line) + 1,
                        dots && dots->text ? dots->text : "..", state->errors);
    return nullptr;
  }
  checkBound(lower, state);
  checkBound(upper, state);
  checkBoundNames(lower, node, state);
  checkBoundNames(upper, node, state);
  astNodeList* start = node->reverse ? upper : lower;
  astNodeList* limit = node->reverse ? lower : upper;
  astNode* limitFirst = listFirst(limit);
  block->declarations = listNew(newVarDecl(line, node->index, tokenList("INTEGER", -1), roundedBound(start)));
  block->declarations =
      listAppend(block->declarations, newVarDecl(limitFirst ? limitFirst->line : line, tokenList(SYSZUL_LOOP_LIMIT, -1),
                                                 tokenList("INTEGER", -1), roundedBound(limit)));

  astNodeWhile* loop = astMake<astNodeWhile>(line);
  loop->expr = tokensCopy(node->index);
  loop->expr = listAppend(loop->expr, makeToken(node->reverse ? ">=" : "<=", -1));
  loop->expr = listAppend(loop->expr, makeToken(SYSZUL_LOOP_LIMIT, -1));
  node->body = listAppend(node->body, numericStep(node, line));
  loop->body = node->body;
  block->body = listNew(loop);
  block->exceptions = nullptr;
  block->anonymous = false;
  return block;
}

// ---- statements in PL/SQL's words ----

// A word of a statement's text: upper case, and where it stands in the text.
struct TextWord {
  std::string word;
  size_t begin;
  size_t end;
};

// The words of a text, `most` of them at most.
void appendWords(const char* text, std::vector<TextWord>* words, size_t most = static_cast<size_t>(-1)) {
  auto inWord = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' || c == '#'; };
  for (size_t at = 0; text[at] && words->size() < most;) {
    if (!inWord(text[at])) {
      ++at;
      continue;
    }
    size_t begin = at;
    while (inWord(text[at])) ++at;
    words->push_back({upperText(std::string(text + begin, at - begin).c_str()), begin, at});
  }
}

// The words of a TRUNCATE, DROP or ALTER statement that the target has no
// form for: its name in the record, or null.
const char* formWithout(const std::vector<TextWord>& words) {
  const std::string& verb = words.empty() ? std::string() : words[0].word;
  if (verb == "ALTER") return words.size() > 1 && words[1].word == "SESSION" ? "ALTER SESSION" : nullptr;
  for (size_t i = 1; i < words.size(); ++i) {
    const std::string& word = words[i].word;
    // The target empties tables alone: a cluster has no counterpart.
    if (verb == "TRUNCATE" && i == 1 && word == "CLUSTER") return "TRUNCATE CLUSTER";
    if (verb == "TRUNCATE" && (word == "CASCADE" || word == "PURGE" || word == "PRESERVE"))
      return word == "CASCADE" ? "TRUNCATE ... CASCADE" : "TRUNCATE ... MATERIALIZED VIEW LOG";
    if (verb == "TRUNCATE" && word == "ALL") return "TRUNCATE ... DROP ALL STORAGE";
    if (verb == "DROP" && (word == "FORCE" || word == "PURGE" || word == "CASCADE"))
      return word == "FORCE" ? "DROP ... FORCE" : word == "PURGE" ? "DROP ... PURGE" : "DROP ... CASCADE CONSTRAINTS";
    if (verb == "DROP" && i == 2 && word == "BODY" && words[1].word == "PACKAGE") return "DROP PACKAGE BODY";
  }
  return nullptr;
}

// A literal statement text run by EXECUTE IMMEDIATE, in the target's words
// where it has the statement (the text alone, or the first of texts joined
// by ||), recorded where it has none.
void translateDynamicText(astNodeDynamic* node, TransformState* state) {
  astNodeToken* first = firstToken(node->expr);
  if (!first || first->tokenCode != T_STRING || !first->text || first->text[0] != '\'') return;
  const char* start = first->text + 1;
  while (*start == ' ' || *start == '\n' || *start == '\r' || *start == '\t') ++start;
  if (!std::strchr("TtAaSsRrDdCc", *start) || !*start) return;
  // The first words tell the statement.
  std::vector<TextWord> head, words;
  appendWords(first->text, &head, 6);
  if (head.empty()) return;
  const std::string& verb = head[0].word;
  if (verb != "TRUNCATE" && verb != "ALTER" && verb != "SAVEPOINT" && verb != "ROLLBACK" && verb != "DROP" &&
      verb != "CREATE")
    return;
  for (astListCell* c = listCells(node->expr); c; c = c->next)
    if (astNodeToken* token = asToken(c->value); token && token->tokenCode == T_STRING && token->text)
      appendWords(token->text, &words);
  if (const char* form = formWithout(words)) {
    reportFinding(FindingId::STATEMENT_FORM, node, state->errors, form, "EXECUTE IMMEDIATE");
    return;
  }
  bool alone = listLength(node->expr) == 1;
  std::string text = first->text;
  // New words take the case of the text's first word.
  bool lower = std::islower(static_cast<unsigned char>(text[head[0].begin]));
  auto cased = [lower](std::string words) {
    for (char& c : words)
      if (lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return words;
  };
  auto replaceWord = [&](size_t index, const char* with) {
    text.replace(head[index].begin, head[index].end - head[index].begin, cased(with));
  };
  const char* after = nullptr;  // the words the statement ends with in the target
  if (verb == "TRUNCATE" && words.back().word != "IMMEDIATE") {
    // The target empties a table at once only when told so.
    after = " IMMEDIATE";
  } else if (verb == "SAVEPOINT" && words.back().word != "CURSORS") {
    // Cursors stay open across a rollback to a savepoint, as in PL/SQL.
    after = " ON ROLLBACK RETAIN CURSORS";
  } else if (verb == "ROLLBACK") {
    size_t to = head.size() > 1 && head[1].word == "WORK" ? 2 : 1;
    if (to >= head.size() || head[to].word != "TO" || (to + 1 < head.size() && head[to + 1].word == "SAVEPOINT"))
      return;
    text.insert(head[to].end, cased(" SAVEPOINT"));
  } else if (verb == "DROP" && head.size() > 1 && head[1].word == "PACKAGE") {
    replaceWord(1, "MODULE");
  } else {
    // CREATE [OR REPLACE] [PUBLIC] SYNONYM, DROP [PUBLIC] SYNONYM: an alias.
    size_t at = 1;
    while (at < head.size() && (head[at].word == "OR" || head[at].word == "REPLACE" || head[at].word == "PUBLIC")) ++at;
    if (at >= head.size() || head[at].word != "SYNONYM" || (verb != "CREATE" && verb != "DROP")) return;
    replaceWord(at, "ALIAS");
  }
  if (after && alone) text.insert(text.size() - 1, cased(after));
  first->text = poolStrdup(text.c_str());
  if (after && !alone) {
    node->expr = listAppend(node->expr, makeToken("||", first->line));
    node->expr = listAppend(node->expr, makeToken(("'" + cased(after) + "'").c_str(), first->line));
    for (astListCell* c = listCells(node->expr); c; c = c->next) c->value->parent = node->expr;
  }
}

// SAVEPOINT s and ROLLBACK TO s in the target's words; transaction and lock
// options the target lacks are reported (the statement is written as it
// stands).
void rewriteTransactionStatement(astNodeSqlStmt* node, TransformState* state) {
  const char* keyword = node->keyword ? node->keyword : "";
  int line = node->line;
  if (equalsIgnoreCase(keyword, "SAVEPOINT")) {
    if (listLength(node->body) != 1) {
      reportFinding(FindingId::SAVEPOINT, node, state->errors);
      return;
    }
    // Cursors stay open across a rollback to a savepoint, as they do in
    // PL/SQL.
    for (const char* word : {"ON", "ROLLBACK", "RETAIN", "CURSORS"})
      node->body = listAppend(node->body, makeToken(word, line));
  } else if (equalsIgnoreCase(keyword, "ROLLBACK")) {
    for (astListCell* c = listCells(node->body); c; c = c->next) {
      astNodeToken* to = asToken(c->value);
      if (!to || !equalsIgnoreCase(to->text, "TO")) continue;
      astNodeToken* name = c->next ? asToken(c->next->value) : nullptr;
      if (name && !equalsIgnoreCase(name->text, "SAVEPOINT"))
        listInsertAfterCell(node->body, c, makeToken("SAVEPOINT", line));
      break;
    }
  } else if (equalsIgnoreCase(keyword, "TRUNCATE")) {
    std::vector<TextWord> words{{"TRUNCATE", 0, 0}};
    for (astListCell* c = listCells(node->body); c; c = c->next)
      if (astNodeToken* token = asToken(c->value); token && token->text && token->tokenCode != T_STRING)
        appendWords(token->text, &words);
    if (const char* form = formWithout(words))
      reportFinding(FindingId::STATEMENT_FORM, node, state->errors, form, "TRUNCATE");
    else if (words.back().word != "IMMEDIATE")
      node->body = listAppend(node->body, makeToken("IMMEDIATE", line));
  } else if (equalsIgnoreCase(keyword, "SET TRANSACTION")) {
    reportFinding(FindingId::SET_TRANSACTION, node, state->errors);
  } else if (equalsIgnoreCase(keyword, "LOCK")) {
    // LOCK TABLE t IN mode MODE [NOWAIT | WAIT n]: the target locks one
    // table in SHARE or EXCLUSIVE mode and always waits.
    std::string mode;
    bool inMode = false;
    for (astListCell* c = listCells(node->body); c; c = c->next) {
      astNodeToken* token = asToken(c->value);
      if (!token || !token->text) continue;
      if (equalsIgnoreCase(token->text, "NOWAIT") || equalsIgnoreCase(token->text, "WAIT")) {
        reportFinding(FindingId::LOCK_NOWAIT, node, state->errors, nullptr, token->text);
      } else if (token->tokenCode == T_COMMA && !inMode && mode.empty()) {
        reportFinding(FindingId::LOCK_SEVERAL_TABLES, node, state->errors);
      } else if (token->tokenCode == T_IN) {
        inMode = true;
      } else if (inMode && equalsIgnoreCase(token->text, "MODE")) {
        inMode = false;
        if (!equalsIgnoreCase(mode.c_str(), "SHARE") && !equalsIgnoreCase(mode.c_str(), "EXCLUSIVE"))
          reportFinding(FindingId::LOCK_MODE, node, state->errors, mode.c_str());
      } else if (inMode) {
        if (!mode.empty()) mode += ' ';
        mode += upperText(token->text);
      }
    }
  }
}

}  // namespace

namespace rewrite {

void transformDeclaration(astNodeDecl* decl, TransformState* state) {
  // Transforming the other children leaves the name's tokens alone, so its
  // length can be taken after all of them.
  transformChildren(decl, state);
  computeNameLength(decl);
  switch (decl->kind) {
    case AST_VAR_DECL: {
      auto* n = nodeAs<astNodeVarDecl>(decl);
      n->defaultValue = roundedIntoType(n->defaultValue, n->dataType, state);
      defaultHandling(n, state);
      reportNotNullVariable(n, state);
      n->dataType = mapDataType(n->dataType, n, state);
      noteScaledName(n->variableName, n->dataType, state);
      noteTimestampName(n->variableName, n->dataType, state);
      noteCollectionDeclaration(n, state);
      break;
    }
    case AST_TABLE_DECL: {
      auto* n = nodeAs<astNodeTableDecl>(decl);
      n->dataType = mapDataType(n->dataType, n, state);
      n->indexType = mapDataType(n->indexType, n, state);
      noteCollectionDeclaration(n, state);
      break;
    }
    case AST_REFCURSOR_DECL: {
      auto* n = nodeAs<astNodeRefCursorDecl>(decl);
      n->dataType = mapDataType(n->dataType, n, state);
      astNode* scope = declarationScope(n);
      if (!isPackage(scope)) {
        if (n->dataType)
          reportFinding(FindingId::STRONG_REFCURSOR, n, state->errors);
        else
          n->weak = true;
      }
      break;
    }
    case AST_VARRAY_DECL: {
      auto* n = nodeAs<astNodeVarrayDecl>(decl);
      n->dataType = mapDataType(n->dataType, n, state);
      noteCollectionDeclaration(n, state);
      break;
    }
    case AST_EXCEPTION_DECL:
      if (decl->variableType == VAR_EXCEPTION_INIT) transformExceptionInit(nodeAs<astNodeExceptionDecl>(decl), state);
      break;
    default:  // cursors and records: their children are all
      break;
  }
}

void transformExceptionInit(astNodeExceptionDecl* decl, TransformState* state) {
  astNode* holder = decl->parent;
  astNodeList* list = holder && holder->kind == AST_LIST ? nodeAs<astNodeList>(holder) : nullptr;
  astNodeExceptionDecl* target = nullptr;
  for (astListCell* c = listCells(list); c && !target; c = c->next) {
    astNode* node = c->value;
    if (!node || node->kind != AST_EXCEPTION_DECL) continue;
    auto* candidate = nodeAs<astNodeExceptionDecl>(node);
    if (candidate->variableType == VAR_EXCEPTION && listsEqual(candidate->variableName, decl->variableName))
      target = candidate;
  }
  int number = decl->value;
  bool accepted = number == 100 || (number <= 0 && number != -1403);
  astNodeToken* name = firstToken(decl->variableName);
  const char* context = name && name->text ? name->text : "";
  if (!accepted) reportSyntaxFinding(FindingId::PRAGMA_EXCEPTION_INIT, decl->line + 1, context, state->errors);
  if (!target) {
    reportSyntaxFinding(FindingId::PRAGMA_EXCEPTION_INIT, decl->line + 1, context, state->errors);
    return;
  }
  target->value = number;
  if (accepted && !isMappedNumber(number, state)) {
    // A SQLSTATE made up for it would never come from the real error and
    // would come from unrelated ones: the exception stays a condition of
    // its own.
    reportFinding(FindingId::UNMAPPED_EXCEPTION_INIT, decl, state->errors);
    target->sqlstate = nullptr;
    return;
  }
  target->sqlstate = sqlstateForNumber(number, state);
}

void transformFormalArg(astNodeFormalArg* arg, TransformState* state) {
  transformChildren(arg, state);
  // The default is not walked as an expression; it names the run's
  // functions all the same.
  if (arg->defaultValue) {
    arg->defaultValue->parent = arg;
    for (astListCell* c = listCells(arg->defaultValue); c; c = c->next)
      if (c->value) c->value->parent = arg->defaultValue;
    for (astListCell* c = listCells(arg->defaultValue); c; c = c->next)
      if (astNodeToken* token = asToken(c->value); token && !token->qualified) addCallParentheses(token, state);
    arg->defaultValue = roundedIntoType(arg->defaultValue, arg->dataType, state);
  }
  arg->dataType = mapDataType(arg->dataType, arg, state);
  noteScaledName(arg->name, arg->dataType, state);
  noteTimestampName(arg->name, arg->dataType, state);
  noteCollectionDeclaration(arg, state);
  astNode* owner = arg->parent && arg->parent->kind == AST_LIST ? arg->parent->parent : arg->parent;
  if (owner && (owner->kind == AST_CREATE_FUNCTION || owner->kind == AST_FUNC_PROTO) &&
      (arg->mode == ARG_OUT || arg->mode == ARG_IN_OUT))
    reportFinding(FindingId::FUNCTION_OUT_ARGUMENT, arg, state->errors);
}

void transformFunctionPrototype(astNodeFuncProto* proto, TransformState* state) {
  reviewRoutineOptions(proto->options, proto, state);
  transformChildren(proto, state);
  proto->returns = mapDataType(proto->returns, proto, state);
}

}  // namespace rewrite

namespace rewrite {

// An expansion's declaration takes the loop's index over: the index is
// rewritten there.
void transformFor(astNodeFor* node, TransformState* state) {
  astNodeToken* cursor = firstToken(node->expr);
  bool expanded = node->loopType == FOR_NUMERIC || (node->loopType == FOR_CURSOR && cursor);
  if (!expanded) transformNode(node->index, node, state);
  if (node->loopType == FOR_CURSOR && cursor) {
    node->expansion = cursorLoopBlock(node, cursor);
    // The cursor and its arguments were rewritten with the expansion's OPEN.
    transformMadeBlock(node->expansion, node, state);
    adopt(node->expr, node);
    addCursorCloseHandler(node, state);
  } else if (node->loopType == FOR_NUMERIC) {
    node->expansion = numericLoopBlock(node, state);
    if (node->expansion) {
      // The bounds are the expansion's defaults and were rewritten there:
      // the range only takes its elements back.
      transformMadeBlock(node->expansion, node, state);
      adopt(node->expr, node);
    } else {
      transformNode(node->index, node, state);
      transformNode(node->body, node, state);
      transformNode(node->expr, node, state);
    }
  } else if (node->loopType == FOR_CURSOR) {
    // No cursor name to expand: leave the loop as written.
    transformNode(node->body, node, state);
    transformNode(node->expr, node, state);
  } else {
    transformNode(node->body, node, state);
    astNodeList* inner = nullptr;
    int count = listLength(node->expr);
    int index = 0;
    for (astListCell* c = listCells(node->expr); c; c = c->next, ++index)
      if (index > 0 && index < count - 1) inner = listAppend(inner, c->value);
    node->expr = inner;
    transformNode(node->expr, node, state);
  }
}

// i := i + 1 (i - 1 for REVERSE): the step of a numeric FOR loop; with a
// qualifier, the index is named through it (label.i).
astNodeAssign* numericStep(astNodeFor* node, int line, const char* qualifier) {
  astNodeAssign* step = astMake<astNodeAssign>(line);
  astNodeToken* index = firstToken(node->index);
  if (qualifier && index && index->text) {
    std::string name = std::string(qualifier) + "." + index->text;
    step->target = tokenList(name.c_str(), -1);
    step->expr = tokenList(name.c_str(), -1);
  } else {
    step->target = tokensCopy(node->index);
    step->expr = tokensCopy(node->index);
  }
  step->expr = listAppend(nodeAs<astNodeList>(step->expr), makeToken(node->reverse ? "-" : "+", -1));
  step->expr = listAppend(nodeAs<astNodeList>(step->expr), makeToken("1", -1));
  return step;
}

void transformExitTarget(astNodeStatement* node, char** target, TransformState* state) {
  transformChildren(node, state);
  if (!*target) {
    astNode* loop = nearestOf(node->parent, isLoop);
    if (!loop) return;
    auto* labelled = nodeAs<astNodeStatement>(loop);
    if (!labelled->label) labelled->label = madeUpName(state);
    *target = poolBumpStrdup(labelled->label);
  }
  settleJump(node, state);
}

void transformDynamic(astNodeDynamic* node, TransformState* state) {
  transformChildren(node, state);
  translateDynamicText(node, state);
  reportDynamicBlock(node, state);
  reportDynamicReturning(node, state);
  // EXECUTE IMMEDIATE ... BULK COLLECT INTO: the words end the statement
  // text or open the RETURNING targets.
  if (holdsToken(node->expr, T_BULK) || holdsToken(node->returnList, T_BULK))
    reportFinding(FindingId::BULK_COLLECT, node, state->errors);
  bool operands = listLength(node->into) > 0 || listLength(node->using_) > 0 || listLength(node->returnList) > 0;
  // The text and the INTO and RETURNING targets were rewritten where the
  // statement holds them, the USING binds were not (a USING element is not
  // rewritten): the expansion's EXECUTE walks its binds alone, then takes
  // the targets around its OUT binds, and its text declaration takes the
  // text after the walk. No node is met twice.
  astNodeList* inputs = node->inputs;
  astNodeList* outBinds = nullptr;
  for (astListCell* c = listCells(node->using_); c; c = c->next) {
    if (!c->value || c->value->kind != AST_USING_PARAM) continue;
    auto* param = nodeAs<astNodeUsingParam>(c->value);
    if (param->argMode == ARG_IN || param->argMode == ARG_IN_OUT) {
      if (inputs) inputs = listAppend(inputs, makeToken(T_COMMA, ",", -1));
      inputs = appendElements(inputs, param->expr);
    }
    if (param->argMode == ARG_OUT || param->argMode == ARG_IN_OUT) {
      if (outBinds) outBinds = listAppend(outBinds, makeToken(T_COMMA, ",", -1));
      outBinds = appendElements(outBinds, param->expr);
    }
  }

  astNodeBlock* block = astMake<astNodeBlock>(node->line);
  // Room for the longest statement the target prepares (2 MB).
  astNodeVarDecl* text = newVarDecl(node->line, tokenList(SYSZUL_STMT_TEXT, -1), tokenList("CLOB(2M)", -1), nullptr);
  block->declarations = listNew(text);
  astNodeExecute* execute = astMake<astNodeExecute>(node->line);
  execute->into = outBinds;
  execute->using_ = inputs;
  if (operands) {
    char* name = madeUpName(state);
    astNodePrepare* prepare = astMake<astNodePrepare>(node->line);
    prepare->stmtID = name;
    prepare->stmtHolder = poolBumpStrdup(SYSZUL_STMT_TEXT);
    execute->operand = name;
    execute->immediate = false;
    block->body = listAppend(listNew(prepare), execute);
  } else {
    execute->operand = poolBumpStrdup(SYSZUL_STMT_TEXT);
    execute->immediate = true;
    block->body = listNew(execute);
  }
  block->label = node->label;
  node->expansion = block;
  transformMadeBlock(block, node, state);
  astNodeList* outputs = node->into;
  if (listLength(outputs) > 0 && outBinds) outputs = listAppend(outputs, makeToken(T_COMMA, ",", -1));
  outputs = appendElements(outputs, outBinds);
  if (listLength(outputs) > 0 && listLength(node->returnList) > 0)
    outputs = listAppend(outputs, makeToken(T_COMMA, ",", -1));
  outputs = appendElements(outputs, node->returnList);
  execute->into = adopt(outputs, execute);
  node->inputs = inputs;
  node->outputs = outputs;
  text->defaultValue = adopt(node->expr, text);
  defaultHandling(text, state);
  // With INTO the statement is a SELECT INTO: one row, as for the static one.
  addRowCountDiagnostics(listLast(block->body), state, listLength(node->into) > 0 ? "1" : nullptr);
}

// The cursor's query was rewritten where the OPEN holds it: the statements
// made of it take it over as it is, with a copy of the rewritten variable
// (the OPEN writes the variable as well), and are not walked.
void transformOpen(astNodeOpen* node, TransformState* state) {
  transformChildren(node, state);
  if (node->query) {
    astNodeAssign* assign = astMake<astNodeAssign>(node->line);
    assign->target = tokensCopy(node->variable);
    if (node->query->kind == AST_SELECT) {
      // The assignment's expression is the select node itself.
      assign->expr = node->query;
    } else {
      char* name = madeUpName(state);
      assign->preparedCursor = name;
      astNodePrepare* prepare = astMake<astNodePrepare>(node->line);
      prepare->stmtID = name;
      prepare->query = node->query->kind == AST_LIST ? nodeAs<astNodeList>(node->query) : nullptr;
      node->prepareStmt = prepare;
    }
    node->cursorConstructor = assign;
  }
  // OPEN leaves SQL%ROWCOUNT and its kin alone: they tell of the last
  // SELECT INTO, data change or dynamic statement.
  placeRewritten(node->cursorConstructor, node);
  placeRewritten(node->prepareStmt, node);
}

void transformSqlStatement(astNodeSqlStmt* node, TransformState* state) {
  rewriteTransactionStatement(node, state);
  transformChildren(node, state);
  reportRecordDml(node, state);
  reportDmlWithoutForm(node, state);
  if (node->keywordCode == T_MERGE) addRowCountDiagnostics(node, state);
  if (node->keywordCode == T_INSERT || node->keywordCode == T_UPDATE || node->keywordCode == T_DELETE) {
    astListCell* returning = nullptr;
    for (astListCell* c = listCells(node->body); c && !returning; c = c->next) {
      astNodeToken* token = asToken(c->value);
      if (token && token->tokenCode == T_RETURNING) returning = c;
    }
    if (returning) {
      astNodeList* before = nullptr;
      for (astListCell* c = listCells(node->body); c != returning; c = c->next) before = listAppend(before, c->value);
      astNodeList* after = nullptr;
      for (astListCell* c = returning->next; c; c = c->next) after = listAppend(after, c->value);
      if (after) {
        after->line = returning->value->line;
        after->parent = node;
      }
      if (before) before->parent = node;
      node->body = before;
      node->returning = after;
      if (holdsToken(after, T_BULK)) reportFinding(FindingId::BULK_COLLECT, node, state->errors);
    }
    addRowCountDiagnostics(node, state);
  }
  node->scope = outermostOf(node->parent, isEnclosingUnit);
}

// The whole target of an assignment as one text, as the assignment itself
// writes it: name(index).field.
char* assignTargetText(const astNodeAssign* node) {
  std::string text = spacedTokens(node->target);
  if (node->targetIndex) text += "(" + spacedTokens(node->targetIndex) + ")";
  if (node->targetField) text += "." + spacedTokens(node->targetField);
  return poolBumpStrdup(text.c_str());
}

void rewriteDbmsSqlAssign(astNodeAssign* node, TransformState* state) {
  astNode* expr = node->expr;
  if (!expr || expr->kind != AST_LIST) return;
  astNodeList* list = nodeAs<astNodeList>(expr);
  astNodeToken* first = firstToken(list);
  if (!first || !first->text) return;
  if (!isCallSettingTarget(first->text)) return;

  astNodeList* args = nullptr;
  int count = listLength(list);
  if (count >= 2) {
    // The call must be the whole expression: the parenthesis after the name
    // closes at the last token. A call inside a larger expression
    // (DBMS_SQL.EXECUTE(c) + 1) has no CALL form; the assignment stays.
    bool whole =
        count >= 3 && spans::isOpen(list->head->next->value) && spans::closingCell(list->head->next) == list->tail;
    if (!whole) {
      reportFinding(FindingId::PACKAGE_FUNCTION_CALL, first, state->errors, nullptr, first->text);
      return;
    }
    int index = 0;
    for (astListCell* c = listCells(list); c; c = c->next, ++index)
      if (index >= 2 && index < count - 1) args = listAppend(args, c->value);
  }
  astNodeCall* call = astMake<astNodeCall>(node->line);
  call->name = listNew(first);
  if (args) args = listAppend(args, makeToken(",", node->line));
  if (node->targetIndex || node->targetField)
    args = listAppend(args, makeToken(assignTargetText(node), node->line));
  else
    args = appendElements(args, node->target);
  call->args = args;
  call->label = node->label;
  // Made of the assignment's rewritten tokens: nothing in it is left to
  // rewrite.
  node->callForm = call;
  placeRewritten(call, node);
}

const char* afterLastDot(const char* text) {
  const char* dot = nullptr;
  bool quoted = false;
  for (const char* p = text; *p; ++p) {
    if (*p == '"')
      quoted = !quoted;
    else if (*p == '.' && !quoted)
      dot = p;
  }
  return dot ? dot + 1 : nullptr;
}

std::string lastPart(const char* text) {
  const char* last = afterLastDot(text);
  return foldedText(last ? last : text);
}

std::string foldedText(const char* text) {
  std::string folded(text ? text : "");
  for (char& c : folded) c = foldAscii(c);
  return folded;
}

std::string upperText(const char* text) {
  std::string result(text ? text : "");
  for (char& c : result)
    if (c >= 'a' && c <= 'z') c = char(c - ('a' - 'A'));
  return result;
}

bool reportListedConstruct(astNodeList* list, astListCell* c, astNode* previous, TransformState* state) {
  astNodeToken* token = asToken(c->value);
  if (!token || !token->text || token->tokenCode == T_STRING) return false;
  astNode* next = c->next ? c->next->value : nullptr;
  // A column named like a method, anchored by %TYPE, is no method call.
  astNodeToken* anchor = asToken(next);
  if (anchor && (anchor->tokenCode == T_PERCENT_TYPE || anchor->tokenCode == T_PERCENT_ROWTYPE)) return false;
  FindingId finding;
  const char* method = collectionMethodOf(token, previous);
  if (method) {
    // pkg.count names a package's function: no method.
    if (token->qualified && !textIs(previous, ".") &&
        methodOwner(list, std::string(token->text, size_t(afterLastDot(token->text) - 1 - token->text)), state) ==
            MethodOwner::ROUTINE)
      return false;
    finding = FindingId::COLLECTION_METHOD;
  } else if (isCallSettingTarget(token->text)) {
    // As the whole value of an assignment the call is rewritten (or
    // reported) with the assignment.
    astNode* owner = list->parent;
    if (owner && owner->kind == AST_ASSIGN && nodeAs<astNodeAssign>(owner)->expr == list && c == list->head)
      return true;
    finding = FindingId::PACKAGE_FUNCTION_CALL;
  } else if (textIs(next, "(") && equalsIgnoreCase(token->text, "UPDATING") && insideTrigger(list)) {
    // The target's trigger event predicates take no column.
    finding = FindingId::UPDATING_COLUMN;
  } else if (textIs(next, "(") && namedIn(state->collectionTypes, token->text)) {
    finding = FindingId::COLLECTION_CONSTRUCTOR;
  } else if (textIs(next, "(") && namedIn(state->collectionVariables, token->text)) {
    finding = FindingId::COLLECTION_SUBSCRIPT;
  } else {
    return false;
  }
  reportFinding(finding, token, state->errors, method, token->text);
  return true;
}

void noteCollectionDeclaration(astNode* declaration, TransformState* state) {
  astNodeList* name = nullptr;
  astNodeList* type = nullptr;
  switch (declaration->kind) {
    case AST_TABLE_DECL:
    case AST_VARRAY_DECL: {
      astNodeToken* typeName = firstToken(nodeAs<astNodeDecl>(declaration)->variableName);
      if (typeName && typeName->text) state->collectionTypes.insert(typeName->text);
      return;
    }
    case AST_CREATE_TYPE: {
      auto* ddl = nodeAs<astNodeDdlType>(declaration);
      astNodeToken* first = firstToken(ddl->body);
      astNodeToken* typeName = firstToken(ddl->name);
      if (first && typeName && typeName->text && (first->tokenCode == T_TABLE || first->tokenCode == T_VARRAY))
        state->collectionTypes.insert(typeName->text);
      return;
    }
    case AST_VAR_DECL:
      name = nodeAs<astNodeVarDecl>(declaration)->variableName;
      type = nodeAs<astNodeVarDecl>(declaration)->dataType;
      break;
    case AST_FORMAL_ARG:
      name = nodeAs<astNodeFormalArg>(declaration)->name;
      type = nodeAs<astNodeFormalArg>(declaration)->dataType;
      break;
    default:
      return;
  }
  astNodeToken* variable = firstToken(name);
  astNodeToken* typeToken = firstToken(type);
  if (variable && variable->text && typeToken && listLength(type) == 1 &&
      namedIn(state->collectionTypes, typeToken->text))
    state->collectionVariables.insert(variable->text);
}

void rewriteCollectionMethod(astNodeCall* node, TransformState* state) {
  astNodeToken* last = asToken(listLast(node->name));
  if (!last || !last->text) return;
  const char* text = last->text;
  const char* method = afterLastDot(text);
  if (!method) return;
  const char* dot = method - 1;
  size_t length = static_cast<size_t>(dot - text);
  char* collectionText = static_cast<char*>(poolBump(length + 1));
  std::memcpy(collectionText, text, length);
  collectionText[length] = '\0';
  int line = node->line;
  // The collection is named twice, by tokens of its own.
  astNodeList* collectionList = listNew(makeToken(collectionText, line));
  astNodeToken* collection = makeToken(collectionText, line);

  if (equalsIgnoreCase(method, "TRIM")) {
    astNodeAssign* assign = astMake<astNodeAssign>(line);
    assign->target = collectionList;
    astNodeList* expr = listAppend(madeTokens("TRIM_ARRAY(", line), collection);
    expr = listAppend(expr, makeToken(",", line));
    if (node->args)
      expr = appendElements(expr, node->args);
    else
      expr = listAppend(expr, makeToken("1", line));
    assign->expr = listAppend(expr, makeToken(")", line));
    node->rewrite = assign;
  } else if (equalsIgnoreCase(method, "DELETE")) {
    astNodeAssign* assign = astMake<astNodeAssign>(line);
    assign->target = collectionList;
    astNodeList* expr = listAppend(madeTokens("ARRAY_DELETE(", line), collection);
    if (node->args) {
      expr = listAppend(expr, makeToken(",", line));
      expr = appendElements(expr, node->args);
    }
    assign->expr = listAppend(expr, makeToken(")", line));
    node->rewrite = assign;
  } else if (equalsIgnoreCase(method, "EXTEND")) {
    // Target arrays grow as elements are assigned; a count of new empty
    // elements has no counterpart.
    if (node->args) reportFinding(FindingId::EXTEND_COUNT, last, state->errors, nullptr, last->text);
    astNodeNull* null = astMake<astNodeNull>(line);
    size_t size = std::strlen("EXTEND ") + length + 1;
    null->text = static_cast<char*>(poolBump(size));
    std::memcpy(null->text, "EXTEND ", 7);
    std::memcpy(null->text + 7, collectionText, length + 1);
    node->rewrite = null;
  } else {
    return;
  }
  // The call's arguments were rewritten where the call holds them, and the
  // rest is made: the statement is not walked.
  nodeAs<astNodeStatement>(node->rewrite)->label = node->label;
  placeRewritten(node->rewrite, node);
}

}  // namespace rewrite

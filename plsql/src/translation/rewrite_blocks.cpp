// The rewriting walk's steps for blocks and exceptions: the uses of SQL%
// attributes and error values, handlers, RAISE, RAISE_APPLICATION_ERROR,
// pragmas, and the SQLSTATEs of exceptions.
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
#include "token_spans.h"
#include "run_pool.h"


using namespace rewrite;

namespace rewrite {

// The word of a name that may stand for a predefined exception: the name
// alone, or after STANDARD.; null for a name qualified otherwise.
const char* predefinedExceptionWord(const char* name) {
  astNodeList* parts = splitQualifiedName(name);
  int count = listLength(parts);
  if (count < 1 || count > 2 || (count == 2 && !equalsIgnoreCase(firstToken(parts)->text, "STANDARD")))
    return nullptr;
  return asToken(listLast(parts))->text;
}

// ---- blocks ----

// Uses of the SQL% attributes and of SQLCODE, SQLERRM and SQLSTATE, as bits.
enum : unsigned {
  USES_NOTFOUND = 1,
  USES_FOUND = 2,
  USES_ROWCOUNT = 4,
  USES_SQLCODE = 8,
  USES_SQLERRM = 16,
  USES_SQLSTATE = 32
};

void setUses(astNodeBlock* block, unsigned uses) {
  if (uses & USES_NOTFOUND) block->usesNotfound = true;
  if (uses & USES_FOUND) block->usesFound = true;
  if (uses & USES_ROWCOUNT) block->usesRowcount = true;
  if (uses & USES_SQLCODE) block->usesSqlcode = true;
  if (uses & USES_SQLERRM) block->usesSqlerrm = true;
  if (uses & USES_SQLSTATE) block->usesSqlstate = true;
}

// Gives such a token the name of the target's variable; what it uses.
unsigned rewriteUseToken(astNodeToken* token) {
  switch (token->tokenCode) {
    case T_SQL_NOTFOUND:
      token->text = poolBumpStrdup("(SYSZULINTERNAL_NOTFOUND = true)");
      return USES_NOTFOUND | USES_ROWCOUNT;
    case T_SQL_FOUND:
      token->text = poolBumpStrdup("(SYSZULINTERNAL_FOUND = true)");
      return USES_FOUND | USES_ROWCOUNT;
    case T_SQL_ROWCOUNT:
      token->text = poolBumpStrdup(SYSZUL_ROWCOUNT);
      return USES_ROWCOUNT;
    case T_SQLCODE:
      token->text = poolBumpStrdup(SYSZUL_SQLCODE);
      return USES_SQLCODE;
    case T_SQLERRM:
      token->text = poolBumpStrdup(SYSZUL_SQLERRM);
      return USES_SQLERRM;
    case T_SQLSTATE:
      token->text = poolBumpStrdup(SYSZUL_SQLSTATE);
      return USES_SQLSTATE;
    default:
      return 0;
  }
}

// A block uses what the statements of its body use, nested blocks
// included. One walk over the body of the block that is scanned first
// gives every block nested in that body its uses as well, so the blocks
// met later need no walk of their own: nested blocks cost linear time.
struct BlockScan {
  struct Open {
    astNodeBlock* block;
    unsigned all;   // used anywhere below the block
    unsigned body;  // used in its body
    bool inBody;
  };
  std::vector<Open> open;  // the scanned block, then the nested blocks being walked
};

void enterScanned(astNode* node, void* data) {
  auto* scan = static_cast<BlockScan*>(data);
  BlockScan::Open& top = scan->open.back();
  if (node->kind == AST_TOKEN) {
    unsigned uses = rewriteUseToken(nodeAs<astNodeToken>(node));
    top.all |= uses;
    if (top.inBody) top.body |= uses;
  } else if (node == top.block->body) {
    top.inBody = true;
  } else if (node->kind == AST_BLOCK) {
    scan->open.push_back({nodeAs<astNodeBlock>(node), 0, 0, false});
  }
}

void leaveScanned(astNode* node, void* data) {
  auto* scan = static_cast<BlockScan*>(data);
  BlockScan::Open& top = scan->open.back();
  if (node == top.block->body) {
    top.inBody = false;
  } else if (node == top.block && scan->open.size() > 1) {
    BlockScan::Open done = top;
    scan->open.pop_back();
    setUses(done.block, done.body);
    BlockScan::Open& outer = scan->open.back();
    outer.all |= done.all;
    if (outer.inBody) outer.body |= done.all;
  }
}

void scanBlockUses(astNodeBlock* block) {
  BlockScan scan{{{block, 0, 0, true}}};
  astWalkAround(block->body, enterScanned, leaveScanned, &scan);
  // The block's handlers read the row count that its statements leave: the
  // statements must keep it.
  unsigned body = scan.open.front().body;
  scan.open.front().inBody = true;
  astWalkAround(block->exceptions, enterScanned, leaveScanned, &scan);
  setUses(block, body | (scan.open.front().body & (USES_NOTFOUND | USES_FOUND | USES_ROWCOUNT)));
}

// `<<name>> BEGIN ... END name;` parses as the block followed by a call of
// `name`: that call is the block's end label, not a statement.
void dropEndLabel(astNodeBlock* block) {
  astNode* holder = block->parent;
  if (!block->label || !holder || holder->kind != AST_LIST) return;
  auto* list = nodeAs<astNodeList>(holder);
  astListCell* cell = listCellOf(list, block);
  astNode* next = cell && cell->next ? cell->next->value : nullptr;
  if (!next || next->kind != AST_CALL) return;
  auto* call = nodeAs<astNodeCall>(next);
  astNodeToken* name = listLength(call->name) == 1 ? firstToken(call->name) : nullptr;
  if (call->args || call->label || !name || !equalsIgnoreCase(name->text, block->label)) return;
  listRemoveAfter(list, cell->next, cell);
}

namespace {

// The exception of that name that an enclosing block declares, or null.
astNodeExceptionDecl* declaredException(const char* name, astNode* from) {
  for (astNode* n = from; n; n = n->parent) {
    if (n->kind != AST_BLOCK) continue;
    for (astListCell* c = listCells(nodeAs<astNodeBlock>(n)->declarations); c; c = c->next) {
      if (!c->value || c->value->kind != AST_EXCEPTION_DECL) continue;
      auto* decl = nodeAs<astNodeExceptionDecl>(c->value);
      astNodeToken* word = listLength(decl->variableName) == 1 ? firstToken(decl->variableName) : nullptr;
      if (decl->variableType == VAR_EXCEPTION && word && equalsIgnoreCase(word->text, name)) return decl;
    }
  }
  return nullptr;
}

// What a transformed handler condition stands for in the target: the
// SQLSTATE of a condition declared for one in an enclosing block, else the
// condition as written.
std::string conditionKey(const char* name, astNode* from) {
  if (std::strncmp(name, "SQLSTATE '", 10) == 0) return std::string(name + 10, 5);
  astNodeExceptionDecl* decl = declaredException(name, from);
  return decl && decl->sqlstate ? std::string(decl->sqlstate) : upperText(name);
}

// A condition of a handler as written, before the handler is transformed:
// the state it will stand for in the target (as conditionKey gives it
// then) and the error of PL/SQL it takes: an error number, else the
// exception's declaration, else its name.
struct WrittenCondition {
  astNodeToken* name;
  astNodeHandler* handler;
  std::string state;
  int number = 0;
  const astNode* declaration = nullptr;

  bool sameError(const WrittenCondition& other) const {
    if (number || other.number) return number == other.number;
    if (declaration || other.declaration) return declaration == other.declaration;
    return equalsIgnoreCase(name->text, other.name->text);
  }
};

WrittenCondition writtenCondition(astNodeToken* name, astNodeHandler* handler, astNodeBlock* block,
                                  const TransformState* state) {
  WrittenCondition condition{name, handler, {}};
  if (equalsIgnoreCase(name->text, "OTHERS")) {
    condition.state = "SQLEXCEPTION";
    return condition;
  }
  // A predefined exception of the map, as transformHandler names it.
  const char* word = state->exceptionMap ? predefinedExceptionWord(name->text) : nullptr;
  for (const ExceptionMapEntry* row = word ? state->exceptionMap : nullptr; row && row->sqlstate[0]; ++row)
    if (row->name && row->name[0] && equalsIgnoreCase(row->name, word)) {
      condition.state = row->sqlstate;
      condition.number = row->plsqlNumber;
      return condition;
    }
  condition.state = conditionKey(name->text, block);
  astNodeExceptionDecl* decl = declaredException(name->text, block);
  condition.declaration = decl;
  if (decl) condition.number = decl->value;  // 0 without EXCEPTION_INIT
  return condition;
}

// Exceptions of PL/SQL that the target gives one state, each with a handler
// of its own in one block: the target takes the first handler's for both
// (dropRepeatedConditions then leaves the later condition out). Where the
// later handler's statements are others, its exception loses them, which
// is recorded; the same statements lose nothing. Told before the handlers
// are transformed, from their statements as written.
void recordSharedStates(astNodeBlock* block, TransformState* state) {
  std::vector<WrittenCondition> conditions;
  for (astListCell* h = listCells(block->exceptions); h; h = h->next) {
    if (!h->value || h->value->kind != AST_HANDLER) continue;
    auto* handler = nodeAs<astNodeHandler>(h->value);
    for (astListCell* c = listCells(handler->conditions); c; c = c->next)
      if (astNodeToken* name = conditionName(c->value); name && name->text)
        conditions.push_back(writtenCondition(name, handler, block, state));
  }
  for (size_t later = 1; later < conditions.size(); ++later) {
    const WrittenCondition& lost = conditions[later];
    for (size_t earlier = 0; earlier < later; ++earlier) {
      const WrittenCondition& kept = conditions[earlier];
      if (kept.state != lost.state) continue;
      // The same error: PL/SQL takes the first handler as well.
      if (!kept.sameError(lost) && kept.handler != lost.handler &&
          !astSameSource(kept.handler->body, lost.handler->body)) {
        std::string sqlstate = "SQLSTATE '" + lost.state + "'";
        reportFinding(FindingId::SHARED_STATE_HANDLER, lost.name, state->errors, lost.name->text, sqlstate.c_str());
      }
      break;
    }
  }
}

// The target refuses two handlers of one block for the same condition; in
// PL/SQL the first one takes the error, so a later one loses that condition,
// and the handler itself once it has none left.
void dropRepeatedConditions(astNodeBlock* block) {
  std::unordered_set<std::string> seen;
  astListCell* previousHandler = nullptr;
  for (astListCell* h = listCells(block->exceptions); h;) {
    astListCell* nextHandler = h->next;
    if (!h->value || h->value->kind != AST_HANDLER) {
      previousHandler = h;
      h = nextHandler;
      continue;
    }
    auto* handler = nodeAs<astNodeHandler>(h->value);
    astListCell* previous = nullptr;
    for (astListCell* c = listCells(handler->conditions); c;) {
      astListCell* next = c->next;
      astNodeToken* name = conditionName(c->value);
      std::string key = name && name->text ? conditionKey(name->text, block) : std::string();
      if (!key.empty() && !seen.insert(key).second)
        listRemoveAfter(handler->conditions, c, previous);
      else
        previous = c;
      c = next;
    }
    if (listCells(handler->conditions)) {
      previousHandler = h;
    } else {
      listRemoveAfter(block->exceptions, h, previousHandler);
    }
    h = nextHandler;
  }
}

}  // namespace

void transformBlock(astNodeBlock* block, TransformState* state) {
  dropEndLabel(block);
  block->atomic = false;
  // The walk goes over the statements and handlers, not over the block's
  // own declarations: a routine declared there walks its own body.
  bool walked = state->usesWalked;
  if (!walked) scanBlockUses(block);
  transformList(block->declarations, block, state);
  // The walk reported the declarations of untranslated kinds; those that
  // have no place in a block are reported after it.
  for (astListCell* c = listCells(block->declarations); c; c = c->next)
    if (c->value && !(astKindTraits(c->value->kind) & KIND_UNTRANSLATED)) reportDropped(c->value, state);
  state->usesWalked = true;
  transformList(block->body, block, state);
  if (listLength(block->exceptions) > 1) recordSharedStates(block, state);
  transformList(block->exceptions, block, state);
  state->usesWalked = walked;
  dropRepeatedConditions(block);
  if (block->usesRowcount) {
    astNodeBlock* outer = outermostBlock(block);
    ensureDeclared(outer, SYSZUL_ROWCOUNT, "INTEGER", nullptr, block->line);
    if (block->usesFound) ensureDeclared(outer, SYSZUL_FOUND, "BOOLEAN", nullptr, block->line);
    if (block->usesNotfound) ensureDeclared(outer, SYSZUL_NOTFOUND, "BOOLEAN", nullptr, block->line);
  }
  guardQueries(block, state);
  separateDefaultsFromHandlers(block, state);
  block->maxNameLength = maxDeclNameLength(block->declarations);
}




void transformMadeBlock(astNodeBlock* block, astNode* parent, TransformState* state) {
  bool walked = state->usesWalked;
  state->usesWalked = false;
  transformNode(block, parent, state);
  state->usesWalked = walked;
}



// ---- handlers and exceptions ----

// Predefined exceptions that the exception map does not hold: no single
// SQLSTATE of the target stands for their error.
constexpr const char* kUnmappedExceptions[] = {
    "VALUE_ERROR",      "STORAGE_ERROR",  "PROGRAM_ERROR",    "LOGIN_DENIED",       "TIMEOUT_ON_RESOURCE",
    "ROWTYPE_MISMATCH", "SELF_IS_NULL",   "ACCESS_INTO_NULL", "COLLECTION_IS_NULL", "SYS_INVALID_ROWID",
    "NO_DATA_NEEDED",
};

// A predefined exception outside the map is recorded at `at`: its name is
// written as it stands and names no condition.
void reportUnmappedException(const char* name, astNode* at, TransformState* state) {
  const char* word = predefinedExceptionWord(name);
  for (const char* unmapped : kUnmappedExceptions)
    if (equalsIgnoreCase(unmapped, word)) {
      reportFinding(FindingId::PREDEFINED_EXCEPTION, at, state->errors, unmapped);
      return;
    }
}

// SQLSTATE of an exception name, the exception map's; null without an
// exception map, or for a name outside it.
char* exceptionSqlstate(const char* name, astNode* at, TransformState* state) {
  if (!state->exceptionMap || !name) return nullptr;
  char* sqlstate = sqlstateForName(name, state);
  if (!sqlstate) reportUnmappedException(name, at, state);
  return sqlstate;
}

namespace {

// What a handler's own statements read of the error they handle: its codes
// (SQLCODE, SQLSTATE) and its message (SQLERRM, the first read).
struct HandlerReads {
  bool code = false;
  astNode* message = nullptr;
};

void noteHandlerRead(astNode* node, void* data) {
  if (node->kind != AST_TOKEN) return;
  auto* reads = static_cast<HandlerReads*>(data);
  int code = nodeAs<astNodeToken>(node)->tokenCode;
  if (code == T_SQLCODE || code == T_SQLSTATE) reads->code = true;
  if (code == T_SQLERRM && !reads->message) reads->message = node;
}

}  // namespace

void transformHandler(astNodeHandler* handler, TransformState* state) {
  transformList(handler->conditions, handler, state);
  astNodeBlock* conditionsBlock = outermostBlock(handler->conditions ? static_cast<astNode*>(handler->conditions) : handler);
  int line = handler->line;
  ensureDeclared(conditionsBlock, "SQLSTATE", "CHAR(5)", tokenList("'00000'", -1), line);
  ensureDeclared(conditionsBlock, "SQLCODE", "INTEGER", tokenList("0", -1), line);
  for (astListCell* c = listCells(handler->conditions); c; c = c->next) {
    astNodeToken* name = conditionName(c->value);
    if (!name || !name->text) continue;
    char* sqlstate = exceptionSqlstate(name->text, name, state);
    if (equalsIgnoreCase(name->text, "OTHERS")) {
      name->text = poolBumpStrdup("SQLEXCEPTION");
    } else if (sqlstate) {
      char* text = concat(concat("SQLSTATE '", sqlstate), "'");
      name->text = text;
    }
  }
  // The handler's statements become a block; an empty handler gets an empty
  // block so that the diagnostics capture has a place.
  astNode* body = handler->body;
  astNodeBlock* block = nullptr;
  bool made = false;
  if (body && body->kind == AST_BLOCK) {
    block = nodeAs<astNodeBlock>(body);
  } else {
    made = true;
    block = astMake<astNodeBlock>(body ? body->line : handler->line);
    block->body = nodeAs<astNodeList>(handler->body);
    handler->body = block;
  }
  astNodeBlock* outer = outermostBlock(handler);
  ensureDeclared(outer, SYSZUL_SQLCODE, "INTEGER", tokenList("0", -1), line);
  ensureDeclared(outer, SYSZUL_SQLSTATE, "CHAR(5)", tokenList("'00000'", -1), line);
  // The message holds the longest text the target gives for an error (its
  // SQLERRM function returns VARCHAR(32672)): the target's SUBSTR refuses a
  // length past the declared one, as in SUBSTR(SQLERRM, 1, 4000).
  ensureDeclared(outer, SYSZUL_SQLERRM, "VARCHAR(32672)", nullptr, line);
  // The target resets SQLCODE and SQLSTATE with the handler's first
  // statement, and only that statement's diagnostics hold the error's own
  // message; the item list has no SQLCODE. A handler that reads the message
  // alone takes it first; otherwise the codes come first and the message is
  // the target's text for the copied code, which a handler reading both is
  // told.
  HandlerReads reads;
  astWalk(block, noteHandlerRead, &reads);
  astNodeValues* values = astMake<astNodeValues>(line);
  values->targets = listAppend(listNew(tokenList("SQLCODE", -1)), tokenList("SQLSTATE", -1));
  values->sources = listAppend(listNew(tokenList(SYSZUL_SQLCODE, -1)), tokenList(SYSZUL_SQLSTATE, -1));
  if (reads.message && !reads.code) {
    astNodeGetDiag* diag = astMake<astNodeGetDiag>(line);
    diag->diagType = DIAG_MESSAGE_TEXT;
    diag->target = tokenList(SYSZUL_SQLERRM, -1);
    diag->source = tokenList("MESSAGE_TEXT", -1);
    block->prologue = listAppend(listAppend(block->prologue, diag), values);
  } else {
    astNodeAssign* message = astMake<astNodeAssign>(line);
    message->target = tokenList(SYSZUL_SQLERRM, -1);
    message->expr = madeTokens("SQLERRM(" SYSZUL_SQLCODE ")", -1);
    block->prologue = listAppend(listAppend(block->prologue, values), message);
    if (reads.message)  // named as written: the token already has the target's name
      reportFinding(FindingId::SQLERRM_BESIDE_SQLCODE, reads.message, state->errors)->text = poolBumpStrdup("SQLERRM");
  }
  if (made)
    transformMadeBlock(block, handler, state);
  else
    transformNode(block, handler, state);
}

void transformRaise(astNodeRaise* node, TransformState* state) {
  transformChildren(node, state);
  astNodeToken* name = firstToken(node->exceptionName);
  if (!node->exceptionName || !name) {
    node->condition = nullptr;
    return;
  }
  char* sqlstate = exceptionSqlstate(name->text, node, state);
  if (sqlstate) {
    node->condition = sqlstate;
    node->isSqlstate = 1;
  } else {
    node->condition = name->text;
    node->isSqlstate = 0;
  }
}

// The message argument of RAISE_APPLICATION_ERROR: the tokens up to a comma
// outside parentheses (a third argument, the keep-errors flag, has no
// counterpart in the target).
astNodeList* messageArgument(astNodeList* parms) {
  astListCell* comma = nullptr;
  std::vector<astNode*> message = spans::upToComma(listCells(parms), &comma);
  if (!comma) return parms;
  astNodeList* list = nullptr;
  for (astNode* node : message) list = listAppend(list, node);
  return list;
}

void transformRaiseApp(astNodeRaiseApp* node, TransformState* state) {
  // A number known only at run time signals one fixed SQLSTATE, which no
  // handler of a particular error number takes.
  if (node->errorNo && node->errorNo->tokenCode != T_DIGITS)
    reportFinding(FindingId::RAISE_NONLITERAL, node, state->errors);
  astNodeBlock* block = astMake<astNodeBlock>(node->line);
  block->label = node->label;
  node->expansion = block;
  ensureDeclared(block, SYSZUL_APPERROR, "VARCHAR(2048)", messageArgument(node->parms), node->line);
  astNodeSignal* signal = astMake<astNodeSignal>(node->line);
  signal->sqlstate = sqlstateForNumber(node->errorNumber, state);
  signal->message = tokenList(SYSZUL_APPERROR, -1);
  block->body = listNew(signal);
  transformMadeBlock(block, node, state);
}

void transformPragma(astNodePragma* pragma, TransformState* state) {
  transformChildren(pragma, state);
  if (pragma->pragmaCode == T_ALIAS) {
    // The value is the content of a string literal: no closing quote.
    astNodeToken* value = firstToken(pragma->value);
    if (value && value->text) {
      size_t length = std::strlen(value->text);
      if (length > 0 && value->text[length - 1] == '\'') {
        char* content = poolBumpStrdup(value->text);
        content[length - 1] = '\0';
        value->text = content;
      }
    }
    state->aliasPragmas = listAppend(state->aliasPragmas, pragma);
  } else if (pragma->pragmaCode == T_AUTONOMOUS_XACT) {
    astNode* routine = nearestOf(pragma->parent, isRoutine);
    if (!routine || routine->kind != AST_CREATE_PROCEDURE)
      reportFinding(FindingId::AUTONOMOUS_CONTEXT, pragma, state->errors);
    else
      nodeAs<astNodeCreateProc>(routine)->AUTONOMOUS = true;
  }
}

}  // namespace rewrite

char* sqlstateForName(const char* name, const TransformState* state) {
  if (!state->exceptionMap) return nullptr;
  const char* sqlstate = mappedSqlstate(state->exceptionMap, predefinedExceptionWord(name));
  return sqlstate ? poolBumpStrdup(sqlstate) : nullptr;
}

bool isMappedNumber(int number, const TransformState* state) {
  if (state->exceptionMap)
    for (const ExceptionMapEntry* row = state->exceptionMap; row->sqlstate[0]; ++row)
      if (row->plsqlNumber == number) return true;
  return number >= -20999 && number <= -20000;
}

char* sqlstateForNumber(int number, const TransformState* state) {
  if (state->exceptionMap)
    for (const ExceptionMapEntry* row = state->exceptionMap; row->sqlstate[0]; ++row)
      if (row->plsqlNumber == number) return poolBumpStrdup(row->sqlstate);
  if (number >= -20999 && number <= -20000) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%d", -number);
    digits[0] = 'U';
    digits[1] = 'D';
    return poolBumpStrdup(digits);
  }
  return poolBumpStrdup("UD999");
}


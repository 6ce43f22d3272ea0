// LOBs of rows written through a locator. In PL/SQL, RETURNING ... INTO l
// and SELECT ... INTO l ... FOR UPDATE give l the locator of the row's LOB,
// and DBMS_LOB.WRITEAPPEND(l, ...) writes that LOB: the row changes. A
// locator of the target stands for a LOB value, never for a column of a
// row, so the same call changes the variable alone. Such a write is
// recorded; a LOB of the routine's own (a temporary one, a value put
// together) is written alike in both and left alone.
//
// The rewriting hands over the statements of each block as it leaves the
// block (rewrite_control.cpp), so that no walk of its own meets every node.
// The fills and the writes are told apart by routine (a top-level unit's
// statements outside its routines count as one), in any order: a loop may
// write before the statement that fills runs again.
#include <cstring>
#include <string>

#include "functions.h"
#include "plsql_parser.hpp"
#include "routine_effects.h"
#include "token_spans.h"

using namespace rewrite;

namespace {

// The name of the routine a call names that writes the LOB of its first
// argument (a row of the function table says which); null for any other
// call.
const char* lobWriter(const astNodeCall* call) {
  astNodeToken* name = listLength(call->name) == 1 ? firstToken(call->name) : nullptr;
  const BuiltinFunction* row = name ? routineWithFact(kLobWriters, name->text) : nullptr;
  return row ? row->name : nullptr;
}

// A name alone, before the end of a list or a comma outside parentheses.
astNodeToken* nameAlone(astListCell* cell) {
  astNodeToken* token = cell ? asToken(cell->value) : nullptr;
  if (!token || !token->text || token->tokenCode == T_STRING) return nullptr;
  return !cell->next || spans::isComma(cell->next->value) ? token : nullptr;
}

// Whether a query's clauses after FROM lock its rows: FOR UPDATE outside
// parentheses.
bool locksRows(const astNodeList* from) {
  bool locks = false;
  spans::eachOutsideGroups(listCells(from), [&locks](astListCell* c, astListCell*) {
    locks = textIs(c->value, "FOR") && c->next && textIs(c->next->value, "UPDATE");
    return !locks;
  });
  return locks;
}

}  // namespace

void LobRowWrites::fill(astNode* statement, const astNodeToken* target) {
  fills_.push_back({routineOrOutermostUnit(statement), upperText(target->text)});
}

void LobRowWrites::note(astNode* statement) {
  switch (statement->kind) {
    case AST_SQL_STMT: {
      // RETURNING a, b INTO x, y: the names after INTO.
      astListCell* c = listCells(nodeAs<astNodeSqlStmt>(statement)->returning);
      for (int depth = 0; c && !(depth == 0 && textIs(c->value, "INTO")); c = c->next)
        depth += spans::isOpen(c->value) ? 1 : spans::isClose(c->value) ? -1 : 0;
      for (c = c ? c->next : nullptr; c; c = c->next)
        if (astNodeToken* name = nameAlone(c)) fill(statement, name);
      break;
    }
    case AST_SELECT: {
      auto* select = nodeAs<astNodeSelect>(statement);
      if (!select->intoClause || select->bulkCollect || !locksRows(select->fromClause)) break;
      for (astListCell* c = listCells(select->intoClause); c; c = c->next)
        if (astNodeToken* name = nameAlone(c)) fill(statement, name);
      break;
    }
    case AST_CALL: {
      auto* call = nodeAs<astNodeCall>(statement);
      const char* writer = lobWriter(call);
      astNodeToken* lob = writer ? nameAlone(listCells(call->args)) : nullptr;
      if (lob)
        writes_.push_back({routineOrOutermostUnit(statement), upperText(lob->text), firstToken(call->name), writer, lob->text});
      break;
    }
    default:
      break;
  }
}

void LobRowWrites::settle(TransformState* state) {
  for (const Use& write : writes_)
    for (const Use& filled : fills_)
      if (filled.routine == write.routine && filled.name == write.name) {
        reportFinding(FindingId::LOB_ROW_LOCATOR, write.call, state->errors, write.writer, write.lob);
        break;
      }
}

// Constructs that the target has no form for and that would otherwise be
// written with another meaning: each leaves a record where it stands.
#include <cctype>
#include <string>

#include "plsql_parser.hpp"
#include "rewrite_internal.h"
#include "token_spans.h"

namespace rewrite {

namespace {

// Whether a statement text holds RETURNING with INTO after it, as words.
bool textReturnsInto(const char* text) {
  std::string words = upperText(text);
  for (char& c : words)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') c = ' ';
  words = " " + words + " ";
  size_t returning = words.find(" RETURNING ");
  return returning != std::string::npos && words.find(" INTO ", returning) != std::string::npos;
}

}  // namespace

void reportNotNullVariable(astNodeVarDecl* decl, TransformState* state) {
  // A constant cannot be assigned again; its default is its only value.
  if (!decl->notNull || decl->constant) return;
  astNodeToken* name = firstToken(decl->variableName);
  reportFinding(FindingId::NOT_NULL_VARIABLE, decl, state->errors, nullptr, name ? name->text : nullptr);
}

void reportDynamicReturning(astNodeDynamic* node, TransformState* state) {
  bool returning = listLength(node->returnList) > 0;
  for (astListCell* c = listCells(node->expr); c && !returning; c = c->next) {
    astNodeToken* token = asToken(c->value);
    returning = token && token->tokenCode == T_STRING && textReturnsInto(token->text);
  }
  if (returning) reportFinding(FindingId::DYNAMIC_RETURNING, node, state->errors);
}

void reportRecordDml(astNodeSqlStmt* node, TransformState* state) {
  astNode* previous = nullptr;
  for (astListCell* c = listCells(node->body); c; previous = c->value, c = c->next) {
    astNodeToken* token = asToken(c->value);
    astNodeToken* before = asToken(previous);
    astNodeToken* next = c->next ? asToken(c->next->value) : nullptr;
    if (!token || !before || !before->text) continue;
    // UPDATE t SET ROW = record
    if (node->keywordCode == T_UPDATE && token->tokenCode == T_ROW && equalsIgnoreCase(before->text, "SET")) {
      reportFinding(FindingId::UPDATE_SET_ROW, node, state->errors);
      return;
    }
    // INSERT INTO t VALUES record (no parenthesis after VALUES)
    if (node->keywordCode == T_INSERT && equalsIgnoreCase(before->text, "VALUES") && token->text &&
        !equalsIgnoreCase(token->text, "(") && !next) {
      reportFinding(FindingId::INSERT_VALUES_RECORD, node, state->errors);
      return;
    }
  }
}

void reportDmlWithoutForm(astNodeSqlStmt* node, TransformState* state) {
  if (node->keywordCode == T_INSERT) {
    // INSERT ALL and INSERT FIRST insert into several tables.
    astNodeToken* first = firstToken(node->body);
    if (first && (equalsIgnoreCase(first->text, "ALL") || equalsIgnoreCase(first->text, "FIRST")))
      reportFinding(FindingId::MULTITABLE_INSERT, node, state->errors, upperText(first->text).c_str());
    return;
  }
  if (node->keywordCode != T_MERGE) return;
  // WHEN MATCHED THEN UPDATE ... [WHERE c] [DELETE WHERE c], WHEN NOT
  // MATCHED THEN INSERT ... [WHERE c]: the target's MERGE has its
  // conditions in its WHEN clauses and no DELETE after an UPDATE.
  enum { NONE, MATCHED, NOT_MATCHED } branch = NONE;
  spans::eachOutsideGroups(listCells(node->body), [&](astListCell* c, astListCell* before) {
    astNode* previous = before ? before->value : nullptr;
    astNodeToken* token = asToken(c->value);
    if (token && token->text) {
      if (equalsIgnoreCase(token->text, "MATCHED")) {
        branch = textIs(previous, "NOT") ? NOT_MATCHED : MATCHED;
      } else if (branch == MATCHED && token->tokenCode == T_DELETE && c->next && textIs(c->next->value, "WHERE")) {
        reportFinding(FindingId::MERGE_CONDITION, token, state->errors, "DELETE WHERE");
      } else if (branch != NONE && token->tokenCode == T_WHERE && !textIs(previous, "DELETE")) {
        reportFinding(FindingId::MERGE_CONDITION, token, state->errors,
                      branch == MATCHED ? "UPDATE ... WHERE" : "INSERT ... WHERE");
      }
    }
    return true;
  });
}

}  // namespace rewrite

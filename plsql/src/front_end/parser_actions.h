// Helpers of the parser's rule actions: node building, token collecting and
// the small conversions the actions share.
#pragma once

#include "ast.h"
#include "error_records.h"
#include "parse_context.h"
#include "parse_errors.h"
#include "token_reader.h"

// The first token a token-collecting action hands to its reader: the
// parser's lookahead when it holds one, otherwise T_no_lookahead so that the
// reader starts by reading.
int parserFirstToken(int lookahead);

// Collects a run of tokens up to one of the stop tokens (push-back mode) and
// reports `message` (when not null) if nothing was collected.
astNodeList* parserCollect(ParseContext* context, TokenValue* value, int lookahead, const char* message, int stop1,
                           int stop2 = 0, int stop3 = 0, int stop4 = 0, int stop5 = 0);

// decl_datatype / formal_arg_type: the datatype reader over a type name,
// with the reports of a missing type and (when checkPercent) of more than
// one %TYPE or %ROWTYPE.
astNodeList* parserDatatype(ParseContext* context, TokenValue* value, astNodeList* typeName, bool checkPercent);

// Decimal signed 32-bit conversion; reports "Integer overflow" out of range
// and returns the value clamped to the range.
int parserInteger(ParseContext* context, const char* text);

// "-" followed by the digits, a new pool text.
char* parserNegate(const char* digits);

// A list of one token node of code T_STRING holding a keyword's text.
astNodeList* parserKeywordName(const char* text, int line);

// A DDL node with a name and a body token list.
astNodeDdl* parserDdl(int kind, int line, astNodeList* name, astNodeList* body);

// Sets the label of a statement; nodes without a statement head keep
// their fields untouched.
void parserSetLabel(astNode* node, char* label);

// A syntax error at the top level: the parser is in a broken unit.
void noteBrokenUnit(ParseContext* context);
// A top-level unit after a CREATE unit the parser could not read: a block or
// an SQL statement before the next terminator line or unit is a piece of the
// broken unit and goes to the context's list of such pieces; any other unit
// ends the broken one.
void noteBrokenUnitPiece(ParseContext* context, astNode* unit);

// Loop type of a FOR statement from its range token list.
int parserForLoopType(const astNodeList* range);

// The token node of a one-token name list (T_WORD values), or null.
astNodeToken* parserFirstTokenNode(astNodeList* list);
// The ELSIF branches of an IF, linked last first as the parser gathers
// them, linked in source order; the first one is returned.
astNodeElseIf* parserElseIfsInOrder(astNodeElseIf* last);

// Node builders of the rule actions (fields not given stay zero).
astNode* javaSource(intptr_t line, astNodeList* name, intptr_t resolveOrCompile, intptr_t noForce);
astNode* ddlType(int line, intptr_t replace, astNodeList* name, astNodeList* body, bool under);
astNode* ddlTablespace(int line, astNodeList* body, bool temp);
astNode* ddlLink(int kind, int line, astNodeList* body, bool pub, bool shared);
astNode* ddlSynonym(int kind, int line, astNodeList* name, astNodeList* body, bool pub);
astNode* ddlTable(int line, astNodeList* name, bool gtt, bool xmltype, astNodeList* cols, astNodeList* body);
astNode* ddlView(int line, astNodeList* name, intptr_t force, intptr_t mview, bool objview, astNodeList* columns,
                 astNodeList* body);
astNode* newBlock(int line, astNodeList* declarations, astNodeList* body, astNodeList* exceptions);
astNode* newConstraint(int line, astNodeList* name, int consType, astNodeList* cols, astNodeList* body);
astNode* newAssign(int line, astNodeList* target, astNodeList* expr);
astNode* newOpen(int line, astNodeList* variable, void* query, astNodeList* usingClause, astNodeList* args);
astNode* newSelect(int line, astNodeList* withClause, bool bulkCollect, astNodeList* target, astNodeList* intoClause,
                   astNodeList* fromClause);
astNode* newSql(int line, const char* keyword, int keywordCode, astNodeList* body);
astNode* newCall(int line, astNodeList* name, astNodeList* args);
astNode* newTriggerVariable(int line, int var, astNodeList* alias);
// param_exp: a call when nothing is assigned, else an assignment to an
// indexed target; the assignment's ';' was read already and goes back to
// the token reader for the statement rule.
astNode* callOrAssign(ParseContext* context, int line, astNodeList* name, astNodeList* args, astNodeList* field,
                      astNodeList* expr);

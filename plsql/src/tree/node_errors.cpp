#include "node_errors.h"

#include "ast.h"
#include "run_pool.h"

ErrorRecord* tokenErrorRecord(const char* message, const char* detail, astNode* node, ErrorList* list) {
  ErrorRecord* r = newErrorRecord(message, ERROR_DOMAIN_UNSUPPORTED, node ? node->line + 1 : 0);
  // A token's text stays as it is for the rest of the run (a token that is
  // rewritten gets a new text): the record points to it.
  if (node && node->kind == AST_TOKEN) r->text = nodeAs<astNodeToken>(node)->text;
  r->context = poolBumpStrdup(detail);
  listAppendRecord(list, r);
  return r;
}

ErrorRecord* tokenErrorRecordStatic(const char* message, const char* detail, astNode* node, ErrorList* list) {
  ErrorRecord* r = newErrorRecord(nullptr, ERROR_DOMAIN_UNSUPPORTED, node ? node->line + 1 : 0);
  r->message = const_cast<char*>(message);
  if (node && node->kind == AST_TOKEN) r->text = nodeAs<astNodeToken>(node)->text;
  r->context = const_cast<char*>(detail);
  listAppendRecord(list, r);
  return r;
}

astNodeError* errorNodeNew(int code, const char* token, int line, const char* message, const char* sourceLine) {
  astNodeError* e = astMake<astNodeError>(line);
  e->code = code;
  e->token = poolBumpStrdup(token);
  e->message = poolBumpStrdup(message);
  e->context = poolBumpStrdup(sourceLine);
  return e;
}

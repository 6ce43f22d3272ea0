#include "node_errors.h"

#include "ast.h"
#include "run_pool.h"

ErrorRecord* tokenErrorRecord(const char* message, const char* detail, astNode* node, ErrorList* list) {
  ErrorRecord* r = newErrorRecord(message, ERROR_DOMAIN_UNSUPPORTED, node ? node->line + 1 : 0);
  if (node && node->kind == AST_TOKEN) r->text = poolStrdup(nodeAs<astNodeToken>(node)->text);
  r->context = poolStrdup(detail);
  listAppendRecord(list, r);
  return r;
}

astNodeError* errorNodeNew(int code, const char* token, int line, const char* message, const char* sourceLine) {
  astNodeError* e = astMake<astNodeError>(line);
  e->code = code;
  e->token = poolStrdup(token);
  e->message = poolStrdup(message);
  e->context = poolStrdup(sourceLine);
  return e;
}

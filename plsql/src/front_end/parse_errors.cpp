#include "parse_errors.h"

#include "ast.h"
#include "node_errors.h"
#include "parse_context.h"
#include "run_pool.h"

namespace {

// What the scanner tells of itself through the context; null or 0 when it
// has not started.
void* scannerOf(const ParseContext* context) { return context ? context->scanner : nullptr; }

const char* probedTokenText(const ParseContext* context) {
  void* scanner = scannerOf(context);
  return scanner && context->probes.tokenText ? context->probes.tokenText(scanner) : nullptr;
}

const char* probedLineStart(const ParseContext* context) {
  void* scanner = scannerOf(context);
  return scanner && context->probes.lineStart ? context->probes.lineStart(scanner) : nullptr;
}

int probedLine(const ParseContext* context) {
  void* scanner = scannerOf(context);
  return scanner && context->probes.line ? context->probes.line(scanner) : 0;
}

ErrorList* probedErrorList(const ParseContext* context) {
  void* scanner = scannerOf(context);
  return scanner && context->probes.errorList ? context->probes.errorList(scanner) : nullptr;
}

}  // namespace

ErrorRecord* reportSyntaxError(ParseContext* context, const char* message, int line, int domain,
                               const char* expected) {
  ErrorRecord* r = newErrorRecord(message, domain, line + 1);
  const char* tokenText = probedTokenText(context);
  r->context = poolBumpStrdup(tokenText);
  r->text = copySourceLine(probedLineStart(context));
  if (expected) {
    r->expected = poolBumpStrdup(expected);
  } else if (context && context->parserState && context->probes.expectedTokens) {
    const char* names[10];
    int n = context->probes.expectedTokens(names, 10, *context->parserState);
    if (n > 10) n = 10;
    r->expected = formatExpectedTokens(names, n);
  }
  internalErrorRecord(context, 0, tokenText, probedLine(context), r->message, r->text);
  ErrorList* list = probedErrorList(context);
  if (!list && context) list = context->errors;
  listAppendRecord(list, r);
  return r;
}

ErrorRecord* reportError(ParseContext* context, const char* message) {
  return reportSyntaxError(context, message, probedLine(context), ERROR_DOMAIN_SYNTAX, nullptr);
}

ErrorRecord* reportErrorExpecting(ParseContext* context, const char* message, const char* expected) {
  return reportSyntaxError(context, message, probedLine(context), ERROR_DOMAIN_SYNTAX, expected);
}

ErrorRecord* reportErrorAtLine(ParseContext* context, const char* message, int line) {
  return reportSyntaxError(context, message, line, ERROR_DOMAIN_SYNTAX, nullptr);
}

astNodeError* internalErrorRecord(ParseContext* context, int code, const char* token, int line,
                                  const char* message, const char* sourceLine) {
  astNodeError* e = errorNodeNew(code, token, line, message, sourceLine);
  if (context) context->lastErrorNode = e;
  return e;
}

astNodeError* takeLastErrorNode(ParseContext* context) {
  if (!context) return nullptr;
  astNodeError* e = context->lastErrorNode;
  context->lastErrorNode = nullptr;
  return e;
}

#include "token_reader.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ast.h"
#include "dump_encoding.h"
#include "error_records.h"
#include "parse_context.h"
#include "parse_errors.h"
#include "plsql_parser.hpp"
#include "run_pool.h"

astNodeToken* makeTokenNode(int tokenCode, const char* text, int line) {
  return astTokenNew(tokenCode, text, line);
}

static bool takesAltText(int code) {
  return code == T_COMPARISON || code == T_STRING || (code >= T_CURSOR_NOTFOUND && code <= T_CURSOR_ISOPEN);
}

astNodeToken* makeTokenNodeAlt(int tokenCode, const char* text, const char* altText, int line) {
  if (altText && takesAltText(tokenCode)) text = altText;
  return astTokenNew(tokenCode, text, line);
}

astNodeList* splitPercentToken(const char* text, int line) {
  astNodeList* list = nullptr;
  if (!text) return nullptr;
  char* copy = poolStrdup(text);
  char* cursor = nullptr;
  for (char* piece = splitToken(copy, "%", &cursor); piece; piece = splitToken(nullptr, "%", &cursor))
    list = listAppend(list, makeTokenNode(T_STRING, piece, line));
  poolFree(copy);
  return list;
}


#include "plsql_scanner.hpp"

namespace {

// Token codes are below this (the grammar's last terminal is 439).
constexpr int kTokenTextSlots = 512;
// The scanner's buffer; it grows for a longer match.
constexpr int kScanBufferBytes = 16384;

ScannerExtra* extraOf(ParseContext* context) {
  return static_cast<ScannerExtra*>(xxget_extra(static_cast<yyscan_t>(context->scanner)));
}

bool tracing(void* scanner) { return xxget_debug(static_cast<yyscan_t>(scanner)) != 0; }

const char* currentText(void* scanner) {
  const char* text = xxget_text(static_cast<yyscan_t>(scanner));
  return text ? text : "";
}

}  // namespace

void initScanner(ParseContext* context) {
  ScannerExtra* extra = static_cast<ScannerExtra*>(poolAlloc(sizeof(ScannerExtra)));
  std::memset(extra, 0, sizeof *extra);
  yyscan_t scanner = nullptr;
  if (xxlex_init_extra(extra, &scanner) != 0 || !scanner) scannerFatal("out of dynamic memory in xxlex_init()");
  context->scanner = scanner;
  extra->errors = context->errors;
  extra->commentStartLine = -1;
  extra->stringStartLine = -1;
  extra->pushed = false;
  extra->textCapacity = 80;
  extra->textData = static_cast<char*>(poolAlloc(80));
  extra->textLength = 0;
  xxset_debug(std::getenv("CROSS_DEBUG_PARSER") ? 1 : 0, scanner);
  context->probes.tokenText = scannerCurrentText;
  context->probes.lineStart = scannerLineStart;
  context->probes.line = scannerLineOf;
  context->probes.errorList = scannerErrorList;

  extra->tokenTexts = static_cast<char**>(poolBump(kTokenTextSlots * sizeof(char*)));
  std::memset(extra->tokenTexts, 0, kTokenTextSlots * sizeof(char*));

  // The scanner reads the source followed by a line feed, piece by piece
  // into its own buffer (scannerRead): no copy of the whole source is made.
  const char* source = context->source ? context->source : "";
  size_t length = std::strlen(source);
  // A byte order mark in front (editors on Windows write one) is no token.
  size_t mark = byteOrderMarkLength(source, length, context->options ? context->options->encoding : nullptr);
  source += mark;
  extra->unread = source;
  extra->unreadLength = length - mark;
  extra->lineFeedRead = false;
  extra->lineStart = source;
  YY_BUFFER_STATE buffer = xx_create_buffer(nullptr, kScanBufferBytes, scanner);
  xx_switch_to_buffer(buffer, scanner);
  extra->inputBuffer = buffer;
  xxset_lineno(0, scanner);
}

int scannerRead(ScannerExtra* extra, char* buffer, size_t size) {
  extra->inputReads += 1;
  size_t n = extra->unreadLength < size ? extra->unreadLength : size;
  if (n == 0) {
    if (extra->lineFeedRead || size == 0) return 0;
    extra->lineFeedRead = true;
    buffer[0] = '\n';
    return 1;
  }
  std::memcpy(buffer, extra->unread, n);
  extra->unread += n;
  extra->unreadLength -= n;
  return int(n);
}

char* scannerTokenText(ScannerExtra* extra, int code, const char* text, size_t length) {
  char** slot = code >= 0 && code < kTokenTextSlots ? &extra->tokenTexts[code] : nullptr;
  if (slot && *slot && std::strncmp(*slot, text, length) == 0 && (*slot)[length] == '\0') return *slot;
  char* copy = poolBumpTextIn(poolCurrent(), text, length);
  if (slot) *slot = copy;
  return copy;
}

void teardownScanner(ParseContext* context) {
  if (!context || !context->scanner) return;
  // Releases the buffers, their stack and the instance.
  xxlex_destroy(static_cast<yyscan_t>(context->scanner));
  context->scanner = nullptr;
}

int scannerLineOf(void* scanner) { return scanner ? xxget_lineno(static_cast<yyscan_t>(scanner)) : 0; }

int scannerCurrentLine(ParseContext* context) { return context ? scannerLineOf(context->scanner) : 0; }

const char* scannerCurrentText(void* scanner) {
  return scanner ? xxget_text(static_cast<yyscan_t>(scanner)) : nullptr;
}

const char* scannerLineStart(void* scanner) {
  if (!scanner) return nullptr;
  ScannerExtra* extra = static_cast<ScannerExtra*>(xxget_extra(static_cast<yyscan_t>(scanner)));
  return extra ? extra->lineStart : nullptr;
}

ErrorList* scannerErrorList(void* scanner) {
  if (!scanner) return nullptr;
  ScannerExtra* extra = static_cast<ScannerExtra*>(xxget_extra(static_cast<yyscan_t>(scanner)));
  return extra ? extra->errors : nullptr;
}

ErrorRecord* reportLexicalError(void* scanner, const char* message, int line) {
  if (line == -1) line = scannerLineOf(scanner) + 1;
  if (!scanner) return lexicalErrorRecord(message, line, nullptr, nullptr, nullptr);
  return lexicalErrorRecord(message, line, scannerCurrentText(scanner), scannerLineStart(scanner),
                            scannerErrorList(scanner));
}

int nextToken(TokenValue* value, ParseContext* context) {
  ScannerExtra* extra = extraOf(context);
  if (extra->pushed) {
    extra->pushed = false;
    if (tracing(context->scanner)) errorPrintf("** returning pushback %d\n", extra->pushedToken);
    return extra->pushedToken;
  }
  int code = xxlex(value, static_cast<yyscan_t>(context->scanner));
  if (tracing(context->scanner)) errorPrintf("** returning %d - %s\n", code, currentText(context->scanner));
  if (code == 0) {
    if (extra->commentStartLine != -1)
      reportLexicalError(context->scanner, "Unterminated comment", extra->commentStartLine + 1);
    if (extra->stringStartLine != -1)
      reportLexicalError(context->scanner, "Unterminated quoted string", extra->stringStartLine + 1);
  }
  return code;
}

void pushBackToken(ParseContext* context, int token) {
  ScannerExtra* extra = extraOf(context);
  if (extra->pushed) errorPrintf("cannot push back multiple tokens");
  extra->pushedToken = token;
  extra->pushed = true;
  if (tracing(context->scanner))
    errorPrintf("** pushed back %d - %s\n", extra->pushedToken, currentText(context->scanner));
}

namespace {

// Token node for the token just read.
astNodeToken* currentTokenNode(ParseContext* context, TokenValue* value, int code) {
  const char* alt = takesAltText(code) ? value->value.text : nullptr;
  return makeTokenNodeAlt(code, currentText(context->scanner), alt, scannerCurrentLine(context));
}

bool isStopToken(int t, const int* stops) {
  for (int i = 0; i < 5; ++i)
    if (stops[i] != 0 && stops[i] == t) return true;
  return false;
}

}  // namespace

astNodeList* read_token_run(ParseContext* context, TokenValue* value, int mode, int current, int* lastToken,
                            int stop1, int stop2, int stop3, int stop4, int stop5) {
  const int stops[5] = {stop1, stop2, stop3, stop4, stop5};
  int t = current;
  if (t == T_no_lookahead) t = nextToken(value, context);
  astNodeList* list = nullptr;
  int depth = 0;
  for (;;) {
    if (t == T_TERMINATOR || t <= 0) break;
    bool stopHere = depth == 0 && (isStopToken(t, stops) || (t == ';' && stop1 != T_TERMINATOR));
    if (stopHere) {
      if (mode == READ_COLLECT) {
        if (!(t == ';' && stop1 == T_TERMINATOR)) list = listAppend(list, currentTokenNode(context, value, t));
      } else if (mode == READ_PUSH_BACK) {
        pushBackToken(context, t);
      }
      break;
    }
    if (t == '(') {
      ++depth;
      list = listAppend(list, currentTokenNode(context, value, t));
    } else if (t == ')') {
      if (depth == 0) {
        pushBackToken(context, t);
        break;
      }
      --depth;
      list = listAppend(list, currentTokenNode(context, value, t));
    } else if (t == T_WORD) {
      // The word's list belongs to the token value alone, which the next
      // token replaces: its cells join the run instead of being copied.
      list = listAbsorb(list, value->value.list, &extraOf(context)->spareLists);
      value->value.list = nullptr;
    } else {
      list = listAppend(list, currentTokenNode(context, value, t));
    }
    t = nextToken(value, context);
  }
  if (lastToken) *lastToken = t;
  return list;
}

astNodeList* read_brace_block(ParseContext* context, TokenValue* value, int mode, int current) {
  int t = current;
  if (t == T_no_lookahead) t = nextToken(value, context);
  astNodeList* list = nullptr;
  int depth = 0;
  bool opened = false;
  for (;;) {
    if (t <= 0) return list;
    if (t == '{') {
      ++depth;
      opened = true;
    } else if (t == '}') {
      --depth;
      if (opened && depth == 0) {
        if (mode == READ_COLLECT)
          list = listAppend(list, currentTokenNode(context, value, t));
        else if (mode == READ_PUSH_BACK)
          pushBackToken(context, t);
        return list;
      }
    }
    list = listAppend(list, currentTokenNode(context, value, t));
    t = nextToken(value, context);
  }
}

astNodeList* read_datatype(ParseContext* context, TokenValue* value, astNodeList* list) {
  if (tracing(context->scanner)) errorPrintf("** read_datatype...\n");
  int t = nextToken(value, context);
  if (t == T_DTYPE) return list;
  int depth = 0;
  for (;;) {
    if (t == ';') {
      pushBackToken(context, t);
      return list;
    }
    if (t <= 0) {
      if (depth != 0) reportError(context, "Mismatched parentheses in datatype");
      return nullptr;
    }
    if (depth == 0) {
      switch (t) {
        case T_DEFAULT: case T_ASSIGN: case T_NOT: case T_COMPARISON: case ')': case T_COMMA:
        case T_CLUSTER: case T_AGGREGATE: case T_PARALLEL_ENABLE: case T_PIPELINED:
        case T_DETERMINISTIC: case T_INDEX: case T_AUTHID: case T_IS: case T_AS:
          pushBackToken(context, t);
          return list;
        default:
          break;
      }
    }
    if (t == '(') {
      ++depth;
      list = listAppend(list, currentTokenNode(context, value, t));
    } else if (t == ')') {
      --depth;
      list = listAppend(list, currentTokenNode(context, value, t));
    } else if (t == T_STRING) {
      list = listAppend(list, makeTokenNodeAlt(t, currentText(context->scanner), value->value.text,
                                               scannerCurrentLine(context)));
    } else {
      list = listAppend(list, makeTokenNode(t, currentText(context->scanner), scannerCurrentLine(context)));
    }
    t = nextToken(value, context);
  }
}


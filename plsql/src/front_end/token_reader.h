// Token reader between the parser and the scanner: scanner set-up and
// tear-down, one-token push-back, and the readers that swallow a run of
// tokens into a list of token nodes.
//
// Token codes are those of the generated parser header (plsql_parser.hpp),
// which includes this header for TokenValue.
#pragma once

#include <cstddef>
#include <cstdint>

struct ParseContext;
struct astNode;
struct astNodeList;
struct astNodeToken;
struct ErrorRecord;
struct ErrorList;

// Value part of a token / parser stack entry.
union TokenData {
  char* text;
  astNode* node;
  astNodeList* list;
  astNodeToken* tokenNode;
  float number;
  intptr_t ival;  // small integers and flags (low byte)
};

// The scanner's token value record and the parser's semantic value.
struct TokenValue {
  TokenData value;
  int token;          // token code (as returned)
  int line;           // counted from 0
  astNodeList* aux;   // parser's second word (UPDATE OF columns)
};

// Per-run data the scanner instance carries (run pool).
struct ScannerExtra {
  char* textData;
  int textCapacity;
  int textLength;
  void* inputBuffer;
  int pushedToken;
  bool pushed;
  const char* lineStart;  // in the source
  ErrorList* errors;
  int commentStartLine;
  int stringStartLine;
  char quoteClose;  // closing delimiter of the open q-quoted literal
  // What the scanner has still to read: the rest of the source, then the
  // line feed that ends the last line.
  const char* unread;
  size_t unreadLength;
  bool lineFeedRead;
  // How many times the scanner asked for more input.
  int inputReads;
  // Per token code, the last pool copy made by scannerTokenText.
  char** tokenTexts;
  // List nodes of words that a token run took the cells of, for the next
  // words' lists (listAbsorb, listNewFrom).
  astNodeList* spareLists;
};

// Reader modes.
enum { READ_COLLECT = 0, READ_CONSUME = 1, READ_PUSH_BACK = 2 };

void initScanner(ParseContext* context);
void teardownScanner(ParseContext* context);

int nextToken(TokenValue* value, ParseContext* context);
void pushBackToken(ParseContext* context, int token);

astNodeList* read_token_run(ParseContext* context, TokenValue* value, int mode, int current, int* lastToken,
                            int stop1, int stop2 = 0, int stop3 = 0, int stop4 = 0, int stop5 = 0);
astNodeList* read_brace_block(ParseContext* context, TokenValue* value, int mode, int current);
astNodeList* read_datatype(ParseContext* context, TokenValue* value, astNodeList* list);

// The scanner's input: the next at most size bytes into buffer; 0 at the end.
int scannerRead(ScannerExtra* extra, char* buffer, size_t size);

// The value text of a keyword or operator token: a pool copy of the match,
// shared by the tokens of the same code and spelling (its readers only read
// or copy it).
char* scannerTokenText(ScannerExtra* extra, int code, const char* text, size_t length);

astNodeToken* makeTokenNode(int tokenCode, const char* text, int line);
astNodeToken* makeTokenNodeAlt(int tokenCode, const char* text, const char* altText, int line);
astNodeList* splitPercentToken(const char* text, int line);

// Line of the scanner's current input buffer (from 0), 0 without a buffer.
int scannerCurrentLine(ParseContext* context);
int scannerLineOf(void* scanner);
// Current token text and start of the current source line of a scanner.
const char* scannerCurrentText(void* scanner);
const char* scannerLineStart(void* scanner);
ErrorList* scannerErrorList(void* scanner);

// The scanner's lexical error (domain 1) at its current token; line is
// counted from 1, -1 takes the scanner's current line.
ErrorRecord* reportLexicalError(void* scanner, const char* message, int line);

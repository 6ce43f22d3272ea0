// The record the run driver hands to the scanner and the parser, and the
// driver's entry points.
#pragma once

#include <string>

#include "error_records.h"
#include "run_pool.h"
#include "translate_options.h"

struct astNode;
struct astNodeList;
struct astNodeError;
struct StatementRecord;  // one emitted target statement

// What error reports read from the scanner and the parser. Each fills in its
// own part when it starts, so the error records depend on neither; a part
// left null reads as nothing known.
struct FrontEndProbes {
  const char* (*tokenText)(void* scanner);    // current token text
  const char* (*lineStart)(void* scanner);    // start of the current source line
  int (*line)(void* scanner);                 // current line, counted from 0
  ErrorList* (*errorList)(void* scanner);     // where the scanner's records go
  // Names of the terminals acceptable in a parser state; see expectedTokens.
  int (*expectedTokens)(const char** names, int capacity, int state);
};

struct ParseContext {
  TranslateOptions* options;
  const char* source;
  ErrorList* errors;
  int* parserState;  // the parser's current state; null until it starts
  void* scanner;
  astNode* root;
  int maxErrors;      // negative values stored as 0
  int tooManyErrors;  // set by the parser when maxErrors is passed
  FrontEndProbes probes;
  astNodeError* lastErrorNode;  // node of the last syntax report, until the grammar takes it
  // After a CREATE unit the parser could not read, the blocks and SQL
  // statements it went on with up to the next terminator line or unit are
  // pieces of that unit, not units of their own: they are listed here and
  // never translated.
  int inBrokenUnit;  // BrokenUnit
  astNodeList* brokenUnitPieces;
};

// What the parser is in after a syntax error at the top level.
enum BrokenUnit {
  NO_BROKEN_UNIT = 0,
  BROKEN_UNIT = 1,         // text that begins no unit (a client command line, say)
  BROKEN_CREATE_UNIT = 2   // a CREATE unit given up
};

// The LALR parser (generated); 0 accepted, 1 aborted, 2 stacks exhausted.
int xxparse(ParseContext* context);
// Names of the terminals acceptable in a parser state, in symbol order,
// the error token left out; returns how many were stored (at most capacity).
int expectedTokens(const char** names, int capacity, int state);

// Sets the scanner up, runs the parser, tears the scanner down; true when the
// parser accepted the input.
bool parseSource(ParseContext* context);
// The same, with the parser's own result: 0 accepted, 1 a syntax error it
// gave up on, PARSER_STACK_EXHAUSTED when the source nests deeper than its
// stack.
constexpr int PARSER_STACK_EXHAUSTED = 2;
int parseSourceResult(ParseContext* context);

// Outcome of one translation, for callers that drive it in process. The
// tree, the statements and the error records live in the run's pool, which
// the result owns.
struct TranslateResult {
  int status = 0;               // exit status of the run (5 also when the parser recovered from a syntax error)
  bool parseFailed = false;
  bool tooManyErrors = false;
  bool unableToParse = false;   // failed with fewer than two error records
  int failLine = 0;             // else: line of the second error record
  int jumpCode = 0;             // 0, or the pool's jump code when the run was cut short
  const char* unwritableDump = nullptr;  // the -a file that could not be opened, or null
  std::string partialDump;      // where the document of a dump cut short was kept, or empty
  astNode* root = nullptr;
  StatementRecord* statements = nullptr;
  ErrorRecord* errors = nullptr;
  OwnedPool pool;
};

// The run without printing or exiting. The run's pool is the current pool
// while it runs; the caller's current pool, if any, is current again on
// return. Fatal scanner errors still end the process (status 2).
TranslateResult translateCore(const char* source, const TranslateOptions* options);

// Writes the run's closing messages for a result to standard output (and the
// lines of a run cut short to standard error).
void printTranslateMessages(const TranslateResult& result);

// Runs one translation, prints its closing messages and its error records
// (standard error, one line each, named by sourceName; "<string>" when
// null) and ends the process with its status.
[[noreturn]] void translateSource(const char* source, StatementRecord** statements, ErrorRecord** errors,
                                  const TranslateOptions* options, const char* sourceName = nullptr);

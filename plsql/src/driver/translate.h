// The driver's entry points: the parse of a source and the run of one
// translation.
#pragma once

#include <string>

#include "error_records.h"
#include "run_pool.h"
#include "translate_options.h"

struct ParseContext;
struct astNode;
struct StatementRecord;  // one emitted target statement

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
  const char* unwritableDump = nullptr;  // the -a file that could not be written, or null
  int dumpError = 0;            // then the system's reason (an errno)
  bool dumpWriteFailed = false; // and whether writing the document failed, not opening its file
  std::string partialDump;      // where the document of a dump cut short was kept, or empty
  astNode* root = nullptr;
  StatementRecord* statements = nullptr;
  ErrorRecord* errors = nullptr;
  OwnedPool pool;
};

// The run without printing or exiting. The run's pool is the calling
// thread's current pool while it runs (threads may run translations at the
// same time); the caller's current pool, if any, is current again on return.
// Fatal scanner errors still end the process (status 2).
TranslateResult translateCore(const char* source, const TranslateOptions* options);

// Writes the run's closing messages for a result to standard output (and the
// lines of a run cut short to standard error).
void printTranslateMessages(const TranslateResult& result);

// Runs one translation, prints its closing messages and its error records
// (standard error, one line each, named by sourceName; "<string>" when
// null) and ends the process with its status.
[[noreturn]] void translateSource(const char* source, StatementRecord** statements, ErrorRecord** errors,
                                  const TranslateOptions* options, const char* sourceName = nullptr);

// The record the run driver hands to the scanner and the parser.
#pragma once

#include "error_records.h"
#include "translate_options.h"

struct astNode;
struct astNodeList;
struct astNodeError;

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
  // The parser's count of tokens to shift after a recovered error before it
  // reports errors again; null until it starts.
  int* errorStatus;
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

// Error records of a translation run. Those made from the parser's context
// are in parse_errors.h, those made at a tree node in node_errors.h.
#pragma once

#include <cstdio>
#include <string>

enum ErrorDomain {
  ERROR_DOMAIN_SYNTAX = 0,
  ERROR_DOMAIN_LEXICAL = 1,
  ERROR_DOMAIN_UNSUPPORTED = 2,
  ERROR_DOMAIN_INTERNAL = 3,
  ERROR_DOMAIN_MEMORY = 4
};

struct ErrorRecord {
  ErrorRecord* next;
  char* message;
  int domain;
  int line;       // counted from 1; -1 in the static records
  char* text;     // source line (scanner/parser) or token text (tree node)
  char* context;  // current token text, or the caller's detail
  char* expected; // acceptable tokens, or the caller's text
};

// The records of a run in the order of reporting. The tail is where the next
// record goes, so that a long list is appended to in constant time; a list
// is emptied by assigning ErrorList().
struct ErrorList {
  ErrorRecord* head = nullptr;
  ErrorRecord* tail = nullptr;
};

const char* errorDomainName(int domain);

// Static records outside every pool.
extern ErrorRecord outOfMemoryRecord;    // "Out of memory", domain 4, line -1
extern ErrorRecord internalErrorRecordStatic;  // "Internal error", domain 3
// The rewriting stopped: the tree nests deeper than its walk's stack allows.
extern ErrorRecord nestedTooDeeplyRecord;  // domain 3, line -1

// A pool record of the domain and line, its texts null.
ErrorRecord* newErrorRecord(const char* message, int domain, int line);
// Pool copy of a source line up to (not including) its first LF or CR; null
// for null.
char* copySourceLine(const char* start);

void listAppendRecord(ErrorList* list, ErrorRecord* record);
int errorListLength(const ErrorRecord* head);

// True when the list holds a syntax or lexical record: the source was not
// read as written, even where the parser went on.
bool holdsSyntaxError(const ErrorRecord* head);
// The record as one line of the run's report, in the form compilers use:
// "NAME:LINE: message" ("NAME: message" for a record without a line). A
// syntax or lexical record names the token it was found near.
std::string errorRecordLine(const char* sourceName, const ErrorRecord* record);
// Every record of the list, one line each, ordered by line (records of the
// same line keep the order they were made in).
void printErrorRecords(std::FILE* stream, const char* sourceName, const ErrorRecord* head);

// Domain 1, line counted from 1: the scanner's report with its current token
// text and source line; appended to list when list is not null.
ErrorRecord* lexicalErrorRecord(const char* message, int line, const char* tokenText, const char* sourceLine,
                                ErrorList* list);

// Reports by the rewriting.
ErrorRecord* syntaxErrorRecord(int line, const char* context, const char* text, const char* expected,
                               ErrorList* list);

// Fatal scanner error: "%s\n" on standard error, exit status 2.
[[noreturn]] void scannerFatal(const char* message);

// Joins token names the way error records show them: "T_" stripped, quoted
// character names kept, others in <>; at most `count` names, ", " between.
// Returns a pool text, or null for count 0.
char* formatExpectedTokens(const char* const* names, int count);

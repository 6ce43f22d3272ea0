// Error records of a translation run and the error node the parser puts into
// the tree in place of a broken element.
#pragma once

#include <cstdio>
#include <string>

struct ParseContext;
struct astNode;
struct astNodeError;

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

// Reports made while scanning and parsing (line counted from 0).
ErrorRecord* reportSyntaxError(ParseContext* context, const char* message, int line, int domain,
                               const char* expected);
ErrorRecord* reportError(ParseContext* context, const char* message);
ErrorRecord* reportErrorExpecting(ParseContext* context, const char* message, const char* expected);
ErrorRecord* reportErrorAtLine(ParseContext* context, const char* message, int line);
// Domain 1, line counted from 1: the scanner's report with its current token
// text and source line; appended to list when list is not null.
ErrorRecord* lexicalErrorRecord(const char* message, int line, const char* tokenText, const char* sourceLine,
                                ErrorList* list);

// Reports at a tree node and by the rewriting.
ErrorRecord* tokenErrorRecord(const char* message, const char* detail, astNode* node, ErrorList* list);
ErrorRecord* syntaxErrorRecord(int line, const char* context, const char* text, const char* expected,
                               ErrorList* list);

// Fatal scanner error: "%s\n" on standard error, exit status 2.
[[noreturn]] void scannerFatal(const char* message);

// Joins token names the way error records show them: "T_" stripped, quoted
// character names kept, others in <>; at most `count` names, ", " between.
// Returns a pool text, or null for count 0.
char* formatExpectedTokens(const char* const* names, int count);

// Error nodes (kind 100). internalErrorRecord keeps the node as the
// context's last one (when there is a context); takeLastErrorNode hands it
// over once and clears it.
astNodeError* internalErrorRecord(ParseContext* context, int code, const char* token, int line,
                                  const char* message, const char* sourceLine);
astNodeError* errorNodeNew(int code, const char* token, int line, const char* message, const char* sourceLine);
astNodeError* takeLastErrorNode(ParseContext* context);

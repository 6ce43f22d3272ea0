// Error records made from what the scanner and the parser tell through the
// parse context, and the error node the parser puts into the tree in place
// of a broken element.
#pragma once

#include "error_records.h"

struct ParseContext;
struct astNodeError;

// Reports made while scanning and parsing (line counted from 0).
ErrorRecord* reportSyntaxError(ParseContext* context, const char* message, int line, int domain,
                               const char* expected);
ErrorRecord* reportError(ParseContext* context, const char* message);
ErrorRecord* reportErrorExpecting(ParseContext* context, const char* message, const char* expected);
ErrorRecord* reportErrorAtLine(ParseContext* context, const char* message, int line);
// Error nodes (kind 100). internalErrorRecord keeps the node as the
// context's last one (when there is a context); takeLastErrorNode hands it
// over once and clears it.
astNodeError* internalErrorRecord(ParseContext* context, int code, const char* token, int line,
                                  const char* message, const char* sourceLine);
astNodeError* takeLastErrorNode(ParseContext* context);

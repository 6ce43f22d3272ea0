// Error records and error nodes made at a tree node.
#pragma once

#include "error_records.h"

struct astNode;
struct astNodeError;

// An unsupported-feature record at a node (its token text when it is a token).
ErrorRecord* tokenErrorRecord(const char* message, const char* detail, astNode* node, ErrorList* list);
// The same with a message and a detail that outlive the run (texts of a
// static table): the record points to them instead of copying them.
ErrorRecord* tokenErrorRecordStatic(const char* message, const char* detail, astNode* node, ErrorList* list);
// An error node (kind 100) of the code, token, line, message and source line.
astNodeError* errorNodeNew(int code, const char* token, int line, const char* message, const char* sourceLine);

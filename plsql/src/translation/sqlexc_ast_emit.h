// Emitter of the target dialect: walks the rewritten syntax tree once, in
// source order, and cuts the written text into a list of statement records,
// one per unit that the target executes as a whole. Records and text come
// from the run pool; nothing is written to a file or a stream. The
// emitter's own steps are in sqlexc_ast_emit_internal.h.
#pragma once

#include <cstdint>

#include "error_records.h"

struct astNode;

// One emitted statement. The text is stored inside the record, right after
// the fixed fields, and NUL-terminated.
struct StatementRecord {
  int32_t type;           // statement type code (below)
  StatementRecord* next;  // next record in output order
  uint32_t length;        // bytes of text, without the NUL
  char text[1];           // `length` bytes and a NUL
};

// Statement type codes carried by the records.
enum {
  STMT_TYPE_OTHER = 0,       // before the first unit; SQL outside any routine
  STMT_TYPE_PROCEDURE = 1,   // standalone procedure
  STMT_TYPE_FUNCTION = 2,    // standalone function
  STMT_TYPE_MODULE = 3,      // package spec or body and its members
  STMT_TYPE_BLOCK = 4,       // anonymous top-level block
  STMT_TYPE_DROP_MODULE = 5  // dropped package spec
};

// Emits the whole tree; returns the first record, or null when nothing was
// written. The emitter word does not affect the output; a null terminator
// counts as the empty text.
StatementRecord* emitProgram(astNode* root, int emitterWord, const char* terminator, bool lineMarkers,
                             ErrorList* errors);

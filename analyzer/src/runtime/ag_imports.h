#ifndef QEN_ANALYZER_AG_IMPORTS_H
#define QEN_ANALYZER_AG_IMPORTS_H

/* What the analyzer uses of the qen_ag runtime. */
#include "ag_context.h"
#include "ag_string.h"
#include "ag_word.h"
#include "smp.h"
#include "spv.h"

#include "ag_ght.h"

#include "ag_builtins.h"

/* Reads an int32 from a parameter-block slot and stores one back. */
static inline int32_t ag_int(ag_word w) { return (int32_t)w; }
static inline ag_word ag_from_int(int32_t v) { return (ag_word)v; }
static inline st_String_const* ag_str(ag_word w) { return (st_String_const*)w; }
static inline ag_word ag_from_ptr(const void* p) { return (ag_word)p; }

#endif

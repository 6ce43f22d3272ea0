#ifndef QEN_ANALYZER_PARSER_GLUE_H
#define QEN_ANALYZER_PARSER_GLUE_H

/* What the generated parser calls besides the node constructors: the
 * scanner and the syntax-error hook. Declared before the parser's own
 * prototype so that yyparse keeps C linkage. */

#include "analysis_runtime.h"
#include "grammar_types.h"
#include "scanner.h"

extern "C" int yyparse(st_context* ctx);

#endif

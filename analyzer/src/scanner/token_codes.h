#ifndef QEN_ANALYZER_TOKEN_CODES_H
#define QEN_ANALYZER_TOKEN_CODES_H

/* Token codes of the T-SQL grammar, taken from the one terminal list that
 * the parser tables and the token leaf table are built from as well.
 * Names carry the prefix TK_ so that the header can stand next to the
 * parser's own token enumeration. */

enum tsql_token_code {
  TK_END_OF_INPUT = 0,
  TK_PARSER_ERROR = 256, /* the parser's error symbol; never scanned */
#define AG_TERMINAL(name, code, words) TK_##name = code,
#include "../../grammar/terminals.def"
#undef AG_TERMINAL
  TK_TABLE_SIZE = 805 /* entries of the token leaf table */
};

#define TSQL_FIRST_TERMINAL 257
#define TSQL_LAST_TERMINAL 804

#endif

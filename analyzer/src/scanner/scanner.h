#ifndef QEN_ANALYZER_SCANNER_H
#define QEN_ANALYZER_SCANNER_H

/* The hand-written T-SQL scanner. It works on the input of the calling
 * thread's parsing context, numbers every lexeme (blank runs and comments
 * too, with kind -1) in the context's lexeme tables and makes the value of
 * every token it returns through the token leaf table. */

#include "ag_context.h"
#include "ag_string.h"
#include "ag_word.h"

struct st_node;

#ifdef __cplusplus
extern "C" {
#endif

/* Next token of ctx's input: its code (0 at the end of input, else a
 * terminal code 257..804); its value is stored through value. */
int yylex(struct st_node** value, st_context* ctx);

/* Parameter block {quoted-identifier flag, input word; output word}: sets
 * the process-wide flag (non-zero = double-quoted text is an identifier)
 * for every token scanned after the call; copies word 1 into word 2. */
void scanner_setup(ag_word* block);

/* The process-wide quoted-identifier flag (0 or 1). */
int scanner_quoted_identifier(void);

/* 1 when the token code belongs to the reserved words, else 0. */
int token_is_reserved(int code);

/* Token of double-quoted text (quotes included) while quoted identifiers
 * are on: QUOTED_IDENTIFIER, a non-reserved keyword's token or ERROR_TK. */
int quoted_text_token(const char* text, int length);

/* Content of quoted text (outer quotes dropped, doubled quotes single,
 * backslash-newline pairs dropped) as a string in the context's pool. */
st_String_const* literal_unquote(const char* text, int length);

/* First position at or after p that is neither a blank nor inside a
 * comment; end when there is none. */
const char* skip_blanks_and_comments(const char* p, const char* end);

/* 1 when the text at p spells keyword (upper case, length bytes; its first
 * byte already matched) and the byte after it cannot continue a word or
 * make a label. The caller guarantees p + length does not pass the input
 * end (the NUL there is readable). */
int word_ends_at_delimiter(const char* keyword, const char* p, int length);

#ifdef __cplusplus
}
#endif

#endif

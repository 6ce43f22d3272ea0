#ifndef QEN_ANALYZER_KEYWORD_H
#define QEN_ANALYZER_KEYWORD_H

/* Recognition of T-SQL keywords. Pure functions over constant tables:
 * case-insensitive (ASCII), allocation-free, the text need not be
 * NUL-terminated. */

#ifdef __cplusplus
extern "C" {
#endif

/* Token code of a word: the keyword's terminal, TK_NAME for any other
 * name, TK_ERROR_TK for text that cannot be a name (over 255 bytes, or
 * a first byte that is neither a letter nor "#" nor "_"). */
int keyword_lookup(const char* text, int length);

/* 1 when text[1 .. length-1], upper-cased, equals keyword[1 .. length-1];
 * index 0 is the caller's business. A length below 2 gives 1. */
int keyword_match(const char* keyword, const char* text, int length);

#ifdef __cplusplus
}
#endif

#endif

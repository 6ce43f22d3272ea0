#ifndef QEN_AG_CONTEXT_H
#define QEN_AG_CONTEXT_H

/* The per-thread parsing context, levelled logging and the fatal exits. */
#include <stdarg.h>
#include "ag_word.h"
#include "smp.h"
#include "spv.h"

#define AG_LOG_DEBUG 1
#define AG_LOG_INFO 2
#define AG_LOG_WARN 3
#define AG_LOG_ERROR 4
#define AG_LOG_FATAL 5

typedef void (*context_log_callback)(int level, const char *text);

/* Owned by the host; the library never writes the two host slots. */
typedef struct st_context {
  smp_memory_pool *pool;           /* everything of the current input */
  const char *input_start;         /* first byte of the input */
  const char *input_end;           /* byte after the input; holds a NUL */
  const char *cursor;              /* the scanner's position */
  int lexeme_count;
  spv *line_table;                 /* ints: -1, offsets of the newlines, len, len + 1 */
  context_log_callback log_callback;
  int log_level;                   /* messages of level m are produced when m >= this */
  spv *lexeme_start;               /* ints: end offset of lexeme i at i + 1 */
  spv *lexeme_kind;                /* ints: kind of lexeme i at i, -1 blanks/comments */
  void *envn;                      /* host slot: analysis environment */
  void *file_state;                /* host slot: file state */
} st_context;

/* ---- library start ---- */
/* 0, or the error number of the step that failed (22, 12). */
QEN_AG_EXTERN_C QEN_AG_API int lib_one_time_init(void);
QEN_AG_EXTERN_C QEN_AG_API void lib_one_time_done(void);

/* ---- context ---- */
/* New pool, default log callback and level, empty lexeme tables; makes the
 * context current. 0, or 22 when the thread slot cannot be set. */
QEN_AG_EXTERN_C QEN_AG_API int context_init(st_context *context);
/* Makes a context ready for its next input, as context_done then
 * context_init would, but keeps its pool and the pool's memory for reuse:
 * a host reading many small inputs on one thread resets instead of
 * rebuilding. Without a pool it is context_init. 0, or 22. */
QEN_AG_EXTERN_C QEN_AG_API int context_reset(st_context *context);
/* 0, or -1 no pool, -2 no path, -3 open, -4 seek, -5 close, -6 size,
 * -8 no memory, -9 short read. */
QEN_AG_EXTERN_C QEN_AG_API int context_set_file_input(st_context *context, const char *path);
/* 1 when [begin, end) was accepted (end points at a NUL, end > begin), 0
 * otherwise. The text is not copied. */
QEN_AG_EXTERN_C QEN_AG_API int context_set_string_input(st_context *context, const char *begin,
                                                        const char *end);
/* Destroys the pool and clears the pool field; the context stays current. */
QEN_AG_EXTERN_C QEN_AG_API void context_done(st_context *context);

/* First word of a record (for a rope-string leaf: its characters). */
QEN_AG_EXTERN_C QEN_AG_API void *internal_data_ptr_fcs(const void *record);

/* ---- current context ---- */
QEN_AG_EXTERN_C QEN_AG_API st_context *context_get(void);
QEN_AG_EXTERN_C QEN_AG_API st_context *context_getnull(void);
/* 0, or 22 when the slot cannot be set. */
QEN_AG_EXTERN_C QEN_AG_API int context_remember(st_context *context);

/* ---- logging (none of these filters by level) ---- */
QEN_AG_EXTERN_C QEN_AG_API void context_set_default_log(context_log_callback callback, int level);
QEN_AG_EXTERN_C QEN_AG_API int context_get_default_loglevel(void);
QEN_AG_EXTERN_C QEN_AG_API void context_debug(const char *format, ...)
    __attribute__((format(printf, 1, 2)));
QEN_AG_EXTERN_C QEN_AG_API void context_info(const char *format, ...)
    __attribute__((format(printf, 1, 2)));
QEN_AG_EXTERN_C QEN_AG_API void context_warn(const char *format, ...)
    __attribute__((format(printf, 1, 2)));
QEN_AG_EXTERN_C QEN_AG_API void context_error(const char *format, ...)
    __attribute__((format(printf, 1, 2)));
/* Logs at level 5; does not stop the program. */
QEN_AG_EXTERN_C QEN_AG_API void context_fatal(const char *format, ...)
    __attribute__((format(printf, 1, 2)));
QEN_AG_EXTERN_C QEN_AG_API void context_log(int level, const char *format, ...)
    __attribute__((format(printf, 2, 3)));

/* Logs "Assertion failure: File <file>, line <line>: <b>: <a>." at level 5,
 * then aborts. */
QEN_AG_EXTERN_C QEN_AG_API void context_assert(const char *a, const char *file, const char *b,
                                               int line) __attribute__((noreturn));
/* Writes "fatal error: file <file>, line <line>\n" to standard output and
 * exits with status 1. */
QEN_AG_EXTERN_C QEN_AG_API void report_prod_assert(const char *file, int line)
    __attribute__((noreturn));

/* ---- line table readers (no exported symbols) ---- */
/* Number of lines of the current input (newlines + 1); 0 without a table. */
static inline int context_line_count(const st_context *c) {
  return (c && c->line_table) ? spv_elem_count(c->line_table) - 2 : 0;
}
/* Offset of the first byte of line n (from 1), -1 when n is out of range. */
static inline int context_line_begin(const st_context *c, int n) {
  if (n < 1 || n > context_line_count(c)) return -1;
  return *int_spv_elem_addr(c->line_table, (unsigned)(n - 1)) + 1;
}
/* Offset just behind line n (its newline or the input end), -1 when out of range. */
static inline int context_line_end(const st_context *c, int n) {
  if (n < 1 || n > context_line_count(c)) return -1;
  return *int_spv_elem_addr(c->line_table, (unsigned)n);
}

#endif

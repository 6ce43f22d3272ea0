#ifndef QEN_ANALYZER_H
#define QEN_ANALYZER_H

/* qen_analyzer: analysis of Transact-SQL batches into an XML feature report.
 *
 * Host calling order: analyzer_init once; ver_init for the target version;
 * file_state_new per input file; per line file_state_line (and
 * file_state_mark at the first line of a batch); per batch set up the
 * thread's qen_ag context over the batch text, store the file state and then
 * the envn_new result in the context's host slots, analyzer_parse, envn_done,
 * context_done; finally file_state_free. */

#include <stdio.h>

#if defined(QEN_ANALYZER_BUILD)
#define QEN_ANALYZER_API __attribute__((visibility("default")))
#else
#define QEN_ANALYZER_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

struct st_context;
typedef struct file_state file_state;
typedef struct envn envn;

/* One-time set-up of the grammar tables; later calls do nothing. */
QEN_ANALYZER_API void analyzer_init(void);

/* Version triple {major, minor, patch}. ver_init returns 0 when the whole
 * text was read, 1 when it stopped early; NULL gives the default target. */
QEN_ANALYZER_API int ver_init(int v[3], const char* text);
QEN_ANALYZER_API int ver_less(const int a[3], const int b[3]);

/* Per-input-file state. id and in_path are kept, not copied: they must live
 * until file_state_free. style 1 writes the XML report: the <source> and
 * <file> heads, every object with its features and syntax errors, and the
 * file's counters. Any other style writes only the <syntax-error>
 * elements, bare, without a head, objects, features or counters: an input
 * without syntax errors writes nothing.
 *
 * A report path (out_path) is followed through symbolic links; NULL, after
 * a message on standard error that names the reason ("Cannot open '...' for
 * write: ..."), when it exists and is not a regular file, when it is the
 * input, when it is neither empty nor a whole report ("<source>" ...
 * "</source>"), when its folder takes no new file, or when its lock cannot
 * be taken.
 *
 * What a host may hold at once: any number of file states, in one thread or
 * several, each with a report of its own. A thread never waits for a report
 * it holds itself (refused at once). A thread that holds no other report
 * waits for its turn, however long: it cannot close a circle of waits. A
 * thread that holds another report and would close a circle (the holder of
 * out_path waits, directly or through others, for a report of this thread,
 * or of this process when the holder is in another) is refused with
 * EDEADLK's reason instead of waiting for ever: threads of one process are
 * checked by the library, processes by the kernel's record locks. Those
 * locks belong to the process, and closing any descriptor of a report file
 * drops them: while a file state is open, the host must not open and close
 * its report file itself. */
QEN_ANALYZER_API file_state* file_state_new(const char* id, const char* in_path,
                                            const char* out_path, int escaped, int style);
QEN_ANALYZER_API void file_state_free(file_state* fs);
/* file_state_free that tells whether it all went well: 0 when the input was
 * read to its end and every byte of the report was written, 1 otherwise
 * (after a message on standard error). A report file is written beside its
 * path and renamed into place only when complete, so on failure an existing
 * report is left as it was. From file_state_new to here the report file is
 * locked: file states of other threads and processes that extend the same
 * report wait in file_state_new for their turn. */
QEN_ANALYZER_API int file_state_close(file_state* fs);
/* For a signal handler that ends the process: removes what the report files
 * of the process's open file states have not completed (the new report
 * written beside each, and a report file that did not exist before), so
 * that every report is left as it was. Async-signal-safe; the file states
 * cannot complete their reports afterwards. */
QEN_ANALYZER_API void file_state_discard_unfinished(void);
QEN_ANALYZER_API void file_state_show_lines(file_state* fs, int on);
/* The next input line, its line end included, NUL-terminated; NULL at the
 * end of the input. Lines have no length limit and may hold NUL bytes (see
 * file_state_line_length). A line ends at LF, CR LF or a lone CR; a lone CR
 * is handed on as LF. */
QEN_ANALYZER_API char* file_state_line(file_state* fs);
QEN_ANALYZER_API size_t file_state_line_length(file_state* fs);
/* Syntax errors written into the report so far. */
QEN_ANALYZER_API int file_state_syntax_errors(file_state* fs);
/* Has fn called with data for each syntax error as it is written into the
 * report (in every report style): the error's line in the input file,
 * counting from 1 as its <line-in-file> does, and the message of its <text>
 * element, length bytes without a terminating NUL. NULL fn stops the calls;
 * a NULL fs is ignored. */
typedef void (*file_state_syntax_error_fn)(void* data, int line, const char* message, size_t length);
QEN_ANALYZER_API void file_state_on_syntax_error(file_state* fs, file_state_syntax_error_fn fn,
                                                 void* data);
QEN_ANALYZER_API int file_state_lineno(file_state* fs);
QEN_ANALYZER_API void file_state_mark(file_state* fs);
QEN_ANALYZER_API int file_state_get_mark(file_state* fs);
QEN_ANALYZER_API FILE* file_state_output(file_state* fs);
QEN_ANALYZER_API int file_state_style(file_state* fs);
QEN_ANALYZER_API int file_state_is_escaped(file_state* fs);
QEN_ANALYZER_API void file_state_inc(file_state* fs, int code);
QEN_ANALYZER_API void file_state_dec(file_state* fs, int code);
QEN_ANALYZER_API void file_state_add(file_state* fs, int code, int n);
QEN_ANALYZER_API void file_state_set(file_state* fs, int code, int n);
QEN_ANALYZER_API void file_state_reset(file_state* fs, int code);
QEN_ANALYZER_API int file_state_get(file_state* fs, int code);
QEN_ANALYZER_API const char* file_state_statement_id(file_state* fs);

/* Analysis environment of one batch, allocated in the context's pool; NULL
 * when ctx has no pool or no file state, or version is NULL. */
QEN_ANALYZER_API envn* envn_new(struct st_context* ctx, const int version[3]);
QEN_ANALYZER_API int envn_line_in_file(envn* env, int lexeme);
QEN_ANALYZER_API void envn_syntax_error(envn* env, int lexeme);
QEN_ANALYZER_API void envn_done(envn* env);

/* Parses and evaluates the context's input: 0 accepted, 1 aborted,
 * 2 parser stack exhausted, 3 the batch nests too deeply for the evaluation
 * (after a message on standard error; what was found before stays in the
 * report), -1 refused: analyzer_init was not called, ctx is NULL or has no
 * pool, or its analysis-environment slot is empty.
 *
 * Threads: each thread analyses with its own context and file state; the
 * statement-id buffer and the quoted-identifier switch belong to the calling
 * thread. */
QEN_ANALYZER_API int analyzer_parse(struct st_context* ctx, int quoted_identifier);

#ifdef __cplusplus
}
#endif

#endif

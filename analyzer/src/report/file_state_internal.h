#ifndef QEN_FILE_STATE_INTERNAL_H
#define QEN_FILE_STATE_INTERNAL_H

#include <stdint.h>
#include <stdio.h>
#include <sys/types.h>

#include "qen_analyzer.h"

/* Counter codes of the file state; 0 to 16 are printed at the end of a file,
 * the others are scratch counters of the evaluation. */
enum fs_counter {
  FS_STATEMENT_COUNT = 0,
  FS_TABLE_COUNT = 1,
  FS_VIEW_COUNT = 2,
  FS_PROCEDURE_COUNT = 3,
  FS_TRIGGER_COUNT = 4,
  FS_TRIGGER_STATEMENT_COUNT = 5,
  FS_RULE_COUNT = 6,
  FS_DEFAULT_COUNT = 7,
  FS_SCHEMA_COUNT = 8,
  FS_DATABASE_COUNT = 9,
  FS_INDEX_COUNT = 10,
  FS_MAX_PROCEDURE_SIZE = 11,
  FS_MIN_PROCEDURE_SIZE = 12,
  FS_PROCEDURE_STATEMENT_COUNT = 13,
  FS_MAX_BATCH_SIZE = 14,
  FS_MIN_BATCH_SIZE = 15,
  FS_BATCH_STATEMENT_COUNT = 16,
  FS_PRINTED_COUNTERS = 17,
  FS_LOOP_COUNT = 18,       /* loops, counted before and after the body */
  FS_LABEL_COUNT = 19,      /* label definitions */
  FS_EXPRESSION_COUNT = 20, /* operators, calls, column and global references */
  FS_CALL_COUNT = 21,       /* function calls and global-variable references */
  FS_COUNTERS = 22
};

/* First size of the line buffer; it grows to hold the longest line. */
enum { FS_LINE_BUFFER = 32768 };

struct file_state {
  const char* identifier;
  FILE* report;
  int style;
  const char* input_path;
  int32_t path_hash;
  int escaped;
  int show_lines;
  FILE* input;
  int lines_read;
  int batch_mark;
  char* line;
  int32_t counters[FS_COUNTERS];
  /* The report path as given, for the diagnostics. */
  char* report_path;
  /* Bytes of the last line read and the size of its buffer. */
  size_t line_length;
  size_t line_capacity;
  /* The line buffer could not grow; the input counts as unread. */
  int line_failed;
  /* errno of the failed read of the input, and of the report's first
   * failed write (0 when none). */
  int read_errno;
  int write_errno;
  /* Syntax errors written into the report, and the host's function told
   * of each of them. */
  int syntax_errors;
  file_state_syntax_error_fn on_syntax_error;
  void* on_syntax_error_data;
  /* A report file is written under temp_path beside target_path (the report
   * path with its symbolic links followed) and renamed over it only once
   * every byte is written. Both NULL for standard output. */
  char* temp_path;
  char* target_path;
  struct pending_file* temp_pending;
  /* From opening the report file to the rename, the file at target_path is
   * held locked through lock_fd (-1 when none), so that runs extending it
   * take turns; placeholder when it did not exist and this run made it. */
  int lock_fd;
  dev_t report_dev;
  ino_t report_ino;
  struct pending_file* placeholder;
  /* Size of the file that temp_path replaces. */
  long long old_report_size;
  /* Where the report stood when the running batch began and the counters at
   * that moment, so that a fatal exit can keep just the finished batches. */
  int in_batch;
  long long batch_report_pos;
  int32_t batch_counters[FS_COUNTERS];
  /* Open file states, for the fatal exit, and the process that opened
   * it. */
  int owner;
  file_state* next_open;
  file_state* prev_open;
};

/* Hash of a text: h = h * 31 + byte (signed), 32-bit wrap-around. */
int32_t path_hash(int32_t start, const char* text, int length);

/* Where the new text of an existing report file fd of size bytes goes, in
 * *keep: in front of its closing "</source>". 1 for a whole report
 * ("<source>" ... "</source>", white space around, a UTF-8 byte order mark
 * and an XML declaration before), 0 for an empty file
 * (*keep 0), -1 for any other file, -2 when it cannot be read (errno). */
int report_find_source_end(int fd, long long size, long long* keep);

/* Length of the well-formed UTF-8 sequence at p (at most n bytes), 0 when
 * the bytes there do not form one. */
size_t report_utf8_sequence(const unsigned char* p, size_t n);

/* Batch bookkeeping of envn_new and envn_done: remembers where the report
 * stands, and forgets it when the batch is closed. */
void file_state_batch_begin(file_state* fs);
void file_state_batch_end(file_state* fs);

/* Writes a text inside a CDATA section, splitting every "]]>" so that the
 * section cannot end early; C0 control bytes other than tab, newline and
 * carriage return, and bytes that are not well-formed UTF-8, are left out. */
void report_write_cdata_text(FILE* out, const char* text, size_t length);

#endif

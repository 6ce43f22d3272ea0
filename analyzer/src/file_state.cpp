// Per-input-file state, the version triple, and the report's head and tail.
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include "file_state_internal.h"

namespace {

const char* const kCounterNames[FS_PRINTED_COUNTERS] = {
    "StatementCount",   "TableCount",          "ViewCount",
    "ProcedureCount",   "TriggerCount",        "TriggerStatementCount",
    "RuleCount",        "DefaultCount",        "SchemaCount",
    "DatabaseCount",    "IndexCount",          "MaxProcedureSize",
    "MinProcedureSize", "ProcedureStatementCount", "MaxBatchSize",
    "MinBatchSize",     "BatchStatementCount"};

// Process-wide buffer of file_state_statement_id: the next call overwrites it.
char g_statement_id[32];

bool valid_code(int code) { return code >= 0 && code < FS_COUNTERS; }

// Reads one run of decimal digits; the value saturates at INT_MAX however
// long the run is. Returns the number of digits read.
int read_digit_run(const char* p, int* value) {
  long long v = 0;
  int n = 0;
  while (p[n] >= '0' && p[n] <= '9') {
    if (v <= INT_MAX) v = v * 10 + (p[n] - '0');
    ++n;
  }
  *value = v > INT_MAX ? INT_MAX : (int)v;
  return n;
}

}  // namespace

int32_t path_hash(int32_t start, const char* text, int length) {
  uint32_t h = (uint32_t)start;
  if (text == nullptr || length <= 0) return start;
  for (int i = 0; i < length; ++i) h = h * 31u + (uint32_t)(int32_t)(signed char)text[i];
  return (int32_t)h;
}

int report_seek_source_end(file_state* fs) {
  static const char kPattern[] = "</source>";
  const int pattern_length = (int)sizeof(kPattern) - 1;
  FILE* f = fs->report;
  // Only a regular file has an end to search back from; a device such as a
  // terminal or /dev/zero could be read forever.
  struct stat st;
  if (fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
  if (fseek(f, -12L, SEEK_END) != 0) return 0;
  long pos = ftell(f);
  long match_start = -1;
  int matched = 0;
  int c;
  while ((c = getc(f)) != EOF) {
    if (c == (unsigned char)kPattern[matched]) {
      if (matched == 0) match_start = pos;
      ++matched;
    } else if (c == '<') {
      // A broken partial match may itself start a new one ("<</source>").
      match_start = pos;
      matched = 1;
    } else {
      matched = 0;
    }
    ++pos;
    if (matched == pattern_length) {
      fseek(f, match_start, SEEK_SET);
      return 1;
    }
  }
  fseek(f, 0L, SEEK_END);
  return 0;
}

namespace {

// Length of the well-formed UTF-8 sequence at p (at most n bytes), 0 when
// the bytes there do not form one.
size_t utf8_sequence(const unsigned char* p, size_t n) {
  size_t length;
  unsigned char lo = 0x80, hi = 0xBF;
  if (p[0] >= 0xC2 && p[0] <= 0xDF) {
    length = 2;
  } else if (p[0] >= 0xE0 && p[0] <= 0xEF) {
    length = 3;
    if (p[0] == 0xE0) lo = 0xA0;
    if (p[0] == 0xED) hi = 0x9F;  // no surrogates
  } else if (p[0] >= 0xF0 && p[0] <= 0xF4) {
    length = 4;
    if (p[0] == 0xF0) lo = 0x90;
    if (p[0] == 0xF4) hi = 0x8F;
  } else {
    return 0;
  }
  if (n < length || p[1] < lo || p[1] > hi) return 0;
  for (size_t i = 2; i < length; ++i)
    if (p[i] < 0x80 || p[i] > 0xBF) return 0;
  return length;
}

}  // namespace

void report_write_cdata_text(FILE* out, const char* text, size_t length) {
  const unsigned char* p = (const unsigned char*)text;
  int brackets = 0;  // closing brackets just written
  for (size_t i = 0; i < length; ++i) {
    unsigned char c = p[i];
    if (c >= 0x80) {
      // Paths and identifiers may be UTF-8; other high bytes cannot stand
      // in the document.
      size_t n = utf8_sequence(p + i, length - i);
      if (n > 0) fwrite(p + i, 1, n, out);
      i += n > 0 ? n - 1 : 0;
      brackets = 0;
      continue;
    }
    if (c < 32 && c != '\t' && c != '\n' && c != '\r') continue;
    if (c == '>' && brackets >= 2) fputs("]]><![CDATA[", out);
    brackets = c == ']' ? brackets + 1 : 0;
    putc(c, out);
  }
}

extern "C" {

int ver_init(int v[3], const char* text) {
  if (text == nullptr) {
    v[0] = 2147483643;
    v[1] = 0;
    v[2] = 0;
    return 0;
  }
  v[0] = v[1] = v[2] = 0;
  const char* p = text;
  for (int part = 0; part < 3; ++part) {
    int value = 0;
    int n = read_digit_run(p, &value);
    if (n == 0) return 1;
    char after = p[n];
    if (after != '\0' && (after != '.' || part == 2)) return 1;
    v[part] = value;
    if (after == '\0') return 0;
    p += n + 1;
  }
  return 0;
}

int ver_less(const int a[3], const int b[3]) {
  for (int i = 0; i < 3; ++i) {
    if (a[i] != b[i]) return a[i] < b[i] ? 1 : 0;
  }
  return 0;
}

file_state* file_state_new(const char* id, const char* in_path, const char* out_path,
                           int escaped, int style) {
  file_state* fs = (file_state*)calloc(1, sizeof(file_state));
  if (fs == nullptr) return nullptr;
  if (in_path == nullptr || in_path[0] == '\0') {
    fs->input = stdin;
  } else {
    fs->input = fopen(in_path, "r");
    if (fs->input == nullptr) {
      fprintf(stderr, "Unable to open '%s' for read\n", in_path);
      free(fs);
      return nullptr;
    }
  }
  int found_source_end = 0;
  if (out_path == nullptr || out_path[0] == '\0') {
    fs->report = stdout;
  } else {
    fs->report = fopen(out_path, "r+");
    if (fs->report != nullptr) {
      found_source_end = report_seek_source_end(fs);
    } else {
      fs->report = fopen(out_path, "w");
    }
    if (fs->report == nullptr) {
      fprintf(stderr, "Cannot open '%s' for write\n", out_path);
      if (fs->input != stdin) fclose(fs->input);
      free(fs);
      return nullptr;
    }
    fs->report_path = strdup(out_path);
  }
  fs->escaped = escaped;
  fs->identifier = id;
  fs->input_path = in_path;
  fs->path_hash = path_hash(0, in_path, in_path ? (int)strlen(in_path) : 0);
  fs->style = style;
  if (style == 1) {
    if (!found_source_end) fputs("<source>\n", fs->report);
    fputs("  <file>\n    <name><![CDATA[", fs->report);
    if (in_path) report_write_cdata_text(fs->report, in_path, strlen(in_path));
    fputs("]]></name>\n    <id><![CDATA[", fs->report);
    if (id) report_write_cdata_text(fs->report, id, strlen(id));
    fputs("]]></id>\n    <objects>\n", fs->report);
  }
  return fs;
}

void file_state_free(file_state* fs) {
  if (fs == nullptr) return;
  if (fs->input != nullptr && fs->input != stdin) fclose(fs->input);
  if (fs->report != nullptr) {
    FILE* out = fs->report;
    if (fs->style == 1) {
      fputs("    </objects>\n    <counters>\n", out);
      for (int code = 0; code < FS_PRINTED_COUNTERS; ++code) {
        fprintf(out,
                "      <counter>\n        <name>%s</name>\n        <value>%d</value>\n"
                "      </counter>\n",
                kCounterNames[code], (int)fs->counters[code]);
      }
      fputs("    </counters>\n  </file>\n</source>\n", out);
    }
    bool failed = fflush(out) != 0 || ferror(out) != 0;
    if (out != stdout && fclose(out) != 0) failed = true;
    if (failed) {
      fprintf(stderr, "Report '%s' could not be written completely\n",
              fs->report_path ? fs->report_path : "<standard output>");
    }
  }
  free(fs->report_path);
  free(fs);
}

void file_state_show_lines(file_state* fs, int on) { fs->show_lines = on != 0; }

char* file_state_line(file_state* fs) {
  if (fgets(fs->line, FS_LINE_BUFFER, fs->input) == nullptr) return nullptr;
  fs->lines_read += 1;
  return fs->line;
}

int file_state_lineno(file_state* fs) { return fs->lines_read; }

void file_state_mark(file_state* fs) {
  fs->batch_mark = fs->lines_read == 0 ? 1 : fs->lines_read;
  if (fs->show_lines) fprintf(stderr, "Analyzing batch starting at line #%d\n", fs->batch_mark);
}

int file_state_get_mark(file_state* fs) { return fs->batch_mark; }
FILE* file_state_output(file_state* fs) { return fs->report; }
int file_state_style(file_state* fs) { return fs->style; }
int file_state_is_escaped(file_state* fs) { return fs->escaped; }

void file_state_inc(file_state* fs, int code) {
  if (valid_code(code)) fs->counters[code] = (int32_t)((uint32_t)fs->counters[code] + 1u);
}

void file_state_dec(file_state* fs, int code) {
  if (valid_code(code)) fs->counters[code] = (int32_t)((uint32_t)fs->counters[code] - 1u);
}

void file_state_add(file_state* fs, int code, int n) {
  if (valid_code(code))
    fs->counters[code] = (int32_t)((uint32_t)fs->counters[code] + (uint32_t)n);
}

void file_state_set(file_state* fs, int code, int n) {
  if (valid_code(code)) fs->counters[code] = n;
}

void file_state_reset(file_state* fs, int code) {
  if (valid_code(code)) fs->counters[code] = 0;
}

int file_state_get(file_state* fs, int code) {
  return valid_code(code) ? fs->counters[code] : 0;
}

const char* file_state_statement_id(file_state* fs) {
  snprintf(g_statement_id, sizeof g_statement_id, "%d-%d", (int)fs->path_hash,
           (int)fs->counters[FS_STATEMENT_COUNT]);
  return g_statement_id;
}

}  // extern "C"

// The <object>, <feature> and <syntax-error> elements of the report. The
// analysis environment they are written for is in environment.cpp.
#include <string.h>

#include <string>

#include "analysis_runtime.h"
#include "analyzer_internal.h"

namespace {

// The record's bytes as one contiguous run (flattened in the context's pool
// when it is a concatenation).
const char* flat_bytes(st_String_const* s, int* length) {
  *length = 0;
  if (s == nullptr || s->length <= 0) return "";
  if (s->right != nullptr) {
    st_context* ctx = context_get();
    s = string_flatten_const(ctx ? ctx->pool : nullptr, s);
    if (s == nullptr || s->length <= 0 || s->right != nullptr) return "";
  }
  *length = s->length;
  return s->left ? (const char*)s->left : "";
}

// Collects the bytes of a context line and hands them to the stream in
// blocks: a line may be megabytes long.
class block_writer {
 public:
  explicit block_writer(FILE* out) : out_(out) {}
  ~block_writer() { flush(); }
  void put(char c) {
    if (used_ == sizeof buffer_) flush();
    buffer_[used_++] = c;
  }
  void put(const char* text) {
    while (*text) put(*text++);
  }

 private:
  void flush() {
    if (used_ > 0) fwrite(buffer_, 1, used_, out_);
    used_ = 0;
  }
  FILE* out_;
  size_t used_ = 0;
  char buffer_[4096];
};

// A value written outside CDATA (object names, feature tags and names carry
// names from the source): the markup characters are written as entities,
// well-formed UTF-8 is kept, any other byte above 127 is taken as the
// Latin-1 character of that code (so names that differ in such bytes stay
// different), and the control bytes escaped writing drops are left out.
void write_xml_text(FILE* out, st_String_const* s) {
  int length;
  const char* p = flat_bytes(s, &length);
  for (int i = 0; i < length; ++i) {
    unsigned char c = (unsigned char)p[i];
    if (c >= 0x80) {
      size_t n = report_utf8_sequence((const unsigned char*)p + i, (size_t)(length - i));
      if (n > 0) {
        fwrite(p + i, 1, n, out);
        i += (int)n - 1;
      } else {
        putc(0xC0 | (c >> 6), out);
        putc(0x80 | (c & 0x3F), out);
      }
      continue;
    }
    if (!char_is_printable(c)) continue;
    switch (c) {
      case '&': fputs("&amp;", out); break;
      case '<': fputs("&lt;", out); break;
      case '>': fputs("&gt;", out); break;
      default: putc(c, out); break;
    }
  }
}

// Hands put the bytes that escaped writing keeps, in order: control bytes
// left out, each single quote doubled when escaped is set.
template <class Put>
void for_each_escaped_byte(st_String_const* s, int escaped, Put put) {
  int length;
  const char* p = flat_bytes(s, &length);
  for (int i = 0; i < length; ++i) {
    char c = p[i];
    if (!char_is_printable((unsigned char)c)) continue;
    put(c);
    if (c == '\'' && escaped) put(c);
  }
}

// Text inside a CDATA section: every "]]>" is split across two sections.
class cdata_writer {
 public:
  explicit cdata_writer(FILE* out) : w_(out) {}
  void put(char c) {
    if (c == '>' && brackets_ >= 2) w_.put("]]><![CDATA[");
    brackets_ = c == ']' ? brackets_ + 1 : 0;
    w_.put(c);
  }

 private:
  block_writer w_;
  int brackets_ = 0;
};

int lexeme_line(int lexeme) {
  ag_word b[3] = {ag_from_int(lexeme), 0, 0};
  lexeme_line_and_col_(b);
  return ag_int(b[1]);
}

}  // namespace

extern "C" {

int char_is_printable(int c) {
  signed char s = (signed char)c;
  return s == '\t' || s == '\n' || s >= 32;
}

const char* object_kind_name(int kind) {
  switch (kind) {
    case OBJ_GLOBAL: return "global";
    case OBJ_BATCH: return "batch";
    case OBJ_TABLE: return "table";
    case OBJ_VIEW: return "view";
    case OBJ_DEFAULT: return "default";
    case OBJ_RULE: return "rule";
    case OBJ_FUNCTION: return "function";
    case OBJ_BUILTIN: return "builtin";
    case OBJ_PROCEDURE: return "procedure";
    case OBJ_TRIGGER: return "trigger";
    case OBJ_STATEMENT: return "statement";
    case OBJ_DATATYPE: return "datatype";
    case OBJ_INDEX: return "index";
    default: return "unknown";
  }
}

st_String_const* lexeme_line_text(int lexeme) {
  ag_word b[2] = {ag_from_int(lexeme_line(lexeme)), 0};
  line_text_(b);
  return ag_str(b[1]);
}

void report_write_escaped(st_String_const* s, FILE* out, int escaped) {
  cdata_writer w(out);
  for_each_escaped_byte(s, escaped, [&](char c) { w.put(c); });
}

void report_object_header(envn* env) {
  file_state* fs = env->fs;
  if (env->elements == 0 && file_state_style(fs) == 1) {
    FILE* out = file_state_output(fs);
    fprintf(out, "      <object>\n        <line-in-file>%d</line-in-file>\n        <type>%s</type>\n"
                 "        <name>",
            (int)env->object_first_line, object_kind_name(env->object_kind));
    write_xml_text(out, env->object_name);
    fputs("</name>\n        <flags>\n", out);
  }
  env->elements += 1;
}

int envn_line_in_file(envn* env, int lexeme) {
  return file_state_get_mark(env->fs) + lexeme_line(lexeme) - 1;
}

void envn_syntax_error(envn* env, int lexeme) {
  if (env == nullptr) return;
  file_state* fs = env->fs;
  int line = envn_line_in_file(env, lexeme);
  report_object_header(env);
  fs->syntax_errors += 1;
  FILE* out = file_state_output(fs);
  int escaped = file_state_is_escaped(fs);
  const char* q = escaped ? "'" : "";
  ag_word b[2] = {ag_from_int(lexeme), 0};
  lexeme_text_(b);
  // The message of the <text> element, as its CDATA section reads; the
  // host is told the same.
  std::string message = std::string("Incorrect syntax near '") + q;
  for_each_escaped_byte(ag_str(b[1]), escaped, [&](char c) { message += c; });
  message += '\'';
  message += q;
  fprintf(out,
          "          <syntax-error>\n            <line-in-file>%d</line-in-file>\n"
          "            <line-in-object>%d</line-in-object>\n"
          "            <text><![CDATA[",
          line, line - (int)env->object_first_line);
  {
    cdata_writer w(out);
    for (char c : message) w.put(c);
  }
  fputs("]]></text>\n            <context><![CDATA[", out);
  report_write_escaped(lexeme_line_text(lexeme), out, escaped);
  fputs("]]></context>\n          </syntax-error>\n", out);
  if (fs->on_syntax_error != nullptr)
    fs->on_syntax_error(fs->on_syntax_error_data, line, message.data(), message.size());
}

void yyerror(st_context* ctx, const char* message) {
  (void)message;
  if (ctx == nullptr) return;
  int lexeme = ctx->lexeme_count - 1;
  envn_syntax_error((envn*)ctx->envn, lexeme < 0 ? 0 : lexeme);
}

void report_feature(ag_word* b) {
  envn* env = (envn*)b[0];
  file_state* fs = env->fs;
  int lexeme = ag_int(b[2]);
  int line = envn_line_in_file(env, lexeme);
  report_object_header(env);
  b[5] = b[0];
  if (file_state_style(fs) != 1) return;
  FILE* out = file_state_output(fs);
  fputs("          <feature>\n            <id>", out);
  write_xml_text(out, ag_str(b[1]));
  fprintf(out,
          "</id>\n            <statement-id>%s</statement-id>\n"
          "            <line-in-file>%d</line-in-file>\n"
          "            <line-in-object>%d</line-in-object>\n            <context><![CDATA[",
          file_state_statement_id(fs), line, line - (int)env->object_first_line + 1);
  report_write_escaped(lexeme_line_text(lexeme), out, file_state_is_escaped(fs));
  fprintf(out, "]]></context>\n            <object>\n              <type>%s</type>\n"
               "              <name>",
          object_kind_name(ag_int(b[3])));
  write_xml_text(out, ag_str(b[4]));
  fputs("</name>\n            </object>\n          </feature>\n", out);
}

void report_feature_if(ag_word* b) {
  if (ag_int(b[0]) != 0) report_feature(b + 1);
  b[6] = b[1];
}

void debug_error_report(ag_word* b) {
  // A check on the user's SQL that does not go into the report (the report
  // may be standard output): the problem and its line, on standard error.
  if (ag_int(b[0]) != 0) {
    envn* env = (envn*)b[1];
    int length;
    const char* text = flat_bytes(ag_str(b[3]), &length);
    if (env != nullptr)
      fprintf(stderr, "analyzer: line %d: %.*s\n", envn_line_in_file(env, (int)ag_int(b[4])), length,
              text);
    else
      fprintf(stderr, "analyzer: %.*s\n", length, text);
  }
  b[5] = b[1];
}

}  // extern "C"

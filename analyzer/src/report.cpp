// The analysis environment, its objects, and the <object>, <feature> and
// <syntax-error> elements of the report.
#include <string.h>

#include "analysis_runtime.h"
#include "analyzer_internal.h"

st_String_const g_batch_name = {"[batch]", nullptr, 7};

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
// names from the source): the bytes escaped writing drops are left out, and
// the markup characters are written as entities.
void write_xml_text(FILE* out, st_String_const* s) {
  int length;
  const char* p = flat_bytes(s, &length);
  for (int i = 0; i < length; ++i) {
    char c = p[i];
    if (!char_is_printable((unsigned char)c)) continue;
    switch (c) {
      case '&': fputs("&amp;", out); break;
      case '<': fputs("&lt;", out); break;
      case '>': fputs("&gt;", out); break;
      default: putc(c, out); break;
    }
  }
}

// The environment's name table is keyed by string content.
int name_table_compare(void* a, void* b) {
  return string_nteq((st_String_const*)a, (st_String_const*)b);
}
unsigned name_table_hash(void* item) { return string_hash((st_String_const*)item); }

int lexeme_line(int lexeme) {
  ag_word b[3] = {ag_from_int(lexeme), 0, 0};
  lexeme_line_and_col_(b);
  return ag_int(b[1]);
}

void fold_size(file_state* fs, int32_t n, int sum, int max, int min) {
  file_state_add(fs, sum, n);
  if (n > file_state_get(fs, max)) file_state_set(fs, max, n);
  // An object without statements says nothing about the smallest size.
  if (n > 0 && (file_state_get(fs, min) == 0 || n < file_state_get(fs, min)))
    file_state_set(fs, min, n);
}

}  // namespace

extern "C" {

int char_is_printable(int c) {
  signed char s = (signed char)c;
  return s == '\t' || s == '\n' || s >= 32;
}

const char* object_kind_name(int kind) {
  switch (kind) {
    case 0: return "global";
    case 1: return "batch";
    case 2: return "table";
    case 3: return "view";
    case 4: return "default";
    case 5: return "rule";
    case 6: return "function";
    case 7: return "builtin";
    case 8: return "procedure";
    case 9: return "trigger";
    case 10: return "statement";
    case 11: return "datatype";
    case 13: return "index";
    default: return "unknown";
  }
}

st_String_const* lexeme_line_text(int lexeme) {
  ag_word b[2] = {ag_from_int(lexeme_line(lexeme)), 0};
  line_text_(b);
  return ag_str(b[1]);
}

void report_write_escaped(st_String_const* s, FILE* out, int escaped) {
  int length;
  const char* p = flat_bytes(s, &length);
  int brackets = 0;  // the text stands in CDATA: split every "]]>"
  block_writer w(out);
  for (int i = 0; i < length; ++i) {
    char c = p[i];
    if (!char_is_printable((unsigned char)c)) continue;
    if (c == '>' && brackets >= 2) w.put("]]><![CDATA[");
    brackets = c == ']' ? brackets + 1 : 0;
    w.put(c);
    if (c == '\'' && escaped) w.put('\'');
  }
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

void envn_end_object(envn* env) {
  if (env == nullptr) return;
  file_state* fs = env->fs;
  if (env->elements > 0 && file_state_style(fs) == 1)
    fputs("        </flags>\n      </object>\n", file_state_output(fs));
  int32_t n = env->statements;
  switch (env->object_kind) {
    case 8:
      fold_size(fs, n, FS_PROCEDURE_STATEMENT_COUNT, FS_MAX_PROCEDURE_SIZE, FS_MIN_PROCEDURE_SIZE);
      break;
    case 1:
      fold_size(fs, n, FS_BATCH_STATEMENT_COUNT, FS_MAX_BATCH_SIZE, FS_MIN_BATCH_SIZE);
      break;
    case 9:
      file_state_add(fs, FS_TRIGGER_STATEMENT_COUNT, n);
      break;
    default:
      break;
  }
  env->object_name = &g_batch_name;
  env->object_kind = 1;
  env->object_first_line = file_state_get_mark(fs);
  env->statements = 0;
  env->elements = 0;
}

envn* envn_new(st_context* ctx, const int version[3]) {
  if (ctx == nullptr || ctx->pool == nullptr || ctx->file_state == nullptr) return nullptr;
  envn* env = (envn*)smp_alloc(ctx->pool, sizeof(envn));
  if (env == nullptr) return nullptr;
  memset(env, 0, sizeof *env);
  env->target = version;
  env->fs = (file_state*)ctx->file_state;
  env->names = ght_create(ctx, name_table_compare, name_table_hash);
  env->object_name = &g_batch_name;
  env->object_kind = 1;
  env->object_first_line = file_state_get_mark(env->fs);
  env->stack = &g_stmt_bottom;
  return env;
}

int envn_line_in_file(envn* env, int lexeme) {
  return file_state_get_mark(env->fs) + lexeme_line(lexeme) - 1;
}

void envn_syntax_error(envn* env, int lexeme) {
  if (env == nullptr) return;
  file_state* fs = env->fs;
  int line = envn_line_in_file(env, lexeme);
  report_object_header(env);
  FILE* out = file_state_output(fs);
  int escaped = file_state_is_escaped(fs);
  const char* q = escaped ? "'" : "";
  fprintf(out,
          "          <syntax-error>\n            <line-in-file>%d</line-in-file>\n"
          "            <line-in-object>%d</line-in-object>\n"
          "            <text><![CDATA[Incorrect syntax near '%s",
          line, line - (int)env->object_first_line, q);
  ag_word b[2] = {ag_from_int(lexeme), 0};
  lexeme_text_(b);
  report_write_escaped(ag_str(b[1]), out, escaped);
  fprintf(out, "'%s]]></text>\n            <context><![CDATA[", q);
  report_write_escaped(lexeme_line_text(lexeme), out, escaped);
  fputs("]]></context>\n          </syntax-error>\n", out);
}

void envn_done(envn* env) { envn_end_object(env); }

void yyerror(st_context* ctx, const char* message) {
  (void)message;
  if (ctx == nullptr) return;
  int lexeme = ctx->lexeme_count - 1;
  envn_syntax_error((envn*)ctx->envn, lexeme < 0 ? 0 : lexeme);
}

// ---- parameter-block operations ----

void envn_current(ag_word* b) {
  st_context* ctx = context_get();
  b[1] = ag_from_ptr(ctx ? ctx->envn : nullptr);
}

void envn_kind_is(ag_word* b) {
  envn* env = (envn*)b[0];
  b[2] = env->object_kind == ag_int(b[1]) ? 1 : 0;
}

void envn_object_name(ag_word* b) { b[1] = ag_from_ptr(((envn*)b[0])->object_name); }

void envn_set_object_name(ag_word* b) {
  envn* env = (envn*)b[0];
  env->object_name = ag_str(b[1]);
  b[2] = b[0];
}

void envn_begin_object(ag_word* b) {
  envn* env = (envn*)b[0];
  envn_end_object(env);
  env->object_name = ag_str(b[3]);
  env->object_kind = ag_int(b[2]);
  env->object_first_line = envn_line_in_file(env, ag_int(b[1]));
  b[4] = b[0];
}

void envn_begin_object_if(ag_word* b) {
  if (ag_int(b[0]) != 0) {
    envn_begin_object(b + 1);
  }
  b[5] = b[1];
}

void envn_end_object_if(ag_word* b) {
  if (ag_int(b[0]) != 0) envn_end_object((envn*)b[1]);
  b[2] = b[1];
}

void envn_end_object_clear(ag_word* b) {
  envn_end_object((envn*)b[0]);
  b[1] = 0;
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
  // A diagnostic for the developer; it must never reach a report that may be
  // standard output.
  if (ag_int(b[0]) != 0) fprintf(stderr, "analyzer: internal check %d failed\n", (int)ag_int(b[2]));
  b[5] = b[1];
}

}  // extern "C"

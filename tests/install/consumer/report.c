/* A C host of the analyzer: the whole input as one batch, the report on
 * standard output, each syntax error also on standard error.
 *
 *   report_c INPUT */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "ag_context.h"
#include "qen_analyzer.h"

static void on_syntax_error(void* data, int line, const char* message, size_t length) {
  fprintf(stderr, "%s:%d: %.*s\n", (const char*)data, line, (int)length, message);
}

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  analyzer_init();
  int version[3];
  ver_init(version, NULL);
  file_state* fs = file_state_new(argv[1], argv[1], NULL, 0, 1);
  if (fs == NULL || lib_one_time_init() != 0) return 2;
  file_state_on_syntax_error(fs, on_syntax_error, argv[1]);
  size_t size = 0;
  char* text = NULL;
  char* line;
  while ((line = file_state_line(fs)) != NULL) {
    size_t n = file_state_line_length(fs);
    if (size == 0) file_state_mark(fs);
    char* grown = realloc(text, size + n + 1);
    if (grown == NULL) return 2;
    text = grown;
    memcpy(text + size, line, n);
    size += n;
    text[size] = '\0';
  }
  int parsed = 0;
  if (size > 0) {
    st_context ctx;
    memset(&ctx, 0, sizeof ctx);
    if (context_init(&ctx) != 0 || !context_set_string_input(&ctx, text, text + size)) return 2;
    ctx.file_state = fs;
    envn* env = envn_new(&ctx, version);
    ctx.envn = env;
    parsed = analyzer_parse(&ctx, 0);
    envn_done(env);
    context_done(&ctx);
  }
  free(text);
  if (file_state_close(fs) != 0) return 2;
  return parsed == 0 ? 0 : 1;
}

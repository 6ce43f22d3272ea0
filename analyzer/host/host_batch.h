// The host's side of one batch: the "go" separator and the calling sequence
// that analyses a batch text. Shared by qen_host, the tests that drive the
// analyzer in process and the fuzz targets, so all of them call it alike.
#pragma once

#include <string.h>

#include <string>

#include "ag_context.h"
#include "qen_analyzer.h"

namespace qen_host {

// analyse_batch's result when the batch could not even be set up.
constexpr int kBatchNotStarted = -2;

// A batch separator: "go" in any case, blanks around it allowed.
inline bool is_go_line(const char* line, size_t length) {
  const char* p = line;
  const char* end = line + length;
  while (p < end && (*p == ' ' || *p == '\t')) ++p;
  if (end - p < 2 || (p[0] | 0x20) != 'g' || (p[1] | 0x20) != 'o') return false;
  p += 2;
  while (p < end && (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n')) ++p;
  return p == end;
}

// One batch: a fresh context over the text (which must outlive the call and
// may hold NUL bytes: its length counts), the file state and a new
// environment in the context's host slots, the parse, the environment and
// context released. What analyzer_parse returned, or kBatchNotStarted.
inline int analyse_batch(file_state* fs, const std::string& text, const int version[3], int quoted = 0) {
  st_context ctx;
  memset(&ctx, 0, sizeof ctx);
  if (context_init(&ctx) != 0) return kBatchNotStarted;
  int result = kBatchNotStarted;
  if (context_set_string_input(&ctx, text.data(), text.data() + text.size())) {
    ctx.file_state = fs;
    envn* env = envn_new(&ctx, version);
    ctx.envn = env;
    if (env != nullptr) {
      result = analyzer_parse(&ctx, quoted);
      envn_done(env);
    }
  }
  context_done(&ctx);
  return result;
}

}  // namespace qen_host

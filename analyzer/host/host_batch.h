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

// The parsing context a host keeps from batch to batch on one thread: the
// first batch sets it up, every later one resets it (its pool keeps its
// memory, which a small batch then uses without asking the heap), and it
// is ended with the object.
class thread_context {
 public:
  thread_context() { memset(&ctx_, 0, sizeof ctx_); }
  ~thread_context() {
    if (ctx_.pool != nullptr) context_done(&ctx_);
  }
  thread_context(const thread_context&) = delete;
  thread_context& operator=(const thread_context&) = delete;

  // The context, ready for the next batch (context_reset sets up a context
  // that has no pool yet); null when it cannot be set up.
  st_context* next() { return context_reset(&ctx_) == 0 ? &ctx_ : nullptr; }

 private:
  st_context ctx_;
};

// One batch: the context made ready over the text (which must outlive the
// call and may hold NUL bytes: its length counts), the file state and a new
// environment in the context's host slots, the parse, the environment
// closed. What analyzer_parse returned, or kBatchNotStarted.
inline int analyse_batch(thread_context& context, file_state* fs, const std::string& text, const int version[3],
                         int quoted = 0) {
  st_context* ctx = context.next();
  if (ctx == nullptr) return kBatchNotStarted;
  int result = kBatchNotStarted;
  if (context_set_string_input(ctx, text.data(), text.data() + text.size())) {
    ctx->file_state = fs;
    envn* env = envn_new(ctx, version);
    ctx->envn = env;
    if (env != nullptr) {
      result = analyzer_parse(ctx, quoted);
      envn_done(env);
    }
  }
  return result;
}

// One batch in a context of its own, released afterwards.
inline int analyse_batch(file_state* fs, const std::string& text, const int version[3], int quoted = 0) {
  thread_context context;
  return analyse_batch(context, fs, text, version, quoted);
}

}  // namespace qen_host

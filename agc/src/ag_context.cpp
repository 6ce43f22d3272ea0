// Library start, the parsing context, its input and its line table.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#include "ag_thread.h"
#include "smp_internal.h"

namespace qen_ag {
namespace {

constexpr unsigned kTableRequest = 4096;

int *int_at(spv *v, int i) { return int_spv_elem_addr(v, static_cast<unsigned>(i)); }

// Reads a whole file into a freeable block of the pool. The result code is
// the byte count, or -1 no pool, -2 no path, -3 open, -4 seek, -5 close,
// -6 size, -8 no memory, -9 short read.
char *read_whole_file(smp_memory_pool *pool, const char *path, long *code) {
  if (!pool) { *code = -1; return nullptr; }
  if (!path) { *code = -2; return nullptr; }
  FILE *f = std::fopen(path, "r");
  if (!f) { *code = -3; return nullptr; }
  char *buffer = nullptr;
  long result = 0;
  long size = 0;
  if (std::fseek(f, 0, SEEK_END) != 0) {
    result = -4;
  } else if ((size = std::ftell(f)) < 0) {
    result = -6;
  } else if (std::fseek(f, 0, SEEK_SET) != 0) {
    result = -4;
  } else if (size >= 0x7FFFFF37L) {
    // Larger than any pool block: report it instead of ending the process.
    result = -8;
  } else if (!(buffer = static_cast<char *>(smp_malloc_soft(pool, static_cast<unsigned>(size) + 1)))) {
    result = -8;
  } else {
    std::size_t got = std::fread(buffer, 1, static_cast<std::size_t>(size) + 1, f);
    if (got != static_cast<std::size_t>(size)) {
      result = -9;
    } else {
      buffer[got] = '\0';
      result = static_cast<long>(got);
    }
  }
  if (std::fclose(f) != 0) result = -5;
  if (result < 0) {
    if (buffer) smp_free(pool, buffer);
    buffer = nullptr;
  }
  *code = result;
  return buffer;
}

void build_line_table(st_context *c) {
  int len = static_cast<int>(c->input_end - c->input_start);
  spv *t = spv_create(c->pool, 4, kTableRequest);
  c->line_table = t;
  spv_set_elem_count(t, 10);
  *int_at(t, 0) = -1;
  int k = 1;
  int capacity = 10;
  const char *p = c->input_start;
  const char *end = c->input_end;
  while (p < end) {
    const char *nl = static_cast<const char *>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
    if (!nl) break;
    *int_at(t, k) = static_cast<int>(nl - c->input_start);
    ++k;
    if (k >= capacity) {
      capacity += 490;
      spv_set_elem_count(t, capacity);
    }
    p = nl + 1;
  }
  spv_set_elem_count(t, k + 2);
  *int_at(t, k) = len;
  *int_at(t, k + 1) = len + 1;
}

spv *new_lexeme_table(smp_memory_pool *pool, int first) {
  spv *v = spv_create(pool, 4, kTableRequest);
  spv_set_elem_count(v, 10);
  *int_at(v, 0) = first;
  return v;
}

// A context with a pool made ready for its first input: the default log,
// no input, empty lexeme tables; made current. 0, or 22.
int context_start(st_context *context) {
  context->log_level = context_get_default_loglevel();
  context->log_callback = default_log_callback();
  context->input_start = nullptr;
  context->input_end = nullptr;
  context->cursor = nullptr;
  context->lexeme_start = new_lexeme_table(context->pool, 0);
  context->lexeme_kind = new_lexeme_table(context->pool, -1);
  return context_remember(context);
}

}  // namespace
}  // namespace qen_ag

using namespace qen_ag;

extern "C" {

QEN_AG_API int lib_one_time_init(void) {
  int r = chunk_registry_init();
  if (r != 0) return r;
  if (key_created()) return 0;
  r = key_create();
  if (r != 0) {
    errno = r;
    std::perror("from pthread_key_create");
  }
  return r;
}

QEN_AG_API void lib_one_time_done(void) {}

QEN_AG_API int context_init(st_context *context) {
  if (!context) return 22;
  context->pool = smp_create();
  return context_start(context);
}

QEN_AG_API int context_reset(st_context *context) {
  if (!context) return 22;
  if (!context->pool) return context_init(context);
  smp_reset(context->pool);
  context->lexeme_count = 0;
  context->line_table = nullptr;
  return context_start(context);
}

QEN_AG_API int context_set_file_input(st_context *context, const char *path) {
  if (!context) return -1;
  long code = 0;
  char *buffer = read_whole_file(context->pool, path, &code);
  context->input_start = buffer;
  if (!buffer) return static_cast<int>(code);
  smp_set_input_size(context->pool, static_cast<int>(code));
  context->cursor = buffer;
  context->input_end = buffer + code;
  context->lexeme_count = 0;
  build_line_table(context);
  return 0;
}

QEN_AG_API int context_set_string_input(st_context *context, const char *begin, const char *end) {
  if (!context || !begin || !end || *end != '\0' || end - begin <= 0 || end - begin > INT_MAX - 1)
    return 0;
  if (!context->pool) return 0;
  context->input_start = context->cursor = begin;
  context->input_end = end;
  context->lexeme_count = 0;
  build_line_table(context);
  return 1;
}

QEN_AG_API void context_done(st_context *context) {
  if (!context) return;
  smp_destroy(context->pool);
  context->pool = nullptr;
}

QEN_AG_API void *internal_data_ptr_fcs(const void *record) {
  return record ? *static_cast<void *const *>(record) : nullptr;
}

}  // extern "C"

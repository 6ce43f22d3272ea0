// The analysis environment of a batch: its current object, opened and
// closed as the evaluation walks the tree, and the sizes it folds into the
// file's counters when an object ends.
#include <string.h>

#include "analysis_runtime.h"
#include "analyzer_internal.h"

st_String_const g_batch_name = {"[batch]", nullptr, 7};

namespace {

// The environment's name table is keyed by string content.
int name_table_compare(void* a, void* b) {
  return string_nteq((st_String_const*)a, (st_String_const*)b);
}
unsigned name_table_hash(void* item) { return string_hash((st_String_const*)item); }

void fold_size(file_state* fs, int32_t n, int sum, int max, int min) {
  file_state_add(fs, sum, n);
  if (n > file_state_get(fs, max)) file_state_set(fs, max, n);
  // An object without statements says nothing about the smallest size.
  if (n > 0 && (file_state_get(fs, min) == 0 || n < file_state_get(fs, min)))
    file_state_set(fs, min, n);
}

}  // namespace

extern "C" {

void envn_end_object(envn* env) {
  if (env == nullptr) return;
  file_state* fs = env->fs;
  if (env->elements > 0 && file_state_style(fs) == 1)
    fputs("        </flags>\n      </object>\n", file_state_output(fs));
  int32_t n = env->statements;
  switch (env->object_kind) {
    case OBJ_PROCEDURE:
      fold_size(fs, n, FS_PROCEDURE_STATEMENT_COUNT, FS_MAX_PROCEDURE_SIZE, FS_MIN_PROCEDURE_SIZE);
      break;
    case OBJ_BATCH:
      fold_size(fs, n, FS_BATCH_STATEMENT_COUNT, FS_MAX_BATCH_SIZE, FS_MIN_BATCH_SIZE);
      break;
    case OBJ_TRIGGER:
      file_state_add(fs, FS_TRIGGER_STATEMENT_COUNT, n);
      break;
    default:
      break;
  }
  env->object_name = &g_batch_name;
  env->object_kind = OBJ_BATCH;
  env->object_first_line = file_state_get_mark(fs);
  env->statements = 0;
  env->elements = 0;
}

envn* envn_new(st_context* ctx, const int version[3]) {
  if (ctx == nullptr || ctx->pool == nullptr || ctx->file_state == nullptr || version == nullptr)
    return nullptr;
  envn* env = (envn*)smp_alloc(ctx->pool, sizeof(envn));
  if (env == nullptr) return nullptr;
  memset(env, 0, sizeof *env);
  env->target = version;
  env->fs = (file_state*)ctx->file_state;
  env->names = ght_create(ctx, name_table_compare, name_table_hash);
  env->object_name = &g_batch_name;
  env->object_kind = OBJ_BATCH;
  env->object_first_line = file_state_get_mark(env->fs);
  env->stack = &g_stmt_bottom;
  file_state_batch_begin(env->fs);
  return env;
}

void envn_done(envn* env) {
  if (env == nullptr) return;
  envn_end_object(env);
  file_state_batch_end(env->fs);
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

}  // extern "C"

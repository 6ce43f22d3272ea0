// Version-gated tables: global variables, system procedures and system
// tables, each with the first target version that has it.
#include "analysis_runtime.h"
#include "analyzer_internal.h"
#include "global_var.h"

namespace {

struct version3 {
  int v[3];
};

struct table_row {
  st_String_const name;
  version3 version;
};

#define REC(text) {text, nullptr, (int32_t)(sizeof(text) - 1)}
#define V(major, minor, patch) {{major, minor, patch}}
#define NEVER {{VERSION_NEVER_MAJOR, 0, 0}}

// Row i holds the variable whose identifier global_var_lookup gives as i;
// row 0 stands for an unknown name.
const table_row kGlobalVars[] = {
    {REC("*INVALID*"), NEVER},
#define GLOBAL_VAR(name, since) {REC("@@" #name), since},
#include "global_vars.def"
#undef GLOBAL_VAR
};
const table_row kSystemProcedures[] = {
#define SYSTEM_PROCEDURE(name, since) {REC(#name), since},
#include "system_procedures.def"
#undef SYSTEM_PROCEDURE
};
const table_row kSystemTables[] = {
#define SYSTEM_TABLE(name, since) {REC(#name), since},
#include "system_tables.def"
#undef SYSTEM_TABLE
};

#undef REC
#undef V
#undef NEVER

st_String_const kMaster = {"master", nullptr, 6};
st_String_const kSybsystemprocs = {"sybsystemprocs", nullptr, 14};
st_String_const kDbo = {"dbo", nullptr, 3};

inline int32_t I(const ag_word* b, int i) { return ag_int(b[i]); }

bool is_empty(st_String_const* s) { return s == nullptr || s->length <= 0; }

bool target_before(const envn* env, const int version[3]) {
  return ver_less(env->target, version) != 0;
}

bool owner_is_dbo_or_empty(const name_rec* r) {
  return is_empty(r->part[1]) || string_icmp(r->part[1], &kDbo) == 0;
}

// The table's row for this name that the target lacks, or nullptr.
const table_row* unsupported_row(const envn* env, const table_row* rows, int count,
                                 st_String_const* name) {
  if (name == nullptr) return nullptr;
  // A flat name of another length cannot match: spares the comparison for
  // most rows.
  const int length = name->right != nullptr ? -1 : name->length > 0 ? name->length : 0;
  for (int i = 0; i < count; ++i) {
    if ((length < 0 || rows[i].name.length == length) && target_before(env, rows[i].version.v) &&
        string_icmp(const_cast<st_String_const*>(&rows[i].name), name) == 0)
      return &rows[i];
  }
  return nullptr;
}

}  // namespace

int analyzer_table_size(int table) {
  switch (table) {
    case 0: return (int)(sizeof kGlobalVars / sizeof kGlobalVars[0]);
    case 1: return (int)(sizeof kSystemProcedures / sizeof kSystemProcedures[0]);
    case 2: return (int)(sizeof kSystemTables / sizeof kSystemTables[0]);
    default: return 0;
  }
}

extern "C" {

void ver_before(ag_word* b) {
  const envn* env = (const envn*)b[0];
  int version[3] = {I(b, 1), I(b, 2), I(b, 3)};
  b[4] = target_before(env, version) ? 1 : 0;
}

void global_var_unsupported(ag_word* b) {
  const envn* env = (const envn*)b[0];
  ag_word t[2] = {b[1], 0};
  lexeme_text_(t);
  st_String_const* text = ag_str(t[1]);
  st_String_const* name = C_empty_string;
  int32_t unsupported = 0;
  if (text != nullptr && text->length >= 2 && text->right == nullptr) {
    const table_row& row =
        kGlobalVars[global_var_lookup((const char*)text->left + 2, text->length - 2)];
    if (target_before(env, row.version.v)) {
      name = const_cast<st_String_const*>(&row.name);
      unsupported = 1;
    }
  }
  b[2] = ag_from_ptr(name);
  b[3] = unsupported;
}

void sysproc_unsupported(ag_word* b) {
  const envn* env = (const envn*)b[0];
  const name_rec* r = (const name_rec*)b[1];
  int32_t result = 0;
  bool database_ok = is_empty(r->part[0]) || string_icmp(r->part[0], &kMaster) == 0 ||
                     string_icmp(r->part[0], &kSybsystemprocs) == 0;
  if (database_ok && owner_is_dbo_or_empty(r) &&
      unsupported_row(env, kSystemProcedures, analyzer_table_size(1), r->part[2]) != nullptr)
    result = 1;
  b[2] = result;
}

void systable_unsupported(ag_word* b) {
  const envn* env = (const envn*)b[0];
  const name_rec* r = (const name_rec*)b[1];
  if (owner_is_dbo_or_empty(r) &&
      unsupported_row(env, kSystemTables, analyzer_table_size(2), r->part[2]) != nullptr) {
    b[2] = ag_from_ptr(r->part[2]);
    b[3] = 1;
  } else {
    b[2] = ag_from_ptr(C_empty_string);
    b[3] = 0;
  }
}

}  // extern "C"

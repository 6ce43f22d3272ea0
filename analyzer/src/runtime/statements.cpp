// Statement records (the picture of the query being walked) and name records.
#include <string.h>

#include "analysis_runtime.h"
#include "analyzer_internal.h"

stmt_rec g_stmt_bottom = {0, STMT_KIND_BOTTOM, CLAUSE_NONE, 3, {0}, 0, 0, 0, 0, 0,
                          nullptr, {nullptr}, 0, nullptr, &g_stmt_bottom};

spv* analyzer_pointer_vector(void);

namespace {

inline int32_t I(const ag_word* b, int i) { return ag_int(b[i]); }

name_rec* new_name(void) {
  name_rec* r = (name_rec*)smp_alloc(context_get()->pool, sizeof(name_rec));
  memset(r, 0, sizeof *r);
  return r;
}

bool is_empty(st_String_const* s) { return s == nullptr || s->length <= 0; }

stmt_rec* open_record(envn* env) {
  stmt_rec* top = env->stack;
  return top == &g_stmt_bottom || top == nullptr ? nullptr : top;
}

name_rec* vector_name(spv* v, int i) { return *(name_rec**)spv_elem_addr(v, (unsigned)i); }

void warn_no_statement(envn* env, int lexeme) {
  ag_word t[2] = {ag_from_int(lexeme), 0};
  lexeme_text_(t);
  st_String_const* s = ag_str(t[1]);
  int length = s && s->length > 0 ? s->length : 0;
  fprintf(stderr, "WARNING: Attempt to set clause to %.*s on NULL statement (line %d)\n", length,
          length ? (const char*)s->left : "", envn_line_in_file(env, lexeme));
}

}  // namespace

int name_record_compare(const name_rec* a, const name_rec* b) {
  for (int i = 0; i < 3; ++i) {
    if (a->part[i] == nullptr || b->part[i] == nullptr) continue;
    int r = string_icmp(a->part[i], b->part[i]);
    if (r != 0) return r;
  }
  return 0;
}

int name_record4_compare(const name_rec* a, const name_rec* b) {
  int r = name_record_compare(a, b);
  if (r != 0) return r;
  if (a->part[3] == nullptr || b->part[3] == nullptr) return 0;
  return string_icmp(a->part[3], b->part[3]);
}

void spv_append_lazy(spv** slot, void* value) {
  if (*slot == nullptr) *slot = analyzer_pointer_vector();
  spv* v = *slot;
  int n = spv_elem_count(v);
  spv_set_elem_count(v, n + 1);
  *(void**)spv_elem_addr(v, (unsigned)n) = value;
}

void name_list_add_unique(spv** slot, name_rec* record) {
  if (*slot != nullptr) {
    int n = spv_elem_count(*slot);
    for (int i = 0; i < n; ++i)
      if (name_record_compare(vector_name(*slot, i), record) == 0) return;
  }
  spv_append_lazy(slot, record);
}

extern "C" {

void name_record4_new(ag_word* b) {
  name_rec* r = new_name();
  for (int i = 0; i < 4; ++i) r->part[i] = ag_str(b[i]);
  b[4] = ag_from_ptr(r);
}

void name_record(ag_word* b) {
  name_rec* r = new_name();
  for (int i = 0; i < 3; ++i) r->part[i] = ag_str(b[i]);
  b[3] = ag_from_ptr(r);
}

void name_from_parts(ag_word* b) {
  spv* v = (spv*)b[0];
  int n = v ? spv_elem_count(v) : 0;
  name_rec* r = new_name();
  for (int i = 0; i < 3; ++i) {
    int index = n - 3 + i;  // part 2 is the last element
    r->part[i] = index >= 0 ? ag_str(*(ag_word*)spv_elem_addr(v, (unsigned)index)) : C_empty_string;
  }
  b[1] = ag_from_ptr(r);
}

void name_record_object(ag_word* b) { b[1] = ag_from_ptr(((name_rec*)b[0])->part[2]); }

void name_record_text(ag_word* b) {
  name_rec* r = (name_rec*)b[0];
  st_String_const* text = r->part[2];
  if (!is_empty(r->part[0])) {
    text = cat_str_const(r->part[0],
                         cat_str_const(C_dot, cat_str_const(r->part[1], cat_str_const(C_dot, text))));
  } else if (!is_empty(r->part[1])) {
    text = cat_str_const(r->part[1], cat_str_const(C_dot, text));
  }
  b[1] = ag_from_ptr(text);
}

void stmt_record(ag_word* b) {
  envn* env = (envn*)b[0];
  stmt_rec* r = env->spare;
  if (r != nullptr)
    env->spare = r->parent;
  else
    r = (stmt_rec*)smp_alloc(context_get()->pool, sizeof(stmt_rec));
  memset(r, 0, sizeof *r);
  r->id = I(b, 2);
  r->kind = I(b, 1);
  r->clause = CLAUSE_NONE;
  r->clause2 = 3;
  r->parent = env->stack;
  if (r->kind == 0 || r->kind == 1) {
    r->clause = CLAUSE_SELECT;
    r->clause_lexeme = r->id;
    r->clause_bits = 1;
  }
  env->stack = r;
  b[3] = b[0];
}

void stmt_pop(ag_word* b) {
  envn* env = (envn*)b[0];
  stmt_rec* r = env->stack;
  env->stack = r->parent;
  // Nothing reads a closed record again: its name lists go back to the pool
  // for the next statement, so a batch of many statements needs room for
  // the lists of the open ones only.
  for (spv*& names : r->names) {
    if (names == nullptr) continue;
    spv_destroy(names);
    names = nullptr;
  }
  if (r->outer_join != nullptr) {
    spv_destroy(r->outer_join);
    r->outer_join = nullptr;
  }
  // The record itself serves the next statement: a batch of many
  // statements keeps as many records as it nests.
  if (r != &g_stmt_bottom) {
    r->parent = env->spare;
    env->spare = r;
  }
  b[1] = b[0];
}

void stmt_current_id(ag_word* b) { b[1] = ag_from_int(((envn*)b[0])->stack->id); }

void stmt_kind_is(ag_word* b) { b[2] = ((envn*)b[0])->stack->kind == I(b, 1) ? 1 : 0; }

void stmt_kind_open(ag_word* b) {
  int32_t result = 0;
  for (stmt_rec* r = ((envn*)b[0])->stack; r != nullptr && r != &g_stmt_bottom; r = r->parent) {
    if (r->kind == I(b, 1)) {
      result = 1;
      break;
    }
  }
  b[2] = result;
}

/* Sets one of the open record's two clause slots {envn; clause; lexeme}:
 * its clause, the clause's lexeme, and the clause's bit among those seen. */
static void set_clause_slot(ag_word* b, int32_t stmt_rec::*clause, int32_t stmt_rec::*lexeme, int32_t stmt_rec::*bits) {
  envn* env = (envn*)b[0];
  stmt_rec* r = open_record(env);
  if (r == nullptr) {
    warn_no_statement(env, I(b, 2));
  } else {
    r->*clause = I(b, 1);
    r->*lexeme = I(b, 2);
    r->*bits |= (int32_t)(1u << ((uint32_t)(r->*clause) & 31u));
  }
  b[3] = b[0];
}

void stmt_set_clause(ag_word* b) {
  set_clause_slot(b, &stmt_rec::clause, &stmt_rec::clause_lexeme, &stmt_rec::clause_bits);
}

void stmt_set_clause2(ag_word* b) {
  set_clause_slot(b, &stmt_rec::clause2, &stmt_rec::clause2_lexeme, &stmt_rec::clause2_bits);
}

void stmt_reset_tail(ag_word* b) {
  stmt_rec* r = open_record((envn*)b[0]);
  if (r != nullptr) {
    r->clause2 = 3;
    r->outer_join = nullptr;
  }
  b[1] = b[0];
}

void stmt_has_clause(ag_word* b) {
  stmt_rec* r = ((envn*)b[0])->stack;
  b[2] = (r->clause_bits & (int32_t)(1u << ((uint32_t)I(b, 1) & 31u))) != 0 ? 1 : 0;
}

void stmt_clause_lexeme(ag_word* b) { b[1] = ag_from_int(((envn*)b[0])->stack->clause_lexeme); }

void stmt_add_item(ag_word* b) {
  stmt_rec* r = open_record((envn*)b[0]);
  name_rec* item = (name_rec*)b[1];
  if (r != nullptr && item != nullptr) {
    item->link = 0;
    if (r->items == nullptr) {
      r->items = item;
    } else {
      name_rec* last = r->items;
      while (last->link != 0) last = (name_rec*)last->link;
      last->link = ag_from_ptr(item);
    }
  }
  b[2] = b[0];
}

void stmt_add_name(ag_word* b) {
  stmt_rec* r = open_record((envn*)b[0]);
  name_rec* name = (name_rec*)b[1];
  b[2] = b[0];
  if (r == nullptr || name == nullptr || r->clause == CLAUSE_NONE) return;
  if (r->clause < 0 || r->clause >= STMT_CLAUSES) return;
  if (r->nesting[NEST_AGGREGATE] > 0) name->link = 1;
  spv_append_lazy(&r->names[r->clause], name);
  if (r->clause2 == 2) name_list_add_unique(&r->outer_join, name);
}

void stmt_nesting_inc(ag_word* b) {
  stmt_rec* r = open_record((envn*)b[0]);
  int32_t k = I(b, 1);
  if (r != nullptr && k >= 0 && k < STMT_NESTING) {
    if (k == NEST_AGGREGATE) r->aggregate_seen = 1;
    r->nesting[k] += 1;
  }
  b[2] = b[0];
}

void stmt_nesting_dec(ag_word* b) {
  stmt_rec* r = open_record((envn*)b[0]);
  int32_t k = I(b, 1);
  if (r != nullptr && k >= 0 && k < STMT_NESTING) r->nesting[k] -= 1;
  b[2] = b[0];
}

void stmt_nonansi_groupby(ag_word* b) {
  stmt_rec* r = ((envn*)b[0])->stack;
  spv* select = r->names[CLAUSE_SELECT];
  spv* group = r->names[CLAUSE_GROUP_BY];
  int32_t result = 0;
  bool has_group_by = (r->clause_bits & (1 << CLAUSE_GROUP_BY)) != 0 && group != nullptr;
  if (r->aggregate_seen != 0 || has_group_by) {
    int ns = select ? spv_elem_count(select) : 0;
    int ng = group ? spv_elem_count(group) : 0;
    for (int i = 0; i < ns && result == 0; ++i) {
      name_rec* item = vector_name(select, i);
      if (item->link == 1) continue;
      bool found = false;
      for (int j = 0; j < ng && !found; ++j)
        found = name_record4_compare(item, vector_name(group, j)) == 0;
      if (!found) result = 1;
    }
  }
  b[1] = result;
}

void stmt_many_items(ag_word* b) {
  stmt_rec* r = open_record((envn*)b[0]);
  b[1] = r != nullptr && r->outer_join != nullptr && spv_elem_count(r->outer_join) > 2 ? 1 : 0;
}

}  // extern "C"

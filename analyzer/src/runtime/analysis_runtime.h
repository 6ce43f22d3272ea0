#ifndef QEN_ANALYSIS_RUNTIME_H
#define QEN_ANALYSIS_RUNTIME_H

/* The analysis run-time that the generated evaluation code calls.
 *
 * Parameter-block operations take one pointer to consecutive ag_word slots:
 * the inputs first, then the result slot(s), which the operation fills.
 * Integers keep their 32-bit meaning in a slot; strings are
 * st_String_const pointers; the analysis environment is an envn pointer.
 * Where an operation takes the environment first it hands it back in its
 * last result slot. */

#include <stdio.h>

#include "ag_imports.h"
#include "qen_analyzer.h"

typedef struct name_rec name_rec;
typedef struct stmt_rec stmt_rec;

#ifdef __cplusplus
extern "C" {
#endif

/* ---- parser hook ---- */
void yyerror(st_context* ctx, const char* message);

/* ---- environment and objects ---- */
void envn_current(ag_word* b);          /* {ignored; envn} */
void envn_kind_is(ag_word* b);          /* {envn, kind; flag} */
void envn_object_name(ag_word* b);      /* {envn; name} */
void envn_set_object_name(ag_word* b);  /* {envn, name; envn} */
void envn_begin_object(ag_word* b);     /* {envn, lexeme, kind, name; envn} */
void envn_begin_object_if(ag_word* b);  /* {flag, envn, lexeme, kind, name; envn} */
void envn_end_object_if(ag_word* b);    /* {flag, envn; envn} */
void envn_end_object_clear(ag_word* b); /* {envn; 0} */
void envn_end_object(envn* env);

/* ---- report writers ---- */
void report_feature(ag_word* b);    /* {envn, tag, lexeme, kind, name; envn} */
void report_feature_if(ag_word* b); /* {flag, envn, tag, lexeme, kind, name; envn} */
void report_object_header(envn* env);
const char* object_kind_name(int kind);
st_String_const* lexeme_line_text(int lexeme);
void report_write_escaped(st_String_const* s, FILE* out, int escaped);
int char_is_printable(int c);
/* {flag, envn, error number, message, lexeme; envn}: a line on standard
 * error when the flag is set. */
void debug_error_report(ag_word* b);

/* ---- counting ---- */
void envn_count(ag_word* b);         /* {envn, code; envn} code 0 also counts a statement */
void envn_count_if(ag_word* b);      /* {flag, envn, code; envn} */
void envn_count_only(ag_word* b);    /* {envn, code; envn} */
void envn_count2(ag_word* b);        /* {envn, code1, code2; envn} */
void envn_counter_reset(ag_word* b); /* {envn, code; envn} */
void envn_counter_take(ag_word* b);  /* {envn, code, clear; value} */

/* ---- version-gated lookups ---- */
void ver_before(ag_word* b);             /* {envn, major, minor, patch; flag} */
void global_var_unsupported(ag_word* b); /* {envn, lexeme; name, flag} */
void sysproc_unsupported(ag_word* b);    /* {envn, name record; flag} */
void systable_unsupported(ag_word* b);   /* {envn, name record; text, flag} */

/* ---- names and vectors ---- */
void name_record(ag_word* b);        /* {database, owner, object; record} */
void name_record4_new(ag_word* b);   /* {p0, p1, p2, p3; record} */
void name_from_parts(ag_word* b);    /* {vector; record} */
void name_record_object(ag_word* b); /* {record; object part} */
void name_record_text(ag_word* b);   /* {record; dotted text} */
void string_concat3(ag_word* b);     /* {a, b, c; a b c} */
void spv_new(ag_word* b);            /* {ignored; vector of ag_word} */
void spv_push(ag_word* b);           /* {vector, value; vector} */
void spv_push_front(ag_word* b);     /* {vector, value; vector} */
void spv_count(ag_word* b);          /* {vector; count} */

/* ---- statement records ---- */
void stmt_record(ag_word* b);          /* {envn, kind, lexeme; envn} */
void stmt_pop(ag_word* b);             /* {envn; envn} */
void stmt_current_id(ag_word* b);      /* {envn; lexeme} */
void stmt_kind_is(ag_word* b);         /* {envn, kind; flag} */
void stmt_kind_open(ag_word* b);       /* {envn, kind; flag} */
void stmt_set_clause(ag_word* b);      /* {envn, clause, lexeme; envn} */
void stmt_set_clause2(ag_word* b);     /* {envn, value, lexeme; envn} */
void stmt_reset_tail(ag_word* b);      /* {envn; envn} */
void stmt_has_clause(ag_word* b);      /* {envn, clause; flag} */
void stmt_clause_lexeme(ag_word* b);   /* {envn; lexeme} */
void stmt_add_item(ag_word* b);        /* {envn, record; envn} */
void stmt_add_name(ag_word* b);        /* {envn, record; envn} */
void stmt_nesting_inc(ag_word* b);     /* {envn, k; envn} */
void stmt_nesting_dec(ag_word* b);     /* {envn, k; envn} */
void stmt_nonansi_groupby(ag_word* b); /* {envn; flag} */
void stmt_many_items(ag_word* b);      /* {envn; flag} */

/* ---- attribute primitives ---- */
void ag_copy(ag_word* b);   /* {a, b; a} */
void ag_zero(ag_word* b);   /* {ignored; 0} */
void ag_select(ag_word* b); /* {c, a, b; c ? a : b} */
void ag_bit(ag_word* b);    /* {n; 1 << (n & 31)} */
void ag_or2(ag_word* b);
void ag_or3(ag_word* b);
void ag_or4(ag_word* b);
void ag_or5(ag_word* b);
void ag_bits_intersect(ag_word* b);
void ag_and(ag_word* b);
void ag_or(ag_word* b);
void ag_not(ag_word* b); /* {a; !a} */
void ag_gt(ag_word* b);
void ag_ge(ag_word* b);
void ag_lt(ag_word* b);
void ag_le(ag_word* b);
void ag_eq(ag_word* b);
void ag_ne(ag_word* b);
void ag_add(ag_word* b);
void flags_conflict(ag_word* b);   /* {a, b; flag} */
void lexeme_int_value(ag_word* b); /* {lexeme; value or the undefined integer} */
void ag_string_eq(ag_word* b);     /* {a, b, ignore case; flag} */

#ifdef __cplusplus
}
#endif

/* ---- constant records ---- */

/* A fixed feature: its tag (the <id>) and its display name. */
typedef struct feature_tag {
  st_String_const tag;
  st_String_const name;
} feature_tag;

#define FEATURE_TAG(id, tag, name) extern feature_tag FT_##id;
#include "feature_tags.def"
#undef FEATURE_TAG

/* A fixed feature reported only for targets below a version. */
typedef struct feature_gate {
  feature_tag* feature;
  int32_t since[3];
} feature_gate;

#define FEATURE_GATE(id, since, condition) extern const feature_gate FG_##id;
#include "feature_gates.def"
#undef FEATURE_GATE

/* Number of fixed feature tags, and lookup of one by its tag text (nullptr
 * when the text is not one of them). */
int feature_tag_count(void);
feature_tag* feature_tag_find(const char* tag_text);

/* Prefixes and the closing bracket of tags built around a source name, and
 * the plain name records. */
extern st_String_const FT_PREFIX_GLOBAL;    /* "GLOBAL[" */
extern st_String_const FT_PREFIX_PROCEDURE; /* "PROCEDURE[" */
extern st_String_const FT_PREFIX_CATALOG;   /* "CATALOG[" */
extern st_String_const FT_CLOSE;            /* "]" */
extern st_String_const FN_EXECUTE_FROM_VAR;       /* "EXECUTE FROM VAR" */
extern st_String_const FN_EXECUTE_WITH_RECOMPILE; /* "EXECUTE WITH RECOMPILE" */
extern st_String_const FN_CREATE_TABLE;           /* "CREATE TABLE" */
extern st_String_const FN_DOT;                    /* "." */

/* ---- internals shared by the run-time's sources ---- */
int name_record_compare(const name_rec* a, const name_rec* b);
int name_record4_compare(const name_rec* a, const name_rec* b);
void spv_append_lazy(spv** slot, void* value);
void name_list_add_unique(spv** slot, name_rec* record);
/* Rows of the version tables: 0 global variables, 1 system procedures,
 * 2 system tables. */
int analyzer_table_size(int table);

#endif

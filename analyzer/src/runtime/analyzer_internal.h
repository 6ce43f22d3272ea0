#ifndef QEN_ANALYZER_INTERNAL_H
#define QEN_ANALYZER_INTERNAL_H

/* Records shared by the exported interface and the analysis run-time. */
#include <stdint.h>
#include <stdio.h>

#include "ag_imports.h"
#include "file_state_internal.h"
#include "qen_analyzer.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Grammar set-up (descriptors, flag constants, token leaf table). */
void grammar_init(void);

#ifdef __cplusplus
}
#endif

/* Name record: dotted object or column name. Word 4 links records of a
 * statement's table-item chain, or marks a select-list column that stood
 * inside an aggregate (1). */
struct name_rec {
  st_String_const* part[4];
  ag_word link;
};

enum { STMT_NESTING = 11, STMT_CLAUSES = 9 };
enum { CLAUSE_SELECT = 0, CLAUSE_FROM = 1, CLAUSE_WHERE = 2, CLAUSE_GROUP_BY = 3,
       CLAUSE_HAVING = 4, CLAUSE_ORDER_BY = 5, CLAUSE_COMPUTE = 6, CLAUSE_NONE = 8 };
/* The second clause word: inside an old-style outer-join comparison, or not. */
enum { CLAUSE2_OUTER_JOIN = 2, CLAUSE2_NONE = 3 };
enum { NEST_SUBQUERY = 5, NEST_AGGREGATE = 6 };
/* Kinds of statement records. */
enum { STMT_KIND_SELECT = 0, STMT_KIND_SUBQUERY = 1, STMT_KIND_INSERT = 2, STMT_KIND_UPDATE = 3,
       STMT_KIND_DELETE = 4, STMT_KIND_BOTTOM = 5 };

/* Major number of the version of a table row that no target has: above
 * every real version and the default target. */
enum { VERSION_NEVER_MAJOR = 2147483644 };

/* Kinds of objects: of the environment's current object and of the object
 * named in a feature. The catalog kind has no text of its own in the report
 * ("unknown"). */
enum obj_kind {
  OBJ_GLOBAL = 0,
  OBJ_BATCH = 1,
  OBJ_TABLE = 2,
  OBJ_VIEW = 3,
  OBJ_DEFAULT = 4,
  OBJ_RULE = 5,
  OBJ_FUNCTION = 6,
  OBJ_BUILTIN = 7,
  OBJ_PROCEDURE = 8,
  OBJ_TRIGGER = 9,
  OBJ_STATEMENT = 10,
  OBJ_DATATYPE = 11,
  OBJ_CATALOG = 12,
  OBJ_INDEX = 13
};

/* One record of the statement stack. */
struct stmt_rec {
  int32_t id;
  int32_t kind;
  int32_t clause;
  int32_t clause2;
  int32_t nesting[STMT_NESTING];
  int32_t aggregate_seen;
  int32_t clause_lexeme;
  int32_t clause2_lexeme;
  int32_t clause_bits;
  int32_t clause2_bits;
  name_rec* items;
  spv* names[STMT_CLAUSES];
  ag_word unused;
  spv* outer_join;
  stmt_rec* parent;
};

/* The analysis environment of one batch. */
struct envn {
  const int* target;
  file_state* fs;
  ght* names;
  st_String_const* object_name;
  int32_t object_kind;
  int32_t object_first_line;
  int32_t statements;
  int32_t elements;
  unsigned char options[4];
  stmt_rec* stack;
  stmt_rec* spare;  /* closed records, linked through parent, for the next ones */
  /* Set when an evaluation pass stopped because the batch nests deeper than
   * the walk's stack allows. */
  bool walk_too_deep;
};

/* The empty-stack record shared by every environment. */
extern stmt_rec g_stmt_bottom;

/* "[batch]", the name of the batch object. */
extern st_String_const g_batch_name;

#endif

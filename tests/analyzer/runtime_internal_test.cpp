// Statement records, name records, version-gated tables and the attribute
// primitives of the analysis run-time.
#include <gtest/gtest.h>

#include <string>

#include "analysis_runtime.h"
#include "analyzer_internal.h"
#include "analyzer_test_util.h"

using qen_test::batch_context;
using qen_test::str;
using qen_test::tmp_path;

namespace {

const int kDefaultTarget[3] = {2147483643, 0, 0};
const int kTarget110[3] = {1, 1, 0};

// One batch context with a file state and an environment.
class runtime_fixture : public testing::Test {
 protected:
  void SetUp() override { open("@@rowcount", {10}, kDefaultTarget); }
  void TearDown() override { close(); }
  void open(const std::string& text, std::initializer_list<int> ends, const int* target) {
    fs_ = file_state_new("id", nullptr, tmp_path("runtime.xml").c_str(), 0, 0);
    ctx_ = new batch_context(text, ends);
    env_ = ctx_->attach(fs_, target);
  }
  void close() {
    delete ctx_;
    ctx_ = nullptr;
    file_state_free(fs_);
    fs_ = nullptr;
  }
  void reopen(const std::string& text, std::initializer_list<int> ends, const int* target) {
    close();
    open(text, ends, target);
  }

  ag_word E() const { return (ag_word)env_; }
  name_rec* name3(const char* db, const char* owner, const char* object) {
    ag_word b[4] = {(ag_word)str(db), (ag_word)str(owner), (ag_word)str(object), 0};
    name_record(b);
    return (name_rec*)b[3];
  }
  name_rec* column(const char* table, const char* col) {
    ag_word b[5] = {(ag_word)str(""), (ag_word)str(""), (ag_word)str(table), (ag_word)str(col), 0};
    name_record4_new(b);
    return (name_rec*)b[4];
  }
  void push(int kind, int lexeme = 0) {
    ag_word b[4] = {E(), kind, lexeme, 0};
    stmt_record(b);
    EXPECT_EQ(b[3], E());
  }
  void pop() {
    ag_word b[2] = {E(), 0};
    stmt_pop(b);
  }
  void clause(int mark, int lexeme = 0) {
    ag_word b[4] = {E(), mark, lexeme, 0};
    stmt_set_clause(b);
  }
  void clause2(int value, int lexeme = 0) {
    ag_word b[4] = {E(), value, lexeme, 0};
    stmt_set_clause2(b);
  }
  void add(name_rec* n) {
    ag_word b[3] = {E(), (ag_word)n, 0};
    stmt_add_name(b);
  }
  void nest(int k, bool inc) {
    ag_word b[3] = {E(), k, 0};
    if (inc)
      stmt_nesting_inc(b);
    else
      stmt_nesting_dec(b);
  }
  int flag1(void (*op)(ag_word*)) {
    ag_word b[2] = {E(), 0};
    op(b);
    return (int)b[1];
  }
  int flag2(void (*op)(ag_word*), int arg) {
    ag_word b[3] = {E(), arg, 0};
    op(b);
    return (int)b[2];
  }

  file_state* fs_ = nullptr;
  batch_context* ctx_ = nullptr;
  envn* env_ = nullptr;
};

using StatementRecords = runtime_fixture;

TEST_F(StatementRecords, PushSetsSelectClauseForQueries) {
  EXPECT_EQ(flag1(stmt_current_id), 0);
  EXPECT_EQ(flag2(stmt_kind_is, 5), 1);
  push(0, 7);
  EXPECT_EQ(flag1(stmt_current_id), 7);
  EXPECT_EQ(flag1(stmt_clause_lexeme), 7);
  EXPECT_EQ(flag2(stmt_has_clause, 0), 1);
  EXPECT_EQ(flag2(stmt_has_clause, 3), 0);
  push(2, 9);  // INSERT: no clause yet
  EXPECT_EQ(env_->stack->clause, 8);
  EXPECT_EQ(flag1(stmt_clause_lexeme), 0);
  EXPECT_EQ(flag2(stmt_kind_open, 0), 1);
  EXPECT_EQ(flag2(stmt_kind_open, 4), 0);
  pop();
  EXPECT_EQ(flag1(stmt_current_id), 7);
  pop();
  pop();  // popping the empty stack leaves it empty
  EXPECT_EQ(env_->stack, &g_stmt_bottom);
  EXPECT_EQ(flag2(stmt_kind_open, 5), 0);
}

TEST_F(StatementRecords, ClauseTracking) {
  push(0, 1);
  clause(1, 3);
  clause(2, 5);
  EXPECT_EQ(flag1(stmt_clause_lexeme), 5);
  EXPECT_EQ(env_->stack->clause_bits, 0x7);
  EXPECT_EQ(flag2(stmt_has_clause, 3), 0);  // HAVING without GROUP BY
  clause(3, 6);
  EXPECT_EQ(flag2(stmt_has_clause, 3), 1);
  clause2(2, 8);
  EXPECT_EQ(env_->stack->clause2, 2);
  EXPECT_EQ(env_->stack->clause2_bits, 4);
  EXPECT_EQ(env_->stack->clause2_lexeme, 8);
}

TEST_F(StatementRecords, SettingAClauseWithoutStatementWarnsOnce) {
  testing::internal::CaptureStderr();
  clause(2, 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "WARNING: Attempt to set clause to @@rowcount on NULL statement (line 0)\n");
  EXPECT_EQ(env_->stack, &g_stmt_bottom);
  EXPECT_EQ(g_stmt_bottom.clause, 8);
  testing::internal::CaptureStderr();
  clause2(2, 0);
  EXPECT_NE(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(g_stmt_bottom.clause2, 3);
}

TEST_F(StatementRecords, OuterJoinListCountsDistinctTables) {
  push(0);
  clause(2);
  clause2(2);
  add(column("a", "x"));
  add(column("A", "y"));  // same table, other case: counted once
  add(column("b", "x"));
  EXPECT_EQ(flag1(stmt_many_items), 0);
  add(column("c", "x"));
  EXPECT_EQ(flag1(stmt_many_items), 1);
  ag_word b[2] = {E(), 0};
  stmt_reset_tail(b);
  EXPECT_EQ(env_->stack->clause2, 3);
  EXPECT_EQ(flag1(stmt_many_items), 0);
  add(column("d", "x"));  // not collecting any more
  EXPECT_EQ(flag1(stmt_many_items), 0);
  pop();
  EXPECT_EQ(flag1(stmt_many_items), 0);
}

TEST_F(StatementRecords, NonAnsiGroupBy) {
  // Bare column beside an aggregate, no GROUP BY.
  push(0);
  add(column("", "a"));
  nest(6, true);
  add(column("", "b"));
  nest(6, false);
  EXPECT_EQ(flag1(stmt_nonansi_groupby), 1);
  // The same with the column grouped.
  clause(1);
  clause(3);
  add(column("", "A"));
  EXPECT_EQ(flag1(stmt_nonansi_groupby), 0);
  pop();

  // Bare columns that all stand in the GROUP BY.
  push(0);
  add(column("t", "a"));
  add(column("t", "b"));
  clause(3);
  add(column("t", "b"));
  add(column("t", "a"));
  EXPECT_EQ(flag1(stmt_nonansi_groupby), 0);
  add(column("u", "c"));
  clause(0);
  add(column("t", "c"));  // not grouped
  EXPECT_EQ(flag1(stmt_nonansi_groupby), 1);
  pop();

  // No aggregate and no GROUP BY: nothing to say.
  push(0);
  add(column("", "a"));
  EXPECT_EQ(flag1(stmt_nonansi_groupby), 0);
  pop();
  EXPECT_EQ(flag1(stmt_nonansi_groupby), 0);
}

TEST_F(StatementRecords, NamesWithoutOpenClauseAreIgnored) {
  push(2);  // INSERT: clause 8
  add(column("", "a"));
  for (int c = 0; c < 9; ++c) EXPECT_EQ(env_->stack->names[c], nullptr);
  nest(6, true);
  EXPECT_EQ(env_->stack->aggregate_seen, 1);
  nest(99, true);  // an index outside the counters is ignored
  nest(-1, false);
  pop();
  nest(6, true);
  EXPECT_EQ(g_stmt_bottom.aggregate_seen, 0);
}

TEST_F(StatementRecords, TableItemChain) {
  push(0);
  name_rec* a = name3("", "", "a");
  name_rec* b = name3("", "", "b");
  ag_word blk[3] = {E(), (ag_word)a, 0};
  stmt_add_item(blk);
  blk[1] = (ag_word)b;
  stmt_add_item(blk);
  EXPECT_EQ(env_->stack->items, a);
  EXPECT_EQ((name_rec*)a->link, b);
  EXPECT_EQ(b->link, 0);
}

using NameRecords = runtime_fixture;

std::string text_of(st_String_const* s) {
  char buf[256];
  string_strncpy(buf, s, sizeof buf);
  return buf;
}

TEST_F(NameRecords, DottedText) {
  auto dotted = [&](name_rec* r) {
    ag_word b[2] = {(ag_word)r, 0};
    name_record_text(b);
    return text_of((st_String_const*)b[1]);
  };
  EXPECT_EQ(dotted(name3("", "dbo", "t")), "dbo.t");
  EXPECT_EQ(dotted(name3("db", "", "t")), "db..t");
  EXPECT_EQ(dotted(name3("db", "o", "t")), "db.o.t");
  EXPECT_EQ(dotted(name3("", "", "t")), "t");
  ag_word ob[2] = {(ag_word)name3("db", "o", "t"), 0};
  name_record_object(ob);
  EXPECT_EQ(text_of((st_String_const*)ob[1]), "t");
}

TEST_F(NameRecords, FromParts) {
  ag_word v[2] = {0, 0};
  spv_new(v);
  auto add_part = [&](const char* p) {
    ag_word b[3] = {v[1], (ag_word)str(p), 0};
    spv_push(b);
    EXPECT_EQ(b[2], v[1]);
  };
  ag_word b[2] = {v[1], 0};
  name_from_parts(b);
  name_rec* r = (name_rec*)b[1];
  EXPECT_EQ(r->part[0], C_empty_string);
  EXPECT_EQ(r->part[2], C_empty_string);
  add_part("x");
  add_part("owner");
  add_part("obj");
  add_part("last");
  name_from_parts(b);
  r = (name_rec*)b[1];
  EXPECT_EQ(text_of(r->part[0]), "owner");
  EXPECT_EQ(text_of(r->part[1]), "obj");
  EXPECT_EQ(text_of(r->part[2]), "last");
  ag_word n[2] = {v[1], 0};
  spv_count(n);
  EXPECT_EQ(n[1], 4);
  ag_word front[3] = {v[1], (ag_word)str("first"), 0};
  spv_push_front(front);
  spv* vec = (spv*)v[1];
  EXPECT_EQ(text_of(*(st_String_const**)spv_elem_addr(vec, 0)), "first");
  EXPECT_EQ(text_of(*(st_String_const**)spv_elem_addr(vec, 4)), "last");
}

TEST_F(NameRecords, CompareIgnoresCaseAndAbsentParts) {
  name_rec* a = column("T", "Col");
  name_rec* b = column("t", "col");
  EXPECT_EQ(name_record4_compare(a, b), 0);
  name_rec* c = column("t", "other");
  EXPECT_EQ(name_record_compare(a, c), 0);
  EXPECT_NE(name_record4_compare(a, c), 0);
  name_rec* absent = column("x", "col");
  absent->part[2] = nullptr;
  EXPECT_EQ(name_record4_compare(absent, a), 0);
}

using VersionTables = runtime_fixture;

TEST_F(VersionTables, RowCounts) {
  // Rows per target version and the known feature tags. A change means a
  // feature was added to or dropped from what a report can name; the
  // expected reports of the features concerned change with it.
  EXPECT_EQ(analyzer_table_size(0), 99);
  EXPECT_EQ(analyzer_table_size(1), 248);
  EXPECT_EQ(analyzer_table_size(2), 64);
  EXPECT_EQ(feature_tag_count(), 188);
  feature_tag* t = feature_tag_find("OPTION[FIPSFLAGGGER]");
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(text_of(&t->name), "SET FIPSFLAGGER");
  EXPECT_EQ(feature_tag_find("STATEMENT[NOPE]"), nullptr);
}

int global_unsupported(envn* env, const char* text, std::string* name) {
  (void)text;
  ag_word b[4] = {(ag_word)env, 0, 0, 0};
  global_var_unsupported(b);
  *name = text_of((st_String_const*)b[2]);
  return (int)b[3];
}

TEST_F(VersionTables, GlobalVariables) {
  std::string name;
  // Default target: only the never rows are reported.
  EXPECT_EQ(global_unsupported(env_, "@@rowcount", &name), 1);
  EXPECT_EQ(name, "@@rowcount");
  reopen("@@datefirst", {11}, kDefaultTarget);
  EXPECT_EQ(global_unsupported(env_, "@@datefirst", &name), 0);
  EXPECT_EQ(name, "");
  reopen("@@DateFirst", {11}, kTarget110);
  EXPECT_EQ(global_unsupported(env_, "@@DateFirst", &name), 0);
  reopen("@@ROWCOUNT", {10}, kTarget110);
  EXPECT_EQ(global_unsupported(env_, "@@ROWCOUNT", &name), 1);
  EXPECT_EQ(name, "@@rowcount");
  reopen("@@langid", {8}, kTarget110);
  EXPECT_EQ(global_unsupported(env_, "@@langid", &name), 0);
  const int older[3] = {1, 0, 9};
  reopen("@@langid", {8}, older);
  EXPECT_EQ(global_unsupported(env_, "@@langid", &name), 1);
  EXPECT_EQ(name, "@@langid");
  reopen("@@nosuchvar", {11}, older);
  // An unknown variable finds row 0, which no target has.
  EXPECT_EQ(global_unsupported(env_, "@@nosuchvar", &name), 1);
  EXPECT_EQ(name, "*INVALID*");
  reopen("@@", {2}, older);
  EXPECT_EQ(global_unsupported(env_, "@@", &name), 1);
  EXPECT_EQ(name, "*INVALID*");
  reopen("@", {1}, older);
  EXPECT_EQ(global_unsupported(env_, "@", &name), 0);
  EXPECT_EQ(name, "");
}

TEST_F(VersionTables, SystemProcedures) {
  auto sysproc = [&](const char* db, const char* owner, const char* object) {
    ag_word b[3] = {E(), (ag_word)name3(db, owner, object), 0};
    sysproc_unsupported(b);
    return (int)b[2];
  };
  reopen("x", {1}, kTarget110);
  EXPECT_EQ(sysproc("", "", "sp_helpuser"), 0);
  EXPECT_EQ(sysproc("", "", "sp_displaylogin"), 1);
  EXPECT_EQ(sysproc("", "", "sp_addgroup"), 0);
  EXPECT_EQ(sysproc("", "", "SP_WHO"), 1);
  EXPECT_EQ(sysproc("master", "", "sp_who"), 1);
  EXPECT_EQ(sysproc("SybSystemProcs", "dbo", "sp_who"), 1);
  EXPECT_EQ(sysproc("master", "DBO", "sp_who"), 1);
  EXPECT_EQ(sysproc("mydb", "", "sp_who"), 0);
  EXPECT_EQ(sysproc("", "joe", "sp_who"), 0);
  EXPECT_EQ(sysproc("", "", "my_proc"), 0);
  EXPECT_EQ(sysproc("", "", "sp_dbcc_updateconfig"), 1);
  EXPECT_EQ(sysproc("", "", "xp_cmdshell"), 1);
  reopen("x", {1}, kDefaultTarget);
  EXPECT_EQ(sysproc("", "", "sp_displaylogin"), 0);
  EXPECT_EQ(sysproc("", "", "sp_helpuser"), 0);
  EXPECT_EQ(sysproc("", "", "sp_hidetext"), 1);
  EXPECT_EQ(sysproc("", "", "sp_who"), 1);
}

TEST_F(VersionTables, SystemTables) {
  auto systable = [&](const char* db, const char* owner, const char* object, std::string* text) {
    ag_word b[4] = {E(), (ag_word)name3(db, owner, object), 0, 0};
    systable_unsupported(b);
    *text = text_of((st_String_const*)b[2]);
    return (int)b[3];
  };
  std::string text;
  reopen("x", {1}, kTarget110);
  EXPECT_EQ(systable("", "", "SYSLOGS", &text), 1);
  EXPECT_EQ(text, "SYSLOGS");
  EXPECT_EQ(systable("any", "dbo", "syslogs", &text), 1);
  EXPECT_EQ(systable("", "joe", "syslogs", &text), 0);
  EXPECT_EQ(text, "");
  EXPECT_EQ(systable("", "", "sysobjects", &text), 0);
  EXPECT_EQ(systable("", "", "sysaudits_08", &text), 1);
  EXPECT_EQ(systable("", "", "mytable", &text), 0);
  reopen("x", {1}, kDefaultTarget);
  EXPECT_EQ(systable("", "", "syscolumns", &text), 0);
  EXPECT_EQ(systable("", "", "syssegements", &text), 1);
}

TEST_F(VersionTables, VersionBefore) {
  auto before = [&](int a, int b, int c) {
    ag_word blk[5] = {E(), a, b, c, 0};
    ver_before(blk);
    return (int)blk[4];
  };
  EXPECT_EQ(before(0, 3, 0), 0);
  EXPECT_EQ(before(1, 0, 0), 0);
  EXPECT_EQ(before(2147483644, 0, 0), 1);
  reopen("x", {1}, kTarget110);
  EXPECT_EQ(before(1, 0, 0), 0);
  EXPECT_EQ(before(1, 1, 0), 0);
  EXPECT_EQ(before(1, 1, 1), 1);
}

using Primitives = runtime_fixture;

ag_word op2(void (*op)(ag_word*), ag_word a, ag_word b) {
  ag_word blk[3] = {a, b, 0};
  op(blk);
  return blk[2];
}

TEST_F(Primitives, Arithmetic) {
  const ag_word undef = (ag_word)(int32_t)0x80000000u;
  ag_word b[2] = {33, 0};
  ag_bit(b);
  EXPECT_EQ(b[1], 2);
  b[0] = 31;
  ag_bit(b);
  EXPECT_EQ(b[1], undef);
  EXPECT_EQ(op2(ag_bits_intersect, undef, undef), 1);
  EXPECT_EQ(op2(ag_bits_intersect, 6, 1), 0);
  EXPECT_EQ(op2(ag_gt, -1, 0), 0);
  EXPECT_EQ(op2(ag_gt, undef, 0), 0);
  EXPECT_EQ(op2(ag_gt, 1, 0), 1);
  EXPECT_EQ(op2(ag_ge, 1, 1), 1);
  EXPECT_EQ(op2(ag_lt, -5, 1), 1);
  EXPECT_EQ(op2(ag_le, 2, 1), 0);
  EXPECT_EQ(op2(ag_eq, 4, 4), 1);
  EXPECT_EQ(op2(ag_ne, 4, 4), 0);
  EXPECT_EQ(op2(ag_add, 2147483647, 1), undef);  // 32-bit wrap-around
  EXPECT_EQ(op2(ag_and, 2, 3), 1);
  EXPECT_EQ(op2(ag_and, 2, 0), 0);
  EXPECT_EQ(op2(ag_or, 0, 0), 0);
  EXPECT_EQ(op2(ag_or, 0, -4), 1);
  EXPECT_EQ(op2(ag_or2, 1, 4), 5);
  EXPECT_EQ(op2(ag_copy, 9, 7), 9);
  ag_word o5[6] = {1, 2, 4, 8, 16, 0};
  ag_or5(o5);
  EXPECT_EQ(o5[5], 31);
  ag_word o4[5] = {1, 2, 4, 8, 0};
  ag_or4(o4);
  EXPECT_EQ(o4[4], 15);
  ag_word o3[4] = {1, 2, 4, 0};
  ag_or3(o3);
  EXPECT_EQ(o3[3], 7);
  ag_word n[2] = {0, 5};
  ag_not(n);
  EXPECT_EQ(n[1], 1);
  ag_word z[2] = {77, 5};
  ag_zero(z);
  EXPECT_EQ(z[1], 0);
  ag_word s[4] = {0, 10, 20, 0};
  ag_select(s);
  EXPECT_EQ(s[3], 20);
  s[0] = -1;
  ag_select(s);
  EXPECT_EQ(s[3], 10);
}

TEST_F(Primitives, FlagsConflict) {
  EXPECT_EQ(op2(flags_conflict, 2, 16), 0);
  EXPECT_EQ(op2(flags_conflict, 264, 514), 0);
  EXPECT_EQ(op2(flags_conflict, 514, 264), 0);
  EXPECT_EQ(op2(flags_conflict, 264, 2), 1);
  EXPECT_EQ(op2(flags_conflict, 264, 264), 1);
  EXPECT_EQ(op2(flags_conflict, 4, 264 | 16), 1);
}

TEST_F(Primitives, LexemeIntValue) {
  auto value = [&](const std::string& text) {
    reopen(text + " ", {(int)text.size(), (int)text.size() + 1}, kDefaultTarget);
    ag_word b[2] = {0, 0};
    lexeme_int_value(b);
    return (int32_t)b[1];
  };
  EXPECT_EQ(value("007"), 7);
  EXPECT_EQ(value("2147483647"), 2147483647);
  EXPECT_EQ(value("2147483648"), (int32_t)0x80000000u);
  EXPECT_EQ(value("12a"), (int32_t)0x80000000u);
  EXPECT_EQ(value("-1"), (int32_t)0x80000000u);
  reopen("  x", {0, 3}, kDefaultTarget);  // lexeme 0 is empty
  ag_word b[2] = {0, 0};
  lexeme_int_value(b);
  EXPECT_EQ(b[1], 0);
}

TEST_F(Primitives, StringEquality) {
  ag_word b[4] = {(ag_word)str("Proc"), (ag_word)str("PROC"), 1, 0};
  ag_string_eq(b);
  EXPECT_EQ(b[3], 1);
  b[2] = 0;  // exact comparison answers equality too
  ag_string_eq(b);
  EXPECT_EQ(b[3], 0);
  b[1] = (ag_word)str("Proc");
  ag_string_eq(b);
  EXPECT_EQ(b[3], 1);
  ag_word c[4] = {(ag_word)str("a"), (ag_word)str("b"), (ag_word)str("c"), 0};
  string_concat3(c);
  EXPECT_EQ(text_of((st_String_const*)c[3]), "abc");
}

}  // namespace

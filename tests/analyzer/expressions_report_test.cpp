// Whole reports of the test host for expressions and search conditions:
// comparisons that read @@error, unsupported global variables under
// several target versions, subqueries inside aggregates, outer-join
// comparisons over too many tables, and the order of the findings inside
// one predicate. Every expected byte is written out here.
#include <gtest/gtest.h>
#include <stdint.h>
#include <stdio.h>
#include <sys/wait.h>

#include <string>

#include "host_report_fixture.h"

using qen_test::file_head;
using qen_test::read_file;
using qen_test::report_tail;
using qen_test::tmp_path;
using qen_test::write_file;

namespace {

#ifdef QEN_HOST_PATH

struct Report {
  std::string path;
  std::string text;
  std::string errors;  // what the host wrote to standard error

  static std::string head(int line) { return qen_test::object_head(line, "batch", "[batch]"); }
  static std::string close() { return qen_test::object_close(); }

  std::string feature(const std::string& id, int statements, int line, int line_in_object,
                      const std::string& context, const std::string& type, const std::string& name) const {
    return qen_test::feature_xml(path, id, statements, line, line_in_object, context, type, name);
  }
  // "GLOBAL[@@error]" of a comparison, in a batch that starts on line 1.
  std::string error_var(int statements, int line, const std::string& context) const {
    return feature("GLOBAL[@@error]", statements, line, line, context, "global", "@@error");
  }
  std::string global(const std::string& var, int statements, int line, const std::string& context) const {
    return feature("GLOBAL[" + var + "]", statements, line, line, context, "global", var);
  }
  std::string statement(const std::string& name, int statements, int line, const std::string& context) const {
    return feature("STATEMENT[" + name + "]", statements, line, line, context, "statement", name);
  }
  std::string builtin(const std::string& name, int statements, int line, const std::string& context) const {
    return feature("BUILTIN[" + name + "]", statements, line, line, context, "builtin", name);
  }
};

// Runs the host over the text with the extra options; returns its exit
// status and the report.
int analyse(const std::string& name, const std::string& source, Report* report, const std::string& options = "") {
  qen_test::HostProcess run =
      qen_test::run_host_on_file(name, name, source, options, &report->path, &report->text);
  // Lines of the sanitizer runtime ("==pid==...") are not the host's own.
  const std::string& errors = run.err;
  report->errors.clear();
  for (size_t at = 0; at < errors.size();) {
    size_t end = errors.find('\n', at);
    end = end == std::string::npos ? errors.size() : end + 1;
    std::string line = errors.substr(at, end - at);
    if (line.rfind("==", 0) != 0) report->errors += line;
    at = end;
  }
  return run.status;
}

// Report of a one-batch file whose features all lie in the batch object.
std::string one_batch(const Report& r, const std::string& id, const std::string& features, int statements) {
  return qen_test::one_batch_report(r.path, id, features, statements);
}

TEST(ExpressionsReport, ComparisonsWithErrorVariable) {
  const char* source =
      "if @@error = 0 return\n"         // 1
      "if 0 = @@ERROR return\n"         // 2
      "if (@@error) <> 00 return\n"     // 3
      "if @@error = -0 return\n"        // 4
      "if @@error = 1 return\n"         // 5
      "if @@Error >\n"                  // 6
      "= 1 return\n"                    // 7
      "if @@error = @@error return\n"   // 8
      "if @@error\n"                    // 9
      " != @v return\n"                 // 10
      "if @@rowcount = 1 return\n"      // 11
      "if @@error = 0 + 0 return\n"     // 12
      "if ((@@error)) = (0) return\n"   // 13
      "if @@error - 1 = 0 return\n"     // 14
      "if @@error > 0 return\n";        // 15
  Report r;
  ASSERT_EQ(analyse("error_var", source, &r), 0);
  // Every IF counts its branch as a statement: the predicate of the k-th
  // IF is evaluated with 2k - 2 statements counted (the first with 1).
  // Only the operands' flags decide, whatever the operator: 0 + 0 carries
  // the flags of a bare 0, the parentheses keep the flags of what they
  // hold, and @@error > 0 is a comparison with the literal 0.
  std::string features = r.error_var(8, 5, "if @@error = 1 return") +
                         r.error_var(10, 6, "if @@Error >") +
                         r.error_var(12, 8, "if @@error = @@error return") +
                         r.error_var(14, 10, " != @v return") +
                         // @@rowcount is known to no target version.
                         r.global("@@rowcount", 16, 11, "if @@rowcount = 1 return") +
                         r.error_var(22, 14, "if @@error - 1 = 0 return");
  EXPECT_EQ(r.text, one_batch(r, "error_var", features, 26));
}

TEST(ExpressionsReport, ErrorVariableInOtherPredicates) {
  const char* source =
      "if x between 1 and @@error return\n"             // 1
      "if @@error is null return\n"                      // 2
      "if @@error in (1, 2) return\n"                    // 3
      "if x in (1, @@error) return\n"                    // 4
      "if @@error like 'a%' return\n"                    // 5
      "if x like 'a%' escape @@error return\n"           // 6
      "if @@error in (select a from t) return\n"        // 7
      "if x\n"                                           // 8
      "not\n"                                            // 9
      "like @@error return\n"                            // 10
      "if x not\n"                                       // 11
      "like @@error escape 'b' return\n"                // 12
      "if @@error not\n"                                 // 13
      "in (1) return\n"                                  // 14
      "if @@error not\n"                                 // 15
      "between 0 and 0 return\n"                         // 16
      "if @@error is\n"                                  // 17
      "not null return\n"                                // 18
      "if x > any (select a from t) or @@error <\n"     // 19
      "all (1, 2) return\n"                              // 20
      "if @@error = some (select a from t) return\n"    // 21
      "if exists (select a from t) and not (x = @@error) return\n"  // 22
      "if update(c) return\n";                           // 23
  Report r;
  ASSERT_EQ(analyse("error_var_preds", source, &r), 0);
  std::string features =
      r.error_var(1, 1, "if x between 1 and @@error return") +
      r.error_var(2, 2, "if @@error is null return") +
      r.error_var(4, 3, "if @@error in (1, 2) return") +
      r.error_var(6, 4, "if x in (1, @@error) return") +
      r.error_var(8, 5, "if @@error like 'a%' return") +
      // The escape operand is not tested.
      r.error_var(12, 7, "if @@error in (select a from t) return") +
      // NOT LIKE: the line of NOT; with ESCAPE, the line of LIKE.
      r.error_var(14, 9, "not") +
      r.error_var(16, 12, "like @@error escape 'b' return") +
      // NOT IN: the line of IN; NOT BETWEEN: the line of NOT.
      r.error_var(18, 14, "in (1) return") +
      r.error_var(20, 15, "if @@error not") +
      r.error_var(22, 17, "if @@error is") +
      // The second comparison of the OR: on the line of its operator.
      r.error_var(24, 19, "if x > any (select a from t) or @@error <") +
      r.error_var(26, 21, "if @@error = some (select a from t) return") +
      r.error_var(28, 22, "if exists (select a from t) and not (x = @@error) return");
  EXPECT_EQ(r.text, one_batch(r, "error_var_preds", features, 32));
}

TEST(ExpressionsReport, GlobalVariablesByTargetVersion) {
  const char* source =
      "return @@datefirst + @@rowcount\n"  // 1
      "print @@datefirst\n";               // 2
  // @@datefirst came with 1.1.0; @@rowcount with no version.
  {
    Report r;
    ASSERT_EQ(analyse("globals_default", source, &r), 0);
    EXPECT_EQ(r.text, one_batch(r, "globals_default",
                                r.global("@@rowcount", 1, 1, "return @@datefirst + @@rowcount"), 2));
  }
  {
    Report r;
    ASSERT_EQ(analyse("globals_1_0", source, &r, "-t 1.0.0"), 0);
    EXPECT_EQ(r.text, one_batch(r, "globals_1_0",
                                r.global("@@datefirst", 1, 1, "return @@datefirst + @@rowcount") +
                                    r.global("@@rowcount", 1, 1, "return @@datefirst + @@rowcount") +
                                    r.global("@@datefirst", 1, 2, "print @@datefirst"),
                                2));
  }
  {
    Report r;
    ASSERT_EQ(analyse("globals_1_1", source, &r, "-t 1.1.0"), 0);
    EXPECT_EQ(r.text, one_batch(r, "globals_1_1",
                                r.global("@@rowcount", 1, 1, "return @@datefirst + @@rowcount"), 2));
  }
}

TEST(ExpressionsReport, SubqueryWithinAggregate) {
  Report r2;
  ASSERT_EQ(analyse("subquery_aggregate2",
                    "return sum((select max(a) from t))\n"
                    "return sum(case when exists (select 1 from t) then 1 end)\n"
                    "return count(*)\n"
                    "return avg(1 +\n"
                    "(select max(a) from t)) + count_big(distinct (select a from t))\n",
                    &r2),
            0);
  EXPECT_EQ(r2.text,
            one_batch(r2, "subquery_aggregate2",
                      r2.statement("SUBQUERY WITHIN AGGREGATE", 1, 1, "return sum((select max(a) from t))") +
                          r2.statement("SUBQUERY WITHIN AGGREGATE", 3, 4, "return avg(1 +") +
                          r2.statement("SUBQUERY WITHIN AGGREGATE", 3, 5,
                                       "(select max(a) from t)) + count_big(distinct (select a from t))"),
                      4));
}

TEST(ExpressionsReport, OuterJoinsOverTooManyTables) {
  const char* source =
      "return (select 1 from t1, t2 where t1.a *= t2.b)\n"                    // 1
      "return (select 1 from t1, t2, t3 where t1.a *= t2.b + t3.c)\n"         // 2
      "return (select 1 from a, b, c where a.x =* b.y * c.z)\n"               // 3
      "return (select 1 from t1, t2 where a *= b)\n"                          // 4
      "return (select 1 from t1, t2, t3 where t1.a *= t2.b and t1.c *= t3.d)\n"  // 5
      "return (select 1 from t1 where t1.a *= T1.b + db.t1.c)\n"              // 6
      "return (select 1 from t1 where t1.a *= db.t1.b + x.t1.c)\n"            // 7
      "return (select 1 from t where t1.a\n"                                   // 8
      "*= t2.b + t3.c and t4.d =* t5.e + t6.f)\n";                             // 9
  Report r;
  ASSERT_EQ(analyse("outer_joins", source, &r), 0);
  // Table qualifiers are compared without regard to case, owner and
  // database included: T1 equals t1 (two entries on line 6), db.t1 and
  // x.t1 differ from t1 and from each other (three on line 7).
  std::string features =
      r.statement("TSQL OJ TOO MANY OBJECTS", 1, 2, "return (select 1 from t1, t2, t3 where t1.a *= t2.b + t3.c)") +
      r.statement("TSQL OJ TOO MANY OBJECTS", 2, 3, "return (select 1 from a, b, c where a.x =* b.y * c.z)") +
      r.statement("TSQL OJ TOO MANY OBJECTS", 6, 7, "return (select 1 from t1 where t1.a *= db.t1.b + x.t1.c)") +
      r.statement("TSQL OJ TOO MANY OBJECTS", 7, 9, "*= t2.b + t3.c and t4.d =* t5.e + t6.f)") +
      r.statement("TSQL OJ TOO MANY OBJECTS", 7, 9, "*= t2.b + t3.c and t4.d =* t5.e + t6.f)");
  EXPECT_EQ(r.text, one_batch(r, "outer_joins", features, 8));
  EXPECT_EQ(r.errors, "");
}

TEST(ExpressionsReport, OuterJoinOutsideAStatementRecord) {
  const char* source =
      "if t1.a *= t2.b + t3.c return\n"  // 1
      "if @@error =*\n"                  // 2
      "newid() return\n"                 // 3
      "if newid(a) =* host_id() return\n"  // 4
      "if newid(a) *= host_id() return\n";  // 5
  Report r;
  ASSERT_EQ(analyse("outer_join_no_record", source, &r), 0);
  // No list is kept without a statement record: no TOO MANY OBJECTS. The
  // comparison's own test comes first, then the right operand's findings,
  // then the left's (=*); *= visits left to right.
  std::string features = r.error_var(2, 2, "if @@error =*") + r.builtin("NEWID", 2, 3, "newid() return") +
                         r.builtin("HOST_ID", 4, 4, "if newid(a) =* host_id() return") +
                         r.builtin("NEWID", 4, 4, "if newid(a) =* host_id() return") +
                         r.builtin("NEWID", 6, 5, "if newid(a) *= host_id() return") +
                         r.builtin("HOST_ID", 6, 5, "if newid(a) *= host_id() return");
  EXPECT_EQ(r.text, one_batch(r, "outer_join_no_record", features, 8));
  EXPECT_EQ(r.errors,
            "qen_host: WARNING: Attempt to set clause to *= on NULL statement (line 1)\n"
            "qen_host: WARNING: Attempt to set clause to =* on NULL statement (line 2)\n"
            "qen_host: WARNING: Attempt to set clause to =* on NULL statement (line 4)\n"
            "qen_host: WARNING: Attempt to set clause to *= on NULL statement (line 5)\n");
}

TEST(ExpressionsReport, OrderInsideExpressions) {
  const char* source =
      "if newid() = @@error return\n"                                  // 1
      "return case sortkey(a) when 1 then host_id() else newid() end\n"  // 2
      "return coalesce(@@rowcount, tsequal(a, b))\n"                   // 3
      "return cast(newid() as int) + convert(int, host_id(), newid())\n";  // 4
  Report r;
  ASSERT_EQ(analyse("order", source, &r), 0);
  std::string features =
      r.error_var(1, 1, "if newid() = @@error return") + r.builtin("NEWID", 1, 1, "if newid() = @@error return") +
      r.builtin("SORTKEY", 2, 2, "return case sortkey(a) when 1 then host_id() else newid() end") +
      r.builtin("HOST_ID", 2, 2, "return case sortkey(a) when 1 then host_id() else newid() end") +
      r.builtin("NEWID", 2, 2, "return case sortkey(a) when 1 then host_id() else newid() end") +
      r.global("@@rowcount", 3, 3, "return coalesce(@@rowcount, tsequal(a, b))") +
      r.builtin("TSEQUAL", 3, 3, "return coalesce(@@rowcount, tsequal(a, b))") +
      r.builtin("NEWID", 4, 4, "return cast(newid() as int) + convert(int, host_id(), newid())") +
      r.builtin("HOST_ID", 4, 4, "return cast(newid() as int) + convert(int, host_id(), newid())") +
      r.builtin("NEWID", 4, 4, "return cast(newid() as int) + convert(int, host_id(), newid())");
  EXPECT_EQ(r.text, one_batch(r, "order", features, 5));
}

TEST(ExpressionsReport, CastAndConvertPlaceDatatypeFindings) {
  const char* source =
      "return cast(newid() as\n"         // 1
      "unitext) + convert(\n"            // 2
      "  nchar(1), newid())\n";          // 3
  Report r;
  ASSERT_EQ(analyse("cast_convert", source, &r), 0);
  // CAST: the operand, then the datatype, on the line of CAST. CONVERT:
  // the datatype first, on the line of CONVERT, then the operands.
  std::string features = r.builtin("NEWID", 1, 1, "return cast(newid() as") +
                         r.feature("DATATYPE[UNITEXT]", 1, 1, 1, "return cast(newid() as", "datatype", "UNITEXT") +
                         r.feature("DATATYPE[NCHAR]", 1, 2, 2, "unitext) + convert(", "datatype", "NCHAR") +
                         r.builtin("NEWID", 1, 3, "  nchar(1), newid())");
  EXPECT_EQ(r.text, one_batch(r, "cast_convert", features, 1));
}

#endif


}  // namespace

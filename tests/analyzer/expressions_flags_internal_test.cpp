// Content flags of expressions, predicates and built-in calls as the
// constructors leave them in the tree, and the expression and call counters
// (20 and 21) that the evaluation pass raises. Each batch is analysed in
// process; the tree is read through the start production's observer.
#include <gtest/gtest.h>
#include <string.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "ag_context.h"
#include "file_state_internal.h"
#include "gn_nodes.h"
#include "grammar_support.h"
#include "parser_glue.h"
#include "qen_analyzer.h"
#include "observed_batch.h"
#include "tree_reader.h"

namespace {

// First node (preorder) whose production's left-hand side is lhs; with rhs
// given, whose whole descriptor text is "lhs rhs ;".
const st_node* find_node(const st_node* n, const std::string& lhs, const std::string& rhs = "") {
  return qen_test::find_node_if(n, [&](const st_node* m) {
    std::string text = qen_test::production_text(m);
    return rhs.empty() ? text.rfind(lhs + " ", 0) == 0 : text == lhs + " " + rhs + " ;";
  });
}

struct Outcome {
  int result = -1;
  int passes = 0;
  ag_word flags = -1;  // of the node looked for, in the first pass
  bool found = false;
  std::string text;  // a string word of the node (alias, variable name)
  int32_t expression_nodes = 0;  // counter 20
  int32_t calls = 0;             // counter 21
};

struct Query {
  std::string lhs, rhs;
  Outcome* out;
};

ag_word flags_of(const st_node* n, const std::string& lhs) {
  if (lhs == "Gen_Expression") return reinterpret_cast<const gn_N_Gen_Expression*>(n)->flags;
  if (lhs == "Predicate_Expr") return reinterpret_cast<const gn_N_Predicate_Expr*>(n)->flags;
  if (lhs == "Function_Call") return reinterpret_cast<const gn_N_Function_Call*>(n)->flags;
  if (lhs == "Constant_Lexeme") return reinterpret_cast<const gn_N_Constant_Lexeme*>(n)->flags;
  if (lhs == "Aggregate_Expression") return reinterpret_cast<const gn_N_Aggregate_Expression*>(n)->flags;
  if (lhs == "Sub_Query") return reinterpret_cast<const gn_N_Sub_Query*>(n)->flags;
  if (lhs == "Else_Expr_Option") return reinterpret_cast<const gn_N_Else_Expr_Option*>(n)->flags;
  if (lhs == "Convert_Style_Option") return reinterpret_cast<const gn_N_Convert_Style_Option*>(n)->flags;
  if (lhs == "Optional_One_Func_Arg") return reinterpret_cast<const gn_N_Optional_One_Func_Arg*>(n)->flags;
  if (lhs == "Datepart_And_Two_Func_Args")
    return reinterpret_cast<const gn_N_Datepart_And_Two_Func_Args*>(n)->flags;
  ADD_FAILURE() << "no flags reader for " << lhs;
  return -1;
}

std::string text_of(ag_word word) {
  auto* s = reinterpret_cast<st_String_const*>(word);
  if (s == nullptr) return "(null)";
  st_String_const* flat = string_flatten_const(context_get()->pool, s);
  return std::string(reinterpret_cast<const char*>(flat->left), (size_t)flat->length);
}

void observe(void* user, st_node* goal) {
  auto* q = static_cast<Query*>(user);
  if (q->out->passes++ > 0) return;
  const st_node* n = find_node(goal, q->lhs, q->rhs);
  if (n == nullptr) return;
  q->out->found = true;
  if (q->lhs == "Table_Alias") {
    q->out->text = text_of(reinterpret_cast<const gn_N_Table_Alias*>(n)->alias);
  } else if (q->lhs == "Global_Varname") {
    // Written by the evaluation: the name found and the unsupported mark.
    auto* g = reinterpret_cast<const gn_N_Global_Varname*>(n);
    q->out->text = text_of(g->name);
    q->out->flags = g->unsupported;
  } else {
    q->out->flags = flags_of(n, q->lhs);
  }
}

// Analyses one batch; looks for the first node of lhs (and rhs, if given).
Outcome analyse(const std::string& text, const std::string& lhs, const std::string& rhs = "") {
  Outcome out;
  Query q{lhs, rhs, &out};
  qen_test::ObservedBatch run = qen_test::parse_observed("expressions_flags", text, observe, &q);
  out.result = run.result;
  out.expression_nodes = run.counters[20];
  out.calls = run.counters[21];
  return out;
}

// Flags of the outermost expression of "return <expr>".
Outcome expr(const std::string& e) { return analyse("return " + e, "Gen_Expression"); }

// Flags of the outermost predicate of "if <pred> return".
Outcome pred(const std::string& p) { return analyse("if " + p + " return", "Predicate_Expr"); }

#define EXPECT_FLAGS(outcome, value)  \
  do {                                \
    Outcome o_ = (outcome);           \
    ASSERT_EQ(o_.result, 0);          \
    ASSERT_TRUE(o_.found);            \
    EXPECT_EQ(o_.flags, (value));     \
  } while (0)

}  // namespace

TEST(ExpressionsFlags, LiteralsVariablesAndColumns) {
  EXPECT_FLAGS(expr("0"), EF_CONSTANT | EF_ZERO);
  EXPECT_FLAGS(expr("00"), 514);
  EXPECT_FLAGS(expr("000000000000000000000"), 514);
  EXPECT_FLAGS(expr("1"), EF_CONSTANT);
  EXPECT_FLAGS(expr("10"), 2);
  // Beyond the 32-bit range: not the value 0.
  EXPECT_FLAGS(expr("99999999999999999999"), 2);
  EXPECT_FLAGS(expr("null"), 2);
  EXPECT_FLAGS(expr("'text'"), 2);
  EXPECT_FLAGS(expr("0.0"), 2);
  EXPECT_FLAGS(expr("1e3"), 2);
  EXPECT_FLAGS(expr("0x00"), 2);
  EXPECT_FLAGS(expr("$0"), 2);
  EXPECT_FLAGS(expr("@v"), EF_LOCAL_VAR);
  EXPECT_FLAGS(expr("a"), EF_COLUMN);
  EXPECT_FLAGS(expr("t.a"), EF_COLUMN);
  EXPECT_FLAGS(expr("@@rowcount"), EF_GLOBAL_VAR);
  EXPECT_FLAGS(expr("@@error"), EF_GLOBAL_VAR | EF_ERROR_VAR);
  EXPECT_FLAGS(expr("@@ERROR"), 264);
  EXPECT_FLAGS(expr("@@ErRoR"), 264);
  // Another variable that merely starts like it.
  EXPECT_FLAGS(expr("@@errorx"), 8);
}

TEST(ExpressionsFlags, OperatorsAndForms) {
  EXPECT_FLAGS(expr("a + 1"), EF_COLUMN | EF_CONSTANT);
  EXPECT_FLAGS(expr("-0"), 514);
  EXPECT_FLAGS(expr("(@@error)"), 264);
  EXPECT_FLAGS(expr("~@v"), 4);
  EXPECT_FLAGS(expr("+a"), 16);
  EXPECT_FLAGS(expr("@v || 'x' & a ^ 1 | 2 % 3 / 4 * 5 - 6"), 4 | 2 | 16);
  EXPECT_FLAGS(expr("case a when 1 then @v end"), 16 | 2 | 4 | 1);
  EXPECT_FLAGS(expr("case a when 1 then @v else @@error end"), 16 | 2 | 4 | 264);
  EXPECT_FLAGS(expr("case when a = 1 then 0 end"), 16 | 2 | 514 | 1);
  EXPECT_FLAGS(expr("cast(@v as int)"), 4);
  EXPECT_FLAGS(expr("convert(int, a)"), 16 | 1);
  EXPECT_FLAGS(expr("convert(int null, a, @v)"), 16 | 4);
  EXPECT_FLAGS(expr("coalesce(a, @v, 1)"), 16 | 4 | 2);
  EXPECT_FLAGS(expr("nullif(a, 0)"), 16 | 514);
  EXPECT_FLAGS(expr("(select a from t)"), EF_SUBQUERY);
  EXPECT_FLAGS(expr("sum(a)"), EF_AGGREGATE | EF_COLUMN);
  EXPECT_FLAGS(expr("count(*)"), 64 | 1);
  EXPECT_FLAGS(expr("sum(distinct @v)"), 64 | 4);
  EXPECT_FLAGS(expr("max(@v)"), 64 | 4);
  EXPECT_FLAGS(expr("count_big(all 0)"), 64 | 514);
  EXPECT_FLAGS(expr("sum((select a from t))"), 64 | 32);
  EXPECT_FLAGS(expr("abs(a)"), EF_FUNCTION | EF_COLUMN);
  EXPECT_FLAGS(expr("pi()"), 128 | 1);
  EXPECT_FLAGS(expr("getdate()"), 128 | EF_DATE_FUNC);
}

TEST(ExpressionsFlags, ErrorFormsGiveNone) {
  EXPECT_FLAGS(analyse("return (select from)", "Gen_Expression", "LPAR error RPAR"), EF_NONE);
  EXPECT_FLAGS(analyse("return cast(from)", "Gen_Expression", "CAST_ID LPAR error RPAR"), 1);
  EXPECT_FLAGS(analyse("return case from end", "Gen_Expression", "CASE_KW error END_KW"), 1);
  EXPECT_FLAGS(analyse("return max(from)", "Aggregate_Expression", "MAKS_KW LPAR error RPAR"), 1);
}

TEST(ExpressionsFlags, SubqueryCarriesItsClauses) {
  // The select item and the four clauses (a table reference and an empty
  // clause give EF_NONE); the enclosing expression sees only EF_SUBQUERY.
  EXPECT_FLAGS(analyse("return (select @v from t where a = 0)", "Sub_Query"), 4 | 1 | 16 | 514);
  EXPECT_FLAGS(analyse("return (select @v from t where a = 0)", "Gen_Expression"), 32);
  EXPECT_FLAGS(analyse("return (select max(a) from t group by b having getdate() > 1)", "Sub_Query"),
               64 | 16 | 1 | 128 | 1024 | 2);
  EXPECT_FLAGS(analyse("if a in (select b from t) return", "Predicate_Expr"), 16 | 16 | 1);
  EXPECT_FLAGS(analyse("if a > any (select @@error) return", "Predicate_Expr"), 16 | 264 | 1);
  EXPECT_FLAGS(analyse("if exists (select a from t) return", "Predicate_Expr"), 16 | 1);
  EXPECT_FLAGS(analyse("if exists (select * from t) return", "Predicate_Expr"), 1);
  EXPECT_FLAGS(analyse("if exists (select t.* from t where x = @v) return", "Predicate_Expr"), 1 | 16 | 4);
}

TEST(ExpressionsFlags, Predicates) {
  EXPECT_FLAGS(pred("a = 1"), 18);
  EXPECT_FLAGS(pred("@@error = 0"), 264 | 514);
  EXPECT_FLAGS(pred("a between @v and 1"), 16 | 4 | 2);
  EXPECT_FLAGS(pred("a not between @v and 1"), 16 | 4 | 2);
  EXPECT_FLAGS(pred("a in (1, @v)"), 16 | 2 | 4);
  EXPECT_FLAGS(pred("a not in (@@error)"), 16 | 264);
  EXPECT_FLAGS(pred("a is null"), 16);
  EXPECT_FLAGS(pred("@v is not null"), 4);
  EXPECT_FLAGS(pred("a like 'x%' escape @v"), 16 | 2 | 4);
  EXPECT_FLAGS(pred("a not like 'x%'"), 16 | 2);
  EXPECT_FLAGS(pred("a = all (1, 2)"), 18);
  EXPECT_FLAGS(pred("not (a = 1) and @v = 2 or getdate() > 0"), 16 | 2 | 4 | 128 | 1024 | 514);
  EXPECT_FLAGS(pred("update(a)"), 1);
}

TEST(ExpressionsFlags, BuiltInCalls) {
  EXPECT_FLAGS(analyse("return getdate()", "Function_Call"), EF_DATE_FUNC);
  EXPECT_FLAGS(analyse("return getutcdate()", "Function_Call"), 1024);
  EXPECT_FLAGS(analyse("return current_date()", "Function_Call"), 1024);
  EXPECT_FLAGS(analyse("return current_time()", "Function_Call"), 1024);
  EXPECT_FLAGS(analyse("return pi()", "Function_Call"), EF_NONE);
  EXPECT_FLAGS(analyse("return db_name()", "Function_Call"), 1);
  EXPECT_FLAGS(analyse("return abs(a)", "Function_Call"), 16);
  EXPECT_FLAGS(analyse("return user", "Function_Call"), 1);
  EXPECT_FLAGS(analyse("return syb_identity", "Function_Call"), 1);
  EXPECT_FLAGS(analyse("return identity(10)", "Function_Call"), 1);
  EXPECT_FLAGS(analyse("return identity(@n)", "Function_Call"), 1);
  EXPECT_FLAGS(analyse("return newid()", "Function_Call"), 1);
  EXPECT_FLAGS(analyse("return newid(@v)", "Function_Call"), 4);
  EXPECT_FLAGS(analyse("return stuff(a, 1, @v, 'x')", "Function_Call"), 16 | 2 | 4);
  EXPECT_FLAGS(analyse("return substring(a, 1, @v)", "Function_Call"), 16 | 2 | 4);
  EXPECT_FLAGS(analyse("return str(a, 1)", "Function_Call"), 16 | 2);
  EXPECT_FLAGS(analyse("return data_pages(1, a, @v, 2)", "Function_Call"), 2 | 16 | 4);
  EXPECT_FLAGS(analyse("return pagesize(a)", "Function_Call"), 16);
  // The date part adds nothing; a nested date function keeps its flag.
  EXPECT_FLAGS(analyse("return dateadd(dd, 1, getdate())", "Function_Call"), 2 | 128 | 1024);
  EXPECT_FLAGS(analyse("return datepart(yy, a)", "Function_Call"), 16);
  EXPECT_FLAGS(analyse("return dateadd(dd, 1, getdate())", "Datepart_And_Two_Func_Args"), 2 | 128 | 1024);
  EXPECT_FLAGS(analyse("return convert(int, a)", "Convert_Style_Option"), 1);
  EXPECT_FLAGS(analyse("return convert(char(10), a, 101)", "Convert_Style_Option"), 2);
  EXPECT_FLAGS(analyse("return list_appcontext()", "Optional_One_Func_Arg"), 1);
  EXPECT_FLAGS(analyse("return case a when 1 then 2 end", "Else_Expr_Option"), 1);
}

TEST(ExpressionsCounters, ExpressionNodesAndCalls) {
  struct Case {
    const char* text;
    int nodes, calls;
  } cases[] = {
      // The operator and the column; the literal is not counted.
      {"return a + 1", 2, 0},
      // The call and its column argument.
      {"return abs(x)", 2, 1},
      {"return 1", 0, 0},
      {"return @v", 0, 0},
      {"return @@rowcount", 1, 1},
      {"return -(a)", 1, 0},
      {"return ~a", 2, 0},
      {"return case a when 1 then b else c end", 4, 0},
      {"return case when a = 1 then 2 end", 2, 0},
      {"return cast(a as int)", 2, 0},
      {"return convert(int, a, b)", 3, 0},
      {"return coalesce(a, b, 1)", 3, 0},
      {"return nullif(a, b)", 3, 0},
      // Aggregates and parenthesised subqueries are not counted themselves.
      {"return sum(a)", 1, 0},
      {"return count(*)", 0, 0},
      {"return (select a from t)", 1, 0},
      {"return getdate()", 1, 1},
      {"return dateadd(dd, 1, getdate())", 2, 2},
      {"return user", 1, 1},
      // The date part is a leaf; IDENTITY visits nothing below the call.
      {"return datepart(yy, d)", 2, 1},
      {"return identity(10)", 1, 1},
      {"return syb_identity + newid(@@rowcount)", 4, 3},
      {"if x in (select a from t) return", 2, 0},
      // An error form still counts its node.
      {"return case from end", 1, 0},
      {"return (from)", 0, 0},
      {"if a = @@error and b like 'x' return", 3, 1},
      {"if a *= b return", 2, 0},
  };
  for (const Case& c : cases) {
    Outcome o = analyse(c.text, "Gen_Expression");
    EXPECT_EQ(o.expression_nodes, c.nodes) << c.text;
    EXPECT_EQ(o.calls, c.calls) << c.text;
  }
}

TEST(ExpressionsWords, TableAliasAndGlobalVariableName) {
  Outcome o = analyse("select 1 from t as x1", "Table_Alias");
  ASSERT_TRUE(o.found);
  EXPECT_EQ(o.text, "x1");
  o = analyse("select 1 from t [my alias] holdlock", "Table_Alias");
  ASSERT_TRUE(o.found);
  EXPECT_EQ(o.text, "[my alias]");

  // @@rowcount: known to no target version; the table's spelling.
  o = analyse("return @@ROWCOUNT", "Global_Varname");
  ASSERT_TRUE(o.found);
  EXPECT_EQ(o.flags, 1);
  EXPECT_EQ(o.text, "@@rowcount");
  o = analyse("return @@error", "Global_Varname");
  ASSERT_TRUE(o.found);
  EXPECT_EQ(o.flags, 0);
  EXPECT_EQ(o.text, "");
}

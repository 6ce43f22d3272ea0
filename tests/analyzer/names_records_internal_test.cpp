// The values that the name, datatype and table-reference productions leave
// in the tree: the lexemes of names (keywords used as names
// included), the name records of dotted table, column and procedure names,
// the output flag, the precision and numeric flag of datatypes and the hint
// flags of table options. Each batch is parsed and evaluated for real; the
// tree is read after the evaluation pass, while its pool is still alive.
#include <gtest/gtest.h>
#include <string.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ag_context.h"
#include "analyzer_internal.h"
#include "gn_nodes.h"
#include "parser_glue.h"
#include "qen_analyzer.h"
#include "observed_batch.h"
#include "tree_reader.h"

namespace {

std::string text_of(const void* s) {
  auto* str = static_cast<st_String_const*>(const_cast<void*>(s));
  if (str == nullptr) return "<null>";
  int n = string_length(str);
  std::string out((size_t)n, '\0');
  string_memcpy(out.data(), str, (unsigned)n);
  return out;
}

std::string record3(ag_word r) {
  auto* rec = reinterpret_cast<const name_rec*>(r);
  if (rec == nullptr) return "<null>";
  return "{" + text_of(rec->part[0]) + "|" + text_of(rec->part[1]) + "|" + text_of(rec->part[2]) + "}";
}

std::string record4(ag_word r) {
  auto* rec = reinterpret_cast<const name_rec*>(r);
  if (rec == nullptr) return "<null>";
  return "{" + text_of(rec->part[0]) + "|" + text_of(rec->part[1]) + "|" + text_of(rec->part[2]) + "|" +
         text_of(rec->part[3]) + "}";
}

std::string lexeme_text(int n) {
  st_context* ctx = context_get();
  int start = *int_spv_elem_addr(ctx->lexeme_start, (unsigned)n);
  int end = *int_spv_elem_addr(ctx->lexeme_start, (unsigned)n + 1);
  return std::string(ctx->input_start + start, ctx->input_start + end);
}

// What one batch's tree holds, node by node in depth-first order: one line
// per node of interest, "<left-hand symbol>: <values>".
std::vector<std::string>* g_lines;

bool starts_with(const char* text, const char* prefix) { return strncmp(text, prefix, strlen(prefix)) == 0; }

void note(const st_node* n) {
  const char* d = qen_test::production_text(n);
  std::vector<std::string>& out = *g_lines;
  if (starts_with(d, "Qualified_Object ")) {
    auto* q = reinterpret_cast<const gn_N_Qualified_Object*>(n);
    out.push_back("Qualified_Object: " + lexeme_text((int)q->lexeme) + " " + record3(q->record));
  } else if (starts_with(d, "Table_Name ")) {
    auto* t = reinterpret_cast<const gn_N_Table_Name*>(n);
    out.push_back("Table_Name: " + record3(t->record) + " " + std::to_string(t->unsupported) + " [" +
                  text_of(reinterpret_cast<void*>(ag_word{t->catalog})) + "]");
  } else if (starts_with(d, "Column_Name Identifier_Or_Name")) {
    // The record is the production's local word.
    out.push_back("Column_Name: " + record4(qen_test::word_of(n, "record")));
  } else if (starts_with(d, "Name_Or_Id_Usual ")) {
    auto* u = reinterpret_cast<const gn_N_Name_Or_Id_Usual*>(n);
    out.push_back("Name_Or_Id_Usual: " + lexeme_text((int)u->lexeme));
  } else if (starts_with(d, "Datatype_Ids ")) {
    auto* u = reinterpret_cast<const gn_N_Datatype_Ids*>(n);
    out.push_back("Datatype_Ids: " + lexeme_text((int)u->lexeme));
  } else if (starts_with(d, "Proc_Name ")) {
    auto* p = reinterpret_cast<const gn_N_Proc_Name*>(n);
    out.push_back("Proc_Name: " + std::to_string(p->variable_flag) + " " + record3(p->record));
  } else if (starts_with(d, "Opt_Output")) {
    out.push_back("Opt_Output: " + std::to_string(reinterpret_cast<const gn_N_Opt_Output*>(n)->output));
  } else if (starts_with(d, "Datatype_Head ")) {
    out.push_back("Datatype_Head: " + std::to_string(reinterpret_cast<const gn_N_Datatype_Head*>(n)->numeric));
  } else if (starts_with(d, "Datatype_Tail ")) {
    out.push_back("Datatype_Tail: " + std::to_string(reinterpret_cast<const gn_N_Datatype_Tail*>(n)->precision));
  } else if (starts_with(d, "Table_Options ")) {
    auto* t = reinterpret_cast<const gn_N_Table_Options*>(n);
    out.push_back("Table_Options: " + std::to_string(t->lock_hint) + " " + std::to_string(t->table_hint));
  } else if (starts_with(d, "Table_With_Options ")) {
    out.push_back("Table_With_Options: " + std::to_string(reinterpret_cast<const gn_N_Table_With_Options*>(n)->flags));
  }
}

void observe(void*, st_node* goal) {
  qen_test::find_node_if(goal, [](const st_node* n) {
    note(n);
    return false;
  });
}

// Only the lines that begin with one of the given prefixes.
std::vector<std::string> only(const std::vector<std::string>& lines, const std::string& prefix) {
  std::vector<std::string> out;
  for (auto& l : lines)
    if (l.rfind(prefix, 0) == 0) out.push_back(l);
  return out;
}

std::vector<std::string> parse(const std::string& text, int quoted = 0) {
  std::vector<std::string> lines;
  g_lines = &lines;
  EXPECT_EQ(qen_test::parse_observed("names_records", text, observe, nullptr, quoted).result, 0) << text;
  g_lines = nullptr;
  return lines;
}

using Lines = std::vector<std::string>;

}  // namespace

TEST(NamesRecords, QualifiedObjectsOfEveryForm) {
  Lines l = only(parse("select * from a.b.c, a.b, a..b, a, .a.b, .a, ..a"), "Qualified_Object");
  // The lexeme is the first symbol's, a leading dot included; a part left
  // out is empty.
  EXPECT_EQ(l, (Lines{"Qualified_Object: a {a|b|c}", "Qualified_Object: a {|a|b}", "Qualified_Object: a {a||b}",
                      "Qualified_Object: a {||a}", "Qualified_Object: . {|a|b}", "Qualified_Object: . {||a}",
                      "Qualified_Object: . {||a}"}));
}

TEST(NamesRecords, TableNameCarriesTheRecordAndTheCatalogLookup) {
  Lines l = only(parse("select * from dbo.SysLogs, joe.syslogs, [syslogs], x..sysprocedures, sysobjects"),
                 "Table_Name");
  // The catalog name keeps the spelling of the source; brackets make it
  // another name; the database part is not looked at.
  EXPECT_EQ(l, (Lines{"Table_Name: {|dbo|SysLogs} 1 [SysLogs]", "Table_Name: {|joe|syslogs} 0 []",
                      "Table_Name: {||[syslogs]} 0 []", "Table_Name: {x||sysprocedures} 1 [sysprocedures]",
                      "Table_Name: {||sysobjects} 0 []"}));
}

TEST(NamesRecords, ColumnNamesOfEveryForm) {
  Lines l = only(parse("select a.b.c.d, a.b.c, a..b.c, a.b, a, [t].[c] from t"), "Column_Name");
  EXPECT_EQ(l, (Lines{"Column_Name: {a|b|c|d}", "Column_Name: {|a|b|c}", "Column_Name: {a||b|c}",
                      "Column_Name: {||a|b}", "Column_Name: {|||a}", "Column_Name: {||[t]|[c]}"}));
}

TEST(NamesRecords, KeywordsServeAsNamesWithTheirTextAsWritten) {
  Lines l = parse("select Cast.Int, hash from Text.DateTime");
  // CAST_ID and HASH_ID reach Name_Or_Id_Usual, the datatype words
  // Datatype_Ids; both keep the lexeme, whose text as written makes the
  // records.
  EXPECT_EQ(only(l, "Name_Or_Id_Usual"), (Lines{"Name_Or_Id_Usual: Cast", "Name_Or_Id_Usual: hash"}));
  EXPECT_EQ(only(l, "Datatype_Ids"), (Lines{"Datatype_Ids: Int", "Datatype_Ids: Text", "Datatype_Ids: DateTime"}));
  EXPECT_EQ(only(l, "Column_Name"), (Lines{"Column_Name: {||Cast|Int}", "Column_Name: {|||hash}"}));
  EXPECT_EQ(only(l, "Qualified_Object"), (Lines{"Qualified_Object: Text {|Text|DateTime}"}));
}

TEST(NamesRecords, QuotedIdentifiersKeepTheirQuotes) {
  Lines l = only(parse("select * from \"dbo\".\"syslogs\"", 1), "Table_Name");
  EXPECT_EQ(l, (Lines{"Table_Name: {|\"dbo\"|\"syslogs\"} 0 []"}));
}

TEST(NamesRecords, ProcedureNamesKeepTheirLastThreeParts) {
  Lines l = only(parse("exec p\nexec o.p\nexec d..p\nexec s.d.o.p\nexec a.b.c.d.e\nexec .p\nexec @v\nexec p;2\n"),
                 "Proc_Name");
  EXPECT_EQ(l, (Lines{"Proc_Name: 0 {||p}", "Proc_Name: 0 {|o|p}", "Proc_Name: 0 {d||p}", "Proc_Name: 0 {d|o|p}",
                      "Proc_Name: 0 {c|d|e}", "Proc_Name: 0 {||p}", "Proc_Name: 1 {||}", "Proc_Name: 0 {||p}"}));
}

TEST(NamesRecords, OutputFlagOfParameters) {
  Lines l = only(parse("create procedure p @a int, @b int output, @c int out as return"), "Opt_Output");
  EXPECT_EQ(l, (Lines{"Opt_Output: 0", "Opt_Output: 1", "Opt_Output: 1"}));
}

TEST(NamesRecords, DatatypePrecisionAndNumericFlag) {
  Lines l = parse("declare @a numeric(32), @b decimal(5, 2), @c dec, @d float(53), @e char(007), @f int");
  EXPECT_EQ(only(l, "Datatype_Head"), (Lines{"Datatype_Head: 1", "Datatype_Head: 1", "Datatype_Head: 1",
                                             "Datatype_Head: 0", "Datatype_Head: 0", "Datatype_Head: 0"}));
  EXPECT_EQ(only(l, "Datatype_Tail"),
            (Lines{"Datatype_Tail: 32", "Datatype_Tail: 5", "Datatype_Tail: 53", "Datatype_Tail: 7"}));
}

TEST(NamesRecords, HintFlagsOfTableOptions) {
  Lines l = only(parse("select * from a x, b holdlock, c (index i), d y (index i) noholdlock, e (1), f"),
                 "Table_");
  // Every table reference by name has the flags word EF_NONE.
  EXPECT_EQ(l, (Lines{"Table_With_Options: 1", "Table_Name: {||a} 0 []", "Table_Options: 0 0",
                      "Table_With_Options: 1", "Table_Name: {||b} 0 []", "Table_Options: 1 0",
                      "Table_With_Options: 1", "Table_Name: {||c} 0 []", "Table_Options: 0 1",
                      "Table_Name: {||i} 0 []", "Table_With_Options: 1", "Table_Name: {||d} 0 []",
                      "Table_Options: 1 1", "Table_Name: {||i} 0 []", "Table_With_Options: 1",
                      "Table_Name: {||e} 0 []", "Table_Options: 0 1", "Table_With_Options: 1",
                      "Table_Name: {||f} 0 []"}));
}

TEST(NamesRecords, LongDottedAndLongNames) {
  // Thousands of parts: the record keeps the last three, and no part is lost
  // on the way (the vector grows past its first segment).
  std::string name = "p0";
  for (int i = 1; i < 3000; ++i) name += ".p" + std::to_string(i);
  Lines l = only(parse("exec " + name), "Proc_Name");
  EXPECT_EQ(l, (Lines{"Proc_Name: 0 {p2997|p2998|p2999}"}));

  // Empty parts all the way.
  l = only(parse("exec " + std::string(2000, '.') + "p"), "Proc_Name");
  EXPECT_EQ(l, (Lines{"Proc_Name: 0 {||p}"}));

  // Names of the longest lexeme the scanner takes.
  std::string big(255, 'x');
  l = only(parse("select " + big + "." + big + " from " + big + ".dbo." + big), "Qualified_Object");
  ASSERT_EQ(l.size(), 1u);
  EXPECT_EQ(l[0], "Qualified_Object: " + big + " {" + big + "|dbo|" + big + "}");
}

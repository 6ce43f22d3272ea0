// The shared library exports the string, hash-table, built-in, Text and
// constant families: every name below is a defined dynamic symbol.

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdio>
#include <set>
#include <string>

#include "ag_string.h"
#include "shell_command.h"

namespace {

const char *const kPlain[] = {
    // rope strings
    "alloc_string_no_copy", "make_string_from", "malloc_string_from", "malloc_string", "malloc_string_from_int",
    "malloc_string_from_unsigned", "make_const_string", "string_concat", "cat_str_const", "cat_str", "string_copy",
    "string_flatten", "string_flatten_const", "string_substr", "string_length", "string_is_flat", "string_cmp",
    "string_nteq", "string_icmp", "string_hash", "string_memcpy", "string_strncpy", "string_strncpy_lower",
    "string_to_chars", "string_print", "string_debug_print", "print_errors", "dump_string", "string_iter_init",
    "string_iter_reset", "string_iter_next", "string_iter_mark", "string_iter_unmark",
    "string_iter_restore_to_mark", "string_iter_done", "string_iter_replace", "string_replace",
    // hash tables
    "ght_create", "ght_context", "ght_item_count", "ght_iter_count", "ght_find", "ght_insert", "ght_delete",
    "ght_iterate", "ght_destroy", "ght_dump",
    // built-in operations
    "string_cat_", "string_cat3_", "string_cat4_", "string_cat5_", "string_cat6_", "string_length_",
    "string_copy_", "lexeme_number_", "lexeme_position_", "lexeme_text_", "lexeme_range_text_", "lexeme_kind_",
    "lexeme_line_and_col_", "line_text_", "int_add_", "int_negate_", "int_mult_", "int_div_", "int_lt_",
    "int_le_", "int_eq_", "int_max_", "int_min_", "int_choose_", "int_to_uint_", "uint_to_int_", "uint_add_",
    "uint_sub_", "uint_rem_", "uint_lt_", "uint_le_", "uint_eq_", "uint_max_", "uint_min_", "uint_and_",
    "uint_or_", "uint_xor_", "dbl_add_", "dbl_mult_", "dbl_neg_", "dbl_lt_", "dbl_le_", "dbl_eq_", "dbl_max_",
    "dbl_min_", "int_to_dbl_", "dbl_to_int_", "bool_not_", "bool_eq_", "bool_and_", "bool_or_",
    "lexeme_length_c", "line_text_c",
    // string-node constants
    "C_newline", "C_indent", "C_empty_string", "C_end_of_input", "C_comma", "C_comma_space", "C_single_quote",
    "C_dbl_quote", "C_single_space", "C_semi_char", "C_semi_newline", "C_tab_char", "C_equal", "C_lpar",
    "C_rpar", "C_plussign", "C_dualvertbar", "C_vertbar", "C_percent", "C_ampersand", "C_circumflex", "C_tilde",
    "C_minussign", "C_starsign", "C_dividesign", "C_notequal", "C_lessthan", "C_greaterequal", "C_greaterthan",
    "C_lesserequal", "C_and", "C_or", "C_not", "C_dot", "C_string_cat", "C_negate", "C_unary_plus", "C_bit_and",
    "C_bit_or", "C_bit_xor", "C_bit_not",
    // Text constants (plain names: C++ variables are not decorated)
    "C_Em", "C_Nl", "C_Cm", "C_Sp", "C_Sq", "C_Dq", "C_Sc", "C_Tb", "C_Lp", "C_Rp", "C_Dt", "C_Us", "C_Qm",
    "C_SqSq", "C_DqDq", "C_DqSp", "C_SqSp", "C_CmSp", "C_ScNl", "C_NlNl", "C_DtDt", "C_CnNl", "C_RpSc", "C_RpNl",
    "C_SpSqSq", "C_SqCmSp", "C_DqCmSp", "C_CmSpSq", "C_CmSpDq", "C_RpScNl", "C_DqScNl", "C_SqScNl", "C_DqDtDq",
    "C_SpLtSp", "C_DqSpLpNl", "C_SqRpScNl", "C_SqSqCmSp", "C_DqRpScNl", "C_SqCmSpSq", "C_DqCmSpDq", "C_CmNlTb",
    "C_DqLpRpScNl", "C_In", "C_InIn", "C_Default", "C_DefaultSp", "C_SpDefaultSp", "C_declare", "C_Int", "C_if",
    "C_thenNl", "C_elseNl", "C_elseSp", "C_endifScNl", "C_beginNl", "C_callSp", "C_endNl", "C_end", "C_endScNl",
    "C_transAndExec", "C_transAndExecTail", "C_localVariablePrefix", "C_raiserror", "C_SpEqGtSp", "C_SpEqSp",
    "C_inner_join", "C_left_join", "C_right_join", "C_pxqOJOp", "C_concat", "C_TempTableHiddenColName",
    "C_year", "C_quarter", "C_month", "C_week", "C_day", "C_hour", "C_minute", "C_second", "C_weekday",
    "C_millisecond", "C_calweekofyear", "C_calyearofweek", "C_caldayofweek",
};

// Demangled C++ members of the classes.
const char *const kClasses[] = {
    "Text::Text(char const*)",
    "Text::Text(char const*, int)",
    "Text::C_empty_text",
    "Text::equals(Text, bool) const",
    "Text::c_str(st_context*) const",
    "Text::flatten(st_context*)",
    "Text::strncpy(char*, unsigned int) const",
    "Text::memcpy(char*, unsigned int) const",
    "Text::print(_IO_FILE*) const",
    "Text::print() const",
    "Text::debug() const",
    "Text::substr(int, int, smp_memory_pool*)",
    "Text::replace(Text, Text, smp_memory_pool*)",
    "Text::operator+(Text const&) const",
    "Text::operator+(st_String_const*) const",
    "Text::operator+(char const*) const",
    "Text::operator+(int) const",
    "Text::operator+(unsigned int) const",
    "Text::operator+=(Text const&)",
    "Text::joinChars(char const*, int) const",
    "string_nteq(Text, Text)",
    "PoolAllocated::operator new(unsigned long)",
    "PoolAllocated::~PoolAllocated()",
    "vtable for PoolAllocated",
    "typeinfo for PoolAllocated",
};

std::string library_path() {
  Dl_info info{};
  if (!dladdr(reinterpret_cast<void *>(&string_hash), &info) || !info.dli_fname) return {};
  return info.dli_fname;
}

std::set<std::string> symbols(const std::string &lib, bool demangle) {
  std::set<std::string> out;
  std::string cmd = std::string("nm -D --defined-only ") + (demangle ? "-C " : "") + qen_test::shell_quote(lib);
  FILE *p = popen(cmd.c_str(), "r");
  if (!p) return out;
  char line[4096];
  while (std::fgets(line, sizeof line, p)) {
    std::string s(line);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
    // "<address> <type> <name>": the name may hold blanks once demangled.
    std::size_t a = s.find(' ');
    if (a == std::string::npos) continue;
    std::size_t b = s.find(' ', a + 1);
    if (b == std::string::npos) continue;
    out.insert(s.substr(b + 1));
  }
  pclose(p);
  return out;
}

TEST(QenAgExports, StringHashBuiltinTextAndConstantFamilies) {
  std::string lib = library_path();
  ASSERT_NE(lib.find("libqen_ag.so"), std::string::npos) << lib;
  std::set<std::string> raw = symbols(lib, false);
  ASSERT_FALSE(raw.empty());
  for (const char *name : kPlain) EXPECT_TRUE(raw.count(name)) << name << " is not exported";
  std::set<std::string> cpp = symbols(lib, true);
  for (const char *name : kClasses) EXPECT_TRUE(cpp.count(name)) << name << " is not exported";
  // Internal helpers stay hidden.
  for (const std::string &s : cpp) {
    EXPECT_EQ(s.find("qen_ag::"), std::string::npos) << s;
    EXPECT_EQ(s.find("RopeWalk"), std::string::npos) << s;
  }
}

}  // namespace

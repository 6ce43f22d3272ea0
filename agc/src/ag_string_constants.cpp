/* The shared constant string nodes: static leaves over constant text. */

#include "ag_string.h"

#define AG_CONST_STRINGS(X)                \
  X(C_newline, "\n")                       \
  X(C_indent, "    ")                      \
  X(C_empty_string, "")                    \
  X(C_end_of_input, "<end of input>")      \
  X(C_comma, ",")                          \
  X(C_comma_space, ", ")                   \
  X(C_single_quote, "'")                   \
  X(C_dbl_quote, "\"")                     \
  X(C_single_space, " ")                   \
  X(C_semi_char, ";")                      \
  X(C_semi_newline, ";\n")                 \
  X(C_tab_char, "\t")                      \
  X(C_equal, "=")                          \
  X(C_lpar, "(")                           \
  X(C_rpar, ")")                           \
  X(C_plussign, " + ")                     \
  X(C_dualvertbar, " || ")                 \
  X(C_vertbar, " | ")                      \
  X(C_percent, " % ")                      \
  X(C_ampersand, " & ")                    \
  X(C_circumflex, " ^ ")                   \
  X(C_tilde, " ~ ")                        \
  X(C_minussign, " - ")                    \
  X(C_starsign, " * ")                     \
  X(C_dividesign, " / ")                   \
  X(C_notequal, " != ")                    \
  X(C_lessthan, " < ")                     \
  X(C_greaterequal, " >= ")                \
  X(C_greaterthan, " > ")                  \
  X(C_lesserequal, " <= ")                 \
  X(C_and, " AND ")                        \
  X(C_or, " OR ")                          \
  X(C_not, " NOT ")                        \
  X(C_dot, ".")                            \
  X(C_string_cat, " || ")                  \
  X(C_negate, "-")                         \
  X(C_unary_plus, "+")                     \
  X(C_bit_and, "BITAND")                   \
  X(C_bit_or, "BITOR")                     \
  X(C_bit_xor, "BITXOR")                   \
  X(C_bit_not, "BITNOT")

namespace {
#define AG_NODE(name, text) st_String_const name##_node = {text, nullptr, (int32_t)(sizeof(text) - 1)};
AG_CONST_STRINGS(AG_NODE)
#undef AG_NODE
}  // namespace

extern "C" {
#define AG_PTR(name, text) st_String_const *const name = &name##_node;
AG_CONST_STRINGS(AG_PTR)
#undef AG_PTR
}

/* The Text side: the default node and the constant fragments, all
 * constant-initialised static data. */
#include "ag_text.h"

st_String_const *const Text::C_empty_text = &C_empty_string_node;

namespace {
#define AG_TEXT_NODE(name, text) st_String_const name##_text_node = {text, nullptr, (int32_t)(sizeof(text) - 1)};
QEN_AG_TEXT_CONSTANTS(AG_TEXT_NODE)
#undef AG_TEXT_NODE
}  // namespace

#define AG_TEXT_DEF(name, text) constinit Text name(&name##_text_node);
QEN_AG_TEXT_CONSTANTS(AG_TEXT_DEF)
#undef AG_TEXT_DEF

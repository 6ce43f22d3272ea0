#ifndef QEN_ANALYZER_CHILD_WORDS_H
#define QEN_ANALYZER_CHILD_WORDS_H

/* Reading words of children from grammar code (include after gn_nodes.h):
 * names, procedure name records and switch words, read the same way by the
 * areas that use them. */

#include "gn_nodes.h"

/* Lexeme number of a name (an Identifier_Or_Name, Name_Or_Id or
 * Name_Or_Id_Usual node). */
template <class Name>
inline gn_lexeme_word gn_name_lexeme(Name* n) {
  return n->lexeme;
}

/* Text of a name as written (quotes and brackets kept). */
template <class Name>
inline gn_text_word gn_name_text(Name* n) {
  return gn_call(lexeme_text_, gn_name_lexeme(n));
}

/* Name record of a dotted procedure name, taken at construction: the
 * parts are gathered into a new vector by evaluating the name at once; the
 * last three parts make the record. */
inline ag_word gn_procedure_name_record(gn_N_Procedure_Name_Base* base) {
  ag_word parts = gn_call(spv_new, 0);
  gn_visit(base, parts);
  return gn_call(name_from_parts, parts);
}

/* The tag "PREFIX name]" of a feature whose name is found at run time,
 * made only when the feature is reported (flag set): most names are
 * supported, and their tags would only fill the pool. */
inline gn_text_word gn_feature_tag_if(gn_flag_word flag, st_String_const* prefix, gn_text_word name) {
  return flag.value != 0 ? gn_call(string_cat3_, prefix, name, &FT_CLOSE) : gn_text_word{0};
}

/* The switch word of a statement. */
template <class Node>
inline gn_tie_word gn_switch_word(Node* n) {
  return n->switch_word;
}

#endif

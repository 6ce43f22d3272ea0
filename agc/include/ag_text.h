#ifndef QEN_AG_TEXT_H
#define QEN_AG_TEXT_H

/* Text: a value wrapping one rope string, with comparison, joining and
 * printing; PoolAllocated: a base class placing objects in the pool of the
 * calling thread's context; and the constant Text fragments. Operations
 * that need a pool and are given none use the thread's context. */

#include <stddef.h>
#include <stdio.h>

#include "ag_context.h"
#include "ag_string.h"
#include "ag_word.h"

class QEN_AG_API Text {
 public:
  constexpr Text(st_String_const *s = C_empty_text) : node_(s ? s : C_empty_text) {}
  /* A flat copy in the context's pool; NULL gives the empty text. */
  Text(const char *text);
  Text(const char *text, int length);

  st_String_const *toString() const { return node_; }

  Text &operator=(st_String_const *s) {
    node_ = s ? s : C_empty_text;
    return *this;
  }
  Text &operator=(const Text &t) = default;
  Text(const Text &t) = default;

  /* Identity of the nodes, not content: see equals(). */
  bool operator==(st_String_const *s) const { return node_ == s; }
  bool operator!=(st_String_const *s) const { return node_ != s; }
  bool operator==(const Text &t) const { return node_ == t.node_; }
  bool operator!=(const Text &t) const { return node_ != t.node_; }

  bool equals(Text other, bool ignoreCase = false) const;
  int length() const { return node_->length; }
  bool isEmpty() const { return node_->length == 0; }

  /* A new NUL-terminated copy in a freeable block of ctx's pool. */
  char *c_str(st_context *ctx = NULL) const;
  /* Replaces a concatenation by a flat copy; returns the resulting text. */
  Text flatten(st_context *ctx = NULL);
  int strncpy(char *buffer, unsigned n) const;
  int memcpy(char *buffer, unsigned n) const;
  void print(FILE *f) const;
  void print() const; /* standard output, then a newline */
  void debug() const; /* tree form on standard output, then a newline */

  Text substr(int start, int len, smp_memory_pool *pool = NULL);
  Text replace(Text pattern, Text replacement, smp_memory_pool *pool = NULL);

  Text operator+(const Text &t) const;
  Text operator+(st_String_const *s) const;
  Text operator+(const char *text) const;
  Text operator+(int value) const;
  Text operator+(unsigned value) const;
  Text operator+=(const Text &t);

  /* Joins a copy of length bytes at text (used by the string-class joins
   * of text_ace.h). */
  Text joinChars(const char *text, int length) const;

 private:
  static st_String_const *const C_empty_text;
  st_String_const *node_;
};

QEN_AG_API int string_nteq(Text a, Text b);

class QEN_AG_API PoolAllocated {
 public:
  /* From the pool of the thread's context; without one the process ends
   * through the fatal exit. */
  static void *operator new(size_t n);
  /* Objects die with their pool; nothing is given back one by one. */
  static void operator delete(void *) noexcept {}
  PoolAllocated() {}
  PoolAllocated(const PoolAllocated &) {}
  PoolAllocated &operator=(const PoolAllocated &) { return *this; }
  virtual ~PoolAllocated();
};

/* Constant Text fragments (one node each). */
#define QEN_AG_TEXT_CONSTANTS(X)                                        \
  X(C_Em, "")                                                           \
  X(C_Nl, "\n")                                                         \
  X(C_Cm, ",")                                                          \
  X(C_Sp, " ")                                                          \
  X(C_Sq, "'")                                                          \
  X(C_Dq, "\"")                                                         \
  X(C_Sc, ";")                                                          \
  X(C_Tb, "\t")                                                         \
  X(C_Lp, "(")                                                          \
  X(C_Rp, ")")                                                          \
  X(C_Dt, ".")                                                          \
  X(C_Us, "_")                                                          \
  X(C_Qm, "?")                                                          \
  X(C_SqSq, "''")                                                       \
  X(C_DqDq, "\"\"")                                                     \
  X(C_DqSp, "\" ")                                                      \
  X(C_SqSp, "' ")                                                       \
  X(C_CmSp, ", ")                                                       \
  X(C_ScNl, ";\n")                                                      \
  X(C_NlNl, "\n\n")                                                     \
  X(C_DtDt, "..")                                                       \
  X(C_CnNl, ":\n")                                                      \
  X(C_RpSc, ");")                                                       \
  X(C_RpNl, ")\n")                                                      \
  X(C_SpSqSq, " ''")                                                    \
  X(C_SqCmSp, "', ")                                                    \
  X(C_DqCmSp, "\", ")                                                   \
  X(C_CmSpSq, ", '")                                                    \
  X(C_CmSpDq, ", \"")                                                   \
  X(C_RpScNl, ");\n")                                                   \
  X(C_DqScNl, "\";\n")                                                  \
  X(C_SqScNl, "';\n")                                                   \
  X(C_DqDtDq, "\".\"")                                                  \
  X(C_SpLtSp, "<")                                                      \
  X(C_DqSpLpNl, "\" (\n")                                               \
  X(C_SqRpScNl, "');\n")                                                \
  X(C_SqSqCmSp, "'', ")                                                 \
  X(C_DqRpScNl, "\");\n")                                               \
  X(C_SqCmSpSq, "', '")                                                 \
  X(C_DqCmSpDq, "\", \"")                                               \
  X(C_CmNlTb, ",\n\t")                                                  \
  X(C_DqLpRpScNl, "\"();\n")                                            \
  X(C_In, "    ")                                                       \
  X(C_InIn, "        ")                                                 \
  X(C_Default, "DEFAULT")                                               \
  X(C_DefaultSp, "DEFAULT ")                                            \
  X(C_SpDefaultSp, " DEFAULT ")                                         \
  X(C_declare, "DECLARE ")                                              \
  X(C_Int, " INT")                                                      \
  X(C_if, "IF ")                                                        \
  X(C_thenNl, "THEN\n")                                                 \
  X(C_elseNl, "ELSE \n")                                                \
  X(C_elseSp, "ELSE ")                                                  \
  X(C_endifScNl, "END IF;\n")                                           \
  X(C_beginNl, "BEGIN\n")                                               \
  X(C_callSp, "CALL ")                                                  \
  X(C_endNl, "END\n")                                                   \
  X(C_end, "END")                                                       \
  X(C_endScNl, "END;\n")                                                \
  X(C_transAndExec, "QEN_REPOS.TRANSLATE_AND_EXECUTE ")                 \
  X(C_transAndExecTail, "NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL") \
  X(C_localVariablePrefix, "oldNestingLevelForTempTable")               \
  X(C_raiserror, "CALL QEN_REPOS.RAISERROR(")                           \
  X(C_SpEqGtSp, " => ")                                                 \
  X(C_SpEqSp, " = ")                                                    \
  X(C_inner_join, " JOIN ")                                             \
  X(C_left_join, " LEFT JOIN ")                                         \
  X(C_right_join, " RIGHT JOIN ")                                       \
  X(C_pxqOJOp, "(+)")                                                   \
  X(C_concat, "||")                                                     \
  X(C_TempTableHiddenColName, "QEN_INTERNAL_NESTING_VALUE")             \
  X(C_year, "'year'")                                                   \
  X(C_quarter, "'quarter'")                                             \
  X(C_month, "'month'")                                                 \
  X(C_week, "'week'")                                                   \
  X(C_day, "'day'")                                                     \
  X(C_hour, "'hour'")                                                   \
  X(C_minute, "'minute'")                                               \
  X(C_second, "'second'")                                               \
  X(C_weekday, "'weekday'")                                             \
  X(C_millisecond, "'millisecond'")                                     \
  X(C_calweekofyear, "'calweekofyear'")                                 \
  X(C_calyearofweek, "'calyearofweek'")                                 \
  X(C_caldayofweek, "'caldayofweek'")

#define QEN_AG_DECLARE_TEXT(name, text) extern QEN_AG_API Text name;
QEN_AG_TEXT_CONSTANTS(QEN_AG_DECLARE_TEXT)
#undef QEN_AG_DECLARE_TEXT

#endif

// The built-in functions and operators of expressions, as the table
// functions.def says: what each one is in the target, and the pieces that
// both the record of a call (the rewriting walk) and its written form (the
// exact forms of the last pass) read the same way.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "findings.h"

struct astNode;
struct astListCell;
struct astNodeList;
struct TransformState;
namespace expr {
class Tree;
class ListTree;
}  // namespace expr

enum class FunctionKind { FUNCTION, AGGREGATE, VALUE, OPERATOR, ROUTINE };
enum class FunctionOutcome { SAME, TRANSLATED, RECORDED };
// The rules of the TRANSLATED rows (exact_expressions.cpp, but for
// CALL_SETTING_TARGET).
enum class FunctionRule {
  NONE,
  CHARACTERS,            // SUBSTR, LENGTH, INSTR counted in characters: the target's name with 4
  TRANSLATE_CHARACTERS,  // TRANSLATE in the target's order, removed characters by REPLACE
  REPLACE_NULLS,         // REPLACE whose replacement or search string is NULL
  ATAN2_ORDER,           // ATAN2 with its coordinates swapped
  LOG_BASE,              // LOG(b, x) as LOG10 or LN over LN
  MOD_ZERO,              // MOD by zero gives the first argument
  POWER_EXACT,           // POWER and ** of an exact base
  DECODE_NULLS,          // DECODE with NULL arguments of a type, results of the first one's type
  FIRST_RESULT_TYPE,     // NVL, NVL2: the later result of the first one's type
  REGEXP_NULLS,          // REGEXP_REPLACE, REGEXP_SUBSTR with a NULL replacement or flags
  EXACT_DIVISION,        // "/" (exactDivisions)
  FORMAT_TEXT,           // CHECKED: a format with text in double quotes
  CALL_SETTING_TARGET,   // DBMS_SQL's functions: an assignment's CALL (rewrite_statements.cpp)
};

// The scale of a function's result, for a value stored in a type of fixed
// scale (functions.def says what each means).
enum class ResultScale : uint8_t { UNTOLD, INTEGER, ARGUMENTS, FRACTION, ROUNDING };

// What else the translation reads of a row: bits of BuiltinFunction::facts
// (functions.def says what each means).
namespace fact {
enum : uint8_t {
  TARGET_MODULE_HAS = 1 << 0,
  WRITES_FIRST_LOB = 1 << 1,
  END_OF_DATA = 1 << 2,
  TIMESTAMP_RESULT = 1 << 3,
};
}  // namespace fact

struct BuiltinFunction {
  const char* name;  // upper case
  FunctionKind kind;
  ResultScale scale;
  FunctionOutcome outcome;
  FunctionRule rule;  // TRANSLATED rows, and the check of CHECKED rows
  FindingId finding;  // RECORDED and CHECKED rows
  uint8_t facts;
  const char* detail;
};

extern const BuiltinFunction kBuiltinFunctions[];
extern const int kBuiltinFunctionCount;

// The rows of a fact, told apart by the first letter of their names (of
// their packages' names for routines, SYS. before one included) before
// anything dearer.
struct FactRows {
  uint32_t letters = 0;
  struct Named {
    char first;  // folded
    const BuiltinFunction* row;
  };
  std::vector<Named> rows;
  // The routines by package, its name in lower case with its dot, as
  // routineOfPackage reads it.
  struct Package {
    std::string prefix;
    std::vector<const BuiltinFunction*> routines;
  };
  std::vector<Package> packages;
  bool mayHold(const char* name) const {
    unsigned letter = name ? static_cast<unsigned>((name[0] | 0x20) - 'a') : 26;
    return letter < 26 && (letters >> letter & 1);
  }
};
extern const FactRows kTimestampResults;
extern const FactRows kLobWriters;
extern const FactRows kEndOfDataRoutines;
// The row of a value or function of the fact with that name (any case), or
// null.
const BuiltinFunction* rowWithFact(const FactRows& facts, const char* name);
// The row of a routine of the fact that a call names, package.routine or
// SYS.package.routine in any case; null for none.
const BuiltinFunction* routineWithFact(const FactRows& facts, const char* name);
// Whether a word (any case) names a value or function whose result is a
// TIMESTAMP.
inline bool isTimestampResult(const char* word) {
  return kTimestampResults.mayHold(word) && rowWithFact(kTimestampResults, word);
}

using TokenNodes = std::vector<astNode*>;

// Whether a row is a function of PL/SQL called with arguments, which a call
// of its name in an expression means (a ROUTINE row is read as any
// routine's call).
inline bool isBuiltinCall(const BuiltinFunction& row) {
  return row.kind == FunctionKind::FUNCTION || row.kind == FunctionKind::AGGREGATE;
}

// Whether a token code may be a function's name: a word, or REPLACE, which
// the scanner reads as the keyword of CREATE OR REPLACE.
bool isFunctionNameCode(int code);

// The lengths (bit n for n characters, up to 63) of the names, by their
// first letter, that take a record when called or named alone (RECORDED
// rows, and the translations that some arguments defeat) and that have a
// written form.
struct FunctionNameLengths {
  uint64_t calledRecord[26];
  uint64_t valueRecord[26];
  uint64_t form[26];
};
extern const FunctionNameLengths kFunctionNameLengths;

inline bool nameLengthIn(const uint64_t* lengths, const char* word) {
  if (!word) return false;
  unsigned letter = static_cast<unsigned>((word[0] | 0x20) - 'a');
  if (letter >= 26 || !lengths[letter]) return false;
  size_t length = std::strlen(word);
  return lengths[letter] & (uint64_t(1) << (length < 63 ? length : 63));
}

// Whether a word may name a row that takes a record, called (followed by
// "(") or alone, or one that has a written form: told by its first letter
// and length, so that most words cost no more than that.
inline bool mayTakeFunctionRecord(const char* word, bool called) {
  return nameLengthIn(called ? kFunctionNameLengths.calledRecord : kFunctionNameLengths.valueRecord, word);
}
inline bool mayHaveFunctionForm(const char* word) { return nameLengthIn(kFunctionNameLengths.form, word); }
// The row of a function or value of that name (any case), or null.
const BuiltinFunction* builtinNamed(const char* word);
// The row of that name (any case, a package's routine with its package's
// name), of any kind but an operator; null for none.
const BuiltinFunction* functionRowNamed(const char* name);
// Whether a call of that name (any case) is of a CALL_SETTING_TARGET row;
// most names are turned away by their first letter.
extern const uint32_t kCallSettingLetters;
bool callSettingTargetNamed(const char* name);
inline bool isCallSettingTarget(const char* name) {
  unsigned letter = name ? static_cast<unsigned>((name[0] | 0x20) - 'a') : 26;
  return letter < 26 && (kCallSettingLetters >> letter & 1) && callSettingTargetNamed(name);
}
// The scale of the result of a call of that name, whatever the row's kind;
// UNTOLD for a name the table does not hold.
inline ResultScale resultScaleOf(const char* name) {
  const BuiltinFunction* row = functionRowNamed(name);
  return row ? row->scale : ResultScale::UNTOLD;
}

// Whether a token list is the body of an INSERT: its first token names the
// table, which may be followed by its columns in parentheses.
bool isInsertBody(const astNodeList* list);

// The row of a function or value of the table that the token at `at` of
// `tokens` calls or names: an unqualified word, followed by "(" for a
// FUNCTION row and not for a VALUE row, that no function of the run
// declares; null otherwise.
const BuiltinFunction* builtinAt(const TokenNodes& tokens, size_t at, const TransformState* state);
// The same for a token with the nodes before and after it (null for none).
const BuiltinFunction* builtinAt(const astNode* before, const astNode* name, const astNode* after,
                                 const TransformState* state);

// Whether evaluating the tokens twice may give another value or do
// something twice: a call of a routine that is not a built-in function of
// the table (a function of the run, of a package, SYS_GUID), a function of
// the run written without arguments, a sequence's NEXTVAL.
bool holdsImpureCall(const TokenNodes& tokens, size_t begin, size_t end, const TransformState* state);
// Whether a form may write the tokens twice: they hold no such call and
// are no longer than kLongestWrittenTwice tokens, so that forms nested in
// each other stay of the size the source is (a longer value is read once
// from a query over one row). A value that each branch of a CASE writes
// once is evaluated once, whatever it calls: only its length counts.
inline constexpr size_t kLongestWrittenTwice = 16;
bool mayWriteTwice(const TokenNodes& tokens, size_t begin, size_t end, const TransformState* state);

// One character of a list of TRANSLATE: `code` for CHR(n) (text: the
// digits of n), else the bytes of one character of a literal.
struct ListCharacter {
  bool code;
  std::string text;
};
// The characters of tokens [begin, end) when they are string literals and
// CHR of a number joined by ||; false for anything else, or for no
// character at all (an empty literal is NULL).
bool literalCharacters(const TokenNodes& tokens, size_t begin, size_t end, std::vector<ListCharacter>* characters);
// The same for a node of an expression's tree: a literal, CHR of a
// number, or such pieces joined by ||.
bool literalCharacters(const expr::Tree& tree, int node, std::vector<ListCharacter>* characters);
// Whether two characters of such lists are the same character.
bool sameCharacter(const ListCharacter& a, const ListCharacter& b);

// Whether the tokens are the keyword NULL alone, or an empty literal.
bool isNullLiteral(const TokenNodes& tokens, size_t begin, size_t end);
// The same for an argument of a call (an ITEMS node of the tree).
bool isNullArgument(const expr::Tree& tree, int argument);

// For each argument of a DECODE call (a CALL node of the tree): the index
// of the argument whose type its NULL keyword takes, as NULLIF(a, a);
// kNotNull for an argument that is no NULL keyword, kLeftOut for a NULL
// default (the same as none), kUntyped for a NULL that no argument can
// type.
enum { kNotNull = -1, kUntyped = -2, kLeftOut = -3 };
std::vector<int> decodeNullTypes(const expr::Tree& tree, int call, const TransformState* state);

// Whether the record step reads the arguments of a call of the row: rows
// some of whose calls the target cannot take as their form writes them.
bool checksArguments(const BuiltinFunction& row);

// What a value of a list's tree is, as far as its tokens and the
// declarations in scope at `scope` tell: a string (a literal, a joining,
// a variable or parameter of a string type), a number (a literal with its
// sign, a variable or parameter of a numeric type, their arithmetic), or
// not known here.
enum class ValueType { STRING, NUMBER, UNKNOWN };
ValueType valueTypeOf(const expr::Tree& tree, int node, astNode* scope);

// NVL, NVL2 and DECODE give a value of their first result's type in
// PL/SQL, the later results converted to it; the target's result type
// follows all of them, a number where one is. For each argument of such a
// call (a CALL node of the tree) whose first result is a string: the text
// of the string literal a later numeric literal becomes (PL/SQL's text of
// the number), kNumberValue for a later number that is no literal, an
// empty text for the others.
inline const char* const kNumberValue = "#";
std::vector<std::string> stringResults(const expr::Tree& tree, int call, const BuiltinFunction& row, astNode* scope);

// REGEXP_REPLACE and REGEXP_SUBSTR: the index of the flags among their
// arguments (PL/SQL's match parameter), and whether the arguments are
// given by position (no "=>").
// Whether a call of the row at `c` may take a form or a record of its
// arguments, told from the tokens after it, before its list is read.
bool mayTakeForm(const BuiltinFunction& row, const astListCell* c);
int regexpFlagsIndex(const BuiltinFunction& row);
bool positionalArguments(const expr::Tree& tree, int call);

namespace rewrite {
// Records the call or value at the cell `c` of a token list (after
// `previous`) when its row (or the arguments its translation needs) has no
// form in the target; whether it did. The arguments are read from the
// list's tree, which `tree` reads when a call needs it.
bool reportBuiltinFunction(astNodeList* list, astListCell* c, astNode* previous, expr::ListTree* tree,
                           TransformState* state);
}  // namespace rewrite

// The table of built-in functions and operators (functions.def), looked up
// by a word's first letter and length before its text, and what the
// rewriting walk records of a call: a function the target lacks, a
// TRANSLATE of characters known only at run time, a DECODE with a NULL of no
// type. The written forms are made in exact_expressions.cpp.
#include "functions.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "expression_tree.h"
#include "name_keys.h"
#include "plsql_parser.hpp"
#include "rewrite_internal.h"
#include "token_spans.h"

// The rows name their facts without the namespace.
using namespace fact;

const BuiltinFunction kBuiltinFunctions[] = {
#define ROW(name, kind, scale, outcome, rule, finding, detail, ...) \
  {name,                                                            \
   FunctionKind::kind,                                              \
   ResultScale::scale,                                              \
   FunctionOutcome::outcome,                                        \
   FunctionRule::rule,                                              \
   FindingId::finding,                                              \
   static_cast<uint8_t>(0 __VA_OPT__(| __VA_ARGS__)),               \
   detail},
#define FACTS(...) (__VA_ARGS__)
#define SAME(name, kind, scale, detail, ...) ROW(name, kind, scale, SAME, NONE, UNTRANSLATED, detail, __VA_ARGS__)
#define TRANSLATED(name, kind, scale, rule, detail, ...) \
  ROW(name, kind, scale, TRANSLATED, rule, UNTRANSLATED, detail, __VA_ARGS__)
#define RECORDED(name, kind, scale, finding, detail, ...) \
  ROW(name, kind, scale, RECORDED, NONE, finding, detail, __VA_ARGS__)
#define CHECKED(name, kind, scale, check, finding, detail, ...) \
  ROW(name, kind, scale, SAME, check, finding, detail, __VA_ARGS__)
#include "functions.def"
#undef ROW
#undef FACTS
};
const int kBuiltinFunctionCount = static_cast<int>(sizeof kBuiltinFunctions / sizeof kBuiltinFunctions[0]);

bool checksArguments(const BuiltinFunction& row) {
  switch (row.rule) {
    case FunctionRule::TRANSLATE_CHARACTERS:
    case FunctionRule::DECODE_NULLS:
    case FunctionRule::FIRST_RESULT_TYPE:
    case FunctionRule::REGEXP_NULLS:
    case FunctionRule::FORMAT_TEXT:
      return true;
    default:
      return false;
  }
}

namespace {

using spans::isOpen;
using spans::textOf;

// The rows of functions and values by the first letter of their names,
// each with its second letter folded, which turns most other words away
// without a call; and the rows of every name by the name.
struct LetterRow {
  char second;
  const BuiltinFunction* row;
};
struct FunctionIndex {
  std::array<std::vector<LetterRow>, 26> byLetter;
  FoldedIndex names;
  std::vector<const BuiltinFunction*> named;

  FunctionIndex() {
    for (int i = 0; i < kBuiltinFunctionCount; ++i) {
      const BuiltinFunction& row = kBuiltinFunctions[i];
      if (row.kind == FunctionKind::OPERATOR) continue;
      int letter = foldAscii(row.name[0]) - 'a';
      if (row.kind != FunctionKind::ROUTINE && letter >= 0 && letter < 26)
        byLetter[size_t(letter)].push_back({foldAscii(row.name[1]), &row});
      size_t index = static_cast<size_t>(names.insert(row.name));
      named.resize(index + 1, &row);
    }
  }
};

const FunctionIndex& functionIndex() {
  static const FunctionIndex index;
  return index;
}

FunctionNameLengths nameLengths() {
  FunctionNameLengths lengths{};
  for (int i = 0; i < kBuiltinFunctionCount; ++i) {
    const BuiltinFunction& row = kBuiltinFunctions[i];
    int letter = foldAscii(row.name[0]) - 'a';
    if (row.kind == FunctionKind::OPERATOR || letter < 0 || letter >= 26) continue;
    uint64_t bit = uint64_t(1) << std::min<size_t>(std::strlen(row.name), 63);
    if (row.kind == FunctionKind::ROUTINE) continue;
    bool called = isBuiltinCall(row);
    if (row.outcome == FunctionOutcome::RECORDED || checksArguments(row))
      (called ? lengths.calledRecord : lengths.valueRecord)[letter] |= bit;
    if (row.outcome == FunctionOutcome::TRANSLATED && called) lengths.form[letter] |= bit;
  }
  return lengths;
}

const BuiltinFunction* rowNamed(const char* word) {
  int letter = foldAscii(word[0]) - 'a';
  if (letter < 0 || letter >= 26) return nullptr;
  char second = foldAscii(word[1]);
  if (!second) return nullptr;  // every name has two letters at least
  for (const LetterRow& entry : functionIndex().byLetter[size_t(letter)])
    if (entry.second == second && rewrite::equalsIgnoreCase(entry.row->name + 2, word + 2)) return entry.row;
  return nullptr;
}

const astNodeToken* tokenAt(const TokenNodes& tokens, size_t at) {
  return at < tokens.size() && tokens[at] && tokens[at]->kind == AST_TOKEN ? nodeAs<const astNodeToken>(tokens[at])
                                                                           : nullptr;
}

// A function of the run of that name, in any package: it hides the built-in.
bool runDeclaresFunction(const char* word, const TransformState* state) {
  if (!state) return false;
  return state->parameterlessNames.holds(word) || state->namesWithParameters.holds(word);
}

bool endsWithFolded(const char* text, const char* tail) {
  size_t length = std::strlen(text), tailLength = std::strlen(tail);
  return length >= tailLength && strcasecmp(text + length - tailLength, tail) == 0;
}

// The bytes of the character of UTF-8 text that begins at p.
size_t characterLength(const char* p) {
  unsigned char lead = static_cast<unsigned char>(*p);
  size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  for (size_t i = 1; i < length; ++i)
    if (!p[i]) return i;
  return length;
}

// A character's key: the code of an ASCII character, written or by CHR, or
// the bytes of any other.
std::string characterKey(const ListCharacter& c) {
  if (c.code) {
    long code = std::strtol(c.text.c_str(), nullptr, 10);
    return code < 128 ? std::string(1, static_cast<char>(code)) : "#" + std::to_string(code);
  }
  return c.text;
}

bool isNullKeyword(const TokenNodes& tokens, size_t begin, size_t end) {
  const astNodeToken* token = end - begin == 1 ? tokenAt(tokens, begin) : nullptr;
  return token && (token->tokenCode == T_NULL || rewrite::equalsIgnoreCase(token->text, "NULL"));
}

}  // namespace

const FunctionNameLengths kFunctionNameLengths = nameLengths();

namespace {

FactRows rowsWith(uint8_t fact) {
  FactRows facts;
  for (int i = 0; i < kBuiltinFunctionCount; ++i) {
    const BuiltinFunction& row = kBuiltinFunctions[i];
    if (!(row.facts & fact)) continue;
    int letter = foldAscii(row.name[0]) - 'a';
    if (letter >= 0 && letter < 26) facts.letters |= uint32_t(1) << letter;
    facts.rows.push_back({foldAscii(row.name[0]), &row});
    if (row.kind != FunctionKind::ROUTINE) continue;
    // A routine is called by its package's name, or by SYS. before it.
    facts.letters |= uint32_t(1) << ('s' - 'a');
    std::string prefix;
    for (const char* p = row.name; p <= std::strchr(row.name, '.'); ++p) prefix += foldAscii(*p);
    auto package = std::find_if(facts.packages.begin(), facts.packages.end(),
                                [&prefix](const FactRows::Package& known) { return known.prefix == prefix; });
    if (package == facts.packages.end()) package = facts.packages.insert(package, {prefix, {}});
    package->routines.push_back(&row);
  }
  return facts;
}

}  // namespace

const FactRows kTimestampResults = rowsWith(TIMESTAMP_RESULT);
const FactRows kLobWriters = rowsWith(WRITES_FIRST_LOB);
const FactRows kEndOfDataRoutines = rowsWith(END_OF_DATA);

const BuiltinFunction* rowWithFact(const FactRows& facts, const char* name) {
  if (!name || !name[0]) return nullptr;
  char first = foldAscii(name[0]);
  for (const FactRows::Named& named : facts.rows)
    if (named.first == first && rewrite::equalsIgnoreCase(named.row->name + 1, name + 1)) return named.row;
  return nullptr;
}

const BuiltinFunction* routineWithFact(const FactRows& facts, const char* name) {
  if (!facts.mayHold(name)) return nullptr;
  for (const FactRows::Package& package : facts.packages) {
    const char* routine = rewrite::routineOfPackage(name, package.prefix.c_str());
    if (!routine) continue;
    for (const BuiltinFunction* row : package.routines)
      if (rewrite::equalsIgnoreCase(routine, row->name + package.prefix.size())) return row;
  }
  return nullptr;
}

namespace {

// The names of the CALL_SETTING_TARGET rows, and the start they share,
// which turns most names away at one look.
struct SettingCalls {
  std::vector<const char*> names;
  size_t shared = 0;
  uint32_t letters = 0;

  SettingCalls() {
    for (int i = 0; i < kBuiltinFunctionCount; ++i) {
      const BuiltinFunction& row = kBuiltinFunctions[i];
      if (row.rule != FunctionRule::CALL_SETTING_TARGET) continue;
      int letter = foldAscii(row.name[0]) - 'a';
      if (letter >= 0 && letter < 26) letters |= uint32_t(1) << letter;
      if (names.empty()) shared = std::strlen(row.name);
      while (shared > 0 && strncasecmp(row.name, names.empty() ? row.name : names[0], shared) != 0) --shared;
      names.push_back(row.name);
    }
  }
};
const SettingCalls kSettingCalls;

}  // namespace

const uint32_t kCallSettingLetters = kSettingCalls.letters;

bool isFunctionNameCode(int code) { return code == T_WORD || code == T_REPLACE; }

bool isInsertBody(const astNodeList* list) {
  const astNode* owner = list ? list->parent : nullptr;
  return owner && owner->kind == AST_SQL_STMT && nodeAs<const astNodeSqlStmt>(owner)->keywordCode == T_INSERT &&
         nodeAs<const astNodeSqlStmt>(owner)->body == list;
}

const BuiltinFunction* builtinNamed(const char* word) { return word && word[0] ? rowNamed(word) : nullptr; }

bool callSettingTargetNamed(const char* name) {
  if (strncasecmp(name, kSettingCalls.names[0], kSettingCalls.shared) != 0) return false;
  for (const char* setting : kSettingCalls.names)
    if (rewrite::equalsIgnoreCase(name + kSettingCalls.shared, setting + kSettingCalls.shared)) return true;
  return false;
}

const BuiltinFunction* functionRowNamed(const char* name) {
  const FunctionIndex& index = functionIndex();
  int at = name ? index.names.find(name) : -1;
  return at < 0 ? nullptr : index.named[size_t(at)];
}

const BuiltinFunction* builtinAt(const astNode* before, const astNode* name, const astNode* after,
                                 const TransformState* state) {
  const astNodeToken* token = name && name->kind == AST_TOKEN ? nodeAs<const astNodeToken>(name) : nullptr;
  if (!token || !isFunctionNameCode(token->tokenCode) || token->qualified || !token->text || !token->text[0])
    return nullptr;
  const BuiltinFunction* row = rowNamed(token->text);
  if (!row) return nullptr;
  bool call = isOpen(after);
  if (call != isBuiltinCall(*row)) return nullptr;
  // A name followed by a type is a field or variable declared.
  const astNodeToken* next = !call && after && after->kind == AST_TOKEN ? nodeAs<const astNodeToken>(after) : nullptr;
  if (next && next->tokenCode == T_WORD) return nullptr;
  // A table with its columns (INSERT INTO log(a, b)) is no call.
  if (spans::isText(before, '.') || rewrite::textIs(before, "INTO")) return nullptr;
  return runDeclaresFunction(token->text, state) ? nullptr : row;
}

const BuiltinFunction* builtinAt(const TokenNodes& tokens, size_t at, const TransformState* state) {
  if (at >= tokens.size()) return nullptr;
  return builtinAt(at > 0 ? tokens[at - 1] : nullptr, tokens[at], at + 1 < tokens.size() ? tokens[at + 1] : nullptr,
                   state);
}

bool holdsImpureCall(const TokenNodes& tokens, size_t begin, size_t end, const TransformState* state) {
  for (size_t i = begin; i < end && i < tokens.size(); ++i) {
    const astNodeToken* token = tokenAt(tokens, i);
    if (!token || token->tokenCode != T_WORD || !token->text) continue;
    const char* text = token->text;
    bool call = i + 1 < tokens.size() && isOpen(tokens[i + 1]);
    if (endsWithFolded(text, "()")) return true;  // a function of the run called without arguments
    if (token->qualified) {
      // A package's routine; a package's value without arguments (such as
      // DBMS_RANDOM.VALUE) or a sequence's next value.
      if (call || endsWithFolded(text, ".NEXTVAL") || rewrite::hasBuiltinPrefix(rewrite::firstPart(text))) return true;
      continue;
    }
    if (!call) continue;
    const BuiltinFunction* row = builtinAt(tokens, i, state);
    if (row && std::strcmp(row->name, "SYS_GUID") != 0) continue;
    if (!row && state && state->collectionVariables.holds(text)) continue;  // an element
    return true;
  }
  return false;
}

bool mayWriteTwice(const TokenNodes& tokens, size_t begin, size_t end, const TransformState* state) {
  return end - begin <= kLongestWrittenTwice && !holdsImpureCall(tokens, begin, end, state);
}

namespace {

// The characters of a string literal (of the string code, quoted, N'...'
// as well), appended; false for any other token.
bool stringCharacters(const astNodeToken* token, std::vector<ListCharacter>* characters) {
  const char* text = token ? token->text : nullptr;
  if (!text || token->tokenCode != T_STRING || !(text[0] == '\'' || ((text[0] | 0x20) == 'n' && text[1] == '\'')))
    return false;
  const char* p = text[0] == '\'' ? text + 1 : text + 2;
  size_t length = std::strlen(p);
  if (!length || p[length - 1] != '\'') return false;
  for (const char* q = p; q < p + length - 1;) {
    if (*q == '\'') {  // a doubled quote
      characters->push_back({false, "'"});
      q += 2;
      continue;
    }
    size_t bytes = characterLength(q);
    characters->push_back({false, std::string(q, bytes)});
    q += bytes;
  }
  return true;
}

}  // namespace

bool literalCharacters(const TokenNodes& tokens, size_t begin, size_t end, std::vector<ListCharacter>* characters) {
  characters->clear();
  size_t i = begin;
  while (i < end) {
    const astNodeToken* token = tokenAt(tokens, i);
    if (!token || !token->text) return false;
    const char* text = token->text;
    if (stringCharacters(token, characters)) {
      ++i;
    } else if (token->tokenCode == T_WORD && !token->qualified && rewrite::equalsIgnoreCase(text, "CHR") &&
               i + 3 < end && isOpen(tokens[i + 1]) && tokenAt(tokens, i + 2) &&
               tokenAt(tokens, i + 2)->tokenCode == T_DIGITS && spans::isClose(tokens[i + 3])) {
      characters->push_back({true, textOf(tokens[i + 2])});
      i += 4;
    } else {
      return false;
    }
    if (i == end) break;
    const astNodeToken* join = tokenAt(tokens, i);
    if (!join || join->tokenCode != T_CONCAT) return false;
    ++i;
    if (i == end) return false;
  }
  return !characters->empty();
}

namespace {

// The characters of one piece: a string literal, or CHR of a number.
bool pieceCharacters(const expr::Tree& tree, int node, std::vector<ListCharacter>* characters) {
  const expr::Node& n = tree[node];
  switch (n.kind) {
    case expr::Kind::ITEMS: {
      int one = tree.only(node);
      return one >= 0 && tree[one].end == n.end && tree[one].begin == n.begin && pieceCharacters(tree, one, characters);
    }
    case expr::Kind::BINARY:
      return n.op == expr::Op::CONCAT && tokenAt(tree.tokens(), n.at)->tokenCode == T_CONCAT &&
             pieceCharacters(tree, n.child, characters) && pieceCharacters(tree, tree[n.child].next, characters);
    case expr::Kind::LITERAL:
      return stringCharacters(tokenAt(tree.tokens(), n.begin), characters);
    case expr::Kind::CALL: {
      const astNodeToken* name = tokenAt(tree.tokens(), n.begin);
      int argument = tree[n.child].next;
      int digits = argument >= 0 && tree[argument].next < 0 ? tree.only(argument) : -1;
      const astNodeToken* number = digits >= 0 ? tokenAt(tree.tokens(), tree[digits].begin) : nullptr;
      if (!n.closed || tree.length(n.child) != 1 || !name || name->tokenCode != T_WORD || name->qualified ||
          !rewrite::equalsIgnoreCase(name->text, "CHR") || !number || number->tokenCode != T_DIGITS ||
          tree.length(digits) != 1 || tree.length(argument) != 1)
        return false;
      characters->push_back({true, number->text});
      return true;
    }
    default:
      return false;
  }
}

}  // namespace

bool literalCharacters(const expr::Tree& tree, int node, std::vector<ListCharacter>* characters) {
  characters->clear();
  return pieceCharacters(tree, node, characters) && !characters->empty();
}

bool sameCharacter(const ListCharacter& a, const ListCharacter& b) { return characterKey(a) == characterKey(b); }

bool isNullArgument(const expr::Tree& tree, int argument) {
  return isNullLiteral(tree.tokens(), tree[argument].begin, tree[argument].end);
}

bool isNullLiteral(const TokenNodes& tokens, size_t begin, size_t end) {
  if (isNullKeyword(tokens, begin, end)) return true;
  const char* text = end - begin == 1 ? textOf(tokens[begin]) : nullptr;
  return text && std::strcmp(text, "''") == 0;
}

std::vector<int> decodeNullTypes(const expr::Tree& tree, int call, const TransformState* state) {
  const TokenNodes& tokens = tree.tokens();
  std::vector<std::pair<size_t, size_t>> arguments;
  for (int c = tree[tree[call].child].next; c >= 0; c = tree[c].next) arguments.push_back({tree[c].begin, tree[c].end});
  size_t count = arguments.size();
  std::vector<int> types(count, kNotNull);
  if (count < 3) return types;
  auto isNull = [&](size_t k) { return isNullKeyword(tokens, arguments[k].first, arguments[k].second); };
  auto pure = [&](size_t k) { return mayWriteTwice(tokens, arguments[k].first, arguments[k].second, state); };
  bool withDefault = count % 2 == 0;
  size_t pairsEnd = withDefault ? count - 1 : count;
  // A NULL result takes the type of the first other result (the default
  // last), written twice in NULLIF(r, r).
  std::vector<size_t> results;
  for (size_t k = 1; k + 1 < pairsEnd; k += 2) results.push_back(k + 1);
  if (withDefault) results.push_back(count - 1);
  int resultType = kUntyped;
  for (size_t k : results)
    if (!isNull(k) && pure(k)) {
      resultType = static_cast<int>(k);
      break;
    }
  for (size_t k = 1; k + 1 < pairsEnd; k += 2) {
    if (isNull(k)) types[k] = pure(0) ? 0 : kUntyped;
    if (isNull(k + 1)) types[k + 1] = resultType;
  }
  if (withDefault && isNull(count - 1)) types[count - 1] = kLeftOut;
  return types;
}

ValueType valueTypeOf(const expr::Tree& tree, int node, astNode* scope) {
  const expr::Node& n = tree[node];
  switch (n.kind) {
    case expr::Kind::ITEMS:
    case expr::Kind::GROUP: {
      int one = n.kind == expr::Kind::ITEMS ? tree.only(node) : (tree.childCount(node) == 1 ? n.child : -1);
      return one >= 0 ? valueTypeOf(tree, one, scope) : ValueType::UNKNOWN;
    }
    case expr::Kind::UNARY:
      return (n.op == expr::Op::NEGATE || n.op == expr::Op::PLUS) &&
                     valueTypeOf(tree, n.child, scope) == ValueType::NUMBER
                 ? ValueType::NUMBER
                 : ValueType::UNKNOWN;
    case expr::Kind::BINARY:
      if (n.op == expr::Op::CONCAT) return ValueType::STRING;
      if (n.op == expr::Op::ADD || n.op == expr::Op::SUBTRACT || n.op == expr::Op::MULTIPLY || n.op == expr::Op::DIVIDE)
        return valueTypeOf(tree, n.child, scope) == ValueType::NUMBER &&
                       valueTypeOf(tree, tree[n.child].next, scope) == ValueType::NUMBER
                   ? ValueType::NUMBER
                   : ValueType::UNKNOWN;
      return ValueType::UNKNOWN;
    case expr::Kind::LITERAL: {
      const astNodeToken* token = tokenAt(tree.tokens(), n.begin);
      if (!token || !token->text) return ValueType::UNKNOWN;
      if (token->tokenCode == T_DIGITS || token->tokenCode == T_NUMERICNO) return ValueType::NUMBER;
      return token->tokenCode == T_STRING && token->text[0] == '\'' && std::strcmp(token->text, "''") != 0
                 ? ValueType::STRING
                 : ValueType::UNKNOWN;
    }
    case expr::Kind::NAME: {
      const astNodeToken* token = n.end - n.begin == 1 ? tokenAt(tree.tokens(), n.begin) : nullptr;
      if (!token || token->tokenCode != T_WORD || token->qualified || !token->text || !scope) return ValueType::UNKNOWN;
      bool found = false;
      const astNodeList* type = rewrite::declaredType(scope, rewrite::foldedText(token->text), &found);
      if (!found || !type) return ValueType::UNKNOWN;
      if (rewrite::isStringType(type)) return ValueType::STRING;
      return rewrite::scaleOfType(type) != rewrite::kUnknownScale ? ValueType::NUMBER : ValueType::UNKNOWN;
    }
    default:
      return ValueType::UNKNOWN;
  }
}

namespace {

// PL/SQL's text of a numeric literal with its sign (as TO_CHAR writes it:
// no leading zero before the point, no trailing zero after it, no sign for
// zero); false for a literal with an exponent or a type suffix.
bool numberText(const expr::Tree& tree, int node, std::string* text) {
  const expr::Node& n = tree[node];
  if (n.kind == expr::Kind::ITEMS) {
    int one = tree.only(node);
    return one >= 0 && tree[one].begin == n.begin && tree[one].end == n.end && numberText(tree, one, text);
  }
  if (n.kind == expr::Kind::GROUP) return n.closed && tree.childCount(node) == 1 && numberText(tree, n.child, text);
  bool negative = false;
  int literal = node;
  if (n.kind == expr::Kind::UNARY && (n.op == expr::Op::NEGATE || n.op == expr::Op::PLUS)) {
    negative = n.op == expr::Op::NEGATE;
    literal = n.child;
  }
  const astNodeToken* token =
      tree[literal].kind == expr::Kind::LITERAL ? tokenAt(tree.tokens(), tree[literal].begin) : nullptr;
  if (!token || !token->text || (token->tokenCode != T_DIGITS && token->tokenCode != T_NUMERICNO)) return false;
  std::string digits = token->text;
  if (digits.find_first_not_of("0123456789.") != std::string::npos) return false;
  size_t point = digits.find('.');
  std::string whole = digits.substr(0, point), fraction = point == std::string::npos ? "" : digits.substr(point + 1);
  whole.erase(0, whole.find_first_not_of('0') == std::string::npos ? whole.size() : whole.find_first_not_of('0'));
  fraction.erase(fraction.find_last_not_of('0') == std::string::npos ? 0 : fraction.find_last_not_of('0') + 1);
  // A literal past NUMBER's 38 digits is rounded: its text is not the one written.
  if (whole.size() + fraction.size() > 38) return false;
  if (whole.empty() && fraction.empty()) {
    *text = "'0'";
    return true;
  }
  *text = std::string("'") + (negative ? "-" : "") + whole + (fraction.empty() ? "" : "." + fraction) + "'";
  return true;
}

}  // namespace

std::vector<std::string> stringResults(const expr::Tree& tree, int call, const BuiltinFunction& row, astNode* scope) {
  std::vector<int> arguments;
  for (int c = tree[tree[call].child].next; c >= 0; c = tree[c].next) arguments.push_back(c);
  size_t count = arguments.size();
  std::vector<std::string> texts(count);
  // The first result and the later ones: NVL(e, r), NVL2(e, r1, r2),
  // DECODE(e, s1, r1, s2, r2, ..., default).
  size_t first = 0;
  std::vector<size_t> later;
  if (row.rule == FunctionRule::DECODE_NULLS) {
    if (count < 3) return texts;
    first = 2;
    for (size_t k = 4; k < count; k += 2) later.push_back(k);
    if (count % 2 == 0) later.push_back(count - 1);
  } else if (count == 2 || count == 3) {
    first = count - 2;
    later.push_back(count - 1);
  } else {
    return texts;
  }
  if (later.empty() || valueTypeOf(tree, arguments[first], scope) != ValueType::STRING) return texts;
  for (size_t k : later) {
    if (valueTypeOf(tree, arguments[k], scope) != ValueType::NUMBER) continue;
    if (!numberText(tree, arguments[k], &texts[k])) texts[k] = kNumberValue;
  }
  return texts;
}

// Whether the arguments of a call of `row` named at `c` may need reading,
// told from the tokens after the name: NVL's form changes only a number
// literal, the regular expressions' forms and record only a NULL or empty
// argument (REGEXP_LIKE's flags always move).
bool mayTakeForm(const BuiltinFunction& row, const astListCell* c) {
  if (row.rule == FunctionRule::FIRST_RESULT_TYPE) {
    for (c = c->next; c; c = c->next) {
      const astNodeToken* token = rewrite::asToken(c->value);
      int code = token ? token->tokenCode : 0;
      if (code == T_DIGITS || code == T_NUMERICNO) return true;
    }
    return false;
  }
  if (row.rule == FunctionRule::REGEXP_NULLS && std::strcmp(row.name, "REGEXP_LIKE") != 0) {
    for (c = c->next; c; c = c->next) {
      const astNodeToken* token = rewrite::asToken(c->value);
      if (token && token->text &&
          (token->tokenCode == T_NULL || rewrite::equalsIgnoreCase(token->text, "NULL") ||
           std::strcmp(token->text, "''") == 0))
        return true;
    }
    return false;
  }
  return true;
}

int regexpFlagsIndex(const BuiltinFunction& row) {
  // REGEXP_REPLACE(s, pattern, replacement, start, occurrence, flags);
  // REGEXP_SUBSTR(s, pattern, start, occurrence, flags, group);
  // REGEXP_LIKE(s, pattern, flags).
  if (std::strcmp(row.name, "REGEXP_LIKE") == 0) return 2;
  return std::strcmp(row.name, "REGEXP_REPLACE") == 0 ? 5 : 4;
}

bool positionalArguments(const expr::Tree& tree, int call) {
  for (uint32_t i = tree[call].begin; i < tree[call].end; ++i)
    if (rewrite::textIs(tree.token(i), "=>")) return false;
  return true;
}

namespace rewrite {

bool reportBuiltinFunction(astNodeList* list, astListCell* c, astNode* previous, expr::ListTree* tree,
                           TransformState* state) {
  astNodeToken* token = asToken(c->value);
  if (!token || !isFunctionNameCode(token->tokenCode) || token->qualified || !token->text) return false;
  astNode* after = c->next ? c->next->value : nullptr;
  if (!mayTakeFunctionRecord(token->text, isOpen(after))) return false;
  // The name of a procedure's call statement is no built-in's call, nor
  // the table an INSERT names.
  if (list->parent && list->parent->kind == AST_CALL && nodeAs<astNodeCall>(list->parent)->name == list) return false;
  if (c == list->head && isInsertBody(list)) return false;
  // Nor is the name a declaration or a parameter declares.
  const astNode* owner = list->parent;
  if (owner && ((isDeclaration(owner) && nodeAs<const astNodeDecl>(owner)->variableName == list) ||
                (owner->kind == AST_FORMAL_ARG && nodeAs<const astNodeFormalArg>(owner)->name == list)))
    return false;
  const BuiltinFunction* row = rowNamed(token->text);
  if (!row || (row->outcome != FunctionOutcome::RECORDED && !checksArguments(*row))) return false;
  if (builtinAt(previous, token, after, state) != row) return false;
  if (row->outcome == FunctionOutcome::RECORDED) {
    reportFinding(row->finding, token, state->errors, row->name, token->text);
    return true;
  }
  if (row->rule == FunctionRule::REGEXP_NULLS &&
      (std::strcmp(row->name, "REGEXP_REPLACE") != 0 || !mayTakeForm(*row, c)))
    return false;
  const expr::Tree& read = tree->of(list);
  int call = read.callNamedAt(tree->indexOf(c));
  // The checks read the arguments of a call that its ")" closes.
  if (call < 0 || !read[call].closed) return false;
  std::vector<int> arguments;
  for (int c = read[read[call].child].next; c >= 0; c = read[c].next) arguments.push_back(c);
  if (row->rule == FunctionRule::TRANSLATE_CHARACTERS) {
    std::vector<ListCharacter> characters;
    if (arguments.size() != 3 || isNullArgument(read, arguments[1]) || isNullArgument(read, arguments[2]) ||
        (literalCharacters(read, arguments[1], &characters) && literalCharacters(read, arguments[2], &characters)))
      return false;
    reportFinding(FindingId::TRANSLATE_LITERALS, token, state->errors);
    return true;
  }
  if (row->rule == FunctionRule::FORMAT_TEXT) {
    // The format: the second argument, a literal.
    const char* format =
        arguments.size() >= 2 && read.length(arguments[1]) == 1 ? textOf(read.firstToken(arguments[1])) : nullptr;
    if (!format || format[0] != '\'' || !std::strchr(format, '"')) return false;
    reportFinding(row->finding, token, state->errors, row->name);
    return true;
  }
  if (row->rule == FunctionRule::REGEXP_NULLS) {
    // The replacement left out stands for the empty one only where no
    // argument follows it; one given by name is not left out either.
    bool nullReplacement = false;
    if (positionalArguments(read, call)) {
      nullReplacement = arguments.size() >= 4 && isNullArgument(read, arguments[2]);
    } else {
      for (int argument : arguments) {
        uint32_t at = read[argument].begin;
        nullReplacement =
            nullReplacement ||
            (read.length(argument) == 3 && rewrite::equalsIgnoreCase(textOf(read.token(at)), "REPLACESTR") &&
             rewrite::textIs(read.token(at + 1), "=>") && isNullLiteral(read.tokens(), at + 2, at + 3));
      }
    }
    if (!nullReplacement) return false;
    reportFinding(FindingId::REGEXP_NULL_REPLACEMENT, token, state->errors);
    return true;
  }
  bool recorded = false;
  for (const std::string& text : stringResults(read, call, *row, list))
    if (text == kNumberValue) {
      reportFinding(FindingId::NUMBER_AFTER_STRING_RESULT, token, state->errors, row->name);
      recorded = true;
      break;
    }
  if (row->rule != FunctionRule::DECODE_NULLS) return recorded;
  for (int type : decodeNullTypes(read, call, state))
    if (type == kUntyped) {
      reportFinding(FindingId::DECODE_UNTYPED_NULL, token, state->errors);
      return true;
    }
  return recorded;
}

}  // namespace rewrite

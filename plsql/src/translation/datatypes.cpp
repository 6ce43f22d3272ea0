// Datatypes in the target's words: every rule comes from the datatype table
// (datatypes.def); what is left here is how a datatype list is matched
// against it. A datatype is reviewed first (a function's result clauses
// left out, a SYS. schema dropped, a type outside the map renamed or
// recorded), then mapped (a row of the map, an alias, a weak REF CURSOR),
// then held to the target's largest length or precision.
#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <iterator>
#include <memory>
#include <optional>
#include <strings.h>
#include <vector>

#include "plsql_parser.hpp"
#include "rewrite_internal.h"
#include "token_spans.h"
#include "run_pool.h"

using namespace rewrite;

namespace {

enum class Treatment { MAPPED, RENAMED, KEPT, UNSUPPORTED };
enum class Scale { INTEGERS, GIVEN, ANY };

struct DatatypeRow {
  const char* name;
  Treatment treatment;
  const char* target;
  const char* length;
  Scale scale;
};

constexpr DatatypeRow kDatatypes[] = {
#define DATATYPE(name, treatment, target, length, scale) {name, Treatment::treatment, target, length, Scale::scale},
#include "datatypes.def"
};

struct UnsizedRow {
  const char* name;
  const char* variableTarget;
  const char* variableLength;
  const char* parameterTarget;
  const char* parameterLength;
};

constexpr UnsizedRow kUnsized[] = {
#define UNSIZED(name, variableTarget, variableLength, parameterTarget, parameterLength) \
  {name, variableTarget, variableLength, parameterTarget, parameterLength},
#include "datatypes.def"
};

enum class LimitUnit { LENGTH, DIGITS };

struct LimitRow {
  const char* name;
  LimitUnit unit;
  long largest;
  long largestInCharacters;
  const char* varying;
};

constexpr LimitRow kLimits[] = {
#define LIMIT(name, unit, largest, largestInCharacters, varying) \
  {name, LimitUnit::unit, largest, largestInCharacters, varying},
#include "datatypes.def"
};

// A row's name and target are words apart by blanks or tabs.
std::string_view firstWordOf(const char* name) { return std::string_view(name, std::strcspn(name, " \t")); }

// The words of a row's name.
std::vector<std::string_view> wordsOf(const char* name) {
  std::vector<std::string_view> words;
  for (const char* p = name; *p;) {
    size_t length = std::strcspn(p, " \t");
    words.emplace_back(p, length);
    p += length;
    while (*p == ' ' || *p == '\t') ++p;
  }
  return words;
}

// A made-up text's tokens as madeTokens gives them, kept as texts: most
// declarations write a length, which is taken apart once.
struct MadeText {
  struct Piece {
    std::string text;
    int code;
    unsigned char spacing;
  };
  std::vector<Piece> pieces;
  explicit MadeText(const char* text) {
    for (astListCell* c = listCells(madeTokens(text, -1)); c; c = c->next) {
      auto* token = nodeAs<astNodeToken>(c->value);
      pieces.push_back({token->text, token->tokenCode, token->spacing});
    }
  }
  // The tokens appended to `list`, new ones each time.
  astNodeList* appendTo(astNodeList* list) const {
    for (const Piece& piece : pieces) {
      astNodeToken* token = makeToken(piece.code, piece.text.c_str(), -1);
      token->spacing = piece.spacing;
      list = listAppend(list, token);
    }
    return list;
  }
};

// The lengths of a datatype written without one, as a variable's and as a
// parameter's.
struct UnsizedLengths {
  MadeText variable;
  MadeText parameter;
};

}  // namespace

// The rows of the run's datatype map by the first word of their name,
// folded, with what each writes; a type that the map does not hold is
// turned away before it is compared.
struct rewrite::DatatypeIndex {
  struct Entry {
    std::vector<std::string_view> words;
    std::vector<std::string> targetWords;
    std::optional<MadeText> length;
    // The unsized row of a name of one word, or null.
    const UnsizedRow* unsized = nullptr;
    const UnsizedLengths* unsizedLengths = nullptr;
  };
  FoldedIndex firstWords;
  std::vector<std::vector<Entry>> byFirstWord;
  std::vector<UnsizedLengths> unsizedLengths;
  explicit DatatypeIndex(const DatatypeMapEntry* map) {
    unsizedLengths.reserve(std::size(kUnsized));
    for (const UnsizedRow& unsized : kUnsized)
      unsizedLengths.push_back({MadeText(unsized.variableLength), MadeText(unsized.parameterLength)});
    for (const DatatypeMapEntry* row = map; row->plsqlName; ++row) {
      size_t index = static_cast<size_t>(firstWords.insert(firstWordOf(row->plsqlName)));
      if (index >= byFirstWord.size()) byFirstWord.resize(index + 1);
      Entry entry;
      entry.words = wordsOf(row->plsqlName);
      for (std::string_view word : wordsOf(row->targetName)) entry.targetWords.emplace_back(word);
      if (row->defaultLength) entry.length.emplace(row->defaultLength);
      for (size_t u = 0; u < std::size(kUnsized); ++u)
        if (entry.words.size() == 1 && equalsIgnoreCase(row->plsqlName, kUnsized[u].name)) {
          entry.unsized = &kUnsized[u];
          entry.unsizedLengths = &unsizedLengths[u];
          break;
        }
      byFirstWord[index].push_back(std::move(entry));
    }
  }
  const std::vector<Entry>* rowsStartingWith(const char* word) const {
    int index = firstWords.find(word ? word : "");
    return index < 0 ? nullptr : &byFirstWord[static_cast<size_t>(index)];
  }
};

namespace {

// The index of the run's datatype map, made at the first datatype; null
// for a run without the map.
const DatatypeIndex* datatypeIndex(TransformState* state) {
  if (!state->datatypeMap) return nullptr;
  if (!state->datatypeIndex) state->datatypeIndex = std::make_shared<const DatatypeIndex>(state->datatypeMap);
  return state->datatypeIndex.get();
}

// The row of the map that the list's first tokens name, in the map's order;
// null when none does.
const DatatypeIndex::Entry* mappedRow(const astNodeList* list, TransformState* state) {
  const DatatypeIndex* index = datatypeIndex(state);
  astNodeToken* first = index ? firstToken(list) : nullptr;
  const auto* rows = first ? index->rowsStartingWith(first->text) : nullptr;
  for (const DatatypeIndex::Entry* entry = rows ? rows->data() : nullptr; rows && entry != rows->data() + rows->size();
       ++entry) {
    astListCell* c = listCells(list);
    bool matches = true;
    for (std::string_view word : entry->words) {
      astNodeToken* token = c ? asToken(c->value) : nullptr;
      if (!token || !token->text || !sameFolded(token->text, word)) {
        matches = false;
        break;
      }
      c = c->next;
    }
    if (matches) return entry;
  }
  return nullptr;
}

bool startsWithWord(std::string_view text, std::string_view word) {
  if (text.size() < word.size() || !sameFolded(text.substr(0, word.size()), word)) return false;
  return text.size() == word.size() ||
         !(std::isalnum(static_cast<unsigned char>(text[word.size()])) || text[word.size()] == '_');
}

// Words of a datatype outside parentheses, upper case.
std::string typeWords(const astNodeList* list) {
  std::string words;
  spans::eachOutsideGroups(listCells(list), [&words](astListCell* c, astListCell*) {
    astNodeToken* token = asToken(c->value);
    if (token && token->text && std::isalpha(static_cast<unsigned char>(token->text[0]))) {
      if (!words.empty()) words += ' ';
      words += upperText(token->text);
    }
    return true;
  });
  return words;
}

// Whether a type whose first word is `first` may be renamed or recorded:
// the first word of such a row begins it, a word ending there. Those words
// are ASCII letters, digits and underscores, so the one that may begin it
// is its leading run of them.
bool mayBeReviewed(const char* first) {
  static const FoldedIndex firstWords = [] {
    FoldedIndex words;
    for (const DatatypeRow& row : kDatatypes)
      if (row.treatment == Treatment::RENAMED || row.treatment == Treatment::UNSUPPORTED)
        words.insert(firstWordOf(row.name));
    return words;
  }();
  auto wordCharacter = [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
  };
  size_t length = 0;
  while (wordCharacter(first[length])) ++length;
  if (std::isalnum(static_cast<unsigned char>(first[length]))) return false;
  return firstWords.holds(std::string_view(first, length));
}

bool isRoutineHead(const astNode* node) {
  return node && (node->kind == AST_CREATE_FUNCTION || node->kind == AST_FUNC_PROTO);
}

// RESULT_CACHE [RELIES_ON (...)] and ACCESSIBLE BY (...) after a function's
// return type: the result and who may call change nothing that a caller
// sees, so the clauses are left out.
astNodeList* withoutResultClauses(astNodeList* list) {
  astNodeList* kept = nullptr;
  bool dropped = false;
  for (astListCell* c = listCells(list); c; c = c->next) {
    astNodeToken* token = asToken(c->value);
    bool clause = token && (equalsIgnoreCase(token->text, "RESULT_CACHE") || equalsIgnoreCase(token->text, "RELIES_ON") ||
                            equalsIgnoreCase(token->text, "ACCESSIBLE"));
    if (!clause) {
      kept = listAppend(kept, c->value);
      continue;
    }
    dropped = true;
    // The clause's words and its parenthesised list.
    while (c->next) {
      astNodeToken* next = asToken(c->next->value);
      if (!next || !next->text) break;
      if (equalsIgnoreCase(next->text, "BY")) {
        c = c->next;
        continue;
      }
      if (!spans::isOpen(next)) break;
      c = spans::closingCell(c->next);
      if (!c) break;
    }
    if (!c) break;
  }
  if (!dropped || !kept) return list;
  kept->parent = list->parent;
  kept->line = list->line;
  return kept;
}

// A datatype of the source's own schema written with it (SYS.XMLTYPE): the
// same type as without it when the datatype map has it; recorded otherwise.
astNodeList* withoutSysSchema(astNodeList* list, TransformState* state) {
  astNodeToken* first = firstToken(list);
  // "SYS." and a name after it.
  if (!first || !first->text || foldAscii(first->text[0]) != 's' || strncasecmp(first->text, "SYS.", 4) != 0 ||
      !first->text[4])
    return list;
  const char* name = first->text + 4;
  const DatatypeIndex* index = datatypeIndex(state);
  if (index && index->rowsStartingWith(name)) {
    astNodeList* plain = tokenList(name, first->line);
    for (astListCell* rest = list->head->next; rest; rest = rest->next) plain = listAppend(plain, rest->value);
    plain->parent = list->parent;
    plain->head->value->parent = plain;
    return plain;
  }
  reportFinding(FindingId::DATATYPE, first, state->errors, upperText(first->text).c_str(), first->text);
  return list;
}

// A datatype outside the map: written under the target's name, or recorded.
astNodeList* reviewDataType(astNodeList* list, astNode* owner, TransformState* state) {
  if (!list) return list;
  astNodeToken* last = asToken(listLast(list));
  if (last && (last->tokenCode == T_PERCENT_TYPE || last->tokenCode == T_PERCENT_ROWTYPE)) return list;
  if (isRoutineHead(owner)) list = withoutResultClauses(list);
  list = withoutSysSchema(list, state);
  astNodeToken* first = firstToken(list);
  if (!first || !first->text) return list;
  // Most datatypes are told apart by their first word alone.
  if (std::isalpha(static_cast<unsigned char>(first->text[0])) && !mayBeReviewed(first->text)) return list;
  std::string words = typeWords(list);
  for (const DatatypeRow& row : kDatatypes) {
    if (row.treatment != Treatment::RENAMED && row.treatment != Treatment::UNSUPPORTED) continue;
    std::vector<std::string_view> rowWords = wordsOf(row.name);
    if (rowWords[0] == "TIMESTAMP") {
      // TIME ZONE anywhere after TIMESTAMP; the LOCAL row first.
      bool local = words.find("LOCAL") != std::string::npos;
      if (!startsWithWord(words, "TIMESTAMP") || words.find(" TIME ZONE") == std::string::npos ||
          local != (std::strstr(row.name, "LOCAL") != nullptr))
        continue;
    } else if (!startsWithWord(words, row.name)) {
      continue;
    }
    if (row.treatment == Treatment::UNSUPPORTED) {
      std::string name = rowWords[0] == "TIMESTAMP" ? std::string(row.name) : words;
      reportFinding(FindingId::DATATYPE, first, state->errors, name.c_str(), words.c_str());
      return list;
    }
    astNodeList* renamed = tokenList(row.target, first->line);
    for (astListCell* c = list->head->next; c; c = c->next) renamed = listAppend(renamed, c->value);
    if (row.length && listLength(list) == 1) renamed = appendElements(renamed, madeTokens(row.length, -1));
    renamed->parent = list->parent ? list->parent : owner;
    renamed->head->value->parent = renamed;
    return renamed;
  }
  return list;
}

bool isDeclScope(const astNode* node) { return isDeclarationScope(node); }

// Weak REF CURSOR types of a block are plain cursors in the target.
astNodeList* weakCursorType(astNodeList* list, astNode* owner, TransformState* state) {
  astNode* scope = nearestOf(list->parent ? list->parent : owner, isDeclScope);
  for (; scope; scope = nearestOf(scope->parent, isDeclScope)) {
    astNodeList* declarations = scopeDeclarations(scope);
    if (!declarations) continue;
    // Every datatype outside the map is looked up here; gathering each
    // scope's REF CURSOR declarations once keeps long declaration lists linear.
    TransformState::RefCursorScan& scan = state->refCursorScans[declarations];
    if (scan.count != declarations->count || scan.head != declarations->head || scan.tail != declarations->tail) {
      scan.count = declarations->count;
      scan.head = declarations->head;
      scan.tail = declarations->tail;
      scan.declarations.clear();
      for (astListCell* c = declarations->head; c; c = c->next)
        if (c->value && c->value->kind == AST_REFCURSOR_DECL) scan.declarations.push_back(c->value);
    }
    for (astNode* node : scan.declarations) {
      auto* decl = nodeAs<astNodeRefCursorDecl>(node);
      if (decl->variableType != VAR_REFCURSOR || !listsEqual(decl->variableName, list)) continue;
      if (isPackage(scope) || decl->dataType) return list;
      astNodeList* cursor = listNew(makeToken("CURSOR", list->line));
      cursor->parent = list->parent ? list->parent : owner;
      cursor->head->value->parent = cursor;
      return cursor;
    }
  }
  return list;
}

// The datatype in the target's words, before its limits.
astNodeList* namedDataType(astNodeList* list, astNode* owner, TransformState* state) {
  list = reviewDataType(list, owner, state);
  astNodeToken* last = asToken(listLast(list));
  if (last && (last->tokenCode == T_PERCENT_TYPE || last->tokenCode == T_PERCENT_ROWTYPE)) {
    // The pragma keeps its rewritten value: each datatype takes a copy.
    for (astListCell* c = listCells(state->aliasPragmas); c; c = c->next) {
      auto* pragma = nodeAs<astNodePragma>(c->value);
      if (listsEqual(pragma->name, list)) return adopt(tokensCopy(pragma->value), list->parent ? list->parent : owner);
    }
    return list;
  }
  const DatatypeIndex::Entry* entry = mappedRow(list, state);
  if (!entry) return weakCursorType(list, owner, state);
  // A type of one word written alone that the unsized rows name (CHAR) is
  // written, and sized, as those rows say.
  const UnsizedRow* unsized = listLength(list) == 1 ? entry->unsized : nullptr;
  bool parameter = owner && (owner->kind == AST_FORMAL_ARG || owner->kind == AST_CREATE_FUNCTION ||
                             owner->kind == AST_FUNC_PROTO);
  astNodeList* result = nullptr;
  for (const std::string& word : entry->targetWords) {
    const char* text = word.c_str();
    if (unsized && !result) text = parameter ? unsized->parameterTarget : unsized->variableTarget;
    result = listAppend(result, makeToken(text, -1));
  }
  int matched = static_cast<int>(entry->words.size());
  int index = 0;
  for (astListCell* rest = listCells(list); rest; rest = rest->next, ++index)
    if (index >= matched) result = listAppend(result, rest->value);
  const MadeText* length = entry->length ? &*entry->length : nullptr;
  if (unsized) length = parameter ? &entry->unsizedLengths->parameter : &entry->unsizedLengths->variable;
  if (length && listLength(list) == matched) result = length->appendTo(result);
  if (!result) return list;
  // The new list stands where the old one stood.
  result->parent = list->parent ? list->parent : owner;
  for (astListCell* r = listCells(result); r; r = r->next)
    if (r->value->parent == nullptr || r->value->parent == list) r->value->parent = result;
  return result;
}

// The limit row of a type as written, by its name; null when none.
const LimitRow* limitOf(const astNodeToken* name) {
  if (!name || !name->text || !std::isalpha(static_cast<unsigned char>(name->text[0]))) return nullptr;
  char first = foldAscii(name->text[0]);
  for (const LimitRow& row : kLimits)
    if (foldAscii(row.name[0]) == first && equalsIgnoreCase(name->text, row.name)) return &row;
  return nullptr;
}

// A whole number of digits alone, up to 9 of them; -1 otherwise.
long smallNumber(const astNodeToken* token) {
  const char* text = token ? token->text : nullptr;
  if (!text) return -1;
  long value = 0;
  size_t digits = 0;
  for (; text[digits] >= '0' && text[digits] <= '9'; ++digits) {
    if (digits == 9) return -1;
    value = value * 10 + (text[digits] - '0');
  }
  return digits == 0 || text[digits] ? -1 : value;
}

void setNumber(astNodeToken* token, long value) { token->text = poolStrdup(std::to_string(value).c_str()); }

// The type as the source writes it: its words, then its parenthesised part
// glued ("CHAR(300)", "NUMBER(5,-2)", "VARCHAR2(9000 CHAR)").
std::string writtenType(const astNodeList* list) {
  std::string text;
  bool previousWord = false;
  for (astListCell* c = listCells(list); c; c = c->next) {
    astNodeToken* token = asToken(c->value);
    if (!token || !token->text) continue;
    bool word = std::isalnum(static_cast<unsigned char>(token->text[0]));
    if (word && previousWord) text += ' ';
    text += std::isalpha(static_cast<unsigned char>(token->text[0])) ? upperText(token->text) : token->text;
    previousWord = word;
  }
  return text;
}

// A length or precision past what the target takes, held to its largest
// (LIMIT rows of the datatype table). `source` is the type as written, for
// a record. The forms are NAME ( n [BYTE | CHAR] ) and NAME ( p [, [-] s] );
// any other is left as it stands.
astNodeList* withinLimits(astNodeList* list, astNodeList* source, TransformState* state) {
  astListCell* nameCell = listCells(list);
  astListCell* open = nameCell ? nameCell->next : nullptr;
  if (!open || !spans::isOpen(open->value)) return list;
  const LimitRow* row = limitOf(asToken(nameCell->value));
  if (!row) return list;
  astListCell* numberCell = open->next;
  astNodeToken* number = numberCell ? asToken(numberCell->value) : nullptr;
  if (!number || !number->text) return list;
  // NUMBER(*, s) has PL/SQL's largest precision.
  constexpr long kSourceLargestPrecision = 38;
  long value = number->text[0] == '*' && !number->text[1] ? std::max(row->largest + 1, kSourceLargestPrecision)
                                                           : smallNumber(number);
  astListCell* after = numberCell->next;
  if (value < 0 || !after) return list;
  if (row->unit == LimitUnit::LENGTH) {
    astNodeToken* unit = asToken(after->value);
    bool inCharacters = unit && unit->text && equalsIgnoreCase(unit->text, "CHAR");
    bool inBytes = unit && unit->text && equalsIgnoreCase(unit->text, "BYTE");
    astListCell* close = inCharacters || inBytes ? after->next : after;
    if (!close || !spans::isClose(close->value) || close->next) return list;
    long largest = inCharacters && row->largestInCharacters ? row->largestInCharacters : row->largest;
    if (value <= largest) return list;
    if (row->varying) {
      // No fixed-length type of the target is that long: the varying one
      // keeps the values, not their padding.
      std::string written = writtenType(source);
      reportFinding(FindingId::FIXED_LENGTH_PAST_LIMIT, firstToken(source), state->errors, written.c_str(),
                    written.c_str());
      nodeAs<astNodeToken>(nameCell->value)->text = poolStrdup(row->varying);
      return withinLimits(list, source, state);
    }
    // Counted in bytes, the largest holds every value up to the target's
    // longest, whatever its characters.
    setNumber(number, row->largest);
    if (inCharacters) listRemoveAfter(list, after, numberCell);
    return list;
  }
  // A precision, and a scale of 0 to the precision.
  long scale = 0;
  bool negative = false;
  astListCell* close = after;
  astListCell* scaleCell = nullptr;
  if (spans::isComma(after->value)) {
    astListCell* sign = after->next;
    astNodeToken* signToken = sign ? asToken(sign->value) : nullptr;
    negative = signToken && signToken->text && signToken->text[0] == '-' && !signToken->text[1];
    scaleCell = negative ? sign->next : sign;
    scale = scaleCell ? smallNumber(asToken(scaleCell->value)) : -1;
    if (scale < 0) return list;
    close = scaleCell->next;
  }
  if (!close || !spans::isClose(close->value) || close->next) return list;
  if (negative) {
    // Rounded left of the point: an integer of as many digits, unrounded.
    std::string written = writtenType(source);
    reportFinding(FindingId::NEGATIVE_SCALE, firstToken(source), state->errors, written.c_str(), written.c_str());
    setNumber(number, std::min(value + scale, row->largest));
    while (numberCell->next != close) listRemoveAfter(list, numberCell->next, numberCell);
    return list;
  }
  if (value <= row->largest && scale <= value) return list;
  // The digits before the point and the scale, together more than the
  // target's largest, share it: the longer of the two gives way first, so
  // that NUMBER(38, 35) keeps its 3 integer digits and NUMBER(38, 2) its
  // scale. A scale given up is recorded; integer digits given up are not,
  // as with any precision past the largest.
  long integers = std::max(value - scale, 0L);
  long kept = std::min(scale, row->largest);
  if (integers + scale > row->largest) {
    long excess = integers + scale - row->largest;
    if (integers - excess >= scale)
      kept = scale;
    else if (scale - excess >= integers)
      kept = scale - excess;
    else
      kept = row->largest / 2;  // both past half: the integer digits take the odd one
  }
  if (kept < scale) {
    std::string written = writtenType(source);
    reportFinding(FindingId::SCALE_PAST_LIMIT, firstToken(source), state->errors, written.c_str(), written.c_str());
  }
  setNumber(number, std::min(std::max(value, scale), row->largest));
  if (scaleCell) setNumber(asToken(scaleCell->value), kept);
  return list;
}

}  // namespace

astNodeList* mapDataType(astNodeList* list, astNode* owner, TransformState* state) {
  if (!list) return nullptr;
  astNodeList* source = list;
  return withinLimits(namedDataType(list, owner, state), source, state);
}

namespace rewrite {

bool isTimestampType(const astNodeList* type) {
  astNodeToken* first = firstToken(type);
  return first && first->text && foldAscii(first->text[0]) == 't' && startsWithWord(first->text, "TIMESTAMP");
}

bool isStringType(const astNodeList* type) {
  const LimitRow* row = limitOf(firstToken(type));
  return row && row->unit == LimitUnit::LENGTH;
}

int scaleOfType(const astNodeList* type) {
  // The scale of a type named by its first word alone, or by a precision
  // and a scale (kGiven), by the first letter of that word, folded.
  constexpr int kGiven = -2;
  struct Word {
    std::string word;
    int scale;
  };
  static const std::array<std::vector<Word>, 26> byLetter = [] {
    std::array<std::vector<Word>, 26> words;
    auto add = [&words](std::string word, int scale) {
      for (char& c : word) c = foldAscii(c);
      words[size_t(word[0] - 'a')].push_back({word, scale});
    };
    for (const DatatypeRow& row : kDatatypes)
      if (row.scale != Scale::ANY && !std::strchr(row.name, ' ')) add(row.name, row.scale == Scale::INTEGERS ? 0 : kGiven);
    // The floating types keep any scale, as NUMBER alone does.
    for (const char* word : {"float", "real", "double", "decfloat", "binary_float", "binary_double", "simple_float",
                             "simple_double"})
      add(word, kFreeScale);
    return words;
  }();
  astListCell* c = type && type->kind == AST_LIST ? type->head : nullptr;
  const char* first = c ? spans::textOf(c->value) : nullptr;
  char letter = first ? foldAscii(first[0]) : 0;
  if (letter < 'a' || letter > 'z') return kUnknownScale;
  const Word* named = nullptr;
  for (const Word& word : byLetter[size_t(letter - 'a')]) {
    size_t at = 1;
    while (at < word.word.size() && foldAscii(first[at]) == word.word[at]) ++at;
    if (at == word.word.size() && !first[at]) {
      named = &word;
      break;
    }
  }
  if (!named) return kUnknownScale;
  // The words after the name: none, ( p ) or ( p , s ).
  const char* rest[6] = {};
  size_t count = 0;
  for (c = c->next; c; c = c->next) {
    const char* text = spans::textOf(c->value);
    if (!text || count == 5) return kUnknownScale;
    rest[count++] = text;
  }
  if (count == 0) return named->scale == kGiven ? kFreeScale : named->scale;
  if (named->scale != kGiven || std::strcmp(rest[0], "(") != 0) return kUnknownScale;
  auto digits = [](const char* text) { return *text && std::strspn(text, "0123456789") == std::strlen(text); };
  if (count == 3 && std::strcmp(rest[2], ")") == 0) return std::strcmp(rest[1], "*") == 0 ? kFreeScale : 0;
  if (count == 5 && std::strcmp(rest[2], ",") == 0 && std::strcmp(rest[4], ")") == 0 && digits(rest[3]))
    return std::atoi(rest[3]);
  return kUnknownScale;
}

}  // namespace rewrite

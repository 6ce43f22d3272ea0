// The T-SQL scanner: one pass over the bytes of a batch, no backtracking
// beyond the look past blanks and comments for the merged two-word tokens.
// Every read is bounded by the input end, so NUL bytes inside the text and
// unterminated constructs never lead the scanner past it.
#include "scanner.h"

#include <cstdint>
#include <cstring>

#include "keyword.h"
#include "smp.h"
#include "spv.h"
#include "token_codes.h"
#include "token_leaves.h"

namespace {

// Scanner settings of the calling thread: each thread scans its own batch.
thread_local int g_quoted_identifier = 0;

// Longest bracketed name, money constant or number (bytes of the lexeme).
constexpr long kLongestLexeme = 255;
// Longest content of a double-quoted identifier.
constexpr int kLongestQuotedName = 255;
// Growth step of the lexeme tables.
constexpr int kTableStep = 50;

enum : unsigned char {
  C_LETTER = 1,
  C_DIGIT = 2,
  C_HEX = 4,
  C_BLANK = 8,
  C_WORD = 16,  // letters, digits, "#", "$", "@", "_"
};

constexpr unsigned char class_of(int c) {
  unsigned char k = 0;
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) k |= C_LETTER | C_WORD;
  if (c >= '0' && c <= '9') k |= C_DIGIT | C_HEX | C_WORD;
  if ((c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f')) k |= C_HEX;
  if ((c >= 9 && c <= 13) || c == ' ') k |= C_BLANK;
  if (c == '#' || c == '$' || c == '@' || c == '_') k |= C_WORD;
  return k;
}

struct class_table {
  unsigned char v[256];
  constexpr class_table() : v() {
    for (int c = 0; c < 256; ++c) v[c] = class_of(c);
  }
};
constexpr class_table kClass;

inline unsigned char byte_at(const char* p) { return static_cast<unsigned char>(*p); }
inline bool has(const char* p, unsigned char cls) { return (kClass.v[byte_at(p)] & cls) != 0; }
inline unsigned char upper(unsigned char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

// The reserved-word class: every terminal named *_KW except four words
// that may also stand as names.
constexpr bool ends_with_kw(const char* name) {
  std::size_t n = 0;
  while (name[n] != '\0') ++n;
  return n >= 3 && name[n - 3] == '_' && name[n - 2] == 'K' && name[n - 1] == 'W';
}

struct reserved_table {
  bool v[TK_TABLE_SIZE];
  constexpr reserved_table() : v() {
#define AG_TERMINAL(name, code, words) v[code] = ends_with_kw(#name);
#include "../../grammar/terminals.def"
#undef AG_TERMINAL
    v[TK_BI_KW] = false;
    v[TK_DESC_KW] = false;
    v[TK_NULLIF_KW] = false;
    v[TK_PERM_KW] = false;
  }
  constexpr int count() const {
    int n = 0;
    for (bool b : v) n += b ? 1 : 0;
    return n;
  }
};
constexpr reserved_table kReserved;
static_assert(kReserved.count() == 206, "reserved-word class");

// ---- comments and blanks -------------------------------------------------

// p is at "--": the comment runs through the next line feed, or to the end.
const char* skip_line_comment(const char* p, const char* end) {
  p += 2;
  while (p < end) {
    if (*p++ == '\n') return p;
  }
  return end;
}

// p is at "/*": nested comments count; an unclosed one ends at the end.
const char* skip_block_comment(const char* p, const char* end) {
  p += 2;  // the body starts after the "*" of the opener
  int depth = 0;
  while (p < end) {
    if (*p == '/' && p + 1 < end && p[1] == '*') {
      ++depth;
      p += 2;
    } else if (*p == '*' && p + 1 < end && p[1] == '/') {
      p += 2;
      if (depth == 0) return p;
      --depth;
    } else {
      ++p;
    }
  }
  return end;
}

// ---- quoted text -----------------------------------------------------------

// p is at the opening quote; a doubled quote stands inside. Returns the
// position after the closing quote, or nullptr when the end comes first.
const char* skip_quoted(const char* p, const char* end) {
  const char quote = *p++;
  while (p < end) {
    if (*p == quote) {
      if (p + 1 < end && p[1] == quote) {
        p += 2;
        continue;
      }
      return p + 1;
    }
    ++p;
  }
  return nullptr;
}

// Quoted part of a U& literal: a doubled quote continues it and a
// backslash takes the next byte with it (never the byte at the end).
const char* skip_unicode_quoted(const char* p, const char* end) {
  const char quote = *p++;
  while (p < end) {
    if (*p == '\\') {
      p += (p + 1 < end) ? 2 : 1;
      continue;
    }
    if (*p == quote) {
      if (p + 1 < end && p[1] == quote) {
        p += 2;
        continue;
      }
      return p + 1;
    }
    ++p;
  }
  return nullptr;
}

// ---- numbers ---------------------------------------------------------------

// Optional exponent after the mantissa: "e" or "E", then a sign only when a
// digit follows it, then digits. Returns whether an exponent was taken.
bool take_exponent(const char*& p, const char* end) {
  if (p >= end || (*p != 'e' && *p != 'E')) return false;
  ++p;
  if (p + 1 < end && (*p == '+' || *p == '-') && has(p + 1, C_DIGIT)) ++p;
  while (p < end && has(p, C_DIGIT)) ++p;
  return true;
}

int scan_number(const char* p, const char* end, const char** q) {
  const char* s = p;
  int token = TK_INTEGER_CONSTANT;
  int32_t value = 0;
  while (p < end && has(p, C_DIGIT)) {
    if (token == TK_INTEGER_CONSTANT) {
      const int d = *p - '0';
      if (value > (INT32_MAX - d) / 10)
        token = TK_NUMERIC_CONSTANT;
      else
        value = value * 10 + d;
    }
    ++p;
  }
  if (p < end && *p == '.') {
    ++p;
    while (p < end && has(p, C_DIGIT)) ++p;
    token = TK_NUMERIC_CONSTANT;
  }
  if (take_exponent(p, end)) token = TK_FLOATING_POINT_CONSTANT;
  *q = p;
  return (p - s > kLongestLexeme) ? TK_ERROR_TK : token;
}

// p is at "." and a digit follows; no length limit.
int scan_point_number(const char* p, const char* end, const char** q) {
  ++p;
  while (p < end && has(p, C_DIGIT)) ++p;
  const int token = take_exponent(p, end) ? TK_FLOATING_POINT_CONSTANT : TK_NUMERIC_CONSTANT;
  *q = p;
  return token;
}

int scan_money(const char* p, const char* end, const char** q) {
  const char* s = p++;
  while (p < end && has(p, C_BLANK)) ++p;
  if (p < end && (*p == '+' || *p == '-')) {
    ++p;
    while (p < end && has(p, C_BLANK)) ++p;
  }
  while (p < end && has(p, C_DIGIT)) ++p;
  if (p < end && *p == '.') {
    ++p;
    while (p < end && has(p, C_DIGIT)) ++p;
  }
  *q = p;
  return (p - s > kLongestLexeme) ? TK_ERROR_TK : TK_MONEI_CONSTANT;
}

// ---- words -----------------------------------------------------------------

struct merge_rule {
  int first;
  const char* second;  // upper case
  int length;
  int merged;
};

constexpr merge_rule kMerges[] = {
    {TK_INNER_ID, "JOIN", 4, TK_INNER_AND_JOIN_JUMBO},
    {TK_LEFT_ID, "JOIN", 4, TK_LEFT_AND_JOIN_JUMBO},
    {TK_RIGHT_ID, "JOIN", 4, TK_RIGHT_AND_JOIN_JUMBO},
    {TK_LEFT_ID, "OUTER", 5, TK_LEFT_AND_OUTER_JUMBO},
    {TK_RIGHT_ID, "OUTER", 5, TK_RIGHT_AND_OUTER_JUMBO},
    {TK_LOCK_KW, "TABLE", 5, TK_LOCK_AND_TABLE_JUMBO},
    {TK_COMMA, "FILLFACTOR", 10, TK_COMMA_AND_FILLFACTOR_JUMBO},
    {TK_COMMA, "MAX_ROWS_PER_PAGE", 17, TK_COMMA_ANDMAKSROWSPERPAGE_JUMBO},
    {TK_COMMA, "RESERVEPAGEGAP", 14, TK_COMMA_AND_RESERVEPAGEGAP_JUMBO},
};

// Tries to merge the token that ends at *q with the word after the blanks
// and comments that follow; on success moves *q behind that word.
int try_merge(int token, const char** q, const char* end) {
  bool candidate = false;
  for (const merge_rule& m : kMerges) candidate = candidate || m.first == token;
  if (!candidate) return token;
  const char* r = skip_blanks_and_comments(*q, end);
  if (r >= end) return token;
  const unsigned char c = upper(byte_at(r));
  for (const merge_rule& m : kMerges) {
    if (m.first != token || static_cast<unsigned char>(m.second[0]) != c) continue;
    if (end - r < m.length) continue;
    if (word_ends_at_delimiter(m.second, r, m.length)) {
      *q = r + m.length;
      return m.merged;
    }
  }
  return token;
}

int scan_word(const char* p, const char* end, const char** q) {
  const char* s = p++;
  while (p < end && has(p, C_WORD)) ++p;
  if (p < end && *p == ':') {
    *q = p + 1;
    return TK_LABEL;
  }
  *q = p;
  const long length = p - s;
  const int token = keyword_lookup(s, length > 256 ? 256 : static_cast<int>(length));
  return try_merge(token, q, end);
}

int scan_variable(const char* p, const char* end, const char** q) {
  int token = TK_LOCAL_VARNAME;
  ++p;
  if (p < end && *p == '@') {
    token = TK_GLOBAL_VARNAME;
    ++p;
  }
  while (p < end && has(p, C_WORD)) ++p;
  *q = p;
  return token;
}

int double_quoted_token(const char* s, const char* q) {
  if (!g_quoted_identifier) return TK_STRING_CONSTANT;
  const long length = q - s;
  if (length > INT32_MAX) return TK_ERROR_TK;
  return quoted_text_token(s, static_cast<int>(length));
}

// "U&" or "u&" and a quote: a Unicode literal. Its lexeme ends at the
// closing quote; single quotes make a string constant, double quotes follow
// the quoted-identifier flag. Unterminated: ERROR_TK up to the end.
int scan_unicode_literal(const char* p, const char* end, const char** q) {
  const char* r = skip_unicode_quoted(p + 2, end);
  if (r == nullptr) {
    *q = end;
    return TK_ERROR_TK;
  }
  *q = r;
  if (p[2] == '\'') return TK_STRING_CONSTANT;
  if (!g_quoted_identifier) return TK_STRING_CONSTANT;
  return (r - p - 4 > kLongestQuotedName) ? TK_ERROR_TK : TK_QUOTED_IDENTIFIER;
}

// ---- one lexeme ------------------------------------------------------------

// A two-byte operator: the lexeme takes both bytes.
inline int two_bytes(const char* p, const char** q, int token) {
  *q = p + 2;
  return token;
}

// Scans the lexeme at p; stores its end in *q and returns its kind: a token
// code, or -1 for a blank run or a comment.
int scan_one(const char* p, const char* end, const char** q) {
  if (p >= end) {
    // The terminating NUL is the end-of-input lexeme.
    *q = (p == end) ? end + 1 : p;
    return TK_END_OF_INPUT;
  }
  const unsigned char c = byte_at(p);
  const bool has_next = p + 1 < end;
  const char next = has_next ? p[1] : '\0';
  *q = p + 1;
  if (c > 126) return TK_ERROR_TK;
  if (has(p, C_BLANK)) {
    const char* r = p + 1;
    while (r < end && has(r, C_BLANK)) ++r;
    *q = r;
    return -1;
  }
  switch (c) {
    case '-':
      if (next == '-') {
        *q = skip_line_comment(p, end);
        return -1;
      }
      return TK_MINUS;
    case '/':
      if (next == '*') {
        *q = skip_block_comment(p, end);
        return -1;
      }
      return TK_DIVIDE;
    case '\'': {
      const char* r = skip_quoted(p, end);
      *q = r ? r : end;
      return r ? TK_STRING_CONSTANT : TK_ERROR_TK;
    }
    case '"': {
      const char* r = skip_quoted(p, end);
      if (r == nullptr) {
        *q = end;
        return TK_ERROR_TK;
      }
      *q = r;
      return double_quoted_token(p, r);
    }
    case '[': {
      const char* r = p + 1;
      while (r < end && *r != ']') ++r;
      if (r >= end) {
        *q = end;
        return TK_ERROR_TK;
      }
      *q = r + 1;
      return (*q - p > kLongestLexeme) ? TK_ERROR_TK : TK_NAME;
    }
    case '$':
      return scan_money(p, end, q);
    case '0':
      if (next == 'x' || next == 'X') {
        const char* r = p + 2;
        while (r < end && has(r, C_HEX)) ++r;
        *q = r;
        return TK_BINARI_CONSTANT;
      }
      return scan_number(p, end, q);
    case '.':
      if (has_next && has(p + 1, C_DIGIT)) return scan_point_number(p, end, q);
      return TK_PERIOD;
    case '@':
      return scan_variable(p, end, q);
    case 'U':
    case 'u':
      if (next == '&' && p + 2 < end && (p[2] == '\'' || p[2] == '"'))
        return scan_unicode_literal(p, end, q);
      return scan_word(p, end, q);
    case ',':
      return try_merge(TK_COMMA, q, end);
    case '!':
      if (next == '=') return two_bytes(p, q, TK_NOT_EQUAL);
      if (next == '>') return two_bytes(p, q, TK_LTEQ);
      if (next == '<') return two_bytes(p, q, TK_GTEQ);
      return TK_EKSCLAMATION;
    case '*':
      if (next == '=') return two_bytes(p, q, TK_STAR_EQUAL);
      return TK_STAR;
    case '=':
      if (next == '*') return two_bytes(p, q, TK_EQUAL_STAR);
      return TK_EQUAL;
    case '<':
      if (next == '=') return two_bytes(p, q, TK_LTEQ);
      if (next == '>') return two_bytes(p, q, TK_NOT_EQUAL);
      return TK_LESS_THAN;
    case '>':
      if (next == '=') return two_bytes(p, q, TK_GTEQ);
      return TK_GREATER_THAN;
    case '|':
      if (next == '|') return two_bytes(p, q, TK_STRING_CAT);
      return TK_BIT_OR;
    case '%': return TK_MODULO;
    case '+': return TK_PLUS;
    case ';': return TK_SEMICOLON;
    case '&': return TK_BIT_AND;
    case '^': return TK_BIT_EKSOR;
    case '~': return TK_BIT_NOT;
    case '(': return TK_LPAR;
    case ')': return TK_RPAR;
    default:
      break;
  }
  if (has(p, C_DIGIT)) return scan_number(p, end, q);
  if (has(p, C_LETTER) || c == '#' || c == '_') return scan_word(p, end, q);
  // NUL inside the text, control bytes and the stray punctuation
  // ":", "?", "\", "]", "`", "{", "}".
  return TK_ERROR_TK;
}

// Records lexeme n (end offset and kind), growing both tables together.
void record_lexeme(st_context* ctx, int n, int end_offset, int kind) {
  int count = spv_elem_count(ctx->lexeme_start);
  if (n + 1 >= count) {
    while (n + 1 >= count) count += kTableStep;
    spv_set_elem_count(ctx->lexeme_start, count);
    spv_set_elem_count(ctx->lexeme_kind, count);
  } else if (spv_elem_count(ctx->lexeme_kind) <= n) {
    spv_set_elem_count(ctx->lexeme_kind, count);  // keep the twin tables in step
  }
  *int_spv_elem_addr(ctx->lexeme_start, static_cast<unsigned>(n + 1)) = end_offset;
  *int_spv_elem_addr(ctx->lexeme_kind, static_cast<unsigned>(n)) = kind;
}

}  // namespace

extern "C" const char* skip_blanks_and_comments(const char* p, const char* end) {
  while (p < end) {
    if (has(p, C_BLANK)) {
      ++p;
    } else if (*p == '-' && p + 1 < end && p[1] == '-') {
      p = skip_line_comment(p, end);
    } else if (*p == '/' && p + 1 < end && p[1] == '*') {
      p = skip_block_comment(p, end);
    } else {
      return p;
    }
  }
  return end;
}

extern "C" int word_ends_at_delimiter(const char* keyword, const char* p, int length) {
  if (!keyword_match(keyword, p, length)) return 0;
  const char* after = p + length;
  return (has(after, C_WORD) || *after == ':') ? 0 : 1;
}

extern "C" int token_is_reserved(int code) {
  if (code < TK_ADD_KW || code > TK_WRITETEKST_KW) return 0;
  return kReserved.v[code] ? 1 : 0;
}

extern "C" st_String_const* literal_unquote(const char* text, int length) {
  if (length <= 2) return C_empty_string;
  st_context* ctx = context_get();
  const char quote = text[0];
  const char* s = text + 1;
  const char* e = text + length - 1;
  char* buffer = static_cast<char*>(smp_alloc(ctx->pool, static_cast<unsigned>(length - 2)));
  int n = 0;
  while (s < e) {
    if (*s == quote && s + 1 < e && s[1] == quote) {
      buffer[n++] = quote;
      s += 2;
    } else if (*s == '\\' && s + 1 < e && s[1] == '\n') {
      s += 2;
    } else {
      buffer[n++] = *s++;
    }
  }
  if (n == 0) return C_empty_string;
  return alloc_string_no_copy(ctx->pool, buffer, n);
}

extern "C" int quoted_text_token(const char* text, int length) {
  st_String_const* content = literal_unquote(text, length);
  const int n = string_length(content);
  if (n == 0) return TK_QUOTED_IDENTIFIER;
  if (n > kLongestQuotedName) return TK_ERROR_TK;
  const char* chars = static_cast<const char*>(internal_data_ptr_fcs(content));
  if (chars[0] == '@') return TK_QUOTED_IDENTIFIER;
  const int token = keyword_lookup(chars, n);
  // Text that no word could spell (a leading digit or blank) is still a
  // legal delimited identifier.
  if (token == TK_NAME || token == TK_ERROR_TK || token_is_reserved(token))
    return TK_QUOTED_IDENTIFIER;
  return token;
}

extern "C" void scanner_setup(ag_word* block) {
  g_quoted_identifier = static_cast<int32_t>(block[0]) != 0 ? 1 : 0;
  block[2] = block[1];
}

extern "C" int scanner_quoted_identifier(void) { return g_quoted_identifier; }

extern "C" int yylex(st_node** value, st_context* ctx) {
  const char* start = ctx->input_start;
  const char* end = ctx->input_end;
  if (start == nullptr || end == nullptr) {
    gn_dproc_table[TK_END_OF_INPUT](ctx, value);
    return TK_END_OF_INPUT;
  }
  const char* p = ctx->cursor ? ctx->cursor : start;
  int n = ctx->lexeme_count;
  for (;;) {
    const char* q = p;
    const int kind = scan_one(p, end, &q);
    record_lexeme(ctx, n, static_cast<int>(q - start), kind);
    if (kind != -1) {
      ctx->lexeme_count = n;
      gn_dproc_table[kind](ctx, value);
      ctx->lexeme_count = n + 1;
      ctx->cursor = q;
      return kind;
    }
    p = q;
    ++n;
  }
}

#include "error_records.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_set>
#include <vector>

#include "run_pool.h"

ErrorRecord outOfMemoryRecord = {nullptr, const_cast<char*>("Out of memory"), ERROR_DOMAIN_MEMORY, -1,
                                 nullptr, nullptr, nullptr};
ErrorRecord internalErrorRecordStatic = {nullptr, const_cast<char*>("Internal error"), ERROR_DOMAIN_INTERNAL, -1,
                                         nullptr, nullptr, nullptr};
ErrorRecord nestedTooDeeplyRecord = {nullptr, const_cast<char*>("The source nests too deeply to be translated"),
                                     ERROR_DOMAIN_INTERNAL, -1, nullptr, nullptr, nullptr};

ErrorRecord* newErrorRecord(const char* message, int domain, int line) {
  // Records live as long as the run: bump memory, without a block's header.
  ErrorRecord* r = static_cast<ErrorRecord*>(poolBump(sizeof(ErrorRecord)));
  if (!r) return nullptr;
  std::memset(r, 0, sizeof *r);
  r->message = poolBumpStrdup(message ? message : "");
  r->domain = domain;
  r->line = line;
  return r;
}

char* copySourceLine(const char* start) {
  if (!start) return nullptr;
  size_t n = std::strcspn(start, "\n\r");
  char* s = static_cast<char*>(poolBump(n + 1));
  std::memcpy(s, start, n);
  s[n] = '\0';
  return s;
}

const char* errorDomainName(int domain) {
  switch (domain) {
    case 0: return "syntax";
    case 1: return "lexical";
    case 2: return "unsupportedFeature";
    case 3: return "internalError";
    default: return "unknown error domain";
  }
}

void listAppendRecord(ErrorList* list, ErrorRecord* record) {
  if (!list || !record) return;
  record->next = nullptr;
  if (!list->head) {
    list->head = record;
  } else {
    // Records linked on by hand are stepped over: the record still lands at
    // the real end.
    ErrorRecord* tail = list->tail ? list->tail : list->head;
    while (tail->next) tail = tail->next;
    tail->next = record;
  }
  list->tail = record;
}

int errorListLength(const ErrorRecord* head) {
  int n = 0;
  for (; head; head = head->next) ++n;
  return n;
}

bool holdsSyntaxError(const ErrorRecord* head) {
  for (; head; head = head->next)
    if (head->domain == ERROR_DOMAIN_SYNTAX || head->domain == ERROR_DOMAIN_LEXICAL) return true;
  return false;
}

namespace {

// A text of the report line: control characters (line breaks of a string
// literal, say) become blanks, so that each record stays on one line.
std::string oneLine(const std::string& text) {
  std::string shown = text;
  for (char& ch : shown) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7f) ch = ' ';
  }
  return shown;
}

// A token as the report line shows it: on one line, and not so long that
// the message is lost behind it.
std::string shownToken(const char* text) {
  const size_t kLongest = 40;
  std::string shown = oneLine(text);
  if (shown.size() > kLongest) {
    size_t cut = kLongest;
    // Never split a UTF-8 sequence.
    while (cut > 0 && (static_cast<unsigned char>(shown[cut]) & 0xc0) == 0x80) --cut;
    shown.resize(cut);
    shown += "...";
  }
  return shown;
}

// The parser's own wording names terminals by their grammar names; the
// report shows them as the expected-token lists do.
std::string plainTokenNames(const std::string& text) {
  std::string plain;
  for (size_t i = 0; i < text.size(); ++i) {
    bool wordStart = i == 0 || !(std::isalnum(static_cast<unsigned char>(text[i - 1])) || text[i - 1] == '_');
    if (wordStart && text.compare(i, 2, "T_") == 0) {
      ++i;
      continue;
    }
    if (wordStart && text.compare(i, 4, "$end") == 0) {
      plain += "end of input";
      i += 3;
      continue;
    }
    plain += text[i];
  }
  return plain;
}

}  // namespace

std::string errorRecordLine(const char* sourceName, const ErrorRecord* record) {
  std::string line = sourceName ? sourceName : "<string>";
  if (record->line > 0) line += ":" + std::to_string(record->line);
  line += ": ";
  std::string message = record->message ? record->message : "";
  bool syntax = record->domain == ERROR_DOMAIN_SYNTAX || record->domain == ERROR_DOMAIN_LEXICAL;
  if (!syntax) return line + oneLine(message);
  // The checks of the rewriting keep their reason where the parser keeps
  // the source line, and give an empty expected text.
  bool check = record->expected && !record->expected[0] && record->text;
  std::string head = message;
  std::string rest;
  size_t comma = message.find(", ");
  if (!check && comma != std::string::npos) {
    head = message.substr(0, comma);
    rest = plainTokenNames(message.substr(comma + 2));
  }
  line += oneLine(head);
  if (record->context && record->context[0])
    line += " near '" + shownToken(record->context) + "'";
  else if (record->context && record->domain == ERROR_DOMAIN_SYNTAX)
    line += " at the end of the input";
  if (check) rest = record->text;
  if (!rest.empty()) line += ": " + oneLine(rest);
  return line;
}

void printErrorRecords(std::FILE* stream, const char* sourceName, const ErrorRecord* head) {
  std::vector<const ErrorRecord*> records;
  for (; head; head = head->next) records.push_back(head);
  std::stable_sort(records.begin(), records.end(), [](const ErrorRecord* a, const ErrorRecord* b) {
    return std::max(a->line, 0) < std::max(b->line, 0);
  });
  // The scanner reports an open string or comment at every end-of-input
  // token it is asked for; the user is told once. The same line can only
  // come from records of the same source line, which the sort keeps
  // together.
  std::vector<std::string> printed;
  int group = -1;
  for (const ErrorRecord* record : records) {
    if (std::max(record->line, 0) != group) {
      group = std::max(record->line, 0);
      printed.clear();
    }
    std::string line = errorRecordLine(sourceName, record);
    if (std::find(printed.begin(), printed.end(), line) != printed.end()) continue;
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stream);
    line.pop_back();
    printed.push_back(std::move(line));
  }
}

char* formatExpectedTokens(const char* const* names, int count) {
  if (!names || count <= 0) return nullptr;
  size_t total = 1;
  for (int i = 0; i < count; ++i) total += std::strlen(names[i] ? names[i] : "") + 4;
  char* out = static_cast<char*>(poolBump(total));
  char* p = out;
  for (int i = 0; i < count; ++i) {
    const char* name = names[i] ? names[i] : "";
    if (i) {
      std::memcpy(p, ", ", 2);
      p += 2;
    }
    size_t n;
    if (std::strncmp(name, "T_", 2) == 0) {
      n = std::strlen(name + 2);
      std::memcpy(p, name + 2, n);
    } else if (name[0] == '\'') {
      n = std::strlen(name);
      std::memcpy(p, name, n);
    } else {
      *p++ = '<';
      n = std::strlen(name);
      std::memcpy(p, name, n);
      p[n++] = '>';
    }
    p += n;
  }
  *p = '\0';
  return out;
}

ErrorRecord* lexicalErrorRecord(const char* message, int line, const char* tokenText, const char* sourceLine,
                                ErrorList* list) {
  ErrorRecord* r = newErrorRecord(message, ERROR_DOMAIN_LEXICAL, line);
  r->context = poolBumpStrdup(tokenText);
  r->text = copySourceLine(sourceLine);
  listAppendRecord(list, r);
  return r;
}

ErrorRecord* syntaxErrorRecord(int line, const char* context, const char* text, const char* expected,
                               ErrorList* list) {
  ErrorRecord* r = newErrorRecord("syntax error", ERROR_DOMAIN_SYNTAX, line);
  r->context = poolBumpStrdup(context);
  r->text = poolBumpStrdup(text);
  r->expected = poolBumpStrdup(expected);
  listAppendRecord(list, r);
  return r;
}

void scannerFatal(const char* message) {
  std::fflush(stdout);
  std::fprintf(stderr, "%s\n", message ? message : "");
  std::exit(2);
}

// Whole translations in process for the tests: source text through the
// parser, the rewriting and the emitter, with the statement records and the
// error records returned as plain values.
#pragma once

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

#include "parse_context.h"
#include "sqlexc_ast_emit.h"
#include "translate.h"

namespace translate_test {

struct Out {
  int status;
  std::vector<int> types;
  std::vector<std::string> texts;
  std::vector<std::string> errors;  // message@line
};

inline TranslateResult translateRun(const char* source, bool markers) {
  TranslateOptions options;
  setCommandLineDefaults(&options);
  options.lineMarkers = markers;
  return translateCore(source, &options);
}

inline Out translate(const char* source, bool markers) {
  TranslateResult r = translateRun(source, markers);
  Out out;
  out.status = r.status;
  for (StatementRecord* s = r.statements; s; s = s->next) {
    out.types.push_back(s->type);
    out.texts.push_back(std::string(s->text, s->length));
  }
  for (ErrorRecord* e = r.errors; e; e = e->next)
    out.errors.push_back(std::string(e->message ? e->message : "") + "@" + std::to_string(e->line));
  return out;
}

// A whole translation compared as text: every record as "[type]\n" and its
// text, and every error record as message|domain|line|context|text.
struct SoundCase {
  const char* name;
  bool markers;
  const char* source;
  const char* text;
  const char* errors;
};

inline std::string recordsText(const TranslateResult& r) {
  std::string text;
  for (StatementRecord* s = r.statements; s; s = s->next)
    text += "[" + std::to_string(s->type) + "]\n" + std::string(s->text, s->length);
  return text;
}

inline std::string errorsText(const TranslateResult& r) {
  std::string errors;
  for (ErrorRecord* e = r.errors; e; e = e->next)
    errors += std::string(e->message ? e->message : "") + "|" + std::to_string(e->domain) + "|" +
              std::to_string(e->line) + "|" + (e->context ? e->context : "") + "|" + (e->text ? e->text : "") + "\n";
  return errors;
}

// The status a run with these error records ends with: 5 once a syntax or
// lexical record (domain 0 or 1) is among them, 0 otherwise.
inline int statusOfErrors(const std::string& errors) {
  size_t at = 0;
  while (at < errors.size()) {
    size_t end = errors.find('\n', at);
    if (end == std::string::npos) end = errors.size();
    size_t bar = errors.find('|', at);
    if (bar != std::string::npos && bar + 2 < end && (errors[bar + 1] == '0' || errors[bar + 1] == '1') &&
        errors[bar + 2] == '|')
      return 5;
    at = end + 1;
  }
  return 0;
}

// Every case of a table through the whole translation.
inline void expectSoundCases(std::span<const SoundCase> cases) {
  for (const SoundCase& c : cases) {
    TranslateResult r = translateRun(c.source, c.markers);
    EXPECT_EQ(r.status, statusOfErrors(c.errors)) << c.name;
    std::string text = recordsText(r);
    EXPECT_EQ(text, c.text) << c.name;
    EXPECT_EQ(errorsText(r), c.errors) << c.name;
    if (c.markers) {
      EXPECT_EQ(text.find("--#line 000"), std::string::npos) << c.name;
    }
  }
}

}  // namespace translate_test

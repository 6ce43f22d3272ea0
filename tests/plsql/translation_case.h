// Whole translations in process, compared byte for byte: every statement
// record as "[type]" and its text, and every error record as
// message|domain|line|context|text.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "parse_context.h"
#include "sqlexc_ast_emit.h"

struct TranslationCase {
  const char* name;
  bool markers;
  const char* source;
  const char* text;
  const char* errors;
};

inline void expectTranslation(const TranslationCase& c) {
  TranslateOptions options;
  setCommandLineDefaults(&options);
  options.lineMarkers = c.markers;
  TranslateResult r = translateCore(c.source, &options);
  EXPECT_EQ(r.status, 0) << c.name;
  std::string text;
  for (StatementRecord* s = r.statements; s; s = s->next)
    text += "[" + std::to_string(s->type) + "]\n" + std::string(s->text, s->length);
  std::string errors;
  for (ErrorRecord* e = r.errors; e; e = e->next)
    errors += std::string(e->message ? e->message : "") + "|" + std::to_string(e->domain) + "|" +
              std::to_string(e->line) + "|" + (e->context ? e->context : "") + "|" + (e->text ? e->text : "") + "\n";
  EXPECT_EQ(text, c.text) << c.name;
  EXPECT_EQ(errors, c.errors) << c.name;
  if (c.markers) {
    EXPECT_EQ(text.find("--#line 000"), std::string::npos) << c.name;
  }
}

template <size_t N>
void expectTranslations(const TranslationCase (&cases)[N]) {
  for (const TranslationCase& c : cases) expectTranslation(c);
}

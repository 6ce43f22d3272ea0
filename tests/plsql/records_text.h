// A whole translation's statement records and error records as the golden
// tests compare them, shared by the tests and the records tool
// (plsql_records), which prints them for a file.
#pragma once

#include <string>

#include "sqlexc_ast_emit.h"
#include "translate.h"

namespace translate_test {

inline TranslateResult translateRun(const char* source, bool markers) {
  TranslateOptions options;
  setCommandLineDefaults(&options);
  options.lineMarkers = markers;
  return translateCore(source, &options);
}

// Every statement record as "[type]\n" and its text.
inline std::string recordsText(const TranslateResult& r) {
  std::string text;
  for (StatementRecord* s = r.statements; s; s = s->next)
    text += "[" + std::to_string(s->type) + "]\n" + std::string(s->text, s->length);
  return text;
}

// Every error record as message|domain|line|context|text, one a line.
inline std::string errorsText(const TranslateResult& r) {
  std::string errors;
  for (ErrorRecord* e = r.errors; e; e = e->next)
    errors += std::string(e->message ? e->message : "") + "|" + std::to_string(e->domain) + "|" +
              std::to_string(e->line) + "|" + (e->context ? e->context : "") + "|" + (e->text ? e->text : "") + "\n";
  return errors;
}

}  // namespace translate_test

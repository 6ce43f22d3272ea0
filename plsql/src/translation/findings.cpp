#include "findings.h"

#include <cstring>
#include <string>

#include "node_errors.h"
#include "run_pool.h"

#define UNSUPPORTED FindingDomain::UNSUPPORTED
#define SYNTAX FindingDomain::SYNTAX
#define INTERNAL FindingDomain::INTERNAL
const FindingRow kFindings[] = {
#define FINDING(id, domain, message, context, when) {#id, domain, message, context, when},
#include "findings.def"
};
#undef UNSUPPORTED
#undef SYNTAX
#undef INTERNAL
const int kFindingCount = static_cast<int>(sizeof kFindings / sizeof kFindings[0]);

const FindingRow& findingRow(FindingId id) { return kFindings[static_cast<int>(id)]; }

namespace {

std::string withName(const char* pattern, const char* name) {
  std::string text = pattern;
  size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, name ? name : "");
  return text;
}

}  // namespace

std::string findingMessage(FindingId id, const char* name) { return withName(findingRow(id).message, name); }

ErrorRecord* reportFinding(FindingId id, astNode* at, ErrorList* list, const char* name, const char* detail) {
  const FindingRow& row = findingRow(id);
  // Texts without a name put in them are the table's own: the record
  // points to them.
  if (!std::strstr(row.message, "%s") && (!row.context || !std::strstr(row.context, "%s")) &&
      row.domain != FindingDomain::INTERNAL)
    return tokenErrorRecordStatic(row.message, row.context ? row.context : poolBumpStrdup(detail), at, list);
  std::string context = row.context ? withName(row.context, name) : std::string();
  ErrorRecord* record =
      tokenErrorRecord(findingMessage(id, name).c_str(), row.context ? context.c_str() : detail, at, list);
  if (row.domain == FindingDomain::INTERNAL) record->domain = ERROR_DOMAIN_INTERNAL;
  return record;
}

ErrorRecord* reportSyntaxFinding(FindingId id, int line, const char* context, ErrorList* list) {
  return syntaxErrorRecord(line, context, findingRow(id).message, "", list);
}

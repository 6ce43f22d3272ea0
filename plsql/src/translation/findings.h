// The findings the translation reports, named by the ids of findings.def.
#pragma once

#include <string>

#include "error_records.h"

struct astNode;

enum class FindingId {
#define FINDING(id, domain, message, context, when) id,
#include "findings.def"
};

enum class FindingDomain { UNSUPPORTED, SYNTAX, INTERNAL };

struct FindingRow {
  const char* id;
  FindingDomain domain;
  const char* message;  // "%s" stands for the caller's name
  const char* context;  // "%s" as well; null: the caller gives the detail
  const char* when;
};

extern const FindingRow kFindings[];
extern const int kFindingCount;
const FindingRow& findingRow(FindingId id);

// The row's message and context with `name` put in place of "%s".
std::string findingMessage(FindingId id, const char* name = nullptr);

// An unsupported-feature or internal finding at a tree node (line and
// token text of the node): the detail is the row's context, or `detail`
// when the row has none.
ErrorRecord* reportFinding(FindingId id, astNode* at, ErrorList* list, const char* name = nullptr,
                           const char* detail = nullptr);
// A syntax finding: "syntax error" at `line` (counted from 1) with the row's
// message as its text and `context`.
ErrorRecord* reportSyntaxFinding(FindingId id, int line, const char* context, ErrorList* list);

// The table of the translation's findings (findings.def): each row has an id
// and a message of its own in the house style, each is made by a case of the
// tests (or said to be out of their reach, with the reason), and no message
// is written anywhere in the translation but in the table.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "findings.h"
#include "shell_command.h"
#include "translate_fixture.h"

namespace fs = std::filesystem;

namespace {

std::string readText(const fs::path& path) { return qen_test::read_file(path.string()); }

int placeholders(const std::string& text) {
  int count = 0;
  for (size_t at = text.find("%s"); at != std::string::npos; at = text.find("%s", at + 2)) ++count;
  return count;
}

// The constructs that the kind table names for a finding.
std::vector<std::string> constructsOf(const std::string& id) {
  struct Dropped {
    const char* finding;
    const char* construct;
  };
  static const Dropped kDropped[] = {
#define AST_DROPPED(kind, finding, construct) {#finding, construct},
#include "ast_kinds.def"
  };
  std::vector<std::string> names;
  for (const Dropped& d : kDropped)
    if (id == d.finding) names.push_back(d.construct);
  return names;
}

// Translations that make a finding, for the rows the other tests leave
// out and for each way of filling a record: a fixed detail, a name in the
// message and the detail, a detail of the caller, a syntax record. Each
// makes its record alone.
const struct {
  FindingId id;
  const char* source;
  const char* record;  // message|domain|line|context|text
} kCases[] = {
    {FindingId::SAVEPOINT, "BEGIN\n  SAVEPOINT a b;\nEND;", "SAVEPOINT not supported|2|2|SAVEPOINT...|\n"},
    {FindingId::IS_A_SET, "BEGIN\n  IF v IS NOT A SET THEN NULL; END IF;\nEND;",
     "IS [NOT] A SET not supported|2|2|IS A SET|IS\n"},
    {FindingId::LOCK_MODE, "BEGIN\n  LOCK TABLE t IN ROW SHARE MODE;\nEND;",
     "LOCK TABLE IN ROW SHARE MODE not supported|2|2|ROW SHARE|\n"},
    {FindingId::AUTHID_CURRENT_USER, "CREATE PROCEDURE p AUTHID CURRENT_USER IS BEGIN NULL; END;",
     "AUTHID CURRENT_USER not supported|2|1|CREATE [OR REPLACE] PROCEDURE...|\n"},
    {FindingId::NOT_NULL_VARIABLE, "DECLARE\n  v NUMBER NOT NULL := 1;\nBEGIN NULL; END;",
     "NOT NULL on a variable not supported|2|2|v|\n"},
    {FindingId::INTEGER_OUT_OF_RANGE, "BEGIN\n  FOR i IN 1 .. 99999999999 LOOP NULL; END LOOP;\nEND;",
     "syntax error|0|2|99999999999|INTEGER value out of range\n"},
};

TEST(FindingsCatalog, TranslationsMakeTheRowsRecords) {
  for (const auto& c : kCases) {
    TranslateResult r = translate_test::translateRun(c.source, false);
    EXPECT_EQ(r.jumpCode, 0) << c.source;
    EXPECT_EQ(translate_test::errorsText(r), c.record) << c.source;
  }
}

// Each row has an id and a message of its own, in the house style.
TEST(FindingsCatalog, UniqueIdsAndMessagesInTheStyle) {
  const std::regex missing(
      " not (yet )?(supported|implemented)( |$)| not permitted in | cannot be declared | "
      "can only be declared ");
  std::set<std::string> ids, messages;
  for (int i = 0; i < kFindingCount; ++i) {
    const FindingRow& row = kFindings[i];
    const std::string message = row.message;
    SCOPED_TRACE(row.id);
    EXPECT_TRUE(ids.insert(row.id).second);
    EXPECT_TRUE(messages.insert(message).second);
    ASSERT_FALSE(message.empty());
    EXPECT_NE(message.front(), ' ');
    EXPECT_NE(message.back(), ' ');
    EXPECT_NE(message.back(), '.');
    EXPECT_LE(placeholders(message), 1);
    EXPECT_FALSE(std::string(row.when).empty());
    if (row.context) {
      EXPECT_FALSE(std::string(row.context).empty());
      EXPECT_LE(placeholders(row.context), 1);
      // A name in the detail is a name the caller gives.
      if (placeholders(row.context) == 1 && placeholders(message) == 0) {
        EXPECT_TRUE(std::string(row.context).rfind("CREATE [OR REPLACE] %s", 0) == 0 ||
                    std::string(row.context) == "%s")
            << row.context;
      }
    }
    if (row.domain == FindingDomain::UNSUPPORTED) {
      // The construct first (capital or a name), then what is missing.
      EXPECT_TRUE(message.rfind("%s", 0) == 0 || (message[0] >= 'A' && message[0] <= 'Z')) << message;
      EXPECT_TRUE(std::regex_search(message, missing)) << message;
    }
    if (row.domain == FindingDomain::SYNTAX) {
      EXPECT_EQ(row.context, nullptr) << message;
    }
  }
}

TEST(FindingsCatalog, NamesGoInPlaceOfThePlaceholder) {
  EXPECT_EQ(findingMessage(FindingId::LOCK_MODE, "ROW SHARE"), "LOCK TABLE IN ROW SHARE MODE not supported");
  EXPECT_EQ(findingMessage(FindingId::SAVEPOINT), "SAVEPOINT not supported");
}

// Each row's message, its name in place of "%s" (one of the kind table's
// constructs, where it names them), stands in a case of the tests: even the
// translator's own fault, NO_ENCLOSING_LOOP, is made by an emitter test over
// a tree built by hand.
TEST(FindingsCatalog, EveryRowIsMadeByACaseOfTheTests) {
  const fs::path self = fs::path(__FILE__).filename();
  std::string cases;
  for (const auto& entry : fs::recursive_directory_iterator(fs::path(QEN_SOURCE_DIR) / "tests" / "plsql"))
    if (entry.is_regular_file() && entry.path().filename() != self) cases += readText(entry.path()) + "\n";
  ASSERT_FALSE(cases.empty());
  const std::regex special(R"([.^$|()\[\]{}*+?\\])");
  for (int i = 0; i < kFindingCount; ++i) {
    const FindingRow& row = kFindings[i];
    bool made = false;
    for (const auto& c : kCases) made = made || static_cast<int>(c.id) == i;
    std::vector<std::string> names = constructsOf(row.id);
    for (const std::string& name : names)
      made = made || cases.find(findingMessage(static_cast<FindingId>(i), name.c_str())) != std::string::npos;
    if (!made && names.empty()) {
      std::string pattern = std::regex_replace(std::string(row.message), special, "\\$&");
      size_t at = pattern.find("%s");
      if (at != std::string::npos) pattern.replace(at, 2, "[^\"\\n]+");
      made = std::regex_search(cases, std::regex(pattern));
    }
    EXPECT_TRUE(made) << row.id << ": no case of tests/plsql makes \"" << row.message << "\"";
  }
}

// No message of a finding is written in the translation's code, and no
// record is made there but through the table.
TEST(FindingsCatalog, TheCodeNamesFindingsByTheirIds) {
  const std::regex literal(R"("[^"\n]*( not (yet )?(supported|implemented|permitted)| cannot be declared )"
                           R"(| can only be declared |out of range|No enclosing)[^"\n]*")");
  const std::regex direct(R"(\b(tokenErrorRecord|syntaxErrorRecord|lexicalErrorRecord|internalErrorRecord)"
                          R"(|errorNodeNew|listAppendRecord)\s*\()");
  const fs::path root = fs::path(QEN_SOURCE_DIR) / "plsql" / "src";
  int files = 0;
  for (const char* folder : {"translation", "tree"}) {
    for (const auto& entry : fs::directory_iterator(root / folder)) {
      const std::string name = entry.path().filename().string();
      // The table, and the record makers the table itself calls.
      if (name.rfind("findings.", 0) == 0 || name.rfind("node_errors.", 0) == 0) continue;
      const std::string text = readText(entry.path());
      ++files;
      std::smatch match;
      EXPECT_FALSE(std::regex_search(text, match, literal)) << name << ": " << match.str();
      EXPECT_FALSE(std::regex_search(text, match, direct)) << name << ": " << match.str();
    }
  }
  EXPECT_GT(files, 20);
}

}  // namespace

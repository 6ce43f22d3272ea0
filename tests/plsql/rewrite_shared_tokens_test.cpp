// Token lists that a construct and its expansion would share, statements
// made of another's parts, and token lists with constructs of both report
// steps: each token is rewritten and reported once, no node is reached
// twice, and each case compares every statement record and every error
// record.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <unordered_set>
#include <vector>

#include "kind_index.h"
#include "translate_fixture.h"

namespace {

using translate_test::expectSoundCases;
using translate_test::SoundCase;

// The translation of the procedure p(s, a) around the statements of a case.
const std::string kProcedureHead =
    "[1]\n"
    "CREATE OR REPLACE PROCEDURE p(\n"
    "IN s VARCHAR2(4096), \n"
    "IN a NUMBER) SPECIFIC p\n"
    "LANGUAGE SQL\n"
    "  SYSZULINTERNAL_BLOCK: BEGIN\n";
const std::string kProcedureTail = "  END@\n\n\n";

// A bound of a numeric FOR loop and an argument of a cursor FOR loop are
// rewritten where the expansion puts them, once: one record each.
const SoundCase kLoopRangesAreRewrittenOnce[] = {
    {"NegatedSubstrStartInABoundAndACursorArgument", false,
     "CREATE OR REPLACE PROCEDURE p(s VARCHAR2, a NUMBER) IS\n"
         "  CURSOR c(x VARCHAR2) IS SELECT x FROM dual;\n"
         "BEGIN\n"
         "  FOR i IN 1..LENGTH(SUBSTR(s, -a*2)) LOOP\n"
         "    NULL;\n"
         "  END LOOP;\n"
         "  FOR r IN c(SUBSTR(s, -a*2)) LOOP\n"
         "    NULL;\n"
         "  END LOOP;\n"
         "END;\n"
         "/\n",
     kProcedureHead +
         "  DECLARE c CURSOR CONSTANT (CURSOR (\n"
         "  x VARCHAR2(4096)) FOR SELECT x FROM dual);\n"
         "  BEGIN\n"
         "  DECLARE i INTEGER DEFAULT 1;\n"
         "  DECLARE SYSZULINTERNAL_LOOP_LIMIT INTEGER;\n"
         "  SET SYSZULINTERNAL_LOOP_LIMIT = ROUND(LENGTH(SUBSTR(s, - a * 2)), 0);\n"
         "\n"
         "  WHILE i <= SYSZULINTERNAL_LOOP_LIMIT DO\n"
         "  -- NULL;\n"
         "  SET i = i + 1;\n"
         "  END WHILE;\n"
         "\n"
         "  END;\n"
         "  BEGIN\n"
         "  DECLARE r ANCHOR TO ROW c;\n"
         "  OPEN c(SUBSTR(s, - a * 2));\n"
         "\n"
         "  SYSZULINTERNAL_00000001: LOOP\n"
         "  FETCH c INTO r;\n"
         "  IF c IS NOT FOUND THEN LEAVE SYSZULINTERNAL_00000001; END IF;\n"
         "  -- NULL;\n"
         "  END LOOP SYSZULINTERNAL_00000001;\n"
         "\n"
         "  CLOSE c ;\n"
         "  END;\n"
         "  END@\n"
         "\n"
         "\n",
     "SUBSTR with a negative start not supported|2|4|SUBSTR|SUBSTR\n"
         "SUBSTR with a negative start not supported|2|7|SUBSTR|SUBSTR\n"},
};

// In one token list the records of collection methods and the like come
// before those of forms the target lacks, whatever their order in the text.
const SoundCase kListedConstructsComeFirst[] = {
    {"CollectionMethodAfterMultiset", false,
     "DECLARE\n"
         "  TYPE nt IS TABLE OF NUMBER;\n"
         "  v nt := nt();\n"
         "  w nt;\n"
         "  n INTEGER;\n"
         "BEGIN\n"
         "  w := v MULTISET UNION v;\n"
         "  n := w.COUNT + v.COUNT;\n"
         "  IF v MULTISET EXCEPT w IS EMPTY AND v.COUNT > 0 THEN\n"
         "    n := 1;\n"
         "  END IF;\n"
         "END;\n",
     "[4]\n"
         "BEGIN\n"
         "  DECLARE TYPE nt AS NUMBER ARRAY[];\n"
         "  DECLARE v nt;\n"
         "  DECLARE w nt;\n"
         "  DECLARE n INTEGER;\n"
         "  SET v = nt();\n"
         "  SET w = v MULTISET UNION v;\n"
         "  SET n = w.COUNT + v.COUNT;\n"
         "\n"
         "  IF v MULTISET EXCEPT w IS EMPTY AND v.COUNT > 0 THEN\n"
         "  SET n = 1;\n"
         "  END IF;\n"
         "\n"
         "END@\n",
     "Collection constructor not supported|2|3|nt|nt\n"
         "MULTISET operators not supported|2|7|MULTISET|MULTISET\n"
         "Collection method COUNT not supported|2|8|w.COUNT|w.COUNT\n"
         "Collection method COUNT not supported|2|8|v.COUNT|v.COUNT\n"
         "Collection method COUNT not supported|2|9|v.COUNT|v.COUNT\n"
         "MULTISET operators not supported|2|9|MULTISET|MULTISET\n"
         "IS [NOT] EMPTY not supported|2|9|IS EMPTY|IS\n"
         "TABLE types cannot be declared within a program|2|2|TYPE <name> IS TABLE...|\n"},
};

// Statements made of the parts of another (a dynamic statement's expansion,
// an OPEN's assignment, a call form, a collection method's assignment) and
// declarations that name an alias take those parts rewritten, each once:
// one record each.
const SoundCase kMadeStatementsTakeRewrittenParts[] = {
    {"DynamicStatementWithIntoAndUsing", false,
     "CREATE OR REPLACE PROCEDURE p(s VARCHAR2, a NUMBER) IS\n"
         "  TYPE nt IS TABLE OF NUMBER;\n"
         "  v nt;\n"
         "  n INTEGER;\n"
         "BEGIN\n"
         "  EXECUTE IMMEDIATE 'SELECT ' || SUBSTR(s, -a*2) || ' FROM t' INTO n USING SUBSTR(s, -a*2), OUT v.COUNT;\n"
         "END;\n"
         "/\n",
     kProcedureHead +
         "  DECLARE TYPE nt AS NUMBER ARRAY[];\n"
         "  DECLARE v nt;\n"
         "  DECLARE n INTEGER;\n"
         "  BEGIN\n"
         "  DECLARE SYSZULINTERNAL_STMT_TEXT CLOB(2M);\n"
         "  DECLARE EXIT HANDLER FOR NOT FOUND\n"
         "  BEGIN\n"
         "  SIGNAL SQLSTATE 'UDNDF';\n"
         "  END;\n"
         "  SET SYSZULINTERNAL_STMT_TEXT = 'SELECT ' || SUBSTR(s, - a * 2) || ' FROM t';\n"
         "  PREPARE SYSZULINTERNAL_00000001 FROM SYSZULINTERNAL_STMT_TEXT;\n"
         "  EXECUTE SYSZULINTERNAL_00000001 INTO n, v.COUNT USING SUBSTR(s, - a * 2);\n"
         "  END;\n" + kProcedureTail,
     "SUBSTR with a negative start not supported|2|6|SUBSTR|SUBSTR\n"
         "Collection method COUNT not supported|2|6|v.COUNT|v.COUNT\n"
         "SUBSTR with a negative start not supported|2|6|SUBSTR|SUBSTR\n"
         "TABLE types cannot be declared within a program|2|2|TYPE <name> IS TABLE...|\n"},
    {"OpenForSelect", false,
     "CREATE OR REPLACE PROCEDURE p(s VARCHAR2, a NUMBER) IS\n"
         "  c SYS_REFCURSOR;\n"
         "BEGIN\n"
         "  OPEN c FOR SELECT SUBSTR(s, -a*2) FROM t;\n"
         "END;\n"
         "/\n",
     kProcedureHead +
         "  DECLARE c CURSOR;\n"
         "  SET c = CURSOR FOR SELECT SUBSTR(s, - a * 2) FROM t;\n"
         "  OPEN c;\n" + kProcedureTail,
     "SUBSTR with a negative start not supported|2|4|SUBSTR|SUBSTR\n"},
    {"DbmsSqlAssignment", false,
     "CREATE OR REPLACE PROCEDURE p(s VARCHAR2, a NUMBER) IS\n"
         "  n INTEGER;\n"
         "BEGIN\n"
         "  n := DBMS_SQL.EXECUTE(SUBSTR(s, -a*2));\n"
         "END;\n"
         "/\n",
     kProcedureHead +
         "  DECLARE n INTEGER;\n"
         "  CALL DBMS_SQL.EXECUTE(SUBSTR(s, - a * 2), n);\n" + kProcedureTail,
     "SUBSTR with a negative start not supported|2|4|SUBSTR|SUBSTR\n"},
    {"CollectionMethods", false,
     "CREATE OR REPLACE PROCEDURE p(s VARCHAR2, a NUMBER) IS\n"
         "  TYPE nt IS TABLE OF NUMBER;\n"
         "  v nt;\n"
         "BEGIN\n"
         "  v.DELETE(SUBSTR(s, -a*2), v.COUNT);\n"
         "  v.TRIM(v.LAST);\n"
         "END;\n"
         "/\n",
     kProcedureHead +
         "  DECLARE TYPE nt AS NUMBER ARRAY[];\n"
         "  DECLARE v nt;\n"
         "  SET v = ARRAY_DELETE( v, SUBSTR(s, - a * 2), v.COUNT);\n"
         "  SET v = TRIM_ARRAY( v, v.LAST);\n" + kProcedureTail,
     "Collection method COUNT not supported|2|5|v.COUNT|v.COUNT\n"
         "SUBSTR with a negative start not supported|2|5|SUBSTR|SUBSTR\n"
         "Collection method LAST not supported|2|6|v.LAST|v.LAST\n"
         "TABLE types cannot be declared within a program|2|2|TYPE <name> IS TABLE...|\n"},
    {"AliasValueOfTwoDeclarations", false,
     "PRAGMA ALIAS emp.sal%TYPE := 'DECIMAL(9,2)';\n"
         "CREATE OR REPLACE PROCEDURE p(s VARCHAR2, a NUMBER) IS\n"
         "  v emp.sal%TYPE;\n"
         "  w emp.sal%TYPE := SUBSTR(s, -a*2);\n"
         "BEGIN\n"
         "  NULL;\n"
         "END;\n"
         "/\n",
     kProcedureHead +
         "  DECLARE v DECIMAL(9,2);\n"
         "  DECLARE w DECIMAL(9,2);\n"
         "  SET w = SUBSTR(s, - a * 2);\n"
         "  -- NULL;\n" + kProcedureTail,
     "SUBSTR with a negative start not supported|2|4|SUBSTR|SUBSTR\n"},
};

// The rows of the walk, of the rewriting and of the stand-ins.
constexpr KindChild kWalkRows[] = {
#define AST_WALK(kind, field) KIND_CHILD_ROW(kind, field)
#include "ast_kinds.def"
};
constexpr KindChild kRewriteRows[] = {
#define AST_REWRITE(kind, field) KIND_CHILD_ROW(kind, field)
#include "ast_kinds.def"
};
constexpr KindChild kStandInRows[] = {
#define AST_STAND_IN(kind, field) KIND_CHILD_ROW(kind, field)
#include "ast_kinds.def"
};
constexpr KindIndex kWalkIndex(kWalkRows);
constexpr KindIndex kRewriteIndex(kRewriteRows);
constexpr KindIndex kStandInIndex(kStandInRows);

// The nodes the translation is written from, reached from the root: a node
// with a stand-in through the stand-in alone, an OPEN's query through the
// statements made of it, otherwise through the rows of the walk and of the
// rewriting and a block's prologue. `twice` names each node reached again.
void reach(astNode* node, std::unordered_set<const astNode*>* seen, std::vector<std::string>* twice) {
  if (!node) return;
  if (!seen->insert(node).second) {
    twice->push_back(node->kind == AST_TOKEN ? nodeAs<astNodeToken>(node)->text : astNodeKindName(node));
    return;
  }
  if (node->kind == AST_LIST) {
    for (astListCell* c = nodeAs<astNodeList>(node)->head; c; c = c->next) reach(c->value, seen, twice);
    return;
  }
  for (const KindChild& row : kStandInIndex.rowsOf(node->kind))
    if (astNode* standIn = row.get(node)) return reach(standIn, seen, twice);
  std::vector<astNode*> parts;
  for (const KindChild& row : kWalkIndex.rowsOf(node->kind)) parts.push_back(row.get(node));
  for (const KindChild& row : kRewriteIndex.rowsOf(node->kind))
    if (std::find(parts.begin(), parts.end(), row.get(node)) == parts.end()) parts.push_back(row.get(node));
  if (node->kind == AST_BLOCK) parts.push_back(nodeAs<astNodeBlock>(node)->prologue);
  if (node->kind == AST_PREPARE) parts.push_back(nodeAs<astNodePrepare>(node)->query);
  if (auto* open = node->kind == AST_OPEN ? nodeAs<astNodeOpen>(node) : nullptr;
      open && (open->cursorConstructor || open->prepareStmt)) {
    std::erase(parts, open->query);
    parts.push_back(open->cursorConstructor);
    parts.push_back(open->prepareStmt);
  }
  for (astNode* part : parts) reach(part, seen, twice);
}

}  // namespace

TEST(RewriteSharedTokens, MadeStatementsTakeRewrittenParts) { expectSoundCases(kMadeStatementsTakeRewrittenParts); }

TEST(RewriteSharedTokens, NoNodeIsReachedTwice) {
  for (const SoundCase& c : kMadeStatementsTakeRewrittenParts) {
    TranslateResult r = translate_test::translateRun(c.source, false);
    std::unordered_set<const astNode*> seen;
    std::vector<std::string> twice;
    reach(r.root, &seen, &twice);
    EXPECT_EQ(twice, std::vector<std::string>()) << c.name;
  }
}

TEST(RewriteSharedTokens, LoopRangesAreRewrittenOnce) { expectSoundCases(kLoopRangesAreRewrittenOnce); }

TEST(RewriteSharedTokens, ListedConstructsComeFirst) { expectSoundCases(kListedConstructsComeFirst); }

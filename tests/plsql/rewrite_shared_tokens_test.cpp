// Token lists that a construct and its expansion would share, statements
// made of another's parts, and token lists with constructs of both report
// steps: each token is rewritten and reported once and no node is reached
// twice.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <unordered_set>
#include <vector>

#include "kind_index.h"
#include "translate_fixture.h"

namespace {

using namespace translate_test;

// Each case: a construct whose expansion takes tokens of its own, rewritten
// where the expansion puts them, once: one record each.
const SoundCase kCases[] = {
    // A bound of a numeric FOR loop and an argument of a cursor FOR loop.
    {"LoopRanges", false,
     "DECLARE\n"
         "  CURSOR c(x VARCHAR2) IS SELECT x FROM dual;\n"
         "BEGIN\n"
         "  FOR i IN 1..DUMP(s, -a*2) LOOP NULL; END LOOP;\n"
         "  FOR r IN c(DUMP(s, -a*2)) LOOP NULL; END LOOP;\n"
         "END;\n",
     "[4]\n"
         "BEGIN\n"
         "  DECLARE c CURSOR CONSTANT (CURSOR (\n"
         "  x VARCHAR2(4096)) FOR SELECT x FROM dual);\n"
         "  BEGIN\n"
         "  DECLARE i INTEGER DEFAULT 1;\n"
         "  DECLARE SYSZULINTERNAL_LOOP_LIMIT INTEGER;\n"
         "  SET SYSZULINTERNAL_LOOP_LIMIT = ROUND(DUMP(s, - a * 2), 0);\n"
         "\n"
         "  WHILE i <= SYSZULINTERNAL_LOOP_LIMIT DO\n"
         "  -- NULL;\n"
         "  SET i = i + 1;\n"
         "  END WHILE;\n"
         "\n"
         "  END;\n"
         "  BEGIN\n"
         "  DECLARE r ANCHOR TO ROW c;\n"
         "  OPEN c(DUMP(s, - a * 2));\n"
         "\n"
         "  SYSZULINTERNAL_00000001: LOOP\n"
         "  FETCH c INTO r;\n"
         "  IF c IS NOT FOUND THEN LEAVE SYSZULINTERNAL_00000001; END IF;\n"
         "  -- NULL;\n"
         "  END LOOP SYSZULINTERNAL_00000001;\n"
         "\n"
         "  CLOSE c ;\n"
         "  END;\n"
         "END@\n",
     "Built-in function DUMP not supported|2|4|DUMP|DUMP\n"
         "Built-in function DUMP not supported|2|5|DUMP|DUMP\n"},
    // Statements made of the parts of another (a dynamic statement's
    // expansion, an OPEN's assignment, a call form, a collection method's
    // assignment) and declarations that name an alias.
    {"MadeStatementsAndAliasDeclarations", false,
     "PRAGMA ALIAS emp.sal%TYPE := 'DECIMAL(9,2)';\n"
         "DECLARE\n"
         "  c SYS_REFCURSOR; v t_list;\n"
         "  x emp.sal%TYPE;\n"
         "  y emp.sal%TYPE := DUMP(s, -a*2);\n"
         "BEGIN\n"
         "  EXECUTE IMMEDIATE DUMP(s, -a*2) INTO n USING DUMP(s, -a*2), OUT v.COUNT;\n"
         "  OPEN c FOR SELECT DUMP(s, -a*2) FROM t;\n"
         "  n := DBMS_SQL.EXECUTE(DUMP(s, -a*2));\n"
         "  v.DELETE(DUMP(s, -a*2), v.COUNT);\n"
         "END;\n",
     "[4]\n"
         "BEGIN\n"
         "  DECLARE c CURSOR;\n"
         "  DECLARE v t_list;\n"
         "  DECLARE x DECIMAL(9,2);\n"
         "  DECLARE y DECIMAL(9,2);\n"
         "  SET y = DUMP(s, - a * 2);\n"
         "  BEGIN\n"
         "  DECLARE SYSZULINTERNAL_STMT_TEXT CLOB(2M);\n"
         "  DECLARE EXIT HANDLER FOR NOT FOUND\n"
         "  BEGIN\n"
         "  SIGNAL SQLSTATE 'UDNDF';\n"
         "  END;\n"
         "  SET SYSZULINTERNAL_STMT_TEXT = DUMP(s, - a * 2);\n"
         "  PREPARE SYSZULINTERNAL_00000001 FROM SYSZULINTERNAL_STMT_TEXT;\n"
         "  EXECUTE SYSZULINTERNAL_00000001 INTO n, v.COUNT USING DUMP(s, - a * 2);\n"
         "  END;\n"
         "  SET c = CURSOR FOR SELECT DUMP(s, - a * 2) FROM t;\n"
         "  OPEN c;\n"
         "  CALL DBMS_SQL.EXECUTE(DUMP(s, - a * 2), n);\n"
         "  SET v = ARRAY_DELETE( v, DUMP(s, - a * 2), v.COUNT);\n"
         "END@\n",
     "Built-in function DUMP not supported|2|5|DUMP|DUMP\n"
         "Built-in function DUMP not supported|2|7|DUMP|DUMP\n"
         "Collection method COUNT not supported|2|7|v.COUNT|v.COUNT\n"
         "Built-in function DUMP not supported|2|7|DUMP|DUMP\n"
         "Built-in function DUMP not supported|2|8|DUMP|DUMP\n"
         "Built-in function DUMP not supported|2|9|DUMP|DUMP\n"
         "Built-in function DUMP not supported|2|10|DUMP|DUMP\n"
         "Collection method COUNT not supported|2|10|v.COUNT|v.COUNT\n"},
    // In one token list the records of collection methods and the like come
    // before those of forms the target lacks, whatever their order in the
    // text.
    {"CollectionMethodAfterMultiset", false,
     "DECLARE v t_list; w t_list; BEGIN\n"
         "  IF v MULTISET EXCEPT w IS EMPTY AND v.COUNT > 0 THEN NULL; END IF;\n"
         "END;\n",
     "[4]\n"
         "BEGIN\n"
         "  DECLARE v t_list;\n"
         "  DECLARE w t_list;\n"
         "\n"
         "  IF v MULTISET EXCEPT w IS EMPTY AND v.COUNT > 0 THEN\n"
         "  BEGIN END; -- NULL;\n"
         "  END IF;\n"
         "\n"
         "END@\n",
     "Collection method COUNT not supported|2|2|v.COUNT|v.COUNT\n"
         "MULTISET operators not supported|2|2|MULTISET|MULTISET\n"
         "IS [NOT] EMPTY not supported|2|2|IS EMPTY|IS\n"},
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

TEST(RewriteSharedTokens, EachTokenIsRewrittenAndReportedOnce) { expectSoundCases(kCases); }

TEST(RewriteSharedTokens, NoNodeIsReachedTwice) {
  for (const SoundCase& c : kCases) {
    TranslateResult r = translateRun(c.source, false);
    std::unordered_set<const astNode*> seen;
    std::vector<std::string> twice;
    reach(r.root, &seen, &twice);
    EXPECT_EQ(twice, std::vector<std::string>()) << c.name;
  }
}

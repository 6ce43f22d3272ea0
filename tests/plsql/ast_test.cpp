// Syntax tree: lists, kind names and predicates, the pre-order walker, the
// comparison of subtrees as the source writes them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ast.h"
#include "run_pool.h"

namespace {

struct Tree : ::testing::Test {
  PoolJumpTarget target{1};
  void SetUp() override { poolCreateCurrent(&target); }
  void TearDown() override { poolDestroyCurrent(); }
};

astNode* tok(const char* text) { return astTokenNew(268, text, 0); }

astNodeList* toks(std::initializer_list<const char*> texts) {
  astNodeList* list = nullptr;
  for (const char* t : texts) list = listAppend(list, tok(t));
  return list;
}

std::string texts(astNodeList* list) {
  std::string s;
  for (astListCell* c = listCells(list); c; c = c->next) {
    if (!s.empty()) s += ' ';
    s += nodeAs<astNodeToken>(c->value)->text;
  }
  return s;
}

void record(astNode* node, void* data) {
  auto* out = static_cast<std::vector<std::string>*>(data);
  if (node->kind == AST_TOKEN)
    out->push_back(nodeAs<astNodeToken>(node)->text);
  else
    out->push_back(astNodeKindName(node));
}

}  // namespace

TEST_F(Tree, EmptyListIsNull) {
  EXPECT_EQ(listLength(nullptr), 0);
  EXPECT_EQ(listFirst(nullptr), nullptr);
  EXPECT_EQ(listLast(nullptr), nullptr);
  EXPECT_EQ(listCells(nullptr), nullptr);
  EXPECT_EQ(listNew(nullptr), nullptr);
  astNode* x = tok("x");
  astNodeList* l = listAppend(nullptr, x);
  ASSERT_NE(l, nullptr);
  EXPECT_EQ(l->kind, AST_LIST);
  EXPECT_EQ(l->line, -1);
  EXPECT_EQ(listLength(l), 1);
  EXPECT_EQ(listFirst(l), x);
  EXPECT_EQ(listLast(l), x);
  EXPECT_EQ(listAppend(l, nullptr), l);
  EXPECT_EQ(listLength(l), 1);
  EXPECT_EQ(listAppend(nullptr, nullptr), nullptr);
}

// A list that nothing else refers to gives its cells to another list and
// its node to the next new list made from the same spares.
TEST_F(Tree, AbsorbedListLendsCellsAndNode) {
  astNodeList* spares = nullptr;
  astNodeList* a = toks({"a", "b"});
  astNodeList* w = toks({"w"});
  astListCell* cell = w->head;
  EXPECT_EQ(listAbsorb(a, w, &spares), a);
  EXPECT_EQ(texts(a), "a b w");
  EXPECT_EQ(listLength(a), 3);
  EXPECT_EQ(a->tail, cell);
  EXPECT_NE(listNew(tok("m")), w);  // only lists made from the spares reuse them
  astNodeList* n = listNewFrom(&spares, tok("n"));
  EXPECT_EQ(n, w);
  EXPECT_EQ(spares, nullptr);
  EXPECT_EQ(n->kind, AST_LIST);
  EXPECT_EQ(n->line, -1);
  EXPECT_EQ(n->parent, nullptr);
  EXPECT_EQ(texts(n), "n");
  EXPECT_EQ(listLength(n), 1);
  EXPECT_EQ(texts(a), "a b w");

  astNodeList* adopted = toks({"x"});
  EXPECT_EQ(listAbsorb(nullptr, adopted, &spares), adopted);  // taken whole, not given back
  EXPECT_EQ(spares, nullptr);
  EXPECT_NE(listNewFrom(&spares, tok("y")), adopted);
  EXPECT_EQ(listAbsorb(a, nullptr, &spares), a);
  EXPECT_EQ(listLength(a), 3);
  astNodeList* kept = toks({"k"});
  EXPECT_EQ(listAbsorb(a, kept, nullptr), a);  // no spares: the node just stays behind
  EXPECT_EQ(texts(a), "a b w k");
}

TEST_F(Tree, ConcatChainInsertRemove) {
  astNodeList* a = toks({"a", "b"});
  astNodeList* b = toks({"c", "d"});
  EXPECT_EQ(listConcat(nullptr, b), b);
  EXPECT_EQ(listConcat(a, nullptr), a);
  EXPECT_EQ(listConcat(a, b), a);
  EXPECT_EQ(listLength(a), 4);
  EXPECT_EQ(texts(a), "a b c d");

  astNodeList* chainSource = toks({"x", "y", "z"});
  astNodeList* fromNull = listFromChain(nullptr, chainSource->head->next);
  EXPECT_EQ(listLength(fromNull), 2);
  EXPECT_EQ(fromNull->line, -1);
  EXPECT_EQ(texts(fromNull), "y z");
  astNodeList* e = toks({"e"});
  listFromChain(e, toks({"f", "g"})->head);
  EXPECT_EQ(texts(e), "e f g");
  EXPECT_EQ(listLength(e), 3);
  EXPECT_EQ(nodeAs<astNodeToken>(listLast(e))->text, std::string("g"));
  EXPECT_EQ(listFromChain(e, nullptr), e);

  astNode* g = listLast(e);
  listInsertAfter(tok("h"), g, e);
  EXPECT_EQ(texts(e), "e f g h");
  EXPECT_EQ(nodeAs<astNodeToken>(listLast(e))->text, std::string("h"));
  listInsertAfter(tok("e2"), listFirst(e), e);
  EXPECT_EQ(texts(e), "e e2 f g h");
  EXPECT_EQ(listLength(e), 5);

  listRemoveFirst(e);
  EXPECT_EQ(texts(e), "e2 f g h");
  astListCell* f = e->head->next;
  listRemoveAfter(e, f->next->next, f->next);  // removes the tail h
  EXPECT_EQ(texts(e), "e2 f g");
  EXPECT_EQ(nodeAs<astNodeToken>(listLast(e))->text, std::string("g"));
  EXPECT_EQ(listLength(e), 3);
}

TEST_F(Tree, FilterAndApply) {
  astNodeList* l = toks({"a", "bb", "c"});
  EXPECT_EQ(listFilter(nullptr, nullptr), nullptr);
  astNodeList* all = listFilter(l, nullptr);
  EXPECT_NE(all, l);
  EXPECT_EQ(texts(all), "a bb c");
  astNodeList* shortOnes = listFilter(l, [](astNodeList*, astListCell* c) {
    return std::string(nodeAs<astNodeToken>(c->value)->text).size() == 1;
  });
  EXPECT_EQ(texts(shortOnes), "a c");
  EXPECT_EQ(listFilter(l, [](astNodeList*, astListCell*) { return false; }), nullptr);

  std::string seen;
  void* last = listApply(l,
                         [](astNodeList*, astNode* n, void* data) -> void* {
                           *static_cast<std::string*>(data) += nodeAs<astNodeToken>(n)->text;
                           return n;
                         },
                         &seen);
  EXPECT_EQ(seen, "abbc");
  EXPECT_EQ(last, listLast(l));
  EXPECT_EQ(listApply(nullptr, nullptr, nullptr), nullptr);
}

TEST_F(Tree, ArgListComparison) {
  astNodeList* a = toks({"x", "Y"});
  astNodeList* b = toks({"X", "y", "z"});
  EXPECT_TRUE(astArgListsEqual(nullptr, nullptr, 0));
  EXPECT_FALSE(astArgListsEqual(a, nullptr, 0));
  EXPECT_FALSE(astArgListsEqual(a, b, 0));
  EXPECT_TRUE(astArgListsEqual(a, b, 1));
  EXPECT_TRUE(astArgListsEqual(a, toks({"X", "y"}), 0));
  EXPECT_FALSE(astArgListsEqual(a, toks({"X", "q"}), 1));
  EXPECT_TRUE(astListStartsWith(a, b));
  EXPECT_FALSE(astListStartsWith(b, a));
  EXPECT_TRUE(astListStartsWith(nullptr, b));
}

TEST_F(Tree, SameSourceWhateverTheLinesAndTheCaseOfWords) {
  auto call = [](int line, const char* name, astNodeList* args, const char* label = nullptr) {
    auto* c = astMake<astNodeCall>(line);
    c->name = listAppend(nullptr, astTokenNew(268, name, line));
    c->args = args;
    c->label = const_cast<char*>(label);
    return c;
  };
  EXPECT_TRUE(astSameSource(call(1, "p", toks({"a", ",", "'x'"})), call(9, "P", toks({"A", ",", "'x'"}))));
  EXPECT_FALSE(astSameSource(call(1, "p", toks({"'x'"})), call(1, "p", toks({"'X'"}))));
  EXPECT_FALSE(astSameSource(call(1, "p", toks({"a"})), call(1, "p", toks({"a", "b"}))));
  EXPECT_FALSE(astSameSource(call(1, "p", nullptr, "l1"), call(1, "p", nullptr, "l2")));
  auto* forward = astMake<astNodeFor>(1);
  auto* backward = astMake<astNodeFor>(1);
  backward->reverse = true;
  EXPECT_FALSE(astSameSource(forward, backward));
  EXPECT_TRUE(astSameSource(nullptr, nullptr));
  EXPECT_FALSE(astSameSource(forward, nullptr));
}

TEST_F(Tree, NodesAreZeroFilledWithKindAndLine) {
  auto* v = astMake<astNodeVarDecl>(7);
  EXPECT_EQ(v->kind, 19);
  EXPECT_EQ(v->line, 7);
  EXPECT_EQ(v->parent, nullptr);
  EXPECT_EQ(v->variableName, nullptr);
  EXPECT_FALSE(v->constant);
  astNodeToken* t = astTokenNew(270, "abc", 2);
  EXPECT_EQ(t->kind, AST_TOKEN);
  EXPECT_FALSE(t->qualified);
  EXPECT_STREQ(t->text, "abc");
}

TEST(TreeNames, KindNamesAndPredicates) {
  EXPECT_STREQ(astNodeKindName(AST_ASSIGN), "astNodeAssign");
  EXPECT_STREQ(astNodeKindName(AST_LIST), "astNodeList");
  EXPECT_STREQ(astNodeKindName(AST_FORALL), "astNodeForall");
  EXPECT_STREQ(astNodeKindName(AST_COMMENT_ON), "UNKNOWN");
  EXPECT_STREQ(astNodeKindName(AST_UNUSED_11), "UNKNOWN");
  EXPECT_STREQ(astNodeKindName(200), "UNKNOWN");
  EXPECT_STREQ(astNodeKindName(-1), "UNKNOWN");
  EXPECT_STREQ(astNodeKindName(static_cast<const astNode*>(nullptr)), "<null>");
  EXPECT_STREQ(astNodeXmlType(AST_ALTER_TRIGGER), "alterTrigger");
  EXPECT_STREQ(astNodeXmlType(AST_ERROR), "error");
  EXPECT_STREQ(astNodeXmlType(AST_CREATE_PKG_BODY), "createPackageBody");
  EXPECT_EQ(astNodeXmlType(AST_UNUSED_56), nullptr);
  EXPECT_STREQ(astNodeObjType(AST_CREATE_TABLE), "crtTab");
  EXPECT_STREQ(astNodeObjType(AST_FUNC_PROTO), "function");
  EXPECT_STREQ(astNodeObjType(AST_REVOKE), "revoke");
  EXPECT_EQ(astNodeObjType(AST_BLOCK), nullptr);
  EXPECT_STREQ(variableTypeName(VAR_REFCURSOR), "refcursor");
  EXPECT_STREQ(variableTypeName(VAR_SUBTYPE), "subtype");
  EXPECT_STREQ(variableTypeName(VAR_VARRAY), "UNKNOWN");
  EXPECT_STREQ(constraintKindName(CONSTRAINT_CHECK), "UNKNOWN");
  EXPECT_STREQ(constraintKindName(CONSTRAINT_FOREIGN_KEY), "foreign key");

  astNode n{};
  auto is = [&](bool (*pred)(const astNode*), int kind) {
    n.kind = kind;
    return pred(&n);
  };
  EXPECT_TRUE(is(isPackage, AST_CREATE_PKG_BODY));
  EXPECT_TRUE(is(isPackage, AST_CREATE_PKG_HEAD));
  EXPECT_FALSE(isPackage(nullptr));
  EXPECT_TRUE(isNotPackage(nullptr));
  EXPECT_TRUE(is(isRoutine, AST_CREATE_TRIGGER));
  EXPECT_FALSE(is(isRoutine, AST_FUNC_PROTO));
  for (int k : {AST_ASSIGN, AST_BLOCK,  AST_CALL,      AST_CASE,    AST_CLOSE,    AST_CONTINUE, AST_DYNAMIC,
                AST_EXIT,   AST_FETCH,  AST_FOR,       AST_GOTO,    AST_IF,       AST_LOOP,     AST_NULL,
                AST_OPEN,   AST_RAISE,  AST_RAISE_APP, AST_RETURN,  AST_SELECT,   AST_SQL_STMT, AST_WHILE,
                AST_VALUES, AST_SIGNAL, AST_PREPARE,   AST_EXECUTE, AST_GET_DIAG, AST_FORALL,   AST_PIPEROW})
    EXPECT_TRUE(is(isStatement, k)) << k;
  for (int k :
       {AST_GENERIC_NODE, AST_GENERIC_STATEMENT, AST_CASE_EXPR, AST_COMMENT_ON, AST_FORMAL_ARG, AST_HANDLER,
        AST_ELSE_IF, AST_LIST, AST_PRAGMA, AST_TOKEN, AST_TRIGGER_VAR, AST_USING_PARAM, AST_ERROR, AST_ORACLE_PRAGMA})
    EXPECT_FALSE(is(isStatement, k)) << k;
  EXPECT_FALSE(isStatement(nullptr));
  // The units of the dump's object path are exactly the kinds with an objtype.
  for (int k = -1; k <= AST_KIND_COUNT; ++k) EXPECT_EQ(is(isDumpUnit, k), astNodeObjType(k) != nullptr) << k;
  EXPECT_EQ(astKindTraits(AST_KIND_COUNT), 0);
  EXPECT_EQ(astKindTraits(-1), 0);
}

TEST_F(Tree, WalkOrderOfABlock) {
  auto* block = astMake<astNodeBlock>(0);
  auto* decl = astMake<astNodeVarDecl>(0);
  decl->variableName = toks({"v"});
  decl->dataType = toks({"NUMBER"});
  decl->defaultValue = toks({"0"});
  block->declarations = listNew(decl);
  auto* assign = astMake<astNodeAssign>(1);
  assign->target = toks({"v"});
  assign->expr = toks({"1"});
  auto* iff = astMake<astNodeIf>(2);
  iff->expr = toks({"c"});
  iff->elseIf = astMake<astNodeElseIf>(3);
  iff->elseIf->expr = toks({"d"});
  iff->elseBody = listNew(astMake<astNodeNull>(4));
  block->body = listAppend(listNew(assign), iff);
  auto* handler = astMake<astNodeHandler>(5);
  handler->conditions = listNew(toks({"OTHERS"}));
  block->exceptions = listNew(handler);

  std::vector<std::string> seen;
  astWalk(block, record, &seen);
  std::vector<std::string> expected = {
      "astNodeBlock", "astNodeList", "astNodeAssign", "astNodeList", "v", "astNodeList", "1",
      "astNodeIf", "astNodeList", "c", "astNodeElseIf", "astNodeList", "d", "astNodeList", "astNodeNull",
      "astNodeList", "astNodeHandler", "astNodeList", "astNodeList", "OTHERS",
      "astNodeList", "astNodeVarDecl", "astNodeList", "v", "astNodeList", "NUMBER", "astNodeList", "0"};
  EXPECT_EQ(seen, expected);
}

TEST_F(Tree, WalkSkipsTriggersDdlAndHighKinds) {
  std::vector<std::string> seen;
  auto* trig = astMake<astNodeCreateTrigger>(0);
  trig->name = toks({"t"});
  astWalk(trig, record, &seen);
  auto* ddl = astMake<astNodeDdl>(AST_CREATE_SEQUENCE, 0);
  ddl->body = toks({"s"});
  astWalk(ddl, record, &seen);
  auto* comment = astMake<astNodeDdl>(AST_COMMENT_ON, 0);
  comment->body = toks({"c"});
  astWalk(comment, record, &seen);
  auto* up = astMake<astNodeUsingParam>(0);
  up->expr = toks({"u"});
  astWalk(up, record, &seen);
  astWalk(astMake<astNodeForall>(0), record, &seen);
  astWalk(nullptr, record, &seen);
  EXPECT_TRUE(seen.empty());

  // A list containing a skipped node still reports the list itself.
  astWalk(listNew(ddl), record, &seen);
  EXPECT_EQ(seen, std::vector<std::string>{"astNodeList"});
}

TEST_F(Tree, WalkOfRoutinesAndSelect) {
  auto* proc = astMake<astNodeCreateProc>(0);
  proc->name = toks({"p"});  // not walked
  auto* arg = astMake<astNodeFormalArg>(0);
  arg->name = toks({"a"});
  proc->args = listNew(arg);
  proc->body = astMake<astNodeBlock>(0);
  auto* sel = astMake<astNodeSelect>(0);
  sel->target = toks({"x"});
  sel->fromClause = toks({"FROM", "t"});
  nodeAs<astNodeBlock>(proc->body)->body = listNew(sel);
  std::vector<std::string> seen;
  astWalk(proc, record, &seen);
  std::vector<std::string> expected = {"astNodeCreateProc", "astNodeList", "astNodeFormalArg", "astNodeList", "a",
                                       "astNodeBlock", "astNodeList", "astNodeSelect", "astNodeList", "FROM", "t"};
  EXPECT_EQ(seen, expected);
}

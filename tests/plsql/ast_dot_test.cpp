// Graphviz drawing of the syntax tree on hand-built trees.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "ast.h"
#include "ast_dot.h"
#include "parser_test_util.h"
#include "run_pool.h"
#include "shell_command.h"
#include "vst_subprocess.h"

namespace {

class AstDotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    poolCreateCurrent(&target_);
    path_ = std::string(QEN_TEST_TMP_DIR) + "/ast_dot_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".dot";
  }
  void TearDown() override {
    poolDestroyCurrent();
    std::remove(path_.c_str());
  }

  std::string draw(astNode* root, unsigned char linesOff = 1, int startLine = -1, int highlight = 0) {
    EXPECT_EQ(writeAstDot(path_.c_str(), "w", root, linesOff, startLine, highlight), 1);
    return qen_test::read_file(path_);
  }

  static astNodeToken* token(const char* text, int line = 0) { return astTokenNew(258, text, line); }

  PoolJumpTarget target_ = {1};
  std::string path_;
};

const char kHead[] = "digraph AST\n{\n  node [shape=record,labeljust=\"l\"];\n";

TEST_F(AstDotTest, ProcedureWithoutLineNumbers) {
  auto* proc = astMake<astNodeCreateProc>(0);
  proc->name = listNew(token("P"));
  auto* block = astMake<astNodeBlock>(1);
  proc->body = block;
  std::string expected = std::string(kHead) +
                         "node_1 [label=\"<f0>|CREATE PROCEDURE|{<name>name|REPLACE=FALSE|AUTHID=CURRENT_USER|"
                         "<args>args|<body>body}\"];\n"
                         // the one-element name list takes number 2, its token 3
                         "node_3 [label=\"<f0>|token|{P}\"];\n"
                         "node_1:name -> node_3:f0;\n"
                         "node_4 [label=\"<f0>|block|{<decls>declarations|<body>body|<except>exceptions}\"];\n"
                         "node_1:body -> node_4:f0;\n"
                         "}\n";
  EXPECT_EQ(draw(proc), expected);
}

TEST_F(AstDotTest, LineFieldsWhenShown) {
  auto* loop = astMake<astNodeLoop>(0);
  loop->body = listNew(astMake<astNodeReturn>(1));
  std::string out = draw(loop, 0);
  EXPECT_NE(out.find("node_1 [label=\"<f0>|LOOP|{<body>body}\"];\n"), std::string::npos) << out;
  EXPECT_NE(out.find("node_3 [label=\"<f0>line\\n2|RETURN|{<expr>expr}\"];\nnode_1:body -> node_3:f0;\n"),
            std::string::npos)
      << out;
}

TEST_F(AstDotTest, ListOfThreeStatementsIsAChain) {
  auto* block = astMake<astNodeBlock>(0);
  block->body = listNew(astMake<astNodeReturn>(1));
  listAppend(block->body, astMake<astNodeLoop>(2));
  listAppend(block->body, astMake<astNodeReturn>(3));
  std::string out = draw(block);
  EXPECT_NE(out.find("node_2 [label=\"<f0>|list|{length = 3}\"];\nnode_1:body -> node_2:f0;\n"
                     "node_3 [label=\"<f0>|RETURN|{<expr>expr}\"];\nnode_2:f0 -> node_3:f0;\n"
                     "node_4 [label=\"<f0>|LOOP|{<body>body}\"];\nnode_3:f0 -> node_4:f0;\n"
                     "node_5 [label=\"<f0>|RETURN|{<expr>expr}\"];\nnode_4:f0 -> node_5:f0;\n"),
            std::string::npos)
      << out;
}

TEST_F(AstDotTest, TokenTextIsCutAndEscaped) {
  auto* ret = astMake<astNodeReturn>(0);
  ret->expr = listNew(token("abcdefghijklmnopqrstuvwxy"));
  EXPECT_NE(draw(ret).find("|token|{abcdefghijklmnopqrst...}"), std::string::npos);
  ret->expr = listNew(token("a'b|c\"d\ne"));
  EXPECT_NE(draw(ret).find("|token|{a\\'b\\|c\\\"d\\ne}"), std::string::npos);
}

TEST_F(AstDotTest, LabelsAreWholeAndRecordSpecialsEscaped) {
  struct Case {
    const char* text;
    const char* label;
  } cases[] = {
      {"{a}", "|token|{\\{a\\}}"},
      {"<p>|{", "|token|{\\<p\\>\\|\\{}"},
      {"x\\y", "|token|{x\\\\y}"},
  };
  for (const Case& c : cases) {
    auto* ret = astMake<astNodeReturn>(0);
    ret->expr = listNew(token(c.text));
    EXPECT_NE(draw(ret).find(c.label), std::string::npos) << c.text;
  }
  // A long exit target is written whole, its specials escaped.
  std::string target(200, 'L');
  target += "{\"q\"}";
  auto* exit = astMake<astNodeExit>(0);
  exit->target = poolStrdup(target.c_str());
  std::string expected = "target = " + std::string(200, 'L') + "\\{\\\"q\\\"\\}}\"];\n";
  EXPECT_NE(draw(exit).find(expected), std::string::npos);
  // A statement keyword stands in the title as written, escaped.
  auto* sql = astMake<astNodeSqlStmt>(0);
  sql->keyword = poolStrdup("ODD<KW>");
  EXPECT_NE(draw(sql).find("label=\"<f0>|ODD\\<KW\\>|{<body>body}\"];"), std::string::npos);
}

TEST_F(AstDotTest, HighlightColoursTheLineAndWhatHangsBelowIt) {
  auto* block = astMake<astNodeBlock>(0);
  auto* loop = astMake<astNodeLoop>(4);
  loop->body = listNew(astMake<astNodeReturn>(5));
  block->body = listNew(loop);
  std::string out = draw(block, 1, -1, 5);
  EXPECT_NE(out.find("node_1 [label="), std::string::npos);
  EXPECT_NE(out.find("node_3 [style=filled,color=green,label=\"<f0>|LOOP"), std::string::npos) << out;
  EXPECT_NE(out.find("node_5 [style=filled,color=green,label=\"<f0>|RETURN"), std::string::npos) << out;
  // An argument of 1 or less colours nothing.
  EXPECT_EQ(draw(block, 1, -1, 1).find("green"), std::string::npos);
}

TEST_F(AstDotTest, StartLineSkipsEverythingBefore) {
  auto* block = astMake<astNodeBlock>(0);
  block->body = listNew(astMake<astNodeReturn>(1));
  listAppend(block->body, astMake<astNodeLoop>(2));
  std::string expected = std::string(kHead) +
                         "node_3 [label = \"<f0>...\"];node_4 [label=\"<f0>|LOOP|{<body>body}\"];\n"
                         "node_3:f0 -> node_4:f0;\n"
                         "}\n";
  EXPECT_EQ(draw(block, 1, 2), expected);
}

TEST_F(AstDotTest, SelectAndPragmaAreNotDrawnOthersAreGeneric) {
  auto* block = astMake<astNodeBlock>(0);
  block->declarations = listNew(astMake<astNodePragma>(0));
  listAppend(block->declarations, astMake<astNodeRaise>(0));
  block->body = listNew(astMake<astNodeSelect>(0));
  std::string out = draw(block);
  EXPECT_EQ(out.find("pragma"), std::string::npos);
  EXPECT_EQ(out.find("select"), std::string::npos);
  EXPECT_NE(out.find("|astNodeRaise|{nodeType = 42}\"];\nnode_2:f0 -> node_3:f0;\n"), std::string::npos) << out;
}

TEST_F(AstDotTest, UnopenableFile) {
  EXPECT_EQ(writeAstDot("/nonexistent-dir/t.dot", "w", nullptr, 0, -1, 0), 0);
}

// The `dot` program on the PATH, or "" when Graphviz is not installed.
std::string dotProgram() {
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path ? path : "");
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    std::string candidate = (dir.empty() ? std::string(".") : dir) + "/dot";
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return "";
}

// Every accepted file of the shared corpus drawn and handed to Graphviz: the
// record labels must parse. The osage layout reads the records like any other
// and is the quickest over big trees.
TEST_F(AstDotTest, CorpusDrawingsRenderWithDot) {
  std::string dot = dotProgram();
  if (dot.empty()) GTEST_SKIP() << "dot (graphviz) not installed";
  namespace fs = std::filesystem;
  fs::path root = fs::path(QEN_SHARED_DIR) / "corpus" / "plsql";
  std::error_code error;
  if (!fs::is_directory(root, error)) GTEST_SKIP() << "no PL/SQL corpus";
  std::vector<fs::path> files;
  for (auto& entry : fs::recursive_directory_iterator(root, error))
    if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());

  fs::path dir = fs::path(QEN_TEST_TMP_DIR) / "ast_dot_corpus";
  fs::remove_all(dir, error);
  fs::create_directories(dir);
  std::vector<std::string> drawings;
  for (const fs::path& file : files) {
    ParsedSource* parsed = parseText(qen_test::read_file(file).c_str());
    if (!parsed->accepted || !parsed->context.root) continue;
    std::string out = (dir / (std::to_string(drawings.size()) + ".dot")).string();
    ASSERT_EQ(writeAstDot(out.c_str(), "w", parsed->context.root, 0, -1, 0), 1) << file;
    drawings.push_back(out);
  }
  ASSERT_FALSE(drawings.empty());
  const size_t batch = 50;
  for (size_t first = 0; first < drawings.size(); first += batch) {
    std::vector<std::string> args = {"-Kosage", "-Tplain"};
    for (size_t i = first; i < drawings.size() && i < first + batch; ++i) args.push_back(drawings[i]);
    ProcessResult run = runProcess(dot, args);
    EXPECT_EQ(run.status, 0) << run.err.substr(0, 2000);
    EXPECT_EQ(run.err.find("Error"), std::string::npos) << run.err.substr(0, 2000);
  }
  std::printf("drawings rendered: %zu of %zu corpus files\n", drawings.size(), files.size());
  fs::remove_all(dir, error);
}

}  // namespace

namespace {

TEST_F(AstDotTest, RecordOfEachDrawnKind) {
  auto* trigger = astMake<astNodeCreateTrigger>(0);
  trigger->REPLACE = true;
  auto* dynamic = astMake<astNodeDynamic>(0);
  dynamic->expr = listNew(token("'x'"));  // a port, but not drawn
  auto* exit = astMake<astNodeExit>(0);
  exit->target = poolStrdup("outer|loop");
  auto* arg = astMake<astNodeFormalArg>(0);
  arg->mode = ARG_IN_OUT;
  auto* decl = astMake<astNodeVarDecl>(0);
  decl->variableType = VAR_REFCURSOR;
  auto* sql = astMake<astNodeSqlStmt>(0);
  sql->keyword = poolStrdup("SET TRANSACTION");
  auto* package = astMake<astNodeCreatePkgHead>(0);
  package->AUTHID = true;
  struct Case {
    astNode* node;
    const char* label;
  } cases[] = {
      {trigger, "CREATE TRIGGER (incomplete)|{REPLACE=TRUE|<body>body}"},
      {dynamic, "EXEC|{<expr>expr}"},
      {exit, "EXIT|{<expr>expr|target = outer\\|loop}"},
      {arg, "formal arg|{<name>name|mode = IN OUT|<dataType>dataType}"},
      {decl, "DECLARE|{varType = refcursor|<name>name}"},
      {sql, "SET TRANSACTION|{<body>body}"},
      {package,
       "CREATE PACKAGE|{<name>name|REPLACE=FALSE|AUTHID=DEFINER|<elements>elements|<declarations>declarations|"
       "<prototypes>prototypes|<types>types}"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(draw(c.node), std::string(kHead) + "node_1 [label=\"<f0>|" + c.label + "\"];\n}\n")
        << astNodeKindName(c.node);
}

}  // namespace

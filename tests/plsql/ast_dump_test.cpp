// The XML writer of the syntax tree, on hand-built trees: document layout,
// attributes, list collapsing, escaping, special nodes and the source listing.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "ast.h"
#include "run_pool.h"
#include "shell_command.h"
#include "sqlexc_ast_dump.h"

namespace {

class AstDumpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    pool_ = poolCreateCurrent(&target_);
    path_ = std::string(QEN_TEST_TMP_DIR) + "/ast_dump_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".xml";
  }
  void TearDown() override {
    poolDestroyCurrent();
    std::remove(path_.c_str());
  }

  std::string dump(astNode* root, const char* encoding = nullptr) {
    EXPECT_TRUE(writeAstXml(path_.c_str(), "w", encoding, root));
    return qen_test::read_file(path_);
  }

  static astNodeToken* token(const char* text, int line = 0) { return astTokenNew(258, text, line); }
  static astNodeList* tokens(const char* text, int line = 0) { return listNew(token(text, line)); }

  PoolJumpTarget target_ = {1};
  Pool* pool_ = nullptr;
  std::string path_;
};

const char kDecl[] = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n";

TEST_F(AstDumpTest, EncodingDefaultsWhenAbsentOrEmpty) {
  EXPECT_EQ(dump(nullptr), kDecl);
  EXPECT_EQ(dump(nullptr, ""), kDecl);
  EXPECT_EQ(dump(nullptr, "UTF-8"), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
}

// A broken tree ends the dump with an internal error; what was written
// before it stays in the file.
TEST_F(AstDumpTest, InternalErrorKeepsWhatWasWritten) {
  auto* proc = astMake<astNodeCreateProc>(0);
  proc->name = listAppend(tokens("A"), token("B"));
  int code = 0;
  try {
    writeAstXml(path_.c_str(), "w", nullptr, proc);
  } catch (const PoolJump& jump) {
    code = jump.code;
  }
  EXPECT_EQ(code, POOL_JUMP_INTERNAL_ERROR);
  EXPECT_EQ(qen_test::read_file(path_), std::string(kDecl) + "<node type=\"createProcedure\" object=\"");
}

TEST_F(AstDumpTest, TopLevelProcedureWithCollapsedListsAndEmptyList) {
  auto* proc = astMake<astNodeCreateProc>(0);
  proc->name = tokens("P");
  auto* block = astMake<astNodeBlock>(1);
  block->body = listNew(astMake<astNodeReturn>(2));
  proc->body = block;
  // A list of count 0 never comes from the parser; the writer still shows it.
  auto* empty = astMake<astNodeList>(-1);
  proc->args = empty;
  proc->REPLACE = true;
  const char* attrs = "object=\"P\" objtype=\"procedure\"";
  std::string expected = std::string(kDecl) +
                         "<node type=\"createProcedure\" " + attrs + " lineno=\"1\">\n"
                         "\t<field name=\"REPLACE\">TRUE</field>\n"
                         "\t<field name=\"AUTONOMOUS\">FALSE</field>\n"
                         "\t<field name=\"AUTHID\">CURRENT_USER</field>\n"
                         "\t<node type=\"token\" name=\"name\" " + attrs + " lineno=\"1\">P</node>\n"
                         "\t<node type=\"block\" name=\"body\" " + attrs + " lineno=\"2\">\n"
                         "\t\t<field name=\"atomic\">FALSE</field>\n"
                         "\t\t<field name=\"anonymous\">FALSE</field>\n"
                         "\t\t<node type=\"return\" name=\"body\" " + attrs + " lineno=\"3\">\n"
                         "\t\t</node>\n"
                         "\t</node>\n"
                         "\t<node type=\"list\" name=\"args\" " + attrs + " lineno=\"0\">\n"
                         "\t</node>\n"
                         "</node>\n";
  EXPECT_EQ(dump(proc), expected);
}

TEST_F(AstDumpTest, LongerListElementsHaveNoNameAndAbsentOnesAreSkipped) {
  auto* call = astMake<astNodeCall>(0);
  call->args = listNew(token("a"));
  listAppend(call->args, token("b"));
  call->args->head->value = nullptr;  // an absent element
  listAppend(call->args, token("c"));
  std::string out = dump(call);
  EXPECT_NE(out.find("\t<node type=\"list\" name=\"args\" lineno=\"0\">\n"
                     "\t\t<node type=\"token\" lineno=\"1\">b</node>\n"
                     "\t\t<node type=\"token\" lineno=\"1\">c</node>\n"
                     "\t</node>\n"),
            std::string::npos)
      << out;
}

TEST_F(AstDumpTest, TextsAreEscapedAndForbiddenControlBytesDropped) {
  auto* sql = astMake<astNodeSqlStmt>(0);
  std::string controls;
  for (int c = 1; c < 0x20; ++c) controls += char(c);
  const struct {
    std::string text, escaped;
  } cases[] = {
      {"a<&\"'>\f\x01z\tq", "a&lt;&amp;&quot;'&gt;z\tq"},
      {"<start and end>", "&lt;start and end&gt;"},
      {"x" + controls + "y", "x\t\n\ry"},
      {"caf\xc3\xa9 \xff&\x7f", "caf\xc3\xa9 \xff&amp;\x7f"},
      {std::string(3000, 'p') + "&" + std::string(3000, 'p'), std::string(3000, 'p') + "&amp;" + std::string(3000, 'p')},
      {"", ""},
  };
  for (const auto& c : cases) {
    sql->keyword = poolStrdup(c.text.c_str());
    std::string out = dump(sql);
    EXPECT_NE(out.find("<field name=\"keyword\">" + c.escaped + "</field>\n"), std::string::npos) << out;
  }
  // An absent text is an empty element.
  sql->keyword = nullptr;
  EXPECT_NE(dump(sql).find("<field name=\"keyword\"></field>\n"), std::string::npos);
}

TEST_F(AstDumpTest, GrantAtTopLevelHasEmptyObject) {
  auto* grant = astMake<astNodeDdl>(AST_GRANT, 3);
  grant->body = tokens("SELECT", 3);
  std::string expected = std::string(kDecl) +
                         "<node type=\"ddl\" object=\"\" objtype=\"grant\" lineno=\"4\">\n"
                         "\t<node type=\"token\" name=\"body\" object=\"\" objtype=\"grant\" lineno=\"4\">SELECT</node>\n"
                         "</node>\n";
  EXPECT_EQ(dump(grant), expected);
}

TEST_F(AstDumpTest, PackageMembersCarryPackageObjectPath) {
  auto* pkg = astMake<astNodeCreatePkgBody>(0);
  pkg->name = tokens("PKG");
  auto* proc = astMake<astNodeCreateProc>(1);
  proc->name = tokens("P", 1);
  pkg->declarations = listNew(proc);
  pkg->WRAPPED = true;
  std::string out = dump(pkg);
  EXPECT_NE(out.find("<node type=\"createPackageBody\" package=\"PKG\" object=\"PKG\" objtype=\"package\" lineno=\"1\">\n"
                     "\t<field name=\"REPLACE\">FALSE</field>\n"
                     "\t<field name=\"WRAPPED\">TRUE</field>\n"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("\t<node type=\"createProcedure\" name=\"declarations\" package=\"PKG\" object=\"PKG.P\" "
                     "objtype=\"procedure\" lineno=\"2\">\n"),
            std::string::npos)
      << out;
  // Unit stack unwound: WRAPPED of the procedure is not set, so not written.
  EXPECT_EQ(out.find("\t\t<field name=\"WRAPPED\">"), std::string::npos);
}

TEST_F(AstDumpTest, TriggerLineAndEnumeratedTexts) {
  auto* trig = astMake<astNodeCreateTrigger>(5);
  trig->name = tokens("T", 5);
  trig->point = 3;
  trig->events = 5;
  auto* alias = astMake<astNodeTriggerArg>(6);
  alias->var = 1;
  trig->referencing = listNew(alias);
  std::string out = dump(trig);
  EXPECT_NE(out.find("<node type=\"createTrigger\" object=\"T\" objtype=\"trigger\" lineno=\"6\">\n"), std::string::npos);
  EXPECT_NE(out.find("<field name=\"point\">TRIGGER_INSTEAD</field>\n\t<field name=\"events\">5</field>\n"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("<node type=\"triggerVariable\" name=\"referencing\" object=\"T\" objtype=\"trigger\" lineno=\"7\">\n"
                     "\t\t<field name=\"var\">TRIGGER_ARG_OLD</field>\n"),
            std::string::npos)
      << out;
  trig->point = 9;
  EXPECT_NE(dump(trig).find("TRIGGER_UNKNOWN"), std::string::npos);
}

TEST_F(AstDumpTest, PragmaLeavesNoTraceAndRaiseAppIsNamed) {
  auto* block = astMake<astNodeBlock>(0);
  auto* pragma = astMake<astNodePragma>(1);
  pragma->name = tokens("X", 1);
  auto* var = astMake<astNodeVarDecl>(1);
  var->variableName = tokens("v", 1);
  block->declarations = listNew(pragma);
  listAppend(block->declarations, var);
  auto* raise = astMake<astNodeRaiseApp>(2);
  raise->errorNo = token("-20001", 2);
  block->body = listNew(raise);
  std::string out = dump(block);
  EXPECT_EQ(out.find("pragma"), std::string::npos) << out;
  EXPECT_EQ(out.find(">X<"), std::string::npos) << out;
  EXPECT_NE(out.find("\t<node type=\"raiseApp\" name=\"RAISEAPP\" lineno=\"3\">\n"
                     "\t\t<node type=\"token\" name=\"errorNo\" lineno=\"3\">-20001</node>\n"
                     "\t</node>\n"),
            std::string::npos)
      << out;
}

TEST_F(AstDumpTest, IntegerFieldsAtTheEdgesOfTheirRange) {
  astNodeList* list = nullptr;
  for (int value : {-2147483647 - 1, 2147483647}) {
    auto* decl = astMake<astNodeExceptionDecl>(0);
    decl->variableType = VAR_EXCEPTION;
    decl->variableName = tokens("e");
    decl->value = value;
    list = listAppend(list, decl);
  }
  auto element = [](const char* value) {
    return std::string("\t<node type=\"exceptionDeclaration\" lineno=\"1\">\n"
                       "\t\t<field name=\"value\">") + value + "</field>\n"
           "\t\t<field name=\"variableType\">UNKNOWN</field>\n"
           "\t\t<field name=\"sqlstate\"></field>\n"
           "\t\t<node type=\"token\" name=\"variableName\" lineno=\"1\">e</node>\n"
           "\t</node>\n";
  };
  EXPECT_EQ(dump(list), std::string(kDecl) + "<node type=\"list\" lineno=\"0\">\n" + element("-2147483648") +
                            element("2147483647") + "</node>\n");
}

TEST_F(AstDumpTest, NodesWithoutContent) {
  auto* list = astMake<astNodeList>(-1);
  for (int kind : {0, 1, 11, 38, 56, 68, 150}) {
    auto* node = astNodeNew(sizeof(astNodeStatement) + 64, kind, 0);
    if (list->count == 0) list = listNew(node); else listAppend(list, node);
  }
  std::string expected = std::string(kDecl) +
                         "<node type=\"list\" lineno=\"0\">\n"
                         "\t<node type=\"genericNode\" lineno=\"1\">\n\t</node>\n"
                         "\t<node type=\"genericStatement\" lineno=\"1\">\n\t</node>\n"
                         "\t<node type=\"UNKNOWN\" lineno=\"1\">\n\t</node>\n"
                         "\t<node type=\"null\" lineno=\"1\">\n\t</node>\n"
                         "\t<node type=\"UNKNOWN\" lineno=\"1\">\n\t</node>\n"
                         "\t<node type=\"UNKNOWN\" lineno=\"1\">\n\t</node>\n"
                         "\t<node type=\"UNKNOWN\" lineno=\"1\">\n\t</node>\n"
                         "</node>\n";
  EXPECT_EQ(dump(list), expected);
}

TEST_F(AstDumpTest, DeepUnitNestingIsWrittenWhole) {
  // Far deeper than any fixed unit stack: every level keeps its full path.
  astNodeCreateProc* outer = nullptr;
  astNodeCreateProc* inner = nullptr;
  for (int i = 0; i < 60; ++i) {
    auto* proc = astMake<astNodeCreateProc>(i);
    proc->name = tokens("p", i);
    if (inner) {
      auto* block = astMake<astNodeBlock>(i);
      block->declarations = listNew(proc);
      inner->body = block;
    } else {
      outer = proc;
    }
    inner = proc;
  }
  std::string out = dump(outer);
  std::string path = "p";
  for (int i = 1; i < 60; ++i) path += ".p";
  EXPECT_NE(out.find("object=\"" + path + "\""), std::string::npos);
  EXPECT_EQ(out.substr(out.size() - 8), "</node>\n");
}

TEST_F(AstDumpTest, UnopenableFileIsRefused) {
  EXPECT_FALSE(writeAstXml("/nonexistent-dir/x.xml", "w", nullptr, nullptr));
  EXPECT_FALSE(writeSourceXml("/nonexistent-dir/x.xml", "w", "a\n"));
}

TEST_F(AstDumpTest, ProgressLineEveryThousandthNodeOfEachDump) {
  // Elements are counted first, then their list (line -1: never printed),
  // then the loop on stored line 41, which is the thousandth node.
  astNodeList* body = nullptr;
  for (int i = 0; i < 998; ++i) body = listAppend(body, token("x", 41));
  auto* loop = astMake<astNodeLoop>(41);
  loop->body = body;
  // Each dump counts from zero: the second prints the same line again.
  for (int run = 0; run < 2; ++run) {
    ::testing::internal::CaptureStdout();
    dump(loop);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "VESTRAKE: LINE: 41\n") << "dump " << run;
  }
}

TEST_F(AstDumpTest, SourceListing) {
  ASSERT_TRUE(writeSourceXml(path_.c_str(), "w", "first\r\nsecond\nlast"));
  EXPECT_EQ(qen_test::read_file(path_),
            "<sourcecode>\n"
            "<code lineno=\"1\"><![CDATA[first]]></code>\n"
            "<code lineno=\"2\"><![CDATA[second]]></code>\n"
            "</sourcecode>");
  ASSERT_TRUE(writeSourceXml(path_.c_str(), "w", "a]]>b\n"));
  EXPECT_EQ(qen_test::read_file(path_),
            "<sourcecode>\n"
            "<code lineno=\"1\"><![CDATA[a]]]]><![CDATA[>b]]></code>\n"
            "</sourcecode>");
}

}  // namespace

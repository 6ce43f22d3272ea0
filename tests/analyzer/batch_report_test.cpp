// Whole reports of the test host for batches that create objects, batches
// of plain statements, the statements reported as a whole and syntax errors
// between statements. Every expected byte is written out here: object
// heads, feature lines, statement ids and the seventeen counters.
#include <gtest/gtest.h>

#include <string>

#include "host_report_fixture.h"

using qen_test::file_head;
using qen_test::report_tail;

namespace {

#ifdef QEN_HOST_PATH

struct Report {
  std::string path;
  std::string text;

  std::string head(int line, const std::string& type, const std::string& name) {
    return qen_test::object_head(line, type, name);
  }
  static std::string close() { return qen_test::object_close(); }

  // A statement feature: the tag is "STATEMENT[" + name + "]".
  std::string feature(const std::string& name, int statements, int line, int line_in_object,
                      const std::string& context) {
    return qen_test::feature_xml(path, "STATEMENT[" + name + "]", statements, line, line_in_object, context,
                                 "statement", name);
  }

  static std::string syntax_error(int line, int line_in_object, const std::string& lexeme,
                                  const std::string& context) {
    return "          <syntax-error>\n            <line-in-file>" + std::to_string(line) +
           "</line-in-file>\n            <line-in-object>" + std::to_string(line_in_object) +
           "</line-in-object>\n            <text><![CDATA[Incorrect syntax near '" + lexeme +
           "']]></text>\n            <context><![CDATA[" + context +
           "]]></context>\n          </syntax-error>\n";
  }
};

// Runs the host over the text; returns its exit status and the report.
int analyse(const std::string& name, const std::string& source, Report* report) {
  return qen_test::run_host_on(name, name, source, "", &report->path, &report->text);
}

TEST(BatchReport, CheckpointAlone) {
  Report r;
  ASSERT_EQ(analyse("checkpoint", "checkpoint\n", &r), 0);
  // One statement, counted before the dispatcher reports it: statement id
  // 1; the batch object starts on line 1.
  EXPECT_EQ(r.text,
            "<source>\n" + file_head(r.path, "checkpoint") + r.head(1, "batch", "[batch]") +
                r.feature("CHECKPOINT", 1, 1, 1, "checkpoint") + Report::close() +
                // StatementCount 1; MaxBatchSize, MinBatchSize and
                // BatchStatementCount 1.
                report_tail({.statements = 1, .max_batch_size = 1, .min_batch_size = 1, .batch_statements = 1}));
}

TEST(BatchReport, ObjectsOfEveryKindAcrossBatches) {
  const char* source =
      "-- several kinds of object\n"             // 1
      "create procedure dbo.p1 @a int\n"         // 2
      "with recompile\n"                         // 3
      "as\n"                                     // 4
      "    select @a\n"                          // 5
      "    print \"p1\"\n"                       // 6
      "go\n"                                     // 7
      "create trigger t1 on orders for insert\n" // 8
      "as\n"                                     // 9
      "    print \"t1\"\n"                       // 10
      "    begin\n"                              // 11
      "        checkpoint\n"                     // 12
      "    end\n"                                // 13
      "go\n"                                     // 14
      "create default d1 as 0\n"                 // 15
      "go\n"                                     // 16
      "create rule dbo.r1\n"                     // 17
      "as @v > 0\n"                              // 18
      "go\n"                                     // 19
      "create procedure srv.db.dbo.p2 as\n"      // 20
      "go\n"                                     // 21
      "select 1\n"                               // 22
      "kill 12\n"                                // 23
      "begin\n"                                  // 24
      "end\n";                                   // 25
  Report r;
  ASSERT_EQ(analyse("objects", source, &r), 0);
  std::string expected = "<source>\n" + file_head(r.path, "objects");
  // Batch at line 1: the CREATE PROCEDURE is statement 1, on the batch,
  // which ends with 1 statement when the procedure object opens at line 2.
  // The procedure holds the two statements of its body (2 and 3).
  expected += r.head(2, "procedure", "dbo.p1") +
              r.feature("CREATE PROCEDURE WITH RECOMPILE", 1, 2, 1, "create procedure dbo.p1 @a int") +
              Report::close();
  // Batch at line 8: statement 4 on the batch; the trigger's body counts
  // the PRINT (5), the CHECKPOINT inside BEGIN ... END (6, reported right
  // after it is counted) and the block itself (7); CREATE TRIGGER is
  // reported after the body.
  expected += r.head(8, "trigger", "t1") + r.feature("CHECKPOINT", 6, 12, 5, "        checkpoint") +
              r.feature("CREATE TRIGGER", 7, 8, 1, "create trigger t1 on orders for insert") +
              Report::close();
  // Batch at line 15: statement 8; the default object.
  expected += r.head(15, "default", "d1") + r.feature("CREATE DEFAULT", 8, 15, 1, "create default d1 as 0") +
              Report::close();
  // Batch at line 17: statement 9; the rule object, named owner.name.
  expected += r.head(17, "rule", "dbo.r1") + r.feature("CREATE RULE", 9, 17, 1, "create rule dbo.r1") +
              Report::close();
  // Batch at line 20: statement 10. The four-part name is evaluated before
  // the procedure object opens, so its feature lands on the batch; the
  // procedure is named by the last three parts and has no statement.
  expected += r.head(20, "batch", "[batch]") +
              r.feature("SERVER-TO-SERVER RPC", 10, 20, 1, "create procedure srv.db.dbo.p2 as") +
              Report::close();
  // Batch at line 22: SELECT is statement 11; KILL is reported before it
  // is counted (12); the empty block is 13.
  expected += r.head(22, "batch", "[batch]") + r.feature("KILL", 11, 23, 2, "kill 12") + Report::close();
  // Batches: 1, 1, 1, 1, 1 (the CREATE statements) and 3: sum 8, max 3,
  // min 1. Procedures: 2 and 0 statements (an empty procedure leaves the
  // smallest size alone). One trigger with 3 statements.
  expected += report_tail({.statements = 13,
                           .procedures = 2,
                           .triggers = 1,
                           .trigger_statements = 3,
                           .rules = 1,
                           .defaults = 1,
                           .max_procedure_size = 2,
                           .min_procedure_size = 2,
                           .procedure_statements = 2,
                           .max_batch_size = 3,
                           .min_batch_size = 1,
                           .batch_statements = 8});
  EXPECT_EQ(r.text, expected);
}

TEST(BatchReport, StatementsReportedAsAWholeAndCountedStatements) {
  const char* source =
      "alter role r1 add passwd \"secret\"\n"  // 1
      "create plan \"select 1\" \"(plan)\"\n"  // 2
      "prepare transaction\n"                  // 3
      "reconfigure\n"                          // 4
      "setuser \"dbo\"\n"                      // 5
      "shutdown with nowait\n"                 // 6
      "update statistics orders\n"             // 7
      "kill 5 with statusonly\n"               // 8
      "checkpoint all\n"                       // 9
      "create database db1\n"                  // 10
      "lbl1:\n"                                // 11
      "begin\n"                                // 12
      "end\n"                                  // 13
      "alter role r2 set passwd expiration 5\n";  // 14
  Report r;
  ASSERT_EQ(analyse("whole", source, &r), 0);
  // The first statement is counted before the dispatcher reports it, every
  // later one after: the statement on line n (n > 1) is reported with n - 1
  // statements counted.
  std::string expected = "<source>\n" + file_head(r.path, "whole") + r.head(1, "batch", "[batch]") +
                         r.feature("ALTER ROLE", 1, 1, 1, "alter role r1 add passwd \"secret\"") +
                         r.feature("CREATE PLAN", 1, 2, 2, "create plan \"select 1\" \"(plan)\"") +
                         r.feature("PREPARE TRAN", 2, 3, 3, "prepare transaction") +
                         r.feature("RECONFIGURE", 3, 4, 4, "reconfigure") +
                         r.feature("SETUSER", 4, 5, 5, "setuser \"dbo\"") +
                         r.feature("SHUTDOWN", 5, 6, 6, "shutdown with nowait") +
                         r.feature("UPDATE STATISTICS", 6, 7, 7, "update statistics orders") +
                         r.feature("KILL", 7, 8, 8, "kill 5 with statusonly") +
                         r.feature("CHECKPOINT", 8, 9, 9, "checkpoint all") +
                         r.feature("ALTER ROLE", 12, 14, 14, "alter role r2 set passwd expiration 5") +
                         Report::close();
  // 13 statements (the label and the empty block among them), one database.
  expected += report_tail(
      {.statements = 13, .databases = 1, .max_batch_size = 13, .min_batch_size = 13, .batch_statements = 13});
  EXPECT_EQ(r.text, expected);
}

TEST(BatchReport, SyntaxErrorsBetweenStatements) {
  const char* source =
      "checkpoint\n"   // 1
      "go\n"           // 2
      "kill 1\n"       // 3
      ") shutdown\n"   // 4
      "go\n"           // 5
      "select from\n"  // 6
      "go\n"           // 7
      "checkpoint\n";  // 8
  Report r;
  // The third batch is not accepted.
  ASSERT_EQ(analyse("errors", source, &r), 1);
  std::string expected = "<source>\n" + file_head(r.path, "errors");
  expected += r.head(1, "batch", "[batch]") + r.feature("CHECKPOINT", 1, 1, 1, "checkpoint") + Report::close();
  // The parenthesis follows a complete statement sequence: the pass over
  // KILL runs and closes the batch object before the error is reported;
  // the error opens a fresh batch object, and the statement after it is
  // evaluated in a second pass, reported before it is counted.
  expected += r.head(3, "batch", "[batch]") + r.feature("KILL", 2, 3, 1, "kill 1") + Report::close();
  expected += r.head(3, "batch", "[batch]") + Report::syntax_error(4, 1, ")", ") shutdown") +
              r.feature("SHUTDOWN", 2, 4, 2, ") shutdown") + Report::close();
  // An error before any complete statement: nothing is evaluated.
  expected += r.head(6, "batch", "[batch]") + Report::syntax_error(6, 0, "from", "select from") +
              Report::close();
  expected += r.head(8, "batch", "[batch]") + r.feature("CHECKPOINT", 4, 8, 1, "checkpoint") + Report::close();
  // Statements: CHECKPOINT, KILL, SHUTDOWN, CHECKPOINT. The batch with the
  // error folds one statement per pass; the rejected batch folds none.
  expected += report_tail({.statements = 4, .max_batch_size = 1, .min_batch_size = 1, .batch_statements = 4});
  EXPECT_EQ(r.text, expected);
}

TEST(BatchReport, EmptyBatchesAndEmptyBodies) {
  const char* source =
      "-- nothing but a comment\n"                     // 1
      "go\n"                                           // 2
      "` grant\n"                                      // 3: rejected by the scanner, then GRANT
      "go\n"                                           // 4
      "create trigger dbo.t2 on dbo.orders for delete as\n"  // 5
      "go\n"                                           // 6
      "create procedure p3\n"                          // 7
      "as external name \"lib.so\"\n"                  // 8
      "go\n"                                           // 9
      "create procedure p4 as\n"                       // 10
      "begin\n"                                        // 11
      "end\n";                                         // 12
  Report r;
  ASSERT_EQ(analyse("empty", source, &r), 0);
  std::string expected = "<source>\n" + file_head(r.path, "empty");
  // A trigger without a body still opens its object and reports.
  expected += r.head(5, "trigger", "dbo.t2") +
              r.feature("CREATE TRIGGER", 1, 5, 1, "create trigger dbo.t2 on dbo.orders for delete as") +
              Report::close();
  // The external procedure is reported on its own object.
  expected += r.head(7, "procedure", "p3") +
              r.feature("CREATE EXTERNAL PROCEDURE", 2, 7, 1, "create procedure p3") + Report::close();
  // p4: one statement on the batch, one (the empty block) in the body.
  // Batches: the comment-only batch and the junk batch (accepted, never
  // evaluated) hold no statement, the three CREATE batches one each.
  // Procedures: 0 and 1 statements.
  expected += report_tail({.statements = 4,
                           .procedures = 2,
                           .triggers = 1,
                           .max_procedure_size = 1,
                           .min_procedure_size = 1,
                           .procedure_statements = 1,
                           .max_batch_size = 1,
                           .min_batch_size = 1,
                           .batch_statements = 3});
  EXPECT_EQ(r.text, expected);
}

TEST(BatchReport, ObjectNamesFromDottedNames) {
  const char* source =
      "create procedure a..p8 with recompile as\n"        // 1
      "go\n"                                              // 2
      "create procedure [dbo].[p9] with recompile as\n"   // 3
      "go\n"                                              // 4
      "create procedure p10;2 with recompile as\n"        // 5
      "go\n"                                              // 6
      "create procedure s.a.b.c.p11 with recompile as\n"  // 7
      "go\n"                                              // 8
      "create default dbo.d2 as 1\n";                     // 9
  Report r;
  ASSERT_EQ(analyse("names", source, &r), 0);
  const std::string recompile = "CREATE PROCEDURE WITH RECOMPILE";
  std::string expected = "<source>\n" + file_head(r.path, "names");
  // An omitted owner stays empty between the two periods.
  expected += r.head(1, "procedure", "a..p8") +
              r.feature(recompile, 1, 1, 1, "create procedure a..p8 with recompile as") + Report::close();
  // Brackets are part of the name as written.
  expected += r.head(3, "procedure", "[dbo].[p9]") +
              r.feature(recompile, 2, 3, 1, "create procedure [dbo].[p9] with recompile as") + Report::close();
  // The group number is not part of the name.
  expected += r.head(5, "procedure", "p10") +
              r.feature(recompile, 3, 5, 1, "create procedure p10;2 with recompile as") + Report::close();
  // Five parts: no server-to-server call; the last three name the object.
  expected += r.head(7, "procedure", "b.c.p11") +
              r.feature(recompile, 4, 7, 1, "create procedure s.a.b.c.p11 with recompile as") +
              Report::close();
  expected += r.head(9, "default", "dbo.d2") + r.feature("CREATE DEFAULT", 5, 9, 1, "create default dbo.d2 as 1") +
              Report::close();
  // Four procedures without statements: the procedure sizes stay 0.
  expected += report_tail({.statements = 5,
                           .procedures = 4,
                           .defaults = 1,
                           .max_batch_size = 1,
                           .min_batch_size = 1,
                           .batch_statements = 5});
  EXPECT_EQ(r.text, expected);
}

TEST(BatchReport, CallsOfFourPartNames) {
  const char* source =
      "exec srv.db.dbo.\n"   // 1
      "  p1\n"               // 2
      "go\n"                 // 3
      "srv2.db.dbo.p2 1\n";  // 4: a call without EXECUTE opens the batch
  Report r;
  ASSERT_EQ(analyse("calls", source, &r), 0);
  // The feature stands at the name's last part; each call is counted
  // before it is evaluated.
  std::string expected =
      "<source>\n" + file_head(r.path, "calls") + r.head(1, "batch", "[batch]") +
      r.feature("SERVER-TO-SERVER RPC", 1, 2, 2, "  p1") + Report::close() + r.head(4, "batch", "[batch]") +
      r.feature("SERVER-TO-SERVER RPC", 2, 4, 1, "srv2.db.dbo.p2 1") + Report::close() +
      report_tail({.statements = 2, .max_batch_size = 1, .min_batch_size = 1, .batch_statements = 2});
  EXPECT_EQ(r.text, expected);
}

TEST(BatchReport, LongAndDeepStatementSequences) {
  // 1,000 nested blocks around 100,000 statements: every block counts as
  // one statement of the sequence around it.
  std::string source;
  for (int i = 0; i < 1000; ++i) source += "begin\n";
  for (int i = 0; i < 100000; ++i) source += "select 1\n";
  for (int i = 0; i < 1000; ++i) source += "end\n";
  Report r;
  ASSERT_EQ(analyse("long", source, &r), 0);
  EXPECT_EQ(
      r.text,
      "<source>\n" + file_head(r.path, "long") +
          report_tail(
              {.statements = 101000, .max_batch_size = 101000, .min_batch_size = 101000, .batch_statements = 101000}));
}

#else

TEST(BatchReport, NeedsTheHost) { GTEST_SKIP() << "qen_host not built"; }

#endif

}  // namespace

// Whole reports of the test host for the control-of-flow statements:
// statement counting of IF and WHILE, the WAITFOR exit forms, the EXECUTE
// forms (variable procedures, WITH RECOMPILE, status into a global or a
// local variable, recursion, strings), RAISERROR WITH ERRORDATA, ROLLBACK in
// a batch and ROLLBACK TRIGGER, and the line that declarations give to
// their datatype findings. Every expected byte is written out.
#include <gtest/gtest.h>

#include <string>

#include "host_report_fixture.h"

using qen_test::file_head;
using qen_test::report_tail;

namespace {

#ifdef QEN_HOST_PATH

using qen_test::Report;
using qen_test::analyse;

std::string counters_of_one_batch(int statements) {
  return report_tail(qen_test::one_batch_counters(statements));
}

TEST(ControlReport, BranchesAndLoopsCountStatements) {
  const char* source =
      "if @a > 0\n"                  // 1
      "    print \"then\"\n"         // 2
      "else\n"                       // 3
      "    if @b > 0\n"              // 4
      "        print \"inner\"\n"    // 5
      "while @a > 0\n"               // 6
      "begin\n"                      // 7
      "    print \"body\"\n"         // 8
      "    continue\n"               // 9
      "end\n"                        // 10
      "waitfor delay \"00:00:01\"\n";  // 11
  Report r;
  ASSERT_EQ(analyse("control_branches", source, &r), 0);
  // The outer IF, its THEN and ELSE branches, the inner IF's branch (4);
  // the two statements of the loop's block and the WHILE itself (7), whose
  // body is not a statement of its own; the WAITFOR (8). Nothing is
  // reported, so the batch has no object element.
  EXPECT_EQ(r.text, "<source>\n" + file_head(r.path, "control_branches") + counters_of_one_batch(8));
}

TEST(ControlReport, WaitforExitForms) {
  const char* source =
      "waitfor errorexit\n"      // 1
      "waitfor mirrorexit\n"     // 2
      "waitfor processexit\n"    // 3
      "waitfor time \"22:00\"\n"  // 4
      "waitfor delay @d\n";      // 5
  Report r;
  ASSERT_EQ(analyse("control_waitfor", source, &r), 0);
  // The first statement is counted before it is evaluated, every later one
  // after it.
  EXPECT_EQ(r.text, "<source>\n" + file_head(r.path, "control_waitfor") + Report::head(1, "batch", "[batch]") +
                        r.statement("WAITFOR ERROREXIT", 1, 1, 1, "waitfor errorexit") +
                        r.statement("WAITFOR MIRROREXIT", 1, 2, 2, "waitfor mirrorexit") +
                        r.statement("WAITFOR PROCESSEXIT", 2, 3, 3, "waitfor processexit") + Report::close() +
                        counters_of_one_batch(5));
}

const char* const kExecuteForms =
    "exec @p\n"                                   // 1
    "execute @p 1, @a output with recompile\n"    // 2
    "exec p2 with recompile\n"                    // 3
    "exec @r = @p with recompile\n"               // 4
    "exec @@error = p2\n"                         // 5
    "exec p2 @x = 1, @y = @@procid\n"             // 6
    "exec @r = p2 'a', b\n";                      // 7

TEST(ControlReport, ExecuteFormsAtTheDefaultTarget) {
  Report r;
  ASSERT_EQ(analyse("control_exec", kExecuteForms, &r), 0);
  std::string expected = "<source>\n" + file_head(r.path, "control_exec") + Report::head(1, "batch", "[batch]");
  // A variable procedure, for every target; the plain form names its
  // features after the form.
  expected += r.statement_named("EXEC FROM VAR", "EXECUTE FROM VAR", 1, 1, 1, "exec @p");
  // With arguments and WITH RECOMPILE: both, in that order.
  expected += r.statement_named("EXEC FROM VAR", "EXECUTE FROM VAR", 1, 2, 2, "execute @p 1, @a output with recompile") +
              r.statement_named("EXEC WITH RECOMPILE", "EXECUTE WITH RECOMPILE", 1, 2, 2,
                                "execute @p 1, @a output with recompile");
  expected += r.statement_named("EXEC WITH RECOMPILE", "EXECUTE WITH RECOMPILE", 2, 3, 3, "exec p2 with recompile");
  // The status into a local variable: the variable procedure only for old
  // targets, and both features named "EXECUTE".
  expected += r.statement_named("EXEC WITH RECOMPILE", "EXECUTE", 3, 4, 4, "exec @r = @p with recompile");
  // The status into a global variable, even for a plain call; @@error
  // itself is supported.
  expected += r.statement("EXEC INTO GLOBAL", 4, 5, 5, "exec @@error = p2");
  // Named arguments are examined: a global variable the target lacks.
  expected += r.global("@@procid", 5, 6, 6, "exec p2 @x = 1, @y = @@procid");
  expected += Report::close() + counters_of_one_batch(7);
  EXPECT_EQ(r.text, expected);
}

TEST(ControlReport, ExecuteAssigningTheStatusOfAVariableProcedureOnOldTargets) {
  const char* source =
      "exec @r = @p\n"                                // 1
      "exec @@error = @p with recompile\n"            // 2
      "exec @r = p2\n";                               // 3
  Report r;
  ASSERT_EQ(analyse("control_exec_old", source, &r, "-t 0.2.9"), 0);
  EXPECT_EQ(r.text, "<source>\n" + file_head(r.path, "control_exec_old") + Report::head(1, "batch", "[batch]") +
                        r.statement_named("EXEC FROM VAR", "EXECUTE", 1, 1, 1, "exec @r = @p") +
                        r.statement("EXEC INTO GLOBAL", 1, 2, 2, "exec @@error = @p with recompile") +
                        r.statement_named("EXEC FROM VAR", "EXECUTE", 1, 2, 2, "exec @@error = @p with recompile") +
                        r.statement_named("EXEC WITH RECOMPILE", "EXECUTE", 1, 2, 2,
                                          "exec @@error = @p with recompile") +
                        Report::close() + counters_of_one_batch(3));

  // From 0.3.0 on the variable procedure of these forms is not reported.
  ASSERT_EQ(analyse("control_exec_new", source, &r, "-t 0.3"), 0);
  EXPECT_EQ(r.text, "<source>\n" + file_head(r.path, "control_exec_new") + Report::head(1, "batch", "[batch]") +
                        r.statement("EXEC INTO GLOBAL", 1, 2, 2, "exec @@error = @p with recompile") +
                        r.statement_named("EXEC WITH RECOMPILE", "EXECUTE", 1, 2, 2,
                                          "exec @@error = @p with recompile") +
                        Report::close() + counters_of_one_batch(3));

  // The plain form reports a variable procedure for old targets as well.
  ASSERT_EQ(analyse("control_exec_plain_old", "exec @p\n", &r, "-t 0.1"), 0);
  EXPECT_EQ(r.text, "<source>\n" + file_head(r.path, "control_exec_plain_old") +
                        Report::head(1, "batch", "[batch]") +
                        r.statement_named("EXEC FROM VAR", "EXECUTE FROM VAR", 1, 1, 1, "exec @p") +
                        Report::close() + counters_of_one_batch(1));
}

TEST(ControlReport, RecursiveProcedureCallsCompareTheWholeNameIgnoringCase) {
  const char* source =
      "exec dbo.p1\n"                   // 1
      "go\n"                            // 2
      "create procedure dbo.p1 @n int\n"  // 3
      "as\n"                            // 4
      "    exec DBO.P1 @n\n"            // 5
      "    exec p1\n"                   // 6
      "    exec master.dbo.p1\n";       // 7
  Report r;
  ASSERT_EQ(analyse("control_recursion", source, &r), 0);
  // The call in a plain batch is not recursive; in the body only the call
  // written with the same qualification is. The CREATE is statement 2, on
  // the second batch; the body's statements are 3 to 5.
  EXPECT_EQ(r.text, "<source>\n" + file_head(r.path, "control_recursion") + Report::head(3, "procedure", "dbo.p1") +
                        r.statement("RECURSIVE PROCEDURE", 3, 5, 3, "    exec DBO.P1 @n") + Report::close() +
                        report_tail({.statements = 5,
                                     .procedures = 1,
                                     .max_procedure_size = 3,
                                     .min_procedure_size = 3,
                                     .procedure_statements = 3,
                                     .max_batch_size = 1,
                                     .min_batch_size = 1,
                                     .batch_statements = 2}));
}

TEST(ControlReport, ExecuteOfAStringReportsBeforeItsParts) {
  const char* source =
      "exec (\"select \" + @cols + @@procid)\n"  // 1
      "execute ('select 1' || @@error)\n";       // 2
  Report r;
  ASSERT_EQ(analyse("control_exec_string", source, &r), 0);
  EXPECT_EQ(r.text, "<source>\n" + file_head(r.path, "control_exec_string") + Report::head(1, "batch", "[batch]") +
                        r.statement("EXEC IMMEDIATE", 1, 1, 1, "exec (\"select \" + @cols + @@procid)") +
                        r.global("@@procid", 1, 1, 1, "exec (\"select \" + @cols + @@procid)") +
                        r.statement("EXEC IMMEDIATE", 1, 2, 2, "execute ('select 1' || @@error)") + Report::close() +
                        counters_of_one_batch(2));
}

TEST(ControlReport, RaiserrorRollbackAndRollbackTrigger) {
  const char* source =
      "raiserror 20001 \"plain %1!\", @a\n"                                // 1
      "raiserror 20002 with errordata @code = 5, @text = @@procid\n"       // 2
      "raiserror @err \"fmt\" with errordata \"col\" = @@procid, 2 as c2\n"  // 3
      "rollback tran\n"                                                    // 4
      "rollback trigger\n"                                                 // 5
      "rollback trigger with raiserror 20003 \"t\" with errordata @a = 1\n"  // 6
      "go\n"                                                               // 7
      "create procedure p3 as\n"                                           // 8
      "    rollback transaction\n"                                         // 9
      "go\n"                                                               // 10
      "create trigger t3 on tab for delete as\n"                           // 11
      "    rollback\n"                                                     // 12
      "    rollback trigger\n";                                            // 13
  Report r;
  ASSERT_EQ(analyse("control_raiserror", source, &r), 0);
  const std::string l2 = "raiserror 20002 with errordata @code = 5, @text = @@procid";
  const std::string l3 = "raiserror @err \"fmt\" with errordata \"col\" = @@procid, 2 as c2";
  const std::string l6 = "rollback trigger with raiserror 20003 \"t\" with errordata @a = 1";
  std::string expected = "<source>\n" + file_head(r.path, "control_raiserror") + Report::head(1, "batch", "[batch]");
  // The error data is examined before RAISERROR WITH ERRORDATA is reported.
  expected += r.global("@@procid", 1, 2, 2, l2) + r.statement("RAISERROR WITH ERRORDATA", 1, 2, 2, l2);
  expected += r.global("@@procid", 2, 3, 3, l3) + r.statement("RAISERROR WITH ERRORDATA", 2, 3, 3, l3);
  expected += r.statement("ROLLBACK IN BATCH", 3, 4, 4, "rollback tran");
  expected += r.statement("ROLLBACK TRIGGER", 4, 5, 5, "rollback trigger");
  // ROLLBACK TRIGGER first, then the RAISERROR inside it.
  expected += r.statement("ROLLBACK TRIGGER", 5, 6, 6, l6) + r.statement("RAISERROR WITH ERRORDATA", 5, 6, 6, l6);
  expected += Report::close();
  // The ROLLBACK in the procedure body reports nothing, nor does the one in
  // the trigger body; ROLLBACK TRIGGER is reported there before CREATE
  // TRIGGER, which comes after the body.
  expected += Report::head(11, "trigger", "t3") + r.statement("ROLLBACK TRIGGER", 10, 13, 3, "    rollback trigger") +
              r.statement("CREATE TRIGGER", 11, 11, 1, "create trigger t3 on tab for delete as") + Report::close();
  // Statements 11; procedure 1 with 1 statement; trigger 1 with 2; batches
  // of 6, 1 and 1.
  expected += report_tail({.statements = 11,
                           .procedures = 1,
                           .triggers = 1,
                           .trigger_statements = 2,
                           .max_procedure_size = 1,
                           .min_procedure_size = 1,
                           .procedure_statements = 1,
                           .max_batch_size = 6,
                           .min_batch_size = 1,
                           .batch_statements = 8});
  EXPECT_EQ(r.text, expected);
}

TEST(ControlReport, DeclarationsGiveTheirDatatypesTheStatementLine) {
  const char* source =
      "declare @a int,\n"                 // 1
      "        @b unichar(10)\n"          // 2
      "go\n"                              // 3
      "create procedure p4\n"             // 4
      "    @c int,\n"                     // 5
      "    @d univarchar(5) = null output\n"  // 6
      "as\n"                              // 7
      "    declare @e unichar(1)\n";      // 8
  Report r;
  ASSERT_EQ(analyse("control_declare", source, &r), 0);
  // A local variable's datatype at the DECLARE keyword; a parameter's at
  // the procedure's CREATE keyword.
  EXPECT_EQ(r.text, "<source>\n" + file_head(r.path, "control_declare") + Report::head(1, "batch", "[batch]") +
                        r.feature("DATATYPE[UNICHAR]", 1, 1, 1, "declare @a int,", "datatype", "UNICHAR") +
                        Report::close() + Report::head(4, "procedure", "p4") +
                        r.feature("DATATYPE[UNIVARCHAR]", 2, 4, 1, "create procedure p4", "datatype", "UNIVARCHAR") +
                        r.feature("DATATYPE[UNICHAR]", 3, 8, 5, "    declare @e unichar(1)", "datatype", "UNICHAR") +
                        Report::close() +
                        report_tail({.statements = 3,
                                     .procedures = 1,
                                     .max_procedure_size = 1,
                                     .min_procedure_size = 1,
                                     .procedure_statements = 1,
                                     .max_batch_size = 1,
                                     .min_batch_size = 1,
                                     .batch_statements = 2}));
}

TEST(ControlReport, ExpressionsInsideTheStatementsAreExamined) {
  const char* source =
      "print @@procid\n"                            // 1
      "print \"%1! %2!\", @a, @@procid\n"           // 2
      "raiserror 20001 @@procid, 1, @@procid\n"     // 3
      "if @@procid > 0 return @@procid\n"           // 4
      "while @@procid > 0 waitfor delay @d\n";      // 5
  Report r;
  ASSERT_EQ(analyse("control_expressions", source, &r), 0);
  const std::string l3 = "raiserror 20001 @@procid, 1, @@procid";
  const std::string l4 = "if @@procid > 0 return @@procid";
  // The IF's predicate is examined before its branch is counted, the
  // RETURN after.
  EXPECT_EQ(r.text, "<source>\n" + file_head(r.path, "control_expressions") + Report::head(1, "batch", "[batch]") +
                        r.global("@@procid", 1, 1, 1, "print @@procid") +
                        r.global("@@procid", 1, 2, 2, "print \"%1! %2!\", @a, @@procid") +
                        r.global("@@procid", 2, 3, 3, l3) + r.global("@@procid", 2, 3, 3, l3) +
                        r.global("@@procid", 3, 4, 4, l4) + r.global("@@procid", 4, 4, 4, l4) +
                        r.global("@@procid", 5, 5, 5, "while @@procid > 0 waitfor delay @d") + Report::close() +
                        counters_of_one_batch(6));
}

TEST(ControlReport, ABareCallStartingTheBatchReportsOnlyItsName) {
  Report r;
  ASSERT_EQ(analyse("control_bare_call", "sp_activeroles\nexec p2 with recompile\n", &r), 0);
  EXPECT_EQ(r.text, "<source>\n" + file_head(r.path, "control_bare_call") + Report::head(1, "batch", "[batch]") +
                        r.feature("PROCEDURE[sp_activeroles]", 1, 1, 1, "sp_activeroles", "procedure",
                                  "sp_activeroles") +
                        r.statement_named("EXEC WITH RECOMPILE", "EXECUTE WITH RECOMPILE", 1, 2, 2,
                                          "exec p2 with recompile") +
                        Report::close() + counters_of_one_batch(2));
  // Without EXECUTE neither a variable procedure nor WITH RECOMPILE is
  // reported.
  ASSERT_EQ(analyse("control_bare_recompile", "p2 1, @a output with recompile\n", &r), 0);
  EXPECT_EQ(r.text, "<source>\n" + file_head(r.path, "control_bare_recompile") + counters_of_one_batch(1));
}

#endif

}  // namespace

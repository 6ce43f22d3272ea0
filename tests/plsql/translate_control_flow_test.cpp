// Whole translations of control flow: loops left early, handlers, row counts,
// FOR bounds, qualified names and error numbers. Each case compares every
// statement record and every error record.
#include <gtest/gtest.h>

#include "translate_fixture.h"

namespace {

using namespace translate_test;

const SoundCase kControlFlowCases[] = {
    // CONTINUE of a numeric FOR steps the loop's own index; where a
    // declaration on the way hides the index, through the label of the
    // index's block (made up when it has none). An inner FOR of the same
    // index and a FOR over a query hide it too; a REVERSE loop steps down.
    {"ContinueStepsTheIndexThatIsHidden", false,
     "BEGIN\n"
         "  FOR i IN 1..3 LOOP DECLARE i NUMBER := 0; BEGIN CONTINUE; END; END LOOP;\n"
         "  <<outer>>\n"
         "  FOR i IN 1..3 LOOP\n"
         "    FOR i IN REVERSE 1..2 LOOP\n"
         "      CONTINUE outer WHEN i = 2;\n"
         "      CONTINUE;\n"
         "    END LOOP;\n"
         "    FOR r IN (SELECT a FROM t) LOOP CONTINUE outer; END LOOP;\n"
         "  END LOOP;\n"
         "END;\n",
     anonymousBlock(numericLoopHead("SYSZULINTERNAL_00000002", "i", "1", "3", "SYSZULINTERNAL_00000001") +
                    "  BEGIN\n"
                    "  DECLARE i NUMBER DEFAULT 0;\n"
                    "  SET SYSZULINTERNAL_00000002.i = SYSZULINTERNAL_00000002.i + 1;\n"
                    "  ITERATE SYSZULINTERNAL_00000001;\n"
                    "  END;\n" +
                    numericLoopEnd("i") + numericLoopHead("outer", "i", "1", "3", "SYSZULINTERNAL_00000003") +
                    numericLoopHead("", "i", "2", "1", "SYSZULINTERNAL_00000004", ">=") +
                    "\n"
                    "  IF i = 2 THEN\n"
                    "  SET outer.i = outer.i + 1;\n"
                    "  ITERATE SYSZULINTERNAL_00000003;\n"
                    "  END IF;\n"
                    "\n"
                    "  SET i = i - 1;\n"
                    "  ITERATE SYSZULINTERNAL_00000004;\n" +
                    numericLoopEnd("i", "-") +
                    "\n"
                    "  FOR r AS\n"
                    "  SELECT a FROM t\n"
                    "  DO\n"
                    "  SET outer.i = outer.i + 1;\n"
                    "  ITERATE SYSZULINTERNAL_00000003;\n"
                    "  END FOR;\n"
                    "\n" +
                    numericLoopEnd("i")),
     ""},
    // Every jump out of cursor FOR loops closes the cursors it leaves,
    // innermost first: CONTINUE or EXIT of an outer loop, RETURN, GOTO; EXIT
    // of its own loop and GOTO within it close nothing. A jump's label goes
    // to the first CLOSE.
    {"CursorLoopsCloseOnEveryJumpOut", false,
     "DECLARE CURSOR a IS SELECT x FROM t; CURSOR b IS SELECT y FROM u;\n"
         "BEGIN\n"
         "  <<outer>>\n"
         "  FOR ra IN a LOOP\n"
         "    <<inner>>\n"
         "    FOR rb IN b LOOP\n"
         "      CONTINUE outer WHEN rb.y = 1;\n"
         "      EXIT inner WHEN rb.y = 2; EXIT outer WHEN rb.y = 3;\n"
         "      IF rb.y = 4 THEN RETURN; END IF;\n"
         "      GOTO next_b; <<next_b>> GOTO done;\n"
         "    END LOOP;\n"
         "  END LOOP;\n"
         "  <<done>> NULL;\n"
         "END;\n",
     anonymousBlock("  DECLARE a CURSOR CONSTANT (CURSOR FOR SELECT x FROM t);\n"
                    "  DECLARE b CURSOR CONSTANT (CURSOR FOR SELECT y FROM u);\n" +
                    cursorLoop("outer", "a", "ra", "SYSZULINTERNAL_00000001",
                               cursorLoop("inner", "b", "rb", "SYSZULINTERNAL_00000002",
                                          "\n"
                                          "  IF rb.y = 1 THEN\n"
                                          "  CLOSE b ;\n"
                                          "  ITERATE SYSZULINTERNAL_00000001;\n"
                                          "  END IF;\n"
                                          "\n"
                                          "  IF rb.y = 2 THEN LEAVE SYSZULINTERNAL_00000002; END IF;\n"
                                          "\n"
                                          "  IF rb.y = 3 THEN\n"
                                          "  CLOSE b ;\n"
                                          "  LEAVE SYSZULINTERNAL_00000001;\n"
                                          "  END IF;\n"
                                          "\n"
                                          "\n"
                                          "  IF rb.y = 4 THEN\n"
                                          "  CLOSE b ;\n"
                                          "  CLOSE a ;\n"
                                          "  RETURN ;\n"
                                          "  END IF;\n"
                                          "\n"
                                          "  GOTO next_b;\n"
                                          "  next_b: CLOSE b ;\n"
                                          "  CLOSE a ;\n"
                                          "  GOTO done;\n")) +
                    "  done: BEGIN END; -- NULL;\n"),
     ""},
    // An exception leaves a cursor loop open: a loop that a handler around
    // it outlives closes its cursor in a handler of its own; a loop inside
    // the handler of the cursor's own block has no need.
    {"CursorLoopClosesWhenAHandlerGoesOn", false,
     "DECLARE\n"
         "  CURSOR c IS SELECT a FROM t;\n"
         "BEGIN\n"
         "  BEGIN\n"
         "    FOR r IN c LOOP NULL; END LOOP;\n"
         "  EXCEPTION\n"
         "    WHEN OTHERS THEN FOR r IN c LOOP NULL; END LOOP;\n"
         "  END;\n"
         "END;\n",
     anonymousBlock("  DECLARE c CURSOR CONSTANT (CURSOR FOR SELECT a FROM t);\n" + kErrorVariables + "  BEGIN\n" +
                    exitHandler("SQLEXCEPTION", cursorLoop("", "c", "r", "SYSZULINTERNAL_00000002", kNullStatement)) +
                    cursorLoop("", "c", "r", "SYSZULINTERNAL_00000001", kNullStatement,
                               cursorCloseHandler("c")) +
                    "  END;\n"),
     ""},
    // A FETCH or a data change never reaches a handler that stands for
    // NO_DATA_FOUND; SELECT INTO and a dynamic query with INTO do.
    {"NoDataFoundHandlerLeavesFetchesAndDataChanges", false,
     "DECLARE\n"
         "  CURSOR c IS SELECT a FROM t;\n"
         "BEGIN\n"
         "  SELECT a INTO v FROM t;\n"
         "  OPEN c;\n"
         "  FETCH c INTO v;\n"
         "  DELETE FROM t RETURNING a INTO v;\n"
         "  EXECUTE IMMEDIATE 'DELETE FROM t';\n"
         "  EXECUTE IMMEDIATE 'SELECT a FROM t' INTO v;\n"
         "EXCEPTION\n"
         "  WHEN NO_DATA_FOUND THEN NULL;\n"
         "END;\n",
     anonymousBlock("  DECLARE c CURSOR CONSTANT (CURSOR FOR SELECT a FROM t);\n" + kErrorVariables +
                    exitHandler("SQLSTATE 'UDNDF'", kNullStatement) + kNoRowGuard +
                    "  SELECT a INTO v FROM t;\n"
                    "  END;\n"
                    "  OPEN c;\n"
                    "  FETCH c INTO v;\n"
                    "  SELECT a INTO v FROM OLD TABLE (DELETE FROM t);\n" +
                    dynamicBlock("DELETE FROM t", "  EXECUTE IMMEDIATE SYSZULINTERNAL_STMT_TEXT;\n") +
                    dynamicBlock("SELECT a FROM t",
                                 "  DECLARE EXIT HANDLER FOR NOT FOUND\n"
                                 "  BEGIN\n"
                                 "  SIGNAL SQLSTATE 'UDNDF';\n"
                                 "  END;\n"
                                 "  PREPARE SYSZULINTERNAL_00000001 FROM SYSZULINTERNAL_STMT_TEXT;\n"
                                 "  EXECUTE SYSZULINTERNAL_00000001 INTO v;\n")),
     ""},
    // Made-up statements carry the line of the source statement they stand
    // for.
    {"MadeUpStatementsCarryTheirSourceLine", true,
     "DECLARE\n"
         "  CURSOR c IS SELECT a FROM t;\n"
         "BEGIN\n"
         "  <<outer>>\n"
         "  FOR i IN 1 .. n LOOP\n"
         "    FOR r IN c LOOP\n"
         "      CONTINUE outer WHEN r.a = i;\n"
         "    END LOOP;\n"
         "  END LOOP;\n"
         "EXCEPTION\n"
         "  WHEN NO_DATA_FOUND THEN\n"
         "    NULL;\n"
         "END;\n",
     anonymousBlock("  DECLARE c CURSOR CONSTANT (CURSOR FOR SELECT a FROM t);\n" + atLine("011", kErrorVariables) +
                    atLine("011", "  DECLARE EXIT HANDLER FOR SQLSTATE 'UDNDF'\n") + "  BEGIN\n" +
                    atLine("011", kHandlerCodes) + kNullStatement +
                    "  END;\n"
                    "  outer: BEGIN\n" +
                    atLine("005",
                           "  DECLARE i INTEGER DEFAULT 1;\n"
                           "  DECLARE SYSZULINTERNAL_LOOP_LIMIT INTEGER;\n"
                           "  SET SYSZULINTERNAL_LOOP_LIMIT = ROUND(n, 0);\n") +
                    "\n" + atLine("005", "  SYSZULINTERNAL_00000002: WHILE i <= SYSZULINTERNAL_LOOP_LIMIT DO\n") +
                    "  BEGIN\n" + atLine("006", "  DECLARE r ANCHOR TO ROW c;\n  DECLARE EXIT HANDLER FOR SQLEXCEPTION\n") +
                    "  BEGIN\n"
                    "\n" +
                    atLine("006", "  IF c IS OPEN THEN\n  CLOSE c ;\n") +
                    "  END IF;\n"
                    "\n" +
                    atLine("006", "  RESIGNAL;\n") + "  END;\n" + atLine("006", "  OPEN c;\n") + "\n" +
                    atLine("006",
                           "  SYSZULINTERNAL_00000001: LOOP\n"
                           "  FETCH c INTO r;\n"
                           "  IF c IS NOT FOUND THEN LEAVE SYSZULINTERNAL_00000001; END IF;\n") +
                    "\n" +
                    atLine("007",
                           "  IF r.a = i THEN\n"
                           "  CLOSE c ;\n"
                           "  SET i = i + 1;\n"
                           "  ITERATE SYSZULINTERNAL_00000002;\n") +
                    "  END IF;\n"
                    "\n"
                    "  END LOOP SYSZULINTERNAL_00000001;\n"
                    "\n" +
                    atLine("006", "  CLOSE c ;\n") + "  END;\n--#line 005\n" + numericLoopEnd("i")),
     ""},
    // SQL%ROWCOUNT and SQL%FOUND tell of the last dynamic statement, MERGE,
    // SELECT INTO (also when it finds no row) or data change; a cursor loop
    // leaves them alone.
    {"RowCountsOfEveryStatementThatSetsThem", false,
     "DECLARE\n"
         "  CURSOR c IS SELECT a FROM x;\n"
         "BEGIN\n"
         "  EXECUTE IMMEDIATE 'DELETE FROM x';\n"
         "  n := SQL%ROWCOUNT;\n"
         "  MERGE INTO x USING y ON (x.a = y.a) WHEN MATCHED THEN UPDATE SET x.b = y.b;\n"
         "  SELECT COUNT(*) INTO n FROM x;\n"
         "  b := SQL%FOUND;\n"
         "  INSERT INTO x VALUES (1);\n"
         "  FOR r IN c LOOP NULL; END LOOP;\n"
         "  n := SQL%ROWCOUNT;\n"
         "END;\n",
     anonymousBlock("  DECLARE c CURSOR CONSTANT (CURSOR FOR SELECT a FROM x);\n" + kRowCountVariables +
                    dynamicBlock("DELETE FROM x", "  EXECUTE IMMEDIATE SYSZULINTERNAL_STMT_TEXT;\n" + kRowCountAfterChange) +
                    "  SET n = SYSZULINTERNAL_ROWCOUNT;\n"
                    "  MERGE INTO x USING y ON(x.a = y.a) WHEN MATCHED THEN UPDATE SET x.b = y.b;\n" +
                    kRowCountAfterChange +
                    "  BEGIN\n"
                    "  DECLARE EXIT HANDLER FOR NOT FOUND\n"
                    "  BEGIN\n"
                    "  SET SYSZULINTERNAL_ROWCOUNT = 0;\n"
                    "  SET SYSZULINTERNAL_FOUND = false;\n"
                    "  SIGNAL SQLSTATE 'UDNDF';\n"
                    "  END;\n"
                    "  SELECT COUNT(*) INTO n FROM x;\n"
                    "  SET SYSZULINTERNAL_ROWCOUNT = 1;\n" +
                    kFoundFromRowCount +
                    "  END;\n"
                    "  SET b = (SYSZULINTERNAL_FOUND = true);\n"
                    "  INSERT INTO x VALUES(1);\n" +
                    kRowCountAfterChange + cursorLoop("", "c", "r", "SYSZULINTERNAL_00000001", kNullStatement) +
                    "  SET n = SYSZULINTERNAL_ROWCOUNT;\n"),
     ""},
    // FOR bounds other than integer literals are rounded, not truncated. A
    // bound that names the index reads the index.
    {"ForBoundsAreRounded", false,
     "BEGIN\n"
         "  FOR k IN REVERSE -1 .. 2.5 LOOP NULL; END LOOP;\n"
         "  FOR i IN 1 .. i + 1 LOOP NULL; END LOOP;\n"
         "END;\n",
     anonymousBlock("  BEGIN\n"
                    "  DECLARE k INTEGER;\n"
                    "  DECLARE SYSZULINTERNAL_LOOP_LIMIT INTEGER;\n"
                    "  SET k = ROUND(2.5, 0);\n"
                    "  SET SYSZULINTERNAL_LOOP_LIMIT = - 1;\n"
                    "\n"
                    "  WHILE k >= SYSZULINTERNAL_LOOP_LIMIT DO\n" +
                    kNullStatement + numericLoopEnd("k", "-") +
                    "  BEGIN\n"
                    "  DECLARE i INTEGER DEFAULT 1;\n"
                    "  DECLARE SYSZULINTERNAL_LOOP_LIMIT INTEGER;\n"
                    "  SET SYSZULINTERNAL_LOOP_LIMIT = ROUND(i + 1, 0);\n"
                    "\n"
                    "  WHILE i <= SYSZULINTERNAL_LOOP_LIMIT DO\n" +
                    kNullStatement + numericLoopEnd("i")),
     "FOR loop bound naming the loop index not supported|2|3|FOR ... IN ... LOOP|i\n"},
    // A parameter qualified by its routine's name keeps that form; a local
    // variable is named through the body's label, in a standalone routine
    // and in a package's (found otherwise).
    {"ParametersQualifiedByTheRoutineName", false,
     "CREATE PROCEDURE p(id INTEGER) IS\n"
         "  n INTEGER;\n"
         "BEGIN\n"
         "  UPDATE t SET a = p.id WHERE b = P.n;\n"
         "END;\n"
         "/\n"
         "CREATE OR REPLACE PACKAGE BODY pk AS\n"
         "  PROCEDURE q(id INTEGER) IS n INTEGER; BEGIN q.n := q.id; END;\n"
         "END;\n",
     routineHead("p", {"IN id INTEGER"}) +
         "  DECLARE n INTEGER;\n"
         "  UPDATE t SET a = p.id WHERE b = SYSZULINTERNAL_BLOCK.n;\n" +
         kRoutineEnd + moduleBodyOpening("pk") + memberHead("pk", "q", {"IN id INTEGER"}) +
         "  DECLARE n INTEGER;\n"
         "  SET SYSZULINTERNAL_BLOCK.n = q.id;\n" +
         kRoutineEnd,
     ""},
    // Error numbers whose meaning changes in the target leave records;
    // SQLCODE outside every handler is 0.
    {"ErrorNumbersThatChangeMeaning", false,
     "DECLARE\n"
         "  e_busy EXCEPTION;\n"
         "  PRAGMA EXCEPTION_INIT(e_busy, -54);\n"
         "  e_app EXCEPTION;\n"
         "  PRAGMA EXCEPTION_INIT(e_app, -20050);\n"
         "BEGIN\n"
         "  n := SQLCODE;\n"
         "  RAISE_APPLICATION_ERROR(n, 'm');\n"
         "EXCEPTION\n"
         "  WHEN OTHERS THEN\n"
         "    IF -2291 = SQLCODE OR SQLCODE < 0 THEN RAISE e_app; END IF;\n"
         "    CASE SQLCODE WHEN -1476 THEN NULL; END CASE;\n"
         "END;\n",
     anonymousBlock("  DECLARE e_busy CONDITION;\n"
                    "  DECLARE e_app CONDITION FOR SQLSTATE 'UD050';\n" +
                    kErrorVariables +
                    exitHandler("SQLEXCEPTION",
                                "\n"
                                "  IF - 2291 = SYSZULINTERNAL_SQLCODE OR SYSZULINTERNAL_SQLCODE < 0 THEN\n"
                                "  SIGNAL e_app;\n"
                                "  END IF;\n"
                                "\n"
                                "\n"
                                "  CASE SYSZULINTERNAL_SQLCODE\n"
                                "  WHEN - 1476 THEN\n"
                                "  BEGIN END; -- NULL;\n"
                                "  END CASE;\n"
                                "\n") +
                    "  SET n = 0;\n"
                    "  BEGIN\n"
                    "  DECLARE SYSZULINTERNAL_APPERROR VARCHAR(2048) DEFAULT 'm';\n"
                    "  SIGNAL SQLSTATE 'UD999' SET MESSAGE_TEXT = SYSZULINTERNAL_APPERROR;\n"
                    "  END;\n"),
     "EXCEPTION_INIT with an unmapped error number not supported|2|3|PRAGMA EXCEPTION_INIT|\n"
         "SQLCODE outside an exception handler not supported|2|7|SQLCODE|SQLCODE\n"
         "RAISE_APPLICATION_ERROR with a non-literal error number not supported|2|8|RAISE_APPLICATION_ERROR|\n"
         "SQLCODE compared with an error number not supported|2|11|SQLCODE|SQLCODE\n"
         "SQLCODE compared with an error number not supported|2|12|SQLCODE|SQLCODE\n"},
};

}  // namespace

TEST(TranslateControlFlow, WholeTranslations) { expectSoundCases(kControlFlowCases); }

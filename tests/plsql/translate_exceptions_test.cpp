// Whole translations of exceptions: a query that finds no row, a built-in
// routine at the end of its data, RAISE NO_DATA_FOUND, defaults that raise,
// SQLCODE and SQLERRM, what a handler reads and where it may jump, the
// conditions of a block's handlers, cursor loops left for a handler, and the
// pragmas and trigger options without a translation. Each case compares
// every statement record and every error record.
#include <gtest/gtest.h>

#include "translate_fixture.h"

namespace {

using namespace translate_test;

const SoundCase kExceptionCases[] = {
    // A SELECT INTO that finds no row raises NO_DATA_FOUND: its guard block
    // takes the statement's label; BULK COLLECT raises nothing.
    {"QueryIntoIsGuardedBulkCollectIsNot", false,
     "DECLARE d NUMBER; BEGIN\n"
     "  <<first>> SELECT 1 INTO d FROM emp;\n"
     "  SELECT id BULK COLLECT INTO l FROM emp;\n"
     "END;\n"
     "/\n",
     "[4]\n"
     "BEGIN\n"
     "  DECLARE d NUMBER;\n"
     "  first: " +
         kNoRowGuard.substr(2) +  // the guard's BEGIN, labelled
         "  SELECT 1 INTO d FROM emp;\n"
         "  END;\n"
         "  END@\n",
     "BULK COLLECT not yet implemented|2|3|BULK COLLECT|\n"},
    // UTL_FILE.GET_LINE raises NO_DATA_FOUND past the last line; the
    // target's signals NOT FOUND, and the read loop reaches its handler
    // once the call is guarded as a query is.
    {"ReadLoopEndsInItsNoDataFoundHandler", false,
     "CREATE PROCEDURE rd(p_dir VARCHAR2) IS\n"
     "  f UTL_FILE.FILE_TYPE; l VARCHAR2(32767);\n"
     "BEGIN\n"
     "  f := UTL_FILE.FOPEN(p_dir, 'a.txt', 'r');\n"
     "  LOOP UTL_FILE.GET_LINE(f, l); DBMS_OUTPUT.PUT_LINE(l); END LOOP;\n"
     "EXCEPTION WHEN NO_DATA_FOUND THEN UTL_FILE.FCLOSE(f);\n"
     "END;\n"
     "/\n",
     routineHead("rd", {"IN p_dir VARCHAR2(4096)"}) +
         "  DECLARE f UTL_FILE.FILE_TYPE;\n  DECLARE l VARCHAR2(32672);\n" + kErrorVariables +
         exitHandler("SQLSTATE 'UDNDF'", "  CALL UTL_FILE.FCLOSE(f);\n") +
         "  SET f = UTL_FILE.FOPEN(p_dir, 'a.txt', 'r');\n\n  LOOP\n" + kNoRowGuard +
         "  CALL UTL_FILE.GET_LINE(f, l);\n  END;\n  CALL DBMS_OUTPUT.PUT_LINE(l);\n  END LOOP;\n\n" + kRoutineEnd,
     ""},
    // In a package's nested block, the guarded call sets no row count. The
    // target's DBMS_LOB.READ page does not say what an offset past the end
    // does, and its UTL_FILE has no GET_RAW: both are recorded.
    {"BuiltinsAtTheEndOfTheirDataGuardedOrRecorded", false,
     "CREATE OR REPLACE PACKAGE BODY pk IS\n"
     "  PROCEDURE load(f UTL_FILE.FILE_TYPE, b BLOB) IS\n"
     "    l VARCHAR2(200); r RAW(100); n INTEGER := 10;\n"
     "  BEGIN\n"
     "    UPDATE t SET a = 1;\n"
     "    BEGIN\n"
     "      utl_file.get_line(f, l);\n"
     "      INSERT INTO t VALUES (SQL%ROWCOUNT);\n"
     "    EXCEPTION WHEN NO_DATA_FOUND THEN NULL;\n"
     "    END;\n"
     "    dbms_lob.read(b, n, 1, r);\n"
     "    UTL_FILE.GET_RAW(f, r, 10);\n"
     "  END;\n"
     "END;\n"
     "/\n",
     moduleBodyOpening("pk") + memberHead("pk", "load", {"IN f UTL_FILE.FILE_TYPE", "IN b BLOB"}) +
         "  DECLARE l VARCHAR2(200);\n  DECLARE r BLOB(100);\n  DECLARE n INTEGER DEFAULT 10;\n" + kErrorVariables +
         "  DECLARE SYSZULINTERNAL_ROWCOUNT INTEGER;\n"
         "  UPDATE t SET a = 1;\n"
         "  GET DIAGNOSTICS SYSZULINTERNAL_ROWCOUNT = ROW_COUNT;\n"
         "  BEGIN\n" +
         exitHandler("SQLSTATE 'UDNDF'", kNullStatement) + kNoRowGuard +
         "  CALL utl_file.get_line(f, l);\n"
         "  END;\n"
         "  INSERT INTO t VALUES(SYSZULINTERNAL_ROWCOUNT);\n"
         "  GET DIAGNOSTICS SYSZULINTERNAL_ROWCOUNT = ROW_COUNT;\n"
         "  END;\n"
         "  CALL dbms_lob.read(b, n, 1, r);\n"
         "  CALL UTL_FILE.GET_RAW(f, r, 10);\n" +
         kRoutineEnd,
     "NO_DATA_FOUND out of built-in routine DBMS_LOB.READ not supported|2|11|dbms_lob.read|dbms_lob.read\n"
     "Built-in package routine UTL_FILE.GET_RAW not supported|2|12|UTL_FILE.GET_RAW|UTL_FILE.GET_RAW\n"},
    // In a trigger, and in a handler's own statements too. The trigger's
    // options that no target text stands for leave a record each.
    {"TriggerQueriesInBodyAndHandlerAndTriggerOptions", false,
     "CREATE TRIGGER trg BEFORE INSERT OF a ON emp FOR EACH ROW FOLLOWS t0 DISABLE\n"
     "BEGIN\n"
     "  SELECT dept INTO :NEW.dept FROM boss;\n"
     "EXCEPTION WHEN NO_DATA_FOUND THEN\n"
     "  SELECT 0 INTO :NEW.dept FROM dual;\n"
     "END;\n"
     "/\n",
     "[0]\n"
     "CREATE TRIGGER trg BEFORE INSERT ON emp REFERENCING NEW AS SYSZULINTERNAL_NEW FOR EACH ROW   "
     "SYSZULINTERNAL_BLOCK: BEGIN\n" +
         kErrorVariables + handlerHead("SQLSTATE 'UDNDF'") + kNoRowGuard +
         "  SELECT 0 INTO SYSZULINTERNAL_NEW.dept FROM dual;\n"
         "  END;\n"
         "  END;\n" +
         kNoRowGuard +
         "  SELECT dept INTO SYSZULINTERNAL_NEW.dept FROM boss;\n"
         "  END;\n" +
         kRoutineEnd + "\n",
     "Trigger FOLLOWS not supported|2|1|CREATE [OR REPLACE] TRIGGER ... FOLLOWS|\n"
     "Trigger DISABLE not supported|2|1|CREATE [OR REPLACE] TRIGGER ... DISABLE|\n"
     "Trigger OF columns not supported|2|1|CREATE [OR REPLACE] TRIGGER ... OF|\n"},
    // RAISE NO_DATA_FOUND, and an exception tied to its number, signal the
    // error that NO_DATA_FOUND handlers take; a handler of several
    // exceptions becomes one handler each. A delete that a child row
    // prevents raises, under the target's default delete rule, the state
    // the exception's condition names. The target refuses two handlers of
    // one block for the same condition: the first handler takes the error,
    // as in PL/SQL; a later one loses the condition (e_dup, the state of
    // DUP_VAL_ON_INDEX), and goes once it has none left.
    {"RaisedStatesAndHandlerConditions", false,
     "DECLARE\n"
     "  e_none EXCEPTION; PRAGMA EXCEPTION_INIT(e_none, 100);\n"
     "  e_dup EXCEPTION; PRAGMA EXCEPTION_INIT(e_dup, -1);\n"
     "  e_child EXCEPTION; PRAGMA EXCEPTION_INIT(e_child, -2292);\n"
     "BEGIN\n"
     "  RAISE NO_DATA_FOUND;\n"
     "  RAISE e_none;\n"
     "  DELETE FROM parent;\n"
     "EXCEPTION\n"
     "  WHEN DUP_VAL_ON_INDEX THEN NULL;\n"
     "  WHEN e_dup OR NO_DATA_FOUND OR ZERO_DIVIDE THEN RAISE;\n"
     "  WHEN e_dup THEN NULL;\n"
     "  WHEN e_child THEN NULL;\n"
     "END;\n"
     "/\n",
     anonymousBlock("  DECLARE e_none CONDITION FOR SQLSTATE 'UDNDF';\n"
                    "  DECLARE e_dup CONDITION FOR SQLSTATE '23505';\n"
                    "  DECLARE e_child CONDITION FOR SQLSTATE '23504';\n" +
                    kErrorVariables + exitHandler("SQLSTATE '23505'", "  -- NULL;\n") +
                    exitHandler("SQLSTATE 'UDNDF'", "  RESIGNAL;\n") +
                    exitHandler("SQLSTATE '22012'", "  RESIGNAL;\n") + exitHandler("e_child", "  -- NULL;\n") +
                    "  SIGNAL SQLSTATE 'UDNDF';\n"
                    "  SIGNAL e_none;\n"
                    "  DELETE FROM parent;\n"),
     ""},
    // Exceptions of other errors that the target gives one state (ORA-00942
    // and ORA-02289 are both 42704): the first handler takes the state, and
    // a later one with other statements is recorded, as its exception now
    // runs the first one's.
    {"HandlerOfAStateAnEarlierOneTakesIsRecorded", false,
     "CREATE OR REPLACE PACKAGE BODY pk IS\n"
     "  PROCEDURE drop_all IS\n"
     "    e_tab EXCEPTION; PRAGMA EXCEPTION_INIT(e_tab, -942);\n"
     "    e_seq EXCEPTION; PRAGMA EXCEPTION_INIT(e_seq, -2289);\n"
     "  BEGIN\n"
     "    EXECUTE IMMEDIATE 'DROP TABLE t';\n"
     "  EXCEPTION\n"
     "    WHEN e_tab THEN NULL;\n"
     "    WHEN e_seq THEN RAISE;\n"
     "  END;\n"
     "END;\n"
     "/\n",
     moduleBodyOpening("pk") + memberHead("pk", "drop_all") +
         "  DECLARE e_tab CONDITION FOR SQLSTATE '42704';\n"
         "  DECLARE e_seq CONDITION FOR SQLSTATE '42704';\n" +
         kErrorVariables + exitHandler("e_tab", kNullStatement) +
         dynamicBlock("DROP TABLE t", "  EXECUTE IMMEDIATE SYSZULINTERNAL_STMT_TEXT;\n") + kRoutineEnd,
     "Exception handler for e_seq with the target state of an earlier one not supported|2|9|SQLSTATE '42704'|e_seq\n"},
    // In a trigger: the nested block's handlers of TOO_MANY_ROWS and of
    // ORA-01427 (both 21000) do the same, and one handler takes both
    // without a record; the trigger's own do not.
    {"HandlersOfOneStateWithTheSameStatementsBecomeOne", false,
     "CREATE TRIGGER trg BEFORE INSERT ON emp FOR EACH ROW\n"
     "DECLARE\n"
     "  e_rows EXCEPTION; PRAGMA EXCEPTION_INIT(e_rows, -1427);\n"
     "BEGIN\n"
     "  BEGIN\n"
     "    SELECT id INTO :NEW.boss FROM boss;\n"
     "  EXCEPTION\n"
     "    WHEN TOO_MANY_ROWS THEN :NEW.boss := 0;\n"
     "    WHEN e_rows THEN :NEW.boss := 0;\n"
     "  END;\n"
     "EXCEPTION\n"
     "  WHEN TOO_MANY_ROWS THEN NULL;\n"
     "  WHEN e_rows THEN :NEW.boss := -1;\n"
     "END;\n"
     "/\n",
     "[0]\nCREATE TRIGGER trg BEFORE INSERT ON emp REFERENCING NEW AS SYSZULINTERNAL_NEW FOR EACH ROW   "
     "SYSZULINTERNAL_BLOCK: BEGIN\n"
     "  DECLARE e_rows CONDITION FOR SQLSTATE '21000';\n" +
         kErrorVariables + exitHandler("SQLSTATE '21000'", kNullStatement) + "  BEGIN\n" +
         exitHandler("SQLSTATE '21000'", "  SET SYSZULINTERNAL_NEW.boss = 0;\n") + kNoRowGuard +
         "  SELECT id INTO SYSZULINTERNAL_NEW.boss FROM boss;\n"
         "  END;\n"
         "  END;\n" +
         kRoutineEnd + "\n",
     "Exception handler for e_rows with the target state of an earlier one not supported|2|13|SQLSTATE '21000'|"
     "e_rows\n"},
    // A default that is not a literal is assigned ahead of the statements,
    // out of reach of the block's own handlers: a block with handlers moves
    // them and its statements into a block of their own.
    {"ComputedDefaultsRaiseOutOfTheirBlock", false,
     "DECLARE\n"
     "  n NUMBER := TO_NUMBER('1');\n"
     "  k NUMBER := 5;\n"
     "BEGIN\n"
     "  DECLARE m NUMBER := k + 1; BEGIN NULL; END;\n"
     "EXCEPTION WHEN OTHERS THEN NULL;\n"
     "END;\n"
     "/\n",
     anonymousBlock("  DECLARE n NUMBER;\n"
                    "  DECLARE k NUMBER DEFAULT 5;\n" +
                    kErrorVariables +
                    "  SET n = TO_NUMBER('1');\n"
                    "  BEGIN\n" +
                    exitHandler("SQLEXCEPTION", "  -- NULL;\n") +
                    "  BEGIN\n"
                    "  DECLARE m NUMBER;\n"
                    "  SET m = k + 1;\n"
                    "  -- NULL;\n"
                    "  END;\n"
                    "  END;\n"),
     ""},
    // SQLCODE and SQLERRM outside every handler are 0 and the message of
    // success, with a record each; in a handler they read its copies. A
    // comparison with an error number, through a constant, a variable that
    // holds SQLCODE or DECODE, is recorded; one with 0, or of a variable of
    // another routine, is not.
    {"SqlcodeAndSqlerrm", false,
     "CREATE OR REPLACE PACKAGE BODY pk IS\n"
     "  c_missing CONSTANT NUMBER := -2289;\n"
     "  PROCEDURE p IS\n"
     "    l NUMBER;\n"
     "  BEGIN\n"
     "    INSERT INTO err_log VALUES (SQLCODE, SQLERRM);\n"
     "  EXCEPTION WHEN OTHERS THEN\n"
     "    l := SQLCODE;\n"
     "    l := CASE WHEN SQLCODE != c_missing OR l = -942 THEN 1 END;\n"
     "    l := DECODE(SQLCODE, -1, 1, 0) + DECODE(SQLCODE, 0, 1, 2);\n"
     "    INSERT INTO err_log VALUES (SQLCODE, SQLERRM);\n"
     "  END;\n"
     "  PROCEDURE q IS l NUMBER; BEGIN l := CASE WHEN l = -942 THEN 1 END; END;\n"
     "END;\n"
     "/\n",
     moduleBodyOpening("pk") + moduleMember("pk", "VARIABLE c_missing NUMBER CONSTANT (- 2289)") +
         memberHead("pk", "p") + "  DECLARE l NUMBER;\n" + kErrorVariables + handlerHead("SQLEXCEPTION") +
         "  SET l = SYSZULINTERNAL_SQLCODE;\n"
         "  SET l = CASE WHEN SYSZULINTERNAL_SQLCODE != c_missing OR l = - 942 THEN 1 END;\n"
         "  SET l = DECODE(SYSZULINTERNAL_SQLCODE, - 1, 1, 0) + DECODE(SYSZULINTERNAL_SQLCODE, 0, 1, 2);\n"
         "  INSERT INTO err_log VALUES(SYSZULINTERNAL_SQLCODE, SYSZULINTERNAL_SQLERRM);\n"
         "  END;\n"
         "  INSERT INTO err_log VALUES(0, 'ORA-0000: normal, successful completion');\n" +
         kRoutineEnd + memberHead("pk", "q") +
         "  DECLARE l NUMBER;\n"
         "  SET l = CASE WHEN l = - 942 THEN 1 END;\n" +
         kRoutineEnd,
     "SQLCODE outside an exception handler not supported|2|6|SQLCODE|SQLCODE\n"
     "SQLERRM outside an exception handler not supported|2|6|SQLERRM|SQLERRM\n"
     "SQLERRM beside SQLCODE in one exception handler not supported|2|11|SQLERRM|SQLERRM\n"
     "SQLCODE compared with an error number not supported|2|9|SQLCODE|SQLCODE\n"
     "SQLCODE compared with an error number not supported|2|9|SQLCODE|l\n"
     "SQLCODE compared with an error number not supported|2|10|SQLCODE|SQLCODE\n"},
    // The target resets SQLCODE and SQLSTATE with a handler's first
    // statement: a handler that reads the message alone takes the error's
    // own message before it copies them. A handler reads the row count that
    // the statements of its block left.
    {"HandlerReadingTheMessageAloneAndTheRowCount", false,
     "BEGIN\n"
     "  UPDATE t SET a = 1;\n"
     "EXCEPTION WHEN OTHERS THEN\n"
     "  INSERT INTO err_log VALUES (SQLERRM, SQL%ROWCOUNT);\n"
     "END;\n"
     "/\n",
     anonymousBlock(kErrorVariables +
                    "  DECLARE SYSZULINTERNAL_ROWCOUNT INTEGER;\n"
                    "  DECLARE EXIT HANDLER FOR SQLEXCEPTION\n"
                    "  BEGIN\n"
                    "  GET DIAGNOSTICS EXCEPTION 1 SYSZULINTERNAL_SQLERRM = MESSAGE_TEXT;\n"
                    "  VALUES(SQLCODE, SQLSTATE) INTO SYSZULINTERNAL_SQLCODE, SYSZULINTERNAL_SQLSTATE;\n"
                    "  INSERT INTO err_log VALUES(SYSZULINTERNAL_SQLERRM, SYSZULINTERNAL_ROWCOUNT);\n"
                    "  GET DIAGNOSTICS SYSZULINTERNAL_ROWCOUNT = ROW_COUNT;\n"
                    "  END;\n"
                    "  UPDATE t SET a = 1;\n"
                    "  GET DIAGNOSTICS SYSZULINTERNAL_ROWCOUNT = ROW_COUNT;\n"),
     ""},
    // The target refuses a jump out of a handler: CONTINUE for a loop around
    // it is recorded (ITERATE still steps the index first), and so is a
    // GOTO to a label outside the handler (not one of its own); a loop
    // inside the handler is left as usual.
    {"JumpsOutOfAHandlerLoopInsideOne", false,
     "BEGIN\n"
     "  FOR i IN 1 .. 3 LOOP\n"
     "    BEGIN UPDATE q SET a = i; EXCEPTION WHEN OTHERS THEN CONTINUE; END;\n"
     "  END LOOP;\n"
     "  BEGIN UPDATE t SET a = 1;\n"
     "  EXCEPTION WHEN OTHERS THEN GOTO retry; <<retry>> GOTO finish;\n"
     "  END;\n"
     "  <<finish>> NULL;\n"
     "EXCEPTION WHEN OTHERS THEN\n"
     "  LOOP EXIT; END LOOP;\n"
     "END;\n"
     "/\n",
     anonymousBlock(kErrorVariables +
                    exitHandler("SQLEXCEPTION",
                                "\n"
                                "  SYSZULINTERNAL_00000002: LOOP\n"
                                "  LEAVE SYSZULINTERNAL_00000002;\n"
                                "  END LOOP SYSZULINTERNAL_00000002;\n"
                                "\n") +
                    "  BEGIN\n"
                    "  DECLARE i INTEGER DEFAULT 1;\n"
                    "  DECLARE SYSZULINTERNAL_LOOP_LIMIT INTEGER DEFAULT 3;\n"
                    "\n"
                    "  SYSZULINTERNAL_00000001: WHILE i <= SYSZULINTERNAL_LOOP_LIMIT DO\n"
                    "  BEGIN\n" +
                    exitHandler("SQLEXCEPTION",
                                "  SET i = i + 1;\n"
                                "  ITERATE SYSZULINTERNAL_00000001;\n") +
                    "  UPDATE q SET a = i;\n"
                    "  END;\n" +
                    numericLoopEnd("i") + "  BEGIN\n" +
                    exitHandler("SQLEXCEPTION",
                                "  GOTO retry;\n"
                                "  retry: GOTO finish;\n") +
                    "  UPDATE t SET a = 1;\n"
                    "  END;\n"
                    "  finish: BEGIN END; -- NULL;\n"),
     "CONTINUE in an exception handler not supported|2|3|CONTINUE|\n"
     "GOTO in an exception handler not supported|2|6|GOTO|\n"},
    // A cursor loop closes its cursor when an exception leaves it for a
    // handler of the block that declares the cursor; one inside that
    // handler has no such handler to reach.
    {"CursorLoopLeftForItsBlocksHandler", false,
     "DECLARE\n"
     "  CURSOR c IS SELECT id FROM emp;\n"
     "BEGIN\n"
     "  FOR r IN c LOOP NULL; END LOOP;\n"
     "EXCEPTION WHEN OTHERS THEN\n"
     "  FOR r IN c LOOP NULL; END LOOP;\n"
     "END;\n"
     "/\n",
     anonymousBlock("  DECLARE c CURSOR CONSTANT (CURSOR FOR SELECT id FROM emp);\n" + kErrorVariables +
                    exitHandler("SQLEXCEPTION", cursorLoop("", "c", "r", "SYSZULINTERNAL_00000002", "  -- NULL;\n")) +
                    cursorLoop("", "c", "r", "SYSZULINTERNAL_00000001", "  -- NULL;\n", cursorCloseHandler("c"))),
     ""},
    // Pragmas that no target text stands for leave a record each, in a
    // package head and body alike; the pragmas the target has a text for
    // (AUTONOMOUS_TRANSACTION of a routine, EXCEPTION_INIT) and those that
    // speak only to the compiler (RESTRICT_REFERENCES, UDF) leave none.
    {"Pragmas", false,
     "CREATE OR REPLACE PACKAGE pk IS\n"
     "  PRAGMA SERIALLY_REUSABLE;\n"
     "  FUNCTION f RETURN NUMBER;\n"
     "  PRAGMA RESTRICT_REFERENCES(f, WNDS);\n"
     "END;\n"
     "/\n"
     "CREATE OR REPLACE PACKAGE BODY pk IS\n"
     "  pragma serially_reusable;\n"
     "  PRAGMA AUTONOMOUS_TRANSACTION;\n"
     "  FUNCTION f RETURN NUMBER IS PRAGMA UDF; BEGIN RETURN 1; END;\n"
     "END;\n"
     "/\n"
     "CREATE PROCEDURE p IS\n"
     "  PRAGMA AUTONOMOUS_TRANSACTION;\n"
     "  e EXCEPTION; PRAGMA EXCEPTION_INIT(e, -20001);\n"
     "BEGIN\n"
     "  RAISE e;\n"
     "END;\n"
     "/\n",
     packageHead("pk", {"FUNCTION f() RETURNS NUMBER LANGUAGE SQL "}) + moduleBodyOpening("pk") +
         routineOrMemberHead("pk", "FUNCTION", "f") + "  RETURN 1;\n" + kRoutineEnd +
         "[1]\n"
         "CREATE PROCEDURE p SPECIFIC p\n"
         "AUTONOMOUS\n"
         "LANGUAGE SQL\n"
         "  SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  DECLARE e CONDITION FOR SQLSTATE 'UD001';\n"
         "  SIGNAL e;\n" +
         kRoutineEnd,
     "PRAGMA SERIALLY_REUSABLE not supported|2|2|PRAGMA SERIALLY_REUSABLE...|\n"
     "PRAGMA SERIALLY_REUSABLE not supported|2|8|PRAGMA SERIALLY_REUSABLE...|\n"
     "AUTONOMOUS_XACT not permitted in this context|2|9|AUTONOMOUS_XACT|\n"},
};

TEST(TranslateExceptions, WholeTranslations) { expectSoundCases(kExceptionCases); }

}  // namespace

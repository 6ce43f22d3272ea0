// Whole translations of everyday package code whose meaning the target
// would change: the error code and state a handler reads, a division stored
// in a type of fixed scale, the calls of the run's functions without
// parentheses, the row counts after a query that finds no row, the error
// state of a delete that a child row prevents, the cursors private to a
// package body, SUBSTR with a negated start, and EXIT or CONTINUE out of a
// handler. Each case compares every statement record and every error record.
#include <gtest/gtest.h>

#include "translate_fixture.h"

namespace {

using translate_test::expectSoundCases;
using translate_test::SoundCase;

// The target resets SQLCODE and SQLSTATE with a handler's first statement:
// the handler copies them there, and takes the message from the copied code
// (a record says so where it reads both). A handler that reads the message
// alone takes the error's own message first.
const SoundCase kHandlersKeepTheErrorCode[] = {
    {"MessageAloneIsTheErrorsOwn", false,
     "CREATE OR REPLACE PROCEDURE note_failure IS\n"
     "BEGIN\n"
     "  UPDATE t SET a = 1;\n"
     "EXCEPTION\n"
     "  WHEN OTHERS THEN\n"
     "    INSERT INTO err_log(msg) VALUES (SUBSTR(SQLERRM, 1, 200));\n"
     "END;\n"
     "/\n",
     "[1]\n"
     "CREATE OR REPLACE PROCEDURE note_failure SPECIFIC note_failure\n"
     "LANGUAGE SQL\n"
     "  SYSZULINTERNAL_BLOCK: BEGIN\n"
     + translate_test::kErrorVariables +
     "  DECLARE EXIT HANDLER FOR SQLEXCEPTION\n"
     "  BEGIN\n"
     "  GET DIAGNOSTICS EXCEPTION 1 SYSZULINTERNAL_SQLERRM = MESSAGE_TEXT;\n"
     "  VALUES(SQLCODE, SQLSTATE) INTO SYSZULINTERNAL_SQLCODE, SYSZULINTERNAL_SQLSTATE;\n"
     "  INSERT INTO err_log(msg) VALUES(SUBSTR(SYSZULINTERNAL_SQLERRM, 1, 200));\n"
     "  END;\n"
     "  UPDATE t SET a = 1;\n"
     "  END@\n"
     "\n"
     "\n",
     ""},
    {"LoggingHandlerKeepsTheCode", false,
     "CREATE OR REPLACE PROCEDURE err_log_p IS\n"
     "  v_code NUMBER;\n"
     "  v_msg VARCHAR2(200);\n"
     "BEGIN\n"
     "  UPDATE t SET a = 1;\n"
     "EXCEPTION\n"
     "  WHEN OTHERS THEN\n"
     "    v_code := SQLCODE;\n"
     "    v_msg := SUBSTR(SQLERRM, 1, 200);\n"
     "    INSERT INTO err_log(code, msg) VALUES (v_code, v_msg);\n"
     "    COMMIT;\n"
     "END;\n"
     "/\n",
     "[1]\n"
     "CREATE OR REPLACE PROCEDURE err_log_p SPECIFIC err_log_p\n"
     "LANGUAGE SQL\n"
     "  SYSZULINTERNAL_BLOCK: BEGIN\n"
     "  DECLARE v_code NUMBER;\n"
     "  DECLARE v_msg VARCHAR2(200);\n"
     + translate_test::kErrorVariables +
     "  DECLARE EXIT HANDLER FOR SQLEXCEPTION\n"
     "  BEGIN\n"
     + translate_test::kHandlerCodes +
     "  SET v_code = SYSZULINTERNAL_SQLCODE;\n"
     "  SET v_msg = SUBSTR(SYSZULINTERNAL_SQLERRM, 1, 200);\n"
     "  INSERT INTO err_log(code, msg) VALUES(v_code, v_msg);\n"
     "  COMMIT ;\n"
     "  END;\n"
     "  UPDATE t SET a = 1;\n"
     "  END@\n"
     "\n"
     "\n",
     "SQLERRM beside SQLCODE in one exception handler not supported|2|9|SQLERRM|SQLERRM\n"},
    {"EveryHandlerCopiesFirst", false,
     "CREATE OR REPLACE PROCEDURE two_handlers(p NUMBER) IS\n"
     "  v NUMBER;\n"
     "BEGIN\n"
     "  SELECT a INTO v FROM t WHERE id = p;\n"
     "EXCEPTION\n"
     "  WHEN NO_DATA_FOUND THEN\n"
     "    INSERT INTO err_log VALUES (SQLCODE, 'none');\n"
     "  WHEN OTHERS THEN\n"
     "    IF SQLCODE = -1 THEN\n"
     "      RAISE;\n"
     "    END IF;\n"
     "END;\n"
     "/\n",
     "[1]\n"
     "CREATE OR REPLACE PROCEDURE two_handlers(\n"
     "IN p NUMBER) SPECIFIC two_handlers\n"
     "LANGUAGE SQL\n"
     "  SYSZULINTERNAL_BLOCK: BEGIN\n"
     "  DECLARE v NUMBER;\n"
     + translate_test::kErrorVariables +
     "  DECLARE EXIT HANDLER FOR SQLSTATE 'UDNDF'\n"
     "  BEGIN\n"
     + translate_test::kHandlerCodes +
     "  INSERT INTO err_log VALUES(SYSZULINTERNAL_SQLCODE, 'none');\n"
     "  END;\n"
     "  DECLARE EXIT HANDLER FOR SQLEXCEPTION\n"
     "  BEGIN\n"
     + translate_test::kHandlerCodes +
     "\n"
     "  IF SYSZULINTERNAL_SQLCODE = - 1 THEN\n"
     "  RESIGNAL;\n"
     "  END IF;\n"
     "\n"
     "  END;\n"
     + translate_test::kNoRowGuard +
     "  SELECT a INTO v FROM t WHERE id = p;\n"
     "  END;\n"
     "  END@\n"
     "\n"
     "\n",
     "SQLCODE compared with an error number not supported|2|9|SQLCODE|SQLCODE\n"},
};

// A function of the run called without arguments gets its parentheses, in a
// parameter's default too, and when every parameter has a default.
const SoundCase kCallsOfTheRunsFunctions[] = {
    {"FunctionInAParameterDefault", false,
     "CREATE OR REPLACE PACKAGE BODY cfg IS\n"
     "  FUNCTION get_limit RETURN NUMBER IS\n"
     "  BEGIN\n"
     "    RETURN 10;\n"
     "  END;\n"
     "  PROCEDURE run(p_max NUMBER DEFAULT get_limit) IS\n"
     "    v NUMBER := get_limit;\n"
     "  BEGIN\n"
     "    v := GREATEST(get_limit, p_max);\n"
     "  END;\n"
     "END cfg;\n"
     "/\n",
     "[3]\n"
     "ALTER MODULE cfg DROP BODY@\n"
     "[3]\n"
     "COMMENT ON MODULE cfg IS 'PL/SQL Package Body'@\n"
     "[3]\n"
     "  ALTER MODULE cfg ADD FUNCTION get_limit()\n"
     "  RETURNS NUMBER\n"
     "  LANGUAGE SQL\n"
     "  SYSZULINTERNAL_BLOCK: BEGIN\n"
     "  RETURN 10;\n"
     "  END@\n"
     "\n"
     "\n"
     "[3]\n"
     "  ALTER MODULE cfg ADD PROCEDURE run(\n"
     "  IN p_max NUMBER DEFAULT get_limit())\n"
     "  LANGUAGE SQL\n"
     "  SYSZULINTERNAL_BLOCK: BEGIN\n"
     "  DECLARE v NUMBER;\n"
     "  SET v = get_limit();\n"
     "  SET v = GREATEST(get_limit(), p_max);\n"
     "  END@\n"
     "\n"
     "\n",
     ""},
    {"FunctionWhoseParametersAllHaveDefaults", false,
     "CREATE OR REPLACE PACKAGE BODY k IS\n"
     "  FUNCTION f(p NUMBER DEFAULT 1) RETURN NUMBER IS\n"
     "  BEGIN\n"
     "    RETURN p;\n"
     "  END;\n"
     "  PROCEDURE q IS\n"
     "    v NUMBER;\n"
     "  BEGIN\n"
     "    v := f;\n"
     "  END;\n"
     "END k;\n"
     "/\n",
     "[3]\n"
     "ALTER MODULE k DROP BODY@\n"
     "[3]\n"
     "COMMENT ON MODULE k IS 'PL/SQL Package Body'@\n"
     "[3]\n"
     "  ALTER MODULE k ADD FUNCTION f(\n"
     "  p NUMBER DEFAULT 1)\n"
     "  RETURNS NUMBER\n"
     "  LANGUAGE SQL\n"
     "  SYSZULINTERNAL_BLOCK: BEGIN\n"
     "  RETURN p;\n"
     "  END@\n"
     "\n"
     "\n"
     "[3]\n"
     "  ALTER MODULE k ADD PROCEDURE q\n"
     "  LANGUAGE SQL\n"
     "  SYSZULINTERNAL_BLOCK: BEGIN\n"
     "  DECLARE v NUMBER;\n"
     "  SET v = f();\n"
     "  END@\n"
     "\n"
     "\n",
     ""},
};

// A query that finds no row sets the row counts before NO_DATA_FOUND.
const SoundCase kMissingRowSetsTheRowCounts[] = {
    {"RowCountAfterAnEarlierUpdate", false,
     "CREATE OR REPLACE PROCEDURE rc_after_ndf(p NUMBER) IS\n"
     "  v NUMBER;\n"
     "BEGIN\n"
     "  UPDATE t SET a = 1 WHERE g = p;\n"
     "  SELECT x INTO v FROM t WHERE id = p;\n"
     "EXCEPTION\n"
     "  WHEN NO_DATA_FOUND THEN\n"
     "    INSERT INTO t_log VALUES ('rows', SQL%ROWCOUNT);\n"
     "END;\n"
     "/\n",
     "[1]\n"
     "CREATE OR REPLACE PROCEDURE rc_after_ndf(\n"
     "IN p NUMBER) SPECIFIC rc_after_ndf\n"
     "LANGUAGE SQL\n"
     "  SYSZULINTERNAL_BLOCK: BEGIN\n"
     "  DECLARE v NUMBER;\n"
     + translate_test::kErrorVariables +
     "  DECLARE SYSZULINTERNAL_ROWCOUNT INTEGER;\n"
     "  DECLARE EXIT HANDLER FOR SQLSTATE 'UDNDF'\n"
     "  BEGIN\n"
     + translate_test::kHandlerCodes +
     "  INSERT INTO t_log VALUES('rows', SYSZULINTERNAL_ROWCOUNT);\n"
     "  GET DIAGNOSTICS SYSZULINTERNAL_ROWCOUNT = ROW_COUNT;\n"
     "  END;\n"
     "  UPDATE t SET a = 1 WHERE g = p;\n"
     "  GET DIAGNOSTICS SYSZULINTERNAL_ROWCOUNT = ROW_COUNT;\n"
     "  BEGIN\n"
     "  DECLARE EXIT HANDLER FOR NOT FOUND\n"
     "  BEGIN\n"
     "  SET SYSZULINTERNAL_ROWCOUNT = 0;\n"
     "  SIGNAL SQLSTATE 'UDNDF';\n"
     "  END;\n"
     "  SELECT x INTO v FROM t WHERE id = p;\n"
     "  SET SYSZULINTERNAL_ROWCOUNT = 1;\n"
     "  END;\n"
     "  END@\n"
     "\n"
     "\n",
     ""},
    {"NotFoundAndRowCount", false,
     "CREATE OR REPLACE PROCEDURE rc_found(p NUMBER) IS\n"
     "  v NUMBER;\n"
     "BEGIN\n"
     "  DELETE FROM t WHERE g = p;\n"
     "  SELECT x INTO v FROM t WHERE id = p;\n"
     "EXCEPTION\n"
     "  WHEN NO_DATA_FOUND THEN\n"
     "    IF SQL%NOTFOUND THEN\n"
     "      INSERT INTO t_log VALUES ('none', SQL%ROWCOUNT);\n"
     "    END IF;\n"
     "END;\n"
     "/\n",
     "[1]\n"
     "CREATE OR REPLACE PROCEDURE rc_found(\n"
     "IN p NUMBER) SPECIFIC rc_found\n"
     "LANGUAGE SQL\n"
     "  SYSZULINTERNAL_BLOCK: BEGIN\n"
     "  DECLARE v NUMBER;\n"
     + translate_test::kErrorVariables +
     "  DECLARE SYSZULINTERNAL_ROWCOUNT INTEGER;\n"
     "  DECLARE SYSZULINTERNAL_NOTFOUND BOOLEAN;\n"
     "  DECLARE EXIT HANDLER FOR SQLSTATE 'UDNDF'\n"
     "  BEGIN\n"
     + translate_test::kHandlerCodes +
     "\n"
     "  IF (SYSZULINTERNAL_NOTFOUND = true) THEN\n"
     "  INSERT INTO t_log VALUES('none', SYSZULINTERNAL_ROWCOUNT);\n"
     "  GET DIAGNOSTICS SYSZULINTERNAL_ROWCOUNT = ROW_COUNT;\n"
     "  SET SYSZULINTERNAL_NOTFOUND = (CASE WHEN SYSZULINTERNAL_ROWCOUNT <= 0 THEN true ELSE false END);\n"
     "  END IF;\n"
     "\n"
     "  END;\n"
     "  DELETE FROM t WHERE g = p;\n"
     "  GET DIAGNOSTICS SYSZULINTERNAL_ROWCOUNT = ROW_COUNT;\n"
     "  SET SYSZULINTERNAL_NOTFOUND = (CASE WHEN SYSZULINTERNAL_ROWCOUNT <= 0 THEN true ELSE false END);\n"
     "  BEGIN\n"
     "  DECLARE EXIT HANDLER FOR NOT FOUND\n"
     "  BEGIN\n"
     "  SET SYSZULINTERNAL_ROWCOUNT = 0;\n"
     "  SET SYSZULINTERNAL_NOTFOUND = true;\n"
     "  SIGNAL SQLSTATE 'UDNDF';\n"
     "  END;\n"
     "  SELECT x INTO v FROM t WHERE id = p;\n"
     "  SET SYSZULINTERNAL_ROWCOUNT = 1;\n"
     "  SET SYSZULINTERNAL_NOTFOUND = (CASE WHEN SYSZULINTERNAL_ROWCOUNT <= 0 THEN true ELSE false END);\n"
     "  END;\n"
     "  END@\n"
     "\n"
     "\n",
     ""},
};

// A delete that a child row prevents raises, under the target's default
// delete rule, the state the exception's condition names.
const SoundCase kChildRowErrorState[] = {
    {"ExceptionInitOfTheChildRowError", false,
     "CREATE OR REPLACE PROCEDURE exc_init IS\n"
     "  e_child EXCEPTION;\n"
     "  PRAGMA EXCEPTION_INIT(e_child, -2292);\n"
     "BEGIN\n"
     "  DELETE FROM parent WHERE id = 1;\n"
     "EXCEPTION\n"
     "  WHEN e_child THEN\n"
     "    UPDATE parent SET active = 0 WHERE id = 1;\n"
     "END;\n"
     "/\n",
     "[1]\n"
     "CREATE OR REPLACE PROCEDURE exc_init SPECIFIC exc_init\n"
     "LANGUAGE SQL\n"
     "  SYSZULINTERNAL_BLOCK: BEGIN\n"
     "  DECLARE e_child CONDITION FOR SQLSTATE '23504';\n"
     + translate_test::kErrorVariables +
     "  DECLARE EXIT HANDLER FOR e_child\n"
     "  BEGIN\n"
     + translate_test::kHandlerCodes +
     "  UPDATE parent SET active = 0 WHERE id = 1;\n"
     "  END;\n"
     "  DELETE FROM parent WHERE id = 1;\n"
     "  END@\n"
     "\n"
     "\n",
     ""},
};

// A cursor of a package body stays private; one of the package spec is
// published.
const SoundCase kPackageCursors[] = {
    {"BodyCursorIsPrivate", false,
     "CREATE OR REPLACE PACKAGE BODY lp IS\n"
     "  CURSOR g_c IS SELECT id FROM t;\n"
     "  g_n NUMBER;\n"
     "  PROCEDURE p IS\n"
     "  BEGIN\n"
     "    FOR r IN g_c LOOP\n"
     "      g_n := r.id;\n"
     "    END LOOP;\n"
     "  END;\n"
     "END lp;\n"
     "/\n",
     "[3]\n"
     "ALTER MODULE lp DROP BODY@\n"
     "[3]\n"
     "COMMENT ON MODULE lp IS 'PL/SQL Package Body'@\n"
     "[3]\n"
     "  ALTER MODULE lp ADD VARIABLE g_c CURSOR CONSTANT (CURSOR FOR SELECT id FROM t)@\n"
     "[3]\n"
     "  ALTER MODULE lp ADD VARIABLE g_n NUMBER@\n"
     "[3]\n"
     "  ALTER MODULE lp ADD PROCEDURE p\n"
     "  LANGUAGE SQL\n"
     "  SYSZULINTERNAL_BLOCK: BEGIN\n"
     "  BEGIN\n"
     "  DECLARE r ANCHOR TO ROW g_c;\n"
     "  DECLARE EXIT HANDLER FOR SQLEXCEPTION\n"
     "  BEGIN\n"
     "\n"
     "  IF g_c IS OPEN THEN\n"
     "  CLOSE g_c ;\n"
     "  END IF;\n"
     "\n"
     "  RESIGNAL;\n"
     "  END;\n"
     "  OPEN g_c;\n"
     "\n"
     "  SYSZULINTERNAL_00000001: LOOP\n"
     "  FETCH g_c INTO r;\n"
     "  IF g_c IS NOT FOUND THEN LEAVE SYSZULINTERNAL_00000001; END IF;\n"
     "  SET g_n = r.id;\n"
     "  END LOOP SYSZULINTERNAL_00000001;\n"
     "\n"
     "  CLOSE g_c ;\n"
     "  END;\n"
     "  END@\n"
     "\n"
     "\n",
     ""},
    {"SpecCursorIsPublished", false,
     "CREATE OR REPLACE PACKAGE lp IS\n"
     "  CURSOR pub_c IS SELECT id FROM t;\n"
     "END lp;\n"
     "/\n"
     "CREATE OR REPLACE PACKAGE BODY lp IS\n"
     "  CURSOR g_c IS SELECT id FROM t;\n"
     "END lp;\n"
     "/\n",
     "[3]\n"
     "CREATE OR REPLACE MODULE lp@\n"
     "[3]\n"
     "ALTER MODULE lp PUBLISH VARIABLE pub_c CURSOR CONSTANT (CURSOR FOR SELECT id FROM t)@\n"
     "[3]\n"
     "ALTER MODULE lp DROP BODY@\n"
     "[3]\n"
     "COMMENT ON MODULE lp IS 'PL/SQL Package Body'@\n"
     "[3]\n"
     "  ALTER MODULE lp ADD VARIABLE g_c CURSOR CONSTANT (CURSOR FOR SELECT id FROM t)@\n",
     ""},
};

// SUBSTR with a negated name, call or group tests the start's sign at run
// time; a longer negated expression is recorded.
const SoundCase kSubstrWithANegatedStart[] = {
    {"NegatedNameCallAndGroup", false,
     "CREATE OR REPLACE PROCEDURE sub_neg(p VARCHAR2, n NUMBER) IS\n"
     "  v VARCHAR2(100);\n"
     "BEGIN\n"
     "  v := SUBSTR(p, -n);\n"
     "  v := SUBSTR(p, -(n + 1), 2);\n"
     "  v := SUBSTR(p, -LENGTH(v));\n"
     "END;\n"
     "/\n",
     "[1]\n"
     "CREATE OR REPLACE PROCEDURE sub_neg(\n"
     "IN p VARCHAR2(4096), \n"
     "IN n NUMBER) SPECIFIC sub_neg\n"
     "LANGUAGE SQL\n"
     "  SYSZULINTERNAL_BLOCK: BEGIN\n"
     "  DECLARE v VARCHAR2(100);\n"
     "  SET v = CASE WHEN n <= 0 THEN SUBSTR(p, GREATEST(- n, 1)) WHEN LENGTH(p) >= n THEN SUBSTR(p, LENGTH(p) - n + 1) END;\n"
     "  SET v = CASE WHEN(n + 1) <= 0 THEN SUBSTR(p, GREATEST(-(n + 1), 1), 2) WHEN LENGTH(p) >=(n + 1) THEN SUBSTR(p, LENGTH(p) -(n + 1) + 1, 2) END;\n"
     "  SET v = CASE WHEN LENGTH(v) <= 0 THEN SUBSTR(p, GREATEST(- LENGTH(v), 1)) WHEN LENGTH(p) >= LENGTH(v) THEN SUBSTR(p, LENGTH(p) - LENGTH(v) + 1) END;\n"
     "  END@\n"
     "\n"
     "\n",
     ""},
    {"LongerExpressionsAreRecorded", false,
     "CREATE OR REPLACE PROCEDURE sub_expr(p VARCHAR2, n NUMBER) IS\n"
     "  v VARCHAR2(100);\n"
     "BEGIN\n"
     "  v := SUBSTR(p, -n + 1);\n"
     "  v := SUBSTR(p, -n);\n"
     "  v := SUBSTR(p, -3, 1);\n"
     "  SELECT SUBSTR(name, -n * 2) INTO v FROM t WHERE id = n;\n"
     "END;\n"
     "/\n",
     "[1]\n"
     "CREATE OR REPLACE PROCEDURE sub_expr(\n"
     "IN p VARCHAR2(4096), \n"
     "IN n NUMBER) SPECIFIC sub_expr\n"
     "LANGUAGE SQL\n"
     "  SYSZULINTERNAL_BLOCK: BEGIN\n"
     "  DECLARE v VARCHAR2(100);\n"
     "  SET v = SUBSTR(p, - n + 1);\n"
     "  SET v = CASE WHEN n <= 0 THEN SUBSTR(p, GREATEST(- n, 1)) WHEN LENGTH(p) >= n THEN SUBSTR(p, LENGTH(p) - n + 1) END;\n"
     "  SET v = CASE WHEN LENGTH(p) >= 3 THEN SUBSTR(p, LENGTH(p) - 2, 1) END;\n"
     + translate_test::kNoRowGuard +
     "  SELECT SUBSTR(name, - n * 2) INTO v FROM t WHERE id = n;\n"
     "  END;\n"
     "  END@\n"
     "\n"
     "\n",
     "SUBSTR with a negative start not supported|2|4|SUBSTR|SUBSTR\n"
     "SUBSTR with a negative start not supported|2|7|SUBSTR|SUBSTR\n"},
};

// The target refuses a LEAVE or ITERATE out of a handler: EXIT and CONTINUE
// in a handler for a loop around it are recorded; a loop inside the handler
// is left as usual.
const SoundCase kJumpsOutOfAHandler[] = {
    {"ExitWhenNoMoreRows", false,
     "CREATE OR REPLACE PROCEDURE exit_in_handler IS\n"
     "  v NUMBER;\n"
     "BEGIN\n"
     "  LOOP\n"
     "    BEGIN\n"
     "      SELECT a INTO v FROM q WHERE rownum = 1;\n"
     "      DELETE FROM q WHERE a = v;\n"
     "    EXCEPTION\n"
     "      WHEN NO_DATA_FOUND THEN\n"
     "        EXIT;\n"
     "    END;\n"
     "  END LOOP;\n"
     "END;\n"
     "/\n",
     "[1]\n"
     "CREATE OR REPLACE PROCEDURE exit_in_handler SPECIFIC exit_in_handler\n"
     "LANGUAGE SQL\n"
     "  SYSZULINTERNAL_BLOCK: BEGIN\n"
     "  DECLARE v NUMBER;\n"
     + translate_test::kErrorVariables +
     "\n"
     "  SYSZULINTERNAL_00000001: LOOP\n"
     "  BEGIN\n"
     "  DECLARE EXIT HANDLER FOR SQLSTATE 'UDNDF'\n"
     "  BEGIN\n"
     + translate_test::kHandlerCodes +
     "  LEAVE SYSZULINTERNAL_00000001;\n"
     "  END;\n"
     + translate_test::kNoRowGuard +
     "  SELECT a INTO v FROM q WHERE rownum = 1;\n"
     "  END;\n"
     "  DELETE FROM q WHERE a = v;\n"
     "  END;\n"
     "  END LOOP SYSZULINTERNAL_00000001;\n"
     "\n"
     "  END@\n"
     "\n"
     "\n",
     "EXIT in an exception handler not supported|2|10|EXIT|\n"},
    {"ContinueAndExitButNotALoopOfTheHandler", false,
     "CREATE OR REPLACE PROCEDURE jumps_in_handlers IS\n"
     "  v NUMBER;\n"
     "BEGIN\n"
     "  FOR i IN 1 .. 3 LOOP\n"
     "    BEGIN\n"
     "      SELECT a INTO v FROM q WHERE id = i;\n"
     "    EXCEPTION\n"
     "      WHEN NO_DATA_FOUND THEN\n"
     "        CONTINUE;\n"
     "      WHEN OTHERS THEN\n"
     "        EXIT;\n"
     "    END;\n"
     "  END LOOP;\n"
     "  BEGIN\n"
     "    UPDATE q SET a = 0;\n"
     "  EXCEPTION\n"
     "    WHEN OTHERS THEN\n"
     "      LOOP\n"
     "        EXIT;\n"
     "      END LOOP;\n"
     "  END;\n"
     "END;\n"
     "/\n",
     "[1]\n"
     "CREATE OR REPLACE PROCEDURE jumps_in_handlers SPECIFIC jumps_in_handlers\n"
     "LANGUAGE SQL\n"
     "  SYSZULINTERNAL_BLOCK: BEGIN\n"
     "  DECLARE v NUMBER;\n"
     + translate_test::kErrorVariables +
     "  BEGIN\n"
     "  DECLARE i INTEGER DEFAULT 1;\n"
     "  DECLARE SYSZULINTERNAL_LOOP_LIMIT INTEGER DEFAULT 3;\n"
     "\n"
     "  SYSZULINTERNAL_00000001: WHILE i <= SYSZULINTERNAL_LOOP_LIMIT DO\n"
     "  BEGIN\n"
     "  DECLARE EXIT HANDLER FOR SQLSTATE 'UDNDF'\n"
     "  BEGIN\n"
     + translate_test::kHandlerCodes +
     "  SET i = i + 1;\n"
     "  ITERATE SYSZULINTERNAL_00000001;\n"
     "  END;\n"
     "  DECLARE EXIT HANDLER FOR SQLEXCEPTION\n"
     "  BEGIN\n"
     + translate_test::kHandlerCodes +
     "  LEAVE SYSZULINTERNAL_00000001;\n"
     "  END;\n"
     + translate_test::kNoRowGuard +
     "  SELECT a INTO v FROM q WHERE id = i;\n"
     "  END;\n"
     "  END;\n"
     "  SET i = i + 1;\n"
     "  END WHILE;\n"
     "\n"
     "  END;\n"
     "  BEGIN\n"
     "  DECLARE EXIT HANDLER FOR SQLEXCEPTION\n"
     "  BEGIN\n"
     + translate_test::kHandlerCodes +
     "\n"
     "  SYSZULINTERNAL_00000002: LOOP\n"
     "  LEAVE SYSZULINTERNAL_00000002;\n"
     "  END LOOP SYSZULINTERNAL_00000002;\n"
     "\n"
     "  END;\n"
     "  UPDATE q SET a = 0;\n"
     "  END;\n"
     "  END@\n"
     "\n"
     "\n",
     "CONTINUE in an exception handler not supported|2|9|CONTINUE|\n"
     "EXIT in an exception handler not supported|2|11|EXIT|\n"},
};

// PL/SQL rounds a value stored in a type of fixed scale, the target
// truncates it: a division stored there is rounded to that scale.
const SoundCase kDivisionIntoAFixedScale[] = {
    {"IntegerVariablesAndOutParameter", false,
     "CREATE OR REPLACE PROCEDURE mid_p(lo PLS_INTEGER, hi PLS_INTEGER, res OUT PLS_INTEGER) IS\n"
     "  n PLS_INTEGER;\n"
     "  m NUMBER(10);\n"
     "BEGIN\n"
     "  n := 7 / 2;\n"
     "  m := lo / hi;\n"
     "  res := (lo + hi) / 2;\n"
     "END;\n"
     "/\n",
     "[1]\n"
     "CREATE OR REPLACE PROCEDURE mid_p(\n"
     "IN lo INTEGER, \n"
     "IN hi INTEGER, \n"
     "OUT res INTEGER) SPECIFIC mid_p\n"
     "LANGUAGE SQL\n"
     "  SYSZULINTERNAL_BLOCK: BEGIN\n"
     "  DECLARE n INTEGER;\n"
     "  DECLARE m NUMBER(10);\n"
     "  SET n = ROUND(DECFLOAT(7) / 2, 0);\n"
     "  SET m = ROUND(DECFLOAT(lo) / CASE hi WHEN 0 THEN RAISE_ERROR('22012', 'division by zero') ELSE hi END, 0);\n"
     "  SET res = ROUND((lo + hi) / DECFLOAT(2), 0);\n"
     "  END@\n"
     "\n"
     "\n",
     ""},
    {"DefaultsAndFixedScales", false,
     "CREATE OR REPLACE PROCEDURE halves(total NUMBER) IS\n"
     "  half PLS_INTEGER := total / 2;\n"
     "  part NUMBER(10, 0);\n"
     "  share NUMBER(10, 2);\n"
     "  ratio NUMBER;\n"
     "BEGIN\n"
     "  part := (total + 1) / 3;\n"
     "  share := total / 3;\n"
     "  ratio := total / 3;\n"
     "END;\n"
     "/\n",
     "[1]\n"
     "CREATE OR REPLACE PROCEDURE halves(\n"
     "IN total NUMBER) SPECIFIC halves\n"
     "LANGUAGE SQL\n"
     "  SYSZULINTERNAL_BLOCK: BEGIN\n"
     "  DECLARE half INTEGER;\n"
     "  DECLARE part NUMBER(10, 0);\n"
     "  DECLARE share NUMBER(10, 2);\n"
     "  DECLARE ratio NUMBER;\n"
     "  SET half = ROUND(DECFLOAT(total) / 2, 0);\n"
     "  SET part = ROUND((total + 1) / DECFLOAT(3), 0);\n"
     "  SET share = ROUND(DECFLOAT(total) / 3, 2);\n"
     "  SET ratio = DECFLOAT(total) / 3;\n"
     "  END@\n"
     "\n"
     "\n",
     ""},
    {"ReturnOfAnIntegerFunction", false,
     "CREATE OR REPLACE FUNCTION mid(lo PLS_INTEGER, hi PLS_INTEGER) RETURN PLS_INTEGER IS\n"
     "BEGIN\n"
     "  RETURN (lo + hi) / 2;\n"
     "END;\n"
     "/\n",
     "[2]\n"
     "CREATE OR REPLACE FUNCTION mid(\n"
     "lo INTEGER, \n"
     "hi INTEGER) SPECIFIC mid\n"
     "RETURNS INTEGER\n"
     "LANGUAGE SQL\n"
     "  SYSZULINTERNAL_BLOCK: BEGIN\n"
     "  RETURN ROUND((lo + hi) / DECFLOAT(2), 0);\n"
     "  END@\n"
     "\n"
     "\n",
     ""},
};

TEST(TranslateAudit, HandlersKeepTheErrorCode) { expectSoundCases(kHandlersKeepTheErrorCode); }
TEST(TranslateAudit, CallsOfTheRunsFunctions) { expectSoundCases(kCallsOfTheRunsFunctions); }
TEST(TranslateAudit, MissingRowSetsTheRowCounts) { expectSoundCases(kMissingRowSetsTheRowCounts); }
TEST(TranslateAudit, ChildRowErrorState) { expectSoundCases(kChildRowErrorState); }
TEST(TranslateAudit, PackageCursors) { expectSoundCases(kPackageCursors); }
TEST(TranslateAudit, SubstrWithANegatedStart) { expectSoundCases(kSubstrWithANegatedStart); }
TEST(TranslateAudit, JumpsOutOfAHandler) { expectSoundCases(kJumpsOutOfAHandler); }
TEST(TranslateAudit, DivisionIntoAFixedScale) { expectSoundCases(kDivisionIntoAFixedScale); }

}  // namespace

// Whole translations of everyday constructs that the target writes
// otherwise or lacks: each comes out as sound target code or leaves an error
// record at its line, and a unit the parser could not read leaves its
// records and nothing that would run. Also the report line that the program
// prints for each kind of record.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "error_records.h"
#include "translate_fixture.h"

using translate_test::SoundCase;

namespace {

const SoundCase kRecordCases[] = {
    {"RoutinesDeclaredAheadInABodyStayPrivate", false,
     "CREATE OR REPLACE PACKAGE BODY pk AS\n"
         "  PROCEDURE helper(x IN INTEGER);\n"
         "  FUNCTION twice(x INTEGER) RETURN INTEGER;\n"
         "  PROCEDURE unused;\n"
         "  PROCEDURE run(n IN INTEGER) IS\n"
         "  BEGIN\n"
         "    IF n > 0 THEN\n"
         "      helper(pk.twice(n));\n"
         "    END IF;\n"
         "  END run;\n"
         "  PROCEDURE helper(x IN INTEGER) IS\n"
         "  BEGIN\n"
         "    NULL;\n"
         "  END helper;\n"
         "  FUNCTION twice(x INTEGER) RETURN INTEGER IS\n"
         "  BEGIN\n"
         "    RETURN x * 2;\n"
         "  END twice;\n"
         "  PROCEDURE unused IS\n"
         "  BEGIN\n"
         "    NULL;\n"
         "  END unused;\n"
         "END pk;\n"
         "/\n",
     "[3]\n"
         "ALTER MODULE pk DROP BODY@\n"
         "[3]\n"
         "COMMENT ON MODULE pk IS 'PL/SQL Package Body'@\n"
         "[3]\n"
         "  ALTER MODULE pk ADD PROCEDURE run(\n"
         "  IN n INTEGER)\n"
         "  LANGUAGE SQL\n"
         "  SYSZULINTERNAL_BLOCK: BEGIN\n"
         "\n"
         "  IF n > 0 THEN\n"
         "  CALL helper(pk.twice(n));\n"
         "  END IF;\n"
         "\n"
         "  END@\n"
         "\n"
         "\n"
         "[3]\n"
         "  ALTER MODULE pk ADD PROCEDURE helper(\n"
         "  IN x INTEGER)\n"
         "  LANGUAGE SQL\n"
         "  SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  -- NULL;\n"
         "  END@\n"
         "\n"
         "\n"
         "[3]\n"
         "  ALTER MODULE pk ADD FUNCTION twice(\n"
         "  x INTEGER)\n"
         "  RETURNS INTEGER\n"
         "  LANGUAGE SQL\n"
         "  SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  RETURN x * 2;\n"
         "  END@\n"
         "\n"
         "\n"
         "[3]\n"
         "  ALTER MODULE pk ADD PROCEDURE unused\n"
         "  LANGUAGE SQL\n"
         "  SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  -- NULL;\n"
         "  END@\n"
         "\n"
         "\n",
     "Private routine used ahead of its body not supported|2|8|helper|helper\n"
         "Private routine used ahead of its body not supported|2|8|twice|pk.twice\n"},
    {"RoutineDeclaredAheadAndPublishedByThePackageHead", false,
     "CREATE OR REPLACE PACKAGE pk AS\n"
         "  PROCEDURE helper(x IN INTEGER);\n"
         "END pk;\n"
         "/\n"
         "CREATE OR REPLACE PACKAGE BODY pk AS\n"
         "  PROCEDURE helper(x IN INTEGER);\n"
         "  PROCEDURE run IS\n"
         "  BEGIN\n"
         "    helper(1);\n"
         "  END run;\n"
         "  PROCEDURE helper(x IN INTEGER) IS\n"
         "  BEGIN\n"
         "    NULL;\n"
         "  END helper;\n"
         "END pk;\n"
         "/\n",
     "[3]\n"
         "CREATE OR REPLACE MODULE pk@\n"
         "[3]\n"
         "ALTER MODULE pk PUBLISH PROCEDURE helper(\n"
         "IN x INTEGER) LANGUAGE SQL@\n"
         "[3]\n"
         "ALTER MODULE pk DROP BODY@\n"
         "[3]\n"
         "COMMENT ON MODULE pk IS 'PL/SQL Package Body'@\n"
         "[3]\n"
         "  ALTER MODULE pk ADD PROCEDURE run\n"
         "  LANGUAGE SQL\n"
         "  SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  CALL helper(1);\n"
         "  END@\n"
         "\n"
         "\n"
         "[3]\n"
         "  ALTER MODULE pk ADD PROCEDURE helper(\n"
         "  IN x INTEGER)\n"
         "  LANGUAGE SQL\n"
         "  SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  -- NULL;\n"
         "  END@\n"
         "\n"
         "\n",
     ""},
    {"OverloadsTheTargetCannotTellApart", false,
     "CREATE OR REPLACE PACKAGE pk AS\n"
         "  PROCEDURE log_it(n NUMBER);\n"
         "  PROCEDURE log_it(s VARCHAR2);\n"
         "  PROCEDURE log_it(s VARCHAR2, level INTEGER);\n"
         "  FUNCTION log_it(s VARCHAR2) RETURN INTEGER;\n"
         "  FUNCTION Log_It(d DATE) RETURN INTEGER;\n"
         "END pk;\n"
         "/\n"
         "CREATE OR REPLACE PACKAGE BODY pk AS\n"
         "  PROCEDURE log_it(n NUMBER) IS BEGIN NULL; END;\n"
         "  PROCEDURE log_it(s VARCHAR2) IS BEGIN NULL; END;\n"
         "  PROCEDURE log_it(s VARCHAR2, level INTEGER) IS BEGIN NULL; END;\n"
         "END pk;\n"
         "/\n",
     "[3]\n"
         "CREATE OR REPLACE MODULE pk@\n"
         "[3]\n"
         "ALTER MODULE pk PUBLISH PROCEDURE log_it(\n"
         "IN n NUMBER) LANGUAGE SQL@\n"
         "[3]\n"
         "ALTER MODULE pk PUBLISH PROCEDURE log_it(\n"
         "IN s VARCHAR2(4096)) LANGUAGE SQL@\n"
         "[3]\n"
         "ALTER MODULE pk PUBLISH PROCEDURE log_it(\n"
         "IN s VARCHAR2(4096), \n"
         "IN level INTEGER) LANGUAGE SQL@\n"
         "[3]\n"
         "ALTER MODULE pk PUBLISH FUNCTION log_it(\n"
         "s VARCHAR2(4096)) RETURNS INTEGER LANGUAGE SQL @\n"
         "[3]\n"
         "ALTER MODULE pk PUBLISH FUNCTION Log_It(\n"
         "d DATE) RETURNS INTEGER LANGUAGE SQL @\n"
         "[3]\n"
         "ALTER MODULE pk DROP BODY@\n"
         "[3]\n"
         "COMMENT ON MODULE pk IS 'PL/SQL Package Body'@\n"
         "[3]\n"
         "  ALTER MODULE pk ADD PROCEDURE log_it(\n"
         "  IN n NUMBER)\n"
         "  LANGUAGE SQL\n"
         "  SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  -- NULL;\n"
         "  END@\n"
         "\n"
         "\n"
         "[3]\n"
         "  ALTER MODULE pk ADD PROCEDURE log_it(\n"
         "  IN s VARCHAR2(4096))\n"
         "  LANGUAGE SQL\n"
         "  SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  -- NULL;\n"
         "  END@\n"
         "\n"
         "\n"
         "[3]\n"
         "  ALTER MODULE pk ADD PROCEDURE log_it(\n"
         "  IN s VARCHAR2(4096), \n"
         "  IN level INTEGER)\n"
         "  LANGUAGE SQL\n"
         "  SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  -- NULL;\n"
         "  END@\n"
         "\n"
         "\n",
     "Overloaded routines with the same number of parameters not supported|2|3|log_it|\n"
         "Overloaded routines with the same number of parameters not supported|2|6|Log_It|\n"
         "Overloaded routines with the same number of parameters not supported|2|11|log_it|\n"},
    {"CompoundTriggerLeavesNoRunnablePiece", false,
     "CREATE OR REPLACE TRIGGER trg FOR INSERT ON t COMPOUND TRIGGER\n"
         "  n INTEGER := 0;\n"
         "  BEFORE STATEMENT IS\n"
         "  BEGIN\n"
         "    n := 0;\n"
         "  END BEFORE STATEMENT;\n"
         "  AFTER EACH ROW IS\n"
         "  BEGIN\n"
         "    n := n + 1;\n"
         "  END AFTER EACH ROW;\n"
         "  AFTER STATEMENT IS\n"
         "  BEGIN\n"
         "    INSERT INTO log VALUES (n);\n"
         "  END AFTER STATEMENT;\n"
         "END trg;\n"
         "/\n"
         "BEGIN\n"
         "  NULL;\n"
         "END;\n"
         "/\n",
     "[4]\n"
         "BEGIN\n"
         "  -- NULL;\n"
         "END@\n",
     "syntax error, unexpected T_WORD, expecting T_DECLARE or T_BEGIN|0|2|n|  n INTEGER := 0;\n"
         "syntax error, unexpected T_BEFORE|0|6|BEFORE|  END BEFORE STATEMENT;\n"
         "syntax error, unexpected T_AFTER|0|10|AFTER|  END AFTER EACH ROW;\n"
         "syntax error, unexpected T_AFTER|0|14|AFTER|  END AFTER STATEMENT;\n"},
    {"DatabaseEventTriggerLeavesNoRunnablePiece", false,
     "CREATE OR REPLACE TRIGGER ddl_watch\n"
         "  AFTER CREATE OR ALTER ON DATABASE\n"
         "BEGIN\n"
         "  DELETE FROM watched;\n"
         "END;\n"
         "/\n"
         "CREATE PROCEDURE p IS\n"
         "BEGIN\n"
         "  NULL;\n"
         "END;\n"
         "/\n",
     "[1]\n"
         "CREATE PROCEDURE p SPECIFIC p\n"
         "LANGUAGE SQL\n"
         "  SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  -- NULL;\n"
         "  END@\n"
         "\n"
         "\n",
     "syntax error, unexpected T_CREATE, expecting T_INSERT or T_UPDATE or T_DELETE|0|2|CREATE|  AFTER CREATE OR ALTER ON DATABASE\n"},
    {"UnitAfterALineThatBeginsNoUnitIsKept", false,
     "set echo off\n"
         "DECLARE\n"
         "  n INTEGER;\n"
         "BEGIN\n"
         "  n := 1;\n"
         "END;\n"
         "/\n",
     "[4]\n"
         "BEGIN\n"
         "  DECLARE n INTEGER;\n"
         "  SET n = 1;\n"
         "END@\n",
     "syntax error, unexpected T_WORD|0|1|set|set echo off\n"},
    {"CreateUnitWithAnUnreadableHeadLeavesNoRunnablePiece", false,
     "CREATE OR REPLACE EDITIONABLE PROCEDURE p IS\n"
         "  n INTEGER;\n"
         "BEGIN\n"
         "  DELETE FROM t;\n"
         "  n := 1;\n"
         "END p;\n"
         "/\n"
         "BEGIN\n"
         "  p;\n"
         "END;\n"
         "/\n",
     "[4]\n"
         "BEGIN\n"
         "  CALL p;\n"
         "END@\n",
     "syntax error, unexpected T_WORD, expecting T_JAVA_SOURCE_NAMED or T_JAVA_RESOURCE_NAMED or T_JAVA_CLASS_SCHEMA|0|1|EDITIONABLE|CREATE OR REPLACE EDITIONABLE PROCEDURE p IS\n"
         "syntax error, unexpected T_WORD|0|6|p|END p;\n"},
    {"QuotedLiteralsWithAnyDelimiter", false,
     "CREATE OR REPLACE PACKAGE pk AS\n"
         "  g VARCHAR2(20) := q'{it's}';\n"
         "END pk;\n"
         "/\n"
         "DECLARE\n"
         "  v VARCHAR2(100);\n"
         "BEGIN\n"
         "  v := q'[it's]' || Q'!a'b!' || q'<x>y>' || q'(a(b)c)' || q'#x#';\n"
         "  v := nq'[n's]';\n"
         "  v := q'{two\n"
         "lines}';\n"
         "  INSERT INTO t VALUES (q'[o'k]', 'plain''s');\n"
         "END;\n"
         "/\n",
     "[3]\n"
         "CREATE OR REPLACE MODULE pk@\n"
         "[3]\n"
         "ALTER MODULE pk PUBLISH VARIABLE g VARCHAR2(20) DEFAULT ('it''s')@\n"
         "[4]\n"
         "BEGIN\n"
         "  DECLARE v VARCHAR2(100);\n"
         "  SET v = 'it''s' || 'a''b' || 'x>y' || 'a(b)c' || 'x';\n"
         "  SET v = N'n''s';\n"
         "  SET v = 'two\n"
         "lines';\n"
         "  INSERT INTO t VALUES('o''k', 'plain''s');\n"
         "END@\n",
     ""},
    {"UnterminatedQuotedLiteralIsALexicalError", false,
     "BEGIN\n"
         "  v := q'[never closed;\n"
         "END;\n",
     "",
     "Unterminated quoted string|1|2||  v := q'[never closed;\n"
         "Missing expression|0|2||  v := q'[never closed;\n"
         "Unterminated quoted string|1|2||  v := q'[never closed;\n"
         "syntax error, unexpected $end, expecting ';'|0|2||  v := q'[never closed;\n"},
    {"PredefinedExceptionsOutsideTheMap", false,
     "CREATE PROCEDURE p IS\n"
         "BEGIN\n"
         "  BEGIN\n"
         "    x := TO_NUMBER(s);\n"
         "  EXCEPTION\n"
         "    WHEN INVALID_NUMBER THEN\n"
         "      x := 0;\n"
         "    WHEN VALUE_ERROR OR STANDARD.STORAGE_ERROR THEN\n"
         "      x := -1;\n"
         "  END;\n"
         "  IF x < 0 THEN\n"
         "    RAISE INVALID_NUMBER;\n"
         "  END IF;\n"
         "  RAISE PROGRAM_ERROR;\n"
         "EXCEPTION\n"
         "  WHEN ZERO_DIVIDE THEN\n"
         "    NULL;\n"
         "  WHEN TIMEOUT_ON_RESOURCE THEN\n"
         "    NULL;\n"
         "  WHEN pk.value_error THEN\n"
         "    NULL;\n"
         "END;\n"
         "/\n",
     "[1]\n"
         "CREATE PROCEDURE p SPECIFIC p\n"
         "LANGUAGE SQL\n"
         "  SYSZULINTERNAL_BLOCK: BEGIN\n"
         + translate_test::kErrorVariables +
         "  DECLARE EXIT HANDLER FOR SQLSTATE '22012'\n"
         "  BEGIN\n"
         + translate_test::kHandlerCodes +
         "  -- NULL;\n"
         "  END;\n"
         "  DECLARE EXIT HANDLER FOR TIMEOUT_ON_RESOURCE\n"
         "  BEGIN\n"
         + translate_test::kHandlerCodes +
         "  -- NULL;\n"
         "  END;\n"
         "  DECLARE EXIT HANDLER FOR pk.value_error\n"
         "  BEGIN\n"
         + translate_test::kHandlerCodes +
         "  -- NULL;\n"
         "  END;\n"
         "  BEGIN\n"
         "  DECLARE EXIT HANDLER FOR SQLSTATE '22018'\n"
         "  BEGIN\n"
         + translate_test::kHandlerCodes +
         "  SET x = 0;\n"
         "  END;\n"
         "  DECLARE EXIT HANDLER FOR VALUE_ERROR\n"
         "  BEGIN\n"
         + translate_test::kHandlerCodes +
         "  SET x = - 1;\n"
         "  END;\n"
         "  DECLARE EXIT HANDLER FOR STANDARD.STORAGE_ERROR\n"
         "  BEGIN\n"
         + translate_test::kHandlerCodes +
         "  SET x = - 1;\n"
         "  END;\n"
         "  SET x = TO_NUMBER(s);\n"
         "  END;\n"
         "\n"
         "  IF x < 0 THEN\n"
         "  SIGNAL SQLSTATE '22018';\n"
         "  END IF;\n"
         "\n"
         "  SIGNAL PROGRAM_ERROR;\n"
         "  END@\n"
         "\n"
         "\n",
     "Predefined exception VALUE_ERROR not supported|2|8|VALUE_ERROR|VALUE_ERROR\n"
         "Predefined exception STORAGE_ERROR not supported|2|8|STORAGE_ERROR|STANDARD.STORAGE_ERROR\n"
         "Predefined exception PROGRAM_ERROR not supported|2|14|PROGRAM_ERROR|\n"
         "Predefined exception TIMEOUT_ON_RESOURCE not supported|2|18|TIMEOUT_ON_RESOURCE|TIMEOUT_ON_RESOURCE\n"},
    {"CollectionMethodsConstructorsAndSubscripts", false,
     "CREATE OR REPLACE PACKAGE pk AS\n"
         "  TYPE t_num IS TABLE OF NUMBER INDEX BY PLS_INTEGER;\n"
         "  TYPE t_arr IS VARRAY(10) OF INTEGER;\n"
         "  g_list t_num;\n"
         "  PROCEDURE p(a IN t_arr);\n"
         "END pk;\n"
         "/\n"
         "CREATE OR REPLACE PACKAGE BODY pk AS\n"
         "  PROCEDURE p(a IN t_arr) IS\n"
         "    v t_arr := t_arr(1, 2, 3);\n"
         "    n INTEGER;\n"
         "  BEGIN\n"
         "    n := v.COUNT + a.LIMIT;\n"
         "    FOR i IN v.FIRST .. v.LAST LOOP\n"
         "      n := n + v(i) + pk.g_list(i);\n"
         "    END LOOP;\n"
         "    IF v.EXISTS(2) THEN\n"
         "      n := v.NEXT(n) + v.PRIOR(n) + r(1).COUNT;\n"
         "    END IF;\n"
         "    v.EXTEND(2);\n"
         "    v.EXTEND;\n"
         "    v(4) := n;\n"
         "    g_list(1) := a(1);\n"
         "    v.TRIM;\n"
         "    v.DELETE;\n"
         "  END p;\n"
         "END pk;\n"
         "/\n",
     "[3]\n"
         "CREATE OR REPLACE MODULE pk@\n"
         "[3]\n"
         "ALTER MODULE pk PUBLISH TYPE t_num AS NUMBER ARRAY[INTEGER]@\n"
         "[3]\n"
         "ALTER MODULE pk PUBLISH TYPE t_arr AS INTEGER ARRAY[10]@\n"
         "[3]\n"
         "ALTER MODULE pk PUBLISH VARIABLE g_list t_num@\n"
         "[3]\n"
         "ALTER MODULE pk PUBLISH PROCEDURE p(\n"
         "IN a t_arr) LANGUAGE SQL@\n"
         "[3]\n"
         "ALTER MODULE pk DROP BODY@\n"
         "[3]\n"
         "COMMENT ON MODULE pk IS 'PL/SQL Package Body'@\n"
         "[3]\n"
         "  ALTER MODULE pk ADD PROCEDURE p(\n"
         "  IN a t_arr)\n"
         "  LANGUAGE SQL\n"
         "  SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  DECLARE v t_arr;\n"
         "  DECLARE n INTEGER;\n"
         "  SET v = t_arr(1, 2, 3);\n"
         "  SET n = v.COUNT + a.LIMIT;\n"
         "  BEGIN\n"
         "  DECLARE i INTEGER;\n"
         "  DECLARE SYSZULINTERNAL_LOOP_LIMIT INTEGER;\n"
         "  SET i = ROUND(v.FIRST, 0);\n"
         "  SET SYSZULINTERNAL_LOOP_LIMIT = ROUND(v.LAST, 0);\n"
         "\n"
         "  WHILE i <= SYSZULINTERNAL_LOOP_LIMIT DO\n"
         "  SET n = n + v(i) + pk.g_list(i);\n"
         "  SET i = i + 1;\n"
         "  END WHILE;\n"
         "\n"
         "  END;\n"
         "\n"
         "  IF v.EXISTS(2) THEN\n"
         "  SET n = v.NEXT(n) + v.PRIOR(n) + r(1) . COUNT;\n"
         "  END IF;\n"
         "\n"
         "  -- EXTEND v\n"
         "  -- EXTEND v\n"
         "  SET v(4) = n;\n"
         "  SET g_list(1) = a(1);\n"
         "  SET v = TRIM_ARRAY( v, 1);\n"
         "  SET v = ARRAY_DELETE( v);\n"
         "  END@\n"
         "\n"
         "\n",
     "Collection constructor not supported|2|10|t_arr|t_arr\n"
         "Collection method COUNT not supported|2|13|v.COUNT|v.COUNT\n"
         "Collection method LIMIT not supported|2|13|a.LIMIT|a.LIMIT\n"
         "Collection method FIRST not supported|2|14|v.FIRST|v.FIRST\n"
         "Collection method LAST not supported|2|14|v.LAST|v.LAST\n"
         "Collection element subscript in parentheses not supported|2|15|v|v\n"
         "Collection element subscript in parentheses not supported|2|15|pk.g_list|pk.g_list\n"
         "Collection method EXISTS not supported|2|17|v.EXISTS|v.EXISTS\n"
         "Collection method NEXT not supported|2|18|v.NEXT|v.NEXT\n"
         "Collection method PRIOR not supported|2|18|v.PRIOR|v.PRIOR\n"
         "Collection method COUNT not supported|2|18|COUNT|COUNT\n"
         "Collection method EXTEND with a count not supported|2|20|v.EXTEND|v.EXTEND\n"
         "Collection element subscript in parentheses not supported|2|22|v|\n"
         "Collection element subscript in parentheses not supported|2|23|a|a\n"
         "Collection element subscript in parentheses not supported|2|23|g_list|\n"},
    {"ColumnsAnchoredByTypeAreNoMethods", false,
     "DECLARE\n"
         "  v emp.last%TYPE;\n"
         "  w t.count%TYPE;\n"
         "BEGIN\n"
         "  v := x.last;\n"
         "END;\n",
     "[4]\n"
         "BEGIN\n"
         "  DECLARE v ANCHOR TO emp.last;\n"
         "  DECLARE w ANCHOR TO t.count;\n"
         "  SET v = x.last;\n"
         "END@\n",
     "Collection method LAST not supported|2|5|x.last|x.last\n"},
    {"DbmsSqlFunctionsInsideExpressions", false,
     "DECLARE\n"
         "  c INTEGER := DBMS_SQL.OPEN_CURSOR;\n"
         "  n INTEGER;\n"
         "BEGIN\n"
         "  WHILE DBMS_SQL.FETCH_ROWS(c) > 0 LOOP\n"
         "    <<inner>>\n"
         "    BEGIN\n"
         "      IF NOT DBMS_SQL.IS_OPEN(c) THEN\n"
         "        EXIT;\n"
         "      END IF;\n"
         "    END inner;\n"
         "  END LOOP;\n"
         "  n := 1 + DBMS_SQL.LAST_ROW_COUNT;\n"
         "  n := DBMS_SQL.EXECUTE(c);\n"
         "END;\n",
     "[4]\n"
         "BEGIN\n"
         "  DECLARE c INTEGER;\n"
         "  DECLARE n INTEGER;\n"
         "  SET c = DBMS_SQL.OPEN_CURSOR;\n"
         "\n"
         "  SYSZULINTERNAL_00000001: WHILE DBMS_SQL.FETCH_ROWS(c) > 0 DO\n"
         "  inner: BEGIN\n"
         "\n"
         "  IF NOT DBMS_SQL.IS_OPEN(c) THEN\n"
         "  LEAVE SYSZULINTERNAL_00000001;\n"
         "  END IF;\n"
         "\n"
         "  END;\n"
         "  END WHILE;\n"
         "\n"
         "  SET n = 1 + DBMS_SQL.LAST_ROW_COUNT;\n"
         "  CALL DBMS_SQL.EXECUTE(c, n);\n"
         "END@\n",
     "Call to package function not permitted in this context|2|2|DBMS_SQL.OPEN_CURSOR|DBMS_SQL.OPEN_CURSOR\n"
         "Call to package function not permitted in this context|2|5|DBMS_SQL.FETCH_ROWS|DBMS_SQL.FETCH_ROWS\n"
         "Call to package function not permitted in this context|2|8|DBMS_SQL.IS_OPEN|DBMS_SQL.IS_OPEN\n"
         "Call to package function not permitted in this context|2|13|DBMS_SQL.LAST_ROW_COUNT|DBMS_SQL.LAST_ROW_COUNT\n"},
    {"ReturningBulkCollectIsReported", false,
     "CREATE PROCEDURE p IS\n"
         "BEGIN\n"
         "  DELETE FROM t WHERE a = 1 RETURNING id BULK COLLECT INTO ids;\n"
         "  UPDATE t SET a = 2 RETURNING id, a BULK COLLECT INTO ids, vals;\n"
         "  INSERT INTO t VALUES (3) RETURNING id INTO n;\n"
         "  EXECUTE IMMEDIATE 'SELECT id FROM t' BULK COLLECT INTO ids;\n"
         "END;\n"
         "/\n",
     "[1]\n"
         "CREATE PROCEDURE p SPECIFIC p\n"
         "LANGUAGE SQL\n"
         "  SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  SELECT id BULK COLLECT INTO ids FROM OLD TABLE (DELETE FROM t WHERE a = 1);\n"
         "  SELECT id, a BULK COLLECT INTO ids, vals FROM NEW TABLE (UPDATE t SET a = 2);\n"
         "  SELECT id INTO n FROM NEW TABLE (INSERT INTO t VALUES(3));\n"
         "  BEGIN\n"
         "  DECLARE SYSZULINTERNAL_STMT_TEXT CLOB(2M);\n"
         "  SET SYSZULINTERNAL_STMT_TEXT = 'SELECT id FROM t' BULK COLLECT;\n"
         "  PREPARE SYSZULINTERNAL_00000001 FROM SYSZULINTERNAL_STMT_TEXT;\n"
         "  EXECUTE SYSZULINTERNAL_00000001 INTO ids;\n"
         "  END;\n"
         "  END@\n"
         "\n"
         "\n",
     "BULK COLLECT not yet implemented|2|3|BULK COLLECT|\n"
         "BULK COLLECT not yet implemented|2|4|BULK COLLECT|\n"
         "BULK COLLECT not yet implemented|2|6|BULK COLLECT|\n"},
    {"SavepointsRollbacksTransactionsAndLocks", false,
     "CREATE PROCEDURE p IS\n"
         "BEGIN\n"
         "  SAVEPOINT before_change;\n"
         "  <<retry>>\n"
         "  SAVEPOINT s1;\n"
         "  UPDATE t SET a = 1;\n"
         "  ROLLBACK TO s1;\n"
         "  ROLLBACK WORK TO before_change;\n"
         "  ROLLBACK TO SAVEPOINT s1;\n"
         "  ROLLBACK;\n"
         "  SET TRANSACTION READ ONLY;\n"
         "  LOCK TABLE t IN EXCLUSIVE MODE NOWAIT;\n"
         "  LOCK TABLE t IN ROW EXCLUSIVE MODE;\n"
         "  LOCK TABLE t, u IN SHARE MODE WAIT 5;\n"
         "  LOCK TABLE t IN SHARE MODE;\n"
         "  COMMIT;\n"
         "END;\n"
         "/\n",
     "[1]\n"
         "CREATE PROCEDURE p SPECIFIC p\n"
         "LANGUAGE SQL\n"
         "  SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  SAVEPOINT before_change ON ROLLBACK RETAIN CURSORS;\n"
         "  retry: SAVEPOINT s1 ON ROLLBACK RETAIN CURSORS;\n"
         "  UPDATE t SET a = 1;\n"
         "  ROLLBACK TO SAVEPOINT s1;\n"
         "  ROLLBACK WORK TO SAVEPOINT before_change;\n"
         "  ROLLBACK TO SAVEPOINT s1;\n"
         "  ROLLBACK ;\n"
         "  SET TRANSACTION READ ONLY;\n"
         "  LOCK TABLE t IN EXCLUSIVE MODE NOWAIT;\n"
         "  LOCK TABLE t IN ROW EXCLUSIVE MODE;\n"
         "  LOCK TABLE t, u IN SHARE MODE WAIT 5;\n"
         "  LOCK TABLE t IN SHARE MODE;\n"
         "  COMMIT ;\n"
         "  END@\n"
         "\n"
         "\n",
     "SET TRANSACTION not supported|2|11|SET TRANSACTION...|\n"
         "LOCK TABLE ... NOWAIT not supported|2|12|NOWAIT|\n"
         "LOCK TABLE IN ROW EXCLUSIVE MODE not supported|2|13|ROW EXCLUSIVE|\n"
         "LOCK TABLE of several tables not supported|2|14|LOCK TABLE...|\n"
         "LOCK TABLE ... NOWAIT not supported|2|14|WAIT|\n"},
    {"UpdatingAColumnInATrigger", false,
     "CREATE OR REPLACE TRIGGER trg BEFORE UPDATE ON emp FOR EACH ROW\n"
         "BEGIN\n"
         "  IF UPDATING('SAL') OR updating ( 'COMM' ) THEN\n"
         "    :NEW.changed := SYSDATE;\n"
         "  END IF;\n"
         "END;\n"
         "/\n"
         "CREATE PROCEDURE p IS\n"
         "BEGIN\n"
         "  IF updating('x') THEN\n"
         "    NULL;\n"
         "  END IF;\n"
         "END;\n"
         "/\n",
     "[0]\n"
         "CREATE OR REPLACE TRIGGER trg BEFORE UPDATE ON emp REFERENCING NEW AS SYSZULINTERNAL_NEW OLD AS SYSZULINTERNAL_OLD FOR EACH ROW   SYSZULINTERNAL_BLOCK: BEGIN\n"
         "\n"
         "  IF UPDATING('SAL') OR updating('COMM') THEN\n"
         "  SET SYSZULINTERNAL_NEW.changed = SYSDATE;\n"
         "  END IF;\n"
         "\n"
         "  END@\n"
         "\n"
         "\n"
         "\n"
         "[1]\n"
         "CREATE PROCEDURE p SPECIFIC p\n"
         "LANGUAGE SQL\n"
         "  SYSZULINTERNAL_BLOCK: BEGIN\n"
         "\n"
         "  IF updating('x') THEN\n"
         "  BEGIN END; -- NULL;\n"
         "  END IF;\n"
         "\n"
         "  END@\n"
         "\n"
         "\n",
     "UPDATING(column) not supported|2|3|UPDATING|UPDATING\n"
         "UPDATING(column) not supported|2|3|updating|updating\n"},
};

}  // namespace

TEST(TranslateRecords, WholeTranslations) {
  translate_test::expectSoundCases(kRecordCases);
}

// The parser skipped a broken unit: the rest is translated and handed to the
// caller, and the run still ends with 5.
TEST(TranslateRecords, RecoveredSyntaxErrorKeepsTheTranslation) {
  TranslateResult r = translate_test::translateRun("BEGIN NULL END;\nBEGIN x := 1; END;\n", false);
  EXPECT_EQ(r.status, 5);
  EXPECT_FALSE(r.parseFailed);
  ASSERT_NE(r.statements, nullptr);
  EXPECT_EQ(translate_test::recordsText(r), "[4]\nBEGIN\nEND@\n[4]\nBEGIN\n  SET x = 1;\nEND@\n");
  // Left-out constructs alone keep a clean status.
  EXPECT_EQ(translate_test::translateRun("BEGIN SET TRANSACTION READ ONLY; END;", false).status, 0);
}

namespace {

ErrorRecord record(const char* message, int domain, int line, const char* context, const char* text,
                   const char* expected) {
  return ErrorRecord{nullptr, const_cast<char*>(message), domain, line, const_cast<char*>(text),
                     const_cast<char*>(context), const_cast<char*>(expected)};
}

}  // namespace

TEST(TranslateRecords, ReportLines) {
  struct Case {
    ErrorRecord record;
    const char* name;
    const char* line;
  } cases[] = {
      {record("syntax error, unexpected T_END, expecting T_ASSIGN or ';'", 0, 3, "END", "  x END;", "ASSIGN"),
       "f.sql", "f.sql:3: syntax error near 'END': unexpected END, expecting ASSIGN or ';'"},
      {record("syntax error, unexpected $end, expecting ';'", 0, 2, "", "", "';'"), nullptr,
       "<string>:2: syntax error at the end of the input: unexpected end of input, expecting ';'"},
      {record("syntax error", 0, 7, "..", "FOR loop bound missing", ""), "f.sql",
       "f.sql:7: syntax error near '..': FOR loop bound missing"},
      {record("Missing expression", 0, 4, ";", "  v := ;", nullptr), "f.sql", "f.sql:4: Missing expression near ';'"},
      {record("Unterminated quoted string", 1, 9, "", "  v := 'abc", nullptr), "f.sql",
       "f.sql:9: Unterminated quoted string"},
      {record("Invalid token", 1, 1, "1.5e+", "x := 1.5e+;", nullptr), "f.sql",
       "f.sql:1: Invalid token near '1.5e+'"},
      {record("SET TRANSACTION not supported", 2, 12, "SET TRANSACTION...", nullptr, nullptr), "f.sql",
       "f.sql:12: SET TRANSACTION not supported"},
      {record("Out of memory", 4, -1, nullptr, nullptr, nullptr), "f.sql", "f.sql: Out of memory"},
      // A token stays on its line and within bounds.
      {record("syntax error, unexpected T_STRING", 0, 5, "'one\ntwo'", "", nullptr), "f.sql",
       "f.sql:5: syntax error near ''one two'': unexpected STRING"},
      {record("syntax error, unexpected T_STRING", 0, 5, "'0123456789012345678901234567890123456789xyz'", "",
              nullptr),
       "f.sql", "f.sql:5: syntax error near ''012345678901234567890123456789012345678...': unexpected STRING"},
  };
  for (const Case& c : cases) EXPECT_EQ(errorRecordLine(c.name, &c.record), c.line);
}

// Every record once, one line each, in line order; records of one line keep
// the order they were made in.
TEST(TranslateRecords, ReportIsInLineOrder) {
  ErrorRecord records[] = {
      record("B not supported", 2, 9, nullptr, nullptr, nullptr),
      record("Unterminated quoted string", 1, 4, "", nullptr, nullptr),
      record("A not supported", 2, 9, nullptr, nullptr, nullptr),
      record("Unterminated quoted string", 1, 4, "", nullptr, nullptr),
      record("syntax error", 0, 2, "x", "INTEGER value out of range", ""),
  };
  for (size_t i = 0; i + 1 < sizeof records / sizeof records[0]; ++i) records[i].next = &records[i + 1];
  char* text = nullptr;
  size_t size = 0;
  std::FILE* stream = open_memstream(&text, &size);
  ASSERT_NE(stream, nullptr);
  printErrorRecords(stream, "p.pkb", records);
  std::fclose(stream);
  EXPECT_EQ(std::string(text, size),
            "p.pkb:2: syntax error near 'x': INTEGER value out of range\n"
            "p.pkb:4: Unterminated quoted string\n"
            "p.pkb:9: B not supported\n"
            "p.pkb:9: A not supported\n");
  std::free(text);
  EXPECT_TRUE(holdsSyntaxError(records));
  ErrorRecord leftOut = record("A not supported", 2, 9, nullptr, nullptr, nullptr);
  EXPECT_FALSE(holdsSyntaxError(&leftOut));
}

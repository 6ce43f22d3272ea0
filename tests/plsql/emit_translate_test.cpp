// Whole translations in process: source text through the parser, the
// rewriting and the emitter; the statements stay in memory and are compared
// byte for byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "translate_fixture.h"

using namespace translate_test;

TEST(EmitTranslate, ProcedureWithLineMarkers) {
  Out out = translate(
      "CREATE PROCEDURE p(a IN INTEGER) IS\n"
      "  v INTEGER := 5;\n"
      "BEGIN\n"
      "  v := a + 1;\n"
      "  IF v > 10 THEN\n"
      "    RAISE NO_DATA_FOUND;\n"
      "  END IF;\n"
      "END;\n"
      "/\n",
      true);
  EXPECT_EQ(out.status, 0);
  ASSERT_EQ(out.texts.size(), 1u);
  EXPECT_EQ(out.types[0], STMT_TYPE_PROCEDURE);
  EXPECT_EQ(out.texts[0],
            "CREATE PROCEDURE p(\n"
            "--#line 001\n"
            "IN a INTEGER) SPECIFIC p\n"
            "LANGUAGE SQL\n"
            "  SYSZULINTERNAL_BLOCK: BEGIN\n"
            "--#line 002\n"
            "  DECLARE v INTEGER DEFAULT 5;\n"
            "--#line 004\n"
            "  SET v = a + 1;\n"
            "\n"
            "--#line 005\n"
            "  IF v > 10 THEN\n"
            "  SIGNAL SQLSTATE 'UDNDF';\n"
            "  END IF;\n"
            "\n"
            "  END@\n"
            "\n\n");
  EXPECT_TRUE(out.errors.empty());
}

TEST(EmitTranslate, PackageSpecificationAndBody) {
  Out out = translate(
      "CREATE OR REPLACE PACKAGE pkg AS\n"
      "  g_count INTEGER := 0;\n"
      "  FUNCTION f(x INTEGER) RETURN INTEGER;\n"
      "  PROCEDURE q;\n"
      "END pkg;\n"
      "/\n"
      "CREATE OR REPLACE PACKAGE BODY pkg AS\n"
      "  FUNCTION f(x INTEGER) RETURN INTEGER IS\n"
      "  BEGIN\n"
      "    RETURN x * 2;\n"
      "  END f;\n"
      "  PROCEDURE q IS\n"
      "  BEGIN\n"
      "    g_count := g_count + 1;\n"
      "  END q;\n"
      "END pkg;\n"
      "/\n",
      false);
  EXPECT_EQ(out.status, 0);
  std::vector<std::string> expected = {
      "CREATE OR REPLACE MODULE pkg@\n",
      "ALTER MODULE pkg PUBLISH VARIABLE g_count INTEGER DEFAULT (0)@\n",
      "ALTER MODULE pkg PUBLISH FUNCTION f(\nx INTEGER) RETURNS INTEGER LANGUAGE SQL @\n",
      "ALTER MODULE pkg PUBLISH PROCEDURE q LANGUAGE SQL@\n",
      "ALTER MODULE pkg DROP BODY@\n",
      "COMMENT ON MODULE pkg IS 'PL/SQL Package Body'@\n",
      "  ALTER MODULE pkg ADD FUNCTION f(\n  x INTEGER)\n  RETURNS INTEGER\n  LANGUAGE SQL\n"
      "  SYSZULINTERNAL_BLOCK: BEGIN\n  RETURN x * 2;\n  END@\n\n\n",
      "  ALTER MODULE pkg ADD PROCEDURE q\n  LANGUAGE SQL\n"
      "  SYSZULINTERNAL_BLOCK: BEGIN\n  SET g_count = g_count + 1;\n  END@\n\n\n",
  };
  EXPECT_EQ(out.texts, expected);
  EXPECT_EQ(out.types, std::vector<int>(expected.size(), STMT_TYPE_MODULE));
  EXPECT_TRUE(out.errors.empty());
}

TEST(EmitTranslate, TriggerTopLevelStatementAndAnonymousBlock) {
  Out out = translate(
      "CREATE OR REPLACE TRIGGER trg AFTER UPDATE OF sal ON emp FOR EACH ROW\n"
      "BEGIN\n"
      "  INSERT INTO audit VALUES (:OLD.sal, :NEW.sal);\n"
      "END;\n"
      "/\n"
      "INSERT INTO t VALUES (1);\n"
      "DECLARE\n"
      "  n INTEGER;\n"
      "BEGIN\n"
      "  SELECT COUNT(*) INTO n FROM t;\n"
      "  WHILE n > 0 LOOP\n"
      "    n := n - 1;\n"
      "    EXIT WHEN n = 5;\n"
      "  END LOOP;\n"
      "EXCEPTION\n"
      "  WHEN OTHERS THEN\n"
      "    NULL;\n"
      "END;\n"
      "/\n",
      false);
  EXPECT_EQ(out.status, 0);
  ASSERT_EQ(out.texts.size(), 3u);
  EXPECT_EQ(out.types, std::vector<int>({STMT_TYPE_OTHER, STMT_TYPE_OTHER, STMT_TYPE_BLOCK}));
  EXPECT_EQ(out.texts[0],
            "CREATE OR REPLACE TRIGGER trg AFTER UPDATE OF sal ON emp "
            "REFERENCING NEW AS SYSZULINTERNAL_NEW OLD AS SYSZULINTERNAL_OLD FOR EACH ROW   "
            "SYSZULINTERNAL_BLOCK: BEGIN\n"
            "  INSERT INTO audit VALUES(SYSZULINTERNAL_OLD.sal, SYSZULINTERNAL_NEW.sal);\n"
            "  END@\n"
            "\n\n\n");
  EXPECT_EQ(out.texts[1], "INSERT INTO t VALUES(1)@\n");
  EXPECT_EQ(out.texts[2],
            "BEGIN\n"
            "  DECLARE n INTEGER;\n"
            + kErrorVariables +
            "  DECLARE EXIT HANDLER FOR SQLEXCEPTION\n"
            "  BEGIN\n"
            + kHandlerCodes +
            "  -- NULL;\n"
            "  END;\n"
            + kNoRowGuard +
            "  SELECT COUNT(*) INTO n FROM t;\n"
            "  END;\n"
            "\n"
            "  SYSZULINTERNAL_00000001: WHILE n > 0 DO\n"
            "  SET n = n - 1;\n"
            "  IF n = 5 THEN LEAVE SYSZULINTERNAL_00000001; END IF;\n"
            "  END WHILE;\n"
            "\n"
            "END@\n");
}

TEST(EmitTranslate, DroppedPackagesAndUnsupportedFeatures) {
  Out out = translate(
      "DROP PACKAGE BODY pkg;\n"
      "DROP PACKAGE pkg;\n"
      "CREATE PACKAGE p2 AUTHID CURRENT_USER AS\n"
      "  x INTEGER;\n"
      "END;\n"
      "/\n",
      false);
  EXPECT_EQ(out.status, 0);
  EXPECT_EQ(out.texts, std::vector<std::string>({"ALTER MODULE pkg DROP BODY@\n", "DROP MODULE pkg@\n",
                                                 "CREATE MODULE p2@\n", "ALTER MODULE p2 PUBLISH VARIABLE x INTEGER@\n"}));
  EXPECT_EQ(out.types, std::vector<int>({STMT_TYPE_OTHER, STMT_TYPE_DROP_MODULE, STMT_TYPE_MODULE, STMT_TYPE_MODULE}));
  EXPECT_EQ(out.errors, std::vector<std::string>({"AUTHID CURRENT_USER not supported@3"}));
}

TEST(EmitTranslate, FunctionWithCursorsDynamicSqlLoopsAndApplicationErrors) {
  Out out = translate(
      "CREATE OR REPLACE FUNCTION f(p_id NUMBER) RETURN VARCHAR2 IS\n"
      "  CURSOR c IS SELECT name FROM emp WHERE id = p_id;\n"
      "  v_name VARCHAR2(30);\n"
      "BEGIN\n"
      "  OPEN c;\n"
      "  FETCH c INTO v_name;\n"
      "  CLOSE c;\n"
      "  EXECUTE IMMEDIATE 'UPDATE t SET a = :1' USING p_id;\n"
      "  FOR r IN (SELECT a FROM t) LOOP\n"
      "    NULL;\n"
      "  END LOOP;\n"
      "  IF v_name IS NULL THEN\n"
      "    RAISE_APPLICATION_ERROR(-20001, 'missing');\n"
      "  END IF;\n"
      "  RETURN v_name;\n"
      "END;\n"
      "/\n",
      false);
  EXPECT_EQ(out.status, 0);
  ASSERT_EQ(out.texts.size(), 1u);
  EXPECT_EQ(out.types[0], STMT_TYPE_FUNCTION);
  EXPECT_EQ(out.texts[0],
            "CREATE OR REPLACE FUNCTION f(\n"
            "p_id NUMBER) SPECIFIC f\n"
            "RETURNS VARCHAR2(4096)\n"
            "LANGUAGE SQL\n"
            "MODIFIES SQL DATA\n"
            "  SYSZULINTERNAL_BLOCK: BEGIN\n"
            "  DECLARE c CURSOR CONSTANT (CURSOR FOR SELECT name FROM emp WHERE id = p_id);\n"
            "  DECLARE v_name VARCHAR2(30);\n"
            "  OPEN c;\n"
            "  FETCH c INTO v_name;\n"
            "  CLOSE c ;\n"
            "  BEGIN\n"
            "  DECLARE SYSZULINTERNAL_STMT_TEXT CLOB(2M) DEFAULT 'UPDATE t SET a = :1';\n"
            "  PREPARE SYSZULINTERNAL_00000001 FROM SYSZULINTERNAL_STMT_TEXT;\n"
            "  EXECUTE SYSZULINTERNAL_00000001 USING p_id;\n"
            "  END;\n"
            "\n"
            "  FOR r AS\n"
            "  SELECT a FROM t\n"
            "  DO\n"
            "  BEGIN END; -- NULL;\n"
            "  END FOR;\n"
            "\n"
            "\n"
            "  IF v_name IS NULL THEN\n"
            "  BEGIN\n"
            "  DECLARE SYSZULINTERNAL_APPERROR VARCHAR(2048) DEFAULT 'missing';\n"
            "  SIGNAL SQLSTATE 'UD001' SET MESSAGE_TEXT = SYSZULINTERNAL_APPERROR;\n"
            "  END;\n"
            "  END IF;\n"
            "\n"
            "  RETURN v_name;\n"
            "  END@\n"
            "\n\n");
  EXPECT_TRUE(out.errors.empty());
}

TEST(EmitTranslate, RowCountsAndDynamicCursor) {
  Out out = translate(
      "CREATE PROCEDURE q IS\n"
      "  n INTEGER;\n"
      "BEGIN\n"
      "  DELETE FROM t WHERE a = 1;\n"
      "  n := SQL%ROWCOUNT;\n"
      "  OPEN c FOR v_sql USING n;\n"
      "END;\n"
      "/\n",
      false);
  EXPECT_EQ(out.status, 0);
  ASSERT_EQ(out.texts.size(), 1u);
  EXPECT_EQ(out.texts[0],
            "CREATE PROCEDURE q SPECIFIC q\n"
            "LANGUAGE SQL\n"
            "  SYSZULINTERNAL_BLOCK: BEGIN\n"
            "  DECLARE n INTEGER;\n"
            "  DECLARE SYSZULINTERNAL_ROWCOUNT INTEGER;\n"
            "  DELETE FROM t WHERE a = 1;\n"
            "  GET DIAGNOSTICS SYSZULINTERNAL_ROWCOUNT = ROW_COUNT;\n"
            "  SET n = SYSZULINTERNAL_ROWCOUNT;\n"
            "  SET c = CURSOR FOR  SYSZULINTERNAL_00000001;\n"
            "  PREPARE SYSZULINTERNAL_00000001 FROM v_sql;\n"
            "  OPEN c USING n;\n"
            "  END@\n"
            "\n\n");
}

// Ordinary constructs whose translation must be sound target code, or leave
// an error record where the construct is left out.
const SoundCase kSoundCases[] = {
    {"ContinueWhenStepsTheIndex", false,
     "BEGIN\n"
         "  FOR j IN 1..10 LOOP\n"
         "    CONTINUE WHEN j = 5;\n"
         "    x := x + j;\n"
         "  END LOOP;\n"
         "END;\n",
     "[4]\n"
         "BEGIN\n"
         "  BEGIN\n"
         "  DECLARE j INTEGER DEFAULT 1;\n"
         "  DECLARE SYSZULINTERNAL_LOOP_LIMIT INTEGER DEFAULT 10;\n"
         "\n"
         "  SYSZULINTERNAL_00000001: WHILE j <= SYSZULINTERNAL_LOOP_LIMIT DO\n"
         "\n"
         "  IF j = 5 THEN\n"
         "  SET j = j + 1;\n"
         "  ITERATE SYSZULINTERNAL_00000001;\n"
         "  END IF;\n"
         "\n"
         "  SET x = x + j;\n"
         "  SET j = j + 1;\n"
         "  END WHILE;\n"
         "\n"
         "  END;\n"
         "END@\n",
     ""},
    {"ContinueInReverseLoopWithoutCondition", false,
     "BEGIN\n"
         "  FOR j IN REVERSE 1..3 LOOP\n"
         "    IF j = 2 THEN\n"
         "      CONTINUE;\n"
         "    END IF;\n"
         "  END LOOP;\n"
         "END;\n",
     "[4]\n"
         "BEGIN\n"
         "  BEGIN\n"
         "  DECLARE j INTEGER DEFAULT 3;\n"
         "  DECLARE SYSZULINTERNAL_LOOP_LIMIT INTEGER DEFAULT 1;\n"
         "\n"
         "  SYSZULINTERNAL_00000001: WHILE j >= SYSZULINTERNAL_LOOP_LIMIT DO\n"
         "\n"
         "  IF j = 2 THEN\n"
         "  SET j = j - 1;\n"
         "  ITERATE SYSZULINTERNAL_00000001;\n"
         "  END IF;\n"
         "\n"
         "  SET j = j - 1;\n"
         "  END WHILE;\n"
         "\n"
         "  END;\n"
         "END@\n",
     ""},
    {"ContinueOfAnOuterLabelledLoop", false,
     "BEGIN\n"
         "  <<outer>>\n"
         "  FOR i IN 1..3 LOOP\n"
         "    <<inner>>\n"
         "    FOR j IN REVERSE 1..2 LOOP\n"
         "      CONTINUE outer WHEN j = i;\n"
         "      CONTINUE inner;\n"
         "      EXIT outer;\n"
         "    END LOOP inner;\n"
         "  END LOOP outer;\n"
         "END;\n",
     "[4]\n"
         "BEGIN\n"
         "  outer: BEGIN\n"
         "  DECLARE i INTEGER DEFAULT 1;\n"
         "  DECLARE SYSZULINTERNAL_LOOP_LIMIT INTEGER DEFAULT 3;\n"
         "\n"
         "  SYSZULINTERNAL_00000001: WHILE i <= SYSZULINTERNAL_LOOP_LIMIT DO\n"
         "  inner: BEGIN\n"
         "  DECLARE j INTEGER DEFAULT 2;\n"
         "  DECLARE SYSZULINTERNAL_LOOP_LIMIT INTEGER DEFAULT 1;\n"
         "\n"
         "  SYSZULINTERNAL_00000002: WHILE j >= SYSZULINTERNAL_LOOP_LIMIT DO\n"
         "\n"
         "  IF j = i THEN\n"
         "  SET i = i + 1;\n"
         "  ITERATE SYSZULINTERNAL_00000001;\n"
         "  END IF;\n"
         "\n"
         "  SET j = j - 1;\n"
         "  ITERATE SYSZULINTERNAL_00000002;\n"
         "  LEAVE outer;\n"
         "  SET j = j - 1;\n"
         "  END WHILE;\n"
         "\n"
         "  END;\n"
         "  SET i = i + 1;\n"
         "  END WHILE;\n"
         "\n"
         "  END;\n"
         "END@\n",
     ""},
    {"ContinueOfCursorLoopNamesTheInnerLoop", false,
     "DECLARE\n"
         "  CURSOR c IS SELECT a FROM t;\n"
         "BEGIN\n"
         "  <<rows>>\n"
         "  FOR r IN c LOOP\n"
         "    CONTINUE rows WHEN r.a = 0;\n"
         "  END LOOP rows;\n"
         "END;\n",
     "[4]\n"
         "BEGIN\n"
         "  DECLARE c CURSOR CONSTANT (CURSOR FOR SELECT a FROM t);\n"
         "  rows: BEGIN\n"
         "  DECLARE r ANCHOR TO ROW c;\n"
         "  OPEN c;\n"
         "\n"
         "  SYSZULINTERNAL_00000001: LOOP\n"
         "  FETCH c INTO r;\n"
         "  IF c IS NOT FOUND THEN LEAVE SYSZULINTERNAL_00000001; END IF;\n"
         "  IF r.a = 0 THEN ITERATE SYSZULINTERNAL_00000001; END IF;\n"
         "  END LOOP SYSZULINTERNAL_00000001;\n"
         "\n"
         "  CLOSE c ;\n"
         "  END;\n"
         "END@\n",
     ""},
    {"CursorLoopPassesItsArguments", false,
     "DECLARE\n"
         "  CURSOR c(n INTEGER, m VARCHAR2) IS SELECT a FROM t WHERE b = n AND d = m;\n"
         "BEGIN\n"
         "  FOR r IN c(5, f(2, 'x')) LOOP\n"
         "    NULL;\n"
         "  END LOOP;\n"
         "END;\n",
     "[4]\n"
         "BEGIN\n"
         "  DECLARE c CURSOR CONSTANT (CURSOR (\n"
         "  n INTEGER, \n"
         "  m VARCHAR2(4096)) FOR SELECT a FROM t WHERE b = n AND d = m);\n"
         "  BEGIN\n"
         "  DECLARE r ANCHOR TO ROW c;\n"
         "  OPEN c(5, f(2, 'x'));\n"
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
     ""},
    {"DbmsSqlResultKeepsItsTarget", false,
     "DECLARE\n"
         "  cur INTEGER;\n"
         "BEGIN\n"
         "  arr(1) := DBMS_SQL.EXECUTE(cur);\n"
         "  rec.n := DBMS_SQL.FETCH_ROWS(cur);\n"
         "  m(i + 1) := DBMS_SQL.LAST_ROW_COUNT;\n"
         "END;\n",
     "[4]\n"
         "BEGIN\n"
         "  DECLARE cur INTEGER;\n"
         "  CALL DBMS_SQL.EXECUTE(cur, arr(1));\n"
         "  CALL DBMS_SQL.FETCH_ROWS(cur, rec.n);\n"
         "  CALL DBMS_SQL.LAST_ROW_COUNT(m(i + 1));\n"
         "END@\n",
     "Collection element subscript in parentheses not supported|2|4|arr|\n"
         "Collection element subscript in parentheses not supported|2|6|m|\n"},
    {"LabelledNestedBlockEndsWithoutACall", false,
     "BEGIN\n"
         "  <<blk>>\n"
         "  BEGIN\n"
         "    NULL;\n"
         "  END blk;\n"
         "  LOOP\n"
         "    <<inner>>\n"
         "    DECLARE\n"
         "      v INTEGER;\n"
         "    BEGIN\n"
         "      EXIT;\n"
         "    END inner;\n"
         "  END LOOP;\n"
         "END;\n",
     "[4]\n"
         "BEGIN\n"
         "  blk: BEGIN\n"
         "  -- NULL;\n"
         "  END;\n"
         "\n"
         "  SYSZULINTERNAL_00000001: LOOP\n"
         "  inner: BEGIN\n"
         "  DECLARE v INTEGER;\n"
         "  LEAVE SYSZULINTERNAL_00000001;\n"
         "  END;\n"
         "  END LOOP SYSZULINTERNAL_00000001;\n"
         "\n"
         "END@\n",
     ""},
    {"ApplicationErrorTakesOnlyTheMessage", false,
     "BEGIN\n"
         "  RAISE_APPLICATION_ERROR(-20500, 'g', TRUE);\n"
         "  RAISE_APPLICATION_ERROR(-20501, f(1, 2) || 'x', FALSE);\n"
         "END;\n",
     "[4]\n"
         "BEGIN\n"
         "  BEGIN\n"
         "  DECLARE SYSZULINTERNAL_APPERROR VARCHAR(2048) DEFAULT 'g';\n"
         "  SIGNAL SQLSTATE 'UD500' SET MESSAGE_TEXT = SYSZULINTERNAL_APPERROR;\n"
         "  END;\n"
         "  BEGIN\n"
         "  DECLARE SYSZULINTERNAL_APPERROR VARCHAR(2048);\n"
         "  SET SYSZULINTERNAL_APPERROR = f(1, 2) || 'x';\n"
         "  SIGNAL SQLSTATE 'UD501' SET MESSAGE_TEXT = SYSZULINTERNAL_APPERROR;\n"
         "  END;\n"
         "END@\n",
     ""},
    {"GotoTargetStandsOnAStatement", false,
     "BEGIN\n"
         "  GOTO done;\n"
         "  x := 1;\n"
         "  <<done>>\n"
         "  NULL;\n"
         "END;\n",
     "[4]\n"
         "BEGIN\n"
         "  GOTO done;\n"
         "  SET x = 1;\n"
         "  done: BEGIN END; -- NULL;\n"
         "END@\n",
     ""},
    {"IntoTargetsAndOutBindsAreCommaSeparated", false,
     "BEGIN\n"
         "  EXECUTE IMMEDIATE v INTO a, b USING OUT b, OUT a;\n"
         "  EXECUTE IMMEDIATE w USING IN x, OUT y RETURNING INTO z;\n"
         "END;\n",
     "[4]\n"
         "BEGIN\n"
         "  BEGIN\n"
         "  DECLARE SYSZULINTERNAL_STMT_TEXT CLOB(2M);\n"
         "  DECLARE EXIT HANDLER FOR NOT FOUND\n"
         "  BEGIN\n"
         "  SIGNAL SQLSTATE 'UDNDF';\n"
         "  END;\n"
         "  SET SYSZULINTERNAL_STMT_TEXT = v;\n"
         "  PREPARE SYSZULINTERNAL_00000001 FROM SYSZULINTERNAL_STMT_TEXT;\n"
         "  EXECUTE SYSZULINTERNAL_00000001 INTO a, b, b, a;\n"
         "  END;\n"
         "  BEGIN\n"
         "  DECLARE SYSZULINTERNAL_STMT_TEXT CLOB(2M);\n"
         "  SET SYSZULINTERNAL_STMT_TEXT = w;\n"
         "  PREPARE SYSZULINTERNAL_00000002 FROM SYSZULINTERNAL_STMT_TEXT;\n"
         "  EXECUTE SYSZULINTERNAL_00000002 INTO y, z USING x;\n"
         "  END;\n"
         "END@\n",
     "RETURNING INTO in a dynamic statement not supported|2|3|EXECUTE IMMEDIATE ... RETURNING|\n"},
    {"AliasValueWithoutQuotes", false,
     "PRAGMA ALIAS emp.sal%TYPE := 'DECIMAL(9,2)';\n"
         "CREATE PROCEDURE p IS\n"
         "  v emp.sal%TYPE;\n"
         "BEGIN\n"
         "  NULL;\n"
         "END;\n"
         "/\n",
     "[1]\n"
         "CREATE PROCEDURE p SPECIFIC p\n"
         "LANGUAGE SQL\n"
         "  SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  DECLARE v DECIMAL(9,2);\n"
         "  -- NULL;\n"
         "  END@\n"
         "\n"
         "\n",
     ""},
    {"TriggerConditionUsesReferencingNames", false,
     "CREATE OR REPLACE TRIGGER trg BEFORE UPDATE ON t\n"
         "REFERENCING NEW AS n OLD AS o\n"
         "FOR EACH ROW\n"
         "WHEN (n.x > 0 AND o.y < new.z)\n"
         "BEGIN\n"
         "  :n.y := :o.y;\n"
         "END;\n"
         "/\n",
     "[0]\n"
         "CREATE OR REPLACE TRIGGER trg BEFORE UPDATE ON t REFERENCING NEW AS SYSZULINTERNAL_n OLD AS SYSZULINTERNAL_o FOR EACH ROW \n"
         "WHEN (SYSZULINTERNAL_n.x > 0 AND SYSZULINTERNAL_o.y < SYSZULINTERNAL_n.z)\n"
         "  SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  SET SYSZULINTERNAL_n.y = SYSZULINTERNAL_o.y;\n"
         "  END@\n"
         "\n"
         "\n"
         "\n",
     ""},
    {"TriggerWithForTimingKeepsItsBlank", false,
     "CREATE OR REPLACE TRIGGER trg FOR INSERT ON t FOR EACH ROW\n"
         "BEGIN\n"
         "  NULL;\n"
         "END;\n"
         "/\n",
     "[0]\n"
         "CREATE OR REPLACE TRIGGER trg INSERT ON t REFERENCING NEW AS SYSZULINTERNAL_NEW FOR EACH ROW   SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  -- NULL;\n"
         "  END@\n"
         "\n"
         "\n"
         "\n",
     "Compound triggers not supported|2|1|CREATE [OR REPLACE] TRIGGER...|\n"},
    {"DeclarationsWithoutTextLeaveNoIndentation", true,
     "DECLARE\n"
         "  TYPE rc IS REF CURSOR;\n"
         "  SUBTYPE s IS INTEGER;\n"
         "  TYPE r IS RECORD (a INTEGER);\n"
         "  x INTEGER;\n"
         "BEGIN\n"
         "  NULL;\n"
         "END;\n",
     "[4]\n"
         "BEGIN\n"
         "--#line 005\n"
         "  DECLARE x INTEGER;\n"
         "--#line 007\n"
         "  -- NULL;\n"
         "END@\n",
     "SUBTYPE not supported|2|3|SUBTYPE...|\n"
         "RECORD types cannot be declared within a program|2|4|TYPE <name> IS RECORD...|\n"},
    {"EmptyForBoundIsReported", false,
     "BEGIN\n"
         "  FOR i IN .. 5 LOOP\n"
         "    NULL;\n"
         "  END LOOP;\n"
         "  FOR k IN 1 .. LOOP\n"
         "    NULL;\n"
         "  END LOOP;\n"
         "END;\n",
     "[4]\n"
         "BEGIN\n"
         "END@\n",
     "syntax error|0|2|..|FOR loop bound missing\n"
         "syntax error|0|5|..|FOR loop bound missing\n"},
    {"NestedRoutinesAreReported", false,
     "CREATE PROCEDURE p IS\n"
         "  PROCEDURE q IS\n"
         "  BEGIN\n"
         "    NULL;\n"
         "  END;\n"
         "  FUNCTION f RETURN INTEGER IS\n"
         "  BEGIN\n"
         "    RETURN 1;\n"
         "  END;\n"
         "BEGIN\n"
         "  q;\n"
         "END;\n"
         "/\n",
     "[1]\n"
         "CREATE PROCEDURE p SPECIFIC p\n"
         "LANGUAGE SQL\n"
         "  SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  CALL q;\n"
         "  END@\n"
         "\n"
         "\n",
     "Nested PROCEDURE not supported|2|2|PROCEDURE...|\n"
         "Nested FUNCTION not supported|2|6|FUNCTION...|\n"},
    {"ForallAndPipeRowAreReported", false,
     "CREATE FUNCTION f RETURN t PIPELINED IS\n"
         "BEGIN\n"
         "  FORALL i IN 1..10\n"
         "    INSERT INTO t VALUES (a(i));\n"
         "  PIPE ROW(1);\n"
         "  RETURN;\n"
         "END;\n"
         "/\n",
     "[2]\n"
         "CREATE FUNCTION f() SPECIFIC f\n"
         "RETURNS t\n"
         "LANGUAGE SQL\n"
         "  SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  RETURN ;\n"
         "  END@\n"
         "\n"
         "\n",
     "FORALL not supported|2|3|FORALL...|\n"
         "PIPE ROW not supported|2|5|PIPE ROW...|\n"},
    {"DdlUnitsAreReported", false,
     "CREATE TABLE t (a INTEGER);\n"
         "CREATE VIEW v AS SELECT a FROM t;\n"
         "CREATE INDEX i ON t(a);\n"
         "CREATE SEQUENCE s START WITH 1;\n"
         "GRANT SELECT ON t TO u;\n"
         "REVOKE SELECT ON t FROM u;\n"
         "COMMENT ON TABLE t IS 'x';\n"
         "ALTER TRIGGER trg DISABLE;\n"
         "DROP TABLE t;\n"
         "CREATE PACKAGE pk AS\n"
         "  SUBTYPE s IS INTEGER;\n"
         "  v INTEGER;\n"
         "END;\n"
         "/\n",
     "[3]\n"
         "CREATE MODULE pk@\n"
         "[3]\n"
         "ALTER MODULE pk PUBLISH VARIABLE v INTEGER@\n",
     "CREATE TABLE not supported|2|1|CREATE TABLE...|\n"
         "CREATE VIEW not supported|2|2|CREATE VIEW...|\n"
         "CREATE INDEX not supported|2|3|CREATE INDEX...|\n"
         "CREATE SEQUENCE not supported|2|4|CREATE SEQUENCE...|\n"
         "GRANT not supported|2|5|GRANT...|\n"
         "REVOKE not supported|2|6|REVOKE...|\n"
         "COMMENT ON not supported|2|7|COMMENT ON...|\n"
         "ALTER TRIGGER not supported|2|8|ALTER TRIGGER...|\n"
         "DROP TABLE not supported|2|9|DROP TABLE...|\n"
         "SUBTYPE not supported|2|11|SUBTYPE...|\n"},
    {"WrappedUnitsAreReported", false,
     "CREATE OR REPLACE PROCEDURE p WRAPPED\n"
         "a000000\n"
         "abcd\n"
         "/\n"
         "CREATE OR REPLACE FUNCTION f WRAPPED\n"
         "a000000\n"
         "abcd\n"
         "/\n"
         "CREATE OR REPLACE PACKAGE BODY pk WRAPPED\n"
         "a000000\n"
         "abcd\n"
         "/\n",
     "[3]\n"
         "COMMENT ON MODULE pk IS 'PL/SQL Package Body'@\n"
         "[3]\n"
         "  ALTER MODULE pk ADD PROCEDURE SYS_INIT\n"
         "  LANGUAGE SQL\n"
         "  SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  END@\n"
         "\n"
         "\n",
     "WRAPPED PROCEDURE not supported|2|1|CREATE [OR REPLACE] PROCEDURE ... WRAPPED|\n"
         "WRAPPED FUNCTION not supported|2|5|CREATE [OR REPLACE] FUNCTION ... WRAPPED|\n"
         "WRAPPED PACKAGE BODY not supported|2|9|CREATE [OR REPLACE] PACKAGE BODY ... WRAPPED|\n"},
    {"LabelsStayOnRewrittenStatements", false,
     "DECLARE v t_list; BEGIN\n"
         "  GOTO a;\n"
         "  <<a>> n := DBMS_SQL.EXECUTE(c);\n"
         "  <<b>> EXECUTE IMMEDIATE 'x';\n"
         "  <<c>> RAISE_APPLICATION_ERROR(-20001, 'm');\n"
         "  <<d>> v.TRIM;\n"
         "  <<e>> v.EXTEND;\n"
         "END;\n",
     "[4]\n"
         "BEGIN\n"
         "  DECLARE v t_list;\n"
         "  GOTO a;\n"
         "  a: CALL DBMS_SQL.EXECUTE(c, n);\n"
         "  b: BEGIN\n"
         "  DECLARE SYSZULINTERNAL_STMT_TEXT CLOB(2M) DEFAULT 'x';\n"
         "  EXECUTE IMMEDIATE SYSZULINTERNAL_STMT_TEXT;\n"
         "  END;\n"
         "  c: BEGIN\n"
         "  DECLARE SYSZULINTERNAL_APPERROR VARCHAR(2048) DEFAULT 'm';\n"
         "  SIGNAL SQLSTATE 'UD001' SET MESSAGE_TEXT = SYSZULINTERNAL_APPERROR;\n"
         "  END;\n"
         "  d: SET v = TRIM_ARRAY( v, 1);\n"
         "  e: BEGIN END; -- EXTEND v\n"
         "END@\n",
     ""},
    {"MadeUpStatementsCarryTheirSourceLine", true,
     "CREATE PROCEDURE p IS\n"
         "  n INTEGER;\n"
         "BEGIN\n"
         "  FOR i IN 1..3 LOOP\n"
         "    CONTINUE WHEN i = 2;\n"
         "    n := SQLCODE;\n"
         "  END LOOP;\n"
         "EXCEPTION\n"
         "  WHEN OTHERS THEN\n"
         "    NULL;\n"
         "END;\n"
         "/\n",
     "[1]\n"
         "CREATE PROCEDURE p SPECIFIC p\n"
         "LANGUAGE SQL\n"
         "  SYSZULINTERNAL_BLOCK: BEGIN\n"
         "--#line 002\n"
         "  DECLARE n INTEGER;\n"
         "--#line 009\n"
         "  DECLARE SQLSTATE CHAR(5) DEFAULT '00000';\n"
         "--#line 009\n"
         "  DECLARE SQLCODE INTEGER DEFAULT 0;\n"
         "--#line 009\n"
         "  DECLARE SYSZULINTERNAL_SQLCODE INTEGER DEFAULT 0;\n"
         "--#line 009\n"
         "  DECLARE SYSZULINTERNAL_SQLSTATE CHAR(5) DEFAULT '00000';\n"
         "--#line 009\n"
         "  DECLARE SYSZULINTERNAL_SQLERRM VARCHAR(32672);\n"
         "--#line 009\n"
         "  DECLARE EXIT HANDLER FOR SQLEXCEPTION\n"
         "  BEGIN\n"
         "--#line 009\n"
         "  VALUES(SQLCODE, SQLSTATE) INTO SYSZULINTERNAL_SQLCODE, SYSZULINTERNAL_SQLSTATE;\n"
         "--#line 009\n"
         "  SET SYSZULINTERNAL_SQLERRM = SQLERRM(SYSZULINTERNAL_SQLCODE);\n"
         "  -- NULL;\n"
         "  END;\n"
         "  BEGIN\n"
         "--#line 004\n"
         "  DECLARE i INTEGER DEFAULT 1;\n"
         "--#line 004\n"
         "  DECLARE SYSZULINTERNAL_LOOP_LIMIT INTEGER DEFAULT 3;\n"
         "\n"
         "--#line 004\n"
         "  SYSZULINTERNAL_00000001: WHILE i <= SYSZULINTERNAL_LOOP_LIMIT DO\n"
         "\n"
         "--#line 005\n"
         "  IF i = 2 THEN\n"
         "--#line 005\n"
         "  SET i = i + 1;\n"
         "--#line 005\n"
         "  ITERATE SYSZULINTERNAL_00000001;\n"
         "  END IF;\n"
         "\n"
         "--#line 006\n"
         "  SET n = 0;\n"
         "--#line 004\n"
         "  SET i = i + 1;\n"
         "  END WHILE;\n"
         "\n"
         "  END;\n"
         "  END@\n"
         "\n"
         "\n",
     "SQLCODE outside an exception handler not supported|2|6|SQLCODE|SQLCODE\n"},
};

TEST(EmitTranslate, SoundTranslations) {
  expectSoundCases(kSoundCases);
}

TEST(EmitTranslate, FailedParseEmitsNothing) {
  Out out = translate("CREATE PROCEDURE p IS BEGIN", false);
  EXPECT_EQ(out.status, 5);
  EXPECT_TRUE(out.texts.empty());
}


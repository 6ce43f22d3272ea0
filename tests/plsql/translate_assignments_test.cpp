// Whole translations of values stored where the target would read them
// otherwise, and of statements it writes in other words or lacks: values
// rounded into integer and fixed-scale targets, functions without
// parentheses in SQL, DML forms and lock waits, dynamic texts in PL/SQL's
// words.
#include <gtest/gtest.h>

#include <string>

#include "translate_fixture.h"

namespace {

using namespace translate_test;

const std::string kExecute = "  EXECUTE IMMEDIATE SYSZULINTERNAL_STMT_TEXT;\n";
// A dynamic statement whose text is joined at run time.
std::string joinedDynamic(const std::string& text) {
  return "  BEGIN\n  DECLARE SYSZULINTERNAL_STMT_TEXT CLOB(2M);\n  SET SYSZULINTERNAL_STMT_TEXT = " + text + ";\n" +
         kExecute + "  END;\n";
}

const SoundCase kCases[] = {
    // A value stored in an integer or fixed-scale variable, parameter,
    // default, returned value or INTO target is rounded as PL/SQL rounds
    // it, where it may have more scale: a number alone where it is
    // written, anything else in ROUND. An integer value, a whole call of a
    // function of the run, and what CASE tests are left as they are.
    {"ValuesStoredInFixedScaleRound", false,
     "CREATE FUNCTION tenth(total NUMBER) RETURN PLS_INTEGER IS BEGIN RETURN total * 0.1; END;\n"
     "/\n"
     "CREATE PROCEDURE put(n PLS_INTEGER, d PLS_INTEGER := 2.5) IS\n"
     "  j INTEGER := 2.7;\n"
     "  m NUMBER(6,2) := 123.456;\n"
     "  f NUMBER;\n"
     "  b BINARY_INTEGER;\n"
     "BEGIN\n"
     "  b := 7.5;\n"
     "  b := -2.5 + b;\n"
     "  m := 1.999;\n"
     "  b := b + LENGTH('x') + ROUND(f);\n"
     "  b := tenth(f);\n"
     "  b := CASE WHEN f > 0.5 THEN 1 ELSE 0 END;\n"
     "  put(2.6, d => f / 2);\n"
     "  b := tenth(2.6) + other.val(3);\n"
     "  SELECT AVG(x) avg_x, COUNT(*), 2.5 INTO b, j, m FROM t;\n"
     "END;\n"
     "/\n",
     routineHead("tenth", {"total NUMBER"}, "INTEGER") + "  RETURN ROUND(total * 0.1, 0);\n" + kRoutineEnd +
         routineHead("put", {"IN n INTEGER", "IN d INTEGER DEFAULT 3"}) +
         "  DECLARE j INTEGER DEFAULT 3;\n"
         "  DECLARE m NUMBER(6, 2) DEFAULT 123.46;\n"
         "  DECLARE f NUMBER;\n"
         "  DECLARE b INTEGER;\n"
         "  SET b = 8;\n"
         "  SET b = ROUND(- 2.5 + b, 0);\n"
         "  SET m = 2.00;\n"
         "  SET b = b + LENGTH4('x') + ROUND(f);\n"
         "  SET b = tenth(f);\n"
         "  SET b = CASE WHEN f > 0.5 THEN 1 ELSE 0 END;\n"
         "  CALL put(3, d => ROUND(DECFLOAT(f) / 2, 0));\n"
         "  SET b = ROUND(tenth(2.6) + other.val(3), 0);\n" +
         kNoRowGuard + "  SELECT ROUND(AVG(x), 0) avg_x, COUNT(*), 2.5 INTO b, j, m FROM t;\n  END;\n" + kRoutineEnd,
     ""},
    // A DATE less a DATE is days with a fraction of a day: stored in an
    // integer, it is rounded too. A DATE is SYSDATE, TO_DATE(...), TRUNC of
    // a DATE, a DATE variable or parameter, a DATE plus or less a number.
    {"DateDifferencesRound", false,
     "CREATE FUNCTION age(d1 DATE, d2 DATE) RETURN PLS_INTEGER IS\n"
     "  i INTEGER := d2 - d1;\n"
     "BEGIN\n"
     "  i := SYSDATE - TRUNC(d1) + (d2 + 1 - d1);\n"
     "  i := TRUNC(d2 - d1);\n"
     "  RETURN SYSDATE - d2;\n"
     "END;\n"
     "/\n",
     routineHead("age", {"d1 DATE", "d2 DATE"}, "INTEGER") +
         "  DECLARE i INTEGER;\n"
         "  SET i = ROUND(d2 - d1, 0);\n"
         "  SET i = ROUND(SYSDATE - TRUNC(d1) +(d2 + 1 - d1), 0);\n"
         "  SET i = TRUNC(d2 - d1);\n"
         "  RETURN ROUND(SYSDATE - d2, 0);\n" +
         kRoutineEnd,
     ""},
    // The same in a package (a variable of its head, a field of its record
    // type, an argument of its function in an expression), a nested block
    // and a trigger, where a row's column is of a type not known here.
    {"PackagesNestedBlocksAndTriggersRoundToo", false,
     "CREATE OR REPLACE PACKAGE pk AS\n"
     "  TYPE pair IS RECORD (a PLS_INTEGER, b NUMBER);\n"
     "  g_count PLS_INTEGER;\n"
     "  FUNCTION half(n PLS_INTEGER) RETURN NUMBER;\n"
     "END pk;\n"
     "/\n"
     "CREATE OR REPLACE PACKAGE BODY pk AS\n"
     "  FUNCTION half(n PLS_INTEGER) RETURN NUMBER IS BEGIN RETURN n / 2; END;\n"
     "  PROCEDURE run IS r pair; BEGIN\n"
     "    g_count := 1.5; r.a := 0.5; r.b := 0.5;\n"
     "    DECLARE k SMALLINT := g_count / 2; BEGIN k := half(0.5) + pk.half(k * 1.5); END;\n"
     "  END;\n"
     "END pk;\n"
     "/\n"
     "CREATE OR REPLACE TRIGGER trg BEFORE INSERT ON t FOR EACH ROW\n"
     "DECLARE n INTEGER := 2.5; BEGIN :NEW.qty := 2.5; n := :NEW.qty; END;\n"
     "/\n",
     packageHead("pk", {"TYPE pair AS ROW \n(\n  a INTEGER,\n  b NUMBER\n\n)", "VARIABLE g_count INTEGER",
                        "FUNCTION half(\nn INTEGER) RETURNS NUMBER LANGUAGE SQL "}) +
         moduleBodyOpening("pk") + memberHead("pk", "half", {"n INTEGER"}, "NUMBER") + "  RETURN DECFLOAT(n) / 2;\n" +
         kRoutineEnd + memberHead("pk", "run") +
         "  DECLARE r pair;\n"
         "  SET g_count = 2;\n"
         "  SET r.a = 1;\n"
         "  SET r.b = 0.5;\n"
         "  BEGIN\n"
         "  DECLARE k SMALLINT;\n"
         "  SET k = ROUND(DECFLOAT(g_count) / 2, 0);\n"
         "  SET k = ROUND(half(1) + pk.half(ROUND(k * 1.5, 0)), 0);\n"
         "  END;\n" +
         kRoutineEnd +
         "CREATE OR REPLACE TRIGGER trg BEFORE INSERT ON t REFERENCING NEW AS SYSZULINTERNAL_NEW FOR EACH ROW   "
         "SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  DECLARE n INTEGER DEFAULT 3;\n"
         "  SET SYSZULINTERNAL_NEW.qty = 2.5;\n"
         "  SET n = SYSZULINTERNAL_NEW.qty;\n"
         "  END@\n\n\n\n",
     ""},
    // A function of the run without parameters named bare inside SQL, where
    // a column of that name may be meant, is recorded; qualified by its
    // package, or where no column can be meant, it gets its parentheses.
    // An alias, a column an UPDATE sets or an INSERT names is no call.
    {"FunctionsWithoutParenthesesInSql", false,
     "CREATE OR REPLACE PACKAGE lim AS FUNCTION limit_of RETURN NUMBER; END lim;\n"
     "/\n"
     "CREATE OR REPLACE PACKAGE BODY lim AS\n"
     "  FUNCTION limit_of RETURN NUMBER IS BEGIN RETURN 5; END;\n"
     "  PROCEDURE trim_rows IS\n"
     "    CURSOR c IS SELECT a FROM t WHERE x < limit_of;\n"
     "  BEGIN\n"
     "    UPDATE t SET y = limit_of, limit_of = 1 WHERE z > lim.limit_of;\n"
     "    DELETE FROM t WHERE x > limit_of;\n"
     "    INSERT INTO t (limit_of) SELECT limit_of FROM dual;\n"
     "    FOR r IN (SELECT x limit_of FROM t) LOOP NULL; END LOOP;\n"
     "  END;\n"
     "END lim;\n"
     "/\n",
     packageHead("lim", {"FUNCTION limit_of() RETURNS NUMBER LANGUAGE SQL "}) + moduleBodyOpening("lim") +
         routineOrMemberHead("lim", "FUNCTION", "limit_of") + "  RETURN 5;\n" + kRoutineEnd +
         memberHead("lim", "trim_rows") +
         "  DECLARE c CURSOR CONSTANT (CURSOR FOR SELECT a FROM t WHERE x < limit_of);\n"
         "  UPDATE t SET y = limit_of, limit_of = 1 WHERE z > lim.limit_of();\n"
         "  DELETE FROM t WHERE x > limit_of;\n"
         "  INSERT INTO t(limit_of) SELECT limit_of() FROM dual;\n"
         "\n  FOR r AS\n  SELECT x limit_of FROM t\n  DO\n  BEGIN END; -- NULL;\n  END FOR;\n\n" +
         kRoutineEnd,
     "Function without parentheses in SQL not supported|2|6|limit_of|limit_of\n"
     "Function without parentheses in SQL not supported|2|8|limit_of|limit_of\n"
     "Function without parentheses in SQL not supported|2|9|limit_of|limit_of\n"},
    // INSERT ALL and FIRST, the conditions of MERGE's UPDATE, DELETE and
    // INSERT, NOWAIT and WAIT after FOR UPDATE are recorded (a WHERE in
    // MERGE's source is none of them); SKIP LOCKED is the target's SKIP
    // LOCKED DATA.
    {"DmlFormsAndLockWaitsTheTargetLacks", false,
     "BEGIN\n"
     "  INSERT ALL INTO t VALUES (1) INTO u VALUES (2) SELECT * FROM dual;\n"
     "  INSERT FIRST WHEN a > 1 THEN INTO t VALUES (a) SELECT a FROM s;\n"
     "  MERGE INTO t USING s ON (t.a = s.a)\n"
     "    WHEN MATCHED THEN UPDATE SET t.b = s.b WHERE s.c = 1 DELETE WHERE t.b = 0\n"
     "    WHEN NOT MATCHED THEN INSERT (a) VALUES (s.a) WHERE s.c = 2;\n"
     "  MERGE INTO t USING (SELECT a FROM s WHERE c = 1) s ON (t.a = s.a)\n"
     "    WHEN MATCHED THEN UPDATE SET t.b = 1;\n"
     "END;\n"
     "/\n"
     "DECLARE\n"
     "  CURSOR c IS SELECT a FROM t FOR UPDATE OF a NOWAIT;\n"
     "  n NUMBER;\n"
     "BEGIN\n"
     "  SELECT a INTO n FROM t WHERE b = 1 FOR UPDATE WAIT 5;\n"
     "  FOR r IN (SELECT a FROM t FOR UPDATE SKIP LOCKED) LOOP NULL; END LOOP;\n"
     "  LOCK TABLE t IN EXCLUSIVE MODE NOWAIT;\n"
     "END;\n"
     "/\n",
     anonymousBlock("  INSERT ALL INTO t VALUES(1) INTO u VALUES(2) SELECT * FROM dual;\n"
                    "  INSERT FIRST WHEN a > 1 THEN INTO t VALUES(a) SELECT a FROM s;\n"
                    "  MERGE INTO t USING s ON(t.a = s.a) WHEN MATCHED THEN UPDATE SET t.b = s.b WHERE s.c = 1 "
                    "DELETE WHERE t.b = 0 WHEN NOT MATCHED THEN INSERT(a) VALUES(s.a) WHERE s.c = 2;\n"
                    "  MERGE INTO t USING(SELECT a FROM s WHERE c = 1) s ON(t.a = s.a) WHEN MATCHED THEN UPDATE "
                    "SET t.b = 1;\n") +
         anonymousBlock("  DECLARE c CURSOR CONSTANT (CURSOR FOR SELECT a FROM t FOR UPDATE OF a NOWAIT);\n"
                        "  DECLARE n NUMBER;\n" +
                        kNoRowGuard + "  SELECT a INTO n FROM t WHERE b = 1 FOR UPDATE WAIT 5;\n  END;\n" +
                        "\n  FOR r AS\n  SELECT a FROM t FOR UPDATE SKIP LOCKED DATA\n  DO\n  BEGIN END; -- NULL;\n"
                        "  END FOR;\n\n"
                        "  LOCK TABLE t IN EXCLUSIVE MODE NOWAIT;\n"),
     "INSERT ALL not supported|2|2|INSERT ALL|\n"
     "INSERT FIRST not supported|2|3|INSERT FIRST|\n"
     "MERGE ... UPDATE ... WHERE not supported|2|5|UPDATE ... WHERE|WHERE\n"
     "MERGE ... DELETE WHERE not supported|2|5|DELETE WHERE|DELETE\n"
     "MERGE ... INSERT ... WHERE not supported|2|6|INSERT ... WHERE|WHERE\n"
     "FOR UPDATE ... NOWAIT not supported|2|12|NOWAIT|NOWAIT\n"
     "FOR UPDATE ... NOWAIT not supported|2|15|WAIT|WAIT\n"
     "LOCK TABLE ... NOWAIT not supported|2|17|NOWAIT|\n"},
    // A literal dynamic text (alone, or the first of joined ones) in
    // PL/SQL's words is written in the target's where it has the
    // statement, in the text's case, and recorded where it has none; a
    // written TRUNCATE the same.
    {"DynamicTextsInTheTargetsWords", false,
     "CREATE PROCEDURE d(t VARCHAR2, s VARCHAR2) IS\n"
     "BEGIN\n"
     "  EXECUTE IMMEDIATE 'TRUNCATE TABLE t';\n"
     "  EXECUTE IMMEDIATE 'truncate table ' || t;\n"
     "  EXECUTE IMMEDIATE 'ALTER SESSION SET nls_date_format = ''YYYY''';\n"
     "  EXECUTE IMMEDIATE 'savepoint ' || s;\n"
     "  EXECUTE IMMEDIATE 'rollback to ' || s;\n"
     "  EXECUTE IMMEDIATE 'drop type json force';\n"
     "  EXECUTE IMMEDIATE 'drop table ' || t || ' cascade constraints purge';\n"
     "  EXECUTE IMMEDIATE 'drop package ' || t;\n"
     "  EXECUTE IMMEDIATE 'CREATE OR REPLACE SYNONYM s FOR t';\n"
     "  EXECUTE IMMEDIATE 'drop sequence q';\n"
     "  TRUNCATE TABLE t;\n"
     "  TRUNCATE TABLE u CASCADE;\n"
     "END;\n"
     "/\n",
     routineHead("d", {"IN t VARCHAR2(4096)", "IN s VARCHAR2(4096)"}) +
         dynamicBlock("TRUNCATE TABLE t IMMEDIATE", kExecute) +
         joinedDynamic("'truncate table ' || t || ' immediate'") +
         dynamicBlock("ALTER SESSION SET nls_date_format = ''YYYY''", kExecute) +
         joinedDynamic("'savepoint ' || s || ' on rollback retain cursors'") +
         joinedDynamic("'rollback to savepoint ' || s") + dynamicBlock("drop type json force", kExecute) +
         joinedDynamic("'drop table ' || t || ' cascade constraints purge'") + joinedDynamic("'drop module ' || t") +
         dynamicBlock("CREATE OR REPLACE ALIAS s FOR t", kExecute) + dynamicBlock("drop sequence q", kExecute) +
         "  TRUNCATE TABLE t IMMEDIATE;\n"
         "  TRUNCATE TABLE u CASCADE;\n" +
         kRoutineEnd,
     "Statement ALTER SESSION not supported|2|5|EXECUTE IMMEDIATE|\n"
     "Statement DROP ... FORCE not supported|2|8|EXECUTE IMMEDIATE|\n"
     "Statement DROP ... CASCADE CONSTRAINTS not supported|2|9|EXECUTE IMMEDIATE|\n"
     "Statement TRUNCATE ... CASCADE not supported|2|14|TRUNCATE|\n"},
    // The target empties tables alone: TRUNCATE CLUSTER, as dynamic text
    // alone or joined and as a statement of a nested block, is recorded and
    // written as it stands, without the IMMEDIATE that TRUNCATE TABLE takes.
    {"TruncateClusterHasNoForm", false,
     "CREATE OR REPLACE PACKAGE BODY pk IS\n"
     "  PROCEDURE wipe(c VARCHAR2) IS\n"
     "  BEGIN\n"
     "    EXECUTE IMMEDIATE 'TRUNCATE CLUSTER c1 REUSE STORAGE';\n"
     "    EXECUTE IMMEDIATE 'truncate cluster ' || c;\n"
     "    BEGIN TRUNCATE CLUSTER c2; END;\n"
     "  END;\n"
     "END;\n"
     "/\n",
     moduleBodyOpening("pk") + memberHead("pk", "wipe", {"IN c VARCHAR2(4096)"}) +
         dynamicBlock("TRUNCATE CLUSTER c1 REUSE STORAGE", kExecute) + joinedDynamic("'truncate cluster ' || c") +
         "  BEGIN\n  TRUNCATE CLUSTER c2;\n  END;\n" + kRoutineEnd,
     "Statement TRUNCATE CLUSTER not supported|2|4|EXECUTE IMMEDIATE|\n"
     "Statement TRUNCATE CLUSTER not supported|2|5|EXECUTE IMMEDIATE|\n"
     "Statement TRUNCATE CLUSTER not supported|2|6|TRUNCATE|\n"},
    // Numbers round half away from zero, carried into the whole part; one
    // with an exponent is rounded by ROUND, one of the type's scale (its
    // trailing zeros apart) stays. ROUND and TRUNC keep the digits they are
    // given. Statements already in the target's words stay as they are.
    {"NumbersRoundedWhereWrittenAndOtherStatements", false,
     "DECLARE\n"
     "  a INTEGER := 1.5E2;\n"
     "  b NUMBER(4,1) := 2.50;\n"
     "  c NUMBER(4,1) := 9.96;\n"
     "  d INTEGER := .5;\n"
     "BEGIN\n"
     "  d := TRUNC(d / 3, 1);\n"
     "  EXECUTE IMMEDIATE 'SAVEPOINT a';\n"
     "  EXECUTE IMMEDIATE 'ROLLBACK WORK TO SAVEPOINT a';\n"
     "  EXECUTE IMMEDIATE 'drop package body p';\n"
     "  EXECUTE IMMEDIATE 'TRUNCATE TABLE t DROP ALL STORAGE';\n"
     "  EXECUTE IMMEDIATE 'DROP PUBLIC SYNONYM s';\n"
     "END;\n"
     "/\n",
     anonymousBlock(
         "  DECLARE a INTEGER;\n"
         "  DECLARE b NUMBER(4, 1) DEFAULT 2.50;\n"
         "  DECLARE c NUMBER(4, 1) DEFAULT 10.0;\n"
         "  DECLARE d INTEGER DEFAULT 1;\n"
         "  SET a = ROUND(1.5E2, 0);\n"
         "  SET d = ROUND(TRUNC(DECFLOAT(d) / 3, 1), 0);\n" +
         dynamicBlock("SAVEPOINT a ON ROLLBACK RETAIN CURSORS", kExecute) +
         dynamicBlock("ROLLBACK WORK TO SAVEPOINT a", kExecute) + dynamicBlock("drop package body p", kExecute) +
         dynamicBlock("TRUNCATE TABLE t DROP ALL STORAGE", kExecute) + dynamicBlock("DROP PUBLIC ALIAS s", kExecute)),
     "Statement DROP PACKAGE BODY not supported|2|10|EXECUTE IMMEDIATE|\n"
     "Statement TRUNCATE ... DROP ALL STORAGE not supported|2|11|EXECUTE IMMEDIATE|\n"},
};

TEST(TranslateAssignments, WholeTranslations) { expectSoundCases(kCases); }

}  // namespace

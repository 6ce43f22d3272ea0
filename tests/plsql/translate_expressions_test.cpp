// Whole translations of expressions and statements whose target form would
// mean something else: division, SUBSTR from the end, cursors over a
// COMMIT, empty branches, NOT NULL variables, record rows and dynamic
// RETURNING, and the size of dynamic statement texts.
#include <gtest/gtest.h>

#include "translate_fixture.h"

namespace {

using namespace translate_test;

const SoundCase kCases[] = {
    // Every quotient is exact, as in PL/SQL: one operand becomes DECFLOAT
    // (the left one when it is a single token, else the right one), in
    // package and local defaults, assignments, conditions, cursor queries
    // and SQL statements; an integer target rounds it; a divisor that is not
    // a non-zero number raises 22012 when it is zero, read once when it
    // holds a call or is long (another guarded division). SUBSTR and INSTR
    // count characters as PL/SQL does in the target's SUBSTR4 and INSTR4: a
    // negative start counts from the end, a start of 0 reads as 1.
    {"ExactDivisionAndSubstrFromTheEnd", false,
     "CREATE OR REPLACE PACKAGE BODY stats AS g_scale NUMBER := 100/3; END stats;\n"
     "/\n"
     "DECLARE\n"
     "  c_hour CONSTANT NUMBER := 1/24;\n"
     "  half PLS_INTEGER := 7;\n"
     "  x NUMBER;\n"
     "  s VARCHAR2(100);\n"
     "  CURSOR c IS SELECT done/total FROM job;\n"
     "BEGIN\n"
     "  x := half/x*100;\n"
     "  half := (half + 1)/2;\n"
     "  x := f(x)/g(x)/(x/-half);\n"
     "  IF x/2 > 1 THEN UPDATE job SET rate = ABS(done)/total; END IF;\n"
     "  s := SUBSTR(s, -3, 2) || SUBSTR(s, -1) || SUBSTR(s, 0, 2);\n"
     "  s := SUBSTR(SUBSTR(s, 2), -2);\n"
     "  s := SUBSTR(s, half) || SUBSTR(s, -half);\n"
     "  half := INSTR(s, ',', -1);\n"
     "  DELETE FROM emp WHERE SUBSTR(code, -2) = '01';\n"
     "END;\n"
     "/\n",
     moduleBodyOpening("stats") + moduleMember("stats", "VARIABLE g_scale NUMBER DEFAULT (DECFLOAT(100) / 3)") +
         anonymousBlock(
             "  DECLARE c_hour NUMBER;\n"
             "  DECLARE half INTEGER DEFAULT 7;\n"
             "  DECLARE x NUMBER;\n"
             "  DECLARE s VARCHAR2(100);\n"
             "  DECLARE c CURSOR CONSTANT (CURSOR FOR SELECT DECFLOAT(done) / CASE total WHEN 0 THEN "
             "RAISE_ERROR('22012', 'division by zero') ELSE total END FROM job);\n"
             "  SET c_hour = DECFLOAT(1) / 24;\n"
             "  SET x = DECFLOAT(half) / CASE x WHEN 0 THEN RAISE_ERROR('22012', 'division by zero') ELSE x END * "
             "100;\n"
             "  SET half = ROUND((half + 1) / DECFLOAT(2), 0);\n"
             "  SET x = f(x) /(SELECT CASE SYSZULINTERNAL_DIVISOR WHEN 0 THEN RAISE_ERROR('22012', 'division by zero') "
             "ELSE DECFLOAT(SYSZULINTERNAL_DIVISOR) END FROM(VALUES(g(x))) AS "
             "SYSZULINTERNAL_ONCE(SYSZULINTERNAL_DIVISOR)) /(SELECT CASE SYSZULINTERNAL_DIVISOR WHEN 0 THEN "
             "RAISE_ERROR('22012', 'division by zero') ELSE DECFLOAT(SYSZULINTERNAL_DIVISOR) END FROM(VALUES((DECFLOAT(x) "
             "/ CASE - half WHEN 0 THEN RAISE_ERROR('22012', 'division by zero') ELSE - half END))) AS "
             "SYSZULINTERNAL_ONCE(SYSZULINTERNAL_DIVISOR));\n"
             "\n"
             "  IF DECFLOAT(x) / 2 > 1 THEN\n"
             "  UPDATE job SET rate = ABS(done) / CASE total WHEN 0 THEN RAISE_ERROR('22012', 'division by zero') "
             "ELSE DECFLOAT(total) END;\n"
             "  END IF;\n"
             "\n"
             "  SET s = SUBSTR4(s, - 3, 2) || SUBSTR4(s, - 1) || SUBSTR4(s, 0, 2);\n"
             "  SET s = SUBSTR4(SUBSTR4(s, 2), - 2);\n"
             "  SET s = SUBSTR4(s, half) || SUBSTR4(s, - half);\n"
             "  SET half = INSTR4(s, ',', - 1);\n"
             "  DELETE FROM emp WHERE SUBSTR4(code, - 2) = '01';\n"),
     ""},
    // A loop's condition takes its exact forms as every written expression
    // does: the last pass goes over it in the emitter's order.
    {"ExactFormsInALoopCondition", false,
     "DECLARE\n  n NUMBER := 9;\n  s VARCHAR2(10);\nBEGIN\n"
     "  WHILE n / 3 > 1 AND LENGTH(s) > 0 LOOP\n    n := n - 1;\n  END LOOP;\nEND;\n/\n",
     anonymousBlock("  DECLARE n NUMBER DEFAULT 9;\n  DECLARE s VARCHAR2(10);\n\n"
                    "  WHILE DECFLOAT(n) / 3 > 1 AND LENGTH4(s) > 0 DO\n  SET n = n - 1;\n  END WHILE;\n\n"),
     ""},
    // A cursor that a COMMIT can meet while it is open is declared WITH
    // HOLD: within its block, its FOR loop or the routine that opens it, or
    // through a call of a routine of the run that commits (a function
    // without parameters called without parentheses too). A ROLLBACK closes
    // even a held cursor: one inside a loop over an open cursor is recorded.
    {"CursorsStayOpenOverACommit", false,
     "CREATE OR REPLACE PACKAGE BODY batch AS\n"
     "  CURSOR g IS SELECT id FROM queue;\n"
     "  FUNCTION mark RETURN NUMBER IS BEGIN COMMIT; RETURN 1; END;\n"
     "  PROCEDURE flush IS n NUMBER; BEGIN n := mark; END;\n"
     "  PROCEDURE through_call IS CURSOR c IS SELECT id FROM emp; BEGIN OPEN c; flush; CLOSE c; END;\n"
     "  PROCEDURE read_only IS CURSOR c IS SELECT id FROM emp; BEGIN OPEN c; CLOSE c; END;\n"
     "END batch;\n"
     "/\n"
     "CREATE OR REPLACE PROCEDURE sweep IS\n"
     "  rc SYS_REFCURSOR;\n"
     "BEGIN\n"
     "  FOR r IN (SELECT id FROM emp) LOOP\n"
     "    SAVEPOINT s1; ROLLBACK TO s1; COMMIT; ROLLBACK;\n"
     "  END LOOP;\n"
     "  OPEN rc FOR SELECT id FROM emp;\n"
     "  ROLLBACK;\n"
     "END;\n"
     "/\n",
     moduleBodyOpening("batch") +
         moduleMember("batch", "VARIABLE g CURSOR CONSTANT (CURSOR WITH HOLD FOR SELECT id FROM queue)") +
         routineOrMemberHead("batch", "FUNCTION", "mark", "", true) +
         "  COMMIT ;\n"
         "  RETURN 1;\n" +
         kRoutineEnd + memberHead("batch", "flush") +
         "  DECLARE n NUMBER;\n"
         "  SET n = mark();\n" +
         kRoutineEnd + memberHead("batch", "through_call") +
         "  DECLARE c CURSOR CONSTANT (CURSOR WITH HOLD FOR SELECT id FROM emp);\n"
         "  OPEN c;\n"
         "  CALL flush;\n"
         "  CLOSE c ;\n" +
         kRoutineEnd + memberHead("batch", "read_only") +
         "  DECLARE c CURSOR CONSTANT (CURSOR FOR SELECT id FROM emp);\n"
         "  OPEN c;\n"
         "  CLOSE c ;\n" +
         kRoutineEnd + routineOrMemberHead("", "PROCEDURE", "sweep") +
         "  DECLARE rc CURSOR;\n"
         "\n"
         "  FOR r AS SYSZULINTERNAL_CURSOR_r CURSOR WITH HOLD FOR\n"
         "  SELECT id FROM emp\n"
         "  DO\n"
         "  SAVEPOINT s1 ON ROLLBACK RETAIN CURSORS;\n"
         "  ROLLBACK TO SAVEPOINT s1;\n"
         "  COMMIT ;\n"
         "  ROLLBACK ;\n"
         "  END FOR;\n"
         "\n"
         "  SET rc = CURSOR WITH HOLD FOR SELECT id FROM emp;\n"
         "  OPEN rc;\n"
         "  ROLLBACK ;\n" +
         kRoutineEnd,
     "ROLLBACK inside a loop over an open cursor not supported|2|13|ROLLBACK|\n"},
    // A loop FETCHes when a numeric FOR inside it does; a ROLLBACK in a
    // numeric FOR that no fetching loop holds is no such case.
    {"LoopsThatFetchThroughANumericFor", false,
     "CREATE OR REPLACE PROCEDURE drain IS\n"
     "  CURSOR c IS SELECT id FROM emp;\n"
     "  v NUMBER;\n"
     "BEGIN\n"
     "  FOR i IN 1 .. 3 LOOP ROLLBACK; END LOOP;\n"
     "  OPEN c;\n"
     "  LOOP\n"
     "    FOR i IN 1 .. 2 LOOP FETCH c INTO v; END LOOP;\n"
     "    ROLLBACK;\n"
     "  END LOOP;\n"
     "END;\n"
     "/\n",
     routineOrMemberHead("", "PROCEDURE", "drain") +
         "  DECLARE c CURSOR CONSTANT (CURSOR FOR SELECT id FROM emp);\n"
         "  DECLARE v NUMBER;\n"
         "  BEGIN\n"
         "  DECLARE i INTEGER DEFAULT 1;\n"
         "  DECLARE SYSZULINTERNAL_LOOP_LIMIT INTEGER DEFAULT 3;\n"
         "\n"
         "  WHILE i <= SYSZULINTERNAL_LOOP_LIMIT DO\n"
         "  ROLLBACK ;\n"
         "  SET i = i + 1;\n"
         "  END WHILE;\n"
         "\n"
         "  END;\n"
         "  OPEN c;\n"
         "\n"
         "  LOOP\n"
         "  BEGIN\n"
         "  DECLARE i INTEGER DEFAULT 1;\n"
         "  DECLARE SYSZULINTERNAL_LOOP_LIMIT INTEGER DEFAULT 2;\n"
         "\n"
         "  WHILE i <= SYSZULINTERNAL_LOOP_LIMIT DO\n"
         "  FETCH c INTO v;\n"
         "  SET i = i + 1;\n"
         "  END WHILE;\n"
         "\n"
         "  END;\n"
         "  ROLLBACK ;\n"
         "  END LOOP;\n"
         "\n" +
         kRoutineEnd,
     "ROLLBACK inside a loop over an open cursor not supported|2|9|ROLLBACK|\n"},
    // A branch, loop body or CASE arm made of NULL alone gets an empty
    // compound statement; NOT NULL on a variable (of a package too; not on
    // a constant), a record as the row of UPDATE or INSERT and RETURNING
    // INTO in a dynamic statement leave records; dynamic texts are held in a
    // CLOB as long as the longest statement the target prepares.
    {"EmptyBranchesAndConstructsWithoutATargetForm", false,
     "CREATE OR REPLACE PACKAGE BODY cfg AS\n"
     "  g_ready BOOLEAN NOT NULL := FALSE;\n"
     "  c_max CONSTANT PLS_INTEGER NOT NULL := 10;\n"
     "END cfg;\n"
     "/\n"
     "DECLARE\n"
     "  n PLS_INTEGER NOT NULL := 0;\n"
     "  rec emp%ROWTYPE;\n"
     "BEGIN\n"
     "  IF n = 0 THEN NULL; ELSE NULL; END IF;\n"
     "  CASE n WHEN 1 THEN NULL; ELSE n := 2; END CASE;\n"
     "  LOOP NULL; END LOOP;\n"
     "  UPDATE emp SET ROW = rec WHERE id = rec.id;\n"
     "  INSERT INTO emp VALUES rec;\n"
     "  EXECUTE IMMEDIATE 'UPDATE emp SET sal = 2 WHERE id = :1 RETURNING sal INTO :2' USING rec.id, OUT n;\n"
     "EXCEPTION WHEN OTHERS THEN NULL;\n"
     "END;\n"
     "/\n",
     moduleBodyOpening("cfg") + moduleMember("cfg", "VARIABLE g_ready BOOLEAN DEFAULT (FALSE)") +
         moduleMember("cfg", "VARIABLE c_max INTEGER CONSTANT (10)") +
         anonymousBlock("  DECLARE n INTEGER DEFAULT 0;\n"
                        "  DECLARE rec ANCHOR TO ROW emp;\n" +
                        kErrorVariables + exitHandler("SQLEXCEPTION", "  -- NULL;\n") +
                        "\n"
                        "  IF n = 0 THEN\n"
                        "  BEGIN END; -- NULL;\n"
                        "  ELSE\n"
                        "  BEGIN END; -- NULL;\n"
                        "  END IF;\n"
                        "\n"
                        "\n"
                        "  CASE n\n"
                        "  WHEN 1 THEN\n"
                        "  BEGIN END; -- NULL;\n"
                        "  ELSE \n"
                        "  SET n = 2;\n"
                        "  END CASE;\n"
                        "\n"
                        "\n"
                        "  LOOP\n"
                        "  BEGIN END; -- NULL;\n"
                        "  END LOOP;\n"
                        "\n"
                        "  UPDATE emp SET ROW = rec WHERE id = rec.id;\n"
                        "  INSERT INTO emp VALUES rec;\n"
                        "  BEGIN\n"
                        "  DECLARE SYSZULINTERNAL_STMT_TEXT CLOB(2M) DEFAULT 'UPDATE emp SET sal = 2 WHERE id = :1 "
                        "RETURNING sal INTO :2';\n"
                        "  PREPARE SYSZULINTERNAL_00000001 FROM SYSZULINTERNAL_STMT_TEXT;\n"
                        "  EXECUTE SYSZULINTERNAL_00000001 INTO n USING rec.id;\n"
                        "  END;\n"),
     "NOT NULL on a variable not supported|2|2|g_ready|\n"
     "NOT NULL on a variable not supported|2|7|n|\n"
     "UPDATE ... SET ROW not supported|2|13|SET ROW = ...|\n"
     "INSERT ... VALUES with a record not supported|2|14|VALUES record|\n"
     "RETURNING INTO in a dynamic statement not supported|2|15|EXECUTE IMMEDIATE ... RETURNING|\n"},
};

TEST(TranslateExpressions, WholeTranslations) { expectSoundCases(kCases); }

}  // namespace

// A long chain of routines each calling the one defined after it: the
// COMMIT at its end reaches the cursor of the first, and the data change at
// the end of a chain of functions makes each of them change data. Each is
// settled in one pass over the chain, not one pass per link.
TEST(TranslateExpressions, LongCallChainsAreFollowedToTheirEnd) {
  const int n = 3000;
  std::string procedures = "CREATE OR REPLACE PROCEDURE p" + std::to_string(n) +
                           " AS\n  CURSOR c IS SELECT id FROM t;\nBEGIN\n  OPEN c;\n  p" + std::to_string(n - 1) +
                           ";\nEND;\n/\n";
  std::string functions;
  for (int k = n - 1; k >= 2; --k)
    procedures += "CREATE OR REPLACE PROCEDURE p" + std::to_string(k) + " AS\nBEGIN\n  p" + std::to_string(k - 1) +
                  ";\nEND;\n/\n";
  procedures += "CREATE OR REPLACE PROCEDURE p1 AS\nBEGIN\n  COMMIT;\nEND;\n/\n";
  for (int k = n; k >= 2; --k)
    functions += "CREATE OR REPLACE FUNCTION f" + std::to_string(k) + " RETURN NUMBER AS\nBEGIN\n  RETURN f" +
                 std::to_string(k - 1) + "();\nEND;\n/\n";
  functions += "CREATE OR REPLACE FUNCTION f1 RETURN NUMBER AS\nBEGIN\n  DELETE FROM t;\n  RETURN 1;\nEND;\n/\n";
  Out held = translate(procedures.c_str(), false);
  ASSERT_EQ(held.texts.size(), size_t(n));
  EXPECT_NE(held.texts[0].find("CURSOR WITH HOLD FOR SELECT id FROM t"), std::string::npos);
  Out modifying = translate(functions.c_str(), false);
  ASSERT_EQ(modifying.texts.size(), size_t(n));
  for (const std::string& text : {modifying.texts.front(), modifying.texts.back()})
    EXPECT_NE(text.find("MODIFIES SQL DATA"), std::string::npos) << text;
}

// Whole translations of forms that nest: a divisor that is itself a form
// (POWER with a run-time exponent, MOD), a power of a bound power, a chain
// of ** (which binds right), an aggregate divisor in a query, positions
// beyond INTEGER, TRANSLATE of a NULL list and differences of timestamps.
#include <gtest/gtest.h>

#include "translate_fixture.h"

namespace {

using namespace translate_test;

// The guard of a divisor d written in place, and read once as `d`.
std::string guarded(const std::string& d, const std::string& value) {
  return "CASE " + d + " WHEN 0 THEN RAISE_ERROR('22012', 'division by zero') ELSE " + value + " END";
}
std::string boundOnce(const std::string& body, const std::string& values, const std::string& columns) {
  return "(SELECT " + body + " FROM(VALUES(" + values + ")) AS SYSZULINTERNAL_ONCE(" + columns + "))";
}
// POWER(base, e) for an exponent known only at run time.
std::string runTimePower(const std::string& base, const std::string& e) {
  return "CASE WHEN " + e + " = TRUNC(" + e + ") THEN POWER(DECFLOAT(" + base + "), " + e + ") ELSE POWER(DOUBLE(" +
         base + "), " + e + ") END";
}

const SoundCase kCases[] = {
    // The divisor is the whole form of POWER or MOD: guarded whole, and
    // read once when the form is long.
    {"DivisorThatIsAForm", false,
     "CREATE OR REPLACE PACKAGE BODY bits AS\n"
     "  FUNCTION shr(p_val NUMBER, p_shift NUMBER) RETURN NUMBER IS\n"
     "  BEGIN\n"
     "    RETURN trunc(p_val / power(2, p_shift)) + p_val / mod(p_val, p_shift);\n"
     "  END;\n"
     "END bits;\n",
     moduleBodyOpening("bits") + memberHead("bits", "shr", {"p_val NUMBER", "p_shift NUMBER"}, "NUMBER") +
         "  RETURN trunc(DECFLOAT(p_val) /" +
         boundOnce(guarded("SYSZULINTERNAL_DIVISOR", "SYSZULINTERNAL_DIVISOR"), runTimePower("2", "p_shift"),
                   "SYSZULINTERNAL_DIVISOR") +
         ") + DECFLOAT(p_val) / " +
         guarded("CASE p_shift WHEN 0 THEN p_val ELSE MOD(p_val, p_shift) END",
                 "CASE p_shift WHEN 0 THEN p_val ELSE MOD(p_val, p_shift) END") +
         ";\n" + kRoutineEnd,
     ""},
    // A bound power is a scalar query in parentheses wherever it goes; **
    // binds right: 2 ** 3 ** 2 is 2 ** 9.
    {"PowersNestAndBindRight", false,
     "DECLARE\n"
     "  r NUMBER; a NUMBER; b NUMBER; e NUMBER; n NUMBER;\n"
     "BEGIN\n"
     "  r := POWER(POWER(a + b + a * b + 1 + 2 + 3 + 4 + 5, e), e);\n"
     "  r := 2 ** 3 ** 2 + n ** 2 ** 3;\n"
     "END;\n",
     anonymousBlock("  DECLARE r NUMBER;\n  DECLARE a NUMBER;\n  DECLARE b NUMBER;\n  DECLARE e NUMBER;\n"
                    "  DECLARE n NUMBER;\n"
                    "  SET r = " +
                    boundOnce(runTimePower("SYSZULINTERNAL_BASE", "e"),
                              boundOnce(runTimePower("SYSZULINTERNAL_BASE", "e"), "a + b + a * b + 1 + 2 + 3 + 4 + 5",
                                        "SYSZULINTERNAL_BASE"),
                              "SYSZULINTERNAL_BASE") +
                    ";\n"
                    "  SET r = " +
                    runTimePower("2", "POWER(DECFLOAT(3), 2)") + " + " + runTimePower("n", "POWER(DECFLOAT(2), 3)") +
                    ";\n"),
     ""},
    // An aggregate cannot be computed by a query over one row inside the
    // query that groups: it is written twice; a call of the run's function
    // in the trigger's body is still read once.
    {"AggregateDivisorIsWrittenTwice", false,
     "CREATE OR REPLACE TRIGGER tr BEFORE INSERT ON orders FOR EACH ROW\n"
     "DECLARE\n"
     "  pct NUMBER;\n"
     "BEGIN\n"
     "  SELECT 100*SUM(CASE WHEN status = 'A' THEN 1 ELSE 0 END)/SUM(CASE WHEN status IN ('A','B','C') THEN 1 ELSE 0 "
     "END)\n"
     "    INTO pct FROM orders WHERE cust = :NEW.cust;\n"
     "  :NEW.share := pct / COUNT_OF(:NEW.cust);\n"
     "END;\n",
     "[0]\nCREATE OR REPLACE TRIGGER tr BEFORE INSERT ON orders REFERENCING NEW AS SYSZULINTERNAL_NEW FOR EACH ROW   "
     "SYSZULINTERNAL_BLOCK: BEGIN\n"
     "  DECLARE pct NUMBER;\n" +
         kNoRowGuard + "  SELECT 100 * SUM(CASE WHEN status = 'A' THEN 1 ELSE 0 END) / " +
         guarded("SUM(CASE WHEN status IN('A', 'B', 'C') THEN 1 ELSE 0 END)",
                 "DECFLOAT(SUM(CASE WHEN status IN('A', 'B', 'C') THEN 1 ELSE 0 END))") +
         " INTO pct FROM orders WHERE cust = SYSZULINTERNAL_NEW.cust;\n"
         "  END;\n"
         "  SET SYSZULINTERNAL_NEW.share = DECFLOAT(pct) /" +
         boundOnce(guarded("SYSZULINTERNAL_DIVISOR", "SYSZULINTERNAL_DIVISOR"), "COUNT_OF(SYSZULINTERNAL_NEW.cust)",
                   "SYSZULINTERNAL_DIVISOR") +
         ";\n  END@\n\n\n\n",
     ""},
    // Positions and lengths written beyond INTEGER reach past any string,
    // as its bound does; TRANSLATE of a NULL or empty list is NULL in both,
    // in PL/SQL and in SQL of a nested block.
    {"BoundsAndNullLists", false,
     "DECLARE\n"
     "  s VARCHAR2(100); v VARCHAR2(100);\n"
     "BEGIN\n"
     "  s := SUBSTR(s, -3000000000) || SUBSTR(s, 2, 5000000000) || INSTR(s, 'a', 1, 3000000000);\n"
     "  v := TRANSLATE(v, 'xyz', '') || TRANSLATE(v, NULL, 'a');\n"
     "  BEGIN\n"
     "    UPDATE t SET c = TRANSLATE(c, 'ab', '') WHERE SUBSTR(c, 4000000000) IS NULL;\n"
     "  END;\n"
     "END;\n",
     anonymousBlock(
         "  DECLARE s VARCHAR2(100);\n  DECLARE v VARCHAR2(100);\n"
         "  SET s = SUBSTR4(s, - 2147483647) || SUBSTR4(s, 2, 2147483647) || INSTR4(s, 'a', 1, 2147483647);\n"
         "  SET v = TRANSLATE(v, '', 'xyz') || TRANSLATE(v, 'a', NULL);\n"
         "  BEGIN\n"
         "  UPDATE t SET c = TRANSLATE(c, '', 'ab') WHERE SUBSTR4(c, 2147483647) IS NULL;\n"
         "  END;\n"),
     ""},
    // A difference of timestamps is an INTERVAL in PL/SQL, a duration
    // number in the target; a timestamp less a number of days, and a
    // difference of dates, are the same in both.
    {"TimestampDifferencesAreRecorded", false,
     "CREATE OR REPLACE PACKAGE BODY logger AS\n"
     "  PROCEDURE done(p_start TIMESTAMP, d1 DATE) IS\n"
     "    n NUMBER;\n"
     "    s VARCHAR2(100);\n"
     "  BEGIN\n"
     "    n := EXTRACT(DAY FROM (SYSTIMESTAMP - p_start));\n"
     "    s := regexp_replace(localtimestamp - p_start, '^0+', '');\n"
     "    n := d1 - SYSDATE;\n"
     "    SELECT COUNT(*) INTO n FROM t WHERE created < SYSTIMESTAMP - 1;\n"
     "  END;\n"
     "END logger;\n",
     moduleBodyOpening("logger") + memberHead("logger", "done", {"IN p_start TIMESTAMP", "IN d1 DATE"}) +
         "  DECLARE n NUMBER;\n  DECLARE s VARCHAR2(100);\n"
         "  SET n = EXTRACT(DAY FROM(SYSTIMESTAMP - p_start));\n"
         "  SET s = REGEXP_REPLACE(localtimestamp - p_start, '^0+');\n"
         "  SET n = d1 - SYSDATE;\n" +
         kNoRowGuard + "  SELECT COUNT(*) INTO n FROM t WHERE created < SYSTIMESTAMP - 1;\n  END;\n" + kRoutineEnd,
     "Difference of timestamps not supported|2|6|TIMESTAMP - TIMESTAMP|-\n"
     "Difference of timestamps not supported|2|7|TIMESTAMP - TIMESTAMP|-\n"},
};

TEST(TranslateForms, WholeTranslations) { expectSoundCases(kCases); }

}  // namespace

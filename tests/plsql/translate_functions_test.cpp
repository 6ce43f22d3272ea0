// Whole translations of the built-in functions and operators whose target
// namesakes mean something else (functions.def): TRANSLATE, SUBSTR and its
// kin, the exponent operator and POWER, MOD, REPLACE, ATAN2, LOG, DECODE,
// NVL and the regular expressions' NULL arguments; a divisor that holds a
// call, evaluated once; the functions the target lacks, recorded; and names
// that only look like built-ins. Of the table itself: the scale and kind of
// a row by its name, and a case of the tests for each row that has a form
// of its own or a check.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>

#include "functions.h"
#include "shell_command.h"
#include "translate_fixture.h"

namespace {

using namespace translate_test;

const SoundCase kCases[] = {
    // TRANSLATE(s, from, to) is written in the target's order (to, from);
    // the characters of `from` without a counterpart are removed first; a
    // character that stays itself, or that `from` repeats, is left out.
    // Lists other than literals and CHR of a number are recorded.
    {"TranslateInTheTargetsOrder", false,
     "CREATE OR REPLACE PACKAGE BODY fmt AS\n"
     "  FUNCTION clean(p VARCHAR2, sep VARCHAR2) RETURN VARCHAR2 IS\n"
     "  BEGIN\n"
     "    RETURN TRANSLATE(p, 'abc-', 'xyz') || TRANSLATE(p, CHR(10) || CHR(9) || ';', '   ')\n"
     "      || TRANSLATE(p, 'a''/aa', 'a') || TRANSLATE(p, sep, '_');\n"
     "  END;\n"
     "END fmt;\n",
     moduleBodyOpening("fmt") +
         memberHead("fmt", "clean", {"p VARCHAR2(4096)", "sep VARCHAR2(4096)"}, "VARCHAR2(4096)") +
         "  RETURN TRANSLATE(REPLACE(p, '-'), 'xyz', 'abc') || TRANSLATE(p, '   ', CHR(10) || CHR(9) || ';') || "
         "REPLACE(REPLACE(p, ''''), '/') || TRANSLATE(p, sep, '_');\n" +
         kRoutineEnd,
     "TRANSLATE of characters other than literals not supported|2|5|TRANSLATE|TRANSLATE\n"},
    // SUBSTR, INSTR and LENGTH count characters in SUBSTR4, INSTR4 and
    // LENGTH4, in PL/SQL and in SQL: no error for a length that is negative
    // or past the end, no blanks padded, a start of 0 or below 0 as in
    // PL/SQL.
    {"SubstrInstrAndLengthCountCharacters", false,
     "DECLARE\n"
     "  s VARCHAR2(10);\n"
     "  p VARCHAR2(100);\n"
     "BEGIN\n"
     "  p := SUBSTR(p, 1, INSTR(p, ':') - 1);\n"
     "  s := SUBSTR(s, 1, 50) || SUBSTR(s, 4, 3) || SUBSTR(s, -2) || LENGTH(s);\n"
     "  SELECT SUBSTR(name, 0, 3) INTO s FROM emp WHERE INSTR(name, 'x', -1, 2) > 0;\n"
     "END;\n",
     anonymousBlock("  DECLARE s VARCHAR2(10);\n"
                    "  DECLARE p VARCHAR2(100);\n"
                    "  SET p = SUBSTR4(p, 1, INSTR4(p, ':') - 1);\n"
                    "  SET s = SUBSTR4(s, 1, 50) || SUBSTR4(s, 4, 3) || SUBSTR4(s, - 2) || LENGTH4(s);\n" +
                    kNoRowGuard +
                    "  SELECT SUBSTR4(name, 0, 3) INTO s FROM emp WHERE INSTR4(name, 'x', - 1, 2) > 0;\n"
                    "  END;\n"),
     ""},
    // A divisor that calls a function, a sequence or a random value is
    // evaluated once, read from a query over one row; a built-in's call is
    // written twice. MOD by zero gives the dividend; a divisor that is no
    // non-zero number is tested. In a trigger and its nested block.
    {"DivisorWithACallIsEvaluatedOnce", false,
     "CREATE OR REPLACE TRIGGER tr BEFORE INSERT ON t FOR EACH ROW\n"
     "BEGIN\n"
     "  :NEW.share := :NEW.total / next_weight(:NEW.id) + :NEW.total / seq.NEXTVAL;\n"
     "  :NEW.avg := :NEW.total / ABS(:NEW.cnt);\n"
     "  BEGIN\n"
     "    :NEW.rest := MOD(:NEW.total, next_weight(:NEW.id)) + MOD(:NEW.total, :NEW.cnt) + MOD(:NEW.total, 7);\n"
     "  END;\n"
     "END;\n",
     "[0]\nCREATE OR REPLACE TRIGGER tr BEFORE INSERT ON t REFERENCING NEW AS SYSZULINTERNAL_NEW FOR EACH ROW   "
     "SYSZULINTERNAL_BLOCK: BEGIN\n"
     "  SET SYSZULINTERNAL_NEW.share = DECFLOAT(SYSZULINTERNAL_NEW.total) /(SELECT CASE SYSZULINTERNAL_DIVISOR WHEN 0 "
     "THEN RAISE_ERROR('22012', 'division by zero') ELSE SYSZULINTERNAL_DIVISOR END "
     "FROM(VALUES(next_weight(SYSZULINTERNAL_NEW.id))) AS SYSZULINTERNAL_ONCE(SYSZULINTERNAL_DIVISOR)) + "
     "DECFLOAT(SYSZULINTERNAL_NEW.total) /(SELECT CASE SYSZULINTERNAL_DIVISOR WHEN 0 THEN RAISE_ERROR('22012', "
     "'division by zero') ELSE SYSZULINTERNAL_DIVISOR END FROM(VALUES(seq.NEXTVAL)) AS "
     "SYSZULINTERNAL_ONCE(SYSZULINTERNAL_DIVISOR));\n"
     "  SET SYSZULINTERNAL_NEW.avg = DECFLOAT(SYSZULINTERNAL_NEW.total) / CASE ABS(SYSZULINTERNAL_NEW.cnt) WHEN 0 THEN "
     "RAISE_ERROR('22012', 'division by zero') ELSE ABS(SYSZULINTERNAL_NEW.cnt) END;\n"
     "  BEGIN\n"
     "  SET SYSZULINTERNAL_NEW.rest = (SELECT CASE SYSZULINTERNAL_DIVISOR WHEN 0 THEN SYSZULINTERNAL_NEW.total ELSE "
     "MOD(SYSZULINTERNAL_NEW.total, SYSZULINTERNAL_DIVISOR) END FROM(VALUES(next_weight(SYSZULINTERNAL_NEW.id))) AS "
     "SYSZULINTERNAL_ONCE(SYSZULINTERNAL_DIVISOR)) + CASE SYSZULINTERNAL_NEW.cnt WHEN 0 THEN SYSZULINTERNAL_NEW.total "
     "ELSE MOD(SYSZULINTERNAL_NEW.total, SYSZULINTERNAL_NEW.cnt) END + MOD(SYSZULINTERNAL_NEW.total, 7);\n"
     "  END;\n"
     "  END@\n\n\n\n",
     ""},
    // A value a form would write twice is read once from a query over one
    // row when it is long, so that nested forms grow as the source does.
    {"LongValuesAreWrittenOnce", false,
     "DECLARE n NUMBER; BEGIN\n"
     "  n := MOD(MOD(MOD(n, a), a), a);\n"
     "END;\n",
     anonymousBlock(
         "  DECLARE n NUMBER;\n"
         "  SET n = (SELECT CASE a WHEN 0 THEN SYSZULINTERNAL_DIVIDEND ELSE MOD(SYSZULINTERNAL_DIVIDEND, a) END "
         "FROM(VALUES(CASE a WHEN 0 THEN CASE a WHEN 0 THEN n ELSE MOD(n, a) END ELSE MOD(CASE a WHEN 0 THEN "
         "n ELSE MOD(n, a) END, a) END)) AS SYSZULINTERNAL_ONCE(SYSZULINTERNAL_DIVIDEND));\n"),
     ""},
    // a ** b and POWER(a, b): a DECFLOAT base for an integral exponent, a
    // DOUBLE one for a fraction, tested when the exponent is known only at
    // run time (read once when it holds a call); ** binds before the sign.
    // In PL/SQL and in static SQL.
    {"ExponentOperatorAndPower", false,
     "DECLARE\n"
     "  n NUMBER;\n"
     "BEGIN\n"
     "  n := n ** 2 + 2 ** -1 + -n ** 0.5 + POWER(2, n) * f(n) ** g(n);\n"
     "  UPDATE t SET c = (c + 1) ** 3 WHERE POWER(c, 2) > 4;\n"
     "END;\n",
     anonymousBlock(
         "  DECLARE n NUMBER;\n"
         "  SET n = POWER(DECFLOAT(n), 2) + POWER(DECFLOAT(2), - 1) + - POWER(DOUBLE(n), 0.5) + CASE WHEN n = TRUNC(n) "
         "THEN POWER(DECFLOAT(2), n) ELSE POWER(DOUBLE(2), n) END *(SELECT CASE WHEN SYSZULINTERNAL_EXPONENT = "
         "TRUNC(SYSZULINTERNAL_EXPONENT) THEN POWER(DECFLOAT(f(n)), SYSZULINTERNAL_EXPONENT) ELSE "
         "POWER(DOUBLE(f(n)), SYSZULINTERNAL_EXPONENT) END FROM(VALUES(g(n))) AS "
         "SYSZULINTERNAL_ONCE(SYSZULINTERNAL_EXPONENT));\n"
         "  UPDATE t SET c = POWER(DECFLOAT(c + 1), 3) WHERE POWER(DECFLOAT(c), 2) > 4;\n"),
     ""},
    // Functions and values the target has no form of are recorded, and so
    // is a format with text in double quotes, which the target refuses, in
    // each function that reads one.
    {"FunctionsWithoutAFormAreRecorded", false,
     "DECLARE\n"
     "  d DATE;\n"
     "  x VARCHAR2(40);\n"
     "BEGIN\n"
     "  d := d + NUMTODSINTERVAL(2, 'HOUR') + NUMTOYMINTERVAL(1, 'MONTH');\n"
     "  x := SYS_CONTEXT('USERENV', 'SESSION_USER') || SYS_GUID() || DBTIMEZONE;\n"
     "  x := TO_CHAR(d, 'YYYY-MM-DD\"T\"HH24:MI') || TO_CHAR(d, 'YYYY');\n"
     "  x := TO_CHAR(TO_DATE(x, '\"on \"DD.MM.YYYY')) || TO_CHAR(TO_TIMESTAMP(x, 'HH24\"h\"MI'));\n"
     "END;\n",
     anonymousBlock("  DECLARE d DATE;\n"
                    "  DECLARE x VARCHAR2(40);\n"
                    "  SET d = d + NUMTODSINTERVAL(2, 'HOUR') + NUMTOYMINTERVAL(1, 'MONTH');\n"
                    "  SET x = SYS_CONTEXT('USERENV', 'SESSION_USER') || SYS_GUID() || DBTIMEZONE;\n"
                    "  SET x = TO_CHAR(d, 'YYYY-MM-DD\"T\"HH24:MI') || TO_CHAR(d, 'YYYY');\n"
                    "  SET x = TO_CHAR(TO_DATE(x, '\"on \"DD.MM.YYYY')) || TO_CHAR(TO_TIMESTAMP(x, 'HH24\"h\"MI'));\n"),
     "Built-in function NUMTODSINTERVAL not supported|2|5|NUMTODSINTERVAL|NUMTODSINTERVAL\n"
     "Built-in function NUMTOYMINTERVAL not supported|2|5|NUMTOYMINTERVAL|NUMTOYMINTERVAL\n"
     "Built-in function SYS_CONTEXT not supported|2|6|SYS_CONTEXT|SYS_CONTEXT\n"
     "Built-in function SYS_GUID not supported|2|6|SYS_GUID|SYS_GUID\n"
     "Built-in function DBTIMEZONE not supported|2|6|DBTIMEZONE|DBTIMEZONE\n"
     "TO_CHAR format with text in double quotes not supported|2|7|TO_CHAR|TO_CHAR\n"
     "TO_DATE format with text in double quotes not supported|2|8|TO_DATE|TO_DATE\n"
     "TO_TIMESTAMP format with text in double quotes not supported|2|8|TO_TIMESTAMP|TO_TIMESTAMP\n"},
    // REPLACE with a NULL or empty replacement removes the search string,
    // with a NULL search string returns the source; arguments that may be
    // NULL at run time are tested. ATAN2 takes y first, LOG the base first;
    // DECODE's NULL arguments take a type, or are recorded.
    {"NullArgumentsAndArgumentOrder", false,
     "DECLARE\n"
     "  x VARCHAR2(40);\n"
     "BEGIN\n"
     "  x := REPLACE(x, ',', '') || REPLACE(x, CHR(13), NULL) || REPLACE(x, '%1', NVL(x, '-')) || REPLACE(x, NULL, "
     "'y');\n"
     "  x := REPLACE(x, x, y) || REPLACE(x, ',', f(x));\n"
     "  x := ATAN2(1, 2) + LOG(10, x) + LOG(2, x);\n"
     "  x := DECODE(x, NULL, 'none', 'a', NULL, x) || DECODE(f(x), NULL, 1) || DECODE(x, 1, NULL);\n"
     "END;\n",
     anonymousBlock(
         "  DECLARE x VARCHAR2(40);\n"
         "  SET x = REPLACE(x, ',') || REPLACE(x, CHR(13)) || REPLACE(x, '%1', NVL(x, '-')) || x;\n"
         "  SET x = CASE WHEN x IS NULL THEN x WHEN y IS NULL THEN REPLACE(x, x) ELSE REPLACE(x, x, y) END ||(SELECT "
         "CASE WHEN SYSZULINTERNAL_REPLACEMENT IS NULL THEN REPLACE(x, ',') ELSE REPLACE(x, ',', "
         "SYSZULINTERNAL_REPLACEMENT) END FROM(VALUES(f(x))) AS SYSZULINTERNAL_ONCE(SYSZULINTERNAL_REPLACEMENT));\n"
         "  SET x = ATAN2(2, 1) + LOG10(x) +(LN(x) / LN(2));\n"
         "  SET x = DECODE(x, NULLIF(x, x), 'none', 'a', NULLIF('none', 'none'), x) || DECODE(f(x), NULL, 1) || "
         "DECODE(x, 1, NULL);\n"),
     "DECODE with a NULL of no known type not supported|2|7|DECODE|DECODE\n"
     "DECODE with a NULL of no known type not supported|2|7|DECODE|DECODE\n"},
    // An empty replacement of REGEXP_REPLACE is left out when it is the
    // last argument, recorded before others; NULL flags are 'c'; the
    // flags of REGEXP_LIKE follow the start 1.
    {"RegexpNullArguments", false,
     "DECLARE s VARCHAR2(10); BEGIN\n"
     "  s := REGEXP_REPLACE(s, '[^0-9]', '') || REGEXP_REPLACE(s, 'x', NULL, 1, 0, 'i') || "
     "REGEXP_SUBSTR(s, '(.)', 1, 2, NULL, 1);\n"
     "  IF REGEXP_LIKE(s, '^a', 'i') OR REGEXP_LIKE(s, 'b', NULL) OR REGEXP_LIKE(s, 'c') THEN NULL; END IF;\n"
     "END;\n",
     anonymousBlock("  DECLARE s VARCHAR2(10);\n"
                    "  SET s = REGEXP_REPLACE(s, '[^0-9]') || REGEXP_REPLACE(s, 'x', NULL, 1, 0, 'i') || "
                    "REGEXP_SUBSTR(s, '(.)', 1, 2, 'c', 1);\n"
                    "\n  IF REGEXP_LIKE(s, '^a', 1, 'i') OR REGEXP_LIKE(s, 'b', 1, 'c') OR REGEXP_LIKE(s, 'c') THEN\n"
                    "  BEGIN END; -- NULL;\n  END IF;\n\n"),
     "REGEXP_REPLACE with a NULL replacement before other arguments not supported|2|2|REGEXP_REPLACE|REGEXP_REPLACE\n"},
    // After a string result of NVL, NVL2 and DECODE a numeric literal is
    // PL/SQL's text of it, another number is recorded.
    {"NumbersAfterAStringResult", false,
     "DECLARE\n"
     "  s VARCHAR2(10);\n"
     "  n NUMBER;\n"
     "BEGIN\n"
     "  s := NVL(s, 0) || NVL(s, -0.50) || NVL(s, n) || NVL(n, 0) || NVL2(n, s, 007);\n"
     "  s := DECODE(n, 1, s, 2, 1.5, NULL) || DECODE(n, 1, s, n);\n"
     "END;\n",
     anonymousBlock("  DECLARE s VARCHAR2(10);\n"
                    "  DECLARE n NUMBER;\n"
                    "  SET s = NVL(s, '0') || NVL(s, '-.5') || NVL(s, n) || NVL(n, 0) || NVL2(n, s, '7');\n"
                    "  SET s = DECODE(n, 1, s, 2, '1.5') || DECODE(n, 1, s, n);\n"),
     "NVL of a string result and a later numeric value not supported|2|5|NVL|NVL\n"
     "DECODE of a string result and a later numeric value not supported|2|6|DECODE|DECODE\n"},
    // The first result's type is told from the declarations of a package's
    // variables and a routine's parameters, in PL/SQL and in SQL; a call
    // with named arguments stays as written, its NULL replacement recorded.
    {"StringResultsOfDeclaredNames", false,
     "CREATE OR REPLACE PACKAGE BODY k AS\n"
     "  g VARCHAR2(5);\n"
     "  FUNCTION f(p VARCHAR2, q INTEGER) RETURN VARCHAR2 IS\n"
     "  BEGIN\n"
     "    SELECT NVL(p, 1) || DECODE(g, 'x', p, 2) || regexp_substr(c, 'x', 1, 1, '') INTO g FROM t;\n"
     "    RETURN NVL(g, q) || REGEXP_REPLACE(srcstr => p, pattern => 'x', replacestr => NULL);\n"
     "  END;\n"
     "END k;\n",
     moduleBodyOpening("k") + moduleMember("k", "VARIABLE g VARCHAR2(5)") +
         memberHead("k", "f", {"p VARCHAR2(4096)", "q INTEGER"}, "VARCHAR2(4096)") + kNoRowGuard +
         "  SELECT NVL(p, '1') || DECODE(g, 'x', p, '2') || REGEXP_SUBSTR(c, 'x', 1, 1, 'c') INTO g FROM t;\n"
         "  END;\n"
         "  RETURN NVL(g, q) || REGEXP_REPLACE(srcstr => p, pattern => 'x', replacestr => NULL);\n" +
         kRoutineEnd,
     "NVL of a string result and a later numeric value not supported|2|6|NVL|NVL\n"
     "REGEXP_REPLACE with a NULL replacement before other arguments not supported|2|6|REGEXP_REPLACE|REGEXP_REPLACE\n"},
    // A function of the run, a record's field and a table's columns named
    // like built-ins are none of them.
    {"NamesLikeBuiltins", false,
     "CREATE OR REPLACE PACKAGE BODY util AS\n"
     "  TYPE t_event IS RECORD (uid VARCHAR2(20));\n"
     "  FUNCTION dump(p NUMBER) RETURN NUMBER IS BEGIN RETURN p; END;\n"
     "  PROCEDURE keep IS n NUMBER; BEGIN n := dump(1); INSERT INTO log(mod, length) VALUES (1, 2); END;\n"
     "END util;\n",
     moduleBodyOpening("util") + moduleMember("util", "TYPE t_event AS ROW \n  (\n  uid VARCHAR2(20)\n\n  )") +
         memberHead("util", "dump", {"p NUMBER"}, "NUMBER") + "  RETURN p;\n" + kRoutineEnd +
         memberHead("util", "keep") +
         "  DECLARE n NUMBER;\n"
         "  SET n = dump(1);\n"
         "  INSERT INTO log(mod, length) VALUES(1, 2);\n" +
         kRoutineEnd,
     ""},
};

TEST(TranslateFunctions, WholeTranslations) { expectSoundCases(kCases); }

// The scale of a call's result is the row's, by its name in any case, a
// package's routine with its package; a ROUTINE row is no built-in's call,
// and an AGGREGATE row is one.
TEST(TranslateFunctions, ResultScalesAndKindsByName) {
  const struct {
    const char* name;
    ResultScale scale;
  } scales[] = {
      {"INSTRC", ResultScale::INTEGER},     {"dbms_lob.GetLength", ResultScale::INTEGER},
      {"Sum", ResultScale::ARGUMENTS},      {"TRUNC", ResultScale::ROUNDING},
      {"TO_NUMBER", ResultScale::FRACTION}, {"UPPER", ResultScale::UNTOLD},
      {"no_such", ResultScale::UNTOLD},     {"SYS.DBMS_LOB.GETLENGTH", ResultScale::UNTOLD},
  };
  for (const auto& c : scales) EXPECT_EQ(resultScaleOf(c.name), c.scale) << c.name;
  EXPECT_EQ(builtinNamed("instrc"), nullptr);
  ASSERT_NE(builtinNamed("max"), nullptr);
  EXPECT_EQ(builtinNamed("max")->kind, FunctionKind::AGGREGATE);
  EXPECT_TRUE(isBuiltinCall(*builtinNamed("max")));
  EXPECT_FALSE(isBuiltinCall(*builtinNamed("SYSDATE")));
}

// Each row of the table that has a form of its own (TRANSLATED) or a check
// of its arguments (CHECKED) is called in a case of the translate tests,
// and a CHECKED row's record is made there too.
TEST(TranslateFunctions, EveryTranslatedOrCheckedRowHasACase) {
  namespace fs = std::filesystem;
  // The string literals of the translate tests: their sources and records.
  std::string literals;
  const std::regex literal(R"("([^"\\\n]|\\.)*")");
  for (const auto& entry : fs::directory_iterator(fs::path(QEN_SOURCE_DIR) / "tests" / "plsql")) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("translate_", 0) != 0 || !name.ends_with("_test.cpp")) continue;
    const std::string text = qen_test::read_file(entry.path().string());
    for (std::sregex_iterator m(text.begin(), text.end(), literal), end; m != end; ++m) literals += m->str() + "\n";
  }
  ASSERT_FALSE(literals.empty());
  const std::regex special(R"([.^$|()\[\]{}*+?\\])");
  for (int i = 0; i < kBuiltinFunctionCount; ++i) {
    const BuiltinFunction& row = kBuiltinFunctions[i];
    bool checked = row.outcome == FunctionOutcome::SAME && row.rule != FunctionRule::NONE;
    if (row.outcome != FunctionOutcome::TRANSLATED && !checked) continue;
    const std::string name = std::regex_replace(std::string(row.name), special, "\\$&");
    // An operator between its operands, a function before its arguments,
    // a routine by its name.
    std::string pattern = row.kind == FunctionKind::OPERATOR  ? "[\\w)] *" + name + " *[\\w(]"
                          : row.kind == FunctionKind::ROUTINE ? "\\b" + name + "\\b"
                                                              : "\\b" + name + " *\\(";
    const std::regex called(pattern, std::regex::icase);
    EXPECT_TRUE(std::regex_search(literals, called)) << row.name << ": no case of the translate tests calls it";
    if (checked) {
      EXPECT_NE(literals.find(findingMessage(row.finding, row.name)), std::string::npos)
          << row.name << ": no case of the translate tests makes its record";
    }
  }
}

}  // namespace

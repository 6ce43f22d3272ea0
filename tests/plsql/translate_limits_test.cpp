// Whole translations at the target's limits: the message a handler reads,
// string lengths and precisions past the target's largest, the error
// numbers the target has a state of its own for, and the pragmas that speak
// only to the compiler. Each case compares every statement record and every
// error record.
#include <gtest/gtest.h>

#include "translate_fixture.h"

namespace {

using namespace translate_test;

const SoundCase kLimitCases[] = {
    // The message holds any part of the longest the target gives.
    {"SqlerrmHoldsTheLongestMessage", false,
     "CREATE PROCEDURE p IS m VARCHAR2(4000);\n"
     "BEGIN NULL;\n"
     "EXCEPTION WHEN OTHERS THEN m := SUBSTR(SQLERRM, 1, 4000);\n"
     "END;\n",
     routineHead("p", {}) + "  DECLARE m VARCHAR2(4000);\n" + kErrorVariables +
         "  DECLARE EXIT HANDLER FOR SQLEXCEPTION\n  BEGIN\n"
         "  GET DIAGNOSTICS EXCEPTION 1 SYSZULINTERNAL_SQLERRM = MESSAGE_TEXT;\n"
         "  VALUES(SQLCODE, SQLSTATE) INTO SYSZULINTERNAL_SQLCODE, SYSZULINTERNAL_SQLSTATE;\n"
         "  SET m = SUBSTR4(SYSZULINTERNAL_SQLERRM, 1, 4000);\n  END;\n" +
         kNullStatement + kRoutineEnd,
     ""},
    // Longer strings and precisions take the target's largest, counted in
    // bytes where the source counts characters: in a trigger's nested
    // block, and in a package head's records, tables and variables.
    {"LengthsAndPrecisionsPastTheTargetsTakeItsLargest", false,
     "CREATE TRIGGER trg BEFORE INSERT ON emp FOR EACH ROW\n"
     "DECLARE k VARCHAR2(8168 CHAR); n NUMBER(*, 0);\n"
     "BEGIN\n"
     "  DECLARE t VARCHAR2(32767 BYTE); d DECIMAL(38, 2); BEGIN NULL; END;\n"
     "END;\n"
     "/\n"
     "CREATE OR REPLACE PACKAGE pk IS\n"
     "  TYPE rec IS RECORD (a VARCHAR2(32767), b NVARCHAR2(20000), c NUMBER(38));\n"
     "  TYPE tab IS TABLE OF VARCHAR2(32767 CHAR) INDEX BY PLS_INTEGER;\n"
     "  g STRING(32767);\n"
     "END;\n",
     "[0]\nCREATE TRIGGER trg BEFORE INSERT ON emp REFERENCING NEW AS SYSZULINTERNAL_NEW FOR EACH ROW   "
     "SYSZULINTERNAL_BLOCK: BEGIN\n"
     "  DECLARE k VARCHAR2(8168 CHAR);\n  DECLARE n NUMBER(31, 0);\n"
     "  BEGIN\n  DECLARE t VARCHAR2(32672 BYTE);\n  DECLARE d DECIMAL(31, 2);\n" +
         kNullStatement + "  END;\n" + kRoutineEnd + "\n" +
         packageHead("pk", {"TYPE rec AS ROW \n(\n  a VARCHAR2(32672),\n  b VARGRAPHIC(16336),\n  c NUMBER(31)\n\n)",
                            "TYPE tab AS VARCHAR2(32672) ARRAY[INTEGER]", "VARIABLE g VARCHAR2(32672)"}),
     ""},
    // A fixed-length string longer than the target's becomes the varying
    // type, and a negative scale an integer: each is recorded. NCHAR alone
    // is one character, or any length up to the largest for a parameter.
    {"FixedLengthsAndNegativeScalesPastTheTargetsAreRecorded", false,
     "CREATE PROCEDURE p(n NCHAR) IS\n"
     "  a CHAR(254); b CHAR(300);\n"
     "  c NCHAR(200);\n"
     "  d CHAR(100 CHAR); e NCHAR;\n"
     "  f NUMBER(5, -2); g NUMBER(2, 5); h FLOAT(126);\n"
     "BEGIN NULL; END;\n",
     routineHead("p", {"IN n VARGRAPHIC(127)"}) +
         "  DECLARE a CHARACTER(254);\n  DECLARE b VARCHAR(300);\n  DECLARE c VARGRAPHIC(200);\n"
         "  DECLARE d VARCHAR(100 CHAR);\n  DECLARE e GRAPHIC(1);\n"
         "  DECLARE f NUMBER(7);\n  DECLARE g NUMBER(5, 5);\n  DECLARE h FLOAT(53);\n" +
         kNullStatement + kRoutineEnd,
     "Datatype CHAR(300) longer than the target's fixed-length strings not supported|2|2|CHAR(300)|CHAR\n"
     "Datatype NCHAR(200) longer than the target's fixed-length strings not supported|2|3|NCHAR(200)|NCHAR\n"
     "Datatype CHAR(100 CHAR) longer than the target's fixed-length strings not supported|2|4|CHAR(100 CHAR)|CHAR\n"
     "Datatype NUMBER(5,-2) with a negative scale not supported|2|5|NUMBER(5,-2)|NUMBER\n"},
    // Integer digits and a scale past the target's 31 digits share them, the
    // longer giving way first: NUMBER(38, 35) keeps its 3 integer digits, a
    // scale longer than any precision keeps 31; a scale given up is
    // recorded, and a value stored there is rounded to the scale kept.
    {"ScalesPastTheTargetsLargestGiveWayToIntegerDigits", false,
     "CREATE OR REPLACE PACKAGE pk IS\n"
     "  g NUMBER(38, 35);\n"
     "END;\n"
     "/\n"
     "CREATE TRIGGER trg BEFORE INSERT ON emp FOR EACH ROW\n"
     "DECLARE r NUMBER(*, 33);\n"
     "BEGIN\n"
     "  DECLARE s DECIMAL(38, 20); f NUMBER(35, 38); BEGIN s := 1.1234567890123456789; END;\n"
     "END;\n",
     packageHead("pk", {"VARIABLE g NUMBER(31, 28)"}) +
         "[3]\nCREATE TRIGGER trg BEFORE INSERT ON emp REFERENCING NEW AS SYSZULINTERNAL_NEW FOR EACH ROW   "
         "SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  DECLARE r NUMBER(31, 26);\n"
         "  BEGIN\n  DECLARE s DECIMAL(31, 15);\n  DECLARE f NUMBER(31, 31);\n  SET s = 1.123456789012346;\n"
         "  END;\n" +
         kRoutineEnd + "\n",
     "Datatype NUMBER(38,35) with more digits after the point than the target keeps not supported|2|2|NUMBER(38,35)|"
     "NUMBER\n"
     "Datatype NUMBER(*,33) with more digits after the point than the target keeps not supported|2|6|NUMBER(*,33)|"
     "NUMBER\n"
     "Datatype DECIMAL(38,20) with more digits after the point than the target keeps not supported|2|8|"
     "DECIMAL(38,20)|DECIMAL\n"
     "Datatype NUMBER(35,38) with more digits after the point than the target keeps not supported|2|8|"
     "NUMBER(35,38)|NUMBER\n"},
    // Error numbers the target raises its own state for name it; one it
    // has none for (a lock not waited for) is still recorded.
    {"ErrorNumbersTakeTheTargetsOwnStates", false,
     "DECLARE\n"
     "  no_parent EXCEPTION; PRAGMA EXCEPTION_INIT(no_parent, -2291);\n"
     "  null_column EXCEPTION; PRAGMA EXCEPTION_INIT(null_column, -1400);\n"
     "  no_table EXCEPTION; PRAGMA EXCEPTION_INIT(no_table, -942);\n"
     "  busy EXCEPTION; PRAGMA EXCEPTION_INIT(busy, -54);\n"
     "BEGIN NULL;\n"
     "EXCEPTION WHEN no_parent OR null_column THEN NULL; WHEN no_table THEN RAISE busy;\n"
     "END;\n",
     anonymousBlock("  DECLARE no_parent CONDITION FOR SQLSTATE '23503';\n"
                    "  DECLARE null_column CONDITION FOR SQLSTATE '23502';\n"
                    "  DECLARE no_table CONDITION FOR SQLSTATE '42704';\n"
                    "  DECLARE busy CONDITION;\n" +
                    kErrorVariables + exitHandler("no_parent", kNullStatement) +
                    exitHandler("null_column", kNullStatement) + exitHandler("no_table", "  SIGNAL busy;\n") +
                    kNullStatement),
     "EXCEPTION_INIT with an unmapped error number not supported|2|5|PRAGMA EXCEPTION_INIT|\n"},
    // Pragmas that speak only to the compiler go without a record, in a
    // package head and a routine; one that changes the package's state
    // keeps its record.
    {"CompilerOnlyPragmasGoWithoutARecord", false,
     "CREATE OR REPLACE PACKAGE pk IS\n"
     "  PRAGMA SERIALLY_REUSABLE;\n"
     "  FUNCTION f RETURN NUMBER;\n"
     "  PRAGMA RESTRICT_REFERENCES(f, WNDS, RNDS); PRAGMA DEPRECATE(f, 'use g');\n"
     "END;\n"
     "/\n"
     "CREATE PROCEDURE p IS\n"
     "  PRAGMA INLINE(q, 'YES'); PRAGMA SUPPRESSES_WARNING_6009(p); PRAGMA COVERAGE('NOT_FEASIBLE');\n"
     "BEGIN NULL; END;\n",
     packageHead("pk", {"FUNCTION f() RETURNS NUMBER LANGUAGE SQL "}) + routineHead("p", {}) + kNullStatement +
         kRoutineEnd,
     "PRAGMA SERIALLY_REUSABLE not supported|2|2|PRAGMA SERIALLY_REUSABLE...|\n"},
};

TEST(TranslateLimits, WholeTranslations) { expectSoundCases(kLimitCases); }

}  // namespace

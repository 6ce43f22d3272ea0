// Whole translations of everyday code whose meaning the target would change
// or that it would refuse: the run's functions called without parentheses,
// a division stored in a type of fixed scale, the cursors of a package, an INSTEAD OF trigger without FOR EACH ROW and
// CHAR without a length. Each case compares every statement record and
// every error record.
#include <gtest/gtest.h>

#include "translate_fixture.h"

namespace {

using namespace translate_test;

const SoundCase kAuditCases[] = {
    // A function of the run whose parameters all have defaults, called
    // without arguments in a parameter's default, gets its parentheses.
    {"FunctionWithDefaultsInAParameterDefault", false,
     "CREATE PACKAGE BODY k IS\n"
     "  FUNCTION f(p NUMBER DEFAULT 1) RETURN NUMBER IS BEGIN RETURN p; END;\n"
     "  PROCEDURE q(x NUMBER DEFAULT f) IS BEGIN NULL; END;\n"
     "END;\n",
     "[3]\nCOMMENT ON MODULE k IS 'PL/SQL Package Body'@\n" + memberHead("k", "f", {"p NUMBER DEFAULT 1"}, "NUMBER") +
         "  RETURN p;\n" + kRoutineEnd + memberHead("k", "q", {"IN x NUMBER DEFAULT f()"}) + kNullStatement +
         kRoutineEnd,
     ""},
    // PL/SQL rounds a value stored in a type of fixed scale, the target
    // truncates it: a division stored in a variable, an OUT parameter or a
    // function's result of such a type is rounded to its scale.
    {"DivisionIntoAFixedScale", false,
     "CREATE PROCEDURE mid(lo PLS_INTEGER, res OUT PLS_INTEGER) IS\n"
     "  s NUMBER(10, 2);\n"
     "BEGIN\n"
     "  s := lo / 3;\n"
     "  res := lo / 2;\n"
     "END;\n"
     "/\n"
     "CREATE FUNCTION half(lo PLS_INTEGER) RETURN PLS_INTEGER IS BEGIN RETURN lo / 2; END;\n",
     routineHead("mid", {"IN lo INTEGER", "OUT res INTEGER"}) +
         "  DECLARE s NUMBER(10, 2);\n"
         "  SET s = ROUND(DECFLOAT(lo) / 3, 2);\n"
         "  SET res = ROUND(DECFLOAT(lo) / 2, 0);\n"
         + kRoutineEnd + routineHead("half", {"lo INTEGER"}, "INTEGER") + "  RETURN ROUND(DECFLOAT(lo) / 2, 0);\n" +
         kRoutineEnd,
     ""},
    // A cursor of a package head is published; one of the body stays
    // private.
    {"PackageCursors", false,
     "CREATE PACKAGE lp IS CURSOR pc IS SELECT id FROM t; END;\n"
     "/\n"
     "CREATE PACKAGE BODY lp IS CURSOR bc IS SELECT id FROM t; END;\n",
     "[3]\nCREATE MODULE lp@\n" + publish("lp", "VARIABLE pc CURSOR CONSTANT (CURSOR FOR SELECT id FROM t)") +
         "[3]\nCOMMENT ON MODULE lp IS 'PL/SQL Package Body'@\n"
         "[3]\n  ALTER MODULE lp ADD VARIABLE bc CURSOR CONSTANT (CURSOR FOR SELECT id FROM t)@\n",
     ""},
    // An INSTEAD OF trigger fires for each row with or without FOR EACH ROW;
    // the target takes one without it as a statement trigger, where :OLD and
    // :NEW are refused.
    {"InsteadOfTriggerIsARowTrigger", false,
     "CREATE TRIGGER v_iod INSTEAD OF DELETE ON v\n"
     "BEGIN\n"
     "  DELETE FROM emp WHERE id = :OLD.id;\n"
     "END;\n",
     "[0]\n"
         "CREATE TRIGGER v_iod INSTEAD OF DELETE ON v REFERENCING OLD AS SYSZULINTERNAL_OLD FOR EACH ROW   SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  DELETE FROM emp WHERE id = SYSZULINTERNAL_OLD.id;\n"
         + kRoutineEnd + "\n",
     ""},
    // CHAR without a length is CHAR(1) in PL/SQL; a parameter or a return
    // value has no length and keeps its value's, so it is written as a
    // varying type that does not pad. A package head's constants, record
    // fields and prototypes likewise.
    {"CharWithoutALength", false,
     "CREATE FUNCTION yn(p CHAR) RETURN CHAR IS\n"
     "  v CHAR;\n"
     "BEGIN\n"
     "  RETURN v;\n"
     "END;\n"
     "/\n"
     "CREATE PACKAGE flags IS\n"
     "  c_yes CONSTANT CHAR := 'Y';\n"
     "  TYPE flag_rec IS RECORD (flag CHAR);\n"
     "  FUNCTION flip(p CHAR) RETURN CHAR;\n"
     "END;\n",
     routineHead("yn", {"p VARCHAR(254)"}, "VARCHAR(254)") + "  DECLARE v CHARACTER(1);\n  RETURN v;\n" +
         kRoutineEnd + "[3]\nCREATE MODULE flags@\n" +
         publish("flags", "VARIABLE c_yes CHARACTER(1) CONSTANT ('Y')") +
         publish("flags", "TYPE flag_rec AS ROW \n(\n  flag CHARACTER(1)\n\n)") +
         publishRoutine("flags", "flip", {"p VARCHAR(254)"}, "VARCHAR(254)"),
     ""},
};

TEST(TranslateAudit, WholeTranslations) { expectSoundCases(kAuditCases); }

}  // namespace

// Whole translations of everyday package code that the target would refuse
// or read otherwise: a GOTO out of an exception handler, two handlers for one
// condition, an INSTEAD OF trigger without FOR EACH ROW, CHAR without a
// length and a division by zero. Each case compares every statement record
// and every error record.
#include <gtest/gtest.h>

#include "translate_fixture.h"

namespace {

using translate_test::expectSoundCases;
using translate_test::SoundCase;

// The target's GOTO in a handler reaches only the labels of that handler: a
// GOTO to a label outside it is recorded, one to a label inside it is not.
const SoundCase kGotoOutOfAHandler[] = {
    {"GotoOutOfTheHandlerIsRecorded", false,
     "CREATE OR REPLACE PROCEDURE goto_h(p NUMBER) IS\n"
     "  v NUMBER;\n"
     "BEGIN\n"
     "  BEGIN\n"
     "    SELECT a INTO v FROM t WHERE id = p;\n"
     "  EXCEPTION\n"
     "    WHEN NO_DATA_FOUND THEN\n"
     "      GOTO finish;\n"
     "  END;\n"
     "  UPDATE t SET a = v + 1 WHERE id = p;\n"
     "  <<finish>>\n"
     "  INSERT INTO log_t VALUES ('done');\n"
     "END;\n"
     "/\n",
     "[1]\n"
     "CREATE OR REPLACE PROCEDURE goto_h(\n"
     "IN p NUMBER) SPECIFIC goto_h\n"
     "LANGUAGE SQL\n"
     "  SYSZULINTERNAL_BLOCK: BEGIN\n"
     "  DECLARE v NUMBER;\n"
     + translate_test::kErrorVariables +
     "  BEGIN\n"
     "  DECLARE EXIT HANDLER FOR SQLSTATE 'UDNDF'\n"
     "  BEGIN\n"
     + translate_test::kHandlerCodes +
     "  GOTO finish;\n"
     "  END;\n"
     + translate_test::kNoRowGuard +
     "  SELECT a INTO v FROM t WHERE id = p;\n"
     "  END;\n"
     "  END;\n"
     "  UPDATE t SET a = v + 1 WHERE id = p;\n"
     "  finish: INSERT INTO log_t VALUES('done');\n"
     "  END@\n"
     "\n"
     "\n",
     "GOTO in an exception handler not supported|2|8|GOTO|\n"},
    {"GotoWithinTheHandlerIsKept", false,
     "CREATE OR REPLACE PROCEDURE goto_in(p NUMBER) IS\n"
     "BEGIN\n"
     "  UPDATE t SET a = 1 WHERE id = p;\n"
     "EXCEPTION\n"
     "  WHEN OTHERS THEN\n"
     "    GOTO retry;\n"
     "    <<retry>>\n"
     "    INSERT INTO log_t VALUES ('failed');\n"
     "END;\n"
     "/\n",
     "[1]\n"
     "CREATE OR REPLACE PROCEDURE goto_in(\n"
     "IN p NUMBER) SPECIFIC goto_in\n"
     "LANGUAGE SQL\n"
     "  SYSZULINTERNAL_BLOCK: BEGIN\n"
     + translate_test::kErrorVariables +
     "  DECLARE EXIT HANDLER FOR SQLEXCEPTION\n"
     "  BEGIN\n"
     + translate_test::kHandlerCodes +
     "  GOTO retry;\n"
     "  retry: INSERT INTO log_t VALUES('failed');\n"
     "  END;\n"
     "  UPDATE t SET a = 1 WHERE id = p;\n"
     "  END@\n"
     "\n"
     "\n",
     ""},
};

// An INSTEAD OF trigger fires for each row with or without FOR EACH ROW; the
// target takes one without it as a statement trigger, where :OLD and :NEW
// are refused.
const SoundCase kInsteadOfTriggersAreRowTriggers[] = {
    {"InsteadOfWithoutForEachRow", false,
     "CREATE OR REPLACE TRIGGER emp_v_iod\n"
     "INSTEAD OF DELETE ON emp_v\n"
     "BEGIN\n"
     "  DELETE FROM emp WHERE id = :OLD.id;\n"
     "END;\n"
     "/\n",
     "[0]\n"
     "CREATE OR REPLACE TRIGGER emp_v_iod INSTEAD OF DELETE ON emp_v REFERENCING OLD AS SYSZULINTERNAL_OLD FOR EACH ROW   SYSZULINTERNAL_BLOCK: BEGIN\n"
     "  DELETE FROM emp WHERE id = SYSZULINTERNAL_OLD.id;\n"
     "  END@\n"
     "\n"
     "\n"
     "\n",
     ""},
};

// CHAR without a length is CHAR(1) in PL/SQL; a parameter or a return value
// has no length and keeps its value's, so it is written as a varying type
// that does not pad.
const SoundCase kCharWithoutALength[] = {
    {"VariablesAreOneCharacterParametersArePlain", false,
     "CREATE OR REPLACE FUNCTION yn(p BOOLEAN) RETURN CHAR IS\n"
     "BEGIN\n"
     "  IF p THEN\n"
     "    RETURN 'Y';\n"
     "  END IF;\n"
     "  RETURN 'N';\n"
     "END;\n"
     "/\n"
     "CREATE OR REPLACE PROCEDURE set_flag(p_id NUMBER, p_flag CHAR) IS\n"
     "  v_old CHAR;\n"
     "BEGIN\n"
     "  SELECT flag INTO v_old FROM t WHERE id = p_id;\n"
     "  UPDATE t SET flag = p_flag, note = v_old || '->' || p_flag WHERE id = p_id;\n"
     "END;\n"
     "/\n",
     "[2]\n"
     "CREATE OR REPLACE FUNCTION yn(\n"
     "p BOOLEAN) SPECIFIC yn\n"
     "RETURNS VARCHAR(254)\n"
     "LANGUAGE SQL\n"
     "  SYSZULINTERNAL_BLOCK: BEGIN\n"
     "\n"
     "  IF p THEN\n"
     "  RETURN 'Y';\n"
     "  END IF;\n"
     "\n"
     "  RETURN 'N';\n"
     "  END@\n"
     "\n"
     "\n"
     "[1]\n"
     "CREATE OR REPLACE PROCEDURE set_flag(\n"
     "IN p_id NUMBER, \n"
     "IN p_flag VARCHAR(254)) SPECIFIC set_flag\n"
     "LANGUAGE SQL\n"
     "  SYSZULINTERNAL_BLOCK: BEGIN\n"
     "  DECLARE v_old CHARACTER(1);\n"
     + translate_test::kNoRowGuard +
     "  SELECT flag INTO v_old FROM t WHERE id = p_id;\n"
     "  END;\n"
     "  UPDATE t SET flag = p_flag, note = v_old || '->' || p_flag WHERE id = p_id;\n"
     "  END@\n"
     "\n"
     "\n",
     ""},
    {"ConstantsFieldsAndPrototypes", false,
     "CREATE OR REPLACE PACKAGE flags IS\n"
     "  c_yes CONSTANT CHAR := 'Y';\n"
     "  TYPE flag_rec IS RECORD (id NUMBER, flag CHAR);\n"
     "  FUNCTION flip(p CHAR) RETURN CHAR;\n"
     "END flags;\n"
     "/\n",
     "[3]\n"
     "CREATE OR REPLACE MODULE flags@\n"
     "[3]\n"
     "ALTER MODULE flags PUBLISH VARIABLE c_yes CHARACTER(1) CONSTANT ('Y')@\n"
     "[3]\n"
     "ALTER MODULE flags PUBLISH TYPE flag_rec AS ROW \n"
     "(\n"
     "  id NUMBER,\n"
     "  flag CHARACTER(1)\n"
     "\n"
     ")@\n"
     "[3]\n"
     "ALTER MODULE flags PUBLISH FUNCTION flip(\n"
     "p VARCHAR(254)) RETURNS VARCHAR(254) LANGUAGE SQL @\n",
     ""},
};

// A DECFLOAT quotient only warns on a zero divisor in the target (Infinity or
// NaN), where PL/SQL raises ZERO_DIVIDE: a divisor that is not a non-zero
// number raises SQLSTATE 22012 when it is zero.
const SoundCase kDivisionByZeroRaises[] = {
    {"ZeroDivideHandlerStillRuns", false,
     "CREATE OR REPLACE PROCEDURE progress_p(p_done NUMBER, p_total NUMBER) IS\n"
     "  v_pct NUMBER;\n"
     "BEGIN\n"
     "  v_pct := p_done / p_total * 100;\n"
     "  INSERT INTO progress VALUES (v_pct);\n"
     "EXCEPTION\n"
     "  WHEN ZERO_DIVIDE THEN\n"
     "    INSERT INTO progress VALUES (0);\n"
     "END;\n"
     "/\n",
     "[1]\n"
     "CREATE OR REPLACE PROCEDURE progress_p(\n"
     "IN p_done NUMBER, \n"
     "IN p_total NUMBER) SPECIFIC progress_p\n"
     "LANGUAGE SQL\n"
     "  SYSZULINTERNAL_BLOCK: BEGIN\n"
     "  DECLARE v_pct NUMBER;\n"
     + translate_test::kErrorVariables +
     "  DECLARE EXIT HANDLER FOR SQLSTATE '22012'\n"
     "  BEGIN\n"
     + translate_test::kHandlerCodes +
     "  INSERT INTO progress VALUES(0);\n"
     "  END;\n"
     "  SET v_pct = DECFLOAT(p_done) / CASE p_total WHEN 0 THEN RAISE_ERROR('22012', 'division by zero') ELSE p_total END * 100;\n"
     "  INSERT INTO progress VALUES(v_pct);\n"
     "  END@\n"
     "\n"
     "\n",
     ""},
    {"NonZeroNumbersAreNotGuarded", false,
     "CREATE OR REPLACE FUNCTION ratio(a NUMBER, b NUMBER) RETURN NUMBER IS\n"
     "BEGIN\n"
     "  RETURN (a + 1) / b + a / 2 + (a - 1) / 4;\n"
     "EXCEPTION\n"
     "  WHEN OTHERS THEN\n"
     "    RETURN NULL;\n"
     "END;\n"
     "/\n",
     "[2]\n"
     "CREATE OR REPLACE FUNCTION ratio(\n"
     "a NUMBER, \n"
     "b NUMBER) SPECIFIC ratio\n"
     "RETURNS NUMBER\n"
     "LANGUAGE SQL\n"
     "  SYSZULINTERNAL_BLOCK: BEGIN\n"
     + translate_test::kErrorVariables +
     "  DECLARE EXIT HANDLER FOR SQLEXCEPTION\n"
     "  BEGIN\n"
     + translate_test::kHandlerCodes +
     "  RETURN NULL;\n"
     "  END;\n"
     "  RETURN (a + 1) / CASE b WHEN 0 THEN RAISE_ERROR('22012', 'division by zero') ELSE DECFLOAT(b) END + DECFLOAT(a) / 2 +(a - 1) / DECFLOAT(4);\n"
     "  END@\n"
     "\n"
     "\n",
     ""},
};

// The target refuses two handlers of one block for the same condition. The
// first handler takes the error, as in PL/SQL; a later one loses the
// condition, and goes once it has none left.
const SoundCase kRepeatedHandlerConditions[] = {
    {"SecondHandlerForTheSameStateGoes", false,
     "CREATE OR REPLACE PROCEDURE add_t(p NUMBER) IS\n"
     "  e_dup EXCEPTION;\n"
     "  PRAGMA EXCEPTION_INIT(e_dup, -1);\n"
     "BEGIN\n"
     "  INSERT INTO t VALUES (p);\n"
     "EXCEPTION\n"
     "  WHEN e_dup THEN\n"
     "    UPDATE t SET n = n + 1 WHERE id = p;\n"
     "  WHEN DUP_VAL_ON_INDEX THEN\n"
     "    NULL;\n"
     "END;\n"
     "/\n",
     "[1]\n"
     "CREATE OR REPLACE PROCEDURE add_t(\n"
     "IN p NUMBER) SPECIFIC add_t\n"
     "LANGUAGE SQL\n"
     "  SYSZULINTERNAL_BLOCK: BEGIN\n"
     "  DECLARE e_dup CONDITION FOR SQLSTATE '23505';\n"
     + translate_test::kErrorVariables +
     "  DECLARE EXIT HANDLER FOR e_dup\n"
     "  BEGIN\n"
     + translate_test::kHandlerCodes +
     "  UPDATE t SET n = n + 1 WHERE id = p;\n"
     "  END;\n"
     "  INSERT INTO t VALUES(p);\n"
     "  END@\n"
     "\n"
     "\n",
     ""},
    {"RepeatedConditionLeavesTheList", false,
     "CREATE OR REPLACE PROCEDURE add_u(p NUMBER) IS\n"
     "  e_dup EXCEPTION;\n"
     "  PRAGMA EXCEPTION_INIT(e_dup, -1);\n"
     "BEGIN\n"
     "  INSERT INTO t VALUES (p);\n"
     "EXCEPTION\n"
     "  WHEN DUP_VAL_ON_INDEX THEN\n"
     "    NULL;\n"
     "  WHEN e_dup OR NO_DATA_FOUND THEN\n"
     "    UPDATE t SET n = n + 1 WHERE id = p;\n"
     "END;\n"
     "/\n",
     "[1]\n"
     "CREATE OR REPLACE PROCEDURE add_u(\n"
     "IN p NUMBER) SPECIFIC add_u\n"
     "LANGUAGE SQL\n"
     "  SYSZULINTERNAL_BLOCK: BEGIN\n"
     "  DECLARE e_dup CONDITION FOR SQLSTATE '23505';\n"
     + translate_test::kErrorVariables +
     "  DECLARE EXIT HANDLER FOR SQLSTATE '23505'\n"
     "  BEGIN\n"
     + translate_test::kHandlerCodes +
     "  -- NULL;\n"
     "  END;\n"
     "  DECLARE EXIT HANDLER FOR SQLSTATE 'UDNDF'\n"
     "  BEGIN\n"
     + translate_test::kHandlerCodes +
     "  UPDATE t SET n = n + 1 WHERE id = p;\n"
     "  END;\n"
     "  INSERT INTO t VALUES(p);\n"
     "  END@\n"
     "\n"
     "\n",
     ""},
};

TEST(TranslateAudit2, GotoOutOfAHandler) { expectSoundCases(kGotoOutOfAHandler); }
TEST(TranslateAudit2, InsteadOfTriggersAreRowTriggers) { expectSoundCases(kInsteadOfTriggersAreRowTriggers); }
TEST(TranslateAudit2, CharWithoutALength) { expectSoundCases(kCharWithoutALength); }
TEST(TranslateAudit2, DivisionByZeroRaises) { expectSoundCases(kDivisionByZeroRaises); }
TEST(TranslateAudit2, RepeatedHandlerConditions) { expectSoundCases(kRepeatedHandlerConditions); }

}  // namespace

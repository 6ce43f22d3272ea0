// Whole translations whose rewriting meets nodes the steps move or make:
// statements put before a jump, a query's row-count statements, blocks the
// rewriting makes. Each node is rewritten once.
#include <gtest/gtest.h>

#include "translate_fixture.h"

namespace {

using namespace translate_test;

const SoundCase kCases[] = {
    // The CLOSE and the step put before a CONTINUE are rewritten once, and
    // the statement after the CONTINUE is rewritten too.
    {"CloseAndStepBeforeContinueOuter", false,
     "BEGIN\n"
         "  <<outer>>\n"
         "  FOR i IN 1..3 LOOP\n"
         "    FOR s IN d LOOP\n"
         "      CONTINUE outer;\n"
         "      n := SQL%ROWCOUNT;\n"
         "    END LOOP;\n"
         "  END LOOP;\n"
         "END;\n",
     "[4]\n"
         "BEGIN\n"
         "  DECLARE SYSZULINTERNAL_ROWCOUNT INTEGER;\n"
         "  outer: BEGIN\n"
         "  DECLARE i INTEGER DEFAULT 1;\n"
         "  DECLARE SYSZULINTERNAL_LOOP_LIMIT INTEGER DEFAULT 3;\n"
         "\n"
         "  SYSZULINTERNAL_00000002: WHILE i <= SYSZULINTERNAL_LOOP_LIMIT DO\n"
         "  BEGIN\n"
         "  DECLARE s ANCHOR TO ROW d;\n"
         "  DECLARE EXIT HANDLER FOR SQLEXCEPTION\n"
         "  BEGIN\n"
         "\n"
         "  IF d IS OPEN THEN\n"
         "  CLOSE d ;\n"
         "  END IF;\n"
         "\n"
         "  RESIGNAL;\n"
         "  END;\n"
         "  OPEN d;\n"
         "\n"
         "  SYSZULINTERNAL_00000001: LOOP\n"
         "  FETCH d INTO s;\n"
         "  IF d IS NOT FOUND THEN LEAVE SYSZULINTERNAL_00000001; END IF;\n"
         "  CLOSE d ;\n"
         "  SET i = i + 1;\n"
         "  ITERATE SYSZULINTERNAL_00000002;\n"
         "  SET n = SYSZULINTERNAL_ROWCOUNT;\n"
         "  END LOOP SYSZULINTERNAL_00000001;\n"
         "\n"
         "  CLOSE d ;\n"
         "  END;\n" + numericLoopEnd("i") + "END@\n",
     ""},
    // A SELECT INTO takes the row-count statements after it into the block
    // whose NOT FOUND handler raises NO_DATA_FOUND, all three when the block
    // reads SQL%FOUND and SQL%NOTFOUND.
    {"FoundAndNotFoundFollowTheQuery", false,
     "BEGIN\n"
         "  SELECT a INTO n FROM t;\n"
         "  b := SQL%FOUND AND NOT SQL%NOTFOUND;\n"
         "END;\n",
     "[4]\n"
         "BEGIN\n"
         "  DECLARE SYSZULINTERNAL_ROWCOUNT INTEGER;\n"
         "  DECLARE SYSZULINTERNAL_FOUND BOOLEAN;\n"
         "  DECLARE SYSZULINTERNAL_NOTFOUND BOOLEAN;\n"
         "  BEGIN\n"
         "  DECLARE EXIT HANDLER FOR NOT FOUND\n"
         "  BEGIN\n"
         "  SET SYSZULINTERNAL_ROWCOUNT = 0;\n"
         "  SET SYSZULINTERNAL_NOTFOUND = true;\n"
         "  SET SYSZULINTERNAL_FOUND = false;\n"
         "  SIGNAL SQLSTATE 'UDNDF';\n"
         "  END;\n"
         "  SELECT a INTO n FROM t;\n"
         "  SET SYSZULINTERNAL_ROWCOUNT = 1;\n"
         "  SET SYSZULINTERNAL_NOTFOUND = (CASE WHEN SYSZULINTERNAL_ROWCOUNT <= 0 THEN true ELSE false END);\n"
         "  SET SYSZULINTERNAL_FOUND = (CASE WHEN SYSZULINTERNAL_ROWCOUNT > 0 THEN true ELSE false END);\n"
         "  END;\n"
         "  SET b = (SYSZULINTERNAL_FOUND = true)AND NOT(SYSZULINTERNAL_NOTFOUND = true);\n"
         "END@\n",
     ""},
    // The blocks the rewriting makes (a loop's, a dynamic statement's, a
    // handler's) read the SQL% attributes their statements read.
    {"LoopDynamicAndHandlerBlocks", false,
     "BEGIN\n"
         "  FOR i IN 1..2 LOOP\n"
         "    UPDATE t SET a = i;\n"
         "    EXECUTE IMMEDIATE 'DELETE FROM t';\n"
         "    n := SQL%ROWCOUNT;\n"
         "  END LOOP;\n"
         "EXCEPTION\n"
         "  WHEN OTHERS THEN\n"
         "    UPDATE t SET a = 0;\n"
         "    b := SQL%NOTFOUND;\n"
         "END;\n",
     "[4]\n"
         "BEGIN\n"
         "  DECLARE SYSZULINTERNAL_ROWCOUNT INTEGER;\n"
         + kErrorVariables +
         "  DECLARE SYSZULINTERNAL_NOTFOUND BOOLEAN;\n"
         "  DECLARE EXIT HANDLER FOR SQLEXCEPTION\n"
         "  BEGIN\n"
         + kHandlerCodes +
         "  UPDATE t SET a = 0;\n"
         "  GET DIAGNOSTICS SYSZULINTERNAL_ROWCOUNT = ROW_COUNT;\n"
         "  SET SYSZULINTERNAL_NOTFOUND = (CASE WHEN SYSZULINTERNAL_ROWCOUNT <= 0 THEN true ELSE false END);\n"
         "  SET b = (SYSZULINTERNAL_NOTFOUND = true);\n"
         "  END;\n"
         "  BEGIN\n"
         "  DECLARE i INTEGER DEFAULT 1;\n"
         "  DECLARE SYSZULINTERNAL_LOOP_LIMIT INTEGER DEFAULT 2;\n"
         "\n"
         "  WHILE i <= SYSZULINTERNAL_LOOP_LIMIT DO\n"
         "  UPDATE t SET a = i;\n"
         "  GET DIAGNOSTICS SYSZULINTERNAL_ROWCOUNT = ROW_COUNT;\n"
         "  SET SYSZULINTERNAL_NOTFOUND = (CASE WHEN SYSZULINTERNAL_ROWCOUNT <= 0 THEN true ELSE false END);\n"
         "  BEGIN\n"
         "  DECLARE SYSZULINTERNAL_STMT_TEXT CLOB(2M) DEFAULT 'DELETE FROM t';\n"
         "  EXECUTE IMMEDIATE SYSZULINTERNAL_STMT_TEXT;\n"
         "  GET DIAGNOSTICS SYSZULINTERNAL_ROWCOUNT = ROW_COUNT;\n"
         "  SET SYSZULINTERNAL_NOTFOUND = (CASE WHEN SYSZULINTERNAL_ROWCOUNT <= 0 THEN true ELSE false END);\n"
         "  END;\n"
         "  SET n = SYSZULINTERNAL_ROWCOUNT;\n" + numericLoopEnd("i") + "END@\n",
     ""},
};

}  // namespace

TEST(RewriteSingleVisit, EachNodeIsRewrittenOnce) { expectSoundCases(kCases); }

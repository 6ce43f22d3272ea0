// Token lists that a construct and its expansion would share, and token
// lists with constructs of both report steps: each token is rewritten and
// reported once, and each case compares every statement record and every
// error record.
#include <gtest/gtest.h>

#include "translate_fixture.h"

namespace {

using translate_test::expectSoundCases;
using translate_test::SoundCase;

// A bound of a numeric FOR loop and an argument of a cursor FOR loop are
// rewritten where the expansion puts them, once: one record each.
const SoundCase kLoopRangesAreRewrittenOnce[] = {
    {"NegatedSubstrStartInABoundAndACursorArgument", false,
     "CREATE OR REPLACE PROCEDURE p(s VARCHAR2, a NUMBER) IS\n"
         "  CURSOR c(x VARCHAR2) IS SELECT x FROM dual;\n"
         "BEGIN\n"
         "  FOR i IN 1..LENGTH(SUBSTR(s, -a*2)) LOOP\n"
         "    NULL;\n"
         "  END LOOP;\n"
         "  FOR r IN c(SUBSTR(s, -a*2)) LOOP\n"
         "    NULL;\n"
         "  END LOOP;\n"
         "END;\n"
         "/\n",
     "[1]\n"
         "CREATE OR REPLACE PROCEDURE p(\n"
         "IN s VARCHAR2(4096), \n"
         "IN a NUMBER) SPECIFIC p\n"
         "LANGUAGE SQL\n"
         "  SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  DECLARE c CURSOR CONSTANT (CURSOR (\n"
         "  x VARCHAR2(4096)) FOR SELECT x FROM dual);\n"
         "  BEGIN\n"
         "  DECLARE i INTEGER DEFAULT 1;\n"
         "  DECLARE SYSZULINTERNAL_LOOP_LIMIT INTEGER;\n"
         "  SET SYSZULINTERNAL_LOOP_LIMIT = ROUND(LENGTH(SUBSTR(s, - a * 2)), 0);\n"
         "\n"
         "  WHILE i <= SYSZULINTERNAL_LOOP_LIMIT DO\n"
         "  -- NULL;\n"
         "  SET i = i + 1;\n"
         "  END WHILE;\n"
         "\n"
         "  END;\n"
         "  BEGIN\n"
         "  DECLARE r ANCHOR TO ROW c;\n"
         "  OPEN c(SUBSTR(s, - a * 2));\n"
         "\n"
         "  SYSZULINTERNAL_00000001: LOOP\n"
         "  FETCH c INTO r;\n"
         "  IF c IS NOT FOUND THEN LEAVE SYSZULINTERNAL_00000001; END IF;\n"
         "  -- NULL;\n"
         "  END LOOP SYSZULINTERNAL_00000001;\n"
         "\n"
         "  CLOSE c ;\n"
         "  END;\n"
         "  END@\n"
         "\n"
         "\n",
     "SUBSTR with a negative start not supported|2|4|SUBSTR|SUBSTR\n"
         "SUBSTR with a negative start not supported|2|7|SUBSTR|SUBSTR\n"},
};

// In one token list the records of collection methods and the like come
// before those of forms the target lacks, whatever their order in the text.
const SoundCase kListedConstructsComeFirst[] = {
    {"CollectionMethodAfterMultiset", false,
     "DECLARE\n"
         "  TYPE nt IS TABLE OF NUMBER;\n"
         "  v nt := nt();\n"
         "  w nt;\n"
         "  n INTEGER;\n"
         "BEGIN\n"
         "  w := v MULTISET UNION v;\n"
         "  n := w.COUNT + v.COUNT;\n"
         "  IF v MULTISET EXCEPT w IS EMPTY AND v.COUNT > 0 THEN\n"
         "    n := 1;\n"
         "  END IF;\n"
         "END;\n",
     "[4]\n"
         "BEGIN\n"
         "  DECLARE TYPE nt AS NUMBER ARRAY[];\n"
         "  DECLARE v nt;\n"
         "  DECLARE w nt;\n"
         "  DECLARE n INTEGER;\n"
         "  SET v = nt();\n"
         "  SET w = v MULTISET UNION v;\n"
         "  SET n = w.COUNT + v.COUNT;\n"
         "\n"
         "  IF v MULTISET EXCEPT w IS EMPTY AND v.COUNT > 0 THEN\n"
         "  SET n = 1;\n"
         "  END IF;\n"
         "\n"
         "END@\n",
     "Collection constructor not supported|2|3|nt|nt\n"
         "MULTISET operators not supported|2|7|MULTISET|MULTISET\n"
         "Collection method COUNT not supported|2|8|w.COUNT|w.COUNT\n"
         "Collection method COUNT not supported|2|8|v.COUNT|v.COUNT\n"
         "Collection method COUNT not supported|2|9|v.COUNT|v.COUNT\n"
         "MULTISET operators not supported|2|9|MULTISET|MULTISET\n"
         "IS [NOT] EMPTY not supported|2|9|IS EMPTY|IS\n"
         "TABLE types cannot be declared within a program|2|2|TYPE <name> IS TABLE...|\n"},
};

}  // namespace

TEST(RewriteSharedTokens, LoopRangesAreRewrittenOnce) { expectSoundCases(kLoopRangesAreRewrittenOnce); }

TEST(RewriteSharedTokens, ListedConstructsComeFirst) { expectSoundCases(kListedConstructsComeFirst); }

// Whole translations of what a name or a cursor stands for: cursor
// attributes tested for NULL, collection methods on the names the run
// declares and on those it does not. Each case compares every statement
// record and every error record.
#include <gtest/gtest.h>

#include "translate_fixture.h"

namespace {

using translate_test::kRoutineEnd;
using translate_test::moduleBodyOpening;
using translate_test::moduleProcedureHead;
using translate_test::packageHead;
using translate_test::routineOrMemberHead;
using translate_test::SoundCase;

// The test of a cursor's FOUND state for NULL: true before the first FETCH.
std::string unfetched(const std::string& cursor, bool isNull) {
  return "(CASE WHEN " + cursor + " IS FOUND OR " + cursor + " IS NOT FOUND THEN " +
         (isNull ? "false ELSE true" : "true ELSE false") + " END)";
}

const SoundCase kCollectionCases[] = {
    // %FOUND and %NOTFOUND are NULL between OPEN and the first FETCH, where
    // the target's predicates are unknown; %ISOPEN is never NULL. A cursor
    // named through its routine, in a nested block.
    {"CursorAttributesTestedForNull", false,
     "CREATE OR REPLACE PACKAGE BODY pk AS\n"
         "  PROCEDURE p IS\n"
         "    CURSOR c IS SELECT a FROM t;\n"
         "    n NUMBER;\n"
         "  BEGIN\n"
         "    OPEN c;\n"
         "    IF p.c%NOTFOUND IS NULL THEN n := 1; END IF;\n"
         "    BEGIN\n"
         "      WHILE c%FOUND IS NOT NULL AND NOT c%ISOPEN IS NULL LOOP FETCH c INTO n; END LOOP;\n"
         "    END;\n"
         "  END;\n"
         "END pk;\n",
     moduleBodyOpening("pk") + moduleProcedureHead("pk", "p") +
         "  DECLARE c CURSOR CONSTANT (CURSOR FOR SELECT a FROM t);\n"
         "  DECLARE n NUMBER;\n"
         "  OPEN c;\n\n"
         "  IF " + unfetched("SYSZULINTERNAL_BLOCK.c", true) + " THEN\n"
         "  SET n = 1;\n"
         "  END IF;\n\n"
         "  BEGIN\n\n"
         "  WHILE " + unfetched("c", false) + " AND NOT false DO\n"
         "  FETCH c INTO n;\n"
         "  END WHILE;\n\n"
         "  END;\n" +
         kRoutineEnd,
     ""},
    // SQL%FOUND and SQL%NOTFOUND are NULL until a statement sets them, as
    // their variables are; CURSOR_ROWCOUNT(c) IS NULL holds as written.
    {"SqlAttributesTestedForNullInATrigger", false,
     "CREATE OR REPLACE TRIGGER trg BEFORE INSERT ON t FOR EACH ROW\n"
         "BEGIN\n"
         "  IF SQL%NOTFOUND IS NULL OR SQL%FOUND IS NOT NULL OR SQL%ISOPEN IS NOT NULL OR c%ROWCOUNT IS NULL THEN\n"
         "    :NEW.a := 1;\n"
         "  END IF;\n"
         "END;\n",
     "[0]\nCREATE OR REPLACE TRIGGER trg BEFORE INSERT ON t REFERENCING NEW AS SYSZULINTERNAL_NEW FOR EACH ROW   "
     "SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  DECLARE SYSZULINTERNAL_ROWCOUNT INTEGER;\n"
         "  DECLARE SYSZULINTERNAL_FOUND BOOLEAN;\n"
         "  DECLARE SYSZULINTERNAL_NOTFOUND BOOLEAN;\n\n"
         "  IF SYSZULINTERNAL_NOTFOUND IS NULL OR SYSZULINTERNAL_FOUND IS NOT NULL OR true OR CURSOR_ROWCOUNT(c) IS "
         "NULL THEN\n"
         "  SET SYSZULINTERNAL_NEW.a = 1;\n"
         "  END IF;\n\n" +
         kRoutineEnd + "\n",
     ""},
    // DELETE, TRIM and EXTEND are methods of the collections the run
    // declares (a parameter, a variable of a nested block, a variable of
    // the package head, qualified or not); on a name it does not declare
    // they stay the calls they are, as COUNT and the like stay the function
    // they call. A trigger as well.
    {"MethodsOfDeclaredNamesOnly", false,
     "CREATE OR REPLACE PACKAGE pk AS g some_list; END pk;\n"
         "/\n"
         "CREATE OR REPLACE PACKAGE BODY pk AS\n"
         "  PROCEDURE p(v some_list) IS\n"
         "    n NUMBER;\n"
         "  BEGIN\n"
         "    other_pkg.delete(5); x.trim(2); other_pkg.extend; q.extend(3);\n"
         "    v.delete(1); g.trim; pk.g.extend;\n"
         "    DECLARE w some_list; BEGIN w.delete; END;\n"
         "    n := other_pkg.count + v.count + g.last;\n"
         "  END;\n"
         "END pk;\n"
         "/\n"
         "CREATE OR REPLACE TRIGGER trg BEFORE INSERT ON t FOR EACH ROW\n"
         "BEGIN log_pkg.delete(:NEW.a); END;\n",
     packageHead("pk", {"VARIABLE g some_list"}) + moduleBodyOpening("pk") +
         routineOrMemberHead("pk", "PROCEDURE", "p", "IN v some_list") +
         "  DECLARE n NUMBER;\n"
         "  CALL other_pkg.delete(5);\n"
         "  CALL x.trim(2);\n"
         "  CALL other_pkg.extend;\n"
         "  CALL q.extend(3);\n"
         "  SET v = ARRAY_DELETE( v, 1);\n"
         "  SET g = TRIM_ARRAY( g, 1);\n"
         "  -- EXTEND pk.g\n"
         "  BEGIN\n"
         "  DECLARE w some_list;\n"
         "  SET w = ARRAY_DELETE( w);\n"
         "  END;\n"
         "  SET n = other_pkg.count + v.count + g.last;\n" +
         kRoutineEnd +
         "CREATE OR REPLACE TRIGGER trg BEFORE INSERT ON t REFERENCING NEW AS SYSZULINTERNAL_NEW FOR EACH ROW   "
         "SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  CALL log_pkg.delete(SYSZULINTERNAL_NEW.a);\n" +
         kRoutineEnd + "\n",
     "Collection method COUNT not supported|2|10|v.count|v.count\n"
         "Collection method LAST not supported|2|10|g.last|g.last\n"},
    // A package body whose head is not in the run: its head may declare a
    // name that nothing else declares, and another package's variable is
    // not told from a schema's package: the call stays, with a record.
    {"MethodsOfNamesAHeadElsewhereMayDeclare", false,
     "CREATE OR REPLACE PACKAGE BODY pk AS\n"
         "  PROCEDURE p IS BEGIN g.delete; repo.extend(2); pkg.items.trim; n := g.count; END;\n"
         "END pk;\n",
     moduleBodyOpening("pk") + moduleProcedureHead("pk", "p") +
         "  CALL g.delete;\n"
         "  CALL repo.extend(2);\n"
         "  CALL pkg.items.trim;\n"
         "  SET n = g.count;\n" +
         kRoutineEnd,
     "Collection method DELETE of a name the run does not declare not supported|2|2|g.delete|g.delete\n"
         "Collection method EXTEND of a name the run does not declare not supported|2|2|repo.extend|repo.extend\n"
         "Collection method TRIM of a name the run does not declare not supported|2|2|pkg.items.trim|"
         "pkg.items.trim\n"
         "Collection method COUNT not supported|2|2|g.count|g.count\n"},
};

}  // namespace

TEST(TranslateCollections, WholeTranslations) { translate_test::expectSoundCases(kCollectionCases); }

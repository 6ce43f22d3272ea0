// Whole translations of what a name or a cursor stands for: cursor
// attributes tested for NULL, collection methods on the names the run
// declares and on those it does not, functions called in SQL that may end
// with NO_DATA_FOUND. Each case compares every statement record and every
// error record.
#include <gtest/gtest.h>

#include "translate_fixture.h"

namespace {

using translate_test::anonymousBlock;
using translate_test::dynamicBlock;
using translate_test::kErrorVariables;
using translate_test::kNoRowGuard;
using translate_test::kRoutineEnd;
using translate_test::exitHandler;
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
    // PL/SQL's SQL engine makes NO_DATA_FOUND out of a function it calls
    // NULL; the target fails the statement. Calls in SQL of a function that
    // lets it out are recorded; one that handles it, one whose query always
    // finds a row, or a call outside SQL, is not.
    {"NoDataFoundOutOfFunctionsCalledInSql", false,
     "CREATE OR REPLACE FUNCTION name_of(p NUMBER) RETURN NUMBER IS n NUMBER;\n"
         "BEGIN SELECT a INTO n FROM t WHERE id = p; RETURN n; END;\n"
         "/\n"
         "CREATE OR REPLACE FUNCTION count_of(p NUMBER) RETURN NUMBER IS n NUMBER;\n"
         "BEGIN SELECT COUNT(*) INTO n FROM t WHERE id = p; RETURN n; END;\n"
         "/\n"
         "CREATE OR REPLACE FUNCTION safe_of(p NUMBER) RETURN NUMBER IS\n"
         "BEGIN RETURN name_of(p); EXCEPTION WHEN NO_DATA_FOUND THEN RETURN NULL; END;\n"
         "/\n"
         "BEGIN\n"
         "  UPDATE t SET a = name_of(b) + count_of(b) WHERE c = safe_of(d);\n"
         "  x := name_of(1);\n"
         "END;\n",
     routineOrMemberHead("", "FUNCTION", "name_of", "p NUMBER") + "  DECLARE n NUMBER;\n" + kNoRowGuard +
         "  SELECT a INTO n FROM t WHERE id = p;\n  END;\n  RETURN n;\n" + kRoutineEnd +
         routineOrMemberHead("", "FUNCTION", "count_of", "p NUMBER") + "  DECLARE n NUMBER;\n" + kNoRowGuard +
         "  SELECT COUNT(*) INTO n FROM t WHERE id = p;\n  END;\n  RETURN n;\n" + kRoutineEnd +
         routineOrMemberHead("", "FUNCTION", "safe_of", "p NUMBER") + kErrorVariables +
         exitHandler("SQLSTATE 'UDNDF'", "  RETURN NULL;\n") + "  RETURN name_of(p);\n" + kRoutineEnd +
         anonymousBlock("  UPDATE t SET a = name_of(b) + count_of(b) WHERE c = safe_of(d);\n  SET x = name_of(1);\n"),
     "NO_DATA_FOUND out of a function called in SQL not supported|2|11|name_of|name_of\n"},
    // Through a procedure that raises it, a handler that raises it again, a
    // dynamic query; in a cursor's query and in a FOR loop's query of a
    // nested block.
    {"NoDataFoundThroughCallsAndHandlers", false,
     "CREATE OR REPLACE PACKAGE BODY pk AS\n"
         "  PROCEDURE check_it IS BEGIN RAISE NO_DATA_FOUND; END;\n"
         "  FUNCTION checked(p NUMBER) RETURN NUMBER IS BEGIN check_it; RETURN p; END;\n"
         "  FUNCTION logged(p NUMBER) RETURN NUMBER IS BEGIN RETURN checked(p); EXCEPTION WHEN OTHERS THEN RAISE; END;\n"
         "  FUNCTION dyn(p NUMBER) RETURN NUMBER IS n NUMBER; BEGIN EXECUTE IMMEDIATE 'SELECT 1 FROM t' INTO n; RETURN n; END;\n"
         "  PROCEDURE run IS\n"
         "    CURSOR c IS SELECT pk.logged(a) FROM t;\n"
         "  BEGIN\n"
         "    BEGIN FOR r IN (SELECT dyn(a) d FROM t) LOOP NULL; END LOOP; END;\n"
         "  END;\n"
         "END pk;\n",
     moduleBodyOpening("pk") + moduleProcedureHead("pk", "check_it") + "  SIGNAL SQLSTATE 'UDNDF';\n" + kRoutineEnd +
         routineOrMemberHead("pk", "FUNCTION", "checked", "p NUMBER", true) + "  CALL check_it;\n  RETURN p;\n" +
         kRoutineEnd + routineOrMemberHead("pk", "FUNCTION", "logged", "p NUMBER", true) + kErrorVariables +
         exitHandler("SQLEXCEPTION", "  RESIGNAL;\n") + "  RETURN checked(p);\n" + kRoutineEnd +
         routineOrMemberHead("pk", "FUNCTION", "dyn", "p NUMBER") + "  DECLARE n NUMBER;\n" +
         dynamicBlock("SELECT 1 FROM t", kNoRowGuard.substr(8) +
                                             "  PREPARE SYSZULINTERNAL_00000001 FROM SYSZULINTERNAL_STMT_TEXT;\n"
                                             "  EXECUTE SYSZULINTERNAL_00000001 INTO n;\n") +
         "  RETURN n;\n" + kRoutineEnd + moduleProcedureHead("pk", "run") +
         "  DECLARE c CURSOR CONSTANT (CURSOR FOR SELECT pk.logged(a) FROM t);\n"
         "  BEGIN\n\n  FOR r AS\n  SELECT dyn(a) d FROM t\n  DO\n  BEGIN END; -- NULL;\n  END FOR;\n\n  END;\n" +
         kRoutineEnd,
     "Call of a function that changes data outside an assignment not supported|2|4|checked|checked\n"
         "Call of a function that changes data outside an assignment not supported|2|7|pk.logged|pk.logged\n"
         "NO_DATA_FOUND out of a function called in SQL not supported|2|9|dyn|dyn\n"
         "NO_DATA_FOUND out of a function called in SQL not supported|2|7|pk.logged|pk.logged\n"},
};

}  // namespace

TEST(TranslateCollections, WholeTranslations) { translate_test::expectSoundCases(kCollectionCases); }

// Whole translations of what a name or a cursor stands for: cursor
// attributes tested for NULL, collection methods on the names the run
// declares and on those it does not, functions called in SQL that may end
// with NO_DATA_FOUND. Each case compares every statement record and every
// error record.
#include <gtest/gtest.h>

#include "translate_fixture.h"

namespace {

using namespace translate_test;

// A cursor's FOUND state tested for NULL: true before the first FETCH.
std::string unfetched(const std::string& cursor, const char* isNull) {
  return "(CASE WHEN " + cursor + " IS FOUND OR " + cursor + " IS NOT FOUND THEN " + isNull + " END)";
}

// A function of a package body that returns p and does `body` first.
std::string member(const std::string& name, const std::string& body, bool modifies = false) {
  return routineOrMemberHead("pk", "FUNCTION", name, "p NUMBER", modifies) + body + "  RETURN p;\n" + kRoutineEnd;
}

const SoundCase kCollectionCases[] = {
    // %FOUND and %NOTFOUND are NULL between OPEN and the first FETCH, where
    // the target's predicates are unknown; %ISOPEN is never NULL; SQL's are
    // NULL until a statement sets their variables. A cursor named through
    // its routine, a nested block; CURSOR_ROWCOUNT(c) IS NULL holds.
    {"CursorAttributesTestedForNull", false,
     "CREATE OR REPLACE PACKAGE BODY pk AS PROCEDURE p IS CURSOR c IS SELECT a FROM t; BEGIN\n"
         "  IF p.c%NOTFOUND IS NULL OR SQL%NOTFOUND IS NULL OR SQL%FOUND IS NOT NULL THEN NULL; END IF;\n"
         "  BEGIN\n"
         "    WHILE c%FOUND IS NOT NULL AND NOT c%ISOPEN IS NULL OR c%ROWCOUNT IS NULL LOOP NULL; END LOOP;\n"
         "  END;\n"
         "END; END pk;\n",
     moduleBodyOpening("pk") + memberHead("pk", "p") +
         "  DECLARE c CURSOR CONSTANT (CURSOR FOR SELECT a FROM t);\n"
         "  DECLARE SYSZULINTERNAL_ROWCOUNT INTEGER;\n  DECLARE SYSZULINTERNAL_FOUND BOOLEAN;\n"
         "  DECLARE SYSZULINTERNAL_NOTFOUND BOOLEAN;\n\n  IF " +
         unfetched("SYSZULINTERNAL_BLOCK.c", "false ELSE true") +
         " OR SYSZULINTERNAL_NOTFOUND IS NULL OR SYSZULINTERNAL_FOUND IS NOT NULL THEN\n"
         "  BEGIN END; -- NULL;\n  END IF;\n\n  BEGIN\n\n  WHILE " +
         unfetched("c", "true ELSE false") +
         " AND NOT false OR CURSOR_ROWCOUNT(c) IS NULL DO\n  BEGIN END; -- NULL;\n  END WHILE;\n\n  END;\n" +
         kRoutineEnd,
     ""},
    // DELETE, TRIM and EXTEND are methods of the collections the run
    // declares (a parameter, a nested block's variable, the package head's
    // variable, qualified or not); on any other name they stay the calls
    // they are, as COUNT and its kin stay the functions they call.
    {"MethodsOfDeclaredNamesOnly", false,
     "CREATE OR REPLACE PACKAGE pk AS g some_list; END pk;\n"
         "/\n"
         "CREATE OR REPLACE PACKAGE BODY pk AS PROCEDURE p(v some_list) IS n NUMBER; BEGIN\n"
         "  other_pkg.delete(5); x.trim(2); other_pkg.extend; q.extend(3);\n"
         "  v.delete(1); g.trim; pk.g.extend;\n"
         "  DECLARE w some_list; BEGIN w.delete; END;\n"
         "  n := other_pkg.count + v.count + g.last;\n"
         "END; END pk;\n",
     packageHead("pk", {"VARIABLE g some_list"}) + moduleBodyOpening("pk") +
         routineOrMemberHead("pk", "PROCEDURE", "p", "IN v some_list") +
         "  DECLARE n NUMBER;\n  CALL other_pkg.delete(5);\n  CALL x.trim(2);\n  CALL other_pkg.extend;\n"
         "  CALL q.extend(3);\n  SET v = ARRAY_DELETE( v, 1);\n  SET g = TRIM_ARRAY( g, 1);\n  -- EXTEND pk.g\n"
         "  BEGIN\n  DECLARE w some_list;\n  SET w = ARRAY_DELETE( w);\n  END;\n"
         "  SET n = other_pkg.count + v.count + g.last;\n" +
         kRoutineEnd,
     "Collection method COUNT not supported|2|7|v.count|v.count\n"
         "Collection method LAST not supported|2|7|g.last|g.last\n"},
    // A package body whose head is not in the run: its head may declare a
    // name that nothing else declares, and another package's variable is
    // not told from a schema's package: the call stays, with a record.
    {"MethodsOfNamesAHeadElsewhereMayDeclare", false,
     "CREATE OR REPLACE PACKAGE BODY pk AS\n"
         "  PROCEDURE p IS BEGIN g.delete; repo.extend(2); pkg.items.trim; n := g.count; END;\n"
         "END pk;\n",
     moduleBodyOpening("pk") + memberHead("pk", "p") +
         "  CALL g.delete;\n  CALL repo.extend(2);\n  CALL pkg.items.trim;\n  SET n = g.count;\n" + kRoutineEnd,
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
    // Through a procedure that raises it and a handler that raises it
    // again, or a dynamic query; called in a cursor's query and in a FOR
    // loop's query of a nested block.
    {"NoDataFoundThroughCallsAndHandlers", false,
     "CREATE OR REPLACE PACKAGE BODY pk AS\n"
         "  PROCEDURE check_it IS BEGIN RAISE NO_DATA_FOUND; END;\n"
         "  FUNCTION checked(p NUMBER) RETURN NUMBER IS BEGIN check_it; RETURN p; EXCEPTION WHEN OTHERS THEN RAISE; END;\n"
         "  FUNCTION dyn(p NUMBER) RETURN NUMBER IS BEGIN EXECUTE IMMEDIATE 'SELECT 1 FROM t' INTO p; RETURN p; END;\n"
         "  PROCEDURE run IS CURSOR c IS SELECT pk.checked(a) FROM t;\n"
         "  BEGIN BEGIN FOR r IN (SELECT dyn(a) d FROM t) LOOP NULL; END LOOP; END; END;\n"
         "END pk;\n",
     moduleBodyOpening("pk") + memberHead("pk", "check_it") + "  SIGNAL SQLSTATE 'UDNDF';\n" + kRoutineEnd +
         member("checked", kErrorVariables + exitHandler("SQLEXCEPTION", "  RESIGNAL;\n") + "  CALL check_it;\n",
                true) +
         member("dyn", dynamicBlock("SELECT 1 FROM t",
                                    kNoRowGuard.substr(8) +
                                        "  PREPARE SYSZULINTERNAL_00000001 FROM SYSZULINTERNAL_STMT_TEXT;\n"
                                        "  EXECUTE SYSZULINTERNAL_00000001 INTO p;\n")) +
         memberHead("pk", "run") + "  DECLARE c CURSOR CONSTANT (CURSOR FOR SELECT pk.checked(a) FROM t);\n"
         "  BEGIN\n\n  FOR r AS\n  SELECT dyn(a) d FROM t\n  DO\n  BEGIN END; -- NULL;\n  END FOR;\n\n  END;\n" +
         kRoutineEnd,
     "Call of a function that changes data outside an assignment not supported|2|5|pk.checked|pk.checked\n"
         "NO_DATA_FOUND out of a function called in SQL not supported|2|6|dyn|dyn\n"
         "NO_DATA_FOUND out of a function called in SQL not supported|2|5|pk.checked|pk.checked\n"},
};

}  // namespace

TEST(TranslateCollections, WholeTranslations) { expectSoundCases(kCollectionCases); }

// Whole translations of names, datatypes and forms: a qualifier that a FROM
// clause defines names a column, the run's functions without parameters are
// called with parentheses, functions that change data say so, and the
// datatypes, routine clauses, collection and object forms, trigger rows,
// % attributes, dynamic PL/SQL blocks and built-in packages that the target
// lacks are translated or leave a record each.
#include <gtest/gtest.h>

#include "translate_fixture.h"

namespace {

using translate_test::expectSoundCases;
using translate_test::kNoRowGuard;
using translate_test::kRoutineEnd;
using translate_test::moduleProcedureHead;
using translate_test::moduleBodyOpening;
using translate_test::SoundCase;

// A routine's name qualifies its variables unless a FROM clause defines it
// as an alias; the run's functions without parameters get parentheses where
// no column or variable can be meant; a function that changes data says so
// and is recorded where the target cannot call it.
const SoundCase kNameCases[] = {
    {"AliasEqualToTheRoutineNameNamesAColumn", false,
     "CREATE OR REPLACE PROCEDURE e IS\n"
         "  name VARCHAR2(9);\n"
         "  CURSOR c IS SELECT e.name FROM emp e;\n"
         "BEGIN\n"
         "  SELECT e.name INTO name FROM emp e;\n"
         "  UPDATE emp e SET e.name = name;\n"
         "  FOR r IN (SELECT e.name FROM emp e) LOOP\n"
         "    e.name := r.name;\n"
         "  END LOOP;\n"
         "  SELECT x.name INTO name FROM emp x WHERE x.name = e.name;\n"
         "END;\n"
         "/\n",
     "[1]\n"
         "CREATE OR REPLACE PROCEDURE e SPECIFIC e\n"
         "LANGUAGE SQL\n"
         "  SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  DECLARE name VARCHAR2(9);\n"
         "  DECLARE c CURSOR CONSTANT (CURSOR FOR SELECT e.name FROM emp e);\n" +
         kNoRowGuard +
         "  SELECT e.name INTO name FROM emp e;\n"
         "  END;\n"
         "  UPDATE emp e SET e.name = name;\n"
         "\n"
         "  FOR r AS\n"
         "  SELECT e.name FROM emp e\n"
         "  DO\n"
         "  SET SYSZULINTERNAL_BLOCK.name = r.name;\n"
         "  END FOR;\n"
         "\n" +
         kNoRowGuard +
         "  SELECT x.name INTO name FROM emp x WHERE x.name = SYSZULINTERNAL_BLOCK.name;\n"
         "  END;\n" +
         kRoutineEnd,
     ""},
    {"AliasInAPackageRoutine", false,
     "CREATE OR REPLACE PACKAGE BODY pk AS\n"
         "  PROCEDURE e IS\n"
         "    name VARCHAR2(9);\n"
         "  BEGIN\n"
         "    e.name := NULL;\n"
         "    DELETE FROM emp e WHERE e.name = 'x';\n"
         "  END e;\n"
         "END pk;\n"
         "/\n",
     moduleBodyOpening("pk") +
         moduleProcedureHead("pk", "e") +
         "  DECLARE name VARCHAR2(9);\n"
         "  SET SYSZULINTERNAL_BLOCK.name = NULL;\n"
         "  DELETE FROM emp e WHERE e.name = 'x';\n" +
         kRoutineEnd,
     ""},
    {"PackageFunctionsWithoutParametersWithinThePackage", false,
     "CREATE OR REPLACE PACKAGE BODY pk AS\n"
         "  FUNCTION get_rate RETURN NUMBER IS BEGIN RETURN 2; END;\n"
         "  PROCEDURE run IS\n"
         "    x NUMBER := get_rate;\n"
         "  BEGIN\n"
         "    x := get_rate * 2;\n"
         "    put(get_rate, pk.get_rate, unknown_fn, other_pkg.get_rate);\n"
         "  END;\n"
         "  PROCEDURE shadowed IS get_rate NUMBER; BEGIN get_rate := get_rate + 1; END;\n"
         "END pk;\n"
         "/\n"
         "BEGIN put(get_rate); END;\n"
         "/\n",
     moduleBodyOpening("pk") +
         "[3]\n"
         "  ALTER MODULE pk ADD FUNCTION get_rate()\n"
         "  RETURNS NUMBER\n"
         "  LANGUAGE SQL\n"
         "  SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  RETURN 2;\n" +
         kRoutineEnd +
         moduleProcedureHead("pk", "run") +
         "  DECLARE x NUMBER;\n"
         "  SET x = get_rate();\n"
         "  SET x = get_rate() * 2;\n"
         "  CALL put(get_rate(), pk.get_rate(), unknown_fn, other_pkg.get_rate);\n" +
         kRoutineEnd +
         moduleProcedureHead("pk", "shadowed") +
         "  DECLARE get_rate NUMBER;\n"
         "  SET get_rate = get_rate + 1;\n" +
         kRoutineEnd +
         "[4]\n"
         "BEGIN\n"
         "  CALL put(get_rate);\n"
         "END@\n",
     ""},
    {"StandaloneFunctionInSqlWhereNoColumnIsNamed", false,
     "CREATE OR REPLACE FUNCTION rate RETURN NUMBER IS BEGIN RETURN 2; END;\n"
         "/\n"
         "DECLARE\n"
         "  x NUMBER;\n"
         "BEGIN\n"
         "  SELECT rate INTO x FROM dual;\n"
         "  SELECT rate INTO x FROM rates;\n"
         "  INSERT INTO log(v, w) VALUES (rate, x);\n"
         "  INSERT INTO log(v) SELECT rate FROM dual;\n"
         "END;\n"
         "/\n",
     "[2]\n"
         "CREATE OR REPLACE FUNCTION rate() SPECIFIC rate\n"
         "RETURNS NUMBER\n"
         "LANGUAGE SQL\n"
         "  SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  RETURN 2;\n" +
         kRoutineEnd +
         "[4]\n"
         "BEGIN\n"
         "  DECLARE x NUMBER;\n" +
         kNoRowGuard +
         "  SELECT rate() INTO x FROM dual;\n"
         "  END;\n" +
         kNoRowGuard +
         "  SELECT rate INTO x FROM rates;\n"
         "  END;\n"
         "  INSERT INTO log(v, w) VALUES(rate(), x);\n"
         "  INSERT INTO log(v) SELECT rate FROM dual;\n"
         "END@\n",
     ""},
    {"PackageFunctionsThatChangeData", false,
     "CREATE OR REPLACE PACKAGE pk AS\n"
         "  FUNCTION add_row(p NUMBER) RETURN NUMBER;\n"
         "END pk;\n"
         "/\n"
         "CREATE OR REPLACE PACKAGE BODY pk AS\n"
         "  FUNCTION add_row(p NUMBER) RETURN NUMBER IS BEGIN UPDATE t SET x = p; RETURN 1; END;\n"
         "  FUNCTION get_one RETURN NUMBER IS BEGIN RETURN 1; END;\n"
         "  FUNCTION wraps RETURN NUMBER IS v NUMBER; BEGIN v := add_row(1); RETURN v; END;\n"
         "END pk;\n"
         "/\n",
     "[3]\n"
         "CREATE OR REPLACE MODULE pk@\n"
         "[3]\n"
         "ALTER MODULE pk PUBLISH FUNCTION add_row(\n"
         "p NUMBER) RETURNS NUMBER LANGUAGE SQL MODIFIES SQL DATA @\n" +
         moduleBodyOpening("pk") +
         "[3]\n"
         "  ALTER MODULE pk ADD FUNCTION add_row(\n"
         "  p NUMBER)\n"
         "  RETURNS NUMBER\n"
         "  LANGUAGE SQL\n"
         "  MODIFIES SQL DATA\n"
         "  SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  UPDATE t SET x = p;\n"
         "  RETURN 1;\n" +
         kRoutineEnd +
         "[3]\n"
         "  ALTER MODULE pk ADD FUNCTION get_one()\n"
         "  RETURNS NUMBER\n"
         "  LANGUAGE SQL\n"
         "  SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  RETURN 1;\n" +
         kRoutineEnd +
         "[3]\n"
         "  ALTER MODULE pk ADD FUNCTION wraps()\n"
         "  RETURNS NUMBER\n"
         "  LANGUAGE SQL\n"
         "  MODIFIES SQL DATA\n"
         "  SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  DECLARE v NUMBER;\n"
         "  SET v = add_row(1);\n"
         "  RETURN v;\n" +
         kRoutineEnd,
     ""},
    {"StandaloneFunctionThatChangesDataInsideExpressions", false,
     "CREATE OR REPLACE FUNCTION bump RETURN NUMBER IS\n"
         "  v NUMBER;\n"
         "BEGIN\n"
         "  SELECT seq.NEXTVAL INTO v FROM dual;\n"
         "  RETURN v;\n"
         "END;\n"
         "/\n"
         "DECLARE\n"
         "  v NUMBER := bump;\n"
         "BEGIN\n"
         "  v := bump;\n"
         "  v := bump + 1;\n"
         "  SELECT bump INTO v FROM dual;\n"
         "END;\n"
         "/\n",
     "[2]\n"
         "CREATE OR REPLACE FUNCTION bump() SPECIFIC bump\n"
         "RETURNS NUMBER\n"
         "LANGUAGE SQL\n"
         "MODIFIES SQL DATA\n"
         "  SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  DECLARE v NUMBER;\n" +
         kNoRowGuard +
         "  SELECT seq.NEXTVAL INTO v FROM dual;\n"
         "  END;\n"
         "  RETURN v;\n" +
         kRoutineEnd +
         "[4]\n"
         "BEGIN\n"
         "  DECLARE v NUMBER;\n"
         "  SET v = bump();\n"
         "  SET v = bump();\n"
         "  SET v = bump() + 1;\n" +
         kNoRowGuard +
         "  SELECT bump() INTO v FROM dual;\n"
         "  END;\n"
         "END@\n",
     "Call of a function that changes data outside an assignment not supported|2|12|bump()|bump()\n"
         "Call of a function that changes data outside an assignment not supported|2|13|bump()|bump()\n"},
    // The argument's rewritten SQL%FOUND is a group of its own: the call is
    // still the whole value.
    {"WholeValueWithARewrittenAttributeArgument", false,
     "CREATE OR REPLACE FUNCTION mark(done BOOLEAN) RETURN NUMBER IS BEGIN DELETE FROM q; RETURN 1; END;\n"
         "/\n"
         "DECLARE\n"
         "  v NUMBER;\n"
         "BEGIN\n"
         "  UPDATE t SET a = 1;\n"
         "  v := mark(SQL%FOUND);\n"
         "END;\n"
         "/\n",
     "[2]\n"
         "CREATE OR REPLACE FUNCTION mark(\n"
         "done BOOLEAN) SPECIFIC mark\n"
         "RETURNS NUMBER\n"
         "LANGUAGE SQL\n"
         "MODIFIES SQL DATA\n"
         "  SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  DELETE FROM q;\n"
         "  RETURN 1;\n" +
         kRoutineEnd +
         "[4]\n"
         "BEGIN\n"
         "  DECLARE v NUMBER;\n"
         "  DECLARE SYSZULINTERNAL_ROWCOUNT INTEGER;\n"
         "  DECLARE SYSZULINTERNAL_FOUND BOOLEAN;\n"
         "  UPDATE t SET a = 1;\n"
         "  GET DIAGNOSTICS SYSZULINTERNAL_ROWCOUNT = ROW_COUNT;\n"
         "  SET SYSZULINTERNAL_FOUND = (CASE WHEN SYSZULINTERNAL_ROWCOUNT > 0 THEN true ELSE false END);\n"
         "  SET v = mark((SYSZULINTERNAL_FOUND = true));\n"
         "END@\n",
     ""},
};

const SoundCase kTypeAndFormCases[] = {
    {"DatatypesAndClausesOutsideTheMap", false,
     "CREATE OR REPLACE FUNCTION f(p NATURAL) RETURN NUMBER RESULT_CACHE RELIES_ON (emp) IS\n"
         "  a TIMESTAMP WITH LOCAL TIME ZONE;\n"
         "  z TIMESTAMP(6) WITH TIME ZONE;\n"
         "  b BINARY_DOUBLE;\n"
         "  c STRING;\n"
         "  k STRING(10);\n"
         "  d SYS.XMLTYPE;\n"
         "  e SYS.ANYDATA;\n"
         "BEGIN\n"
         "  a := SYSTIMESTAMP + INTERVAL '5' MINUTE;\n"
         "  RETURN 1;\n"
         "END;\n"
         "/\n"
         "CREATE OR REPLACE PACKAGE pk AS\n"
         "  FUNCTION g RETURN NUMBER PIPELINED PARALLEL_ENABLE DETERMINISTIC;\n"
         "  FUNCTION total(x NUMBER) RETURN NUMBER AGGREGATE USING total_impl;\n"
         "  TYPE r IS RECORD (n SIGNTYPE);\n"
         "END pk;\n"
         "/\n",
     "[2]\n"
         "CREATE OR REPLACE FUNCTION f(\n"
         "p NATURAL) SPECIFIC f\n"
         "RETURNS NUMBER\n"
         "LANGUAGE SQL\n"
         "  SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  DECLARE a TIMESTAMP WITH LOCAL TIME ZONE;\n"
         "  DECLARE z TIMESTAMP(6) WITH TIME ZONE;\n"
         "  DECLARE b DOUBLE;\n"
         "  DECLARE c VARCHAR2(4096);\n"
         "  DECLARE k VARCHAR2(10);\n"
         "  DECLARE d XML;\n"
         "  DECLARE e SYS.ANYDATA;\n"
         "  SET a = SYSTIMESTAMP + INTERVAL '5' MINUTE;\n"
         "  RETURN 1;\n" +
         kRoutineEnd +
         "[3]\n"
         "CREATE OR REPLACE MODULE pk@\n"
         "[3]\n"
         "ALTER MODULE pk PUBLISH TYPE r AS ROW \n"
         "(\n"
         "  n SIGNTYPE\n"
         "\n"
         ")@\n"
         "[3]\n"
         "ALTER MODULE pk PUBLISH FUNCTION g() RETURNS NUMBER LANGUAGE SQL DETERMINISTIC\n"
         "@\n"
         "[3]\n"
         "ALTER MODULE pk PUBLISH FUNCTION total(\n"
         "x NUMBER) RETURNS NUMBER LANGUAGE SQL @\n",
     "Datatype NATURAL not supported|2|1|NATURAL|NATURAL\n"
         "Datatype TIMESTAMP WITH LOCAL TIME ZONE not supported|2|2|TIMESTAMP WITH LOCAL TIME ZONE|TIMESTAMP\n"
         "Datatype TIMESTAMP WITH TIME ZONE not supported|2|3|TIMESTAMP WITH TIME ZONE|TIMESTAMP\n"
         "Datatype SYS.ANYDATA not supported|2|8|SYS.ANYDATA|SYS.ANYDATA\n"
         "INTERVAL literals not supported|2|10|INTERVAL|INTERVAL\n"
         "Datatype SIGNTYPE not supported|2|17|SIGNTYPE|SIGNTYPE\n"
         "AGGREGATE USING functions not supported|2|16|AGGREGATE USING|\n"},
    {"CollectionMethodsOnCollectionsOnly", false,
     "CREATE OR REPLACE PACKAGE repo AS\n"
         "  PROCEDURE delete(n NUMBER);\n"
         "END repo;\n"
         "/\n"
         "CREATE OR REPLACE PACKAGE BODY pk AS\n"
         "  TYPE t_list IS TABLE OF NUMBER;\n"
         "  g t_list;\n"
         "  PROCEDURE run(l CLOB) IS w t_list; BEGIN\n"
         "    DBMS_LOB.TRIM(l, 10);\n"
         "    repo.delete(5);\n"
         "    w.DELETE(2); w.TRIM; w.EXTEND;\n"
         "    g.DELETE; pk.g.DELETE;\n"
         "    other_pkg.items.DELETE;\n"
         "  END;\n"
         "END pk;\n"
         "/\n",
     "[3]\n"
         "CREATE OR REPLACE MODULE repo@\n"
         "[3]\n"
         "ALTER MODULE repo PUBLISH PROCEDURE delete(\n"
         "IN n NUMBER) LANGUAGE SQL@\n" +
         moduleBodyOpening("pk") +
         "[3]\n"
         "  ALTER MODULE pk ADD TYPE t_list AS NUMBER ARRAY[]@\n"
         "[3]\n"
         "  ALTER MODULE pk ADD VARIABLE g t_list@\n"
         "[3]\n"
         "  ALTER MODULE pk ADD PROCEDURE run(\n"
         "  IN l CLOB)\n"
         "  LANGUAGE SQL\n"
         "  SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  DECLARE w t_list;\n"
         "  CALL DBMS_LOB.TRIM(l, 10);\n"
         "  CALL repo.delete(5);\n"
         "  SET w = ARRAY_DELETE( w, 2);\n"
         "  SET w = TRIM_ARRAY( w, 1);\n"
         "  -- EXTEND w\n"
         "  SET g = ARRAY_DELETE( g);\n"
         "  SET pk.g = ARRAY_DELETE( pk.g);\n"
         "  SET other_pkg.items = ARRAY_DELETE( other_pkg.items);\n" +
         kRoutineEnd,
     ""},
    {"CollectionAndObjectForms", false,
     "CREATE OR REPLACE TYPE t_point AS OBJECT (x NUMBER, MEMBER FUNCTION norm RETURN NUMBER);\n"
         "/\n"
         "CREATE OR REPLACE PACKAGE BODY pk AS\n"
         "  TYPE t_list IS TABLE OF NUMBER;\n"
         "  PROCEDURE run(a t_list) IS\n"
         "    p t_point;\n"
         "    n NUMBER;\n"
         "  BEGIN\n"
         "    a := a MULTISET UNION a;\n"
         "    IF a IS NOT EMPTY OR 3 MEMBER OF a THEN NULL; END IF;\n"
         "    SELECT COUNT(*) INTO n FROM TABLE(a);\n"
         "    p := t_point(1);\n"
         "    p := NEW t_point(1);\n"
         "    n := p.norm();\n"
         "    p.move(1);\n"
         "  END;\n"
         "END pk;\n"
         "/\n",
     moduleBodyOpening("pk") +
         "[3]\n"
         "  ALTER MODULE pk ADD TYPE t_list AS NUMBER ARRAY[]@\n"
         "[3]\n"
         "  ALTER MODULE pk ADD PROCEDURE run(\n"
         "  IN a t_list)\n"
         "  LANGUAGE SQL\n"
         "  SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  DECLARE p t_point;\n"
         "  DECLARE n NUMBER;\n"
         "  SET a = a MULTISET UNION a;\n"
         "\n"
         "  IF a IS NOT EMPTY OR 3 MEMBER OF a THEN\n"
         "  BEGIN END; -- NULL;\n"
         "  END IF;\n"
         "\n" +
         kNoRowGuard +
         "  SELECT COUNT(*) INTO n FROM TABLE(a);\n"
         "  END;\n"
         "  SET p = t_point(1);\n"
         "  SET p = NEW t_point(1);\n"
         "  SET n = p.norm();\n"
         "  CALL p.move(1);\n" +
         kRoutineEnd,
     "CREATE TYPE not supported|2|1|CREATE TYPE...|\n"
         "MULTISET operators not supported|2|9|MULTISET|MULTISET\n"
         "IS [NOT] EMPTY not supported|2|10|IS EMPTY|IS\n"
         "MEMBER OF not supported|2|10|MEMBER OF|MEMBER\n"
         "TABLE() of a collection not supported|2|11|TABLE(...)|TABLE\n"
         "Object constructor not supported|2|12|t_point|t_point\n"
         "Object constructor not supported|2|13|t_point|NEW\n"
         "Object method call not supported|2|14|p.norm|p.norm\n"
         "Object method call not supported|2|15|p.move|\n"},
    {"TriggerRowsTheEventsDoNotGive", false,
     "CREATE OR REPLACE TRIGGER tr BEFORE INSERT ON t REFERENCING OLD AS o NEW AS n FOR EACH ROW\n"
         "WHEN (o.id IS NULL)\n"
         "BEGIN :n.id := :o.id; END;\n"
         "/\n"
         "CREATE OR REPLACE TRIGGER td AFTER DELETE ON t FOR EACH ROW\n"
         "BEGIN INSERT INTO log VALUES (:NEW.id); END;\n"
         "/\n"
         "CREATE OR REPLACE TRIGGER tu AFTER INSERT OR UPDATE ON t FOR EACH ROW\n"
         "BEGIN NULL; END;\n"
         "/\n",
     "[0]\n"
         "CREATE OR REPLACE TRIGGER tr BEFORE INSERT ON t REFERENCING NEW AS SYSZULINTERNAL_n FOR EACH ROW \n"
         "WHEN (SYSZULINTERNAL_o.id IS NULL)\n"
         "  SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  SET SYSZULINTERNAL_n.id = SYSZULINTERNAL_o.id;\n" +
         kRoutineEnd +
         "\n"
         "CREATE OR REPLACE TRIGGER td AFTER DELETE ON t REFERENCING OLD AS SYSZULINTERNAL_OLD FOR EACH ROW   SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  INSERT INTO log VALUES(SYSZULINTERNAL_NEW.id);\n" +
         kRoutineEnd +
         "\n"
         "CREATE OR REPLACE TRIGGER tu AFTER ON t REFERENCING NEW AS SYSZULINTERNAL_NEW OLD AS SYSZULINTERNAL_OLD FOR EACH ROW   SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  -- NULL;\n" +
         kRoutineEnd +
         "\n",
     "Row :OLD in a trigger without UPDATE or DELETE not supported|2|2|o.id|o.id\n"
         "Row :OLD in a trigger without UPDATE or DELETE not supported|2|3|:o.id|:o.id\n"
         "Row :NEW in a trigger without INSERT or UPDATE not supported|2|6|:NEW.id|:NEW.id\n"
         "Multi-event triggers not supported|2|8|CREATE [OR REPLACE] TRIGGER ...|\n"},
    {"SqlCursorAttributes", false,
     "DECLARE\n"
         "  n NUMBER;\n"
         "  b BOOLEAN;\n"
         "  CURSOR c IS SELECT 1 FROM dual;\n"
         "BEGIN\n"
         "  b := SQL%ISOPEN OR c%ISOPEN;\n"
         "  n := SQL%BULK_ROWCOUNT(1);\n"
         "  n := SQL%BULK_EXCEPTIONS(1).ERROR_INDEX;\n"
         "END;\n"
         "/\n",
     "[4]\n"
         "BEGIN\n"
         "  DECLARE n NUMBER;\n"
         "  DECLARE b BOOLEAN;\n"
         "  DECLARE c CURSOR CONSTANT (CURSOR FOR SELECT 1 FROM dual);\n"
         "  SET b = false OR c IS OPEN;\n"
         "  SET n = SQL % BULK_ROWCOUNT(1);\n"
         "  SET n = SQL % BULK_EXCEPTIONS(1) . ERROR_INDEX;\n"
         "END@\n",
     "Attribute %BULK_ROWCOUNT not supported|2|7|%BULK_ROWCOUNT|%\n"
         "Attribute %BULK_EXCEPTIONS not supported|2|8|%BULK_EXCEPTIONS|%\n"},
    {"DynamicPlsqlBlocks", false,
     "DECLARE\n"
         "  c INTEGER;\n"
         "BEGIN\n"
         "  EXECUTE IMMEDIATE '  declare x number; begin null; end;';\n"
         "  EXECUTE IMMEDIATE 'UPDATE t SET x = 1';\n"
         "  EXECUTE IMMEDIATE 'BEGIN ' || c || '; END;';\n"
         "  DBMS_SQL.PARSE(c, 'BEGIN pkg.q; END;', DBMS_SQL.NATIVE);\n"
         "END;\n"
         "/\n",
     "[4]\n"
         "BEGIN\n"
         "  DECLARE c INTEGER;\n"
         "  BEGIN\n"
         "  DECLARE SYSZULINTERNAL_STMT_TEXT CLOB(2M) DEFAULT '  declare x number; begin null; end;';\n"
         "  EXECUTE IMMEDIATE SYSZULINTERNAL_STMT_TEXT;\n"
         "  END;\n"
         "  BEGIN\n"
         "  DECLARE SYSZULINTERNAL_STMT_TEXT CLOB(2M) DEFAULT 'UPDATE t SET x = 1';\n"
         "  EXECUTE IMMEDIATE SYSZULINTERNAL_STMT_TEXT;\n"
         "  END;\n"
         "  BEGIN\n"
         "  DECLARE SYSZULINTERNAL_STMT_TEXT CLOB(2M);\n"
         "  SET SYSZULINTERNAL_STMT_TEXT = 'BEGIN ' || c || '; END;';\n"
         "  EXECUTE IMMEDIATE SYSZULINTERNAL_STMT_TEXT;\n"
         "  END;\n"
         "  CALL DBMS_SQL.PARSE(c, 'BEGIN pkg.q; END;', DBMS_SQL.NATIVE);\n"
         "END@\n",
     "Dynamic PL/SQL block not supported|2|4|EXECUTE IMMEDIATE|\n"
         "Dynamic PL/SQL block not supported|2|6|EXECUTE IMMEDIATE|\n"
         "Dynamic PL/SQL block not supported|2|7|DBMS_SQL.PARSE|\n"},
    {"BuiltinPackagesTheTargetLacks", false,
     "DECLARE\n"
         "  n NUMBER;\n"
         "  s VARCHAR2(100);\n"
         "BEGIN\n"
         "  n := DBMS_RANDOM.VALUE(1, 10);\n"
         "  s := DBMS_UTILITY.FORMAT_ERROR_STACK;\n"
         "  n := DBMS_UTILITY.GET_TIME;\n"
         "  DBMS_OUTPUT.PUT_LINE(UTL_RAW.CAST_TO_RAW('x'));\n"
         "  s := SYS.DBMS_ASSERT.ENQUOTE_NAME(s);\n"
         "  htp.p(s);\n"
         "END;\n"
         "/\n",
     "[4]\n"
         "BEGIN\n"
         "  DECLARE n NUMBER;\n"
         "  DECLARE s VARCHAR2(100);\n"
         "  SET n = DBMS_RANDOM.VALUE(1, 10);\n"
         "  SET s = DBMS_UTILITY.FORMAT_ERROR_STACK;\n"
         "  SET n = DBMS_UTILITY.GET_TIME;\n"
         "  CALL DBMS_OUTPUT.PUT_LINE(UTL_RAW.CAST_TO_RAW('x'));\n"
         "  SET s = SYS.DBMS_ASSERT.ENQUOTE_NAME(s);\n"
         "  CALL htp.p(s);\n"
         "END@\n",
     "Built-in package DBMS_RANDOM not supported|2|5|DBMS_RANDOM.VALUE|DBMS_RANDOM.VALUE\n"
         "Built-in package routine DBMS_UTILITY.FORMAT_ERROR_STACK not supported|2|6|DBMS_UTILITY.FORMAT_ERROR_STACK|DBMS_UTILITY.FORMAT_ERROR_STACK\n"
         "Built-in package UTL_RAW not supported|2|8|UTL_RAW.CAST_TO_RAW|UTL_RAW.CAST_TO_RAW\n"
         "Built-in package DBMS_ASSERT not supported|2|9|SYS.DBMS_ASSERT.ENQUOTE_NAME|SYS.DBMS_ASSERT.ENQUOTE_NAME\n"
         "Built-in package HTP not supported|2|10|htp.p|htp.p\n"},
};

TEST(TranslateNamesTypes, Names) { expectSoundCases(kNameCases); }

TEST(TranslateNamesTypes, TypesAndForms) { expectSoundCases(kTypeAndFormCases); }

}  // namespace

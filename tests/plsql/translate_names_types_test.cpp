// Whole translations of names, datatypes and forms: a qualifier that a FROM
// clause defines names a column, the run's functions without parameters are
// called with parentheses, functions that change data say so, and the
// datatypes, routine clauses, collection and object forms, trigger rows,
// % attributes, dynamic PL/SQL blocks and built-in packages that the target
// lacks, and the LOBs of rows written through a locator, are translated or
// leave a record each.
#include <gtest/gtest.h>

#include "translate_fixture.h"

namespace {

using namespace translate_test;

const SoundCase kCases[] = {
    // A routine's name qualifies its variables unless a FROM clause (of a
    // cursor, a query, a DML statement or a FOR loop's query) defines it as
    // an alias, in a package's routine too.
    {"AliasEqualToTheRoutineNameNamesAColumn", false,
     "CREATE OR REPLACE PROCEDURE e IS\n"
     "  name VARCHAR2(9);\n"
     "  CURSOR c IS SELECT e.name FROM emp e;\n"
     "BEGIN\n"
     "  SELECT e.name INTO name FROM emp e;\n"
     "  UPDATE emp e SET e.name = name;\n"
     "  FOR r IN (SELECT e.name FROM emp e) LOOP e.name := r.name; END LOOP;\n"
     "  UPDATE emp x SET x.name = e.name;\n"
     "END;\n"
     "/\n"
     "CREATE OR REPLACE PACKAGE BODY pk AS\n"
     "  PROCEDURE e IS name VARCHAR2(9); BEGIN e.name := NULL; DELETE FROM emp e WHERE e.name = 'x'; END e;\n"
     "END pk;\n"
     "/\n",
     routineOrMemberHead("", "PROCEDURE", "e") +
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
         "\n"
         "  UPDATE emp x SET x.name = SYSZULINTERNAL_BLOCK.name;\n" +
         kRoutineEnd + moduleBodyOpening("pk") + memberHead("pk", "e") +
         "  DECLARE name VARCHAR2(9);\n"
         "  SET SYSZULINTERNAL_BLOCK.name = NULL;\n"
         "  DELETE FROM emp e WHERE e.name = 'x';\n" +
         kRoutineEnd,
     ""},
    // A package's functions without parameters get parentheses within the
    // package, named alone or by the package, unless a variable hides them;
    // not outside it. A function that changes data says so in the head and
    // the body, and so does one that calls it.
    {"PackageFunctionsWithoutParametersOrThatChangeData", false,
     "CREATE OR REPLACE PACKAGE pk AS FUNCTION add_row(p NUMBER) RETURN NUMBER; END pk;\n"
     "/\n"
     "CREATE OR REPLACE PACKAGE BODY pk AS\n"
     "  FUNCTION add_row(p NUMBER) RETURN NUMBER IS BEGIN UPDATE t SET x = p; RETURN 1; END;\n"
     "  FUNCTION get_rate RETURN NUMBER IS BEGIN RETURN 2; END;\n"
     "  FUNCTION wraps RETURN NUMBER IS v NUMBER; BEGIN v := add_row(1); RETURN v; END;\n"
     "  PROCEDURE run IS BEGIN put(get_rate * 2, pk.get_rate, unknown_fn, other_pkg.get_rate); END;\n"
     "  PROCEDURE shadowed IS get_rate NUMBER; BEGIN put(get_rate); END;\n"
     "END pk;\n"
     "/\n"
     "BEGIN put(get_rate); END;\n"
     "/\n",
     packageHead("pk", {"FUNCTION add_row(\np NUMBER) RETURNS NUMBER LANGUAGE SQL MODIFIES SQL DATA "}) +
         moduleBodyOpening("pk") + routineOrMemberHead("pk", "FUNCTION", "add_row", "p NUMBER", true) +
         "  UPDATE t SET x = p;\n"
         "  RETURN 1;\n" +
         kRoutineEnd + routineOrMemberHead("pk", "FUNCTION", "get_rate") + "  RETURN 2;\n" + kRoutineEnd +
         routineOrMemberHead("pk", "FUNCTION", "wraps", "", true) +
         "  DECLARE v NUMBER;\n"
         "  SET v = add_row(1);\n"
         "  RETURN v;\n" +
         kRoutineEnd + memberHead("pk", "run") +
         "  CALL put(get_rate() * 2, pk.get_rate(), unknown_fn, other_pkg.get_rate);\n" + kRoutineEnd +
         memberHead("pk", "shadowed") +
         "  DECLARE get_rate NUMBER;\n"
         "  CALL put(get_rate);\n" +
         kRoutineEnd + anonymousBlock("  CALL put(get_rate);\n"),
     ""},
    // A standalone function without parameters gets parentheses in SQL
    // where no column can be meant (a query of DUAL alone, the VALUES of an
    // INSERT or what it selects from DUAL alone); elsewhere in SQL, where a
    // column may be meant, it is recorded. One that changes data (a
    // sequence's next value, DML) is recorded where it is not an
    // assignment's whole value; a call whose argument is a rewritten
    // SQL%FOUND, a group of its own, still is one.
    {"StandaloneFunctionsWithoutParametersOrThatChangeData", false,
     "CREATE OR REPLACE FUNCTION rate RETURN NUMBER IS BEGIN RETURN 2; END;\n"
     "/\n"
     "CREATE OR REPLACE FUNCTION bump RETURN NUMBER IS v NUMBER; BEGIN SELECT seq.NEXTVAL INTO v FROM dual; "
     "RETURN v; END;\n"
     "/\n"
     "CREATE OR REPLACE FUNCTION mark(done BOOLEAN) RETURN NUMBER IS BEGIN DELETE FROM q; RETURN 1; END;\n"
     "/\n"
     "DECLARE x NUMBER := bump; BEGIN\n"
     "  SELECT rate + bump INTO x FROM dual;\n"
     "  SELECT rate INTO x FROM rates;\n"
     "  INSERT INTO log(v, w) VALUES (rate, x);\n"
     "  INSERT INTO log(v) SELECT rate FROM dual;\n"
     "  x := bump + 1;\n"
     "END;\n"
     "/\n"
     "DECLARE v NUMBER; BEGIN UPDATE t SET a = 1; v := mark(SQL%FOUND); END;\n"
     "/\n",
     routineOrMemberHead("", "FUNCTION", "rate") + "  RETURN 2;\n" + kRoutineEnd +
         routineOrMemberHead("", "FUNCTION", "bump", "", true) + "  DECLARE v NUMBER;\n" + kNoRowGuard +
         "  SELECT seq.NEXTVAL INTO v FROM dual;\n"
         "  END;\n"
         "  RETURN v;\n" +
         kRoutineEnd + routineOrMemberHead("", "FUNCTION", "mark", "done BOOLEAN", true) +
         "  DELETE FROM q;\n"
         "  RETURN 1;\n" +
         kRoutineEnd +
         anonymousBlock("  DECLARE x NUMBER;\n"
                        "  SET x = bump();\n" +
                        kNoRowGuard +
                        "  SELECT rate() + bump() INTO x FROM dual;\n"
                        "  END;\n" +
                        kNoRowGuard +
                        "  SELECT rate INTO x FROM rates;\n"
                        "  END;\n"
                        "  INSERT INTO log(v, w) VALUES(rate(), x);\n"
                        "  INSERT INTO log(v) SELECT rate() FROM dual;\n"
                        "  SET x = bump() + 1;\n") +
         anonymousBlock(
             "  DECLARE v NUMBER;\n"
             "  DECLARE SYSZULINTERNAL_ROWCOUNT INTEGER;\n"
             "  DECLARE SYSZULINTERNAL_FOUND BOOLEAN;\n"
             "  UPDATE t SET a = 1;\n"
             "  GET DIAGNOSTICS SYSZULINTERNAL_ROWCOUNT = ROW_COUNT;\n"
             "  SET SYSZULINTERNAL_FOUND = (CASE WHEN SYSZULINTERNAL_ROWCOUNT > 0 THEN true ELSE false END);\n"
             "  SET v = mark((SYSZULINTERNAL_FOUND = true));\n"),
     "Function without parentheses in SQL not supported|2|9|rate|rate\n"
     "Call of a function that changes data outside an assignment not supported|2|8|bump()|bump()\n"
     "Call of a function that changes data outside an assignment not supported|2|12|bump()|bump()\n"},
    // Datatypes and routine clauses outside the map are translated or
    // recorded; so are the collection methods, on collections only (not on
    // a package's procedure or a LOB), and the collection and object forms.
    {"DatatypesClausesCollectionsAndObjects", false,
     "CREATE OR REPLACE FUNCTION f(p NATURAL) RETURN NUMBER RESULT_CACHE RELIES_ON (emp) IS\n"
     "  a TIMESTAMP WITH LOCAL TIME ZONE;\n"
     "  z TIMESTAMP(6) WITH TIME ZONE;\n"
     "  b BINARY_DOUBLE; c STRING; k STRING(10); d SYS.XMLTYPE;\n"
     "  e SYS.ANYDATA;\n"
     "BEGIN\n"
     "  a := SYSTIMESTAMP + INTERVAL '5' MINUTE;\n"
     "END;\n"
     "/\n"
     "CREATE OR REPLACE PACKAGE pk AS\n"
     "  FUNCTION piped RETURN NUMBER PIPELINED PARALLEL_ENABLE DETERMINISTIC;\n"
     "  FUNCTION total(x NUMBER) RETURN NUMBER AGGREGATE USING total_impl;\n"
     "  TYPE r IS RECORD (n SIGNTYPE);\n"
     "END pk;\n"
     "/\n"
     "CREATE OR REPLACE TYPE t_point AS OBJECT (x NUMBER, MEMBER FUNCTION norm RETURN NUMBER);\n"
     "/\n"
     "CREATE OR REPLACE PACKAGE repo AS PROCEDURE delete(n NUMBER); END repo;\n"
     "/\n"
     "CREATE OR REPLACE PACKAGE BODY pk AS\n"
     "  TYPE t_list IS TABLE OF NUMBER;\n"
     "  g t_list;\n"
     "  PROCEDURE run(l CLOB) IS\n"
     "    w t_list; p t_point; n NUMBER; b BOOLEAN;\n"
     "    CURSOR c IS SELECT COUNT(*) FROM TABLE(w);\n"
     "  BEGIN\n"
     "    DBMS_LOB.TRIM(l, 10);\n"
     "    repo.delete(5);\n"
     "    w.DELETE(2); w.TRIM; w.EXTEND;\n"
     "    g.DELETE; pk.g.DELETE;\n"
     "    other_pkg.items.DELETE;\n"
     "    w := w MULTISET UNION w;\n"
     "    b := w IS NOT EMPTY OR 3 MEMBER OF w;\n"
     "    p := t_point(1);\n"
     "    p := NEW t_point(1);\n"
     "    n := p.norm();\n"
     "    p.move(1);\n"
     "  END;\n"
     "END pk;\n"
     "/\n",
     routineOrMemberHead("", "FUNCTION", "f", "p NATURAL") +
         "  DECLARE a TIMESTAMP WITH LOCAL TIME ZONE;\n"
         "  DECLARE z TIMESTAMP(6) WITH TIME ZONE;\n"
         "  DECLARE b DOUBLE;\n"
         "  DECLARE c VARCHAR2(4096);\n"
         "  DECLARE k VARCHAR2(10);\n"
         "  DECLARE d XML;\n"
         "  DECLARE e SYS.ANYDATA;\n"
         "  SET a = SYSTIMESTAMP + INTERVAL '5' MINUTE;\n" +
         kRoutineEnd +
         packageHead("pk", {"TYPE r AS ROW \n(\n  n SIGNTYPE\n\n)",
                            "FUNCTION piped() RETURNS NUMBER LANGUAGE SQL DETERMINISTIC\n",
                            "FUNCTION total(\nx NUMBER) RETURNS NUMBER LANGUAGE SQL "}) +
         packageHead("repo", {"PROCEDURE delete(\nIN n NUMBER) LANGUAGE SQL"}) + moduleBodyOpening("pk") +
         moduleMember("pk", "TYPE t_list AS NUMBER ARRAY[]") + moduleMember("pk", "VARIABLE g t_list") +
         routineOrMemberHead("pk", "PROCEDURE", "run", "IN l CLOB") +
         "  DECLARE w t_list;\n"
         "  DECLARE p t_point;\n"
         "  DECLARE n NUMBER;\n"
         "  DECLARE b BOOLEAN;\n"
         "  DECLARE c CURSOR CONSTANT (CURSOR FOR SELECT COUNT(*) FROM TABLE(w));\n"
         "  CALL DBMS_LOB.TRIM(l, 10);\n"
         "  CALL repo.delete(5);\n"
         "  SET w = ARRAY_DELETE( w, 2);\n"
         "  SET w = TRIM_ARRAY( w, 1);\n"
         "  -- EXTEND w\n"
         "  SET g = ARRAY_DELETE( g);\n"
         "  SET pk.g = ARRAY_DELETE( pk.g);\n"
         "  CALL other_pkg.items.DELETE;\n"
         "  SET w = w MULTISET UNION w;\n"
         "  SET b = w IS NOT EMPTY OR 3 MEMBER OF w;\n"
         "  SET p = t_point(1);\n"
         "  SET p = NEW t_point(1);\n"
         "  SET n = p.norm();\n"
         "  CALL p.move(1);\n" +
         kRoutineEnd,
     "Datatype NATURAL not supported|2|1|NATURAL|NATURAL\n"
     "Datatype TIMESTAMP WITH LOCAL TIME ZONE not supported|2|2|TIMESTAMP WITH LOCAL TIME ZONE|TIMESTAMP\n"
     "Datatype TIMESTAMP WITH TIME ZONE not supported|2|3|TIMESTAMP WITH TIME ZONE|TIMESTAMP\n"
     "Datatype SYS.ANYDATA not supported|2|5|SYS.ANYDATA|SYS.ANYDATA\n"
     "INTERVAL literals not supported|2|7|INTERVAL|INTERVAL\n"
     "Datatype SIGNTYPE not supported|2|13|SIGNTYPE|SIGNTYPE\n"
     "AGGREGATE USING functions not supported|2|12|AGGREGATE USING|\n"
     "CREATE TYPE not supported|2|16|CREATE TYPE...|\n"
     "TABLE() of a collection not supported|2|25|TABLE(...)|TABLE\n"
     "Collection method DELETE of a name the run does not declare not supported|2|31|other_pkg.items.DELETE|"
     "other_pkg.items.DELETE\n"
     "MULTISET operators not supported|2|32|MULTISET|MULTISET\n"
     "IS [NOT] EMPTY not supported|2|33|IS EMPTY|IS\n"
     "MEMBER OF not supported|2|33|MEMBER OF|MEMBER\n"
     "Object constructor not supported|2|34|t_point|t_point\n"
     "Object constructor not supported|2|35|t_point|NEW\n"
     "Object method call not supported|2|36|p.norm|p.norm\n"
     "Object method call not supported|2|37|p.move|\n"},
    // A trigger's row that its events do not give is recorded, in the WHEN
    // condition and the body alike; so is a trigger of several events.
    {"TriggerRowsTheEventsDoNotGive", false,
     "CREATE OR REPLACE TRIGGER tr BEFORE INSERT ON t REFERENCING OLD AS o NEW AS n FOR EACH ROW\n"
     "WHEN (o.id IS NULL)\n"
     "BEGIN :n.id := :o.id; END;\n"
     "/\n"
     "CREATE OR REPLACE TRIGGER td AFTER DELETE ON t FOR EACH ROW BEGIN INSERT INTO log VALUES (:NEW.id); END;\n"
     "/\n"
     "CREATE OR REPLACE TRIGGER tu AFTER INSERT OR UPDATE ON t FOR EACH ROW BEGIN NULL; END;\n"
     "/\n",
     "[0]\n"
     "CREATE OR REPLACE TRIGGER tr BEFORE INSERT ON t REFERENCING NEW AS SYSZULINTERNAL_n FOR EACH ROW \n"
     "WHEN (SYSZULINTERNAL_o.id IS NULL)\n"
     "  SYSZULINTERNAL_BLOCK: BEGIN\n"
     "  SET SYSZULINTERNAL_n.id = SYSZULINTERNAL_o.id;\n" +
         kRoutineEnd +
         "\n"
         "CREATE OR REPLACE TRIGGER td AFTER DELETE ON t REFERENCING OLD AS SYSZULINTERNAL_OLD FOR EACH ROW   "
         "SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  INSERT INTO log VALUES(SYSZULINTERNAL_NEW.id);\n" +
         kRoutineEnd +
         "\n"
         "CREATE OR REPLACE TRIGGER tu AFTER ON t REFERENCING NEW AS SYSZULINTERNAL_NEW OLD AS SYSZULINTERNAL_OLD FOR "
         "EACH ROW   SYSZULINTERNAL_BLOCK: BEGIN\n"
         "  -- NULL;\n" +
         kRoutineEnd + "\n",
     "Row :OLD in a trigger without UPDATE or DELETE not supported|2|2|o.id|o.id\n"
     "Row :OLD in a trigger without UPDATE or DELETE not supported|2|3|:o.id|:o.id\n"
     "Row :NEW in a trigger without INSERT or UPDATE not supported|2|5|:NEW.id|:NEW.id\n"
     "Multi-event triggers not supported|2|7|CREATE [OR REPLACE] TRIGGER ...|\n"},
    // SQL%ISOPEN is false and a cursor's %ISOPEN an IS OPEN test; the bulk
    // attributes, dynamic PL/SQL blocks (not a dynamic DML statement) and
    // the built-in packages the target lacks (not the routines it has) are
    // recorded.
    {"AttributesDynamicBlocksAndBuiltinPackages", false,
     "DECLARE\n"
     "  n NUMBER;\n"
     "  b BOOLEAN;\n"
     "  s VARCHAR2(100);\n"
     "  CURSOR c IS SELECT 1 FROM dual;\n"
     "BEGIN\n"
     "  b := SQL%ISOPEN OR c%ISOPEN;\n"
     "  n := SQL%BULK_ROWCOUNT(1);\n"
     "  n := SQL%BULK_EXCEPTIONS(1).ERROR_INDEX;\n"
     "  EXECUTE IMMEDIATE '  declare x number; begin null; end;';\n"
     "  EXECUTE IMMEDIATE 'UPDATE t SET x = 1';\n"
     "  EXECUTE IMMEDIATE 'BEGIN ' || s || '; END;';\n"
     "  DBMS_SQL.PARSE(n, 'BEGIN pkg.q; END;', DBMS_SQL.NATIVE);\n"
     "  n := DBMS_RANDOM.VALUE(1, 10);\n"
     "  s := DBMS_UTILITY.FORMAT_ERROR_STACK;\n"
     "  n := DBMS_UTILITY.GET_TIME;\n"
     "  DBMS_OUTPUT.PUT_LINE(UTL_RAW.CAST_TO_RAW('x'));\n"
     "  s := SYS.DBMS_ASSERT.ENQUOTE_NAME(s);\n"
     "  htp.p(s);\n"
     "  n := \"Dbms_Random\".VALUE(1, 10);\n"
     "  s := sys.dbms_utility.format_call_stack;\n"
     "  Ctx_Doc.filter(s);\n"
     "END;\n"
     "/\n",
     anonymousBlock("  DECLARE n NUMBER;\n"
                    "  DECLARE b BOOLEAN;\n"
                    "  DECLARE s VARCHAR2(100);\n"
                    "  DECLARE c CURSOR CONSTANT (CURSOR FOR SELECT 1 FROM dual);\n"
                    "  SET b = false OR c IS OPEN;\n"
                    "  SET n = SQL % BULK_ROWCOUNT(1);\n"
                    "  SET n = SQL % BULK_EXCEPTIONS(1) . ERROR_INDEX;\n"
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
                    "  SET SYSZULINTERNAL_STMT_TEXT = 'BEGIN ' || s || '; END;';\n"
                    "  EXECUTE IMMEDIATE SYSZULINTERNAL_STMT_TEXT;\n"
                    "  END;\n"
                    "  CALL DBMS_SQL.PARSE(n, 'BEGIN pkg.q; END;', DBMS_SQL.NATIVE);\n"
                    "  SET n = DBMS_RANDOM.VALUE(1, 10);\n"
                    "  SET s = DBMS_UTILITY.FORMAT_ERROR_STACK;\n"
                    "  SET n = DBMS_UTILITY.GET_TIME;\n"
                    "  CALL DBMS_OUTPUT.PUT_LINE(UTL_RAW.CAST_TO_RAW('x'));\n"
                    "  SET s = SYS.DBMS_ASSERT.ENQUOTE_NAME(s);\n"
                    "  CALL htp.p(s);\n"
                    "  SET n = \"Dbms_Random\".VALUE(1, 10);\n"
                    "  SET s = sys.dbms_utility.format_call_stack;\n"
                    "  CALL Ctx_Doc.filter(s);\n"),
     "Attribute %BULK_ROWCOUNT not supported|2|8|%BULK_ROWCOUNT|%\n"
     "Attribute %BULK_EXCEPTIONS not supported|2|9|%BULK_EXCEPTIONS|%\n"
     "Dynamic PL/SQL block not supported|2|10|EXECUTE IMMEDIATE|\n"
     "Dynamic PL/SQL block not supported|2|12|EXECUTE IMMEDIATE|\n"
     "Dynamic PL/SQL block not supported|2|13|DBMS_SQL.PARSE|\n"
     "Built-in package DBMS_RANDOM not supported|2|14|DBMS_RANDOM.VALUE|DBMS_RANDOM.VALUE\n"
     "Built-in package routine DBMS_UTILITY.FORMAT_ERROR_STACK not supported|2|15|DBMS_UTILITY.FORMAT_ERROR_STACK|"
     "DBMS_UTILITY.FORMAT_ERROR_STACK\n"
     "Built-in package UTL_RAW not supported|2|17|UTL_RAW.CAST_TO_RAW|UTL_RAW.CAST_TO_RAW\n"
     "Built-in package DBMS_ASSERT not supported|2|18|SYS.DBMS_ASSERT.ENQUOTE_NAME|SYS.DBMS_ASSERT.ENQUOTE_NAME\n"
     "Built-in package HTP not supported|2|19|htp.p|htp.p\n"
     "Built-in package DBMS_RANDOM not supported|2|20|\"Dbms_Random\".VALUE|\"Dbms_Random\".VALUE\n"
     "Built-in package CTX_DOC not supported|2|22|Ctx_Doc.filter|Ctx_Doc.filter\n"},
    // RETURNING ... INTO and SELECT ... FOR UPDATE give PL/SQL's variable
    // the locator of the row's LOB, which DBMS_LOB then writes; a locator
    // of the target stands for a value, and only the variable changes: each
    // write is recorded.
    {"LobOfARowWrittenThroughItsLocator", false,
     "CREATE PROCEDURE addlog(p_id NUMBER, p_txt VARCHAR2) IS\n"
     "  l CLOB; m CLOB;\n"
     "BEGIN\n"
     "  INSERT INTO docs (id, body) VALUES (p_id, EMPTY_CLOB()) RETURNING body INTO l;\n"
     "  DBMS_LOB.WRITEAPPEND(l, LENGTH(p_txt), p_txt);\n"
     "  SELECT body INTO m FROM docs WHERE id = p_id FOR UPDATE;\n"
     "  DBMS_LOB.WRITEAPPEND(m, LENGTH(p_txt), p_txt);\n"
     "END;\n"
     "/\n",
     routineHead("addlog", {"IN p_id NUMBER", "IN p_txt VARCHAR2(4096)"}) +
         "  DECLARE l CLOB;\n  DECLARE m CLOB;\n"
         "  SELECT body INTO l FROM NEW TABLE (INSERT INTO docs(id, body) VALUES(p_id, EMPTY_CLOB()));\n"
         "  CALL DBMS_LOB.WRITEAPPEND(l, LENGTH4(p_txt), p_txt);\n" +
         kNoRowGuard + "  SELECT body INTO m FROM docs WHERE id = p_id FOR UPDATE;\n  END;\n" +
         "  CALL DBMS_LOB.WRITEAPPEND(m, LENGTH4(p_txt), p_txt);\n" + kRoutineEnd,
     "DBMS_LOB.WRITEAPPEND through a row's LOB locator not supported|2|5|l|DBMS_LOB.WRITEAPPEND\n"
     "DBMS_LOB.WRITEAPPEND through a row's LOB locator not supported|2|7|m|DBMS_LOB.WRITEAPPEND\n"},
    // Each top-level block is a unit of its own: a row's locator that one
    // fills is not the variable of that name another writes.
    {"LobsOfTwoBlocksAreTheirOwn", false,
     "DECLARE l CLOB; BEGIN SELECT body INTO l FROM docs WHERE id = 1 FOR UPDATE; END;\n"
     "/\n"
     "DECLARE l CLOB; BEGIN DBMS_LOB.CREATETEMPORARY(l, TRUE); DBMS_LOB.WRITEAPPEND(l, 5, 'hello'); END;\n"
     "/\n",
     anonymousBlock("  DECLARE l CLOB;\n" + kNoRowGuard +
                    "  SELECT body INTO l FROM docs WHERE id = 1 FOR UPDATE;\n  END;\n") +
         anonymousBlock("  DECLARE l CLOB;\n  CALL DBMS_LOB.CREATETEMPORARY(l, TRUE);\n"
                        "  CALL DBMS_LOB.WRITEAPPEND(l, 5, 'hello');\n"),
     ""},
    // In a trigger, and in a loop that writes before it fills; a temporary
    // LOB of another routine is written alike in both and goes without a
    // record.
    {"LobOfARowWrittenInATriggerAndALoop", false,
     "CREATE TRIGGER trg AFTER INSERT ON notes FOR EACH ROW\n"
     "DECLARE l CLOB;\n"
     "BEGIN\n"
     "  SELECT body INTO l FROM docs WHERE id = :NEW.doc FOR UPDATE;\n"
     "  DBMS_LOB.APPEND(l, :NEW.txt);\n"
     "END;\n"
     "/\n"
     "CREATE OR REPLACE PACKAGE BODY pk IS\n"
     "  PROCEDURE add(p_id NUMBER, p_txt VARCHAR2) IS\n"
     "    l CLOB;\n"
     "  BEGIN\n"
     "    WHILE l IS NULL LOOP\n"
     "      IF p_id < 0 THEN dbms_lob.writeappend(l, 1, p_txt); END IF;\n"
     "      UPDATE docs SET body = EMPTY_CLOB() WHERE id = p_id RETURNING body INTO l;\n"
     "    END LOOP;\n"
     "  END;\n"
     "  PROCEDURE build(p_txt VARCHAR2) IS\n"
     "    l CLOB;\n"
     "  BEGIN\n"
     "    DBMS_LOB.CREATETEMPORARY(l, TRUE);\n"
     "    DBMS_LOB.WRITEAPPEND(l, LENGTH(p_txt), p_txt);\n"
     "  END;\n"
     "END;\n"
     "/\n",
     "[0]\nCREATE TRIGGER trg AFTER INSERT ON notes REFERENCING NEW AS SYSZULINTERNAL_NEW FOR EACH ROW   "
     "SYSZULINTERNAL_BLOCK: BEGIN\n"
     "  DECLARE l CLOB;\n" +
         kNoRowGuard + "  SELECT body INTO l FROM docs WHERE id = SYSZULINTERNAL_NEW.doc FOR UPDATE;\n  END;\n" +
         "  CALL DBMS_LOB.APPEND(l, SYSZULINTERNAL_NEW.txt);\n" + kRoutineEnd + "\n" + moduleBodyOpening("pk") +
         memberHead("pk", "add", {"IN p_id NUMBER", "IN p_txt VARCHAR2(4096)"}) +
         "  DECLARE l CLOB;\n\n"
         "  WHILE l IS NULL DO\n\n"
         "  IF p_id < 0 THEN\n"
         "  CALL dbms_lob.writeappend(l, 1, p_txt);\n"
         "  END IF;\n\n"
         "  SELECT body INTO l FROM NEW TABLE (UPDATE docs SET body = EMPTY_CLOB() WHERE id = p_id);\n"
         "  END WHILE;\n\n" +
         kRoutineEnd + memberHead("pk", "build", {"IN p_txt VARCHAR2(4096)"}) +
         "  DECLARE l CLOB;\n"
         "  CALL DBMS_LOB.CREATETEMPORARY(l, TRUE);\n"
         "  CALL DBMS_LOB.WRITEAPPEND(l, LENGTH4(p_txt), p_txt);\n" +
         kRoutineEnd,
     "DBMS_LOB.APPEND through a row's LOB locator not supported|2|5|l|DBMS_LOB.APPEND\n"
     "DBMS_LOB.WRITEAPPEND through a row's LOB locator not supported|2|13|l|dbms_lob.writeappend\n"},
};

TEST(TranslateNamesTypes, WholeTranslations) { expectSoundCases(kCases); }

}  // namespace

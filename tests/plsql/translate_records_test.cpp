// Whole translations of everyday constructs that the target writes
// otherwise or lacks: each comes out as sound target code or leaves an error
// record at its line, and a unit the parser could not read leaves its
// records and nothing that would run. Also the report line that the program
// prints for each kind of record.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "error_records.h"
#include "translate_fixture.h"

using namespace translate_test;

namespace {

// A broken block: the parser skips it and goes on with the next unit.
const char kBrokenThenSound[] = "BEGIN NULL END;\nBEGIN x := 1; END;\n";

ErrorRecord record(const char* message, int domain, int line, const char* context, const char* text,
                   const char* expected) {
  return ErrorRecord{nullptr,
                     const_cast<char*>(message),
                     domain,
                     line,
                     const_cast<char*>(text),
                     const_cast<char*>(context),
                     const_cast<char*>(expected)};
}

const SoundCase kRecordCases[] = {
    // A routine declared ahead in a body is private unless the package head
    // publishes it: the target cannot call it ahead of its body.
    {"RoutinesDeclaredAheadInABodyStayPrivate", false,
     "CREATE OR REPLACE PACKAGE pk AS PROCEDURE helper(x INTEGER); END pk;\n"
     "/\n"
     "CREATE OR REPLACE PACKAGE BODY pk AS\n"
     "  PROCEDURE helper(x INTEGER);\n"
     "  FUNCTION twice(x INTEGER) RETURN INTEGER;\n"
     "  PROCEDURE run IS BEGIN helper(pk.twice(1)); END;\n"
     "  PROCEDURE helper(x INTEGER) IS BEGIN NULL; END;\n"
     "  FUNCTION twice(x INTEGER) RETURN INTEGER IS BEGIN RETURN x; END;\n"
     "END pk;\n",
     "[3]\nCREATE OR REPLACE MODULE pk@\n" + publishRoutine("pk", "helper", {"IN x INTEGER"}) +
         moduleBodyOpening("pk") + memberHead("pk", "run") + "  CALL helper(pk.twice(1));\n" + kRoutineEnd +
         memberHead("pk", "helper", {"IN x INTEGER"}) + kNullStatement + kRoutineEnd +
         memberHead("pk", "twice", {"x INTEGER"}, "INTEGER") + "  RETURN x;\n" + kRoutineEnd,
     "Private routine used ahead of its body not supported|2|6|twice|pk.twice\n"},
    // Routines of one kind, name (in any case) and number of parameters, in
    // a package head and in a body.
    {"OverloadsTheTargetCannotTellApart", false,
     "CREATE OR REPLACE PACKAGE pk AS\n"
     "  PROCEDURE log_it(n NUMBER);\n"
     "  PROCEDURE Log_It(s VARCHAR2);\n"
     "  PROCEDURE log_it(s VARCHAR2, l INTEGER);\n"
     "  FUNCTION log_it(s VARCHAR2) RETURN INTEGER;\n"
     "END pk;\n"
     "/\n"
     "CREATE OR REPLACE PACKAGE BODY pk AS\n"
     "  PROCEDURE log_it(n NUMBER) IS BEGIN NULL; END;\n"
     "  PROCEDURE log_it(s VARCHAR2) IS BEGIN NULL; END;\n"
     "END pk;\n",
     "[3]\nCREATE OR REPLACE MODULE pk@\n" + publishRoutine("pk", "log_it", {"IN n NUMBER"}) +
         publishRoutine("pk", "Log_It", {"IN s VARCHAR2(4096)"}) +
         publishRoutine("pk", "log_it", {"IN s VARCHAR2(4096)", "IN l INTEGER"}) +
         publishRoutine("pk", "log_it", {"s VARCHAR2(4096)"}, "INTEGER") + moduleBodyOpening("pk") +
         memberHead("pk", "log_it", {"IN n NUMBER"}) + kNullStatement + kRoutineEnd +
         memberHead("pk", "log_it", {"IN s VARCHAR2(4096)"}) + kNullStatement + kRoutineEnd,
     "Overloaded routines with the same number of parameters not supported|2|3|Log_It|\n"
     "Overloaded routines with the same number of parameters not supported|2|10|log_it|\n"},
    // A unit the parser could not read leaves its records and nothing that
    // would run: an error in a body (a compound trigger), in a trigger's
    // event, in a CREATE's head.
    {"UnreadableUnitsLeaveNoRunnablePiece", false,
     "CREATE OR REPLACE TRIGGER trg FOR INSERT ON t COMPOUND TRIGGER\n"
     "  AFTER STATEMENT IS BEGIN DELETE FROM t; END AFTER STATEMENT;\n"
     "END trg;\n"
     "/\n"
     "CREATE OR REPLACE TRIGGER w AFTER CREATE ON DATABASE BEGIN DELETE FROM t; END;\n"
     "/\n"
     "CREATE EDITIONABLE PROCEDURE p IS BEGIN DELETE FROM t; END p;\n",
     "",
     "syntax error, unexpected T_AFTER, expecting T_DECLARE or T_BEGIN|0|2|AFTER|  AFTER STATEMENT IS BEGIN DELETE "
     "FROM t; END AFTER STATEMENT;\n"
     "syntax error, unexpected T_AFTER|0|2|AFTER|  AFTER STATEMENT IS BEGIN DELETE FROM t; END AFTER STATEMENT;\n"
     "syntax error, unexpected T_CREATE, expecting T_INSERT or T_UPDATE or T_DELETE|0|5|CREATE|CREATE OR REPLACE "
     "TRIGGER w AFTER CREATE ON DATABASE BEGIN DELETE FROM t; END;\n"
     "syntax error, unexpected T_WORD, expecting T_JAVA_SOURCE_NAMED or T_JAVA_RESOURCE_NAMED or "
     "T_JAVA_CLASS_SCHEMA|0|7|EDITIONABLE|CREATE EDITIONABLE PROCEDURE p IS BEGIN DELETE FROM t; END p;\n"
     "syntax error, unexpected T_WORD|0|7|p|CREATE EDITIONABLE PROCEDURE p IS BEGIN DELETE FROM t; END p;\n"},
    // The units after a line that begins none, or after a broken one, are
    // kept; a unit broken in its first words after such a line has its own
    // record.
    {"UnitsAfterALineThatBeginsNoUnitOrABrokenUnitAreKept", false,
     "set echo off\nBEGIN NULL END;\nBEGIN x := 1; END;\n", anonymousBlock("") + anonymousBlock("  SET x = 1;\n"),
     "syntax error, unexpected T_WORD|0|1|set|set echo off\n"
     "syntax error, unexpected T_END, expecting T_ASSIGN|0|2|END|BEGIN NULL END;\n"},
    // q'...' with a bracket pair or any other character, N before it, over
    // lines.
    {"QuotedLiteralsWithAnyDelimiter", false,
     "BEGIN\n"
     "  v := q'[it's]' || Q'!a'b!' || q'<x>y>' || q'(a(b)c)' || nq'{n's}';\n"
     "  v := q'{two\n"
     "lines}';\n"
     "END;\n",
     anonymousBlock("  SET v = 'it''s' || 'a''b' || 'x>y' || 'a(b)c' || N'n''s';\n"
                    "  SET v = 'two\n"
                    "lines';\n"),
     ""},
    {"UnterminatedQuotedLiteralIsALexicalError", false,
     "BEGIN\n"
     "  v := q'[never closed;\n"
     "END;\n",
     "",
     "Unterminated quoted string|1|2||  v := q'[never closed;\n"
     "Missing expression|0|2||  v := q'[never closed;\n"
     "Unterminated quoted string|1|2||  v := q'[never closed;\n"
     "syntax error, unexpected $end, expecting ';'|0|2||  v := q'[never closed;\n"},
    // Predefined exceptions without a SQLSTATE of the target, alone or after
    // STANDARD., in a handler or a RAISE; a name of another package is none.
    {"PredefinedExceptionsOutsideTheMap", false,
     "BEGIN\n"
     "  RAISE INVALID_NUMBER;\n"
     "  RAISE PROGRAM_ERROR;\n"
     "EXCEPTION\n"
     "  WHEN INVALID_NUMBER THEN NULL;\n"
     "  WHEN STANDARD.VALUE_ERROR OR pk.storage_error THEN NULL;\n"
     "END;\n",
     anonymousBlock(kErrorVariables + exitHandler("SQLSTATE '22018'", kNullStatement) +
                    exitHandler("STANDARD.VALUE_ERROR", kNullStatement) +
                    exitHandler("pk.storage_error", kNullStatement) +
                    "  SIGNAL SQLSTATE '22018';\n"
                    "  SIGNAL PROGRAM_ERROR;\n"),
     "Predefined exception PROGRAM_ERROR not supported|2|3|PROGRAM_ERROR|\n"
     "Predefined exception VALUE_ERROR not supported|2|6|VALUE_ERROR|STANDARD.VALUE_ERROR\n"},
    // Collection constructors, methods and subscripts; a column anchored by
    // %TYPE is no method.
    {"CollectionMethodsConstructorsAndSubscripts", false,
     "CREATE OR REPLACE PACKAGE pk AS TYPE t_arr IS VARRAY(10) OF INTEGER; g t_arr; END pk;\n"
     "/\n"
     "CREATE OR REPLACE PACKAGE BODY pk AS PROCEDURE p IS\n"
     "    v t_arr := t_arr(1, 2);\n"
     "    n INTEGER;\n"
     "    w emp.last%TYPE;\n"
     "  BEGIN\n"
     "    n := v.COUNT + v.LIMIT + v.FIRST + v.LAST + v.NEXT(n) + v.PRIOR(n) + r(1).COUNT;\n"
     "    IF v.EXISTS(2) THEN n := v(1) + pk.g(1); END IF;\n"
     "    v.EXTEND(2);\n"
     "    v(4) := n;\n"
     "    w := x.last;\n"
     "  END;\n"
     "END pk;\n",
     "[3]\nCREATE OR REPLACE MODULE pk@\n" + publish("pk", "TYPE t_arr AS INTEGER ARRAY[10]") +
         publish("pk", "VARIABLE g t_arr") + moduleBodyOpening("pk") + memberHead("pk", "p") +
         "  DECLARE v t_arr;\n"
         "  DECLARE n INTEGER;\n"
         "  DECLARE w ANCHOR TO emp.last;\n"
         "  SET v = t_arr(1, 2);\n"
         "  SET n = v.COUNT + v.LIMIT + v.FIRST + v.LAST + v.NEXT(n) + v.PRIOR(n) + r(1) . COUNT;\n"
         "\n"
         "  IF v.EXISTS(2) THEN\n"
         "  SET n = v(1) + pk.g(1);\n"
         "  END IF;\n"
         "\n"
         "  -- EXTEND v\n"
         "  SET v(4) = n;\n"
         "  SET w = x.last;\n" +
         kRoutineEnd,
     "Collection constructor not supported|2|4|t_arr|t_arr\n"
     "Collection method COUNT not supported|2|8|v.COUNT|v.COUNT\n"
     "Collection method LIMIT not supported|2|8|v.LIMIT|v.LIMIT\n"
     "Collection method FIRST not supported|2|8|v.FIRST|v.FIRST\n"
     "Collection method LAST not supported|2|8|v.LAST|v.LAST\n"
     "Collection method NEXT not supported|2|8|v.NEXT|v.NEXT\n"
     "Collection method PRIOR not supported|2|8|v.PRIOR|v.PRIOR\n"
     "Collection method COUNT not supported|2|8|COUNT|COUNT\n"
     "Collection method EXISTS not supported|2|9|v.EXISTS|v.EXISTS\n"
     "Collection element subscript in parentheses not supported|2|9|v|v\n"
     "Collection element subscript in parentheses not supported|2|9|pk.g|pk.g\n"
     "Collection method EXTEND with a count not supported|2|10|v.EXTEND|v.EXTEND\n"
     "Collection element subscript in parentheses not supported|2|11|v|\n"},
    // A DBMS_SQL function is a CALL only where it is the whole value of an
    // assignment.
    {"DbmsSqlFunctionsInsideExpressions", false,
     "DECLARE\n"
     "  c INTEGER := DBMS_SQL.OPEN_CURSOR;\n"
     "BEGIN\n"
     "  WHILE DBMS_SQL.FETCH_ROWS(c) > 0 LOOP n := 1 + DBMS_SQL.LAST_ROW_COUNT; END LOOP;\n"
     "  n := DBMS_SQL.EXECUTE(c) + f(c);\n"
     "  n := DBMS_SQL.EXECUTE(f(c));\n"
     "  IF DBMS_SQL.IS_OPEN(c) THEN n := DBMS_SQL.EXECUTE_AND_FETCH(c); n := DBMS_SQL.LAST_ERROR_POSITION; END IF;\n"
     "END;\n",
     anonymousBlock("  DECLARE c INTEGER;\n"
                    "  SET c = DBMS_SQL.OPEN_CURSOR;\n"
                    "\n"
                    "  WHILE DBMS_SQL.FETCH_ROWS(c) > 0 DO\n"
                    "  SET n = 1 + DBMS_SQL.LAST_ROW_COUNT;\n"
                    "  END WHILE;\n"
                    "\n"
                    "  SET n = DBMS_SQL.EXECUTE(c) + f(c);\n"
                    "  CALL DBMS_SQL.EXECUTE(f(c), n);\n"
                    "\n"
                    "  IF DBMS_SQL.IS_OPEN(c) THEN\n"
                    "  CALL DBMS_SQL.EXECUTE_AND_FETCH(c, n);\n"
                    "  CALL DBMS_SQL.LAST_ERROR_POSITION(n);\n"
                    "  END IF;\n"
                    "\n"),
     "Call to package function not permitted in this context|2|2|DBMS_SQL.OPEN_CURSOR|DBMS_SQL.OPEN_CURSOR\n"
     "Call to package function not permitted in this context|2|4|DBMS_SQL.FETCH_ROWS|DBMS_SQL.FETCH_ROWS\n"
     "Call to package function not permitted in this context|2|4|DBMS_SQL.LAST_ROW_COUNT|DBMS_SQL.LAST_ROW_COUNT\n"
     "Call to package function not permitted in this context|2|5|DBMS_SQL.EXECUTE|DBMS_SQL.EXECUTE\n"
     "Call to package function not permitted in this context|2|7|DBMS_SQL.IS_OPEN|DBMS_SQL.IS_OPEN\n"},
    // Savepoints, rollbacks, transactions, locks, and RETURNING or a dynamic
    // query with BULK COLLECT.
    {"TransactionsLocksAndBulkCollect", false,
     "BEGIN\n"
     "  <<retry>> SAVEPOINT s1;\n"
     "  ROLLBACK WORK TO s1;\n"
     "  ROLLBACK TO SAVEPOINT s1;\n"
     "  SET TRANSACTION READ ONLY;\n"
     "  LOCK TABLE t IN EXCLUSIVE MODE NOWAIT;\n"
     "  LOCK TABLE t IN ROW EXCLUSIVE MODE;\n"
     "  LOCK TABLE t, u IN SHARE MODE WAIT 5;\n"
     "  DELETE FROM t RETURNING id BULK COLLECT INTO ids;\n"
     "  EXECUTE IMMEDIATE 'SELECT id FROM t' BULK COLLECT INTO ids;\n"
     "END;\n",
     anonymousBlock("  retry: SAVEPOINT s1 ON ROLLBACK RETAIN CURSORS;\n"
                    "  ROLLBACK WORK TO SAVEPOINT s1;\n"
                    "  ROLLBACK TO SAVEPOINT s1;\n"
                    "  SET TRANSACTION READ ONLY;\n"
                    "  LOCK TABLE t IN EXCLUSIVE MODE NOWAIT;\n"
                    "  LOCK TABLE t IN ROW EXCLUSIVE MODE;\n"
                    "  LOCK TABLE t, u IN SHARE MODE WAIT 5;\n"
                    "  SELECT id BULK COLLECT INTO ids FROM OLD TABLE (DELETE FROM t);\n"
                    "  BEGIN\n"
                    "  DECLARE SYSZULINTERNAL_STMT_TEXT CLOB(2M);\n"
                    "  SET SYSZULINTERNAL_STMT_TEXT = 'SELECT id FROM t' BULK COLLECT;\n"
                    "  PREPARE SYSZULINTERNAL_00000001 FROM SYSZULINTERNAL_STMT_TEXT;\n"
                    "  EXECUTE SYSZULINTERNAL_00000001 INTO ids;\n"
                    "  END;\n"),
     "SET TRANSACTION not supported|2|5|SET TRANSACTION...|\n"
     "LOCK TABLE ... NOWAIT not supported|2|6|NOWAIT|\n"
     "LOCK TABLE IN ROW EXCLUSIVE MODE not supported|2|7|ROW EXCLUSIVE|\n"
     "LOCK TABLE of several tables not supported|2|8|LOCK TABLE...|\n"
     "LOCK TABLE ... NOWAIT not supported|2|8|WAIT|\n"
     "BULK COLLECT not yet implemented|2|9|BULK COLLECT|\n"
     "BULK COLLECT not yet implemented|2|10|BULK COLLECT|\n"},
    // UPDATING(column) in a trigger; outside one it is some function.
    {"UpdatingAColumnInATrigger", false,
     "CREATE OR REPLACE TRIGGER trg BEFORE UPDATE ON emp FOR EACH ROW\n"
     "BEGIN\n"
     "  IF updating('SAL') THEN NULL; END IF;\n"
     "END;\n"
     "/\n"
     "CREATE PROCEDURE p IS BEGIN IF updating('x') THEN NULL; END IF; END;\n",
     "[0]\n"
     "CREATE OR REPLACE TRIGGER trg BEFORE UPDATE ON emp REFERENCING NEW AS SYSZULINTERNAL_NEW OLD AS "
     "SYSZULINTERNAL_OLD FOR EACH ROW   SYSZULINTERNAL_BLOCK: BEGIN\n"
     "\n"
     "  IF updating('SAL') THEN\n"
     "  BEGIN END; -- NULL;\n"
     "  END IF;\n"
     "\n" +
         kRoutineEnd + "\n" + routineHead("p", {}) +
         "\n"
         "  IF updating('x') THEN\n"
         "  BEGIN END; -- NULL;\n"
         "  END IF;\n"
         "\n" +
         kRoutineEnd,
     "UPDATING(column) not supported|2|3|updating|updating\n"},
};

}  // namespace

TEST(TranslateRecords, WholeTranslations) { expectSoundCases(kRecordCases); }

// The run that skipped a broken unit did not fail as a whole: the caller
// gets the rest.
TEST(TranslateRecords, RecoveredSyntaxErrorKeepsTheTranslation) {
  EXPECT_FALSE(translateRun(kBrokenThenSound, false).parseFailed);
}

TEST(TranslateRecords, ReportLines) {
  struct Case {
    ErrorRecord record;
    const char* name;
    const char* line;
  } cases[] = {
      {record("syntax error, unexpected T_END, expecting T_ASSIGN or ';'", 0, 3, "END", "  x END;", "ASSIGN"), "f.sql",
       "f.sql:3: syntax error near 'END': unexpected END, expecting ASSIGN or ';'"},
      {record("syntax error, unexpected $end, expecting ';'", 0, 2, "", "", "';'"), nullptr,
       "<string>:2: syntax error at the end of the input: unexpected end of input, expecting ';'"},
      {record("syntax error", 0, 7, "..", "FOR loop bound missing", ""), "f.sql",
       "f.sql:7: syntax error near '..': FOR loop bound missing"},
      {record("Missing expression", 0, 4, ";", "  v := ;", nullptr), "f.sql", "f.sql:4: Missing expression near ';'"},
      {record("Unterminated quoted string", 1, 9, "", "  v := 'abc", nullptr), "f.sql",
       "f.sql:9: Unterminated quoted string"},
      {record("SET TRANSACTION not supported", 2, 12, "SET TRANSACTION...", nullptr, nullptr), "f.sql",
       "f.sql:12: SET TRANSACTION not supported"},
      {record("Out of memory", 4, -1, nullptr, nullptr, nullptr), "f.sql", "f.sql: Out of memory"},
      // A token stays on its line and within bounds.
      {record("syntax error, unexpected T_STRING", 0, 5, "'one\ntwo'", "", nullptr), "f.sql",
       "f.sql:5: syntax error near ''one two'': unexpected STRING"},
      {record("syntax error, unexpected T_STRING", 0, 5, "'0123456789012345678901234567890123456789xyz'", "", nullptr),
       "f.sql", "f.sql:5: syntax error near ''012345678901234567890123456789012345678...': unexpected STRING"},
  };
  for (const Case& c : cases) EXPECT_EQ(errorRecordLine(c.name, &c.record), c.line);
}

// Every record once, one line each, in line order; records of one line keep
// the order they were made in.
TEST(TranslateRecords, ReportIsInLineOrder) {
  ErrorRecord records[] = {
      record("B not supported", 2, 9, nullptr, nullptr, nullptr),
      record("Unterminated quoted string", 1, 4, "", nullptr, nullptr),
      record("A not supported", 2, 9, nullptr, nullptr, nullptr),
      record("Unterminated quoted string", 1, 4, "", nullptr, nullptr),
      record("syntax error", 0, 2, "x", "INTEGER value out of range", ""),
  };
  for (size_t i = 0; i + 1 < sizeof records / sizeof records[0]; ++i) records[i].next = &records[i + 1];
  char* text = nullptr;
  size_t size = 0;
  std::FILE* stream = open_memstream(&text, &size);
  ASSERT_NE(stream, nullptr);
  printErrorRecords(stream, "p.pkb", records);
  std::fclose(stream);
  EXPECT_EQ(std::string(text, size),
            "p.pkb:2: syntax error near 'x': INTEGER value out of range\n"
            "p.pkb:4: Unterminated quoted string\n"
            "p.pkb:9: B not supported\n"
            "p.pkb:9: A not supported\n");
  std::free(text);
  EXPECT_TRUE(holdsSyntaxError(records));
  ErrorRecord leftOut = record("A not supported", 2, 9, nullptr, nullptr, nullptr);
  EXPECT_FALSE(holdsSyntaxError(&leftOut));
}

// Whole translations in process: source text through the parser, the
// rewriting and the emitter; the statements stay in memory and are compared
// byte for byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "parse_context.h"
#include "sqlexc_ast_emit.h"

namespace {

struct Out {
  int status;
  std::vector<int> types;
  std::vector<std::string> texts;
  std::vector<std::string> errors;
};

Out translate(const char* source, bool markers) {
  TranslateOptions options;
  setCommandLineDefaults(&options);
  options.lineMarkers = markers;
  TranslateResult r = translateCore(source, &options);
  Out out;
  out.status = r.status;
  for (StatementRecord* s = r.statements; s; s = s->next) {
    out.types.push_back(s->type);
    out.texts.push_back(std::string(s->text, s->length));
  }
  for (ErrorRecord* e = r.errors; e; e = e->next)
    out.errors.push_back(std::string(e->message ? e->message : "") + "@" + std::to_string(e->line));
  return out;
}

}  // namespace

#ifdef VESTRAKE_HAVE_PARSER

TEST(EmitTranslate, ProcedureWithLineMarkers) {
  Out out = translate(
      "CREATE PROCEDURE p(a IN INTEGER) IS\n"
      "  v INTEGER := 5;\n"
      "BEGIN\n"
      "  v := a + 1;\n"
      "  IF v > 10 THEN\n"
      "    RAISE NO_DATA_FOUND;\n"
      "  END IF;\n"
      "END;\n"
      "/\n",
      true);
  EXPECT_EQ(out.status, 0);
  ASSERT_EQ(out.texts.size(), 1u);
  EXPECT_EQ(out.types[0], STMT_TYPE_PROCEDURE);
  EXPECT_EQ(out.texts[0],
            "CREATE PROCEDURE p(\n"
            "--#line 001\n"
            "IN a INTEGER) SPECIFIC p\n"
            "LANGUAGE SQL\n"
            "  SYSZULINTERNAL_BLOCK: BEGIN\n"
            "--#line 002\n"
            "  DECLARE v INTEGER DEFAULT 5;\n"
            "--#line 004\n"
            "  SET v = a + 1;\n"
            "\n"
            "--#line 005\n"
            "  IF v > 10 THEN\n"
            "  SIGNAL SQLSTATE '02000';\n"
            "  END IF;\n"
            "\n"
            "  END@\n"
            "\n\n");
  EXPECT_TRUE(out.errors.empty());
}

TEST(EmitTranslate, PackageSpecificationAndBody) {
  Out out = translate(
      "CREATE OR REPLACE PACKAGE pkg AS\n"
      "  g_count INTEGER := 0;\n"
      "  FUNCTION f(x INTEGER) RETURN INTEGER;\n"
      "  PROCEDURE q;\n"
      "END pkg;\n"
      "/\n"
      "CREATE OR REPLACE PACKAGE BODY pkg AS\n"
      "  FUNCTION f(x INTEGER) RETURN INTEGER IS\n"
      "  BEGIN\n"
      "    RETURN x * 2;\n"
      "  END f;\n"
      "  PROCEDURE q IS\n"
      "  BEGIN\n"
      "    g_count := g_count + 1;\n"
      "  END q;\n"
      "END pkg;\n"
      "/\n",
      false);
  EXPECT_EQ(out.status, 0);
  std::vector<std::string> expected = {
      "CREATE OR REPLACE MODULE pkg@\n",
      "ALTER MODULE pkg PUBLISH VARIABLE g_count INTEGER DEFAULT (0)@\n",
      "ALTER MODULE pkg PUBLISH FUNCTION f(\nx INTEGER) RETURNS INTEGER LANGUAGE SQL @\n",
      "ALTER MODULE pkg PUBLISH PROCEDURE q LANGUAGE SQL@\n",
      "ALTER MODULE pkg DROP BODY@\n",
      "COMMENT ON MODULE pkg IS 'PL/SQL Package Body'@\n",
      "  ALTER MODULE pkg ADD FUNCTION f(\n  x INTEGER)\n  RETURNS INTEGER\n  LANGUAGE SQL\n"
      "  SYSZULINTERNAL_BLOCK: BEGIN\n  RETURN x * 2;\n  END@\n\n\n",
      "  ALTER MODULE pkg ADD PROCEDURE q\n  LANGUAGE SQL\n"
      "  SYSZULINTERNAL_BLOCK: BEGIN\n  SET g_count = g_count + 1;\n  END@\n\n\n",
  };
  EXPECT_EQ(out.texts, expected);
  EXPECT_EQ(out.types, std::vector<int>(expected.size(), STMT_TYPE_MODULE));
  EXPECT_TRUE(out.errors.empty());
}

TEST(EmitTranslate, TriggerTopLevelStatementAndAnonymousBlock) {
  Out out = translate(
      "CREATE OR REPLACE TRIGGER trg AFTER UPDATE OF sal ON emp FOR EACH ROW\n"
      "BEGIN\n"
      "  INSERT INTO audit VALUES (:OLD.sal, :NEW.sal);\n"
      "END;\n"
      "/\n"
      "INSERT INTO t VALUES (1);\n"
      "DECLARE\n"
      "  n INTEGER;\n"
      "BEGIN\n"
      "  SELECT COUNT(*) INTO n FROM t;\n"
      "  WHILE n > 0 LOOP\n"
      "    n := n - 1;\n"
      "    EXIT WHEN n = 5;\n"
      "  END LOOP;\n"
      "EXCEPTION\n"
      "  WHEN OTHERS THEN\n"
      "    NULL;\n"
      "END;\n"
      "/\n",
      false);
  EXPECT_EQ(out.status, 0);
  ASSERT_EQ(out.texts.size(), 3u);
  EXPECT_EQ(out.types, std::vector<int>({STMT_TYPE_OTHER, STMT_TYPE_OTHER, STMT_TYPE_BLOCK}));
  EXPECT_EQ(out.texts[0],
            "CREATE OR REPLACE TRIGGER trg AFTER UPDATE OF sal ON emp "
            "REFERENCING NEW AS SYSZULINTERNAL_NEW OLD AS SYSZULINTERNAL_OLD FOR EACH ROW   "
            "SYSZULINTERNAL_BLOCK: BEGIN\n"
            "  INSERT INTO audit VALUES(SYSZULINTERNAL_OLD.sal, SYSZULINTERNAL_NEW.sal);\n"
            "  END@\n"
            "\n\n\n");
  EXPECT_EQ(out.texts[1], "INSERT INTO t VALUES(1)@\n");
  EXPECT_EQ(out.texts[2],
            "BEGIN\n"
            "  DECLARE n INTEGER;\n"
            "  DECLARE SQLSTATE CHAR(5) DEFAULT '00000';\n"
            "  DECLARE SQLCODE INTEGER DEFAULT 0;\n"
            "  DECLARE SYSZULINTERNAL_SQLCODE INTEGER DEFAULT 0;\n"
            "  DECLARE SYSZULINTERNAL_SQLSTATE CHAR(5) DEFAULT '00000';\n"
            "  DECLARE SYSZULINTERNAL_SQLERRM VARCHAR(500);\n"
            "  DECLARE EXIT HANDLER FOR SQLEXCEPTION\n"
            "  BEGIN\n"
            "  GET DIAGNOSTICS EXCEPTION 1 SYSZULINTERNAL_SQLERRM = MESSAGE_TEXT;\n"
            "  VALUES(SQLCODE, SQLSTATE) INTO SYSZULINTERNAL_SQLCODE, SYSZULINTERNAL_SQLSTATE;\n"
            "  -- NULL;\n"
            "  END;\n"
            "  SELECT COUNT(*) INTO n FROM t;\n"
            "\n"
            "  SYSZULINTERNAL_00000001: WHILE n > 0 DO\n"
            "  SET n = n - 1;\n"
            "  IF n = 5 THEN LEAVE SYSZULINTERNAL_00000001; END IF;\n"
            "  END WHILE;\n"
            "\n"
            "END@\n");
}

TEST(EmitTranslate, DroppedPackagesAndUnsupportedFeatures) {
  Out out = translate(
      "DROP PACKAGE BODY pkg;\n"
      "DROP PACKAGE pkg;\n"
      "CREATE PACKAGE p2 AUTHID CURRENT_USER AS\n"
      "  x INTEGER;\n"
      "END;\n"
      "/\n",
      false);
  EXPECT_EQ(out.status, 0);
  EXPECT_EQ(out.texts, std::vector<std::string>({"ALTER MODULE pkg DROP BODY@\n", "DROP MODULE pkg@\n",
                                                 "CREATE MODULE p2@\n", "ALTER MODULE p2 PUBLISH VARIABLE x INTEGER@\n"}));
  EXPECT_EQ(out.types, std::vector<int>({STMT_TYPE_OTHER, STMT_TYPE_DROP_MODULE, STMT_TYPE_MODULE, STMT_TYPE_MODULE}));
  EXPECT_EQ(out.errors, std::vector<std::string>({"AUTHID CURRENT_USER not supported@3"}));
}

TEST(EmitTranslate, FunctionWithCursorsDynamicSqlLoopsAndApplicationErrors) {
  Out out = translate(
      "CREATE OR REPLACE FUNCTION f(p_id NUMBER) RETURN VARCHAR2 IS\n"
      "  CURSOR c IS SELECT name FROM emp WHERE id = p_id;\n"
      "  v_name VARCHAR2(30);\n"
      "BEGIN\n"
      "  OPEN c;\n"
      "  FETCH c INTO v_name;\n"
      "  CLOSE c;\n"
      "  EXECUTE IMMEDIATE 'UPDATE t SET a = :1' USING p_id;\n"
      "  FOR r IN (SELECT a FROM t) LOOP\n"
      "    NULL;\n"
      "  END LOOP;\n"
      "  IF v_name IS NULL THEN\n"
      "    RAISE_APPLICATION_ERROR(-20001, 'missing');\n"
      "  END IF;\n"
      "  RETURN v_name;\n"
      "END;\n"
      "/\n",
      false);
  EXPECT_EQ(out.status, 0);
  ASSERT_EQ(out.texts.size(), 1u);
  EXPECT_EQ(out.types[0], STMT_TYPE_FUNCTION);
  EXPECT_EQ(out.texts[0],
            "CREATE OR REPLACE FUNCTION f(\n"
            "p_id NUMBER) SPECIFIC f\n"
            "RETURNS VARCHAR2(4096)\n"
            "LANGUAGE SQL\n"
            "  SYSZULINTERNAL_BLOCK: BEGIN\n"
            "  DECLARE c CURSOR CONSTANT (CURSOR FOR SELECT name FROM emp WHERE id = p_id);\n"
            "  DECLARE v_name VARCHAR2(30);\n"
            "  OPEN c;\n"
            "  FETCH c INTO v_name;\n"
            "  CLOSE c ;\n"
            "  BEGIN\n"
            "  DECLARE SYSZULINTERNAL_STMT_TEXT VARCHAR(2048) DEFAULT 'UPDATE t SET a = :1';\n"
            "  PREPARE SYSZULINTERNAL_00000001 FROM SYSZULINTERNAL_STMT_TEXT;\n"
            "  EXECUTE SYSZULINTERNAL_00000001 USING p_id;\n"
            "  END;\n"
            "\n"
            "  FOR r AS\n"
            "  SELECT a FROM t\n"
            "  DO\n"
            "  -- NULL;\n"
            "  END FOR;\n"
            "\n"
            "\n"
            "  IF v_name IS NULL THEN\n"
            "  BEGIN\n"
            "  DECLARE SYSZULINTERNAL_APPERROR VARCHAR(2048) DEFAULT 'missing';\n"
            "  SIGNAL SQLSTATE 'UD001' SET MESSAGE_TEXT = SYSZULINTERNAL_APPERROR;\n"
            "  END;\n"
            "  END IF;\n"
            "\n"
            "  RETURN v_name;\n"
            "  END@\n"
            "\n\n");
  EXPECT_TRUE(out.errors.empty());
}

TEST(EmitTranslate, RowCountsAndDynamicCursor) {
  Out out = translate(
      "CREATE PROCEDURE q IS\n"
      "  n INTEGER;\n"
      "BEGIN\n"
      "  DELETE FROM t WHERE a = 1;\n"
      "  n := SQL%ROWCOUNT;\n"
      "  OPEN c FOR v_sql USING n;\n"
      "END;\n"
      "/\n",
      false);
  EXPECT_EQ(out.status, 0);
  ASSERT_EQ(out.texts.size(), 1u);
  EXPECT_EQ(out.texts[0],
            "CREATE PROCEDURE q SPECIFIC q\n"
            "LANGUAGE SQL\n"
            "  SYSZULINTERNAL_BLOCK: BEGIN\n"
            "  DECLARE n INTEGER;\n"
            "  DECLARE SYSZULINTERNAL_ROWCOUNT INTEGER;\n"
            "  DELETE FROM t WHERE a = 1;\n"
            "  GET DIAGNOSTICS SYSZULINTERNAL_ROWCOUNT = ROW_COUNT;\n"
            "  SET n = SYSZULINTERNAL_ROWCOUNT;\n"
            "  SET c = CURSOR FOR  SYSZULINTERNAL_00000001;\n"
            "  PREPARE SYSZULINTERNAL_00000001 FROM v_sql;\n"
            "  OPEN c USING n;\n"
            "  GET DIAGNOSTICS SYSZULINTERNAL_ROWCOUNT = ROW_COUNT;\n"
            "  END@\n"
            "\n\n");
}

TEST(EmitTranslate, FailedParseEmitsNothing) {
  Out out = translate("CREATE PROCEDURE p IS BEGIN", false);
  EXPECT_EQ(out.status, 5);
  EXPECT_TRUE(out.texts.empty());
}

#endif

// Whole reports of the test host for GRANT and REVOKE (commands, ALL,
// builtins, system tables, object privileges and roles), CREATE ROLE with a
// password, CREATE SCHEMA, the statements parsed only, and UPDATE ... SET
// of a variable. Every expected byte is written out.
#include <gtest/gtest.h>

#include <string>

#include "host_report_fixture.h"

using qen_test::file_head;
using qen_test::report_tail;

namespace {

#ifdef QEN_HOST_PATH

using qen_test::Report;
using qen_test::analyse;

std::string counters_of_one_batch(int statements, int schemas = 0) {
  return report_tail({.statements = statements,
                      .schemas = schemas,
                      .max_batch_size = statements,
                      .min_batch_size = statements,
                      .batch_statements = statements});
}

TEST(SecurityReport, GrantAndRevokeOfCommandsReportAtTheirKeyword) {
  const char* source =
      "grant create table, create view to u1\n"                  // 1
      "revoke create database from u1\n"                         // 2
      "grant create default, create proc,\n"                     // 3
      "      create rule to public\n"                            // 4
      "revoke set proxy, set session authorization from u2\n"    // 5
      "grant set proxy to u3\n";                                 // 6
  Report r;
  ASSERT_EQ(analyse("security_commands", source, &r), 0);
  const std::string l3 = "grant create default, create proc,";
  const std::string l5 = "revoke set proxy, set session authorization from u2";
  // Every command of a list at the GRANT or REVOKE line, in list order; a
  // REVOKE reports the GRANT tags.
  EXPECT_EQ(r.text, "<source>\n" + file_head(r.path, "security_commands") + Report::head(1, "batch", "[batch]") +
                        r.statement("GRANT CREATE TABLE", 1, 1, 1, "grant create table, create view to u1") +
                        r.statement("GRANT CREATE VIEW", 1, 1, 1, "grant create table, create view to u1") +
                        r.statement("GRANT CREATE DATABASE", 1, 2, 2, "revoke create database from u1") +
                        r.statement("GRANT CREATE DEFAULT", 2, 3, 3, l3) +
                        r.statement("GRANT CREATE PROCEDURE", 2, 3, 3, l3) +
                        r.statement("GRANT CREATE RULE", 2, 3, 3, l3) + r.statement("GRANT SET PROXY", 3, 5, 5, l5) +
                        r.statement("GRANT SET SESSION AUTHORIZATION", 3, 5, 5, l5) +
                        r.statement("GRANT SET PROXY", 4, 6, 6, "grant set proxy to u3") + Report::close() +
                        counters_of_one_batch(5));
}

TEST(SecurityReport, GrantAndRevokeOfEverythingBuiltinsAndSystemTables) {
  const char* source =
      "grant all to u1\n"                                                       // 1
      "grant all privileges on orders to u1\n"                                  // 2
      "grant select, update on dbo.orders (a, b) to u1, u2 with grant option\n"  // 3
      "grant role r1 to u1\n"                                                   // 4
      "revoke all privileges from u1\n"                                         // 5
      "revoke select on builtin getdate from u1\n"                              // 6
      "grant execute on builtin valid_name to u1\n"                             // 7
      "grant default permissions on system tables\n"                            // 8
      "revoke grant option for select on orders from u1 cascade\n"              // 9
      "revoke delete statistics, truncate table on orders from u2\n"            // 10
      "revoke role r1 from u1\n";                                               // 11
  Report r;
  ASSERT_EQ(analyse("security_all", source, &r), 0);
  // Object privileges, also ALL of them on an object, and roles report
  // nothing.
  EXPECT_EQ(r.text, "<source>\n" + file_head(r.path, "security_all") + Report::head(1, "batch", "[batch]") +
                        r.statement("GRANT ALL", 1, 1, 1, "grant all to u1") +
                        r.statement("REVOKE ALL", 4, 5, 5, "revoke all privileges from u1") +
                        r.statement("REVOKE ON BUILTIN", 5, 6, 6, "revoke select on builtin getdate from u1") +
                        r.statement("GRANT ON BUILTIN", 6, 7, 7, "grant execute on builtin valid_name to u1") +
                        r.statement("GRANT ON SYSTEM TABLES", 7, 8, 8, "grant default permissions on system tables") +
                        Report::close() + counters_of_one_batch(11));
}

TEST(SecurityReport, RolesSchemasAndStatementsParsedOnly) {
  const char* source =
      "create role r2\n"                                                            // 1
      "create role r3 with passwd \"pw\", passwd expiration 30, min passwd length 8\n"  // 2
      "create role r4 with passwd pw4\n"                                            // 3
      "create schema authorization dbo\n"                                           // 4
      "drop role r2 with override\n"                                                // 5
      "use master\n";                                                               // 6
  Report r;
  ASSERT_EQ(analyse("security_roles", source, &r), 0);
  // The password finding at CREATE, also when options follow; CREATE
  // SCHEMA counts a schema before it is reported.
  const std::string l2 = "create role r3 with passwd \"pw\", passwd expiration 30, min passwd length 8";
  EXPECT_EQ(r.text, "<source>\n" + file_head(r.path, "security_roles") + Report::head(1, "batch", "[batch]") +
                        r.statement("CREATE ROLE WITH PASSWD", 1, 2, 2, l2) +
                        r.statement("CREATE ROLE WITH PASSWD", 2, 3, 3, "create role r4 with passwd pw4") +
                        r.statement("CREATE SCHEMA", 3, 4, 4, "create schema authorization dbo") + Report::close() +
                        counters_of_one_batch(6, 1));
}

TEST(SecurityReport, UpdateSettingAVariableReportsAtTheVariable) {
  const char* source =
      "update orders\n"       // 1
      "set a = 2,\n"          // 2
      "    @v = a + 1\n"      // 3
      "update orders set a = @w\n";  // 4
  Report r;
  ASSERT_EQ(analyse("security_update_set", source, &r), 0);
  EXPECT_EQ(r.text, "<source>\n" + file_head(r.path, "security_update_set") + Report::head(1, "batch", "[batch]") +
                        r.statement("UPDATE SET VARIABLE", 1, 3, 3, "    @v = a + 1") + Report::close() +
                        counters_of_one_batch(2));
}

#endif

}  // namespace

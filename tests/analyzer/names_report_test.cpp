// Whole reports of the test host for dotted procedure and table names:
// system procedures and system tables that the target lacks, by
// qualification and by target version, calls of four-part names, keywords
// used as name parts, and the lines the findings carry.
#include <gtest/gtest.h>

#include <string>

#include "host_report_fixture.h"

using qen_test::report_tail;

namespace {

#ifdef QEN_HOST_PATH

struct Report : qen_test::BatchFindings {
  std::string procedure(const std::string& name, int statements, int line, int first,
                        const std::string& context) const {
    return feature("PROCEDURE[" + name + "]", "procedure", name, statements, line, first, context);
  }
  std::string rpc(int statements, int line, int first, const std::string& context) const {
    return feature("STATEMENT[SERVER-TO-SERVER RPC]", "statement", "SERVER-TO-SERVER RPC", statements, line, first,
                   context);
  }
  std::string catalog(const std::string& name, int statements, int line, int first,
                      const std::string& context) const {
    return feature("CATALOG[" + name + "]", "unknown", name, statements, line, first, context);
  }
};

int analyse(const std::string& name, const std::string& args, const std::string& source, Report* report) {
  return qen_test::run_host_on("names_" + name, name, source, args, &report->path, &report->text);
}

// In a batch the first statement is counted before it is evaluated and
// every later one after: a finding of statement k (k > 1) of the file's
// only batch carries k - 1 counted statements.
TEST(NamesReport, SystemProceduresByQualification) {
  const char* source =
      "exec sp_who\n"                     // 1  reported
      "exec SP_Who\n"                     // 2  reported, spelled as written
      "exec master..sp_who\n"             // 3  reported
      "exec sybsystemprocs.dbo.sp_who\n"  // 4  reported
      "exec MASTER.DBO.sp_who\n"          // 5  reported: case-insensitive
      "exec tempdb..sp_who\n"             // 6  another database
      "exec joe.sp_who\n"                 // 7  another owner
      "exec master.joe.sp_who\n"          // 8  another owner
      "exec [sp_who]\n"                   // 9  brackets make another name
      "exec master..\n"                   // 10
      "  sp_help\n"                       // 11 reported on the line of its last part
      "exec sp_addgroup\n"                // 12 the default target has it
      "exec p\n"                          // 13 not a system procedure
      "exec ..sp_who\n";                  // 14 reported: empty database and owner
  Report r;
  ASSERT_EQ(analyse("qualification", "", source, &r), 0);
  std::string expected = r.start("qualification") + Report::head(1) +
                         r.procedure("sp_who", 1, 1, 1, "exec sp_who") +
                         r.procedure("SP_Who", 1, 2, 1, "exec SP_Who") +
                         r.procedure("sp_who", 2, 3, 1, "exec master..sp_who") +
                         r.procedure("sp_who", 3, 4, 1, "exec sybsystemprocs.dbo.sp_who") +
                         r.procedure("sp_who", 4, 5, 1, "exec MASTER.DBO.sp_who") +
                         r.procedure("sp_help", 9, 11, 1, "  sp_help") +
                         r.procedure("sp_who", 12, 14, 1, "exec ..sp_who") + Report::close();
  expected += report_tail({.statements = 13, .max_batch_size = 13, .min_batch_size = 13, .batch_statements = 13});
  EXPECT_EQ(r.text, expected);
}

TEST(NamesReport, FourPartNamesAreServerToServerCalls) {
  const char* source =
      "exec srv.master.dbo.sp_lock\n"  // 1  RPC, then the system procedure
      "exec srv.db.dbo.sp_lock\n"      // 2  RPC only: database db
      "exec srv.db.dbo.\n"             // 3
      "  p\n"                          // 4  RPC on the line of the last part
      "exec a.b.master.dbo.sp_lock\n"  // 5  five parts: no RPC, record {master, dbo, sp_lock}
      "exec srv..dbo.p\n"              // 6  four parts, one of them empty
      "exec srv...p\n"                 // 7  four parts, two of them empty
      "exec db.dbo.p\n";               // 8  three parts: nothing
  Report r;
  ASSERT_EQ(analyse("four_parts", "", source, &r), 0);
  std::string expected = r.start("four_parts") + Report::head(1) +
                         r.rpc(1, 1, 1, "exec srv.master.dbo.sp_lock") +
                         r.procedure("sp_lock", 1, 1, 1, "exec srv.master.dbo.sp_lock") +
                         r.rpc(1, 2, 1, "exec srv.db.dbo.sp_lock") + r.rpc(2, 4, 1, "  p") +
                         r.procedure("sp_lock", 3, 5, 1, "exec a.b.master.dbo.sp_lock") +
                         r.rpc(4, 6, 1, "exec srv..dbo.p") + r.rpc(5, 7, 1, "exec srv...p") + Report::close();
  expected += report_tail({.statements = 7, .max_batch_size = 7, .min_batch_size = 7, .batch_statements = 7});
  EXPECT_EQ(r.text, expected);
}

TEST(NamesReport, SystemProceduresByTargetVersion) {
  const char* source =
      "exec sp_addgroup\n"       // 1  from 0.0.1
      "exec sp_dropalias\n"      // 2  from 1.1.0
      "exec sp_displaylogin\n"   // 3  from 1.2.0
      "exec sp_who\n";           // 4  never
  const std::string tail =
      report_tail({.statements = 4, .max_batch_size = 4, .min_batch_size = 4, .batch_statements = 4});
  {
    Report r;
    ASSERT_EQ(analyse("version_0_0_0", "-t 0.0.0", source, &r), 0);
    EXPECT_EQ(r.text, r.start("version_0_0_0") + Report::head(1) +
                          r.procedure("sp_addgroup", 1, 1, 1, "exec sp_addgroup") +
                          r.procedure("sp_dropalias", 1, 2, 1, "exec sp_dropalias") +
                          r.procedure("sp_displaylogin", 2, 3, 1, "exec sp_displaylogin") +
                          r.procedure("sp_who", 3, 4, 1, "exec sp_who") + Report::close() + tail);
  }
  {
    Report r;
    ASSERT_EQ(analyse("version_1_0_9", "-t 1.0.9", source, &r), 0);
    EXPECT_EQ(r.text, r.start("version_1_0_9") + Report::head(1) +
                          r.procedure("sp_dropalias", 1, 2, 1, "exec sp_dropalias") +
                          r.procedure("sp_displaylogin", 2, 3, 1, "exec sp_displaylogin") +
                          r.procedure("sp_who", 3, 4, 1, "exec sp_who") + Report::close() + tail);
  }
  {
    Report r;
    ASSERT_EQ(analyse("version_1_1_0", "-t 1.1.0", source, &r), 0);
    EXPECT_EQ(r.text, r.start("version_1_1_0") + Report::head(1) +
                          r.procedure("sp_displaylogin", 2, 3, 1, "exec sp_displaylogin") +
                          r.procedure("sp_who", 3, 4, 1, "exec sp_who") + Report::close() + tail);
  }
  {
    Report r;
    ASSERT_EQ(analyse("version_1_2_0", "-t 1.2.0", source, &r), 0);
    EXPECT_EQ(r.text, r.start("version_1_2_0") + Report::head(1) + r.procedure("sp_who", 3, 4, 1, "exec sp_who") +
                          Report::close() + tail);
  }
}

TEST(NamesReport, SystemTablesByQualification) {
  const char* source =
      "select * from sysprocedures\n"    // 1  reported
      "select * from SysLocks\n"         // 2  reported, spelled as written
      "select * from DBO.syslogs\n"      // 3  reported
      "select * from joe.syslogs\n"      // 4  another owner
      "select * from x..syslogs\n"       // 5  reported: the database is not looked at
      "select * from x.joe.syslogs\n"    // 6  another owner
      "select * from .syslogs\n"         // 7  reported
      "select * from [syslogs]\n"        // 8  brackets make another name
      "select * from sysobjects\n"       // 9  the default target has it
      "select * from\n"                  // 10
      "  .dbo.\n"                        // 11 reported on the line of the first symbol
      "  sysprocedures\n";               // 12
  Report r;
  ASSERT_EQ(analyse("tables", "", source, &r), 0);
  std::string expected = r.start("tables") + Report::head(1) +
                         r.catalog("sysprocedures", 1, 1, 1, "select * from sysprocedures") +
                         r.catalog("SysLocks", 1, 2, 1, "select * from SysLocks") +
                         r.catalog("syslogs", 2, 3, 1, "select * from DBO.syslogs") +
                         r.catalog("syslogs", 4, 5, 1, "select * from x..syslogs") +
                         r.catalog("syslogs", 6, 7, 1, "select * from .syslogs") +
                         r.catalog("sysprocedures", 9, 11, 1, "  .dbo.") + Report::close();
  expected += report_tail({.statements = 10, .max_batch_size = 10, .min_batch_size = 10, .batch_statements = 10});
  EXPECT_EQ(r.text, expected);
}

TEST(NamesReport, SystemTablesByTargetVersionAndStatement) {
  const char* source =
      "select * from sysobjects\n"             // 1  from 0.0.1
      "update syslogs set a = 1\n"             // 2  never
      "delete sysdepends\n"                    // 3
      "insert into sysdevices values (1)\n"    // 4
      "truncate table syskeys\n";              // 5
  {
    Report r;
    ASSERT_EQ(analyse("tables_0_0_0", "-t 0.0.0", source, &r), 0);
    EXPECT_EQ(r.text,
              r.start("tables_0_0_0") + Report::head(1) + r.catalog("sysobjects", 1, 1, 1, "select * from sysobjects") +
                  r.catalog("syslogs", 1, 2, 1, "update syslogs set a = 1") +
                  r.catalog("sysdepends", 2, 3, 1, "delete sysdepends") +
                  r.catalog("sysdevices", 3, 4, 1, "insert into sysdevices values (1)") +
                  r.catalog("syskeys", 4, 5, 1, "truncate table syskeys") + Report::close() +
                  report_tail({.statements = 5, .max_batch_size = 5, .min_batch_size = 5, .batch_statements = 5}));
  }
  {
    Report r;
    ASSERT_EQ(analyse("tables_0_0_1", "-t 0.0.1", "select * from sysobjects\n", &r), 0);
    EXPECT_EQ(r.text,
              r.start("tables_0_0_1") +
                  report_tail({.statements = 1, .max_batch_size = 1, .min_batch_size = 1, .batch_statements = 1}));
  }
}

TEST(NamesReport, KeywordsAsNameParts) {
  const char* source =
      "exec int.datetime.dbo.p\n"              // 1  RPC: datatype words as parts
      "exec nchar.dbo.sp_who\n"                // 2  database nchar: nothing
      "exec sybsystemprocs.text.sp_who\n"      // 3  owner text: nothing
      "exec hash.dbo.sp_who\n"                 // 4  database hash: nothing
      "select * from cast..syslogs\n"          // 5  reported
      "select * from int.syslogs\n"            // 6  owner int: nothing
      "select hash, date from dbo.sysprocedures\n";  // 7 reported
  Report r;
  ASSERT_EQ(analyse("keywords", "", source, &r), 0);
  std::string expected = r.start("keywords") + Report::head(1) + r.rpc(1, 1, 1, "exec int.datetime.dbo.p") +
                         r.catalog("syslogs", 4, 5, 1, "select * from cast..syslogs") +
                         r.catalog("sysprocedures", 6, 7, 1, "select hash, date from dbo.sysprocedures") +
                         Report::close();
  expected += report_tail({.statements = 7, .max_batch_size = 7, .min_batch_size = 7, .batch_statements = 7});
  EXPECT_EQ(r.text, expected);
}

TEST(NamesReport, QuotedIdentifiersKeepTheirQuotes) {
  // With quoted identifiers on, "sp_who" and "syslogs" are names with their
  // quotes, which match no system object; "dbo" is not the owner dbo.
  const char* source =
      "exec \"sp_who\"\n"                      // 1
      "select * from \"dbo\".syslogs\n"        // 2
      "select * from \"syslogs\"\n"            // 3
      "select * from dbo.syslogs\n";           // 4 reported
  Report r;
  ASSERT_EQ(analyse("quoted", "-q", source, &r), 0);
  EXPECT_EQ(r.text,
            r.start("quoted") + Report::head(1) + r.catalog("syslogs", 3, 4, 1, "select * from dbo.syslogs") +
                Report::close() +
                report_tail({.statements = 4, .max_batch_size = 4, .min_batch_size = 4, .batch_statements = 4}));
}

TEST(NamesReport, FindingsOfLaterBatchesCarryTheirObjectLines) {
  const char* source =
      "exec sp_who\n"           // 1
      "go\n"                    // 2
      "select 1\n"              // 3
      "exec master..sp_help\n"  // 4 second statement of the batch at line 3
      "go\n"                    // 5
      "select * from\n"         // 6
      "  syslogs\n";            // 7
  Report r;
  ASSERT_EQ(analyse("batches", "", source, &r), 0);
  std::string expected = r.start("batches") + Report::head(1) + r.procedure("sp_who", 1, 1, 1, "exec sp_who") +
                         Report::close() + Report::head(3) +
                         r.procedure("sp_help", 2, 4, 3, "exec master..sp_help") + Report::close() +
                         Report::head(6) + r.catalog("syslogs", 4, 7, 6, "  syslogs") + Report::close();
  expected += report_tail({.statements = 4, .max_batch_size = 2, .min_batch_size = 1, .batch_statements = 4});
  EXPECT_EQ(r.text, expected);
}

#endif

}  // namespace

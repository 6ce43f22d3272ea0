// Reports of the test host for ALTER TABLE: one statement feature per form
// the target lacks, the constraint and datatype features of added and
// modified columns, and their lines. Every expected byte is written out.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "host_report_fixture.h"

namespace {

#ifdef QEN_HOST_PATH

using qen_test::Analysis;
using qen_test::Finding;
using qen_test::stmt;

// Findings of the batch of ALTER TABLE statements, one a line from line 1:
// no object opens, so the line in the object is the line in the file.
Finding at(const std::string& what, int statements, int line, const std::string& context) {
  return stmt(what, statements, line, line, context);
}

TEST(AlterTableReport, AddColumnsAndConstraints) {
  const char* source =
      "alter table t add c int null\n"                                                         // 1
      "alter table t\n"                                                                        // 2
      "  add c int null,\n"                                                                    // 3
      "      d nvarchar(10) default getdate() not null\n"                                      // 4
      "alter table t add constraint k check (a in (select x from sysattributes))\n"            // 5
      "alter table t add primary key clustered (a desc, b) with fillfactor = 5 on seg\n"       // 6
      "alter table t add unique (a)\n"                                                         // 7
      "alter table t add c2 int null constraint k2 unique clustered asc with fillfactor = 1 on seg\n"  // 8
      "alter table t add c3 int identity references t2 (x) match full\n"                       // 9
      "alter table t add foreign key (a, b) references t3 match full\n"                        // 10
      "alter table t add c4 compute\n";                                                        // 11
  Analysis a("alter_add", source);
  ASSERT_EQ(a.status, 0);
  const std::string l5 = "alter table t add constraint k check (a in (select x from sysattributes))";
  const std::string l6 = "alter table t add primary key clustered (a desc, b) with fillfactor = 5 on seg";
  const std::string l8 = "alter table t add c2 int null constraint k2 unique clustered asc with fillfactor = 1 on seg";
  const std::string l9 = "alter table t add c3 int identity references t2 (x) match full";
  // The first statement is counted before it is evaluated, every later one
  // after. ADD COLUMN is on the line of ADD, once for both columns; the
  // second column's datatype is on the line of ALTER, after it; a default
  // gives nothing here. ADD CHECK comes before the predicate's findings.
  // Index constraints report their four features under their own names,
  // a plain UNIQUE nothing; MATCH FULL only at column level.
  std::string objects = a.object(
      1, "batch", "[batch]",
      {at("ALTER TABLE ADD COLUMN", 1, 1, "alter table t add c int null"),
       at("ALTER TABLE ADD COLUMN", 1, 3, "  add c int null,"),
       {"DATATYPE[NVARCHAR]", 1, 2, 2, "alter table t", "NVARCHAR", "datatype"},
       at("ALTER TABLE ADD CHECK", 2, 5, l5),
       {"CATALOG[sysattributes]", 2, 5, 5, l5, "sysattributes", "unknown"},
       at("CLUSTERED CONSTRAINT", 3, 6, l6), at("ASC/DESC CONSTRAINT", 3, 6, l6),
       at("CONSTRAINT INDEX OPTIONS", 3, 6, l6), at("CONSTRAINT ON SEGMENT", 3, 6, l6),
       at("ALTER TABLE ADD COLUMN", 5, 8, l8), at("CLUSTERED CONSTRAINT", 5, 8, l8),
       at("ASC/DESC CONSTRAINT", 5, 8, l8), at("CONSTRAINT INDEX OPTIONS", 5, 8, l8),
       at("CONSTRAINT ON SEGMENT", 5, 8, l8), at("ALTER TABLE ADD COLUMN", 6, 9, l9),
       at("CONSTRAINT MATCH FULL", 6, 9, l9),
       // A computed column is the ADD COLUMN alone.
       at("ALTER TABLE ADD COLUMN", 8, 11, "alter table t add c4 compute")});
  // No counter but the statements changes.
  EXPECT_EQ(a.text, a.report("alter_add", objects,
                             {.statements = 9, .max_batch_size = 9, .min_batch_size = 9, .batch_statements = 9}));
}

TEST(AlterTableReport, DropTriggerLockModifyReplaceAndWith) {
  const char* source =
      "alter table t drop constraint k\n"        // 1
      "alter table t drop c1, c2\n"              // 2
      "alter table t disable trigger\n"          // 3
      "alter table t enable trigger\n"           // 4
      "alter table t lock allpages\n"            // 5
      "alter table t lock datapages\n"           // 6
      "alter table t lock datarows\n"            // 7
      "alter table t modify\n"                   // 8
      "  c nchar(5) null,\n"                     // 9
      "  d int not null\n"                       // 10
      "alter table t replace c default 0\n"      // 11
      "alter table t replace c default user\n"   // 12
      "alter table t with exp_row_size = 4\n";   // 13
  Analysis a("alter_forms", source);
  ASSERT_EQ(a.status, 0);
  // DROP CONSTRAINT gives nothing, DROP of two columns one feature. The
  // modified column's datatype is on the column's line, before MODIFY
  // COLUMN on the line of ALTER.
  std::string objects = a.object(
      1, "batch", "[batch]",
      {at("ALTER TABLE DROP COLUMN", 1, 2, "alter table t drop c1, c2"),
       at("ALTER TABLE DISABLE TRIGGER", 2, 3, "alter table t disable trigger"),
       at("ALTER TABLE ENABLE TRIGGER", 3, 4, "alter table t enable trigger"),
       at("ALTER TABLE LOCK ALLPAGES", 4, 5, "alter table t lock allpages"),
       at("ALTER TABLE LOCK DATAPAGES", 5, 6, "alter table t lock datapages"),
       at("ALTER TABLE LOCK DATAROWS", 6, 7, "alter table t lock datarows"),
       {"DATATYPE[NCHAR]", 7, 9, 9, "  c nchar(5) null,", "NCHAR", "datatype"},
       at("ALTER TABLE MODIFY COLUMN", 7, 8, "alter table t modify"),
       at("ALTER TABLE REPLACE COLUMN", 8, 11, "alter table t replace c default 0"),
       at("ALTER TABLE REPLACE COLUMN", 9, 12, "alter table t replace c default user"),
       at("ALTER CONSTRAINT WITH", 10, 13, "alter table t with exp_row_size = 4")});
  EXPECT_EQ(a.text, a.report("alter_forms", objects,
                             {.statements = 11, .max_batch_size = 11, .min_batch_size = 11, .batch_statements = 11}));
}

TEST(AlterTableReport, PartitionForms) {
  const char* source =
      "alter table t partition 4\n"                                                       // 1
      "alter table t partition by roundrobin 3\n"                                         // 2
      "alter table t partition by roundrobin (p1 on s1, p2)\n"                            // 3
      "alter table t partition by hash (a) 2 on (s1)\n"                                   // 4
      "alter table t partition by range (a) (p1 values <= (10) on s1, values <= (max))\n"  // 5
      "alter table t partition by list (a) ((p1 values (1, 2))\n"                         // 6
      "alter table t unpartition\n"                                                       // 7
      "alter table t add partition (p3 values <= (20))\n"                                 // 8
      "alter table t add partition (values ('x') on s2)\n"                                // 9
      "alter table sysattributes unpartition\n";                                          // 10
  Analysis a("alter_partitions", source);
  ASSERT_EQ(a.status, 0);
  const std::string part = "STATEMENT[ALTER TABLE PARTITION]";
  const std::string unpart = "STATEMENT[ALTER TABLE UNPARTITION]";
  // Every partitioning form is the one feature with its own display name;
  // the table name's findings come first.
  std::string objects = a.object(
      1, "batch", "[batch]",
      {{part, 1, 1, 1, "alter table t partition 4", "ALTER TABLE (partition)"},
       {part, 1, 2, 2, "alter table t partition by roundrobin 3", "ALTER TABLE (partition)"},
       {part, 2, 3, 3, "alter table t partition by roundrobin (p1 on s1, p2)", "ALTER TABLE (partition)"},
       {part, 3, 4, 4, "alter table t partition by hash (a) 2 on (s1)", "ALTER TABLE (partition)"},
       {part, 4, 5, 5, "alter table t partition by range (a) (p1 values <= (10) on s1, values <= (max))",
        "ALTER TABLE (partition)"},
       {part, 5, 6, 6, "alter table t partition by list (a) ((p1 values (1, 2))", "ALTER TABLE (partition)"},
       {unpart, 6, 7, 7, "alter table t unpartition", "ALTER TABLE (unpartition)"},
       at("ALTER TABLE ADD PARTITION", 7, 8, "alter table t add partition (p3 values <= (20))"),
       at("ALTER TABLE ADD PARTITION", 8, 9, "alter table t add partition (values ('x') on s2)"),
       {"CATALOG[sysattributes]", 9, 10, 10, "alter table sysattributes unpartition", "sysattributes", "unknown"},
       {unpart, 9, 10, 10, "alter table sysattributes unpartition", "ALTER TABLE (unpartition)"}});
  EXPECT_EQ(a.text, a.report("alter_partitions", objects,
                             {.statements = 10, .max_batch_size = 10, .min_batch_size = 10, .batch_statements = 10}));
}

TEST(AlterTableReport, InsideAProcedureTheFindingsGoToTheProcedure) {
  const char* source =
      "create procedure p as\n"               // 1
      "  alter table t lock datarows\n"       // 2
      "  alter table t add c int null\n";     // 3
  Analysis a("alter_in_proc", source);
  ASSERT_EQ(a.status, 0);
  std::string objects =
      a.object(1, "procedure", "p",
               {stmt("ALTER TABLE LOCK DATAROWS", 2, 2, 2, "  alter table t lock datarows"),
                stmt("ALTER TABLE ADD COLUMN", 2, 3, 3, "  alter table t add c int null")});
  EXPECT_EQ(a.text, a.report("alter_in_proc", objects,
                             {.statements = 3,
                              .procedures = 1,
                              .max_procedure_size = 2,
                              .min_procedure_size = 2,
                              .procedure_statements = 2,
                              .max_batch_size = 1,
                              .min_batch_size = 1,
                              .batch_statements = 1}));
}

#endif

}  // namespace

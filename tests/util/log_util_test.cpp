// Log utilities on section loggers and callbacks: levels, headers, SQL
// logging, files, tracing.
#include <gtest/gtest.h>

#include <functional>
#include <regex>

#include <ace/Log_Msg.h>

#include "QENLogUtil.h"
#include "log_test_support.h"

using namespace qen_util;

namespace {

class LogUtilTest : public testing::Test
{
protected:
  void SetUp() override
  {
    // Standard error output of the framework is process-wide; keep it off
    // so only the loggers' own sinks write.
    ACE_LOG_MSG->clr_flags(ACE_Log_Msg::STDERR);
    dir = freshFolder(std::string("log_util_") +
                      testing::UnitTest::GetInstance()->current_test_info()->name());
    ASSERT_FALSE(dir.empty());
    QENLogTrace::disableTrace();
  }

  /// A section logger with general logging to a file at the given level.
  void fileLogger(QENSpecificLogUtil& logger, const std::string& file, const char* level)
  {
    std::string path = dir + "/" + file;
    logger.ODBCInitialize(true, false, const_cast<char*>(path.c_str()), const_cast<char*>(level));
  }

  std::string dir;
};

}  // namespace

TEST_F(LogUtilTest, LevelNamesAndPriorityNames)
{
  EXPECT_STREQ("SHUTDOWN", QENLogUtil::getLogString(1));
  EXPECT_STREQ("TRACE", QENLogUtil::getLogString(2));
  EXPECT_STREQ("DEBUG", QENLogUtil::getLogString(4));
  EXPECT_STREQ("INFO", QENLogUtil::getLogString(8));
  EXPECT_STREQ("NOTICE", QENLogUtil::getLogString(16));
  EXPECT_STREQ("WARNING", QENLogUtil::getLogString(32));
  EXPECT_STREQ("STARTUP", QENLogUtil::getLogString(64));
  EXPECT_STREQ("ERROR", QENLogUtil::getLogString(128));
  EXPECT_STREQ("CRITICAL", QENLogUtil::getLogString(256));
  EXPECT_STREQ("ALERT", QENLogUtil::getLogString(512));
  EXPECT_STREQ("EMERGENCY", QENLogUtil::getLogString(1024));
  EXPECT_STREQ("EMERGENCY", QENLogUtil::getLogString(3));
  EXPECT_STREQ("EMERGENCY", QENLogUtil::getLogString(2048));

  const struct { const char* name; int level; } table[] = {
      {"warn", 2017}, {"WARNING", 2017}, {"Debug", 2021}, {"INFO", 2029}, {"all", 2047}, {"verbose", 2017}};
  int n = 0;
  for (const auto& row : table) {
    QENSpecificLogUtil logger;
    EXPECT_TRUE(logger.isNotInitialized());
    EXPECT_EQ(2017, logger.getLoggingLevel());
    fileLogger(logger, "level" + std::to_string(n++) + ".log", row.name);
    EXPECT_EQ(row.level, logger.getLoggingLevel()) << row.name;
    EXPECT_FALSE(logger.isNotInitialized());
    EXPECT_TRUE(logger.isGeneralLogEnabled());
  }
  QENSpecificLogUtil logger;
  EXPECT_TRUE(logger.isLogLevelValid(ERROR));
  EXPECT_FALSE(logger.isLogLevelValid(DEBUG));
  EXPECT_FALSE(logger.isLogLevelValid(INFO));
}

TEST_F(LogUtilTest, DisabledInitializationChangesNothing)
{
  QENSpecificLogUtil logger;
  logger.ODBCInitialize(false, true, const_cast<char*>("x.log"), const_cast<char*>("ALL"));
  EXPECT_TRUE(logger.isNotInitialized());
  EXPECT_FALSE(logger.isGeneralLogEnabled());
  EXPECT_EQ(2017, logger.getLoggingLevel());
  EXPECT_FALSE(QENLogTrace::isTraceEnabled());
}

TEST_F(LogUtilTest, TimestampShape)
{
  std::string stamp = str(QENLogUtil::getCurrentTimeStamp());
  EXPECT_TRUE(std::regex_match(stamp, std::regex("[0-9]{4}/[0-9]{2}/[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} : ")))
      << stamp;
}

TEST_F(LogUtilTest, SqlInGeneralLogWithHeadersAndLevelFilter)
{
  QENSpecificLogUtil logger;
  fileLogger(logger, "general.log", "WARNING");
  logger.enableSqlLog(true);
  logger.logSql(DEBUG, "select hidden");  // not in the default mask
  logger.logSql(ERROR, "select 1 -- 100% %t %s");
  logger.closeGeneralLogFile();

  std::string content = read_file(dir + "/general.log");
  std::regex expected(headerPattern("ERROR") + "select 1 -- 100% %t %s\n" + headerPattern("ERROR") + "\n\n");
  EXPECT_TRUE(std::regex_match(content, expected)) << content;
}

TEST_F(LogUtilTest, NothingWithoutSqlLogging)
{
  QENSpecificLogUtil logger;
  fileLogger(logger, "quiet.log", "ALL");
  logger.logSql(ERROR, "select 1");
  logger.closeGeneralLogFile();
  EXPECT_EQ("", read_file(dir + "/quiet.log"));
}

TEST_F(LogUtilTest, DebugAtDefaultMaskWritesNothing)
{
  QENSpecificLogUtil logger;
  fileLogger(logger, "debug.log", "WARN");
  logger.enableSqlLog(true);
  logger.logSql(DEBUG, "select 1");
  logger.logSql(INFO, "select 2");
  QENFileException e("f.cpp", 1, ERROR, "x");
  e.setSeverity(DEBUG);
  logger.logException(e);
  logger.closeGeneralLogFile();
  EXPECT_EQ("", read_file(dir + "/debug.log"));
}

TEST_F(LogUtilTest, SeparateSqlLogIgnoresLevelAndHasNoHeader)
{
  QENSpecificLogUtil logger;
  ASSERT_TRUE(openSqlLog(logger, (dir + "/sql.log"), 2));
  logger.logSql(DEBUG, "select a from t where b like '%s%d'");
  logger.logSql(ERROR, "update t set x = 1");
  logger.closeSqlLogFile();
  EXPECT_EQ("select a from t where b like '%s%d'\nupdate t set x = 1\n", read_file(dir + "/sql.log"));
}

TEST_F(LogUtilTest, SeparateSqlLogToStandardError)
{
  QENSpecificLogUtil logger;
  logger.enableSqlLog(true);
  logger.setSeparateSqlLogs(true);
  logger.setSqlLoggingMode(1, true);
  testing::internal::CaptureStderr();
  logger.logSql(INFO, "select 42");
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ("select 42\n", err);

  logger.setSqlLoggingMode(1, false);
  testing::internal::CaptureStderr();
  logger.logSql(INFO, "select 43");
  EXPECT_EQ("", testing::internal::GetCapturedStderr());
}

TEST_F(LogUtilTest, GeneralModeOnlyWhileGeneralLoggingIsOn)
{
  QENSpecificLogUtil logger;
  logger.enableSqlLog(true);
  logger.setGeneralLoggingMode(1, true);  // general logging off: ignored
  testing::internal::CaptureStderr();
  logger.logSql(ERROR, "select 1");
  EXPECT_EQ("", testing::internal::GetCapturedStderr());

  logger.enableGeneralLog(true);
  logger.setGeneralLoggingMode(1, true);
  testing::internal::CaptureStderr();
  logger.logSql(ERROR, "select 2");
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(std::regex_match(err, std::regex(headerPattern("ERROR") + "select 2\n" + headerPattern("ERROR") + "\n\n")))
      << err;
}

TEST_F(LogUtilTest, CallbackFileRules)
{
  QENLogCallback callback;
  std::string path = dir + "/cb.log";
  EXPECT_FALSE(callback.openLogFile(ACE_CString(path.c_str()), 2));
  EXPECT_FALSE(exists(path));
  callback.setFileOutput(true);
  EXPECT_TRUE(callback.openLogFile(ACE_CString(path.c_str()), 2));
  EXPECT_FALSE(callback.openLogFile(ACE_CString(path.c_str()), 2));
  callback.closeLogFile();
  callback.closeLogFile();

  std::string bad = dir + "/missing/dir/x.log";
  try {
    callback.openLogFile(ACE_CString(bad.c_str()), 2);
    FAIL();
  } catch (const QENFileException& e) {
    EXPECT_EQ("Cannot open file " + bad + ": No such file or directory\n", str(e.getErrorMsg()));
    EXPECT_EQ(ERROR, e.getSeverity());
  }
}

TEST_F(LogUtilTest, AppendVersusTruncate)
{
  std::string path = dir + "/modes.log";
  // An old file that ends inside a line: that line is marked first.
  writeAll(path, "old\ncut by an earlier run");
  {
    QENSpecificLogUtil logger;
    ASSERT_TRUE(openSqlLog(logger, path, 8));
    logger.logSql(INFO, "appended");
  }
  EXPECT_EQ("old\ncut by an earlier run [record cut]\nappended\n", read_file(path));
  {
    QENSpecificLogUtil logger;
    ASSERT_TRUE(openSqlLog(logger, path, 2));
    logger.logSql(INFO, "fresh");
  }
  EXPECT_EQ("fresh\n", read_file(path));
}

TEST_F(LogUtilTest, TimestampedFileNames)
{
  QENSpecificLogUtil logger;
  fileLogger(logger, "sql%t.log", "ALL");
  logger.closeGeneralLogFile();
  std::vector<std::string> names = listFolder(dir);
  ASSERT_EQ(1u, names.size());
  EXPECT_TRUE(std::regex_match(names[0], std::regex("sql_[0-9]{4}-[0-9]{2}-[0-9]{2}_[0-9]{2}-[0-9]{2}-[0-9]{2}\\.log")))
      << names[0];

  QENSpecificLogUtil plain;
  fileLogger(plain, "plain.log", "ALL");
  plain.closeGeneralLogFile();
  EXPECT_TRUE(exists(dir + "/plain.log"));
}

TEST_F(LogUtilTest, ExceptionInGeneralLog)
{
  QENSpecificLogUtil logger;
  fileLogger(logger, "exc.log", "WARNING");
  QENFileException e("thrower.cpp", 77, ERROR, "it broke");
  e.addStack("catcher.cpp", 88);
  testing::internal::CaptureStdout();
  logger.logException(e);
  std::string out = testing::internal::GetCapturedStdout();
  logger.closeGeneralLogFile();

  const std::string trace = "Exception Stack Trace\nFile: thrower.cpp, Line: 77.\nFile: catcher.cpp, Line: 88.\n";
  EXPECT_EQ(trace + "\n", out);
  std::string content = read_file(dir + "/exc.log");
  std::string stamp = "[0-9]{4}/[0-9]{2}/[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} : ";
  std::regex expected("\\[ERROR\\] " + stamp + " File: [^ ]*QENLogUtil\\.cpp Line: ([0-9]+) " +
                      "Exception Message:it broke\n\n" +
                      "\\[ERROR\\] " + stamp + " File: [^ ]*QENLogUtil\\.cpp Line: ([0-9]+) " +
                      "Exception Stack Trace\nFile: thrower\\.cpp, Line: 77\\.\nFile: catcher\\.cpp, Line: 88\\.\n\n");
  std::smatch match;
  ASSERT_TRUE(std::regex_match(content, match, expected)) << content;
  EXPECT_NE(match[1].str(), match[2].str());
}

TEST_F(LogUtilTest, NestedTraceIndentation)
{
  QENSpecificLogUtil logger;
  fileLogger(logger, "trace.log", "ALL");
  QENLogTrace::enableTrace();
  {
    QENLogTrace outer(&logger, "outer", __LINE__, __FILE__);
    {
      QENLogTrace middle(&logger, "middle", __LINE__, __FILE__);
      {
        QENLogTrace inner(&logger, "inner", __LINE__, __FILE__);
      }
    }
  }
  QENLogTrace::disableTrace();
  {
    QENLogTrace silent(&logger, "silent", __LINE__, __FILE__);
  }
  QENLogTrace nothing(nullptr, "none", 0, "");
  logger.closeGeneralLogFile();
  EXPECT_EQ(std::string("    ENTER [outer]\n") +
                "       ENTER [middle]\n"
                "          ENTER [inner]\n"
                "          EXIT  [inner]\n"
                "       EXIT  [middle]\n"
                "    EXIT  [outer]\n",
            read_file(dir + "/trace.log"));
}

TEST_F(LogUtilTest, LongTraceNameIsCut)
{
  QENSpecificLogUtil logger;
  fileLogger(logger, "long.log", "ALL");
  QENLogTrace::enableTrace();
  std::string name(5000, 'n');
  {
    QENLogTrace trace(&logger, name.c_str(), 1, "f");
  }
  QENLogTrace::disableTrace();
  logger.closeGeneralLogFile();
  std::string content = read_file(dir + "/long.log");
  EXPECT_NE(std::string::npos, content.find("ENTER [" + std::string(2047, 'n') + "]"));
  EXPECT_EQ(std::string::npos, content.find(std::string(2048, 'n')));
}

TEST_F(LogUtilTest, DatabaseErrorTextIsNotAFormat)
{
  QENSpecificLogUtil logger;
  ACE_LOG_MSG->set_flags(ACE_Log_Msg::STDERR);
  testing::internal::CaptureStderr();
  logger.logDbError(ERROR, "ORA-1: 100% %s %d %t %n");
  std::string err = testing::internal::GetCapturedStderr();
  ACE_LOG_MSG->clr_flags(ACE_Log_Msg::STDERR);
  EXPECT_EQ("ORA-1: 100% %s %d %t %n", err);
  logger.logError("f", 1, ERROR, "%s", nullptr);
  logger.logDebug("f", 1, DEBUG, "%s", nullptr);
}

TEST_F(LogUtilTest, ThreadsSharingALoggerKeepEveryRecordWhole)
{
  const int threads = 8;
  const int records = 500;
  // One section logger shared by all threads, with the SQL text in the
  // separate SQL log or in the general log.
  for (bool separate : {true, false}) {
    SCOPED_TRACE(separate ? "separate SQL log" : "general log");
    const std::string path = dir + (separate ? "/shared_sql.log" : "/shared_general.log");
    std::vector<std::string> statements;
    {
      QENSpecificLogUtil logger;
      logger.enableSqlLog(true);
      if (separate)
        ASSERT_TRUE(openSqlLog(logger, path, 2));
      else
        logger.ODBCInitialize(true, false, const_cast<char*>(path.c_str()), const_cast<char*>("INFO"));
      logFromThreads(threads, records, [&logger](const std::string& sql) { logger.logSql(INFO, sql.c_str()); });
    }
    const std::string content = read_file(path);
    statements = separate ? splitLines(content) : generalLogStatements(content, "INFO");
    EXPECT_EQ(static_cast<std::size_t>(threads * records), statements.size());
    EXPECT_EQ(threads * records, wholeAndOnce(statements, threads, records));
  }
}

TEST_F(LogUtilTest, LongTextIsWrittenWhole)
{
  std::string sql = "select ";
  for (int i = 0; sql.size() < 10000; ++i)
    sql += "c" + std::to_string(i) + ", ";
  sql += "last from t";
  const std::string message(10000, 'm');
  const std::string stamp = "[0-9]{4}/[0-9]{2}/[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} : ";
  const struct
  {
    const char* name;
    std::function<void(QENSpecificLogUtil&, const std::string&)> log;
    std::string expected;  // a pattern
  } rows[] = {
      {"general", [&](QENSpecificLogUtil& logger, const std::string&) { logger.logSql(ERROR, sql.c_str()); },
       headerPattern("ERROR") + sql + "\n" + headerPattern("ERROR") + "\n\n"},
      {"separate",
       [&](QENSpecificLogUtil& logger, const std::string& path) {
         openSqlLog(logger, path, 2);
         logger.logSql(ERROR, sql.c_str());
         logger.closeSqlLogFile();
       },
       sql + "\n"},
      {"exception",
       [&](QENSpecificLogUtil& logger, const std::string&) {
         testing::internal::CaptureStdout();
         logger.logException(QENFileException("f.cpp", 1, ERROR, message.c_str()));
         testing::internal::GetCapturedStdout();
       },
       "\\[ERROR\\] " + stamp + " File: [^ ]* Line: [0-9]+ Exception Message:" + message + "\n\n" +
           "\\[ERROR\\] " + stamp + " File: [^ ]* Line: [0-9]+ Exception Stack Trace\nFile: f\\.cpp, Line: 1\\.\n\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = dir + "/" + row.name + ".log";
    QENSpecificLogUtil logger;
    fileLogger(logger, std::string(row.name) + "_general.log", "WARNING");
    logger.enableSqlLog(true);
    row.log(logger, path);
    logger.closeGeneralLogFile();
    const std::string content = read_file(exists(path) ? path : dir + "/" + row.name + "_general.log");
    EXPECT_TRUE(std::regex_match(content, std::regex(row.expected))) << content.size() << " bytes";
  }
}

TEST_F(LogUtilTest, ASqlLogThatTakesNoDataIsSaidOnceAndGoesOnOnceItDoes)
{
  // A file-size limit stops the file 4 KiB into a long record. The general
  // log writes through the same file code.
  const std::string path = dir + "/stopped.log";
  QENSpecificLogUtil logger;
  ASSERT_TRUE(openSqlLog(logger, path, 2));
  const std::string text = "select '" + std::string(5000, 'x') + "'";
  testing::internal::CaptureStderr();
  {
    FileSizeLimit limit(4096);
    logger.logSql(ERROR, text.c_str());
    logger.logSql(ERROR, "select 1");
  }
  logger.logSql(ERROR, "select 2");
  logger.closeSqlLogFile();
  EXPECT_EQ("Cannot write file " + path + ": File too large; log records are being lost\n",
            testing::internal::GetCapturedStderr());
  EXPECT_EQ(text.substr(0, 4096) + " [record cut]\nselect 2\n", read_file(path));
}

// The process-wide general logger: driver initialisation, its log file and
// its life cycle.
#include <gtest/gtest.h>


#include <cerrno>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include <ace/Log_Msg.h>

#include "QENLogUtil.h"
#include "log_test_support.h"

using namespace qen_util;

TEST(GeneralLogTest, DriverInitialisationLogsToTimestampedFile)
{
  std::string dir = freshFolder("general_log_driver");
  ASSERT_FALSE(dir.empty());
  QENGeneralLogUtil* general = QENGeneralLogUtil::instance();
  ASSERT_TRUE(QENGeneralLogUtil::isInstantiated());
  EXPECT_EQ(general, QENGeneralLogUtil::instance());
  EXPECT_TRUE(general->isNotInitialized());

  std::string name = dir + "/driver%t.log";
  general->ODBCInitialize(true, false, const_cast<char*>(name.c_str()), const_cast<char*>("info"));
  EXPECT_FALSE(general->isNotInitialized());
  EXPECT_EQ(2029, general->getLoggingLevel());
  // Standard error is switched off for the whole framework.
  EXPECT_EQ(0u, ACE_LOG_MSG->flags() & ACE_Log_Msg::STDERR);

  general->enableSqlLog(true);
  general->logSql(DEBUG, "select 1");
  general->logSql(INFO, "select 2");
  general->logSql(NOTICE, "select 3");  // not in the INFO mask
  general->logSql(TRACE, "select 4");
  general->closeGeneralLogFile();

  std::vector<std::string> names = listFolder(dir);
  ASSERT_EQ(1u, names.size());
  EXPECT_TRUE(std::regex_match(names[0], std::regex("driver_[0-9]{4}-[0-9]{2}-[0-9]{2}_[0-9]{2}-[0-9]{2}-[0-9]{2}\\.log")));
  std::string content = read_file(dir + "/" + names[0]);
  std::regex expected(headerPattern("DEBUG") + "select 1\n" + headerPattern("DEBUG") + "\n\n" +
                      headerPattern("INFO") + "select 2\n" + headerPattern("INFO") + "\n\n");
  EXPECT_TRUE(std::regex_match(content, expected)) << content;
}

TEST(GeneralLogTest, OpenFailureIsReported)
{
  QENGeneralLogUtil* general = QENGeneralLogUtil::instance();
  EXPECT_FALSE(general->openGeneralLogFile("/nonexistent/dir/general.log", 2));
  EXPECT_EQ(errno, ENOENT);
  // A file that is not a regular one leaves an error number a host can print.
  EXPECT_FALSE(general->openGeneralLogFile("/dev/null", 2));
  EXPECT_STREQ(strerror(errno), "No such device");
  std::string dir = freshFolder("general_log_reopen");
  EXPECT_TRUE(general->openGeneralLogFile((dir + "/a.log").c_str(), 2));
  // Reopening switches to the new file.
  EXPECT_TRUE(general->openGeneralLogFile((dir + "/b.log").c_str(), 8));
  general->enableGeneralLog(true);
  general->enableSqlLog(true);
  general->setGeneralLoggingMode(4, true);
  general->setGeneralLoggingMode(1, false);
  general->setLoggingLevel(2047);
  general->logSql(ERROR, "into b");
  general->closeGeneralLogFile();
  EXPECT_EQ("", read_file(dir + "/a.log"));
  EXPECT_NE(std::string::npos, read_file(dir + "/b.log").find("into b"));
}

TEST(GeneralLogTest, ThreadsSharingTheGeneralLoggerKeepEveryRecordWhole)
{
  const int threads = 8;
  const int records = 500;
  std::string dir = freshFolder("general_log_threads");
  ASSERT_FALSE(dir.empty());
  std::string path = dir + "/shared.log";
  QENGeneralLogUtil* general = QENGeneralLogUtil::instance();
  general->ODBCInitialize(true, false, const_cast<char*>(path.c_str()), const_cast<char*>("INFO"));
  general->enableSqlLog(true);
  logFromThreads(threads, records, [general](const std::string& sql) { general->logSql(INFO, sql.c_str()); });
  general->closeGeneralLogFile();

  std::vector<std::string> statements = generalLogStatements(read_file(path), "INFO");
  EXPECT_EQ(static_cast<std::size_t>(threads * records), statements.size());
  EXPECT_EQ(threads * records, wholeAndOnce(statements, threads, records));
}

TEST(GeneralLogTest, CleanupAndRecreate)
{
  QENGeneralLogUtil::instance();
  QENGeneralLogUtil::cleanup();
  EXPECT_FALSE(QENGeneralLogUtil::isInstantiated());
  QENGeneralLogUtil::cleanup();  // nothing left to release
  QENGeneralLogUtil* fresh = QENGeneralLogUtil::instance();
  ASSERT_NE(nullptr, fresh);
  EXPECT_TRUE(fresh->isNotInitialized());
  EXPECT_TRUE(QENGeneralLogUtil::isInstantiated());
}

TEST(GeneralLogTest, DefaultLevelForLaterLoggers)
{
  const int saved = QENLogUtil::getDefaultLoggingLevel();
  EXPECT_EQ(2017, saved);
  QENLogUtil::setDefaultLoggingLevel(2047);
  QENSpecificLogUtil logger;
  EXPECT_EQ(2047, logger.getLoggingLevel());
  QENLogUtil::setDefaultLoggingLevel(saved);
}

TEST(GeneralLogTest, DriverInitialisationSaysOnceWhenItsFileCannotBeOpened)
{
  const std::string path = "/nonexistent/dir/driver.log";
  QENGeneralLogUtil* general = QENGeneralLogUtil::instance();
  general->enableSqlLog(true);
  testing::internal::CaptureStderr();
  general->ODBCInitialize(true, false, const_cast<char*>(path.c_str()), const_cast<char*>("INFO"));
  general->logSql(INFO, "select 1");
  general->logSql(INFO, "select 2");
  EXPECT_EQ(" Cannot open file " + path + ": No such file or directory\n", testing::internal::GetCapturedStderr());
  general->closeGeneralLogFile();
}

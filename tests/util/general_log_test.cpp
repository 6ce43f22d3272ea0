// The process-wide general logger: driver initialisation, its log file and
// its life cycle.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
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

TEST(GeneralLogTest, DriverInitialisationSaysWhenItsFileCannotBeOpenedOrWritten)
{
  const std::string dir = freshFolder("general_log_unopenable");
  ASSERT_FALSE(dir.empty());
  const struct
  {
    std::string path;
    std::string said;
  } rows[] = {
      {dir + "/missing/driver.log", " Cannot open file " + dir + "/missing/driver.log: No such file or directory\n"},
      {dir, " Cannot open file " + dir + ": Is a directory\n"},
      {"/dev/full", " Cannot open file /dev/full: not a regular file\n"},
  };
  QENGeneralLogUtil* general = QENGeneralLogUtil::instance();
  general->enableSqlLog(true);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path);
    testing::internal::CaptureStderr();
    general->ODBCInitialize(true, false, const_cast<char*>(row.path.c_str()), const_cast<char*>("INFO"));
    general->logSql(INFO, "select 1");
    general->logSql(INFO, "select 2");
    EXPECT_EQ(row.said, testing::internal::GetCapturedStderr());
  }
  general->closeGeneralLogFile();
}

TEST(GeneralLogTest, AFullDiskLosesRecordsAloudAndTheLogGoesOnOnceThereIsRoom)
{
  // The general logger's file and a section logger's SQL log.
  QENSpecificLogUtil section;
  QENGeneralLogUtil* general = QENGeneralLogUtil::instance();
  const struct
  {
    const char* name;
    QENLogUtil* logger;
    std::function<void(const std::string&)> open;
    std::function<std::vector<std::string>(const std::string&)> records;
  } rows[] = {
      {"general", general,
       [general](const std::string& path) {
         general->ODBCInitialize(true, false, const_cast<char*>(path.c_str()), const_cast<char*>("INFO"));
       },
       [](const std::string& content) { return generalLogStatements(content, "INFO"); }},
      {"section", &section,
       [&section](const std::string& path) {
         section.setSeparateSqlLogs(true);
         section.setSqlLoggingMode(4, true);
         section.openSqlLogFile(path.c_str(), 2);
       },
       [](const std::string& content) { return splitLines(content); }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    SmallDisk disk(std::string("general_log_full_") + row.name);
    if (!disk.mounted)
      GTEST_SKIP() << "no tmpfs can be mounted here";
    const std::string path = disk.dir + "/records.log";
    row.logger->enableSqlLog(true);
    row.open(path);
    ASSERT_TRUE(disk.fill());
    testing::internal::CaptureStderr();
    row.logger->logSql(INFO, "select 1");
    row.logger->logSql(INFO, "select 2");
    EXPECT_EQ("Cannot write file " + path + ": No space left on device; log records are being lost\n",
              testing::internal::GetCapturedStderr());
    disk.makeRoom();
    testing::internal::CaptureStderr();
    row.logger->logSql(INFO, "select 3");
    row.logger->logSql(INFO, "select 4");
    EXPECT_EQ("", testing::internal::GetCapturedStderr());
    EXPECT_EQ((std::vector<std::string>{"select 3", "select 4"}), row.records(read_file(path)));
    row.logger->closeGeneralLogFile();
    row.logger->closeSqlLogFile();
  }
}

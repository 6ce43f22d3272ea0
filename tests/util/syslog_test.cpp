// The database-error log towards the system log, observed by replacing the
// C library's syslog functions in this executable.
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "QENLogUtil.h"

namespace {

struct SyslogRecord
{
  int priority;
  std::string text;
};

std::mutex recordLock;
std::vector<SyslogRecord> records;
std::vector<std::string> idents;

void record(int priority, const char* format, va_list args)
{
  char buffer[8192];
  std::vsnprintf(buffer, sizeof buffer, format, args);
  std::lock_guard<std::mutex> guard(recordLock);
  records.push_back({priority & 7, buffer});
}

}  // namespace

#define QEN_INTERPOSE extern "C" __attribute__((visibility("default")))

QEN_INTERPOSE void openlog(const char* ident, int, int)
{
  std::lock_guard<std::mutex> guard(recordLock);
  idents.push_back(ident ? ident : "");
}

QEN_INTERPOSE void closelog() {}

QEN_INTERPOSE void vsyslog(int priority, const char* format, va_list args)
{
  record(priority, format, args);
}

QEN_INTERPOSE void syslog(int priority, const char* format, ...)
{
  va_list args;
  va_start(args, format);
  record(priority, format, args);
  va_end(args);
}

QEN_INTERPOSE void __syslog_chk(int priority, int, const char* format, ...)
{
  va_list args;
  va_start(args, format);
  record(priority, format, args);
  va_end(args);
}

QEN_INTERPOSE void __vsyslog_chk(int priority, int, const char* format, va_list args)
{
  record(priority, format, args);
}

using namespace qen_util;

TEST(SyslogTest, DatabaseErrorsGoToTheSystemLogWithTheirPriority)
{
  QENSpecificLogUtil logger;
  logger.init("qen-test-program");
  {
    std::lock_guard<std::mutex> guard(recordLock);
    ASSERT_FALSE(idents.empty());
    EXPECT_EQ("qen-test-program", idents.back());
    records.clear();
  }
  logger.logDbError(ERROR, "connection lost: 100% %s");
  logger.logDbError(WARNING, "slow query");
  logger.logDbError(CRITICAL, "first line\nsecond line");
  logger.logDbError(INFO, "info");
  logger.logDbError(DEBUG, "debug");

  std::lock_guard<std::mutex> guard(recordLock);
  ASSERT_EQ(6u, records.size());
  EXPECT_EQ(3, records[0].priority);  // LOG_ERR
  EXPECT_EQ("connection lost: 100% %s", records[0].text);
  EXPECT_EQ(4, records[1].priority);  // LOG_WARNING
  EXPECT_EQ("slow query", records[1].text);
  EXPECT_EQ(2, records[2].priority);  // LOG_CRIT, one record per line
  EXPECT_EQ("first line", records[2].text);
  EXPECT_EQ(2, records[3].priority);
  EXPECT_EQ("second line", records[3].text);
  EXPECT_EQ(6, records[4].priority);  // LOG_INFO
  EXPECT_EQ(7, records[5].priority);  // LOG_DEBUG
}

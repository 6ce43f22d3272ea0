// Faults around the files of the logging service: Logging.ini or a log file
// that is not a regular file (a FIFO, a link to /dev/zero) is refused with a
// message instead of blocking or being read without end; a Logging.ini that
// cannot be read is named with its path and the reason; a log line cut by a
// failed write is ended and marked before the next one once the file takes
// data again.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include <ace/Log_Msg.h>

#include "QENLogConfig.h"
#include "QENLogUtil.h"
#include "log_test_support.h"
#include "shell_command.h"

using namespace qen_util;

namespace {

class LogFaults : public testing::Test
{
protected:
  void SetUp() override
  {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    work = freshFolder(std::string("log_faults_") + testing::UnitTest::GetInstance()->current_test_info()->name());
    ASSERT_FALSE(work.empty());
  }

  /// Child-side start: a clean environment, the working folder, and a
  /// time limit, so that an open or a read that blocks fails the case.
  void enter() const
  {
    ::unsetenv("QEN_LOG_INI_FILE");
    ::unsetenv("QEN_LOG_INI_DIR");
    ::alarm(20);
    if (::chdir(work.c_str()) != 0)
      std::exit(3);
  }

  /// Makes path what the row names: a FIFO, a link to /dev/zero, a folder,
  /// or a file that its reader may not read.
  static void make(const std::string& path, const std::string& what)
  {
    if (what == "FIFO")
      ASSERT_EQ(0, ::mkfifo(path.c_str(), 0644));
    else if (what == "link to /dev/zero")
      ASSERT_EQ(0, ::symlink("/dev/zero", path.c_str()));
    else if (what == "folder")
      ASSERT_EQ(0, ::mkdir(path.c_str(), 0755));
    else if (what == "mode 000") {
      writeAll(path, "[LOGGING_DEFAULT]\nLOGGING_LEVEL=2047\n");
      ASSERT_EQ(0, ::chmod(path.c_str(), 0));
    }
  }

  std::string work;
};

}  // namespace

TEST_F(LogFaults, ALoggingIniThatCannotBeReadIsNamedWithItsPathAndReason)
{
  const struct
  {
    const char* what;
    const char* reason;
  } rows[] = {
      {"FIFO", "not a regular file"},
      {"folder", "Is a directory"},
      {"mode 000", "Permission denied"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const std::string ini = work + "/Logging.ini";
    ASSERT_EQ(0, std::system(("rm -rf " + qen_test::shell_quote(ini)).c_str()));
    make(ini, row.what);
    auto scenario = [&]() -> std::string {
      enter();
      // The superuser reads any file: the reader runs as nobody.
      if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
        return "cannot become nobody";
      CHECK(generalLevel() == 2017);  // every key at its default
      return "";
    };
    EXPECT_EXIT(finish(scenario()), testing::ExitedWithCode(0),
                exactly("Error with ini file " + ini + ": " + row.reason + "\n"));
  }
}

TEST_F(LogFaults, ALogFileThatIsNotARegularFileIsRefused)
{
  const struct
  {
    const char* what;
    const char* keys;  // what opens the file named LOG
  } rows[] = {
      {"FIFO", "GENERAL_LOGGING_ENABLED=1\nGENERAL_FILE_OUTPUT_ENABLED=1\nGENERAL_LOG_FILE=LOG\n"},
      {"link to /dev/zero", "SQL_FILE_OUTPUT_ENABLED=1\nSQL_LOG_FILE=LOG\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.what) + ": " + row.keys);
    const std::string log = work + "/named.log";
    ASSERT_EQ(0, std::system(("rm -rf " + qen_test::shell_quote(log)).c_str()));
    make(log, row.what);
    std::string keys = row.keys;
    keys.replace(keys.find("LOG\n"), 3, log);
    writeAll(work + "/Logging.ini", "[LOGGING_DEFAULT]\n[SEC]\n" + keys);
    auto scenario = [&]() -> std::string {
      enter();
      QENLogUtil* section = QENLogConfig::instance()->readConfig(ACE_CString("SEC"));
      CHECK(section != nullptr);
      section->enableSqlLog(true);
      section->logSql(ERROR, "select 1");
      return "";
    };
    EXPECT_EXIT(finish(scenario()), testing::ExitedWithCode(0),
                exactly(" Cannot open file " + log + ": not a regular file\n"));
  }
}

TEST_F(LogFaults, ALineCutByAFailedWriteIsMarkedAndTheNextStartsALineOfItsOwn)
{
  // The file stops taking data 4 KiB into a long record: at a file-size
  // limit, or on a full disk (a small tmpfs, where the file's page fills).
  // Standard error output of the framework is process-wide: only the
  // logger's file writes.
  ACE_LOG_MSG->clr_flags(ACE_Log_Msg::STDERR);
  const std::string text = "select '" + std::string(5000, 'x') + "'";
  const struct
  {
    const char* name;
    const char* reason;
  } rows[] = {
      {"file-size limit", "File too large"},
      {"full disk", "No space left on device"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const bool disk = std::string(row.name) == "full disk";
    SmallDisk small(std::string("log_faults_disk"));
    if (disk && !small.mounted) {
      std::printf("no tmpfs can be mounted here (root only): the full-disk case is skipped\n");
      continue;
    }
    const std::string path = (disk ? small.dir : work) + "/cut.log";
    QENSpecificLogUtil logger;
    logger.enableSqlLog(true);
    logger.ODBCInitialize(true, false, const_cast<char*>(path.c_str()), const_cast<char*>("ALL"));
    logger.logSql(ERROR, "select 1");
    testing::internal::CaptureStderr();
    {
      std::unique_ptr<FileSizeLimit> limit;
      if (disk)
        ASSERT_TRUE(small.fill());
      else
        limit = std::make_unique<FileSizeLimit>(4096);
      logger.logSql(ERROR, text.c_str());
      logger.logSql(ERROR, "select 2");
    }
    small.makeRoom();
    logger.logSql(ERROR, "select 3");
    logger.closeGeneralLogFile();
    EXPECT_EQ("Cannot write file " + path + ": " + row.reason + "; log records are being lost\n",
              testing::internal::GetCapturedStderr());
    const std::string content = read_file(path);
    std::vector<std::string> lines = splitLines(content);
    ASSERT_EQ(lines.size(), 7u) << content.substr(0, 300);
    EXPECT_TRUE(std::regex_match(lines[3], std::regex(headerPattern("ERROR") + "select 'x+ \\[record cut\\]")))
        << lines[3].substr(0, 80);
    EXPECT_EQ(content.find(" [record cut]"), 4096u);
    lines.erase(lines.begin() + 3);
    std::string rest;
    for (const std::string& line : lines)
      rest += line + "\n";
    EXPECT_EQ(generalLogStatements(rest, "ERROR"), (std::vector<std::string>{"select 1", "select 3"}));
  }
}

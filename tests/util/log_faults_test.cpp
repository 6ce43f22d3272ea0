// Faults around the files of the logging service: Logging.ini or a log file
// that is not a regular file (a FIFO, a link to /dev/zero) is refused with a
// message instead of blocking or being read without end; a Logging.ini that
// cannot be read is named with its path and the reason.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

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

TEST_F(LogFaults, AFileThatCannotBeUsedIsNamedWithItsPathAndReason)
{
  const struct
  {
    const char* what;
    const char* keys;  // what opens the log file named LOG; none: Logging.ini is the file
    const char* said;  // before the path
    const char* reason;
  } rows[] = {
      {"FIFO", nullptr, "Error with ini file ", "not a regular file"},
      {"folder", nullptr, "Error with ini file ", "Is a directory"},
      {"mode 000", nullptr, "Error with ini file ", "Permission denied"},
      {"FIFO", "GENERAL_LOGGING_ENABLED=1\nGENERAL_FILE_OUTPUT_ENABLED=1\nGENERAL_LOG_FILE=LOG\n", " Cannot open file ",
       "not a regular file"},
      {"link to /dev/zero", "SQL_FILE_OUTPUT_ENABLED=1\nSQL_LOG_FILE=LOG\n", " Cannot open file ", "not a regular file"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.what) + ": " + (row.keys ? row.keys : "Logging.ini"));
    const std::string ini = work + "/Logging.ini", path = row.keys ? work + "/named.log" : ini;
    ASSERT_EQ(0, std::system(("rm -rf " + qen_test::shell_quote(ini) + " " + qen_test::shell_quote(path)).c_str()));
    make(path, row.what);
    if (row.keys) {
      std::string keys = row.keys;
      writeAll(ini, "[LOGGING_DEFAULT]\n[SEC]\n" + keys.replace(keys.find("LOG\n"), 3, path));
    }
    auto scenario = [&]() -> std::string {
      enter();
      // The superuser reads any file: the reader of Logging.ini runs as nobody.
      if (!row.keys && ::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
        return "cannot become nobody";
      CHECK(generalLevel() == 2017);  // every key at its default
      if (row.keys) {
        QENLogUtil* section = QENLogConfig::instance()->readConfig(ACE_CString("SEC"));
        CHECK(section != nullptr);
        section->enableSqlLog(true);
        section->logSql(ERROR, "select 1");
      }
      return "";
    };
    EXPECT_EXIT(finish(scenario()), testing::ExitedWithCode(0), exactly(row.said + path + ": " + row.reason + "\n"));
  }
}

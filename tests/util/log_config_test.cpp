// "Logging.ini" discovery and the loggers it configures. Each scenario runs
// in a child process of its own: the configuration, the general logger, the
// environment and the working folder are process-wide.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <thread>
#include <vector>
#include <unistd.h>

#include "QENLogConfig.h"
#include "log_test_support.h"
#include "shell_command.h"

using namespace qen_util;

namespace {

class LogConfigTest : public testing::Test
{
protected:
  void SetUp() override
  {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    base = freshFolder(std::string("log_config_") +
                       testing::UnitTest::GetInstance()->current_test_info()->name());
    ASSERT_FALSE(base.empty());
    // Deep enough that "../../Logging.ini" of the working folder is ours.
    work = base + "/top/a/b";
    ASSERT_EQ(0, std::system(("mkdir -p " + qen_test::shell_quote(work) + " " +
                              qen_test::shell_quote(base + "/dir")).c_str()));
  }

  /// Child-side start: a clean environment and the working folder.
  static void enter(const std::string& folder)
  {
    ::unsetenv("QEN_LOG_INI_FILE");
    ::unsetenv("QEN_LOG_INI_DIR");
    if (::chdir(folder.c_str()) != 0)
      std::exit(3);
  }

  static std::string levelIni(int level)
  {
    return "[LOGGING_DEFAULT]\nLOGGING_LEVEL=" + std::to_string(level) + "\n";
  }

  std::string base;
  std::string work;
};

}  // namespace

TEST_F(LogConfigTest, FileVariableSectionsAndLoggers)
{
  const std::string ini = base + "/custom.ini";
  writeAll(ini,
           "[LOGGING_DEFAULT]\n"
           "GENERAL_LOGGING_ENABLED=yes\n"
           "GENERAL_FILE_OUTPUT_ENABLED=1\n"
           "LOGGING_LEVEL=2047\n"
           "GENERAL_LOG_FILE=" + base + "/general%t.log\n"
           "SQL_LOGGING_ENABLED=TRUE\n"
           "[CLIENT_A]\n"
           "GENERAL_LOGGING_ENABLED=Y\n"
           "LOGGING_LEVEL=2021\n"
           "[CLIENT_B]\n"
           "SQL_LOGGING_ENABLED=no\n");
  writeAll(base + "/dir/Logging.ini", levelIni(1));
  auto scenario = [&]() -> std::string {
    enter(work);
    ::setenv("QEN_LOG_INI_FILE", ini.c_str(), 1);
    ::setenv("QEN_LOG_INI_DIR", (base + "/dir").c_str(), 1);
    QENLogConfig* config = QENLogConfig::instance();
    CHECK(config != nullptr);
    CHECK(config == QENLogConfig::instance());
    QENLogUtil* general = config->getDefaultLogUtil();
    CHECK(general == QENGeneralLogUtil::instance());
    CHECK(config->readConfig(ACE_CString("LOGGING_DEFAULT")) == general);
    CHECK(general->getLoggingLevel() == 2047);
    CHECK(general->isGeneralLogEnabled());
    CHECK(QENLogUtil::getDefaultLoggingLevel() == 2047);

    QENLogUtil* a = config->readConfig(ACE_CString("CLIENT_A"));
    QENLogUtil* b = config->readConfig(ACE_CString("CLIENT_B"));
    CHECK(a != nullptr && b != nullptr && a != b && a != general);
    CHECK(config->readConfig(ACE_CString("CLIENT_A")) == a);
    CHECK(dynamic_cast<QENSpecificLogUtil*>(a) != nullptr);
    CHECK(a->getLoggingLevel() == 2021);
    CHECK(a->isGeneralLogEnabled());
    CHECK(b->getLoggingLevel() == 2047);  // the general logger's level
    CHECK(!b->isGeneralLogEnabled());
    CHECK(config->readConfig(ACE_CString("client_a")) != a);  // names are case-sensitive

    general->logSql(NOTICE, "select from config");
    general->closeGeneralLogFile();
    std::vector<std::string> names = listFolder(base);
    std::string logName;
    for (const std::string& name : names)
      if (name.rfind("general_", 0) == 0)
        logName = name;
    CHECK(std::regex_match(logName, std::regex("general_[0-9_-]{19}\\.log")));
    CHECK(std::regex_match(read_file(base + "/" + logName),
                           std::regex(headerPattern("NOTICE") + "select from config\n" +
                                      headerPattern("NOTICE") + "\n\n")));
    return "";
  };
  EXPECT_EXIT(finish(scenario()), testing::ExitedWithCode(0), "");
}

TEST_F(LogConfigTest, MissingFileVariableFallsBackToWorkingFolderNotDirectory)
{
  writeAll(base + "/dir/Logging.ini", levelIni(2021));
  writeAll(work + "/Logging.ini", levelIni(2029));
  auto scenario = [&]() -> std::string {
    enter(work);
    ::setenv("QEN_LOG_INI_FILE", (base + "/missing.ini").c_str(), 1);
    ::setenv("QEN_LOG_INI_DIR", (base + "/dir").c_str(), 1);
    CHECK(generalLevel() == 2029);
    return "";
  };
  EXPECT_EXIT(finish(scenario()), testing::ExitedWithCode(0), "");
}

TEST_F(LogConfigTest, DirectoryVariableComesFirst)
{
  writeAll(base + "/dir/Logging.ini", levelIni(2021));
  writeAll(work + "/Logging.ini", levelIni(2029));
  auto scenario = [&]() -> std::string {
    enter(work);
    ::setenv("QEN_LOG_INI_DIR", (base + "/dir").c_str(), 1);
    CHECK(generalLevel() == 2021);
    return "";
  };
  EXPECT_EXIT(finish(scenario()), testing::ExitedWithCode(0), "");
}

TEST_F(LogConfigTest, DirectoryWithoutFileThenWorkingFolder)
{
  writeAll(work + "/Logging.ini", levelIni(2029));
  auto scenario = [&]() -> std::string {
    enter(work);
    ::setenv("QEN_LOG_INI_DIR", (base + "/dir").c_str(), 1);
    CHECK(generalLevel() == 2029);
    return "";
  };
  EXPECT_EXIT(finish(scenario()), testing::ExitedWithCode(0), "");
}

TEST_F(LogConfigTest, TwoFoldersUpLast)
{
  writeAll(base + "/top/Logging.ini", levelIni(2047));
  auto scenario = [&]() -> std::string {
    enter(work);
    CHECK(generalLevel() == 2047);
    return "";
  };
  EXPECT_EXIT(finish(scenario()), testing::ExitedWithCode(0), "");
}

TEST_F(LogConfigTest, NoFileGivesDefaults)
{
  auto scenario = [&]() -> std::string {
    enter(work);
    QENLogTrace::enableTrace();
    QENLogConfig* config = QENLogConfig::instance();
    CHECK(config != nullptr);
    QENLogUtil* general = config->getDefaultLogUtil();
    CHECK(general == QENGeneralLogUtil::instance());
    CHECK(general->getLoggingLevel() == 2017);
    CHECK(!general->isGeneralLogEnabled());
    CHECK(general->isNotInitialized());
    CHECK(!QENLogTrace::isTraceEnabled());
    QENLogUtil* section = config->readConfig(ACE_CString("ANY"));
    CHECK(section != general && section->getLoggingLevel() == 2017);
    return "";
  };
  EXPECT_EXIT(finish(scenario()), testing::ExitedWithCode(0), "");
}

TEST_F(LogConfigTest, ExistingGeneralLoggerIsKept)
{
  writeAll(work + "/Logging.ini", levelIni(2029) + "TRACING_ENABLED=1\n");
  auto scenario = [&]() -> std::string {
    enter(work);
    QENGeneralLogUtil* general = QENGeneralLogUtil::instance();
    std::string path = base + "/driver.log";
    general->ODBCInitialize(true, false, const_cast<char*>(path.c_str()), const_cast<char*>("ALL"));
    QENLogConfig* config = QENLogConfig::instance();
    CHECK(config->getDefaultLogUtil() == general);
    CHECK(general->getLoggingLevel() == 2047);  // not configured again
    CHECK(QENLogTrace::isTraceEnabled());
    return "";
  };
  EXPECT_EXIT(finish(scenario()), testing::ExitedWithCode(0), "");
}

TEST_F(LogConfigTest, GeneralLogFileNeedsGeneralLogging)
{
  writeAll(work + "/Logging.ini",
           "[LOGGING_DEFAULT]\nGENERAL_LOG_FILE=" + base + "/never.log\n"
           "[SEC]\nGENERAL_FILE_OUTPUT_ENABLED=1\nGENERAL_LOG_FILE=" + base + "/never2.log\n");
  auto scenario = [&]() -> std::string {
    enter(work);
    QENLogConfig* config = QENLogConfig::instance();
    CHECK(config != nullptr);
    config->readConfig(ACE_CString("SEC"));
    CHECK(!exists(base + "/never.log"));
    CHECK(!exists(base + "/never2.log"));
    return "";
  };
  EXPECT_EXIT(finish(scenario()), testing::ExitedWithCode(0), "");
}

TEST_F(LogConfigTest, SqlLogFilesAndOpenModes)
{
  writeAll(base + "/a.log", "old\n");
  writeAll(base + "/b.log", "old\n");
  writeAll(work + "/Logging.ini",
           "[SQL_APPEND]\nSQL_LOGGING_ENABLED=1\nSQL_FILE_OUTPUT_ENABLED=1\nSQL_LOGS_SEPARATE=1\n"
           "SQL_FILE_OPEN_MODE=APPEND\nSQL_LOG_FILE=" + base + "/a.log\n"
           "[SQL_TRUNC]\nSQL_LOGGING_ENABLED=1\nSQL_FILE_OUTPUT_ENABLED=1\nSQL_LOGS_SEPARATE=1\n"
           "SQL_FILE_OPEN_MODE=w\nSQL_LOG_FILE=" + base + "/b.log\n"
           "[SQL_DEFAULT_MODE]\nSQL_LOGGING_ENABLED=1\nSQL_FILE_OUTPUT_ENABLED=1\nSQL_LOGS_SEPARATE=1\n"
           "SQL_LOG_FILE=" + base + "/c%t.log\n"
           "[SQL_ERR]\nSQL_LOGGING_ENABLED=1\nSQL_STDERR_ENABLED=1\nSQL_LOGS_SEPARATE=1\n");
  auto scenario = [&]() -> std::string {
    enter(work);
    QENLogConfig* config = QENLogConfig::instance();
    config->readConfig(ACE_CString("SQL_APPEND"))->logSql(DEBUG, "select a");
    config->readConfig(ACE_CString("SQL_TRUNC"))->logSql(DEBUG, "select b");
    config->readConfig(ACE_CString("SQL_DEFAULT_MODE"))->logSql(DEBUG, "select c");
    config->readConfig(ACE_CString("SQL_ERR"))->logSql(DEBUG, "select to standard error");
    QENLogConfig::destroy();  // closes the files
    CHECK(read_file(base + "/a.log") == "old\nselect a\n");
    CHECK(read_file(base + "/b.log") == "select b\n");
    bool found = false;
    for (const std::string& name : listFolder(base))
      if (std::regex_match(name, std::regex("c_[0-9_-]{19}\\.log")))
        found = read_file(base + "/" + name) == "select c\n";
    CHECK(found);
    return "";
  };
  EXPECT_EXIT(finish(scenario()), testing::ExitedWithCode(0), "select to standard error\n");
}

TEST_F(LogConfigTest, BadLinesAndUnopenableFilesAreSaidAndConfigurationGoesOn)
{
  // A byte-order mark and a long line cost nothing; a stray line is skipped.
  writeAll(work + "/Logging.ini",
           "\xEF\xBB\xBF[LOGGING_DEFAULT]\nGENERAL_LOGGING_ENABLED=1\nLOGGING_LEVEL=2029\nstray\n"
           "GENERAL_LOG_FILE=/nonexistent/dir/general.log\n"
           "[SEC]\nLONG=" + std::string(5000, 'x') + "\nGENERAL_LOGGING_ENABLED=1\nGENERAL_FILE_OUTPUT_ENABLED=1\n"
           "LOGGING_LEVEL=2021\nGENERAL_LOG_FILE=/nonexistent/dir/section.log\n"
           "SQL_FILE_OUTPUT_ENABLED=1\nSQL_LOG_FILE=/nonexistent/dir/sql.log\n");
  auto scenario = [&]() -> std::string {
    enter(work);
    CHECK(generalLevel() == 2029);
    CHECK(QENLogConfig::instance()->readConfig(ACE_CString("SEC"))->getLoggingLevel() == 2021);
    return "";
  };
  EXPECT_EXIT(finish(scenario()), testing::ExitedWithCode(0),
              exactly("Logging.ini, line 4: a line without '='; the line is skipped\n"
                      " Cannot open file /nonexistent/dir/general.log: No such file or directory\n"
                      " Cannot open file /nonexistent/dir/section.log: No such file or directory\n"
                      " Cannot open file /nonexistent/dir/sql.log: No such file or directory\n"));
}

TEST_F(LogConfigTest, LoggingLevelThatIsNotANumberOrDoesNotFitIsSaid)
{
  // LOGGING_LEVEL is an int read as the C runtime reads a number: values at
  // its limits are kept; one beyond and the unsigned limits take the default
  // level like a missing key; text takes the number it starts with. Every
  // value that is not a whole number that fits is said; an empty one keeps
  // the default without a word.
  const struct { const char* section; const char* value; int level; const char* said; } rows[] = {
      {"INT_MAX", "2147483647", 2147483647, nullptr},
      {"INT_MIN", "-2147483648", -2147483647 - 1, nullptr},
      {"INT_OVER", "2147483648", 2017, "does not fit an int; the level is 2017"},
      {"INT_UNDER", "-2147483649", 2017, "does not fit an int; the level is 2017"},
      {"UNSIGNED_MIN", "0", 0, nullptr},
      {"UNSIGNED_UNDER", "-1", -1, nullptr},
      {"UNSIGNED_MAX", "4294967295", 2017, "does not fit an int; the level is 2017"},
      {"UNSIGNED_OVER", "4294967296", 2017, "does not fit an int; the level is 2017"},
      {"NAME", "DEBUG", 0, "is not a number; the level is 0"},
      {"TAIL", "2047abc", 2047, "is not a number; the level is 2047"},
      {"EMPTY", "", 2017, nullptr}};
  std::string ini = "[LOGGING_DEFAULT]\nLOGGING_LEVEL=4294967296\n";
  std::string said = "Logging.ini, section LOGGING_DEFAULT: LOGGING_LEVEL \"4294967296\" does not fit an int; "
                     "the level is 2017\n";
  for (const auto& row : rows) {
    ini += std::string("[") + row.section + "]\nLOGGING_LEVEL=" + row.value + "\n";
    if (row.said)
      said += std::string("Logging.ini, section ") + row.section + ": LOGGING_LEVEL \"" + row.value + "\" " +
              row.said + "\n";
  }
  writeAll(work + "/Logging.ini", ini);
  auto scenario = [&]() -> std::string {
    enter(work);
    CHECK(generalLevel() == 2017);
    for (const auto& row : rows)
      if (QENLogConfig::instance()->readConfig(ACE_CString(row.section))->getLoggingLevel() != row.level)
        return std::string("wrong level in section ") + row.section;
    return "";
  };
  EXPECT_EXIT(finish(scenario()), testing::ExitedWithCode(0), exactly(said));
}

TEST_F(LogConfigTest, ConfiguratorKeepsTheFirstPath)
{
  writeAll(base + "/first.ini", levelIni(2021));
  writeAll(base + "/second.ini", levelIni(2047));
  auto scenario = [&]() -> std::string {
    enter(work);
    QENLogConfigurator::init(ACE_CString((base + "/first.ini").c_str()));
    QENLogConfigurator::init(ACE_CString((base + "/second.ini").c_str()));
    const char* value = std::getenv("QEN_LOG_INI_FILE");
    CHECK(value != nullptr && std::string(value) == base + "/first.ini");
    CHECK(generalLevel() == 2021);
    return "";
  };
  EXPECT_EXIT(finish(scenario()), testing::ExitedWithCode(0), "");
}

TEST_F(LogConfigTest, ConfiguratorRefusesAPathItWouldCut)
{
  auto scenario = [&]() -> std::string {
    enter(work);
    QENLogConfigurator::init(ACE_CString(std::string(1300, 'p').c_str()));
    CHECK(std::getenv("QEN_LOG_INI_FILE") == nullptr);
    return "";
  };
  EXPECT_EXIT(finish(scenario()), testing::ExitedWithCode(0), "");
}

TEST_F(LogConfigTest, ReleasesAreIdempotent)
{
  writeAll(work + "/Logging.ini", "[LOGGING_DEFAULT]\nGENERAL_LOGGING_ENABLED=1\n[SEC]\n");
  auto scenario = [&]() -> std::string {
    enter(work);
    QENLogConfig* config = QENLogConfig::instance();
    config->readConfig(ACE_CString("SEC"));
    // The host releases the general logger first: the configuration
    // forgets it instead of deleting it again.
    QENGeneralLogUtil::cleanup();
    CHECK(config->getDefaultLogUtil() == nullptr);
    QENLogUtil* again = config->readConfig(ACE_CString("LOGGING_DEFAULT"));
    CHECK(again == QENGeneralLogUtil::instance());
    CHECK(config->getDefaultLogUtil() == again);
    QENLogConfig::destroy();
    QENLogConfig::destroy();
    CHECK(!QENGeneralLogUtil::isInstantiated());
    // A new configuration after a release, left for the release at exit.
    CHECK(QENLogConfig::instance() != nullptr);
    CHECK(QENLogConfig::instance()->readConfig(ACE_CString("SEC")) != nullptr);
    return "";
  };
  EXPECT_EXIT(finish(scenario()), testing::ExitedWithCode(0), "");
}

TEST_F(LogConfigTest, ConcurrentRequestsShareOneLoggerPerSection)
{
  writeAll(work + "/Logging.ini", "[LOGGING_DEFAULT]\n[SEC]\nLOGGING_LEVEL=2021\n");
  auto scenario = [&]() -> std::string {
    enter(work);
    QENLogUtil* seen[8] = {};
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i)
      threads.emplace_back([&seen, i] {
        QENLogConfig* config = QENLogConfig::instance();
        seen[i] = config ? config->readConfig(ACE_CString("SEC")) : nullptr;
      });
    for (std::thread& t : threads)
      t.join();
    for (QENLogUtil* logger : seen)
      CHECK(logger != nullptr && logger == seen[0]);
    CHECK(seen[0]->getLoggingLevel() == 2021);
    return "";
  };
  EXPECT_EXIT(finish(scenario()), testing::ExitedWithCode(0), "");
}

TEST_F(LogConfigTest, ReleasingTheGeneralLoggerWhileSectionsAreReadIsSafe)
{
  writeAll(work + "/Logging.ini", "[LOGGING_DEFAULT]\nLOGGING_LEVEL=2029\n");
  auto scenario = [&]() -> std::string {
    enter(work);
    QENLogConfig* config = QENLogConfig::instance();
    CHECK(config != nullptr);
    const int readers = 4;
    const int sections = 200;
    std::atomic<int> running{readers};
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < readers; ++t)
      threads.emplace_back([&, t] {
        for (int i = 0; i < sections; ++i) {
          QENLogUtil* logger = config->readConfig(ACE_CString(("S" + std::to_string(t) + "_" + std::to_string(i)).c_str()));
          wrong += logger == nullptr || logger->getLoggingLevel() != 2029;
        }
        --running;
      });
    while (running > 0) {
      QENGeneralLogUtil::cleanup();
      QENGeneralLogUtil::instance();
    }
    for (std::thread& thread : threads)
      thread.join();
    CHECK(wrong == 0);
    CHECK(config->readConfig(ACE_CString("LOGGING_DEFAULT")) == QENGeneralLogUtil::instance());
    CHECK(config->getDefaultLogUtil() == QENGeneralLogUtil::instance());
    return "";
  };
  EXPECT_EXIT(finish(scenario()), testing::ExitedWithCode(0), "");
}

TEST_F(LogConfigTest, AFileThatCannotBeUsedIsNamedWithItsPathAndReason)
{
  // Logging.ini or a log file that is not a regular file is refused with a
  // message instead of blocking or being read without end.
  auto make = [](const std::string& path, const std::string& what) {
    if (what == "FIFO")
      ASSERT_EQ(0, ::mkfifo(path.c_str(), 0644));
    else if (what == "link to /dev/zero")
      ASSERT_EQ(0, ::symlink("/dev/zero", path.c_str()));
    else if (what == "folder")
      ASSERT_EQ(0, ::mkdir(path.c_str(), 0755));
    else {  // a file that its reader may not read
      writeAll(path, "[LOGGING_DEFAULT]\nLOGGING_LEVEL=2047\n");
      ASSERT_EQ(0, ::chmod(path.c_str(), 0));
    }
  };
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
      enter(work);
      ::alarm(20);  // an open or a read that blocks fails the case
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

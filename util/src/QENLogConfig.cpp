#include "QENLogConfig.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <strings.h>

#include <ace/Guard_T.h>
#include <ace/Log_Msg.h>
#include <ace/OS_NS_sys_stat.h>

#include "qen_log_internal.h"

namespace qen_util {

QENLogConfig* QENLogConfig::s_singletonInstance = nullptr;
// s_mutex is defined with the general logger's lock, in QENLogUtil.cpp.

namespace {

const char* const kIniName = "Logging.ini";

ACE_CString environment(const char* name)
{
  const char* value = std::getenv(name);
  return ACE_CString(value ? value : "");
}

// A file that could not be opened, said as the general logger's is.
void sayCaught(const QENFileException& e)
{
  ACE_CString message = e.getErrorMsg();
  if (message.length() > 0 && message[message.length() - 1] == '\n')
    message = message.substr(0, message.length() - 1);
  detail::sayCannotOpen(message);
}

// An optional sign and digits, nothing else.
bool isWholeNumber(const ACE_CString& text)
{
  const char* p = text.c_str();
  if (*p == '+' || *p == '-')
    ++p;
  if (*p < '0' || *p > '9')
    return false;
  while (*p >= '0' && *p <= '9')
    ++p;
  return *p == '\0';
}

// LOGGING_LEVEL of a section, read as the C runtime reads a number. Level 0
// logs nothing, so a value that is not a number, or does not fit an int
// (which takes the default level), is said on standard error rather than
// taken without a word. Missing or empty, the default level.
int configuredLevel(IniReader& reader, const char* section)
{
  static const char* const kKey = "LOGGING_LEVEL";
  const int fallback = QENLogUtil::getDefaultLoggingLevel();
  ACE_CString text;
  try {
    text = reader.getStringValue(section, kKey);
  } catch (QENFileException&) {
    return fallback;
  }
  if (text.length() == 0)
    return fallback;
  int level = fallback;
  const char* problem = nullptr;
  try {
    level = reader.getIntValue(section, kKey);
    if (!isWholeNumber(text))
      problem = "is not a number";
  } catch (QENFileException&) {
    problem = "does not fit an int";
  }
  if (problem)
    std::cerr << reader.getFileName().c_str() << ", section " << section << ": " << kKey << " \""
              << text.c_str() << "\" " << problem << "; the level is " << level << std::endl;
  return level;
}

}  // namespace

namespace detail {

void forgetConfiguredLogger(QENLogUtil* logger)
{
  // The caller holds QENLogConfig::s_mutex: the general logger is released
  // only under it.
  QENLogConfig* config = QENLogConfig::s_singletonInstance;
  if (!config)
    return;
  for (auto it = config->loggers.begin(); it != config->loggers.end();) {
    if (it->second == logger)
      it = config->loggers.erase(it);
    else
      ++it;
  }
  if (config->defaultLogger == logger)
    config->defaultLogger = nullptr;
}

}  // namespace detail

QENLogConfig::QENLogConfig() : sectionName("LOGGING_DEFAULT"), defaultLogger(nullptr)
{
  const ACE_CString iniFile = environment("QEN_LOG_INI_FILE");
  const ACE_CString iniDir = environment("QEN_LOG_INI_DIR");

  if (QENGeneralLogUtil::isInstantiated()) {
    QENLogUtil* general = QENGeneralLogUtil::instance();
    defaultLogger = general;
    loggers[sectionName] = general;
  }

  ACE_CString path;
  if (iniFile.length() > 0) {
    path = iniFile;
  } else if (iniDir.length() > 0) {
    path = iniDir;
    path += "/";
    path += kIniName;
  }

  if (checkLoggingIniFile(path))
    setup();
  else
    setupDefaults();
}

// Runs under s_mutex (instance, destroy), which releasing the general
// logger needs.
QENLogConfig::~QENLogConfig()
{
  if (s_singletonInstance == this)
    s_singletonInstance = nullptr;
  std::map<ACE_CString, QENLogUtil*> doomed;
  doomed.swap(loggers);
  defaultLogger = nullptr;
  for (auto& entry : doomed) {
    if (entry.second == nullptr)
      continue;
    if (dynamic_cast<QENGeneralLogUtil*>(entry.second))
      QENGeneralLogUtil::releaseInstance();
    else
      delete entry.second;
  }
}

QENLogConfig* QENLogConfig::instance()
{
  ACE_Guard<ACE_Thread_Mutex> guard(s_mutex);
  if (s_singletonInstance == nullptr) {
    QENLogConfig* config = new QENLogConfig;
    s_singletonInstance = config;
    if (config->defaultLogger == nullptr)
      delete config;  // the next call tries again
  }
  return s_singletonInstance;
}

void QENLogConfig::destroy()
{
  ACE_Guard<ACE_Thread_Mutex> guard(s_mutex);
  delete s_singletonInstance;
  s_singletonInstance = nullptr;
}

QENLogUtil* QENLogConfig::getDefaultLogUtil()
{
  // The general logger's release clears it.
  ACE_Guard<ACE_Thread_Mutex> guard(s_mutex);
  return defaultLogger;
}

QENLogUtil* QENLogConfig::readConfig(const ACE_CString& section)
{
  ACE_Guard<ACE_Thread_Mutex> guard(s_mutex);
  auto found = loggers.find(section);
  if (found != loggers.end())
    return found->second;
  QENLogUtil* logger = nullptr;
  if (section == sectionName) {
    // The general logger was released by the host: the default section
    // gets the general logger again.
    logger = QENGeneralLogUtil::instance();
    defaultLogger = logger;
  } else {
    logger = new QENSpecificLogUtil;
  }
  readConfig(section, logger);
  loggers[section] = logger;
  return logger;
}

void QENLogConfig::readConfig(const ACE_CString& section, QENLogUtil* util)
{
  if (util == nullptr || !util->isNotInitialized())
    return;
  const char* s = section.c_str();

  const bool generalEnabled = reader.getBooleanValue(s, "GENERAL_LOGGING_ENABLED", false);
  const bool tracing = reader.getBooleanValue(s, "TRACING_ENABLED", false);
  const bool sqlEnabled = reader.getBooleanValue(s, "SQL_LOGGING_ENABLED", false);
  const bool generalFile = reader.getBooleanValue(s, "GENERAL_FILE_OUTPUT_ENABLED", false);
  const bool generalStderr = reader.getBooleanValue(s, "GENERAL_STDERR_ENABLED", false);
  const bool sqlStderr = reader.getBooleanValue(s, "SQL_STDERR_ENABLED", false);
  const bool sqlFile = reader.getBooleanValue(s, "SQL_FILE_OUTPUT_ENABLED", false);
  const bool sqlSeparate = reader.getBooleanValue(s, "SQL_LOGS_SEPARATE", false);
  const bool generalProxy = reader.getBooleanValue(s, "GENERAL_LOGS_PROXY", false);
  const bool sqlProxy = reader.getBooleanValue(s, "SQL_LOGS_PROXY", false);
  const int level = configuredLevel(reader, s);
  const ACE_CString generalMode = reader.getStringValue(s, "GEN_FILE_OPEN_MODE", ACE_CString("app"));
  const ACE_CString sqlMode = reader.getStringValue(s, "SQL_FILE_OPEN_MODE", ACE_CString("app"));
  const ACE_CString generalLog = reader.getStringValue(s, "GENERAL_LOG_FILE", ACE_CString(""));
  const ACE_CString sqlLog = reader.getStringValue(s, "SQL_LOG_FILE", ACE_CString(""));

  util->enableGeneralLog(generalEnabled);
  util->setLoggingLevel(level);
  util->enableSqlLog(sqlEnabled);
  util->setGeneralLoggingMode(4, generalFile);
  util->setSqlLoggingMode(4, sqlFile);
  if (tracing)
    QENLogTrace::enableTrace();
  else
    QENLogTrace::disableTrace();
  util->setGeneralLoggingMode(1, generalStderr);
  util->setSqlLoggingMode(1, sqlStderr);
  util->setGeneralLoggingMode(0, generalProxy);
  util->setSqlLoggingMode(0, sqlProxy);
  util->setSeparateSqlLogs(sqlSeparate);

  if (generalLog.length() > 0 && util->isGeneralLogEnabled()) {
    const ACE_CString name = formattedLogFileName(generalLog.c_str());
    try {
      detail::openGeneralLogFileOrSay(*util, name.c_str(), fileOpeningMode(generalMode));
    } catch (QENFileException& e) {
      sayCaught(e);
    }
  }
  if (sqlLog.length() > 0) {
    const ACE_CString name = formattedLogFileName(sqlLog.c_str());
    try {
      util->openSqlLogFile(name.c_str(), fileOpeningMode(sqlMode));
    } catch (QENFileException& e) {
      sayCaught(e);
    }
  }
}

void QENLogConfig::setup()
{
  if (sectionName.length() == 0 && QENGeneralLogUtil::instance()->isNotInitialized()) {
    QENLogTrace::disableTrace();
    return;
  }
  // A file that is there but cannot be read leaves every key at its
  // default: say so rather than log nothing without a word.
  try {
    reader.load();
  } catch (QENFileException& e) {
    std::cerr << e.getErrorMsg().c_str() << std::flush;
  }
  const char* s = sectionName.c_str();
  const ACE_CString program = reader.getStringValue(s, "PROGRAM_NAME", ACE_CString(""));
  if (reader.getBooleanValue(s, "TRACING_ENABLED", false))
    QENLogTrace::enableTrace();
  else
    QENLogTrace::disableTrace();

  QENGeneralLogUtil* general = QENGeneralLogUtil::instance();
  if (general->isNotInitialized())
    readConfig(sectionName, general);

  ACE_LOG_MSG->priority_mask(2047, ACE_Log_Msg::PROCESS);
  QENLogUtil::setDefaultLoggingLevel(general->getLoggingLevel());
  if (program.length() > 0)
    general->init(program.c_str());

  loggers[sectionName] = general;
  defaultLogger = general;
  QENLogCallback::initialize();
}

void QENLogConfig::setupDefaults()
{
  QENGeneralLogUtil* general = QENGeneralLogUtil::instance();
  readConfig(sectionName, general);
  loggers[sectionName] = general;
  defaultLogger = general;
  QENLogCallback::initialize();
}

bool QENLogConfig::checkLoggingIniFile(const ACE_CString& path)
{
  const ACE_CString candidates[] = {path, ACE_CString(kIniName), ACE_CString("../../Logging.ini")};
  for (const ACE_CString& candidate : candidates) {
    if (candidate.length() > 0 && fileExists(candidate)) {
      reader.setFileName(candidate.c_str());
      return true;
    }
  }
  return false;
}

bool QENLogConfig::fileExists(const ACE_CString& path)
{
  ACE_stat status;
  return ACE_OS::stat(path.c_str(), &status) == 0;
}

int QENLogConfig::fileOpeningMode(ACE_CString mode)
{
  const char* m = mode.c_str();
  if (::strcasecmp(m, "app") == 0 || ::strcasecmp(m, "append") == 0 || ::strcasecmp(m, "a") == 0)
    return 8;
  return 2;
}

ACE_CString QENLogConfig::findAndReplace(const char* text, const char* find, const char* replacement)
{
  return detail::findAndReplace(text, find, replacement);
}

ACE_CString QENLogConfig::formattedLogFileName(std::string name)
{
  return detail::formattedLogFileName(name);
}

void QENLogConfig::readLoggingLevel() {}

// ---------------------------------------------------------------------------

void QENLogConfigurator::init(const ACE_CString& iniFile)
{
  static ACE_Thread_Mutex lock;
  static bool done = false;
  static char buffer[1228];

  ACE_Guard<ACE_Thread_Mutex> guard(lock);
  if (done)
    return;
  done = true;
  const int length = std::snprintf(buffer, sizeof buffer, "QEN_LOG_INI_FILE=%s", iniFile.c_str());
  // A path cut to the buffer could name another file: such a path is not
  // handed on at all.
  if (length < 0 || static_cast<std::size_t>(length) >= sizeof buffer)
    return;
  ::putenv(buffer);
}

}  // namespace qen_util

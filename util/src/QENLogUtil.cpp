#include "QENLogUtil.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <ctime>
#include <iostream>
#include <strings.h>

#include <ace/Guard_T.h>
#include <ace/Trace.h>

#include "LogFile.h"
#include "QENLogConfig.h"
#include "qen_log_internal.h"

namespace qen_util {

// ---------------------------------------------------------------------------
// Helpers shared with the configuration.

namespace detail {

ACE_CString cannotOpenMessage(const char* name, int errnum)
{
  const std::string message = std::string("Cannot open file ") + (name ? name : "") + ": " + systemReason(errnum);
  return ACE_CString(message.c_str(), static_cast<ACE_CString::size_type>(message.size()));
}

void sayCannotOpen(const ACE_CString& message)
{
  std::cerr << " " << message.c_str() << std::endl;
}

bool openGeneralLogFileOrSay(QENLogUtil& util, const char* name, int mode)
{
  const bool opened = util.openGeneralLogFile(name, mode);
  // Only the general logger says false for a file that did not open; a
  // section logger throws then, and says false when its file output is off
  // or its file is open already.
  if (!opened && dynamic_cast<QENGeneralLogUtil*>(&util))
    sayCannotOpen(cannotOpenMessage(name, errno));
  return opened;
}

ACE_CString findAndReplace(const char* text, const char* find, const char* replacement)
{
  if (!text || !find || !replacement)
    return ACE_CString("");
  std::string result(text);
  const std::size_t findLen = std::strlen(find);
  if (findLen == 0)
    return ACE_CString(result.c_str());
  const std::size_t replLen = std::strlen(replacement);
  std::string::size_type pos = 0;
  while ((pos = result.find(find, pos)) != std::string::npos) {
    result.replace(pos, findLen, replacement);
    pos += replLen;
  }
  return ACE_CString(result.c_str(), static_cast<ACE_CString::size_type>(result.size()));
}

ACE_CString formattedLogFileName(const std::string& name)
{
  std::time_t now = std::time(nullptr);
  std::tm local;
  ::localtime_r(&now, &local);
  char stamp[64];
  if (std::strftime(stamp, sizeof stamp, "_%Y-%m-%d_%H-%M-%S", &local) == 0)
    stamp[0] = '\0';
  return findAndReplace(name.c_str(), "%t", stamp);
}

}  // namespace detail

namespace {

using LogGuard = std::lock_guard<std::recursive_mutex>;

// The framework formats one message into at most ACE_MAXLOGMSGLEN bytes and
// drops the rest without a mark: longer text goes out in pieces, which
// follow each other in the log with nothing between them.
void logWhole(ACE_Log_Msg& msg, ACE_Log_Priority priority, const char* text)
{
  static constexpr std::size_t kPiece = ACE_MAXLOGMSGLEN / 2;
  const std::size_t length = std::strlen(text);
  if (length <= kPiece) {
    msg.log(priority, "%s", text);
    return;
  }
  std::string piece;
  for (std::size_t from = 0; from < length; from += kPiece) {
    piece.assign(text + from, std::min(kPiece, length - from));
    msg.log(priority, "%s", piece.c_str());
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// QENLogUtil

std::atomic<int> QENLogUtil::s_defaultLoggingLevel{2017};

QENLogUtil::QENLogUtil()
    : sqlLogEnabled(false),
      generalLogEnabled(false),
      separateSqlLogs(false),
      programName(""),
      loggingLevel(s_defaultLoggingLevel.load()),
      notInitialized(true)
{
  sqlLogMsg.msg_callback(&sqlCallback);
  // The framework only calls callbacks while this process-wide flag is set.
  sqlLogMsg.set_flags(ACE_Log_Msg::MSG_CALLBACK);
}

QENLogUtil::~QENLogUtil()
{
  sqlLogMsg.msg_callback(nullptr);
}

QENLogCallback* QENLogUtil::generalCallback()
{
  ACE_Log_Msg* msg = getACELogMsg();
  if (!msg)
    return nullptr;
  return dynamic_cast<QENLogCallback*>(msg->msg_callback());
}

void QENLogUtil::setGeneralLoggingMode(unsigned long type, bool on)
{
  LogGuard guard(logLock);
  QENLogCallback* callback = generalCallback();
  if (!callback || !generalLogEnabled)
    return;
  if (type == 1)
    callback->setStdErrOutput(on);
  else if (type == 4)
    callback->setFileOutput(on);
  else
    callback->setProxyOutput(on);
}

bool QENLogUtil::openGeneralLogFile(const char* name, int mode)
{
  LogGuard guard(logLock);
  QENLogCallback* callback = generalCallback();
  if (!callback)
    return false;
  return callback->openLogFile(ACE_CString(name ? name : ""), mode);
}

void QENLogUtil::closeGeneralLogFile()
{
  LogGuard guard(logLock);
  if (QENLogCallback* callback = generalCallback())
    callback->closeLogFile();
}

void QENLogUtil::enableSqlLog(bool on)
{
  LogGuard guard(logLock);
  sqlLogEnabled = on;
}

void QENLogUtil::enableGeneralLog(bool on)
{
  LogGuard guard(logLock);
  generalLogEnabled = on;
}

bool QENLogUtil::isGeneralLogEnabled() const
{
  LogGuard guard(logLock);
  return generalLogEnabled;
}

void QENLogUtil::setSeparateSqlLogs(bool on)
{
  LogGuard guard(logLock);
  separateSqlLogs = on;
}

int QENLogUtil::getLoggingLevel() const
{
  LogGuard guard(logLock);
  return loggingLevel;
}

void QENLogUtil::setLoggingLevel(int level)
{
  LogGuard guard(logLock);
  loggingLevel = level;
}

bool QENLogUtil::isNotInitialized() const
{
  LogGuard guard(logLock);
  return notInitialized;
}

bool QENLogUtil::isLogLevelValid(int priority) const
{
  LogGuard guard(logLock);
  return (priority & loggingLevel) != 0;
}

int QENLogUtil::getDefaultLoggingLevel()
{
  return s_defaultLoggingLevel.load();
}

void QENLogUtil::setDefaultLoggingLevel(int level)
{
  s_defaultLoggingLevel.store(level);
}

void QENLogUtil::setSqlLoggingMode(unsigned long type, bool on)
{
  LogGuard guard(logLock);
  if (type == 1)
    sqlCallback.setStdErrOutput(on);
  else if (type == 4)
    sqlCallback.setFileOutput(on);
  else
    sqlCallback.setProxyOutput(on);
}

bool QENLogUtil::openSqlLogFile(const char* name, int mode)
{
  LogGuard guard(logLock);
  return sqlCallback.openLogFile(ACE_CString(name ? name : ""), mode);
}

void QENLogUtil::closeSqlLogFile()
{
  LogGuard guard(logLock);
  sqlCallback.closeLogFile();
}

void QENLogUtil::init(const char* name)
{
  {
    LogGuard guard(logLock);
    dbLogMsg.open(name, ACE_Log_Msg::SYSLOG);
  }
  // The connection attempt blocks: the logger stays usable meanwhile.
  QENLogCallback::initialize();
  LogGuard guard(logLock);
  programName = name ? name : "";
}

void QENLogUtil::logSql(QENLogPriority priority, const char* sql)
{
  LogGuard guard(logLock);
  if (!sqlLogEnabled)
    return;
  const char* text = sql ? sql : "";
  const ACE_Log_Priority p = static_cast<ACE_Log_Priority>(priority);
  if (separateSqlLogs) {
    logWhole(sqlLogMsg, p, text);
    sqlLogMsg.log(p, "%s", "\n");
    return;
  }
  if (!generalLogEnabled || !isLogLevelValid(priority))
    return;
  ACE_Log_Msg* msg = getACELogMsg();
  const char* level = getLogString(priority);
  msg->log(p, "[%s] %s  ", level, getCurrentTimeStamp().c_str());
  logWhole(*msg, p, text);
  msg->log(p, "%s", "\n");
  msg->log(p, "[%s] %s  ", level, getCurrentTimeStamp().c_str());
  msg->log(p, "%s", "\n");
  msg->log(p, "%s", "\n");
}

void QENLogUtil::logException(const QENException& e)
{
  ACE_CString text("Exception Message:");
  text += e.getErrorMsg();
  const int severity = e.getSeverity();
  LogGuard guard(logLock);
  if (!generalLogEnabled || !isLogLevelValid(severity))
    return;
  ACE_Log_Msg* msg = getACELogMsg();
  const ACE_Log_Priority p = static_cast<ACE_Log_Priority>(severity);
  const char* level = getLogString(severity);
  msg->log(p, "[%s] %s File: %s Line: %d ", level, getCurrentTimeStamp().c_str(), __FILE__, __LINE__);
  logWhole(*msg, p, text.c_str());
  msg->log(p, "%s", "\n");
  msg->log(p, "[%s] %s File: %s Line: %d ", level, getCurrentTimeStamp().c_str(), __FILE__, __LINE__);
  const ACE_CString& trace = e.printStackTrace();
  logWhole(*msg, p, trace.c_str());
  msg->log(p, "%s", "\n");
}

void QENLogUtil::logDbError(QENLogPriority priority, const char* message)
{
  // Database text is data, never a format.
  LogGuard guard(logLock);
  dbLogMsg.log(static_cast<ACE_Log_Priority>(priority), "%s", message ? message : "");
}

void QENLogUtil::logError(const char*, int, QENLogPriority, const char*, char*) {}

void QENLogUtil::logDebug(const char*, int, QENLogPriority, const char*, char*) {}

void QENLogUtil::ODBCInitialize(bool enable, bool tracing, char* logFile, char* levelName)
{
  if (!enable)
    return;
  LogGuard guard(logLock);
  setGeneralLoggingMode(1, false);
  generalLogEnabled = true;
  if (tracing)
    QENLogTrace::enableTrace();
  else
    QENLogTrace::disableTrace();
  setGeneralLoggingMode(4, true);
  detail::openGeneralLogFileOrSay(*this, formattedLogFileName(logFile ? logFile : "").c_str(), 2);
  loggingLevel = getLoggingLevel(ACE_CString(levelName ? levelName : ""));
  notInitialized = false;
}

ACE_CString QENLogUtil::getCurrentTimeStamp()
{
  std::time_t now = std::time(nullptr);
  std::tm local;
  ::localtime_r(&now, &local);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%d/%02d/%02d %02d:%02d:%02d : ", local.tm_year + 1900,
                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
  return ACE_CString(buffer);
}

const char* QENLogUtil::getLogString(const int& priority)
{
  switch (priority) {
    case SHUTDOWN: return "SHUTDOWN";
    case TRACE: return "TRACE";
    case DEBUG: return "DEBUG";
    case INFO: return "INFO";
    case NOTICE: return "NOTICE";
    case WARNING: return "WARNING";
    case STARTUP: return "STARTUP";
    case ERROR: return "ERROR";
    case CRITICAL: return "CRITICAL";
    case ALERT: return "ALERT";
    default: return "EMERGENCY";
  }
}

int QENLogUtil::getLoggingLevel(ACE_CString name)
{
  const char* n = name.c_str();
  if (::strcasecmp(n, "WARNING") == 0 || ::strcasecmp(n, "WARN") == 0)
    return 2017;
  if (::strcasecmp(n, "DEBUG") == 0)
    return 2021;
  if (::strcasecmp(n, "INFO") == 0)
    return 2029;
  if (::strcasecmp(n, "ALL") == 0)
    return 2047;
  return 2017;
}

ACE_CString QENLogUtil::findAndReplace(const char* text, const char* find, const char* replacement)
{
  return detail::findAndReplace(text, find, replacement);
}

ACE_CString QENLogUtil::formattedLogFileName(std::string name)
{
  return detail::formattedLogFileName(name);
}

// ---------------------------------------------------------------------------
// QENGeneralLogUtil

QENGeneralLogUtil* QENGeneralLogUtil::s_generalLogUtilInstance = nullptr;
// Both locks and the release at exit are defined in this one file, in this
// order, so that the release runs while both locks still exist.
ACE_Thread_Mutex QENGeneralLogUtil::s_genLogUtilThread;
ACE_Thread_Mutex QENLogConfig::s_mutex;

namespace {

// Releases the configuration and the general logger at process exit; both
// releases do nothing when the host already made them.
struct ExitRelease
{
  ~ExitRelease()
  {
    QENLogConfig::destroy();
    QENGeneralLogUtil::cleanup();
  }
};

ExitRelease exitRelease;

}  // namespace

QENGeneralLogUtil::QENGeneralLogUtil() : file(new detail::LogFile) {}

QENGeneralLogUtil::~QENGeneralLogUtil()
{
  generalLogMsg.msg_ostream(nullptr, false);
  file->close();
  // The configuration must not hand out, or delete again, a logger that
  // is gone.
  detail::forgetConfiguredLogger(this);
}

QENGeneralLogUtil* QENGeneralLogUtil::instance()
{
  ACE_Guard<ACE_Thread_Mutex> guard(s_genLogUtilThread);
  if (s_generalLogUtilInstance == nullptr)
    s_generalLogUtilInstance = new QENGeneralLogUtil;
  return s_generalLogUtilInstance;
}

bool QENGeneralLogUtil::isInstantiated()
{
  ACE_Guard<ACE_Thread_Mutex> guard(s_genLogUtilThread);
  return s_generalLogUtilInstance != nullptr;
}

void QENGeneralLogUtil::cleanup()
{
  // The configuration's lock first, as the configuration takes the general
  // logger's lock inside its own: its map forgets the logger under it.
  ACE_Guard<ACE_Thread_Mutex> guard(QENLogConfig::s_mutex);
  releaseInstance();
}

void QENGeneralLogUtil::releaseInstance()
{
  QENGeneralLogUtil* doomed = nullptr;
  {
    ACE_Guard<ACE_Thread_Mutex> guard(s_genLogUtilThread);
    doomed = s_generalLogUtilInstance;
    s_generalLogUtilInstance = nullptr;
  }
  delete doomed;
}

ACE_Log_Msg* QENGeneralLogUtil::getACELogMsg()
{
  return &generalLogMsg;
}

void QENGeneralLogUtil::setGeneralLoggingMode(unsigned long flag, bool on)
{
  LogGuard guard(logLock);
  if (flag == 0)
    return;
  if (on)
    generalLogMsg.set_flags(flag);
  else
    generalLogMsg.clr_flags(flag);
}

bool QENGeneralLogUtil::openGeneralLogFile(const char* name, int mode)
{
  LogGuard guard(logLock);
  const bool opened = file->open(name, mode);
  const int error = errno;
  generalLogMsg.msg_ostream(file.get(), false);
  errno = error;
  return opened;
}

void QENGeneralLogUtil::closeGeneralLogFile()
{
  LogGuard guard(logLock);
  file->close();
}

// ---------------------------------------------------------------------------
// QENSpecificLogUtil

QENSpecificLogUtil::QENSpecificLogUtil()
{
  logMsg.msg_callback(&callback);
  logMsg.set_flags(ACE_Log_Msg::MSG_CALLBACK);
}

QENSpecificLogUtil::~QENSpecificLogUtil()
{
  logMsg.msg_callback(nullptr);
}

ACE_Log_Msg* QENSpecificLogUtil::getACELogMsg()
{
  return &logMsg;
}

// ---------------------------------------------------------------------------
// QENLogTrace

std::atomic<bool> QENLogTrace::s_enableTrace{false};

QENLogTrace::QENLogTrace(QENLogUtil* u, const char* traceName, int, const char*) : util(nullptr)
{
  name[0] = '\0';
  indent[0] = '\0';
  if (!s_enableTrace || !u)
    return;
  std::snprintf(name, sizeof name, "%s", traceName ? traceName : "");
  util = u;
  LogGuard guard(util->logLock);
  ACE_Log_Msg* msg = util->getACELogMsg();
  msg->inc();
  const long depth = msg->trace_depth();
  const long width = std::clamp<long>(depth * ACE_Trace::get_nesting_indent(), 0,
                                      static_cast<long>(sizeof indent) - 1);
  std::memset(indent, ' ', static_cast<std::size_t>(width));
  indent[width] = '\0';
  logWhole(*msg, LM_TRACE, (std::string(indent) + " ENTER [" + name + "]\n").c_str());
}

QENLogTrace::~QENLogTrace()
{
  if (!util || !s_enableTrace)
    return;
  LogGuard guard(util->logLock);
  ACE_Log_Msg* msg = util->getACELogMsg();
  logWhole(*msg, LM_TRACE, (std::string(indent) + " EXIT  [" + name + "]\n").c_str());
  msg->dec();
}

QENLogTrace& QENLogTrace::operator=(const QENLogTrace& other)
{
  if (this != &other) {
    util = other.util;
    std::memcpy(name, other.name, sizeof name);
    std::memcpy(indent, other.indent, sizeof indent);
  }
  return *this;
}

void QENLogTrace::enableTrace()
{
  s_enableTrace = true;
}

void QENLogTrace::disableTrace()
{
  s_enableTrace = false;
}

bool QENLogTrace::isTraceEnabled()
{
  return s_enableTrace;
}

}  // namespace qen_util

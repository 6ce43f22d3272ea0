// Loggers of qen_util: the front end QENLogUtil with its SQL log and general
// log, the process-wide QENGeneralLogUtil, the per-section QENSpecificLogUtil
// and the scope tracer QENLogTrace.
#ifndef QEN_LOG_UTIL_H
#define QEN_LOG_UTIL_H

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include <ace/Log_Msg.h>
#include <ace/SString.h>
#include <ace/Thread_Mutex.h>

#include "QENException.h"
#include "QENLogCallback.h"
#include "QENLogPriority.h"
#include "qen_util_export.h"

namespace qen_util {

namespace detail {
class LogFile;
}

class QEN_UTIL_API QENLogUtil
{
public:
  virtual ~QENLogUtil();

  QENLogUtil(const QENLogUtil&) = delete;
  QENLogUtil& operator=(const QENLogUtil&) = delete;

  /// Output switch of the general log: 1 standard error, 4 file, other
  /// values the proxy.
  virtual void setGeneralLoggingMode(unsigned long type, bool on);
  virtual bool openGeneralLogFile(const char* name, int mode);
  virtual void closeGeneralLogFile();
  virtual ACE_Log_Msg* getACELogMsg() = 0;

  void enableSqlLog(bool on);
  void enableGeneralLog(bool on);
  bool isGeneralLogEnabled() const;
  void setSeparateSqlLogs(bool on);
  int getLoggingLevel() const;
  void setLoggingLevel(int level);
  bool isNotInitialized() const;
  bool isLogLevelValid(int priority) const;

  static int getDefaultLoggingLevel();
  static void setDefaultLoggingLevel(int level);

  /// Output switch of the SQL log: 1 standard error, 4 file, other values
  /// the proxy.
  void setSqlLoggingMode(unsigned long type, bool on);
  bool openSqlLogFile(const char* name, int mode);
  void closeSqlLogFile();

  /// Opens the database-error log towards the system log.
  void init(const char* programName);

  void logSql(QENLogPriority priority, const char* sql);
  void logException(const QENException& e);
  void logDbError(QENLogPriority priority, const char* message);
  void logError(const char* file, int line, QENLogPriority priority, const char* format, char* arg);
  void logDebug(const char* file, int line, QENLogPriority priority, const char* format, char* arg);

  /// Set-up for hosts without "Logging.ini". A general log file that
  /// cannot be opened is said on standard error, as the configuration does.
  void ODBCInitialize(bool enable, bool tracing, char* logFile, char* levelName);

  /// Local time as "%d/%02d/%02d %02d:%02d:%02d : ".
  static ACE_CString getCurrentTimeStamp();
  static const char* getLogString(const int& priority);

protected:
  QENLogUtil();

  bool sqlLogEnabled;
  bool generalLogEnabled;
  bool separateSqlLogs;
  ACE_Log_Msg sqlLogMsg;
  ACE_Log_Msg dbLogMsg;
  ACE_CString programName;
  QENLogCallback sqlCallback;
  int loggingLevel;
  bool notInitialized;
  // Hosts share one logger between threads, and one operation writes a
  // record in several pieces: every operation holds this lock so that the
  // pieces stay together and the formatting buffers of the framework's
  // message objects are used by one thread at a time. One lock per logger,
  // so unrelated loggers never wait for each other. Recursive because
  // operations call the virtual output switches.
  mutable std::recursive_mutex logLock;

  static std::atomic<int> s_defaultLoggingLevel;

private:
  friend class QENLogTrace;

  static int getLoggingLevel(ACE_CString name);
  ACE_CString findAndReplace(const char* text, const char* find, const char* replacement);
  ACE_CString formattedLogFileName(std::string name);
  QENLogCallback* generalCallback();
};

class QEN_UTIL_API QENGeneralLogUtil : public QENLogUtil
{
public:
  static QENGeneralLogUtil* instance();
  static bool isInstantiated();
  static void cleanup();

  ACE_Log_Msg* getACELogMsg() override;
  void setGeneralLoggingMode(unsigned long flag, bool on) override;
  /// Opens the general log file; false when it cannot be opened, errno
  /// telling why. A write that fails is said once on standard error, and
  /// the file is written again as soon as it accepts data.
  bool openGeneralLogFile(const char* name, int mode) override;
  void closeGeneralLogFile() override;

private:
  friend class QENLogConfig;

  QENGeneralLogUtil();
  ~QENGeneralLogUtil() override;

  /// Takes the instance out and deletes it; the caller holds the
  /// configuration's lock, under which the configuration forgets it.
  static void releaseInstance();

  ACE_Log_Msg generalLogMsg;
  std::unique_ptr<detail::LogFile> file;

  static QENGeneralLogUtil* s_generalLogUtilInstance;
  static ACE_Thread_Mutex s_genLogUtilThread;
};

class QEN_UTIL_API QENSpecificLogUtil : public QENLogUtil
{
public:
  QENSpecificLogUtil();
  virtual ~QENSpecificLogUtil();

  ACE_Log_Msg* getACELogMsg() override;

private:
  ACE_Log_Msg logMsg;
  QENLogCallback callback;
};

class QEN_UTIL_API QENLogTrace
{
public:
  QENLogTrace(QENLogUtil* util, const char* name, int line, const char* file);
  ~QENLogTrace();
  QENLogTrace& operator=(const QENLogTrace& other);

  static void enableTrace();
  static void disableTrace();
  static bool isTraceEnabled();

private:
  QENLogUtil* util;
  char name[2048];
  char indent[2048];

  // Read by every tracing thread while a configuration may switch it.
  static std::atomic<bool> s_enableTrace;
};

}  // namespace qen_util

#endif

// Process-wide logging configuration read from "Logging.ini": the general
// logger from the section "LOGGING_DEFAULT" and one logger per further
// section on request.
#ifndef QEN_LOG_CONFIG_H
#define QEN_LOG_CONFIG_H

#include <map>
#include <string>

#include <ace/SString.h>
#include <ace/Thread_Mutex.h>

#include "IniReader.h"
#include "QENLogUtil.h"
#include "qen_util_export.h"

namespace qen_util {

namespace detail {
void forgetConfiguredLogger(QENLogUtil* logger);
}

class QEN_UTIL_API QENLogConfig
{
public:
  /// The configuration, built on the first call.
  static QENLogConfig* instance();
  /// Releases the configuration and its loggers; safe to call again.
  static void destroy();

  QENLogUtil* getDefaultLogUtil();
  /// The logger of a section, created and configured on the first request.
  QENLogUtil* readConfig(const ACE_CString& section);

private:
  QENLogConfig();
  ~QENLogConfig();
  QENLogConfig(const QENLogConfig&) = delete;
  QENLogConfig& operator=(const QENLogConfig&) = delete;

  void readConfig(const ACE_CString& section, QENLogUtil* util);
  void setup();
  void setupDefaults();
  bool checkLoggingIniFile(const ACE_CString& path);
  bool fileExists(const ACE_CString& path);
  int fileOpeningMode(ACE_CString mode);
  ACE_CString findAndReplace(const char* text, const char* find, const char* replacement);
  ACE_CString formattedLogFileName(std::string name);
  void readLoggingLevel();

  friend void detail::forgetConfiguredLogger(QENLogUtil* logger);
  friend class QENGeneralLogUtil;

  ACE_CString sectionName;
  IniReader reader;
  std::map<ACE_CString, QENLogUtil*> loggers;
  QENLogUtil* defaultLogger;

  static QENLogConfig* s_singletonInstance;
  static ACE_Thread_Mutex s_mutex;
};

class QEN_UTIL_API QENLogConfigurator
{
public:
  /// Names the configuration file for the whole process; only the first
  /// call counts, and it must come before the first QENLogConfig::instance().
  static void init(const ACE_CString& iniFile);

  QENLogConfigurator& operator=(const QENLogConfigurator&) { return *this; }
};

}  // namespace qen_util

#endif

// Sink of log records: writes each record to its log file and/or to
// standard error.
#ifndef QEN_LOG_CALLBACK_H
#define QEN_LOG_CALLBACK_H

#include <memory>
#include <mutex>

#include <ace/Log_Msg_Callback.h>
#include <ace/SString.h>

#include "qen_util_export.h"

class ACE_Log_Record;
class ACE_SOCK_Stream;

namespace qen_util {

namespace detail {
class LogFile;
}

class QEN_UTIL_API QENLogCallback : public ACE_Log_Msg_Callback
{
public:
  QENLogCallback();
  virtual ~QENLogCallback();

  QENLogCallback(const QENLogCallback&) = delete;
  QENLogCallback& operator=(const QENLogCallback&) = delete;

  virtual void log(ACE_Log_Record& record) override;

  void setFileOutput(bool on);
  void setStdErrOutput(bool on);
  void setProxyOutput(bool on);

  /// Opens the log file (mode 2 truncates, mode 8 appends). False when file
  /// output is off or the file is already open; throws QENFileException
  /// "Cannot open file %s: REASON" when it cannot be opened. A write that
  /// fails is said once on standard error, and the file is written again
  /// as soon as it accepts data.
  bool openLogFile(const ACE_CString& name, int mode);
  void closeLogFile();

  /// Opens the connection to the log proxy on port 10009 of the local host.
  static void initialize();

private:
  std::unique_ptr<detail::LogFile> file;
  bool fileOutput;
  bool stdErr;
  bool proxy;
  // The framework calls callbacks outside its own lock.
  std::mutex outputLock;

  static ACE_SOCK_Stream* s_proxyLogger;
};

}  // namespace qen_util

#endif

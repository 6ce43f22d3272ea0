// Exceptions of qen_util: a message, a priority and a stack of source
// positions (the throw site first, then one per catch site that passed the
// exception on).
#ifndef QEN_EXCEPTION_H
#define QEN_EXCEPTION_H

#include <vector>

#include <ace/SString.h>

#include "QENLogPriority.h"
#include "qen_util_export.h"

namespace qen_util {

class QEN_UTIL_API QENStackFrame
{
public:
  QENStackFrame() : line(0) {}
  QENStackFrame(int l, const char* f) : line(l), file(f ? f : "") {}

  int line;
  ACE_CString file;
};

class QEN_UTIL_API QENException
{
public:
  /// Size of the formatting buffer of generateString and addStack.
  static const int s_maxMsgLen = 2048;

  QENException(const QENException& other);
  QENException& operator=(const QENException& other);
  virtual ~QENException();

  void addStack(const char* file, int line);

  const ACE_CString& getErrorMsg() const;
  void setErrorMsg(const char* msg);

  QENLogPriority getSeverity() const;
  void setSeverity(QENLogPriority severity);

  /// Line of the throw site; 0 without frames.
  int getLineNumber() const;
  /// File of the throw site; "" without frames.
  ACE_CString getFileName() const;

  /// Writes the stack trace to standard output and returns it.
  const ACE_CString& printStackTrace() const;

  /// printf-style formatting, cut at s_maxMsgLen - 1 characters.
  static ACE_CString generateString(const char* format, ...)
#if defined(__GNUC__)
      __attribute__((format(printf, 1, 2)))
#endif
      ;

protected:
  QENException();
  explicit QENException(const char* msg);
  QENException(const char* file, int line, QENLogPriority severity, const char* msg);
  QENException(const char* file, int line, QENLogPriority severity, const ACE_CString& msg);

  ACE_CString errorMsg;
  QENLogPriority severity;
  std::vector<QENStackFrame> frames;
  ACE_CString stackTrace;
};

class QEN_UTIL_API QENFileException : public QENException
{
public:
  QENFileException();
  QENFileException(const char* file, int line, QENLogPriority severity, const char* msg);
  QENFileException(const char* file, int line, QENLogPriority severity, const ACE_CString& msg);
  QENFileException(const QENFileException& other);
  QENFileException& operator=(const QENFileException& other);
  virtual ~QENFileException();
};

}  // namespace qen_util

#endif

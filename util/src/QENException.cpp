#include "QENException.h"

#include <cstdarg>
#include <cstdio>
#include <iostream>

namespace qen_util {

namespace {

const char* const kStackHeader = "Exception Stack Trace\n";

ACE_CString withNewline(const char* msg)
{
  ACE_CString text(msg ? msg : "");
  text += "\n";
  return text;
}

}  // namespace

QENException::QENException()
    : errorMsg("\n"), severity(ERROR)
{
}

QENException::QENException(const char* msg)
    : errorMsg(withNewline(msg)), severity(ERROR), stackTrace(kStackHeader)
{
}

QENException::QENException(const char* file, int line, QENLogPriority sev, const char* msg)
    : errorMsg(withNewline(msg)), severity(ERROR), stackTrace(kStackHeader)
{
  addStack(file, line);
  severity = sev;
}

QENException::QENException(const char* file, int line, QENLogPriority sev, const ACE_CString& msg)
    : errorMsg(withNewline(msg.c_str())), severity(ERROR), stackTrace(kStackHeader)
{
  addStack(file, line);
  severity = sev;
}

QENException::QENException(const QENException& other)
    : errorMsg(other.errorMsg),
      severity(other.severity),
      frames(other.frames),
      stackTrace(other.stackTrace)
{
}

QENException& QENException::operator=(const QENException& other)
{
  if (this != &other) {
    errorMsg = other.errorMsg;
    severity = other.severity;
    frames = other.frames;
    stackTrace = other.stackTrace;
  }
  return *this;
}

QENException::~QENException() = default;

void QENException::addStack(const char* file, int line)
{
  const char* name = file ? file : "";
  frames.push_back(QENStackFrame(line, name));
  // The line is cut to the buffer; an overlong path must not overrun it.
  char buffer[s_maxMsgLen];
  std::snprintf(buffer, sizeof buffer, "File: %s, Line: %d.", name, line);
  stackTrace += buffer;
  stackTrace += "\n";
}

const ACE_CString& QENException::getErrorMsg() const
{
  return errorMsg;
}

void QENException::setErrorMsg(const char* msg)
{
  errorMsg = msg ? msg : "";
}

QENLogPriority QENException::getSeverity() const
{
  return severity;
}

void QENException::setSeverity(QENLogPriority sev)
{
  severity = sev;
}

int QENException::getLineNumber() const
{
  return frames.empty() ? 0 : frames.front().line;
}

ACE_CString QENException::getFileName() const
{
  return frames.empty() ? ACE_CString("") : frames.front().file;
}

const ACE_CString& QENException::printStackTrace() const
{
  std::cout << stackTrace.c_str() << std::endl;
  return stackTrace;
}

ACE_CString QENException::generateString(const char* format, ...)
{
  char buffer[s_maxMsgLen];
  buffer[0] = '\0';
  if (format) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
  }
  return ACE_CString(buffer);
}

QENFileException::QENFileException() : QENException() {}

QENFileException::QENFileException(const char* file, int line, QENLogPriority sev, const char* msg)
    : QENException(file, line, sev, msg)
{
}

QENFileException::QENFileException(const char* file, int line, QENLogPriority sev,
                                   const ACE_CString& msg)
    : QENException(file, line, sev, msg)
{
}

QENFileException::QENFileException(const QENFileException& other) : QENException(other) {}

QENFileException& QENFileException::operator=(const QENFileException& other)
{
  QENException::operator=(other);
  return *this;
}

QENFileException::~QENFileException() = default;

}  // namespace qen_util

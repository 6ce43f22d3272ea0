#include "QENLogCallback.h"

#include <cerrno>
#include <iostream>

#include <ace/INET_Addr.h>
#include <ace/Log_Record.h>
#include <ace/SOCK_Connector.h>
#include <ace/SOCK_Stream.h>

#include "LogFile.h"
#include "qen_log_internal.h"
#include "qen_throw.h"

namespace qen_util {

ACE_SOCK_Stream* QENLogCallback::s_proxyLogger = nullptr;

QENLogCallback::QENLogCallback()
    : file(new detail::LogFile), fileOutput(false), stdErr(false), proxy(false)
{
}

QENLogCallback::~QENLogCallback() = default;

void QENLogCallback::log(ACE_Log_Record& record)
{
  std::lock_guard<std::mutex> guard(outputLock);
  if (fileOutput)
    record.print("", 0, *file);
  if (stdErr)
    record.print("", 0, std::cerr);
}

void QENLogCallback::setFileOutput(bool on)
{
  std::lock_guard<std::mutex> guard(outputLock);
  fileOutput = on;
}

void QENLogCallback::setStdErrOutput(bool on)
{
  std::lock_guard<std::mutex> guard(outputLock);
  stdErr = on;
}

void QENLogCallback::setProxyOutput(bool on)
{
  std::lock_guard<std::mutex> guard(outputLock);
  proxy = on;
}

bool QENLogCallback::openLogFile(const ACE_CString& name, int mode)
{
  std::lock_guard<std::mutex> guard(outputLock);
  if (!fileOutput || file->is_open())
    return false;
  if (!file->open(name.c_str(), mode))
    QEN_THROW_FILE_EXCEPTION(detail::cannotOpenMessage(name.c_str(), errno));
  return true;
}

void QENLogCallback::closeLogFile()
{
  std::lock_guard<std::mutex> guard(outputLock);
  file->close();
}

void QENLogCallback::initialize()
{
  static std::mutex proxyLock;
  std::lock_guard<std::mutex> guard(proxyLock);
  // A new connection replaces the old one, which is closed rather than
  // leaked.
  if (s_proxyLogger) {
    s_proxyLogger->close();
    delete s_proxyLogger;
    s_proxyLogger = nullptr;
  }
  ACE_SOCK_Stream* stream = new ACE_SOCK_Stream;
  ACE_SOCK_Connector connector;
  ACE_INET_Addr address(static_cast<u_short>(10009), static_cast<ACE_UINT32>(INADDR_LOOPBACK));
  if (connector.connect(*stream, address) == -1) {
    stream->close();
    delete stream;
    return;
  }
  s_proxyLogger = stream;
}

}  // namespace qen_util

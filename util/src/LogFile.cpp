#include "LogFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <unistd.h>

namespace qen_util {
namespace detail {

LogFile::LogFile() : std::ostream(nullptr)
{
  rdbuf(&buffer);
}

LogFile::~LogFile()
{
  close();
}

bool LogFile::open(const char* fileName, int mode)
{
  close();
  // 8 and 2 are the append and output bits of the Windows runtime.
  const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | ((mode & 8) ? O_APPEND : O_TRUNC);
  buffer.fd = ::open(fileName ? fileName : "", flags, 0666);
  if (buffer.fd < 0)
    return false;
  buffer.name = fileName;
  buffer.losing = false;
  return true;
}

void LogFile::close()
{
  if (buffer.fd >= 0)
    ::close(buffer.fd);
  buffer.fd = -1;
}

bool LogFile::is_open() const
{
  return buffer.fd >= 0;
}

LogFile::Buffer::int_type LogFile::Buffer::overflow(int_type c)
{
  if (traits_type::eq_int_type(c, traits_type::eof()))
    return traits_type::not_eof(c);
  const char character = traits_type::to_char_type(c);
  writeOut(&character, 1);
  return c;
}

std::streamsize LogFile::Buffer::xsputn(const char* text, std::streamsize length)
{
  if (length > 0)
    writeOut(text, static_cast<std::size_t>(length));
  // Taken even when lost: a failed state would stop the stream for good.
  return length;
}

void LogFile::Buffer::writeOut(const char* text, std::size_t length)
{
  if (fd < 0)
    return;
  while (length > 0) {
    const ssize_t written = ::write(fd, text, length);
    if (written < 0 && errno == EINTR)
      continue;
    if (written <= 0) {
      const int error = written < 0 ? errno : ENOSPC;
      if (!losing)
        std::cerr << "Cannot write file " << name << ": " << systemReason(error)
                  << "; log records are being lost" << std::endl;
      losing = true;
      return;
    }
    text += written;
    length -= static_cast<std::size_t>(written);
  }
  losing = false;
}

std::string systemReason(int errnum)
{
  char buffer[256];
  return ::strerror_r(errnum, buffer, sizeof buffer);
}

}  // namespace detail
}  // namespace qen_util

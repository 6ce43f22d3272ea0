#include "LogFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <iostream>
#include <unistd.h>

namespace qen_util {
namespace detail {

namespace {

// The file's last byte is not a line end. Read through a second descriptor,
// as the log's own is for writing only; a file that cannot be read counts
// as ending a line.
bool endsInsideALine(const char* name, const struct stat& opened)
{
  const int fd = ::open(name, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0)
    return false;
  struct stat status;
  char last = '\n';
  const bool same = ::fstat(fd, &status) == 0 && status.st_dev == opened.st_dev && status.st_ino == opened.st_ino;
  const bool inside = same && ::pread(fd, &last, 1, opened.st_size - 1) == 1 && last != '\n';
  ::close(fd);
  return inside;
}

}  // namespace

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
  const char* name = fileName ? fileName : "";
  // Regular files only: the open must not wait for a FIFO's reader, so it
  // does not block, and a FIFO without one refuses it (ENXIO). Truncation
  // waits until the file is known to be a regular one. 8 and 2 are the
  // append and output bits of the Windows runtime.
  const bool append = (mode & 8) != 0;
  const int fd = ::open(name, O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK | (append ? O_APPEND : 0), 0666);
  struct stat status;
  if (fd < 0) {
    if (errno == ENXIO && ::stat(name, &status) == 0 && !S_ISREG(status.st_mode))
      errno = kNotRegularFile;
    return false;
  }
  int error = 0;
  if (::fstat(fd, &status) != 0)
    error = errno;
  else if (!S_ISREG(status.st_mode))
    error = kNotRegularFile;
  else if (!append && ::ftruncate(fd, 0) != 0)
    error = errno;
  if (error != 0) {
    ::close(fd);
    errno = error;
    return false;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  buffer.fd = fd;
  buffer.name = name;
  buffer.losing = false;
  buffer.dropping = false;
  buffer.streamAtLineStart = true;
  // A file appended to that ends inside a line holds a record cut by an
  // earlier failure: it is marked before the next record.
  buffer.fileLineOpen = append && status.st_size > 0 && endsInsideALine(name, status);
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

std::size_t LogFile::Buffer::writeRaw(const char* text, std::size_t length)
{
  std::size_t done = 0;
  while (done < length) {
    const ssize_t written = ::write(fd, text + done, length - done);
    if (written < 0 && errno == EINTR)
      continue;
    if (written <= 0) {
      const int error = written < 0 ? errno : ENOSPC;
      if (!losing)
        std::cerr << "Cannot write file " << name << ": " << systemReason(error)
                  << "; log records are being lost" << std::endl;
      losing = true;
      break;
    }
    done += static_cast<std::size_t>(written);
  }
  if (done > 0)
    fileLineOpen = text[done - 1] != '\n';
  return done;
}

void LogFile::Buffer::writeOut(const char* text, std::size_t length)
{
  if (fd < 0 || length == 0)
    return;
  const bool endsLine = text[length - 1] == '\n';
  bool atLineStart = streamAtLineStart;
  while (length > 0) {
    if (dropping) {
      // The rest of a line that lost some of its text is lost with it: a
      // record is never completed by text that belongs after a gap.
      const void* lineEnd = std::memchr(text, '\n', length);
      if (!lineEnd)
        break;
      const std::size_t skipped = static_cast<std::size_t>(static_cast<const char*>(lineEnd) - text) + 1;
      text += skipped;
      length -= skipped;
      dropping = false;
      atLineStart = true;
      continue;
    }
    // A new line after a cut one: the cut one is ended and marked first.
    if (atLineStart && fileLineOpen && writeRaw(kCutMark, sizeof kCutMark - 1) != sizeof kCutMark - 1) {
      dropping = true;
      continue;
    }
    const std::size_t done = writeRaw(text, length);
    if (done == length) {
      losing = false;
      break;
    }
    text += done;
    length -= done;
    dropping = true;
  }
  streamAtLineStart = endsLine;
}

std::string systemReason(int errnum)
{
  if (errnum == kNotRegularFile)
    return "not a regular file";
  char buffer[256];
  return ::strerror_r(errnum, buffer, sizeof buffer);
}

}  // namespace detail
}  // namespace qen_util

// The file behind a log: the general logger's file and a callback's file.
#ifndef QEN_LOG_FILE_H
#define QEN_LOG_FILE_H

#include <ostream>
#include <streambuf>
#include <string>

namespace qen_util {
namespace detail {

/// A log file that outlives a full disk. A write that fails (no space left,
/// a file-size limit, /dev/full) loses that text and says so once on
/// standard error, and the stream never enters a failed state: the next
/// record is tried again, so the log goes on as soon as the file accepts
/// data. Every write goes straight to the file, so no record waits in a
/// buffer for a later failure to take with it. Not open, it takes records
/// and writes nothing, like a closed log.
class LogFile : public std::ostream
{
public:
  LogFile();
  ~LogFile() override;

  LogFile(const LogFile&) = delete;
  LogFile& operator=(const LogFile&) = delete;

  /// Opens the file, closing an open one first: mode 8 appends, anything
  /// else truncates. False when it cannot be opened, errno telling why.
  bool open(const char* name, int mode);
  void close();
  bool is_open() const;

private:
  class Buffer : public std::streambuf
  {
  public:
    int fd = -1;
    std::string name;
    // Records are being lost and that was said; cleared by the next write
    // that succeeds, so a later failure is said again.
    bool losing = false;

  private:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* text, std::streamsize length) override;
    void writeOut(const char* text, std::size_t length);
  };

  Buffer buffer;
};

/// The system's text for an error number.
std::string systemReason(int errnum);

}  // namespace detail
}  // namespace qen_util

#endif

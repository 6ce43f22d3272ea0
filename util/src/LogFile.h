// The file behind a log: the general logger's file and a callback's file.
#ifndef QEN_LOG_FILE_H
#define QEN_LOG_FILE_H

#include <cerrno>
#include <ostream>
#include <streambuf>
#include <string>

namespace qen_util {
namespace detail {

/// The error number that LogFile::open sets for a path that is not a
/// regular file (a FIFO, a device, a folder reached otherwise); systemReason
/// says "not a regular file". A real error number, so that a host that
/// prints strerror(errno) itself reads a sentence: "No such device" is what
/// the system says of opening a special file with nothing behind it.
constexpr int kNotRegularFile = ENODEV;

/// What ends a line cut by a failed write, once the file takes data again.
constexpr char kCutMark[] = " [record cut]\n";

/// A log file that outlives a full disk. A write that fails (no space left,
/// a file-size limit, /dev/full) loses that text and says so once on
/// standard error, and the stream never enters a failed state: the next
/// record is tried again, so the log goes on as soon as the file accepts
/// data. Every write goes straight to the file, so no record waits in a
/// buffer for a later failure to take with it. A line that lost part of
/// its text loses the rest of it too, and once the file takes data again
/// the cut line is ended with kCutMark before the next line. Not open, it
/// takes records and writes nothing, like a closed log. Only a regular file
/// is opened.
class LogFile : public std::ostream
{
public:
  LogFile();
  ~LogFile() override;

  LogFile(const LogFile&) = delete;
  LogFile& operator=(const LogFile&) = delete;

  /// Opens the file, closing an open one first: mode 8 appends, anything
  /// else truncates. False when it cannot be opened, errno telling why
  /// (kNotRegularFile for a path that is not a regular file).
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
    // The file's last byte is not a line end: a line is under way there.
    bool fileLineOpen = false;
    // The stream's current line lost some text: the rest of it goes too.
    bool dropping = false;
    // The next byte handed in starts a line.
    bool streamAtLineStart = true;

  private:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* text, std::streamsize length) override;
    void writeOut(const char* text, std::size_t length);
    // Writes what the file takes; the number of bytes written.
    std::size_t writeRaw(const char* text, std::size_t length);
  };

  Buffer buffer;
};

/// The system's text for an error number.
std::string systemReason(int errnum);

}  // namespace detail
}  // namespace qen_util

#endif

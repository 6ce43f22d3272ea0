// Shared helpers of the logging tests.
#ifndef QEN_LOG_TEST_SUPPORT_H
#define QEN_LOG_TEST_SUPPORT_H

#include <dirent.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <latch>
#include <map>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include <ace/SString.h>

#include "QENLogConfig.h"
#include "QENLogUtil.h"

#include "shell_command.h"

inline std::string str(const ACE_CString& s)
{
  return std::string(s.c_str(), s.length());
}

using qen_test::read_file;

inline void writeAll(const std::string& path, const std::string& content)
{
  std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

inline bool exists(const std::string& path)
{
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

/// A file-size limit for this process while the object lives: a regular
/// file that takes no more data past it (EFBIG, SIGXFSZ ignored). Keep it
/// above what the test writes elsewhere (captured standard error).
class FileSizeLimit
{
public:
  explicit FileSizeLimit(rlim_t bytes)
  {
    ::getrlimit(RLIMIT_FSIZE, &saved);
    oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = saved;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit()
  {
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, oldHandler);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
  struct rlimit saved;
  sighandler_t oldHandler;
};

/// Enables the logger's SQL logging into a separate file at path, opened
/// with the mode (2 truncates, 8 appends); whether it opened.
inline bool openSqlLog(qen_util::QENSpecificLogUtil& logger, const std::string& path, int mode)
{
  logger.enableSqlLog(true);
  logger.setSeparateSqlLogs(true);
  logger.setSqlLoggingMode(4, true);
  return logger.openSqlLogFile(path.c_str(), mode);
}

/// A fresh, empty folder under the test folder.
inline std::string freshFolder(const std::string& name)
{
  std::string dir = std::string(QEN_TEST_TMP_DIR) + "/" + name;
  std::string command = "rm -rf " + qen_test::shell_quote(dir) + " && mkdir -p " + qen_test::shell_quote(dir);
  if (std::system(command.c_str()) != 0)
    return std::string();
  return dir;
}

inline std::vector<std::string> listFolder(const std::string& dir)
{
  std::vector<std::string> names;
  if (DIR* d = ::opendir(dir.c_str())) {
    while (dirent* entry = ::readdir(d)) {
      std::string name = entry->d_name;
      if (name != "." && name != "..")
        names.push_back(name);
    }
    ::closedir(d);
  }
  return names;
}

/// The header "[%s] %s  " with a timestamp "%d/%02d/%02d %02d:%02d:%02d : ".
inline std::string headerPattern(const std::string& level)
{
  return "\\[" + level + "\\] [0-9]{4}/[0-9]{2}/[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} :   ";
}

/// The statement that thread `thread` logs as its record `record` in the
/// shared-logger tests: long enough that torn or glued records show.
inline std::string sharedSqlText(int thread, int record)
{
  return "insert into t" + std::to_string(thread) + " values (" + std::to_string(record) + ", '" +
         std::string(96, static_cast<char>('a' + thread % 26)) + "')";
}

/// Starts `threads` threads together; each calls log with its statements
/// 0 to records - 1 in order.
inline void logFromThreads(int threads, int records, const std::function<void(const std::string&)>& log)
{
  std::latch start(threads);
  std::vector<std::thread> running;
  for (int t = 0; t < threads; ++t)
    running.emplace_back([&start, &log, t, records] {
      start.arrive_and_wait();
      for (int r = 0; r < records; ++r)
        log(sharedSqlText(t, r));
    });
  for (std::thread& thread : running)
    thread.join();
}

/// Lines of a text that ends in a newline; a last line without one is
/// kept as it is, so a torn ending still shows.
inline std::vector<std::string> splitLines(const std::string& content)
{
  std::vector<std::string> lines;
  std::string::size_type from = 0;
  while (from < content.size()) {
    std::string::size_type end = content.find('\n', from);
    if (end == std::string::npos) {
      lines.push_back(content.substr(from) + "<no newline>");
      break;
    }
    lines.push_back(content.substr(from, end - from));
    from = end + 1;
  }
  return lines;
}

/// The statements of a general log, each written as its header and text, a
/// header alone and an empty line. A line that does not fit that shape is
/// kept marked, so it never counts as a statement.
inline std::vector<std::string> generalLogStatements(const std::string& content, const std::string& level)
{
  const std::regex withText(headerPattern(level) + "(.*)");
  const std::regex alone(headerPattern(level));
  const std::vector<std::string> lines = splitLines(content);
  std::vector<std::string> statements;
  std::smatch match;
  for (std::size_t i = 0; i < lines.size();) {
    if (i + 2 < lines.size() && std::regex_match(lines[i], match, withText) &&
        std::regex_match(lines[i + 1], alone) && lines[i + 2].empty()) {
      statements.push_back(match[1].str());
      i += 3;
    } else {
      statements.push_back("<torn> " + lines[i]);
      ++i;
    }
  }
  return statements;
}

/// How many statements of sharedSqlText appear whole and exactly once.
inline int wholeAndOnce(const std::vector<std::string>& statements, int threads, int records)
{
  std::map<std::string, int> seen;
  for (const std::string& statement : statements)
    ++seen[statement];
  int good = 0;
  for (int t = 0; t < threads; ++t)
    for (int r = 0; r < records; ++r) {
      auto found = seen.find(sharedSqlText(t, r));
      good += found != seen.end() && found->second == 1;
    }
  return good;
}

// Scenarios that run in a child process (EXPECT_EXIT) return "" or what
// went wrong; CHECK returns the failed condition with its line.
#define CHECK(condition)                                                                     \
  do {                                                                                       \
    if (!(condition))                                                                        \
      return std::string("check failed: " #condition " at line ") + std::to_string(__LINE__); \
  } while (0)

/// Ends a scenario's child: status 1 with the failure on standard error, or
/// an ordinary exit 0, so that the release at exit runs too.
[[noreturn]] inline void finish(const std::string& failure)
{
  if (!failure.empty()) {
    std::fprintf(stderr, "%s\n", failure.c_str());
    std::exit(1);
  }
  std::exit(0);
}

/// A pattern that matches the text and nothing else.
inline std::string exactly(const std::string& text)
{
  std::string pattern = "^";
  for (char c : text) {
    if (std::strchr(".[]()*+?{}|^$\\", c))
      pattern += '\\';
    pattern += c;
  }
  return pattern + "$";
}

/// The level of the configuration's default logger; -1 without one.
inline int generalLevel()
{
  qen_util::QENLogConfig* config = qen_util::QENLogConfig::instance();
  if (!config || !config->getDefaultLogUtil())
    return -1;
  return config->getDefaultLogUtil()->getLoggingLevel();
}

#endif

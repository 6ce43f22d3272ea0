// Shared helpers of the logging tests.
#ifndef QEN_LOG_TEST_SUPPORT_H
#define QEN_LOG_TEST_SUPPORT_H

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <ace/SString.h>

inline std::string str(const ACE_CString& s)
{
  return std::string(s.c_str(), s.length());
}

inline std::string readAll(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

inline void writeAll(const std::string& path, const std::string& content)
{
  std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

inline bool exists(const std::string& path)
{
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

/// A fresh, empty folder under the test folder.
inline std::string freshFolder(const std::string& name)
{
  std::string dir = std::string(QEN_TEST_TMP_DIR) + "/" + name;
  std::string command = "rm -rf '" + dir + "' && mkdir -p '" + dir + "'";
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

#endif

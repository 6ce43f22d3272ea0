#include "MachineRegistry.h"

#include <cstdlib>
#include <fstream>
#include <strings.h>

namespace qen_util {
namespace detail {

namespace {

const char kDriverRoot[] = "SOFTWARE\\ODBC\\ODBCINST.INI\\";

std::string trim(const std::string& text)
{
  const char* blanks = " \t\r\n";
  std::string::size_type first = text.find_first_not_of(blanks);
  if (first == std::string::npos)
    return std::string();
  std::string::size_type last = text.find_last_not_of(blanks);
  return text.substr(first, last - first + 1);
}

bool sameName(const std::string& a, const std::string& b)
{
  return a.size() == b.size() && ::strncasecmp(a.c_str(), b.c_str(), a.size()) == 0;
}

}  // namespace

std::string MachineRegistry::driverFilePath()
{
  const char* dir = std::getenv("ODBCSYSINI");
  std::string folder = (dir && *dir) ? dir : "/etc";
  const char* name = std::getenv("ODBCINSTINI");
  std::string file = (name && *name) ? name : "odbcinst.ini";
  if (file[0] == '/')
    return file;
  if (!folder.empty() && folder.back() != '/')
    folder += '/';
  return folder + file;
}

bool MachineRegistry::openKey(const std::string& path, Key& key) const
{
  const std::string root(kDriverRoot);
  if (path.size() <= root.size() || ::strncasecmp(path.c_str(), root.c_str(), root.size()) != 0)
    return false;
  const std::string section = path.substr(root.size());
  // Only the driver keys themselves are kept, not keys beneath them.
  if (section.find('\\') != std::string::npos)
    return false;

  std::ifstream in(driverFilePath());
  if (!in)
    return false;

  bool found = false;
  bool inSection = false;
  std::string line;
  key.values.clear();
  while (std::getline(in, line)) {
    std::string text = trim(line);
    if (text.empty() || text[0] == ';' || text[0] == '#')
      continue;
    if (text[0] == '[') {
      std::string::size_type close = text.find(']');
      std::string name = trim(text.substr(1, close == std::string::npos ? std::string::npos : close - 1));
      inSection = sameName(name, section);
      found = found || inSection;
      continue;
    }
    if (!inSection)
      continue;
    std::string::size_type eq = text.find('=');
    if (eq == std::string::npos)
      continue;
    std::string name = trim(text.substr(0, eq));
    if (name.empty())
      continue;
    key.values.emplace_back(name, trim(text.substr(eq + 1)));
  }
  return found;
}

bool MachineRegistry::readString(const Key& key, const std::string& name, std::string& value)
{
  for (const auto& entry : key.values) {
    if (sameName(entry.first, name)) {
      value = entry.second;
      return true;
    }
  }
  return false;
}

}  // namespace detail
}  // namespace qen_util

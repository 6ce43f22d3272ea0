#include "IniReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <string>
#include <string_view>
#include <strings.h>

#include <ace/Configuration.h>

#include "LogFile.h"
#include "MachineRegistry.h"
#include "qen_throw.h"

namespace qen_util {

namespace {

const char* text(const char* s)
{
  return s ? s : "";
}

bool booleanOf(const ACE_CString& value)
{
  if (value.length() == 0)
    return false;
  static const char* const trueWords[] = {"true", "yes", "y", "1"};
  for (const char* word : trueWords) {
    if (::strcasecmp(value.c_str(), word) == 0)
      return true;
  }
  return false;
}

const unsigned long long kIntMax = std::numeric_limits<int>::max();
const unsigned long long kUnsignedMax = std::numeric_limits<unsigned int>::max();

// The leading decimal number of a value as the C runtime reads it: blanks,
// an optional sign, digits, anything after them ignored; 0 when there are
// no digits. False when the number lies outside [-maxNegative, maxPositive]:
// such a value is refused, never wrapped.
bool leadingNumber(const ACE_CString& value, unsigned long long maxPositive,
                   unsigned long long maxNegative, long long& number)
{
  const char* p = value.c_str();
  while (std::isspace(static_cast<unsigned char>(*p)))
    ++p;
  bool negative = false;
  if (*p == '+' || *p == '-')
    negative = *p++ == '-';
  const unsigned long long limit = negative ? maxNegative : maxPositive;
  unsigned long long magnitude = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    magnitude = magnitude * 10 + static_cast<unsigned long long>(*p - '0');
    if (magnitude > limit)
      return false;
  }
  number = negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
  return true;
}

// The text without the blanks, tabs and line ends around it.
std::string_view trimmed(std::string_view text)
{
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
    text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
    text.remove_suffix(1);
  return text;
}

// Where the keys of the lines read so far go.
struct SectionState
{
  ACE_Configuration_Section_Key key;
  bool open = false;  // false before the first section and after a bad header
};

// Takes one line of the file into the heap: a comment, a section header or
// a key. Returns why the line cannot be taken, or nullptr.
const char* takeLine(ACE_Configuration_Heap& heap, std::string_view raw, SectionState& section)
{
  if (raw.find('\0') != std::string_view::npos)
    return "a NUL byte in it";
  const std::string_view line = trimmed(raw);
  if (line.empty() || line.front() == ';' || line.front() == '#')
    return nullptr;
  if (line.front() == '[') {
    // Keys after a header that cannot be taken belong to no section.
    section.open = false;
    const std::size_t end = line.rfind(']');
    if (end == std::string_view::npos)
      return "a section name without ']'";
    const std::string_view name = line.substr(1, end - 1);
    // A name of path separators alone names no section at all.
    if (name.find_first_not_of("\\/") == std::string_view::npos ||
        heap.expand_path(heap.root_section(), ACE_CString(name.data(), static_cast<ACE_CString::size_type>(name.size())),
                         section.key, true) != 0)
      return "not a valid section name";
    section.open = true;
    return nullptr;
  }
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos)
    return "a line without '='";
  if (!section.open)
    return "a key outside any section";
  const std::string name(trimmed(line.substr(0, equals)));
  std::string_view value = trimmed(line.substr(equals + 1));
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
    value = value.substr(1, value.size() - 2);
  const ACE_TString text(value.data(), static_cast<ACE_TString::size_type>(value.size()));
  if (heap.set_string_value(section.key, name.c_str(), text) != 0)
    return "not a valid key name";
  return nullptr;
}

// Opens a file for reading when it is a regular file: a FIFO would block the
// open and a device (/dev/zero) would never end. The open does not wait (a
// FIFO without a writer), and the check is made on what was opened. -1 with
// *reason set otherwise.
int openRegularFile(const char* fileName, std::string* reason)
{
  const int fd = ::open(fileName, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    *reason = detail::systemReason(errno);
    return -1;
  }
  struct stat status;
  if (::fstat(fd, &status) != 0) {
    *reason = detail::systemReason(errno);
    ::close(fd);
    return -1;
  }
  if (!S_ISREG(status.st_mode)) {
    *reason = S_ISDIR(status.st_mode) ? detail::systemReason(EISDIR) : std::string("not a regular file");
    ::close(fd);
    return -1;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

// The whole content of a file opened for reading; false with *reason set
// when a read fails.
bool readAll(int fd, std::string& content, std::string* reason)
{
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR)
      continue;
    if (got < 0) {
      *reason = detail::systemReason(errno);
      return false;
    }
    if (got == 0)
      return true;
    content.append(buffer, static_cast<std::size_t>(got));
  }
}

// Reads an INI file into the heap, lines of any length. A line that cannot
// be taken is named on standard error and skipped: one bad line must not
// cost the rest of the file. A byte-order mark before the first line is
// skipped. False, with *reason set, when the file cannot be opened or read,
// or is not a regular file.
bool importIni(ACE_Configuration_Heap& heap, const char* fileName, std::string* reason)
{
  const int fd = openRegularFile(fileName, reason);
  if (fd < 0)
    return false;
  std::string content;
  const bool read = readAll(fd, content, reason);
  ::close(fd);
  if (!read)
    return false;
  static constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  SectionState section;
  unsigned long number = 0;
  std::string_view rest(content);
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    if (++number == 1 && line.substr(0, kByteOrderMark.size()) == kByteOrderMark)
      line.remove_prefix(kByteOrderMark.size());
    if (const char* problem = takeLine(heap, line, section))
      std::cerr << fileName << ", line " << number << ": " << problem << "; the line is skipped"
                << std::endl;
  }
  return true;
}

// The file as the failure names it: a relative name gets the working
// folder, so that the message says which file it was.
std::string pathForMessage(const char* fileName)
{
  if (!*fileName || *fileName == '/')
    return fileName;
  char* folder = ::getcwd(nullptr, 0);
  if (!folder)
    return fileName;
  std::string path = std::string(folder) + "/" + fileName;
  std::free(folder);
  return path;
}

}  // namespace

const char* const IniReader::__className__ = "qen_util::IniReader";

IniReader::IniReader() : fileName(""), configuration(nullptr), loaded(false) {}

IniReader::IniReader(const char* name) : fileName(text(name)), configuration(nullptr), loaded(false) {}

IniReader::~IniReader() = default;

ACE_CString IniReader::getFileName() const
{
  return fileName;
}

IniReader& IniReader::setFileName(const char* name)
{
  fileName = text(name);
  return *this;
}

void IniReader::load()
{
  if (loaded)
    return;
  configuration = nullptr;
  heap.reset(new ACE_Configuration_Heap);
  if (heap->open(16) != 0) {
    heap.reset();
    QEN_THROW_FILE_EXCEPTION("Unable to open config settings");
  }
  std::string reason;
  if (!importIni(*heap, fileName.c_str(), &reason)) {
    heap.reset();
    QEN_THROW_FILE_EXCEPTION(QENException::generateString("Error with ini file %s: %s",
                                                          pathForMessage(fileName.c_str()).c_str(), reason.c_str()));
  }
  loaded = true;
  configuration = heap.get();
}

void IniReader::unload()
{
  loaded = false;
  fileName = "";
  configuration = nullptr;
  heap.reset();
}

bool IniReader::verifySection(const char* section)
{
  try {
    load();
    ACE_Configuration_Section_Key key;
    if (section && configuration->open_section(configuration->root_section(), section, 0, key) == 0)
      return true;
    QEN_THROW_FILE_EXCEPTION(QENException::generateString("Error section %s", text(section)));
  } catch (QENFileException& e) {
    QEN_PASS_ON(e);
  }
}

ACE_CString IniReader::getStringValue(const char* section, const char* key)
{
  try {
    load();
    ACE_Configuration_Section_Key sectionKey;
    if (!section || configuration->open_section(configuration->root_section(), section, 0, sectionKey) != 0)
      QEN_THROW_FILE_EXCEPTION(QENException::generateString("Error section %s", text(section)));
    ACE_TString value;
    if (!key || configuration->get_string_value(sectionKey, key, value) != 0)
      QEN_THROW_FILE_EXCEPTION(
          QENException::generateString("Error section %s key %s", text(section), text(key)));
    return ACE_CString(value.c_str());
  } catch (QENFileException& e) {
    QEN_PASS_ON(e);
  }
}

ACE_CString IniReader::getStringValue(const char* section, const char* key,
                                      const ACE_CString& defaultValue)
{
  try {
    return getStringValue(section, key);
  } catch (QENFileException&) {
    return defaultValue;
  }
}

bool IniReader::getBooleanValue(const char* section, const char* key)
{
  ACE_CString value;
  try {
    value = getStringValue(section, key);
  } catch (QENFileException& e) {
    QEN_PASS_ON(e);
  }
  return booleanOf(value);
}

bool IniReader::getBooleanValue(const char* section, const char* key, bool defaultValue)
{
  try {
    return getBooleanValue(section, key);
  } catch (QENFileException&) {
    return defaultValue;
  }
}

int IniReader::getIntValue(const char* section, const char* key)
{
  ACE_CString value;
  try {
    value = getStringValue(section, key);
  } catch (QENFileException& e) {
    QEN_PASS_ON(e);
  }
  long long number = 0;
  if (!leadingNumber(value, kIntMax, kIntMax + 1, number))
    QEN_THROW_FILE_EXCEPTION(
        QENException::generateString("Error section %s key %s", text(section), text(key)));
  return static_cast<int>(number);
}

int IniReader::getIntValue(const char* section, const char* key, int defaultValue)
{
  try {
    return getIntValue(section, key);
  } catch (QENFileException&) {
    return defaultValue;
  }
}

double IniReader::getDoubleValue(const char* section, const char* key)
{
  ACE_CString value;
  try {
    value = getStringValue(section, key);
  } catch (QENFileException& e) {
    QEN_PASS_ON(e);
  }
  if (value.length() == 0)
    return 0.0;
  return std::atof(value.c_str());
}

unsigned int IniReader::getUnsignedValue(const char* section, const char* key)
{
  ACE_CString value;
  try {
    value = getStringValue(section, key);
  } catch (QENFileException& e) {
    QEN_PASS_ON(e);
  }
  // Nor does a negative number fit.
  long long number = 0;
  if (!leadingNumber(value, kUnsignedMax, 0, number))
    QEN_THROW_FILE_EXCEPTION(
        QENException::generateString("Error section %s key %s", text(section), text(key)));
  return static_cast<unsigned int>(number);
}

// ---------------------------------------------------------------------------

QENRegIniReader::QENRegIniReader()
    : registry(new detail::MachineRegistry), basePath("SOFTWARE\\ODBC\\ODBCINST.INI\\")
{
  // The registry is always there: nothing to load.
  configuration = nullptr;
  loaded = true;
}

QENRegIniReader::~QENRegIniReader() = default;

bool QENRegIniReader::verifySection(const char* section)
{
  try {
    detail::MachineRegistry::Key key;
    if (section && registry->openKey(std::string(basePath.c_str()) + section, key))
      return true;
    QEN_THROW_FILE_EXCEPTION(QENException::generateString("Error section %s", text(section)));
  } catch (QENFileException& e) {
    QEN_PASS_ON(e);
  }
}

ACE_CString QENRegIniReader::getStringValue(const char* section, const char* key)
{
  try {
    detail::MachineRegistry::Key sectionKey;
    if (!section || !registry->openKey(std::string(basePath.c_str()) + section, sectionKey))
      QEN_THROW_FILE_EXCEPTION(QENException::generateString("Error section %s", text(section)));
    std::string value;
    if (!key || !detail::MachineRegistry::readString(sectionKey, key, value))
      QEN_THROW_FILE_EXCEPTION(
          QENException::generateString("Error section %s key %s", text(section), text(key)));
    return ACE_CString(value.c_str(), static_cast<ACE_CString::size_type>(value.size()));
  } catch (QENFileException& e) {
    QEN_PASS_ON(e);
  }
}

ACE_CString QENRegIniReader::getStringValue(const char* section, const char* key,
                                            const ACE_CString& defaultValue)
{
  try {
    return getStringValue(section, key);
  } catch (QENFileException&) {
    return defaultValue;
  }
}

}  // namespace qen_util

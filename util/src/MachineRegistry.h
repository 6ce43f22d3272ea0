// Stand-in for the machine-wide registry where the platform has none: the
// driver entries under SOFTWARE\ODBC\ODBCINST.INI are the sections of the
// ODBC driver manager's driver file ($ODBCSYSINI/odbcinst.ini, ODBCSYSINI
// defaulting to /etc; ODBCINSTINI may name another file). A missing file is
// an empty registry. Key and value names compare without regard to case,
// as registry names do.
#ifndef QEN_MACHINE_REGISTRY_H
#define QEN_MACHINE_REGISTRY_H

#include <string>
#include <utility>
#include <vector>

namespace qen_util {
namespace detail {

class MachineRegistry
{
public:
  /// An opened key: its named string values.
  struct Key
  {
    std::vector<std::pair<std::string, std::string>> values;
  };

  /// Opens the key at path under HKEY_LOCAL_MACHINE without creating it.
  bool openKey(const std::string& path, Key& key) const;

  /// Reads a named string value of an opened key.
  static bool readString(const Key& key, const std::string& name, std::string& value);

  /// The driver file that backs the registry.
  static std::string driverFilePath();
};

}  // namespace detail
}  // namespace qen_util

#endif

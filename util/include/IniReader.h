// Readers of named values: IniReader over an INI file, QENRegIniReader over
// the machine's ODBC driver entries. Every string, boolean and integer getter
// comes in two forms: one throws QENFileException, one returns a default.
#ifndef QEN_INI_READER_H
#define QEN_INI_READER_H

#include <memory>

#include <ace/SString.h>

#include "QENException.h"
#include "qen_util_export.h"

class ACE_Configuration;
class ACE_Configuration_Heap;

namespace qen_util {

namespace detail {
class MachineRegistry;
}

class QEN_UTIL_API IniReader
{
public:
  static const char* const __className__;

  IniReader();
  explicit IniReader(const char* fileName);
  virtual ~IniReader();

  IniReader(const IniReader&) = delete;
  IniReader& operator=(const IniReader&) = delete;

  ACE_CString getFileName() const;
  IniReader& setFileName(const char* fileName);

  /// Reads the file; does nothing once loaded.
  virtual void load();
  /// Forgets the loaded file and its name; the next getter loads again.
  void unload();

  virtual bool verifySection(const char* section);

  virtual ACE_CString getStringValue(const char* section, const char* key,
                                     const ACE_CString& defaultValue);
  virtual ACE_CString getStringValue(const char* section, const char* key);

  virtual bool getBooleanValue(const char* section, const char* key, bool defaultValue);
  virtual bool getBooleanValue(const char* section, const char* key);

  /// The leading decimal number as the C runtime reads it (0 when there is
  /// none). A number that does not fit the type fails like a missing key,
  /// "Error section %s key %s", instead of wrapping; so does a negative one
  /// for the unsigned getter.
  virtual int getIntValue(const char* section, const char* key, int defaultValue);
  virtual int getIntValue(const char* section, const char* key);

  virtual double getDoubleValue(const char* section, const char* key);
  virtual unsigned int getUnsignedValue(const char* section, const char* key);

protected:
  ACE_CString fileName;
  // A fresh heap for every load: a heap cannot be opened twice, and old
  // keys must not survive into a new load.
  std::unique_ptr<ACE_Configuration_Heap> heap;
  ACE_Configuration* configuration;
  bool loaded;
};

class QEN_UTIL_API QENRegIniReader : public IniReader
{
public:
  QENRegIniReader();
  virtual ~QENRegIniReader();

  bool verifySection(const char* section) override;

  ACE_CString getStringValue(const char* section, const char* key,
                             const ACE_CString& defaultValue) override;
  ACE_CString getStringValue(const char* section, const char* key) override;

protected:
  std::unique_ptr<detail::MachineRegistry> registry;
  ACE_CString basePath;
};

}  // namespace qen_util

#endif

// Process-wide front end to the framework's manager of loaded libraries.
#ifndef QEN_LIBRARY_MANAGER_H
#define QEN_LIBRARY_MANAGER_H

#include "qen_util_export.h"

class ACE_DLL_Handle;
class ACE_DLL_Manager;

namespace qen_util {

class QEN_UTIL_API LibraryManager
{
public:
  /// The process-wide instance, created on the first call (without a
  /// lock: make the first call before other threads use it).
  static LibraryManager* instance();

  LibraryManager();
  ~LibraryManager();
  LibraryManager& operator=(const LibraryManager& other);

  /// Opens a library by name; no handle when it cannot be opened.
  ACE_DLL_Handle* load(const char* name);
  /// A symbol of an opened library; none when it is missing. Without a
  /// handle the process ends with status 1.
  void* getProcAddr(ACE_DLL_Handle* handle, const char* symbol);
  /// Closes a library opened by load: 0, or -1 for a library that is not
  /// open (never loaded, or closed as often as it was loaded). Before any
  /// load the process ends with status 1.
  int close(const char* name);

private:
  friend class LibraryManagerReaper;

  static LibraryManager* m_pinstance;
  ACE_DLL_Manager* m_manager;
};

}  // namespace qen_util

#endif

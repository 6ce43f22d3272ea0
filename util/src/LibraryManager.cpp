#include "LibraryManager.h"

#include <cstdlib>

#include <ace/DLL_Manager.h>

namespace qen_util {

LibraryManager* LibraryManager::m_pinstance = nullptr;

// Deletes the instance at process exit.
class LibraryManagerReaper
{
public:
  ~LibraryManagerReaper()
  {
    delete LibraryManager::m_pinstance;
    LibraryManager::m_pinstance = nullptr;
  }
};

namespace {
LibraryManagerReaper reaper;
}

LibraryManager* LibraryManager::instance()
{
  if (m_pinstance == nullptr)
    m_pinstance = new LibraryManager;
  return m_pinstance;
}

LibraryManager::LibraryManager() : m_manager(nullptr) {}

LibraryManager::~LibraryManager() {}

LibraryManager& LibraryManager::operator=(const LibraryManager& other)
{
  m_manager = other.m_manager;
  return *this;
}

ACE_DLL_Handle* LibraryManager::load(const char* name)
{
  m_manager = ACE_DLL_Manager::instance(1024);
  if (m_manager == nullptr || name == nullptr || *name == '\0')
    return nullptr;
  return m_manager->open_dll(name, ACE_DEFAULT_SHLIB_MODE, ACE_SHLIB_INVALID_HANDLE);
}

void* LibraryManager::getProcAddr(ACE_DLL_Handle* handle, const char* symbol)
{
  if (handle == nullptr)
    std::exit(1);
  if (symbol == nullptr)
    return nullptr;
  return handle->symbol(symbol, false);
}

int LibraryManager::close(const char* name)
{
  if (m_manager == nullptr)
    std::exit(1);
  if (name == nullptr)
    return -1;
  return m_manager->close_dll(name);
}

}  // namespace qen_util

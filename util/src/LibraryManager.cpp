#include "LibraryManager.h"

#include <cstdlib>
#include <map>
#include <mutex>
#include <string>

#include <ace/DLL_Manager.h>

namespace qen_util {

LibraryManager* LibraryManager::m_pinstance = nullptr;

namespace {

// Guards the instance, the manager pointer and the handles below: hosts
// load and close from several threads.
std::mutex managerLock;

// The handle that load returned for each name. A handle stays with the
// framework's manager after its last close, so a second close would find
// it and report success for nothing done: its count of opens tells.
std::map<std::string, ACE_DLL_Handle*> handles;

}  // namespace

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
  std::lock_guard<std::mutex> guard(managerLock);
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
  std::lock_guard<std::mutex> guard(managerLock);
  m_manager = ACE_DLL_Manager::instance(1024);
  if (m_manager == nullptr || name == nullptr || *name == '\0')
    return nullptr;
  ACE_DLL_Handle* handle = m_manager->open_dll(name, ACE_DEFAULT_SHLIB_MODE, ACE_SHLIB_INVALID_HANDLE);
  if (handle)
    handles[name] = handle;
  return handle;
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
  std::unique_lock<std::mutex> guard(managerLock);
  if (m_manager == nullptr) {
    guard.unlock();  // the release at exit must find it free
    std::exit(1);
  }
  if (name == nullptr)
    return -1;
  // Closed as often as it was opened: as unknown as a library never loaded.
  const auto known = handles.find(name);
  if (known != handles.end() && known->second->refcount() == 0)
    return -1;
  return m_manager->close_dll(name);
}

}  // namespace qen_util

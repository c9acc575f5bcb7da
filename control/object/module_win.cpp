#include "control/object/module_win.h"

#include <atomic>
#include <mutex>

namespace zorvel {
namespace {

HINSTANCE g_instance = nullptr;
std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};
// Loaded by the first object that is asked, on whichever apartment thread that is.
std::mutex g_typeLibLock;
ITypeLib* g_typeLib = nullptr;

}  // namespace

void SetModuleInstance(HINSTANCE instance) { g_instance = instance; }

HINSTANCE ModuleInstance() { return g_instance ? g_instance : GetModuleHandleW(nullptr); }

std::wstring ModulePath() {
  wchar_t path[MAX_PATH * 2];
  const DWORD length = GetModuleFileNameW(ModuleInstance(), path, MAX_PATH * 2);
  return std::wstring(path, length);
}

void NoteObjectCreated() { ++g_objects; }
void NoteObjectDestroyed() { --g_objects; }
void LockModule(bool lock) { lock ? ++g_locks : --g_locks; }
bool ModuleInUse() { return g_objects > 0 || g_locks > 0; }
long LiveObjects() { return g_objects; }

ITypeInfo* LoadTypeInfo(REFGUID guid) {
  std::lock_guard lock(g_typeLibLock);
  if (!g_typeLib && FAILED(LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, &g_typeLib))) {
    g_typeLib = nullptr;
    return nullptr;
  }
  ITypeInfo* info = nullptr;
  if (FAILED(g_typeLib->GetTypeInfoOfGuid(guid, &info))) return nullptr;
  return info;
}

std::string LoadAnsiString(UINT id) {
  char buffer[1024];
  const int length = LoadStringA(ModuleInstance(), id, buffer, sizeof buffer);
  return std::string(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

}  // namespace zorvel

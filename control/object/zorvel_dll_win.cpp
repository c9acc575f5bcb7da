// The library's entry points: attach and detach, and the four exports of a COM server.
#include <objbase.h>
#include <windows.h>

#include "control/engine/ftp/ftp_upload_win.h"
#include "control/engine/http/multipart_upload_win.h"
#include "control/object/class_factory_win.h"
#include "control/object/module_win.h"
#include "control/object/registration_win.h"
#include "control/object/zorvel_idl_win.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    zorvel::SetModuleInstance(instance);
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

namespace {

// Every control the library makes runs the real engines.
zorvel::ZorvexFactory g_factory({zorvel::MultipartUpload, zorvel::FtpUpload});

}  // namespace

STDAPI DllCanUnloadNow() { return zorvel::ModuleInUse() ? S_FALSE : S_OK; }

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, LPVOID* object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!IsEqualCLSID(clsid, CLSID_Zorvex)) return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(riid, object);
}

STDAPI DllRegisterServer() { return zorvel::RegisterServer(zorvel::ModulePath()); }

STDAPI DllUnregisterServer() { return zorvel::UnregisterServer(); }

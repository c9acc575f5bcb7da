#include "control/object/registration_win.h"

#include <oleauto.h>

#include "base/com_object_win.h"
#include "control/object/zorvel_idl_win.h"

namespace zorvel {
namespace {

const wchar_t kClassName[] = L"Zorvex Class";
const wchar_t kProgId[] = L"Zorvex.1";
const wchar_t kIndependentProgId[] = L"Zorvex";
const wchar_t kClsidKey[] = L"CLSID\\{5A3D91C2-7E04-4B6F-9C1A-3F28D6E07B14}";
const wchar_t kClsidText[] = L"{5A3D91C2-7E04-4B6F-9C1A-3F28D6E07B14}";
const wchar_t kLibidText[] = L"{5A3D91C3-7E04-4B6F-9C1A-3F28D6E07B14}";

// Creates (or opens) the key below HKEY_CLASSES_ROOT and sets its default value, and a named
// value when one is given.
LSTATUS WriteKey(const std::wstring& key, const std::wstring& value, const wchar_t* name = nullptr,
                 const wchar_t* namedValue = nullptr) {
  HKEY handle = nullptr;
  LSTATUS status = RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE,
                                   nullptr, &handle, nullptr);
  if (status != ERROR_SUCCESS) return status;
  auto set = [&](const wchar_t* valueName, const std::wstring& text) {
    return RegSetValueExW(handle, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  };
  status = set(nullptr, value);
  if (status == ERROR_SUCCESS && name) status = set(name, namedValue);
  RegCloseKey(handle);
  return status;
}

LSTATUS WriteEmptyKey(const std::wstring& key) {
  HKEY handle = nullptr;
  const LSTATUS status = RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE,
                                         nullptr, &handle, nullptr);
  if (status == ERROR_SUCCESS) RegCloseKey(handle);
  return status;
}

void DeleteTree(const std::wstring& key) { RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str()); }

HRESULT FromStatus(LSTATUS status) {
  return status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(static_cast<DWORD>(status));
}

}  // namespace

HRESULT RegisterServer(const std::wstring& modulePath) {
  const std::wstring clsid = kClsidKey;
  DeleteTree(clsid);
  const LSTATUS results[] = {
      WriteKey(kProgId, kClassName),
      WriteKey(std::wstring(kProgId) + L"\\CLSID", kClsidText),
      WriteKey(kIndependentProgId, kClassName),
      WriteKey(std::wstring(kIndependentProgId) + L"\\CLSID", kClsidText),
      WriteKey(std::wstring(kIndependentProgId) + L"\\CurVer", kProgId),
      WriteKey(clsid, kClassName),
      WriteKey(clsid + L"\\ProgID", kProgId),
      WriteKey(clsid + L"\\VersionIndependentProgID", kIndependentProgId),
      WriteEmptyKey(clsid + L"\\Programmable"),
      WriteKey(clsid + L"\\InprocServer32", modulePath, L"ThreadingModel", L"Apartment"),
      WriteEmptyKey(clsid + L"\\Control"),
      WriteKey(clsid + L"\\ToolboxBitmap32", modulePath + L", 101"),
      WriteKey(clsid + L"\\MiscStatus", L"0"),
      WriteKey(clsid + L"\\MiscStatus\\1", L"131473"),
      WriteKey(clsid + L"\\TypeLib", kLibidText),
      WriteKey(clsid + L"\\Version", L"1.0"),
  };
  for (LSTATUS status : results) {
    if (status != ERROR_SUCCESS) return FromStatus(status);
  }
  base::ComPtr<ITypeLib> typeLib;
  const HRESULT loaded = LoadTypeLibEx(modulePath.c_str(), REGKIND_NONE, typeLib.Put());
  if (FAILED(loaded)) return loaded;
  std::wstring path = modulePath;
  return RegisterTypeLib(typeLib.Get(), path.data(), nullptr);
}

HRESULT UnregisterServer() {
  DeleteTree(kProgId);
  DeleteTree(kIndependentProgId);
  DeleteTree(kClsidKey);
  // Looked up at run time: a system without it still unregisters the class.
  using UnRegisterTypeLibFunction = HRESULT(WINAPI*)(REFGUID, WORD, WORD, LCID, SYSKIND);
  if (HMODULE oleaut = GetModuleHandleW(L"oleaut32.dll")) {
    if (auto unregister = reinterpret_cast<UnRegisterTypeLibFunction>(
            reinterpret_cast<void*>(GetProcAddress(oleaut, "UnRegisterTypeLib")))) {
      // The type library was registered for the platform this library is built for.
      constexpr SYSKIND kPlatform = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
      unregister(LIBID_ZORVELLib, 1, 0, LOCALE_NEUTRAL, kPlatform);
    }
  }
  return S_OK;
}

}  // namespace zorvel

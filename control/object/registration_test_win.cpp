// Zorvel.dll registered and unregistered by regsvr32, as an installer does, and the class then
// created from the library itself.
#include <gtest/gtest.h>
#include <ocidl.h>
#include <windows.h>

#include <optional>
#include <string>

#include "control/hosting/activex_site_win.h"
#include "control/hosting/dispatch_call_win.h"
#include "control/object/zorvel_idl_win.h"
#include "control/testing/zorvel_library_win.h"

namespace {

const std::wstring kClsidKey = L"CLSID\\{5A3D91C2-7E04-4B6F-9C1A-3F28D6E07B14}";
const std::wstring kClsid = L"{5A3D91C2-7E04-4B6F-9C1A-3F28D6E07B14}";

bool KeyExists(const std::wstring& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
    return false;
  RegCloseKey(handle);
  return true;
}

std::optional<std::wstring> Value(const std::wstring& key, const wchar_t* name = nullptr) {
  wchar_t data[1024];
  DWORD size = sizeof data;
  DWORD type = 0;
  if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, &type, data, &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::wstring(data);
}

TEST(RegistrationTest, Regsvr32WritesAndRemovesTheClassKeys) {
  // A stale key of an earlier installation goes with the class key.
  HKEY stale = nullptr;
  RegCreateKeyExW(HKEY_CLASSES_ROOT, (kClsidKey + L"\\Stale").c_str(), 0, nullptr, 0, KEY_WRITE,
                  nullptr, &stale, nullptr);
  RegCloseKey(stale);

  ASSERT_EQ(RunRegsvr32(L""), 0u);
  const std::wstring path = ZorvelLibraryPath();
  EXPECT_EQ(Value(L"Zorvex.1"), L"Zorvex Class");
  EXPECT_EQ(Value(L"Zorvex.1\\CLSID"), kClsid);
  EXPECT_EQ(Value(L"Zorvex"), L"Zorvex Class");
  EXPECT_EQ(Value(L"Zorvex\\CLSID"), kClsid);
  EXPECT_EQ(Value(L"Zorvex\\CurVer"), L"Zorvex.1");
  EXPECT_EQ(Value(kClsidKey), L"Zorvex Class");
  EXPECT_EQ(Value(kClsidKey + L"\\ProgID"), L"Zorvex.1");
  EXPECT_EQ(Value(kClsidKey + L"\\VersionIndependentProgID"), L"Zorvex");
  EXPECT_TRUE(KeyExists(kClsidKey + L"\\Programmable"));
  EXPECT_EQ(Value(kClsidKey + L"\\Programmable"), std::nullopt) << "an empty key";
  const auto server = Value(kClsidKey + L"\\InprocServer32");
  ASSERT_TRUE(server);
  EXPECT_EQ(CompareStringOrdinal(server->c_str(), -1, path.c_str(), -1, TRUE), CSTR_EQUAL)
      << "module path";
  EXPECT_EQ(Value(kClsidKey + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
  EXPECT_TRUE(KeyExists(kClsidKey + L"\\Control"));
  EXPECT_EQ(Value(kClsidKey + L"\\ToolboxBitmap32"), *server + L", 101");
  EXPECT_EQ(Value(kClsidKey + L"\\MiscStatus"), L"0");
  EXPECT_EQ(Value(kClsidKey + L"\\MiscStatus\\1"), L"131473");
  EXPECT_EQ(Value(kClsidKey + L"\\TypeLib"), L"{5A3D91C3-7E04-4B6F-9C1A-3F28D6E07B14}");
  EXPECT_EQ(Value(kClsidKey + L"\\Version"), L"1.0");
  EXPECT_FALSE(KeyExists(kClsidKey + L"\\Stale"));
  EXPECT_TRUE(KeyExists(L"TypeLib\\{5A3D91C3-7E04-4B6F-9C1A-3F28D6E07B14}\\1.0"));

  // The library itself serves the class, its dispatch interface and its events.
  ASSERT_EQ(OleInitialize(nullptr), S_OK);
  CLSID clsid;
  ASSERT_EQ(CLSIDFromProgID(L"Zorvex.1", &clsid), S_OK);
  IDispatch* control = nullptr;
  ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                             reinterpret_cast<void**>(&control)),
            S_OK);
  EXPECT_EQ(PutDispatchProperty(control, 4, 100L), S_OK);
  VARIANT value;
  EXPECT_EQ(GetDispatchProperty(control, 4, &value), S_OK);
  EXPECT_EQ(value.lVal, 102400);
  EXPECT_EQ(GetDispatchProperty(control, 21, &value), S_OK);
  ASSERT_EQ(value.vt, VT_BSTR);
  EXPECT_STREQ(value.bstrVal, L"#c0c0c0");
  VariantClear(&value);
  DISPID id = 0;
  LPOLESTR name = const_cast<LPOLESTR>(L"HTMLResult");
  EXPECT_EQ(control->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK);
  EXPECT_EQ(id, 24);
  IProvideClassInfo2* classInfo = nullptr;
  ASSERT_EQ(control->QueryInterface(IID_IProvideClassInfo2, reinterpret_cast<void**>(&classInfo)),
            S_OK);
  GUID events;
  EXPECT_EQ(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
  EXPECT_TRUE(IsEqualGUID(events, DIID__IZorvexEvents));
  ITypeInfo* info = nullptr;
  EXPECT_EQ(classInfo->GetClassInfo(&info), S_OK);
  if (info) info->Release();
  classInfo->Release();

  using CanUnload = HRESULT(STDAPICALLTYPE*)();
  auto canUnload = reinterpret_cast<CanUnload>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"Zorvel.dll"), "DllCanUnloadNow")));
  ASSERT_NE(canUnload, nullptr);
  EXPECT_EQ(canUnload(), S_FALSE) << "an object is outstanding";
  control->Release();
  EXPECT_EQ(canUnload(), S_OK);

  // Hosted, the library's window comes from its own dialog layout and string table.
  HWND host = CreateWindowW(L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 500, 380,
                            nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ActiveXSite* site = nullptr;
  ASSERT_EQ(ActiveXSite::Create(host, RECT{0, 0, 480, 330}, L"Zorvex.1", nullptr, nullptr, &site),
            S_OK);
  wchar_t caption[32] = L"";
  GetDlgItemTextW(site->ControlWindow(), 202, caption, 32);
  EXPECT_STREQ(caption, L"開始");
  site->Close();
  site->Release();
  DestroyWindow(host);
  OleUninitialize();

  ASSERT_EQ(RunRegsvr32(L"/u"), 0u);
  EXPECT_FALSE(KeyExists(L"Zorvex.1"));
  EXPECT_FALSE(KeyExists(L"Zorvex"));
  EXPECT_FALSE(KeyExists(kClsidKey));
  EXPECT_TRUE(KeyExists(L"CLSID"));
  EXPECT_FALSE(KeyExists(L"TypeLib\\{5A3D91C3-7E04-4B6F-9C1A-3F28D6E07B14}"));
}

}  // namespace

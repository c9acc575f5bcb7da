// The shipped Zorvel.dll on two apartment threads of one process, as a browser hosts controls of
// several pages: each thread hosts its own control and uploads at the same time as the other,
// and each peer receives its own file whole.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "control/engine/http/testing/capture_peer_win.h"
#include "control/hosting/activex_site_win.h"
#include "control/hosting/dispatch_call_win.h"
#include "control/object/bstr_text_win.h"
#include "control/object/zorvex_dispid_win.h"
#include "control/testing/zorvel_library_win.h"

namespace {

using enum zorvel::Dispid;
using zorvel::AnsiFromBstr;
using zorvel::BstrFromAnsi;

constexpr wchar_t kSocketWindowClass[] = L"ZORVELWindow";

// What one thread did; gtest's checks are made on the main thread from these.
struct ThreadRun {
  std::string file;
  int port = 0;
  HRESULT created = E_FAIL;
  HRESULT started = E_FAIL;
  long result = -99;
  std::string answer;
};

void PutText(IDispatch* control, DISPID id, const std::string& ansi) {
  VARIANT value;
  value.vt = VT_BSTR;
  value.bstrVal = BstrFromAnsi(ansi);
  PutDispatchProperty(control, id, value);
  VariantClear(&value);
}

void HostAndUpload(ThreadRun& run, std::atomic<int>& ready) {
  OleInitialize(nullptr);
  HWND host = CreateWindowW(L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 500, 380,
                            nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ActiveXSite* site = nullptr;
  run.created =
      ActiveXSite::Create(host, RECT{0, 0, 480, 330}, L"Zorvex.1", nullptr, nullptr, &site);
  if (SUCCEEDED(run.created)) {
    IDispatch* control = site->Control();
    PutText(control, kUrl, "http://127.0.0.1:" + std::to_string(run.port) + "/up.cgi");
    PutText(control, kFilePath, run.file);
    // Both runs start together, so that their connections share the process's tables.
    ++ready;
    while (ready < 2) Sleep(1);
    run.started = CallDispatchMethod(control, kStart, nullptr, 0, nullptr);
    VARIANT value;
    if (GetDispatchProperty(control, kResult, &value) == S_OK) run.result = value.lVal;
    if (GetDispatchProperty(control, kHtmlResult, &value) == S_OK && value.vt == VT_BSTR) {
      run.answer = AnsiFromBstr(value.bstrVal);
    }
    VariantClear(&value);
    site->Close();
    site->Release();
  } else {
    ++ready;
  }
  DestroyWindow(host);
  OleUninitialize();
}

std::string WriteBytes(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return path;
}

TEST(ZorvelDllThreadsTest, TwoApartmentThreadsUploadAtOnce) {
  ASSERT_EQ(RunRegsvr32(L""), 0u);
  // Attaching the library sets nothing up: the socket windows' class comes with the first run.
  HMODULE library = LoadLibraryW(ZorvelLibraryPath().c_str());
  ASSERT_NE(library, nullptr);
  WNDCLASSW found;
  EXPECT_FALSE(GetClassInfoW(library, kSocketWindowClass, &found));

  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::string contents[2];
  ThreadRun runs[2];
  // A peer that pauses before reading keeps both uploads under way together.
  zorvel::testing::PeerScript script;
  script.stallMs = 400;
  zorvel::testing::CapturePeer peers[2] = {zorvel::testing::CapturePeer(script),
                                           zorvel::testing::CapturePeer(script)};
  for (int i = 0; i < 2; ++i) {
    contents[i].resize(1'500'000);
    for (size_t j = 0; j < contents[i].size(); ++j) {
      contents[i][j] = static_cast<char>((j * (7 + 4 * i) + i) % 251);
    }
    runs[i].file =
        WriteBytes(std::string(temp) + "zorvel_thread" + std::to_string(i) + ".bin", contents[i]);
    runs[i].port = peers[i].Port();
  }
  std::atomic<int> ready{0};
  std::thread first(HostAndUpload, std::ref(runs[0]), std::ref(ready));
  std::thread second(HostAndUpload, std::ref(runs[1]), std::ref(ready));
  first.join();
  second.join();

  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE("thread " + std::to_string(i));
    EXPECT_EQ(runs[i].created, S_OK);
    EXPECT_EQ(runs[i].started, S_OK);
    EXPECT_EQ(runs[i].result, 0);
    EXPECT_EQ(runs[i].answer, "1");
    const std::string request = peers[i].Request();
    EXPECT_NE(request.find(contents[i]), std::string::npos) << "its own file, whole";
    EXPECT_EQ(request.find(contents[1 - i].substr(0, 4096)), std::string::npos);
    DeleteFileA(runs[i].file.c_str());
  }
  // The last control gone, the class went with it.
  EXPECT_FALSE(GetClassInfoW(library, kSocketWindowClass, &found));
  FreeLibrary(library);
  EXPECT_EQ(RunRegsvr32(L"/u"), 0u);
}

}  // namespace

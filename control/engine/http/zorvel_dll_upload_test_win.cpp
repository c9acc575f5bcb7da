// The shipped Zorvel.dll, registered by regsvr32, created by its ProgID and driven by dispatch
// identifier as the transfer application drives it, uploads a forward to orvane-server.
// The common controls need the types of windows.h first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "control/hosting/activex_site_win.h"
#include "control/hosting/dispatch_call_win.h"
#include "control/hosting/event_sink_win.h"
#include "control/object/bstr_text_win.h"
#include "control/object/zorvel_idl_win.h"
#include "control/testing/hosted_control_win.h"
#include "control/testing/zorvel_library_win.h"

namespace {

using zorvel::AnsiFromBstr;
using zorvel::BstrFromAnsi;
using zorvel::testing::PumpFor;
using zorvel::testing::ReadAnsiFile;
using zorvel::testing::WriteAnsiFile;

enum Dispid : DISPID {
  kFilePath = 1,
  kUrl = 2,
  kStart = 12,
  kCount = 13,
  kResult = 23,
  kHtmlResult = 24
};

const std::string US = "\x1f", RS = "\x1e";

TEST(ZorvelDllUploadTest, RegisteredLibraryUploadsAForwardToTheServer) {
  const char* urlFile = std::getenv("ORVANE_SERVER_URL_FILE");
  const char* data = std::getenv("ORVANE_SERVER_DATA");
  ASSERT_TRUE(urlFile && data) << "run through ctest: the server fixture sets them";
  const std::string serverUrl = ReadAnsiFile(urlFile);

  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "zorvel_dll_upload";
  CreateDirectoryA(folder.c_str(), nullptr);
  // A Japanese work file name ("録音.tta") whose Shift_JIS bytes travel as they are.
  const std::string japaneseName = "\x98\x5e\x89\xb9.tta";
  std::string recording(300'000, '\0');
  for (size_t i = 0; i < recording.size(); ++i) recording[i] = static_cast<char>(i * 7 % 256);
  const std::string text = "a small text file\r\n";
  const std::string para = "sender" + US + "P-dll-upload" + US + "name1" + US + "mail1@example.jp" +
                           US + US + US + US + US + US + US + US + US + "message" + RS + "rec.wav" +
                           US + "900000" + US + "note.txt" + US + std::to_string(text.size()) + RS +
                           japaneseName + US + std::to_string(recording.size()) + US + "note.txt" +
                           US + std::to_string(text.size()) + "\r\n";
  const std::string paraPath = WriteAnsiFile(folder + "\\OrvaneFileTrans.para", para);
  const std::string recordingPath = WriteAnsiFile(folder + "\\" + japaneseName, recording);
  const std::string textPath = WriteAnsiFile(folder + "\\note.txt", text);

  ASSERT_EQ(RunRegsvr32(L""), 0u);
  ASSERT_EQ(OleInitialize(nullptr), S_OK);
  HWND host = CreateWindowW(L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 500, 380,
                            nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ActiveXSite* site = nullptr;
  ASSERT_EQ(ActiveXSite::Create(host, RECT{0, 0, 480, 330}, L"Zorvex.1", nullptr, nullptr, &site),
            S_OK);
  IDispatch* control = site->Control();
  std::vector<std::string> completed;
  int logLines = 0;
  EventSink* sink =
      EventSink::Connect(control, DIID__IZorvexEvents, [&](DISPID id, DISPPARAMS* params) {
        const bool text = params && params->cArgs == 1 && params->rgvarg[0].vt == VT_BSTR;
        if (id == 1 && text) completed.push_back(AnsiFromBstr(params->rgvarg[0].bstrVal));
        if (id == 2) ++logLines;
      });
  ASSERT_NE(sink, nullptr);

  auto putText = [&](DISPID id, const std::string& ansi) {
    VARIANT value;
    value.vt = VT_BSTR;
    value.bstrVal = BstrFromAnsi(ansi);
    EXPECT_EQ(PutDispatchProperty(control, id, value), S_OK);
    VariantClear(&value);
  };
  putText(kUrl, serverUrl + "/upload");
  putText(kFilePath, paraPath + ";" + recordingPath + ";" + textPath);
  VARIANT value;
  ASSERT_EQ(GetDispatchProperty(control, kCount, &value), S_OK);
  EXPECT_EQ(value.lVal, 3);
  ASSERT_EQ(CallDispatchMethod(control, kStart, nullptr, 0, nullptr), S_OK);

  ASSERT_EQ(GetDispatchProperty(control, kResult, &value), S_OK);
  EXPECT_EQ(value.lVal, 0);
  ASSERT_EQ(GetDispatchProperty(control, kHtmlResult, &value), S_OK);
  ASSERT_EQ(value.vt, VT_BSTR);
  EXPECT_EQ(AnsiFromBstr(value.bstrVal), "1");
  VariantClear(&value);
  EXPECT_EQ(completed, std::vector<std::string>{"1"});
  EXPECT_GE(logLines, 6);
  EXPECT_EQ(SendMessageW(GetDlgItem(site->ControlWindow(), 203), PBM_GETPOS, 0, 0), 62);

  // The server keeps the work files the parameter data file lists, byte for byte.
  std::vector<std::string> stored;
  for (const auto& forward :
       std::filesystem::directory_iterator(std::filesystem::path(data) / "files")) {
    for (const auto& file : std::filesystem::directory_iterator(forward.path())) {
      std::ifstream in(file.path(), std::ios::binary);
      stored.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
  }
  std::sort(stored.begin(), stored.end());
  std::vector<std::string> expected = {recording, text};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(stored, expected);

  sink->Disconnect();
  sink->Release();
  site->Close();
  site->Release();
  PumpFor(100);
  DestroyWindow(host);
  OleUninitialize();
  EXPECT_EQ(RunRegsvr32(L"/u"), 0u);
  for (const std::string& path : {paraPath, recordingPath, textPath}) DeleteFileA(path.c_str());
  RemoveDirectoryA(folder.c_str());
}

}  // namespace

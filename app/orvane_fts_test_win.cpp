// Starts OrvaneFts.exe as a user would and answers the message box it shows.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/testing/registry_fixture_win.h"
#include "app/testing/temp_folder_win.h"

namespace {

std::wstring ProgramBesideTest() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L'\\') + 1) + L"OrvaneFts.exe";
}

struct MessageBoxSeen {
  std::wstring caption;
  std::wstring text;
};

struct Search {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK FindDialogOfProcess(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  if (owner == search->processId && std::wstring(className) == L"#32770" &&
      IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM data) {
  wchar_t className[16] = {};
  GetClassNameW(child, className, 16);
  wchar_t text[512] = {};
  GetWindowTextW(child, text, 512);
  auto* longest = reinterpret_cast<std::wstring*>(data);
  if (_wcsicmp(className, L"Static") == 0 && wcslen(text) > longest->size()) *longest = text;
  return TRUE;
}

// Runs the program with `arguments`, reads the message box it shows, presses OK and expects the
// process to end.
MessageBoxSeen RunAndCloseMessageBox(const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + ProgramBesideTest() + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    ADD_FAILURE() << "cannot start OrvaneFts.exe";
    return {};
  }
  MessageBoxSeen seen;
  Search search{process.dwProcessId, nullptr};
  for (int tries = 0; tries < 300 && search.found == nullptr; ++tries) {
    Sleep(100);
    EnumWindows(FindDialogOfProcess, reinterpret_cast<LPARAM>(&search));
  }
  if (search.found != nullptr) {
    wchar_t caption[256] = {};
    GetWindowTextW(search.found, caption, 256);
    seen.caption = caption;
    EnumChildWindows(search.found, CollectStaticText, reinterpret_cast<LPARAM>(&seen.text));
    PostMessageW(search.found, WM_COMMAND, IDOK, 0);
  } else {
    ADD_FAILURE() << "no message box appeared";
  }
  const DWORD waited = WaitForSingleObject(process.hProcess, 20000);
  EXPECT_EQ(waited, WAIT_OBJECT_0) << "the program did not end after its message box";
  if (waited != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return seen;
}

class OrvaneFtsProgram : public ::testing::Test {
 protected:
  void SetUp() override { testing_registry::ClearConfiguration(); }
  void TearDown() override { testing_registry::ClearConfiguration(); }
};

TEST_F(OrvaneFtsProgram, RefusesToStartWithoutTheHostProduct) {
  const MessageBoxSeen seen = RunAndCloseMessageBox(L"");
  EXPECT_EQ(seen.caption, L"Orvaneファイル転送");
  EXPECT_EQ(seen.text, L"Orvane、またはOrvanePlusがインストールされていないため起動出来ません。");
}

TEST_F(OrvaneFtsProgram, RefusesAnythingButAnExistingDescriptor) {
  TempFolder folder;
  const std::u16string path = folder.path();
  const std::wstring folderPath(path.begin(), path.end());
  for (const std::wstring& arguments :
       {folderPath + L"\\missing.ofts", folderPath, std::wstring(L"-log x"),
        L"\"" + folderPath + L"\""}) {
    const MessageBoxSeen seen = RunAndCloseMessageBox(arguments);
    EXPECT_EQ(seen.caption, L"Orvaneファイル転送") << arguments;
    EXPECT_EQ(seen.text, L"oftsファイルが見つかりません。") << arguments;
  }
}

}  // namespace

#include "app/testing/folder_browser_win.h"

#include <gtest/gtest.h>
// commctrl.h and shlobj.h need the types of windows.h.
#include <commctrl.h>
#include <shlobj.h>

#include "app/testing/running_program_win.h"

namespace {

// The text of the selected item of a tree view in the process `processId`: the item is read
// through a buffer in that process, where the tree writes it.
std::wstring SelectedTreeItem(HWND tree, DWORD processId) {
  const auto item = static_cast<LPARAM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  if (item == 0) return {};
  HANDLE process =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
  if (process == nullptr) return {};
  constexpr int kChars = 260;
  void* remote = VirtualAllocEx(process, nullptr, sizeof(TVITEMW) + kChars * sizeof(wchar_t),
                                MEM_COMMIT, PAGE_READWRITE);
  std::wstring text;
  if (remote != nullptr) {
    TVITEMW request = {};
    request.mask = TVIF_TEXT;
    request.hItem = reinterpret_cast<HTREEITEM>(item);
    request.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(remote) + sizeof(TVITEMW));
    request.cchTextMax = kChars;
    wchar_t buffer[kChars] = {};
    if (WriteProcessMemory(process, remote, &request, sizeof request, nullptr) &&
        SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote)) &&
        ReadProcessMemory(process, request.pszText, buffer, sizeof buffer - sizeof(wchar_t),
                          nullptr)) {
      text = buffer;
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return text;
}

}  // namespace

DesktopFolder::DesktopFolder() {
  wchar_t desktop[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop);
  name_ = L"OrvaneDownloadTest" + std::to_wstring(GetCurrentProcessId());
  path_ = std::filesystem::path(desktop) / name_;
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
}

DesktopFolder::~DesktopFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

// Selects the item `name` in the browser's folder tree by typing it, as a user would, and
// presses OK; when the selection is another folder it cancels rather than write there.
void ChooseByTyping(HWND browser, DWORD processId, const std::wstring& name) {
  HWND tree = FindWindowExW(browser, nullptr, L"SysTreeView32", nullptr);
  ASSERT_NE(tree, nullptr) << "the folder browser has no folder tree";
  // The tree searches for what was typed within a short pause, so the keys go in one burst.
  for (wchar_t key : name) PostMessageW(tree, WM_CHAR, key, 1);
  std::wstring selected;
  for (int tries = 0; tries < 50 && selected != name; ++tries) {
    Sleep(100);
    selected = SelectedTreeItem(tree, processId);
  }
  EXPECT_EQ(selected, name) << "typing did not select the folder";
  RunningProgram::Dismiss(browser, selected == name ? IDOK : IDCANCEL);
}

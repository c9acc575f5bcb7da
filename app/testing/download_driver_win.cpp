#include "app/testing/download_driver_win.h"

#include <gtest/gtest.h>

#include "app/testing/running_program_win.h"

namespace download_driver {
namespace {

struct OwnedDialogSearch {
  HWND owner;
  HWND found;
};

BOOL CALLBACK FindOwnedDialog(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<OwnedDialogSearch*>(data);
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  if (IsWindowVisible(window) && GetWindow(window, GW_OWNER) == search->owner &&
      std::wstring(className) == L"#32770") {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HWND OwnedDialog(HWND owner) {
  OwnedDialogSearch search{owner, nullptr};
  for (int tries = 0; tries < 300 && search.found == nullptr; ++tries) {
    EnumWindows(FindOwnedDialog, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) Sleep(100);
  }
  return search.found;
}

std::wstring DownloadInto(const std::u16string& descriptor, const DesktopFolder& folder) {
  RunningProgram program(std::wstring(descriptor.begin(), descriptor.end()));
  HWND window = program.Window(kDownloadCaption);
  EXPECT_NE(window, nullptr);
  if (window == nullptr) return {};
  HWND browser = OwnedDialog(window);
  EXPECT_NE(browser, nullptr) << "no folder browser";
  if (browser == nullptr) return {};
  ChooseByTyping(browser, program.Id(), folder.name());
  HWND box = OwnedDialog(window);
  EXPECT_NE(box, nullptr) << "no message after the download";
  if (box == nullptr) return {};
  const std::wstring text = MessageText(box);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(program.Ends()) << "the program did not end with its download window";
  return text;
}

}  // namespace download_driver

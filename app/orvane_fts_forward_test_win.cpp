// Starts OrvaneFts.exe in forward mode as a user would, works its windows from outside, saves a
// screenshot of each (build/win32/screenshots/*.bmp) and checks that the sender name and the
// address book survive a restart.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/main/file_utils_win.h"
#include "app/resources/form_ids.h"
#include "app/testing/registry_fixture_win.h"
#include "app/testing/temp_folder_win.h"

namespace {

constexpr wchar_t kForwardCaption[] = L"Orvaneファイル転送 - 転送";
constexpr wchar_t kSendUserCaption[] = L"Orvaneファイル転送 - 送信者設定";
constexpr wchar_t kAddressBookCaption[] = L"Orvaneファイル転送 - アドレス帳";
constexpr wchar_t kInputAddressCaption[] = L"Orvaneファイル転送 - アドレス追加";

std::filesystem::path BinFolder() { return std::filesystem::path(ProgramFolder()); }

struct Search {
  DWORD processId;
  const wchar_t* caption;
  HWND found;
};

BOOL CALLBACK FindCaption(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t caption[256] = {};
  GetWindowTextW(window, caption, 256);
  if (owner == search->processId && IsWindowVisible(window) &&
      std::wstring(caption) == search->caption) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// WM_GETTEXT and WM_SETTEXT rather than GetWindowText: across processes only the messages reach
// an edit box's own text.
std::wstring TextOf(HWND window) {
  wchar_t text[512] = {};
  SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
  return text;
}

void Type(HWND edit, const wchar_t* text) {
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

// Saves what the screen shows of the window as a 24-bit BMP file. The window is raised above all
// others first: test programs running beside this one share the display.
void SaveScreenshot(HWND window, const std::wstring& name) {
  const std::filesystem::path folder = BinFolder().parent_path() / "screenshots";
  std::filesystem::create_directories(folder);
  RECT rect;
  GetWindowRect(window, &rect);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Sleep(300);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SelectObject(memory, old);

  BITMAPINFOHEADER info = {};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
  std::string pixels(stride * static_cast<DWORD>(height), '\0');
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
            reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);

  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  std::ofstream out(folder / (name + L".bmp"), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info), sizeof info);
  out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
}

class RunningProgram {
 public:
  RunningProgram() {
    std::wstring commandLine = L"\"" + (BinFolder() / L"OrvaneFts.exe").wstring() + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process_)) {
      ADD_FAILURE() << "cannot start OrvaneFts.exe";
    }
  }
  ~RunningProgram() {
    if (WaitForSingleObject(process_.hProcess, 0) != WAIT_OBJECT_0) {
      TerminateProcess(process_.hProcess, 1);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }

  // The visible window of this caption, waited for up to 30 s.
  HWND Window(const wchar_t* caption) {
    Search search{process_.dwProcessId, caption, nullptr};
    for (int tries = 0; tries < 300 && search.found == nullptr; ++tries) {
      EnumWindows(FindCaption, reinterpret_cast<LPARAM>(&search));
      if (search.found == nullptr) Sleep(100);
    }
    if (search.found == nullptr) ADD_FAILURE() << "no window appeared";
    return search.found;
  }

  static void Click(HWND window, int id) {
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
  }

  static void WaitHidden(HWND window) {
    for (int tries = 0; tries < 100 && IsWindowVisible(window); ++tries) Sleep(100);
    EXPECT_FALSE(IsWindowVisible(window));
  }

  // Lets the program finish its work and paint before a window is captured.
  void Settle() {
    WaitForInputIdle(process_.hProcess, 5000);
    Sleep(500);
  }

  bool Ends() { return WaitForSingleObject(process_.hProcess, 20000) == WAIT_OBJECT_0; }

 private:
  PROCESS_INFORMATION process_ = {};
};

class OrvaneFtsForwardMode : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_registry::ClearConfiguration();
    testing_registry::SetProductId("V01", "PID-1");
    testing_registry::SetSetting("SendName", "\x8E\x52\x93\x63");  // 山田
    RemoveBook();
  }
  void TearDown() override {
    testing_registry::ClearConfiguration();
    RemoveBook();
  }
  static std::u16string BookPath() { return ProgramFolder() + u"\\address.dat"; }
  static void RemoveBook() { std::filesystem::remove(std::filesystem::path(BookPath())); }
};

TEST_F(OrvaneFtsForwardMode, WindowsOpenWithTheirCaptionsAndChangesSurviveARestart) {
  {
    RunningProgram program;
    HWND forward = program.Window(kForwardCaption);
    ASSERT_NE(forward, nullptr);
    EXPECT_EQ(TextOf(GetDlgItem(forward, IDC_CMD_FORWARD)), L"転送開始");
    EXPECT_EQ(TextOf(GetDlgItem(forward, IDC_FRA_FILE)), L"転送するファイル");
    EXPECT_EQ(TextOf(GetDlgItem(forward, IDC_LBL_FILE_SIZE)), L"0 KB");
    program.Settle();
    SaveScreenshot(forward, L"forward");

    RunningProgram::Click(forward, IDC_CMD_SETTING);
    HWND sender = program.Window(kSendUserCaption);
    ASSERT_NE(sender, nullptr);
    EXPECT_EQ(TextOf(GetDlgItem(sender, IDC_TXT_NAME)), L"山田");
    Type(GetDlgItem(sender, IDC_TXT_NAME), L"佐藤 一郎");
    program.Settle();
    SaveScreenshot(sender, L"send_user");
    RunningProgram::Click(sender, IDOK);
    RunningProgram::WaitHidden(sender);

    RunningProgram::Click(forward, IDC_CMD_ADD);
    HWND typed = program.Window(kInputAddressCaption);
    ASSERT_NE(typed, nullptr);
    Type(GetDlgItem(typed, IDC_TXT_NAME), L"鈴木 次郎");
    Type(GetDlgItem(typed, IDC_TXT_EMAIL), L"jiro@example.jp");
    program.Settle();
    SaveScreenshot(typed, L"input_address");
    RunningProgram::Click(typed, IDCANCEL);
    RunningProgram::WaitHidden(typed);

    RunningProgram::Click(forward, IDC_CMD_ADDRESS);
    HWND book = program.Window(kAddressBookCaption);
    ASSERT_NE(book, nullptr);
    RunningProgram::Click(book, IDC_CMD_BOOK_ADD);
    HWND input = program.Window(kInputAddressCaption);
    ASSERT_NE(input, nullptr);
    Type(GetDlgItem(input, IDC_TXT_NAME), L"鈴木 次郎");
    Type(GetDlgItem(input, IDC_TXT_EMAIL), L"jiro@example.jp");
    RunningProgram::Click(input, IDOK);
    RunningProgram::WaitHidden(input);
    program.Settle();
    EXPECT_EQ(ListView_GetItemCount(GetDlgItem(book, IDC_LVW_ADDRESS)), 1);
    SaveScreenshot(book, L"address_book");
    RunningProgram::Click(book, IDC_CMD_BOOK_CLOSE);
    RunningProgram::WaitHidden(book);

    RunningProgram::Click(forward, IDC_CMD_END);
    EXPECT_TRUE(program.Ends());
  }
  EXPECT_EQ(testing_registry::ReadSettingBytes("SendName"),
            std::string("\x8d\xb2\x93\xa1\x20\x88\xea\x98\x59", 9) + '\0');
  EXPECT_EQ(ReadBytes(BookPath()), "\x97\xe9\x96\xd8\x20\x8e\x9f\x98\x59,jiro@example.jp\r\n");

  RunningProgram again;
  HWND forward = again.Window(kForwardCaption);
  ASSERT_NE(forward, nullptr);
  RunningProgram::Click(forward, IDC_CMD_SETTING);
  HWND sender = again.Window(kSendUserCaption);
  ASSERT_NE(sender, nullptr);
  EXPECT_EQ(TextOf(GetDlgItem(sender, IDC_TXT_NAME)), L"佐藤 一郎");
  RunningProgram::Click(sender, IDCANCEL);
  RunningProgram::WaitHidden(sender);
  RunningProgram::Click(forward, IDC_CMD_ADDRESS);
  HWND book = again.Window(kAddressBookCaption);
  ASSERT_NE(book, nullptr);
  EXPECT_EQ(ListView_GetItemCount(GetDlgItem(book, IDC_LVW_ADDRESS)), 1);
  PostMessageW(book, WM_CLOSE, 0, 0);
  RunningProgram::WaitHidden(book);
  PostMessageW(forward, WM_CLOSE, 0, 0);
  EXPECT_TRUE(again.Ends());
}

}  // namespace

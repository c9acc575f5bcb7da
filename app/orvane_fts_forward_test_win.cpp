// Starts OrvaneFts.exe in forward mode as a user would, works its windows from outside, saves a
// screenshot of each (build/<preset>/screenshots/*.bmp) and checks that the sender name and the
// address book survive a restart.
#include <gtest/gtest.h>
#include <windows.h>
// commctrl.h needs the types of windows.h.
#include <commctrl.h>

#include <filesystem>
#include <string>

#include "app/main/file_utils_win.h"
#include "app/resources/form_ids.h"
#include "app/testing/forward_driver_win.h"
#include "app/testing/registry_fixture_win.h"
#include "app/testing/running_program_win.h"
#include "app/testing/shell_drop_win.h"
#include "app/testing/temp_folder_win.h"
#include "base/testing/screenshot_win.h"

namespace {

constexpr wchar_t kForwardCaption[] = L"Orvaneファイル転送 - 転送";
constexpr wchar_t kSendUserCaption[] = L"Orvaneファイル転送 - 送信者設定";
constexpr wchar_t kAddressBookCaption[] = L"Orvaneファイル転送 - アドレス帳";
constexpr wchar_t kInputAddressCaption[] = L"Orvaneファイル転送 - アドレス追加";

// Lets the program finish its work and paint, then saves the window's picture.
void SaveScreenshot(RunningProgram& program, HWND window, const std::wstring& name) {
  program.Settle();
  screenshots::Save(screenshots::Capture(window), name);
}

// The recipient every run adds, typed into the address form.
void TypeJiro(HWND input) {
  Type(GetDlgItem(input, IDC_TXT_NAME), L"鈴木 次郎");
  Type(GetDlgItem(input, IDC_TXT_EMAIL), L"jiro@example.jp");
}

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
    SaveScreenshot(program, forward, L"forward");

    RunningProgram::Click(forward, IDC_CMD_SETTING);
    HWND sender = program.Window(kSendUserCaption);
    ASSERT_NE(sender, nullptr);
    EXPECT_EQ(TextOf(GetDlgItem(sender, IDC_TXT_NAME)), L"山田");
    Type(GetDlgItem(sender, IDC_TXT_NAME), L"佐藤 一郎");
    SaveScreenshot(program, sender, L"send_user");
    RunningProgram::Dismiss(sender, IDOK);

    RunningProgram::Click(forward, IDC_CMD_ADD);
    HWND typed = program.Window(kInputAddressCaption);
    ASSERT_NE(typed, nullptr);
    TypeJiro(typed);
    SaveScreenshot(program, typed, L"input_address");
    RunningProgram::Dismiss(typed, IDCANCEL);

    RunningProgram::Click(forward, IDC_CMD_ADDRESS);
    HWND book = program.Window(kAddressBookCaption);
    ASSERT_NE(book, nullptr);
    RunningProgram::Click(book, IDC_CMD_BOOK_ADD);
    HWND input = program.Window(kInputAddressCaption);
    ASSERT_NE(input, nullptr);
    TypeJiro(input);
    RunningProgram::Dismiss(input, IDOK);
    program.Settle();
    EXPECT_EQ(ListView_GetItemCount(GetDlgItem(book, IDC_LVW_ADDRESS)), 1);
    SaveScreenshot(program, book, L"address_book");
    RunningProgram::Dismiss(book, IDC_CMD_BOOK_CLOSE);

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
  RunningProgram::Dismiss(sender, IDCANCEL);
  RunningProgram::Click(forward, IDC_CMD_ADDRESS);
  HWND book = again.Window(kAddressBookCaption);
  ASSERT_NE(book, nullptr);
  EXPECT_EQ(ListView_GetItemCount(GetDlgItem(book, IDC_LVW_ADDRESS)), 1);
  PostMessageW(book, WM_CLOSE, 0, 0);
  RunningProgram::WaitHidden(book);
  PostMessageW(forward, WM_CLOSE, 0, 0);
  EXPECT_TRUE(again.Ends());
}

TEST_F(OrvaneFtsForwardMode, FilesAndAFolderDraggedFromAnotherProgramAreListed) {
  TempFolder files;
  std::filesystem::create_directories(std::filesystem::path(files / u"d"));
  WriteBytes(files / u"a.txt", std::string(1024, 'a'));
  WriteBytes(files / u"d\\b.txt", std::string(2048, 'b'));
  WriteBytes(files / u"d\\c.txt", std::string(1024, 'c'));
  RunningProgram program;
  HWND forward = program.Window(kForwardCaption);
  ASSERT_NE(forward, nullptr);
  HWND list = GetDlgItem(forward, IDC_LVW_FILE);

  const DragResult drag = DragFilesOnto(list, {files / u"a.txt", files / u"d"});
  EXPECT_EQ(drag.result, DRAGDROP_S_DROP);
  EXPECT_EQ(drag.effect, static_cast<DWORD>(DROPEFFECT_COPY));
  program.Settle();
  EXPECT_EQ(ListView_GetItemCount(list), 3);
  EXPECT_EQ(TextOf(GetDlgItem(forward, IDC_LBL_FILE_COUNT)), L"3");
  EXPECT_EQ(TextOf(GetDlgItem(forward, IDC_LBL_FILE_SIZE)), L"4 KB");

  // The drag has ended before the program shows its message: nothing waits on the other side.
  EXPECT_EQ(DragFilesOnto(list, {files / u"a.txt"}).result, DRAGDROP_S_DROP);
  HWND box = program.Window(forward_driver::kMessageCaption);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageText(box), L"a.txtは設定済みのため追加出来ません。");
  RunningProgram::Dismiss(box, IDOK);
  EXPECT_EQ(ListView_GetItemCount(list), 3);

  RunningProgram::Click(forward, IDC_CMD_END);
  EXPECT_TRUE(program.Ends());
}

}  // namespace

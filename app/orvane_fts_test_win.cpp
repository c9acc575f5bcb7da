// Starts OrvaneFts.exe as a user would and answers the message boxes and the folder browser it
// shows; in download mode it fetches a forward from orvane-server.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "app/testing/folder_browser_win.h"
#include "app/testing/registry_fixture_win.h"
#include "app/testing/running_program_win.h"
#include "app/testing/temp_folder_win.h"
#include "app/testing/wave_bytes.h"

namespace {

struct MessageBoxSeen {
  std::wstring caption;
  std::wstring text;
};

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
  RunningProgram program(arguments);
  if (!program.Started()) return {};
  MessageBoxSeen seen;
  if (HWND box = program.Dialog()) {
    wchar_t caption[256] = {};
    GetWindowTextW(box, caption, 256);
    seen.caption = caption;
    EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&seen.text));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  }
  EXPECT_TRUE(program.Ends()) << "the program did not end after its message box";
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
  for (const std::wstring& arguments : {folderPath + L"\\missing.ofts", folderPath,
                                        std::wstring(L"-log x"), L"\"" + folderPath + L"\""}) {
    const MessageBoxSeen seen = RunAndCloseMessageBox(arguments);
    EXPECT_EQ(seen.caption, L"Orvaneファイル転送") << arguments;
    EXPECT_EQ(seen.text, L"oftsファイルが見つかりません。") << arguments;
  }
}

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

// The visible dialog box `owner` opened, waited for up to 30 s.
HWND OwnedDialog(HWND owner) {
  OwnedDialogSearch search{owner, nullptr};
  for (int tries = 0; tries < 300 && search.found == nullptr; ++tries) {
    EnumWindows(FindOwnedDialog, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) Sleep(100);
  }
  return search.found;
}

TEST_F(OrvaneFtsProgram, ADescriptorOpensTheDownloadWindowWhichAsksForTheFolder) {
  TempFolder folder;
  WriteBytes(folder / u"list.ofts", "http://127.0.0.1:9/a.txt\r\n");
  const std::u16string path = folder / u"list.ofts";
  RunningProgram program(std::wstring(path.begin(), path.end()));
  HWND window = program.Window(L"Orvaneファイル転送 - ダウンロード");
  ASSERT_NE(window, nullptr);
  HWND browser = OwnedDialog(window);
  ASSERT_NE(browser, nullptr) << "no folder browser";
  std::wstring instruction;
  EnumChildWindows(browser, CollectStaticText, reinterpret_cast<LPARAM>(&instruction));
  EXPECT_EQ(instruction, L"フォルダを選択して下さい");
  RunningProgram::Dismiss(browser, IDCANCEL);

  HWND box = OwnedDialog(window);
  ASSERT_NE(box, nullptr) << "no message after the cancelled folder choice";
  std::wstring text;
  EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&text));
  EXPECT_EQ(text, L"ダウンロードがキャンセルされました。");
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(program.Ends()) << "the program did not end with its download window";
}

TEST_F(OrvaneFtsProgram, DownloadsAForwardFromTheServerIntoTheChosenFolder) {
  const char* data = std::getenv("ORVANE_SERVER_DATA");
  ASSERT_NE(data, nullptr) << "run through CTest, which starts and seeds the server";
  const std::filesystem::path seed =
      (std::filesystem::path(data) / ".." / "seed").lexically_normal().make_preferred();
  DesktopFolder folder;
  RunningProgram program((seed / L"download.ofts").wstring());
  HWND window = program.Window(L"Orvaneファイル転送 - ダウンロード");
  ASSERT_NE(window, nullptr);
  HWND browser = OwnedDialog(window);
  ASSERT_NE(browser, nullptr) << "no folder browser";
  ChooseByTyping(browser, program.Id(), folder.name());

  HWND box = OwnedDialog(window);
  ASSERT_NE(box, nullptr) << "no message after the download";
  std::wstring text;
  EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&text));
  EXPECT_EQ(text, L"ダウンロードが完了しました。");
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(program.Ends()) << "the program did not end with its download window";

  std::set<std::wstring> names;
  for (const auto& item : std::filesystem::directory_iterator(folder.path())) {
    names.insert(item.path().filename().wstring());
  }
  // The recordings came as TTA files (one named in capitals) and are WAV files again.
  EXPECT_EQ(names, (std::set<std::wstring>{L"録音1.wav", L"B.wav", L"メモ.txt"}));
  for (const wchar_t* name : {L"録音1.wav", L"B.wav"}) {
    const std::u16string got = (folder.path() / name).u16string();
    const std::u16string original = (seed / name).u16string();
    const std::string samples = wave_bytes::WaveSamples(ReadBytes(got));
    EXPECT_GT(samples.size(), 100000u);
    EXPECT_TRUE(samples == wave_bytes::WaveSamples(ReadBytes(original)))
        << "the samples of " << name;
  }
  EXPECT_EQ(ReadBytes((folder.path() / L"メモ.txt").u16string()),
            "\x96\x7b\x95\xb6\x82\xc5\x82\xb7\r\n");
}

}  // namespace

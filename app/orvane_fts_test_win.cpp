// Starts OrvaneFts.exe as a user would and answers the message boxes and the folder browser it
// shows; in download mode it fetches a forward from orvane-server.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "app/testing/download_driver_win.h"
#include "app/testing/folder_browser_win.h"
#include "app/testing/registry_fixture_win.h"
#include "app/testing/running_program_win.h"
#include "app/testing/temp_folder_win.h"
#include "app/testing/wave_bytes.h"
#include "base/ansi.h"

namespace {

using download_driver::DownloadInto;
using download_driver::OwnedDialog;

struct MessageBoxSeen {
  std::wstring caption;
  std::wstring text;
};

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
    seen.text = MessageText(box);
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

TEST_F(OrvaneFtsProgram, ADescriptorOpensTheDownloadWindowWhichAsksForTheFolder) {
  TempFolder folder;
  WriteBytes(folder / u"list.ofts", "http://127.0.0.1:9/a.txt\r\n");
  const std::u16string path = folder / u"list.ofts";
  RunningProgram program(std::wstring(path.begin(), path.end()));
  HWND window = program.Window(L"Orvaneファイル転送 - ダウンロード");
  ASSERT_NE(window, nullptr);
  HWND browser = OwnedDialog(window);
  ASSERT_NE(browser, nullptr) << "no folder browser";
  EXPECT_EQ(MessageText(browser), L"フォルダを選択して下さい");
  RunningProgram::Dismiss(browser, IDCANCEL);

  HWND box = OwnedDialog(window);
  ASSERT_NE(box, nullptr) << "no message after the cancelled folder choice";
  EXPECT_EQ(MessageText(box), L"ダウンロードがキャンセルされました。");
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(program.Ends()) << "the program did not end with its download window";
}

// The seed the CTest fixture left: the original files and the descriptor the server wrote.
std::filesystem::path SeedFolder() {
  const char* data = std::getenv("ORVANE_SERVER_DATA");
  if (data == nullptr) return {};
  return (std::filesystem::path(data) / ".." / "seed").lexically_normal().make_preferred();
}

std::set<std::wstring> Names(const std::filesystem::path& folder) {
  std::set<std::wstring> names;
  for (const auto& item : std::filesystem::directory_iterator(folder)) {
    names.insert(item.path().filename().wstring());
  }
  return names;
}

TEST_F(OrvaneFtsProgram, DownloadsAForwardFromTheServerIntoTheChosenFolder) {
  const std::filesystem::path seed = SeedFolder();
  ASSERT_FALSE(seed.empty()) << "run through CTest, which starts and seeds the server";
  // The server's descriptor with its first entry listed twice, as a hand-edited one may be.
  const std::string lines = ReadBytes((seed / L"download.ofts").u16string());
  TempFolder work;
  WriteBytes(work / u"twice.ofts", lines + lines.substr(0, lines.find("\r\n") + 2));
  DesktopFolder folder;
  WriteBytes((folder.path() / L"keep.txt").u16string(), "the user's own");

  EXPECT_EQ(DownloadInto(work / u"twice.ofts", folder), L"ダウンロードが完了しました。");
  // The recordings came as TTA files (one named in capitals) and are WAV files again.
  EXPECT_EQ(Names(folder.path()),
            (std::set<std::wstring>{L"録音1.wav", L"B.wav", L"メモ.txt", L"a b.txt", L"keep.txt"}));
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
  EXPECT_EQ(ReadBytes((folder.path() / L"a b.txt").u16string()), "blank\r\n");
  EXPECT_EQ(ReadBytes((folder.path() / L"keep.txt").u16string()), "the user's own");
}

TEST_F(OrvaneFtsProgram, AHostileDescriptorWritesNothingOutsideTheChosenFolder) {
  const std::filesystem::path seed = SeedFolder();
  ASSERT_FALSE(seed.empty()) << "run through CTest, which starts and seeds the server";
  // A line of the server's forward with options after its address, as a mail sender writes
  // one: it would send the server's file into another folder under another name.
  const std::string first = ReadBytes((seed / L"download.ofts").u16string());
  const std::string head = first.substr(0, first.rfind('/', first.find("\r\n")) + 1);
  TempFolder elsewhere;
  TempFolder work;
  WriteBytes(work / u"hostile.ofts", head + "%E3%83%A1%E3%83%A2.txt -d " +
                                         base::ToAnsi(elsewhere.path()) +
                                         " -o evil.exe -j /payload\r\n" + head + "a b.txt\r\n");
  // A user's file under the name the forward's "a b.txt" is first stored under.
  DesktopFolder folder;
  WriteBytes((folder.path() / L"a+b.txt").u16string(), "the user's own");

  EXPECT_EQ(DownloadInto(work / u"hostile.ofts", folder), L"URLが不適切です");
  EXPECT_TRUE(std::filesystem::is_empty(std::filesystem::path(elsewhere.path())));
  EXPECT_EQ(Names(folder.path()), std::set<std::wstring>{L"a+b.txt"});
  EXPECT_EQ(ReadBytes((folder.path() / L"a+b.txt").u16string()), "the user's own");
}

}  // namespace

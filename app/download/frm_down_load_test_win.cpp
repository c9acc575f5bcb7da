// The download window in this process, with scripted dialogs, the real Parvek.dll and TTA_VB.dll,
// against loopback peers that serve every requested file.
#include <gtest/gtest.h>
#include <windows.h>
#include <winsock2.h>
// commctrl.h needs the types of windows.h.
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/download/down_load_proc_win.h"
#include "app/download/frm_down_load_win.h"
#include "app/resources/form_ids.h"
#include "app/testing/do_events_until_win.h"
#include "app/testing/recording_taskbar_win.h"
#include "app/testing/scripted_dialogs_win.h"
#include "app/testing/temp_folder_win.h"
#include "app/testing/wave_bytes.h"
#include "app/tta/tta_codec_win.h"
#include "base/ansi.h"
#include "components/http/loopback_peer_win.h"

namespace {

namespace fs = std::filesystem;

// 16-bit stereo PCM of `frames` frames, samples that a lossless codec must keep.
std::string Wave(uint32_t frames) {
  std::string data(static_cast<std::size_t>(frames) * 4, '\0');
  uint32_t seed = 12345;
  for (std::size_t i = 0; i < data.size(); ++i) {
    seed = seed * 1103515245 + 12345;
    data[i] = static_cast<char>(i % 4 == 1 || i % 4 == 3 ? (seed >> 24) % 8 : seed >> 16);
  }
  return wave_bytes::PcmWave(2, 16, data);
}

std::string Tta(const TempFolder& work, const std::string& wave) {
  WriteBytes(work / u"source.wav", wave);
  int16_t cancel = 0;
  EXPECT_EQ(tta_vb::Enc_WavToTTA(work / u"source.wav", work / u"source.tta", &cancel), kTtaDone);
  return ReadBytes(work / u"source.tta");
}

std::set<std::u16string> Names(const TempFolder& folder) {
  std::set<std::u16string> names;
  for (const auto& item : fs::directory_iterator(fs::path(folder.path()))) {
    names.insert(item.path().filename().u16string());
  }
  return names;
}

// Serves every request with `size` bytes of "x", sent in small pieces with pauses, so that a
// download lasts long enough to be cancelled or watched in the middle; each answer may be held
// back `headDelay` ms, as a slow server's would.
class TricklePeer {
 public:
  explicit TricklePeer(std::size_t size, DWORD headDelay = 0, DWORD pieceDelay = 15)
      : size_(size), headDelay_(headDelay), pieceDelay_(pieceDelay) {
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    int length = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    listen(listener_, 8);
    thread_ = std::thread([this] { Serve(); });
  }
  ~TricklePeer() {
    stopping_ = true;
    closesocket(listener_);
    thread_.join();
  }
  std::u16string Url(std::u16string_view name) const {
    return u"http://127.0.0.1:" + base::FromAnsi(std::to_string(port_)) + u"/" +
           std::u16string(name);
  }

 private:
  void Serve() {
    while (!stopping_) {
      SOCKET client = accept(listener_, nullptr, nullptr);
      if (client == INVALID_SOCKET) return;
      char request[4096];
      recv(client, request, sizeof request, 0);
      Sleep(headDelay_);
      const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(size_) +
                               "\r\nConnection: close\r\n\r\n";
      bool sent = send(client, head.data(), static_cast<int>(head.size()), 0) > 0;
      const std::string piece(16384, 'x');
      for (std::size_t at = 0; sent && at < size_ && !stopping_; at += piece.size()) {
        const int n = static_cast<int>(std::min(piece.size(), size_ - at));
        sent = send(client, piece.data(), n, 0) == n;
        Sleep(pieceDelay_);
      }
      closesocket(client);
    }
  }

  std::size_t size_;
  DWORD headDelay_;
  DWORD pieceDelay_;
  SOCKET listener_;
  unsigned short port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

// Runs `body` on every tick of a thread timer until the window is gone.
std::function<void()> onTick;
void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
  if (onTick) onTick();
}

class DownloadWindowTest : public testing::Test {
 protected:
  void SetUp() override { basMain::down = {}; }
  void TearDown() override { onTick = nullptr; }

  std::u16string Line(const LoopbackHttpPeer& peer, std::u16string_view name) const {
    return peer.Url("/files/0123456789abcdef/") + std::u16string(name);
  }

  // Writes the descriptor, shows the window on it and lets it run until it closes itself.
  void Run(const std::u16string& descriptor) {
    WriteBytes(work_ / u"list.ofts", base::ToAnsi(descriptor));
    window_.OftsPath(work_ / u"list.ofts");
    window_.Show();
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, Tick);
    DoEventsUntil([&] { return !window_.IsLoaded(); }, 60000);
    KillTimer(nullptr, timer);
    EXPECT_FALSE(window_.IsLoaded()) << "the window did not close";
  }

  std::vector<std::u16string> Texts() const {
    std::vector<std::u16string> texts;
    for (const ShownMessage& message : dialogs_.messages) texts.push_back(message.text);
    return texts;
  }

  ScriptedDialogs dialogs_;
  TempFolder work_;
  TempFolder folder_;
  frmDownLoad window_;
};

TEST_F(DownloadWindowTest, DownloadsEveryFileUnderItsOwnNameAndRestoresTheWaveFiles) {
  const std::string wave = Wave(200000);
  LoopbackHttpPeer peer;
  peer.SetBody(Tta(work_, wave), "application/octet-stream");
  dialogs_.folderAnswers.push_back(folder_.path());
  Run(Line(peer, u"録音 1.tta") + u"\r\n\r\n" + Line(peer, u"B.TTA") + u"\r" +
      Line(peer, u"a.b.tta") + u"\r\n" + Line(peer, u"メモ&.txt") + u"\r\n");

  EXPECT_EQ(dialogs_.folderBrowserTitles, std::vector<std::u16string>{u"フォルダを選択して下さい"});
  EXPECT_EQ(Names(folder_),
            (std::set<std::u16string>{u"録音 1.wav", u"B.wav", u"a.b.wav", u"メモ&.txt"}));
  for (const char16_t* name : {u"録音 1.wav", u"B.wav", u"a.b.wav"}) {
    EXPECT_EQ(ReadBytes(folder_ / name), wave);
  }
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].text, u"ダウンロードが完了しました。");
  EXPECT_EQ(dialogs_.messages[0].caption, u"Orvaneファイル転送");
  EXPECT_EQ(dialogs_.messages[0].icon(), static_cast<UINT>(MB_ICONINFORMATION));
  // Probe and download of each file, the name encoded as UTF-8.
  const std::vector<std::string> requests = peer.Requests();
  ASSERT_EQ(requests.size(), 8u);
  EXPECT_EQ(requests[0].rfind("GET /files/0123456789abcdef/%E9%8C%B2%E9%9F%B3%201.tta ", 0), 0u);
  EXPECT_EQ(requests[7].rfind("GET /files/0123456789abcdef/%E3%83%A1%E3%83%A2%26.txt ", 0), 0u);
  EXPECT_EQ(basMain::down.lngTotalBytes, basMain::down.lngDoneBytes);
  EXPECT_EQ(window_.ControlText(IDC_LBL_PROGRESS_0), window_.ControlText(IDC_LBL_PROGRESS_1));
}

TEST_F(DownloadWindowTest, ACancelledFolderChoiceEndsTheWindow) {
  LoopbackHttpPeer peer;
  dialogs_.folderAnswers.push_back(std::nullopt);
  Run(Line(peer, u"a.txt"));
  EXPECT_EQ(Texts(), std::vector<std::u16string>{u"ダウンロードがキャンセルされました。"});
  EXPECT_EQ(dialogs_.messages[0].icon(), static_cast<UINT>(MB_ICONINFORMATION));
  EXPECT_TRUE(peer.Requests().empty());
}

TEST_F(DownloadWindowTest, AHostileEntryChangesNothingOnDisk) {
  LoopbackHttpPeer peer;
  peer.SetBody("evil", "application/octet-stream");
  TempFolder elsewhere;
  std::vector<std::u16string> lines;
  for (const char16_t* name : {u"..", u"..\\..\\evil.exe", u"C:evil", u"CON", u"a|b", u"", u"."}) {
    lines.push_back(Line(peer, name));
  }
  // Options in the address would send the file into another folder, under another name.
  lines.push_back(Line(peer, u"x -d ") + elsewhere.path() + u" -o evil.exe -j /payload");
  lines.push_back(Line(peer, u"x\t-d\t") + elsewhere.path() + u"/payload");
  lines.push_back(u"file:///" + elsewhere.path() + u"/evil.exe");
  for (const std::u16string& line : lines) {
    frmDownLoad window;
    WriteBytes(folder_ / u"a.wav", "mine");
    ScriptedDialogs dialogs;
    dialogs.folderAnswers.push_back(folder_.path());
    WriteBytes(work_ / u"list.ofts", base::ToAnsi(Line(peer, u"a.tta") + u"\r\n" + line + u"\r\n"));
    window.OftsPath(work_ / u"list.ofts");
    window.Show();
    DoEventsUntil([&] { return !window.IsLoaded(); }, 20000);
    EXPECT_FALSE(window.IsLoaded());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, u"URLが不適切です");
    EXPECT_EQ(dialogs.messages[0].icon(), static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(Names(folder_), std::set<std::u16string>{u"a.wav"});
    EXPECT_EQ(ReadBytes(folder_ / u"a.wav"), "mine");
    EXPECT_TRUE(Names(elsewhere).empty());
  }
  EXPECT_FALSE(fs::exists(fs::path(folder_.path()).parent_path() / "evil.exe"));
  EXPECT_TRUE(peer.Requests().empty());
}

TEST_F(DownloadWindowTest, AUsersFileUnderAnEncodedOrTtaNameIsAskedAbout) {
  LoopbackHttpPeer peer;
  peer.SetBody("new", "application/octet-stream");
  // A file the run would first store under the user's name, and one it would decompress and
  // delete.
  for (const auto& [entry, usersFile] :
       {std::pair{u"a b.txt", u"a+b.txt"}, {u"x.tta", u"x.tta"}, {u"y.TTA", u"y.wav"}}) {
    frmDownLoad window;
    ScriptedDialogs dialogs;
    TempFolder folder;
    WriteBytes(folder / usersFile, "mine");
    dialogs.folderAnswers.push_back(folder.path());
    dialogs.messageAnswers = {IDNO};
    WriteBytes(work_ / u"list.ofts", base::ToAnsi(Line(peer, entry)));
    window.OftsPath(work_ / u"list.ofts");
    window.Show();
    DoEventsUntil([&] { return !window.IsLoaded(); }, 20000);
    EXPECT_FALSE(window.IsLoaded());
    ASSERT_EQ(dialogs.messages.size(), 2u) << base::ToAnsi(entry);
    EXPECT_EQ(dialogs.messages[0].caption, u"確認");
    EXPECT_EQ(Names(folder), std::set<std::u16string>{usersFile});
    EXPECT_EQ(ReadBytes(folder / usersFile), "mine");
  }
  EXPECT_TRUE(peer.Requests().empty());
}

TEST_F(DownloadWindowTest, AClashAnsweredYesDeletesEveryClashingFileFirst) {
  LoopbackHttpPeer peer;
  peer.SetBody("new", "application/octet-stream");
  WriteBytes(folder_ / u"b.txt", "old b");
  SetFileAttributesW(reinterpret_cast<const wchar_t*>((folder_ / u"b.txt").c_str()),
                     FILE_ATTRIBUTE_READONLY);
  WriteBytes(folder_ / u"c.txt", "old c");
  WriteBytes(folder_ / u"keep.txt", "keep");
  dialogs_.folderAnswers.push_back(folder_.path());
  dialogs_.messageAnswers = {IDYES, IDOK};
  Run(Line(peer, u"b.txt") + u"\r\n" + Line(peer, u"c.txt") + u"\r\n");

  ASSERT_EQ(dialogs_.messages.size(), 2u);
  EXPECT_EQ(dialogs_.messages[0].text,
            u"選択されたフォルダに同名のファイルが保存されています。\nファイルを削除してよろしいで"
            u"すか？");
  EXPECT_EQ(dialogs_.messages[0].caption, u"確認");
  EXPECT_EQ(dialogs_.messages[0].style, static_cast<UINT>(MB_YESNO));
  EXPECT_EQ(dialogs_.messages[1].text, u"ダウンロードが完了しました。");
  EXPECT_EQ(ReadBytes(folder_ / u"b.txt"), "new");
  EXPECT_EQ(ReadBytes(folder_ / u"c.txt"), "new");
  EXPECT_EQ(ReadBytes(folder_ / u"keep.txt"), "keep");
}

TEST_F(DownloadWindowTest, AClashAnsweredNoLeavesTheFolderAlone) {
  LoopbackHttpPeer peer;
  WriteBytes(folder_ / u"x.wav", "old");
  dialogs_.folderAnswers.push_back(folder_.path());
  dialogs_.messageAnswers = {IDNO};
  Run(Line(peer, u"x.tta"));
  EXPECT_EQ(Texts(),
            (std::vector<std::u16string>{u"選択されたフォルダに同名のファイルが保存されています。\n"
                                         u"ファイルを削除してよろしいですか？",
                                         u"同名ファイルが保存されているためダウンロード出来ません。"
                                         u"\nファイルを削除してから実行して下さい。"}));
  EXPECT_EQ(dialogs_.messages[1].icon(), static_cast<UINT>(MB_ICONINFORMATION));
  EXPECT_EQ(ReadBytes(folder_ / u"x.wav"), "old");
  EXPECT_TRUE(peer.Requests().empty());
}

TEST_F(DownloadWindowTest, AFolderOfSubfoldersOnlyAsksNothing) {
  LoopbackHttpPeer peer;
  peer.SetBody("data", "application/octet-stream");
  fs::create_directories(fs::path(folder_ / u"sub.txt"));
  dialogs_.folderAnswers.push_back(folder_.path());
  Run(Line(peer, u"plain.txt"));
  EXPECT_EQ(Texts(), std::vector<std::u16string>{u"ダウンロードが完了しました。"});
  EXPECT_EQ(ReadBytes(folder_ / u"plain.txt"), "data");
}

TEST_F(DownloadWindowTest, FailedRunsShowTheMessageOfTheirResult) {
  struct Case {
    std::string response;  // empty: a refused port
    std::u16string descriptorTail;
    std::u16string message;
  };
  const std::vector<Case> cases = {
      {"HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n", u"a.txt",
       u"HTTPエラー"},
      {"", u"a.txt", u"ソケットオープンエラー"},
  };
  for (const Case& c : cases) {
    frmDownLoad window;
    ScriptedDialogs dialogs;
    dialogs.folderAnswers.push_back(folder_.path());
    std::u16string descriptor;
    LoopbackHttpPeer peer;
    if (c.response.empty()) {
      SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
      sockaddr_in address{};
      address.sin_family = AF_INET;
      address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
      int length = sizeof address;
      getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
      closesocket(probe);
      descriptor = u"http://127.0.0.1:" + base::FromAnsi(std::to_string(ntohs(address.sin_port))) +
                   u"/" + c.descriptorTail;
    } else {
      peer.SetResponse(c.response);
      descriptor = Line(peer, c.descriptorTail);
    }
    WriteBytes(work_ / u"list.ofts", base::ToAnsi(descriptor));
    window.OftsPath(work_ / u"list.ofts");
    window.Show();
    DoEventsUntil([&] { return !window.IsLoaded(); }, 30000);
    EXPECT_FALSE(window.IsLoaded());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, c.message);
    EXPECT_EQ(dialogs.messages[0].icon(), static_cast<UINT>(MB_ICONERROR));
    EXPECT_TRUE(Names(folder_).empty());
  }
}

TEST_F(DownloadWindowTest, ARenameOntoAnExistingFileIsReportedAndTheWindowStaysIdle) {
  LoopbackHttpPeer peer;
  peer.SetBody("data", "application/octet-stream");
  // A subfolder is no clash, but the file cannot take its name.
  fs::create_directories(fs::path(folder_ / u"a b.txt"));
  dialogs_.folderAnswers.push_back(folder_.path());
  WriteBytes(work_ / u"list.ofts", base::ToAnsi(Line(peer, u"a b.txt") + u"\r\n"));
  window_.OftsPath(work_ / u"list.ofts");
  window_.Show();
  DoEventsUntil([&] { return !dialogs_.messages.empty(); }, 20000);
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].text.rfind(u"FileDownLoad\r\n", 0), 0u);
  EXPECT_EQ(dialogs_.messages[0].icon(), static_cast<UINT>(MB_ICONERROR));
  EXPECT_TRUE(window_.IsLoaded());
  EXPECT_FALSE(IsHourglassPointer());
  EXPECT_EQ(Names(folder_), (std::set<std::u16string>{u"a b.txt", u"a+b.txt"}));
  // The idle window closes by its close box.
  SendMessageW(window_.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(window_.IsLoaded());
}

TEST_F(DownloadWindowTest, ADuplicateEntryIsFetchedOnceAndTheRunSucceeds) {
  const std::string wave = Wave(200000);
  LoopbackHttpPeer peer;
  peer.SetBody(Tta(work_, wave), "application/octet-stream");
  dialogs_.folderAnswers.push_back(folder_.path());
  // "a b.txt" is first stored as "a+b.txt": it must not overwrite the file of that name.
  Run(Line(peer, u"a.tta") + u"\r\n" + Line(peer, u"a+b.txt") + u"\r\n" + Line(peer, u"a b.txt") +
      u"\r\n" + Line(peer, u"b.tta") + u"\r\n" + Line(peer, u"A.TTA") + u"\r\n" +
      Line(peer, u"a b.txt") + u"\r\n");
  EXPECT_EQ(Texts(), std::vector<std::u16string>{u"ダウンロードが完了しました。"});
  EXPECT_EQ(Names(folder_), (std::set<std::u16string>{u"a.wav", u"b.wav", u"a b.txt", u"a+b.txt"}));
  EXPECT_EQ(ReadBytes(folder_ / u"a.wav"), wave);
  // Probe and download of each of the four files.
  EXPECT_EQ(peer.Requests().size(), 8u);
}

TEST_F(DownloadWindowTest, ATtaFileWhoseWaveNameIsSentAsWellIsKeptAsItCame) {
  const std::string wave = Wave(200000);
  LoopbackHttpPeer peer;
  const std::string tta = Tta(work_, wave);
  peer.SetBody(tta, "application/octet-stream");
  dialogs_.folderAnswers.push_back(folder_.path());
  Run(Line(peer, u"a.wav") + u"\r\n" + Line(peer, u"A.tta") + u"\r\n" + Line(peer, u"xtta.WAV") +
      u"\r\n" + Line(peer, u"xtta") + u"\r\n" + Line(peer, u"b.tta") + u"\r\n");
  EXPECT_EQ(Texts(), std::vector<std::u16string>{u"ダウンロードが完了しました。"});
  EXPECT_EQ(Names(folder_),
            (std::set<std::u16string>{u"a.wav", u"A.tta", u"xtta.WAV", u"xtta", u"b.wav"}));
  EXPECT_TRUE(ReadBytes(folder_ / u"a.wav") == tta) << "a.wav was replaced";
  EXPECT_TRUE(ReadBytes(folder_ / u"b.wav") == wave);
}

TEST_F(DownloadWindowTest, CancelAtTheLastDecompressionOfADuplicateKeepsTheFinishedWaveFile) {
  const std::string wave = Wave(1500000);
  LoopbackHttpPeer peer;
  peer.SetBody(Tta(work_, wave), "application/octet-stream");
  dialogs_.folderAnswers.push_back(folder_.path());
  std::u16string lastCount;
  onTick = [&] {
    const std::u16string count = window_.ControlText(IDC_DL_LBL_COUNT);
    if (count.empty()) return;
    lastCount = count;
    const std::size_t slash = count.find(u'/');
    if (count.substr(0, slash) == count.substr(slash + 1)) window_.cmdCancel_Click();
  };
  Run(Line(peer, u"a.tta") + u"\r\n" + Line(peer, u"b.tta") + u"\r\n" + Line(peer, u"a.tta"));
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_EQ(lastCount, u"2/2");
  EXPECT_EQ(window_.DecodeStatus(), -999);
  EXPECT_EQ(Names(folder_), (std::set<std::u16string>{u"a.wav", u"b.tta"}));
  EXPECT_EQ(ReadBytes(folder_ / u"a.wav"), wave);
}

TEST_F(DownloadWindowTest, SizesBeyond2GbAddUpAndTheBarScales) {
  for (int i = 0; i < 3; ++i) basMain::GetFileSizeProc(0x40000000, "");
  EXPECT_EQ(basMain::down.lngTotalBytes, 3221225472LL);
  // A size no file has counts for nothing.
  basMain::GetFileSizeProc(-5, "");
  EXPECT_EQ(basMain::down.lngTotalBytes, 3221225472LL);

  window_.Load();
  basMain::down.lngDownPhase = basMain::DownPhase::kDownload;
  basMain::down.lngDoneBytes = 0x80000000LL;
  basMain::down.lngFileBytes = 0x20000000;
  window_.Timer3_Timer();
  EXPECT_EQ(window_.ControlText(IDC_LBL_PROGRESS_1), u"3145728 KB");
  EXPECT_EQ(window_.ControlText(IDC_LBL_PROGRESS_0), u"2621440 KB");
  const HWND bar = window_.Control(IDC_PBR_DOWNLOAD);
  const auto value = static_cast<int32_t>(SendMessageW(bar, PBM_GETPOS, 0, 0));
  const auto max = static_cast<int32_t>(SendMessageW(bar, PBM_GETRANGE, FALSE, 0));
  ASSERT_GT(max, 0);
  EXPECT_NEAR(static_cast<double>(value) / max, 2.5 / 3, 0.001);
  basMain::down.lngDoneBytes = basMain::down.lngTotalBytes;
  window_.Timer3_Timer();
  EXPECT_EQ(window_.ControlText(IDC_LBL_PROGRESS_0), u"3145728 KB");
  EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), max);
  window_.Unload();
}

TEST_F(DownloadWindowTest, ADescriptorOfEmptyLinesEndsWithWinsockError) {
  dialogs_.folderAnswers.push_back(folder_.path());
  Run(u"\r\n\r\n\r");
  EXPECT_EQ(Texts(), std::vector<std::u16string>{u"Winsockエラー"});
}

TEST_F(DownloadWindowTest, TheTaskbarButtonFollowsTheRunAndFlashesWhenItEndsInTheBackground) {
  RecordingTaskbar taskbar;
  OtherWindow other;
  LoopbackHttpPeer peer;
  peer.SetBody(Tta(work_, Wave(20000)), "application/octet-stream");
  dialogs_.folderAnswers.push_back(folder_.path());
  onTick = [&] {
    if (basMain::down.lngDownPhase == basMain::DownPhase::kDownload) other.TakeForeground();
  };
  Run(Line(peer, u"a.tta"));
  ASSERT_EQ(Texts(), std::vector<std::u16string>{u"ダウンロードが完了しました。"});
  EXPECT_LT(taskbar.IndexOf("value 0/100"), taskbar.IndexOf("value 100/100"));
  EXPECT_LT(taskbar.IndexOf("value 100/100"), taskbar.IndexOf("flash"));
  EXPECT_LT(taskbar.IndexOf("flash"), taskbar.calls.size());
  EXPECT_FALSE(taskbar.Made("error"));
  EXPECT_EQ(taskbar.calls.back(), "none");
}

TEST_F(DownloadWindowTest, AFailedRunInFrontTurnsTheButtonRedWithoutAFlash) {
  RecordingTaskbar taskbar;
  LoopbackHttpPeer peer;
  peer.SetResponse("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
  dialogs_.folderAnswers.push_back(folder_.path());
  Run(Line(peer, u"a.txt"));
  ASSERT_EQ(Texts(), std::vector<std::u16string>{u"HTTPエラー"});
  EXPECT_LT(taskbar.IndexOf("error"), taskbar.calls.size());
  EXPECT_FALSE(taskbar.Made("flash"));
  EXPECT_EQ(taskbar.calls.back(), "none");
}

TEST_F(DownloadWindowTest, CancelDuringTheDownloadKeepsTheCompleteFiles) {
  const std::size_t size = 1024 * 1024;
  TricklePeer peer(size);
  dialogs_.folderAnswers.push_back(folder_.path());
  int64_t lastLabel = 0;
  bool grew = true;
  onTick = [&] {
    if (!window_.IsLoaded()) return;
    const int64_t label = LeadingNumber(window_.ControlText(IDC_LBL_PROGRESS_0));
    grew = grew && label >= lastLabel &&
           label <= LeadingNumber(window_.ControlText(IDC_LBL_PROGRESS_1));
    lastLabel = label;
    if (basMain::down.lngDownPhase == basMain::DownPhase::kDownload &&
        basMain::down.lngDoneBytes >= static_cast<int64_t>(size)) {
      // The close box during a run asks for a stop, as Cancel does.
      SendMessageW(window_.hwnd(), WM_CLOSE, 0, 0);
    }
  };
  Run(peer.Url(u"one.bin") + u"\r\n" + peer.Url(u"two.bin") + u"\r\n" + peer.Url(u"three.bin"));
  EXPECT_EQ(Texts(), std::vector<std::u16string>{u"キャンセルされました"});
  EXPECT_EQ(Names(folder_), std::set<std::u16string>{u"one.bin"});
  EXPECT_EQ(ReadBytes(folder_ / u"one.bin").size(), size);
  EXPECT_GT(lastLabel, 0);
  EXPECT_TRUE(grew);
}

TEST_F(DownloadWindowTest, CancelDuringTheDecompressionKeepsWhatIsNotAWaveFileYet) {
  const std::string wave = Wave(1500000);
  LoopbackHttpPeer peer;
  peer.SetBody(Tta(work_, wave), "application/octet-stream");
  dialogs_.folderAnswers.push_back(folder_.path());
  onTick = [&] {
    if (window_.ControlText(IDC_DL_LBL_COUNT) == u"2/3") window_.cmdCancel_Click();
  };
  Run(Line(peer, u"1.tta") + u"\r\n" + Line(peer, u"2.tta") + u"\r\n" + Line(peer, u"3.tta"));
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_EQ(window_.DecodeStatus(), -999);
  EXPECT_EQ(Names(folder_), (std::set<std::u16string>{u"1.wav", u"2.tta", u"3.tta"}));
  EXPECT_EQ(ReadBytes(folder_ / u"1.wav"), wave);
}

// Reads the labels as the completion message appears over them.
class LabelsAtMessage : public ScriptedDialogs {
 public:
  explicit LabelsAtMessage(const frmDownLoad& window) : window_(window) {}
  int ShowMessage(HWND owner, std::u16string_view text, std::u16string_view caption,
                  UINT style) override {
    received = window_.ControlText(IDC_LBL_PROGRESS_0);
    total = window_.ControlText(IDC_LBL_PROGRESS_1);
    return ScriptedDialogs::ShowMessage(owner, text, caption, style);
  }
  std::u16string received;
  std::u16string total;

 private:
  const frmDownLoad& window_;
};

TEST_F(DownloadWindowTest, TheTitleBlinksDuringTheProbeAndTheLabelsOnlyGrowUpToTheTotal) {
  // Each answer held back 800 ms, then 600 KB at about 500 KB/s.
  const std::size_t size = 600 * 1024;
  TricklePeer peer(size, 800, 30);
  LabelsAtMessage dialogs(window_);
  dialogs.folderAnswers.push_back(folder_.path());
  std::vector<bool> titleShown;  // lblTitle(2) at each change seen during the probe
  std::vector<int64_t> received;
  bool boundedByTotal = true;
  bool barGrowsWithinMax = true;
  int64_t lastValue = 0;
  int64_t lastMax = 1;
  onTick = [&] {
    if (!window_.IsLoaded()) return;
    if (basMain::down.lngDownPhase == basMain::DownPhase::kSizeProbe) {
      const bool shown = IsWindowVisible(window_.Control(IDC_DL_LBL_TITLE_2)) != FALSE;
      if (titleShown.empty() || titleShown.back() != shown) titleShown.push_back(shown);
      return;
    }
    const std::u16string done = window_.ControlText(IDC_LBL_PROGRESS_0);
    const std::u16string total = window_.ControlText(IDC_LBL_PROGRESS_1);
    if (!done.empty() && (received.empty() || received.back() != LeadingNumber(done))) {
      received.push_back(LeadingNumber(done));
    }
    if (!done.empty() && LeadingNumber(done) > LeadingNumber(total)) boundedByTotal = false;
    const HWND bar = window_.Control(IDC_PBR_DOWNLOAD);
    const auto value = static_cast<int32_t>(SendMessageW(bar, PBM_GETPOS, 0, 0));
    const auto max = static_cast<int32_t>(SendMessageW(bar, PBM_GETRANGE, FALSE, 0));
    // The bar's scale changes from 100 to the total and back: its filled part only grows.
    // The fractions are compared crosswise in integers, so that no rounding can make a bar
    // that stood still look as if it went back.
    if (max <= 0) return;
    if (int64_t{value} * lastMax < lastValue * max || value > max) barGrowsWithinMax = false;
    lastValue = value;
    lastMax = max;
  };
  Run(peer.Url(u"one.bin") + u"\r\n" + peer.Url(u"two.bin") + u"\r\n");

  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, u"ダウンロードが完了しました。");
  // Shown, hidden, shown again: every 400 ms while the two sizes are fetched.
  EXPECT_GE(titleShown.size(), 3u);
  EXPECT_TRUE(std::find(titleShown.begin(), titleShown.end(), false) != titleShown.end());
  // Several steps on the way, each above the one before and none above the total.
  EXPECT_GE(received.size(), 3u);
  EXPECT_TRUE(std::is_sorted(received.begin(), received.end()));
  EXPECT_TRUE(std::adjacent_find(received.begin(), received.end()) == received.end());
  EXPECT_TRUE(boundedByTotal);
  EXPECT_TRUE(barGrowsWithinMax);
  EXPECT_EQ(dialogs.received, u"1200 KB");
  EXPECT_EQ(dialogs.total, u"1200 KB");
}

}  // namespace

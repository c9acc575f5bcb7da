// Starts OrvaneFts.exe with the registered Zorvel.dll against the fixture's orvane-server and
// carries forwards through its windows from outside: the files the server keeps, the parameter
// data file, the answer's messages and the clean-up of the work files.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/history/history_server_win.h"
#include "app/resources/form_ids.h"
#include "app/testing/forward_driver_win.h"
#include "app/testing/registry_fixture_win.h"
#include "app/testing/running_program_win.h"
#include "app/testing/temp_folder_win.h"
#include "app/testing/wave_bytes.h"
#include "app/tta/tta_codec_win.h"
#include "base/testing/screenshot_win.h"
#include "control/testing/zorvel_library_win.h"

namespace {

namespace fs = std::filesystem;
using forward_driver::kForwardCaption;
using forward_driver::kMessageCaption;
using forward_driver::kUploadCaption;
using history_testing::PostForm;

std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }
std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

// A canonical PCM WAV whose sample bytes run through every value in an uneven pattern.
std::string Wave(int channels, int bits, int frames) {
  std::string data(static_cast<size_t>(channels * bits / 8 * frames), '\0');
  for (uint32_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>((i * 37 + i / 91) & 0xff);
  return wave_bytes::PcmWave(static_cast<uint16_t>(channels), static_cast<uint16_t>(bits), data);
}

// The entries of the temporary directory the program and this test share.
// What the program may leave in the temporary directory: its work folders and a parameter data
// file. Other test programs share the folder and come and go meanwhile, so only these count.
std::set<std::wstring> TempEntries() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::set<std::wstring> names;
  for (const auto& entry : fs::directory_iterator(fs::path(temp))) {
    const std::wstring name = entry.path().filename().wstring();
    if (name.starts_with(L"OrvaneF")) names.insert(name);
  }
  return names;
}

fs::path TempPath() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  return fs::path(temp);
}

std::string ReadAll(const fs::path& path) { return ReadBytes(path.u16string()); }

// The stored files of each forward the server keeps, by its identifier, in the order the
// forward listed them.
using Stored = std::map<std::string, std::vector<std::string>>;
Stored StoredForwards() {
  Stored forwards;
  const char* data = std::getenv("ORVANE_SERVER_DATA");
  if (data == nullptr || !fs::exists(fs::path(data) / "files")) return forwards;
  for (const auto& forward : fs::directory_iterator(fs::path(data) / "files")) {
    std::vector<std::string>& files = forwards[forward.path().filename().string()];
    for (size_t position = 0; fs::exists(forward.path() / std::to_string(position)); ++position) {
      files.push_back(ReadAll(forward.path() / std::to_string(position)));
    }
  }
  return forwards;
}

// The forwards stored since `before`.
std::vector<std::vector<std::string>> StoredSince(const Stored& before) {
  std::vector<std::vector<std::string>> added;
  for (const auto& [id, files] : StoredForwards()) {
    if (!before.count(id)) added.push_back(files);
  }
  return added;
}

class OrvaneFtsUpload : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(history_testing::ServerUrl().empty()) << "run through ctest: the fixture sets it";
    const std::string server = Narrow(history_testing::ServerUrl());
    PostForm("/test/reset", "");
    testing_registry::ClearConfiguration();
    testing_registry::SetProductId("V01", "PID-U");
    testing_registry::SetSetting("SendName", "\x8E\x52\x93\x63");  // 山田
    testing_registry::SetSetting("FileTransUrl", server + "/upload");
    testing_registry::SetSetting("SaveSizeUrl", server + "/savesize");
    ASSERT_EQ(RunRegsvr32(L""), 0u);
  }
  void TearDown() override {
    PostForm("/test/reset", "");
    testing_registry::ClearConfiguration();
    EXPECT_EQ(RunRegsvr32(L"/u"), 0u);
  }

  // Waits for the answer's message box, reads it and presses OK; the upload window then closes.
  std::wstring TakeAnswer(RunningProgram& program, HWND upload) {
    HWND box = program.Window(kMessageCaption);
    if (box == nullptr) return L"(no message)";
    const std::wstring text = MessageText(box);
    RunningProgram::Dismiss(box, IDOK);
    RunningProgram::WaitHidden(upload);
    return text;
  }
};

TEST_F(OrvaneFtsUpload, ForwardOfWavesAndOtherFilesToFiveRecipientsReachesTheServer) {
  struct Source {
    std::u16string name;
    std::string bytes;
    bool wave;
  };
  const std::vector<Source> sources = {
      {u"mono8.wav", Wave(1, 8, 5000), true},
      {u"stereo16.wav", Wave(2, 16, 4000), true},
      {u"mono24.wav", Wave(1, 24, 3000), true},
      {u"録音 二.wav", Wave(2, 24, 2500), true},
      {u"memo.txt", "first line\r\nsecond line\r\n", false},
      {u"会議 資料.pdf", std::string("%PDF-\x00\xff\x1e\x1f", 10) + std::string(3000, 'p'), false},
  };
  TempFolder folder;
  for (const Source& source : sources) WriteBytes(folder / source.name, source.bytes);
  const std::set<std::wstring> tempBefore = TempEntries();
  const Stored storedBefore = StoredForwards();

  RunningProgram program;
  HWND forward = program.Window(kForwardCaption);
  ASSERT_NE(forward, nullptr);
  for (const Source& source : sources) {
    ASSERT_TRUE(forward_driver::AddFile(program, forward, Wide(folder / source.name)))
        << Narrow(source.name);
  }
  const wchar_t* names[] = {L"鈴木 一郎", L"佐藤", L"高橋", L"田中", L"伊藤"};
  for (int i = 0; i < 5; ++i) {
    const std::wstring mail = L"r" + std::to_wstring(i + 1) + L"@example.jp";
    ASSERT_TRUE(forward_driver::AddRecipient(program, forward, names[i], mail.c_str()));
  }
  Type(GetDlgItem(forward, IDC_TXT_MSG), L"一行目\r\n二行目");
  program.Settle();
  EXPECT_EQ(TextOf(GetDlgItem(forward, IDC_LBL_FILE_COUNT)), L"6");

  RunningProgram::Click(forward, IDC_CMD_FORWARD);
  HWND upload = program.Window(kUploadCaption);
  ASSERT_NE(upload, nullptr);
  HWND box = program.Window(kMessageCaption);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageText(box), L"完了しました。");

  // The work folder lives until the box is answered: its parameter data file is the one sent.
  std::vector<std::wstring> fresh;
  for (const std::wstring& name : TempEntries()) {
    if (!tempBefore.count(name)) fresh.push_back(name);
  }
  ASSERT_EQ(fresh.size(), 1u);
  const std::string para = ReadAll(TempPath() / fresh[0] / L"OrvaneFileTrans.para");

  RunningProgram::Dismiss(box, IDOK);
  RunningProgram::WaitHidden(upload);
  program.Settle();
  EXPECT_EQ(TempEntries(), tempBefore);

  const auto stored = StoredSince(storedBefore);
  ASSERT_EQ(stored.size(), 1u);
  ASSERT_EQ(stored[0].size(), sources.size());
  TempFolder decoded;
  std::vector<size_t> sizes;
  for (size_t i = 0; i < sources.size(); ++i) {
    sizes.push_back(stored[0][i].size());
    if (!sources[i].wave) {
      EXPECT_EQ(stored[0][i], sources[i].bytes) << Narrow(sources[i].name);
      continue;
    }
    EXPECT_EQ(stored[0][i].substr(0, 4), "TTA1");
    const std::u16string tta =
        decoded / (u"stored" + std::u16string(1, static_cast<char16_t>(u'0' + i)) + u".tta");
    const std::u16string wav = decoded / u"back.wav";
    WriteBytes(tta, stored[0][i]);
    int16_t cancel = 0;
    basMain::StartTtaProgress(static_cast<int64_t>(stored[0][i].size()));
    ASSERT_EQ(tta_vb::Dec_TTAToWav(tta, wav, &cancel), kTtaDone);
    EXPECT_EQ(ReadBytes(wav), sources[i].bytes) << Narrow(sources[i].name);
  }
  auto size = [&](size_t i) { return std::to_string(sizes[i]); };
  const std::string US = "\x1f", RS = "\x1e";
  // 山田, PID-U, the five recipients (鈴木 一郎 keeps its blank), the message with GS between
  // its lines; the names without blanks; the work names as the temporary directory encodes them.
  const std::string expected =
      "\x8E\x52\x93\x63" + US + "PID-U" + US + "\x97\xE9\x96\xD8\x20\x88\xEA\x98\x59" + US +
      "r1@example.jp" + US + "\x8D\xB2\x93\xA1" + US + "r2@example.jp" + US + "\x8D\x82\x8B\xB4" +
      US + "r3@example.jp" + US + "\x93\x63\x92\x86" + US + "r4@example.jp" + US +
      "\x88\xC9\x93\xA1" + US + "r5@example.jp" + US +
      "\x88\xEA\x8D\x73\x96\xDA\x1D\x93\xF1\x8D\x73\x96\xDA" + RS + "mono8.wav" + US +
      std::to_string(sources[0].bytes.size()) + US + "stereo16.wav" + US +
      std::to_string(sources[1].bytes.size()) + US + "mono24.wav" + US +
      std::to_string(sources[2].bytes.size()) + US + "\x98\x5E\x89\xB9\x93\xF1.wav" + US +
      std::to_string(sources[3].bytes.size()) + US + "memo.txt" + US +
      std::to_string(sources[4].bytes.size()) + US + "\x89\xEF\x8B\x63\x8E\x91\x97\xBF.pdf" + US +
      std::to_string(sources[5].bytes.size()) + RS + "mono8.tta" + US + size(0) + US +
      "stereo16.tta" + US + size(1) + US + "mono24.tta" + US + size(2) + US +
      "%98%5E%89%B9+%93%F1.tta" + US + size(3) + US + "memo.txt" + US + size(4) + US +
      "%89%EF%8B%63+%8E%91%97%BF.pdf" + US + size(5) + "\r\n";
  EXPECT_EQ(para, expected);

  RunningProgram::Click(forward, IDC_CMD_END);
  EXPECT_TRUE(program.Ends());
}

// A small forward put together once; each test then sends it as often as it likes.
HWND PrepareForward(RunningProgram& program, const std::u16string& file) {
  HWND forward = program.Window(kForwardCaption);
  if (forward == nullptr) return nullptr;
  EXPECT_TRUE(forward_driver::AddFile(program, forward, Wide(file)));
  EXPECT_TRUE(forward_driver::AddRecipient(program, forward, L"鈴木", L"suzuki@example.jp"));
  Type(GetDlgItem(forward, IDC_TXT_MSG), L"m");
  return forward;
}

struct BoxSearch {
  DWORD processId;
  bool found;
};

BOOL CALLBACK FindMessageBox(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<BoxSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t caption[64] = {};
  GetWindowTextW(window, caption, 64);
  if (owner == search->processId && IsWindowVisible(window) &&
      std::wstring(caption) == kMessageCaption) {
    search->found = true;
  }
  return !search->found;
}

// Whether the program shows a message box now.
bool AnyMessageBox(DWORD processId) {
  BoxSearch search{processId, false};
  EnumWindows(FindMessageBox, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

TEST_F(OrvaneFtsUpload, EachAnswerShowsItsMessageAndCancelDuringTheTransferStoresNothing) {
  TempFolder folder;
  WriteBytes(folder / u"a.txt", "a");
  RunningProgram program;
  const Stored storedBefore = StoredForwards();
  HWND forward = PrepareForward(program, folder / u"a.txt");
  ASSERT_NE(forward, nullptr);

  const std::pair<const char*, std::wstring> answers[] = {
      {"-1", L"ファイル保存時にエラーが発生しました。"},
      {"-2", L"データベース登録時にエラーが発生しました。"},
      {"-3", L"メール送信時にエラーが発生しました。"},
      {"-4", L"ファイル転送に必要なデータが正しくありません。"},
      {"500%20Internal%20Server%20Error",
       L"ファイル転送でエラーが発生しました。(ErrCode：500 Internal Server Error)"},
      {"", L"ファイル転送でエラーが発生しました。(ErrCode：)"},
      {"1%20", L"ファイル転送でエラーが発生しました。(ErrCode：1 )"},
  };
  for (const auto& [form, message] : answers) {
    ASSERT_EQ(PostForm("/test/answer", std::string("count=1&text=") + form), "ok\n");
    RunningProgram::Click(forward, IDC_CMD_FORWARD);
    HWND upload = program.Window(kUploadCaption);
    ASSERT_NE(upload, nullptr);
    EXPECT_EQ(TakeAnswer(program, upload), message) << form;
  }
  EXPECT_TRUE(StoredSince(storedBefore).empty());

  // Cancelled while the server holds the upload back. The file is larger than what the loopback
  // connection buffers: the send is still under way when Cancel is pressed.
  WriteBytes(folder / u"large.txt", std::string(24 << 20, 'x'));
  ASSERT_TRUE(forward_driver::AddFile(program, forward, Wide(folder / u"large.txt")));
  ASSERT_EQ(PostForm("/test/delay", "ms=4000"), "ok\n");
  RunningProgram::Click(forward, IDC_CMD_FORWARD);
  HWND upload = program.Window(kUploadCaption);
  ASSERT_NE(upload, nullptr);
  for (int tries = 0; tries < 100 && !IsWindowVisible(GetDlgItem(upload, IDC_FRA_SEND)); ++tries) {
    Sleep(50);
  }
  Sleep(500);
  ASSERT_TRUE(IsWindowVisible(upload));
  const DWORD cancelled = GetTickCount();
  RunningProgram::Click(upload, IDC_CMD_CANCEL);
  RunningProgram::WaitHidden(upload);
  EXPECT_LT(GetTickCount() - cancelled, 2000u);
  Sleep(4000);
  EXPECT_FALSE(AnyMessageBox(program.Id()));
  EXPECT_TRUE(StoredSince(storedBefore).empty());
  EXPECT_TRUE(IsWindowEnabled(forward));

  RunningProgram::Click(forward, IDC_CMD_END);
  EXPECT_TRUE(program.Ends());
}

TEST_F(OrvaneFtsUpload, RefusedConnectionShowsNoMessageAndTheWindowWaitsForCancel) {
  // Nothing listens on the discard port of loopback.
  testing_registry::SetSetting("FileTransUrl", "http://127.0.0.1:9/upload");
  TempFolder folder;
  WriteBytes(folder / u"a.txt", "a");
  RunningProgram program;
  const Stored storedBefore = StoredForwards();
  HWND forward = PrepareForward(program, folder / u"a.txt");
  ASSERT_NE(forward, nullptr);
  RunningProgram::Click(forward, IDC_CMD_FORWARD);
  HWND upload = program.Window(kUploadCaption);
  ASSERT_NE(upload, nullptr);
  Sleep(3000);
  EXPECT_TRUE(IsWindowVisible(upload));
  EXPECT_FALSE(AnyMessageBox(program.Id()));
  RunningProgram::Dismiss(upload, IDC_CMD_CANCEL);
  EXPECT_FALSE(AnyMessageBox(program.Id()));
  EXPECT_TRUE(StoredSince(storedBefore).empty());

  RunningProgram::Click(forward, IDC_CMD_END);
  EXPECT_TRUE(program.Ends());
}

}  // namespace

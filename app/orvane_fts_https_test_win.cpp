// A whole forward through OrvaneFts.exe against orvane-server serving HTTPS under a test
// authority the prefix trusts while the test runs: the upload (Zorvel.dll over Schannel), the
// history (the query client) and the download of the descriptor the server mailed (Parvek.dll),
// with the recording compressed on the way out and restored on the way in.
#include <gtest/gtest.h>
#include <urlmon.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "app/history/history_screen_win.h"
#include "app/resources/form_ids.h"
#include "app/testing/download_driver_win.h"
#include "app/testing/folder_browser_win.h"
#include "app/testing/forward_driver_win.h"
#include "app/testing/registry_fixture_win.h"
#include "app/testing/running_program_win.h"
#include "app/testing/temp_folder_win.h"
#include "app/testing/wave_bytes.h"
#include "base/testing/trusted_authority_win.h"
#include "control/testing/zorvel_library_win.h"

namespace {

namespace fs = std::filesystem;
using forward_driver::kForwardCaption;
using forward_driver::kMessageCaption;
using forward_driver::kUploadCaption;

constexpr wchar_t kHistoryCaption[] = L"Orvaneファイル転送 - 転送履歴";

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string ReadFile(const fs::path& path) { return ReadBytes(path.u16string()); }

// The forward folders the server keeps.
std::set<std::string> Forwards(const fs::path& data) {
  std::set<std::string> ids;
  if (!fs::exists(data / "files")) return ids;
  for (const auto& forward : fs::directory_iterator(data / "files")) {
    ids.insert(forward.path().filename().string());
  }
  return ids;
}

class OrvaneFtsHttps : public ::testing::Test {
 protected:
  // The program runs in processes of its own, which read the trusted roots when they start.
  static void SetUpTestSuite() {
    const std::string state = Environment("ORVANE_TLS_STATE");
    if (!state.empty()) {
      authority_ =
          std::make_unique<base::testing::TrustedAuthority>(ReadFile(fs::path(state) / "ca.pem"));
    }
  }
  static void TearDownTestSuite() { authority_.reset(); }

  void SetUp() override {
    ASSERT_TRUE(authority_ && authority_->Trusted()) << "run through ctest";
    server_ = ReadFile(fs::path(Environment("ORVANE_SERVER_URL_FILE")));
    data_ = Environment("ORVANE_SERVER_DATA");
    ASSERT_EQ(server_.rfind("https://", 0), 0u) << server_;
    testing_registry::ClearConfiguration();
    testing_registry::SetProductId("V01", "PID-S");
    testing_registry::SetSetting("SendName", "\x8E\x52\x93\x63");  // 山田
    testing_registry::SetSetting("FileTransUrl", server_ + "/upload");
    testing_registry::SetSetting("SaveSizeUrl", server_ + "/savesize");
    testing_registry::SetSetting("HistoryUrl", server_ + "/history");
    ASSERT_EQ(RunRegsvr32(L""), 0u);
  }
  void TearDown() override {
    testing_registry::ClearConfiguration();
    EXPECT_EQ(RunRegsvr32(L"/u"), 0u);
  }

  static std::unique_ptr<base::testing::TrustedAuthority> authority_;
  std::string server_;
  fs::path data_;
};

std::unique_ptr<base::testing::TrustedAuthority> OrvaneFtsHttps::authority_;

TEST_F(OrvaneFtsHttps, ForwardHistoryAndDownloadOverHttps) {
  std::string samples(3 * 4 * 3000, '\0');
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<char>((i * 37 + i / 91));
  const std::string wave = wave_bytes::PcmWave(2, 24, samples);
  const std::string memo = "first line\r\nsecond line\r\n";
  TempFolder folder;
  WriteBytes(folder / u"録音.wav", wave);
  WriteBytes(folder / u"memo.txt", memo);
  const std::set<std::string> before = Forwards(data_);

  // The forward: compressed, uploaded over TLS, answered.
  RunningProgram program;
  HWND forward = program.Window(kForwardCaption);
  ASSERT_NE(forward, nullptr);
  for (const char16_t* name : {u"録音.wav", u"memo.txt"}) {
    const std::u16string path = folder / name;
    ASSERT_TRUE(forward_driver::AddFile(program, forward, std::wstring(path.begin(), path.end())));
  }
  ASSERT_TRUE(forward_driver::AddRecipient(program, forward, L"鈴木", L"suzuki@example.jp"));
  Type(GetDlgItem(forward, IDC_TXT_MSG), L"https");
  RunningProgram::Click(forward, IDC_CMD_FORWARD);
  HWND upload = program.Window(kUploadCaption);
  ASSERT_NE(upload, nullptr);
  HWND box = program.Window(kMessageCaption);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageText(box), L"完了しました。");
  RunningProgram::Dismiss(box, IDOK);
  RunningProgram::WaitHidden(upload);
  program.Settle();

  std::set<std::string> added;
  for (const std::string& id : Forwards(data_)) {
    if (!before.count(id)) added.insert(id);
  }
  ASSERT_EQ(added.size(), 1u);
  const std::string id = *added.begin();
  EXPECT_EQ(ReadFile(data_ / "files" / id / "0").substr(0, 4), "TTA1");
  EXPECT_EQ(ReadFile(data_ / "files" / id / "1"), memo);

  // The history, asked over TLS.
  RunningProgram::Click(forward, IDC_CMD_HISTORY);
  HWND history = program.Window(kHistoryCaption);
  ASSERT_NE(history, nullptr);
  program.Settle();
  const history_testing::RemoteListView rows(GetDlgItem(history, IDC_LVW_HISTORY));
  ASSERT_EQ(rows.Rows(), 1);
  EXPECT_EQ(rows.Cell(0, 1), L"鈴木(suzuki@example.jp)");
  RunningProgram::Dismiss(history, IDC_CMD_HISTORY_CLOSE);
  program.Settle();
  RunningProgram::Click(forward, IDC_CMD_END);
  EXPECT_TRUE(program.Ends());

  // The descriptor the server mailed, fetched over TLS, then downloaded by the program.
  const std::string descriptorUrl = server_ + "/ofts/" + id + ".ofts";
  EXPECT_NE(ReadFile(data_ / "outbox" / (id + "-0.txt")).find(descriptorUrl), std::string::npos);
  TempFolder work;
  const std::u16string descriptor = work / u"forward.ofts";
  ASSERT_EQ(URLDownloadToFileA(nullptr, descriptorUrl.c_str(),
                               fs::path(descriptor).string().c_str(), 0, nullptr),
            S_OK);
  EXPECT_EQ(ReadBytes(descriptor).rfind(server_ + "/files/" + id + "/", 0), 0u);
  DesktopFolder target;
  EXPECT_EQ(download_driver::DownloadInto(descriptor, target), L"ダウンロードが完了しました。");
  EXPECT_TRUE(wave_bytes::WaveSamples(ReadFile(target.path() / L"録音.wav")) == samples);
  EXPECT_EQ(ReadFile(target.path() / L"memo.txt"), memo);
}

}  // namespace

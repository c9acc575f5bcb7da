// The download window against orvane-server: a forward stored as the upload control sends one
// (TTA files made by ffmpeg), its descriptor as the server serves it, a scripted folder choice.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "app/download/frm_down_load_win.h"
#include "app/testing/scripted_dialogs_win.h"
#include "app/testing/temp_folder_win.h"
#include "app/testing/wave_bytes.h"
#include "base/text.h"

namespace {

namespace fs = std::filesystem;

std::u16string SeedFolder() {
  const char* data = std::getenv("ORVANE_SERVER_DATA");
  return data == nullptr ? u"" : base::FromUtf8(data) + u"/../seed";
}

TEST(DownloadFromServerTest, EveryFileArrivesUnderItsOwnNameAndTheRecordingsAsWaveFiles) {
  const std::u16string seed = SeedFolder();
  ASSERT_FALSE(seed.empty()) << "run through CTest, which starts and seeds the server";
  TempFolder folder;
  WriteBytes(folder / u"録音1.wav", "an older recording");
  ScriptedDialogs dialogs;
  dialogs.folderAnswers.push_back(folder.path());
  dialogs.messageAnswers = {IDYES, IDOK};
  frmDownLoad window;
  window.OftsPath(seed + u"/download.ofts");
  window.Show();
  const ULONGLONG deadline = GetTickCount64() + 60000;
  while (window.IsLoaded() && GetTickCount64() < deadline) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    DoEvents();
  }
  ASSERT_FALSE(window.IsLoaded());

  ASSERT_EQ(dialogs.messages.size(), 2u);
  EXPECT_EQ(dialogs.messages[0].caption, u"確認");
  EXPECT_EQ(dialogs.messages[1].text, u"ダウンロードが完了しました。");
  std::set<std::u16string> names;
  for (const auto& item : fs::directory_iterator(fs::path(folder.path()))) {
    names.insert(item.path().filename().u16string());
  }
  EXPECT_EQ(names, (std::set<std::u16string>{u"録音1.wav", u"B.wav", u"メモ.txt", u"a b.txt"}));
  for (const char16_t* name : {u"録音1.wav", u"B.wav"}) {
    const std::string samples = wave_bytes::WaveSamples(ReadBytes(folder / name));
    EXPECT_GT(samples.size(), 100000u) << base::ToUtf8(name);
    EXPECT_EQ(samples, wave_bytes::WaveSamples(ReadBytes(seed + u"/" + name)))
        << base::ToUtf8(name);
  }
  EXPECT_EQ(ReadBytes(folder / u"メモ.txt"), "\x96\x7b\x95\xb6\x82\xc5\x82\xb7\r\n");
  EXPECT_EQ(ReadBytes(folder / u"a b.txt"), "blank\r\n");
}

}  // namespace

// The upload window's compression phase: WAV files through the compressor, other files copied,
// cancel and failures.
#include <algorithm>
#include <filesystem>

#include "app/testing/wave_bytes.h"
#include "app/upload/upload_window_fixture_win.h"

namespace {

using ::zorvel::testing::PumpUntil;

using wave_bytes::RampWave;

using UploadCompression = UploadWindowTest;

TEST_F(UploadCompression, LoadShowsTheUpperFrameAndStartsASecondLater) {
  AddFile(u"a.wav", "RIFFaaaa", u"a.tta");
  AddFile(u"b.WAV", "RIFFbbbb", u"b.tta");
  Open();
  EXPECT_EQ(form.Caption(), u"Orvaneファイル転送 - ファイル送信");
  EXPECT_TRUE(IsWindowVisible(form.Control(IDC_FRA_COMPRESS)));
  EXPECT_TRUE(IsWindowVisible(form.Control(IDC_PBR_COMPRESS)));
  EXPECT_EQ(form.ControlText(IDC_LBL_TITLE_0), u"１．ファイルを圧縮しています");
  EXPECT_FALSE(IsWindowVisible(form.Control(IDC_FRA_SEND)));
  EXPECT_FALSE(IsWindowVisible(form.Control(IDC_LBL_TITLE_1)));
  EXPECT_EQ(form.ControlText(IDC_LBL_TITLE_1), u"２．ファイルを転送しています");
  EXPECT_EQ(form.ControlText(IDC_CMD_CANCEL), u"キャンセル");
  EXPECT_FALSE(IsWindowEnabled(form.Control(IDC_CMD_CANCEL)));

  // Nothing happens within the first second.
  PumpUntil([] { return false; }, 600);
  EXPECT_TRUE(compressed.empty());
  ASSERT_TRUE(WaitForClose());
  EXPECT_EQ(compressed.size(), 2u);  // b.WAV's extension reads "wav" too
  EXPECT_EQ(Engine().calls, 1);
}

TEST_F(UploadCompression, FilesAreCompressedOrCopiedInOrderAndTheTransferFollows) {
  AddFile(u"a.wav", "RIFF-one", u"a.tta");
  AddFile(u"memo.txt", "memo");
  AddFile(u"b.wav", "RIFF-two", u"b.tta");
  SetFileAttributesW(reinterpret_cast<const wchar_t*>((files / u"memo.txt").c_str()),
                     FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
  WriteBytes(work / u"memo.txt", "stale work file");
  SetFileAttributesW(reinterpret_cast<const wchar_t*>((work / u"memo.txt").c_str()),
                     FILE_ATTRIBUTE_READONLY);
  std::vector<std::u16string> counts;
  std::vector<int> positions;
  duringCompress = [&](size_t) {
    counts.push_back(form.ControlText(IDC_LBL_COUNT));
    positions.push_back(CompressPosition());
  };
  Open();
  ASSERT_TRUE(WaitForClose());

  EXPECT_EQ(compressed, (std::vector<std::u16string>{files / u"a.wav", files / u"b.wav"}));
  EXPECT_EQ(counts, (std::vector<std::u16string>{u"1/2", u"2/2"}));
  EXPECT_EQ(positions, (std::vector<int>{0, 0}));
  EXPECT_EQ(ReadBytes(work / u"a.tta"), "TTA1RIFF");
  EXPECT_EQ(ReadBytes(work / u"memo.txt"), "memo");
  const DWORD attributes =
      GetFileAttributesW(reinterpret_cast<const wchar_t*>((work / u"memo.txt").c_str()));
  EXPECT_EQ(attributes & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_EQ(Engine().calls, 1);
  EXPECT_EQ(form.UpLoadStatus(), 0);
}

TEST_F(UploadCompression, WithoutWavFilesTheBarIsFullAndTheCountEmpty) {
  AddFile(u"a.txt", "a");
  int position = -1;
  std::u16string count = u"unset";
  Engine().duringRun = [&] {
    position = CompressPosition();
    count = form.ControlText(IDC_LBL_COUNT);
  };
  Open();
  ASSERT_TRUE(WaitForClose());
  EXPECT_TRUE(compressed.empty());
  EXPECT_EQ(position, 100);
  EXPECT_EQ(count, u"");
  EXPECT_EQ(Engine().calls, 1);
}

TEST_F(UploadCompression, CancelDuringTheSecondOfThreeWavFilesEndsTheRunSilently) {
  AddFile(u"a.wav", "RIFF-one", u"a.tta");
  AddFile(u"b.wav", "RIFF-two", u"b.tta");
  AddFile(u"c.wav", "RIFF-three", u"c.tta");
  AddFile(u"d.txt", "d");
  std::u16string countAtCancel;
  duringCompress = [&](size_t call) {
    if (call != 2) return;
    countAtCancel = form.ControlText(IDC_LBL_COUNT);
    ClickCancelLater();  // pressed while the compressor works: its next callback sees it
  };
  Open();
  ASSERT_TRUE(WaitForClose());
  EXPECT_EQ(countAtCancel, u"2/3");
  EXPECT_EQ(compressed.size(), 2u);
  EXPECT_EQ(form.UpLoadStatus(), -999);
  EXPECT_TRUE(Exists(work / u"a.tta"));
  EXPECT_FALSE(Exists(work / u"b.tta"));
  EXPECT_FALSE(Exists(work / u"c.tta"));
  EXPECT_FALSE(Exists(work / u"d.txt"));
  EXPECT_FALSE(Exists(work / u"OrvaneFileTrans.para"));
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(Engine().calls, 0);
}

TEST_F(UploadCompression, CancelBetweenWavFilesLetsCopiesGoOnUntilTheNextWav) {
  AddFile(u"a.wav", "RIFF-one", u"a.tta");
  AddFile(u"b.txt", "b");
  AddFile(u"c.wav", "RIFF-three", u"c.tta");
  AddFile(u"d.txt", "d");
  bool clicked = false;
  form.compressor = [&](const std::u16string& wav, const std::u16string& tta, int16_t* cancel) {
    const int32_t result = FakeCompress(wav, tta, cancel);
    if (!clicked) {
      clicked = true;
      form.cmdCancel_Click();  // after the compressor returned, before the copy of b.txt
    }
    return result;
  };
  Open();
  ASSERT_TRUE(WaitForClose());
  EXPECT_EQ(compressed.size(), 2u);  // c.wav was handed over and stopped at its first callback
  EXPECT_TRUE(Exists(work / u"a.tta"));
  EXPECT_TRUE(Exists(work / u"b.txt"));
  EXPECT_FALSE(Exists(work / u"c.tta"));
  EXPECT_FALSE(Exists(work / u"d.txt"));
  EXPECT_EQ(form.UpLoadStatus(), -999);
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(Engine().calls, 0);
}

// A WAV file the compressor refuses (a float WAV, say) ends the run without a transfer, and the
// user is told which file and why before the window closes.
TEST_F(UploadCompression, CompressorRefusalOnTheLastWavNamesTheFileAndEndsTheRun) {
  AddFile(u"a.wav", "RIFF-one", u"a.tta");
  AddFile(u"浮動小数点.wav", "RIFF-two", u"b.tta");
  failingCall = 2;
  failingResult = 2;
  Open();
  const HWND window = form.hwnd();
  ASSERT_TRUE(WaitForClose());
  EXPECT_EQ(form.UpLoadStatus(), -9999);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text,
            u"次のファイルを圧縮出来ませんでした。転送を中止します。\r\n\r\n" +
                std::u16string(files / u"浮動小数点.wav") +
                u"\r\n\r\n圧縮できない形式のWAVファイルです。圧縮できるのはリニアPCM(整数)形式"
                u"だけで、浮動小数点形式などのWAVファイルは圧縮できません。");
  EXPECT_EQ(dialogs.messages[0].icon(), static_cast<UINT>(MB_ICONERROR));
  EXPECT_EQ(dialogs.messages[0].owner, window);  // told over the window, before it closed
  EXPECT_EQ(Engine().calls, 0);
}

TEST_F(UploadCompression, UnexpectedFailureIsReportedAndTheWindowWaitsForCancel) {
  AddFile(u"a.wav", "RIFF-one", u"a.tta");
  compressorThrows = true;
  Open();
  ASSERT_TRUE(PumpUntil([&] { return !dialogs.messages.empty(); }));
  PumpUntil([] { return false; }, 300);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text.rfind(u"EncodeWaveToTta\r\n53\r\n", 0), 0u);
  EXPECT_EQ(dialogs.messages[0].icon(), static_cast<UINT>(MB_ICONERROR));
  EXPECT_TRUE(form.IsLoaded());
  EXPECT_EQ(Engine().calls, 0);

  form.cmdCancel_Click();
  EXPECT_FALSE(form.IsLoaded());
  EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(UploadCompression, SourceGoneIsReportedAndTheTransferStartsOnlyIfEveryWavWasDone) {
  AddFile(u"a.wav", "RIFF-one", u"a.tta");
  AddFile(u"gone.txt", "x");
  std::filesystem::remove(std::filesystem::path(files / u"gone.txt"));
  Open();
  ASSERT_TRUE(PumpUntil([&] { return Engine().calls == 1; }));
  ASSERT_TRUE(WaitForClose());
  ASSERT_EQ(dialogs.messages.size(), 2u);
  EXPECT_EQ(dialogs.messages[0].text.rfind(u"EncodeWaveToTta\r\n", 0), 0u);
  EXPECT_EQ(dialogs.messages[1].text, u"完了しました。");
}

TEST_F(UploadCompression, BarFollowsTheStepsWhileAWavIsCompressedAndNeverPassesItsEnd) {
  AddFile(u"a.wav", std::string(1000, 'w'), u"a.tta");
  std::vector<int> positions;
  form.compressor = [&](const std::u16string&, const std::u16string& tta, int16_t* cancel) {
    EXPECT_EQ(basMain::lngTtaUnit, 11);  // 1000 / 100 + 1
    // Slow enough for Timer2 to tick between the reports; past 100 steps the bar stays full.
    for (LONG step = 1; step <= 130; ++step) {
      basMain::TtaProgressProc(step * 11 + 1, cancel);
      Sleep(8);
      positions.push_back(CompressPosition());
    }
    WriteBytes(tta, "TTA1");
    return kTtaDone;
  };
  Open();
  ASSERT_TRUE(WaitForClose());
  ASSERT_EQ(positions.size(), 130u);
  EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
  EXPECT_GT(positions[60], 0);
  EXPECT_LE(positions[60], 62);
  EXPECT_LE(positions.back(), 100);
  EXPECT_EQ(basMain::intTtaStep, 131);
}

TEST_F(UploadCompression, RealCompressorWritesATtaWorkFile) {
  const std::string wave = RampWave(200000);
  AddFile(u"録音 1.wav", wave, u"%98%5E%89%B9+1.tta");
  form.compressor = tta_vb::Enc_WavToTTA;
  int positionSeen = 0;
  Engine().duringRun = [&] { positionSeen = CompressPosition(); };
  Open();
  ASSERT_TRUE(WaitForClose(30000));
  const std::string tta = ReadBytes(work / u"%98%5E%89%B9+1.tta");
  EXPECT_EQ(tta.substr(0, 4), "TTA1");
  EXPECT_LT(tta.size(), wave.size());
  EXPECT_EQ(positionSeen, 100);
  EXPECT_GT(basMain::intTtaStep, 50);
  EXPECT_EQ(dialogs.messages.size(), 1u);
}

}  // namespace

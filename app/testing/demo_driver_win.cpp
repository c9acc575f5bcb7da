// The demo's driver: with nobody at the virtual display, it carries one forward through
// OrvaneFts.exe as a person would (a WAV recording and a text file with Japanese names, two
// recipients) and keeps a picture of each phase: the compression, the transfer and the answer.
// The demo script has registered the control and pointed the program at its server; the
// pictures land in build/<preset>/screenshots/demo-*.bmp.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "app/history/history_server_win.h"
#include "app/resources/form_ids.h"
#include "app/testing/forward_driver_win.h"
#include "app/testing/running_program_win.h"
#include "app/testing/temp_folder_win.h"
#include "app/testing/wave_bytes.h"
#include "base/testing/screenshot_win.h"

namespace {

using forward_driver::kForwardCaption;
using forward_driver::kMessageCaption;
using forward_driver::kUploadCaption;

std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

// Four minutes of a 16-bit stereo chord: long enough for the compression to be seen.
std::string Recording() {
  constexpr uint32_t kFrames = 44100 * 240;
  std::string data;
  data.reserve(kFrames * 4);
  auto put = [&data](uint16_t sample) {
    data.push_back(static_cast<char>(sample));
    data.push_back(static_cast<char>(sample >> 8));
  };
  for (uint32_t i = 0; i < kFrames; ++i) {
    const double t = i / 44100.0;
    const auto left = static_cast<int16_t>(6000 * std::sin(2 * 3.14159265 * 261.6 * t) +
                                           4000 * std::sin(2 * 3.14159265 * 329.6 * t));
    const auto right = static_cast<int16_t>(6000 * std::sin(2 * 3.14159265 * 392.0 * t));
    put(static_cast<uint16_t>(left));
    put(static_cast<uint16_t>(right));
  }
  return wave_bytes::PcmWave(2, 16, data);
}

void Picture(RunningProgram& program, HWND window, const wchar_t* name, bool settle) {
  if (settle) program.Settle();
  screenshots::Save(screenshots::Capture(window), name);
}

TEST(Demo, OneForwardFromTheForwardWindowToTheAnswer) {
  TempFolder folder;
  const std::u16string recording = folder / u"会議の録音.wav";
  const std::u16string notes = folder / u"議事メモ.txt";
  WriteBytes(recording, Recording());
  WriteBytes(notes, "\x89\xEF\x8B\x63\x82\xCC\x8B\x4C\x98\x5E\r\n");  // 会議の記録

  RunningProgram program;
  HWND forward = program.Window(kForwardCaption);
  ASSERT_NE(forward, nullptr);
  // The sender's name, as a first user sets it before the first forward.
  RunningProgram::Click(forward, IDC_CMD_SETTING);
  HWND sender = program.Window(L"Orvaneファイル転送 - 送信者設定");
  ASSERT_NE(sender, nullptr);
  Type(GetDlgItem(sender, IDC_TXT_NAME), L"山田 太郎");
  RunningProgram::Dismiss(sender, IDOK);
  ASSERT_TRUE(forward_driver::AddFile(program, forward, Wide(recording)));
  ASSERT_TRUE(forward_driver::AddFile(program, forward, Wide(notes)));
  ASSERT_TRUE(forward_driver::AddRecipient(program, forward, L"鈴木 一郎", L"suzuki@example.jp"));
  ASSERT_TRUE(forward_driver::AddRecipient(program, forward, L"佐藤 花子", L"sato@example.jp"));
  Type(GetDlgItem(forward, IDC_TXT_MSG), L"会議の録音とメモです。\r\nご確認ください。");
  Picture(program, forward, L"demo-0-forward", true);

  RunningProgram::Click(forward, IDC_CMD_FORWARD);
  HWND upload = program.Window(kUploadCaption);
  ASSERT_NE(upload, nullptr);
  // The answer is held back a while, so that the transfer can be seen too.
  history_testing::PostForm("/test/delay", "ms=3000");
  Sleep(700);
  Picture(program, upload, L"demo-1-compress", false);
  for (int tries = 0; tries < 600 && !IsWindowVisible(GetDlgItem(upload, IDC_FRA_SEND)); ++tries) {
    Sleep(50);
  }
  Sleep(1000);
  Picture(program, upload, L"demo-2-transfer", false);
  HWND box = program.Window(kMessageCaption);
  ASSERT_NE(box, nullptr);
  Picture(program, box, L"demo-3-answer", true);
  EXPECT_EQ(MessageText(box), L"完了しました。");
  RunningProgram::Dismiss(box, IDOK);
  history_testing::PostForm("/test/delay", "ms=0");
  RunningProgram::WaitHidden(upload);
  RunningProgram::Click(forward, IDC_CMD_END);
  EXPECT_TRUE(program.Ends());
}

}  // namespace

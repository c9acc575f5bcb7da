// A picture of the control hosted in a window, with its Japanese captions and labels, written
// into the build folder (screenshots/zorvex.bmp) for a person to look at.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "base/testing/screenshot_win.h"
#include "control/resources/zorvel_resources.h"
#include "control/testing/hosted_control_win.h"

namespace zorvel::testing {
namespace {

TEST(ScreenshotTest, TheHostedControlShowsItsJapaneseTexts) {
  ControlClassScope scope;
  TempFiles files;
  HostedControl control;
  SetWindowTextW(control.Host(), L"Zorvex — ファイル転送");
  files.MakeFolder("\x98\x5E\x89\xB9");  // 録音
  control.Put(2, "http://127.0.0.1/upload.cgi");
  control.Put(1, files.Write("\x98\x5E\x89\xB9\\\x89\xEF\x8B\x63.wav", 1500) + ";memo.txt|%s");
  files.Write("\x98\x5E\x89\xB9\\memo.txt", 800);
  control.Put(1, files.Folder() + "\\\x98\x5E\x89\xB9\\memo.txt");
  Zorvex& object = control.Object();
  object.StatusText = "\x8A\xAE\x97\xB9 0\x95\xAA 3\x95\x62";  // 完了 0分 3秒
  object.ProgressText = "2KB  100%  6.6KB/sec";
  object.RemainText = "\x90\x84\x92\xE8\x8E\x63\x82\xE8\x8E\x9E\x8A\xD4\x81\x46 0\x95\xAA 0\x95\x62";
  SendMessageW(control.Item(IDC_PROGRESS), PBM_SETRANGE32, 0, 62);
  SendMessageW(control.Item(IDC_PROGRESS), PBM_SETPOS, 40, 0);
  SetForegroundWindow(control.Host());
  RedrawWindow(control.Host(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  PumpUntil([] { return false; }, 700);

  const screenshots::Image shot = screenshots::Capture(control.Host());
  ASSERT_GT(shot.width, 100);
  // The label rows (below the bar) hold text: not every pixel there has the background colour.
  RECT status;
  GetWindowRect(control.Item(IDC_STATUS), &status);
  RECT host;
  GetWindowRect(control.Host(), &host);
  const int row = shot.height - 1 - ((status.top + status.bottom) / 2 - host.top);
  int differing = 0;
  const unsigned char* line = shot.pixels.data() + static_cast<size_t>(row) * shot.Stride();
  for (int x = status.left - host.left; x < status.right - host.left && x < shot.width; ++x) {
    differing += line[x * 3] != line[(status.right - host.left - 2) * 3];
  }
  EXPECT_GT(differing, 3) << "the status text was drawn";
  screenshots::Save(shot, L"zorvex");
}

}  // namespace
}  // namespace zorvel::testing

// The run sequence against what a page's script or a host can do while it goes on: a Cancel
// before the engine starts, a Start or Clear from the OnStart handler, a quit from the host, a
// handler that lets the control go.
#include <gtest/gtest.h>

#include "control/engine/socket/socket_layer_win.h"
#include "control/object/event_source_win.h"
#include "control/object/module_win.h"
#include "control/resources/zorvel_resources.h"
#include "control/testing/fake_browser_win.h"
#include "control/testing/hosted_control_win.h"

namespace zorvel::testing {
namespace {

constexpr DISPID kFilePath = 1, kStart = 12, kCount = 13, kCancel = 15, kClear = 16, kResult = 23;
const wchar_t kCaption[] = L"Zorvel ActiiveX Control";

class RunTest : public ::testing::Test {
 protected:
  // Cancelled before the engine: no upload, Result -2 and string 111 on the Status label.
  void ExpectCancelledWithoutUpload(HostedControl& control) {
    EXPECT_EQ(Engine().calls, 0);
    EXPECT_EQ(control.GetNumber(kResult), -2);
    EXPECT_EQ(control.Object().StatusText, LoadAnsiString(IDS_CANCELLED));
    EXPECT_TRUE(control.Logged("End uploading.  " + LoadAnsiString(IDS_CANCELLED)));
    EXPECT_FALSE(control.Object().Busy);
  }

  ControlClassScope scope_;
  TempFiles files_;
};

TEST_F(RunTest, ACancelFromOnStartEndsTheRunBeforeTheEngine) {
  HostedControl control;
  control.Put(kFilePath, files_.Write("a.wav", 10));
  control.OnEvent([&](const RecordedEvent& event) {
    if (event.id == kOnStart) control.Call(kCancel);
  });
  control.Call(kStart);
  ExpectCancelledWithoutUpload(control);
}

TEST_F(RunTest, ACancelDuringThePageCheckEndsTheRunBeforeTheEngine) {
  const std::string file = files_.Write("a.wav", 10);
  {
    // From the OnLog handler of the check's first line: no question is asked.
    FakeBrowserHost browser(L"http://8.8.8.8/page.html");
    HostedControl control(&browser);
    control.Put(kFilePath, file);
    control.OnEvent([&](const RecordedEvent& event) {
      if (event.id == kOnLog && event.text.find("Checking ...") != std::string::npos) {
        control.Call(kCancel);
      }
    });
    MessageBoxAnswerer yes(kCaption, IDYES);
    control.Call(kStart);
    EXPECT_EQ(yes.Shown(), 0);
    ExpectCancelledWithoutUpload(control);
  }
  {
    // While the confirmation is up: a Yes afterwards does not bring the run back.
    FakeBrowserHost browser(L"http://8.8.8.8/page.html");
    HostedControl control(&browser);
    control.Put(kFilePath, file);
    MessageBoxAnswerer yes(kCaption, IDYES, [&] { control.Call(kCancel); });
    control.Call(kStart);
    EXPECT_EQ(yes.Shown(), 1);
    ExpectCancelledWithoutUpload(control);
  }
  {
    // The Cancel button clicked while the page's host is looked up.
    FakeBrowserHost browser(L"http://no-such-host.invalid/page.html");
    HostedControl control(&browser);
    control.Put(kFilePath, file);
    PostMessageW(control.Window(), WM_COMMAND, MAKEWPARAM(IDC_SECOND, BN_CLICKED),
                 reinterpret_cast<LPARAM>(control.Item(IDC_SECOND)));
    MessageBoxAnswerer yes(kCaption, IDYES);
    control.Call(kStart);
    EXPECT_EQ(yes.Shown(), 0);
    ExpectCancelledWithoutUpload(control);
  }
}

TEST_F(RunTest, StartAndClearFromOnStartFindTheRunUnderWay) {
  HostedControl control;
  const std::string file = files_.Write("a.wav", 10);
  control.Put(kFilePath, file);
  int starts = 0;
  control.OnEvent([&](const RecordedEvent& event) {
    if (event.id != kOnStart) return;
    ++starts;
    control.Call(kStart);
    control.Call(kClear);
  });
  control.Call(kStart);
  EXPECT_EQ(starts, 1) << "no nested run";
  EXPECT_EQ(Engine().calls, 1);
  EXPECT_EQ(control.GetNumber(kCount), 1);
  EXPECT_EQ(control.ListEntries(), std::vector<std::string>{file});
  EXPECT_EQ(control.GetNumber(kResult), 0);
}

TEST_F(RunTest, AQuitDuringTheRunReachesTheHostAndCancels) {
  HostedControl control;
  control.Put(kFilePath, files_.Write("a.wav", 10));
  Engine().end = EngineScript::End::kWaitForCancel;
  Engine().duringRun = [] { PostQuitMessage(7); };
  const DWORD start = GetTickCount();
  control.Call(kStart);
  EXPECT_LT(GetTickCount() - start, 4000u) << "the wait ended with the quit";
  EXPECT_EQ(control.GetNumber(kResult), -2);
  EXPECT_EQ(control.Object().StatusText, LoadAnsiString(IDS_CANCELLED));
  MSG quit{};
  EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(quit.message, UINT{WM_QUIT});
  EXPECT_EQ(quit.wParam, WPARAM{7});
}

TEST_F(RunTest, AClearHandlerThatLetsTheControlGo) {
  HostedControl control;
  control.Put(kFilePath, files_.Write("a.wav", 10));
  bool aliveInHandler = false;
  control.OnEvent([&](const RecordedEvent& event) {
    if (event.id != kOnClear) return;
    control.Close();
    aliveInHandler = ModuleInUse();
  });
  SendMessageW(control.Window(), WM_COMMAND, MAKEWPARAM(IDC_SECOND, BN_CLICKED),
               reinterpret_cast<LPARAM>(control.Item(IDC_SECOND)));
  EXPECT_TRUE(aliveInHandler) << "held until the Clear has ended";
}

}  // namespace
}  // namespace zorvel::testing

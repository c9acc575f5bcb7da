// The run sequence against what a page's script or a host can do while it goes on: a Cancel
// before the engine starts, a Start or Clear from the OnStart handler, a quit from the host, a
// handler that lets the control go.
#include <gtest/gtest.h>

#include "control/engine/socket/socket_layer_win.h"
#include "control/object/event_source_win.h"
#include "control/object/module_win.h"
#include "control/object/zorvex_dispid_win.h"
#include "control/resources/zorvel_resources.h"
#include "control/testing/fake_browser_win.h"
#include "control/testing/hosted_control_win.h"

namespace zorvel::testing {
namespace {

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
  control.Put(kUrl, "http://127.0.0.1/up.cgi");
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
  control.Put(kUrl, "http://127.0.0.1/up.cgi");
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

// A handler that lets the control go runs while the control still works; the control is held
// until its own routine has ended, and then really goes.
TEST_F(RunTest, HandlersThatLetTheControlGo) {
  const long before = LiveObjects();
  {
    // From OnClear, behind the Clear button.
    HostedControl control;
    control.Put(kFilePath, files_.Write("a.wav", 10));
    long liveInHandler = 0;
    control.OnEvent([&](const RecordedEvent& event) {
      if (event.id != kOnClear) return;
      control.Close();
      liveInHandler = LiveObjects();
    });
    SendMessageW(control.Window(), WM_COMMAND, MAKEWPARAM(IDC_SECOND, BN_CLICKED),
                 reinterpret_cast<LPARAM>(control.Item(IDC_SECOND)));
    EXPECT_EQ(liveInHandler, before + 1) << "held until the Clear has ended";
    EXPECT_EQ(LiveObjects(), before) << "and freed afterwards";
  }
  {
    // From the host's code that the about box's loop runs.
    HostedControl control;
    long liveInBox = 0;
    MessageBoxAnswerer answerer(L"Zorvel ActiveX Contorol", IDOK, [&] {
      control.Close();
      liveInBox = LiveObjects();
    });
    SendMessageW(control.Window(), WM_RBUTTONUP, 0, MAKELPARAM(400, 300));
    EXPECT_EQ(answerer.Shown(), 1);
    EXPECT_EQ(liveInBox, before + 1) << "held while the box is up";
    EXPECT_EQ(LiveObjects(), before);
  }
  {
    // From OnCancel, while the run waits for it.
    HostedControl control;
    control.Put(kUrl, "http://127.0.0.1/up.cgi");
    control.Put(kFilePath, files_.Write("b.wav", 10));
    Engine().end = EngineScript::End::kWaitForCancel;
    Engine().duringRun = [&] { control.Call(kCancel); };
    long liveInHandler = 0;
    control.OnEvent([&](const RecordedEvent& event) {
      if (event.id != kOnCancel) return;
      control.Close();
      liveInHandler = LiveObjects();
    });
    PostMessageW(control.Window(), WM_COMMAND, MAKEWPARAM(IDC_START, BN_CLICKED),
                 reinterpret_cast<LPARAM>(control.Item(IDC_START)));
    EXPECT_TRUE(PumpUntil([&] { return LiveObjects() == before; }));
    EXPECT_EQ(liveInHandler, before + 1) << "the run holds the control to its end";
  }
}

}  // namespace
}  // namespace zorvel::testing

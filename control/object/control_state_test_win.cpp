// The control's window state against writes a page's script makes at awkward moments: after the
// window was destroyed and created again, after a colour reset, and while a run goes on.
#include <gtest/gtest.h>
#include <windows.h>

#include "control/object/module_win.h"
#include "control/object/zorvex_dispid_win.h"
#include "control/resources/zorvel_resources.h"
#include "control/testing/hosted_control_win.h"

namespace zorvel::testing {
namespace {

class ControlStateTest : public ::testing::Test {
 protected:
  ControlClassScope scope_;
  TempFiles files_;
};

POINT BarCorner(HostedControl& control) {
  RECT bar;
  GetWindowRect(control.Item(IDC_PROGRESS), &bar);
  MapWindowPoints(nullptr, control.Window(), reinterpret_cast<POINT*>(&bar), 2);
  return POINT{bar.left, bar.top};
}

// Deactivates the control (its window goes) and activates it again, as a page does when the
// control is hidden and shown again.
void RecreateWindow(HostedControl& control) {
  base::ComPtr<IOleInPlaceObject> inPlace;
  ASSERT_EQ(control.Dispatch()->QueryInterface(IID_IOleInPlaceObject, inPlace.PutVoid()), S_OK);
  ASSERT_EQ(inPlace->InPlaceDeactivate(), S_OK);
  ASSERT_EQ(control.Object().Window().Exists(), false);
  base::ComPtr<IOleObject> object;
  ASSERT_EQ(control.Dispatch()->QueryInterface(IID_IOleObject, object.PutVoid()), S_OK);
  base::ComPtr<IOleClientSite> site;
  object->GetClientSite(site.Put());
  RECT place{10, 10, 490, 340};
  ASSERT_EQ(
      object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site.Get(), 0, control.Host(), &place),
      S_OK);
  ASSERT_TRUE(control.Object().Window().Exists());
}

TEST_F(ControlStateTest, HideFourLaysTheWindowOutAgainWhenItIsCreatedAgain) {
  HostedControl control;
  control.Put(kHide, 4L);
  const POINT first = BarCorner(control);
  EXPECT_EQ(first.x, 0);
  EXPECT_EQ(first.y, 0);
  RecreateWindow(control);
  EXPECT_FALSE(IsWindowVisible(control.Item(IDC_FILELIST)));
  const POINT second = BarCorner(control);
  EXPECT_EQ(second.x, 0) << "the new window's bar moves to the corner as the first one did";
  EXPECT_EQ(second.y, 0);
}

TEST_F(ControlStateTest, TransParentAfterAColourResetLeavesTheFrameOff) {
  HostedControl control;
  HWND window = control.Window();
  control.Put(kTransParent, 1L);
  // The colour reset ends the page colours but leaves the window's styles as they are.
  control.Put(kBackColor, "#123456");
  EXPECT_EQ(control.GetNumber(kTransParent), 0);
  EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & 0x80, 0);
  control.Put(kTransParent, 1L);
  EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & 0x80, 0) << "the frame stays off";
  EXPECT_EQ(GetWindowLongW(window, GWL_EXSTYLE) & 0x101, 0);
  control.Put(kTransParent, 0L);
  EXPECT_NE(GetWindowLongW(window, GWL_STYLE) & 0x80, 0);
  EXPECT_EQ(GetWindowLongW(window, GWL_EXSTYLE) & 0x101, 0x101);
}

TEST_F(ControlStateTest, WritesDuringARunLeaveTheRunsStateAlone) {
  HostedControl control;
  control.Put(kUrl, "http://127.0.0.1/up.cgi");
  const std::string a = files_.Write("a.wav", 10);
  control.Put(kFilePath, a);
  const std::string b = files_.Write("b.wav", 10);
  Engine().end = EngineScript::End::kWaitForCancel;
  bool startEnabled = true, secondEnabled = true, listEnabled = true;
  std::string status;
  long count = 0;
  Engine().duringRun = [&] {
    control.Object().StatusText = "sending";
    control.Put(kFilePath, b);
    status = control.Object().StatusText;
    count = control.GetNumber(kCount);
    control.Call(kCancel);
    control.Put(kLock, 0L);
    startEnabled = IsWindowEnabled(control.Item(IDC_START));
    secondEnabled = IsWindowEnabled(control.Item(IDC_SECOND));
    listEnabled = IsWindowEnabled(control.Item(IDC_FILELIST));
  };
  control.Call(kStart);
  EXPECT_EQ(status, "sending") << "a FilePath write keeps the run's status";
  EXPECT_EQ(count, 1) << "the list the run sends does not change under it";
  EXPECT_FALSE(startEnabled) << "Lock during a run";
  EXPECT_FALSE(secondEnabled) << "the accepted Cancel is not offered again";
  EXPECT_FALSE(listEnabled);
  // The run's end brings every item back.
  EXPECT_TRUE(IsWindowEnabled(control.Item(IDC_START)));
  EXPECT_TRUE(IsWindowEnabled(control.Item(IDC_SECOND)));
  EXPECT_TRUE(IsWindowEnabled(control.Item(IDC_FILELIST)));
  EXPECT_EQ(control.ListEntries(), std::vector<std::string>{a});
}

}  // namespace
}  // namespace zorvel::testing

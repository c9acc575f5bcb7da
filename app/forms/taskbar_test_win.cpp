// The system's taskbar button: with ITaskbarList3 or without it, no call breaks the program.
#include <gtest/gtest.h>

#include "app/forms/taskbar_win.h"
#include "app/testing/recording_taskbar_win.h"

namespace {

TEST(SystemTaskbar, EveryCallIsSafeWithTheInterfaceOrWithoutIt) {
  OtherWindow window;
  for (HWND target : {window.hwnd(), static_cast<HWND>(nullptr)}) {
    taskbar::ShowProgress(target, 5, 10);
    taskbar::ShowProgress(target, 0, 0);
    taskbar::ShowBusy(target);
    taskbar::ShowFailure(target);
    taskbar::AskAttention(target);
    taskbar::ClearProgress(target);
  }
  EXPECT_TRUE(IsWindow(window.hwnd()));
}

TEST(SystemTaskbar, AnOwnedWindowActsOnItsOwnersButtonAndAnEmptyRunOnNone) {
  RecordingTaskbar recorder;
  OtherWindow owner;
  HWND owned = CreateWindowExW(0, L"STATIC", L"owned", WS_POPUP, 0, 0, 10, 10, owner.hwnd(),
                               nullptr, nullptr, nullptr);
  taskbar::ShowProgress(owned, 0, 0);
  taskbar::ShowProgress(owned, 3, 4);
  taskbar::ClearProgress(owned);
  DestroyWindow(owned);
  EXPECT_EQ(recorder.calls, (std::vector<std::string>{"normal", "value 3/4", "none"}));
  EXPECT_EQ(recorder.buttons, std::vector<HWND>(3, owner.hwnd()));
}

}  // namespace

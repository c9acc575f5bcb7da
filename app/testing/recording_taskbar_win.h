// Test support for the taskbar button: a recorder in place of the system's taskbar, and a
// window of another kind that takes the foreground, as another program would.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/forms/taskbar_win.h"

// Each call as a short text: "normal", "busy", "error", "none", "value 3/10", "flash" (the
// flash asked until the user comes back) or "flash?" (any other).
class RecordingTaskbar : public TaskbarShell {
 public:
  RecordingTaskbar() : scope_(*this) {}

  void SetProgressState(HWND button, TBPFLAG state) override {
    buttons.push_back(button);
    switch (state) {
      case TBPF_NORMAL:
        calls.push_back("normal");
        break;
      case TBPF_INDETERMINATE:
        calls.push_back("busy");
        break;
      case TBPF_ERROR:
        calls.push_back("error");
        break;
      case TBPF_NOPROGRESS:
        calls.push_back("none");
        break;
      default:
        calls.push_back("state " + std::to_string(state));
        break;
    }
  }
  void SetProgressValue(HWND button, ULONGLONG done, ULONGLONG total) override {
    buttons.push_back(button);
    calls.push_back("value " + std::to_string(done) + "/" + std::to_string(total));
  }
  void FlashWindowEx(const FLASHWINFO& flash) override {
    buttons.push_back(flash.hwnd);
    const bool untilBack = flash.cbSize == sizeof flash &&
                           flash.dwFlags == (FLASHW_ALL | FLASHW_TIMERNOFG) && flash.uCount == 0;
    calls.push_back(untilBack ? "flash" : "flash?");
  }

  // Where `call` was first made; calls.size() when never.
  size_t IndexOf(const std::string& call) const {
    return static_cast<size_t>(std::find(calls.begin(), calls.end(), call) - calls.begin());
  }
  bool Made(const std::string& call) const { return IndexOf(call) < calls.size(); }

  std::vector<std::string> calls;
  std::vector<HWND> buttons;

 private:
  ScopedTaskbarShell scope_;
};

// A visible top-level window of the test that takes the foreground on demand.
class OtherWindow {
 public:
  OtherWindow()
      : window_(CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                nullptr, nullptr, nullptr, nullptr)) {}
  ~OtherWindow() { DestroyWindow(window_); }
  OtherWindow(const OtherWindow&) = delete;
  OtherWindow& operator=(const OtherWindow&) = delete;

  void TakeForeground() { SetForegroundWindow(window_); }
  HWND hwnd() const { return window_; }

 private:
  HWND window_;
};

#include "app/forms/taskbar_win.h"

#include <objbase.h>

namespace {

// ITaskbarList3 where the system has it (Windows 7 on); without it progress shows nowhere.
class SystemTaskbar : public TaskbarShell {
 public:
  void SetProgressState(HWND button, TBPFLAG state) override {
    if (ITaskbarList3* list = List()) list->SetProgressState(button, state);
  }
  void SetProgressValue(HWND button, ULONGLONG done, ULONGLONG total) override {
    if (ITaskbarList3* list = List()) list->SetProgressValue(button, done, total);
  }
  void FlashWindowEx(const FLASHWINFO& flash) override {
    FLASHWINFO copy = flash;
    ::FlashWindowEx(&copy);
  }

 private:
  // Made once, on the window thread. COM stays initialised for that thread from then on, so
  // the interface outlives the OLE scopes the windows open and close.
  ITaskbarList3* List() {
    if (!tried_) {
      tried_ = true;
      comInitialized_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
      if (comInitialized_ &&
          SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_ITaskbarList3, reinterpret_cast<void**>(&list_))) &&
          FAILED(list_->HrInit())) {
        list_->Release();
        list_ = nullptr;
      }
    }
    return list_;
  }

  bool tried_ = false;
  bool comInitialized_ = false;
  ITaskbarList3* list_ = nullptr;
};

TaskbarShell* installed = nullptr;

HWND ButtonOf(HWND window) {
  HWND top = window != nullptr ? GetAncestor(window, GA_ROOTOWNER) : nullptr;
  return top != nullptr ? top : window;
}

}  // namespace

TaskbarShell& Taskbar() {
  static SystemTaskbar system;
  return installed != nullptr ? *installed : system;
}

ScopedTaskbarShell::ScopedTaskbarShell(TaskbarShell& shell) : previous_(installed) {
  installed = &shell;
}

ScopedTaskbarShell::~ScopedTaskbarShell() { installed = previous_; }

namespace taskbar {

void ShowProgress(HWND window, int64_t done, int64_t total) {
  if (window == nullptr || total <= 0) return;
  const HWND button = ButtonOf(window);
  Taskbar().SetProgressState(button, TBPF_NORMAL);
  Taskbar().SetProgressValue(button, static_cast<ULONGLONG>(done < 0 ? 0 : done),
                             static_cast<ULONGLONG>(total));
}

void ShowBusy(HWND window) {
  if (window != nullptr) Taskbar().SetProgressState(ButtonOf(window), TBPF_INDETERMINATE);
}

void ShowFailure(HWND window) {
  if (window == nullptr) return;
  const HWND button = ButtonOf(window);
  Taskbar().SetProgressState(button, TBPF_ERROR);
  Taskbar().SetProgressValue(button, 1, 1);
}

void ClearProgress(HWND window) {
  if (window != nullptr) Taskbar().SetProgressState(ButtonOf(window), TBPF_NOPROGRESS);
}

void AskAttention(HWND window) {
  if (window == nullptr) return;
  const HWND button = ButtonOf(window);
  if (ButtonOf(GetForegroundWindow()) == button) return;
  FLASHWINFO flash = {sizeof flash, button, FLASHW_ALL | FLASHW_TIMERNOFG, 0, 0};
  Taskbar().FlashWindowEx(flash);
}

}  // namespace taskbar

// The program's taskbar button during a long run: its progress (ITaskbarList3, where the system
// has it), red on failure, cleared at the end; and a flash that asks for the user's attention
// when a run ends while the program is in the background (FlashWindowEx).
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <shobjidl.h>

#include <cstdint>

// What the system offers for the button. The installed one serves every window; tests put a
// recorder in place of the system's.
class TaskbarShell {
 public:
  virtual ~TaskbarShell() = default;
  virtual void SetProgressState(HWND button, TBPFLAG state) = 0;
  virtual void SetProgressValue(HWND button, ULONGLONG done, ULONGLONG total) = 0;
  virtual void FlashWindowEx(const FLASHWINFO& flash) = 0;
};

TaskbarShell& Taskbar();

// Puts `shell` in place of the system's for the lifetime of this object.
class ScopedTaskbarShell {
 public:
  explicit ScopedTaskbarShell(TaskbarShell& shell);
  ~ScopedTaskbarShell();
  ScopedTaskbarShell(const ScopedTaskbarShell&) = delete;
  ScopedTaskbarShell& operator=(const ScopedTaskbarShell&) = delete;

 private:
  TaskbarShell* previous_;
};

// Each acts on the button of `window`'s top-level owner, which is the window the taskbar shows.
namespace taskbar {

void ShowProgress(HWND window, int64_t done, int64_t total);
// A run whose share done the program cannot tell.
void ShowBusy(HWND window);
// Red, full, until cleared.
void ShowFailure(HWND window);
void ClearProgress(HWND window);
// Flashes the button until the user comes back, unless the program is in front already.
void AskAttention(HWND window);

}  // namespace taskbar

#include "app/forms/background_wait_win.h"

#include <exception>
#include <memory>
#include <thread>
#include <utility>

#include "app/forms/form_win.h"
#include "app/main/app_error_win.h"

namespace {

// Shared by the waiting thread and the worker, which may outlive the wait.
struct BackgroundWork {
  std::function<void()> work;
  std::exception_ptr error;
  HANDLE done = nullptr;
  ~BackgroundWork() {
    if (done != nullptr) CloseHandle(done);
  }
};

bool QuitPending() {
  MSG quit;
  return PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != FALSE;
}

}  // namespace

bool WaitWithFormDisabled(HWND form, std::function<void()> work, DWORD boundMs) {
  auto state = std::make_shared<BackgroundWork>();
  state->work = std::move(work);
  state->done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (state->done == nullptr) throw LastWin32Error();
  std::thread([state] {
    try {
      state->work();
    } catch (...) {
      state->error = std::current_exception();
    }
    SetEvent(state->done);
  }).detach();

  const bool formEnabled = form != nullptr && IsWindowEnabled(form);
  HWND focus = GetFocus();
  if (formEnabled) EnableWindow(form, FALSE);
  const DWORD start = GetTickCount();
  bool ended = false;
  bool quitting = false;
  for (;;) {
    // Messages already seen by an earlier peek would not wake the wait below.
    if (!quitting) {
      DoEvents();
      quitting = QuitPending();
    }
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= boundMs) break;
    const DWORD left = boundMs - elapsed;
    const DWORD wait = quitting
                           ? WaitForSingleObject(state->done, left)
                           : MsgWaitForMultipleObjects(1, &state->done, FALSE, left, QS_ALLINPUT);
    if (wait == WAIT_OBJECT_0) {
      ended = true;
      break;
    }
    if (wait != WAIT_OBJECT_0 + 1) break;
  }
  if (formEnabled) {
    EnableWindow(form, TRUE);
    if (focus != nullptr && IsWindow(focus)) SetFocus(focus);
  }
  if (ended && state->error) std::rethrow_exception(state->error);
  return ended;
}

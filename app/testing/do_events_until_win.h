// Lets a form run in a test: processes the thread's messages as the application's own loop does
// until a condition holds or the time is up.
#pragma once

#include <windows.h>

#include <functional>

#include "app/forms/form_win.h"

// Returns whether `done` holds at the end.
inline bool DoEventsUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (!done() && GetTickCount64() < deadline) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    DoEvents();
  }
  return done();
}

#include "app/main/message_loop_win.h"

#include <windows.h>

namespace {
int loadedForms = 0;
bool loopRunning = false;  // forms shown without the loop (tests) must not post its quit
}  // namespace

void NoteFormLoaded() { ++loadedForms; }

void NoteFormUnloaded() {
  if (--loadedForms == 0 && loopRunning) PostQuitMessage(0);
}

void EndProgram() {
  if (loopRunning) PostQuitMessage(0);
}

int RunMessageLoop() {
  if (loadedForms == 0) return 0;
  loopRunning = true;
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    // Dialog-based forms need their keyboard navigation.
    HWND root = GetAncestor(message.hwnd, GA_ROOT);
    if (root != nullptr && IsDialogMessageW(root, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  loopRunning = false;
  return static_cast<int>(message.wParam);
}

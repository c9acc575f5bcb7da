#include "app/main/message_loop_win.h"

#include <windows.h>

namespace {
int loadedForms = 0;
}  // namespace

void NoteFormLoaded() { ++loadedForms; }

void NoteFormUnloaded() {
  if (--loadedForms == 0) PostQuitMessage(0);
}

int RunMessageLoop() {
  if (loadedForms == 0) return 0;
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    // Dialog-based forms need their keyboard navigation.
    HWND root = GetAncestor(message.hwnd, GA_ROOT);
    if (root != nullptr && IsDialogMessageW(root, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

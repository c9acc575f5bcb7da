#include "app/forms/ime_mode_win.h"

#include <commctrl.h>
#include <imm.h>

namespace {

constexpr UINT_PTR kImeSubclassId = 1;

// Releases the box's own input context with the box.
LRESULT CALLBACK ImeOwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                              DWORD_PTR context) {
  if (message == WM_NCDESTROY) {
    ImmAssociateContext(window, nullptr);
    ImmDestroyContext(reinterpret_cast<HIMC>(context));
    RemoveWindowSubclass(window, ImeOwnerProc, id);
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace

void SetImeHiragana(HWND edit) {
  HIMC context = ImmCreateContext();
  if (context == nullptr) return;
  ImmSetOpenStatus(context, TRUE);
  ImmSetConversionStatus(context, IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE, IME_SMODE_NONE);
  ImmAssociateContext(edit, context);
  SetWindowSubclass(edit, ImeOwnerProc, kImeSubclassId, reinterpret_cast<DWORD_PTR>(context));
}

void DisableIme(HWND edit) { ImmAssociateContextEx(edit, nullptr, 0); }

// Input method modes of text boxes: Japanese text starts in hiragana, mail addresses are typed
// without the input method.
#pragma once

#include <windows.h>

// The box gets an input context of its own, open in hiragana (full-width native) mode.
void SetImeHiragana(HWND edit);

// The box takes direct half-width input only.
void DisableIme(HWND edit);

// What the upload window uses of the Zorvel control, which it reaches late-bound only: its
// ProgID and the interface of the events it handles; the dispatch identifiers are the
// control's own (zorvex_dispid_win.h).
#pragma once

#include <windows.h>

#include "control/object/zorvex_dispid_win.h"

inline constexpr wchar_t kZorvexProgId[] = L"Zorvex.1";

// _IZorvexEvents, the control's event interface.
inline constexpr IID kZorvexEvents = {
    0x5A3D91C5, 0x7E04, 0x4B6F, {0x9C, 0x1A, 0x3F, 0x28, 0xD6, 0xE0, 0x7B, 0x14}};

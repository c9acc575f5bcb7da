// What the upload window uses of the Zorvel control, which it reaches late-bound only: its
// ProgID, the dispatch identifiers of the members it calls and the events it handles.
#pragma once

#include <windows.h>

inline constexpr wchar_t kZorvexProgId[] = L"Zorvex.1";

namespace zorvex_dispid {
inline constexpr DISPID kFilePath = 1;
inline constexpr DISPID kURL = 2;
inline constexpr DISPID kHide = 11;
inline constexpr DISPID kStart = 12;
inline constexpr DISPID kCancel = 15;
inline constexpr DISPID kBarHeight = 28;
inline constexpr DISPID kBarWidth = 29;
inline constexpr DISPID kOnComplete = 1;
inline constexpr DISPID kOnLog = 2;
}  // namespace zorvex_dispid

// _IZorvexEvents, the control's event interface.
inline constexpr IID kZorvexEvents = {
    0x5A3D91C5, 0x7E04, 0x4B6F, {0x9C, 0x1A, 0x3F, 0x28, 0xD6, 0xE0, 0x7B, 0x14}};

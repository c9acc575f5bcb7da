// A download worked from outside OrvaneFts.exe as a user works it: the program started on a
// descriptor, the folder chosen in its browser and its closing message read.
#pragma once

#include <windows.h>

#include <string>

#include "app/testing/folder_browser_win.h"

namespace download_driver {

inline constexpr wchar_t kDownloadCaption[] = L"Orvaneファイル転送 - ダウンロード";

// The visible dialog box `owner` opened, waited for up to 30 s.
HWND OwnedDialog(HWND owner);

// Starts the program on `descriptor`, picks `folder` in its folder browser and returns the text
// of the message it ends with, after pressing OK.
std::wstring DownloadInto(const std::u16string& descriptor, const DesktopFolder& folder);

}  // namespace download_driver

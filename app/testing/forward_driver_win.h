// A forward worked from outside OrvaneFts.exe as a user works it: files picked in the file
// dialog, recipients typed into the address form, the message typed, the forward started, and
// the message boxes read. Shared by the program's tests and the demo's driver.
#pragma once

#include <windows.h>

#include <string>

#include "app/testing/running_program_win.h"

namespace forward_driver {

inline constexpr wchar_t kForwardCaption[] = L"Orvaneファイル転送 - 転送";
inline constexpr wchar_t kUploadCaption[] = L"Orvaneファイル転送 - ファイル送信";
inline constexpr wchar_t kMessageCaption[] = L"Orvaneファイル転送";

// Picks `path` in the forward window's file dialog; false when the dialog did not take it.
bool AddFile(RunningProgram& program, HWND forward, const std::wstring& path);

// Adds a recipient through the address form.
bool AddRecipient(RunningProgram& program, HWND forward, const wchar_t* name, const wchar_t* mail);

}  // namespace forward_driver

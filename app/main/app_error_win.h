#pragma once

#include <windows.h>

#include "base/app_error.h"

// A failure of the operating system: its error code and the system's text for it.
AppError Win32Error(DWORD code);

// Win32Error of GetLastError().
AppError LastWin32Error();

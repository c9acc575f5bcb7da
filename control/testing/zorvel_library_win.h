// The shipped Zorvel.dll beside the test program, and its registration as an installation does it.
#pragma once

#include <windows.h>

#include <string>

// Full path of Zorvel.dll in the test program's folder.
std::wstring ZorvelLibraryPath();

// Runs "regsvr32 /s ARGUMENTS Zorvel.dll" and returns its exit code (or the start failure).
DWORD RunRegsvr32(const std::wstring& arguments);

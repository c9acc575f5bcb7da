// The registry entries of the Zorvex class and its type library.
#pragma once

#include <windows.h>

#include <string>

namespace zorvel {

// Writes the class's keys with `modulePath` as its server and registers the type library
// embedded in that module.
HRESULT RegisterServer(const std::wstring& modulePath);

// Removes the class's keys and, where the system offers it, the type library's registration.
HRESULT UnregisterServer();

}  // namespace zorvel

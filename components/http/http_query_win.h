// The query of the forward window and the history window: one POST of form data to an address,
// whose reply body comes back as text. WinINet carries it, so the system's proxy settings apply.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace http {

// Connecting, sending and waiting for each part of the reply give up after this long.
inline constexpr DWORD kDefaultTimeoutMs = 30000;

// Posts `formData` ("productid=...", sent as its ANSI bytes) to `url` and returns the reply
// body. Every failure, an HTTP error status included, raises an AppError.
std::u16string PostFormQuery(std::u16string_view url, std::u16string_view formData,
                             DWORD timeoutMs = kDefaultTimeoutMs);

}  // namespace http

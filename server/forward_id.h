// The identifier of a forward. It is all a recipient needs to fetch the forward's descriptor and
// files, which are served without a login, so it must not be guessable from another one.
#pragma once

#include <string>

namespace server {

// 128 bits from the operating system's random source, as 32 lower-case hex digits. Throws
// std::system_error when the source fails.
std::string NewForwardId();

// The path pattern of an identifier: forwards stored before identifiers grew to 128 bits have
// 16 hex digits and are still served.
inline constexpr const char* kForwardIdPattern = "[0-9a-f]{32}|[0-9a-f]{16}";

}  // namespace server

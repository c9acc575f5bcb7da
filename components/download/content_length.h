// The size a server announces for the file it sends.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace w3getv {

// No file comes near this size; a length beyond it is a server's error, not a size to count.
inline constexpr int64_t kLargestContentLength = int64_t{1} << 50;

// The value of a Content-Length header: decimal digits only, surrounding blanks aside, at most
// kLargestContentLength. Anything else (a sign, other characters, an absurd size) gives nothing.
std::optional<int64_t> ParseContentLength(std::string_view value);

}  // namespace w3getv

// Text rules of the control's properties that do not depend on the platform.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace zorvel {

// Longest accepted texts, in ANSI bytes.
inline constexpr size_t kFilePathLimit = 2047;
inline constexpr size_t kUrlLimit = 255;
inline constexpr size_t kParaLimit = 255;
inline constexpr size_t kProxyLimit = 127;
inline constexpr size_t kColourLimit = 15;
inline constexpr size_t kCharsetLimit = 31;

// A colour in the platform's 0x00bbggrr layout.
using Rgb = std::uint32_t;

// Reads "#rrggbb": the first character is not examined. A text that is too short or holds a
// character other than a hexadecimal digit in those six places gives no colour, so the property
// keeps its previous colour rather than turning black.
std::optional<Rgb> ColourFromText(std::string_view text);

// MaxSize is written in kilobytes and kept in bytes; figures beyond the byte range saturate
// rather than wrap into a small (or negative) limit.
std::int32_t KilobytesToBytes(std::int32_t kilobytes);

// "jis" 3, "euc" 2, "utf8" 5, "ucs2" 4, anything else (including "sjis") 0; case is ignored.
int CharsetCodeFromName(std::string_view name);

}  // namespace zorvel

#pragma once

#include <string>
#include <string_view>

// The path with its extension `oldExtension` (compared ignoring case) replaced by
// `newExtension` in lower case. A path whose extension is another one comes back unchanged.
std::u16string EditFileExtension(std::u16string_view path, std::u16string_view oldExtension,
                                 std::u16string_view newExtension);

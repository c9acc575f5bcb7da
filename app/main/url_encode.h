// Percent-encoders for file names: the work-file names of a forward and the download addresses.
#pragma once

#include <string>
#include <string_view>

// Percent-encoding of the text's Shift_JIS bytes; a blank becomes "+".
std::u16string URLEncodeSJIS(std::u16string_view text);

// Percent-encoding of the text's UTF-8 bytes, each UTF-16 unit encoded by itself.
std::u16string URLEncodeUTF8(std::u16string_view text);

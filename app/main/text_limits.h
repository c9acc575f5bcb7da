// Text limits are byte counts in the ANSI code page: a full-width character counts 2.
#pragma once

#include <cstdint>
#include <string_view>

// Byte length of the text in the ANSI code page.
long GetByteLength(std::u16string_view text);

// True when the text's byte length is strictly less than `limit` (callers pass the largest
// allowed count plus one).
bool IsShorterThan(std::u16string_view text, int16_t limit);

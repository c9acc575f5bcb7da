// The saved-size server's reply: a decimal number of bytes, negative when it cannot tell.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The number the text reads as (blanks and line ends around it, a sign, "," grouping, a
// fraction and an exponent allowed); nothing when it is not a number.
std::optional<double> ParseNumber(std::u16string_view text);

// The size the reply stands for: a number rounded to the nearest integer (halves to even), 0 for
// text that is no number. A number beyond the 32-bit range raises an AppError (overflow).
int32_t SavedSizeFromReply(std::u16string_view reply);

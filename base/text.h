// Small text helpers shared by the application and the control.
#pragma once

#include <string>
#include <string_view>

namespace base {

// ASCII text as UTF-16 (each byte one unit).
std::u16string Widen(std::string_view ascii);

// UTF-16 text whose units are all ASCII, as bytes; other units become "?".
std::string Narrow(std::u16string_view ascii);

// Letters A to Z lowered; every other unit kept.
std::u16string ToLowerAscii(std::u16string_view text);

bool EqualsIgnoreAsciiCase(std::u16string_view a, std::u16string_view b);

// A character that may stand in an address as it is sent: a letter or digit of ASCII, one of
// "-._~" or of the delimiters ":/?#[]@!$&'()*+,;=", or "%" of an escape. A blank, a control
// character, a backslash or a character beyond ASCII is none.
bool IsUrlCharacter(char32_t unit);

std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view bytes);

}  // namespace base

// Conversion between the application's UTF-16 texts and the bytes of the system ANSI code page.
//
// Every byte count and every byte that leaves the program goes through these: on a Japanese
// Windows the code page is 932 (Shift_JIS), and the native build uses code page 932 as well so
// that tests there see the bytes the product writes.
#pragma once

#include <string>
#include <string_view>

namespace base {

// A character the code page lacks becomes "?".
std::string ToAnsi(std::u16string_view text);

// A byte sequence the code page does not define becomes "?".
std::u16string FromAnsi(std::string_view bytes);

// True when the byte opens a double-byte character of the code page.
bool IsLeadByte(unsigned char byte);

// The first bytes of a text, at most `limit`, never ending inside a double-byte character.
inline std::string_view CutWholeCharacters(std::string_view text, size_t limit) {
  size_t end = 0;
  while (end < text.size()) {
    const size_t width = IsLeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1;
    if (end + width > limit) break;
    end += width;
  }
  return text.substr(0, end);
}

}  // namespace base

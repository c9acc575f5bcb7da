// Texts of a run that reach the wire inside a request line, a header or an FTP command: a page
// that scripts the control, or a name in the file list, must not be able to end that line and
// write lines of its own.
#pragma once

#include <initializer_list>
#include <optional>
#include <string_view>

namespace zorvel {

// Whether the text holds CR, LF or another control character (bytes 0x00 to 0x1F and 0x7F),
// ESC apart: it ends no line, and the ISO-2022-JP names the Charset "jis" makes are full of it.
// A byte test is enough for Shift_JIS: its trail bytes are never below 0x40.
bool HasControlCharacter(std::string_view text);

struct NamedText {
  std::string_view name;  // the property the text comes from, as the log names it
  std::string_view text;
};

// The name of the first text that holds a control character; none when every text is clean.
std::optional<std::string_view> FirstUnsafeText(std::initializer_list<NamedText> texts);

}  // namespace zorvel

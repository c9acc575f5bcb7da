// What tests compare a run's results with: the control's own message texts as a run fills them
// in, the text of a log line, and file contents that show a byte moved, dropped or sent twice.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

#include "control/object/module_win.h"

namespace zorvel::testing {

// The control's resource text `id` with its one number or string filled in.
inline std::string Formatted(UINT id, int number) {
  char text[1024];
  std::snprintf(text, sizeof text, LoadAnsiString(id).c_str(), number);
  return text;
}
inline std::string Formatted(UINT id, const std::string& argument) {
  char text[1024];
  std::snprintf(text, sizeof text, LoadAnsiString(id).c_str(), argument.c_str());
  return text;
}

// The text of a log line after its time stamp ("2026/12/08 01:30:00  "): the stamp is the first
// double blank, the text may hold more.
inline std::string_view LogBody(std::string_view line) {
  const std::size_t blanks = line.find("  ");
  return blanks == std::string_view::npos ? std::string_view() : line.substr(blanks + 2);
}

// `size` bytes that repeat only after 251 bytes and shift every 8000 (the control's block), so
// a lost, doubled or reordered block does not compare equal; `seed` tells files apart.
inline std::string Pattern(std::size_t size, int seed) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) {
    bytes[i] = static_cast<char>((i * 31 + seed + i / 8000) % 251);
  }
  return bytes;
}

}  // namespace zorvel::testing

#include <windows.h>

#include "base/ansi.h"

namespace base {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

std::string ToAnsi(std::u16string_view text) {
  if (text.empty()) return {};
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  // No best fit: a character the code page lacks becomes "?", never a look-alike.
  const int needed =
      WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, length, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(needed), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, length, bytes.data(), needed, nullptr,
                      nullptr);
  return bytes;
}

std::u16string FromAnsi(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int length = static_cast<int>(bytes.size());
  // No byte of an ANSI code page makes more than one UTF-16 unit (a double-byte character makes
  // one, an undefined byte one "?"), so one call fills a text as long as the bytes: event texts
  // go through here thousands of times a second.
  std::u16string text(bytes.size(), u'\0');
  const int made = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length,
                                       reinterpret_cast<wchar_t*>(text.data()), length);
  text.resize(static_cast<size_t>(made));
  return text;
}

bool IsLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

}  // namespace base

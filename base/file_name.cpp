#include "base/file_name.h"

#include <array>

#include "base/text.h"

namespace base {
namespace {

bool IsRefusedUnit(char16_t unit) {
  if (unit < 0x20 || unit == 0x7F) return true;
  constexpr std::u16string_view kRefused = u"\\/:*?\"<>|";
  return kRefused.find(unit) != std::u16string_view::npos;
}

// Windows opens the device whatever extension follows these names, and ignores blanks before it.
bool IsDeviceName(std::u16string_view name) {
  std::u16string_view stem = name.substr(0, name.find(u'.'));
  while (!stem.empty() && stem.back() == u' ') stem.remove_suffix(1);
  static constexpr std::array<std::u16string_view, 4> kPlain = {u"con", u"prn", u"aux", u"nul"};
  for (std::u16string_view device : kPlain) {
    if (EqualsIgnoreAsciiCase(stem, device)) return true;
  }
  if (stem.size() != 4) return false;
  const std::u16string_view kind = stem.substr(0, 3);
  const bool port = EqualsIgnoreAsciiCase(kind, u"com") || EqualsIgnoreAsciiCase(kind, u"lpt");
  return port && stem[3] >= u'1' && stem[3] <= u'9';
}

}  // namespace

bool IsPlainFileName(std::u16string_view name) {
  if (name.empty() || name == u"." || name == u"..") return false;
  for (char16_t unit : name) {
    if (IsRefusedUnit(unit)) return false;
  }
  if (name.back() == u' ' || name.back() == u'.') return false;
  return !IsDeviceName(name);
}

}  // namespace base

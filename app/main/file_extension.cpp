#include "app/main/file_extension.h"

#include "base/text.h"

std::u16string EditFileExtension(std::u16string_view path, std::u16string_view oldExtension,
                                 std::u16string_view newExtension) {
  const size_t dot = path.rfind(u'.');
  if (dot == std::u16string_view::npos ||
      !base::EqualsIgnoreAsciiCase(path.substr(dot + 1), oldExtension)) {
    return std::u16string(path);
  }
  return std::u16string(path.substr(0, dot + 1)) + base::ToLowerAscii(newExtension);
}

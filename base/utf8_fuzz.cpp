#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/text.h"

// Bytes a server sends as UTF-8: what comes out is well-formed UTF-16 that encodes back to the
// same text, and to the very bytes read when they held nothing broken.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::u16string text = base::FromUtf8(bytes);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] >= 0xD800 && text[i] <= 0xDBFF) {
      if (i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) __builtin_trap();
      ++i;
    } else if (text[i] >= 0xDC00 && text[i] <= 0xDFFF) {
      __builtin_trap();
    }
  }
  const std::string again = base::ToUtf8(text);
  if (base::FromUtf8(again) != text) __builtin_trap();
  if (text.find(u'\uFFFD') == std::u16string::npos && again != bytes) __builtin_trap();
  return 0;
}

#include "app/main/text_limits.h"

#include "base/ansi.h"

long GetByteLength(std::u16string_view text) {
  return static_cast<long>(base::ToAnsi(text).size());
}

bool IsShorterThan(std::u16string_view text, int16_t limit) {
  return GetByteLength(text) < limit;
}

// The check that keeps a run's texts from writing request or command lines of their own: a
// text it passes holds no byte that could end a line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "control/object/unsafe_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const size_t half = size / 2;
  const auto first =
      zorvel::FirstUnsafeText({{"A", text.substr(0, half)}, {"B", text.substr(half)}});
  const bool unsafe = zorvel::HasControlCharacter(text);
  if (unsafe != first.has_value()) std::abort();
  if (!unsafe &&
      (text.find('\r') != std::string_view::npos || text.find('\n') != std::string_view::npos ||
       text.find('\0') != std::string_view::npos)) {
    std::abort();
  }
  return 0;
}

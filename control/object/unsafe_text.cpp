#include "control/object/unsafe_text.h"

namespace zorvel {
namespace {
constexpr unsigned char kEscape = 0x1B;
}  // namespace

bool HasControlCharacter(std::string_view text) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte < 0x20 && byte != kEscape) || byte == 0x7F) return true;
  }
  return false;
}

std::optional<std::string_view> FirstUnsafeText(std::initializer_list<NamedText> texts) {
  for (const NamedText& named : texts) {
    if (HasControlCharacter(named.text)) return named.name;
  }
  return std::nullopt;
}

}  // namespace zorvel

#include "control/object/property_text.h"

#include <string>

#include "base/text.h"

namespace zorvel {
namespace {

std::optional<unsigned> HexDigit(char c) {
  if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<unsigned>(c - 'A' + 10);
  return std::nullopt;
}

}  // namespace

std::optional<Rgb> ColourFromText(std::string_view text) {
  if (text.size() < 7) return std::nullopt;
  unsigned parts[3];
  for (int i = 0; i < 3; ++i) {
    const auto high = HexDigit(text[1 + 2 * i]);
    const auto low = HexDigit(text[2 + 2 * i]);
    if (!high || !low) return std::nullopt;
    parts[i] = *high * 16 + *low;
  }
  return parts[0] | (parts[1] << 8) | (parts[2] << 16);
}

std::int32_t KilobytesToBytes(std::int32_t kilobytes) {
  const std::int64_t bytes = static_cast<std::int64_t>(kilobytes) * 1024;
  if (bytes > INT32_MAX) return INT32_MAX;
  if (bytes < INT32_MIN) return INT32_MIN;
  return static_cast<std::int32_t>(bytes);
}

int CharsetCodeFromName(std::string_view name) {
  const std::u16string wide = base::Widen(name);
  auto is = [&](std::string_view known) { return base::EqualsIgnoreAsciiCase(wide, base::Widen(known)); };
  if (is("jis")) return 3;
  if (is("euc")) return 2;
  if (is("utf8")) return 5;
  if (is("ucs2")) return 4;
  return 0;
}

}  // namespace zorvel

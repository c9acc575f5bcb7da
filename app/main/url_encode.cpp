#include "app/main/url_encode.h"

#include "base/ansi.h"

namespace {

bool IsUnreserved(unsigned unit) {
  return (unit >= 'A' && unit <= 'Z') || (unit >= 'a' && unit <= 'z') ||
         (unit >= '0' && unit <= '9') || unit == '@' || unit == '*' || unit == '-' ||
         unit == '.' || unit == '_';
}

void AppendPercent(std::u16string& out, unsigned byte) {
  static constexpr char16_t kHex[] = u"0123456789ABCDEF";
  out += u'%';
  out += kHex[(byte >> 4) & 0xF];
  out += kHex[byte & 0xF];
}

// The lead bytes of a Shift_JIS double-byte character as the encoder recognises them.
bool IsSjisLeadByte(unsigned byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xEF);
}

}  // namespace

std::u16string URLEncodeSJIS(std::u16string_view text) {
  const std::string bytes = base::ToAnsi(text);
  std::u16string out;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (IsSjisLeadByte(byte)) {
      AppendPercent(out, byte);
      if (i + 1 < bytes.size()) AppendPercent(out, static_cast<unsigned char>(bytes[++i]));
    } else if (byte == ' ') {
      out += u'+';
    } else if (IsUnreserved(byte)) {
      out += static_cast<char16_t>(byte);
    } else {
      AppendPercent(out, byte);
    }
  }
  return out;
}

std::u16string URLEncodeUTF8(std::u16string_view text) {
  std::u16string out;
  for (char16_t unit : text) {
    if (unit < 0x80) {
      if (IsUnreserved(unit)) {
        out += unit;
      } else {
        AppendPercent(out, unit);
      }
    } else if (unit < 0x800) {
      AppendPercent(out, 0xC0 | (unit >> 6));
      AppendPercent(out, 0x80 | (unit & 0x3F));
    } else {
      AppendPercent(out, 0xE0 | (unit >> 12));
      AppendPercent(out, 0x80 | ((unit >> 6) & 0x3F));
      AppendPercent(out, 0x80 | (unit & 0x3F));
    }
  }
  return out;
}

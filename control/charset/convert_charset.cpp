#include "control/charset/convert_charset.h"

#include <optional>

#include "base/ansi.h"
#include "base/text.h"

namespace zorvel {
namespace {

constexpr char kEsc = 0x1B;

// The Shift_JIS lead bytes are fixed here rather than asked of the system: the conversion
// describes Shift_JIS itself, whatever code page the machine runs.
bool IsSjisLead(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsHalfWidthKatakana(unsigned char byte) { return byte >= 0xA0 && byte <= 0xDF; }

// JIS X 0208 code of a Shift_JIS pair; none for pairs outside the standard's rows (user-defined
// lead bytes 0xF0 and above, or a trail byte out of range).
std::optional<unsigned> SjisToJis(unsigned char lead, unsigned char trail) {
  if (trail < 0x40 || trail == 0x7F || trail > 0xFC) return std::nullopt;
  unsigned row = lead >= 0xE0 ? lead - 0x40u : lead;
  unsigned first = (row - 0x81u) * 2 + 0x21;
  unsigned second;
  if (trail >= 0x9F) {
    first += 1;
    second = trail - 0x7Eu;
  } else {
    second = trail - 0x1Fu - (trail >= 0x80 ? 1u : 0u);
  }
  if (first < 0x21 || first > 0x7E || second < 0x21 || second > 0x7E) return std::nullopt;
  return (first << 8) | second;
}

// A lead byte at the very end has no partner: it is handled as a character without a code.
std::optional<unsigned> PairAt(std::string_view source, size_t i) {
  if (i + 1 >= source.size()) return std::nullopt;
  return SjisToJis(static_cast<unsigned char>(source[i]), static_cast<unsigned char>(source[i + 1]));
}

void PutCode(std::string& out, unsigned code) {
  out.push_back(static_cast<char>(code >> 8));
  out.push_back(static_cast<char>(code & 0xFF));
}

std::string ToEucJp(std::string_view source) {
  std::string out;
  for (size_t i = 0; i < source.size(); ++i) {
    const auto byte = static_cast<unsigned char>(source[i]);
    if (IsSjisLead(byte)) {
      PutCode(out, PairAt(source, i).value_or(0x2223) | 0x8080);
      ++i;
    } else if (IsHalfWidthKatakana(byte)) {
      out.push_back(static_cast<char>(0x8E));
      out.push_back(static_cast<char>(byte));
    } else {
      out.push_back(static_cast<char>(byte));
    }
  }
  return out;
}

std::string ToIso2022Jp(std::string_view source) {
  enum class Mode { kSingle, kDouble, kKatakana };
  Mode mode = Mode::kSingle;
  std::string out;
  for (size_t i = 0; i < source.size(); ++i) {
    const auto byte = static_cast<unsigned char>(source[i]);
    if (IsSjisLead(byte)) {
      if (mode != Mode::kDouble) out += {kEsc, '$', 'B'};
      mode = Mode::kDouble;
      PutCode(out, PairAt(source, i).value_or(0x2223));
      ++i;
    } else if (IsHalfWidthKatakana(byte)) {
      if (mode != Mode::kKatakana) out += {kEsc, '(', 'I'};
      mode = Mode::kKatakana;
      out.push_back(static_cast<char>(byte));
    } else {
      if (mode != Mode::kSingle) out += {kEsc, '(', 'J'};
      mode = Mode::kSingle;
      out.push_back(byte >= 0x80 ? ' ' : static_cast<char>(byte));
    }
  }
  if (mode != Mode::kSingle) out += {kEsc, '(', 'J'};
  return out;
}

std::string ToUcs2LittleEndian(std::string_view source) {
  std::string out;
  for (char16_t unit : base::FromAnsi(source)) {
    out.push_back(static_cast<char>(unit & 0xFF));
    out.push_back(static_cast<char>(unit >> 8));
  }
  return out;
}

}  // namespace

std::string ConvertCharset(std::string_view source, int sourceCode, int targetCode) {
  if (source.size() <= 1 || sourceCode != kCharsetSourceSjis) return std::string(source);
  switch (targetCode) {
    case kCharsetEuc:
      return ToEucJp(source);
    case kCharsetJis:
      return ToIso2022Jp(source);
    case kCharsetUcs2:
      return ToUcs2LittleEndian(source);
    case kCharsetUtf8:
      return base::ToUtf8(base::FromAnsi(source));
    default:
      return std::string(source);
  }
}

}  // namespace zorvel

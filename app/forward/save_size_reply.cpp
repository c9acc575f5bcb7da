#include "app/forward/save_size_reply.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "base/app_error.h"

namespace {

constexpr long kOverflow = 6;

bool IsBlank(char16_t unit) {
  return unit == u' ' || unit == u'\t' || unit == u'\r' || unit == u'\n' || unit == u'\u3000';
}

bool IsDigit(char16_t unit) { return unit >= u'0' && unit <= u'9'; }

}  // namespace

std::optional<double> ParseNumber(std::u16string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  std::string plain;
  size_t i = 0;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
    plain += static_cast<char>(text[i++]);
  size_t digits = 0;
  for (; i < text.size() && (IsDigit(text[i]) || text[i] == u','); ++i) {
    if (text[i] == u',') {
      // A group separator stands between digits only.
      if (digits == 0 || i + 1 >= text.size() || !IsDigit(text[i + 1])) return std::nullopt;
      continue;
    }
    plain += static_cast<char>(text[i]);
    ++digits;
  }
  if (i < text.size() && text[i] == u'.') {
    plain += '.';
    for (++i; i < text.size() && IsDigit(text[i]); ++i, ++digits)
      plain += static_cast<char>(text[i]);
  }
  if (digits == 0) return std::nullopt;
  if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
    plain += 'e';
    ++i;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
      plain += static_cast<char>(text[i++]);
    size_t exponentDigits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i, ++exponentDigits) {
      plain += static_cast<char>(text[i]);
    }
    if (exponentDigits == 0) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;
  return std::strtod(plain.c_str(), nullptr);
}

int32_t SavedSizeFromReply(std::u16string_view reply) {
  const std::optional<double> number = ParseNumber(reply);
  if (!number) return 0;
  const double rounded = std::nearbyint(*number);  // the default rounding mode: halves to even
  if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) {
    throw AppError(kOverflow, u"オーバーフローしました。");
  }
  return static_cast<int32_t>(rounded);
}

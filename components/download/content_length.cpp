#include "components/download/content_length.h"

namespace w3getv {

std::optional<int64_t> ParseContentLength(std::string_view value) {
  while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
  while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.remove_suffix(1);
  if (value.empty()) return std::nullopt;
  int64_t length = 0;
  for (char c : value) {
    if (c < '0' || c > '9') return std::nullopt;
    length = length * 10 + (c - '0');
    if (length > kLargestContentLength) return std::nullopt;
  }
  return length;
}

}  // namespace w3getv

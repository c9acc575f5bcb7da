#include "server/request_framing.h"

#include <charconv>

namespace server {
namespace {

// The methods whose body the library reads.
bool CarriesBody(std::string_view method) {
  return method == "POST" || method == "PUT" || method == "PATCH" || method == "DELETE" ||
         method == "PRI";
}

std::optional<std::uint64_t> Length(std::string_view text) {
  std::uint64_t value = 0;
  const char* end = text.data() + text.size();
  auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
  return value;
}

}  // namespace

std::optional<FramingRefusal> CheckFraming(std::string_view method,
                                           const std::vector<std::string>& contentLengths,
                                           const std::vector<std::string>& transferEncodings,
                                           std::uint64_t limit) {
  if (!transferEncodings.empty()) {
    return FramingRefusal{411, "a body with a transfer coding is not taken; send its length"};
  }
  if (contentLengths.empty()) {
    if (!CarriesBody(method)) return std::nullopt;
    return FramingRefusal{411, "the body's Content-Length is required"};
  }
  std::optional<std::uint64_t> length = Length(contentLengths.front());
  for (const std::string& other : contentLengths) {
    if (!length || Length(other) != length) {
      return FramingRefusal{400, "the Content-Length is not one decimal number"};
    }
  }
  if (*length > limit) return FramingRefusal{413, "the body is larger than this server takes"};
  return std::nullopt;
}

}  // namespace server

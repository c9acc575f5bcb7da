// Whether a request's body may be read, judged from its head before a byte of it is read. The
// HTTP library reads a chunked body, or one without a length, to its end with no bound; the
// control and the query clients always announce their length.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace server {

// The most a saved-size, history or test-switch form may hold.
inline constexpr std::uint64_t kMaxFormBytes = 64 << 10;

struct FramingRefusal {
  int status = 0;  // 400, 411 or 413
  std::string_view reason;
};

// `contentLengths` and `transferEncodings` are the values of every such header of the request.
// A request with a transfer coding, a method that carries a body without a length, or a length
// above `limit` is refused.
std::optional<FramingRefusal> CheckFraming(std::string_view method,
                                           const std::vector<std::string>& contentLengths,
                                           const std::vector<std::string>& transferEncodings,
                                           std::uint64_t limit);

}  // namespace server

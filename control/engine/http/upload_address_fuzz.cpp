// Upload addresses and Proxy texts come from pages: the split must take any text apart without
// reading past it, and the request line and Host line it makes are always well formed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "control/engine/http/upload_address.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t newline = input.find('\n');
  // The first byte picks the scheme, so both splits are explored.
  const std::string url = std::string(!input.empty() && (input[0] & 1) ? "https://" : "http://") +
                          std::string(input.substr(0, newline));
  const std::string_view proxy =
      newline == std::string_view::npos ? std::string_view() : input.substr(newline + 1);
  const zorvel::UploadAddress address = zorvel::ResolveUploadAddress(url, proxy, 120);
  if (address.requestLine.rfind("POST ", 0) != 0) std::abort();
  if (address.hostLine.rfind("Host: ", 0) != 0) std::abort();
  if (address.hostLine.size() < 8 ||
      address.hostLine.substr(address.hostLine.size() - 2) != "\r\n") {
    std::abort();
  }
  if (address.port < 0 || address.timeoutSeconds < 0) std::abort();
  if (address.host.size() > url.size() + proxy.size()) std::abort();
  if (address.secure != (url[4] == 's')) std::abort();
  if (address.tunnelTarget.size() > url.size() + 6) std::abort();
  if (zorvel::AnswerStatusCode(url) > 999 || zorvel::AnswerStatusCode(proxy) > 999) std::abort();
  return 0;
}

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
  const std::string url = "http://" + std::string(input.substr(0, newline));
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
  return 0;
}

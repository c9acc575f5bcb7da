#include "control/engine/http/upload_address.h"

namespace zorvel {
namespace {

// Decimal digits up to the first other character; 0 when there are none.
int LeadingNumber(std::string_view text) {
  long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = value * 10 + (c - '0');
    if (value > 0xFFFFFF) break;  // a larger port or time-out means nothing but a failure
  }
  return static_cast<int>(value);
}

// "host", "host:port" or "host:port:seconds"; port and time-out stay as given when absent.
void SplitAuthority(std::string_view authority, std::string& host, int& port, int& timeout) {
  const size_t colon = authority.find(':');
  host = std::string(authority.substr(0, colon));
  if (colon == std::string_view::npos) return;
  const std::string_view rest = authority.substr(colon + 1);
  port = LeadingNumber(rest);
  const size_t second = rest.find(':');
  if (second != std::string_view::npos) timeout = LeadingNumber(rest.substr(second + 1));
}

}  // namespace

UploadAddress ResolveUploadAddress(std::string_view url, std::string_view proxy,
                                   int timeoutSeconds) {
  UploadAddress address;
  std::string_view authority = url.size() > 7 ? url.substr(7) : std::string_view();
  const size_t slash = authority.find('/');
  address.requestLine =
      "POST " + std::string(slash == std::string_view::npos ? "/" : authority.substr(slash));
  authority = authority.substr(0, slash);
  address.hostLine = "Host: " + std::string(authority) + "\r\n";
  address.timeoutSeconds = timeoutSeconds;
  SplitAuthority(authority, address.host, address.port, address.timeoutSeconds);
  if (!proxy.empty() && address.host.find('.') != std::string::npos) {
    address.requestLine = "POST " + std::string(url);
    SplitAuthority(proxy, address.host, address.port, address.timeoutSeconds);
  }
  return address;
}

}  // namespace zorvel

#include "control/engine/http/upload_address.h"

#include "control/engine/http/upload_request.h"

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
  address.secure = url.size() > 4 && (url[4] == 's' || url[4] == 'S');
  const size_t schemeLength = address.secure ? 8 : 7;
  address.port = address.secure ? 443 : 80;
  std::string_view authority =
      url.size() > schemeLength ? url.substr(schemeLength) : std::string_view();
  const size_t slash = authority.find('/');
  address.requestLine =
      "POST " + std::string(slash == std::string_view::npos ? "/" : authority.substr(slash));
  authority = authority.substr(0, slash);
  address.hostLine = "Host: " + std::string(authority) + "\r\n";
  address.timeoutSeconds = timeoutSeconds;
  SplitAuthority(authority, address.host, address.port, address.timeoutSeconds);
  address.serverName = address.host;
  if (!proxy.empty() && address.host.find('.') != std::string::npos) {
    if (address.secure) {
      address.tunnelTarget = address.host + ":" + std::to_string(address.port);
    } else {
      address.requestLine = "POST " + std::string(url);
    }
    SplitAuthority(proxy, address.host, address.port, address.timeoutSeconds);
  }
  return address;
}

std::string MakeConnectRequest(std::string_view target, std::string_view proxyAuth) {
  std::string request =
      "CONNECT " + std::string(target) + " HTTP/1.0\r\nHost: " + std::string(target) + "\r\n";
  if (!proxyAuth.empty()) request += "Proxy-Authorization: Basic " + Base64(proxyAuth) + "\r\n";
  return request + "\r\n";
}

int AnswerStatusCode(std::string_view line) {
  if (line.size() < 12 || line.substr(0, 5) != "HTTP/" ||
      line.find(' ') == std::string_view::npos) {
    return 0;
  }
  const std::string_view rest = line.substr(line.find(' ') + 1);
  if (rest.size() < 3) return 0;
  int code = 0;
  for (int i = 0; i < 3; ++i) {
    if (rest[i] < '0' || rest[i] > '9') return 0;
    code = code * 10 + (rest[i] - '0');
  }
  return rest.size() == 3 || rest[3] == ' ' ? code : 0;
}

}  // namespace zorvel

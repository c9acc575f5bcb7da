// FTP addresses and ProxyFtp texts come from pages and property bags: each split must take any
// text apart without reading past it, and every part it gives is a piece of what it was given.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "control/engine/ftp/ftp_address.h"

namespace {

// The input as three texts, separated by newlines: URL, Auth and ProxyFtp.
std::string_view Take(std::string_view& rest) {
  const size_t end = rest.find('\n');
  const std::string_view part = rest.substr(0, end);
  rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  return part;
}

bool Within(const std::string& part, std::string_view whole) {
  return part.empty() || whole.find(part) != std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  const std::string url = "ftp://" + std::string(Take(rest));
  const std::string_view auth = Take(rest);
  const std::string_view proxy = Take(rest);
  const zorvel::FtpAddress address = zorvel::SplitFtpUrl(url, auth, 120);
  if (!Within(address.host, url) || !Within(address.directory, url)) std::abort();
  if (address.user != "anonymous" && !Within(address.user, url) && !Within(address.user, auth)) {
    std::abort();
  }
  const zorvel::FtpProxyRoute route = zorvel::MakeProxyRoute(proxy, address.user, address.host);
  if (!Within(route.host, proxy) || !Within(route.proxyPassword, proxy)) std::abort();
  if (route.proxyUser && !Within(*route.proxyUser, proxy)) std::abort();
  for (const char c : {'/', '@', ':'}) {
    const size_t first = zorvel::FindSingleByte(url, c);
    const size_t last = zorvel::FindLastSingleByte(url, c);
    if ((first == std::string::npos) != (last == std::string::npos)) std::abort();
    if (first != std::string::npos && (first > last || url[first] != c)) std::abort();
  }
  return 0;
}

#include "control/window/system_proxy.h"

#include <string_view>

#include "control/object/property_text.h"

namespace zorvel {
namespace {

// The value of the "name=" entry of a list such as "http=host:80;ftp=host:21".
std::optional<std::string> Entry(std::string_view list, std::string_view name) {
  size_t start = 0;
  while (start <= list.size()) {
    const size_t end = std::min(list.find(';', start), list.size());
    const std::string_view entry = list.substr(start, end - start);
    if (entry.substr(0, name.size()) == name && entry.size() > name.size() &&
        entry[name.size()] == '=') {
      return std::string(entry.substr(name.size() + 1));
    }
    start = end + 1;
  }
  return std::nullopt;
}

void Take(std::string& property, const std::string& value) {
  if (value.size() <= kProxyLimit) property = value;
}

}  // namespace

void CompleteProxies(std::string& proxy, std::string& proxyFtp,
                     const std::optional<std::string>& serverText) {
  if (serverText) {
    const bool perProtocol = serverText->find('=') != std::string::npos;
    if (proxy.empty()) {
      Take(proxy, perProtocol ? Entry(*serverText, "http").value_or("") : *serverText);
    }
    if (proxyFtp.empty()) Take(proxyFtp, Entry(*serverText, "ftp").value_or(""));
  }
  if (proxy == "#") proxy.clear();
  if (proxyFtp == "#") proxyFtp.clear();
}

std::string SystemTlsProxy(const std::string& ownProxy,
                           const std::optional<std::string>& serverText) {
  if (!ownProxy.empty() || !serverText) return {};
  std::string proxy;
  const bool perProtocol = serverText->find('=') != std::string::npos;
  Take(proxy, perProtocol ? Entry(*serverText, "https").value_or("") : *serverText);
  return proxy == "#" ? std::string() : proxy;
}

}  // namespace zorvel

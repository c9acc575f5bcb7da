// The proxy properties completed from the user's system settings when the window is created.
#pragma once

#include <optional>
#include <string>

namespace zorvel {

// `serverText` is the system's ProxyServer value when proxies are enabled there, none
// otherwise. An empty Proxy takes the single proxy, or the "http=" entry of a per-protocol
// list; an empty ProxyFtp takes only an "ftp=" entry. "#" means no proxy and ends empty. A
// value longer than the property's limit is not taken.
void CompleteProxies(std::string& proxy, std::string& proxyFtp,
                     const std::optional<std::string>& serverText);

// The system's proxy for "https://" addresses when Proxy (`ownProxy`, before completion) is left
// to the system: its one proxy, or the "https=" entry of a per-protocol list; empty otherwise.
std::string SystemTlsProxy(const std::string& ownProxy,
                           const std::optional<std::string>& serverText);

}  // namespace zorvel

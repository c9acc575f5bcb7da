// Reads the user's Internet Settings to complete the Proxy and ProxyFtp properties, and the proxy
// of "https://" addresses that goes with them (see SystemTlsProxy).
#pragma once

#include <string>

namespace zorvel {

void ReadSystemProxy(std::string& proxy, std::string& proxyFtp, std::string& proxyTls);

}  // namespace zorvel

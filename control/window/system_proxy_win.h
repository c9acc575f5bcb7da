// Reads the user's Internet Settings to complete the Proxy and ProxyFtp properties.
#pragma once

#include <string>

namespace zorvel {

void ReadSystemProxy(std::string& proxy, std::string& proxyFtp);

}  // namespace zorvel

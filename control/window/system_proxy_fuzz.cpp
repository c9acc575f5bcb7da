// The system's ProxyServer text is whatever another program wrote there: completing the proxy
// properties from it must keep each within its limit, and "#" never survives.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "control/object/property_text.h"
#include "control/window/system_proxy.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string server(reinterpret_cast<const char*>(data), size);
  for (const char* start : {"", "#", "given:8080"}) {
    std::string proxy = start, proxyFtp = start;
    zorvel::CompleteProxies(proxy, proxyFtp, server);
    if (proxy.size() > zorvel::kProxyLimit || proxyFtp.size() > zorvel::kProxyLimit) std::abort();
    if (proxy == "#" || proxyFtp == "#") std::abort();
    if (std::string(start) == "given:8080" && (proxy != start || proxyFtp != start)) std::abort();
  }
  return 0;
}

#include "control/window/system_proxy_win.h"

#include <windows.h>

#include <optional>

#include "control/window/system_proxy.h"

namespace zorvel {
namespace {

std::optional<std::string> EnabledProxyServer() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER,
                    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings", 0, KEY_READ,
                    &key) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::optional<std::string> server;
  DWORD enabled = 0;
  DWORD size = sizeof enabled;
  if (RegQueryValueExA(key, "ProxyEnable", nullptr, nullptr, reinterpret_cast<BYTE*>(&enabled),
                       &size) == ERROR_SUCCESS &&
      enabled != 0) {
    char text[513] = "";
    size = sizeof text - 1;
    DWORD type = 0;
    if (RegQueryValueExA(key, "ProxyServer", nullptr, &type, reinterpret_cast<BYTE*>(text),
                         &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
      text[size] = '\0';
      server = std::string(text);
    }
  }
  RegCloseKey(key);
  return server;
}

}  // namespace

void ReadSystemProxy(std::string& proxy, std::string& proxyFtp, std::string& proxyTls) {
  const std::optional<std::string> server = EnabledProxyServer();
  proxyTls = SystemTlsProxy(proxy, server);
  CompleteProxies(proxy, proxyFtp, server);
}

}  // namespace zorvel

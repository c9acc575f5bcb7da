// ReadSystemProxy against the Internet Settings values of the test's own registry.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>

#include "control/window/system_proxy_win.h"

namespace zorvel {
namespace {

constexpr char kKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

// Sets the two values for one case and puts back what was there before.
class InternetSettings {
 public:
  InternetSettings() {
    RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key_,
                    nullptr);
    DWORD size = sizeof enable_;
    hadEnable_ = RegQueryValueExA(key_, "ProxyEnable", nullptr, nullptr,
                                  reinterpret_cast<BYTE*>(&enable_), &size) == ERROR_SUCCESS;
    char server[1024];
    size = sizeof server;
    if (RegQueryValueExA(key_, "ProxyServer", nullptr, nullptr, reinterpret_cast<BYTE*>(server),
                         &size) == ERROR_SUCCESS) {
      server_ = std::string(server, size > 0 ? size - 1 : 0);
    }
  }
  ~InternetSettings() {
    if (hadEnable_) {
      RegSetValueExA(key_, "ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&enable_),
                     sizeof enable_);
    } else {
      RegDeleteValueA(key_, "ProxyEnable");
    }
    if (server_) {
      Set(*server_);
    } else {
      RegDeleteValueA(key_, "ProxyServer");
    }
    RegCloseKey(key_);
  }

  void Set(DWORD enable, const std::string& server) {
    RegSetValueExA(key_, "ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&enable),
                   sizeof enable);
    Set(server);
  }

 private:
  void Set(const std::string& server) {
    RegSetValueExA(key_, "ProxyServer", 0, REG_SZ, reinterpret_cast<const BYTE*>(server.c_str()),
                   static_cast<DWORD>(server.size() + 1));
  }

  HKEY key_ = nullptr;
  DWORD enable_ = 0;
  bool hadEnable_ = false;
  std::optional<std::string> server_;
};

struct Proxies {
  std::string http, ftp, tls;
};

Proxies Read(std::string http = "", std::string ftp = "") {
  std::string tls;
  ReadSystemProxy(http, ftp, tls);
  return {http, ftp, tls};
}

TEST(SystemProxyRegistryTest, SingleProxyListsHashAndDisabledSettings) {
  InternetSettings settings;
  settings.Set(1, "proxy.example:8080");
  Proxies read = Read();
  EXPECT_EQ(read.http, "proxy.example:8080");
  EXPECT_EQ(read.tls, "proxy.example:8080");
  EXPECT_EQ(read.ftp, "") << "one proxy for all protocols is not used for FTP";
  read = Read("mine:3128", "#");
  EXPECT_EQ(read.http, "mine:3128") << "a property already set is kept";
  EXPECT_EQ(read.ftp, "") << "# means no proxy";

  settings.Set(1, "ftp=fp.example:21;http=hp.example:81;https=sp:443");
  read = Read();
  EXPECT_EQ(read.http, "hp.example:81");
  EXPECT_EQ(read.ftp, "fp.example:21");
  EXPECT_EQ(read.tls, "sp:443");
  settings.Set(1, "https=sp:443");
  read = Read();
  EXPECT_EQ(read.http, "") << "a list without an http entry";
  EXPECT_EQ(read.tls, "sp:443");

  settings.Set(0, "proxy.example:8080");
  read = Read("#", "");
  EXPECT_EQ(read.http, "");
  EXPECT_EQ(read.ftp, "");
}

}  // namespace
}  // namespace zorvel

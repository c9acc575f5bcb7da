#include "control/window/system_proxy.h"

#include <gtest/gtest.h>

namespace zorvel {
namespace {

struct Proxies {
  std::string proxy, proxyFtp;
};

Proxies Complete(std::string proxy, std::string proxyFtp, std::optional<std::string> server) {
  CompleteProxies(proxy, proxyFtp, server);
  return {proxy, proxyFtp};
}

TEST(SystemProxyTest, SingleAndPerProtocolSettings) {
  Proxies p = Complete("", "", "cache.example:8080");
  EXPECT_EQ(p.proxy, "cache.example:8080");
  EXPECT_EQ(p.proxyFtp, "") << "one proxy for all is not used for FTP";
  p = Complete("", "", "https=s:443;http=h:80;ftp=f:21");
  EXPECT_EQ(p.proxy, "h:80");
  EXPECT_EQ(p.proxyFtp, "f:21");
  p = Complete("", "", "https=s:443;sftp=x:1");
  EXPECT_EQ(p.proxy, "");
  EXPECT_EQ(p.proxyFtp, "");
}

TEST(SystemProxyTest, OwnValuesAndTheNoProxyMark) {
  Proxies p = Complete("mine:3128", "#", "http=h:80;ftp=f:21");
  EXPECT_EQ(p.proxy, "mine:3128");
  EXPECT_EQ(p.proxyFtp, "") << "\"#\" wins over the system settings";
  p = Complete("#", "", std::nullopt);
  EXPECT_EQ(p.proxy, "");
  p = Complete("", "", std::string(200, 'h'));
  EXPECT_EQ(p.proxy, "") << "longer than the property may hold";
}

// https addresses take the "https=" entry, or the one proxy, but only while Proxy is the system's.
TEST(SystemProxyTest, TheProxyOfHttpsAddresses) {
  EXPECT_EQ(SystemTlsProxy("", "cache.example:8080"), "cache.example:8080");
  EXPECT_EQ(SystemTlsProxy("", "https=s:443;http=h:80"), "s:443");
  EXPECT_EQ(SystemTlsProxy("", "http=h:80;ftp=f:21"), "");
  EXPECT_EQ(SystemTlsProxy("", "https=#"), "");
  EXPECT_EQ(SystemTlsProxy("mine:3128", "https=s:443"), "") << "the page's own Proxy serves";
  EXPECT_EQ(SystemTlsProxy("", std::nullopt), "");
  EXPECT_EQ(SystemTlsProxy("", "https=" + std::string(200, 's')), "");
}

}  // namespace
}  // namespace zorvel

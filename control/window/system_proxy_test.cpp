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

}  // namespace
}  // namespace zorvel

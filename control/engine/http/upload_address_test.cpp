#include "control/engine/http/upload_address.h"

#include <gtest/gtest.h>

namespace zorvel {
namespace {

TEST(UploadAddressTest, PathPortAndTimeOutComeFromTheUrl) {
  UploadAddress address = ResolveUploadAddress("HTTP://files.example.com/up/recv.cgi?a=b", "", 120);
  EXPECT_EQ(address.requestLine, "POST /up/recv.cgi?a=b");
  EXPECT_EQ(address.hostLine, "Host: files.example.com\r\n");
  EXPECT_EQ(address.host, "files.example.com");
  EXPECT_EQ(address.port, 80);
  EXPECT_EQ(address.timeoutSeconds, 120);

  address = ResolveUploadAddress("http://files.example.com:8080:30/up", "", 120);
  EXPECT_EQ(address.requestLine, "POST /up");
  EXPECT_EQ(address.hostLine, "Host: files.example.com:8080:30\r\n");
  EXPECT_EQ(address.host, "files.example.com");
  EXPECT_EQ(address.port, 8080);
  EXPECT_EQ(address.timeoutSeconds, 30);

  address = ResolveUploadAddress("http://127.0.0.1:80:5", "", 120);
  EXPECT_EQ(address.requestLine, "POST /") << "no path: the root";
  EXPECT_EQ(address.port, 80);
  EXPECT_EQ(address.timeoutSeconds, 5);

  // Numbers end at the first other character.
  address = ResolveUploadAddress("http://h.example:81x:7s/", "", 120);
  EXPECT_EQ(address.port, 81);
  EXPECT_EQ(address.timeoutSeconds, 7);
  EXPECT_EQ(ResolveUploadAddress("http://", "", 9).requestLine, "POST /");
}

TEST(UploadAddressTest, ProxyTakesDottedHostsOnly) {
  UploadAddress address = ResolveUploadAddress("http://intranet/up", "proxy.example:3128", 120);
  EXPECT_EQ(address.host, "intranet");
  EXPECT_EQ(address.port, 80);
  EXPECT_EQ(address.requestLine, "POST /up");

  address = ResolveUploadAddress("http://files.example.com/up", "proxy.example:3128", 120);
  EXPECT_EQ(address.host, "proxy.example");
  EXPECT_EQ(address.port, 3128);
  EXPECT_EQ(address.requestLine, "POST http://files.example.com/up");
  EXPECT_EQ(address.hostLine, "Host: files.example.com\r\n");

  // A proxy without a port is reached on the URL's; its own time-out wins.
  address = ResolveUploadAddress("http://files.example.com:81/up", "proxy", 120);
  EXPECT_EQ(address.host, "proxy");
  EXPECT_EQ(address.port, 81);
  EXPECT_EQ(address.timeoutSeconds, 120);
  address = ResolveUploadAddress("http://files.example.com:81:9/up", "proxy:3128:4", 120);
  EXPECT_EQ(address.port, 3128);
  EXPECT_EQ(address.timeoutSeconds, 4);
}

}  // namespace
}  // namespace zorvel

#include "control/engine/socket/host_rules.h"

#include <gtest/gtest.h>

TEST(HostRules, LiteralsAreDigitsAndDotsOrEmpty) {
  EXPECT_TRUE(IsIPv4Literal("192.168.0.1"));
  EXPECT_TRUE(IsIPv4Literal(""));
  EXPECT_FALSE(IsIPv4Literal("localhost"));
  EXPECT_FALSE(IsIPv4Literal("1e100.net"));
}

TEST(HostRules, HostOfHttpAndFtpAddresses) {
  EXPECT_EQ(UrlHost("http://www.example.jp/upload.cgi"), "www.example.jp");
  EXPECT_EQ(UrlHost("http://10.1.2.3:8080/a/b"), "10.1.2.3");
  EXPECT_EQ(UrlHost("ftp://files.example.jp"), "files.example.jp");
  // Upper case or another scheme must still name the host, never pass for a dotless one.
  EXPECT_EQ(UrlHost("HTTP://host.jp/"), "host.jp");
  EXPECT_EQ(UrlHost("https://host.jp/"), "host.jp");
  EXPECT_EQ(UrlHost("ftp:/"), "");
  EXPECT_EQ(UrlHost("abcdefhost.jp/x"), "host.jp");
  // A colon anywhere wins over the first slash.
  EXPECT_EQ(UrlHost("http://host.jp/path:x"), "host.jp/path");
}

TEST(HostRules, DoubleByteTrailBytesAreNotSeparators) {
  // 0x95 0x5C is one character whose second byte equals "\", and 0x83 0x3A one whose second
  // byte equals ":"; neither may end the host.
  EXPECT_EQ(UrlHost("http://a\x83\x3a"
                    "b.jp:80/"),
            "a\x83\x3a"
            "b.jp");
  EXPECT_FALSE(HasDot("\x83\x2e"));
  EXPECT_TRUE(HasDot("\x83\x40."));
}

TEST(HostRules, PrivateRangesAndLookupDecision) {
  EXPECT_FALSE(HasDot("localhost"));
  EXPECT_TRUE(NeedsLookup("www.example.jp"));
  EXPECT_FALSE(NeedsLookup("8.8.8.8"));
  EXPECT_EQ(PublicAddressVerdict(10, 1), 0);
  EXPECT_EQ(PublicAddressVerdict(172, 15), 1);
  EXPECT_EQ(PublicAddressVerdict(172, 16), 0);
  EXPECT_EQ(PublicAddressVerdict(172, 20), 0);
  EXPECT_EQ(PublicAddressVerdict(172, 31), 0);
  EXPECT_EQ(PublicAddressVerdict(172, 32), 1);
  EXPECT_EQ(PublicAddressVerdict(192, 168), 0);
  EXPECT_EQ(PublicAddressVerdict(192, 169), 1);
  EXPECT_EQ(PublicAddressVerdict(8, 8), 1);
  EXPECT_EQ(PublicAddressVerdict(127, 0), 1);
}

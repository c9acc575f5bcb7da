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
  EXPECT_EQ(ClassifyPageHost("http://www.example.jp/").kind, PageHostKind::kName);
  EXPECT_EQ(ClassifyPageHost("http://www.example.jp/").name, "www.example.jp");
  EXPECT_EQ(ClassifyPageHost("http://8.8.8.8/").kind, PageHostKind::kForeign);
  EXPECT_EQ(PublicAddressVerdict(10, 1), 0);
  EXPECT_EQ(PublicAddressVerdict(172, 15), 1);
  EXPECT_EQ(PublicAddressVerdict(172, 16), 0);
  EXPECT_EQ(PublicAddressVerdict(172, 20), 0);
  EXPECT_EQ(PublicAddressVerdict(172, 31), 0);
  EXPECT_EQ(PublicAddressVerdict(172, 32), 1);
  EXPECT_EQ(PublicAddressVerdict(192, 168), 0);
  EXPECT_EQ(PublicAddressVerdict(192, 169), 1);
  EXPECT_EQ(PublicAddressVerdict(8, 8), 1);
  EXPECT_EQ(PublicAddressVerdict(127, 0), 0) << "loopback";
  EXPECT_EQ(PublicAddressVerdict(169, 254), 0) << "link-local";
  EXPECT_EQ(PublicAddressVerdict(169, 253), 1);
}

// A hostile page must not skip the question by writing its address in another form.
TEST(HostRules, EveryPageNotProvablyOnTheOwnNetworkIsAsked) {
  const char* const foreign[] = {
      "https://8.8.8.8/page.html",
      "http://134744072/",        // 8.8.8.8 without dots
      "http://0x08080808/",       // in hex
      "http://0x8.0x8.0x8.0x8/",  // each part in hex
      "http://010.010.010.010/",  // octal: 8.8.8.8, not 10.10.10.10
      "http://8.526344/",         // two parts
      "http://[2001:4860:4860::8888]/",
      "http://[::ffff:8.8.8.8]/",
      "http://user@8.8.8.8/",
      "http://10.0.0.1@8.8.8.8/",
      "http://8.8.8.8./",
      "about:blank",
      "http:///page.html",
      "http://[::1/",
      "http://[1::2::3]/",
      "file://server.example.jp/share/page.html",
      "http://999.1.1.1/",
  };
  for (const char* url : foreign) {
    const PageHostKind kind = ClassifyPageHost(url).kind;
    EXPECT_NE(kind, PageHostKind::kOwnNetwork) << url;
  }
  EXPECT_EQ(ClassifyPageHost("http://999.1.1.1/").kind, PageHostKind::kName)
      << "not an address: the lookup decides";
  const char* const own[] = {
      "http://192.168.1.10/forms/page.html",
      "HTTPS://10.1.2.3:8443/",
      "http://172.31.255.255/",
      "http://127.0.0.1:8080/",
      "http://2130706433/",  // 127.0.0.1 without dots
      "http://0x7f.1/",
      "http://169.254.10.20/",
      "http://[::1]:8080/",
      "http://[fe80::1%25eth0]/",
      "http://[fd12:3456::1]/",
      "http://[::ffff:192.168.0.1]/",
      "http://intranet/page.html",
      "https://localhost/",
      "file:///C:/pages/upload.html",
      "file://localhost/C:/pages/upload.html",
  };
  for (const char* url : own) {
    EXPECT_EQ(ClassifyPageHost(url).kind, PageHostKind::kOwnNetwork) << url;
  }
}

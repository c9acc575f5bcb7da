#include "control/engine/http/upload_request.h"

#include <gtest/gtest.h>

#include "control/window/bar_steps.h"

namespace zorvel {
namespace {

constexpr std::string_view kBoundaryLine = "\r\n----K38Valet20020709\r\n";

TEST(UploadRequestTest, EntriesSplitAtTheFirstBar) {
  UploadItem item = MakeUploadItem("C:\\rec\\a.wav|up|b.wav", 100);
  EXPECT_EQ(item.path, "C:\\rec\\a.wav");
  EXPECT_EQ(item.alias, "up|b.wav");
  EXPECT_EQ(item.nameLength, 8);
  item = MakeUploadItem("C:\\rec\\a.wav", -1);
  EXPECT_EQ(item.path, "C:\\rec\\a.wav");
  EXPECT_FALSE(item.alias);
  EXPECT_EQ(item.nameLength, 12);
  EXPECT_EQ(item.size, -1);
  // A bar at the end leaves an empty alias, which is still sent as the name.
  item = MakeUploadItem("C:\\a.wav|", 5);
  EXPECT_EQ(item.alias, "");
  EXPECT_EQ(MakeFilePartHead(1, item).size(), 128u);
}

// One file of 100 bytes listed with a five-byte alias and no Para values.
TEST(UploadRequestTest, WorkedExampleAnnouncesItsOffsetAndLength) {
  ItemTable table;
  table.Add(MakeUploadItem("C:\\work\\long file name.tta|a.tta", 100));
  const std::string head = MakeFilePartHead(1, table.items[0]);
  EXPECT_EQ(head,
            "\r\n----K38Valet20020709\r\nContent-Disposition: form-data; name=\"xfile001\"; "
            "filename=\"a.tta\"\r\nContent-Type: application/octet-stream\r\n\r\n");
  EXPECT_EQ(head.size(), 133u);
  const std::string magic = MakeMagicBlock(table, 0);
  EXPECT_EQ(magic,
            "----K38Valet20020709\r\nContent-Disposition: form-data; name=\"magic\"\r\n\r\n"
            "000000001 000000100 000000243 000000100 ");
  EXPECT_EQ(magic.size(), 110u);
  EXPECT_EQ(ContentLength(110, 0, table), 369);
}

TEST(UploadRequestTest, OffsetsFollowTheParaBlockAndEachFile) {
  const std::string para = MakeParaBlock("x", "", "yz");
  EXPECT_EQ(para, std::string(kBoundaryLine) +
                      "Content-Disposition: form-data; name=\"para1\"\r\n\r\nx" +
                      std::string(kBoundaryLine) +
                      "Content-Disposition: form-data; name=\"para3\"\r\n\r\nyz");
  EXPECT_EQ(para.size(), 72u + 1 + 72 + 2);
  ItemTable table;
  table.Add(MakeUploadItem("C:\\a.wav", 10));
  table.Add(MakeUploadItem("C:\\b.wav|bee", 20000));
  EXPECT_EQ(table.totalBytes, 20010);
  EXPECT_EQ(table.nameBytes, 11);
  const long paraLength = static_cast<long>(para.size());
  const std::string magic = MakeMagicBlock(table, paraLength);
  // Data of the first file: magic (70 + 3 pairs), Para block, its head (128 + 8).
  const long first = 70 + 60 + paraLength + 136;
  const long second = first + 10 + 131;
  char expected[128];
  std::snprintf(expected, sizeof expected, "000000002 000020010 %09ld 000000010 %09ld 000020000 ",
                first, second);
  EXPECT_EQ(magic.substr(70), expected);
  EXPECT_EQ(ContentLength(static_cast<long>(magic.size()), paraLength, table),
            static_cast<long>(magic.size()) + paraLength + 136 + 10 + 131 + 20000 + 26);
  EXPECT_EQ(MakeFilePartHead(2, table.items[1]).substr(0, 75),
            std::string(kBoundaryLine) + "Content-Disposition: form-data; name=\"xfile002\"; fi");
  EXPECT_EQ(MakeParaBlock("", "", ""), "");
}

TEST(UploadRequestTest, Base64OfEveryTailLength) {
  EXPECT_EQ(Base64(""), "");
  EXPECT_EQ(Base64("f"), "Zg==");
  EXPECT_EQ(Base64("fo"), "Zm8=");
  EXPECT_EQ(Base64("foo"), "Zm9v");
  EXPECT_EQ(Base64("user:pass"), "dXNlcjpwYXNz");
  EXPECT_EQ(Base64("\xff\xfe\x3e"), "//4+");
}

TEST(UploadRequestTest, HeaderLinesInTheirOrder) {
  RequestHeaderFields fields;
  fields.requestLine = "POST /up/recv.cgi?x=1";
  fields.hostLine = "Host: example.com:8080\r\n";
  EXPECT_EQ(MakeHeaderBlock(fields, 369),
            "POST /up/recv.cgi?x=1 HTTP/1.0\r\nHost: example.com:8080\r\n"
            "User-Agent: Zorvex/1.0\r\nContent-Type: multipart/form-data; "
            "boundary=--K38Valet20020709\r\nContent-Length: 369\r\n\r\n");
  fields.auth = "user:pass";
  fields.proxyAuth = "px:pw";
  fields.referer = "http://page/";
  fields.cookie = "a=1; b=2";
  EXPECT_EQ(
      MakeHeaderBlock(fields, 5),
      "POST /up/recv.cgi?x=1 HTTP/1.0\r\nAuthorization: Basic dXNlcjpwYXNz\r\n"
      "Proxy-Authorization: Basic cHg6cHc=\r\nReferer: http://page/\r\nCookie: a=1; b=2\r\n"
      "Host: example.com:8080\r\nUser-Agent: Zorvex/1.0\r\nContent-Type: multipart/form-data; "
      "boundary=--K38Valet20020709\r\nContent-Length: 5\r\n\r\n");
}

TEST(BarStepsTest, SixtyStepsSpreadOverTheData) {
  BarSteps steps(6000);  // one step per 100 bytes
  EXPECT_EQ(steps.Add(100), 0) << "a step is taken only once more than its share is pending";
  EXPECT_EQ(steps.Add(1), 1);
  EXPECT_EQ(steps.Add(350), 3);
  int total = 4;
  for (int i = 0; i < 100; ++i) total += steps.Add(8000);
  EXPECT_EQ(total, 60) << "the last two steps belong to the answer";
  // Under 60 bytes in all, the first byte fills the data's share at once.
  BarSteps tiny(30);
  EXPECT_EQ(tiny.Add(1), 60);
  EXPECT_EQ(tiny.Add(29), 0);
}

}  // namespace
}  // namespace zorvel

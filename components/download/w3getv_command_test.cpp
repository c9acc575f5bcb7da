#include "components/download/w3getv_command.h"

#include <gtest/gtest.h>

#include <string>

#include "components/download/content_length.h"
#include "components/download/w3getv_codes.h"

namespace {

using w3getv::ParseCommand;

TEST(W3getvCommandTest, ReadsTheDownloadText) {
  const w3getv::ParsedCommand parsed =
      ParseCommand("-d C:\\DOWNLO~1 -o %98%5E+1.tta -t 6000 http://h:8080/files/ab/%E9%8C%B2");
  ASSERT_EQ(parsed.result, 0);
  EXPECT_EQ(parsed.command.folder, "C:\\DOWNLO~1");
  EXPECT_EQ(parsed.command.saveName, "%98%5E+1.tta");
  EXPECT_EQ(parsed.command.timeOutMilliseconds, 6000);
  EXPECT_EQ(parsed.command.url, "http://h:8080/files/ab/%E9%8C%B2");
}

TEST(W3getvCommandTest, TheProbeTextNamesTheFileAfterTheUrl) {
  const w3getv::ParsedCommand parsed = ParseCommand("-d C:\\x -j SJIS ftp://h/a/b.tta?x=1");
  ASSERT_EQ(parsed.result, 0);
  EXPECT_EQ(parsed.command.charset, "SJIS");
  EXPECT_EQ(parsed.command.saveName, "b.tta");
  EXPECT_EQ(parsed.command.timeOutMilliseconds, w3getv::kDefaultTimeOutMilliseconds);
}

TEST(W3getvCommandTest, OptionsInAnyOrderAndRepeatedBlanks) {
  const w3getv::ParsedCommand parsed = ParseCommand("  HTTPS://h/x  -o y.bin   -d D:\\ ");
  ASSERT_EQ(parsed.result, 0);
  EXPECT_EQ(parsed.command.url, "HTTPS://h/x");
  EXPECT_EQ(parsed.command.saveName, "y.bin");
  EXPECT_EQ(parsed.command.folder, "D:\\");
}

TEST(W3getvCommandTest, MalformedTextsAreParameterErrors) {
  for (const char* text :
       {"", "-d C:\\x", "http://h/a", "-d C:\\x -x 1 http://h/a", "-d C:\\x http://h/a http://h/b",
        "-d C:\\x http://h/a -o", "-d C:\\x -t 0 http://h/a", "-d C:\\x -t 6s http://h/a",
        "-d C:\\x -t -5 http://h/a", "-d C:\\x -dd y http://h/a",
        // What an address could smuggle in after the caller's own options.
        "-d C:\\x -o a.tta -t 6000 http://h/x -d C:\\Users\\Public -o evil.exe -j /payload",
        "-d C:\\x -j SJIS http://h/x -d \\\\srv\\share /a", "-d C:\\x -t 6000 http://h/a -t 1",
        "-d C:\\x -j SJIS -j EUC http://h/a"}) {
    EXPECT_EQ(ParseCommand(text).result, w3getv::kParameterError) << text;
  }
}

TEST(W3getvCommandTest, UrlLengthLimit) {
  const std::string head = "http://h/";
  const std::string fits = head + std::string(w3getv::kUrlLimit - 1 - head.size(), 'a');
  EXPECT_EQ(ParseCommand("-d C:\\x " + fits).result, 0);
  EXPECT_EQ(ParseCommand("-d C:\\x " + fits + "a").result, w3getv::kUrlTooLong);
}

TEST(W3getvCommandTest, AddressesAndNamesThatCannotBeUsedAreBadUrls) {
  for (const char* text :
       {"-d C:\\x file:///c:/a", "-d C:\\x http://", "-d C:\\x h/a", "-d C:\\x http://h/",
        "-d C:\\x http://h/..", "-d C:\\x -o ..\\evil http://h/a", "-d C:\\x -o a:b http://h/a",
        "-d C:\\x -o CON http://h/a", "-d C:\\x -o C:\\w.exe http://h/a", "-d C:\\x http://h/a\tb",
        "-d C:\\x http://h\\x/a", "-d C:\\x http://h/\x98\x5E", "-d C:\\x http://h/a\x7F",
        "-d C:\\x http://h/<a>"}) {
    EXPECT_EQ(ParseCommand(text).result, w3getv::kBadUrl) << text;
  }
}

TEST(W3getvReplyTest, OnlyAPlainSizeIsALength) {
  EXPECT_EQ(w3getv::ParseContentLength("0"), 0);
  EXPECT_EQ(w3getv::ParseContentLength(" 3221225472 "), 3221225472LL);
  EXPECT_EQ(w3getv::ParseContentLength("1125899906842624"), w3getv::kLargestContentLength);
  for (const char* refused : {"", " ", "-5", "+5", "12abc", "0x10", "1 2", "1125899906842625",
                              "99999999999999999999999999"}) {
    EXPECT_EQ(w3getv::ParseContentLength(refused), std::nullopt) << refused;
  }
}

}  // namespace

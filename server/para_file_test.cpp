#include "server/para_file.h"

#include <gtest/gtest.h>

#include "base/ansi.h"

namespace server {
namespace {

const std::string US = "\x1f";
const std::string RS = "\x1e";
const std::string GS = "\x1d";

std::string Sjis(std::u16string_view text) { return base::ToAnsi(text); }

TEST(ParaFileTest, ReadsTheLineTheApplicationWrites) {
  // One recipient, a two-line message, a WAV file and a text file with their work files.
  std::string line = "sender" + US + "product" + US + "name1" + US + "mail1" + US + US + US + US +
                     US + US + US + US + US + "line 1" + GS + "line 2" + RS + "a.wav" + US +
                     "1000" + US + "b.txt" + US + "20" + RS + "a.tta" + US + "430" + US + "b.txt" +
                     US + "20\r\n";
  std::optional<ParaFile> para = ParseParaFile(line);
  ASSERT_TRUE(para);
  EXPECT_EQ(para->sender, "sender");
  EXPECT_EQ(para->productId, "product");
  ASSERT_EQ(para->recipients.size(), 5u);
  EXPECT_EQ(para->recipients[0].name, "name1");
  EXPECT_EQ(para->recipients[0].mail, "mail1");
  EXPECT_EQ(para->recipients[4].name, "");
  EXPECT_EQ(para->message, "line 1\nline 2");
  ASSERT_EQ(para->sources.size(), 2u);
  EXPECT_EQ(para->sources[0].name, "a.wav");
  EXPECT_EQ(para->sources[0].size, 1000);
  EXPECT_EQ(para->works[0].name, "a.tta");
  EXPECT_EQ(para->works[0].size, 430);
  EXPECT_EQ(para->works[1].name, "b.txt");
}

TEST(ParaFileTest, DecodesCodePage932WhoseTrailBytesLookLikeSeparatorsOrBackslashes) {
  // 表 is 0x95 0x5C; ソ is 0x83 0x5C.
  std::string line = Sjis(u"送信者") + US + "P" + US + Sjis(u"表ソ") + US + "m" + US + US + US +
                     US + US + US + US + US + US + Sjis(u"本文") + RS + Sjis(u"表.wav") + US + "7" +
                     RS + Sjis(u"表.tta") + US + "5\r\n";
  std::optional<ParaFile> para = ParseParaFile(line);
  ASSERT_TRUE(para);
  EXPECT_EQ(para->sender, "送信者");
  EXPECT_EQ(para->recipients[0].name, "表ソ");
  EXPECT_EQ(para->message, "本文");
  EXPECT_EQ(para->sources[0].name, "表.wav");
  EXPECT_EQ(para->works[0].name, "表.tta");
}

TEST(ParaFileTest, KeepsEveryRecipientBeyondFive) {
  std::string header = "s" + US + "p";
  for (int i = 0; i < 6; ++i) header += US + "n" + std::to_string(i) + US + "m";
  std::optional<ParaFile> para =
      ParseParaFile(header + US + "msg" + RS + "a" + US + "1" + RS + "a" + US + "1\r\n");
  ASSERT_TRUE(para);
  EXPECT_EQ(para->recipients.size(), 6u);
  EXPECT_EQ(para->recipients[5].name, "n5");
  EXPECT_EQ(para->message, "msg");
}

TEST(ParaFileTest, RefusesMalformedFiles) {
  const std::string header =
      "s" + US + "p" + US + US + US + US + US + US + US + US + US + US + US + "msg";
  EXPECT_TRUE(ParseParaFile(header + RS + "a" + US + "1" + RS + "a" + US + "1"));  // no CR LF
  EXPECT_FALSE(ParseParaFile(""));
  EXPECT_FALSE(ParseParaFile(header + RS + "a" + US + "1\r\n"));  // two sections
  EXPECT_FALSE(ParseParaFile(header + RS + "a" + US + "1" + RS + "a" + US + "1" + RS + "\r\n"));
  EXPECT_FALSE(ParseParaFile("s" + US + "p" + US + "msg" + RS + RS + "\r\n"));  // few fields
  EXPECT_FALSE(ParseParaFile(header + US + "x" + RS + RS + "\r\n"));            // even count
  EXPECT_FALSE(ParseParaFile(header + RS + "a" + US + "1k" + RS + "a" + US + "1\r\n"));
  EXPECT_FALSE(ParseParaFile(header + RS + "a" + US + RS + "a" + US + "1\r\n"));  // empty size
  EXPECT_FALSE(ParseParaFile(header + RS + "a" + RS + "a\r\n"));                  // no sizes
  EXPECT_FALSE(ParseParaFile(header + RS + "a" + US + "1" + RS + "\r\n"));        // lists differ
}

}  // namespace
}  // namespace server

#include "app/upload/para_data.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "base/ansi.h"

namespace {

// The separators drawn as in the file format's description, so a row reads as it is written.
std::u16string Drawn(std::u16string_view line) {
  std::u16string drawn;
  for (const char16_t unit : line) {
    if (unit == u'\x1f') {
      drawn += u"[US]";
    } else if (unit == u'\x1e') {
      drawn += u"[RS]";
    } else if (unit == u'\x1d') {
      drawn += u"[GS]";
    } else if (unit == u'\r') {
      drawn += u"[CR]";
    } else if (unit == u'\n') {
      drawn += u"[LF]";
    } else {
      drawn += unit;
    }
  }
  return drawn;
}

ParaData OneRecipient() {
  ParaData data;
  data.sendName = u"sender";
  data.productId = u"product";
  data.recipients = {{u"name1", u"mail1"}};
  data.message = u"line 1\r\nline 2";
  data.sources = {{u"a.wav", 1000}, {u"b.txt", 20}};
  data.works = {{u"a.tta", 430}, {u"b.txt", 20}};
  return data;
}

TEST(ParaData, ExampleWithOneRecipientPadsTheOtherFourWithEmptyPairs) {
  EXPECT_EQ(Drawn(FormatParaDataLine(OneRecipient())),
            u"sender[US]product[US]name1[US]mail1[US][US][US][US][US][US][US][US][US]"
            u"line 1[GS]line 2[RS]a.wav[US]1000[US]b.txt[US]20[RS]a.tta[US]430[US]b.txt[US]20"
            u"[CR][LF]");
}

TEST(ParaData, RecipientFieldsFillPositionsThreeToTwelve) {
  ParaData data = OneRecipient();
  data.message = u"m";
  data.sources = {};
  data.works = {};
  // Without any recipient (the forward window never hands over such a forward) the padding
  // alone stands between product and message: five separator-led pairs.
  data.recipients.clear();
  EXPECT_EQ(Drawn(FormatParaDataLine(data)),
            u"sender[US]product[US][US][US][US][US][US][US][US][US][US][US][US]m[RS][RS][CR][LF]");

  for (int i = 2; i <= 5; ++i) {
    const std::u16string n = base::FromAnsi(std::to_string(i));
    data.recipients.push_back({u"n" + n, u"m" + n});
  }
  data.recipients.insert(data.recipients.begin(), {u"n1", u"m1"});
  EXPECT_EQ(Drawn(FormatParaDataLine(data)),
            u"sender[US]product[US]n1[US]m1[US]n2[US]m2[US]n3[US]m3[US]n4[US]m4[US]n5[US]m5[US]"
            u"m[RS][RS][CR][LF]");

  // A sixth recipient is written too, and nothing is padded.
  data.recipients.push_back({u"n6", u"m6"});
  EXPECT_EQ(Drawn(FormatParaDataLine(data)),
            u"sender[US]product[US]n1[US]m1[US]n2[US]m2[US]n3[US]m3[US]n4[US]m4[US]n5[US]m5[US]"
            u"n6[US]m6[US]m[RS][RS][CR][LF]");
}

TEST(ParaData, OnlyCrLfPairsOfTheMessageBecomeGs) {
  ParaData data = OneRecipient();
  data.recipients = {{u"a", u"b"}, {u"c", u"d"}, {u"e", u"f"}, {u"g", u"h"}, {u"i", u"j"}};
  data.sources = {};
  data.works = {};
  const std::u16string head =
      u"sender\x1fproduct\x1f"
      u"a\x1f"
      u"b\x1f"
      u"c\x1f"
      u"d\x1f"
      u"e\x1f"
      u"f\x1f"
      u"g\x1f"
      u"h\x1f"
      u"i\x1fj\x1f";
  data.message = u"a\r\nb";
  EXPECT_EQ(FormatParaDataLine(data), head +
                                          u"a\x1d"
                                          u"b\x1e\x1e\r\n");
  data.message = u"x\ry\nz\r\r\n\n";
  EXPECT_EQ(FormatParaDataLine(data), head + u"x\ry\nz\r\x1d\n\x1e\x1e\r\n");
  data.message = u"";
  EXPECT_EQ(FormatParaDataLine(data), head + u"\x1e\x1e\r\n");
}

TEST(ParaData, FileNamesLoseTheirBlanksButKeepFullWidthOnes) {
  ParaData data = OneRecipient();
  data.sources = {{u" my song .wav", 2147483647}, {u"全角\u3000空白.txt", -5}};
  data.works = {{u"my+song+.tta", 0}, {u"", 0}};  // the second work file is missing
  const std::u16string line = FormatParaDataLine(data);
  const size_t lists = line.find(u'\x1e');
  EXPECT_EQ(Drawn(line.substr(lists)),
            u"[RS]mysong.wav[US]2147483647[US]全角\u3000空白.txt[US]-5"
            u"[RS]my+song+.tta[US]0[US][US]0[CR][LF]");
}

TEST(ParaData, TheLineIsWrittenInCodePage932) {
  ParaData data = OneRecipient();
  data.sendName = u"山田";
  data.recipients = {{u"鈴木", u"s@example.jp"}};
  const std::string bytes = base::ToAnsi(FormatParaDataLine(data));
  EXPECT_EQ(bytes.substr(0, 5), "\x8e\x52\x93\x63\x1f");
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 1);
}

}  // namespace

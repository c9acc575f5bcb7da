#include "base/text.h"

#include <gtest/gtest.h>

namespace base {
namespace {

TEST(Text, Utf8RoundTripAcrossAllLengths) {
  const std::u16string text = u"a\u00E9録\U0001F600";
  const std::string utf8 = ToUtf8(text);
  EXPECT_EQ(utf8, "a\xC3\xA9\xE9\x8C\xB2\xF0\x9F\x98\x80");
  EXPECT_EQ(FromUtf8(utf8), text);
}

TEST(Text, BrokenUtf8BecomesReplacementCharacters) {
  EXPECT_EQ(FromUtf8("a\xE9\x8C"), u"a\uFFFD\uFFFD");
  EXPECT_EQ(FromUtf8("\x80z"), u"\uFFFDz");
  // Overlong forms, surrogates and values beyond U+10FFFF are refused byte by byte.
  EXPECT_EQ(FromUtf8("\xC0\xAF"), u"\uFFFD\uFFFD");
  EXPECT_EQ(FromUtf8("\xC1\x81"), u"\uFFFD\uFFFD");
  EXPECT_EQ(FromUtf8("\xE0\x80\xAF"), u"\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(FromUtf8("\xF0\x80\x80\xAF"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(FromUtf8("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(FromUtf8("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(FromUtf8("\xF7\xBF\xBF\xBF"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(FromUtf8("\xF8\x88\x80\x80\x80"), std::u16string(5, u'\uFFFD'));
  // The limits themselves are characters.
  EXPECT_EQ(FromUtf8("\xC2\x80\xE0\xA0\x80\xF0\x90\x80\x80\xF4\x8F\xBF\xBF\xEF\xBF\xBF"),
            u"\u0080\u0800\U00010000\U0010FFFF\uFFFF");
}

TEST(Text, AsciiCaseRulesLeaveOtherCharactersAlone) {
  EXPECT_EQ(ToLowerAscii(u"X.WAV録Ａ"), u"x.wav録Ａ");
  EXPECT_TRUE(EqualsIgnoreAsciiCase(u"WaV", u"wav"));
  EXPECT_FALSE(EqualsIgnoreAsciiCase(u"wav", u"wa"));
}

}  // namespace
}  // namespace base

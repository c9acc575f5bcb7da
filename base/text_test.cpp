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
}

TEST(Text, AsciiCaseRulesLeaveOtherCharactersAlone) {
  EXPECT_EQ(ToLowerAscii(u"X.WAV録Ａ"), u"x.wav録Ａ");
  EXPECT_TRUE(EqualsIgnoreAsciiCase(u"WaV", u"wav"));
  EXPECT_FALSE(EqualsIgnoreAsciiCase(u"wav", u"wa"));
}

}  // namespace
}  // namespace base

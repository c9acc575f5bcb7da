#include "app/main/text_limits.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::u16string Repeat(std::u16string_view unit, int count) {
  std::u16string text;
  for (int i = 0; i < count; ++i) text += unit;
  return text;
}

}  // namespace

TEST(TextLimits, FullWidthCountsTwoHalfWidthOne) {
  EXPECT_EQ(GetByteLength(u"録音"), 4);
  EXPECT_EQ(GetByteLength(u"ｱｲ"), 2);
  EXPECT_EQ(GetByteLength(u"\r\n"), 2);
  EXPECT_EQ(GetByteLength(u"\u00E9"), 1);  // outside the code page: "?"
  EXPECT_EQ(GetByteLength(u""), 0);
}

TEST(TextLimits, MessageLimitOf1000Bytes) {
  EXPECT_TRUE(IsShorterThan(Repeat(u"あ", 500), 1001));
  EXPECT_FALSE(IsShorterThan(Repeat(u"あ", 501), 1001));
  EXPECT_TRUE(IsShorterThan(Repeat(u"a", 1000), 1001));
  EXPECT_FALSE(IsShorterThan(Repeat(u"a", 1001), 1001));
  EXPECT_FALSE(IsShorterThan(Repeat(u"あ", 499) + u"abc", 1001));
  EXPECT_FALSE(IsShorterThan(Repeat(u"あ", 499) + u"\r\n\r", 1001));
}

TEST(TextLimits, NameAndMailLimits) {
  EXPECT_TRUE(IsShorterThan(Repeat(u"名", 30), 61));
  EXPECT_FALSE(IsShorterThan(Repeat(u"名", 30) + u"x", 61));
  EXPECT_TRUE(IsShorterThan(Repeat(u"m", 50), 51));
  EXPECT_FALSE(IsShorterThan(Repeat(u"m", 51), 51));
}

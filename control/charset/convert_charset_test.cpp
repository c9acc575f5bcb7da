#include "control/charset/convert_charset.h"

#include <gtest/gtest.h>

namespace zorvel {
namespace {

std::string Convert(std::string_view source, int target) {
  return ConvertCharset(source, kCharsetSourceSjis, target);
}

const std::string kHiraganaA = "\x82\xA0.wav";  // あ.wav in Shift_JIS

TEST(ConvertCharsetTest, HiraganaNameInEachEncoding) {
  EXPECT_EQ(Convert(kHiraganaA, kCharsetSjis), kHiraganaA);
  EXPECT_EQ(Convert(kHiraganaA, kCharsetEuc), "\xA4\xA2.wav");
  EXPECT_EQ(Convert(kHiraganaA, kCharsetJis), "\x1B$B\x24\x22\x1B(J.wav");
  EXPECT_EQ(Convert(kHiraganaA, kCharsetUtf8), "\xE3\x81\x82.wav");
  EXPECT_EQ(Convert(kHiraganaA, kCharsetUcs2), std::string("\x42\x30.\0w\0a\0v\0", 10));
}

TEST(ConvertCharsetTest, KanjiFromTheUpperLeadRangeAndTrailBelow0x9F) {
  // 漢 is 0x8ABF (JIS 0x3441), 字 is 0x8E9A (JIS 0x3B7A), 表 is 0x955C (JIS 0x493D, trail 0x5C).
  EXPECT_EQ(Convert("\x8A\xBF\x8E\x9A", kCharsetEuc), "\xB4\xC1\xBB\xFA");
  EXPECT_EQ(Convert("\x95\x5C", kCharsetEuc), "\xC9\xBD");
  // 亜 0x889F (JIS 0x3021), and 0xE040 (JIS 0x5F21) from the lead range above 0xDF.
  EXPECT_EQ(Convert("\x88\x9F", kCharsetEuc), "\xB0\xA1");
  EXPECT_EQ(Convert("\xE0\x40", kCharsetEuc), "\xDF\xA1");
}

TEST(ConvertCharsetTest, HalfWidthKatakana) {
  const std::string katakana = "\xB1\xB2.wav";  // ｱｲ.wav
  EXPECT_EQ(Convert(katakana, kCharsetEuc), "\x8E\xB1\x8E\xB2.wav");
  EXPECT_EQ(Convert(katakana, kCharsetJis), "\x1B(I\xB1\xB2\x1B(J.wav");
  EXPECT_EQ(Convert(katakana, kCharsetUtf8), "\xEF\xBD\xB1\xEF\xBD\xB2.wav");
}

TEST(ConvertCharsetTest, Iso2022SwitchesOnlyWhenTheKindChanges) {
  // あ ｱ あ a: double, katakana, double, single; the text ends single-byte, so no closing escape.
  EXPECT_EQ(Convert("\x82\xA0\xB1\x82\xA0" "a", kCharsetJis),
            "\x1B$B\x24\x22\x1B(I\xB1\x1B$B\x24\x22\x1B(Ja");
  // Ending in a double-byte character closes with the Roman set.
  EXPECT_EQ(Convert("ab\x82\xA0", kCharsetJis), "ab\x1B$B\x24\x22\x1B(J");
}

TEST(ConvertCharsetTest, ShortAndUnmappableInput) {
  EXPECT_EQ(Convert("\xB1", kCharsetEuc), "\xB1");
  EXPECT_EQ(Convert("\x82", kCharsetUtf8), "\x82");
  EXPECT_EQ(Convert("", kCharsetJis), "");
  // A user-defined character has no JIS code: the black square stands in for it.
  EXPECT_EQ(Convert("\xF0\x40", kCharsetEuc), "\xA2\xA3");
  EXPECT_EQ(Convert("\xF0\x40", kCharsetJis), "\x1B$B\x22\x23\x1B(J");
  // A lead byte cut off at the end is never read past.
  EXPECT_EQ(Convert("a\x82", kCharsetEuc), "a\xA2\xA3");
  // A high byte that is neither a lead byte nor katakana becomes a blank in ISO-2022-JP.
  EXPECT_EQ(Convert("a\x80", kCharsetJis), "a ");
}

}  // namespace
}  // namespace zorvel

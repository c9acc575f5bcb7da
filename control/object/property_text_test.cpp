#include "control/object/property_text.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace zorvel {
namespace {

TEST(PropertyTextTest, ColourTexts) {
  EXPECT_EQ(ColourFromText("#c0c0c0"), Rgb{0xC0C0C0});
  EXPECT_EQ(ColourFromText("#FF8001"), Rgb{0x0180FF}) << "red is the low byte";
  EXPECT_EQ(ColourFromText("x0a0B0c"), Rgb{0x0C0B0A}) << "the first character is not examined";
  EXPECT_EQ(ColourFromText("#ffffff and more"), Rgb{0xFFFFFF});
  EXPECT_FALSE(ColourFromText(""));
  EXPECT_FALSE(ColourFromText("#fff"));
  EXPECT_FALSE(ColourFromText("#gg0000"));
}

TEST(PropertyTextTest, MaxSizeInBytesSaturates) {
  EXPECT_EQ(KilobytesToBytes(100), 102400);
  EXPECT_EQ(KilobytesToBytes(0), 0);
  EXPECT_EQ(KilobytesToBytes(-1), -1024);
  EXPECT_EQ(KilobytesToBytes(3000000), INT32_MAX) << "3 GB must not wrap to a small limit";
}

TEST(PropertyTextTest, CharsetNames) {
  EXPECT_EQ(CharsetCodeFromName("UTF8"), 5);
  EXPECT_EQ(CharsetCodeFromName("Euc"), 2);
  EXPECT_EQ(CharsetCodeFromName("jis"), 3);
  EXPECT_EQ(CharsetCodeFromName("ucs2"), 4);
  EXPECT_EQ(CharsetCodeFromName("sjis"), 0);
  EXPECT_EQ(CharsetCodeFromName("utf-8"), 0);
  EXPECT_EQ(CharsetCodeFromName(""), 0);
}

}  // namespace
}  // namespace zorvel

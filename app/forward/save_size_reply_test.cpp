#include "app/forward/save_size_reply.h"

#include <gtest/gtest.h>

#include "base/app_error.h"

namespace {

TEST(SaveSizeReply, NumbersAreReadWithBlanksSignsGroupsFractionsAndExponents) {
  EXPECT_EQ(SavedSizeFromReply(u"123456"), 123456);
  EXPECT_EQ(SavedSizeFromReply(u"  -1\r\n"), -1);
  EXPECT_EQ(SavedSizeFromReply(u"+1,073,741,000"), 1073741000);
  EXPECT_EQ(SavedSizeFromReply(u"2.5"), 2);
  EXPECT_EQ(SavedSizeFromReply(u"3.5"), 4);
  EXPECT_EQ(SavedSizeFromReply(u"-0.5"), 0);
  EXPECT_EQ(SavedSizeFromReply(u"1e3"), 1000);
  EXPECT_EQ(SavedSizeFromReply(u".5"), 0);
}

TEST(SaveSizeReply, TextThatIsNoNumberCountsAsZero) {
  for (std::u16string_view reply :
       {u"", u"  ", u"error", u"12abc", u"1,", u",1", u"1e", u"-", u"1 2", u"０"}) {
    EXPECT_EQ(SavedSizeFromReply(reply), 0) << std::string(reply.begin(), reply.end());
  }
}

TEST(SaveSizeReply, NumbersBeyondThirtyTwoBitsAreAnOverflow) {
  EXPECT_EQ(SavedSizeFromReply(u"2147483647"), 2147483647);
  EXPECT_EQ(SavedSizeFromReply(u"-2147483648"), INT32_MIN);
  EXPECT_THROW(SavedSizeFromReply(u"2147483648"), AppError);
  EXPECT_THROW(SavedSizeFromReply(u"-1e40"), AppError);
}

// The same reply gives the same figure in the 32-bit and the 64-bit program: halves and the
// last digits a double holds are where a wider register would round differently.
TEST(SaveSizeReply, HalvesRoundToEvenAtEveryEdgeTheSameInBothBuilds) {
  EXPECT_EQ(SavedSizeFromReply(u"1,023.5"), 1024);
  EXPECT_EQ(SavedSizeFromReply(u"0.49999999999999994"), 0);
  EXPECT_EQ(SavedSizeFromReply(u"0.5000000000000001"), 1);
  EXPECT_EQ(SavedSizeFromReply(u"2147483646.5"), 2147483646);
  EXPECT_THROW(SavedSizeFromReply(u"2147483647.5"), AppError);
  EXPECT_EQ(SavedSizeFromReply(u"-2147483648.5"), INT32_MIN);
  EXPECT_THROW(SavedSizeFromReply(u"-2147483649.5"), AppError);
  EXPECT_EQ(SavedSizeFromReply(u"21474836.465e2"), 2147483646);
  EXPECT_EQ(SavedSizeFromReply(u"1e-400"), 0);
}

}  // namespace

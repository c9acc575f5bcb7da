#include "control/window/list_limits.h"

#include <gtest/gtest.h>

namespace zorvel {
namespace {

constexpr int64_t kTwoGb = 2'147'483'647;

TEST(ListLimitsTest, TheTotalStaysWithinSizeAndMaxSize) {
  EXPECT_EQ(ListLimit(0), kTwoGb);
  EXPECT_EQ(ListLimit(-5), kTwoGb);
  EXPECT_EQ(ListLimit(1024), 1024);
  EXPECT_EQ(CheckListedSize(1024, 0, 1024), ListedSize::kFits);
  EXPECT_EQ(CheckListedSize(1, 1024, 1024), ListedSize::kTooLarge);
  // Two files that each fit, and together pass what a 32-bit count holds.
  EXPECT_EQ(CheckListedSize(1'500'000'000, 0, 0), ListedSize::kFits);
  EXPECT_EQ(CheckListedSize(1'500'000'000, 1'500'000'000, 0), ListedSize::kTooLarge);
  EXPECT_EQ(CheckListedSize(5'000'000'000, 0, 0), ListedSize::kTooLarge);
  EXPECT_EQ(CheckListedSize(kTwoGb, 0, 0), ListedSize::kFits);
}

TEST(ListLimitsTest, UnreadableAndEmptyFilesAreRefused) {
  EXPECT_EQ(CheckListedSize(-1, 0, 0), ListedSize::kNotOpened);
  EXPECT_EQ(CheckListedSize(0, 0, 0), ListedSize::kEmpty);
}

}  // namespace
}  // namespace zorvel

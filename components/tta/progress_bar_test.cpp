#include "components/tta/progress_bar.h"

#include <gtest/gtest.h>

namespace tta {
namespace {

TEST(ProgressBarTest, FillsInProportionAndNeverOverflows) {
  EXPECT_EQ(RenderProgressBar(0, 200, 10), "[----------]   0%");
  EXPECT_EQ(RenderProgressBar(99, 200, 10), "[####------]  49%");
  EXPECT_EQ(RenderProgressBar(200, 200, 10), "[##########] 100%");
  EXPECT_EQ(RenderProgressBar(500, 200, 10), "[##########] 100%");
  EXPECT_EQ(RenderProgressBar(0, 0, 4), "[####] 100%");
  EXPECT_EQ(ProgressPercent(uint64_t{3} << 40, uint64_t{4} << 40), 75u);
}

}  // namespace
}  // namespace tta

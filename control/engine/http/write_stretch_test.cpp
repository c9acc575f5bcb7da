#include "control/engine/http/write_stretch.h"

#include <gtest/gtest.h>

namespace zorvel {
namespace {

TEST(WriteStretchTest, GrowsWhileTheSocketKeepsUpAndFallsBackAfterAWait) {
  WriteStretch stretch;
  EXPECT_EQ(stretch.Blocks(), WriteStretch::kLeastBlocks);
  for (int i = 0; i < 10; ++i) stretch.Written(false);
  EXPECT_EQ(stretch.Blocks(), WriteStretch::kMostBlocks) << "capped: the read buffer's size";
  stretch.Written(true);
  EXPECT_EQ(stretch.Blocks(), WriteStretch::kLeastBlocks) << "a slow line keeps small writes";
  stretch.Written(false);
  EXPECT_EQ(stretch.Blocks(), 2 * WriteStretch::kLeastBlocks);
}

}  // namespace
}  // namespace zorvel

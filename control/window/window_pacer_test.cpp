#include "control/window/window_pacer.h"

#include <gtest/gtest.h>

namespace zorvel {
namespace {

TEST(WindowPacerTest, LooksForMessagesAtOnceWhileTheyComeAndEveryIntervalOtherwise) {
  WindowPacer pacer;
  EXPECT_TRUE(pacer.PumpDue(1000));  // the first block always looks
  pacer.Pumped(1000, false);
  EXPECT_FALSE(pacer.PumpDue(1000));
  EXPECT_FALSE(pacer.PumpDue(1009));
  EXPECT_TRUE(pacer.PumpDue(1010));
  pacer.Pumped(1010, true);
  EXPECT_TRUE(pacer.PumpDue(1010)) << "a backlog drains a message per block";
  pacer.Pumped(1010, false);
  EXPECT_FALSE(pacer.PumpDue(1011));
  // The tick count wraps after 49.7 days.
  pacer.Pumped(0xFFFFFFFAu, false);
  EXPECT_FALSE(pacer.PumpDue(2));
  EXPECT_TRUE(pacer.PumpDue(4));
}

TEST(WindowPacerTest, DrawsAtMostEveryIntervalAndLeavesNoFiguresUndrawn) {
  WindowPacer pacer;
  EXPECT_FALSE(pacer.Flush(0)) << "nothing to draw before the first figures";
  EXPECT_TRUE(pacer.DrawDue(500));
  EXPECT_FALSE(pacer.Flush(500)) << "the figures were drawn";
  EXPECT_FALSE(pacer.DrawDue(505));
  EXPECT_FALSE(pacer.DrawDue(509));
  EXPECT_TRUE(pacer.Flush(509)) << "the last figures are still to be drawn";
  EXPECT_FALSE(pacer.Flush(509));
  EXPECT_FALSE(pacer.DrawDue(518)) << "the flush counts as a drawing";
  EXPECT_TRUE(pacer.DrawDue(519));
}

}  // namespace
}  // namespace zorvel

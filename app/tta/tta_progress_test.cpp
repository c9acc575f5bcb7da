#include "app/tta/tta_progress.h"

#include <gtest/gtest.h>

namespace {

TEST(TtaProgress, UnitRoundsHalvesToEven) {
  EXPECT_EQ(tta_progress::UnitFor(0), 1);
  EXPECT_EQ(tta_progress::UnitFor(149), 2);
  EXPECT_EQ(tta_progress::UnitFor(150), 2);
  EXPECT_EQ(tta_progress::UnitFor(151), 3);
  EXPECT_EQ(tta_progress::UnitFor(250), 4);
  EXPECT_EQ(tta_progress::UnitFor(1073741823), 10737419);
}

TEST(TtaProgress, AtMostOneStepPerReport) {
  EXPECT_EQ(tta_progress::StepAfter(1, 10, 10), 1);
  EXPECT_EQ(tta_progress::StepAfter(1, 10, 11), 2);
  EXPECT_EQ(tta_progress::StepAfter(1, 10, 1000), 2);
  // Past the source's end the count still grows one by one, without overflowing the product.
  EXPECT_EQ(tta_progress::StepAfter(120, 20000000, 2147483647), 120);
}

}  // namespace

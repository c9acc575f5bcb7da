#include "control/window/progress_text.h"

#include <gtest/gtest.h>

namespace zorvel {
namespace {

const std::string kRemainFormat = "left %d:%d";

TEST(ProgressTextTest, SmallTotalsShowOnlyTheBytes) {
  const ProgressTexts texts = MakeProgressTexts(1000, 1000, 500, kRemainFormat);
  EXPECT_EQ(texts.progress, "1000  100%");
  EXPECT_FALSE(texts.remain);
}

TEST(ProgressTextTest, RateAndRemainingTime) {
  // 2048 bytes within two seconds: 20 tenths of a kilobyte per second.
  ProgressTexts texts = MakeProgressTexts(2048, 2048, 1500, kRemainFormat);
  EXPECT_EQ(texts.progress, "2KB  100%  2.0KB/sec");
  EXPECT_EQ(texts.remain, "left 0:0");
  // A rate below one kilobyte per second has no leading digit.
  texts = MakeProgressTexts(1'000'000, 714, 1000, kRemainFormat);
  EXPECT_EQ(texts.progress, "0KB  0%  .7KB/sec");
  EXPECT_EQ(texts.remain, "left 23:19") << "(999286 / 102) / 7 = 1399 seconds";
}

TEST(ProgressTextTest, FiguresAreWrittenOnlyWhenNotedSinceAndKeepTheLastRemainingTime) {
  ProgressFigures figures;
  figures.Start(1'000'000, kRemainFormat);
  std::string progress = "before", remain = "kept";
  figures.Settle(progress, remain);
  EXPECT_EQ(progress, "before") << "nothing noted yet";
  figures.Note(8000, 1000);
  figures.Note(16000, 1000);
  figures.Settle(progress, remain);
  EXPECT_EQ(progress, MakeProgressTexts(1'000'000, 16000, 1000, kRemainFormat).progress)
      << "the latest block's figures";
  EXPECT_EQ(remain, "left 1:1") << "(984000 / 102) / 156 = 61 seconds";
  progress = "read by the host";
  figures.Settle(progress, remain);
  EXPECT_EQ(progress, "read by the host") << "settled once";
  figures.Note(500'000, 2000);
  figures.Settle(progress, remain);
  EXPECT_EQ(remain, "left 0:2") << "a new remaining time is made again";
  figures.Start(1000, kRemainFormat);
  remain = "kept";
  figures.Note(1000, 500);
  figures.Settle(progress, remain);
  EXPECT_EQ(progress, "1000  100%");
  EXPECT_EQ(remain, "kept") << "small totals show no remaining time";
}

TEST(ProgressTextTest, ElapsedTimeAcrossMidnightAndItsFloor) {
  EXPECT_EQ(ElapsedMs({23, 59, 59, 500}, {0, 0, 1, 0}), 1500);
  EXPECT_EQ(ElapsedMs({10, 0, 0, 0}, {10, 0, 0, 3}), 10);
  EXPECT_EQ(ElapsedMs({10, 0, 0, 0}, {10, 1, 0, 0}), 60000);
}

}  // namespace
}  // namespace zorvel

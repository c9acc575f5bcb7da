#include "control/window/log_text.h"

#include <gtest/gtest.h>

namespace zorvel {
namespace {

constexpr LocalTime kTime{2026, 3, 4, 5, 6, 7};

TEST(LogTextTest, StampAndTrimming) {
  EXPECT_EQ(MakeLogLine(kTime, "  abc\r\n"), "2026/03/04 05:06:07  abc");
  EXPECT_EQ(MakeLogLine(kTime, "a b\tc"), "2026/03/04 05:06:07  a b\tc");
  EXPECT_EQ(MakeLogLine(kTime, "\r\n"), "2026/03/04 05:06:07");
  // A line that ends in a double-byte character (あ) keeps it whole.
  EXPECT_EQ(MakeLogLine(kTime, "x\x82\xA0"), "2026/03/04 05:06:07  x\x82\xA0");
  const std::string longText(10000, 'x');
  EXPECT_EQ(MakeLogLine(kTime, longText).size(), 21 + longText.size());
}

TEST(LogTextTest, NoticesAreTrimmedWithoutAStamp) {
  EXPECT_EQ(TrimLogText("\t 2026/01/01 00:00:00  220 ready\r\n"), "2026/01/01 00:00:00  220 ready");
  EXPECT_EQ(TrimLogText(" \r\n"), "");
}

}  // namespace
}  // namespace zorvel

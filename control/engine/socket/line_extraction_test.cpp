#include "control/engine/socket/line_extraction.h"

#include <gtest/gtest.h>

#include <string>

TEST(LineExtraction, TakesLinesEndingInLfOrCrLfWithoutTerminator) {
  ByteBuffer buffer;
  ASSERT_TRUE(buffer.Append("HTTP/1.0 200 OK\r\nServer: x\nlast\r\n"));
  int32_t offset = 0;
  EXPECT_EQ(ExtractLine(buffer, offset), "HTTP/1.0 200 OK");
  EXPECT_EQ(offset, 17);
  EXPECT_EQ(buffer.Data()[15], '\0');
  EXPECT_EQ(ExtractLine(buffer, offset), "Server: x");
  EXPECT_EQ(ExtractLine(buffer, offset), "last");
  // Everything handed out: the buffer starts over.
  EXPECT_EQ(offset, 0);
  EXPECT_EQ(buffer.Length(), 0);
  EXPECT_EQ(ExtractLine(buffer, offset), std::nullopt);
}

TEST(LineExtraction, KeepsLoneCrAndEmptyLines) {
  ByteBuffer buffer;
  ASSERT_TRUE(buffer.Append("a\rb\r\n\r\n\n"));
  int32_t offset = 0;
  EXPECT_EQ(ExtractLine(buffer, offset), "a\rb");
  EXPECT_EQ(ExtractLine(buffer, offset), "");
  EXPECT_EQ(ExtractLine(buffer, offset), "");
  EXPECT_EQ(buffer.Length(), 0);
}

TEST(LineExtraction, WaitsForTheTerminator) {
  ByteBuffer buffer;
  int32_t offset = 0;
  EXPECT_EQ(ExtractLine(buffer, offset), std::nullopt);
  ASSERT_TRUE(buffer.Append("220 ready\r"));
  EXPECT_EQ(ExtractLine(buffer, offset), std::nullopt);
  EXPECT_EQ(offset, 0);
  EXPECT_EQ(buffer.Length(), 10);
  // The LF of a CR LF split over two receives still ends the line at the CR.
  ASSERT_TRUE(buffer.Append("\n2"));
  EXPECT_EQ(ExtractLine(buffer, offset), "220 ready");
  EXPECT_EQ(offset, 11);
  EXPECT_EQ(ExtractLine(buffer, offset), std::nullopt);
  EXPECT_EQ(offset, 11);
}

TEST(LineExtraction, CutsToCapacityLessOne) {
  EXPECT_EQ(CutToCapacity("abcdef", 4), "abc");
  EXPECT_EQ(CutToCapacity("abc", 4), "abc");
  EXPECT_EQ(CutToCapacity("abc", 1), "");
  EXPECT_EQ(CutToCapacity("abc", 0), "");
}

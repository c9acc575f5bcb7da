#include "control/engine/socket/byte_buffer.h"

#include <gtest/gtest.h>

#include <string>

TEST(ByteBuffer, GrowsByNeedPlusSlackAndKeepsContentTerminated) {
  ByteBuffer buffer;
  EXPECT_STREQ(buffer.Text(), "");
  buffer.Append("abc", 3);
  EXPECT_EQ(buffer.Capacity(), 3 + 2048);
  EXPECT_EQ(buffer.Data()[3], '\0');

  // Filling up to one byte below the capacity leaves room for the 0 and keeps the block.
  const char* block = buffer.Data();
  buffer.Append(std::string(2047, 'x'));
  EXPECT_EQ(buffer.Length(), 2050);
  EXPECT_EQ(buffer.Data(), block);
  EXPECT_EQ(buffer.Data()[2050], '\0');

  // Reaching the capacity exactly would leave no room for the 0: the block grows.
  buffer.Append("y", 1);
  EXPECT_EQ(buffer.Capacity(), 2051 + 1 + 2048);
  EXPECT_EQ(buffer.View().substr(0, 3), "abc");
  EXPECT_EQ(buffer.View().back(), 'y');
  EXPECT_EQ(buffer.Data()[buffer.Length()], '\0');
}

TEST(ByteBuffer, IgnoresEmptyAndNegativeAppends) {
  ByteBuffer buffer;
  buffer.Append("abc", 0);
  buffer.Append("abc", -5);
  EXPECT_EQ(buffer.Length(), 0);
  EXPECT_EQ(buffer.Capacity(), 0);
}

TEST(ByteBuffer, ConsumeRemovesFrontWithinBoundsOnly) {
  ByteBuffer buffer;
  buffer.Append("hello world");
  buffer.Consume(6);
  EXPECT_STREQ(buffer.Text(), "world");
  buffer.Consume(-1);
  buffer.Consume(6);
  EXPECT_STREQ(buffer.Text(), "world");
  buffer.Consume(0);
  EXPECT_STREQ(buffer.Text(), "world");
  buffer.Consume(5);
  EXPECT_EQ(buffer.Length(), 0);
  EXPECT_STREQ(buffer.Text(), "");
}

TEST(ByteBuffer, EmptyKeepsBlockForReuse) {
  ByteBuffer buffer;
  buffer.Append("some bytes");
  const int capacity = buffer.Capacity();
  buffer.Empty();
  EXPECT_EQ(buffer.Length(), 0);
  EXPECT_STREQ(buffer.Text(), "");
  buffer.Append("new");
  EXPECT_EQ(buffer.Capacity(), capacity);
  EXPECT_STREQ(buffer.Text(), "new");
}

TEST(ByteBuffer, HoldsZeroBytesInsideContent) {
  ByteBuffer buffer;
  buffer.Append(std::string_view("a\0b", 3));
  EXPECT_EQ(buffer.View(), std::string_view("a\0b", 3));
}

#include "control/engine/socket/byte_buffer.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

TEST(ByteBuffer, GrowsAndKeepsContentTerminated) {
  ByteBuffer buffer;
  EXPECT_STREQ(buffer.Text(), "");
  ASSERT_TRUE(buffer.Append("abc", 3));
  EXPECT_EQ(buffer.Data()[3], '\0');
  const int32_t capacity = buffer.Capacity();
  EXPECT_GE(capacity, 4);

  // Filling up to one byte below the capacity leaves room for the 0 and keeps the block.
  const char* block = buffer.Data();
  ASSERT_TRUE(buffer.Append(std::string(static_cast<size_t>(capacity - 4), 'x')));
  EXPECT_EQ(buffer.Length(), capacity - 1);
  EXPECT_EQ(buffer.Data(), block);
  EXPECT_EQ(buffer.Data()[capacity - 1], '\0');

  // Reaching the capacity exactly would leave no room for the 0: the block grows.
  ASSERT_TRUE(buffer.Append("y", 1));
  EXPECT_GE(buffer.Capacity(), 2 * capacity);
  EXPECT_EQ(buffer.View().substr(0, 3), "abc");
  EXPECT_EQ(buffer.View().back(), 'y');
  EXPECT_EQ(buffer.Data()[buffer.Length()], '\0');
}

// A fast peer appends without end: the block must grow geometrically, or 32 MB in small pieces
// costs thousands of copies of everything received so far.
TEST(ByteBuffer, AStreamOfSmallAppendsReallocatesRarely) {
  ByteBuffer buffer;
  const std::string piece(1000, 'p');
  int reallocations = 0;
  const char* block = nullptr;
  for (int i = 0; i < 32'000; ++i) {
    ASSERT_TRUE(buffer.Append(piece));
    if (buffer.Data() != block) {
      block = buffer.Data();
      ++reallocations;
    }
  }
  EXPECT_EQ(buffer.Length(), 32'000'000);
  EXPECT_LT(reallocations, 20);
}

TEST(ByteBuffer, AnAppendPastTheSizeLimitIsRefusedAndKeepsTheContent) {
  ByteBuffer buffer;
  ASSERT_TRUE(buffer.Append("kept"));
  EXPECT_FALSE(buffer.Append("x", std::numeric_limits<int32_t>::max()));
  EXPECT_STREQ(buffer.Text(), "kept");
}

TEST(ByteBuffer, IgnoresEmptyAndNegativeAppends) {
  ByteBuffer buffer;
  EXPECT_TRUE(buffer.Append("abc", 0));
  EXPECT_TRUE(buffer.Append("abc", -5));
  EXPECT_EQ(buffer.Length(), 0);
  EXPECT_EQ(buffer.Capacity(), 0);
}

TEST(ByteBuffer, ConsumeRemovesFrontWithinBoundsOnly) {
  ByteBuffer buffer;
  ASSERT_TRUE(buffer.Append("hello world"));
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
  ASSERT_TRUE(buffer.Append("some bytes"));
  const int capacity = buffer.Capacity();
  buffer.Empty();
  EXPECT_EQ(buffer.Length(), 0);
  EXPECT_STREQ(buffer.Text(), "");
  ASSERT_TRUE(buffer.Append("new"));
  EXPECT_EQ(buffer.Capacity(), capacity);
  EXPECT_STREQ(buffer.Text(), "new");
}

TEST(ByteBuffer, HoldsZeroBytesInsideContent) {
  ByteBuffer buffer;
  ASSERT_TRUE(buffer.Append(std::string_view("a\0b", 3)));
  EXPECT_EQ(buffer.View(), std::string_view("a\0b", 3));
}

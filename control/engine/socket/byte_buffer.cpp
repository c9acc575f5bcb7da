#include "control/engine/socket/byte_buffer.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace {
constexpr int64_t kGrowthSlack = 2048;
}  // namespace

bool ByteBuffer::Append(const void* bytes, int32_t count) {
  if (count < 1) return true;
  const int64_t needed = static_cast<int64_t>(length_) + count + 1;  // and the 0 after it
  if (needed > capacity_) {
    const int64_t limit = std::numeric_limits<int32_t>::max();
    if (needed > limit) return false;
    const int64_t grown =
        std::min(limit, std::max(needed + kGrowthSlack, static_cast<int64_t>(capacity_) * 2));
    std::unique_ptr<char[]> block(new (std::nothrow) char[static_cast<size_t>(grown)]);
    if (!block) return false;
    if (length_ > 0) std::memcpy(block.get(), data_.get(), static_cast<size_t>(length_));
    data_ = std::move(block);
    capacity_ = static_cast<int32_t>(grown);
  }
  std::memcpy(data_.get() + length_, bytes, static_cast<size_t>(count));
  length_ += count;
  data_[length_] = '\0';
  return true;
}

void ByteBuffer::Consume(int32_t count) {
  // Consuming everything must empty the buffer: a caller that hands out all bytes and then
  // consumes them would otherwise see them again.
  if (count < 0 || count > length_ || !data_) return;
  std::memmove(data_.get(), data_.get() + count, static_cast<size_t>(length_ - count));
  length_ -= count;
  data_[length_] = '\0';
}

void ByteBuffer::Empty() {
  length_ = 0;
  if (data_) data_[0] = '\0';
}

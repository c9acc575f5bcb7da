// Writes the Rice codes of TTA frames, least significant bit first, straight into a buffer
// that drains to the sink, and keeps each frame's CRC on the way. Memory stays at one buffer
// however long the stream is.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "components/tta/byte_stream.h"

namespace tta {

class BitWriter {
 public:
  explicit BitWriter(ByteSink& sink);

  // `ones` one-bits, a zero bit, then the low `k` bits of `low`.
  void PutRice(uint32_t ones, uint32_t low, unsigned k) {
    const unsigned length = ones + 1 + k;
    if (length <= 32) {
      Put(static_cast<uint32_t>(((uint64_t{1} << ones) - 1) | (uint64_t{low} << (ones + 1))),
          length);
    } else {
      PutLongRice(ones, low, k);
    }
  }

  // Pads the frame to a whole byte, appends its CRC and returns its length, CRC included.
  uint32_t EndFrame();

  // Hands every buffered byte to the sink.
  void Drain();

  uint64_t bytesProduced() const { return drained_ + used_; }

 private:
  // Appends `count` bits (at most 32) of `bits`, which has no bits above them.
  void Put(uint32_t bits, unsigned count) {
    acc_ |= uint64_t{bits} << fill_;
    fill_ += count;
    if (fill_ >= 32) {
      const uint32_t word = static_cast<uint32_t>(acc_);
      uint8_t* out = buffer_.data() + used_;
      out[0] = static_cast<uint8_t>(word);
      out[1] = static_cast<uint8_t>(word >> 8);
      out[2] = static_cast<uint8_t>(word >> 16);
      out[3] = static_cast<uint8_t>(word >> 24);
      used_ += 4;
      acc_ >>= 32;
      fill_ -= 32;
      if (used_ >= kCapacity) Drain();
    }
  }
  void PutLongRice(uint32_t ones, uint32_t low, unsigned k);

  static constexpr size_t kCapacity = 64 * 1024;

  ByteSink& sink_;
  std::vector<uint8_t> buffer_;
  size_t used_ = 0;
  size_t crcFrom_ = 0;  // buffered bytes before this are already in crc_
  uint64_t drained_ = 0;
  uint64_t frameStart_ = 0;
  uint64_t acc_ = 0;
  unsigned fill_ = 0;
  uint32_t crc_ = 0;
};

}  // namespace tta

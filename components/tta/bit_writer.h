// Writes the Rice codes of TTA frames, least significant bit first, into a buffer that drains
// to the sink, and keeps each frame's CRC on the way. Memory stays at one buffer however long
// the stream is.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "components/tta/byte_stream.h"

namespace tta {

// The write position of the encoding loop, kept in a local so that the compiler can hold it
// in registers; the loop hands it back to the writer to drain.
struct WriteWindow {
  uint8_t* out;
  uint8_t* limit;  // while out <= limit, one more short code fits
  uint64_t pending;
  unsigned pendingBits;  // below 32
};

// Appends `count` bits (at most 32) of `bits`, which has no bits above them.
inline void PutBits(WriteWindow& w, uint32_t bits, unsigned count) {
  w.pending |= uint64_t{bits} << w.pendingBits;
  w.pendingBits += count;
  if (w.pendingBits >= 32) {
    uint32_t word = static_cast<uint32_t>(w.pending);
    if constexpr (__BYTE_ORDER__ == __ORDER_BIG_ENDIAN__) word = __builtin_bswap32(word);
    std::memcpy(w.out, &word, 4);
    w.out += 4;
    w.pending >>= 32;
    w.pendingBits -= 32;
  }
}

class BitWriter {
 public:
  explicit BitWriter(ByteSink& sink);

  WriteWindow window() {
    return {buffer_.data() + used_, buffer_.data() + kCapacity, pending_, pendingBits_};
  }
  void Return(WriteWindow w) {
    used_ = static_cast<size_t>(w.out - buffer_.data());
    pending_ = w.pending;
    pendingBits_ = w.pendingBits;
  }

  // `ones` one-bits, a zero bit, then the low `k` bits of `low`.
  void PutRice(WriteWindow& w, uint32_t ones, uint32_t low, unsigned k) {
    const unsigned length = ones + 1 + k;
    if (length <= 32) {
      if (w.out > w.limit) w = Drain(w);
      PutBits(w, static_cast<uint32_t>(((uint64_t{1} << ones) - 1) | (uint64_t{low} << (ones + 1))),
              length);
    } else {
      w = PutLongRice(w, ones, low, k);
    }
  }

  // Pads the frame to a whole byte, appends its CRC and returns its length, CRC included.
  uint32_t EndFrame();

  // Hands every whole buffered byte to the sink. Windows pass by value so that the encoding
  // loop can keep its own in registers.
  WriteWindow Drain(WriteWindow w);
  void Drain() { Return(Drain(window())); }

 private:
  WriteWindow PutLongRice(WriteWindow w, uint32_t ones, uint32_t low, unsigned k);
  uint64_t bytesProduced() const { return drained_ + used_; }

  static constexpr size_t kCapacity = 64 * 1024;

  ByteSink& sink_;
  std::vector<uint8_t> buffer_;
  size_t used_ = 0;
  size_t crcFrom_ = 0;  // buffered bytes before this are already in crc_
  uint64_t drained_ = 0;
  uint64_t frameStart_ = 0;
  uint64_t pending_ = 0;
  unsigned pendingBits_ = 0;
  uint32_t crc_ = 0;
};

}  // namespace tta

// Reads a TTA stream through one fixed buffer: byte-aligned fields (header, seek table, CRCs)
// and the Rice codes of the frames, least significant bit first. Frame bytes are checked
// against the frame's CRC as they pass. Reading past the end of the source is damage, found
// within a few codes rather than at the frame's end.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "components/tta/byte_stream.h"

namespace tta {

class BitReader {
 public:
  explicit BitReader(ByteSource& source);

  // Up to `size` whole bytes at a byte boundary; fewer only at the end of the source.
  size_t ReadSome(uint8_t* out, size_t size);
  // Exactly `size` bytes; a shorter source is truncated data.
  void ReadBytes(uint8_t* out, size_t size);

  void BeginFrame();
  // Skips to the next byte boundary and checks the frame's CRC, which follows there.
  void EndFrame();

  // The number of one-bits before the next zero bit, consuming both.
  uint32_t ReadUnary() {
    const uint64_t inverted = ~Peek();
    if ((inverted & kWindowMask) == 0) return ReadLongUnary();
    const unsigned ones = static_cast<unsigned>(__builtin_ctzll(inverted));
    bitPos_ += ones + 1;
    return ones;
  }

  // The next `count` bits (at most 32).
  uint32_t ReadBits(unsigned count) {
    const uint64_t window = Peek();
    bitPos_ += count;
    return static_cast<uint32_t>(window & ((uint64_t{1} << count) - 1));
  }

  // Bytes of the source consumed so far (a partly read byte counts).
  uint64_t consumed() const { return base_ + (bitPos_ + 7) / 8; }

 private:
  // At least the next 57 bits, in the low bits of the result.
  uint64_t Peek() {
    size_t byte = bitPos_ >> 3;
    if (byte + 8 > available_) {
      Refill();
      byte = bitPos_ >> 3;
    }
    uint64_t word;
    std::memcpy(&word, buffer_.data() + byte, 8);
    return LittleEndian(word) >> (bitPos_ & 7);
  }
  static uint64_t LittleEndian(uint64_t word) {
    if constexpr (__BYTE_ORDER__ == __ORDER_BIG_ENDIAN__) return __builtin_bswap64(word);
    return word;
  }
  void Refill();
  uint32_t ReadLongUnary();

  static constexpr size_t kCapacity = 64 * 1024;
  static constexpr unsigned kWindowBits = 57;
  static constexpr uint64_t kWindowMask = (uint64_t{1} << kWindowBits) - 1;

  ByteSource& source_;
  std::vector<uint8_t> buffer_;  // kCapacity bytes and 8 zero bytes of padding
  size_t available_ = 0;
  uint64_t bitPos_ = 0;  // consumed bits, counted from the buffer's start
  uint64_t base_ = 0;    // source offset of the buffer's first byte
  bool atEnd_ = false;
  bool inFrame_ = false;
  size_t frameFrom_ = 0;  // frame bytes before this are already in crc_
  uint32_t crc_ = 0;
};

}  // namespace tta

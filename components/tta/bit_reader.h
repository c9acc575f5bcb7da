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

// The read position of the decoding loop. The loop keeps it in a local, where the compiler
// can hold it in registers, and hands it back to the reader only to refill.
// Positions stay within one buffer, so they are machine words: on a 32-bit build that keeps
// their arithmetic to single registers.
struct ReadWindow {
  const uint8_t* data;
  size_t pos;        // in bits from `data`
  size_t fastLimit;  // while pos <= fastLimit the next 128 bits are buffered
};

// At least the next 57 bits, in the low bits of the result.
inline uint64_t PeekBits(const ReadWindow& w) {
  uint64_t word;
  std::memcpy(&word, w.data + (w.pos >> 3), 8);
  if constexpr (__BYTE_ORDER__ == __ORDER_BIG_ENDIAN__) word = __builtin_bswap64(word);
  return word >> (w.pos & 7);
}

constexpr unsigned kPeekBits = 57;
constexpr uint64_t kPeekMask = (uint64_t{1} << kPeekBits) - 1;

// At least the next 25 bits, in the low bits of the result: on a 32-bit build one register,
// where a 64-bit peek takes a pair and double shifts.
inline uint32_t PeekWord(const ReadWindow& w) {
  uint32_t word;
  std::memcpy(&word, w.data + (w.pos >> 3), 4);
  if constexpr (__BYTE_ORDER__ == __ORDER_BIG_ENDIAN__) word = __builtin_bswap32(word);
  return word >> (w.pos & 7);
}

constexpr unsigned kWordPeekBits = 25;
constexpr uint32_t kWordPeekMask = (uint32_t{1} << kWordPeekBits) - 1;

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

  ReadWindow window() const {
    return {buffer_.data(), static_cast<size_t>(bitPos_), static_cast<size_t>(FastLimit())};
  }
  void Return(ReadWindow w) { bitPos_ = w.pos; }

  // Makes the next 128 bits readable from the returned window (zeros past the end of the
  // source). Throws CodecError(kMalformedData) once bits past the end have been consumed.
  // Windows pass by value so that the decoding loop can keep its own in registers.
  ReadWindow Refill(ReadWindow w);

  // A unary code too long for one peek: counts its one-bits and consumes it.
  struct LongUnary {
    ReadWindow window;
    uint32_t ones;
  };
  LongUnary ReadLongUnary(ReadWindow w);

  // Bytes of the source consumed so far (a partly read byte counts).
  uint64_t consumed() const { return base_ + (bitPos_ + 7) / 8; }

 private:
  uint64_t FastLimit() const {
    return available_ >= kPadding ? uint64_t{available_ - kPadding} * 8 : 0;
  }
  void Fill();

  static constexpr size_t kCapacity = 64 * 1024;
  static constexpr size_t kPadding = 16;

  ByteSource& source_;
  std::vector<uint8_t> buffer_;  // kCapacity bytes, then kPadding zero bytes
  size_t available_ = 0;
  uint64_t bitPos_ = 0;  // consumed bits, counted from the buffer's start
  uint64_t base_ = 0;    // source offset of the buffer's first byte
  bool atEnd_ = false;
  bool inFrame_ = false;
  size_t frameFrom_ = 0;  // frame bytes before this are already in crc_
  uint32_t crc_ = 0;
};

}  // namespace tta

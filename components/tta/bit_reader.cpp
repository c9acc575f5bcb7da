#include "components/tta/bit_reader.h"

#include <algorithm>

#include "components/tta/audio_format.h"
#include "components/tta/status.h"
#include "components/tta/tta_format.h"

namespace tta {

BitReader::BitReader(ByteSource& source) : source_(source), buffer_(kCapacity + kPadding) {}

void BitReader::Fill() {
  if (atEnd_) {
    // The padding beyond the data reads as zeros, which ends any unary code; having used
    // any of it means the stream ran out in the middle of a frame.
    if (bitPos_ > uint64_t{available_} * 8) throw CodecError(Status::kMalformedData);
    return;
  }
  const size_t keepFrom = static_cast<size_t>(bitPos_ >> 3);
  if (inFrame_) {
    crc_ = Crc32(crc_, buffer_.data() + frameFrom_, keepFrom - frameFrom_);
    frameFrom_ = 0;
  }
  std::memmove(buffer_.data(), buffer_.data() + keepFrom, available_ - keepFrom);
  available_ -= keepFrom;
  base_ += keepFrom;
  bitPos_ -= uint64_t{keepFrom} * 8;
  available_ += ReadUpTo(source_, buffer_.data() + available_, kCapacity - available_);
  atEnd_ = available_ < kCapacity;
  std::fill(buffer_.begin() + available_, buffer_.end(), 0);
}

ReadWindow BitReader::Refill(ReadWindow w) {
  bitPos_ = w.pos;
  if (bitPos_ > FastLimit()) Fill();
  return window();
}

BitReader::LongUnary BitReader::ReadLongUnary(ReadWindow w) {
  uint64_t ones = 0;
  for (;;) {
    if (w.pos > w.fastLimit) w = Refill(w);
    const uint64_t inverted = ~PeekBits(w) & kPeekMask;
    if (inverted != 0) {
      const unsigned run = static_cast<unsigned>(__builtin_ctzll(inverted));
      w.pos += run + 1;
      ones += run;
      break;
    }
    w.pos += kPeekBits;
    ones += kPeekBits;
    if (ones > UINT32_MAX) throw CodecError(Status::kMalformedData);
  }
  return {w, static_cast<uint32_t>(ones)};
}

size_t BitReader::ReadSome(uint8_t* out, size_t size) {
  bitPos_ = (bitPos_ + 7) & ~uint64_t{7};
  size_t done = 0;
  while (done < size) {
    size_t byte = static_cast<size_t>(bitPos_ >> 3);
    if (byte >= available_) {
      Fill();
      byte = static_cast<size_t>(bitPos_ >> 3);
      if (byte >= available_) break;
    }
    const size_t n = std::min(size - done, available_ - byte);
    std::memcpy(out + done, buffer_.data() + byte, n);
    done += n;
    bitPos_ += uint64_t{n} * 8;
  }
  return done;
}

void BitReader::ReadBytes(uint8_t* out, size_t size) {
  if (ReadSome(out, size) != size) throw CodecError(Status::kMalformedData);
}

void BitReader::BeginFrame() {
  bitPos_ = (bitPos_ + 7) & ~uint64_t{7};
  // A frame may start the source (runs of frames decoded apart), where nothing is buffered
  // yet and the decoding loop's first window would otherwise look full.
  if (bitPos_ >= FastLimit()) Fill();
  inFrame_ = true;
  crc_ = 0;
  frameFrom_ = static_cast<size_t>(bitPos_ >> 3);
}

void BitReader::EndFrame() {
  bitPos_ = (bitPos_ + 7) & ~uint64_t{7};
  const size_t end = static_cast<size_t>(bitPos_ >> 3);
  if (end > available_) throw CodecError(Status::kMalformedData);
  crc_ = Crc32(crc_, buffer_.data() + frameFrom_, end - frameFrom_);
  inFrame_ = false;
  uint8_t stored[kCrcSize];
  ReadBytes(stored, sizeof stored);
  if (LoadLe32(stored) != crc_) throw CodecError(Status::kMalformedData);
}

}  // namespace tta

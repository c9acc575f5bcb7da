#include "components/tta/bit_writer.h"

#include "components/tta/status.h"
#include "components/tta/tta_format.h"

namespace tta {

BitWriter::BitWriter(ByteSink& sink) : sink_(sink), buffer_(kCapacity + 8) {}

void BitWriter::PutLongRice(uint32_t ones, uint32_t low, unsigned k) {
  for (; ones >= 32; ones -= 32) Put(0xFFFFFFFFu, 32);
  Put((1u << ones) - 1, ones + 1);
  if (k > 0) Put(low & static_cast<uint32_t>((uint64_t{1} << k) - 1), k);
}

uint32_t BitWriter::EndFrame() {
  while (fill_ > 0) {
    buffer_[used_++] = static_cast<uint8_t>(acc_);
    acc_ >>= 8;
    fill_ = fill_ > 8 ? fill_ - 8 : 0;
  }
  acc_ = 0;
  crc_ = Crc32(crc_, buffer_.data() + crcFrom_, used_ - crcFrom_);
  StoreLe32(buffer_.data() + used_, crc_);
  used_ += kCrcSize;
  crcFrom_ = used_;
  crc_ = 0;
  const uint64_t length = bytesProduced() - frameStart_;
  if (length > UINT32_MAX) throw CodecError(Status::kUnsupportedFormat);
  frameStart_ = bytesProduced();
  if (used_ >= kCapacity) Drain();
  return static_cast<uint32_t>(length);
}

void BitWriter::Drain() {
  crc_ = Crc32(crc_, buffer_.data() + crcFrom_, used_ - crcFrom_);
  sink_.Write(buffer_.data(), used_);
  drained_ += used_;
  used_ = 0;
  crcFrom_ = 0;
}

}  // namespace tta

#include "components/tta/bit_writer.h"

#include "components/tta/audio_format.h"
#include "components/tta/status.h"
#include "components/tta/tta_format.h"

namespace tta {

// Room past the capacity for one more code and a frame's last bytes and CRC.
BitWriter::BitWriter(ByteSink& sink) : sink_(sink), buffer_(kCapacity + 16) {}

WriteWindow BitWriter::PutLongRice(WriteWindow w, uint32_t ones, uint32_t low, unsigned k) {
  for (; ones >= 32; ones -= 32) {
    if (w.out > w.limit) w = Drain(w);
    PutBits(w, 0xFFFFFFFFu, 32);
  }
  if (w.out > w.limit) w = Drain(w);
  PutBits(w, (1u << ones) - 1, ones + 1);
  if (k > 0) {
    if (w.out > w.limit) w = Drain(w);
    PutBits(w, low & static_cast<uint32_t>((uint64_t{1} << k) - 1), k);
  }
  return w;
}

uint32_t BitWriter::EndFrame() {
  while (pendingBits_ > 0) {
    buffer_[used_++] = static_cast<uint8_t>(pending_);
    pending_ >>= 8;
    pendingBits_ = pendingBits_ > 8 ? pendingBits_ - 8 : 0;
  }
  pending_ = 0;
  crc_ = Crc32(crc_, buffer_.data() + crcFrom_, used_ - crcFrom_);
  StoreLe32(buffer_.data() + used_, crc_);
  used_ += kCrcSize;
  crcFrom_ = used_;
  crc_ = 0;
  const uint64_t length = bytesProduced() - frameStart_;
  if (length > UINT32_MAX) throw CodecError(Status::kUnsupportedFormat);
  frameStart_ = bytesProduced();
  if (used_ > kCapacity) Drain();
  return static_cast<uint32_t>(length);
}

WriteWindow BitWriter::Drain(WriteWindow w) {
  Return(w);
  crc_ = Crc32(crc_, buffer_.data() + crcFrom_, used_ - crcFrom_);
  sink_.Write(buffer_.data(), used_);
  drained_ += used_;
  used_ = 0;
  crcFrom_ = 0;
  return window();
}

}  // namespace tta

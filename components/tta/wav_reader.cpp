#include "components/tta/wav_reader.h"

#include <algorithm>
#include <cstring>

#include "components/tta/status.h"

namespace tta {
namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;
constexpr size_t kPlainFormatSize = 16;
constexpr size_t kExtensibleFormatSize = 40;

// KSDATAFORMAT_SUBTYPE_PCM after its first two bytes, which repeat the format code.
constexpr uint8_t kPcmSubformatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                           0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

}  // namespace

WavReader::WavReader(ByteSource& source) : source_(source) {
  uint8_t riff[12];
  const size_t have = ReadUpTo(source_, riff, sizeof riff);
  consumed_ = have;
  if (have < 4 || std::memcmp(riff, "RIFF", 4) != 0) throw CodecError(Status::kUnsupportedFormat);
  if (have < sizeof riff) throw CodecError(Status::kMalformedData);
  if (std::memcmp(riff + 8, "WAVE", 4) != 0) throw CodecError(Status::kUnsupportedFormat);

  bool haveFormat = false;
  for (;;) {
    uint8_t chunk[8];
    Consume(chunk, sizeof chunk);
    const uint32_t size = LoadLe32(chunk + 4);
    if (std::memcmp(chunk, "fmt ", 4) == 0 && !haveFormat) {
      ReadFormatChunk(size);
      haveFormat = true;
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      if (!haveFormat) throw CodecError(Status::kMalformedData);
      if (size % format_.blockAlign() != 0) throw CodecError(Status::kMalformedData);
      sampleFrames_ = remaining_ = size / format_.blockAlign();
      return;
    } else {
      SkipBytes(uint64_t{size} + (size & 1));
    }
  }
}

void WavReader::ReadFormatChunk(uint32_t size) {
  if (size < kPlainFormatSize) throw CodecError(Status::kMalformedData);
  uint8_t fmt[kExtensibleFormatSize];
  const size_t used = std::min<size_t>(size, sizeof fmt);
  Consume(fmt, used);
  SkipBytes(uint64_t{size} - used + (size & 1));

  const uint16_t tag = LoadLe16(fmt);
  format_.channels = LoadLe16(fmt + 2);
  format_.sampleRate = LoadLe32(fmt + 4);
  const unsigned blockAlign = LoadLe16(fmt + 12);
  format_.bitsPerSample = LoadLe16(fmt + 14);
  if (tag == kFormatExtensible) {
    if (size < kExtensibleFormatSize || LoadLe16(fmt + 16) < 22) {
      throw CodecError(Status::kMalformedData);
    }
    const unsigned validBits = LoadLe16(fmt + 18);
    // Fewer valid bits than the container holds are kept as they are: the codec is lossless
    // on the container's width.
    if (LoadLe16(fmt + 24) != kFormatPcm ||
        std::memcmp(fmt + 26, kPcmSubformatTail, sizeof kPcmSubformatTail) != 0 ||
        validBits > format_.bitsPerSample) {
      throw CodecError(Status::kUnsupportedFormat);
    }
  } else if (tag != kFormatPcm) {
    throw CodecError(Status::kUnsupportedFormat);
  }
  if (!IsSupported(format_) || blockAlign != format_.blockAlign()) {
    throw CodecError(Status::kUnsupportedFormat);
  }
}

size_t WavReader::Read(int32_t* out, size_t sampleFrames) {
  const size_t n = std::min<size_t>(sampleFrames, remaining_);
  if (raw_.size() < n * format_.blockAlign()) raw_.resize(n * format_.blockAlign());
  ReadPcm(raw_.data(), n);
  UnpackPcm(raw_.data(), n * format_.channels, format_.bytesPerSample(), out);
  return n;
}

size_t WavReader::ReadPcm(uint8_t* out, size_t sampleFrames) {
  const size_t n = std::min<size_t>(sampleFrames, remaining_);
  if (n == 0) return 0;
  Consume(out, n * format_.blockAlign());
  remaining_ -= static_cast<uint32_t>(n);
  return n;
}

void WavReader::CheckAnnouncedData(uint64_t sourceSize) const {
  const uint64_t announced = uint64_t{sampleFrames_} * format_.blockAlign();
  if (announced > sourceSize - std::min(sourceSize, consumed_)) {
    throw CodecError(Status::kMalformedData);
  }
}

void WavReader::Consume(uint8_t* data, size_t size) {
  ReadExact(source_, data, size);
  consumed_ += size;
}

void WavReader::SkipBytes(uint64_t size) {
  Skip(source_, size);
  consumed_ += size;
}

}  // namespace tta

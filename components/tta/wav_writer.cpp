#include "components/tta/wav_writer.h"

#include <cstring>

#include "components/tta/status.h"

namespace tta {
namespace {
constexpr size_t kWavHeaderSize = 44;
}

WavWriter::WavWriter(ByteSink& sink, const AudioFormat& format, uint32_t sampleFrames)
    : sink_(sink), format_(format), dataSize_(uint64_t{sampleFrames} * format.blockAlign()) {
  const uint64_t riffSize = kWavHeaderSize - 8 + dataSize_ + (dataSize_ & 1);
  if (riffSize > UINT32_MAX) throw CodecError(Status::kUnsupportedFormat);
  uint8_t header[kWavHeaderSize];
  std::memcpy(header, "RIFF", 4);
  StoreLe32(header + 4, static_cast<uint32_t>(riffSize));
  std::memcpy(header + 8, "WAVEfmt ", 8);
  StoreLe32(header + 16, 16);
  StoreLe16(header + 20, 1);
  StoreLe16(header + 22, format.channels);
  StoreLe32(header + 24, format.sampleRate);
  StoreLe32(header + 28, format.sampleRate * format.blockAlign());
  StoreLe16(header + 32, format.blockAlign());
  StoreLe16(header + 34, format.bitsPerSample);
  std::memcpy(header + 36, "data", 4);
  StoreLe32(header + 40, static_cast<uint32_t>(dataSize_));
  sink_.Write(header, sizeof header);
}

void WavWriter::Write(const int32_t* samples, size_t sampleFrames) {
  const size_t bytes = sampleFrames * format_.blockAlign();
  if (raw_.size() < bytes) raw_.resize(bytes);
  PackPcm(samples, sampleFrames * format_.channels, format_.bytesPerSample(), raw_.data());
  sink_.Write(raw_.data(), bytes);
}

void WavWriter::Finish() {
  if (dataSize_ & 1) {
    const uint8_t pad = 0;
    sink_.Write(&pad, 1);
  }
}

}  // namespace tta

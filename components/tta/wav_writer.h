// Writes sample data as a canonical WAV file: a RIFF header with a plain PCM format chunk,
// then the data chunk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "components/tta/audio_format.h"
#include "components/tta/byte_stream.h"

namespace tta {

class WavWriter {
 public:
  // Writes the header for `sampleFrames` sample frames. Throws CodecError(kUnsupportedFormat)
  // when that much data does not fit a RIFF file.
  WavWriter(ByteSink& sink, const AudioFormat& format, uint32_t sampleFrames);

  void Write(const int32_t* samples, size_t sampleFrames);
  // Sample data already packed by PackPcm.
  void WritePcm(const uint8_t* bytes, size_t size) { sink_.Write(bytes, size); }

  // Adds the pad byte RIFF requires after data of odd length.
  void Finish();

 private:
  ByteSink& sink_;
  AudioFormat format_;
  uint64_t dataSize_;
  std::vector<uint8_t> raw_;
};

}  // namespace tta

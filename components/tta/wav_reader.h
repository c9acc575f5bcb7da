// Streaming reader of RIFF WAVE files holding integer PCM of 8, 16 or 24 bits and 1 to 8
// channels, with a plain or an extensible format chunk. Chunks other than the format and the
// data are skipped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "components/tta/audio_format.h"
#include "components/tta/byte_stream.h"

namespace tta {

class WavReader {
 public:
  // Reads up to the start of the sample data. Throws CodecError: kUnsupportedFormat for
  // anything but such a WAV file (float, compressed, another container), kMalformedData for
  // truncated or inconsistent headers.
  explicit WavReader(ByteSource& source);

  const AudioFormat& format() const { return format_; }
  uint32_t sampleFrames() const { return sampleFrames_; }

  // Reads up to `sampleFrames` interleaved sample frames; 0 at the end of the data. Data that
  // ends before its announced length is truncated (kMalformedData).
  size_t Read(int32_t* out, size_t sampleFrames);
  // The same as the file stores them: blockAlign bytes per sample frame, for UnpackPcm.
  size_t ReadPcm(uint8_t* out, size_t sampleFrames);

  // Throws CodecError(kMalformedData) when the header announces more data than a source of
  // `sourceSize` bytes holds: the encoder would lay out a seek table for audio that is not there.
  void CheckAnnouncedData(uint64_t sourceSize) const;

  uint64_t consumed() const { return consumed_; }

 private:
  void ReadFormatChunk(uint32_t size);
  void Consume(uint8_t* data, size_t size);
  void SkipBytes(uint64_t size);

  ByteSource& source_;
  AudioFormat format_;
  uint32_t sampleFrames_ = 0;
  uint32_t remaining_ = 0;
  uint64_t consumed_ = 0;
  std::vector<uint8_t> raw_;
};

}  // namespace tta

#include "components/tta/audio_format.h"

#include "components/tta/status.h"

namespace tta {

bool IsSupported(const AudioFormat& format) {
  return format.channels >= 1 && format.channels <= kMaxChannels &&
         (format.bitsPerSample == 8 || format.bitsPerSample == 16 || format.bitsPerSample == 24) &&
         format.sampleRate > 0;
}

void UnpackPcm(const uint8_t* bytes, size_t sampleCount, unsigned bytesPerSample, int32_t* out) {
  switch (bytesPerSample) {
    case 1:
      for (size_t i = 0; i < sampleCount; ++i) out[i] = static_cast<int32_t>(bytes[i]) - 0x80;
      break;
    case 2:
      for (size_t i = 0; i < sampleCount; ++i, bytes += 2) {
        out[i] = static_cast<int16_t>(LoadLe16(bytes));
      }
      break;
    default:
      for (size_t i = 0; i < sampleCount; ++i, bytes += 3) {
        uint32_t u = bytes[0] | (bytes[1] << 8) | (static_cast<uint32_t>(bytes[2]) << 16);
        out[i] = static_cast<int32_t>(u << 8) >> 8;
      }
      break;
  }
}

void PackPcm(const int32_t* samples, size_t sampleCount, unsigned bytesPerSample, uint8_t* out) {
  // Adding half the range maps every valid sample into [0, 2^bits); anything else is damage.
  const uint32_t half = 1u << (bytesPerSample * 8 - 1);
  const uint32_t limit = half * 2;
  uint32_t outOfRange = 0;
  switch (bytesPerSample) {
    case 1:
      for (size_t i = 0; i < sampleCount; ++i) {
        uint32_t u = static_cast<uint32_t>(samples[i]) + half;
        outOfRange |= u >= limit;
        out[i] = static_cast<uint8_t>(u);
      }
      break;
    case 2:
      for (size_t i = 0; i < sampleCount; ++i, out += 2) {
        uint32_t s = static_cast<uint32_t>(samples[i]);
        outOfRange |= s + half >= limit;
        StoreLe16(out, s);
      }
      break;
    default:
      for (size_t i = 0; i < sampleCount; ++i, out += 3) {
        uint32_t s = static_cast<uint32_t>(samples[i]);
        outOfRange |= s + half >= limit;
        out[0] = static_cast<uint8_t>(s);
        out[1] = static_cast<uint8_t>(s >> 8);
        out[2] = static_cast<uint8_t>(s >> 16);
      }
      break;
  }
  if (outOfRange) throw CodecError(Status::kMalformedData);
}

}  // namespace tta

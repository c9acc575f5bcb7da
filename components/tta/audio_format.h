// The shape of PCM audio as both WAV and TTA1 carry it, and the conversion of its bytes to and
// from the signed samples the codec works on.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tta {

constexpr unsigned kMaxChannels = 8;

struct AudioFormat {
  unsigned channels = 0;
  unsigned bitsPerSample = 0;  // 8, 16 or 24
  uint32_t sampleRate = 0;

  unsigned bytesPerSample() const { return bitsPerSample / 8; }
  unsigned blockAlign() const { return channels * bytesPerSample(); }
};

bool IsSupported(const AudioFormat& format);

// Calls body.template operator()<kBytes, kChannels>() for the format's sample width and channel
// count, so that the coding loops are compiled for each width and for mono, stereo and any other
// count (kChannels 0).
template <typename Body>
void DispatchOnShape(const AudioFormat& format, Body&& body) {
  auto forWidth = [&]<unsigned kBytes>() {
    switch (format.channels) {
      case 1:
        return body.template operator()<kBytes, 1>();
      case 2:
        return body.template operator()<kBytes, 2>();
      default:
        return body.template operator()<kBytes, 0>();
    }
  };
  switch (format.bytesPerSample()) {
    case 1:
      return forWidth.template operator()<1>();
    case 2:
      return forWidth.template operator()<2>();
    default:
      return forWidth.template operator()<3>();
  }
}

// Little-endian PCM as WAV stores it (8-bit unsigned, wider signed) to signed samples.
void UnpackPcm(const uint8_t* bytes, size_t sampleCount, unsigned bytesPerSample, int32_t* out);

// The reverse. A sample outside the range of the width means the stream that produced it was
// damaged; that throws CodecError rather than silently wrapping.
void PackPcm(const int32_t* samples, size_t sampleCount, unsigned bytesPerSample, uint8_t* out);

inline uint16_t LoadLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t LoadLe32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline void StoreLe16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void StoreLe32(uint8_t* p, uint32_t v) {
  StoreLe16(p, v);
  StoreLe16(p + 2, v >> 16);
}

}  // namespace tta

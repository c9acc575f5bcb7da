// The samples of a WAV file, for tests that compare a restored recording with its original.
#pragma once

#include <cstdint>
#include <string>

// The bytes of the data chunk; empty when there is none.
inline std::string WaveSamples(const std::string& wave) {
  std::size_t at = 12;
  while (at + 8 <= wave.size()) {
    const uint32_t size = static_cast<unsigned char>(wave[at + 4]) |
                          static_cast<unsigned char>(wave[at + 5]) << 8 |
                          static_cast<unsigned char>(wave[at + 6]) << 16 |
                          static_cast<uint32_t>(static_cast<unsigned char>(wave[at + 7])) << 24;
    if (wave.compare(at, 4, "data") == 0) return wave.substr(at + 8, size);
    at += 8 + size + (size & 1);
  }
  return {};
}

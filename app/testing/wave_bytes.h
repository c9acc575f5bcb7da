// WAV files for the tests and the demo, put together byte by byte so that they do not depend on
// the codec they are fed to.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace wave_bytes {

// A canonical PCM WAV at 44100 Hz: the 44-byte header, then `data` (interleaved sample bytes).
std::string PcmWave(uint16_t channels, uint16_t bitsPerSample, std::string_view data);

// Mono 16-bit, `samples` samples of a slow ramp.
std::string RampWave(uint32_t samples);

// The bytes of a WAV file's data chunk, for comparing a restored recording with its original;
// empty when there is none.
std::string WaveSamples(std::string_view wave);

}  // namespace wave_bytes

// Audio for the tests: signals that stress the codec in different ways, as samples and as WAV
// and TTA files in memory.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "components/tta/audio_format.h"

namespace tta::testing {

enum class Signal {
  kSilence,
  kNoise,     // uniformly random over the full range: the worst case for the coder
  kSine,      // a smooth tone per channel, different per channel
  kExtremes,  // jumps between the most negative and the most positive sample
};

std::vector<int32_t> MakeSamples(const AudioFormat& format, uint32_t sampleFrames, Signal signal,
                                 uint32_t seed = 1);

// A canonical WAV file holding the samples.
std::string MakeWav(const AudioFormat& format, const std::vector<int32_t>& samples);

std::string EncodeToTta(std::string_view wav);
std::string DecodeToWav(std::string_view tta);

}  // namespace tta::testing

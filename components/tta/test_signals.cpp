#include "components/tta/test_signals.h"

#include <cmath>
#include <random>

#include "components/tta/memory_stream.h"
#include "components/tta/transcode.h"
#include "components/tta/wav_writer.h"

namespace tta::testing {

std::vector<int32_t> MakeSamples(const AudioFormat& format, uint32_t sampleFrames, Signal signal,
                                 uint32_t seed) {
  const int32_t maxValue = (1 << (format.bitsPerSample - 1)) - 1;
  const int32_t minValue = -maxValue - 1;
  std::mt19937 random(seed);
  std::uniform_int_distribution<int32_t> uniform(minValue, maxValue);
  std::vector<int32_t> samples(size_t{sampleFrames} * format.channels);
  for (uint32_t i = 0; i < sampleFrames; ++i) {
    for (unsigned c = 0; c < format.channels; ++c) {
      int32_t& sample = samples[size_t{i} * format.channels + c];
      switch (signal) {
        case Signal::kSilence:
          sample = 0;
          break;
        case Signal::kNoise:
          sample = uniform(random);
          break;
        case Signal::kSine:
          sample = static_cast<int32_t>(0.7 * maxValue * std::sin(0.01 * (c + 1) * i + c));
          break;
        case Signal::kExtremes:
          sample = ((i / (c + 1)) % 2 != 0) ? maxValue : minValue;
          break;
      }
    }
  }
  return samples;
}

std::string MakeWav(const AudioFormat& format, const std::vector<int32_t>& samples) {
  MemorySink sink;
  const uint32_t frames = static_cast<uint32_t>(samples.size() / format.channels);
  WavWriter writer(sink, format, frames);
  writer.Write(samples.data(), frames);
  writer.Finish();
  return sink.bytes();
}

std::string EncodeToTta(std::string_view wav) {
  MemorySource source(wav);
  MemorySink sink;
  EncodeWavToTta(source, wav.size(), sink, nullptr);
  return sink.bytes();
}

std::string DecodeToWav(std::string_view tta) {
  MemorySource source(tta);
  MemorySink sink;
  DecodeTtaToWav(source, tta.size(), sink, nullptr);
  return sink.bytes();
}

}  // namespace tta::testing

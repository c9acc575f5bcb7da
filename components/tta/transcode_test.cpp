#include "components/tta/transcode.h"

#include <gtest/gtest.h>

#include <vector>

#include "components/tta/memory_stream.h"
#include "components/tta/status.h"
#include "components/tta/test_signals.h"

namespace tta {
namespace {

using testing::Signal;

struct Recorder {
  std::vector<uint64_t> positions;
  size_t stopAt = SIZE_MAX;  // the report that answers "stop"
  ProgressFn fn() {
    return [this](uint64_t position) {
      positions.push_back(position);
      return positions.size() < stopAt;
    };
  }
};

void ExpectProgressTowards(const std::vector<uint64_t>& positions, uint64_t size) {
  ASSERT_FALSE(positions.empty());
  for (size_t i = 1; i < positions.size(); ++i) EXPECT_LE(positions[i - 1], positions[i]);
  EXPECT_EQ(positions.back(), size);
  // Often enough for a percentage bar to pass through every step.
  EXPECT_GE(positions.size(), 100u);
}

TEST(TranscodeTest, ReportsSourceBytesUpToTheSourceSize) {
  const AudioFormat format{2, 16, 44100};
  const std::string wav =
      testing::MakeWav(format, testing::MakeSamples(format, 60000, Signal::kSine));
  Recorder encoding;
  MemorySource wavSource(wav);
  MemorySink ttaSink;
  EncodeWavToTta(wavSource, wav.size(), ttaSink, encoding.fn());
  ExpectProgressTowards(encoding.positions, wav.size());

  Recorder decoding;
  MemorySource ttaSource(ttaSink.bytes());
  MemorySink wavSink;
  DecodeTtaToWav(ttaSource, ttaSink.bytes().size(), wavSink, decoding.fn());
  ExpectProgressTowards(decoding.positions, ttaSink.bytes().size());
  EXPECT_EQ(wavSink.bytes(), wav);
}

TEST(TranscodeTest, StopsAtTheFirstReportThatSaysStop) {
  const AudioFormat format{1, 16, 44100};
  const std::string wav =
      testing::MakeWav(format, testing::MakeSamples(format, 50000, Signal::kNoise));
  for (const size_t stopAt : {1u, 5u}) {
    Recorder recorder;
    recorder.stopAt = stopAt;
    MemorySource source(wav);
    MemorySink sink;
    try {
      EncodeWavToTta(source, wav.size(), sink, recorder.fn());
      FAIL() << "not stopped";
    } catch (const CodecError& error) {
      EXPECT_EQ(error.status(), Status::kCancelled);
    }
    EXPECT_EQ(recorder.positions.size(), stopAt);
  }
}

TEST(TranscodeTest, WavDataShorterThanItsHeaderSaysIsMalformed) {
  const AudioFormat format{2, 16, 44100};
  std::string wav = testing::MakeWav(format, testing::MakeSamples(format, 5000, Signal::kSine));
  wav.resize(wav.size() - 100);
  MemorySource source(wav);
  MemorySink sink;
  try {
    EncodeWavToTta(source, wav.size(), sink, nullptr);
    FAIL() << "accepted";
  } catch (const CodecError& error) {
    EXPECT_EQ(error.status(), Status::kMalformedData);
  }
}

}  // namespace
}  // namespace tta

// Both ways on worker threads: the bytes of the sequential coder, every report on the calling
// thread in order, and a prompt stop.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "components/tta/memory_stream.h"
#include "components/tta/parallel_transcode.h"
#include "components/tta/status.h"
#include "components/tta/test_signals.h"
#include "components/tta/tta_format.h"

namespace tta {
namespace {

// At 100 Hz a frame holds 104 sample frames, so a few hundred samples span several frames.
constexpr uint32_t kRate = 100;
constexpr uint32_t kFrameLength = 104;

std::string MakeWav(const AudioFormat& format, uint32_t length,
                    testing::Signal signal = testing::Signal::kSine) {
  return testing::MakeWav(format, testing::MakeSamples(format, length, signal));
}

struct Reports {
  std::vector<uint64_t> positions;
  bool onOtherThread = false;
  size_t stopAt = SIZE_MAX;
  std::chrono::steady_clock::time_point stoppedAt;
  ProgressFn fn() {
    return [this, caller = std::this_thread::get_id()](uint64_t position) {
      onOtherThread |= std::this_thread::get_id() != caller;
      positions.push_back(position);
      if (positions.size() < stopAt) return true;
      stoppedAt = std::chrono::steady_clock::now();
      return false;
    };
  }
};

std::string EncodeInParallel(const std::string& wav, unsigned workers, Reports* reports = nullptr) {
  MemorySource source(wav);
  MemorySink sink;
  EncodeWavToTtaInParallel(source, wav.size(), sink, reports ? reports->fn() : ProgressFn(),
                           {workers});
  return sink.bytes();
}

std::string DecodeInParallel(const std::string& tta, unsigned workers, Reports* reports = nullptr) {
  MemorySource source(tta);
  MemorySink sink;
  DecodeTtaToWavInParallel(source, tta.size(), sink, reports ? reports->fn() : ProgressFn(),
                           {workers});
  return sink.bytes();
}

void ExpectOrderedReportsTo(const Reports& reports, uint64_t size) {
  EXPECT_FALSE(reports.onOtherThread);
  ASSERT_GE(reports.positions.size(), 100u);
  for (size_t i = 1; i < reports.positions.size(); ++i) {
    ASSERT_LE(reports.positions[i - 1], reports.positions[i]) << "report " << i;
  }
  EXPECT_EQ(reports.positions.back(), size);
}

TEST(ParallelEncodeTest, GivesTheSequentialBytesForEveryShapeLengthAndWorkerCount) {
  const std::vector<uint32_t> lengths = {0,
                                         1,
                                         kFrameLength - 1,
                                         kFrameLength,
                                         kFrameLength + 1,
                                         7 * kFrameLength + 3,
                                         23 * kFrameLength};
  for (const AudioFormat format : {AudioFormat{1, 8, kRate}, AudioFormat{2, 16, kRate},
                                   AudioFormat{3, 24, kRate}, AudioFormat{8, 16, kRate}}) {
    for (const uint32_t length : lengths) {
      for (const auto signal : {testing::Signal::kSine, testing::Signal::kNoise}) {
        const std::string wav = MakeWav(format, length, signal);
        const std::string sequential = testing::EncodeToTta(wav);
        SCOPED_TRACE(std::to_string(format.channels) + " channels, " +
                     std::to_string(format.bitsPerSample) + " bits, " + std::to_string(length) +
                     " sample frames");
        for (const unsigned workers : {1u, 2u, 3u}) {
          ASSERT_EQ(EncodeInParallel(wav, workers), sequential) << workers << " workers";
          ASSERT_EQ(DecodeInParallel(sequential, workers), testing::DecodeToWav(sequential));
        }
      }
    }
  }
}

TEST(ParallelEncodeTest, FramesTooLongToBufferAreCodedAsTheyStream) {
  // At 1.1 MHz a frame holds 1.15 million sample frames, more than a job holds.
  const std::string wav = MakeWav({1, 8, 1100000}, 1200000, testing::Signal::kNoise);
  Reports reports;
  EXPECT_EQ(EncodeInParallel(wav, 2, &reports), testing::EncodeToTta(wav));
  ExpectOrderedReportsTo(reports, wav.size());
}

// Real frames (44.1 kHz) in both directions: reports in order, on the calling thread, reaching
// the source size, and often enough for a percentage display even for a file of two frames.
TEST(ParallelEncodeTest, ReportsInOrderOnTheCallingThreadOnly) {
  const AudioFormat cd{2, 16, 44100};
  for (const uint32_t length : {50000u, 9 * 46080u + 5}) {
    const std::string wav = MakeWav(cd, length);
    Reports encoding;
    const std::string tta = EncodeInParallel(wav, 3, &encoding);
    ExpectOrderedReportsTo(encoding, wav.size());
    Reports decoding;
    EXPECT_EQ(DecodeInParallel(tta, 3, &decoding), testing::DecodeToWav(tta));
    ExpectOrderedReportsTo(decoding, tta.size());
  }
}

// A stop is answered at once: no report after the one that asked, and the call returns within
// a frame's coding time however many frames are still queued. The machine may be busy with
// other work, so the quickest of three stops counts.
TEST(ParallelEncodeTest, StopsPromptlyWhenAReportSaysSo) {
  // Frames of 8359 sample frames at 8 kHz: many jobs in flight, each short.
  const AudioFormat format{2, 16, 8000};
  const std::string wav = MakeWav(format, 200 * 8359, testing::Signal::kNoise);
  const std::string tta = testing::EncodeToTta(wav);
  for (const bool encode : {true, false}) {
    auto quickest = std::chrono::steady_clock::duration::max();
    for (const size_t stopAt : {size_t{1}, size_t{20}, size_t{150}}) {
      Reports reports;
      reports.stopAt = stopAt;
      try {
        encode ? EncodeInParallel(wav, 2, &reports) : DecodeInParallel(tta, 2, &reports);
        ADD_FAILURE() << "not stopped";
      } catch (const CodecError& error) {
        EXPECT_EQ(error.status(), Status::kCancelled);
      }
      quickest = std::min(quickest, std::chrono::steady_clock::now() - reports.stoppedAt);
      EXPECT_EQ(reports.positions.size(), stopAt);
    }
    EXPECT_LT(quickest, std::chrono::milliseconds(100)) << (encode ? "encode" : "decode");
  }
}

TEST(ParallelEncodeTest, RefusesWhatTheSequentialEncoderRefuses) {
  const AudioFormat format{2, 16, kRate};
  const std::string wav = MakeWav(format, 5 * kFrameLength + 7);
  auto status = [](const std::string& bytes) {
    try {
      EncodeInParallel(bytes, 2);
      return Status::kOk;
    } catch (const CodecError& error) {
      return error.status();
    }
  };
  // Data cut short of what the header announces, in the middle of a frame or of a job.
  for (const size_t cut : {wav.size() - 1, wav.size() - 4 * kFrameLength, size_t{50}}) {
    EXPECT_EQ(status(wav.substr(0, cut)), Status::kMalformedData) << cut;
  }
  EXPECT_EQ(status("RIFF...."), Status::kMalformedData);
  EXPECT_EQ(status("not a wav file at all"), Status::kUnsupportedFormat);
}

}  // namespace
}  // namespace tta

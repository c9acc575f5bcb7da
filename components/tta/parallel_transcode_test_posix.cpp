// Coding frames on worker threads must give exactly what the sequential coder gives, refuse the
// same damage, report progress in order from the calling thread, and stop cleanly when cancelled.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "components/tta/file_transcode.h"
#include "components/tta/memory_stream.h"
#include "components/tta/parallel_transcode.h"
#include "components/tta/test_signals.h"
#include "components/tta/tta_format.h"

namespace tta {
namespace {

// At 100 Hz a frame holds 104 sample frames, so a few hundred samples span several frames.
constexpr uint32_t kRate = 100;
constexpr uint32_t kFrameLength = 104;

std::string MakeTta(const AudioFormat& format, uint32_t length,
                    testing::Signal signal = testing::Signal::kSine) {
  return testing::EncodeToTta(
      testing::MakeWav(format, testing::MakeSamples(format, length, signal)));
}

std::string DecodeInParallel(const std::string& tta, std::vector<uint64_t>* reports = nullptr) {
  MemorySource source(tta);
  MemorySink sink;
  const ProgressFn record = [&](uint64_t position) {
    reports->push_back(position);
    return true;
  };
  DecodeTtaToWavInParallel(source, tta.size(), sink, reports ? record : ProgressFn());
  return sink.bytes();
}

Status ParallelStatus(const std::string& tta) {
  try {
    DecodeInParallel(tta);
    return Status::kOk;
  } catch (const CodecError& error) {
    return error.status();
  }
}

TEST(ParallelTranscodeTest, GivesTheSequentialOutputForEveryShapeAndLength) {
  const std::vector<uint32_t> lengths = {0,
                                         1,
                                         kFrameLength - 1,
                                         kFrameLength,
                                         kFrameLength + 1,       // none, one and two frames
                                         3 * kFrameLength,       // an odd count of whole frames
                                         4 * kFrameLength - 5,   // two full runs, the last short
                                         7 * kFrameLength + 3};  // an odd count, the last short
  for (const AudioFormat format : {AudioFormat{1, 8, kRate}, AudioFormat{2, 16, kRate},
                                   AudioFormat{3, 24, kRate}, AudioFormat{8, 16, kRate}}) {
    for (const uint32_t length : lengths) {
      for (const auto signal : {testing::Signal::kSine, testing::Signal::kNoise}) {
        const std::string tta = MakeTta(format, length, signal);
        SCOPED_TRACE(std::to_string(format.channels) + " channels, " +
                     std::to_string(format.bitsPerSample) + " bits, " + std::to_string(length) +
                     " sample frames");
        std::string parallel;
        ASSERT_NO_THROW(parallel = DecodeInParallel(tta));
        ASSERT_EQ(parallel, testing::DecodeToWav(tta));
      }
    }
  }
  // Frames of real length, worst-case content.
  const AudioFormat cd{2, 16, 44100};
  const std::string tta = MakeTta(cd, 5 * 46080 + 17, testing::Signal::kExtremes);
  EXPECT_EQ(DecodeInParallel(tta), testing::DecodeToWav(tta));
}

TEST(ParallelTranscodeTest, FramesTooLongToBufferAreStreamed) {
  // At 1.1 MHz a frame holds 1.15 million sample frames, more than a run buffers.
  const AudioFormat format{1, 8, 1100000};
  const uint32_t frameLength = StreamHeader{format, 0}.frameLength();
  const std::string tta = MakeTta(format, frameLength + 5, testing::Signal::kNoise);
  EXPECT_EQ(DecodeInParallel(tta), testing::DecodeToWav(tta));
  std::string damaged = tta;
  damaged[tta.size() / 2] ^= 0x20;
  EXPECT_EQ(ParallelStatus(damaged), Status::kMalformedData);
}

TEST(ParallelTranscodeTest, ReportsProgressUpToTheSourceSize) {
  const std::string tta = MakeTta({2, 16, kRate}, 9 * kFrameLength);
  std::vector<uint64_t> reports;
  DecodeInParallel(tta, &reports);
  ASSERT_GE(reports.size(), 3u);
  EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
  EXPECT_EQ(reports.back(), tta.size());
}

TEST(ParallelTranscodeTest, DamageAnywhereIsRefused) {
  const std::string tta = MakeTta({1, 16, kRate}, 5 * kFrameLength + 3);
  // A frame in the second half, decoded by whichever thread takes it.
  for (const size_t byte : {tta.size() * 3 / 4, tta.size() - 10}) {
    std::string damaged = tta;
    damaged[byte] ^= 0x04;
    EXPECT_EQ(ParallelStatus(damaged), Status::kMalformedData) << "byte " << byte;
  }
  for (size_t byte = 0; byte < tta.size(); ++byte) {
    std::string damaged = tta;
    damaged[byte] = static_cast<char>(damaged[byte] ^ (1 << (byte % 8)));
    const Status status = ParallelStatus(damaged);
    ASSERT_TRUE(status == Status::kMalformedData || status == Status::kUnsupportedFormat)
        << "byte " << byte << " gave " << static_cast<int>(status);
  }
  for (size_t length = 0; length < tta.size(); ++length) {
    const Status status = ParallelStatus(tta.substr(0, length));
    ASSERT_TRUE(status == Status::kMalformedData || status == Status::kUnsupportedFormat)
        << "cut at " << length << " gave " << static_cast<int>(status);
  }
}

TEST(ParallelTranscodeTest, SeekTableThatMisplacesFramesIsDamage) {
  const std::string tta = MakeTta({2, 16, kRate}, 5 * kFrameLength, testing::Signal::kNoise);
  const StreamHeader header{{2, 16, kRate}, 5 * kFrameLength};
  const size_t tableSize = header.frameCount() * kSeekEntrySize;
  std::string moved = tta;
  auto* table = reinterpret_cast<uint8_t*>(moved.data()) + kHeaderSize;
  // One byte moves from the third frame to the fourth; the table's own CRC stays right, so
  // only its disagreement with the frames shows the damage.
  StoreLe32(table + 8, LoadLe32(table + 8) - 1);
  StoreLe32(table + 12, LoadLe32(table + 12) + 1);
  StoreLe32(table + tableSize, Crc32(0, table, tableSize));
  EXPECT_EQ(ParallelStatus(moved), Status::kMalformedData);

  // A frame claiming gigabytes is refused before anything is allocated for it.
  std::string huge = tta;
  table = reinterpret_cast<uint8_t*>(huge.data()) + kHeaderSize;
  StoreLe32(table, 0xF0000000);
  StoreLe32(table + tableSize, Crc32(0, table, tableSize));
  EXPECT_EQ(ParallelStatus(huge), Status::kMalformedData);
}

TEST(ParallelTranscodeTest, CancelOrFailureLeavesNoOutputFile) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("tta-parallel-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string tta = MakeTta({2, 16, kRate}, 9 * kFrameLength);
  std::ofstream((dir / "good.tta").string(), std::ios::binary) << tta;
  std::string damaged = tta;
  damaged[tta.size() - 10] ^= 0x01;
  std::ofstream((dir / "damaged.tta").string(), std::ios::binary) << damaged;

  int reports = 0;
  const ProgressFn stopAtThird = [&](uint64_t) { return ++reports < 3; };
  EXPECT_EQ(DecodeFile((dir / "good.tta").string(), (dir / "cancelled.wav").string(), stopAtThird),
            Status::kCancelled);
  EXPECT_FALSE(fs::exists(dir / "cancelled.wav"));
  EXPECT_EQ(DecodeFile((dir / "damaged.tta").string(), (dir / "damaged.wav").string(), nullptr),
            Status::kMalformedData);
  EXPECT_FALSE(fs::exists(dir / "damaged.wav"));
  EXPECT_EQ(DecodeFile((dir / "good.tta").string(), (dir / "good.wav").string(), nullptr),
            Status::kOk);
  EXPECT_TRUE(fs::exists(dir / "good.wav"));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace tta

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/tta/memory_stream.h"
#include "components/tta/status.h"
#include "components/tta/test_signals.h"
#include "components/tta/tta_format.h"

namespace tta {
namespace {

using testing::Signal;

// At 1000 Hz a frame holds 1044 sample frames, so short signals cross frame boundaries.
constexpr uint32_t kRate = 1000;
constexpr uint32_t kFrame = 1044;

struct Shape {
  unsigned bits;
  unsigned channels;
};

class RoundTripTest : public ::testing::TestWithParam<Shape> {};

TEST_P(RoundTripTest, DecodedWavIsTheSourceForEverySignalAndLength) {
  const AudioFormat format{GetParam().channels, GetParam().bits, kRate};
  for (const Signal signal : {Signal::kSilence, Signal::kNoise, Signal::kSine, Signal::kExtremes}) {
    for (const uint32_t length : {0u, 1u, kFrame - 1, kFrame, kFrame + 1, 3 * kFrame + 17}) {
      const std::string wav =
          testing::MakeWav(format, testing::MakeSamples(format, length, signal));
      const std::string tta = testing::EncodeToTta(wav);
      ASSERT_EQ(testing::DecodeToWav(tta), wav)
          << "signal " << static_cast<int>(signal) << ", " << length << " sample frames";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Shapes, RoundTripTest,
                         ::testing::Values(Shape{8, 1}, Shape{8, 2}, Shape{16, 1}, Shape{16, 2},
                                           Shape{16, 3}, Shape{24, 1}, Shape{24, 2}, Shape{24, 8}));

TEST(TtaLayoutTest, SeekTableListsEveryFrameAndTheFramesFillTheFile) {
  const AudioFormat format{2, 16, kRate};
  const std::string tta = testing::EncodeToTta(
      testing::MakeWav(format, testing::MakeSamples(format, 2 * kFrame + 5, Signal::kSine)));
  const auto* bytes = reinterpret_cast<const uint8_t*>(tta.data());

  ASSERT_EQ(tta.compare(0, 4, "TTA1"), 0);
  EXPECT_EQ(LoadLe32(bytes + 14), 2 * kFrame + 5);
  uint64_t framesTotal = 0;
  for (int i = 0; i < 3; ++i) framesTotal += LoadLe32(bytes + kHeaderSize + 4 * i);
  const size_t tableEnd = kHeaderSize + 3 * kSeekEntrySize + kCrcSize;
  EXPECT_EQ(LoadLe32(bytes + tableEnd - kCrcSize), Crc32(0, bytes + kHeaderSize, 12));
  EXPECT_EQ(tableEnd + framesTotal, tta.size());
}

TEST(TtaLayoutTest, TagsAroundTheStreamAreIgnored) {
  const AudioFormat format{1, 16, kRate};
  const std::string wav =
      testing::MakeWav(format, testing::MakeSamples(format, 3000, Signal::kNoise));
  const std::string tta = testing::EncodeToTta(wav);
  // ID3v2 with a 5-byte body (synchsafe size), with and without the footer flag.
  const std::string id3 = std::string("ID3\x04\x00\x00\x00\x00\x00\x05", 10) + "abcde";
  const std::string id3WithFooter = std::string("ID3\x04\x00\x10\x00\x00\x00\x05", 10) + "abcde" +
                                    std::string("3DI\x04\x00\x10\x00\x00\x00\x05", 10);
  const std::string apeTrailer = "APETAGEX and whatever a tagger appends";

  EXPECT_EQ(testing::DecodeToWav(id3 + tta), wav);
  EXPECT_EQ(testing::DecodeToWav(id3WithFooter + tta), wav);
  EXPECT_EQ(testing::DecodeToWav(tta + apeTrailer), wav);
}

TEST(TtaLayoutTest, CompressedSizeFollowsTheSignal) {
  const AudioFormat format{2, 16, 44100};
  const auto size = [&](Signal signal) {
    return testing::EncodeToTta(
               testing::MakeWav(format, testing::MakeSamples(format, 44100, signal)))
        .size();
  };
  const size_t pcmBytes = 44100 * 4;
  // Silence settles at a one-bit code per sample.
  EXPECT_LT(size(Signal::kSilence), pcmBytes / 15);
  EXPECT_LT(size(Signal::kSine), pcmBytes / 2);
  // Rice codes of random values cost a little more than the values.
  EXPECT_LT(size(Signal::kNoise), pcmBytes * 11 / 10);
}

}  // namespace
}  // namespace tta

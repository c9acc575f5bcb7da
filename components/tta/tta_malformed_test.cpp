// Damaged or foreign input must end in a failure code, never in a crash, a hang or a WAV file
// built from garbage.
#include <gtest/gtest.h>

#include <string>

#include "components/tta/memory_stream.h"
#include "components/tta/status.h"
#include "components/tta/test_signals.h"
#include "components/tta/tta_format.h"

namespace tta {
namespace {

Status DecodeStatus(const std::string& tta) {
  try {
    testing::DecodeToWav(tta);
    return Status::kOk;
  } catch (const CodecError& error) {
    return error.status();
  }
}

// Three frames of 104 sample frames each (the last one shorter) at 100 Hz.
constexpr uint32_t kRate = 100;
constexpr uint32_t kLength = 250;

std::string SmallTta() {
  const AudioFormat format{2, 16, kRate};
  return testing::EncodeToTta(
      testing::MakeWav(format, testing::MakeSamples(format, kLength, testing::Signal::kSine)));
}

std::string WithHeader(StreamHeader header, const std::string& tta) {
  const auto bytes = SerializeHeader(header);
  return std::string(bytes.begin(), bytes.end()) + tta.substr(kHeaderSize);
}

TEST(TtaMalformedTest, EveryTruncationIsRefused) {
  const std::string tta = SmallTta();
  for (size_t length = 0; length < tta.size(); ++length) {
    const Status status = DecodeStatus(tta.substr(0, length));
    ASSERT_TRUE(status == Status::kMalformedData || status == Status::kUnsupportedFormat)
        << "cut at " << length << " gave " << static_cast<int>(status);
  }
}

TEST(TtaMalformedTest, EveryFlippedBitIsCaughtByTheChecksums) {
  const std::string tta = SmallTta();
  for (size_t byte = 0; byte < tta.size(); ++byte) {
    const int bit = static_cast<int>(byte % 8);
    std::string damaged = tta;
    damaged[byte] = static_cast<char>(damaged[byte] ^ (1 << bit));
    const Status status = DecodeStatus(damaged);
    ASSERT_TRUE(status == Status::kMalformedData || status == Status::kUnsupportedFormat)
        << "byte " << byte << " bit " << bit << " gave " << static_cast<int>(status);
  }
}

TEST(TtaMalformedTest, ShapesTheCodecDoesNotHandleAreUnsupported) {
  const std::string tta = SmallTta();
  const StreamHeader good{{2, 16, kRate}, kLength};

  auto encrypted = SerializeHeader(good);
  StoreLe16(&encrypted[4], 2);
  StoreLe32(&encrypted[18], Crc32(0, encrypted.data(), 18));
  EXPECT_EQ(DecodeStatus(std::string(encrypted.begin(), encrypted.end()) + tta.substr(kHeaderSize)),
            Status::kUnsupportedFormat);

  for (const AudioFormat format :
       {AudioFormat{0, 16, kRate}, AudioFormat{9, 16, kRate}, AudioFormat{2, 32, kRate},
        AudioFormat{2, 12, kRate}, AudioFormat{2, 16, 0}}) {
    EXPECT_EQ(DecodeStatus(WithHeader({format, kLength}, tta)), Status::kUnsupportedFormat)
        << format.channels << " channels, " << format.bitsPerSample << " bits, "
        << format.sampleRate << " Hz";
  }
  EXPECT_EQ(DecodeStatus(""), Status::kUnsupportedFormat);
  EXPECT_EQ(DecodeStatus(std::string("RIFF\x24\0\0\0WAVEfmt ", 16)), Status::kUnsupportedFormat);
}

TEST(TtaMalformedTest, HeaderPromisingMoreThanTheFileHoldsIsTruncatedData) {
  const std::string tta = SmallTta();
  // A valid header that claims far more samples (and so a longer seek table) than follow.
  EXPECT_EQ(DecodeStatus(WithHeader({{2, 16, 1}, 0xFFFFFFFF}, tta)), Status::kMalformedData);
  EXPECT_EQ(DecodeStatus(WithHeader({{2, 16, kRate}, kLength * 1000}, tta)),
            Status::kMalformedData);
}

TEST(TtaMalformedTest, EndlessUnaryCodeEndsAtTheEndOfTheData) {
  // One frame whose data is all one-bits: a unary code that never ends.
  const StreamHeader header{{1, 16, 44100}, 10};
  const auto head = SerializeHeader(header);
  std::string tta(head.begin(), head.end());
  const std::string frame(100000, '\xFF');
  uint8_t entry[4];
  StoreLe32(entry, static_cast<uint32_t>(frame.size() + 4));
  tta.append(reinterpret_cast<const char*>(entry), 4);
  uint8_t crc[4];
  StoreLe32(crc, Crc32(0, entry, 4));
  tta.append(reinterpret_cast<const char*>(crc), 4);
  tta += frame;
  EXPECT_EQ(DecodeStatus(tta), Status::kMalformedData);
}

}  // namespace
}  // namespace tta

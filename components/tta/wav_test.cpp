#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/tta/memory_stream.h"
#include "components/tta/status.h"
#include "components/tta/test_signals.h"
#include "components/tta/wav_reader.h"

namespace tta {
namespace {

std::string Le16(uint16_t v) { return {static_cast<char>(v), static_cast<char>(v >> 8)}; }
std::string Le32(uint32_t v) {
  return Le16(static_cast<uint16_t>(v)) + Le16(static_cast<uint16_t>(v >> 16));
}

std::string Chunk(const std::string& id, const std::string& body) {
  std::string chunk = id + Le32(static_cast<uint32_t>(body.size())) + body;
  if (body.size() % 2 != 0) chunk += '\0';
  return chunk;
}

std::string PlainFormat(uint16_t tag, uint16_t channels, uint16_t bits) {
  const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
  return Le16(tag) + Le16(channels) + Le32(8000) + Le32(8000u * align) + Le16(align) + Le16(bits);
}

std::string ExtensibleFormat(uint16_t channels, uint16_t bits, uint16_t validBits,
                             uint16_t subformat) {
  return PlainFormat(0xFFFE, channels, bits) + Le16(22) + Le16(validBits) + Le32(0x3F) +
         Le16(subformat) +
         std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
}

std::string Riff(const std::string& chunks) {
  return "RIFF" + Le32(static_cast<uint32_t>(4 + chunks.size())) + "WAVE" + chunks;
}

// What the reader makes of a file: its samples, or the failure.
struct Outcome {
  Status status = Status::kOk;
  AudioFormat format;
  std::vector<int32_t> samples;
};

Outcome Read(const std::string& wav) {
  Outcome outcome;
  try {
    MemorySource source(wav);
    WavReader reader(source);
    outcome.format = reader.format();
    outcome.samples.resize(size_t{reader.sampleFrames()} * reader.format().channels);
    const size_t got = reader.Read(outcome.samples.data(), reader.sampleFrames());
    EXPECT_EQ(got, reader.sampleFrames());
    EXPECT_EQ(reader.Read(outcome.samples.data(), 1), 0u);
  } catch (const CodecError& error) {
    outcome.status = error.status();
  }
  return outcome;
}

TEST(WavReaderTest, ReadsSignedSamplesOfEveryWidth) {
  const std::string eightBit =
      Riff(Chunk("fmt ", PlainFormat(1, 1, 8)) + Chunk("data", std::string("\x00\x80\xFF", 3)));
  EXPECT_EQ(Read(eightBit).samples, (std::vector<int32_t>{-128, 0, 127}));

  const std::string sixteen =
      Riff(Chunk("fmt ", PlainFormat(1, 2, 16)) + Chunk("data", Le16(0x8000) + Le16(0x7FFF)));
  EXPECT_EQ(Read(sixteen).samples, (std::vector<int32_t>{-32768, 32767}));

  const std::string twentyFour = Riff(Chunk("fmt ", PlainFormat(1, 1, 24)) +
                                      Chunk("data", std::string("\x00\x00\x80\xFF\xFF\x7F", 6)));
  EXPECT_EQ(Read(twentyFour).samples, (std::vector<int32_t>{-8388608, 8388607}));
}

TEST(WavReaderTest, SkipsUnknownChunksAndAcceptsExtensiblePcm) {
  const std::string data = Chunk("data", Le16(1) + Le16(2) + Le16(3));
  // An odd-sized chunk is followed by a pad byte that is not part of it.
  const std::string wav =
      Riff(Chunk("LIST", "odd") + Chunk("fmt ", ExtensibleFormat(3, 16, 16, 1)) +
           Chunk("fact", Le32(1)) + data);
  const Outcome outcome = Read(wav);
  ASSERT_EQ(outcome.status, Status::kOk);
  EXPECT_EQ(outcome.format.channels, 3u);
  EXPECT_EQ(outcome.samples, (std::vector<int32_t>{1, 2, 3}));

  // 20 valid bits in a 24-bit container are kept as 24-bit samples.
  EXPECT_EQ(Read(Riff(Chunk("fmt ", ExtensibleFormat(1, 24, 20, 1)) +
                      Chunk("data", std::string("\x10\x00\x00", 3))))
                .samples,
            (std::vector<int32_t>{16}));
}

TEST(WavReaderTest, RefusesWhatIsNotIntegerPcmOfASupportedShape) {
  const std::string data = Chunk("data", std::string(8, '\0'));
  for (const std::string& format :
       {PlainFormat(3, 1, 32),           // IEEE float
        PlainFormat(2, 1, 16),           // ADPCM
        ExtensibleFormat(2, 32, 32, 3),  // float behind the extensible header
        ExtensibleFormat(2, 16, 24, 1),  // more valid bits than the container
        PlainFormat(1, 1, 32), PlainFormat(1, 1, 12), PlainFormat(1, 9, 16),
        PlainFormat(1, 0, 16)}) {
    EXPECT_EQ(Read(Riff(Chunk("fmt ", format) + data)).status, Status::kUnsupportedFormat);
  }
  std::string misaligned = PlainFormat(1, 2, 16);
  misaligned[12] = 2;  // block align 2 for two 16-bit channels
  EXPECT_EQ(Read(Riff(Chunk("fmt ", misaligned) + data)).status, Status::kUnsupportedFormat);

  EXPECT_EQ(Read("").status, Status::kUnsupportedFormat);
  EXPECT_EQ(Read("TTA1 is not a WAV file").status, Status::kUnsupportedFormat);
  EXPECT_EQ(Read(std::string("RIFF\x10\0\0\0AVI LIST", 16)).status, Status::kUnsupportedFormat);
}

TEST(WavReaderTest, TruncatedOrInconsistentFilesAreMalformed) {
  const std::string format = Chunk("fmt ", PlainFormat(1, 2, 16));
  const std::string whole = Riff(format + Chunk("data", std::string(16, '\x01')));
  // Every cut that leaves the RIFF signature: within the headers or within the data.
  for (size_t length = 4; length < whole.size(); ++length) {
    EXPECT_EQ(Read(whole.substr(0, length)).status, Status::kMalformedData) << length;
  }
  EXPECT_EQ(Read(Riff(Chunk("data", std::string(4, '\0')) + format)).status,
            Status::kMalformedData);  // data before format
  EXPECT_EQ(Read(Riff(format + Chunk("data", std::string(6, '\0')))).status,
            Status::kMalformedData);  // one and a half sample frames
  EXPECT_EQ(Read(Riff(Chunk("fmt ", PlainFormat(1, 2, 16).substr(0, 14)))).status,
            Status::kMalformedData);  // format chunk too short
}

TEST(WavWriterTest, WritesACanonicalHeaderAndPadsOddData) {
  const AudioFormat format{1, 8, 8000};
  const std::string wav = testing::MakeWav(format, {-128, 0, 127});
  EXPECT_EQ(wav, Riff(Chunk("fmt ", PlainFormat(1, 1, 8)) +
                      Chunk("data", std::string("\x00\x80\xFF", 3))));
}

}  // namespace
}  // namespace tta

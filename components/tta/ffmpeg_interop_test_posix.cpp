// ffmpeg is an independent TTA implementation: what we encode must decode there to the same
// samples, what it encodes must decode here, and our files must be as small as its own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "components/tta/memory_stream.h"
#include "components/tta/test_signals.h"
#include "components/tta/wav_reader.h"

namespace tta {
namespace {

namespace fs = std::filesystem;
using testing::Signal;

struct Case {
  unsigned bits;
  unsigned channels;
  Signal signal;
  uint32_t sampleFrames;
};

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// The samples of a WAV file, whatever its header looks like.
std::vector<int32_t> Samples(const std::string& wav) {
  MemorySource source(wav);
  WavReader reader(source);
  std::vector<int32_t> samples(size_t{reader.sampleFrames()} * reader.format().channels);
  reader.Read(samples.data(), reader.sampleFrames());
  return samples;
}

const char* PcmCodec(unsigned bits) {
  return bits == 8 ? "pcm_u8" : bits == 16 ? "pcm_s16le" : "pcm_s24le";
}

class FfmpegInteropTest : public ::testing::TestWithParam<Case> {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("tta-interop-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  void Ffmpeg(const std::string& arguments) {
    const std::string command =
        "ffmpeg -nostdin -hide_banner -loglevel error -y " + arguments + " 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }

  fs::path dir_;
  static inline int counter_ = 0;
};

TEST_P(FfmpegInteropTest, BothWaysGiveTheSameSamplesAndSize) {
  const Case c = GetParam();
  const AudioFormat format{c.channels, c.bits, 8000};
  const auto samples = testing::MakeSamples(format, c.sampleFrames, c.signal, 7);
  const std::string wav = testing::MakeWav(format, samples);
  WriteFile(dir_ / "source.wav", wav);

  const std::string ours = testing::EncodeToTta(wav);
  WriteFile(dir_ / "ours.tta", ours);
  Ffmpeg("-i " + (dir_ / "ours.tta").string() + " -c:a " + PcmCodec(c.bits) + " " +
         (dir_ / "from_ours.wav").string());
  EXPECT_EQ(Samples(ReadFile(dir_ / "from_ours.wav")), samples) << "ffmpeg decoding ours";

  // Bit-exact mode keeps ffmpeg's encoder tag out, so the sizes compare the audio data.
  Ffmpeg("-i " + (dir_ / "source.wav").string() +
         " -map_metadata -1 -fflags +bitexact -c:a tta -f tta " + (dir_ / "theirs.tta").string());
  const std::string theirs = ReadFile(dir_ / "theirs.tta");
  EXPECT_EQ(Samples(testing::DecodeToWav(theirs)), samples) << "decoding ffmpeg's";

  const double ratio = static_cast<double>(ours.size()) / static_cast<double>(theirs.size());
  EXPECT_NEAR(ratio, 1.0, 0.005) << ours.size() << " bytes against ffmpeg's " << theirs.size();
}

// 8359 sample frames make one frame at 8 kHz; the lengths end inside a later frame.
INSTANTIATE_TEST_SUITE_P(
    Formats, FfmpegInteropTest,
    ::testing::Values(Case{16, 2, Signal::kSine, 20000}, Case{16, 1, Signal::kNoise, 9000},
                      Case{8, 1, Signal::kSine, 9000}, Case{8, 2, Signal::kNoise, 9000},
                      Case{24, 2, Signal::kSine, 12000}, Case{24, 1, Signal::kNoise, 9000},
                      Case{16, 6, Signal::kSine, 9000}, Case{24, 8, Signal::kExtremes, 8500},
                      Case{16, 2, Signal::kSilence, 17000}, Case{16, 2, Signal::kExtremes, 1}));

}  // namespace
}  // namespace tta

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "components/tta/file_transcode.h"
#include "components/tta/test_signals.h"

namespace tta {
namespace {

namespace fs = std::filesystem;

class FileTranscodeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tta-files-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    const AudioFormat format{2, 16, 44100};
    wav_ = testing::MakeWav(format, testing::MakeSamples(format, 30000, testing::Signal::kSine));
    Write("source.wav", wav_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }
  bool Exists(const std::string& name) const { return fs::exists(dir_ / name); }

  fs::path dir_;
  std::string wav_;
};

TEST_F(FileTranscodeTest, EncodesAndDecodesFilesReplacingAnOldOutput) {
  Write("out.tta", "an older file");
  ASSERT_EQ(EncodeFile(Path("source.wav"), Path("out.tta"), nullptr), Status::kOk);
  ASSERT_EQ(DecodeFile(Path("out.tta"), Path("back.wav"), nullptr), Status::kOk);
  EXPECT_EQ(Read("back.wav"), wav_);
}

TEST_F(FileTranscodeTest, FailuresLeaveNoOutputAndKeepWhatWasThere) {
  EXPECT_EQ(EncodeFile(Path("missing.wav"), Path("a.tta"), nullptr), Status::kSourceMissing);
  EXPECT_EQ(EncodeFile(Path("source.wav"), Path("no-such-dir/a.tta"), nullptr),
            Status::kOutputNotWritable);
  EXPECT_FALSE(Exists("a.tta"));

  // A source that is not a WAV file is refused before the output is touched.
  Write("kept.tta", "kept");
  Write("text.wav", "plain text, not audio");
  EXPECT_EQ(EncodeFile(Path("text.wav"), Path("kept.tta"), nullptr), Status::kUnsupportedFormat);
  EXPECT_EQ(Read("kept.tta"), "kept");

  ASSERT_EQ(EncodeFile(Path("source.wav"), Path("good.tta"), nullptr), Status::kOk);
  std::string damaged = Read("good.tta");
  damaged[damaged.size() / 2] ^= 0x10;
  Write("damaged.tta", damaged);
  EXPECT_EQ(DecodeFile(Path("damaged.tta"), Path("damaged.wav"), nullptr), Status::kMalformedData);
  EXPECT_FALSE(Exists("damaged.wav"));

  int reports = 0;
  const ProgressFn stopAtThird = [&](uint64_t) { return ++reports < 3; };
  EXPECT_EQ(DecodeFile(Path("good.tta"), Path("cancelled.wav"), stopAtThird), Status::kCancelled);
  EXPECT_FALSE(Exists("cancelled.wav"));
}

TEST_F(FileTranscodeTest, NeverOverwritesItsOwnSource) {
  EXPECT_EQ(EncodeFile(Path("source.wav"), Path("source.wav"), nullptr), Status::kInvalidArguments);
  EXPECT_EQ(EncodeFile(Path("source.wav"), (dir_ / "." / "source.wav").string(), nullptr),
            Status::kInvalidArguments);
  EXPECT_EQ(Read("source.wav"), wav_);
  EXPECT_EQ(EncodeFile("", Path("x.tta"), nullptr), Status::kInvalidArguments);
}

}  // namespace
}  // namespace tta

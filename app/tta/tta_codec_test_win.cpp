#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "app/testing/temp_folder_win.h"
#include "app/testing/wave_bytes.h"
#include "app/tta/tta_codec_win.h"

namespace {

using wave_bytes::RampWave;

TEST(TtaCodec, RoundTripThroughTheLibraryCountsSteps) {
  TempFolder folder;
  const std::u16string wav = folder / u"録音 1.wav";
  const std::u16string tta = folder / u"録音 1.tta";
  const std::u16string back = folder / u"戻し.wav";
  const std::string source = RampWave(400000);
  WriteBytes(wav, source);
  int16_t cancel = 0;

  basMain::StartTtaProgress(static_cast<int64_t>(source.size()));
  EXPECT_EQ(tta_vb::Enc_WavToTTA(wav, tta, &cancel), kTtaDone);
  EXPECT_GT(basMain::intTtaStep, 50);
  EXPECT_LE(basMain::intTtaStep, 101);

  basMain::StartTtaProgress(static_cast<int64_t>(std::filesystem::file_size(tta)));
  EXPECT_EQ(tta_vb::Dec_TTAToWav(tta, back, &cancel), kTtaDone);
  EXPECT_EQ(ReadBytes(back), source);
}

TEST(TtaCodec, SetCancelFlagStopsTheCodec) {
  TempFolder folder;
  WriteBytes(folder / u"a.wav", RampWave(400000));
  int16_t cancel = -1;
  basMain::StartTtaProgress(800044);
  EXPECT_EQ(tta_vb::Enc_WavToTTA(folder / u"a.wav", folder / u"a.tta", &cancel), kTtaStopped);
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(folder / u"a.tta")));
}

}  // namespace

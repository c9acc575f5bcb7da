#include "app/testing/wave_bytes.h"

namespace wave_bytes {

namespace {

void PutLittleEndian(std::string& bytes, uint32_t value, int width) {
  for (int i = 0; i < width; ++i) bytes.push_back(static_cast<char>(value >> (8 * i)));
}

}  // namespace

std::string PcmWave(uint16_t channels, uint16_t bitsPerSample, std::string_view data) {
  constexpr uint32_t kSampleRate = 44100;
  const uint32_t blockAlign = channels * (bitsPerSample / 8u);
  const auto dataSize = static_cast<uint32_t>(data.size());
  std::string bytes = "RIFF";
  PutLittleEndian(bytes, 36 + dataSize, 4);
  bytes += "WAVEfmt ";
  PutLittleEndian(bytes, 16, 4);
  PutLittleEndian(bytes, 1, 2);  // PCM
  PutLittleEndian(bytes, channels, 2);
  PutLittleEndian(bytes, kSampleRate, 4);
  PutLittleEndian(bytes, kSampleRate * blockAlign, 4);
  PutLittleEndian(bytes, blockAlign, 2);
  PutLittleEndian(bytes, bitsPerSample, 2);
  bytes += "data";
  PutLittleEndian(bytes, dataSize, 4);
  bytes += data;
  return bytes;
}

std::string RampWave(uint32_t samples) {
  std::string data;
  data.reserve(static_cast<size_t>(samples) * 2);
  for (uint32_t i = 0; i < samples; ++i) PutLittleEndian(data, i * 7, 2);
  return PcmWave(1, 16, data);
}

std::string WaveSamples(std::string_view wave) {
  size_t at = 12;
  while (at + 8 <= wave.size()) {
    const uint32_t size = static_cast<unsigned char>(wave[at + 4]) |
                          static_cast<unsigned char>(wave[at + 5]) << 8 |
                          static_cast<unsigned char>(wave[at + 6]) << 16 |
                          static_cast<uint32_t>(static_cast<unsigned char>(wave[at + 7])) << 24;
    if (wave.substr(at, 4) == "data") return std::string(wave.substr(at + 8, size));
    at += 8 + size + (size & 1);
  }
  return {};
}

}  // namespace wave_bytes

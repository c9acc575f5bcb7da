// The TTA1 container: stream header, seek table, frame layout and the ID3v2 tag that taggers
// put in front of it. All fields are little-endian; every block ends in a CRC-32.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "components/tta/audio_format.h"

namespace tta {

constexpr size_t kHeaderSize = 22;  // signature, format, channels, bits, rate, length, CRC
constexpr size_t kCrcSize = 4;
constexpr size_t kSeekEntrySize = 4;
constexpr uint16_t kPcmFormat = 1;

struct StreamHeader {
  AudioFormat format;
  uint32_t sampleCount = 0;  // per channel

  // One frame holds 256/245 of a second (1.0449 s) of every channel.
  uint32_t frameLength() const {
    return static_cast<uint32_t>(uint64_t{format.sampleRate} * 256 / 245);
  }
  uint32_t frameCount() const;
};

std::array<uint8_t, kHeaderSize> SerializeHeader(const StreamHeader& header);

// Throws CodecError: kUnsupportedFormat for a foreign signature, an encrypted or otherwise
// unknown format, or a shape the codec does not handle; kMalformedData for a failing CRC.
StreamHeader ParseHeader(const std::array<uint8_t, kHeaderSize>& bytes);

constexpr size_t kId3v2HeaderSize = 10;

// Total length of an ID3v2 tag whose first ten bytes are given, footer included; 0 when the
// bytes do not open one.
uint64_t Id3v2TagSize(const uint8_t* first10);

uint32_t Crc32(uint32_t crc, const uint8_t* data, size_t size);

}  // namespace tta

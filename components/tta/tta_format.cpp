#include "components/tta/tta_format.h"

#include <zlib.h>

#include <cstring>

#include "components/tta/status.h"

namespace tta {

uint32_t StreamHeader::frameCount() const {
  uint32_t length = frameLength();
  if (length == 0) return 0;
  return sampleCount / length + (sampleCount % length != 0 ? 1 : 0);
}

std::array<uint8_t, kHeaderSize> SerializeHeader(const StreamHeader& header) {
  std::array<uint8_t, kHeaderSize> bytes{};
  std::memcpy(bytes.data(), "TTA1", 4);
  StoreLe16(&bytes[4], kPcmFormat);
  StoreLe16(&bytes[6], header.format.channels);
  StoreLe16(&bytes[8], header.format.bitsPerSample);
  StoreLe32(&bytes[10], header.format.sampleRate);
  StoreLe32(&bytes[14], header.sampleCount);
  StoreLe32(&bytes[18], Crc32(0, bytes.data(), 18));
  return bytes;
}

StreamHeader ParseHeader(const std::array<uint8_t, kHeaderSize>& bytes) {
  if (std::memcmp(bytes.data(), "TTA1", 4) != 0) throw CodecError(Status::kUnsupportedFormat);
  if (LoadLe32(&bytes[18]) != Crc32(0, bytes.data(), 18)) {
    throw CodecError(Status::kMalformedData);
  }
  StreamHeader header;
  header.format.channels = LoadLe16(&bytes[6]);
  header.format.bitsPerSample = LoadLe16(&bytes[8]);
  header.format.sampleRate = LoadLe32(&bytes[10]);
  header.sampleCount = LoadLe32(&bytes[14]);
  // Format 2 is the password-protected variant; nothing here can decode it.
  if (LoadLe16(&bytes[4]) != kPcmFormat || !IsSupported(header.format) ||
      header.frameLength() == 0) {
    throw CodecError(Status::kUnsupportedFormat);
  }
  return header;
}

uint64_t Id3v2TagSize(const uint8_t* first10) {
  if (std::memcmp(first10, "ID3", 3) != 0) return 0;
  uint32_t size = 0;
  for (int i = 6; i < 10; ++i) {
    if (first10[i] & 0x80) return 0;  // not a synchsafe integer, so not a tag
    size = (size << 7) | first10[i];
  }
  const bool hasFooter = (first10[5] & 0x10) != 0;
  return kId3v2HeaderSize + size + (hasFooter ? kId3v2HeaderSize : 0);
}

uint32_t Crc32(uint32_t crc, const uint8_t* data, size_t size) {
  return static_cast<uint32_t>(crc32_z(crc, data, size));
}

}  // namespace tta

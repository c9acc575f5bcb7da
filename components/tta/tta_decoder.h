// Streaming TTA1 decoder. Frames are decoded in order, each checked against its CRC; the seek
// table is verified, and kept only when asked for (decoding frames apart needs their sizes).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "components/tta/bit_reader.h"
#include "components/tta/byte_stream.h"
#include "components/tta/channel_coder.h"
#include "components/tta/tta_format.h"

namespace tta {

class TtaDecoder {
 public:
  // Reads the stream up to its first frame, skipping an ID3v2 tag in front. Throws CodecError:
  // kUnsupportedFormat when the source is not a TTA1 stream the codec handles, kMalformedData
  // when it is damaged.
  enum class SeekTable { kCheck, kKeep };
  explicit TtaDecoder(ByteSource& source, SeekTable seekTable = SeekTable::kCheck);

  // Decodes a run of whole frames of a stream laid out by `header`, from the source's first
  // byte; `header.sampleCount` is the run's length.
  TtaDecoder(ByteSource& frames, const StreamHeader& header);

  const StreamHeader& header() const { return header_; }
  // Each frame's size in bytes, CRC included; empty unless kept.
  const std::vector<uint32_t>& frameSizes() const { return frameSizes_; }

  // Decodes up to `sampleFrames` interleaved sample frames into `out`; returns how many, 0 at
  // the end of the stream.
  size_t Decode(int32_t* out, size_t sampleFrames);

  // Passes over whole frames holding `sampleFrames`, handing out their `size` bytes undecoded
  // (to decode them apart); a shorter stream is truncated data. Call between frames only.
  void ReadRawFrames(uint8_t* out, size_t size, uint32_t sampleFrames);

  uint64_t consumed() const { return reader_.consumed(); }

 private:
  void ReadHeader();
  void CheckSeekTable(SeekTable seekTable);
  // Decodes sample frames that all belong to the current frame.
  template <unsigned kBytes, unsigned kChannels>
  void DecodeRun(int32_t* out, size_t sampleFrames);

  BitReader reader_;
  StreamHeader header_;
  std::vector<uint32_t> frameSizes_;
  std::array<ChannelState, kMaxChannels> channels_;
  uint32_t frameRemaining_ = 0;
  uint32_t samplesRemaining_ = 0;
};

}  // namespace tta

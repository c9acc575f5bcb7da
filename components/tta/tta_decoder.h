// Streaming TTA1 decoder. Frames are decoded in order, each checked against its CRC; the seek
// table is verified but not kept, as sequential decoding does not need it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

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
  explicit TtaDecoder(ByteSource& source);

  const StreamHeader& header() const { return header_; }

  // Decodes up to `sampleFrames` interleaved sample frames into `out`; returns how many, 0 at
  // the end of the stream.
  size_t Decode(int32_t* out, size_t sampleFrames);

  uint64_t consumed() const { return reader_.consumed(); }

 private:
  void ReadHeader();
  void CheckSeekTable();
  // Decodes sample frames that all belong to the current frame.
  template <unsigned kBytes, unsigned kChannels>
  void DecodeRun(int32_t* out, size_t sampleFrames);

  BitReader reader_;
  StreamHeader header_;
  std::array<ChannelState, kMaxChannels> channels_;
  uint32_t frameRemaining_ = 0;
  uint32_t samplesRemaining_ = 0;
};

}  // namespace tta

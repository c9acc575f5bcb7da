// Streaming TTA1 encoder: the header and a placeholder seek table go out first, each seek
// entry is filled in as its frame completes, so memory does not depend on the stream's length.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "components/tta/bit_writer.h"
#include "components/tta/byte_stream.h"
#include "components/tta/channel_coder.h"
#include "components/tta/tta_format.h"

namespace tta {

class TtaEncoder {
 public:
  // The sink must be empty: seek entries are written at offsets from its start.
  TtaEncoder(ByteSink& sink, const StreamHeader& header);

  // Encodes interleaved samples (channels values per sample frame), continuing the stream.
  void Encode(const int32_t* samples, size_t sampleFrames);

  // Completes the stream; throws CodecError(kMalformedData) when fewer sample frames were
  // given than the header announced.
  void Finish();

 private:
  // Encodes sample frames that all belong to the current frame.
  template <unsigned kBytes, unsigned kChannels>
  void EncodeRun(const int32_t* samples, size_t sampleFrames);
  void StartFrame();
  void EndFrame();

  ByteSink& sink_;
  StreamHeader header_;
  BitWriter writer_;
  std::array<ChannelState, kMaxChannels> channels_;
  uint32_t framesWritten_ = 0;
  uint32_t frameRemaining_ = 0;  // sample frames still to come in the current frame
  uint32_t samplesRemaining_;    // sample frames still to come in the stream
  uint32_t seekCrc_ = 0;
};

}  // namespace tta

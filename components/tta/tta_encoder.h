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

// Codes sample frames into TTA1 frames, one after another, with no header or seek table:
// the stream encoder's core, and what codes frames apart on other threads.
class FrameEncoder {
 public:
  FrameEncoder(ByteSink& sink, const AudioFormat& format);

  // Starts a frame: every frame begins from the same model state.
  void StartFrame();
  // Encodes interleaved samples (channels values per sample frame) into the current frame.
  void Encode(const int32_t* samples, size_t sampleFrames);
  // Completes the frame (padding and CRC) and returns its length in bytes, CRC included.
  uint32_t EndFrame() { return writer_.EndFrame(); }
  // Hands everything coded so far to the sink.
  void Drain() { writer_.Drain(); }

 private:
  template <unsigned kBytes, unsigned kChannels>
  void EncodeRun(const int32_t* samples, size_t sampleFrames);

  AudioFormat format_;
  BitWriter writer_;
  std::array<ChannelState, kMaxChannels> channels_;
};

class TtaEncoder {
 public:
  // The sink must be empty: seek entries are written at offsets from its start.
  TtaEncoder(ByteSink& sink, const StreamHeader& header);

  // Encodes interleaved samples (channels values per sample frame), continuing the stream.
  void Encode(const int32_t* samples, size_t sampleFrames);
  // Appends the next frame, coded apart by a FrameEncoder (`size` bytes, CRC included, for
  // `sampleFrames` sample frames); only between frames.
  void AppendFrame(const uint8_t* bytes, size_t size, uint32_t sampleFrames);

  // Completes the stream; throws CodecError(kMalformedData) when fewer sample frames were
  // given than the header announced.
  void Finish();

 private:
  void EndFrame() { AddSeekEntry(frames_.EndFrame()); }
  void AddSeekEntry(uint32_t frameSize);

  ByteSink& sink_;
  StreamHeader header_;
  FrameEncoder frames_;
  uint32_t framesWritten_ = 0;
  uint32_t frameRemaining_ = 0;  // sample frames still to come in the current frame
  uint32_t samplesRemaining_;    // sample frames still to come in the stream
  uint32_t seekCrc_ = 0;
};

}  // namespace tta

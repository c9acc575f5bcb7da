#include "components/tta/tta_encoder.h"

#include <algorithm>

#include "components/tta/status.h"

namespace tta {
namespace {

// One value of one channel, after the channels are decorrelated: each channel but the last
// is coded as its difference to the next; the last keeps its own value, moved halfway
// towards the one before.
template <unsigned kBytes>
inline void EncodeValue(ChannelState& s, int32_t value, WriteWindow& w, BitWriter& writer) {
  using Model = ModelParameters<kBytes>;
  const int32_t predicted = static_cast<int32_t>(
      static_cast<uint32_t>(value) -
      static_cast<uint32_t>(FixedPrediction<Model::kPredictorShift>(s.predictor)));
  s.predictor = value;
  const int32_t residue = static_cast<int32_t>(
      static_cast<uint32_t>(predicted) -
      static_cast<uint32_t>(FilterPrediction<Model::kFilterShift>(s, Model::kFilterRound)));
  FilterUpdate(s, residue, predicted);

  // A value of at least 2^k0 is escaped by a leading one-bit and coded with k1.
  const uint32_t code = FoldSign(residue);
  const uint32_t k0 = s.k0;
  const uint32_t k1 = s.k1;
  const bool escaped = code >= (1u << k0);
  const uint32_t rest = code - (escaped ? 1u << k0 : 0);
  const unsigned k = escaped ? k1 : k0;
  const uint32_t ones = escaped ? (rest >> k1) + 1 : 0;
  AdaptRice(s.sum0, s.k0, code);
  AdaptRiceIf(escaped, s.sum1, s.k1, rest);
  writer.PutRice(w, ones, rest & ((1u << k) - 1), k);
}

}  // namespace

FrameEncoder::FrameEncoder(ByteSink& sink, const AudioFormat& format)
    : format_(format), writer_(sink) {}

void FrameEncoder::StartFrame() {
  for (unsigned c = 0; c < format_.channels; ++c) ResetChannel(channels_[c]);
}

void FrameEncoder::Encode(const int32_t* samples, size_t sampleFrames) {
  DispatchOnShape(format_, [&]<unsigned kBytes, unsigned kChannels>() {
    EncodeRun<kBytes, kChannels>(samples, sampleFrames);
  });
}

TtaEncoder::TtaEncoder(ByteSink& sink, const StreamHeader& header)
    : sink_(sink),
      header_(header),
      frames_(sink, header.format),
      samplesRemaining_(header.sampleCount) {
  if (!IsSupported(header.format)) throw CodecError(Status::kUnsupportedFormat);
  const auto headerBytes = SerializeHeader(header);
  sink_.Write(headerBytes.data(), headerBytes.size());
  // The seek table is filled in as frames complete; until then it holds zeros.
  const uint8_t zeros[4096] = {};
  for (uint64_t left = uint64_t{header.frameCount()} * kSeekEntrySize + kCrcSize; left > 0;) {
    const size_t n = static_cast<size_t>(std::min<uint64_t>(left, sizeof zeros));
    sink_.Write(zeros, n);
    left -= n;
  }
}

void TtaEncoder::AppendFrame(const uint8_t* bytes, size_t size, uint32_t sampleFrames) {
  if (frameRemaining_ != 0 || sampleFrames != std::min(header_.frameLength(), samplesRemaining_) ||
      sampleFrames == 0 || size > UINT32_MAX) {
    throw CodecError(Status::kInternalError);
  }
  sink_.Write(bytes, size);
  samplesRemaining_ -= sampleFrames;
  AddSeekEntry(static_cast<uint32_t>(size));
}

void TtaEncoder::AddSeekEntry(uint32_t frameSize) {
  uint8_t entry[kSeekEntrySize];
  StoreLe32(entry, frameSize);
  seekCrc_ = Crc32(seekCrc_, entry, sizeof entry);
  sink_.WriteAt(kHeaderSize + uint64_t{framesWritten_} * kSeekEntrySize, entry, sizeof entry);
  ++framesWritten_;
}

void TtaEncoder::Encode(const int32_t* samples, size_t sampleFrames) {
  const unsigned channels = header_.format.channels;
  while (sampleFrames > 0) {
    if (samplesRemaining_ == 0) throw CodecError(Status::kInternalError);
    if (frameRemaining_ == 0) {
      frames_.StartFrame();
      frameRemaining_ = std::min(header_.frameLength(), samplesRemaining_);
    }
    const uint32_t run = static_cast<uint32_t>(std::min<size_t>(sampleFrames, frameRemaining_));
    frames_.Encode(samples, run);
    samples += size_t{run} * channels;
    sampleFrames -= run;
    frameRemaining_ -= run;
    samplesRemaining_ -= run;
    if (frameRemaining_ == 0) EndFrame();
  }
}

template <unsigned kBytes, unsigned kChannels>
void FrameEncoder::EncodeRun(const int32_t* samples, size_t sampleFrames) {
  // The channel states and the write window are copied into locals, which the compiler can
  // keep in registers: nothing else can point to them.
  WriteWindow w = writer_.window();
  if constexpr (kChannels == 1) {
    ChannelState s = channels_[0];
    for (size_t i = 0; i < sampleFrames; ++i) EncodeValue<kBytes>(s, samples[i], w, writer_);
    channels_[0] = s;
  } else if constexpr (kChannels == 2) {
    ChannelState first = channels_[0];
    ChannelState second = channels_[1];
    for (size_t i = 0; i < sampleFrames; ++i, samples += 2) {
      const int32_t difference = samples[1] - samples[0];
      EncodeValue<kBytes>(first, difference, w, writer_);
      EncodeValue<kBytes>(second, samples[1] - difference / 2, w, writer_);
    }
    channels_[0] = first;
    channels_[1] = second;
  } else {
    const unsigned channels = format_.channels;
    ChannelState state[kMaxChannels];
    std::copy_n(channels_.begin(), channels, state);
    for (size_t i = 0; i < sampleFrames; ++i, samples += channels) {
      for (unsigned c = 0; c + 1 < channels; ++c) {
        EncodeValue<kBytes>(state[c], samples[c + 1] - samples[c], w, writer_);
      }
      const int32_t last = samples[channels - 1];
      EncodeValue<kBytes>(state[channels - 1], last - (last - samples[channels - 2]) / 2, w,
                          writer_);
    }
    std::copy_n(state, channels, channels_.begin());
  }
  writer_.Return(w);
}

void TtaEncoder::Finish() {
  if (samplesRemaining_ != 0) throw CodecError(Status::kMalformedData);
  frames_.Drain();
  uint8_t crc[kCrcSize];
  StoreLe32(crc, seekCrc_);
  sink_.WriteAt(kHeaderSize + uint64_t{header_.frameCount()} * kSeekEntrySize, crc, sizeof crc);
}

}  // namespace tta

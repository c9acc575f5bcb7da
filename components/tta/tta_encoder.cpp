#include "components/tta/tta_encoder.h"

#include <algorithm>

#include "components/tta/status.h"

namespace tta {

TtaEncoder::TtaEncoder(ByteSink& sink, const StreamHeader& header)
    : sink_(sink), header_(header), writer_(sink), samplesRemaining_(header.sampleCount) {
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

void TtaEncoder::StartFrame() {
  for (unsigned c = 0; c < header_.format.channels; ++c) ResetChannel(channels_[c]);
  frameRemaining_ = std::min(header_.frameLength(), samplesRemaining_);
}

void TtaEncoder::EndFrame() {
  uint8_t entry[kSeekEntrySize];
  StoreLe32(entry, writer_.EndFrame());
  seekCrc_ = Crc32(seekCrc_, entry, sizeof entry);
  sink_.WriteAt(kHeaderSize + uint64_t{framesWritten_} * kSeekEntrySize, entry, sizeof entry);
  ++framesWritten_;
}

template <unsigned kBytes>
void TtaEncoder::EncodeRunOfWidth(const int32_t* samples, size_t sampleFrames) {
  switch (header_.format.channels) {
    case 1:
      return EncodeRun<kBytes, 1>(samples, sampleFrames);
    case 2:
      return EncodeRun<kBytes, 2>(samples, sampleFrames);
    default:
      return EncodeRun<kBytes, 0>(samples, sampleFrames);
  }
}

void TtaEncoder::EncodeRunFor(const int32_t* samples, size_t sampleFrames) {
  switch (header_.format.bytesPerSample()) {
    case 1:
      return EncodeRunOfWidth<1>(samples, sampleFrames);
    case 2:
      return EncodeRunOfWidth<2>(samples, sampleFrames);
    default:
      return EncodeRunOfWidth<3>(samples, sampleFrames);
  }
}

void TtaEncoder::Encode(const int32_t* samples, size_t sampleFrames) {
  const unsigned channels = header_.format.channels;
  while (sampleFrames > 0) {
    if (samplesRemaining_ == 0) throw CodecError(Status::kInternalError);
    if (frameRemaining_ == 0) StartFrame();
    const uint32_t run = static_cast<uint32_t>(std::min<size_t>(sampleFrames, frameRemaining_));
    EncodeRunFor(samples, run);
    samples += size_t{run} * channels;
    sampleFrames -= run;
    frameRemaining_ -= run;
    samplesRemaining_ -= run;
    if (frameRemaining_ == 0) EndFrame();
  }
}

template <unsigned kBytes, unsigned kChannels>
void TtaEncoder::EncodeRun(const int32_t* samples, size_t sampleFrames) {
  using Model = ModelParameters<kBytes>;
  // kChannels is 0 for a count known only at run time; mono and stereo get loops of their own.
  const unsigned channels = kChannels != 0 ? kChannels : header_.format.channels;
  const unsigned last = channels - 1;
  // Working copies that nothing else can point to, so the compiler keeps them out of the
  // way of the output stores.
  ChannelState state[kChannels != 0 ? kChannels : kMaxChannels];
  std::copy_n(channels_.begin(), channels, state);
  WriteWindow w = writer_.window();
  for (size_t i = 0; i < sampleFrames; ++i, samples += channels) {
    for (unsigned c = 0; c < channels; ++c) {
      // Channels are coded as differences to their neighbour; the last keeps its own
      // value, moved halfway towards the one before.
      int32_t value;
      if (channels == 1) {
        value = samples[0];
      } else if (c < last) {
        value = samples[c + 1] - samples[c];
      } else {
        value = samples[c] - (samples[c] - samples[c - 1]) / 2;
      }
      ChannelState& s = state[c];
      const int32_t predicted = static_cast<int32_t>(
          static_cast<uint32_t>(value) -
          static_cast<uint32_t>(FixedPrediction<Model::kPredictorShift>(s.predictor)));
      s.predictor = value;
      const int32_t residue = static_cast<int32_t>(
          static_cast<uint32_t>(predicted) -
          static_cast<uint32_t>(FilterPrediction<Model::kFilterShift>(s, Model::kFilterRound)));
      FilterUpdate(s, residue, predicted);

      const uint32_t code = FoldSign(residue);
      // A value of at least 2^k0 is escaped by a leading one-bit and coded with k1.
      const uint32_t k0 = s.k0;
      const uint32_t k1 = s.k1;
      const bool escaped = code >= (1u << k0);
      const uint32_t rest = code - (escaped ? 1u << k0 : 0);
      const unsigned k = escaped ? k1 : k0;
      const uint32_t ones = escaped ? (rest >> k1) + 1 : 0;
      AdaptRice(s.sum0, s.k0, code);
      AdaptRiceIf(escaped, s.sum1, s.k1, rest);
      writer_.PutRice(w, ones, rest & ((1u << k) - 1), k);
    }
  }
  writer_.Return(w);
  std::copy_n(state, channels, channels_.begin());
}

void TtaEncoder::Finish() {
  if (samplesRemaining_ != 0) throw CodecError(Status::kMalformedData);
  writer_.Drain();
  uint8_t crc[kCrcSize];
  StoreLe32(crc, seekCrc_);
  sink_.WriteAt(kHeaderSize + uint64_t{header_.frameCount()} * kSeekEntrySize, crc, sizeof crc);
}

}  // namespace tta

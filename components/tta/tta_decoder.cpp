#include "components/tta/tta_decoder.h"

#include <algorithm>
#include <cstring>

#include "components/tta/status.h"

namespace tta {
namespace {

// A Rice code: a value of at least 2^k0 is escaped by a leading one-bit and coded with k1.
struct RiceCode {
  uint32_t code;  // the folded residue
  uint32_t rest;  // what the second parameter adapts to, when escaped
  bool escaped;
};

inline RiceCode ReadRiceCode(const ChannelState& s, ReadWindow& w, BitReader& reader) {
  const uint64_t bits = PeekBits(w);
  const uint64_t inverted = ~bits & kPeekMask;
  uint32_t ones;
  if (inverted != 0) [[likely]] {
    ones = static_cast<uint32_t>(__builtin_ctzll(inverted));
    w.pos += ones + 1;
  } else {
    const auto unary = reader.ReadLongUnary(w);
    w = unary.window;
    ones = unary.ones;
  }
  const bool escaped = ones != 0;
  const unsigned k = escaped ? s.k1 : s.k0;
  // The low bits usually follow within the bits already peeked, which saves a second load.
  const uint64_t following = ones + 1 + k <= kPeekBits ? bits >> (ones + 1) : PeekBits(w);
  const uint64_t low = following & ((uint64_t{1} << k) - 1);
  w.pos += k;
  const uint64_t rest = (uint64_t{ones - escaped} << k) | low;
  const uint64_t full = rest + (escaped ? uint64_t{1} << s.k0 : 0);
  if (full > UINT32_MAX) throw CodecError(Status::kMalformedData);
  return {static_cast<uint32_t>(full), static_cast<uint32_t>(rest), escaped};
}

// The same for a code that fits one 32-bit peek, as nearly every code of 8- and 16-bit audio
// does; a 32-bit build then keeps the whole code in single registers.
inline bool ReadShortRiceCode(const ChannelState& s, ReadWindow& w, RiceCode& out) {
  const uint32_t bits = PeekWord(w);
  const uint32_t inverted = ~bits & kWordPeekMask;
  if (inverted == 0) return false;
  const uint32_t ones = static_cast<uint32_t>(__builtin_ctz(inverted));
  const bool escaped = ones != 0;
  const unsigned k = escaped ? s.k1 : s.k0;
  if (ones + 1 + k > kWordPeekBits) return false;
  const uint32_t low = (bits >> (ones + 1)) & ((uint32_t{1} << k) - 1);
  w.pos += ones + 1 + k;
  // Both fit: ones - escaped + k is below 25, and k0 is at most 27.
  out.rest = ((ones - escaped) << k) | low;
  out.code = out.rest + (escaped ? uint32_t{1} << s.k0 : 0);
  out.escaped = escaped;
  return true;
}

// Machine words narrower than 64 bits make the 64-bit peek dear.
constexpr bool kPreferWordPeek = sizeof(size_t) < sizeof(uint64_t);

// One value of one channel, before the channels are recombined.
template <unsigned kBytes>
inline int32_t DecodeValue(ChannelState& s, ReadWindow& w, BitReader& reader) {
  using Model = ModelParameters<kBytes>;
  if (w.pos > w.fastLimit) w = reader.Refill(w);
  RiceCode rice;
  if (!kPreferWordPeek || !ReadShortRiceCode(s, w, rice)) rice = ReadRiceCode(s, w, reader);
  AdaptRiceIf(rice.escaped, s.sum1, s.k1, rice.rest);
  const uint32_t code = rice.code;
  AdaptRice(s.sum0, s.k0, code);

  const int32_t residue = UnfoldSign(code);
  const int32_t predicted = static_cast<int32_t>(
      static_cast<uint32_t>(residue) +
      static_cast<uint32_t>(FilterPrediction<Model::kFilterShift>(s, Model::kFilterRound)));
  FilterUpdate(s, residue, predicted);
  const int32_t value = static_cast<int32_t>(
      static_cast<uint32_t>(predicted) +
      static_cast<uint32_t>(FixedPrediction<Model::kPredictorShift>(s.predictor)));
  s.predictor = value;
  return value;
}

}  // namespace

TtaDecoder::TtaDecoder(ByteSource& source, SeekTable seekTable) : reader_(source) {
  ReadHeader();
  CheckSeekTable(seekTable);
  samplesRemaining_ = header_.sampleCount;
}

TtaDecoder::TtaDecoder(ByteSource& frames, const StreamHeader& header)
    : reader_(frames), header_(header), samplesRemaining_(header.sampleCount) {}

void TtaDecoder::ReadHeader() {
  std::array<uint8_t, kHeaderSize> bytes;
  size_t got = reader_.ReadSome(bytes.data(), kId3v2HeaderSize);
  if (got == kId3v2HeaderSize) {
    if (const uint64_t tagSize = Id3v2TagSize(bytes.data())) {
      for (uint64_t left = tagSize - kId3v2HeaderSize; left > 0;) {
        uint8_t scratch[4096];
        const size_t chunk = static_cast<size_t>(std::min<uint64_t>(left, sizeof scratch));
        reader_.ReadBytes(scratch, chunk);
        left -= chunk;
      }
      got = reader_.ReadSome(bytes.data(), kId3v2HeaderSize);
    }
  }
  if (got < 4 || std::memcmp(bytes.data(), "TTA1", 4) != 0) {
    throw CodecError(Status::kUnsupportedFormat);
  }
  if (got == kId3v2HeaderSize) {
    reader_.ReadBytes(bytes.data() + got, kHeaderSize - got);
  } else {
    throw CodecError(Status::kMalformedData);
  }
  header_ = ParseHeader(bytes);
}

void TtaDecoder::CheckSeekTable(SeekTable seekTable) {
  // Entries are kept as they are read, so a header promising more frames than the file holds
  // cannot make the table grow past the file.
  uint32_t crc = 0;
  for (uint64_t left = uint64_t{header_.frameCount()} * kSeekEntrySize; left > 0;) {
    uint8_t chunk[4096];
    const size_t n = static_cast<size_t>(std::min<uint64_t>(left, sizeof chunk));
    reader_.ReadBytes(chunk, n);
    crc = Crc32(crc, chunk, n);
    if (seekTable == SeekTable::kKeep) {
      for (size_t i = 0; i < n; i += kSeekEntrySize) frameSizes_.push_back(LoadLe32(chunk + i));
    }
    left -= n;
  }
  uint8_t stored[kCrcSize];
  reader_.ReadBytes(stored, sizeof stored);
  if (LoadLe32(stored) != crc) throw CodecError(Status::kMalformedData);
}

void TtaDecoder::ReadRawFrames(uint8_t* out, size_t size, uint32_t sampleFrames) {
  reader_.ReadBytes(out, size);
  samplesRemaining_ -= std::min(sampleFrames, samplesRemaining_);
}

size_t TtaDecoder::Decode(int32_t* out, size_t sampleFrames) {
  const unsigned channels = header_.format.channels;
  size_t done = 0;
  while (done < sampleFrames && samplesRemaining_ > 0) {
    if (frameRemaining_ == 0) {
      reader_.BeginFrame();
      for (unsigned c = 0; c < channels; ++c) ResetChannel(channels_[c]);
      frameRemaining_ = std::min(header_.frameLength(), samplesRemaining_);
    }
    const uint32_t run =
        static_cast<uint32_t>(std::min<size_t>(sampleFrames - done, frameRemaining_));
    int32_t* target = out + done * channels;
    DispatchOnShape(header_.format, [&]<unsigned kBytes, unsigned kChannels>() {
      DecodeRun<kBytes, kChannels>(target, run);
    });
    done += run;
    frameRemaining_ -= run;
    samplesRemaining_ -= run;
    if (frameRemaining_ == 0) reader_.EndFrame();
  }
  return done;
}

template <unsigned kBytes, unsigned kChannels>
void TtaDecoder::DecodeRun(int32_t* out, size_t sampleFrames) {
  // The channel states and the read window are copied into locals, which the compiler can
  // keep in registers: nothing else can point to them.
  ReadWindow w = reader_.window();
  if constexpr (kChannels == 1) {
    ChannelState s = channels_[0];
    for (size_t i = 0; i < sampleFrames; ++i) out[i] = DecodeValue<kBytes>(s, w, reader_);
    channels_[0] = s;
  } else if constexpr (kChannels == 2) {
    ChannelState first = channels_[0];
    ChannelState second = channels_[1];
    for (size_t i = 0; i < sampleFrames; ++i, out += 2) {
      const uint32_t difference = static_cast<uint32_t>(DecodeValue<kBytes>(first, w, reader_));
      const uint32_t right = static_cast<uint32_t>(DecodeValue<kBytes>(second, w, reader_)) +
                             static_cast<uint32_t>(static_cast<int32_t>(difference) / 2);
      out[0] = static_cast<int32_t>(right - difference);
      out[1] = static_cast<int32_t>(right);
    }
    channels_[0] = first;
    channels_[1] = second;
  } else {
    const unsigned channels = header_.format.channels;
    ChannelState state[kMaxChannels];
    std::copy_n(channels_.begin(), channels, state);
    for (size_t i = 0; i < sampleFrames; ++i, out += channels) {
      for (unsigned c = 0; c < channels; ++c) out[c] = DecodeValue<kBytes>(state[c], w, reader_);
      // Undo the encoder's decorrelation, from the last channel down.
      uint32_t next =
          static_cast<uint32_t>(out[channels - 1]) + static_cast<uint32_t>(out[channels - 2] / 2);
      out[channels - 1] = static_cast<int32_t>(next);
      for (int c = static_cast<int>(channels) - 2; c >= 0; --c) {
        next -= static_cast<uint32_t>(out[c]);
        out[c] = static_cast<int32_t>(next);
      }
    }
    std::copy_n(state, channels, channels_.begin());
  }
  reader_.Return(w);
}

}  // namespace tta

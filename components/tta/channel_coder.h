// The per-channel model of TTA1: a fixed first-order predictor, an adaptive eight-tap filter
// over the predictor's residue, and adaptive Rice parameters for the filter's residue. The
// encoder and the decoder run the same model in mirror image, so both share this state.
//
// Arithmetic wraps modulo 2^32 as the format's reference behaviour does; the state is kept in
// unsigned integers so that wrapping is defined rather than undefined behaviour.
#pragma once

#include <cstdint>

namespace tta {

// The eight taps of the filter as one vector (GCC and Clang vector extensions): the compiler
// maps it onto whatever SIMD registers the target has.
using Taps = uint32_t __attribute__((vector_size(32)));
using SignedTaps = int32_t __attribute__((vector_size(32)));

struct ChannelState {
  Taps qm;  // coefficients
  Taps dx;  // adaptation steps
  Taps dl;  // history: past third differences, then the current differences
  int32_t predictor;  // the previous (decorrelated) sample
  int32_t error;      // the previous filter residue: its sign steers the coefficient update
  uint32_t k0, k1, sum0, sum1;
};

// Every frame starts from this state, which is what lets a decoder begin at any frame.
inline void ResetChannel(ChannelState& s) {
  s = ChannelState{};
  s.k0 = s.k1 = 10;
  s.sum0 = s.sum1 = 1u << 14;
}

// Width-dependent constants of the model.
template <unsigned kBytesPerSample>
struct ModelParameters {
  static constexpr unsigned kFilterShift = kBytesPerSample == 2 ? 9 : 10;
  static constexpr uint32_t kFilterRound = 1u << (kFilterShift - 1);
  static constexpr unsigned kPredictorShift = kBytesPerSample == 1 ? 4 : 5;
};

// x * (2^k - 1) / 2^k, rounded down.
template <unsigned kShift>
inline int32_t FixedPrediction(int32_t previous) {
  return static_cast<int32_t>(
      static_cast<uint32_t>((int64_t{previous} * ((1 << kShift) - 1)) >> kShift));
}

// Adapts the coefficients to the last residue and returns the filter's prediction of the
// next value. Called before the residue of the current value is known.
template <unsigned kShift>
inline int32_t FilterPrediction(ChannelState& s, uint32_t round) {
  const uint32_t negative = s.error < 0 ? ~0u : 0u;
  const uint32_t nonzero = s.error != 0 ? ~0u : 0u;
  s.qm += ((s.dx ^ negative) - negative) & nonzero;
  const Taps products = s.dl * s.qm;
  using Half = uint32_t __attribute__((vector_size(16)));
  Half half = __builtin_shufflevector(products, products, 0, 1, 2, 3) +
              __builtin_shufflevector(products, products, 4, 5, 6, 7);
  half += __builtin_shufflevector(half, half, 2, 3, 0, 1);
  half += __builtin_shufflevector(half, half, 1, 0, 3, 2);
  const uint32_t sum = round + half[0];

  // Steps for the newest taps follow the signs of the current differences (1, 2, 2 and 4 in
  // magnitude); the older steps move one tap down.
  const Taps signs = reinterpret_cast<Taps>(reinterpret_cast<SignedTaps>(s.dl) >> 30);
  const Taps fresh = (signs | Taps{0, 0, 0, 0, 1, 2, 2, 4}) & Taps{0, 0, 0, 0, ~0u, ~1u, ~1u, ~3u};
  s.dx = __builtin_shufflevector(s.dx, fresh, 1, 2, 3, 4, 12, 13, 14, 15);
  return static_cast<int32_t>(sum) >> kShift;
}

// Records the residue and the value it stood for: the history moves one tap down, and the
// value's third, second and first differences and the value itself become the newest taps.
inline void FilterUpdate(ChannelState& s, int32_t residue, int32_t value) {
  s.error = residue;
  // value - dl7 is the first difference, minus dl6 the second, minus dl5 the third.
  const Taps zero{};
  const Taps history = __builtin_shufflevector(s.dl, zero, 8, 8, 8, 8, 5, 6, 7, 8) +
                       __builtin_shufflevector(s.dl, zero, 8, 8, 8, 8, 6, 7, 8, 8) +
                       __builtin_shufflevector(s.dl, zero, 8, 8, 8, 8, 7, 8, 8, 8);
  const Taps newest = static_cast<uint32_t>(value) - history;
  s.dl = __builtin_shufflevector(s.dl, newest, 1, 2, 3, 4, 12, 13, 14, 15);
}

// Moves a Rice parameter towards the running mean of the values it codes.
inline void AdaptRice(uint32_t& sum, uint32_t& k, uint32_t value) {
  sum += value - (sum >> 4);
  if (k > 0 && sum < (1u << (k + 4))) {
    --k;
  } else if (k < 27 && sum > (1u << (k + 5))) {
    ++k;
  }
}

// Signed residue to the unsigned code value: 0, 1, -1, 2, -2 ... become 0, 1, 2, 3, 4 ...
inline uint32_t FoldSign(int32_t v) {
  const uint32_t u = static_cast<uint32_t>(v);
  return v > 0 ? 2 * u - 1 : 0u - 2 * u;
}

inline int32_t UnfoldSign(uint32_t u) {
  return static_cast<int32_t>((u & 1) ? (u >> 1) + 1 : 0u - (u >> 1));
}

}  // namespace tta

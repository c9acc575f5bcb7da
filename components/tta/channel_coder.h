// The per-channel model of TTA1: a fixed first-order predictor, an adaptive eight-tap filter
// over the predictor's residue, and adaptive Rice parameters for the filter's residue. The
// encoder and the decoder run the same model in mirror image, so both share this state.
//
// Arithmetic wraps modulo 2^32 as the format's reference behaviour does; the state is kept in
// unsigned integers so that wrapping is defined rather than undefined behaviour.
#pragma once

#include <cstdint>

namespace tta {

// Two forms of the filter, the same arithmetic: where the target has AVX2 the eight taps are
// one vector register (GCC and Clang vector extensions); elsewhere (baseline x86-64, the i686
// library) plain arrays, because spreading 8-lane multiplies over SSE2 halves the speed.
#if defined(__AVX2__)

using Taps = uint32_t __attribute__((vector_size(32)));
using SignedTaps = int32_t __attribute__((vector_size(32)));

struct ChannelState {
  Taps qm;            // coefficients
  Taps dx;            // adaptation steps
  Taps dl;            // history: past third differences, then the current differences
  int32_t predictor;  // the previous (decorrelated) sample
  int32_t error;      // the previous filter residue: its sign steers the coefficient update
  uint32_t k0, k1, sum0, sum1;
};

#else

constexpr int kFilterTaps = 8;

struct ChannelState {
  int32_t predictor;  // the previous (decorrelated) sample
  int32_t error;      // the previous filter residue: its sign steers the coefficient update
  uint32_t k0, k1, sum0, sum1;
  uint32_t qm[kFilterTaps];  // coefficients
  uint32_t dx[kFilterTaps];  // adaptation steps
  uint32_t dl[kFilterTaps];  // history: past third differences, then the current differences
};

#endif

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

#if defined(__AVX2__)

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

#else

// Adapts the coefficients to the last residue and returns the filter's prediction of the
// next value. Called before the residue of the current value is known.
template <unsigned kShift>
inline int32_t FilterPrediction(ChannelState& s, uint32_t round) {
  const uint32_t negative = s.error < 0 ? ~0u : 0u;
  const uint32_t nonzero = s.error != 0 ? ~0u : 0u;
  uint32_t sum = round;
  for (int i = 0; i < kFilterTaps; ++i) {
    s.qm[i] += ((s.dx[i] ^ negative) - negative) & nonzero;
    sum += s.dl[i] * s.qm[i];
  }
  for (int i = 0; i < 4; ++i) {
    s.dx[i] = s.dx[i + 1];
    s.dl[i] = s.dl[i + 1];
  }
  auto top = [](uint32_t v) { return static_cast<uint32_t>(static_cast<int32_t>(v) >> 30); };
  s.dx[4] = top(s.dl[4]) | 1;
  s.dx[5] = (top(s.dl[5]) | 2) & ~1u;
  s.dx[6] = (top(s.dl[6]) | 2) & ~1u;
  s.dx[7] = (top(s.dl[7]) | 4) & ~3u;
  return static_cast<int32_t>(sum) >> kShift;
}

// Records the residue and the value it stood for: the value's first, second and third
// differences become the newest history.
inline void FilterUpdate(ChannelState& s, int32_t residue, int32_t value) {
  s.error = residue;
  const uint32_t v = static_cast<uint32_t>(value);
  const uint32_t d1 = v - s.dl[7];
  const uint32_t d2 = d1 - s.dl[6];
  const uint32_t d3 = d2 - s.dl[5];
  s.dl[7] = v;
  s.dl[6] = d1;
  s.dl[5] = d2;
  s.dl[4] = d3;
}

#endif

// Moves a Rice parameter towards the running mean of the values it codes. Whether a value
// is coded with the first or the second parameter is as good as random, so the updates are
// written without branches: a mispredicted branch would cost more than the whole update.
inline void AdaptRice(uint32_t& sum, uint32_t& k, uint32_t value) {
  sum += value - (sum >> 4);
  const uint32_t down = (k > 0) & (sum < (1u << (k + 4)));
  const uint32_t up = (k < 27) & (sum > (uint64_t{1} << (k + 5)));
  k = k - down + up;
}

// The same for the second parameter, which moves only when the value needed it.
inline void AdaptRiceIf(bool used, uint32_t& sum, uint32_t& k, uint32_t value) {
  uint32_t newSum = sum;
  uint32_t newK = k;
  AdaptRice(newSum, newK, value);
  sum = used ? newSum : sum;
  k = used ? newK : k;
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

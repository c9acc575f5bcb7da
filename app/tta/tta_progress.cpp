#include "app/tta/tta_progress.h"

#include <limits>

namespace tta_progress {

int32_t UnitFor(int64_t sourceBytes) {
  // size / 100 + 1 as a real number: the whole part and the hundredths left over.
  const int64_t whole = sourceBytes / 100 + 1;
  const int64_t hundredths = sourceBytes % 100;
  int64_t unit = whole;
  if (hundredths > 50 || (hundredths == 50 && whole % 2 != 0)) ++unit;
  if (unit > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(unit);
}

int16_t StepAfter(int16_t step, int32_t unit, int32_t position) {
  // The product is taken in 64 bits: a step count past 100 times a large unit leaves 32 bits.
  const int64_t reached = static_cast<int64_t>(step) * unit;
  if (position > reached && step < std::numeric_limits<int16_t>::max()) ++step;
  return step;
}

}  // namespace tta_progress

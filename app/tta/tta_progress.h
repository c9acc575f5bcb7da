// Progress of one compression or decompression, counted in steps of about one hundredth of the
// source file.
#pragma once

#include <cstdint>

namespace tta_progress {

// Source bytes per step: the size divided by 100, plus 1, rounded to the nearest whole number
// with halves going to the even one (150 bytes give 2, 250 give 4).
int32_t UnitFor(int64_t sourceBytes);

// The step count after the codec reported `position` source bytes: one step more when the
// position has passed `step` units, never more than one per report.
int16_t StepAfter(int16_t step, int32_t unit, int32_t position);

}  // namespace tta_progress

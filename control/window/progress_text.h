// The progress figures shown after each block of file data: sent amount, percentage, rate and
// the estimated time left.
#pragma once

#include <optional>
#include <string>

namespace zorvel {

struct TimeOfDay {
  int hour, minute, second, millisecond;
};

// Milliseconds from start to now by the time of day (a run past midnight adds 24 hours); at
// least 10.
long ElapsedMs(const TimeOfDay& start, const TimeOfDay& now);

struct ProgressTexts {
  std::string progress;
  // None when the remaining time is not shown (totals of 1024 bytes or less).
  std::optional<std::string> remain;
};

// `remainFormat` is the endtime format with minutes and seconds (string 113).
ProgressTexts MakeProgressTexts(long totalBytes, long sentBytes, long elapsedMs,
                                const std::string& remainFormat);

}  // namespace zorvel

#include "control/window/progress_text.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace zorvel {

long ElapsedMs(const TimeOfDay& start, const TimeOfDay& now) {
  auto ms = [](const TimeOfDay& t, int extraHours) {
    return ((static_cast<long>(t.hour + extraHours) * 60 + t.minute) * 60 + t.second) * 1000L +
           t.millisecond;
  };
  const long elapsed = ms(now, now.hour < start.hour ? 24 : 0) - ms(start, 0);
  return std::max(elapsed, 10L);
}

ProgressTexts MakeProgressTexts(long totalBytes, long sentBytes, long elapsedMs,
                                const std::string& remainFormat) {
  char text[256];
  if (totalBytes <= 1024) {
    std::snprintf(text, sizeof text, "%ld  100%%", sentBytes);
    return {text, std::nullopt};
  }
  const long percent = std::min(sentBytes / (totalBytes / 100), 100L);
  const long seconds = std::max(elapsedMs / 1000, 1L);
  const long rate = std::max((sentBytes / 102) / seconds, 1L);
  // Tenths with the point before the last digit: 123 gives 12.3, 7 gives .7.
  const std::string rateText =
      (rate >= 10 ? std::to_string(rate / 10) : std::string()) + "." + std::to_string(rate % 10);
  std::snprintf(text, sizeof text, "%ldKB  %ld%%  %sKB/sec", sentBytes / 1024, percent,
                rateText.c_str());
  const long remaining = ((totalBytes - sentBytes) / 102) / rate;
  char remain[256];
  std::snprintf(remain, sizeof remain, remainFormat.c_str(), static_cast<int>(remaining / 60),
                static_cast<int>(std::max(remaining % 60, 0L)));
  return {text, std::string(remain)};
}

void ProgressFigures::Start(long totalBytes, std::string remainFormat) {
  totalBytes_ = totalBytes;
  remainFormat_ = std::move(remainFormat);
  unsettled_ = false;
}

void ProgressFigures::Settle(std::string& progress, std::string& remain) {
  if (!unsettled_) return;
  unsettled_ = false;
  ProgressTexts texts = MakeProgressTexts(totalBytes_, sentBytes_, elapsedMs_, remainFormat_);
  progress = std::move(texts.progress);
  if (texts.remain) remain = std::move(*texts.remain);
}

}  // namespace zorvel

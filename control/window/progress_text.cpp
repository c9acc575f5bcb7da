#include "control/window/progress_text.h"

#include <algorithm>
#include <charconv>
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

namespace {

// The line is made for every block a listener sees, thousands of times a second: digits are
// appended directly rather than through printf's format parsing.
void AppendNumber(std::string& text, long value) {
  char digits[24];
  text.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

// The progress line, and the seconds left where the total is large enough to show them.
std::string MakeProgressLine(long totalBytes, long sentBytes, long elapsedMs,
                             std::optional<long>& remaining) {
  std::string line;
  line.reserve(64);
  if (totalBytes <= 1024) {
    AppendNumber(line, sentBytes);
    line += "  100%";
    remaining.reset();
    return line;
  }
  const long percent = std::min(sentBytes / (totalBytes / 100), 100L);
  const long seconds = std::max(elapsedMs / 1000, 1L);
  const long rate = std::max((sentBytes / 102) / seconds, 1L);
  AppendNumber(line, sentBytes / 1024);
  line += "KB  ";
  AppendNumber(line, percent);
  line += "%  ";
  // Tenths with the point before the last digit: 123 gives 12.3, 7 gives .7.
  if (rate >= 10) AppendNumber(line, rate / 10);
  line += '.';
  AppendNumber(line, rate % 10);
  line += "KB/sec";
  remaining = ((totalBytes - sentBytes) / 102) / rate;
  return line;
}

std::string FormatRemain(const std::string& remainFormat, long remaining) {
  char remain[256];
  std::snprintf(remain, sizeof remain, remainFormat.c_str(), static_cast<int>(remaining / 60),
                static_cast<int>(std::max(remaining % 60, 0L)));
  return remain;
}

}  // namespace

ProgressTexts MakeProgressTexts(long totalBytes, long sentBytes, long elapsedMs,
                                const std::string& remainFormat) {
  std::optional<long> remaining;
  std::string line = MakeProgressLine(totalBytes, sentBytes, elapsedMs, remaining);
  if (!remaining) return {std::move(line), std::nullopt};
  return {std::move(line), FormatRemain(remainFormat, *remaining)};
}

void ProgressFigures::Start(long totalBytes, std::string remainFormat) {
  totalBytes_ = totalBytes;
  remainFormat_ = std::move(remainFormat);
  unsettled_ = false;
  remainShown_.reset();
}

void ProgressFigures::Settle(std::string& progress, std::string& remain) {
  if (!unsettled_) return;
  unsettled_ = false;
  std::optional<long> remaining;
  progress = MakeProgressLine(totalBytes_, sentBytes_, elapsedMs_, remaining);
  // The remaining time changes once a second at most; its format comes from the resources.
  if (!remaining) return;
  if (remaining != remainShown_) {
    remainShown_ = remaining;
    remainText_ = FormatRemain(remainFormat_, *remaining);
  }
  remain = remainText_;
}

}  // namespace zorvel

#include "control/window/log_text.h"

#include <cstdio>

namespace zorvel {
namespace {

bool IsBlankOrControl(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 0x01 && byte <= 0x20;
}

std::string_view TrimStart(std::string_view text) {
  while (!text.empty() && IsBlankOrControl(text.front())) text.remove_prefix(1);
  return text;
}

void TrimEnd(std::string& line) {
  while (!line.empty() && IsBlankOrControl(line.back())) line.pop_back();
}

}  // namespace

std::string MakeLogLine(const LocalTime& time, std::string_view text) {
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "%d/%02d/%02d %02d:%02d:%02d  ", time.year, time.month,
                time.day, time.hour, time.minute, time.second);
  std::string line = stamp;
  line += TrimStart(text);
  TrimEnd(line);
  return line;
}

std::string TrimLogText(std::string_view text) {
  std::string line(TrimStart(text));
  TrimEnd(line);
  return line;
}

}  // namespace zorvel

// Log lines of the control: a local time stamp and the text without surrounding blanks.
#pragma once

#include <string>
#include <string_view>

namespace zorvel {

struct LocalTime {
  int year, month, day, hour, minute, second;
};

// "%d/%02d/%02d %02d:%02d:%02d  " followed by the text; control characters and blanks (bytes
// 0x01 to 0x20) are dropped from the text's start and from the line's end. No length limit:
// a long header block is logged whole rather than cut.
std::string MakeLogLine(const LocalTime& time, std::string_view text);

// The text without control characters and blanks at either end (notices that carry their own
// time stamp).
std::string TrimLogText(std::string_view text);

}  // namespace zorvel

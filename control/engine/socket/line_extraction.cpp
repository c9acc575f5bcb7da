#include "control/engine/socket/line_extraction.h"

#include <cstring>

std::optional<std::string> ExtractLine(ByteBuffer& buffer, int32_t& readOffset) {
  if (readOffset < 0 || readOffset >= buffer.Length()) return std::nullopt;
  char* begin = buffer.Data() + readOffset;
  const size_t unread = static_cast<size_t>(buffer.Length() - readOffset);
  char* lineFeed = static_cast<char*>(std::memchr(begin, '\n', unread));
  if (lineFeed == nullptr) return std::nullopt;
  char* end = (lineFeed > begin && lineFeed[-1] == '\r') ? lineFeed - 1 : lineFeed;
  std::string line(begin, end);
  *end = '\0';
  readOffset = static_cast<int32_t>(lineFeed + 1 - buffer.Data());
  if (readOffset >= buffer.Length()) {
    buffer.Empty();
    readOffset = 0;
  }
  return line;
}

std::string CutToCapacity(std::string line, int32_t capacity) {
  const size_t kept = capacity > 1 ? static_cast<size_t>(capacity - 1) : 0;
  if (line.size() > kept) line.resize(kept);
  return line;
}

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "control/engine/socket/host_rules.h"
#include "control/engine/socket/line_extraction.h"

// A server's reply arrives in pieces of any size. The first byte chooses the piece size; the
// lines handed out, joined with LF, must give back exactly what was received (a CR LF turned into
// LF), however the bytes were split. The same bytes as a page address must not upset UrlHost.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t piece = data[0] % 64 + 1;
  const std::string_view received(reinterpret_cast<const char*>(data) + 1, size - 1);
  UrlHost(received);

  ByteBuffer buffer;
  int32_t readOffset = 0;
  std::string joined;
  for (size_t at = 0; at < received.size(); at += piece) {
    if (!buffer.Append(received.substr(at, piece))) return 0;
    while (std::optional<std::string> line = ExtractLine(buffer, readOffset)) {
      joined += *line + "\n";
    }
  }
  std::string expected;
  size_t lineStart = 0;
  for (size_t lineFeed; (lineFeed = received.find('\n', lineStart)) != std::string_view::npos;) {
    std::string_view line = received.substr(lineStart, lineFeed - lineStart);
    if (line.ends_with('\r')) line.remove_suffix(1);
    expected.append(line).push_back('\n');
    lineStart = lineFeed + 1;
  }
  if (joined != expected) std::abort();
  const std::string_view unread(buffer.Text() + readOffset,
                                static_cast<size_t>(buffer.Length() - readOffset));
  if (unread != received.substr(lineStart)) std::abort();
  return 0;
}

// Feeds arbitrary answers, split at line ends, to the answer reader.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "control/engine/http/answer_reader.h"
#include "control/engine/socket/byte_buffer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  ByteBuffer headers;
  zorvel::AnswerReader reader(headers);
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end);
    if (reader.TakeLine(line) != zorvel::AnswerReader::Next::kReadLine) break;
    if (end == std::string_view::npos) break;
    rest = rest.substr(end + 1);
  }
  (void)reader.BodyComplete(static_cast<long>(size));
  return 0;
}

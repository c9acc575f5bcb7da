// Feeds arbitrary server output, split at line ends, to the reply reader, and every reply text
// it keeps to the PASV parser.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "control/engine/ftp/ftp_reply.h"
#include "control/engine/ftp/ftp_store_rules.h"

namespace {

class FuzzLines : public zorvel::FtpLineSource {
 public:
  explicit FuzzLines(std::string_view rest) : rest_(rest) {}
  int ReadLine(std::string& line, int capacity) override {
    if (rest_.empty()) return -3;
    const size_t end = rest_.find('\n');
    line = std::string(rest_.substr(0, end)).substr(0, static_cast<size_t>(capacity - 1));
    rest_ = end == std::string_view::npos ? std::string_view() : rest_.substr(end + 1);
    return 0;
  }
  void Log(std::string_view) override {}
  bool Aborted() override { return rest_.size() % 97 == 1; }
  bool Empty() const { return rest_.empty(); }

 private:
  std::string_view rest_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzLines lines(std::string_view(reinterpret_cast<const char*>(data), size));
  zorvel::FtpReplyState state;
  while (!lines.Empty()) {
    const int result = zorvel::ReadFtpReply(state, lines);
    if (result < -3 || result > 5 || state.replyText.size() >= zorvel::kReplyTextLimit)
      __builtin_trap();
    (void)zorvel::ParsePassiveReply(state.replyText);
  }
  return 0;
}

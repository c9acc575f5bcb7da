#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/forward/save_size_reply.h"
#include "base/app_error.h"
#include "components/http/reply_text.h"

// The saved-size server's reply is outside input: any content type and body must decode, and
// the size must come out as a number, 0, or an overflow error.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t split = size > 0 ? data[0] % (size + 1) : 0;
  const std::u16string reply = http::DecodeReplyText(input.substr(split), input.substr(0, split));
  try {
    SavedSizeFromReply(reply);
  } catch (const AppError&) {
  }
  return 0;
}

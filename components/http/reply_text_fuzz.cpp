#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "components/http/reply_text.h"

namespace {

bool HasLoneSurrogate(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] >= 0xD800 && text[i] <= 0xDBFF) {
      if (i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return true;
      ++i;
    } else if (text[i] >= 0xDC00 && text[i] <= 0xDFFF) {
      return true;
    }
  }
  return false;
}

}  // namespace

// A server chooses both the Content-Type and the body: its first line is taken as the one, the
// rest as the other. The charset comes back lower case and holds no quote, and the text never holds
// half a character.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t newline = input.find('\n');
  const std::string_view contentType = input.substr(0, newline);
  const std::string_view body =
      newline == std::string_view::npos ? std::string_view() : input.substr(newline + 1);

  const std::string charset = http::CharsetOf(contentType);
  for (char c : charset) {
    if (c >= 'A' && c <= 'Z') __builtin_trap();
  }
  if (charset.find('"') != std::string::npos) __builtin_trap();
  if (HasLoneSurrogate(http::DecodeReplyText(body, contentType))) __builtin_trap();
  if (HasLoneSurrogate(http::DecodeReplyText(body, "text/plain; charset=utf-8"))) __builtin_trap();
  return 0;
}

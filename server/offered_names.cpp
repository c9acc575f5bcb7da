#include "server/offered_names.h"

#include <algorithm>
#include <string>

#include "base/text.h"

namespace server {
namespace {

bool IsControl(char16_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

bool IsAsciiAlnum(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

}  // namespace

bool IsOfferableName(std::string_view utf8) {
  if (utf8.empty() || utf8 == "." || utf8 == "..") return false;
  const std::u16string name = base::FromUtf8(utf8);
  return std::none_of(name.begin(), name.end(),
                      [](char16_t c) { return c == u'/' || c == u'\\' || IsControl(c); });
}

bool IsUrlHost(std::string_view host) {
  if (host.empty()) return false;
  std::size_t port = host.size();
  if (host.front() == '[') {
    const std::size_t close = host.find(']');
    if (close == std::string_view::npos || close == 1) return false;
    const std::string_view literal = host.substr(1, close - 1);
    if (!std::all_of(literal.begin(), literal.end(),
                     [](char c) { return IsAsciiAlnum(c) || c == ':' || c == '.'; })) {
      return false;
    }
    if (close + 1 < host.size() && host[close + 1] != ':') return false;
    port = close + 1;
  } else {
    port = std::min(host.find(':'), host.size());
    const std::string_view name = host.substr(0, port);
    if (name.empty() || !std::all_of(name.begin(), name.end(), [](char c) {
          return IsAsciiAlnum(c) || c == '.' || c == '-' || c == '_';
        })) {
      return false;
    }
  }
  if (port == host.size()) return true;
  const std::string_view digits = host.substr(port + 1);
  return !digits.empty() && digits.size() <= 5 &&
         std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsUrlText(std::string_view text) {
  constexpr std::string_view kMarks = "-._~:/?#[]@!$&'()*+,;=%";
  return std::all_of(text.begin(), text.end(), [&](char c) {
    return IsAsciiAlnum(c) || kMarks.find(c) != std::string_view::npos;
  });
}

}  // namespace server

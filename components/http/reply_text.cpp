#include "components/http/reply_text.h"

#include <initializer_list>

#include "base/ansi.h"
#include "base/text.h"

namespace http {
namespace {

std::string_view Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

bool IsOneOf(const std::string& charset, std::initializer_list<std::string_view> names) {
  for (std::string_view name : names) {
    if (charset == name) return true;
  }
  return false;
}

}  // namespace

std::string CharsetOf(std::string_view contentType) {
  size_t start = contentType.find(';');
  while (start != std::string_view::npos) {
    const size_t end = contentType.find(';', start + 1);
    std::string_view parameter = Trim(contentType.substr(start + 1, end - start - 1));
    const size_t equals = parameter.find('=');
    if (equals != std::string_view::npos && Lower(Trim(parameter.substr(0, equals))) == "charset") {
      std::string_view value = Trim(parameter.substr(equals + 1));
      if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
      }
      // A charset name is a token: a quote left inside means a mangled header, read as none.
      if (value.find('"') != std::string_view::npos) return {};
      return Lower(value);
    }
    start = end;
  }
  return {};
}

std::u16string DecodeReplyText(std::string_view body, std::string_view contentType) {
  const std::string charset = CharsetOf(contentType);
  if (IsOneOf(charset, {"utf-8", "utf8"})) {
    if (body.substr(0, 3) == "\xEF\xBB\xBF") body.remove_prefix(3);
    return base::FromUtf8(body);
  }
  if (IsOneOf(charset, {"iso-8859-1", "latin1", "us-ascii"})) {
    std::u16string text;
    for (unsigned char byte : body) text.push_back(byte);
    return text;
  }
  // Shift_JIS and its aliases are the ANSI code page of the systems the program is made for;
  // an unknown charset is read the same way, as the replies of the installation always were.
  return base::FromAnsi(body);
}

}  // namespace http

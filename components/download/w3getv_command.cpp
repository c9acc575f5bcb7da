#include "components/download/w3getv_command.h"

#include <charconv>
#include <vector>

#include "base/ansi.h"
#include "base/file_name.h"
#include "base/text.h"
#include "components/download/w3getv_codes.h"

namespace w3getv {
namespace {

std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t at = 0;
  while (at < text.size()) {
    if (text[at] == ' ') {
      ++at;
      continue;
    }
    std::size_t end = text.find(' ', at);
    if (end == std::string_view::npos) end = text.size();
    words.push_back(text.substr(at, end - at));
    at = end;
  }
  return words;
}

bool HasSupportedScheme(std::string_view url) {
  const std::u16string lowered = base::ToLowerAscii(base::Widen(url.substr(0, 8)));
  for (std::u16string_view scheme : {u"http://", u"https://", u"ftp://"}) {
    if (lowered.starts_with(scheme) && url.size() > scheme.size()) return true;
  }
  return false;
}

bool IsUrlText(std::string_view url) {
  for (char c : url) {
    if (!base::IsUrlCharacter(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

// The last "/" segment of the address, without its query.
std::string_view LastSegment(std::string_view url) {
  url = url.substr(0, url.find_first_of("?#"));
  return url.substr(url.rfind('/') + 1);
}

ParsedCommand Failure(int32_t code) { return ParsedCommand{code, {}}; }

}  // namespace

ParsedCommand ParseCommand(std::string_view text) {
  ParsedCommand parsed;
  Command& command = parsed.command;
  const std::vector<std::string_view> words = Words(text);
  // An option given twice would let what follows the caller's own text override it.
  std::string seen;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string_view word = words[i];
    if (word.size() == 2 && word[0] == '-') {
      if (i + 1 == words.size() || seen.find(word[1]) != std::string::npos) {
        return Failure(kParameterError);
      }
      seen.push_back(word[1]);
      const std::string_view value = words[++i];
      switch (word[1]) {
        case 'd':
          command.folder = value;
          break;
        case 'o':
          command.saveName = value;
          break;
        case 'j':
          command.charset = value;
          break;
        case 't': {
          int32_t milliseconds = 0;
          const auto [end, error] =
              std::from_chars(value.data(), value.data() + value.size(), milliseconds);
          if (error != std::errc() || end != value.data() + value.size() || milliseconds <= 0) {
            return Failure(kParameterError);
          }
          command.timeOutMilliseconds = milliseconds;
          break;
        }
        default:
          return Failure(kParameterError);
      }
    } else if (command.url.empty()) {
      command.url = word;
    } else {
      return Failure(kParameterError);
    }
  }
  if (command.folder.empty() || command.url.empty()) return Failure(kParameterError);
  if (command.url.size() >= kUrlLimit) return Failure(kUrlTooLong);
  if (!HasSupportedScheme(command.url) || !IsUrlText(command.url)) return Failure(kBadUrl);
  if (command.saveName.empty()) command.saveName = LastSegment(command.url);
  if (!base::IsPlainFileName(base::FromAnsi(command.saveName))) return Failure(kBadUrl);
  return parsed;
}

}  // namespace w3getv

#include "server/para_file.h"

#include <charconv>

#include "base/ansi.h"
#include "base/text.h"

namespace server {
namespace {

constexpr char kUnitSeparator = '\x1f';
constexpr char kRecordSeparator = '\x1e';
constexpr char kGroupSeparator = '\x1d';

// The separators lie below 0x40, where no trail byte of code page 932 does, so a plain byte
// split never cuts a double-byte character.
std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> pieces;
  std::size_t start = 0;
  for (;;) {
    std::size_t end = text.find(separator, start);
    if (end == std::string_view::npos) {
      pieces.push_back(text.substr(start));
      return pieces;
    }
    pieces.push_back(text.substr(start, end - start));
    start = end + 1;
  }
}

std::string ToUtf8Text(std::string_view ansi) { return base::ToUtf8(base::FromAnsi(ansi)); }

std::optional<std::int64_t> ParseSize(std::string_view text) {
  std::int64_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

std::optional<std::vector<ListedFile>> ParseFileList(std::string_view section) {
  std::vector<ListedFile> files;
  if (section.empty()) {
    return files;
  }
  std::vector<std::string_view> fields = Split(section, kUnitSeparator);
  if (fields.size() % 2 != 0) {
    return std::nullopt;
  }
  for (std::size_t i = 0; i < fields.size(); i += 2) {
    std::optional<std::int64_t> size = ParseSize(fields[i + 1]);
    if (!size) {
      return std::nullopt;
    }
    files.push_back({ToUtf8Text(fields[i]), *size});
  }
  return files;
}

std::string MessageFromWire(std::string_view field) {
  std::string message = ToUtf8Text(field);
  for (char& c : message) {
    if (c == kGroupSeparator) {
      c = '\n';
    }
  }
  return message;
}

}  // namespace

std::optional<ParaFile> ParseParaFile(std::string_view bytes) {
  if (bytes.ends_with("\r\n")) {
    bytes.remove_suffix(2);
  }
  std::vector<std::string_view> sections = Split(bytes, kRecordSeparator);
  if (sections.size() != 3) {
    return std::nullopt;
  }
  // sender, product, name/mail pairs (five, or more when more recipients were written), message
  std::vector<std::string_view> header = Split(sections[0], kUnitSeparator);
  if (header.size() < 3 + 2 * kRecipientPlaces || header.size() % 2 == 0) {
    return std::nullopt;
  }
  ParaFile para;
  para.sender = ToUtf8Text(header[0]);
  para.productId = ToUtf8Text(header[1]);
  for (std::size_t i = 2; i + 1 < header.size(); i += 2) {
    para.recipients.push_back({ToUtf8Text(header[i]), ToUtf8Text(header[i + 1])});
  }
  para.message = MessageFromWire(header.back());

  auto sources = ParseFileList(sections[1]);
  auto works = ParseFileList(sections[2]);
  if (!sources || !works || sources->size() != works->size()) {
    return std::nullopt;
  }
  para.sources = std::move(*sources);
  para.works = std::move(*works);
  return para;
}

}  // namespace server

#include "server/magic_index.h"

#include <charconv>

namespace server {

std::optional<MagicIndex> ParseMagicIndex(std::string_view text) {
  std::vector<std::uint64_t> numbers;
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (text[pos] == ' ') {
      ++pos;
      continue;
    }
    std::uint64_t value = 0;
    auto [end, error] = std::from_chars(text.data() + pos, text.data() + text.size(), value);
    if (error != std::errc() || (end != text.data() + text.size() && *end != ' ')) {
      return std::nullopt;
    }
    numbers.push_back(value);
    pos = static_cast<std::size_t>(end - text.data());
  }
  if (numbers.size() < 2 || numbers.size() % 2 != 0 || (numbers.size() - 2) / 2 != numbers[0]) {
    return std::nullopt;
  }
  MagicIndex index{numbers[0], numbers[1], {}};
  for (std::size_t i = 2; i < numbers.size(); i += 2) {
    index.entries.push_back({numbers[i], numbers[i + 1]});
  }
  return index;
}

std::vector<IndexEntry> LayOutFileParts(std::string_view boundary,
                                        const std::vector<ReceivedPart>& parts) {
  std::vector<IndexEntry> files;
  std::uint64_t offset = 0;
  bool first = true;
  for (const ReceivedPart& part : parts) {
    std::string head = first ? "" : "\r\n";
    first = false;
    head += "--";
    head += boundary;
    head += "\r\nContent-Disposition: form-data; name=\"" + part.name + "\"";
    if (!part.filename.empty()) {
      head += "; filename=\"" + part.filename + "\"";
    }
    head += "\r\n";
    if (!part.contentType.empty()) {
      head += "Content-Type: " + part.contentType + "\r\n";
    }
    head += "\r\n";
    offset += head.size();
    if (!part.filename.empty()) {
      files.push_back({offset, part.size});
    }
    offset += part.size;
  }
  return files;
}

std::string BoundaryOf(std::string_view contentType) {
  constexpr std::string_view kKey = "boundary=";
  std::size_t pos = 0;
  for (;;) {
    pos = contentType.find(kKey, pos);
    if (pos == std::string_view::npos) return {};
    // A parameter name begins after "; " or at the start, never inside another word.
    if (pos == 0 || contentType[pos - 1] == ';' || contentType[pos - 1] == ' ') break;
    pos += kKey.size();
  }
  std::string_view value = contentType.substr(pos + kKey.size());
  value = value.substr(0, value.find(';'));
  while (!value.empty() && value.back() == ' ') value.remove_suffix(1);
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value);
}

namespace {

// The control computes the offsets as if every number of the index took nine digits. A body
// of 1,000,000,000 bytes or more makes some numbers longer, and every offset it announces is
// then short by the index's extra length; such an index is taken as it was meant.
std::uint64_t IndexOverlength(const MagicIndex& index, const std::vector<ReceivedPart>& parts) {
  const std::uint64_t assumed = 20 * (index.count + 1);
  for (const ReceivedPart& part : parts) {
    if (part.filename.empty() && part.name == "magic") {
      return part.size > assumed ? part.size - assumed : 0;
    }
  }
  return 0;
}

}  // namespace

bool IndexMatchesBody(const MagicIndex& index, std::string_view boundary,
                      const std::vector<ReceivedPart>& parts) {
  std::vector<IndexEntry> actual = LayOutFileParts(boundary, parts);
  if (index.count != actual.size() || index.entries.size() != actual.size()) {
    return false;
  }
  const std::uint64_t overlength = IndexOverlength(index, parts);
  bool exact = true;
  bool nineDigit = overlength > 0;
  std::uint64_t total = 0;
  for (std::size_t i = 0; i < actual.size(); ++i) {
    if (index.entries[i].size != actual[i].size) return false;
    exact = exact && index.entries[i].offset == actual[i].offset;
    nineDigit = nineDigit && index.entries[i].offset + overlength == actual[i].offset;
    total += actual[i].size;
  }
  return (exact || nineDigit) && index.total == total;
}

}  // namespace server

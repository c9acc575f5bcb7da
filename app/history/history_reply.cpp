#include "app/history/history_reply.h"

#include <cstdint>
#include <limits>

namespace {

constexpr char16_t kUnitSeparator = u'\x1f';
constexpr std::u16string_view kLineEnd = u"\r\n";
constexpr size_t kRecordFields = 12;

// The failures a malformed record raises, numbered as the error report shows them.
constexpr long kOverflow = 6;
constexpr long kTypeMismatch = 13;

AppError MissingField() {
  return AppError(app_errors::kSubscriptOutOfRange, u"インデックスが有効範囲にありません。");
}

std::vector<std::u16string_view> Split(std::u16string_view text, std::u16string_view separator) {
  std::vector<std::u16string_view> pieces;
  for (size_t start = 0;;) {
    const size_t end = text.find(separator, start);
    if (end == std::u16string_view::npos) {
      pieces.push_back(text.substr(start));
      return pieces;
    }
    pieces.push_back(text.substr(start, end - start));
    start = end + separator.size();
  }
}

// A file size: a decimal integer, blanks around it allowed. A negative size is no size at all,
// and would let the sum run below zero and out of range.
std::optional<AppError> ParseFileSize(std::u16string_view text, int32_t& size) {
  const AppError noNumber(kTypeMismatch, u"型が一致しません。");
  while (!text.empty() && text.front() == u' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == u' ') text.remove_suffix(1);
  if (!text.empty() && text.front() == u'+') text.remove_prefix(1);
  if (text.empty()) return noNumber;
  for (const char16_t c : text) {
    if (c < u'0' || c > u'9') return noNumber;
  }
  int64_t value = 0;
  for (const char16_t c : text) {
    value = value * 10 + (c - u'0');
    if (value > std::numeric_limits<int32_t>::max()) {
      return AppError(kOverflow, u"オーバーフローしました。");
    }
  }
  size = static_cast<int32_t>(value);
  return std::nullopt;
}

// Fills `record` from the fields of one line; the reason when the line is malformed.
std::optional<AppError> ReadRecord(std::u16string_view line, clsHistroy& record,
                                   int32_t& saveSize) {
  const std::vector<std::u16string_view> fields =
      Split(line, std::u16string_view(&kUnitSeparator, 1));
  if (fields.size() < kRecordFields) return MissingField();
  std::u16string* const texts[kRecordFields] = {
      &record.Name1, &record.Mail1, &record.Name2,       &record.Mail2,
      &record.Name3, &record.Mail3, &record.Name4,       &record.Mail4,
      &record.Name5, &record.Mail5, &record.ForwardDate, &record.DeleteKBN};
  for (size_t i = 0; i < kRecordFields; ++i) *texts[i] = std::u16string(fields[i]);

  for (size_t j = kRecordFields; j < fields.size(); j += 2) {
    if (j + 1 >= fields.size()) return MissingField();
    int32_t size = 0;
    if (auto failure = ParseFileSize(fields[j + 1], size)) return failure;
    record.SetFileInfo({std::u16string(fields[j]), size});
    if (record.DeleteKBN == u"0" && int64_t{saveSize} + size <= kSaveSizeCap) saveSize += size;
  }
  return std::nullopt;
}

}  // namespace

HistoryParse ParseHistoryReply(std::u16string_view reply, int32_t saveSize) {
  HistoryParse parse;
  parse.lngSaveSize = saveSize;
  if (reply == kLineEnd) return parse;
  const std::vector<std::u16string_view> lines = Split(reply, kLineEnd);
  for (size_t i = 0; i + 1 < lines.size(); ++i) {
    clsHistroy record;
    int32_t sum = parse.lngSaveSize;
    if (auto failure = ReadRecord(lines[i], record, sum)) {
      parse.failure = std::move(failure);
      return parse;
    }
    parse.lngSaveSize = sum;
    parse.colHistory.push_back(std::move(record));
  }
  return parse;
}

std::u16string FormatKilobytes(int32_t bytes) {
  const int64_t kilobytes =
      bytes >= 0 ? (int64_t{bytes} + 512) / 1024 : -((-int64_t{bytes} + 512) / 1024);
  std::u16string text;
  for (char c : std::to_string(kilobytes)) text += static_cast<char16_t>(c);
  return text + u" KB";
}

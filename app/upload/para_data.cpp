#include "app/upload/para_data.h"

#include "base/text.h"

namespace {

constexpr char16_t kUnitSeparator = u'\x1f';
constexpr char16_t kRecordSeparator = u'\x1e';
constexpr char16_t kGroupSeparator = u'\x1d';
constexpr size_t kRecipientPlaces = 5;

std::u16string WithoutBlanks(std::u16string_view name) {
  std::u16string kept;
  for (const char16_t unit : name) {
    if (unit != u' ') kept += unit;
  }
  return kept;
}

// Only a CR LF pair is a line break of the message; a lone CR or LF travels as it is.
std::u16string MessageField(std::u16string_view message) {
  std::u16string field;
  for (size_t i = 0; i < message.size(); ++i) {
    if (message[i] == u'\r' && i + 1 < message.size() && message[i + 1] == u'\n') {
      field += kGroupSeparator;
      ++i;
    } else {
      field += message[i];
    }
  }
  return field;
}

std::u16string FileList(const std::vector<ParaFileEntry>& files) {
  std::u16string list;
  for (size_t i = 0; i < files.size(); ++i) {
    if (i > 0) list += kUnitSeparator;
    list += WithoutBlanks(files[i].name);
    list += kUnitSeparator;
    list += base::Widen(std::to_string(files[i].size));
  }
  return list;
}

}  // namespace

std::u16string FormatParaDataLine(const ParaData& data) {
  std::u16string recipients;
  for (size_t i = 0; i < data.recipients.size(); ++i) {
    if (i > 0) recipients += kUnitSeparator;
    recipients += data.recipients[i].SendName;
    recipients += kUnitSeparator;
    recipients += data.recipients[i].Email;
  }
  for (size_t i = data.recipients.size(); i < kRecipientPlaces; ++i) {
    recipients += kUnitSeparator;
    recipients += kUnitSeparator;
  }

  std::u16string line = data.sendName;
  line += kUnitSeparator;
  line += data.productId;
  line += kUnitSeparator;
  line += recipients;
  line += kUnitSeparator;
  line += MessageField(data.message);
  line += kRecordSeparator;
  line += FileList(data.sources);
  line += kRecordSeparator;
  line += FileList(data.works);
  line += u"\r\n";
  return line;
}

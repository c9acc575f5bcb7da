#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/history/history_reply.h"
#include "app/history/history_text.h"
#include "components/http/reply_text.h"

// The history reply is outside input: any bytes must parse to whole records, a sum within the
// cap and texts for every row, or stop at a malformed record.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const HistoryParse parse = ParseHistoryReply(http::DecodeReplyText(input, "text/plain"));
  if (parse.lngSaveSize < 0 || parse.lngSaveSize > kSaveSizeCap) __builtin_trap();
  FormatKilobytes(parse.lngSaveSize);
  for (const clsHistroy& record : parse.colHistory) {
    RecipientText(record);
    if (const auto time = ParseForwardDate(record.ForwardDate)) {
      FormatForwardTime(AddDays(*time, kKeepingDays));
    }
    for (const HistoryFile& file : record.FileInfo()) FormatKilobytes(file.FileSize);
  }
  return 0;
}

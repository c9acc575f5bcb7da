// The history server's reply: one record per CR LF terminated line, fields split at US.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/history/cls_histroy.h"
#include "base/app_error.h"

// The server keeps at most this many bytes for an installation; the sum never passes it.
inline constexpr int32_t kSaveSizeCap = 1073741824;

struct HistoryParse {
  std::vector<clsHistroy> colHistory;  // the records completed, in reply order
  int32_t lngSaveSize = 0;             // bytes of the kept files, within the cap
  // Why the parse stopped at a malformed record; the size label then keeps its old text.
  std::optional<AppError> failure;
};

// Parses `reply`, adding kept files to `saveSize` (the sum the window starts with).
HistoryParse ParseHistoryReply(std::u16string_view reply, int32_t saveSize = 0);

// A byte count as whole kilobytes, rounded to the nearest with halves up: "######0 KB".
std::u16string FormatKilobytes(int32_t bytes);

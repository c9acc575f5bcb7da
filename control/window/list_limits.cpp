#include "control/window/list_limits.h"

#include <algorithm>
#include <limits>

namespace zorvel {

int64_t ListLimit(int64_t maxSizeBytes) {
  const int64_t countable = std::numeric_limits<int32_t>::max();
  return maxSizeBytes > 0 ? std::min(maxSizeBytes, countable) : countable;
}

ListedSize CheckListedSize(int64_t size, int64_t total, int64_t maxSizeBytes) {
  if (size < 0) return ListedSize::kNotOpened;
  if (size == 0) return ListedSize::kEmpty;
  if (size > ListLimit(maxSizeBytes) - total) return ListedSize::kTooLarge;
  return ListedSize::kFits;
}

}  // namespace zorvel

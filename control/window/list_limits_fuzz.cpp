// File sizes are whatever the disk or a network share reports, at listing and again at Start:
// a list built of files that fit never holds more than its limit, whatever the sizes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "control/window/list_limits.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < sizeof(int64_t)) return 0;
  int64_t maxSize;
  std::memcpy(&maxSize, data, sizeof maxSize);
  const int64_t limit = zorvel::ListLimit(maxSize);
  if (limit <= 0 || limit > INT32_MAX || (maxSize > 0 && limit > maxSize)) std::abort();
  int64_t total = 0;
  for (size_t at = sizeof maxSize; at + sizeof(int64_t) <= size; at += sizeof(int64_t)) {
    int64_t fileSize;
    std::memcpy(&fileSize, data + at, sizeof fileSize);
    if (zorvel::CheckListedSize(fileSize, total, maxSize) != zorvel::ListedSize::kFits) continue;
    if (fileSize <= 0) std::abort();
    total += fileSize;
    if (total > limit) std::abort();
  }
  return 0;
}

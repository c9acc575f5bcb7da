// What the file list may hold, checked when a file is added and again when a run starts: the
// files may have changed in between, and the index, Content-Length and counters of a run rely on
// the limits the list keeps.
#pragma once

#include <cstdint>

namespace zorvel {

// The largest total the list may hold: Size is a 32-bit count, and MaxSize, when set, is lower.
int64_t ListLimit(int64_t maxSizeBytes);

enum class ListedSize { kFits, kNotOpened, kEmpty, kTooLarge };
// A file of `size` bytes (-1 when it cannot be opened) added to a list of `total` bytes.
ListedSize CheckListedSize(int64_t size, int64_t total, int64_t maxSizeBytes);

}  // namespace zorvel

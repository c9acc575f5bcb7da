// The native tool's progress line: "[#########-----------]  45%".
#pragma once

#include <cstdint>
#include <string>

namespace tta {

// `width` is the number of cells between the brackets. A total of 0 counts as finished.
std::string RenderProgressBar(uint64_t done, uint64_t total, unsigned width);

// The percentage the bar shows, 0 to 100.
unsigned ProgressPercent(uint64_t done, uint64_t total);

}  // namespace tta

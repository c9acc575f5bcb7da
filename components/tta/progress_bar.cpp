#include "components/tta/progress_bar.h"

#include <algorithm>
#include <cstdio>

namespace tta {

unsigned ProgressPercent(uint64_t done, uint64_t total) {
  if (total == 0 || done >= total) return 100;
  return static_cast<unsigned>(done * 100 / total);
}

std::string RenderProgressBar(uint64_t done, uint64_t total, unsigned width) {
  const unsigned percent = ProgressPercent(done, total);
  const unsigned filled = percent * width / 100;
  std::string line = "[";
  line.append(filled, '#');
  line.append(width - filled, '-');
  char tail[8];
  std::snprintf(tail, sizeof tail, "] %3u%%", percent);
  return line + tail;
}

}  // namespace tta

// How many blocks one socket write of the upload carries. Under Wine a write costs a round trip
// to the wine server besides the system's own call, whatever its size, so fewer and larger writes
// are faster; but a write's blocks are accounted only once the socket has taken it, so on a line
// slower than the writes a large one would hold the progress still. The stretch therefore doubles
// while the socket takes each write at once, and falls back to the least after one that had to
// wait for the line.
#pragma once

#include <algorithm>

namespace zorvel {

class WriteStretch {
 public:
  static constexpr long kLeastBlocks = 32;
  static constexpr long kMostBlocks = 128;

  long Blocks() const { return blocks_; }
  void Written(bool waited) {
    blocks_ = waited ? kLeastBlocks : std::min(blocks_ * 2, kMostBlocks);
  }

 private:
  long blocks_ = kLeastBlocks;
};

}  // namespace zorvel

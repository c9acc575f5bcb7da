// The progress bar's share of the file data: up to 60 of its 62 steps, one for every sixtieth
// of the total, taken as the blocks go out. Both engines' bars have kBarRange steps.
#pragma once

namespace zorvel {

class BarSteps {
 public:
  static constexpr int kDataSteps = 60;
  static constexpr int kBarRange = 62;

  explicit BarSteps(long totalBytes) : stepBytes_(totalBytes / kDataSteps) {}

  // Counts a block that went out; returns how many steps the bar moves now.
  int Add(long blockBytes) {
    pending_ += blockBytes;
    int moves = 0;
    if (stepBytes_ < pending_) {
      while (steps_ < kDataSteps) {
        ++moves;
        ++steps_;
        pending_ -= stepBytes_;
        if (stepBytes_ >= pending_) break;
      }
    }
    return moves;
  }

 private:
  long stepBytes_;
  long pending_ = 0;
  int steps_ = 0;
};

}  // namespace zorvel

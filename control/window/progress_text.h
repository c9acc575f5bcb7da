// The progress figures shown after each block of file data: sent amount, percentage, rate and
// the estimated time left.
#pragma once

#include <optional>
#include <string>

namespace zorvel {

struct TimeOfDay {
  int hour, minute, second, millisecond;
};

// Milliseconds from start to now by the time of day (a run past midnight adds 24 hours); at
// least 10.
long ElapsedMs(const TimeOfDay& start, const TimeOfDay& now);

struct ProgressTexts {
  std::string progress;
  // None when the remaining time is not shown (totals of 1024 bytes or less).
  std::optional<std::string> remain;
};

// `remainFormat` is the endtime format with minutes and seconds (string 113).
ProgressTexts MakeProgressTexts(long totalBytes, long sentBytes, long elapsedMs,
                                const std::string& remainFormat);

// The figures of the latest block, and the texts made of them only when something is about to
// look: thousands of blocks go by between two looks of the screen, the host or a listener, and
// making the texts costs more than accounting a block. A run notes every block and settles the
// texts before it draws, raises an event or lets any message run, and once a write's blocks are
// all noted, so that whoever reads them finds the latest block's figures.
class ProgressFigures {
 public:
  void Start(long totalBytes, std::string remainFormat);
  void Note(long sentBytes, long elapsedMs) {
    sentBytes_ = sentBytes;
    elapsedMs_ = elapsedMs;
    unsettled_ = true;
  }
  // Writes the texts of the latest figures when they are not written yet; the remaining time
  // stays as it was where the total shows none.
  void Settle(std::string& progress, std::string& remain);

 private:
  long totalBytes_ = 0, sentBytes_ = 0, elapsedMs_ = 0;
  std::string remainFormat_;
  bool unsettled_ = false;
  // The seconds left of the last remaining time made, and its text.
  std::optional<long> remainShown_;
  std::string remainText_;
};

}  // namespace zorvel

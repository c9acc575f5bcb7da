// Switches that tests flip through the /test/ requests: a forced answer for the next uploads,
// a delay before every answer, and uploads whose answer stops after its headers.
#pragma once

#include <atomic>
#include <mutex>
#include <optional>
#include <string>

namespace server {

class TestSwitches {
 public:
  void ForceAnswer(std::string answer, int count) {
    std::lock_guard lock(mutex_);
    forcedAnswer_ = std::move(answer);
    forcedCount_ = count;
  }
  std::optional<std::string> TakeForcedAnswer() {
    std::lock_guard lock(mutex_);
    if (forcedCount_ <= 0) return std::nullopt;
    --forcedCount_;
    return forcedAnswer_;
  }

  void DropAfterHeaders(int count) { dropCount_ = count; }
  bool TakeDrop() {
    int count = dropCount_.load();
    while (count > 0 && !dropCount_.compare_exchange_weak(count, count - 1)) {
    }
    return count > 0;
  }

  void SetDelayMilliseconds(int ms) { delayMs_ = ms; }
  int delayMilliseconds() const { return delayMs_; }

  void Reset() {
    ForceAnswer({}, 0);
    dropCount_ = 0;
    delayMs_ = 0;
  }

 private:
  std::mutex mutex_;
  std::string forcedAnswer_;
  int forcedCount_ = 0;
  std::atomic<int> dropCount_{0};
  std::atomic<int> delayMs_{0};
};

}  // namespace server

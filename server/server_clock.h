// The server's notion of now: the system clock, shifted by whole days (or pinned to a moment)
// so that tests can age forwards past their retention.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

namespace server {

class ServerClock {
 public:
  explicit ServerClock(std::int64_t offsetDays = 0) : offsetDays_(offsetDays) {}

  std::int64_t Now() const {
    std::int64_t pinned = pinned_.load();
    std::int64_t base = pinned != 0 ? pinned
                                    : std::chrono::duration_cast<std::chrono::seconds>(
                                          std::chrono::system_clock::now().time_since_epoch())
                                          .count();
    return base + offsetDays_.load() * 86400;
  }

  void SetOffsetDays(std::int64_t days) { offsetDays_ = days; }
  // 0 lets the clock run again.
  void Pin(std::int64_t secondsSinceEpoch) { pinned_ = secondsSinceEpoch; }

 private:
  std::atomic<std::int64_t> offsetDays_;
  std::atomic<std::int64_t> pinned_{0};
};

}  // namespace server

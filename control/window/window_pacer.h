// The window's share of sending file data. Every 8000-byte block is accounted, reported through
// OnProgress and checked for a cancel, but looking for a pending message and drawing the labels
// each cost far more than a block's accounting (under Wine each is a round trip to the server or
// to the display), so they are paced by time: a person sees no difference at that rate, and the
// transfer is not held back to the speed of the window.
#pragma once

#include <cstdint>

namespace zorvel {

class WindowPacer {
 public:
  // Below a screen's refresh period, so the labels still show every frame's latest figures.
  static constexpr std::uint32_t kIntervalMs = 10;
  // Messages dispatched at one look at most: enough for a flood of posted messages to drain
  // within a few blocks (a Cancel click behind it is not held back), few enough that a sender
  // that never stops posting does not stop the transfer.
  static constexpr int kMessagesPerLook = 64;

  // Whether to look for a pending message now: at once while the last look found some (a backlog
  // drains at kMessagesPerLook per block), otherwise once the interval has passed since that look.
  bool PumpDue(std::uint32_t nowMs) const {
    return !pumped_ || lastFound_ || nowMs - lastPumpMs_ >= kIntervalMs;
  }
  void Pumped(std::uint32_t nowMs, bool found) {
    pumped_ = true;
    lastPumpMs_ = nowMs;
    lastFound_ = found;
  }

  // New figures to show; whether to draw them now. Figures not drawn stay pending for Flush.
  bool DrawDue(std::uint32_t nowMs) {
    pending_ = true;
    if (drawn_ && nowMs - lastDrawMs_ < kIntervalMs) return false;
    Drawn(nowMs);
    return true;
  }
  // Whether figures are still to be drawn (before the window shows anything else); they are
  // then taken as drawn.
  bool Flush(std::uint32_t nowMs) {
    if (!pending_) return false;
    Drawn(nowMs);
    return true;
  }

 private:
  void Drawn(std::uint32_t nowMs) {
    drawn_ = true;
    pending_ = false;
    lastDrawMs_ = nowMs;
  }

  bool pumped_ = false, lastFound_ = false;
  std::uint32_t lastPumpMs_ = 0;
  bool drawn_ = false, pending_ = false;
  std::uint32_t lastDrawMs_ = 0;
};

}  // namespace zorvel

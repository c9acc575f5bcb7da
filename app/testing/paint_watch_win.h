// Watches a window while a blocking call waits on this thread: whether the thread went on with
// its messages, whether the window was repainted after it had been invalidated, and whether it
// ever took input.
#pragma once

#include <windows.h>

class PaintWatch {
 public:
  // Starts watching `window` on a thread timer; one watch at a time.
  explicit PaintWatch(HWND window);
  ~PaintWatch();
  PaintWatch(const PaintWatch&) = delete;
  PaintWatch& operator=(const PaintWatch&) = delete;

  int ticks() const { return ticks_; }
  bool enabledSeen() const { return enabledSeen_; }
  bool painted() const { return painted_; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);

  HWND window_;
  UINT_PTR timer_ = 0;
  int ticks_ = 0;
  bool enabledSeen_ = false;
  bool painted_ = false;
};

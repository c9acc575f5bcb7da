#include "app/testing/paint_watch_win.h"

namespace {

PaintWatch* active = nullptr;

}  // namespace

PaintWatch::PaintWatch(HWND window) : window_(window) {
  active = this;
  timer_ = SetTimer(nullptr, 0, 100, Tick);
}

PaintWatch::~PaintWatch() {
  KillTimer(nullptr, timer_);
  active = nullptr;
}

void CALLBACK PaintWatch::Tick(HWND, UINT, UINT_PTR, DWORD) {
  if (active == nullptr) return;
  PaintWatch& watch = *active;
  ++watch.ticks_;
  watch.enabledSeen_ |= IsWindowEnabled(watch.window_) != FALSE;
  if (watch.ticks_ == 2) InvalidateRect(watch.window_, nullptr, TRUE);
  RECT dirty;
  if (watch.ticks_ > 2 && !GetUpdateRect(watch.window_, &dirty, FALSE)) watch.painted_ = true;
}

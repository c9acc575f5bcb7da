// What the history tests read off the screen: the colour of a row in a window's picture, and the
// rows of a list view of another process (the program under test).
#pragma once

#include <windows.h>

#include <string>

#include "base/testing/screenshot_win.h"

namespace history_testing {

// Pixels of exactly `colour` inside `rect` (client coordinates of `control`) of `image`, the
// picture of `window`.
int PixelsOf(const screenshots::Image& image, HWND window, HWND control, RECT rect,
             COLORREF colour);

// A report-style list view of another process, read and clicked through memory of that process.
class RemoteListView {
 public:
  explicit RemoteListView(HWND list);
  ~RemoteListView();
  RemoteListView(const RemoteListView&) = delete;
  RemoteListView& operator=(const RemoteListView&) = delete;

  int Rows() const;
  std::wstring Cell(int row, int column) const;
  RECT CellRect(int row, int column) const;
  // Selects `row` as a click does, which raises the list's change notification.
  void Select(int row) const;

 private:
  HWND list_;
  HANDLE process_ = nullptr;
  char* memory_ = nullptr;  // in the other process
};

}  // namespace history_testing

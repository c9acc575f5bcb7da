// Files and folders dropped onto a window from Explorer, by either way the shell drops them: an
// OLE drag carrying the shell's file-drop format (CF_HDROP), or a WM_DROPFILES message.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

// The paths an HDROP holds, in the order dropped.
std::vector<std::u16string> DroppedPaths(HDROP drop);

class FileDrop {
 public:
  using Accept = std::function<bool()>;
  using Dropped = std::function<void(const std::vector<std::u16string>&)>;

  // `accept` says whether a drop is taken at this moment; a refused drag shows the no-drop
  // pointer. `dropped` receives the paths once the drag has ended, so that a message it shows
  // never holds the program the files were dragged from.
  FileDrop(Accept accept, Dropped dropped);
  ~FileDrop();
  FileDrop(const FileDrop&) = delete;
  FileDrop& operator=(const FileDrop&) = delete;

  // Takes drops on `window` whose point lies over `area` (a child of it), until Detach (or
  // destruction). The whole window is registered because the shell finds a drop target by
  // walking up from the window under the pointer, which may be a sibling drawn over the area
  // (a group box). Where OLE cannot be had on this thread the window still takes WM_DROPFILES.
  void Attach(HWND window, HWND area);
  void Detach();

 private:
  class Target;
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR self);
  void Deliver(std::vector<std::u16string> paths);
  bool Over(POINT screenPoint) const;

  Accept accept_;
  Dropped dropped_;
  HWND window_ = nullptr;
  HWND area_ = nullptr;
  Target* target_ = nullptr;
  bool oleInitialized_ = false;
  std::vector<std::vector<std::u16string>> pending_;
};

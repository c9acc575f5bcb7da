// Drops files onto a window from another thread, the two ways Explorer does: a WM_DROPFILES
// message carrying an HDROP, and an OLE drag whose data carries the shell's file-drop format.
#pragma once

#include <windows.h>
// ole2.h needs the types of windows.h.
#include <ole2.h>

#include <string>
#include <vector>

// A movable global block in the DROPFILES layout holding `paths` as wide text, dropped at
// `point` of the receiving window's client area.
HGLOBAL MakeHDrop(const std::vector<std::u16string>& paths, POINT point = {});

// Posts WM_DROPFILES from another thread, as the shell does: to the top-level window of
// `target`, dropped over the middle of `target`. The receiver frees the HDROP.
void PostDropFiles(HWND target, const std::vector<std::u16string>& paths);

struct DragResult {
  HRESULT result = E_FAIL;         // of DoDragDrop
  DWORD effect = DROPEFFECT_NONE;  // what the target took
};

// Drags `paths` with OLE's DoDragDrop from another thread over the middle of `target`, and
// drops them there; this thread's messages are dispatched meanwhile (the target may live on
// them). A drag that ends with nothing taken is tried again, three times at most.
DragResult DragFilesOnto(HWND target, const std::vector<std::u16string>& paths);

// The same drag played on this thread, as OLE plays it, on the drop target registered for the
// window of `target` or the nearest of its parents (OLE keeps it in a property of the window):
// enter and move over the middle of `target`, then drop, or leave when refused. Wine's drag
// loop, from a thread of the program that shows the target, does not always reach it.
DragResult DropOnRegisteredTarget(HWND target, const std::vector<std::u16string>& paths);

// Drops files onto a window from another thread, the two ways Explorer does: a WM_DROPFILES
// message carrying an HDROP, and an OLE drag whose data carries the shell's file-drop format.
#pragma once

#include <ole2.h>
#include <windows.h>

#include <string>
#include <vector>

// A movable global block in the DROPFILES layout holding `paths` as wide text.
HGLOBAL MakeHDrop(const std::vector<std::u16string>& paths);

// Posts WM_DROPFILES to `target` from another thread; the receiver frees the HDROP.
void PostDropFiles(HWND target, const std::vector<std::u16string>& paths);

struct DragResult {
  HRESULT result = E_FAIL;         // of DoDragDrop
  DWORD effect = DROPEFFECT_NONE;  // what the target took
};

// Drags `paths` from another thread with the pointer over the middle of `target` and drops
// them there; this thread's messages are dispatched meanwhile (the target lives on them).
DragResult DragFilesOnto(HWND target, const std::vector<std::u16string>& paths);

// The window's side of drag and drop: files are accepted over the list only, and never while
// a run is in progress.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>

#include "control/engine/socket/socket_layer_win.h"
#include "control/object/module_win.h"
#include "control/object/zorvex_win.h"
#include "control/resources/zorvel_resources.h"
#include "control/window/control_window_win.h"

namespace zorvel {
namespace {

enum DropPhase : WPARAM { kEnter = 0, kOver = 1, kDrop = 3 };

}  // namespace

void ControlWindow::OnDropNotice(WPARAM phase, DropNotice* notice) {
  if (!notice || control_.Busy) return;
  if (phase == kEnter) dragFormat_ = notice->format;
  const POINT cursor{notice->cursor->x, notice->cursor->y};
  const bool overList = dragFormat_ == CF_HDROP && WindowFromPoint(cursor) == list_;
  if (phase == kEnter || phase == kOver) {
    notice->effect = overList ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    return;
  }
  if (phase != kDrop) return;
  // A drop is taken only where the last drag-over would have accepted it.
  if (!overList || !notice->files) {
    notice->effect = DROPEFFECT_NONE;
    return;
  }
  notice->effect = DROPEFFECT_COPY;
  // Messages dispatched while the files are taken may let the control go.
  control_.AddRef();
  SetForegroundWindow(window_);
  SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  control_.StatusText = LoadAnsiString(IDS_DROPPING);
  DrawLabel(TextArea::kStatus, control_.StatusText);
  EnableWindow(start_, FALSE);
  const UINT count = DragQueryFileA(notice->files, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    char path[1024];
    if (DragQueryFileA(notice->files, i, path, sizeof path) == 0) continue;
    ::DispatchPendingMessage();
    AddDroppedFile(path);
    DrawLabel(TextArea::kFileCount, FileCountText());
  }
  DrawLabel(TextArea::kStatus, control_.StatusText);
  UpdateFileCount();
  // A handler run in between may have let the window go.
  if (list_) {
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
  }
  control_.Release();
}

}  // namespace zorvel

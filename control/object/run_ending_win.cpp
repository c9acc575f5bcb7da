#include "control/object/run_ending_win.h"

#include "control/engine/socket/socket_connection_win.h"
#include "control/engine/socket/socket_layer_win.h"
#include "control/object/event_source_win.h"
#include "control/object/module_win.h"
#include "control/object/upload_run_win.h"
#include "control/resources/zorvel_resources.h"
#include "control/window/control_window_win.h"

namespace zorvel {

void RunEnding::SaveCaption() {
  if (!run_.settings.BrowserWindow) return;
  GetWindowTextA(run_.settings.BrowserWindow, caption_, sizeof caption_);
  captionSaved_ = true;
}

RunResult RunEnding::Fail(RunResult failure, std::string status) {
  connection_.Close();
  RestoreCaption();
  const RunResult result = run_.state.CancelRequested ? kCancelled : failure;
  SetStatus(result == kCancelled ? LoadAnsiString(IDS_CANCELLED) : std::move(status));
  run_.state.Result = result;
  return result;
}

void RunEnding::Complete(const std::string& completion) {
  connection_.Close();
  run_.window.DrawLabel(TextArea::kStatus, run_.state.StatusText);
  DispatchPendingMessage();
  run_.events.Fire(kOnComplete, completion);
  RestoreCaption();
}

void RunEnding::SetStatus(std::string text) {
  run_.state.StatusText = std::move(text);
  run_.window.DrawLabel(TextArea::kStatus, run_.state.StatusText);
}

void RunEnding::RestoreCaption() {
  if (captionSaved_ && run_.settings.BrowserWindow)
    SetWindowTextA(run_.settings.BrowserWindow, caption_);
}

}  // namespace zorvel

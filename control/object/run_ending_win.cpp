#include "control/object/run_ending_win.h"

#include "control/engine/socket/socket_connection_win.h"
#include "control/engine/socket/socket_layer_win.h"
#include "control/object/module_win.h"
#include "control/object/zorvex_win.h"
#include "control/resources/zorvel_resources.h"

namespace zorvel {

void RunEnding::SaveCaption() {
  if (!control_.BrowserWindow) return;
  GetWindowTextA(control_.BrowserWindow, caption_, sizeof caption_);
  captionSaved_ = true;
}

RunResult RunEnding::Fail(RunResult failure, std::string status) {
  connection_.Close();
  RestoreCaption();
  const RunResult result = control_.CancelRequested ? kCancelled : failure;
  SetStatus(result == kCancelled ? LoadAnsiString(IDS_CANCELLED) : std::move(status));
  control_.Result = result;
  return result;
}

void RunEnding::Complete(const std::string& completion) {
  connection_.Close();
  control_.Window().DrawLabel(TextArea::kStatus, control_.StatusText);
  DispatchPendingMessage();
  control_.Events().Fire(kOnComplete, completion);
  RestoreCaption();
}

void RunEnding::SetStatus(std::string text) {
  control_.StatusText = std::move(text);
  control_.Window().DrawLabel(TextArea::kStatus, control_.StatusText);
}

void RunEnding::RestoreCaption() {
  if (captionSaved_ && control_.BrowserWindow) SetWindowTextA(control_.BrowserWindow, caption_);
}

}  // namespace zorvel

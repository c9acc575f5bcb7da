// Progress notices of the FTP upload, which counts bytes where the HTTP engine counts blocks.
// The common controls need the types of windows.h first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <algorithm>

#include "control/engine/socket/socket_layer_win.h"
#include "control/object/module_win.h"
#include "control/object/zorvex_win.h"
#include "control/resources/zorvel_resources.h"
#include "control/window/bar_steps.h"
#include "control/window/control_window_win.h"

namespace zorvel {

void ControlWindow::ResetFtpProgress() {
  ftpPending_ = 0;
  ftpPrevious_ = 0;
  ftpSteps_ = 0;
  ftpStartTick_ = GetTickCount();
  ftpPacer_ = WindowPacer();
  ftpRemainDrawn_.clear();
}

void ControlWindow::OnUploadProgress(WPARAM bytesSent) {
  const long sent = static_cast<long>(bytesSent);
  ftpPending_ += sent - ftpPrevious_;
  ftpPrevious_ = sent;
  const long stepBytes = control_.Size / BarSteps::kBarRange;
  while (ftpPending_ > stepBytes && ftpSteps_ < BarSteps::kBarRange) {
    SendMessageW(bar_, PBM_STEPIT, 0, 0);
    ::DispatchPendingMessage();
    ftpPending_ -= stepBytes;
    ++ftpSteps_;
  }
  const long elapsedMs = std::max(static_cast<long>(GetTickCount() - ftpStartTick_), 10L);
  const ProgressTexts texts = MakeProgressTexts(control_.Size, sent, elapsedMs, endTimeFormat_);
  control_.ProgressText = texts.progress;
  if (texts.remain) control_.RemainText = *texts.remain;
  // A notice comes with every 8760 bytes, thousands of times a second on a fast line: the state,
  // the event and the bar follow every notice, the screen and the message queue the pacer's
  // rhythm, and the run's last byte is always drawn.
  const DWORD now = GetTickCount();
  const bool show = ftpPacer_.DrawDue(now) || (sent >= control_.Size && ftpPacer_.Flush(now));
  if (show) {
    DrawLabel(TextArea::kRemain, control_.ProgressText);
    if (control_.RemainText != ftpRemainDrawn_) {
      ftpRemainDrawn_ = control_.RemainText;
      DrawLabel(TextArea::kEndTime, control_.RemainText);
    }
  }
  control_.Events().Fire(kOnProgress, control_.ProgressText + "\t" + control_.RemainText);
  if (show && control_.BrowserWindow) {
    SetWindowTextA(control_.BrowserWindow, control_.ProgressText.c_str());
  }
  if (ftpPacer_.PumpDue(now)) {
    ftpPacer_.Pumped(now, ::DispatchPendingMessages(WindowPacer::kMessagesPerLook) > 0);
  }
}

}  // namespace zorvel

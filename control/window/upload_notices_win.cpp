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
  ftpFigures_.Start(control_.Size, endTimeFormat_);
  ftpRemainDrawn_.clear();
}

void ControlWindow::SettleFtpProgress() {
  ftpFigures_.Settle(control_.ProgressText, control_.RemainText);
}

void ControlWindow::NoteUploadProgress(long sent, bool moreFollow) {
  const DWORD now = GetTickCount();
  ftpFigures_.Note(sent, std::max(static_cast<long>(now - ftpStartTick_), 10L));
  ftpPending_ += sent - ftpPrevious_;
  ftpPrevious_ = sent;
  const long stepBytes = control_.Size / BarSteps::kBarRange;
  while (ftpPending_ > stepBytes && ftpSteps_ < BarSteps::kBarRange) {
    SettleFtpProgress();
    SendMessageW(bar_, PBM_STEPIT, 0, 0);
    ::DispatchPendingMessage();
    ftpPending_ -= stepBytes;
    ++ftpSteps_;
  }
  // A notice comes with every 8760 bytes, thousands of times a second on a fast line: the event
  // and the bar follow every notice, the screen and the message queue the pacer's rhythm, and
  // the run's last byte is always drawn.
  const bool show = ftpPacer_.DrawDue(now) || (sent >= control_.Size && ftpPacer_.Flush(now));
  const bool pump = ftpPacer_.PumpDue(now);
  if (!moreFollow || show || pump || control_.Events().Listened()) SettleFtpProgress();
  if (show) {
    DrawLabel(TextArea::kRemain, control_.ProgressText);
    if (control_.RemainText != ftpRemainDrawn_) {
      ftpRemainDrawn_ = control_.RemainText;
      DrawLabel(TextArea::kEndTime, control_.RemainText);
    }
  }
  if (control_.Events().Listened()) {
    control_.Events().Fire(kOnProgress, control_.ProgressText + "\t" + control_.RemainText);
  }
  if (show && control_.BrowserWindow) {
    SetWindowTextA(control_.BrowserWindow, control_.ProgressText.c_str());
  }
  if (pump) ftpPacer_.Pumped(now, ::DispatchPendingMessages(WindowPacer::kMessagesPerLook) > 0);
}

}  // namespace zorvel

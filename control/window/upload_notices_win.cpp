// Progress notices of the FTP upload, which counts bytes where the HTTP engine counts blocks.
#include <windows.h>
#include <commctrl.h>

#include "control/engine/socket/socket_layer_win.h"
#include "control/object/module_win.h"
#include "control/object/zorvex_win.h"
#include "control/resources/zorvel_resources.h"
#include "control/window/control_window_win.h"

namespace zorvel {
namespace {

constexpr long kBarSteps = 62;

TimeOfDay Now() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return {now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
}

}  // namespace

void ControlWindow::ResetFtpProgress() {
  ftpPending_ = 0;
  ftpPrevious_ = 0;
  ftpSteps_ = 0;
  ftpStart_ = Now();
}

void ControlWindow::OnUploadProgress(WPARAM bytesSent) {
  const long sent = static_cast<long>(bytesSent);
  ftpPending_ += sent - ftpPrevious_;
  ftpPrevious_ = sent;
  const long stepBytes = control_.Size / kBarSteps;
  while (ftpPending_ > stepBytes && ftpSteps_ < kBarSteps) {
    SendMessageW(bar_, PBM_STEPIT, 0, 0);
    ::DispatchPendingMessage();
    ftpPending_ -= stepBytes;
    ++ftpSteps_;
  }
  const ProgressTexts texts = MakeProgressTexts(control_.Size, sent, ElapsedMs(ftpStart_, Now()),
                                                endTimeFormat_);
  control_.ProgressText = texts.progress;
  if (texts.remain) control_.RemainText = *texts.remain;
  DrawLabel(TextArea::kRemain, control_.ProgressText);
  DrawLabel(TextArea::kEndTime, control_.RemainText);
  control_.Events().Fire(kOnProgress, control_.ProgressText + "\t" + control_.RemainText);
  if (control_.BrowserWindow) SetWindowTextA(control_.BrowserWindow, control_.ProgressText.c_str());
  ::DispatchPendingMessage();
}

}  // namespace zorvel

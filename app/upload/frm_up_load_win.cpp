#include "app/upload/frm_up_load_win.h"

#include <commctrl.h>

#include "app/forms/taskbar_win.h"
#include "app/main/app_error_win.h"
#include "app/main/file_utils_win.h"
#include "app/main/show_error_message_win.h"
#include "app/main/user_dialogs_win.h"
#include "app/resources/form_ids.h"
#include "app/tta/tta_codec_win.h"
#include "app/upload/compress_failure_message.h"
#include "app/upload/zorvex_members_win.h"
#include "base/text.h"
#include "control/hosting/activex_site_win.h"
#include "control/hosting/dispatch_call_win.h"
#include "control/hosting/event_sink_win.h"

namespace {

constexpr UINT_PTR kTimer1 = 1;
constexpr UINT_PTR kTimer2 = 2;
constexpr UINT kTimer1Interval = 1000;
constexpr UINT kTimer2Interval = 100;
constexpr int kCompressMaximum = 100;

const wchar_t* Wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

}  // namespace

frmUpLoad::frmUpLoad() : Form(IDD_UPLOAD), compressor(tta_vb::Enc_WavToTTA) {}

frmUpLoad::~frmUpLoad() { ReleaseControl(); }

IDispatch* frmUpLoad::bfpMain() const { return site_ ? site_->Control() : nullptr; }

void frmUpLoad::Form_Load() {
  intWavCount = 0;
  intWavIndex = 0;
  blnEncodeCancel = 0;
  lngUpLoadStatus = 0;
  wavsCompressed_ = 0;
  encoding_ = false;
  starting_ = false;
  closing_ = false;
  CreateControl();
  if (SendFiles == nullptr) return;
  for (const auto& file : *SendFiles) {
    if (file->FileExtension() == u"wav") ++intWavCount;
  }
  ShowFrame(IDC_FRA_COMPRESS, true);
  EnableWindow(Control(IDC_CMD_CANCEL), FALSE);
  StartTimer(kTimer1, kTimer1Interval);
}

void frmUpLoad::Form_Unload() {
  taskbar::ClearProgress(hwnd());
  ReleaseControl();
  SendAddress = nullptr;
  SendFiles = nullptr;
}

bool frmUpLoad::Command(int id, int code) {
  if (id == IDC_CMD_CANCEL && code == BN_CLICKED) {
    cmdCancel_Click();
    return true;
  }
  return Form::Command(id, code);
}

void frmUpLoad::Timer(UINT_PTR id) {
  if (id == kTimer1) Timer1_Timer();
  if (id == kTimer2) Timer2_Timer();
}

void frmUpLoad::ShowFrame(int frameId, bool show) {
  const int compressArea[] = {IDC_FRA_COMPRESS, IDC_LBL_TITLE_0, IDC_LBL_COUNT, IDC_PBR_COMPRESS};
  const int sendArea[] = {IDC_FRA_SEND, IDC_LBL_TITLE_1};
  const int command = show ? SW_SHOW : SW_HIDE;
  if (frameId == IDC_FRA_COMPRESS) {
    for (const int id : compressArea) ShowWindow(Control(id), command);
  } else {
    for (const int id : sendArea) ShowWindow(Control(id), command);
    if (site_ && site_->ControlWindow() != nullptr) ShowWindow(site_->ControlWindow(), command);
  }
}

void frmUpLoad::SetCompressPosition(int position) {
  HWND bar = Control(IDC_PBR_COMPRESS);
  SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
  UpdateWindow(bar);
  // The button shows the compression of all WAV files as one run.
  if (intWavCount > 0 && intWavIndex > 0) {
    taskbar::ShowProgress(hwnd(), (intWavIndex - 1) * kCompressMaximum + position,
                          intWavCount * kCompressMaximum);
  }
}

void frmUpLoad::Timer1_Timer() {
  WithErrorTrap(u"Timer1_Timer", false, [&] {
    StopTimer(kTimer1);
    EncodeWaveToTta();
    if (IsLoaded() && !closing_ && blnEncodeCancel == 0 && lngUpLoadStatus == 0 &&
        intWavIndex == intWavCount && wavsCompressed_ == intWavCount) {
      TransData();
    }
    return true;
  });
}

void frmUpLoad::Timer2_Timer() {
  WithErrorTrap(u"Timer2_Timer", false, [&] {
    DoEvents();
    if (!IsLoaded()) return true;
    if (ExecMode == 1 && kCompressMaximum >= basMain::intTtaStep) {
      SetCompressPosition(basMain::intTtaStep);
    }
    return true;
  });
}

void frmUpLoad::EncodeWaveToTta() {
  encoding_ = true;
  const bool looped = WithErrorTrap(u"EncodeWaveToTta", false, [&] {
    EnableWindow(Control(IDC_CMD_CANCEL), TRUE);
    for (const auto& file : *SendFiles) {
      if (file->FileExtension() != u"wav") {
        CopyWorkFile(*file);
        continue;
      }
      StartTimer(kTimer2, kTimer2Interval);
      ++intWavIndex;
      SetControlText(IDC_LBL_COUNT,
                     base::Widen(std::to_string(intWavIndex) + "/" + std::to_string(intWavCount)));
      SetCompressPosition(0);
      basMain::StartTtaProgress(file->FileSize);
      const int32_t result = compressor(file->FilePath, file->NewFilePath, &blnEncodeCancel);
      if (result != kTtaDone) {
        lngUpLoadStatus = result == kTtaStopped ? -999 : -9999;
        refusedPath_ = file->FilePath;
        refusal_ = result;
        break;
      }
      ++wavsCompressed_;
      SetCompressPosition(kCompressMaximum);
      StopTimer(kTimer2);
    }
    return true;
  });
  encoding_ = false;
  if (!looped) {
    StopTimer(kTimer2);
    return;
  }
  if (lngUpLoadStatus == -999 || lngUpLoadStatus == -9999) {
    StopTimer(kTimer2);
    // Nothing is sent: the user learns which file stopped the forward and why.
    if (lngUpLoadStatus == -9999) {
      taskbar::ShowFailure(hwnd());
      taskbar::AskAttention(hwnd());
      ShowAppMessage(CompressFailureMessage(refusedPath_, refusal_), MB_ICONERROR, hwnd());
    }
    CloseWindow();
    return;
  }
  SetCompressPosition(kCompressMaximum);
}

void frmUpLoad::CopyWorkFile(const clsFile& file) {
  const std::u16string& target = file.NewFilePath;
  if (CheckFileExist(target)) {
    SetFileAttributesW(Wide(target), FILE_ATTRIBUTE_NORMAL);
    if (!DeleteFileW(Wide(target))) throw LastWin32Error();
  }
  // The target is gone by now: copying "if none exists" makes it new, where Wine would first cut
  // the file it creates and ext4 would then write it to disk in full when it is closed.
  if (!CopyFileW(Wide(file.FilePath), Wide(target), TRUE)) throw LastWin32Error();
  const DWORD attributes = GetFileAttributesW(Wide(target));
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    if (!SetFileAttributesW(Wide(target), attributes & ~FILE_ATTRIBUTE_READONLY)) {
      throw LastWin32Error();
    }
  }
}

void frmUpLoad::cmdCancel_Click() {
  WithErrorTrap(u"cmdCancel_Click", false, [&] {
    if (closing_ || !IsLoaded()) return true;
    lngUpLoadStatus = -999;
    if (ExecMode == 1) {
      blnEncodeCancel = -1;
      StopTimer(kTimer2);
      // The compression loop closes the window once the compressor has stopped. With no loop
      // running (before it began, or after a failure ended it) nothing else would.
      if (!encoding_) CloseWindow();
      return true;
    }
    // The window closes at once, whatever the control makes of the request; a run that is still
    // going notices it at its next check and ends before Start returns.
    if (IDispatch* control = bfpMain()) {
      CallDispatchMethod(control, zorvel::kCancel, nullptr, 0, nullptr);
    }
    CloseWindow();
    return true;
  });
}

void frmUpLoad::CloseWindow() {
  closing_ = true;
  StopTimer(kTimer1);
  StopTimer(kTimer2);
  Hide();
  if (!starting_) Unload();
}

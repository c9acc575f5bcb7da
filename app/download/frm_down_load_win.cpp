#include "app/download/frm_down_load_win.h"

#include <commctrl.h>

#include <algorithm>

#include "app/download/down_load_proc_win.h"
#include "app/forms/taskbar_win.h"
#include "app/main/app_error_win.h"
#include "app/main/file_utils_win.h"
#include "app/main/show_error_message_win.h"
#include "app/main/user_dialogs_win.h"
#include "app/resources/form_ids.h"
#include "app/tta/tta_codec_win.h"
#include "base/ansi.h"
#include "base/text.h"
#include "components/download/w3getv_codes.h"

namespace {

enum TimerId : UINT_PTR { kTimer1 = 1, kTimer2, kTimer3, kTimer4 };

const wchar_t* Wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

// Plain files (not subfolders) directly in the folder.
int32_t CountFiles(const std::u16string& folder) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(Wide(folder + u"\\*"), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int32_t count = 0;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) ++count;
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return count;
}

// Deletes the file, read-only or not.
void ForceDelete(const std::u16string& path) {
  SetFileAttributesW(Wide(path), FILE_ATTRIBUTE_NORMAL);
  if (!DeleteFileW(Wide(path))) throw LastWin32Error();
}

void DeleteIfPresent(const std::u16string& path) {
  if (CheckFileExist(path)) ForceDelete(path);
}

}  // namespace

frmDownLoad::frmDownLoad() : Form(IDD_DOWNLOAD) {}

void frmDownLoad::Form_Load() {
  WithErrorTrap(u"Form_Load", false, [&] {
    colDownFile.clear();
    state_.lngMode = DownLoadMode::kDownloading;
    StartTimer(kTimer1, 100);
    return true;
  });
}

void frmDownLoad::Form_Unload() {
  taskbar::ClearProgress(hwnd());
  for (UINT_PTR id : {kTimer1, kTimer2, kTimer3, kTimer4}) StopTimer(id);
  colDownFile.clear();
  colFetchFile.clear();
}

bool frmDownLoad::Command(int id, int code) {
  if (id == IDC_CMD_DOWNLOAD_CANCEL && code == BN_CLICKED) {
    cmdCancel_Click();
    return true;
  }
  return Form::Command(id, code);
}

void frmDownLoad::Timer(UINT_PTR id) {
  switch (id) {
    case kTimer1:
      Timer1_Timer();
      break;
    case kTimer2:
      Timer2_Timer();
      break;
    case kTimer3:
      Timer3_Timer();
      break;
    case kTimer4:
      Timer4_Timer();
      break;
    default:
      break;
  }
}

void frmDownLoad::cmdCancel_Click() {
  if (state_.lngMode == DownLoadMode::kDownloading) {
    basMain::down.lngDownCancel = 1;
  } else {
    state_.blnDecodeCancel = -1;
  }
}

void frmDownLoad::CloseBox() {
  if (state_.blnBusy) {
    cmdCancel_Click();
  } else {
    Unload();
  }
}

void frmDownLoad::Timer2_Timer() {
  ShowWindow(Control(IDC_DL_LBL_TITLE_2), state_.lngBlinkCount % 2 == 0 ? SW_SHOW : SW_HIDE);
  ++state_.lngBlinkCount;
}

std::u16string frmDownLoad::InFolder(std::u16string_view name) const {
  return strSaveFolder + u"\\" + std::u16string(name);
}

void frmDownLoad::GetDownLoadFilePath() {
  WithErrorTrap(u"GetDownLoadFilePath", false, [&] {
    const std::vector<clsDownFile> entries =
        ReadDescriptorEntries(base::FromAnsi(ReadWholeFile(strOftsPath)));
    colDownFile.insert(colDownFile.end(), entries.begin(), entries.end());
    return true;
  });
}

void frmDownLoad::Timer1_Timer() {
  StopTimer(kTimer1);
  state_.blnBusy = true;
  WithErrorTrap(u"Timer1_Timer", false, [&] {
    strSaveFolder = SelectFolder(hwnd(), u"フォルダを選択して下さい", u"");
    if (strSaveFolder.empty()) {
      ShowAppMessage(u"ダウンロードがキャンセルされました。", MB_ICONINFORMATION, hwnd());
      Unload();
      return true;
    }
    const int32_t fileCount = CountFiles(strSaveFolder);
    GetDownLoadFilePath();
    // Every entry is checked before anything is fetched, written or deleted in the folder.
    if (!AreEntriesSound(colDownFile)) {
      ShowAppMessage(DownLoadResultMessage(w3getv::kBadUrl), MB_ICONERROR, hwnd());
      Unload();
      return true;
    }
    if (fileCount >= 1 && !ResolveClashes()) {
      Unload();
      return true;
    }
    StartTransfer();
    return true;
  });
  state_.blnBusy = false;
}

bool frmDownLoad::ResolveClashes() {
  // Every file the run writes is asked about: a user's file under an encoded name or under a
  // TTA name would otherwise be overwritten, renamed away or deleted without a word.
  const auto clashes = [&](const clsDownFile& entry) {
    const std::vector<std::u16string> names = OccupiedNames(entry);
    return std::any_of(names.begin(), names.end(),
                       [&](const std::u16string& name) { return CheckFileExist(InFolder(name)); });
  };
  if (std::none_of(colDownFile.begin(), colDownFile.end(), clashes)) return true;
  const int answer = Dialogs().ShowMessage(
      hwnd(),
      u"選択されたフォルダに同名のファイルが保存されています。\nファイルを削除してよろしいですか？",
      u"確認", MB_YESNO);
  if (answer != IDYES) {
    ShowAppMessage(
        u"同名ファイルが保存されているためダウンロード出来ません。\nファイルを削除してから実行して"
        u"下さい。",
        MB_ICONINFORMATION, hwnd());
    return false;
  }
  for (const clsDownFile& entry : colDownFile) {
    for (const std::u16string& name : OccupiedNames(entry)) DeleteIfPresent(InFolder(name));
  }
  return true;
}

void frmDownLoad::StartTransfer() {
  strSaveFolder = GetShortFilePath(strSaveFolder);
  colFetchFile = DistinctEntries(colDownFile);
  ShowGroup({IDC_FRA_DOWNLOAD, IDC_DL_LBL_TITLE_2, IDC_LBL_VIEW_0, IDC_LBL_PROGRESS_0,
             IDC_LBL_VIEW_1, IDC_LBL_PROGRESS_1, IDC_PBR_DOWNLOAD},
            true);
  SetBar(IDC_PBR_DOWNLOAD, 100, 0);
  FileDownLoad();
}

void frmDownLoad::FileDownLoad() {
  using namespace basMain;
  const bool finished = WithErrorTrap(u"FileDownLoad", false, [&] {
    try {
      down.lngDownPhase = DownPhase::kSizeProbe;
      SetHourglassPointer();
      StartTimer(kTimer2, 400);
      int32_t lastResult = 0;
      for (const clsDownFile& entry : colFetchFile) {
        down.lngCallbackCount = 0;
        down.lngDownCancel = 0;
        lastResult = parvek::W3getv(ProbeCommandText(strSaveFolder, entry), GetFileSizeProc);
      }
      StopTimer(kTimer2);
      SetNormalPointer();
      ShowWindow(Control(IDC_DL_LBL_TITLE_2), SW_HIDE);
      ShowWindow(Control(IDC_DL_LBL_TITLE_0), SW_SHOW);
      down.lngDownPhase = DownPhase::kDownload;
      StartTimer(kTimer3, 500);
      down.lngCallbackCount = 0;
      down.lngDownCancel = 0;
      SetHourglassPointer();
      for (const clsDownFile& entry : colFetchFile) {
        const std::u16string saveName = SaveName(entry);
        lastResult = parvek::W3getv(DownloadCommandText(strSaveFolder, entry), DownLoadProc);
        down.lngDoneBytes += down.lngFileBytes;
        if (lastResult < 0) break;
        if (entry.FileName() != saveName) {
          if (!MoveFileW(Wide(InFolder(saveName)), Wide(InFolder(entry.FileName())))) {
            throw LastWin32Error();
          }
        }
      }
      SetNormalPointer();
      StopTimer(kTimer3);
      if (lastResult >= 1) {
        const std::u16string total = KilobyteText(down.lngTotalBytes);
        SetControlText(IDC_LBL_PROGRESS_0, total);
        SetControlText(IDC_LBL_PROGRESS_1, total);
        SetBar(IDC_PBR_DOWNLOAD, 100, 100);
        Repaint(IDC_PBR_DOWNLOAD);
        DecodeTtaToWave();
      } else {
        EndedInFailure();
        ShowAppMessage(DownLoadResultMessage(lastResult), MB_ICONERROR, hwnd());
      }
      return true;
    } catch (...) {
      StopTimer(kTimer2);
      StopTimer(kTimer3);
      SetNormalPointer();
      throw;
    }
  });
  // After a failure the window stays open and idle.
  if (finished) {
    Unload();
  } else {
    EndedInFailure();
  }
}

void frmDownLoad::DownLoadStateView() {
  using namespace basMain;
  WithErrorTrap(u"DownLoadStateView", false, [&] {
    try {
      ++state_.lngViewCount;
      if (state_.lngMode != DownLoadMode::kDownloading) return true;
      if (down.lngDownPhase == DownPhase::kDownload) {
        DoEvents();
        const std::u16string total = KilobyteText(down.lngTotalBytes);
        SetControlText(IDC_LBL_PROGRESS_1, total);
        // The bar counts in steps of `scale` bytes, which keep a total beyond 2 GB in its range.
        const int64_t scale = BarScale(down.lngTotalBytes);
        SetBar(IDC_PBR_DOWNLOAD, static_cast<int32_t>(down.lngTotalBytes / scale),
               BarValue(IDC_PBR_DOWNLOAD));
        if (down.lngDoneBytes == down.lngTotalBytes) {
          SetControlText(IDC_LBL_PROGRESS_0, total);
          if (BarMax(IDC_PBR_DOWNLOAD) >= down.lngTotalBytes / scale) {
            SetBar(IDC_PBR_DOWNLOAD, BarMax(IDC_PBR_DOWNLOAD),
                   static_cast<int32_t>(down.lngTotalBytes / scale));
          }
        } else {
          const int64_t current = down.lngDoneBytes + down.lngFileBytes;
          const std::u16string currentText = KilobyteText(current);
          const int64_t kilobytes = LeadingNumber(currentText);
          if (LeadingNumber(ControlText(IDC_LBL_PROGRESS_0)) < kilobytes &&
              LeadingNumber(ControlText(IDC_LBL_PROGRESS_1)) >= kilobytes) {
            SetControlText(IDC_LBL_PROGRESS_0, currentText);
          }
          if (BarValue(IDC_PBR_DOWNLOAD) < current / scale &&
              BarMax(IDC_PBR_DOWNLOAD) >= current / scale) {
            SetBar(IDC_PBR_DOWNLOAD, BarMax(IDC_PBR_DOWNLOAD),
                   static_cast<int32_t>(current / scale));
          }
        }
      }
      if (state_.lngViewCount % 100 == 0) Repaint(IDC_FRA_DOWNLOAD);
      return true;
    } catch (...) {
      StopTimer(kTimer3);
      throw;
    }
  });
}

void frmDownLoad::Timer4_Timer() {
  WithErrorTrap(u"Timer4_Timer", false, [&] {
    try {
      DoEvents();
      if (state_.lngMode == DownLoadMode::kDecoding &&
          BarMax(IDC_PBR_DEFROSTING) >= basMain::intTtaStep) {
        SetBar(IDC_PBR_DEFROSTING, BarMax(IDC_PBR_DEFROSTING), basMain::intTtaStep);
        Repaint(IDC_PBR_DEFROSTING);
      }
      return true;
    } catch (...) {
      StopTimer(kTimer4);
      throw;
    }
  });
}

void frmDownLoad::DecodeTtaToWave() {
  WithErrorTrap(u"DecodeTtaToWave", false, [&] {
    try {
      state_.lngMode = DownLoadMode::kDecoding;
      state_.lngDecodeStatus = 0;
      int16_t count = 0;
      for (const clsDownFile& entry : colFetchFile) {
        count += IsRestoredToWave(colFetchFile, entry) ? 1 : 0;
      }
      // Entries whose TTA file became a complete WAV file.
      std::size_t decoded = 0;
      if (count > 0) {
        ShowGroup({IDC_FRA_DEFROSTING, IDC_DL_LBL_TITLE_1, IDC_DL_LBL_COUNT, IDC_PBR_DEFROSTING},
                  true);
        int16_t number = 0;
        for (const clsDownFile& entry : colFetchFile) {
          if (!IsRestoredToWave(colFetchFile, entry)) {
            ++decoded;
            continue;
          }
          StartTimer(kTimer4, 500);
          ++number;
          SetControlText(IDC_DL_LBL_COUNT,
                         base::Widen(std::to_string(number) + "/" + std::to_string(count)));
          SetBar(IDC_PBR_DEFROSTING, 100, 0);
          Repaint(IDC_PBR_DEFROSTING);
          const std::u16string ttaPath = InFolder(entry.FileName());
          const std::u16string wavPath = InFolder(WavFileName(entry.FileName()));
          basMain::StartTtaProgress(FindFileData(ttaPath).size);
          state_.lngDecodeResult = 10;
          state_.lngDecodeResult = tta_vb::Dec_TTAToWav(ttaPath, wavPath, &state_.blnDecodeCancel);
          if (state_.lngDecodeResult != kTtaDone) {
            state_.lngDecodeStatus = state_.lngDecodeResult == kTtaStopped ? -999 : -9999;
            // Only complete WAV files stay; the TTA file is kept for another try.
            DeleteIfPresent(wavPath);
            break;
          }
          ++decoded;
          SetBar(IDC_PBR_DEFROSTING, 100, 100);
          Repaint(IDC_PBR_DEFROSTING);
          StopTimer(kTimer4);
        }
      }
      StopTimer(kTimer4);
      DeleteTtaFiles(decoded);
      if (state_.lngDecodeStatus == 0) {
        taskbar::AskAttention(hwnd());
        ShowAppMessage(u"ダウンロードが完了しました。", MB_ICONINFORMATION, hwnd());
      } else if (state_.lngDecodeStatus == -9999) {
        EndedInFailure();
      }
      return true;
    } catch (...) {
      StopTimer(kTimer4);
      throw;
    }
  });
}

void frmDownLoad::DeleteTtaFiles(std::size_t count) {
  for (std::size_t i = 0; i < count && i < colFetchFile.size(); ++i) {
    if (IsRestoredToWave(colFetchFile, colFetchFile[i])) {
      ForceDelete(InFolder(colFetchFile[i].FileName()));
    }
  }
}

void frmDownLoad::ShowGroup(std::initializer_list<int> ids, bool visible) {
  for (int id : ids) ShowWindow(Control(id), visible ? SW_SHOW : SW_HIDE);
}

void frmDownLoad::SetBar(int id, int32_t max, int32_t value) {
  SendMessageW(Control(id), PBM_SETRANGE32, 0, max);
  SendMessageW(Control(id), PBM_SETPOS, static_cast<WPARAM>(value), 0);
  // The button follows whichever bar moves: the download, then each decompression.
  taskbar::ShowProgress(hwnd(), value, max);
}

void frmDownLoad::EndedInFailure() {
  taskbar::ShowFailure(hwnd());
  taskbar::AskAttention(hwnd());
}

int32_t frmDownLoad::BarMax(int id) const {
  return static_cast<int32_t>(SendMessageW(Control(id), PBM_GETRANGE, FALSE, 0));
}

int32_t frmDownLoad::BarValue(int id) const {
  return static_cast<int32_t>(SendMessageW(Control(id), PBM_GETPOS, 0, 0));
}

void frmDownLoad::Repaint(int id) { UpdateWindow(Control(id)); }

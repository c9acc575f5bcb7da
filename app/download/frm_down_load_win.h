// The download window: asks for the destination folder, downloads every file the descriptor
// lists through W3getv, restores the TTA files to WAV files and closes with a message.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/download/download_list.h"
#include "app/forms/form_win.h"

// What the window is doing: the download, then the restoring of the TTA files.
enum class DownLoadMode : int32_t { kNotStarted = 0, kDownloading = 3, kDecoding = 4 };

// The window's own state of a run; the byte counters it shares with W3getv's callbacks are
// basMain::down.
struct DownLoadState {
  DownLoadMode lngMode = DownLoadMode::kNotStarted;
  int32_t lngBlinkCount = 0;
  int32_t lngViewCount = 0;
  int32_t lngDecodeResult = 0;
  // Set to stop the decoding under way; TTA_VB reads it.
  int16_t blnDecodeCancel = 0;
  int32_t lngDecodeStatus = 0;
  // The start sequence or a run is under way.
  bool blnBusy = false;
};

class frmDownLoad : public Form {
 public:
  frmDownLoad();

  void OftsPath(std::u16string_view path) { strOftsPath = path; }

  // Handlers, public so that tests can run them as the window does.
  void Timer1_Timer();
  void Timer2_Timer();
  void Timer3_Timer() { DownLoadStateView(); }
  void Timer4_Timer();
  void cmdCancel_Click();

  const std::vector<clsDownFile>& DownFiles() const { return colDownFile; }
  int32_t DecodeStatus() const { return state_.lngDecodeStatus; }

 protected:
  void Form_Load() override;
  void Form_Unload() override;
  bool Command(int id, int code) override;
  void Timer(UINT_PTR id) override;
  // While the start sequence or a run is under way the close box asks for a stop, as Cancel
  // does, and the window closes itself; an idle window (after a reported failure) just closes.
  void CloseBox() override;

 private:
  void GetDownLoadFilePath();
  // True when the start may go on: no clash, or the user let the clashing files go.
  bool ResolveClashes();
  void StartTransfer();
  void FileDownLoad();
  void DownLoadStateView();
  void DecodeTtaToWave();
  void DeleteTtaFiles(std::size_t count);
  // The taskbar button turns red and asks for attention.
  void EndedInFailure();
  std::u16string InFolder(std::u16string_view name) const;

  void ShowGroup(std::initializer_list<int> ids, bool visible);
  void SetBar(int id, int32_t max, int32_t value);
  int32_t BarMax(int id) const;
  int32_t BarValue(int id) const;
  void Repaint(int id);

  std::u16string strOftsPath;
  std::u16string strSaveFolder;
  std::vector<clsDownFile> colDownFile;
  // The files the run fetches, decompresses and deletes: each one once.
  std::vector<clsDownFile> colFetchFile;
  DownLoadState state_;
};

// frmUpLoad: the modal window that carries out one forward. It compresses every WAV file to a
// TTA work file and copies the other files, writes the parameter data file, has the upload
// control post everything to the server, and shows the server's answer.
#pragma once

#include <oaidl.h>
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "app/forms/form_win.h"
#include "app/forward/cls_file_win.h"
#include "app/main/cls_address.h"
#include "base/com_object_win.h"

class ActiveXSite;
class EventSink;

class frmUpLoad : public Form {
 public:
  frmUpLoad();
  ~frmUpLoad() override;

  // Inputs, set before the window is shown. The collections stay the forward window's own.
  AddressCollection* SendAddress = nullptr;
  FileCollection* SendFiles = nullptr;
  std::u16string Message;
  std::u16string ParaFile;
  int32_t ExecMode = 0;  // 1 compression, 2 transfer

  // The compressor, TTA_VB.dll's Enc_WavToTTA unless a test puts a stand-in here.
  std::function<int32_t(const std::u16string& wavPath, const std::u16string& ttaPath,
                        int16_t* cancel)>
      compressor;

  void Timer1_Timer();
  void Timer2_Timer();
  void cmdCancel_Click();
  void bfpMain_OnComplete(const std::u16string& strResult);
  void bfpMain_OnLog(const std::u16string& strLog);

  // 0 while the run goes on, -999 cancelled by the user, -9999 the compression failed.
  int32_t UpLoadStatus() const { return lngUpLoadStatus; }
  // The upload control, while the window holds one.
  IDispatch* bfpMain() const;

 protected:
  void Form_Load() override;
  void Form_Unload() override;
  bool Command(int id, int code) override;
  void Timer(UINT_PTR id) override;
  void CloseBox() override { cmdCancel_Click(); }

 private:
  void EncodeWaveToTta();
  void CopyWorkFile(const clsFile& file);
  void TransData();
  void CreateParaDataFile();
  void CreateControl();
  void ReleaseControl();
  // A frame with what lies in it (the upload control in the lower one).
  void ShowFrame(int frameId, bool show);
  void SetCompressPosition(int position);
  // Closes the window; while the control's Start is still running further up the stack, the
  // window and the control are destroyed only once it has returned.
  void CloseWindow();

  int16_t intWavCount = 0;
  int16_t intWavIndex = 0;
  int16_t blnEncodeCancel = 0;
  int32_t lngUpLoadStatus = 0;

  // WAV files whose compression ended well. A compressor call that raised has already counted
  // its file in intWavIndex, and that file must not be sent as if it had been compressed.
  int16_t wavsCompressed_ = 0;
  // The WAV file the compressor refused and its result code, for the message.
  std::u16string refusedPath_;
  int32_t refusal_ = 0;
  bool encoding_ = false;  // the compression loop is on the stack
  bool starting_ = false;  // the control's Start is on the stack
  bool closing_ = false;   // the window began to close; late events are dropped
  base::ComPtr<ActiveXSite> site_;
  base::ComPtr<EventSink> sink_;
};

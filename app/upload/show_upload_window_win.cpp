// The forward window's way into the upload run.
#include <ole2.h>

#include "app/forward/window_handover_win.h"
#include "app/upload/frm_up_load_win.h"

namespace {

// The window hosts an ActiveX control; OLE is kept for the thread while it is open.
class OleScope {
 public:
  OleScope() : initialized_(SUCCEEDED(OleInitialize(nullptr))) {}
  ~OleScope() {
    if (initialized_) OleUninitialize();
  }
  OleScope(const OleScope&) = delete;
  OleScope& operator=(const OleScope&) = delete;

 private:
  bool initialized_;
};

}  // namespace

void ShowUploadWindow(HWND owner, const UploadHandover& handover) {
  const OleScope ole;
  frmUpLoad form;
  form.SendAddress = &handover.SendAddress;
  form.SendFiles = &handover.SendFiles;
  form.Message = handover.Message;
  form.ParaFile = handover.ParaFile;
  form.ExecMode = handover.ExecMode;
  form.ShowModal(owner);
  form.Unload();
}

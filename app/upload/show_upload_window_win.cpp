// The forward window's way into the upload run.
#include <ole2.h>

#include "app/forward/window_handover_win.h"
#include "app/upload/frm_up_load_win.h"

void ShowUploadWindow(HWND owner, const UploadHandover& handover) {
  // The window hosts an ActiveX control; OLE is kept for the thread while it is open.
  const HRESULT ole = OleInitialize(nullptr);
  {
    frmUpLoad form;
    form.SendAddress = &handover.SendAddress;
    form.SendFiles = &handover.SendFiles;
    form.Message = handover.Message;
    form.ParaFile = handover.ParaFile;
    form.ExecMode = handover.ExecMode;
    form.ShowModal(owner);
    form.Unload();
  }
  if (SUCCEEDED(ole)) OleUninitialize();
}

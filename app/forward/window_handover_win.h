// The windows the forward window opens that app/upload and app/history supply: the upload run
// and the history. Each is reached through one function.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "app/forward/cls_file_win.h"
#include "app/main/cls_address.h"

// What the upload window is given; the collections are the forward window's own.
struct UploadHandover {
  AddressCollection& SendAddress;
  FileCollection& SendFiles;
  std::u16string Message;
  std::u16string ParaFile;
  int16_t ExecMode;
};

// Creates the upload window, hands it the forward, shows it modal and releases it once closed.
void ShowUploadWindow(HWND owner, const UploadHandover& handover);

// Shows the history window modal.
void ShowHistoryWindow(HWND owner);
